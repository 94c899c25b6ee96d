// SCREEN 5 and SCREEN 8 pictures: colours, pixel layout and short files, against byte layouts
// worked out from the format (BSAVE header of 7 bytes; SCREEN 5 nibbles high then low and its
// palette at 0x7680 of the pixel data; SCREEN 8 bits GGGRRRBB).
#include <gtest/gtest.h>

#include <vector>

#include "app/msx_picture.h"

namespace app {
namespace {

constexpr std::size_t kSc5FullSize = 7 + 0x7680 + 32;  // 30,375
constexpr std::size_t kSc8FullSize = 7 + 256 * 212;    // 54,279

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | r << 16 | g << 8 | b;
}

TEST(MsxPicture, KindFollowsTheExtensionInAnyCase) {
  const struct {
    const wchar_t* name;
    TMsxPictureKind kind;
  } cases[] = {{L"PIC.SC5", TMsxPictureKind::Screen5},
               {L"pic.sc8", TMsxPictureKind::Screen8},
               {L"PIC.SC55", TMsxPictureKind::None},
               {L"SC5", TMsxPictureKind::None},
               {L"PIC.SC7", TMsxPictureKind::None}};
  for (const auto& c : cases) EXPECT_EQ(MsxPictureKind(c.name), c.kind) << c.name;
  EXPECT_FALSE(DecodeMsxPicture(std::vector<std::uint8_t>(kSc8FullSize), TMsxPictureKind::None));
}

TEST(MsxPicture, Screen8ColoursComeFromTheBitFields) {
  const struct {
    std::uint8_t value;
    std::uint32_t color;
  } cases[] = {{0xFF, Rgb(255, 255, 255)}, {0x1C, Rgb(255, 0, 0)}, {0x03, Rgb(0, 0, 255)},
               {0xE0, Rgb(0, 255, 0)},     {0x00, Rgb(0, 0, 0)},   {0x49, Rgb(73, 73, 85)},
               {0x26, Rgb(36, 36, 170)}};
  for (const auto& c : cases) EXPECT_EQ(Screen8Color(c.value), c.color) << int(c.value);
}

TEST(MsxPicture, Screen8PixelsAreOneByteEachRowByRow) {
  std::vector<std::uint8_t> file(kSc8FullSize, 0xAA);
  for (std::size_t i = 0; i < 7; ++i) file[i] = 0xFE;  // the header is never a pixel
  file[7 + 0] = 0x1C;                                  // (0, 0)
  file[7 + 255] = 0x03;                                // (255, 0)
  file[7 + 256] = 0xFF;                                // (0, 1)
  file[7 + 211 * 256 + 255] = 0xE0;                    // (255, 211)
  const auto picture = DecodeMsxPicture(file, TMsxPictureKind::Screen8);
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->pixels.size(), 256u * 212u);
  EXPECT_EQ(picture->Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(picture->Pixel(1, 0), Screen8Color(0xAA));
  EXPECT_EQ(picture->Pixel(255, 0), Rgb(0, 0, 255));
  EXPECT_EQ(picture->Pixel(0, 1), Rgb(255, 255, 255));
  EXPECT_EQ(picture->Pixel(255, 211), Rgb(0, 255, 0));
}

TEST(MsxPicture, Screen5UsesItsOwnPaletteAndTwoPixelsPerByte) {
  std::vector<std::uint8_t> file(kSc5FullSize, 0);
  const std::size_t palette = 7 + 0x7680;
  ASSERT_EQ(palette, 30343u);
  // Entry 1: 0x77, 0x07 = white; entry 2: red 7 only; entry 15: green 5, red 2, blue 3.
  file[palette + 2] = 0x77, file[palette + 3] = 0x07;
  file[palette + 4] = 0x70, file[palette + 5] = 0x00;
  file[palette + 30] = 0x23, file[palette + 31] = 0x05;
  file[7] = 0x12;                    // row 0: pixel 0 colour 1, pixel 1 colour 2
  file[7 + 128 + 127] = 0xF0;        // row 1: pixel 254 colour 15, pixel 255 colour 0
  file[7 + 211 * 128 + 127] = 0x21;  // row 211: pixel 254 colour 2, pixel 255 colour 1
  const auto picture = DecodeMsxPicture(file, TMsxPictureKind::Screen5);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Pixel(0, 0), Rgb(255, 255, 255));
  EXPECT_EQ(picture->Pixel(1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(picture->Pixel(2, 0), Rgb(0, 0, 0));
  EXPECT_EQ(picture->Pixel(254, 1), Rgb(73, 182, 109));
  EXPECT_EQ(picture->Pixel(255, 1), Rgb(0, 0, 0));
  EXPECT_EQ(picture->Pixel(254, 211), Rgb(255, 0, 0));
  EXPECT_EQ(picture->Pixel(255, 211), Rgb(255, 255, 255));
}

// Short files read only the bytes they have: pixels past the end are byte 0, and a SCREEN 5
// file without all 32 palette bytes gets the power-on palette (colour 15 white, 4 = levels
// 1, 1, 7, 0 black).
TEST(MsxPicture, ShortFilesReadOnlyWhatTheyHave) {
  const std::uint32_t black = Rgb(0, 0, 0), powerOn4 = Rgb(36, 36, 255);
  const std::uint32_t black5 = Rgb(255, 255, 255);
  const struct {
    std::size_t size;
    TMsxPictureKind kind;
    std::uint32_t first, last;  // pixels (0, 0) and (255, 211)
  } cases[] = {
      {0, TMsxPictureKind::Screen5, black, black},
      {6, TMsxPictureKind::Screen5, black, black},
      {8, TMsxPictureKind::Screen5, black5, black},
      {27143, TMsxPictureKind::Screen5, black5, powerOn4},
      {kSc5FullSize - 1, TMsxPictureKind::Screen5, black5, powerOn4},
      {0, TMsxPictureKind::Screen8, Rgb(0, 0, 0), Rgb(0, 0, 0)},
      {7, TMsxPictureKind::Screen8, Rgb(0, 0, 0), Rgb(0, 0, 0)},
      {8, TMsxPictureKind::Screen8, Rgb(36, 0, 255), Rgb(0, 0, 0)},
      {kSc8FullSize - 1, TMsxPictureKind::Screen8, Rgb(36, 0, 255), Rgb(0, 0, 0)},
  };
  for (const auto& c : cases) {
    // Pixel bytes 0xF4 for SCREEN 5 (colours 15 and 4), 0x07 for SCREEN 8 (red 1, blue 3).
    std::vector<std::uint8_t> bytes(c.size, 0x07);
    for (std::size_t i = 7; i < c.size; ++i)
      bytes[i] = c.kind == TMsxPictureKind::Screen5 ? 0xF4 : 0x07;
    const auto picture = DecodeMsxPicture(bytes, c.kind);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Pixel(0, 0), c.first) << c.size;
    EXPECT_EQ(picture->Pixel(255, 211), c.last) << c.size;
  }
}

}  // namespace
}  // namespace app
