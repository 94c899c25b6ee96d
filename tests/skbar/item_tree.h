// A skinned root item with a fake view window (6 pixels a character, 13 high) to hang items on,
// and skinned items with viewers of a test's own class.
#pragma once

#include <memory>

#include "skbar/sk_item.h"
#include "tb/view_fakes.h"

namespace skbar_test {

// A skinned item whose viewers are of class `Viewer`.
template <class Viewer>
class ItemWithViewer : public skbar::TSkBarItem {
 public:
  using skbar::TSkBarItem::TSkBarItem;
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override {
    return std::make_unique<Viewer>(view, *this, groupLevel);
  }
};

struct ItemTree {
  template <class T>
  T* Add(const wchar_t* caption) {
    auto* item = ui::Create<T>(*root);
    item->SetCaption(caption);
    root->Add(item);
    return item;
  }

  tb::testing::FakeWindow window{true};
  ui::Owned<skbar::TSkBarRootItem> root = ui::New<skbar::TSkBarRootItem>();
};

}  // namespace skbar_test
