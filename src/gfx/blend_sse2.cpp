// The MMX and extended-MMX forms of the blend routines written with SSE2: channels widened to
// 16-bit lanes, ((x - y)*W + 256*y + 128) shr 8, packed back with unsigned saturation. Rows go
// four pixels at a time; the rest pixel by pixel with the same lane arithmetic.
#include "gfx/blend.h"

#if defined(GFX_HAVE_SSE2)

#include <emmintrin.h>

#include "gfx/blend_internal.h"
#include "gfx/lowlevel.h"

namespace gfx::sse2 {

using blend_detail::ClampMaster;
using blend_detail::ClampWeight;

namespace {

__m128i Load1(TColor32 C) {
  return _mm_cvtsi32_si128(static_cast<int>(C));
}
TColor32 Store1(__m128i V) {
  return static_cast<TColor32>(_mm_cvtsi128_si32(V));
}
__m128i Widen1(TColor32 C) {
  return _mm_unpacklo_epi8(Load1(C), _mm_setzero_si128());
}
TColor32 Narrow1(__m128i V) {
  return Store1(_mm_packus_epi16(V, V));
}

// ((x - y)*w + 256*y + 128) shr 8 in each 16-bit lane.
__m128i Mix16(__m128i x, __m128i y, __m128i w) {
  __m128i r = _mm_mullo_epi16(_mm_sub_epi16(x, y), w);
  r = _mm_add_epi16(r, _mm_slli_epi16(y, 8));
  r = _mm_add_epi16(r, _mm_set1_epi16(128));
  return _mm_srli_epi16(r, 8);
}

TColor32 Mix(TColor32 X, TColor32 Y, std::uint32_t W) {
  return Narrow1(Mix16(Widen1(X), Widen1(Y), _mm_set1_epi16(static_cast<short>(W))));
}

// Each pixel's alpha lane copied to its four lanes.
__m128i BroadcastAlpha(__m128i wide) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(wide, 0xFF), 0xFF);
}

__m128i LoadU(const TColor32* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
void StoreU(TColor32* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

const __m128i AlphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000));

// Four pixels of src over dst with per-pixel weights made from the widened source by weigh.
template <class Weigh>
__m128i MixFour(__m128i s, __m128i d, Weigh weigh) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
  const __m128i dlo = _mm_unpacklo_epi8(d, zero), dhi = _mm_unpackhi_epi8(d, zero);
  return _mm_packus_epi16(Mix16(slo, dlo, weigh(slo)), Mix16(shi, dhi, weigh(shi)));
}

}  // namespace

GFX_DEFINE_MMX_PIXEL_ROUTINES(Mix)

void CombineSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::int32_t W) {
  const std::uint32_t w = ClampWeight(W);
  if (Forms::CombineSpanDone(Src, Dst, Count, w)) return;
  const __m128i weight = _mm_set1_epi16(static_cast<short>(w));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4)
    StoreU(Dst + i, MixFour(LoadU(Src + i), LoadU(Dst + i), [&](__m128i) { return weight; }));
  for (; i < Count; ++i) Dst[i] = Mix(Src[i], Dst[i], w);
}

// Alpha 0 gives weight 0, which leaves the destination exactly; alpha 255 copies the source.
namespace {
// Four pixels of BlendSpan: alpha 0 gives weight 0, which leaves the destination exactly;
// alpha 255 copies the source.
void BlendFour(__m128i s, TColor32* Dst) {
  const __m128i opaque = _mm_cmpeq_epi32(_mm_and_si128(s, AlphaMask), AlphaMask);
  const __m128i mixed = MixFour(s, LoadU(Dst), BroadcastAlpha);
  StoreU(Dst, _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, mixed)));
}
bool AllEqual(__m128i a, __m128i b) {
  return _mm_movemask_epi8(_mm_cmpeq_epi32(a, b)) == 0xFFFF;
}
}  // namespace

// Eight pixels at a time, skipped when all are transparent and copied when all are opaque.
void BlendSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  const __m128i zero = _mm_setzero_si128();
  std::int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m128i s0 = LoadU(Src + i), s1 = LoadU(Src + i + 4);
    const __m128i a0 = _mm_and_si128(s0, AlphaMask), a1 = _mm_and_si128(s1, AlphaMask);
    if (AllEqual(_mm_or_si128(a0, a1), zero)) continue;
    if (AllEqual(_mm_and_si128(a0, a1), AlphaMask)) {
      StoreU(Dst + i, s0);
      StoreU(Dst + i + 4, s1);
      continue;
    }
    BlendFour(s0, Dst + i);
    BlendFour(s1, Dst + i + 4);
  }
  if (i + 4 <= Count) {
    BlendFour(LoadU(Src + i), Dst + i);
    i += 4;
  }
  for (; i < Count; ++i) BlendPixelInto(Src[i], Dst[i]);
}

// Weight ((Fa + 1)*M) >> 8 per pixel; weight 0 leaves the destination exactly.
void BlendSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) {
  const std::uint32_t m = ClampMaster(M);
  if (m == 0) return;
  const __m128i master = _mm_set1_epi16(static_cast<short>(m));
  const __m128i one = _mm_set1_epi16(1);
  const auto weigh = [&](__m128i wide) {
    return _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(BroadcastAlpha(wide), one), master), 8);
  };
  // Eight pixels at a time, skipped when all are transparent.
  const __m128i zero = _mm_setzero_si128();
  std::int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m128i s0 = LoadU(Src + i), s1 = LoadU(Src + i + 4);
    if (AllEqual(_mm_and_si128(_mm_or_si128(s0, s1), AlphaMask), zero)) continue;
    StoreU(Dst + i, MixFour(s0, LoadU(Dst + i), weigh));
    StoreU(Dst + i + 4, MixFour(s1, LoadU(Dst + i + 4), weigh));
  }
  if (i + 4 <= Count) {
    StoreU(Dst + i, MixFour(LoadU(Src + i), LoadU(Dst + i), weigh));
    i += 4;
  }
  for (; i < Count; ++i) Forms::BlendSpanAlphaPixel(Src[i], Dst[i], m);
}

TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
  return Store1(_mm_adds_epu8(Load1(C1), Load1(C2)));
}
TColor32 ColorSub(TColor32 C1, TColor32 C2) {
  return Store1(_mm_subs_epu8(Load1(C1), Load1(C2)));
}
TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
  return Narrow1(_mm_srli_epi16(_mm_mullo_epi16(Widen1(C1), Widen1(C2)), 8));
}
TColor32 ColorDifference(TColor32 C1, TColor32 C2) {
  const __m128i a = Load1(C1), b = Load1(C2);
  return Store1(_mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)));
}
TColor32 ColorExclusion(TColor32 C1, TColor32 C2) {
  const __m128i a = Widen1(C1), b = Widen1(C2);
  const __m128i product = _mm_srli_epi16(_mm_mullo_epi16(a, b), 7);
  return Narrow1(_mm_subs_epu16(_mm_add_epi16(a, b), product));
}
TColor32 ColorScale(TColor32 C, std::uint32_t W) {
  if (W > 255) return plain::ColorScale(C, W);
  const __m128i w = _mm_set1_epi16(static_cast<short>(W));
  return Narrow1(_mm_srli_epi16(_mm_mullo_epi16(Widen1(C), w), 8));
}
TColor32 ColorMax(TColor32 C1, TColor32 C2) {
  return Store1(_mm_max_epu8(Load1(C1), Load1(C2)));
}
TColor32 ColorMin(TColor32 C1, TColor32 C2) {
  return Store1(_mm_min_epu8(Load1(C1), Load1(C2)));
}
TColor32 ColorAverage(TColor32 C1, TColor32 C2) {
  return Store1(_mm_avg_epu8(Load1(C1), Load1(C2)));
}

}  // namespace gfx::sse2

#endif
