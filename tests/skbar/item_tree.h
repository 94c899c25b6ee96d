// A skinned root item with a fake view window (6 pixels a character, 13 high) to hang items on.
#pragma once

#include "skbar/sk_item.h"
#include "tb/view_fakes.h"

namespace skbar_test {

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
