#include "skbar/sk_color_forms.h"

#include <gtest/gtest.h>

namespace skbar {
namespace {

TEST(SkColorForms, BlendTruncatesTowardZero) {
  // c2 + alpha * (c1 - c2) div 255: negative differences truncate toward zero.
  EXPECT_EQ(SkBlendColors(ui::clBlack, ui::clWhite, 1), 0xFEFEFEu);
  EXPECT_EQ(SkBlendColors(ui::clBlack, 0x646464, 3), 0x636363u);  // 100 - 300 div 255
  EXPECT_EQ(SkBlendColors(0x0000FF, 0x00FF00, 128), 0x007F80u);
  EXPECT_EQ(SkBlendColors(ui::clWhite, ui::clBlack, 255), ui::clWhite);
  EXPECT_EQ(SkBlendColors(ui::clWhite, ui::clBlack, 300), ui::clWhite);  // clamped
  const ui::TColor face = ui::ColorToRGBValue(ui::clBtnFace);
  EXPECT_EQ(SkBlendColors(ui::clBtnFace, ui::clBlack, 255), face);
}

TEST(SkColorForms, TextForms) {
  using enum TSkBarColorTextType;
  struct Case {
    ui::TColor color;
    TSkBarColorTextType type;
    std::wstring_view text;
  };
  const Case cases[] = {
      {0x123456, cttPlatform, L"$00123456"},      {0x123456, cttHTML, L"#563412"},
      {0x123456, cttPlatformOrHTML, L"#563412"},  {ui::clRed, cttPlatformOrHTML, L"clRed"},
      {ui::clBtnFace, cttPlatform, L"clBtnFace"}, {ui::clBtnFace, cttPlatformOrHTML, L"clBtnFace"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.text));
    EXPECT_EQ(SkColorToString(c.color, c.type), c.text);
  }
  int r, g, b;
  SkGetRGB(ui::clBtnFace, r, g, b);
  wchar_t html[8];
  std::swprintf(html, 8, L"#%.2x%.2x%.2x", r, g, b);
  EXPECT_EQ(SkColorToString(ui::clBtnFace, cttHTML), html);
}

}  // namespace
}  // namespace skbar
