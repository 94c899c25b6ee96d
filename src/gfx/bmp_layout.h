// The layout of a BMP file (the platform's device-independent bitmap file) read from its bytes:
// every check the loader makes before anything is sized, and the header block that the
// platform's decoder is given.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gfx {

struct TBmpLayout {
  std::int32_t Width = 0;
  std::int32_t Rows = 0;
  bool BottomUp = true;  // a positive height: the last row comes first
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = 0;  // 0 plain, 3 bit fields (16 and 32 bits only)
  std::int64_t BitsOffset = 0;    // the first pixel row; Rows rows of Stride bytes lie in the file
  std::int64_t Stride = 0;
  // The information header, its colour masks and its colour table, aligned as the platform
  // reads them. It holds every colour entry its header declares: for more than 8 bits per pixel
  // the optional table (a palette hint only) is declared empty, since the file need not hold it
  // and the platform would read it past the block.
  std::vector<std::uint32_t> Info;
};

// Throws rtl::Exception "Bitmap image is not valid" for anything else than a plain or
// bit-field BMP of 1, 4, 8, 16, 24 or 32 bits per pixel whose parts all lie in File.
TBmpLayout ReadBmpLayout(std::span<const std::uint8_t> File);

}  // namespace gfx
