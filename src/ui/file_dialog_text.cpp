#include "ui/file_dialog_text.h"

namespace ui {

std::vector<TFileTypeItem> ParseFilter(std::wstring_view filter) {
  std::vector<TFileTypeItem> items;
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find(L'|', start);
    const std::size_t end = bar == std::wstring_view::npos ? filter.size() : bar;
    parts.emplace_back(filter.substr(start, end - start));
    if (bar == std::wstring_view::npos) break;
    start = bar + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (!parts[i + 1].empty()) items.push_back({parts[i], parts[i + 1]});
  }
  return items;
}

std::vector<std::wstring> SplitSelectedFiles(std::wstring_view buffer) {
  std::vector<std::wstring> parts;
  std::size_t start = 0;
  while (start < buffer.size() && buffer[start] != L'\0') {
    std::size_t end = buffer.find(L'\0', start);
    if (end == std::wstring_view::npos) end = buffer.size();
    parts.emplace_back(buffer.substr(start, end - start));
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> files;
  for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

std::wstring MaskExtension(std::wstring_view mask) {
  mask = mask.substr(0, mask.find(L';'));
  const std::size_t dot = mask.rfind(L'.');
  if (dot == std::wstring_view::npos) return {};
  return std::wstring(mask.substr(dot + 1));
}

}  // namespace ui
