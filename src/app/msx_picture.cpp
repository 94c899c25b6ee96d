#include "app/msx_picture.h"

#include <array>
#include <cwctype>
#include <string>

namespace app {
namespace {

constexpr std::array<std::uint8_t, 8> kLevel3 = {0, 36, 73, 109, 146, 182, 219, 255};
constexpr std::array<std::uint8_t, 4> kLevel2 = {0, 85, 170, 255};

constexpr std::uint32_t Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// The MSX2's palette at power-on, as 3-bit red, green and blue levels.
constexpr std::uint8_t kPowerOnPalette[16][3] = {
    {0, 0, 0}, {0, 0, 0}, {1, 6, 1}, {3, 7, 3}, {1, 1, 7}, {2, 3, 7}, {5, 1, 1}, {2, 6, 7},
    {7, 1, 1}, {7, 3, 3}, {6, 6, 1}, {6, 6, 4}, {1, 4, 1}, {6, 2, 5}, {5, 5, 5}, {7, 7, 7}};

// The byte at `index` of the picture data, 0 past the end of the file.
std::uint8_t DataByte(std::span<const std::uint8_t> data, std::size_t index) {
  return index < data.size() ? data[index] : 0;
}

}  // namespace

TMsxPictureKind MsxPictureKind(std::wstring_view fileName) {
  const std::size_t dot = fileName.rfind(L'.');
  if (dot == std::wstring_view::npos || fileName.size() - dot != 4) return TMsxPictureKind::None;
  std::wstring ext;
  for (wchar_t c : fileName.substr(dot + 1)) ext += static_cast<wchar_t>(std::towupper(c));
  if (ext == L"SC5") return TMsxPictureKind::Screen5;
  if (ext == L"SC8") return TMsxPictureKind::Screen8;
  return TMsxPictureKind::None;
}

std::uint32_t Screen8Color(std::uint8_t value) {
  return Opaque(kLevel3[(value >> 2) & 7], kLevel3[value >> 5], kLevel2[value & 3]);
}

std::uint32_t Screen5PaletteColor(std::uint8_t first, std::uint8_t second) {
  return Opaque(kLevel3[(first >> 4) & 7], kLevel3[second & 7], kLevel3[first & 7]);
}

std::optional<TMsxPicture> DecodeMsxPicture(std::span<const std::uint8_t> file,
                                            TMsxPictureKind kind) {
  if (kind == TMsxPictureKind::None) return std::nullopt;
  const std::span<const std::uint8_t> data = file.size() > kBsaveHeaderSize
                                                 ? file.subspan(kBsaveHeaderSize)
                                                 : std::span<const std::uint8_t>();
  TMsxPicture picture;
  picture.pixels.resize(static_cast<std::size_t>(kMsxPictureWidth) * kMsxPictureHeight);
  std::uint32_t* out = picture.pixels.data();
  if (kind == TMsxPictureKind::Screen8) {
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
      out[i] = Screen8Color(DataByte(data, i));
    return picture;
  }
  std::array<std::uint32_t, 16> palette;
  const bool ownPalette = data.size() >= kSc5PaletteOffset + 2 * palette.size();
  for (std::size_t k = 0; k < palette.size(); ++k) {
    const std::uint8_t* level = kPowerOnPalette[k];
    palette[k] = ownPalette ? Screen5PaletteColor(data[kSc5PaletteOffset + 2 * k],
                                                  data[kSc5PaletteOffset + 2 * k + 1])
                            : Opaque(kLevel3[level[0]], kLevel3[level[1]], kLevel3[level[2]]);
  }
  for (std::size_t i = 0; i < picture.pixels.size(); i += 2) {
    const std::uint8_t pair = DataByte(data, i / 2);
    out[i] = palette[pair >> 4];
    out[i + 1] = palette[pair & 15];
  }
  return picture;
}

}  // namespace app
