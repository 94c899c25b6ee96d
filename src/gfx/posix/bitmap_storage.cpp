// Host stand-ins: bitmaps in an aligned heap block, no system colours, no platform controls.
#include <cstdlib>

#include "gfx/bitmap32.h"

namespace gfx {

namespace {

class THeapStorage : public TBitmapStorage {
 public:
  ~THeapStorage() override { Release(); }

  TColor32* Allocate(std::int32_t Width, std::int32_t Height) override {
    Release();
    // The same limit as a device-independent section: the byte count fits in 31 bits.
    constexpr std::size_t alignment = 64;
    const auto pixels = static_cast<std::uint64_t>(Width) * static_cast<std::uint64_t>(Height);
    if (pixels > 0x7FFFFFFF / 4) throw rtl::Exception("Can't allocate the DIB handle");
    const std::size_t bytes =
        (static_cast<std::size_t>(pixels) * 4 + alignment - 1) & ~(alignment - 1);
    bits_ = static_cast<TColor32*>(std::aligned_alloc(alignment, bytes));
    if (!bits_) throw rtl::Exception("Can't allocate the DIB handle");
    return bits_;
  }

  void Release() override {
    std::free(bits_);
    bits_ = nullptr;
  }

 private:
  TColor32* bits_ = nullptr;
};

}  // namespace

std::unique_ptr<TBitmapStorage> NewPlatformBitmapStorage() {
  return std::make_unique<THeapStorage>();
}

void CreatePlatformStockObjects() {}
void FreePlatformStockObjects() {}

std::uint32_t PlatformSysColor(std::int32_t /*Index*/) {
  return 0;
}

bool PlatformObjectSize(const ui::TPersistent& /*Source*/, std::int32_t& /*Width*/,
                        std::int32_t& /*Height*/) {
  return false;
}

}  // namespace gfx
