#include "skbar/sk_text.h"

#include <gtest/gtest.h>

#include <array>

namespace skbar {
namespace {

TEST(SkText, CaptionCleaning) {
  EXPECT_EQ(SkStripAccelChars(L"Save &As && Close"), L"Save As & Close");
  EXPECT_EQ(SkStripAccelChars(L"&&&x&"), L"&x");
  EXPECT_EQ(SkStripShortcut(L"Open\tCtrl+O\tx"), L"Open");
  EXPECT_EQ(SkStripShortcut(L"Open"), L"Open");
  EXPECT_EQ(SkStripTrailingPunctuation(L"Open..."), L"Open");
  EXPECT_EQ(SkStripTrailingPunctuation(L"Name:"), L"Name");
  EXPECT_EQ(SkStripTrailingPunctuation(L":"), L":");
  EXPECT_EQ(SkStripTrailingPunctuation(L"..."), L"...");
  EXPECT_TRUE(SkSameText(L"Office XP", L"office xp"));
  EXPECT_FALSE(SkSameText(L"Office", L"Office XP"));
}

// Every character is 7 pixels wide.
int Width(std::wstring_view text) {
  return 7 * static_cast<int>(text.size());
}

TEST(SkText, RotatedTextEllipsisAndUnderline) {
  const TSkFontMetrics metrics{13, 10, 3};
  struct Case {
    std::wstring_view text;
    TRect rect;
    TSkTextRotationAngle rotation;
    std::uint32_t flags;
    std::wstring_view shown;
    int accel;
    TPoint origin;
    bool underline;
    int x, from, to;
  };
  using enum TSkTextRotationAngle;
  const Case cases[] = {
      // Height 2: only the first character stays.
      {L"Files", {0, 0, 20, 2}, tra90, kDtEndEllipsis, L"F...", -1, {3, 0}, false, 0, 0, 0},
      // Height 40: "Fo..." is 35 pixels, "Fol..." 42.
      {L"&Folders", {0, 0, 21, 40}, tra270, kDtEndEllipsis, L"Fo...", 0, {4, 0}, true, 5, 0, 7},
      // The accelerator falls off with the cut characters.
      {L"Fol&ders", {0, 0, 21, 40}, tra270, kDtEndEllipsis, L"Fo...", -1, {4, 0}, false, 0, 0, 0},
      // Upwards: the first character lies at the bottom, the underline right of the baseline.
      {L"a&bc", {10, 5, 31, 45}, tra90, kDtCenter, L"abc", 1, {14, 14}, true, 25, 21, 28},
      {L"a&bc", {10, 5, 31, 45}, tra270, kDtCenter, L"abc", 1, {14, 14}, true, 15, 21, 28},
      {L"a&bc", {10, 5, 31, 45}, tra270, kDtHidePrefix, L"abc", 1, {14, 5}, false, 0, 0, 0},
      {L"a&&b", {0, 0, 20, 40}, tra90, kDtNoPrefix, L"a&&b", -1, {3, 0}, false, 0, 0, 0},
      {L"a&&b", {0, 0, 20, 40}, tra90, 0, L"a&b", -1, {3, 0}, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.text) + L" " + std::wstring(c.shown));
    const TSkRotatedTextPlan plan =
        SkPlanRotatedText(c.text, c.rect, c.rotation, c.flags, metrics, &Width);
    EXPECT_EQ(plan.text, c.shown);
    EXPECT_EQ(plan.accel, c.accel);
    EXPECT_EQ(plan.origin, c.origin);
    EXPECT_EQ(plan.extent, (TSize{13, Width(c.shown)}));
    EXPECT_EQ(plan.underline, c.underline);
    if (c.underline) {
      EXPECT_EQ((std::array{plan.underlineX, plan.underlineFrom, plan.underlineTo}),
                (std::array{c.x, c.from, c.to}));
    }
  }
  EXPECT_EQ(SkPlanRotatedText(L"", {0, 0, 9, 9}, tra90, 0, metrics, &Width).extent, TSize{});
}

// Measures 6 pixels per character and 13 per line; records the width it was given.
struct FakeMeasure {
  int lastWidth = 0;
  TSize operator()(const std::wstring& text, int width, std::uint32_t) {
    lastWidth = width;
    return {6 * static_cast<int>(text.size()), 13};
  }
};

TEST(SkText, CaptionLayoutPlacesTextAndGlyphs) {
  struct Case {
    const char* name;
    TSkCaptionLayoutInput in;
    TRect caption, glyph, rightGlyph;
    int measureWidth;
  };
  const TRect r{10, 20, 110, 50};  // 100 x 30
  const Case cases[] = {
      {"left, glyph and right glyph",
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
      {"centred beside",
       {r, L"Files", false, false, false, {16, 16}, {}, 0, 2},
       {55, 28, 85, 41},
       {35, 27, 51, 43},
       {},
       1},
      {"glyph on top forces centring",
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
      {"glyph only",
       {r, L"", false, false, false, {16, 16}, {}, 0, 2},
       {},
       {52, 27, 68, 43},
       {},
       0},
      // Axes swapped: the 30 x 100 rectangle is laid out as 100 x 30 and swapped back.
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMeasure measure;
    const TSkCaptionLayout layout = SkCalcCaptionLayout(
        c.in, [&](const std::wstring& t, int w, std::uint32_t f) { return measure(t, w, f); });
    EXPECT_EQ(layout.captionRect, c.caption);
    EXPECT_EQ(layout.glyphRect, c.glyph);
    EXPECT_EQ(layout.rightGlyphRect, c.rightGlyph);
    EXPECT_EQ(measure.lastWidth, c.measureWidth);
    EXPECT_EQ(layout.textHeight, c.in.caption.empty() ? 0 : 13);
  }
}

TEST(SkText, CaptionLayoutFlagsAndBoldPlainExtent) {
  TSkCaptionLayoutInput in{{0, 0, 100, 20},
                           L"&Open",
                           false,
                           false,
                           false,
                           {},
                           {},
                           kDtCenter | kDtVCenter | kDtEndEllipsis,
                           1};
  std::wstring plainText;
  in.plainExtent = [&](const std::wstring& text) {
    plainText = text;
    return TSize{40, 12};
  };
  int measured = 0;
  const auto measure = [&](const std::wstring&, int, std::uint32_t) {
    ++measured;
    return TSize{90, 13};
  };
  TSkCaptionLayout layout = SkCalcCaptionLayout(in, measure);
  EXPECT_EQ(layout.flags, kDtEndEllipsis | kDtRight);
  EXPECT_EQ(plainText, L"Open");
  EXPECT_EQ(measured, 0);
  EXPECT_EQ(layout.captionRect, (TRect{60, 4, 100, 16}));
  in.plainExtent = [](const std::wstring&) { return TSize{103, 12}; };  // does not fit
  layout = SkCalcCaptionLayout(in, measure);
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(layout.captionRect, (TRect{10, 3, 100, 16}));
}

}  // namespace
}  // namespace skbar
