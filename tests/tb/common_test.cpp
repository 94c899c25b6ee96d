#include "tb/common.h"

#include <gtest/gtest.h>

#include "tb/anim.h"
#include "tb/consts.h"

namespace {

TEST(TbCommon, CaptionRules) {
  struct Case {
    const wchar_t* text;
    const wchar_t* removed;
    wchar_t accel;
    const wchar_t* trimmed;
    const wchar_t* doubled;
  };
  const Case cases[] = {
      {L"&&File", L"&File", 0, L"&&File", L"&&&&File"},
      {L"a&b&&c", L"ab&c", L'b', L"a&b&&c", L"a&&b&&&&c"},
      {L"Save&", L"Save", 0, L"Save&", L"Save&&"},
      {L"&a&", L"a", 0, L"&a&", L"&&a&&"},
      {L":", L":", 0, L":", L":"},
      {L"...", L"...", 0, L"...", L"..."},
      {L"&Save...", L"Save...", L'S', L"&Save", L"&&Save..."},
      {L"Na&me:", L"Name:", L'm', L"Na&me", L"Na&&me:"},
      {L"x&y&z", L"xyz", L'z', L"x&y&z", L"x&&y&&z"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tb::RemoveAccelMarks(c.text), c.removed) << c.text;
    EXPECT_EQ(tb::LastAccelChar(c.text), c.accel) << c.text;
    EXPECT_EQ(tb::TrimCaptionEnding(c.text), c.trimmed) << c.text;
    EXPECT_EQ(tb::DoubleAmpersands(c.text), c.doubled) << c.text;
    const tb::TAccelText split = tb::SplitAccelText(c.text);
    EXPECT_EQ(split.text, c.removed) << c.text;
    EXPECT_EQ(split.accel < 0 ? 0 : split.text[static_cast<std::size_t>(split.accel)], c.accel)
        << c.text;
  }
}

TEST(TbCommon, MenuShowDelay) {
  using Text = tb::TRegistryText;
  EXPECT_EQ(tb::ParseMenuShowDelay(std::nullopt), 400);
  EXPECT_EQ(tb::ParseMenuShowDelay(Text{true, L"abc"}), 0);
  EXPECT_EQ(tb::ParseMenuShowDelay(Text{true, L" 250"}), 250);
  EXPECT_EQ(tb::ParseMenuShowDelay(Text{false, L"250"}), 0);  // not a string value
  EXPECT_EQ(tb::ParseMenuShowDelay(Text{true, std::wstring(33, L'1')}), 0);
  EXPECT_EQ(tb::ChooseMenuShowDelay(-5, 100), 0);
  EXPECT_EQ(tb::ChooseMenuShowDelay(std::nullopt, 100), 100);
  EXPECT_EQ(tb::ChooseMenuShowDelay(200, 100), 200);
}

std::optional<tb::TRect> Second(const tb::TRect&, bool workArea) {
  return workArea ? tb::TRect{1280, 0, 2560, 990} : tb::TRect{1280, 0, 2560, 1024};
}
std::optional<tb::TRect> Failing(tb::TPoint, bool) {
  return std::nullopt;
}
std::optional<tb::TRect> WorkArea() {
  return tb::TRect{0, 0, 1280, 994};
}

TEST(TbCommon, MonitorRectFallsBackToThePrimaryScreen) {
  tb::TMonitorFunctions f;
  f.screen = {0, 0, 1280, 1024};
  const tb::TRect r{1300, 10, 1400, 50};
  const tb::TPoint p{1300, 10};
  // One monitor: the work area when known and asked for, else the screen.
  EXPECT_EQ(tb::ChooseMonitorRect(f, &r, nullptr, true), f.screen);
  f.workArea = WorkArea;
  EXPECT_EQ(tb::ChooseMonitorRect(f, &r, nullptr, true), (tb::TRect{0, 0, 1280, 994}));
  EXPECT_EQ(tb::ChooseMonitorRect(f, &r, nullptr, false), f.screen);
  // Several: the nearest monitor, unless its query fails.
  f.monitorCount = 2;
  f.nearestToRect = Second;
  f.nearestToPoint = Failing;
  EXPECT_EQ(tb::ChooseMonitorRect(f, &r, nullptr, true), (tb::TRect{1280, 0, 2560, 990}));
  EXPECT_EQ(tb::ChooseMonitorRect(f, nullptr, &p, false), f.screen);
}

TEST(TbCommon, NextTopLevelWindowPrefersTheFirstNormalOne) {
  const std::vector<tb::TWindowDescriptor> windows = {
      {1, true, true, false},   // excluded
      {2, true, true, true},    // first topmost
      {3, false, true, false},  // invisible
      {4, true, false, false},  // disabled
      {9, true, true, false},   // the application window
      {5, true, true, false},
  };
  EXPECT_EQ(tb::ChooseNextTopLevelWindow(windows, 1, 9), 5u);
  EXPECT_EQ(tb::ChooseNextTopLevelWindow({windows.begin(), windows.begin() + 5}, 1, 9), 2u);
  EXPECT_EQ(tb::ChooseNextTopLevelWindow({}, 1, 9), 0u);
}

TEST(TbCommon, MenuSoundFlagsAndVerticalText) {
  EXPECT_EQ(tb::MenuSoundFlags(true, 5), 0x10003u);
  EXPECT_EQ(tb::MenuSoundFlags(false, 4), 0x10013u);
  EXPECT_EQ(tb::MenuSoundFlags(true, 6), 0x210003u);

  tb::TVerticalTextMetrics m;
  m.fontHeight = 13;
  m.descent = 3;
  m.textWidth = 40;
  m.widthBeforeAccel = 12;
  m.accelWidth = 7;
  const tb::TRect r{10, 20, 33, 120};
  const tb::TVerticalTextLayout shown = tb::VerticalTextLayout(r, m, true, false);
  EXPECT_EQ(shown.origin, (tb::TPoint{15, 50}));
  EXPECT_TRUE(shown.underline);
  EXPECT_EQ(shown.lineX, 16);
  EXPECT_EQ(shown.lineTop, 62);
  EXPECT_EQ(shown.lineBottom, 69);
  EXPECT_FALSE(tb::VerticalTextLayout(r, m, true, true).underline);
  EXPECT_FALSE(tb::VerticalTextLayout(r, m, false, false).underline);

  // A 40 x 13 line in that rectangle (23 x 100).
  const struct {
    std::uint32_t format;
    tb::TPoint origin;
  } kLines[] = {{tb::kDtSingleLine, {10, 20}},
                {tb::kDtSingleLine | tb::kDtCenter | tb::kDtVCenter, {2, 63}},
                {tb::kDtSingleLine | tb::kDtRight | tb::kDtBottom, {-7, 107}}};
  for (const auto& line : kLines) {
    EXPECT_EQ(tb::SingleLineOrigin(r, 40, 13, line.format), line.origin) << line.format;
  }
}

void ChangedA(void*) {}
void ChangedB(void*) {}

TEST(TbCommon, ListsComeAndGoHandlersCompareBothWordsAndIntegersOrder) {
  std::unique_ptr<std::vector<int>> list;
  EXPECT_TRUE(tb::AddToList(list, 1));
  EXPECT_FALSE(tb::AddToList(list, 1));
  EXPECT_TRUE(tb::AddToListFront(list, 2));
  EXPECT_EQ(*list, (std::vector<int>{2, 1}));
  tb::RemoveFromList(list, 2);
  tb::RemoveFromList(list, 1);
  EXPECT_EQ(list, nullptr);
  tb::RemoveFromList(list, 1);  // no list: nothing

  using M = tb::TMethod<void (*)(void*)>;
  int x = 0, y = 0;
  const struct {
    M a, b;
    bool equal;
  } kMethods[] = {{{ChangedA, &x}, {ChangedA, &x}, true},
                  {{ChangedA, &x}, {ChangedA, &y}, false},
                  {{ChangedA, &x}, {ChangedB, &x}, false},
                  {{}, {}, true}};
  for (const auto& c : kMethods) EXPECT_EQ(tb::MethodsEqual(c.a, c.b), c.equal);

  const struct {
    int a, b, larger, smaller;
  } kPairs[] = {{1, 2, 2, 1}, {2, 1, 2, 1}, {-3, -3, -3, -3}, {-5, 0, 0, -5}};
  for (const auto& c : kPairs) {
    EXPECT_EQ(tb::Max(c.a, c.b), c.larger);
    EXPECT_EQ(tb::Min(c.a, c.b), c.smaller);
  }
}

TEST(TbCommon, TheHostHasTheBuiltInTexts) {
  EXPECT_EQ(tb::TBText(tb::STBMRUListItemDefCaption), L"(MRU List)");
  EXPECT_EQ(tb::TBTextUtf8(65244),
            "Cannot change Position of a TTBDock if it already contains controls");
  EXPECT_EQ(tb::TBText(65236), L"");
}

TEST(TbAnimation, StepsAndSlideOffsets) {
  using Step = tb::TAnimationStep;
  // A fade draws its last step (254) at 147 ms and reaches 255, its end, at 148 ms.
  const Step last = tb::AnimationStep(147, tb::kFadeDuration, tb::kFadeStartStep, 200);
  EXPECT_EQ(last.kind, Step::Draw);
  EXPECT_EQ(last.step, 254);
  EXPECT_EQ(tb::AnimationStep(148, tb::kFadeDuration, tb::kFadeStartStep, 200).kind, Step::End);
  // A slide ends at 150 ms, its last step below 254.
  EXPECT_EQ(tb::AnimationStep(149, tb::kSlideDuration, 0, 0).step, 253);
  EXPECT_EQ(tb::AnimationStep(150, tb::kSlideDuration, 0, 0).kind, Step::End);
  EXPECT_EQ(tb::AnimationStep(-1, tb::kSlideDuration, 0, 0).kind, Step::End);
  // Steps that do not rise draw nothing.
  EXPECT_EQ(tb::AnimationStep(10, tb::kSlideDuration, 0, 17).kind, Step::NoDraw);
  EXPECT_EQ(tb::AnimationStep(10, tb::kSlideDuration, 0, 16).kind, Step::Draw);

  struct Case {
    tb::TTBAnimationDirection direction;
    tb::TPoint offset;
  };
  const Case cases[] = {
      {tb::tbadDown, {0, -50}},
      {tb::tbadUp, {0, 50}},
      {tb::tbadRight, {-100, 0}},
      {tb::tbadLeft, {100, 0}},
      {tb::tbadDown | tb::tbadRight, {-100, -50}},
      {0, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tb::SlideOffset(c.direction, 200, 100, 128), c.offset) << int(c.direction);
  }
  EXPECT_EQ(tb::MulDiv(-7, 1, 2), -4);  // halves away from zero, as the platform rounds
}

}  // namespace
