// The classes the main window's menus, menu bar and dock are made of: the skinned family. Every
// menu is built from these names only, so that another family of item and bar classes can take
// their place by changing the names here. `TItem` is the node type menus are walked by: every
// item class below derives from it.
#pragma once

#include "skbar/sk_item.h"
#include "skbar/sk_mru_item.h"
#include "skbar/win32/sk_docks.h"
#include "skbar/win32/sk_form_popup_menu.h"
#include "skbar/win32/sk_popup.h"
#include "skbar/win32/sk_toolbar.h"
#include "tb/item.h"
#include "tb/mru.h"

namespace app::menus {

using TItem = tb::TTBCustomItem;
using TCommandItem = skbar::TSkBarItem;
using TSubmenuItem = skbar::TSkBarSubmenuItem;
using TSeparatorItem = skbar::TSkBarSeparatorItem;
using TRecentListItem = tb::TTBMRUListItem;
using TSkinnedRecentListItem = skbar::TSkBarMRUListItem;
using TDock = skbar::TSkBarDock;
using TMenuBar = skbar::TSkBarToolbar;
using TPopupMenu = skbar::TSkBarPopupMenu;
using TFormPopupMenu = skbar::TSkBarFormPopupMenu;

}  // namespace app::menus
