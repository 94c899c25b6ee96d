// Detached copies of a directory's entries, sortable by name, extension, size or date with
// directories always first.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "disk/records.h"

namespace disk {

enum TDirSortType : std::uint8_t {
  dsName = 0,
  dsExtension = 1,
  dsSize = 2,
  dsDate = 3,
  dsNone = 255,
};

class TDirEntryList {
 public:
  std::uint8_t FSortType = dsNone;

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  const TDirEntry& operator[](std::int32_t index) const { return *items_.at(index); }
  TDirEntry& operator[](std::int32_t index) { return *items_.at(index); }

  // Appends a copy; returns its index. Every record has a block of its own, which stays where it
  // is, through adds and sorts, until the record is deleted or the list cleared.
  std::int32_t Add(const TDirEntry& ADirEntry);
  // Appends a zeroed record for the caller to fill.
  PDirEntry AddDir();
  void Delete(std::int32_t index);
  void Clear() { items_.clear(); }

  bool DescOrdered() const { return FDescOrdered; }
  void SetDescOrdered(bool value) { FDescOrdered = value; }

  // Stable: entries that compare equal keep their order. Sort types other than 0-3 do nothing.
  void Sort();

 private:
  std::vector<std::unique_ptr<TDirEntry>> items_;
  bool FDescOrdered = false;
};

}  // namespace disk
