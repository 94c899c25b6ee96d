// Containers of the bitmap units. They own their arrays, not the objects their pointers name.
//   TPointerMap: item pointer -> data pointer in 256 buckets chosen by the pointer's second byte
//   (so records allocated close together spread over buckets); Add returns the data slot.
//   TPointerMapIterator: buckets in increasing order, each bucket's pairs last to first.
//   TRectList: a growable array of rectangles.
//   TClassList<Ref>: an ordered list of class references (Ref points to a record with a Name).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/types.h"
#include "rtl/exceptions.h"
#include "ui/strings.h"

namespace gfx {

// The platform's list error: an index or item that the list does not hold.
class EListError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

using PData = void**;

class TPointerMap {
 public:
  struct TPointerBucketItem {
    void* Item = nullptr;
    void* Data = nullptr;
  };
  struct TPointerBucket {
    std::int32_t Count = 0;
    std::vector<TPointerBucketItem> Items;  // size() is the capacity
  };
  static constexpr int BucketCount = 256;

  TPointerMap() = default;
  TPointerMap(const TPointerMap&) = delete;
  TPointerMap& operator=(const TPointerMap&) = delete;
  virtual ~TPointerMap();

  PData Add(void* Item);
  PData Add(void* Item, void* Data);
  PData Add(void* Item, bool& NewItem);
  PData Add(void* Item, void* Data, bool& NewItem);
  // The pair's data, null when absent.
  void* Remove(void* Item);
  // Removes one pair, moving the following pairs down, and returns its data.
  virtual void* Delete(std::int32_t BucketIndex, std::int32_t ItemIndex);
  bool Contains(void* Item) const;
  bool Find(void* Item, PData& Data);
  // The item's data; EListError when absent.
  void* GetData(void* Item);
  void SetData(void* Item, void* Data);
  void Clear();

  std::int32_t Count() const { return FCount; }
  const TPointerBucket& Bucket(int Index) const { return FBuckets[Index]; }

  static int BucketIndexOf(const void* Item) {
    return static_cast<int>((reinterpret_cast<std::uintptr_t>(Item) >> 8) & 0xFF);
  }

 private:
  bool FindPair(const void* Item, int& BucketIndex, int& ItemIndex) const;

  TPointerBucket FBuckets[BucketCount];
  std::int32_t FCount = 0;
};

class TPointerMapIterator {
 public:
  explicit TPointerMapIterator(const TPointerMap& PointerMap);
  // The next pair into Item and Data; false when every bucket is exhausted.
  bool Next();
  void* Item() const { return FItem; }
  void* Data() const { return FData; }

 private:
  const TPointerMap& FSrcPointerMap;
  void* FItem = nullptr;
  void* FData = nullptr;
  std::int32_t FCurBucketIndex = -1;
  std::int32_t FCurItemIndex = -1;
};

class TRectList {
 public:
  TRectList() = default;
  TRectList(const TRectList&) = delete;
  TRectList& operator=(const TRectList&) = delete;
  virtual ~TRectList() = default;

  std::int32_t Add(const TRect& Rect);
  void Insert(std::int32_t Index, const TRect& Rect);
  void Delete(std::int32_t Index);
  void Exchange(std::int32_t Index1, std::int32_t Index2);
  void Move(std::int32_t CurIndex, std::int32_t NewIndex);
  std::int32_t IndexOf(const TRect& Rect) const;
  std::int32_t Remove(const TRect& Rect);
  // Count 0, capacity 10.
  void Clear();
  // Leaves the list as it is: every index below Count holds an entry.
  void Pack() {}

  std::int32_t Count() const { return FCount; }
  // Larger zero-fills the new entries; smaller deletes from the end.
  void SetCount(std::int32_t NewCount);
  std::int32_t Capacity() const { return FCapacity; }
  void SetCapacity(std::int32_t NewCapacity);
  TRect* List() { return FList.data(); }
  const TRect* List() const { return FList.data(); }
  // Bounds-checked access; EListError outside 0..Count-1.
  TRect& Item(std::int32_t Index);
  const TRect& Item(std::int32_t Index) const { return const_cast<TRectList*>(this)->Item(Index); }

 private:
  void Grow();

  std::vector<TRect> FList;  // size() is the capacity
  std::int32_t FCount = 0;
  std::int32_t FCapacity = 0;
};

// Ref: a pointer to a class record with a `Name` member (std::wstring_view).
template <class Ref>
class TClassList {
 public:
  std::int32_t Add(Ref AClass) {
    FList.push_back(AClass);
    return static_cast<std::int32_t>(FList.size()) - 1;
  }
  // Removes the first occurrence and returns it; null when absent.
  Ref Extract(Ref AClass) {
    const std::int32_t index = IndexOf(AClass);
    if (index < 0) return nullptr;
    FList.erase(FList.begin() + index);
    return AClass;
  }
  // The first class whose name equals AClassName exactly; null when none.
  Ref Find(std::wstring_view AClassName) const {
    for (Ref c : FList)
      if (c->Name == AClassName) return c;
    return nullptr;
  }
  Ref First() const { return FList.empty() ? nullptr : FList.front(); }
  Ref Last() const { return FList.empty() ? nullptr : FList.back(); }
  std::int32_t IndexOf(Ref AClass) const {
    for (std::size_t i = 0; i < FList.size(); ++i)
      if (FList[i] == AClass) return static_cast<std::int32_t>(i);
    return -1;
  }
  void Insert(std::int32_t Index, Ref AClass) {
    if (Index < 0 || Index > Count()) throw EListError("List index out of bounds");
    FList.insert(FList.begin() + Index, AClass);
  }
  // The index it had, or -1.
  std::int32_t Remove(Ref AClass) {
    const std::int32_t index = IndexOf(AClass);
    if (index >= 0) FList.erase(FList.begin() + index);
    return index;
  }
  // Appends every class name in order.
  void GetClassNames(ui::TStrings& Strings) const {
    for (Ref c : FList) Strings.Add(std::wstring(c->Name));
  }
  std::int32_t Count() const { return static_cast<std::int32_t>(FList.size()); }
  Ref Item(std::int32_t Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds");
    return FList[Index];
  }
  void Clear() { FList.clear(); }

 private:
  std::vector<Ref> FList;
};

}  // namespace gfx
