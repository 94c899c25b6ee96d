// The rename decision and its write.
#include "app/files/rename.h"

#include <algorithm>
#include <cstring>

#include "rtl/code_page.h"

namespace app::files {

namespace {

std::array<std::uint8_t, 11> StoredName(const disk::TDirEntry& entry) {
  std::array<std::uint8_t, 11> stored{};
  std::memcpy(stored.data(), entry.Name, sizeof entry.Name);
  std::memcpy(stored.data() + sizeof entry.Name, entry.Ext, sizeof entry.Ext);
  for (std::uint8_t& byte : stored) {
    if (byte >= 'a' && byte <= 'z') byte = static_cast<std::uint8_t>(byte - 'a' + 'A');
  }
  // Both spellings of a leading 0xE5 are the same name.
  if (stored[0] == disk::kDeletedMark) stored[0] = disk::kEscapedE5;
  return stored;
}

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

}  // namespace

TRenameDecision DecideRename(disk::TMSXDisk& disk, const disk::TDirEntry& edited,
                             std::wstring_view typed) {
  const std::string oldName = edited.GetFileName();
  if (oldName == "." || oldName == "..") return RenameRefusal::DotEntry;
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
  if (shortName == "." || shortName == "..") return RenameRefusal::DotName;

  disk::TDirEntry scratch{};
  scratch.SetFileName(shortName);
  const std::array<std::uint8_t, 11> wanted = StoredName(scratch);
  for (std::int32_t i = 0; i < disk.DirCount(); ++i) {
    const disk::TDirEntry* entry = disk.GetDirEntry(i);
    if (!entry || !entry->IsUsed()) break;
    if (entry == &edited || entry->IsDeleted() || entry->Attr == disk::faLongName) continue;
    if (StoredName(*entry) == wanted) return RenameRefusal::NameTaken;
  }

  TRenameTarget target;
  target.ShortName = scratch.GetFileName();
  std::memcpy(target.Stored.data(), scratch.Name, sizeof scratch.Name);
  std::memcpy(target.Stored.data() + sizeof scratch.Name, scratch.Ext, sizeof scratch.Ext);
  // A short name's base never holds a ".".
  target.RowName = rtl::CodePage().ToUnicode(
      std::string_view(target.ShortName).substr(0, target.ShortName.find('.')));
  return target;
}

void ApplyRename(disk::TMSXDisk& disk, disk::TDirEntry& entry, const TRenameTarget& target) {
  std::memcpy(entry.Name, target.Stored.data(), sizeof entry.Name);
  std::memcpy(entry.Ext, target.Stored.data() + sizeof entry.Name, sizeof entry.Ext);
  disk.FModified = true;
}

}  // namespace app::files
