// The rename decision and its write.
#include "app/files/rename.h"

#include <algorithm>
#include <cstring>

#include "rtl/code_page.h"

namespace app::files {

namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

}  // namespace

TRenameDecision DecideRename(disk::TMSXDisk& disk, const disk::TDirEntry& edited,
                             std::wstring_view typed) {
  const std::string oldName = edited.GetFileName();
  if (disk::IsDotName(oldName)) return RenameRefusal::DotEntry;
  if (std::all_of(typed.begin(), typed.end(), IsBlank)) return RenameRefusal::EmptyName;

  std::wstring text(typed);
  if (text.find(L'.') == std::wstring::npos) {
    const std::string ext(reinterpret_cast<const char*>(edited.Ext), sizeof edited.Ext);
    if (ext.find_first_not_of(' ') != std::string::npos) {
      text += L'.';
      text += rtl::CodePage().ToUnicode(ext);
    }
  }
  const std::string shortName = disk::TMSXDisk::MakeShortFileName(text);
  if (disk::IsDotName(shortName)) return RenameRefusal::DotName;

  if (disk.NameTaken(shortName, &edited)) return RenameRefusal::NameTaken;

  disk::TDirEntry scratch{};
  scratch.SetFileName(shortName);
  TRenameTarget target;
  target.ShortName = scratch.GetFileName();
  std::memcpy(target.Stored.data(), scratch.Name, sizeof scratch.Name);
  std::memcpy(target.Stored.data() + sizeof scratch.Name, scratch.Ext, sizeof scratch.Ext);
  // A short name's base never holds a ".".
  target.RowName = rtl::CodePage().ToUnicode(
      std::string_view(target.ShortName).substr(0, target.ShortName.find('.')));
  return target;
}

disk::DiskResult ApplyRename(disk::TMSXDisk& disk, disk::TDirEntry& entry,
                             const TRenameTarget& target) {
  return disk.Rename(&entry, target.ShortName);
}

}  // namespace app::files
