// The layout of BMP files: what is accepted, and the header block for the platform's decoder,
// which reads the colour entries its header declares (the count, or 2^bits up to 8 bits per
// pixel) after the header and masks.
#include "gfx/bmp_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rtl/exceptions.h"

namespace gfx {
namespace {

void Put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A file of a 40-byte header, `table` bytes of masks and colours, then `pixels` bytes.
std::vector<std::uint8_t> File(std::int32_t width, std::int32_t height, std::uint16_t bpp,
                               std::uint32_t compression, std::uint32_t colorsUsed,
                               std::size_t table, std::size_t pixels) {
  std::vector<std::uint8_t> f(54 + table + pixels, 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 10, static_cast<std::uint32_t>(54 + table));
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<std::uint32_t>(width));
  Put32(f, 22, static_cast<std::uint32_t>(height));
  f[26] = 1;
  f[28] = static_cast<std::uint8_t>(bpp);
  Put32(f, 30, compression);
  Put32(f, 46, colorsUsed);
  return f;
}

// The colour entries the platform reads after the block's header and masks.
std::uint32_t DeclaredColors(const TBmpLayout& l) {
  const std::uint32_t used = l.Info[8];  // the header's colour count
  if (l.BitCount <= 8) return used ? used : 1u << l.BitCount;
  return used < 256 ? used : 256;
}

TEST(BmpLayout, TheBlockHoldsEveryColourItDeclares) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> file;
    std::size_t blockBytes;
    std::uint32_t colors;
  } cases[] = {
      // A palette hint the file does not hold: the block declares none, so that the platform
      // reads nothing past it.
      {"24 bits declaring 256 colours", File(2, 1, 24, 0, 256, 0, 8), 40, 0},
      {"32 bit fields declaring 16 colours", File(1, 1, 32, 3, 16, 12, 4), 52, 0},
      {"8 bits with 2 colours", File(3, 2, 8, 0, 2, 8, 8), 48, 2},
      {"1 bit with the whole table", File(9, 1, 1, 0, 0, 8, 4), 48, 2},
  };
  for (const auto& c : cases) {
    const TBmpLayout l = ReadBmpLayout(c.file);
    EXPECT_EQ(l.Info.size() * 4, c.blockBytes) << c.what;
    EXPECT_EQ(DeclaredColors(l), c.colors) << c.what;
  }
  const TBmpLayout l = ReadBmpLayout(File(3, -2, 8, 0, 2, 8, 8));
  EXPECT_EQ(std::make_tuple(l.Width, l.Rows, l.BottomUp, l.Stride, l.BitsOffset),
            std::make_tuple(3, 2, false, std::int64_t{4}, std::int64_t{62}));
}

TEST(BmpLayout, FilesWhosePartsDoNotFitAreRefused) {
  const std::vector<std::uint8_t> refused[] = {
      File(2, 1, 8, 0, 300, 1200, 8),  // more colours than 8 bits give
      File(2, 1, 8, 0, 0, 8, 8),       // a 256-entry table the file does not hold
      File(2, 3, 24, 0, 0, 0, 8),      // three rows, one held
      File(2, 1, 24, 1, 0, 0, 8),      // run-length compressed
      File(2, 1, 12, 0, 0, 0, 8),      // no such depth
  };
  for (const auto& f : refused) EXPECT_THROW(ReadBmpLayout(f), rtl::Exception);
}

}  // namespace
}  // namespace gfx
