#include "skbar/sk_item_cache.h"

namespace skbar {

// The six values; the entry keeps its own item.
void TSkBarItemCache::Assign(const TSkBarItemCache& source) {
  Dock = source.Dock;
  Width = source.Width;
  Height = source.Height;
  ParentWidth = source.ParentWidth;
  ParentHeight = source.ParentHeight;
  name_ = source.Name();
}

std::wstring TSkBarItemCache::Name() const {
  return Item && !Item->Name().empty() ? Item->Name() : name_;
}

TSkBarItemCacheCollection::TSkBarItemCacheCollection()
    : ui::TCollection([](ui::TCollection& owner) -> std::unique_ptr<ui::TCollectionItem> {
        return std::make_unique<TSkBarItemCache>(owner);
      }) {}

int TSkBarItemCacheCollection::IndexOf(const tb::TTBCustomItem* item) const {
  if (!item) return -1;
  for (int i = 0; i < Count(); ++i)
    if (Items(i).Item == item) return i;
  return -1;
}

void TSkBarItemCacheCollection::Remove(const tb::TTBCustomItem* item) {
  if (const int i = IndexOf(item); i >= 0) Delete(i);
}

TSkBarItemCache* TSkBarItemCacheCollection::Anchor(tb::TTBCustomItem* item, tb::TTBDock* dock,
                                                   int width, int height, int dockWidth,
                                                   int dockHeight) {
  if (const int i = IndexOf(item); i >= 0) {
    if (Items(i).Dock == dock) return &Items(i);
    Delete(i);
    return nullptr;
  }
  TSkBarItemCache& entry = Add();
  entry.Item = item;
  entry.Dock = dock;
  entry.Width = width;
  entry.Height = height;
  entry.ParentWidth = dockWidth;
  entry.ParentHeight = dockHeight;
  return &entry;
}

}  // namespace skbar
