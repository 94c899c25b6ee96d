// The enumerator of the formats a drag out offers.
#pragma once

#include <windows.h>

#include <objidl.h>

#include "app/dragdrop/win32/com_object.h"

namespace app::dragdrop {

class TEnumFormatEtc final : public TComObject<IEnumFORMATETC> {
 public:
  explicit TEnumFormatEtc(LONG index = 0) : FIndex(index) {}

  // Writes up to `count` formats from the current position; S_OK when at least one was written.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
  // S_FALSE, without moving, when fewer than `count` formats are left.
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  // A new enumerator at the same position.
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** clone) override;

 private:
  LONG FIndex;  // 0 .. the number of offered formats
};

}  // namespace app::dragdrop
