// Text rules of the file dialogs, apart from the dialogs themselves.
//   ParseFilter("Disk Images|*.dsk|Any File|*.*") -> {{"Disk Images", "*.dsk"}, ...}
//   SplitSelectedFiles(buffer): the classic dialog's result buffer (NUL-separated, ending in
//   an empty string): one full path, or a folder followed by names -> full paths.
//   MaskExtension("*.hfe;*.x") -> "hfe": the first mask's extension without its dot.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct TFileTypeItem {
  std::wstring displayName;
  std::wstring fileMask;
  bool operator==(const TFileTypeItem&) const = default;
};

std::vector<TFileTypeItem> ParseFilter(std::wstring_view filter);
std::vector<std::wstring> SplitSelectedFiles(std::wstring_view buffer);
std::wstring MaskExtension(std::wstring_view mask);

}  // namespace ui
