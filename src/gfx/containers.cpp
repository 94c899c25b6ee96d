#include "gfx/containers.h"

#include <cstring>

namespace gfx {

namespace {

// Bucket arrays grow by 4 while they hold fewer than 9 pairs, by 16 up to 64, then by a
// quarter; the rectangle list by 8, 32 up to 128, then a quarter.
std::int32_t Grown(std::int32_t capacity, std::int32_t small, std::int32_t smallStep,
                   std::int32_t medium, std::int32_t mediumStep) {
  if (capacity < small) return capacity + smallStep;
  if (capacity <= medium) return capacity + mediumStep;
  return capacity + capacity / 4;
}

}  // namespace

TPointerMap::~TPointerMap() {
  Clear();
}

PData TPointerMap::Add(void* Item) {
  bool newItem = false;
  return Add(Item, nullptr, newItem);
}

PData TPointerMap::Add(void* Item, void* Data) {
  bool newItem = false;
  return Add(Item, Data, newItem);
}

PData TPointerMap::Add(void* Item, bool& NewItem) {
  return Add(Item, nullptr, NewItem);
}

PData TPointerMap::Add(void* Item, void* Data, bool& NewItem) {
  int bucketIndex = 0, itemIndex = 0;
  if (FindPair(Item, bucketIndex, itemIndex)) {
    NewItem = false;
    return &FBuckets[bucketIndex].Items[itemIndex].Data;
  }
  TPointerBucket& bucket = FBuckets[bucketIndex];
  const std::int32_t capacity = static_cast<std::int32_t>(bucket.Items.size());
  if (bucket.Count == capacity) bucket.Items.resize(Grown(capacity, 9, 4, 64, 16));
  TPointerBucketItem& pair = bucket.Items[bucket.Count++];
  pair.Item = Item;
  pair.Data = Data;
  ++FCount;
  NewItem = true;
  return &pair.Data;
}

void* TPointerMap::Remove(void* Item) {
  int bucketIndex = 0, itemIndex = 0;
  if (!FindPair(Item, bucketIndex, itemIndex)) return nullptr;
  return Delete(bucketIndex, itemIndex);
}

void* TPointerMap::Delete(std::int32_t BucketIndex, std::int32_t ItemIndex) {
  if (BucketIndex < 0 || BucketIndex >= BucketCount) throw EListError("List index out of bounds");
  TPointerBucket& bucket = FBuckets[BucketIndex];
  if (ItemIndex < 0 || ItemIndex >= bucket.Count) throw EListError("List index out of bounds");
  void* data = bucket.Items[ItemIndex].Data;
  --FCount;
  if (--bucket.Count == 0) {
    bucket.Items.clear();
    bucket.Items.shrink_to_fit();
    return data;
  }
  for (std::int32_t i = ItemIndex; i < bucket.Count; ++i) bucket.Items[i] = bucket.Items[i + 1];
  bucket.Items[bucket.Count] = {};
  return data;
}

bool TPointerMap::Contains(void* Item) const {
  int bucketIndex = 0, itemIndex = 0;
  return FindPair(Item, bucketIndex, itemIndex);
}

bool TPointerMap::Find(void* Item, PData& Data) {
  int bucketIndex = 0, itemIndex = 0;
  if (!FindPair(Item, bucketIndex, itemIndex)) return false;
  Data = &FBuckets[bucketIndex].Items[itemIndex].Data;
  return true;
}

void* TPointerMap::GetData(void* Item) {
  PData data = nullptr;
  if (!Find(Item, data)) throw EListError("Item not found in the pointer map");
  return *data;
}

void TPointerMap::SetData(void* Item, void* Data) {
  PData slot = nullptr;
  if (!Find(Item, slot)) throw EListError("Item not found in the pointer map");
  *slot = Data;
}

void TPointerMap::Clear() {
  for (std::int32_t b = 0; b < BucketCount; ++b) {
    for (std::int32_t i = FBuckets[b].Count - 1; i >= 0; --i) Delete(b, i);
    FBuckets[b].Items.clear();
  }
}

bool TPointerMap::FindPair(const void* Item, int& BucketIndex, int& ItemIndex) const {
  BucketIndex = BucketIndexOf(Item);
  const TPointerBucket& bucket = FBuckets[BucketIndex];
  for (std::int32_t i = 0; i < bucket.Count; ++i)
    if (bucket.Items[i].Item == Item) {
      ItemIndex = i;
      return true;
    }
  return false;
}

TPointerMapIterator::TPointerMapIterator(const TPointerMap& PointerMap)
    : FSrcPointerMap(PointerMap) {}

bool TPointerMapIterator::Next() {
  if (FCurItemIndex > 0) {
    --FCurItemIndex;
  } else {
    FCurItemIndex = -1;
    while (FCurItemIndex < 0) {
      if (++FCurBucketIndex >= TPointerMap::BucketCount) {
        FCurBucketIndex = TPointerMap::BucketCount;
        return false;
      }
      FCurItemIndex = FSrcPointerMap.Bucket(FCurBucketIndex).Count - 1;
    }
  }
  const auto& pair = FSrcPointerMap.Bucket(FCurBucketIndex).Items[FCurItemIndex];
  FItem = pair.Item;
  FData = pair.Data;
  return true;
}

std::int32_t TRectList::Add(const TRect& Rect) {
  if (FCount == FCapacity) Grow();
  FList[FCount] = Rect;
  return FCount++;
}

void TRectList::Insert(std::int32_t Index, const TRect& Rect) {
  if (Index < 0 || Index > FCount) throw EListError("List index out of bounds");
  if (FCount == FCapacity) Grow();
  for (std::int32_t i = FCount; i > Index; --i) FList[i] = FList[i - 1];
  FList[Index] = Rect;
  ++FCount;
}

void TRectList::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= FCount) throw EListError("List index out of bounds");
  --FCount;
  for (std::int32_t i = Index; i < FCount; ++i) FList[i] = FList[i + 1];
}

void TRectList::Exchange(std::int32_t Index1, std::int32_t Index2) {
  std::swap(Item(Index1), Item(Index2));
}

void TRectList::Move(std::int32_t CurIndex, std::int32_t NewIndex) {
  if (CurIndex == NewIndex) return;
  if (NewIndex < 0 || NewIndex >= FCount) throw EListError("List index out of bounds");
  const TRect moved = Item(CurIndex);
  Delete(CurIndex);
  Insert(NewIndex, moved);
}

std::int32_t TRectList::IndexOf(const TRect& Rect) const {
  for (std::int32_t i = 0; i < FCount; ++i)
    if (FList[i] == Rect) return i;
  return -1;
}

std::int32_t TRectList::Remove(const TRect& Rect) {
  const std::int32_t index = IndexOf(Rect);
  if (index >= 0) Delete(index);
  return index;
}

void TRectList::Clear() {
  FCount = 0;
  SetCapacity(10);
}

void TRectList::SetCount(std::int32_t NewCount) {
  if (NewCount < 0) throw EListError("List count out of bounds");
  if (NewCount > FCapacity) SetCapacity(NewCount);
  for (std::int32_t i = FCount; i < NewCount; ++i) FList[i] = TRect{};
  FCount = NewCount;
}

void TRectList::SetCapacity(std::int32_t NewCapacity) {
  if (NewCapacity < FCount) throw EListError("List capacity out of bounds");
  FList.resize(static_cast<std::size_t>(NewCapacity));
  FCapacity = NewCapacity;
}

TRect& TRectList::Item(std::int32_t Index) {
  if (Index < 0 || Index >= FCount) throw EListError("List index out of bounds");
  return FList[Index];
}

void TRectList::Grow() {
  SetCapacity(Grown(FCapacity, 9, 8, 128, 32));
}

}  // namespace gfx
