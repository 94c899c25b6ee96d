// The classes the main window's menus, menu bar and dock are made of. Every menu is built from
// these names only, so that another family of item and bar classes (the skinned ones) takes
// their place by changing the names here.
#pragma once

#include "tb/item.h"
#include "tb/mru.h"
#include "tb/win32/dock.h"
#include "tb/win32/popup.h"
#include "tb/win32/toolbar.h"

namespace app::menus {

using TItem = tb::TTBCustomItem;
using TSeparatorItem = tb::TTBSeparatorItem;
using TRecentListItem = tb::TTBMRUListItem;
using TDock = tb::TTBDock;
using TMenuBar = tb::TTBCustomToolbar;
using TPopupMenu = tb::TTBPopupMenu;

// An item that opens its sub-items as a submenu.
class TSubmenuItem : public TItem {
 public:
  explicit TSubmenuItem(ui::TComponent* owner) : TItem(owner) {
    SetItemStyle(GetItemStyle() | tb::tbisSubmenu | tb::tbisSubitemsEditable);
  }
  std::wstring_view ClassName() const override { return L"TSubmenuItem"; }
};

}  // namespace app::menus
