#include "gfx/bitmap32.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "rtl/stream.h"
#include "test_resampler.h"

namespace gfx {
namespace {

using Events = std::vector<std::string>;

// Records the bitmap's events in order.
struct TEventLog {
  explicit TEventLog(TBitmap32& b) {
    b.OnChange = [this](ui::TPersistent*) { events.push_back("change"); };
    b.OnResize = [this](ui::TPersistent*) { events.push_back("resize"); };
    b.OnAreaChanged = [this](TBitmap32*, const TRect& r, std::uint32_t info) {
      events.push_back("area " + std::to_string(r.right) + "x" + std::to_string(r.bottom) + " " +
                       std::to_string(info >> 28));
    };
  }
  Events events;
};

class Bitmap32 : public ::testing::Test, testing::TStubResamplersRegistered {};

// Allocates once, then fails with its message.
class TFailingStorage : public TBitmapStorage {
 public:
  explicit TFailingStorage(const char* message) : message_(message) {}
  TColor32* Allocate(std::int32_t w, std::int32_t h) override {
    if (!pixels_.empty()) throw rtl::Exception(message_);
    pixels_.resize(static_cast<std::size_t>(w) * h);
    return pixels_.data();
  }
  void Release() override {}

 private:
  const char* message_;
  std::vector<TColor32> pixels_;
};

TEST_F(Bitmap32, SetSizeMakesTheBlockAndReportsOnlyRealChanges) {
  TBitmap32 b;
  TEventLog log(b);
  EXPECT_TRUE(b.SetSize(-5, 10));
  EXPECT_EQ(b.Width() * 100 + b.Height(), 10);
  EXPECT_TRUE(b.Empty());
  log.events.clear();
  EXPECT_FALSE(b.SetSize(0, 10));
  EXPECT_TRUE(log.events.empty());
  EXPECT_TRUE(b.SetSize(256, 212));
  EXPECT_EQ(log.events, (Events{"area 256x212 8", "change", "resize"}));
  EXPECT_EQ(b.ClipRect(), (TRect{0, 0, 256, 212}));
  EXPECT_FALSE(b.Clipping());
  b.SetPixel(255, 211, 0x12345678);  // the last pixel of the block
  EXPECT_EQ(b.Bits()[54271], 0x12345678u);

  // Destruction frees without events: the handlers' owners may be gone already.
  int events = 0;
  {
    TBitmap32 doomed;
    doomed.SetSize(2, 2);
    doomed.OnChange = doomed.OnResize = [&](ui::TPersistent*) { ++events; };
    doomed.OnAreaChanged = [&](TBitmap32*, const TRect&, std::uint32_t) { ++events; };
  }
  EXPECT_EQ(events, 0);
}

TEST_F(Bitmap32, FailedAllocationLeavesAnEmptyBitmapThatSafeAccessCannotReach) {
  for (const char* message : {"Can't allocate the DIB handle", "Can't create compatible DC",
                              "Can't select an object into DC"}) {
    TBitmap32 b(std::make_unique<TFailingStorage>(message));
    b.SetOuterColor(0xABCDEF01);
    b.SetSize(16, 16);
    try {
      b.SetSize(8, 8);
      FAIL() << "no exception";
    } catch (const rtl::Exception& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(b.Width() + b.Height(), 0);
    EXPECT_TRUE(IsRectEmpty(b.ClipRect()));
    EXPECT_EQ(b.GetPixelS(0, 0), 0xABCDEF01u);
    b.SetPixelS(0, 0, 1);
  }
  TBitmap32 huge;  // more than 2 GB of pixels, as a section refuses them
  EXPECT_THROW(huge.SetSize(65536, 8193), rtl::Exception);
}

TEST_F(Bitmap32, ChangedReportsByUpdateCountAndMeasuringMode) {
  struct Case {
    bool updating, measuring;
    Events expected;
  } cases[] = {{false, false, {"area 2x2 8", "change"}},
               {true, false, {}},
               {false, true, {"measured"}},
               {true, true, {"measured"}}};
  for (const auto& c : cases) {
    TBitmap32 b;
    b.SetSize(2, 2);
    TEventLog log(b);
    if (c.updating) b.BeginUpdate();
    if (c.measuring)
      b.BeginMeasuring(
          [&](TBitmap32*, const TRect&, std::uint32_t) { log.events.push_back("measured"); });
    b.Changed();
    EXPECT_EQ(log.events, c.expected) << c.updating << c.measuring;
    if (c.measuring) b.EndMeasuring();
    if (c.updating) b.EndUpdate();  // silent: EndUpdate never calls Changed
    EXPECT_EQ(log.events, c.expected);
  }
  TBitmap32 b;
  EXPECT_THROW(b.EndUpdate(), EAssertionFailed);
}

TEST_F(Bitmap32, ClearAndTheClipRectangle) {
  TBitmap32 b;
  b.SetSize(4, 3);
  b.Clear(0x11111111);
  b.SetClipRect(TRect{1, 1, 9, 9});
  EXPECT_EQ(b.ClipRect(), (TRect{1, 1, 4, 3}));
  EXPECT_TRUE(b.Clipping());
  std::vector<TRect> areas;
  b.OnAreaChanged = [&](TBitmap32*, const TRect& r, std::uint32_t info) {
    EXPECT_EQ(info, AREAINFO_RECT);
    areas.push_back(r);
  };
  b.Clear();
  // The clipped fill reports its area, then the whole bitmap changes.
  EXPECT_EQ(areas, (std::vector<TRect>{{1, 1, 4, 3}, {0, 0, 4, 3}}));
  b.OnAreaChanged = nullptr;
  const TColor32 expected[3][4] = {{0x11111111, 0x11111111, 0x11111111, 0x11111111},
                                   {0x11111111, clBlack32, clBlack32, clBlack32},
                                   {0x11111111, clBlack32, clBlack32, clBlack32}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.GetPixel(x, y), expected[y][x]) << x << "," << y;

  // The S forms at the four edges of the half-open clip rectangle.
  b.SetOuterColor(7);
  for (TPoint p : {TPoint{0, 1}, TPoint{1, 0}, TPoint{4, 2}, TPoint{3, 3}}) {
    b.SetPixelS(p.X, p.Y, 5);
    EXPECT_EQ(b.GetPixelS(p.X, p.Y), 7u);
  }
  b.SetPixelS(3, 2, 5);
  EXPECT_EQ(b.GetPixelS(3, 2), 5u);
  // A clip rectangle that only touches the bitmap admits nothing.
  b.SetClipRect(TRect{4, 0, 8, 3});
  EXPECT_EQ(b.ClipRect(), (TRect{4, 0, 4, 3}));
  b.SetClipRect(TRect{10, 10, 20, 20});
  EXPECT_EQ(b.ClipRect(), (TRect{}));

  // Measuring writes nothing but still reports.
  b.ResetClipRect();
  int measured = 0;
  b.BeginMeasuring([&](TBitmap32*, const TRect&, std::uint32_t) { ++measured; });
  b.Clear(0);
  b.EndMeasuring();
  EXPECT_EQ(measured, 1);
  EXPECT_EQ(b.GetPixel(0, 0), 0x11111111u);
}

TEST_F(Bitmap32, AssignCopiesEverythingAndReportsOnce) {
  TBitmap32 src;
  src.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) src.Bits()[i] = 0x01020300u + i;
  src.SetDrawMode(dmBlend);
  src.SetCombineMode(cmMerge);
  src.SetWrapMode(wmMirror);
  src.SetMasterAlpha(77);
  src.SetOuterColor(0xDEADBEEF);
  src.SetResamplerClassName(L"TKernelResampler");
  static_cast<testing::TKernelStub*>(src.Resampler())->Property = 42;

  TBitmap32 dst;
  TEventLog log(dst);
  dst.Assign(&src);
  EXPECT_EQ(log.events, (Events{"resize", "area 3x2 8", "change"}));
  EXPECT_TRUE(dst.Equal(src));
  EXPECT_EQ(std::make_tuple(dst.DrawMode(), dst.CombineMode(), dst.WrapMode(), dst.MasterAlpha(),
                            dst.OuterColor()),
            std::make_tuple(dmBlend, cmMerge, wmMirror, 77u, 0xDEADBEEFu));
  EXPECT_EQ(static_cast<testing::TKernelStub*>(dst.Resampler())->Property, 42);
  dst.Assign(&dst);
  EXPECT_TRUE(dst.Equal(src));
  dst.Assign(nullptr);
  EXPECT_TRUE(dst.Empty());

  // The resampler name is looked up exactly; unknown names change nothing.
  TBitmap32 b;
  EXPECT_EQ(b.ResamplerClassName(), L"TNearestResampler");
  for (const wchar_t* ignored : {L"", L"tkernelresampler", L"TNoSuchResampler"})
    b.SetResamplerClassName(ignored);
  b.SetResampler(nullptr);
  EXPECT_EQ(b.ResamplerClassName(), L"TNearestResampler");
}

// Equal compares the shape as well as the pixels: a 2 x 3 and a 3 x 2 bitmap with the same six
// pixels differ.
TEST_F(Bitmap32, EqualComparesShapeAndPixels) {
  TBitmap32 tall, wide, same;
  tall.SetSize(2, 3);
  wide.SetSize(3, 2);
  same.SetSize(2, 3);
  for (int i = 0; i < 6; ++i) tall.Bits()[i] = wide.Bits()[i] = same.Bits()[i] = 0xFF000000u + i;
  EXPECT_FALSE(tall.Equal(wide));
  EXPECT_FALSE(wide.Equal(tall));
  EXPECT_TRUE(tall.Equal(same));
  same.SetPixel(1, 2, 0);
  EXPECT_FALSE(tall.Equal(same));
}

TEST_F(Bitmap32, DataStreamsAsSizeThenPixelsInMemoryOrder) {
  TBitmap32 b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, 0xAABBCCDD);
  b.SetPixel(1, 0, 0x11223344);
  rtl::TMemoryStream out;
  b.WriteData(out);
  EXPECT_EQ(out.Bytes(), (std::vector<std::uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 0xDD, 0xCC, 0xBB, 0xAA,
                                                    0x44, 0x33, 0x22, 0x11}));
  TBitmap32 back;
  rtl::TMemoryStream in(out.Bytes());
  back.ReadData(in);
  EXPECT_TRUE(back.Equal(b));
  EXPECT_EQ(in.Position(), in.Size());

  // Negative sizes read as 0; a stream too short for its size raises before any resize.
  rtl::TMemoryStream negative(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 9});
  back.ReadData(negative);
  EXPECT_EQ(back.Width() * 100 + back.Height(), 3);
  for (std::vector<std::uint8_t> bytes :
       {std::vector<std::uint8_t>{2, 0, 0, 0, 1, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7},
        std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}}) {
    rtl::TMemoryStream shortStream(bytes);
    EXPECT_THROW(back.ReadData(shortStream), rtl::EStreamError);
    EXPECT_EQ(back.Height(), 3);
  }
}

// "Data" is written unless an ancestor bitmap holds the same picture: against no ancestor when
// there are pixels, against any other kind of ancestor, and against one of another shape.
TEST_F(Bitmap32, DataIsStoredUnlessTheAncestorHoldsTheSamePicture) {
  const auto make = [](int w, int h, TColor32 first) {
    auto b = std::make_unique<TBitmap32>();
    b->SetSize(w, h);
    b->Clear(0xFF000000);
    if (w > 0 && h > 0) b->SetPixel(0, 0, first);
    return b;
  };
  const ui::TPersistent other;
  const auto twoByThree = make(2, 3, 1), same = make(2, 3, 1), changed = make(2, 3, 2),
             threeByTwo = make(3, 2, 1), empty = make(0, 0, 1);
  const struct {
    const TBitmap32* bitmap;
    const ui::TPersistent* ancestor;
    bool stored;
  } cases[] = {
      {twoByThree.get(), nullptr, true},       {empty.get(), nullptr, false},
      {twoByThree.get(), &other, true},        {twoByThree.get(), same.get(), false},
      {twoByThree.get(), changed.get(), true}, {twoByThree.get(), threeByTwo.get(), true},
      {empty.get(), empty.get(), false},       {empty.get(), twoByThree.get(), true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cases[i].bitmap->DataStored(cases[i].ancestor), cases[i].stored);
  }
}

TEST_F(Bitmap32, ColoursGammaRectanglesAndSizeSources) {
  EXPECT_EQ(Color32(300, 0, 0, 255), 0xFF2C0000u);
  EXPECT_EQ(WinColorToColor32(0x00336699), 0xFF996633u);
  EXPECT_EQ(SetAlpha(0x12345678, 300), 0xFF345678u);
  EXPECT_EQ(SetAlpha(0x12345678, -1), 0x00345678u);
  SetGamma(0.7);  // against Python's round(255 * (i / 255) ** 0.7)
  const int index[] = {0, 1, 64, 128, 192, 255}, expected[] = {0, 5, 97, 157, 209, 255};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(GammaTable[index[i]], expected[i]) << index[i];

  TRect r;
  EXPECT_TRUE(IntersectRect(r, TRect{0, 0, 10, 10}, TRect{10, 2, 20, 5}));  // touching
  EXPECT_TRUE(IsRectEmpty(r));
  EXPECT_FALSE(IntersectRect(r, TRect{0, 0, 10, 10}, TRect{11, 2, 20, 5}));
  EXPECT_EQ(r, (TRect{}));
  EXPECT_EQ(MakeRect(TFloatRect{0.5f, 1.5f, 2.5f, 2.6f}), (TRect{0, 2, 2, 3}));  // ties to even
  EXPECT_EQ(MakeRect(TFloatRect{0.5f, 1.5f, 0.7f, 1.6f}, rrInside), (TRect{1, 2, 1, 2}));
  EXPECT_EQ(MakeRect(TFixedRect{0x18000, -0x8000, 0x18001, 0x10000}, rrOutside),
            (TRect{1, -1, 2, 1}));
  // Values beyond the 32-bit (or 16.16) range saturate instead of wrapping to the other sign.
  constexpr std::int32_t lo = INT32_MIN, hi = INT32_MAX;
  const struct {
    float value;
    TFixed fixed;
    std::int32_t rounded;
  } far[] = {{2.0f, 0x20000, 2},      {-3.0f, -0x30000, -3}, {40000.0f, hi, 40000},
             {-40000.0f, lo, -40000}, {3e9f, hi, hi},        {-3e9f, lo, lo}};
  for (const auto& f : far) {
    EXPECT_EQ(Fixed(f.value), f.fixed) << f.value;
    for (const TRectRounding mode : {rrClosest, rrOutside, rrInside})
      EXPECT_EQ(MakeRect(TFloatRect{f.value, f.value, f.value, f.value}, mode).left, f.rounded)
          << f.value << " " << int{mode};
  }

  TBitmap32 a, b;
  a.SetSize(5, 6);
  b.SetSizeFrom(&a);
  EXPECT_EQ(b.Width() * 100 + b.Height(), 506);
  b.SetSizeFrom(nullptr);
  EXPECT_TRUE(b.Empty());
  TNotifiablePersistent other;
  try {
    b.SetSizeFrom(&other);
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Can't set size from 'TNotifiablePersistent'");
  }
}

}  // namespace
}  // namespace gfx
