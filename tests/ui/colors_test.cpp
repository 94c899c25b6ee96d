// Colour text: identifiers and "$" hexadecimal both ways, and system colours resolved.
#include <gtest/gtest.h>

#include "ui/colors.h"
#include "ui/text.h"

namespace ui {
namespace {

TEST(Colors, TextForms) {
  struct Case {
    TColor color;
    const wchar_t* text;
  };
  const Case cases[] = {
      {clBtnFace, L"clBtnFace"},  {clNone, L"clNone"},
      {clMenuBar, L"clMenuBar"},  {clDefault, L"clDefault"},
      {0xC0C0C0, L"clSilver"},    {0x123456, L"$00123456"},
      {0xFF00001F, L"$FF00001F"}, {0xFF000019, L"$FF000019"},  // no system colour 25
      {0xFFFFFFFF, L"$FFFFFFFF"}, {cl3DDkShadow, L"cl3DDkShadow"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorToString(c.color), c.text);
    EXPECT_EQ(StringToColor(c.text), c.color) << Utf8FromWide(c.text);
  }
  struct Read {
    const wchar_t* text;
    TColor color;
  };
  const Read reads[] = {
      {L"CLBTNFACE", clBtnFace},
      {L"255", 0xFF},
      {L" $ff ", 0xFF},
      {L"0x10", 0x10},
      {L"-1", 0xFFFFFFFF},
      {L"-2147483648", 0x80000000},
      {L"4294967295", 0xFFFFFFFF},
  };
  for (const auto& r : reads) EXPECT_EQ(StringToColor(r.text), r.color) << Utf8FromWide(r.text);
  for (const wchar_t* bad : {L"", L"clBtnFaces", L"$", L"4294967296", L"-2147483649", L"12x"})
    EXPECT_THROW(StringToColor(bad), EConvertError) << Utf8FromWide(bad);
}

TEST(Colors, SystemColoursResolve) {
  EXPECT_EQ(ColorToRGBValue(0x123456), 0x123456u);
  EXPECT_EQ(ColorToRGBValue(clBtnFace), SystemColorRGB(15));
  EXPECT_EQ(ColorToRGBValue(clNone), clNone);
  EXPECT_EQ(SystemColorRGB(99), 0u);
  const TSystemColorSource previous =
      SetSystemColorSource([](int index) { return static_cast<std::uint32_t>(index * 3); });
  EXPECT_EQ(ColorToRGBValue(clHighlight), 39u);
  EXPECT_EQ(SetSystemColorSource(previous)(2), 6u);
  EXPECT_EQ(SystemColorRGB(99), 0u);
}

}  // namespace
}  // namespace ui
