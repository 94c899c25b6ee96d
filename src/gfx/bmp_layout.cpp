#include "gfx/bmp_layout.h"

#include <cstdlib>
#include <cstring>

#include "rtl/exceptions.h"

namespace gfx {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

[[noreturn]] void BadBitmap() {
  throw rtl::Exception("Bitmap image is not valid");
}

constexpr std::uint32_t kPlain = 0, kBitFields = 3;
// Offset of the colour count in the information header.
constexpr std::size_t kColorsUsedOffset = 32;

}  // namespace

TBmpLayout ReadBmpLayout(std::span<const std::uint8_t> File) {
  const std::int64_t size = static_cast<std::int64_t>(File.size());
  if (size < 14 + 40 || size > 0x7FFFFFFF) BadBitmap();
  const std::uint8_t* p = File.data();
  if (p[0] != 'B' || p[1] != 'M') BadBitmap();
  TBmpLayout layout;
  layout.BitsOffset = Le32(p + 10);
  const std::int64_t headerSize = Le32(p + 14);
  if (headerSize < 40 || 14 + headerSize > size) BadBitmap();
  const auto width = static_cast<std::int32_t>(Le32(p + 18));
  const auto height = static_cast<std::int32_t>(Le32(p + 22));
  const std::uint16_t planes = Le16(p + 26), bpp = Le16(p + 28);
  const std::uint32_t compression = Le32(p + 30), colorsUsed = Le32(p + 46);
  const bool bitfields = compression == kBitFields && (bpp == 16 || bpp == 32);
  if (planes != 1 || width < 0 || height == INT32_MIN || (compression != kPlain && !bitfields))
    BadBitmap();
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) BadBitmap();
  const std::int64_t colors = bpp <= 8 ? (colorsUsed ? colorsUsed : 1u << bpp) : 0;
  if (bpp <= 8 && colors > (1 << bpp)) BadBitmap();
  const std::int64_t masks = bitfields && headerSize == 40 ? 12 : 0;
  const std::int64_t rows = std::abs(static_cast<std::int64_t>(height));
  const std::int64_t stride = ((static_cast<std::int64_t>(width) * bpp + 31) / 32) * 4;
  const std::int64_t infoSize = headerSize + masks + colors * 4;
  // The pixel rows must fit in the file (compared by division: stride x rows can pass 2^63).
  if (14 + infoSize > size || layout.BitsOffset < 14 + headerSize || layout.BitsOffset > size ||
      (rows != 0 && stride > (size - layout.BitsOffset) / rows))
    BadBitmap();
  layout.Width = width;
  layout.Rows = static_cast<std::int32_t>(rows);
  layout.BottomUp = height > 0;
  layout.BitCount = bpp;
  layout.Compression = compression;
  layout.Stride = stride;
  layout.Info.resize(static_cast<std::size_t>((infoSize + 3) / 4));
  std::memcpy(layout.Info.data(), p + 14, static_cast<std::size_t>(infoSize));
  if (bpp > 8)
    std::memset(reinterpret_cast<std::uint8_t*>(layout.Info.data()) + kColorsUsedOffset, 0, 4);
  return layout;
}

}  // namespace gfx
