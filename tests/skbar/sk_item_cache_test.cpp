// The item cache: finding an item's entry, the name an entry reports, copying and removing.
#include "skbar/sk_item_cache.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace skbar {
namespace {

TEST(SkItemCache, EntriesFindNameCopyAndLeave) {
  TSkBarItemCacheCollection cache;
  ui::Owned<tb::TTBCustomItem> named = ui::New<tb::TTBCustomItem>();
  ui::Owned<tb::TTBCustomItem> unnamed = ui::New<tb::TTBCustomItem>();
  named->SetName(L"tbiEdit");
  TSkBarItemCache& a = cache.Add();
  a.Item = named.get();
  a.SetName(L"Stored");
  a.Width = 40;
  a.ParentHeight = 26;
  TSkBarItemCache& b = cache.Add();
  b.Item = unnamed.get();
  b.SetName(L"Stored");
  EXPECT_EQ(cache.IndexOf(named.get()), 0);
  EXPECT_EQ(cache.IndexOf(unnamed.get()), 1);
  EXPECT_EQ(cache.IndexOf(nullptr), -1);
  EXPECT_EQ(a.Name(), L"tbiEdit");  // the item's name wins over the stored one
  EXPECT_EQ(b.Name(), L"Stored");
  TSkBarItemCache& c = cache.Add();
  c.Assign(a);
  EXPECT_EQ(c.Name(), L"tbiEdit");
  EXPECT_EQ(c.Width, 40);
  EXPECT_EQ(c.ParentHeight, 26);
  EXPECT_EQ(c.Item, nullptr);  // a copy holds no item: the item's entry stays unique
  cache.Remove(named.get());
  EXPECT_EQ(cache.IndexOf(named.get()), -1);
  EXPECT_EQ(cache.IndexOf(unnamed.get()), 0);
  cache.Remove(named.get());
  EXPECT_EQ(cache.Count(), 2);
}

TEST(SkItemCache, AnAnchorEntryKeepsTheFirstSizesUntilTheItemIsOnAnotherDock) {
  TSkBarItemCacheCollection cache;
  ui::Owned<tb::TTBCustomItem> item = ui::New<tb::TTBCustomItem>();
  auto* top = reinterpret_cast<tb::TTBDock*>(std::uintptr_t{0x10});
  auto* bottom = reinterpret_cast<tb::TTBDock*>(std::uintptr_t{0x20});
  const TSkBarItemCache* first = cache.Anchor(item.get(), top, 80, 18, 500, 26);
  EXPECT_EQ(cache.Anchor(item.get(), top, 150, 18, 570, 26), first);
  EXPECT_EQ(std::tuple(first->Dock, first->Width, first->ParentWidth), std::tuple(top, 80, 500));
  EXPECT_EQ(cache.Anchor(item.get(), bottom, 150, 18, 570, 26), nullptr);
  EXPECT_EQ(cache.Count(), 0);
}

}  // namespace
}  // namespace skbar
