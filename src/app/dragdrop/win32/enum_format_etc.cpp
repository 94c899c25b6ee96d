// Enumerating the offered formats.
#include "app/dragdrop/win32/enum_format_etc.h"

#include "app/dragdrop/win32/drag_formats.h"

namespace app::dragdrop {

namespace {
constexpr LONG kFormatCount = static_cast<LONG>(std::tuple_size_v<decltype(OfferedFormats())>);
}

HRESULT TEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
  return GuardCom([&]() -> HRESULT {
    if (fetched) *fetched = 0;
    if (count > 0 && !formats) return E_POINTER;
    const auto offered = OfferedFormats();
    ULONG written = 0;
    while (FIndex < kFormatCount && written < count) {
      formats[written++] = offered[static_cast<std::size_t>(FIndex++)];
    }
    if (fetched) *fetched = written;
    return written > 0 ? S_OK : S_FALSE;
  });
}

HRESULT TEnumFormatEtc::Skip(ULONG count) {
  if (static_cast<ULONGLONG>(FIndex) + count > kFormatCount) return S_FALSE;
  FIndex += static_cast<LONG>(count);
  return S_OK;
}

HRESULT TEnumFormatEtc::Reset() {
  FIndex = 0;
  return S_OK;
}

HRESULT TEnumFormatEtc::Clone(IEnumFORMATETC** clone) {
  return GuardCom([&]() -> HRESULT {
    if (!clone) return E_POINTER;
    *clone = nullptr;
    *clone = MakeComObject<TEnumFormatEtc>(FIndex).Detach();
    return S_OK;
  });
}

}  // namespace app::dragdrop
