// Building the file list's rows from the current directory.
#include "app/files/file_rows.h"

#include <string_view>

#include "rtl/code_page.h"

namespace app::files {

namespace {

std::wstring FieldText(const std::uint8_t* bytes, std::size_t size, bool trim) {
  std::string_view field(reinterpret_cast<const char*>(bytes), size);
  if (trim) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  }
  std::string text(field);
  // A leading 0x05 stands for a stored 0xE5.
  if (!text.empty() && static_cast<std::uint8_t>(text.front()) == disk::kEscapedE5) {
    text.front() = static_cast<char>(disk::kDeletedMark);
  }
  return rtl::CodePage().ToUnicode(text);
}

std::wstring SizeText(const disk::TDirEntry& entry) {
  if (entry.Attr & disk::faDirectory) return L"<Dir>";
  if (entry.Attr & disk::faVolumeID) return L"<Label>";
  return std::to_wstring(entry.Size);
}

std::wstring ToWide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

// Long-name slots that other systems write beside an entry are left out: listed, each would show
// as a label row with a scrambled name that no command can act on.
bool IsListed(const disk::TDirEntry& entry) {
  return entry.IsUsed() && !entry.IsDeleted() && entry.Attr != disk::faLongName &&
         entry.GetFileName() != ".";
}

bool IsFileEntry(const disk::TDirEntry& entry) {
  return (entry.Attr & (disk::faDirectory | disk::faVolumeID)) == 0;
}

TFileRow MakeRow(disk::TDirEntry& entry, std::int32_t slot, const TDateTimeFormat& format) {
  TFileRow row;
  row.Entry = &entry;
  row.Slot = slot;
  row.Name = FieldText(entry.Name, sizeof entry.Name, true);
  row.Ext = rtl::CodePage().ToUnicode(
      std::string_view(reinterpret_cast<const char*>(entry.Ext), sizeof entry.Ext));
  row.Size = SizeText(entry);
  row.DateTime = DateTimeText(entry.GetDateTime(), format);
  if (entry.ModifyTime.Value == 0) row.DateTime += L" 00:00:00";
  row.Attrs = ToWide(entry.GetAttrString());
  return row;
}

TFileListing ListCurrentDirectory(disk::TMSXDisk& disk, const TDateTimeFormat& format) {
  TFileListing listing;
  for (std::int32_t i = 0; i < disk.DirCount(); ++i) {
    disk::PDirEntry entry = disk.GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (!IsListed(*entry)) continue;
    listing.Rows.push_back(MakeRow(*entry, i, format));
    if (IsFileEntry(*entry)) {
      listing.TotalBytes += entry->Size;
      ++listing.FileCount;
    }
  }
  return listing;
}

std::wstring TotalsText(const TFileListing& listing) {
  return std::to_wstring(listing.TotalBytes) + L" bytes in " + std::to_wstring(listing.FileCount) +
         L" file(s)";
}

std::int32_t ClampRetainIndex(std::int32_t retainIndex, std::int32_t rowCount) {
  if (retainIndex < 0 || rowCount <= 0) return -1;
  return retainIndex >= rowCount ? rowCount - 1 : retainIndex;
}

}  // namespace app::files
