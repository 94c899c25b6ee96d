// Range bars: handle geometry, zones, stepping and its timer, dragging, the wheel, centring,
// the colour routines and what each style paints, over a fake window and a recording canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/range_bars.h"
#include "recording_canvas.h"

namespace gfx {
namespace {

using testing::RecordingCanvas;

struct FakeHost : TArrowBarHost {
  TRect client{0, 0, 232, 16};
  bool enabled = true, cursorInside = true;
  int invalidations = 0;
  std::vector<std::uint32_t> timers;
  TRect BarClientRect() override { return client; }
  bool BarEnabled() override { return enabled; }
  void BarInvalidate() override { ++invalidations; }
  void BarSetTimer(std::uint32_t Interval) override { timers.push_back(Interval); }
  bool BarCursorInside() override { return cursorInside; }
  void BarRecreateHandle() override {}
};

std::string Text(const TRect& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
         "," + std::to_string(R.bottom);
}

struct RangeBarTest : ::testing::Test {
  FakeHost host;
  TCustomRangeBar bar{host};
  int changes = 0, userChanges = 0;
  void SetUp() override {
    bar.OnChange = [this](TArrowBar*) { ++changes; };
    bar.OnUserChange = [this](TArrowBar*) { ++userChanges; };
  }
};

// Track 200 px (232 less two 16-px buttons).
TEST_F(RangeBarTest, HandleSizeAndPlaceFollowRangeWindowAndPosition) {
  const struct {
    std::int32_t range, window;
    float position;
    TRect handle;
  } cases[] = {
      {1000, 100, 0, {16, 0, 36, 16}},        // 20 px at the start
      {1000, 100, 900, {196, 0, 216, 16}},    // at the end of the track
      {1000, 100, 450, {106, 0, 126, 16}},    // 200 x 450 / 1000 = 90
      {10000, 10, 0, {16, 0, 33, 16}},        // the 17-px minimum
      {10000, 10, 9990, {199, 0, 216, 16}},   // (200 - 17) x 9990 / 9990
      {10000, 10, 4995, {108, 0, 125, 16}},   // round(91.5) = 92, ties to even
      {10000, 826, 8990, {196, 0, 213, 16}},  // round(16.52) = 17, not below: 200 x 8990 / 10000
      {100, 100, 0, {16, 0, 216, 16}},        // the window covers the range
  };
  for (const auto& c : cases) {
    bar.SetParams(c.range, c.window);
    bar.SetPosition(c.position);
    EXPECT_EQ(Text(bar.GetHandleBounds()), Text(c.handle)) << c.range << " " << c.position;
  }
  host.client = {0, 0, 267, 16};  // 235 px of track: 117.5 rounds up as length and as offset
  bar.SetParams(1000, 500);
  bar.SetPosition(500);
  EXPECT_EQ(Text(bar.GetHandleBounds()), "133,0,251,16");  // ends where the track ends
  host.client = {0, 0, 49, 16};                            // 17 px of track: no handle
  EXPECT_TRUE(IsRectEmpty(bar.GetHandleBounds()));
  host.client = {0, 0, 50, 16};  // 18 px: the 17-px handle, one pixel of travel
  bar.SetParams(10000, 10);
  bar.SetPosition(9990);
  EXPECT_EQ(Text(bar.GetHandleBounds()), "17,0,34,16");
}

TEST_F(RangeBarTest, ParamsAndPositionAreClamped) {
  bar.SetParams(-5, 10);
  EXPECT_EQ(bar.Range(), 0);
  EXPECT_EQ(bar.Position(), 0.0f);
  bar.SetParams(1000, 100);
  bar.SetPosition(5000);
  EXPECT_EQ(bar.Position(), 900.0f);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), 0.0f);
  EXPECT_EQ(changes, 2);
  bar.SetPosition(-7);  // clamps to the same value: no change
  EXPECT_EQ(changes, 2);
  // Window 0: the effective window is the bar's length.
  bar.SetParams(1000, 0);
  EXPECT_EQ(bar.EffectiveWindow(), 232);
  // A centred bar keeps its relative centre: (50 + 400) / 1000 of 2000, less half of 100.
  bar.SetParams(1000, 100);
  bar.SetCentered(true);
  bar.SetPosition(400);
  bar.SetParams(2000, 100);
  EXPECT_EQ(bar.Position(), 850.0f);
  bar.SetParams(2000, 3000);  // the window covers the range
  EXPECT_EQ(bar.Position(), 0.0f);
}

TEST_F(RangeBarTest, ZonesAlongTheBar) {
  bar.SetParams(1000, 100);
  bar.SetPosition(450);  // handle 106..126
  const struct {
    bool arrows;
    std::int32_t x;
    TRBZone zone;
  } cases[] = {{true, 0, zBtnPrev},     {true, 15, zBtnPrev},    {true, 16, zTrackPrev},
               {true, 105, zTrackPrev}, {true, 106, zHandle},    {true, 125, zHandle},
               {true, 126, zTrackNext}, {true, 215, zTrackNext}, {true, 216, zBtnNext},
               {true, 231, zBtnNext},   {true, 232, zNone},      {true, -1, zNone},
               {false, 0, zNone},       {false, 1, zTrackPrev},  {false, 230, zTrackNext},
               {false, 231, zNone}};
  for (const auto& c : cases) {
    bar.SetShowArrows(c.arrows);
    EXPECT_EQ(bar.GetZone(c.x, 5), c.zone) << c.arrows << " " << c.x;
  }
  EXPECT_EQ(bar.GetZone(20, 16), zNone);
}

TEST(RangeBarButtons, SizeFollowsThicknessLengthAndStyle) {
  const struct {
    TRect client;
    std::int32_t set;
    TRBStyle style;
    std::int32_t size;
  } cases[] = {{{0, 0, 232, 16}, 0, rbsDefault, 16},
               {{0, 0, 232, 40}, 0, rbsDefault, 32},
               {{0, 0, 20, 16}, 0, rbsDefault, 10},
               {{0, 0, 232, 16}, 0, rbsMac, 15},
               {{0, 0, 232, 16}, 5, rbsDefault, 5},
               {{0, 0, 3, 16}, 0, rbsDefault, 0},
               // Sizes at the ends of the range: half the length, or none.
               {{0, 0, 232, 16}, INT32_MAX, rbsDefault, 116},
               {{0, 0, 232, 16}, INT32_MIN, rbsMac, 0}};
  for (const auto& c : cases) {
    FakeHost host;
    host.client = c.client;
    TArrowBar bar(host);
    bar.SetButtonSize(c.set);
    bar.SetStyle(c.style);
    EXPECT_EQ(bar.GetButtonSize(), c.size) << Text(c.client);
  }
}

// A press steps at once and starts the 600 ms repeat; the first tick goes to 100 ms; a step
// that moves nothing ends in hover tracking (150 ms); a release also goes to hover tracking.
TEST_F(RangeBarTest, PressStepsAndRepeatsThroughTheTimerPhases) {
  bar.SetParams(1000, 100);
  bar.MouseDown(231, 5);  // next button
  EXPECT_EQ(bar.Position(), 8.0f);
  EXPECT_EQ(bar.DragZone(), zBtnNext);
  bar.TimerTick();
  EXPECT_EQ(bar.Position(), 16.0f);
  bar.TimerTick();
  EXPECT_EQ(bar.Position(), 24.0f);
  EXPECT_EQ(host.timers, (std::vector<std::uint32_t>{600, 100}));
  bar.MouseUp(231, 5);
  EXPECT_EQ(bar.DragZone(), zNone);
  EXPECT_EQ(host.timers.back(), 150u);
  bar.MouseDown(200, 5);  // the track after the handle: a page
  EXPECT_EQ(bar.Position(), 124.0f);
  bar.MouseUp(200, 5);
  bar.SetPosition(0);
  host.timers.clear();
  bar.MouseDown(0, 5);  // the previous button at the start: nothing moves
  EXPECT_EQ(host.timers, (std::vector<std::uint32_t>{150}));
  bar.MouseUp(0, 5);
  EXPECT_EQ(changes, 5);
  EXPECT_EQ(userChanges, 4);  // SetPosition(0) was not the user's
  // Hover tracking ends when the cursor has left.
  host.cursorInside = false;
  bar.TimerTick();
  EXPECT_EQ(host.timers.back(), 0u);
  EXPECT_EQ(bar.HotZone(), zNone);
}

// The handle follows the mouse pixel for pixel, with and without the 17-px minimum.
TEST_F(RangeBarTest, DraggedHandleFollowsTheMouse) {
  const struct { std::int32_t range, window; } cases[] = {{1000, 100}, {10000, 10}};
  for (const auto& c : cases) {
    bar.SetParams(c.range, c.window);
    bar.SetPosition(0);
    const TRect before = bar.GetHandleBounds();
    bar.MouseDown(before.left + 5, 8);
    ASSERT_EQ(bar.DragZone(), zHandle);
    bar.MouseMove(before.left + 5 + 60, 30);
    EXPECT_EQ(bar.GetHandleBounds().left, before.left + 60) << c.range;
    bar.MouseUp(0, 0);
  }
  EXPECT_EQ(userChanges, changes - 1);  // the second SetPosition(0) came from code
  // A move from one end of the coordinate range to the other takes the handle to the end.
  bar.SetPosition(0);
  bar.MouseDown(bar.GetHandleBounds().left + 1, 8);
  bar.MouseMove(INT32_MIN, 8);
  bar.MouseUp(0, 0);
  bar.MouseDown(bar.GetHandleBounds().left + 1, 8);
  bar.MouseMove(INT32_MAX, 8);
  EXPECT_EQ(bar.Position(), 10000.0f - 10);
}

TEST_F(RangeBarTest, WheelRolledUpMovesTowardTheStart) {
  bar.SetParams(1000, 100);
  bar.SetPosition(100);
  bar.MouseWheel(120);
  EXPECT_EQ(bar.Position(), 92.0f);
  bar.MouseWheel(-240);
  EXPECT_EQ(bar.Position(), 108.0f);
}

TEST(RangeBarColours, LightenBlendAndGlyphs) {
  EXPECT_EQ(BlendColors(0xFFFFFF, 0xFFFFFF, 32), 0xFEFEFEu);
  EXPECT_EQ(BlendColors(0xFFFFFF, 0xFFFFFF, 200), 0xFEFEFEu);
  EXPECT_EQ(BlendColors(0x000000, 0xFFFFFF, 96), 0x9E9E9Eu);
  EXPECT_EQ(LightenColor(0xF0F0F0, 24), 0xFFFFFFu);
  EXPECT_EQ(LightenColor(0xC0C0C0, -24), 0xA8A8A8u);
  EXPECT_EQ(LightenColor(0x1020F0, -24), 0x0008D8u);
  RecordingCanvas canvas;
  for (TRBArrowDirection d : {adLeft, adRight, adUp, adDown})
    DrawArrowGlyph(canvas, {0, 0, 16, 16}, d, 0);
  EXPECT_EQ(canvas.calls,
            (std::vector<std::string>{"polygon 8,11 4,7 8,3", "polygon 6,11 10,7 6,3",
                                      "polygon 11,8 7,4 3,8", "polygon 11,6 7,10 3,6"}));
  TRect r{0, 0, 10, 10};
  DrawSides(canvas, r, AllSides, 0);
  EXPECT_EQ(Text(r), "1,1,9,9");
  EXPECT_EQ(ResolveColor(static_cast<TWinColor>(0xFF000006), canvas), 0x060606u);
  EXPECT_EQ(ResolveColor(0x123456, canvas), 0x123456u);
}

// Grip bars of a flat handle: four when it is more than 10 px long inside its frame and
// bevel, two otherwise; a pushed handle's grip sits one pixel further right and down.
TEST(RangeBarColours, FlatHandleGrip) {
  const struct {
    TRect r;
    bool pushed;
    std::vector<int> starts;
  } cases[] = {{{0, 0, 15, 16}, false, {2, 5, 8, 11}},
               {{0, 0, 14, 16}, false, {5, 8}},
               {{0, 0, 15, 16}, true, {3, 6, 9, 12}}};
  for (const auto& c : cases) {
    RecordingCanvas canvas;
    DrawFlatHandle(canvas, c.r, 0x808080, c.pushed, true, true, 0);
    std::vector<int> starts;
    for (std::size_t i = 4; i < canvas.calls.size(); i += 2)
      starts.push_back(std::stoi(canvas.calls[i].substr(5)));
    EXPECT_EQ(starts, c.starts) << Text(c.r) << c.pushed;
  }
}

// What Paint draws: classic style with the range inside the window (no handle, inactive
// buttons, the two tracks meeting at the track's centre), then themed with a handle.
TEST_F(RangeBarTest, PaintDrawsEachPartByStyle) {
  RecordingCanvas canvas;
  bar.SetParams(100, 100);
  bar.Paint(canvas);
  EXPECT_EQ(canvas.calls, (std::vector<std::string>{
                              "frame 3 258 0,0,16,16", "frame 3 259 216,0,232,16",
                              "pattern 1315860 0 16,0,116,16", "pattern 1315860 0 116,0,216,16"}));
  canvas.calls.clear();
  canvas.themed = true;
  bar.SetParams(1000, 100);
  bar.SetPosition(442);
  bar.MouseDown(231, 5);  // steps to 450: handle 106..126
  bar.Paint(canvas);
  EXPECT_EQ(canvas.calls,
            (std::vector<std::string>{"theme 1 9 0,0,16,16", "theme 1 15 216,0,232,16",
                                      "theme 4 1 16,0,106,16", "theme 5 1 126,0,216,16",
                                      "theme 2 1 106,0,126,16", "theme 8 0 106,0,126,16"}));
}

// The image view's size grip: the theme's size box, or the classic frame control.
TEST(SizeGrip, ThemedOrClassic) {
  RecordingCanvas canvas;
  DrawSizeGrip(canvas, TRect{10, 20, 27, 37});
  canvas.themed = true;
  DrawSizeGrip(canvas, TRect{10, 20, 27, 37});
  EXPECT_EQ(canvas.calls,
            (std::vector<std::string>{"frame 3 8 10,20,27,37", "theme 10 1 10,20,27,37"}));
}

}  // namespace
}  // namespace gfx
