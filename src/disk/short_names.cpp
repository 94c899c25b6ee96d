// Conversions between host file names and the 8.3 names stored in directory entries.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "disk/msx_disk.h"
#include "rtl/code_page.h"

namespace disk {

namespace {

constexpr std::size_t kBaseLength = 8;
constexpr std::size_t kExtLength = 3;

bool IsControlOrBlank(unsigned char c) {
  return c <= 0x20;
}

// Characters that a FAT short name cannot hold ("." is handled by the caller).
bool IsInvalidInShortName(unsigned char c) {
  static constexpr std::string_view kInvalid = "?*+,/;<=>[]|\"\\:";
  return c < 0x20 || c == 0x7F || kInvalid.find(static_cast<char>(c)) != std::string_view::npos;
}

// Drops blanks and control bytes at both ends, cuts `part` to `length` bytes and drops them again
// at the new end, then replaces what remains invalid (inner blanks and any "." included) by "_":
// MSX-DOS and other readers end a short name at its first blank.
std::string ShortNamePart(std::string_view part, std::size_t length) {
  while (!part.empty() && IsControlOrBlank(static_cast<unsigned char>(part.front()))) {
    part.remove_prefix(1);
  }
  std::string result(part.substr(0, length));
  while (!result.empty() && IsControlOrBlank(static_cast<unsigned char>(result.back()))) {
    result.pop_back();
  }
  for (char& c : result) {
    if (c == '.' || c == ' ' || IsInvalidInShortName(static_cast<unsigned char>(c))) c = '_';
  }
  return result;
}

bool IsHostInvalid(wchar_t c) {
  static constexpr std::wstring_view kInvalid = L"\\/:*?\"<>|";
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || kInvalid.find(c) != std::wstring_view::npos;
}

bool EqualsIgnoreAsciiCase(std::wstring_view text, std::wstring_view upper) {
  return std::equal(text.begin(), text.end(), upper.begin(), upper.end(), [](wchar_t a, wchar_t b) {
    return (a >= L'a' && a <= L'z' ? static_cast<wchar_t>(a - L'a' + L'A') : a) == b;
  });
}

// Windows opens a device instead of a file for these names, with or without an extension.
bool IsReservedDeviceName(std::wstring_view name) {
  std::wstring_view stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
  static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                                L"NUL", L"CONIN$", L"CONOUT$"};
  for (std::wstring_view device : kDevices) {
    if (EqualsIgnoreAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4) return false;
  const std::wstring_view port = stem.substr(0, 3);
  const wchar_t number = stem[3];
  const bool isPort = EqualsIgnoreAsciiCase(port, L"COM") || EqualsIgnoreAsciiCase(port, L"LPT");
  const bool isDigit = (number >= L'0' && number <= L'9') || number == L'\u00B9' ||
                       number == L'\u00B2' || number == L'\u00B3';
  return isPort && isDigit;
}

}  // namespace

std::string TMSXDisk::MakeShortFileName(std::wstring_view AFileName) {
  const std::size_t delim = AFileName.find_last_of(L"\\:/");
  if (delim != std::wstring_view::npos) AFileName.remove_prefix(delim + 1);

  std::wstring upper(AFileName);
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  std::string name = rtl::CodePage().FromUnicode(upper);
  // A directory's own "." and ".." slots are addressed by these names.
  if (IsDotName(name)) return name;

  const std::string_view rest = name;
  const std::size_t dot = rest.rfind('.');
  std::string base = ShortNamePart(rest.substr(0, dot), kBaseLength);
  const std::string ext = dot == std::string_view::npos
                              ? std::string()
                              : ShortNamePart(rest.substr(dot + 1), kExtLength);
  // A blank base name would store a name that MSX-DOS cannot address (".PROFILE" and the like).
  if (base.empty()) base.push_back('_');
  if (!ext.empty()) base.append(1, '.').append(ext);
  return base;
}

std::wstring TMSXDisk::HostSafeName(const TDirEntry& entry) {
  std::wstring name = rtl::CodePage().ToUnicode(entry.GetFileName());
  for (wchar_t& c : name) {
    if (IsHostInvalid(c)) c = L'_';
  }
  if (IsReservedDeviceName(name)) name.insert(0, 1, L'_');
  // Windows drops trailing dots and blanks, which would change the name (or leave "." and "..").
  for (auto it = name.rbegin(); it != name.rend() && (*it == L'.' || *it == L' '); ++it) {
    *it = L'_';
  }
  if (name.empty()) name = L"_";
  return name;
}

}  // namespace disk
