// The MMX and extended-MMX forms of the blend routines in portable C++: each channel widened,
// then (x*W + y*(256 - W) + 128) >> 8, which is the 16-bit lane arithmetic
// ((x - y)*W + 256*y + 128) shr 8 without its wrap-around.
#include <algorithm>

#include "gfx/blend.h"
#include "gfx/blend_internal.h"
#include "gfx/lowlevel.h"

namespace gfx::mmx {

using blend_detail::ClampMaster;
using blend_detail::ClampWeight;
using blend_detail::PerChannel;

namespace {

TColor32 Mix(TColor32 X, TColor32 Y, std::uint32_t W) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t x = (X >> shift) & 0xFF;
    const std::uint32_t y = (Y >> shift) & 0xFF;
    result |= ((x * W + y * (256 - W) + 128) >> 8) << shift;
  }
  return result;
}

}  // namespace

GFX_DEFINE_MMX_PIXEL_ROUTINES(Mix)

void CombineSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::int32_t W) {
  const std::uint32_t w = ClampWeight(W);
  if (Forms::CombineSpanDone(Src, Dst, Count, w)) return;
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = Mix(Src[i], Dst[i], w);
}

void BlendSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelInto(Src[i], Dst[i]);
}

// The row form weights ((Fa + 1)*M) >> 8, where the pixel forms weight ((M + 1)*Fa) >> 8.
void BlendSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) {
  const std::uint32_t m = ClampMaster(M);
  for (std::int32_t i = 0; i < Count; ++i) Forms::BlendSpanAlphaPixel(Src[i], Dst[i], m);
}

// 16-bit lanes: (c1 + c2) minus ((c1*c2) >> 7) with unsigned saturation, packed to bytes.
TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) {
    const std::uint32_t sum = a + b;
    const std::uint32_t product = ((a * b) & 0xFFFF) >> 7;
    const std::uint32_t r = sum > product ? sum - product : 0u;
    return std::min(r, 255u);
  });
}
// W indexes the weight table, so only 0..255 are weights; larger W saturate as the plain form.
TColor32 ColorScale(TColor32 C, std::uint32_t W) {
  if (W > 255) return plain::ColorScale(C, W);
  return PerChannel(C, 0, [W](std::uint32_t c, std::uint32_t) { return (c * W) >> 8; });
}
// Rounds up.
TColor32 ColorAverage(TColor32 C1, TColor32 C2) {
  return PerChannel(C1, C2, [](std::uint32_t a, std::uint32_t b) { return (a + b + 1) >> 1; });
}

}  // namespace gfx::mmx
