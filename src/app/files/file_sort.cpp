// Row comparison and sorting.
#include "app/files/file_sort.h"

#include <algorithm>
#include <string_view>

namespace app::files {

namespace {

template <typename T>
int ThreeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

wchar_t FoldCase(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

int CompareText(std::wstring_view a, std::wstring_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int order = ThreeWay(FoldCase(a[i]), FoldCase(b[i]));
    if (order != 0) return order;
  }
  return ThreeWay(a.size(), b.size());
}

}  // namespace

int CompareRows(const TFileRow& a, const TFileRow& b, std::int32_t mode) {
  switch (mode) {
    case -1:
      return ThreeWay(a.Slot, b.Slot);
    case colName:
      return CompareText(a.Name, b.Name);
    case colExt:
      return CompareText(a.Ext, b.Ext);
    case colSize:
      return ThreeWay(a.Entry->Size, b.Entry->Size);
    case colDateTime:
      return ThreeWay(a.Entry->GetDosDateTime(), b.Entry->GetDosDateTime());
    default:
      return 0;
  }
}

void SortRows(std::vector<TFileRow>& rows, std::int32_t mode) {
  std::stable_sort(rows.begin(), rows.end(), [mode](const TFileRow& a, const TFileRow& b) {
    return CompareRows(a, b, mode) < 0;
  });
}

}  // namespace app::files
