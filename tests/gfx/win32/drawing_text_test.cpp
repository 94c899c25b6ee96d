// Text and device-context transfers of bitmaps under Wine, probed at a few pixels: text lands
// inside the area it reports, rendered text carries its colour through the alpha channel, and
// transfers to and from contexts copy pixels.
#include <gtest/gtest.h>

#include "../gfx_draw_test_util.h"
#include "gfx/drawing.h"
#include "gfx/win32/bitmap32.h"
#include "gfx/win32/drawing.h"

namespace gfx {
namespace {

using testing::AreaLog;

// Pixels of a colour other than Background inside and outside R.
struct TInk {
  int inside = 0, outside = 0;
};
TInk InkAround(const TBitmap32& b, const TRect& r, TColor32 background) {
  TInk ink;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if ((b.GetPixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
        ++(PtInRect(r, TPoint{x, y}) ? ink.inside : ink.outside);
  return ink;
}

TEST(TextDrawing, TextoutDrawsInsideTheAreaItReports) {
  TBitmap32 b;
  b.SetSize(120, 40);
  b.Clear(0xFFFFFFFF);
  DIB(b).Font().SetColor(RGB(0, 0, 0));
  DIB(b).Font().SetHeight(-16);
  AreaLog log(b);
  Textout(b, 10, 8, L"Wg");
  ASSERT_EQ(log.areas.size(), 1u);
  const TRect area = log.areas[0];
  const SIZE extent = TextExtent(b, L"Wg");
  EXPECT_GT(extent.cx, 8);
  EXPECT_GT(extent.cy, 8);
  EXPECT_EQ(area, (TRect{10, 8, 10 + extent.cx + 1, 8 + extent.cy + 1}));
  const TInk ink = InkAround(b, area, 0xFFFFFFFF);
  EXPECT_GT(ink.inside, 10);
  EXPECT_EQ(ink.outside, 0);

  // Clipped to the bitmap's clip rectangle; measuring draws nothing but reports.
  b.Clear(0xFFFFFFFF);
  b.SetClipRect(TRect{0, 0, 20, 40});
  Textout(b, 10, 8, L"WWWW");
  EXPECT_EQ(InkAround(b, TRect{0, 0, 20, 40}, 0xFFFFFFFF).outside, 0);
  b.ResetClipRect();
  b.Clear(0xFFFFFFFF);
  std::vector<TRect> measured;
  b.BeginMeasuring([&](TBitmap32*, const TRect& r, std::uint32_t) { measured.push_back(r); });
  Textout(b, 10, 8, L"Wg");
  b.EndMeasuring();
  EXPECT_EQ(measured, (std::vector<TRect>{area}));
  EXPECT_EQ(InkAround(b, b.BoundsRect(), 0xFFFFFFFF).inside, 0);
  // Near the end of the coordinate range the area ends there instead of wrapping round.
  log.areas.clear();
  Textout(b, INT32_MAX - 3, INT32_MAX - 2, L"Wg");
  Textout(b, INT32_MAX - 3, 8, TRect{0, 0, 20, 40}, L"Wg");
  EXPECT_EQ(log.areas, (std::vector<TRect>{{INT32_MAX - 3, INT32_MAX - 2, INT32_MAX, INT32_MAX},
                                           {INT32_MAX - 3, 8, INT32_MAX, 8 + extent.cy + 1}}));

  // An empty bitmap still measures (on the stock bitmap).
  TBitmap32 empty;
  DIB(empty).Font().SetHeight(-16);
  EXPECT_EQ(TextExtent(empty, L"Wg").cx, extent.cx);
}

// The ANSI forms draw what the wide forms draw for the same characters (0x80 is the euro sign in
// the system's code page).
TEST(TextDrawing, AnsiFormsDrawAsTheWideForms) {
  const auto drawn = [](auto text) {
    TBitmap32 b;
    b.SetSize(80, 30);
    b.Clear(0xFFFFFFFF);
    DIB(b).Font().SetColor(RGB(0, 0, 0));
    Textout(b, 2, 2, text);
    RenderText(b, 40, 2, text, 0, 0xFF0000FF);
    std::vector<TColor32> pixels(b.Bits(), b.Bits() + 80 * 30);
    return pixels;
  };
  const auto wide = drawn(std::wstring_view(L"W\u20AC"));
  EXPECT_EQ(drawn(std::string_view("W\x80")), wide);
  TBitmap32 b;
  EXPECT_EQ(TextWidth(b, std::string_view("W\x80")), TextWidth(b, std::wstring_view(L"W\u20AC")));
}

TEST(TextDrawing, RenderTextBlendsItsColourThroughAlpha) {
  for (int level : {0, 2}) {
    TBitmap32 b;
    b.SetSize(100, 40);
    b.Clear(0xFFFFFFFF);
    DIB(b).Font().SetHeight(-20);
    RenderText(b, 5, 5, L"HI", level, 0xFFFF0000);
    int red = 0, partial = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const TColor32 c = b.GetPixel(x, y);
        EXPECT_EQ(c & 0xFF0000, 0xFF0000u) << "only red is added";
        if (c == 0xFFFF0000) ++red;
        if ((c & 0xFF) != 0 && (c & 0xFF) != 0xFF) ++partial;
        if (x < 5 || y < 5) {
          EXPECT_EQ(c, 0xFFFFFFFFu) << x << "," << y;
        }
      }
    EXPECT_GT(red, 20) << level;
    // Level 0 takes whole pixels; supersampling leaves partly covered edges.
    if (level == 0) {
      EXPECT_EQ(partial, 0);
    } else {
      EXPECT_GT(partial, 5);
    }
  }
}

TEST(TextDrawing, TransfersToAndFromContexts) {
  TBitmap32 src, dst;
  src.SetSize(4, 3);
  src.Clear(0xFF102030);
  src.SetPixel(3, 2, 0xFF405060);
  dst.SetSize(10, 10);
  dst.Clear(0xFFFFFFFF);
  DrawTo(src, DIB(dst).Handle(), 2, 3);
  GdiFlush();
  EXPECT_EQ(dst.GetPixel(2, 3) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(dst.GetPixel(5, 5) & 0xFFFFFF, 0x405060u);
  EXPECT_EQ(dst.GetPixel(6, 5), 0xFFFFFFFFu);
  // Stretched from a context: 2x of the source's context into the bitmap.
  AreaLog log(dst);
  Draw(dst, TRect{0, 0, 8, 6}, TRect{0, 0, 4, 3}, DIB(src).Handle());
  EXPECT_EQ(dst.GetPixel(7, 5) & 0xFFFFFF, 0x405060u);
  EXPECT_EQ(dst.GetPixel(5, 3) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(log.areas, (std::vector<TRect>{{0, 0, 8, 6}}));
  // Tiles of a larger destination with the nearest resampler.
  TBitmap32 big;
  big.SetSize(1100, 4);
  big.Clear(0);
  TileTo(src, DIB(big).Handle(), TRect{0, 0, 1100, 3}, TRect{0, 0, 4, 3});
  GdiFlush();
  EXPECT_EQ(big.GetPixel(1099, 2) & 0xFFFFFF, 0x405060u);
  EXPECT_EQ(big.GetPixel(1030, 1) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(big.GetPixel(1030, 3), 0u);
}

// Counts the stretches it is asked for.
class TCountingResampler : public TNearestResampler {
 public:
  using TNearestResampler::TNearestResampler;
  void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override {
    ++Calls;
    TNearestResampler::Resample(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
  }
  int Calls = 0;
};

// Tiles of a destination far larger than the context are made only where the context shows
// them, in the places they have in the whole rectangle.
TEST(DeviceContextTransfers, TilesAreMadeOnlyWhereTheContextShowsThem) {
  TBitmap32 src;
  src.SetSize(2, 2);
  src.SetPixel(0, 0, 0xFF101010);
  src.SetPixel(1, 0, 0xFF202020);
  src.SetPixel(0, 1, 0xFF303030);
  src.SetPixel(1, 1, 0xFF404040);
  auto counting = std::make_unique<TCountingResampler>(&src);
  TCountingResampler* resampler = counting.get();
  src.SetResampler(std::move(counting));
  TBitmap32 dst;
  dst.SetSize(40, 30);
  dst.Clear(0);
  // 8192 x 8192 (64 tiles) over a 40 x 30 context, starting above and to the left of it: the
  // context shows a part of the second tile of the second row (from 48 on, the third begins),
  // all of it source pixel (0, 0), which reaches to 4096 - 2000.
  TileTo(src, DIB(dst).Handle(), TRect{-2000, -2000, 6192, 6192}, src.BoundsRect());
  GdiFlush();
  EXPECT_EQ(resampler->Calls, 1);
  EXPECT_EQ(dst.GetPixel(0, 0) & 0xFFFFFF, 0x101010u);
  EXPECT_EQ(dst.GetPixel(39, 29) & 0xFFFFFF, 0x101010u);
  // Moved so that the context shows the meeting point of four tiles and four source pixels.
  dst.Clear(0);
  resampler->Calls = 0;
  TileTo(src, DIB(dst).Handle(), TRect{-4076, -4081, 4116, 4111}, src.BoundsRect());
  GdiFlush();
  EXPECT_EQ(resampler->Calls, 4);
  EXPECT_EQ(dst.GetPixel(19, 14) & 0xFFFFFF, 0x101010u);
  EXPECT_EQ(dst.GetPixel(20, 14) & 0xFFFFFF, 0x202020u);
  EXPECT_EQ(dst.GetPixel(19, 15) & 0xFFFFFF, 0x303030u);
  EXPECT_EQ(dst.GetPixel(20, 15) & 0xFFFFFF, 0x404040u);
}

}  // namespace
}  // namespace gfx
