// The blend routines against per-channel formulas written from their rules: every form of every
// bound routine over random rows (the SSE2 form bit-identical to the scalar MMX form), the
// merge tables against exact rationals, merging against Porter-Duff "over".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <type_traits>
#include <vector>

#include "gfx/blend.h"

namespace gfx {
namespace {

std::uint32_t Ch(TColor32 c, int i) {
  return (c >> (8 * i)) & 0xFF;
}
template <class Op>
TColor32 EachChannel(TColor32 a, TColor32 b, Op op) {
  TColor32 r = 0;
  for (int i = 0; i < 4; ++i) r |= static_cast<TColor32>(op(Ch(a, i), Ch(b, i))) << (8 * i);
  return r;
}
std::uint32_t Weight(std::int64_t w) {
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(w, 0, 255));
}

// The two weighted sums, per channel, as the rules state them.
TColor32 PlainSum(TColor32 x, TColor32 y, std::uint32_t w) {
  return EachChannel(
      x, y, [w](int a, int b) { return ((a * w + 128) >> 8) + ((b * (255 - w) + 128) >> 8); });
}
TColor32 MmxSum(TColor32 x, TColor32 y, std::uint32_t w) {
  return EachChannel(x, y, [w](int a, int b) { return ((a - b) * int(w) + 256 * b + 128) >> 8; });
}

// Oracles: (source pixel, destination pixel, weight or master alpha) -> new destination.
using Oracle = std::function<TColor32(TColor32, TColor32, std::int64_t)>;
const Oracle PlainCombine = [](TColor32 x, TColor32 y, std::int64_t W) {
  const std::uint32_t w = Weight(W);
  return w == 0 ? y : w == 255 ? x : PlainSum(x, y, w);
};
const Oracle PlainBlend = [](TColor32 f, TColor32 b, std::int64_t) {
  const std::uint32_t fa = f >> 24;
  return fa == 255 ? f : fa == 0 ? b : PlainSum(f, b, fa);
};
const Oracle PlainBlendAlpha = [](TColor32 f, TColor32 b, std::int64_t m) {
  const std::uint32_t fa = f >> 24, w = ((Weight(m) + 1) * fa) >> 8;
  return fa == 0 || w == 0 ? b : PlainSum(f, b, w) & 0x00FFFFFF;
};
const Oracle MmxCombine = [](TColor32 x, TColor32 y, std::int64_t w) {
  return MmxSum(x, y, Weight(w));
};
const Oracle MmxCombineInto = [](TColor32 x, TColor32 y, std::int64_t W) {
  const std::uint32_t w = Weight(W);
  return w == 0 ? y : w == 255 ? x : MmxSum(x, y, w);
};
const Oracle MmxBlend = [](TColor32 f, TColor32 b, std::int64_t) { return MmxSum(f, b, f >> 24); };
const Oracle MmxBlendInto = [](TColor32 f, TColor32 b, std::int64_t) {
  const std::uint32_t fa = f >> 24;
  return fa == 0 ? b : fa == 255 ? f : MmxSum(f, b, fa);
};
const Oracle MmxBlendAlpha = [](TColor32 f, TColor32 b, std::int64_t m) {
  const std::uint32_t fa = f >> 24, w = ((Weight(m) + 1) * fa) >> 8;
  return fa == 0 || w == 0 ? b : MmxSum(f, b, w);
};
const Oracle MmxBlendSpanAlpha = [](TColor32 f, TColor32 b, std::int64_t m) {
  const std::uint32_t fa = f >> 24, w = ((fa + 1) * Weight(m)) >> 8;
  return fa == 0 || w == 0 ? b : MmxSum(f, b, w);
};
template <class Op>
Oracle Channels(Op op) {
  return [op](TColor32 a, TColor32 b, std::int64_t) { return EachChannel(a, b, op); };
}
const Oracle ScaleOracle = [](TColor32 c, TColor32, std::int64_t w) {
  return EachChannel(
      c, 0, [w](std::int64_t x, int) { return std::min<std::int64_t>((x * w) >> 8, 255); });
};

// A form run over a row: Src, Dst, Count, weight (or master alpha). Pixel routines run per
// pixel: Into forms change the destination, the others return it.
using Run = std::function<void(const TColor32*, TColor32*, std::int32_t, std::int64_t)>;
template <class Fn>
Run Each(Fn f) {
  return [f](const TColor32* s, TColor32* d, std::int32_t n, std::int64_t w64) {
    const auto w = static_cast<std::int32_t>(w64);
    for (std::int32_t i = 0; i < n; ++i) {
      if constexpr (std::is_invocable_v<Fn, TColor32, TColor32&, std::int32_t>) {
        if constexpr (std::is_void_v<std::invoke_result_t<Fn, TColor32, TColor32&, std::int32_t>>)
          f(s[i], d[i], w);
        else
          d[i] = f(s[i], d[i], w);
      } else if constexpr (std::is_void_v<std::invoke_result_t<Fn, TColor32, TColor32&>>) {
        f(s[i], d[i]);
      } else {
        d[i] = f(s[i], d[i]);
      }
    }
  };
}
// TColorScaleFunc has the same type as TColorFunc.
Run ScaleEach(TColorScaleFunc f) {
  return [f](const TColor32* s, TColor32* d, std::int32_t n, std::int64_t w) {
    for (std::int32_t i = 0; i < n; ++i) d[i] = f(s[i], std::uint32_t(w));
  };
}
template <class Fn>
Run Row(Fn f) {
  return [f](const TColor32* s, TColor32* d, std::int32_t n, std::int64_t w) {
    if constexpr (std::is_invocable_v<Fn, const TColor32*, TColor32*, std::int32_t>)
      f(s, d, n);
    else
      f(s, d, n, static_cast<std::int32_t>(w));
  };
}

struct Routine {
  const char* name;
  Run plain, mmx, sse2;
  Oracle plainOracle, mmxOracle;
  bool masterAlpha = false;  // the weight argument is unsigned
};

#define GFX_FORMS(wrap, name) wrap(plain::name), wrap(mmx::name), wrap(sse2::name)
std::vector<Routine> Routines() {
  const auto add = [](int a, int b) { return std::min(a + b, 255); };
  const auto sub = [](int a, int b) { return std::max(a - b, 0); };
  const auto modulate = [](int a, int b) { return (a * b) >> 8; };
  const auto difference = [](int a, int b) { return std::abs(a - b); };
  const auto exclusion = [](int a, int b) { return a + b - ((a * b) >> 7); };
  const auto maximum = [](int a, int b) { return std::max(a, b); };
  const auto minimum = [](int a, int b) { return std::min(a, b); };
  return {
      {"CombinePixel", GFX_FORMS(Each, CombinePixel), PlainCombine, MmxCombine},
      {"CombinePixelInto", GFX_FORMS(Each, CombinePixelInto), PlainCombine, MmxCombineInto},
      {"CombineSpan", GFX_FORMS(Row, CombineSpan), PlainCombine, MmxCombineInto},
      {"BlendPixel", GFX_FORMS(Each, BlendPixel), PlainBlend, MmxBlend},
      {"BlendPixelInto", GFX_FORMS(Each, BlendPixelInto), PlainBlend, MmxBlendInto},
      {"BlendPixelAlpha", GFX_FORMS(Each, BlendPixelAlpha), PlainBlendAlpha, MmxBlendAlpha, true},
      {"BlendPixelIntoAlpha", GFX_FORMS(Each, BlendPixelIntoAlpha), PlainBlendAlpha, MmxBlendAlpha,
       true},
      {"BlendSpan", GFX_FORMS(Row, BlendSpan), PlainBlend, MmxBlendInto},
      {"BlendSpanAlpha", GFX_FORMS(Row, BlendSpanAlpha), PlainBlendAlpha, MmxBlendSpanAlpha, true},
      {"ColorAdd", GFX_FORMS(Each, ColorAdd), Channels(add), Channels(add)},
      {"ColorSub", GFX_FORMS(Each, ColorSub), Channels(sub), Channels(sub)},
      {"ColorModulate", GFX_FORMS(Each, ColorModulate), Channels(modulate), Channels(modulate)},
      {"ColorDifference", GFX_FORMS(Each, ColorDifference), Channels(difference),
       Channels(difference)},
      {"ColorExclusion", GFX_FORMS(Each, ColorExclusion), Channels(exclusion), Channels(exclusion)},
      {"ColorScale", GFX_FORMS(ScaleEach, ColorScale), ScaleOracle, ScaleOracle, true},
      {"ColorMax", GFX_FORMS(Each, ColorMax), Channels(maximum), Channels(maximum)},
      {"ColorMin", GFX_FORMS(Each, ColorMin), Channels(minimum), Channels(minimum)},
      {"ColorAverage", GFX_FORMS(Each, ColorAverage),
       Channels([](int a, int b) { return (a + b) >> 1; }),
       Channels([](int a, int b) { return (a + b + 1) >> 1; })},
  };
}
#undef GFX_FORMS

// Rows of random pixels whose alphas are all 0, all 255, random, or a mix with those two.
std::vector<TColor32> RandomRow(std::mt19937& rng, int n, int alphaMode) {
  std::vector<TColor32> row(n);
  for (auto& p : row) {
    p = rng();
    const int mode = alphaMode == 3 ? static_cast<int>(rng() % 3) : alphaMode;
    if (mode == 0) p &= 0x00FFFFFF;
    if (mode == 1) p |= 0xFF000000;
  }
  return row;
}

TEST(BlendForms, EveryFormOfEveryRoutineFollowsItsRuleAndSse2MatchesTheScalarMmxForm) {
  std::mt19937 rng(20261207);
  const std::int64_t weights[] = {0, 1, 127, 128, 254, 255, -7, 256, 1000};
  for (const Routine& r : Routines()) {
    SCOPED_TRACE(r.name);
    for (int trial = 0; trial < 600; ++trial) {
      const int n = trial % 68, offset = trial % 4;
      const std::vector<TColor32> src = RandomRow(rng, n + offset, trial % 4);
      const std::vector<TColor32> dst = RandomRow(rng, n + offset, (trial / 4) % 4);
      std::int64_t w =
          trial % 3 == 0 ? weights[trial / 3 % 9] : static_cast<std::int64_t>(rng() % 256);
      if (r.masterAlpha && w < 0) w = 0;
      std::vector<TColor32> plainOut = dst, mmxOut = dst, sse2Out = dst;
      r.plain(src.data() + offset, plainOut.data() + offset, n, w);
      r.mmx(src.data() + offset, mmxOut.data() + offset, n, w);
      r.sse2(src.data() + offset, sse2Out.data() + offset, n, w);
      ASSERT_EQ(sse2Out, mmxOut) << "n " << n << " w " << w;
      for (int i = 0; i < offset + n; ++i) {
        const TColor32 expectPlain = i < offset ? dst[i] : r.plainOracle(src[i], dst[i], w);
        const TColor32 expectMmx = i < offset ? dst[i] : r.mmxOracle(src[i], dst[i], w);
        ASSERT_EQ(plainOut[i], expectPlain) << std::hex << src[i] << " " << dst[i] << " w " << w;
        ASSERT_EQ(mmxOut[i], expectMmx) << std::hex << src[i] << " " << dst[i] << " w " << w;
      }
    }
  }
}

// All (x, y, W) per channel: four x values share one call.
TEST(BlendForms, Sse2MixMatchesTheScalarMmxFormOverEveryChannelTriple) {
  for (std::uint32_t w = 0; w < 256; ++w)
    for (std::uint32_t y = 0; y < 256; ++y)
      for (std::uint32_t x = 0; x < 256; x += 4) {
        const TColor32 X = x | (x + 1) << 8 | (x + 2) << 16 | (x + 3) << 24, Y = y * 0x01010101u;
        const TColor32 expected = MmxSum(X, Y, w);
        if (sse2::CombinePixel(X, Y, static_cast<std::int32_t>(w)) != expected ||
            mmx::CombinePixel(X, Y, static_cast<std::int32_t>(w)) != expected)
          FAIL() << x << " " << y << " " << w;
      }
}

TEST(BlendForms, StatedVectors) {
  MakeMergeTables();
  EXPECT_EQ(plain::BlendPixel(0x80FF0000, 0xFF0000FF), 0xBF80007Fu);
  EXPECT_EQ(mmx::BlendPixel(0x80FF0000, 0xFF0000FF), 0xC0800080u);
  EXPECT_EQ(mmx::BlendPixel(0xFF000000, 0xFFFFFFFF), 0xFF010101u);  // no shortcut for 255
  EXPECT_EQ(plain::CombinePixel(0xFFFFFFFF, 0xFFFFFFFF, 1), 0xFEFEFEFEu);
  EXPECT_EQ(plain::ColorAverage(0x01010101, 0x02020202), 0x01010101u);
  EXPECT_EQ(sse2::ColorAverage(0x01010101, 0x02020202), 0x02020202u);
  EXPECT_EQ(ColorDiv(0, 0x12345678), 0xFFFFFFFFu);
  EXPECT_EQ(sse2::ColorModulate(0xFFFFFFFF, 0xFFFFFFFF), 0xFEFEFEFEu);
  EXPECT_EQ(sse2::ColorExclusion(0xFFFFFFFF, 0xFFFFFFFF), 0x02020202u);
  for (TBlendPixelIntoProc into :
       {plain::BlendPixelInto, mmx::BlendPixelInto, sse2::BlendPixelInto}) {
    TColor32 b = 0x12345678;
    into(0x00FFFFFF, b);
    EXPECT_EQ(b, 0x12345678u);
  }
}

TEST(BlendTables, MatchExactRationalsRoundedTiesToEven) {
  MakeMergeTables();
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      ASSERT_EQ(ProductTable[a][b], std::nearbyint(a * b / 255.0)) << a << " " << b;
      const int q = a == 0 ? 0 : static_cast<int>(std::nearbyint(b * 255.0 / a)) & 0xFF;
      ASSERT_EQ(QuotientTable[a][b], q) << a << " " << b;
    }
  EXPECT_EQ(QuotientTable[6][1], 42);   // 42.5
  EXPECT_EQ(QuotientTable[2][3], 126);  // 382 in 8 bits
  GenAlphaTable();
  ASSERT_NE(AlphaTable, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(AlphaTable) % 8, 0u);
  for (int a = 0; a < 256; ++a)
    for (int lane = 0; lane < 4; ++lane) ASSERT_EQ(AlphaTable[a * 4 + lane], a);
  EXPECT_EQ(AlphaBias, AlphaTable + 128 * 4);
  FreeAlphaTable();
  EXPECT_EQ(AlphaTable, nullptr);
}

class MergeTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    MakeMergeTables();
    TCpuFeatures f;
    f.mmx = f.sse2 = GetParam();
    BindBlendCells(f);
  }
  void TearDown() override { BindBlendCells(TCpuFeatures{}); }
};

TEST_P(MergeTest, StepOneCasesInOrder) {
  EXPECT_EQ(MergePixel(0x00FFFFFF, 0x80123456), 0x80123456u);  // Fa = 0
  EXPECT_EQ(MergePixel(0x80FFFFFF, 0x00000000), 0x80FFFFFFu);  // Ba = 0
  EXPECT_EQ(MergePixel(0xFF112233, 0x80445566), 0xFF112233u);  // Fa = 255
  EXPECT_EQ(MergePixel(0x80FF0000, 0xFF0000FF), BlendPixel(0x80FF0000, 0xFF0000FF) | 0xFF000000);
  EXPECT_EQ(MergePixel(0x00FFFFFF, 0xFF0000FF), 0xFF0000FFu);  // Fa = 0 comes before Ba = 255
  // Ba = 255 comes before Fa = 255: the bound blend decides (the MMX form has no shortcut).
  EXPECT_EQ(MergePixel(0xFF000000, 0xFFFFFFFF), GetParam() ? 0xFF010101u : 0xFF000000u);
  EXPECT_EQ(MergePixelAlpha(0xFF112233, 0x00000000, 0x80), 0x80112233u);
  EXPECT_EQ(MergePixelAlpha(0xFF112233, 0x00000000, 5000), 0xFF112233u);  // master alpha 255
}

// Close to non-premultiplied Porter-Duff "over" in every channel: within 2 units of the
// premultiplied value (the tables round three times and the result alpha once), scaled back by
// the result alpha.
TEST_P(MergeTest, IsCloseToPorterDuffOver) {
  std::mt19937 rng(7);
  std::vector<TColor32> src(4096), dst(4096);
  for (int i = 0; i < 4096; ++i) src[i] = rng(), dst[i] = rng();
  std::vector<TColor32> merged = dst;
  MergeSpan(src.data(), merged.data(), 4096);
  for (int i = 0; i < 4096; ++i) {
    const double fa = (src[i] >> 24) / 255.0, ba = (dst[i] >> 24) / 255.0;
    const double ra = fa + ba * (1 - fa);
    EXPECT_NEAR(merged[i] >> 24, ra * 255, 1.0);
    for (int c = 0; c < 3; ++c) {
      const double v = (Ch(src[i], c) * fa + Ch(dst[i], c) * ba * (1 - fa)) / ra;
      ASSERT_NEAR(Ch(merged[i], c), v, 2.0 / ra) << std::hex << src[i] << " " << dst[i];
    }
  }
}
INSTANTIATE_TEST_SUITE_P(PlainAndMmx, MergeTest, ::testing::Bool());

}  // namespace
}  // namespace gfx
