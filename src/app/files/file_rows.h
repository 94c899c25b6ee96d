// The rows of the file list: which entries of the current directory are listed and the texts of
// their columns, and the totals the status bar shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/files/date_time_text.h"
#include "disk/msx_disk.h"

namespace app::files {

enum FileColumn : int {
  colName = 0,
  colExt = 1,
  colSize = 2,
  colDateTime = 3,
  colAttrs = 4,
};

struct TFileRow {
  disk::PDirEntry Entry = nullptr;  // into the image buffer; valid until the next refill
  std::int32_t Slot = 0;            // the entry's index in the directory
  std::wstring Name;                // the 8-byte name field, blanks trimmed
  std::wstring Ext;                 // the 3-byte extension field as stored, blanks kept
  std::wstring Size;                // decimal size, "<Dir>" or "<Label>"
  std::wstring DateTime;
  std::wstring Attrs;  // "rhsvda" letters or "-"
};

struct TFileListing {
  std::vector<TFileRow> Rows;   // in directory order
  std::int64_t TotalBytes = 0;  // over files only
  std::int32_t FileCount = 0;
};

// Listed: a used, not deleted entry that is not a long-name slot and not "." (".." is listed).
bool IsListed(const disk::TDirEntry& entry);

// Neither a directory nor a volume label.
bool IsFileEntry(const disk::TDirEntry& entry);

TFileRow MakeRow(disk::TDirEntry& entry, std::int32_t slot, const TDateTimeFormat& format);

// The current directory's rows, up to its end mark.
TFileListing ListCurrentDirectory(disk::TMSXDisk& disk, const TDateTimeFormat& format);

// The first status panel: "%d bytes in %d file(s)".
std::wstring TotalsText(const TFileListing& listing);

// The row to select after a refill: -1 stays -1, an index past the end becomes the last row.
std::int32_t ClampRetainIndex(std::int32_t retainIndex, std::int32_t rowCount);

}  // namespace app::files
