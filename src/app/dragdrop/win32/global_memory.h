// Global memory and storage mediums, the way data objects hand over their data.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <span>

namespace app::dragdrop {

// A new block of global memory (moveable, zeroed, shareable) holding a copy of the bytes; the
// receiver frees it. Raises std::bad_alloc when none can be had.
HGLOBAL CopyToGlobal(std::span<const std::uint8_t> bytes);

// A global memory block locked for the life of the object.
class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL memory);
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock();

  // The block's bytes; empty when it could not be locked.
  std::span<const std::uint8_t> Bytes() const { return bytes_; }

 private:
  HGLOBAL memory_;
  std::span<const std::uint8_t> bytes_;
};

// A storage medium received from a data object, released when it goes.
class TStgMedium {
 public:
  TStgMedium() = default;
  TStgMedium(TStgMedium&& other) noexcept;
  TStgMedium& operator=(TStgMedium&& other) noexcept;
  ~TStgMedium();

  const STGMEDIUM& Get() const { return medium_; }

  // Asks the data object for the format; the result is the data object's own. On failure the
  // medium stays empty, whatever the source wrote into it.
  HRESULT Fetch(IDataObject& data, FORMATETC format);

 private:
  void Release();
  STGMEDIUM medium_{};
};

}  // namespace app::dragdrop
