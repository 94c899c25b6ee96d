// Planning and carrying out extraction.
#include "app/files/extract_plan.h"

#include <set>
#include <type_traits>
#include <vector>

#include "app/files/file_rows.h"
#include "rtl/exceptions.h"

namespace app::files {

std::filesystem::path HostPathPart(const std::wstring& name) {
  if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
    return std::filesystem::path(name);
  } else {
    std::u8string utf8;
    for (const wchar_t wide : name) {
      auto c = static_cast<char32_t>(wide);
      if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
      if (c < 0x80) {
        utf8 += static_cast<char8_t>(c);
      } else if (c < 0x800) {
        utf8 += static_cast<char8_t>(0xC0 | (c >> 6));
        utf8 += static_cast<char8_t>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        utf8 += static_cast<char8_t>(0xE0 | (c >> 12));
        utf8 += static_cast<char8_t>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char8_t>(0x80 | (c & 0x3F));
      } else {
        utf8 += static_cast<char8_t>(0xF0 | (c >> 18));
        utf8 += static_cast<char8_t>(0x80 | ((c >> 12) & 0x3F));
        utf8 += static_cast<char8_t>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char8_t>(0x80 | (c & 0x3F));
      }
    }
    return std::filesystem::path(utf8);
  }
}

std::vector<TExtractItem> PlanExtraction(std::span<const disk::TDirEntry* const> selected,
                                         const std::filesystem::path& folder) {
  std::vector<TExtractItem> plan;
  for (const disk::TDirEntry* entry : selected) {
    if (!entry || !entry->IsUsed() || entry->IsDeleted() || !IsFileEntry(*entry)) continue;
    plan.push_back({entry, folder / HostPathPart(disk::TMSXDisk::HostSafeName(*entry))});
  }
  return plan;
}

namespace {

// A host path with letters a-z in either case made one, as every host compares them.
std::filesystem::path::string_type FoldedName(const std::filesystem::path& path) {
  std::filesystem::path::string_type name = path.native();
  for (auto& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<std::filesystem::path::value_type>(c - 'a' + 'A');
  }
  return name;
}

// Whether the host resolves the target to a file this extraction has written: hosts also fold
// accented and other letters, by rules only the host's file system knows.
bool IsWrittenFile(const std::filesystem::path& target,
                   const std::vector<std::filesystem::path>& written) {
  std::error_code error;
  if (!std::filesystem::exists(target, error)) return false;
  for (const std::filesystem::path& file : written)
    if (std::filesystem::equivalent(file, target, error)) return true;
  return false;
}

}  // namespace

TExtractOutcome ExtractPlanned(disk::TMSXDisk& disk, std::span<const TExtractItem> plan) {
  TExtractOutcome outcome;
  // Two entries can come to one host name ("A*B" and "A_B", or names in other cases): the later
  // one would replace the file just written, so it is left out and reported.
  std::set<std::filesystem::path::string_type> foldedWritten;
  std::vector<std::filesystem::path> written;
  for (const TExtractItem& item : plan) {
    if (foldedWritten.contains(FoldedName(item.Target)) || IsWrittenFile(item.Target, written)) {
      outcome.Failed.push_back({item.Target, "another file of this extraction has this name"});
      continue;
    }
    try {
      if (disk.ExtractToFile(item.Target, item.Entry)) {
        ++outcome.Written;
        foldedWritten.insert(FoldedName(item.Target));
        written.push_back(item.Target);
      } else {
        outcome.Failed.push_back({item.Target, "the file's data on the disk image is damaged"});
      }
    } catch (const rtl::Exception& error) {
      outcome.Failed.push_back({item.Target, error.what()});
    }
  }
  return outcome;
}

}  // namespace app::files
