// The plain forms of the blend routines, the one-form merge routines, the merge tables, the MMX
// weight table and the binding of the blend cells.
#include "gfx/blend.h"

#include "gfx/blend_internal.h"

#include <algorithm>
#include <memory>

namespace gfx {

using blend_detail::ClampMaster;
using blend_detail::ClampWeight;
using blend_detail::PerChannel;

std::uint8_t ProductTable[256][256];
std::uint8_t QuotientTable[256][256];

namespace {

// Per channel ((x*W + 128) >> 8) + ((y*(255 - W) + 128) >> 8), two channels at a time; the sum
// of a channel never exceeds 255, so the lanes never carry into each other.
TColor32 WeightedSum(TColor32 X, TColor32 Y, std::uint32_t W) {
  const std::uint32_t V = 255 - W;
  const std::uint32_t xrb = (((X & 0x00FF00FF) * W + 0x00800080) >> 8) & 0x00FF00FF;
  const std::uint32_t yrb = (((Y & 0x00FF00FF) * V + 0x00800080) >> 8) & 0x00FF00FF;
  const std::uint32_t xag = (((X >> 8) & 0x00FF00FF) * W + 0x00800080) & 0xFF00FF00;
  const std::uint32_t yag = (((Y >> 8) & 0x00FF00FF) * V + 0x00800080) & 0xFF00FF00;
  return xrb + yrb + xag + yag;
}

}  // namespace

namespace plain {

TColor32 CombinePixel(TColor32 X, TColor32 Y, std::int32_t W) {
  const std::uint32_t w = ClampWeight(W);
  if (w == 0) return Y;
  if (w == 255) return X;
  return WeightedSum(X, Y, w);
}

void CombinePixelInto(TColor32 X, TColor32& Y, std::int32_t W) {
  Y = CombinePixel(X, Y, W);
}

void CombineSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::int32_t W) {
  for (std::int32_t i = 0; i < Count; ++i) CombinePixelInto(Src[i], Dst[i], W);
}

TColor32 BlendPixel(TColor32 F, TColor32 B) {
  const std::uint32_t fa = F >> 24;
  if (fa == 255) return F;
  if (fa == 0) return B;
  return WeightedSum(F, B, fa);
}

void BlendPixelInto(TColor32 F, TColor32& B) {
  B = BlendPixel(F, B);
}

// Mixes red, green and blue only: the result's alpha is 0 (where the MMX form mixes it).
TColor32 BlendPixelAlpha(TColor32 F, TColor32 B, std::uint32_t M) {
  const std::uint32_t fa = F >> 24;
  const std::uint32_t w = ((ClampMaster(M) + 1) * fa) >> 8;
  if (fa == 0 || w == 0) return B;
  return WeightedSum(F, B, w) & 0x00FFFFFF;
}

void BlendPixelIntoAlpha(TColor32 F, TColor32& B, std::uint32_t M) {
  B = BlendPixelAlpha(F, B, M);
}

void BlendSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  for (std::int32_t i = 0; i < Count; ++i) {
    const std::uint32_t fa = Src[i] >> 24;
    if (fa == 255)
      Dst[i] = Src[i];
    else if (fa != 0)
      Dst[i] = BlendPixel(Src[i], Dst[i]);
  }
}

void BlendSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelIntoAlpha(Src[i], Dst[i], M);
}

TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return std::min(a + b, 255u); });
}
TColor32 ColorSub(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : 0u; });
}
TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return (a * b) >> 8; });
}
TColor32 ColorDifference(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; });
}
TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) {
    const std::int32_t r = static_cast<std::int32_t>(a + b - ((a * b) >> 7));
    return static_cast<std::uint32_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
  });
}
TColor32 ColorScale(TColor32 C, std::uint32_t W) {
  return PerChannel(C, 0, [W](std::uint32_t c, std::uint32_t) {
    const std::uint64_t r = (static_cast<std::uint64_t>(c) * W) >> 8;
    return static_cast<std::uint32_t>(r > 255 ? 255 : r);
  });
}
TColor32 ColorMax(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return std::max(a, b); });
}
TColor32 ColorMin(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return std::min(a, b); });
}
// Rounds down (the extended-MMX form rounds up).
TColor32 ColorAverage(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return (a + b) >> 1; });
}

}  // namespace plain

TColor32 MergePixel(TColor32 F, TColor32 B) {
  const std::uint32_t fa = F >> 24;
  const std::uint32_t ba = B >> 24;
  if (fa == 0) return B;
  if (ba == 255) return BlendPixel(F, B) | 0xFF000000;
  if (fa == 255) return F;
  if (ba == 0) return F;
  const std::uint32_t ra = fa + ba - ProductTable[ba][fa];
  const std::uint8_t* weighFa = ProductTable[fa];
  const std::uint8_t* weighBa = ProductTable[ba];
  TColor32 result = ra << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::int32_t p = weighBa[(B >> shift) & 0xFF];
    const std::int32_t d = static_cast<std::int32_t>((F >> shift) & 0xFF) - p;
    const std::int32_t q = d >= 0 ? weighFa[d] + p : p - weighFa[-d];
    // q never exceeds ra; the bound only keeps the lookup inside the table.
    result |= static_cast<TColor32>(QuotientTable[ra][std::min(q, 255)]) << shift;
  }
  return result;
}

void MergePixelInto(TColor32 F, TColor32& B) {
  B = MergePixel(F, B);
}

TColor32 MergePixelAlpha(TColor32 F, TColor32 B, std::uint32_t M) {
  const TColor32 fa = ProductTable[ClampMaster(M)][F >> 24];
  return MergePixel((F & 0x00FFFFFF) | (fa << 24), B);
}

void MergePixelIntoAlpha(TColor32 F, TColor32& B, std::uint32_t M) {
  B = MergePixelAlpha(F, B, M);
}

void MergeSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  for (std::int32_t i = 0; i < Count; ++i) MergePixelInto(Src[i], Dst[i]);
}

void MergeSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) {
  for (std::int32_t i = 0; i < Count; ++i) MergePixelIntoAlpha(Src[i], Dst[i], M);
}

TColor32 ColorDiv(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) {
    return a == 0 ? 255u : std::min(b * 256 / a, 255u);
  });
}

// Exact integer rounding to nearest, ties to even.
void MakeMergeTables() {
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t b = 0; b < 256; ++b) {
      const std::uint32_t n = a * b;
      std::uint32_t q = n / 255;
      if (2 * (n % 255) > 255) ++q;  // 255 is odd: no ties
      ProductTable[a][b] = static_cast<std::uint8_t>(q);
      if (a == 0) {
        QuotientTable[a][b] = 0;
        continue;
      }
      const std::uint32_t m = b * 255;
      std::uint32_t r = m / a;
      const std::uint32_t twice = 2 * (m % a);
      if (twice > a || (twice == a && (r & 1) != 0)) ++r;
      QuotientTable[a][b] = static_cast<std::uint8_t>(r & 0xFF);
    }
}

namespace {
// 2,056 bytes: 256 entries of 8 bytes plus room to align the first on 8 bytes.
std::unique_ptr<std::uint8_t[]> alphaBlock;
}  // namespace

const std::uint16_t* AlphaTable = nullptr;
const std::uint16_t* AlphaBias = nullptr;

void GenAlphaTable() {
  alphaBlock = std::make_unique<std::uint8_t[]>(2056);
  const auto address = reinterpret_cast<std::uintptr_t>(alphaBlock.get());
  auto* table = reinterpret_cast<std::uint16_t*>(alphaBlock.get() + ((8 - (address & 7)) & 7));
  for (int a = 0; a < 256; ++a)
    for (int lane = 0; lane < 4; ++lane) table[a * 4 + lane] = static_cast<std::uint16_t>(a);
  AlphaTable = table;
  AlphaBias = table + 128 * 4;
}

void FreeAlphaTable() {
  alphaBlock.reset();
  AlphaTable = nullptr;
  AlphaBias = nullptr;
}

namespace {
void SetByMode(TCombineMode mode, TBlendPixelFunc pixel, TBlendPixelIntoProc pixelInto,
               TBlendPixelAlphaFunc pixelAlpha, TBlendPixelIntoAlphaProc pixelIntoAlpha,
               TBlendSpanProc span, TBlendSpanAlphaProc spanAlpha) {
  BlendPixelByMode[mode] = pixel;
  BlendPixelIntoByMode[mode] = pixelInto;
  BlendPixelAlphaByMode[mode] = pixelAlpha;
  BlendPixelIntoAlphaByMode[mode] = pixelIntoAlpha;
  BlendSpanByMode[mode] = span;
  BlendSpanAlphaByMode[mode] = spanAlpha;
}
}  // namespace

void BindBlendCells(const TCpuFeatures& features) {
#if defined(GFX_HAVE_SSE2)
  const bool sse2 = features.sse2;
#define GFX_MMX_FORM(name) (sse2 ? sse2::name : mmx::name)
#else
#define GFX_MMX_FORM(name) (mmx::name)
#endif
#define GFX_BIND(name, rule) name = (rule) ? GFX_MMX_FORM(name) : plain::name
  const bool withMMX = features.mmx;
  GFX_BIND(CombinePixel, withMMX);
  GFX_BIND(CombinePixelInto, withMMX);
  GFX_BIND(CombineSpan, withMMX);
  GFX_BIND(BlendPixel, withMMX);
  GFX_BIND(BlendPixelInto, withMMX);
  GFX_BIND(BlendPixelAlpha, withMMX);
  GFX_BIND(BlendPixelIntoAlpha, withMMX);
  GFX_BIND(BlendSpan, withMMX);
  GFX_BIND(BlendSpanAlpha, withMMX);
  GFX_BIND(ColorAdd, withMMX);
  GFX_BIND(ColorSub, withMMX);
  GFX_BIND(ColorModulate, withMMX);
  GFX_BIND(ColorDifference, withMMX);
  GFX_BIND(ColorExclusion, withMMX);
  GFX_BIND(ColorScale, withMMX);
  GFX_BIND(ColorMax, features.emmx);
  GFX_BIND(ColorMin, features.emmx);
  GFX_BIND(ColorAverage, features.emmx);
#undef GFX_BIND
#undef GFX_MMX_FORM
  MMXActive = withMMX;
  SetByMode(cmBlend, BlendPixel, BlendPixelInto, BlendPixelAlpha, BlendPixelIntoAlpha, BlendSpan,
            BlendSpanAlpha);
  SetByMode(cmMerge, MergePixel, MergePixelInto, MergePixelAlpha, MergePixelIntoAlpha, MergeSpan,
            MergeSpanAlpha);
}

}  // namespace gfx
