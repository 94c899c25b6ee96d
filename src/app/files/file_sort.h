// Sorting the file list by a clicked column.
#pragma once

#include <cstdint>
#include <vector>

#include "app/files/file_rows.h"

namespace app::files {

// -1: directory order; otherwise the column whose header was clicked last.
class TSortState {
 public:
  std::int32_t Mode() const { return mode_; }
  bool Sorting() const { return mode_ >= 0; }

  // A click on another column sorts by it (ascending); a second click on the same column stops
  // sorting, so the rows keep their order until the next refill shows directory order, and a
  // third click sorts again. The stopped sort keeps no column on purpose: were the column kept,
  // every later click on it would only stop the sort again, and its header would never sort by
  // it until another column had been clicked.
  void ColumnClick(std::int32_t column) { mode_ = column == mode_ ? -1 : column; }

 private:
  std::int32_t mode_ = -1;
};

// Three-way comparison of two rows for a sort mode: -1 by slot, 0 name and 1 extension without
// regard to case, 2 size, 3 packed modification date-time (unsigned), 4 (attributes) all equal.
int CompareRows(const TFileRow& a, const TFileRow& b, std::int32_t mode);

// Sorts ascending; rows that compare equal keep their order.
void SortRows(std::vector<TFileRow>& rows, std::int32_t mode);

}  // namespace app::files
