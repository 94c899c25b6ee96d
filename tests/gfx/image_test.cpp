// The image controls' decisions over a fake window: displayed size and place, the coordinate
// mapping, the buffer following the viewport, the paint stages, the scrolling view's bars and
// offsets, and whole paints of the picture viewer's set-up checked against the picture
// replicated 2 x 2 and the background computed independently.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "gfx/drawing.h"
#include "gfx/image.h"
#include "gfx/startup.h"
#include "recording_canvas.h"

namespace gfx {
namespace {

struct FakeBarHost : TArrowBarHost {
  TRect client;
  TRect BarClientRect() override { return client; }
  bool BarEnabled() override { return true; }
  void BarInvalidate() override {}
  void BarSetTimer(std::uint32_t) override {}
  bool BarCursorInside() override { return false; }
  void BarRecreateHandle() override {}
};

struct FakeViewHost : TPaintBoxHost, TLayerCursorHost {
  TRect client{0, 0, 635, 510};
  FakeBarHost hBar, vBar;
  TRect grip;
  std::vector<TRect> copied;
  int invalidations = 0, focused = 0;
  std::function<void()> repaint;  // the control's Paint, run at once
  std::vector<TCursor> cursors;
  void HostSetFocus() override { ++focused; }
  TLayerCursorHost* HostCursorHost() override { return this; }
  TCursor ControlCursor() const override { return 7; }
  void SetScreenCursor(TCursor Cursor) override { cursors.push_back(Cursor); }
  TRect HostClientRect() override { return client; }
  void HostInvalidate() override { ++invalidations; }
  void HostRepaint() override { repaint(); }
  void HostCopyToScreen(TBitmap32&, const TRect& R) override { copied.push_back(R); }
  TColor32 HostColor() override { return 0xFFF0F0F0; }
  std::int32_t HostScrollBarSize() override { return 17; }
  void HostPlaceScrollBars(const TRect& H, const TRect& V, const TRect& Grip) override {
    hBar.client = {0, 0, H.Width(), H.Height()};
    vBar.client = {0, 0, V.Width(), V.Height()};
    grip = Grip;
  }
};

std::string Text(const TRect& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
         "," + std::to_string(R.bottom);
}

struct GfxStarted {
  GfxStarted() { Initialize(); }
};

// The picture viewer's view: a 256 x 212 picture, scale 2, nearest resampling, centred.
struct ImgViewTest : ::testing::Test, GfxStarted {
  FakeViewHost host;
  TCustomRangeBar hScroll{host.hBar}, vScroll{host.vBar};
  TCustomImgView32 view{host, hScroll, vScroll};

  void Load(std::int32_t w = 256, std::int32_t h = 212) {
    vScroll.SetKind(sbVertical);
    view.SetScale(2.0f);
    TBitmap32 picture;
    picture.SetSize(w, h);
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x) picture.SetPixel(x, y, PictureColor(x, y));
    view.Bitmap().Assign(&picture);
  }
  static TColor32 PictureColor(std::int32_t x, std::int32_t y) {
    return 0xFF000000u | static_cast<TColor32>(x) << 12 | static_cast<TColor32>(y);
  }
  // What the view shows at a control point: the picture 2 x 2 at `origin`, else the background.
  static TColor32 Expected(std::int32_t x, std::int32_t y, TPoint origin) {
    const std::int32_t bx = x - origin.X, by = y - origin.Y;
    if (bx < 0 || by < 0 || bx >= 512 || by >= 424) return 0xFFF0F0F0;
    return PictureColor(bx / 2, by / 2);
  }
};

TEST(ImageSize, ScaleModesAndAlignments) {
  Initialize();
  const struct {
    TScaleMode mode;
    TBitmapAlign align;
    TRect client;
    TRect expected;
  } cases[] = {
      {smScale, baTopLeft, {0, 0, 635, 510}, {0, 0, 512, 424}},
      {smScale, baCenter, {0, 0, 635, 510}, {61, 43, 573, 467}},  // (635 - 512) / 2 truncated
      {smNormal, baTopLeft, {0, 0, 100, 100}, {0, 0, 256, 212}},
      {smStretch, baTopLeft, {0, 0, 100, 50}, {0, 0, 100, 50}},
      {smOptimal, baTopLeft, {0, 0, 635, 510}, {0, 0, 256, 212}},        // fits: unscaled
      {smOptimal, baTopLeft, {0, 0, 128, 200}, {0, 0, 128, 106}},        // keeps the aspect ratio
      {smOptimalScaled, baTopLeft, {0, 0, 500, 510}, {0, 0, 500, 414}},  // round(414.06)
      {smScale, baCustom, {0, 0, 10, 10}, {62, -4, 574, 420}},           // offsets 61.5 and -3.5
      {smScale, baTopLeft, {0, 0, 0, 10}, {0, 0, 0, 0}},                 // no viewport: no size
  };
  for (const auto& c : cases) {
    FakeViewHost host;
    host.client = c.client;
    TCustomImage32 image(host);
    image.Bitmap().SetSize(256, 212);
    image.SetScale(2.0f);
    image.SetScaleMode(c.mode);
    image.SetBitmapAlign(c.align);
    image.SetOffsetHorz(61.5f);
    image.SetOffsetVert(-3.5f);
    EXPECT_EQ(Text(image.GetBitmapRect()), Text(c.expected)) << int(c.mode) << " " << int(c.align);
  }
}

TEST(ImageSize, MappingRoundTripsAndFloorsOutsideThePicture) {
  Initialize();
  FakeViewHost host;
  TCustomImage32 image(host);
  image.Bitmap().SetSize(256, 212);
  image.SetScale(2.0f);
  image.SetBitmapAlign(baCenter);
  image.SetScaleMode(smScale);
  for (const TPoint p : {TPoint{0, 0}, TPoint{255, 211}, TPoint{17, 100}, TPoint{-3, 5}}) {
    EXPECT_EQ(image.ControlToBitmap(image.BitmapToControl(p)), p);
  }
  EXPECT_EQ(image.BitmapToControl({10, 20}), (TPoint{81, 83}));
  EXPECT_EQ(image.ControlToBitmap({60, 42}), (TPoint{-1, -1}));  // left of and above the picture
  EXPECT_EQ(image.ControlToBitmap({62, 45}), (TPoint{0, 1}));
  image.SetScale(0.0f);
  EXPECT_EQ(image.Scale(), 0.001f);
}

// Ratios that 16.16 factors cannot hold, both ways, and a shown size at the largest coordinate.
TEST(ImageSize, MappingStaysExactAtExtremeScales) {
  Initialize();
  const struct {
    TPoint bitmapSize;
    TScaleMode mode;
    float scale;
    TPoint bitmapPoint, controlPoint;  // BitmapToControl(bitmapPoint) == controlPoint
    TPoint controlProbe, bitmapProbe;  // ControlToBitmap(controlProbe) == bitmapProbe
  } cases[] = {
      {{70000, 1}, smStretch, 1.0f, {69999, 0}, {1, 0}, {1, 1}, {35000, 0}},
      {{1, 1}, smScale, 40000.0f, {1, 1}, {40000, 40000}, {39999, 40000}, {0, 1}},
      {{3, 1}, smScale, 1e9f, {1, 0}, {715827882, 0}, {715827883, 0}, {1, 0}},
      {{256, 212}, smScale, 2.0f, {-3, 5}, {-6, 10}, {-5, 11}, {-3, 5}},
  };
  for (const auto& c : cases) {
    FakeViewHost host;
    host.client = {0, 0, 2, 2};
    TCustomImage32 image(host);
    image.Bitmap().SetSize(c.bitmapSize.X, c.bitmapSize.Y);
    image.SetScaleMode(c.mode);
    image.SetScale(c.scale);
    EXPECT_EQ(image.BitmapToControl(c.bitmapPoint), c.controlPoint) << c.bitmapSize.X;
    EXPECT_EQ(image.ControlToBitmap(c.controlProbe), c.bitmapProbe) << c.bitmapSize.X;
  }
}

TEST(PaintBox, BufferFollowsTheViewportWithOversize) {
  Initialize();
  FakeViewHost host;
  TCustomPaintBox32 box(host);
  const struct {
    TRect client;
    std::int32_t width, height;
  } steps[] = {{{0, 0, 100, 50}, 140, 90}, {{0, 0, 120, 60}, 140, 90}, {{0, 0, 141, 60}, 181, 90},
               {{0, 0, 141, 49}, 181, 49}, {{0, 0, 141, 9}, 181, 49},  {{0, 0, 141, 8}, 181, 8},
               {{0, 0, 0, 0}, 1, 8}};
  for (const auto& s : steps) {
    host.client = s.client;
    box.Resize();
    EXPECT_EQ(box.Buffer().Width(), s.width) << Text(s.client);
    EXPECT_EQ(box.Buffer().Height(), s.height) << Text(s.client);
  }
  box.SetBufferOversize(-5);
  EXPECT_EQ(box.BufferOversize(), 0);
}

// In the modes that keep areas a 2 x 2 change of the bitmap repaints at once, and only the
// change grown by the resampler's reach (1 + 1 px on every side) is repainted and copied. A
// plain paint box routes its buffer's own changes: rmDirect repaints at once, the optimiser
// gives the area to the next paint.
TEST(PaintBox, AreaModesRepaintAChangedAreaAtOnce) {
  Initialize();
  for (TRepaintMode mode : {rmDirect, rmOptimizer}) {
    FakeViewHost host;
    TCustomPaintBox32 box(host);
    host.repaint = [&] { box.Paint(); };
    box.SetRepaintMode(mode);
    box.Paint();
    host.copied.clear();
    FillRectS(box.Buffer(), 5, 6, 7, 8, 0xFFFF0000);
    if (mode == rmOptimizer) box.Paint();
    EXPECT_EQ(host.copied, (std::vector<TRect>{{5, 6, 7, 8}})) << int(mode);
  }
  for (TRepaintMode mode : {rmDirect, rmOptimizer}) {
    FakeViewHost host;
    host.client = {0, 0, 300, 200};
    TCustomImage32 image(host);
    host.repaint = [&] { image.Paint(); };
    image.SetRepaintMode(mode);
    image.Bitmap().SetSize(100, 100);
    image.Bitmap().Clear(0xFF000000);  // repainted whole: the size changed
    ASSERT_FALSE(host.copied.empty()) << int(mode);
    EXPECT_EQ(host.copied.back(), (TRect{0, 0, 300, 200})) << int(mode);
    host.copied.clear();
    FillRectS(image.Bitmap(), 10, 10, 12, 12, 0xFFFF0000);
    EXPECT_EQ(host.copied, (std::vector<TRect>{{8, 8, 14, 14}})) << int(mode);
    EXPECT_EQ(image.Buffer().GetPixel(11, 11), 0xFFFF0000u);
    EXPECT_EQ(image.Buffer().GetPixel(12, 11), 0xFF000000u);
    // Inside an update the area waits; a change of mode then repaints everything.
    image.BeginUpdate();
    FillRectS(image.Bitmap(), 50, 50, 52, 52, 0xFFFF0000);
    image.EndUpdate();
    image.SetRepaintMode(rmFull);
    host.copied.clear();
    image.Paint();
    EXPECT_EQ(host.copied, (std::vector<TRect>{{0, 0, 300, 200}})) << int(mode);
  }
}

// The buffer shows the picture stretched over the whole client, nearest pixel (the picture
// placed at (0, 0)): every buffer pixel is the picture's pixel it maps to.
::testing::AssertionResult ShowsPicture(TCustomImage32& image) {
  TBitmap32& b = image.Bitmap();
  const TRect r = image.GetBitmapRect();
  for (std::int32_t y = 0; y < r.bottom; ++y)
    for (std::int32_t x = 0; x < r.right; ++x) {
      const TColor32 want = b.GetPixel(x * b.Width() / r.right, y * b.Height() / r.bottom);
      if (image.Buffer().GetPixel(x, y) != want)
        return ::testing::AssertionFailure() << "stale at " << x << "," << y;
    }
  return ::testing::AssertionSuccess();
}

// In the area modes a change repaints every control pixel it reaches: a line drawn backwards
// (its area's corners in drawing order, marked as a line) and a change of a picture shown
// smaller than its size, whose last changed column ends inside a control pixel.
TEST(PaintBox, AreaModesRepaintBackwardLinesAndShrunkPictures) {
  Initialize();
  {
    FakeViewHost host;
    TCustomPaintBox32 box(host);
    host.repaint = [&] { box.Paint(); };
    box.SetRepaintMode(rmDirect);
    box.Paint();
    host.copied.clear();
    LineS(box.Buffer(), 40, 10, 10, 30, 0xFFFF0000);
    EXPECT_EQ(host.copied, (std::vector<TRect>{{8, 8, 42, 32}}));
  }
  for (TRepaintMode mode : {rmDirect, rmOptimizer}) {
    FakeViewHost host;
    TCustomImage32 image(host);
    host.repaint = [&] { image.Paint(); };
    image.SetRepaintMode(mode);
    host.client = {0, 0, 50, 50};
    image.Bitmap().SetSize(50, 50);
    image.Bitmap().Clear(0xFF000000);
    image.Paint();
    LineS(image.Bitmap(), 40, 10, 10, 30, 0xFFFF0000);
    LineAS(image.Bitmap(), 45, 40, 5, 35, 0xFF00FF00);
    image.Paint();
    EXPECT_TRUE(ShowsPicture(image)) << int(mode);
    // 52 x 29 stretched to 22 x 91: bitmap column 30 shows at control column 13, which the
    // changed columns 22..30, grown by 2 to 20..32, reach only in part (32 x 22 / 52 = 13.5).
    host.client = {0, 0, 22, 91};
    image.SetScaleMode(smStretch);
    image.Bitmap().SetSize(52, 29);
    image.Bitmap().Clear(0xFF000000);
    image.Paint();
    FillRectS(image.Bitmap(), 22, 18, 31, 29, 0xFF0000FF);
    image.Paint();
    EXPECT_TRUE(ShowsPicture(image)) << int(mode);
  }
}

// An image control of 30 x 20 px with a blue picture of the given size.
struct TBlueImage : GfxStarted {
  TBlueImage(std::int32_t Width, std::int32_t Height) {
    host.client = {0, 0, 30, 20};
    image.Bitmap().SetSize(Width, Height);
    image.Bitmap().Clear(0xFF0000FF);
  }
  FakeViewHost host;
  TCustomImage32 image{host};
};

// A tiled picture shown with no size (2 x 1 at scale 0.3: 1 x 0) covers nothing: the whole
// buffer gets the background, whatever it held.
TEST(PaintBox, TiledPictureOfNoSizeLeavesTheBackground) {
  TBlueImage small(2, 1);
  TCustomImage32& image = small.image;
  image.SetScaleMode(smScale);
  image.SetScale(0.3f);
  image.SetBitmapAlign(baTile);
  image.Paint();
  image.Buffer().Clear(0xFF123456);  // what a new buffer may hold
  image.Invalidate();
  image.Paint();
  for (std::int32_t y = 0; y < 20; ++y)
    for (std::int32_t x = 0; x < 30; ++x)
      ASSERT_EQ(image.Buffer().GetPixel(x, y), 0xFFF0F0F0u) << x << "," << y;
}

// A change reported at the far end of the coordinate range (a rectangle fill wholly outside
// the picture reports its rectangle) repaints an area saturated to 32 bits, tiled or not.
TEST(PaintBox, ChangesAtTheEdgeOfTheRangeSaturate) {
  Initialize();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  for (const TBitmapAlign align : {baTopLeft, baTile}) {
    FakeViewHost host;
    TCustomImage32 image(host);
    host.repaint = [&] { image.Paint(); };
    image.SetRepaintMode(rmDirect);
    image.SetBitmapAlign(align);
    image.Bitmap().SetSize(100, 100);
    image.Bitmap().Clear(0xFF000000);
    host.copied.clear();
    FillRectS(image.Bitmap(), kMax - 1, 0, kMax, 10, 0xFFFF0000);
    ASSERT_FALSE(host.copied.empty()) << int{align};
    EXPECT_EQ(host.copied[0], (TRect{kMax - 3, -2, kMax, 12})) << int{align};
  }
}

// PaintTo paints the picture and the background around it into another bitmap, whatever areas
// the control itself still has to repaint (and leaves those to its next paint).
TEST(PaintBox, PaintToIgnoresTheControlsPendingAreas) {
  Initialize();
  FakeViewHost host;
  TCustomImage32 image(host);
  host.repaint = [&] { image.Paint(); };
  image.SetRepaintMode(rmDirect);
  image.Bitmap().SetSize(10, 10);
  image.Bitmap().Clear(0xFF000000);
  image.BeginUpdate();
  FillRectS(image.Bitmap(), 2, 2, 4, 4, 0xFFFF0000);  // waits for the control's repaint
  TBitmap32 dest;
  dest.SetSize(40, 40);
  dest.Clear(0xFF00FF00);
  image.PaintTo(dest, {10, 10, 30, 30});
  image.EndUpdate();
  for (std::int32_t y = 0; y < 40; ++y)
    for (std::int32_t x = 0; x < 40; ++x) {
      const bool picture = x >= 10 && x < 30 && y >= 10 && y < 30;
      const bool red = x >= 14 && x < 18 && y >= 14 && y < 18;
      ASSERT_EQ(dest.GetPixel(x, y), !picture ? 0xFFF0F0F0
                                     : red    ? 0xFFFF0000
                                              : 0xFF000000)
          << x << "," << y;
    }
  EXPECT_EQ(image.InvalidRects().Count(), 1);
}

// Painted into a bitmap larger than the control, with the picture over all of the control's
// size, everything around the picture still gets the background.
TEST(PaintBox, PaintToALargerBitmapFillsAroundThePicture) {
  TBlueImage small(10, 10);
  TCustomImage32& image = small.image;
  TBitmap32 dest;
  dest.SetSize(50, 40);
  dest.Clear(0xFF00FF00);
  const TRect picture{0, 0, 40, 30};
  image.PaintTo(dest, picture);
  for (std::int32_t y = 0; y < 40; ++y)
    for (std::int32_t x = 0; x < 50; ++x)
      ASSERT_EQ(dest.GetPixel(x, y), PtInRect(picture, {x, y}) ? 0xFF0000FFu : 0xFFF0F0F0u)
          << x << "," << y;
}

// A layer's change repaints where it was and where it is; hiding it repaints where it was,
// in full repaint mode by a whole repaint, with the optimiser by its area alone.
TEST(PaintBox, ChangedAndHiddenLayersRepaintTheirAreas) {
  Initialize();
  for (TRepaintMode mode : {rmFull, rmOptimizer}) {
    FakeViewHost host;
    host.client = {0, 0, 300, 200};
    TCustomImage32 image(host);
    image.SetRepaintMode(mode);
    static_cast<TMicroTilesRepaintOptimizer&>(image.RepaintOptimizer()).SetAdaptiveMode(false);
    TRect box{10, 10, 20, 20};
    TCustomLayer* layer = image.Layers().Add<TCustomLayer>();
    layer->OnPaint = [&](TCustomLayer*, TBitmap32& b) { FillRectS(b, box, 0xFF00FF00); };
    image.Paint();
    box = {40, 10, 50, 20};
    layer->Changed();
    host.copied.clear();
    image.Paint();
    if (mode == rmOptimizer) {
      EXPECT_EQ(host.copied, (std::vector<TRect>{{10, 10, 20, 20}, {40, 10, 50, 20}}));
    }
    EXPECT_EQ(image.Buffer().GetPixel(15, 15), 0xFFF0F0F0u) << int(mode);
    EXPECT_EQ(image.Buffer().GetPixel(45, 15), 0xFF00FF00u) << int(mode);
    const int invalidations = host.invalidations;
    layer->SetVisible(false);
    EXPECT_EQ(host.invalidations, invalidations + 1) << int(mode);
    host.copied.clear();
    image.Paint();
    const TRect expected = mode == rmOptimizer ? TRect{40, 10, 50, 20} : TRect{0, 0, 300, 200};
    EXPECT_EQ(host.copied, (std::vector<TRect>{expected})) << int(mode);
    EXPECT_EQ(image.Buffer().GetPixel(45, 15), 0xFFF0F0F0u) << int(mode);
  }
}

// The paint box focuses on a press only with pboAutoFocus; leaving the image resets the screen
// cursor only while the layers take mouse events and none of them listens.
TEST(PaintBox, AutoFocusAndMouseLeave) {
  Initialize();
  FakeViewHost host;
  TCustomImage32 image(host);
  image.AutoFocus();
  image.SetOptions(pboAutoFocus | pboWantArrowKeys);
  image.AutoFocus();
  EXPECT_EQ(host.focused, 1);

  image.MouseLeave();
  image.Layers().SetMouseEvents(false);
  image.MouseLeave();
  image.Layers().SetMouseEvents(true);
  image.Layers().Add<TCustomLayer>()->SetAsMouseListener();  // reports the layer's cursor, 0
  image.MouseLeave();
  EXPECT_EQ(host.cursors, (std::vector<TCursor>{crDefault, 0}));
}

TEST(PaintStagesList, DefaultsInsertAndDelete) {
  Initialize();
  FakeViewHost host;
  TCustomImage32 image(host);
  TPaintStages& stages = image.PaintStages();
  ASSERT_EQ(stages.Count(), 5);
  const std::uint32_t kinds[] = {3, 6, 4, 7, 5};
  const std::uint8_t run[] = {1, 0, 1, 0, 1};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(stages.Items(i).Stage, kinds[i]);
    EXPECT_EQ(stages.Items(i).RunTime, run[i]);
    EXPECT_EQ(stages.Items(i).DsgnTime, 1);
  }
  EXPECT_EQ(stages.Items(4).Parameter, 0x80000000u);
  stages.Insert(99)->Stage = 1;
  stages.Insert(-4)->Stage = 2;
  EXPECT_EQ(stages.Items(0).Stage, 2u);
  EXPECT_EQ(stages.Items(6).Stage, 1u);
  EXPECT_EQ(stages.Items(6).RunTime, 1);
  EXPECT_THROW(stages.Delete(7), EListError);
  EXPECT_THROW(stages.Delete(-1), EListError);
  stages.Delete(0);
  EXPECT_EQ(stages.Count(), 6);
  image.BeginUpdate();
  image.EndUpdate();
  EXPECT_THROW(image.EndUpdate(), EAssertionFailed);
}

// In the default window the picture fits: no bars, and it sits in the middle (61.5 rounds to
// 62 placed). A whole paint shows the picture doubled and the background around it.
TEST_F(ImgViewTest, FittingPictureIsCentredWithoutBars) {
  Load();
  EXPECT_FALSE(view.ScrollBarsVisible());
  EXPECT_EQ(Text(view.CachedBitmapRect()), "62,43,574,467");
  view.Paint();
  ASSERT_EQ(host.copied.size(), 1u);
  EXPECT_EQ(Text(host.copied[0]), "0,0,635,510");
  const TBitmap32& buffer = view.Buffer();
  for (std::int32_t y = 0; y < 510; ++y)
    for (std::int32_t x = 0; x < 635; ++x)
      ASSERT_EQ(buffer.GetPixel(x, y), Expected(x, y, {62, 43})) << x << "," << y;
}

// In a smaller window the bars appear (17 px, with the grip between them), the picture starts
// centred on its middle, the bars move it, and a resize keeps the relative centre.
TEST_F(ImgViewTest, LargerPictureScrollsWithTheBars) {
  host.client = {0, 0, 300, 200};
  Load();
  ASSERT_TRUE(view.ScrollBarsVisible());
  EXPECT_EQ(Text(view.GetViewportRect()), "0,0,283,183");
  EXPECT_EQ(Text(host.grip), "283,183,300,200");
  EXPECT_EQ(hScroll.Range(), 512);
  EXPECT_EQ(vScroll.Window(), 183);
  // Position 256 - 141.5 and 212 - 91.5.
  EXPECT_EQ(hScroll.Position(), 114.5f);
  EXPECT_EQ(vScroll.Position(), 120.5f);
  EXPECT_EQ(Text(view.CachedBitmapRect()), "-114,-120,398,304");  // round(-114.5) = -114
  hScroll.SetPosition(0);
  EXPECT_EQ(view.CachedBitmapRect().left, 0);
  vScroll.SetPosition(1000);
  EXPECT_EQ(view.CachedBitmapRect().top, 183 - 424);
  view.Paint();
  const TBitmap32& buffer = view.Buffer();
  for (const TPoint p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{282, 182}, TPoint{100, 50}})
    EXPECT_EQ(buffer.GetPixel(p.X, p.Y), Expected(p.X, p.Y, {0, 183 - 424}));
  // Grown so that the picture fits: the bars go and it is centred again.
  host.client = {0, 0, 700, 600};
  view.Resize();
  EXPECT_FALSE(view.ScrollBarsVisible());
  EXPECT_EQ(Text(view.CachedBitmapRect()), "94,88,606,512");
  // Back to the small window: the middle of the picture stays in the middle.
  host.client = {0, 0, 300, 200};
  view.Resize();
  EXPECT_EQ(hScroll.Position(), 114.5f);
  view.Scroll(-10, 0);
  EXPECT_EQ(hScroll.Position(), 104.5f);
  EXPECT_EQ(view.CachedBitmapRect().left, -104);
}

TEST_F(ImgViewTest, VisibilityGripAndOverSize) {
  host.client = {0, 0, 635, 510};
  Load();
  view.ScrollBars().SetSize(20);
  view.ScrollBars().SetVisibility(svAlways);
  EXPECT_TRUE(view.ScrollBarsVisible());
  EXPECT_EQ(Text(view.GetViewportRect()), "0,0,615,490");
  EXPECT_EQ(Text(view.CachedBitmapRect()), "52,33,564,457");  // 51.5 rounds to 52, 33
  // The look and the step go to both bars.
  view.ScrollBars().SetButtonSize(12);
  view.ScrollBars().SetIncrement(5);
  EXPECT_EQ(vScroll.ButtonSize(), 12);
  EXPECT_EQ(hScroll.Increment(), 5);
  EXPECT_EQ(vScroll.Increment(), 5);
  EXPECT_EQ(view.ScrollBars().ButtonSize(), 12);
  view.SetSizeGrip(sgNone);
  EXPECT_TRUE(IsRectEmpty(host.grip));
  view.ScrollBars().SetVisibility(svHidden);
  EXPECT_FALSE(view.ScrollBarsVisible());
  view.SetOverSize(100);  // 200 px of room on each side: the room scrolls too
  EXPECT_EQ(hScroll.Range(), 912);
  view.SetCentered(false);
  EXPECT_EQ(hScroll.Position(), 0.0f);
  EXPECT_EQ(view.CachedBitmapRect().left, 200);
}

// The square between the bars is filled before the grip is drawn on it (the themed grip leaves
// its background as it was), and filled alone when no grip shows; without bars nothing.
TEST_F(ImgViewTest, CornerBetweenTheBarsIsFilledUnderTheGrip) {
  const struct {
    TRect client;
    TSizeGripStyle grip;
    bool themed;
    std::vector<std::string> calls;
  } cases[] = {
      {{0, 0, 635, 510}, sgAuto, true, {}},
      {{0, 0, 300, 200}, sgNone, true, {"fill 123 283,183,300,200"}},
      {{0, 0, 300, 200}, sgAuto, true, {"fill 123 283,183,300,200", "theme 10 1 283,183,300,200"}},
      {{0, 0, 300, 200},
       sgAlways,
       false,
       {"fill 123 283,183,300,200", "frame 3 8 283,183,300,200"}},
  };
  Load();
  for (const auto& c : cases) {
    host.client = c.client;
    view.SetSizeGrip(c.grip);
    view.Resize();
    testing::RecordingCanvas canvas;
    canvas.themed = c.themed;
    view.PaintCorner(canvas, 123);
    EXPECT_EQ(canvas.calls, c.calls) << Text(c.client) << " " << int{c.grip};
  }
}

// A scale not above 0.001, NaN included, becomes 0.001; a huge one gives the largest sizes and
// ranges there are (saturated, not wrapped), and the view still paints.
TEST_F(ImgViewTest, ScalesOfAnySizeStayRepresentable) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    float scale, stored;
    std::int32_t shown, range;
  } cases[] = {
      {std::numeric_limits<float>::quiet_NaN(), 0.001f, 0, 0},
      {-3.0f, 0.001f, 0, 0},
      {1e9f, 1e9f, kMax, kMax},
      {3e38f, 3e38f, kMax, kMax},
  };
  Load();
  view.SetOverSize(10);
  for (const auto& c : cases) {
    view.SetScale(c.scale);
    EXPECT_EQ(view.Scale(), c.stored) << c.scale;
    EXPECT_EQ(view.GetBitmapSize().X, c.shown) << c.scale;
    EXPECT_EQ(hScroll.Range(), c.range) << c.scale;
    EXPECT_GE(view.CachedBitmapRect().right, view.CachedBitmapRect().left) << c.scale;
    view.Paint();
  }
  // Room beyond any coordinate: scrolled to the start, the picture begins at the largest
  // coordinate, and points on it map there too.
  view.SetScale(2.0f);
  view.SetOverSize(kMax);
  hScroll.SetPosition(0);
  EXPECT_EQ(view.CachedBitmapRect().left, kMax);
  EXPECT_EQ(view.BitmapToControl({100, 0}).X, kMax);
}

}  // namespace
}  // namespace gfx
