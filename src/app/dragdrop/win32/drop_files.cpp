// Reading a dropped file list.
#include "app/dragdrop/win32/drop_files.h"

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>

namespace app::dragdrop {

namespace {

std::wstring FromAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), units);
  return wide;
}

std::vector<std::filesystem::path> ParseWide(std::span<const std::uint8_t> list) {
  std::vector<std::filesystem::path> paths;
  std::wstring name;
  for (std::size_t at = 0; at + sizeof(wchar_t) <= list.size(); at += sizeof(wchar_t)) {
    wchar_t unit;
    std::memcpy(&unit, list.data() + at, sizeof unit);
    if (unit != L'\0') {
      name.push_back(unit);
      continue;
    }
    if (name.empty()) break;
    paths.emplace_back(std::move(name));
    name.clear();
  }
  return paths;
}

std::vector<std::filesystem::path> ParseAnsi(std::span<const std::uint8_t> list) {
  std::vector<std::filesystem::path> paths;
  const std::string_view text(reinterpret_cast<const char*>(list.data()), list.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\0', at);
    if (end == std::string_view::npos || end == at) break;
    paths.emplace_back(FromAnsi(text.substr(at, end - at)));
    at = end + 1;
  }
  return paths;
}

}  // namespace

std::vector<std::filesystem::path> ParseDropFiles(std::span<const std::uint8_t> block) {
  DROPFILES header;
  if (block.size() < sizeof header) return {};
  std::memcpy(&header, block.data(), sizeof header);
  if (header.pFiles < sizeof header || header.pFiles > block.size()) return {};
  const auto list = block.subspan(header.pFiles);
  return header.fWide ? ParseWide(list) : ParseAnsi(list);
}

}  // namespace app::dragdrop
