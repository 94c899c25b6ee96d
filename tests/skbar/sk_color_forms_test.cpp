#include "skbar/sk_color_forms.h"

#include <gtest/gtest.h>

namespace skbar {
namespace {

TEST(SkColorForms, BlendAndTextForms) {
  // c2 + alpha * (c1 - c2) div 255: negative differences truncate toward zero.
  EXPECT_EQ(SkBlendColors(ui::clBlack, ui::clWhite, 1), 0xFEFEFEu);
  EXPECT_EQ(SkBlendColors(ui::clBlack, 0x646464, 3), 0x636363u);
  EXPECT_EQ(SkBlendColors(0x0000FF, 0x00FF00, 128), 0x007F80u);
  EXPECT_EQ(SkBlendColors(ui::clWhite, ui::clBlack, 300), ui::clWhite);
  EXPECT_EQ(SkBlendColors(ui::clBtnFace, 0, 255), ui::ColorToRGBValue(ui::clBtnFace));
  using enum TSkBarColorTextType;
  EXPECT_EQ(SkColorToString(0x123456, cttPlatform), L"$00123456");
  EXPECT_EQ(SkColorToString(0x123456, cttHTML), L"#563412");
  EXPECT_EQ(SkColorToString(0x123456, cttPlatformOrHTML), L"#563412");
  EXPECT_EQ(SkColorToString(ui::clBtnFace, cttPlatformOrHTML), L"clBtnFace");
  EXPECT_EQ(SkColorToString(ui::clBtnFace, cttHTML),
            SkColorToHTML(ui::ColorToRGBValue(ui::clBtnFace)));
}

}  // namespace
}  // namespace skbar
