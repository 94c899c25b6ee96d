// Where a toolbar's items were placed, for customising and re-anchoring: per item the dock it
// was on, its size and the size of its parent then.
//   TSkBarItemCache: Dock, Name (the item's name while it has one, else the stored name),
//   Width, Height, ParentWidth, ParentHeight; Assign copies them from another entry.
//   TSkBarItemCacheCollection: the entries; IndexOf answers the entry holding an item (-1 for
//   none or for no item), Remove drops it, Anchor keeps an item's size against its dock's.
#pragma once

#include <string>

#include "tb/item.h"
#include "ui/collection.h"

namespace tb {
class TTBDock;
}

namespace skbar {

class TSkBarItemCache : public ui::TCollectionItem {
 public:
  using ui::TCollectionItem::TCollectionItem;
  std::wstring_view ClassName() const override { return L"TSkBarItemCache"; }
  void Assign(const TSkBarItemCache& source);

  tb::TTBCustomItem* Item = nullptr;
  tb::TTBDock* Dock = nullptr;
  int Width = 0, Height = 0, ParentWidth = 0, ParentHeight = 0;
  std::wstring Name() const;
  void SetName(const std::wstring& name) { name_ = name; }

 private:
  std::wstring name_;
};

class TSkBarItemCacheCollection : public ui::TCollection {
 public:
  TSkBarItemCacheCollection();
  std::wstring_view ClassName() const override { return L"TSkBarItemCacheCollection"; }
  TSkBarItemCache& Items(int index) const {
    return static_cast<TSkBarItemCache&>(ui::TCollection::Items(index));
  }
  TSkBarItemCache& Add() { return static_cast<TSkBarItemCache&>(ui::TCollection::Add()); }
  int IndexOf(const tb::TTBCustomItem* item) const;
  // Drops the entry of `item` (nothing when it has none).
  void Remove(const tb::TTBCustomItem* item);
  // Re-anchoring: the entry of `item` while it stays on `dock`, made at its first pass there with
  // the item's size and the dock's client size then. An entry for another dock goes, and null is
  // answered: the next pass starts afresh on the new dock.
  TSkBarItemCache* Anchor(tb::TTBCustomItem* item, tb::TTBDock* dock, int width, int height,
                          int dockWidth, int dockHeight);
};

}  // namespace skbar
