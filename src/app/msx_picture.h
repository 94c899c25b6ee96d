// MSX screen pictures saved with BSAVE: SCREEN 5 (".SC5": 256 x 212, two pixels per byte, 16
// colours from the picture's own palette) and SCREEN 8 (".SC8": 256 x 212, one byte per pixel
// with 3 bits of green, 3 of red and 2 of blue). The 7-byte BSAVE header is skipped, unchecked.
//   The file's bytes are read only where they exist: missing pixel bytes read as 0, and a
//   SCREEN 5 file that stops before the end of its 32 palette bytes (a picture saved without
//   its palette) is shown with the MSX2 power-on palette.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace app {

inline constexpr int kMsxPictureWidth = 256;
inline constexpr int kMsxPictureHeight = 212;
// Where the pixels start in the file, and where a SCREEN 5 palette starts in the pixel data.
inline constexpr std::size_t kBsaveHeaderSize = 7;
inline constexpr std::size_t kSc5PaletteOffset = 0x7680;

enum class TMsxPictureKind { None, Screen5, Screen8 };

// ".SC5" or ".SC8" by the name's extension, in any case; None for any other name.
TMsxPictureKind MsxPictureKind(std::wstring_view fileName);

// A decoded picture: kMsxPictureWidth x kMsxPictureHeight opaque 0xAARRGGBB pixels, row by row.
struct TMsxPicture {
  std::vector<std::uint32_t> pixels;
  std::uint32_t Pixel(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * kMsxPictureWidth + static_cast<std::size_t>(x)];
  }
};

// The picture in `file` (the whole file, header included) as `kind`; nothing for None.
std::optional<TMsxPicture> DecodeMsxPicture(std::span<const std::uint8_t> file,
                                            TMsxPictureKind kind);

// The colour of a SCREEN 8 byte, and of a SCREEN 5 palette entry's two bytes.
std::uint32_t Screen8Color(std::uint8_t value);
std::uint32_t Screen5PaletteColor(std::uint8_t first, std::uint8_t second);

}  // namespace app
