#include "ui/collection.h"

#include <algorithm>
#include <string>

#include "rtl/exceptions.h"

namespace ui {

int TCollectionItem::Index() const {
  for (int i = 0; i < collection_.Count(); ++i)
    if (&collection_.Items(i) == this) return i;
  return -1;
}

TCollectionItem& TCollection::Items(int index) const {
  if (index < 0 || index >= Count())
    throw rtl::Exception("List index out of bounds (" + std::to_string(index) + ")");
  return *items_[static_cast<std::size_t>(index)];
}

TCollectionItem& TCollection::Add() {
  items_.push_back(factory_(*this));
  Changed();
  return *items_.back();
}

void TCollection::Delete(int index) {
  Items(index);  // range check
  items_.erase(items_.begin() + index);
  Changed();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Update();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update();
}

}  // namespace ui
