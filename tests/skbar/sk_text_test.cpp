#include "skbar/sk_text.h"

#include <gtest/gtest.h>

#include <array>

#include "tb/view_fakes.h"

namespace skbar {
namespace {

TEST(SkText, CaptionCleaning) {
  EXPECT_EQ(SkStripAccelChars(L"Save &As && Close"), L"Save As & Close");
  EXPECT_EQ(SkStripAccelChars(L"&&&x&"), L"&x");
  EXPECT_EQ(SkStripShortcut(L"Open\tCtrl+O\tx"), L"Open");
  EXPECT_EQ(SkStripTrailingPunctuation(L"Open..."), L"Open");
  EXPECT_EQ(SkStripTrailingPunctuation(L"Name:"), L"Name");
  EXPECT_EQ(SkStripTrailingPunctuation(L"..."), L"...");
  EXPECT_TRUE(SkSameText(L"Office XP", L"office xp"));
  const tb::testing::Latin1Lowering platformLetters;
  EXPECT_TRUE(SkSameText(L"C:\\\u00C4B.DSK", L"c:\\\u00E4b.dsk"));
  EXPECT_FALSE(SkSameText(L"\u00C4B.DSK", L"AB.DSK"));
}

TEST(SkText, RotatedTextEllipsisAndUnderline) {
  using enum TSkTextRotationAngle;
  struct Case {
    std::wstring_view text;
    TRect rect;
    TSkTextRotationAngle rotation;
    std::uint32_t flags;
    std::wstring_view shown;
    TPoint origin;
    std::array<int, 3> underline;  // column, from, to; all 0 for none
  };
  // Characters 7 pixels wide; font height 13, ascent 10, descent 3.
  const Case cases[] = {
      // Height 2 keeps the first character; at 40, "Fo..." is 35 pixels and "Fol..." 42.
      {L"Files", {0, 0, 20, 2}, tra90, kDtEndEllipsis, L"F...", {3, 0}, {}},
      {L"&Folders", {0, 0, 21, 40}, tra270, kDtEndEllipsis, L"Fo...", {4, 0}, {5, 0, 7}},
      {L"Fol&ders", {0, 0, 21, 40}, tra270, kDtEndEllipsis, L"Fo...", {4, 0}, {}},
      // The cut falls exactly at the accelerator: the dots are not underlined.
      {L"Fo&lders", {0, 0, 21, 40}, tra270, kDtEndEllipsis, L"Fo...", {4, 0}, {}},
      // Upwards the first character is at the bottom and the line right of the baseline.
      {L"a&bc", {10, 5, 31, 45}, tra90, kDtCenter, L"abc", {14, 14}, {25, 21, 28}},
      {L"a&bc", {10, 5, 31, 45}, tra270, kDtCenter, L"abc", {14, 14}, {15, 21, 28}},
      {L"a&&b", {0, 0, 20, 40}, tra90, kDtHidePrefix, L"a&b", {3, 0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.text) + L" " + std::wstring(c.shown));
    const TSkRotatedTextPlan plan =
        SkPlanRotatedText(c.text, c.rect, c.rotation, c.flags, {13, 10, 3},
                          [](std::wstring_view t) { return 7 * static_cast<int>(t.size()); });
    EXPECT_EQ(plan.text, c.shown);
    EXPECT_EQ(plan.origin, c.origin);
    EXPECT_EQ(plan.extent, (TSize{13, 7 * static_cast<int>(c.shown.size())}));
    const std::array<int, 3> line{plan.underlineX, plan.underlineFrom, plan.underlineTo};
    EXPECT_EQ(plan.underline ? line : decltype(line){}, c.underline);
  }
}

TEST(SkText, CaptionLayoutPlacesTextAndGlyphs) {
  struct Case {
    const char* name;
    TSkCaptionLayoutInput in;
    TRect caption, glyph, rightGlyph;
    int measureWidth;
  };
  const TRect r{10, 20, 110, 50};  // 100 x 30; captions measure 6 pixels a character x 13
  const Case cases[] = {
      {"left, both glyphs",
       {r, L"Files", false, false, false, {16, 16}, {8, 8}, kDtEndEllipsis, 0},
       {30, 28, 60, 41},
       {10, 27, 26, 43},
       {102, 31, 110, 39},
       100 - 16 - 4 - 8 - 4 + 2},
      {"right",
       {r, L"Files", false, false, false, {16, 16}, {8, 8}, 0, 1},
       {60, 28, 90, 41},
       {94, 27, 110, 43},
       {},
       1},
      {"centred",
       {r, L"Files", false, false, false, {16, 16}, {}, 0, 2},
       {55, 28, 85, 41},
       {35, 27, 51, 43},
       {},
       1},
      {"glyph on top",
       {r, L"ab", false, false, true, {16, 10}, {}, kDtWordBreak, 0},
       {54, 33, 66, 46},
       {52, 23, 68, 33},
       {},
       102},
      {"pushed",
       {r, L"ab", false, true, false, {16, 16}, {}, 0, 0},
       {31, 29, 43, 42},
       {11, 28, 27, 44},
       {},
       1},
      {"rotated",
       {{20, 10, 50, 110}, L"ab", true, false, false, {}, {}, 0, 0},
       {28, 10, 41, 22},
       {},
       {},
       1},
      {"right glyph cuts the caption",
       {{0, 0, 40, 20}, L"abcdefg", false, false, false, {}, {8, 8}, 0, 0},
       {0, 3, 28, 16},
       {},
       {32, 6, 40, 14},
       1},
      {"pushed: the right glyph cuts the moved caption",
       {{0, 0, 40, 20}, L"abcdefg", false, true, false, {}, {8, 8}, 0, 0},
       {1, 4, 28, 17},
       {},
       {32, 6, 40, 14},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int measureWidth = 0;
    const TSkCaptionLayout layout =
        SkCalcCaptionLayout(c.in, [&](const std::wstring& text, int width, std::uint32_t) {
          measureWidth = width;
          return TSize{6 * static_cast<int>(text.size()), 13};
        });
    EXPECT_EQ(layout.captionRect, c.caption);
    EXPECT_EQ(layout.glyphRect, c.glyph);
    EXPECT_EQ(layout.rightGlyphRect, c.rightGlyph);
    EXPECT_EQ(measureWidth, c.measureWidth);
  }
  // A bold caption with an ellipsis takes its plain extent when that fits the 102 pixels.
  TSkCaptionLayoutInput in{{0, 0, 100, 20},
                           L"&Open",
                           false,
                           false,
                           false,
                           {},
                           {},
                           kDtCenter | kDtVCenter | kDtEndEllipsis,
                           1};
  for (const int plainWidth : {40, 103}) {
    in.plainExtent = [&](const std::wstring& text) {
      return TSize{text == L"Open" ? plainWidth : 0, 12};
    };
    const TSkCaptionLayout layout =
        SkCalcCaptionLayout(in, [](const std::wstring&, int, std::uint32_t) {
          return TSize{90, 13};
        });
    EXPECT_EQ(layout.flags, kDtEndEllipsis | kDtRight);
    const TRect expected = plainWidth == 40 ? TRect{60, 4, 100, 16} : TRect{10, 3, 100, 16};
    EXPECT_EQ(layout.captionRect, expected);
  }
}

}  // namespace
}  // namespace skbar
