// Transfers and resamplers against oracles: nearest stretching against exact rational maps and
// against ImageMagick's point filter, kernels against the Mitchell-Netravali family and the
// windowed-sinc formulas, kernel resampling against block averages, and the transfers' rules
// for errors and change reports.
#include "gfx/resamplers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "gfx/blend.h"
#include "gfx/drawing.h"
#include "gfx/startup.h"
#include "gfx_draw_test_util.h"

namespace gfx {
namespace {

using testing::AreaLog;
using testing::Fill;
using testing::Pixels;

// ---- Nearest stretching ----

TEST(StretchNearest, DoublesTheViewerPicture) {
  TBitmap32 src, dst;
  Fill(src, 256, 212, 1);
  dst.SetSize(512, 424);
  DrawTo(src, dst, TRect{0, 0, 512, 424});
  for (int y = 0; y < 424; ++y)
    for (int x = 0; x < 512; ++x)
      ASSERT_EQ(dst.GetPixel(x, y), src.GetPixel(x / 2, y / 2)) << x << "," << y;
}

// Every draw mode through both the block path (same size) and the stretch path, with partly
// outside destination rectangles and clip rectangles, against the exact map
// SrcL + (x - DstL) * SrcW div DstW and a per-pixel use of the mode.
TEST(StretchNearest, MatchesTheExactMapInEveryMode) {
  std::mt19937 rng(7);
  const auto rnd = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const TPixelCombineEvent custom = [](TColor32 f, TColor32& b, std::uint32_t m) {
    b = (f ^ b) + m;
  };
  for (int round = 0; round < 600; ++round) {
    TBitmap32 src, dst;
    Fill(src, rnd(1, 40), rnd(1, 40), round);
    Fill(dst, rnd(1, 50), rnd(1, 50), round + 1000);
    src.SetOuterColor(src.GetPixel(0, 0));
    src.SetMasterAlpha(static_cast<std::uint32_t>(rnd(0, 3) == 0 ? 255 : rnd(1, 254)));
    src.SetCombineMode(rnd(0, 1) ? cmBlend : cmMerge);
    const auto mode = static_cast<TDrawMode>(rnd(0, 3));
    const int sl = rnd(0, src.Width() - 1), st = rnd(0, src.Height() - 1);
    const TRect srcRect{sl, st, rnd(sl + 1, src.Width()), rnd(st + 1, src.Height())};
    const int dl = rnd(-30, 40), dt = rnd(-30, 40);
    TRect dstRect{dl, dt, dl + rnd(1, 70), dt + rnd(1, 70)};
    // Same size (the block path) and whole factors across (the replicating path).
    if (rnd(0, 4) == 0) dstRect = {dl, dt, dl + srcRect.Width(), dt + srcRect.Height()};
    if (rnd(0, 3) == 0) dstRect.right = dl + srcRect.Width() * rnd(2, 6);
    const TRect clip{rnd(-5, 20), rnd(-5, 20), rnd(10, 60), rnd(10, 60)};
    const std::vector<TColor32> before = Pixels(dst);
    StretchTransfer(&dst, dstRect, clip, &src, srcRect, src.Resampler(), mode, custom);
    for (int y = 0; y < dst.Height(); ++y)
      for (int x = 0; x < dst.Width(); ++x) {
        TColor32 want = before[static_cast<std::size_t>(y * dst.Width() + x)];
        const bool inside =
            x >= std::max(clip.left, dstRect.left) && x < std::min(clip.right, dstRect.right) &&
            y >= std::max(clip.top, dstRect.top) && y < std::min(clip.bottom, dstRect.bottom);
        if (inside && !(mode == dmBlend && src.MasterAlpha() == 0)) {
          const std::int64_t sx =
              srcRect.left + std::int64_t{x - dstRect.left} * srcRect.Width() / dstRect.Width();
          const std::int64_t sy =
              srcRect.top + std::int64_t{y - dstRect.top} * srcRect.Height() / dstRect.Height();
          const TColor32 s = src.GetPixel(static_cast<int>(sx), static_cast<int>(sy));
          switch (mode) {
            case dmOpaque:
              want = s;
              break;
            case dmBlend:
              if (src.MasterAlpha() < 255)
                BlendSpanAlphaByMode[src.CombineMode()](&s, &want, 1, src.MasterAlpha());
              else
                BlendSpanByMode[src.CombineMode()](&s, &want, 1);
              break;
            case dmTransparent:
              if (s != src.OuterColor()) want = s;
              break;
            case dmCustom:
              custom(s, want, src.MasterAlpha());
              break;
          }
        }
        ASSERT_EQ(dst.GetPixel(x, y), want) << "round " << round << " at " << x << "," << y;
      }
  }
}

// The source columns a row of SrcW pixels (each holding its column) stretched to DstW shows.
std::vector<int> StretchedRow(int SrcW, int DstW) {
  TBitmap32 src, dst;
  src.SetSize(SrcW, 1);
  for (int x = 0; x < SrcW; ++x) src.SetPixel(x, 0, static_cast<TColor32>(x));
  dst.SetSize(DstW, 1);
  DrawTo(src, dst, TRect{0, 0, DstW, 1});
  std::vector<int> columns;
  for (int x = 0; x < DstW; ++x) columns.push_back(static_cast<int>(dst.GetPixel(x, 0)));
  return columns;
}

// Non-integer scales where a floating-point map lands one column short.
TEST(StretchNearest, MapsExactlyAtExactPoints) {
  const struct {
    int srcW, dstW, column, expected;
  } cases[] = {{256, 98, 49, 128}, {212, 38, 19, 106}, {5, 1, 0, 2}, {6, 1, 0, 2}};
  for (const auto& c : cases)
    EXPECT_EQ(StretchedRow(c.srcW, c.dstW)[static_cast<std::size_t>(c.column)], c.expected)
        << c.srcW << "->" << c.dstW;
}

// FullEdgeMapping switched off for one scope.
struct TEndToEndMapping {
  TEndToEndMapping() { FullEdgeMapping = false; }
  ~TEndToEndMapping() { FullEdgeMapping = true; }
};

// Without full edge mapping the first and last pixels meet, positions rounded ties to even: the
// columns of a nearest stretch of a row, both ways, and the centres of kernel tables.
TEST(StretchNearest, EndToEndMappingWhenFullEdgeMappingIsOff) {
  const struct {
    int srcW, dstW;
    std::vector<int> full, endToEnd;
  } cases[] = {
      {3, 5, {0, 0, 1, 1, 2}, {0, 0, 1, 2, 2}},  // 0.5 and 1.5 round to 0 and 2
      {4, 2, {0, 2}, {0, 3}},
      // A whole factor, which full edge mapping draws by replicating pixels.
      {3, 12, {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2}, {0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2}},
  };
  for (const bool full : {true, false}) {
    std::optional<TEndToEndMapping> endToEnd;
    if (!full) endToEnd.emplace();
    for (const auto& c : cases)
      EXPECT_EQ(StretchedRow(c.srcW, c.dstW), full ? c.full : c.endToEnd)
          << c.srcW << "->" << c.dstW << " " << full;
    // A box kernel doubling 3 positions to 5 (end to end) or 6 (full): each destination takes
    // the source position its centre falls on.
    TBoxKernel box;
    const TMappingTable t = BuildContributionTable(0, full ? 6 : 5, 0, full ? 6 : 5, 0, 3, box);
    std::vector<int> centres;
    for (const auto& list : t) centres.push_back(list.size() == 1 ? list[0].Pos : -1);
    EXPECT_EQ(centres,
              full ? (std::vector<int>{0, 0, 1, 1, 2, 2}) : (std::vector<int>{0, -1, 1, -1, 2}));
  }
}

// Resizing the same random pixels with ImageMagick (skipped without it): its point filter at
// integer factors exactly (both sample pixel centres), its triangle filter for the linear
// magnification and its kernels within a tolerance (rounding and edge handling differ).
TEST(StretchNearest, MatchesImageMagick) {
  const char* convert =
      std::filesystem::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
  if (std::system((std::string(convert) + " -version >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "ImageMagick is not installed";
  const auto dir = std::filesystem::temp_directory_path() /
                   ("gfx_resample_" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  TBitmap32 src;
  Fill(src, 37, 23, 99);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) src.SetPixel(x, y, src.GetPixel(x, y) | 0xFF000000);
  testing::WritePpm(src, dir / "in.ppm");
  const struct {
    const char* filter;
    const wchar_t* resampler;
    const wchar_t* kernel;
    int w, h, tolerance;
  } cases[] = {
      {"point", L"TNearestResampler", nullptr, 74, 46, 0},
      {"point", L"TNearestResampler", nullptr, 111, 69, 0},
      {"point", L"TNearestResampler", nullptr, 148, 23, 0},
      {"point", L"TNearestResampler", nullptr, 37, 92, 0},
      {"triangle", L"TLinearResampler", nullptr, 148, 92, 2},
      {"box", L"TKernelResampler", L"TBoxKernel", 74, 46, 0},
      // 8-bit weights on noise: 16 rounded weights per pixel.
      {"mitchell", L"TKernelResampler", L"TMitchellKernel", 111, 69, 10},
  };
  for (const auto& c : cases) {
    const auto out = dir / "out.ppm";
    const std::string cmd = std::string(convert) + " " + (dir / "in.ppm").string() + " -filter " +
                            c.filter + " -resize " + std::to_string(c.w) + "x" +
                            std::to_string(c.h) + "! " + out.string();
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    TBitmap32 expected, dst;
    testing::ReadPpm(expected, out);
    ASSERT_EQ(expected.Width(), c.w);
    src.SetResamplerClassName(c.resampler);
    if (c.kernel) static_cast<TKernelResampler*>(src.Resampler())->SetKernelClassName(c.kernel);
    dst.SetSize(c.w, c.h);
    DrawTo(src, dst, TRect{0, 0, c.w, c.h});
    int worst = 0;
    // Inside: a kernel's edge handling is its own.
    const int margin = c.tolerance ? 4 : 0;
    for (int y = margin; y < c.h - margin; ++y)
      for (int x = margin; x < c.w - margin; ++x)
        for (int ch = 0; ch < 24; ch += 8)
          worst =
              std::max(worst, std::abs(static_cast<int>((dst.GetPixel(x, y) >> ch) & 0xFF) -
                                       static_cast<int>((expected.GetPixel(x, y) >> ch) & 0xFF)));
    EXPECT_LE(worst, c.tolerance) << c.filter << " " << c.w << "x" << c.h;
  }
  std::filesystem::remove_all(dir);
}

// ---- Transfers: errors and reports ----

TEST(Transfers, RaiseAndReportByTheirRules) {
  TBitmap32 src, dst, empty;
  Fill(src, 8, 8, 1);
  Fill(dst, 8, 8, 2);
  AreaLog log(dst);
  try {
    BlockTransfer(nullptr, 0, 0, dst.ClipRect(), &src, src.BoundsRect(), dmOpaque);
    FAIL();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Destination bitmap is nil");
  }
  try {
    StretchTransfer(&dst, TRect{0, 0, 4, 4}, dst.ClipRect(), nullptr, src.BoundsRect(), nullptr,
                    dmOpaque);
    FAIL();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Source bitmap is nil");
  }
  // Empty bitmaps and a blend with master alpha 0: nothing, not even a report.
  BlockTransfer(&dst, 0, 0, dst.ClipRect(), &empty, TRect{0, 0, 4, 4}, dmOpaque);
  src.SetMasterAlpha(0);
  BlockTransfer(&dst, 0, 0, dst.ClipRect(), &src, src.BoundsRect(), dmBlend);
  StretchTransfer(&dst, TRect{0, 0, 4, 4}, dst.ClipRect(), &src, src.BoundsRect(), nullptr,
                  dmBlend);
  src.SetMasterAlpha(255);
  EXPECT_TRUE(log.areas.empty());
  // A block wholly outside still reports the rectangle it was asked for, unclipped.
  BlockTransfer(&dst, 100, -50, dst.ClipRect(), &src, TRect{2, 2, 5, 7}, dmOpaque);
  ASSERT_EQ(log.areas.size(), 1u);
  EXPECT_EQ(log.areas[0], (TRect{100, -50, 103, -45}));
  // An empty source rectangle: nothing drawn, raised or reported.
  const std::vector<TColor32> before = Pixels(dst);
  StretchTransfer(&dst, TRect{0, 0, 4, 4}, dst.ClipRect(), &src, TRect{3, 3, 3, 6}, src.Resampler(),
                  dmOpaque);
  EXPECT_EQ(log.areas.size(), 1u);
  EXPECT_EQ(Pixels(dst), before);
  try {
    StretchTransfer(&dst, TRect{0, 0, 4, 4}, dst.ClipRect(), &src, TRect{0, 0, 9, 8},
                    src.Resampler(), dmOpaque);
    FAIL();
  } catch (const ESrcInvalidException& e) {
    EXPECT_STREQ(e.what(), "Source rectangle is invalid");
  }
  try {
    StretchNearest(dst, TRect{0, 0, 4, 4}, dst.ClipRect(), src, TRect{-1, 0, 8, 8}, dmOpaque, {});
    FAIL();
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Invalid SrcRect");
  }
  // A stretch reports its destination rectangle; in measuring mode it only reports.
  StretchTransfer(&dst, TRect{-3, 1, 20, 30}, dst.ClipRect(), &src, src.BoundsRect(),
                  src.Resampler(), dmOpaque);
  EXPECT_EQ(log.areas.back(), (TRect{-3, 1, 20, 30}));
  const std::vector<TColor32> drawn = Pixels(dst);
  std::vector<TRect> measured;
  dst.BeginMeasuring([&](TBitmap32*, const TRect& r, std::uint32_t) { measured.push_back(r); });
  StretchTransfer(&dst, TRect{0, 0, 3, 3}, dst.ClipRect(), &src, src.BoundsRect(), src.Resampler(),
                  dmOpaque);
  BlockTransfer(&dst, 1, 1, dst.ClipRect(), &src, src.BoundsRect(), dmOpaque);
  dst.EndMeasuring();
  EXPECT_EQ(measured, (std::vector<TRect>{{0, 0, 3, 3}, {1, 1, 9, 9}}));
  EXPECT_EQ(Pixels(dst), drawn);
}

// Random and extreme coordinates: the block lands exactly where it overlaps the clip.
TEST(Transfers, BlockTransferClipsAnyCoordinates) {
  std::mt19937 rng(3);
  const int extremes[] = {INT32_MIN, INT32_MIN + 1, -70000,        -9,       0,
                          5,         70000,         INT32_MAX - 1, INT32_MAX};
  const auto pick = [&] {
    return rng() % 3 == 0 ? extremes[rng() % std::size(extremes)]
                          : static_cast<int>(rng() % 40) - 15;
  };
  for (int round = 0; round < 3000; ++round) {
    TBitmap32 src, dst;
    Fill(src, 9, 7, round);
    Fill(dst, 11, 10, round + 1);
    const TRect srcRect{pick(), pick(), pick(), pick()}, clip{pick(), pick(), pick(), pick()};
    const int dx = pick(), dy = pick();
    const std::vector<TColor32> before = Pixels(dst);
    BlockTransfer(&dst, dx, dy, clip, &src, srcRect, dmOpaque);
    for (int y = 0; y < dst.Height(); ++y)
      for (int x = 0; x < dst.Width(); ++x) {
        const std::int64_t sx = std::int64_t{x} - dx + srcRect.left,
                           sy = std::int64_t{y} - dy + srcRect.top;
        const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom &&
                            sx >= std::max(0, srcRect.left) && sx < std::min(9, srcRect.right) &&
                            sy >= std::max(0, srcRect.top) && sy < std::min(7, srcRect.bottom);
        const TColor32 want = inside ? src.GetPixel(static_cast<int>(sx), static_cast<int>(sy))
                                     : before[static_cast<std::size_t>(y * 11 + x)];
        ASSERT_EQ(dst.GetPixel(x, y), want) << round;
      }
  }
}

// Within one bitmap, an overlapping block lands as a copy of what it was (rows moved down are
// copied from the bottom up).
TEST(Transfers, OverlappingBlockWithinOneBitmap) {
  for (const int dy : {-2, -1, 1, 2}) {
    TBitmap32 b;
    Fill(b, 6, 8, 17);
    const std::vector<TColor32> before = Pixels(b);
    BlockTransfer(&b, 1, 2 + dy, b.ClipRect(), &b, TRect{0, 2, 5, 6}, dmOpaque);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(b.GetPixel(x + 1, y + 2 + dy), before[static_cast<std::size_t>((y + 2) * 6 + x)])
            << dy;
  }
}

// ---- Registries ----

TEST(Registries, ResolveNamesExactly) {
  TBitmap32 b;
  EXPECT_EQ(b.ResamplerClassName(), L"TNearestResampler");
  b.SetResamplerClassName(L"tkernelresampler");
  EXPECT_EQ(b.ResamplerClassName(), L"TNearestResampler");
  b.SetResamplerClassName(L"TKernelResampler");
  auto* k = dynamic_cast<TKernelResampler*>(b.Resampler());
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->KernelClassName(), L"TBoxKernel");
  EXPECT_EQ(k->Bitmap(), &b);
  k->SetKernelClassName(L"TNoSuchKernel");
  EXPECT_EQ(k->KernelClassName(), L"TBoxKernel");
  k->SetKernelClassName(L"TLanczosKernel");
  EXPECT_EQ(k->KernelClassName(), L"TLanczosKernel");
  k->SetPixelAccessMode(pamWrap);
  k->SetTableSize(1);
  EXPECT_EQ(k->TableSize(), 2);
  // Assign copies the published properties, the kernel's own included.
  static_cast<TWindowedSincKernel&>(k->Kernel()).SetWidth(9);
  EXPECT_EQ(k->Kernel().GetWidth(), 4.0f);
  TBitmap32 copy;
  copy.Assign(&b);
  auto* c = dynamic_cast<TKernelResampler*>(copy.Resampler());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->PixelAccessMode(), pamWrap);
  EXPECT_EQ(c->KernelClassName(), L"TLanczosKernel");
  EXPECT_EQ(c->Kernel().GetWidth(), 4.0f);
  EXPECT_EQ(c->TableSize(), 2);
  // A kernel change reaches the bitmap through the resampler.
  int changes = 0;
  copy.OnChange = [&](ui::TPersistent*) { ++changes; };
  static_cast<TWindowedSincKernel&>(c->Kernel()).SetWidth(2);
  EXPECT_EQ(changes, 1);
}

// ---- Kernels ----

// The Mitchell-Netravali cubic family with parameters (B, C).
double Cubic(double x, double B, double C) {
  const double a = std::fabs(x);
  if (a < 1)
    return ((12 - 9 * B - 6 * C) * a * a * a + (-18 + 12 * B + 6 * C) * a * a + (6 - 2 * B)) / 6;
  if (a < 2)
    return ((-B - 6 * C) * a * a * a + (6 * B + 30 * C) * a * a + (-12 * B - 48 * C) * a +
            (8 * B + 24 * C)) /
           6;
  return 0;
}
constexpr double kPi = 3.14159265358979323846;
double Sinc(double x) {
  return x == 0 ? 1 : std::sin(kPi * x) / (kPi * x);
}

TEST(Kernels, MatchTheirFormulas) {
  const struct {
    std::wstring_view name;
    float width;
    double (*f)(double);
  } kernels[] = {
      {L"TBoxKernel", 1, [](double x) { return std::fabs(x) <= 0.5 ? 1.0 : 0.0; }},
      {L"TLinearKernel", 1, [](double x) { return std::max(0.0, 1 - std::fabs(x)); }},
      {L"TCosineKernel", 1,
       [](double x) { return std::fabs(x) < 1 ? (std::cos(kPi * x) + 1) / 2 : 0; }},
      {L"TSplineKernel", 2, [](double x) { return Cubic(x, 1, 0); }},
      {L"TCubicKernel", 2, [](double x) { return Cubic(x, 0, 0.5); }},
      {L"TMitchellKernel", 2, [](double x) { return Cubic(x, 1.0 / 3, 1.0 / 3); }},
      {L"THermiteKernel", 2, [](double x) { return Cubic(x, 0, 0.5); }},
      {L"TLanczosKernel", 3, [](double x) { return std::fabs(x) < 3 ? Sinc(x) * Sinc(x / 3) : 0; }},
      {L"TGaussianKernel", 3,
       [](double x) { return std::fabs(x) < 3 ? Sinc(x) * std::pow(2.0, -x * x / 1.33) : 0; }},
      {L"TBlackmanKernel", 3,
       [](double x) {
         const double t = kPi * std::fabs(x) / 3;
         return std::fabs(x) < 3 ? Sinc(x) * (0.42 + 0.5 * std::cos(t) + 0.08 * std::cos(2 * t))
                                 : 0;
       }},
      {L"THannKernel", 3,
       [](double x) {
         return std::fabs(x) < 3 ? Sinc(x) * (0.5 * std::cos(kPi * x / 3) + 0.5) : 0;
       }},
      {L"THammingKernel", 3,
       [](double x) {
         return std::fabs(x) < 3 ? Sinc(x) * (0.54 + 0.46 * std::cos(kPi * x / 3)) : 0;
       }},
      {L"TSinshKernel", 3,
       [](double x) { return x == 0 ? 1 : std::sin(kPi * x) * 0.5 / std::sinh(kPi * x * 0.5); }},
  };
  for (const auto& k : kernels) {
    const TKernelClass* cls = FindKernelClass(k.name);
    ASSERT_NE(cls, nullptr);
    const auto kernel = cls->Create();
    EXPECT_EQ(kernel->ClassName(), k.name);
    EXPECT_EQ(kernel->GetWidth(), k.width);
    for (double x = -3.25; x <= 3.25; x += 0.3125)
      EXPECT_NEAR(kernel->Filter(static_cast<float>(x)), k.f(x), 2e-6)
          << std::string(k.name.begin(), k.name.end()) << " at " << x;
  }
}

// A Sigma or Coeff of 0 would divide by zero: it is ignored, and the value stays changeable.
TEST(Kernels, IgnoreAZeroSigmaOrCoeff) {
  TGaussianKernel g;
  g.SetSigma(0);
  EXPECT_EQ(g.Sigma(), 1.33f);
  g.SetSigma(2);
  EXPECT_EQ(g.Sigma(), 2.0f);
  TSinshKernel s;
  s.SetCoeff(0);
  EXPECT_EQ(s.Coeff(), 0.5f);
  EXPECT_TRUE(std::isfinite(s.Filter(1.5f)));
}

TEST(Kernels, ContributionTablesStayInTheSourceAndSumTo256) {
  const char* names[] = {"TBoxKernel",      "TLinearKernel",   "TLanczosKernel",
                         "TMitchellKernel", "TGaussianKernel", "THermiteKernel"};
  std::mt19937 rng(5);
  for (const char* n : names) {
    const auto kernel = FindKernelClass(std::wstring(n, n + std::strlen(n)))->Create();
    for (int round = 0; round < 60; ++round) {
      const int srcLo = static_cast<int>(rng() % 20),
                srcHi = srcLo + 1 + static_cast<int>(rng() % 50);
      const int dstLo = static_cast<int>(rng() % 30) - 10,
                dstHi = dstLo + 1 + static_cast<int>(rng() % 80);
      const TMappingTable t =
          BuildContributionTable(dstLo, dstHi, dstLo, dstHi, srcLo, srcHi, *kernel);
      ASSERT_EQ(t.size(), static_cast<std::size_t>(dstHi - dstLo));
      for (const auto& list : t) {
        int sum = 0;
        for (const TPointRec& p : list) {
          EXPECT_GE(p.Pos, srcLo);
          EXPECT_LT(p.Pos, srcHi);
          sum += p.Weight;
        }
        EXPECT_EQ(sum, 256) << n;
      }
    }
  }
  // A single source position whole, at that position (not at 0).
  TBoxKernel box;
  const TMappingTable one = BuildContributionTable(0, 3, 0, 3, 7, 8, box);
  for (const auto& list : one) EXPECT_EQ(list, (std::vector<TPointRec>{{7, 256}}));
}

// Halving with the box kernel averages 2 x 2 blocks (rounded half up).
TEST(KernelResampling, BoxHalvingAveragesBlocks) {
  TBitmap32 src, dst;
  Fill(src, 16, 10, 4);
  dst.SetSize(8, 5);
  InstallResampler<TKernelResampler>(src);
  DrawTo(src, dst, TRect{0, 0, 8, 5});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x)
      for (int ch = 0; ch < 32; ch += 8) {
        int sum = 0;
        for (int j = 0; j < 2; ++j)
          for (int i = 0; i < 2; ++i) sum += (src.GetPixel(2 * x + i, 2 * y + j) >> ch) & 0xFF;
        ASSERT_EQ((dst.GetPixel(x, y) >> ch) & 0xFF, static_cast<TColor32>((sum + 2) / 4))
            << x << "," << y;
      }
}

// The draft resampler's blocks: the plain and the MMX form of the average agree and round down.
TEST(KernelResampling, BlockAverageFormsAgree) {
  std::mt19937 rng(11);
  std::vector<TColor32> block(64 * 64);
  for (auto& c : block) c = static_cast<TColor32>(rng());
  for (std::uint32_t w = 1; w <= 9; ++w)
    for (std::uint32_t h = 1; h <= 9; ++h) {
      const TColor32 a = plain::BlockAverage(w, h, block.data(), 64);
      EXPECT_EQ(a, mmx::BlockAverage(w, h, block.data(), 64));
      std::uint64_t sum = 0;
      for (std::uint32_t y = 0; y < h; ++y)
        for (std::uint32_t x = 0; x < w; ++x) sum += block[y * 64 + x] >> 24;
      EXPECT_EQ(a >> 24, sum / (w * h));
    }
  const std::vector<TColor32> white(9, 0xFFFFFFFF);
  EXPECT_EQ(mmx::BlockAverage(3, 3, white.data(), 3), 0xFFFFFFFFu);
}

// Table modes: row i holds the linear kernel's weights at the fraction i / (TableSize - 1), so
// row TableSize - 1 is row 0 moved by one pixel; the spare last row (fraction 8 / 7) is
// corrected to sum 256 at its centre. Sampling reads the rows at that scale.
TEST(KernelResampling, WeightTableRowsSpanFractionsZeroToOne) {
  TBitmap32 b;
  Fill(b, 6, 6, 8);
  auto* k = InstallResampler<TKernelResampler>(b);
  k->SetKernelClassName(L"TLinearKernel");
  k->SetKernelMode(kmTableLinear);
  k->SetTableSize(8);
  k->PrepareSampling();
  const TIntegerMap& t = *k->WeightTable();
  ASSERT_EQ(t.Width(), 3);
  ASSERT_EQ(t.Height(), 9);
  auto& table = const_cast<TIntegerMap&>(t);
  const std::int32_t rows[][3] = {{0, 256, 0}, {73, 183, 0}, {256, 0, 0}, {219, 37, 0}};
  const std::int32_t at[] = {0, 2, 7, 8};  // fractions 0, 2/7, 1, 8/7
  for (int r = 0; r < 4; ++r)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(table.Value(j, at[r]), rows[r][j]) << at[r] << " " << j;
  // At whole positions every mode reads the pixel itself; half way (row 2 of the 4 steps of
  // TableSize 5) each channel is the mean of the two pixels, rounded up.
  k->SetTableSize(5);
  TColor32 half = 0;
  for (int ch = 0; ch < 32; ch += 8)
    half |= ((b.GetPixel(2, 3) >> ch & 0xFF) + (b.GetPixel(3, 3) >> ch & 0xFF) + 1) / 2 << ch;
  for (TKernelMode mode : {kmDynamic, kmTableNearest, kmTableLinear}) {
    k->SetKernelMode(mode);
    k->PrepareSampling();
    EXPECT_EQ(k->GetSampleFloat(2, 3), b.GetPixel(2, 3));
    EXPECT_EQ(k->GetSampleFloat(2.5f, 3), half) << int(mode);
    // A TableSize set while sampling waits for the next table: this one keeps its rows.
    const TColor32 before = k->GetSampleFloat(2.99f, 3.9f);
    k->SetTableSize(64);
    EXPECT_EQ(k->GetSampleFloat(2.99f, 3.9f), before) << int(mode);
    k->SetTableSize(5);
    k->FinalizeSampling();
  }
  EXPECT_EQ(k->WeightTable(), nullptr);
}

// The interpolator's MMX form is exact at full weight; the plain form goes through CombinePixel.
TEST(Interpolators, FormsFollowTheirRules) {
  std::mt19937 rng(2);
  for (int round = 0; round < 2000; ++round) {
    const TColor32 top[2] = {TColor32(rng()), TColor32(rng())};
    const TColor32 bottom[2] = {TColor32(rng()), TColor32(rng())};
    const std::uint32_t wx = rng() % 257, wy = rng() % 257;
    TColor32 want = 0;
    for (int ch = 0; ch < 32; ch += 8) {
      const auto c = [ch](TColor32 v) { return static_cast<int>((v >> ch) & 0xFF); };
      const int t = (c(top[0]) * int(wx) + c(top[1]) * (256 - int(wx))) >> 8;
      const int b = (c(bottom[0]) * int(wx) + c(bottom[1]) * (256 - int(wx))) >> 8;
      want |= static_cast<TColor32>((t * int(wy) + b * (256 - int(wy))) >> 8) << ch;
    }
    ASSERT_EQ(mmx::Interpolator(wx, wy, top, bottom), want);
    const auto w8 = [](std::uint32_t w) { return static_cast<std::int32_t>(std::min(w, 255u)); };
    ASSERT_EQ(plain::Interpolator(wx, wy, top, bottom),
              plain::CombinePixel(plain::CombinePixel(top[0], top[1], w8(wx)),
                                  plain::CombinePixel(bottom[0], bottom[1], w8(wx)), w8(wy)));
  }
  const TColor32 top[2] = {0x11223344, 0x55667788}, bottom[2] = {0x99AABBCC, 0xDDEEFF00};
  EXPECT_EQ(mmx::Interpolator(256, 256, top, bottom), top[0]);
  EXPECT_EQ(mmx::Interpolator(0, 0, top, bottom), bottom[1]);
}

// The two interpolator cells and the block average bind the MMX form with MMX or 3DNow!.
TEST(Interpolators, Binding) {
  const struct {
    TCpuFeatures features;
    bool mmx;
  } cases[] = {{{}, false},
               {{true, false, false, false, false, false}, true},
               {{false, false, false, false, true, false}, true},
               {{false, true, true, true, false, false}, false}};
  for (const auto& c : cases) {
    BindResamplerCells(c.features);
    BindBitmapCells(c.features);
    EXPECT_EQ(ResamplerInterpolator, c.mmx ? mmx::Interpolator : plain::Interpolator);
    EXPECT_EQ(Interpolator, c.mmx ? mmx::Interpolator : plain::Interpolator);
    EXPECT_EQ(BlockAverage, c.mmx ? mmx::BlockAverage : plain::BlockAverage);
  }
  BindResamplerCells(CpuFeatures());
  BindBitmapCells(CpuFeatures());
}

// Linear magnification of a flat picture stays flat; a ramp stays within its neighbours.
TEST(KernelResampling, LinearAndDraftKeepFlatAreas) {
  for (const std::wstring_view name :
       {L"TLinearResampler", L"TDraftResampler", L"TKernelResampler"}) {
    TBitmap32 src, up, down;
    src.SetSize(13, 9);
    src.Clear(0xFF336699);
    src.SetResamplerClassName(name);
    up.SetSize(40, 31);
    down.SetSize(5, 4);
    DrawTo(src, up, TRect{0, 0, 40, 31});
    DrawTo(src, down, TRect{0, 0, 5, 4});
    for (TColor32 c : Pixels(up))
      ASSERT_EQ(c, 0xFF336699u) << std::string(name.begin(), name.end());
    for (TColor32 c : Pixels(down))
      ASSERT_EQ(c, 0xFF336699u) << std::string(name.begin(), name.end());
  }
}

// A transformer samples its nested sampler at the reverse-transformed position; without a
// sampler it raises.
TEST(Samplers, TransformersAndNestedSamplers) {
  struct TShift : TTransformation {
    int prepared = 0;
    void PrepareTransform() override { ++prepared; }
    void ReverseTransformFloat(float x, float y, float& sx, float& sy) override {
      sx = x + 2;
      sy = y - 1;
    }
  } shift;
  TBitmap32 b;
  Fill(b, 8, 8, 6);
  TNearestResampler nearest(&b);
  nearest.PrepareSampling();
  TNearestTransformer t(&nearest, &shift);
  t.PrepareSampling();  // prepares the transformation too, once
  t.PrepareSampling();
  EXPECT_EQ(shift.prepared, 1);
  EXPECT_EQ(t.GetSampleInt(1, 3), b.GetPixel(3, 2));
  EXPECT_EQ(t.GetSampleFloat(1.2f, 3.4f), b.GetPixel(3, 2));
  EXPECT_EQ(t.GetSampleBounds(), (TRect{0, 0, 8, 8}));
  // A plain nested sampler samples its sampler as it is.
  TNestedSampler plain(&nearest);
  EXPECT_EQ(plain.GetSampleInt(3, 2), b.GetPixel(3, 2));
  EXPECT_EQ(plain.GetSampleFixed(0x38000, 0x20000), b.GetPixel(3, 2));
  EXPECT_EQ(plain.GetSampleFloat(3.2f, 1.9f), b.GetPixel(3, 2));
  TNestedSampler none;
  EXPECT_THROW(none.GetSampleInt(0, 0), ENestedException);
  try {
    none.PrepareSampling();
    FAIL();
  } catch (const ENestedException& e) {
    EXPECT_STREQ(e.what(), "Nested sampler is nil");
  }
  // Transparent edges: clamped pixels keep their colour with alpha 0.
  nearest.SetPixelAccessMode(pamTransparentEdge);
  nearest.PrepareSampling();
  EXPECT_EQ(nearest.GetSampleInt(-3, 2), b.GetPixel(0, 2) & 0x00FFFFFF);
  EXPECT_EQ(nearest.GetSampleBounds(), (TRect{-1, -1, 9, 9}));
  EXPECT_EQ(nearest.GetSampleFixed(0x28000, 0x18000), b.GetPixel(2, 1));  // half rounds down
  EXPECT_EQ(nearest.GetSampleFloat(2.5f, 1.5f), b.GetPixel(2, 2));        // ties to even
  // A bitmap made smaller while sampling: the edges are the bitmap's.
  TBitmap32 shrunk;
  Fill(shrunk, 10, 10, 7);
  TNearestResampler edge(&shrunk);
  edge.SetPixelAccessMode(pamTransparentEdge);
  edge.PrepareSampling();
  shrunk.SetSize(2, 2);
  shrunk.Clear(0xFF112233);
  EXPECT_EQ(edge.GetSampleInt(9, 9), 0x00112233u);
  // AssignTo: the nested sampler takes the published properties, also one level down; a
  // sampler without a nested one copies nothing.
  TNearestResampler other(&b);
  TNearestTransformer t2(&other, &shift);
  TNestedSampler outer(&t), outer2(&t2);
  none.AssignTo(t2);
  EXPECT_EQ(other.PixelAccessMode(), pamSafe);
  outer.AssignTo(outer2);
  EXPECT_EQ(other.PixelAccessMode(), pamTransparentEdge);
  EXPECT_EQ(t2.Sampler(), &other);
}

}  // namespace
}  // namespace gfx
