// Global memory blocks and received storage mediums.
#include "app/dragdrop/win32/global_memory.h"

#include <cstring>
#include <new>
#include <utility>

namespace app::dragdrop {

HGLOBAL CopyToGlobal(std::span<const std::uint8_t> bytes) {
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes.size());
  if (!memory) throw std::bad_alloc();
  if (!bytes.empty()) {
    void* target = GlobalLock(memory);
    if (!target) {
      GlobalFree(memory);
      throw std::bad_alloc();
    }
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  return memory;
}

TGlobalLock::TGlobalLock(HGLOBAL memory) : memory_(memory) {
  const auto* data = memory ? static_cast<const std::uint8_t*>(GlobalLock(memory)) : nullptr;
  if (data) bytes_ = {data, GlobalSize(memory)};
}

TGlobalLock::~TGlobalLock() {
  if (bytes_.data()) GlobalUnlock(memory_);
}

TStgMedium::TStgMedium(TStgMedium&& other) noexcept
    : medium_(std::exchange(other.medium_, STGMEDIUM{})) {}

TStgMedium& TStgMedium::operator=(TStgMedium&& other) noexcept {
  if (this != &other) {
    Release();
    medium_ = std::exchange(other.medium_, STGMEDIUM{});
  }
  return *this;
}

TStgMedium::~TStgMedium() {
  Release();
}

void TStgMedium::Release() {
  if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
  medium_ = STGMEDIUM{};
}

HRESULT TStgMedium::Fetch(IDataObject& data, FORMATETC format) {
  Release();
  const HRESULT result = data.GetData(&format, &medium_);
  // A failed call owns nothing; releasing what a careless source left there could crash.
  if (FAILED(result)) medium_ = STGMEDIUM{};
  return result;
}

}  // namespace app::dragdrop
