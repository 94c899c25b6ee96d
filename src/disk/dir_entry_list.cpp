// Sorting of detached directory entries.
#include "disk/dir_entry_list.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "disk/msx_disk.h"

namespace disk {

namespace {

int UpperByte(std::uint8_t byte) {
  return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte;
}

// Stored bytes, blanks included, case-insensitive for a-z.
int CompareText(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int difference = UpperByte(a[i]) - UpperByte(b[i]);
    if (difference != 0) return difference;
  }
  return 0;
}

int CompareName(const TDirEntry& a, const TDirEntry& b) {
  return CompareText(a.Name, b.Name);
}

int CompareExt(const TDirEntry& a, const TDirEntry& b) {
  return CompareText(a.Ext, b.Ext);
}

// Compared as values: a difference of two sizes taken as a signed 32-bit number changes sign past
// 2 GB, which would leave the order inconsistent.
template <typename T>
int CompareValue(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Name, then extension.
int CompareFullName(const TDirEntry& a, const TDirEntry& b) {
  if (const int byName = CompareName(a, b)) return byName;
  return CompareExt(a, b);
}

// Negative, zero or positive as a sorts before, with or after b.
int CompareEntries(const TDirEntry& a, const TDirEntry& b, std::uint8_t sortType, bool desc) {
  if (a.IsDirectory() != b.IsDirectory()) return a.IsDirectory() ? -1 : 1;
  const bool files = !a.IsDirectory();
  const int sign = desc ? -1 : 1;
  switch (sortType) {
    case dsName:
      if (files && desc) {
        if (const int byName = CompareName(a, b)) return -byName;
        return CompareExt(a, b);
      }
      return CompareFullName(a, b);
    case dsExtension:
      if (!files) return CompareFullName(a, b);
      if (const int byExt = CompareExt(a, b)) return sign * byExt;
      return CompareName(a, b);
    case dsSize:
      if (const int bySize = CompareValue(a.Size, b.Size)) return sign * bySize;
      return CompareFullName(a, b);
    case dsDate:
      if (files) {
        if (const int byDate = CompareValue(a.ModifyDate.Value, b.ModifyDate.Value)) {
          return sign * byDate;
        }
        if (const int byTime = CompareValue(a.ModifyTime.Value, b.ModifyTime.Value)) {
          return sign * byTime;
        }
      }
      return CompareFullName(a, b);
    default:
      return 0;
  }
}

}  // namespace

std::int32_t TDirEntryList::Add(const TDirEntry& ADirEntry) {
  items_.push_back(std::make_unique<TDirEntry>(ADirEntry));
  return Count() - 1;
}

PDirEntry TDirEntryList::AddDir() {
  auto& entry = items_.emplace_back(std::make_unique<TDirEntry>());
  std::memset(entry.get(), 0, sizeof(TDirEntry));
  return entry.get();
}

void TDirEntryList::Delete(std::int32_t index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TDirEntryList::Sort() {
  if (FSortType > dsDate) return;
  std::stable_sort(items_.begin(), items_.end(), [this](const auto& a, const auto& b) {
    return CompareEntries(*a, *b, FSortType, FDescOrdered) < 0;
  });
}

void TMSXDisk::GetCurrentDirList(TDirEntryList& AList) {
  AList.Clear();
  for (std::int32_t i = 0;; ++i) {
    const TDirEntry* entry = GetDirEntry(i);
    if (!entry || !entry->IsUsed()) return;
    if (!entry->IsDeleted()) AList.Add(*entry);
  }
}

}  // namespace disk
