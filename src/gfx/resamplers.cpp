#include "gfx/resamplers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gfx/blend.h"
#include "gfx/containers.h"
#include "gfx/drawing.h"
#include "gfx/fixed_math.h"
#include "gfx/lowlevel.h"

namespace gfx {

namespace {

std::int32_t Saturate32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t Span(std::int32_t lo, std::int32_t hi) {
  return static_cast<std::int64_t>(hi) - lo;
}

// DstClip within the destination's bounds and DstRect; empty when nothing is left.
TRect ClipOf(const TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip) {
  TRect clip;
  IntersectRect(clip, DstClip, Dst.BoundsRect());
  IntersectRect(clip, clip, DstRect);
  return clip;
}

bool SrcRectInside(const TBitmap32& Src, const TRect& SrcRect) {
  return SrcRect.left >= 0 && SrcRect.top >= 0 && SrcRect.right <= Src.Width() &&
         SrcRect.bottom <= Src.Height();
}

// Writes a row of source colours into a destination row by the draw mode.
class TRowWriter {
 public:
  TRowWriter(const TBitmap32& Src, TDrawMode Mode, const TPixelCombineEvent& CallBack)
      : FMode(Mode == dmCustom && !CallBack ? dmOpaque : Mode),
        FCallBack(CallBack),
        FMasterAlpha(Src.MasterAlpha()),
        FOuterColor(Src.OuterColor()),
        FBlendSpan(BlendSpanByMode[Src.CombineMode()]),
        FBlendSpanAlpha(BlendSpanAlphaByMode[Src.CombineMode()]) {}

  TDrawMode Mode() const { return FMode; }

  void Write(const TColor32* Row, TColor32* Dst, std::int32_t Count) const {
    switch (FMode) {
      case dmOpaque:
        MoveLongword(Row, Dst, Count);
        break;
      case dmBlend:
        if (FMasterAlpha < 255)
          FBlendSpanAlpha(Row, Dst, Count, FMasterAlpha);
        else
          FBlendSpan(Row, Dst, Count);
        break;
      case dmTransparent:
        for (std::int32_t i = 0; i < Count; ++i)
          if (Row[i] != FOuterColor) Dst[i] = Row[i];
        break;
      case dmCustom:
        for (std::int32_t i = 0; i < Count; ++i) FCallBack(Row[i], Dst[i], FMasterAlpha);
        break;
    }
  }

 private:
  TDrawMode FMode;
  const TPixelCombineEvent& FCallBack;
  std::uint32_t FMasterAlpha;
  TColor32 FOuterColor;
  TBlendSpanProc FBlendSpan;
  TBlendSpanAlphaProc FBlendSpanAlpha;
};

// Destination positions Lo..Hi - 1 (of the span starting at DstLo, DstSpan long) to source
// positions SrcLo + (offset x SrcSpan) div DstSpan, stepped without division; without
// FullEdgeMapping SrcLo + offset x (SrcSpan - 1) / (DstSpan - 1), to nearest (ties to even).
std::vector<std::int32_t> NearestMap(std::int32_t DstLo, std::int64_t DstSpan, std::int32_t Lo,
                                     std::int32_t Hi, std::int32_t SrcLo, std::int32_t SrcHi) {
  std::vector<std::int32_t> map(static_cast<std::size_t>(Hi - Lo));
  const auto srcSpan = static_cast<std::uint64_t>(Span(SrcLo, SrcHi));
  if (DstSpan == 1) {
    std::fill(map.begin(), map.end(),
              static_cast<std::int32_t>((static_cast<std::int64_t>(SrcLo) + SrcHi - 1) / 2));
    return map;
  }
  const auto dstSpan = static_cast<std::uint64_t>(DstSpan);
  const std::uint64_t offset = static_cast<std::uint64_t>(Span(DstLo, Lo));
  if (!FullEdgeMapping) {
    const std::uint64_t num = srcSpan - 1, den = dstSpan - 1;
    std::uint64_t at = offset;
    for (auto& m : map) {
      // at < 2^32 and num < 2^31: the product fits.
      std::uint64_t q = at * num / den;
      const std::uint64_t twiceRest = at * num % den * 2;
      if (twiceRest > den || (twiceRest == den && ((SrcLo + q) & 1) != 0)) ++q;
      m = static_cast<std::int32_t>(SrcLo + static_cast<std::int64_t>(q));
      ++at;
    }
    return map;
  }
  const std::uint64_t step = srcSpan / dstSpan, stepRest = srcSpan % dstSpan;
  // offset < 2^32 and srcSpan < 2^31: the product fits.
  std::uint64_t q = offset * srcSpan / dstSpan, r = offset * srcSpan % dstSpan;
  for (auto& m : map) {
    m = static_cast<std::int32_t>(SrcLo + static_cast<std::int64_t>(q));
    q += step;
    r += stepRest;
    if (r >= dstSpan) {
      r -= dstSpan;
      ++q;
    }
  }
  return map;
}

// Destination pixels Offset.. Offset + Count - 1 of a row that repeats each source pixel K
// times.
void Replicate(const TColor32* Src, TColor32* Dst, std::int64_t Offset, std::int32_t Count,
               std::int32_t K) {
  const TColor32* s = Src + Offset / K;
  std::int32_t i = 0;
  // The rest of a group cut by the clip.
  for (std::int64_t rest = (K - Offset % K) % K; rest > 0 && i < Count; --rest) Dst[i++] = *s;
  if (Offset % K != 0) ++s;
#if defined(__SSE2__)
  if (K == 2) {
    for (; i + 8 <= Count; i += 8, s += 4) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), _mm_unpacklo_epi32(v, v));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i + 4), _mm_unpackhi_epi32(v, v));
    }
  } else if (K >= 4) {
    // Whole groups: the pixel in four lanes, stored K div 4 times and then at the group's end
    // (overlapping) for the rest.
    for (; i + K <= Count; i += K, ++s) {
      const __m128i v = _mm_set1_epi32(static_cast<int>(*s));
      TColor32* d = Dst + i;
      for (std::int32_t k = 0; k + 4 <= K; k += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), v);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + K - 4), v);
    }
  }
#endif
  for (; i < Count; ++s)
    for (std::int32_t k = 0; k < K && i < Count; ++k) Dst[i++] = *s;
}

// A map that leaves the source span is a programming error: only an empty source span gives one.
void CheckMap(const std::vector<std::int32_t>& map, const TRect& SrcRect, bool columns) {
  const std::int32_t lo = columns ? SrcRect.left : SrcRect.top;
  const std::int32_t hi = columns ? SrcRect.right : SrcRect.bottom;
  if (!map.empty() && (map.front() < lo || map.back() >= hi))
    throw EAssertionFailed("Assertion failure");
}

}  // namespace

// ---- Bound routines ----

TColor32 plain::Interpolator(std::uint32_t WX, std::uint32_t WY, const TColor32* Top,
                             const TColor32* Bottom) {
  const auto wx = static_cast<std::int32_t>(std::min(WX, 255u));
  const auto wy = static_cast<std::int32_t>(std::min(WY, 255u));
  const TColor32 top = plain::CombinePixel(Top[0], Top[1], wx);
  const TColor32 bottom = plain::CombinePixel(Bottom[0], Bottom[1], wx);
  return plain::CombinePixel(top, bottom, wy);
}

TColor32 mmx::Interpolator(std::uint32_t WX, std::uint32_t WY, const TColor32* Top,
                           const TColor32* Bottom) {
  const auto wx = static_cast<std::int32_t>(std::min(WX, 256u));
  const auto wy = static_cast<std::int32_t>(std::min(WY, 256u));
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const auto ch = [shift](TColor32 c) { return static_cast<std::int32_t>((c >> shift) & 0xFF); };
    const std::int32_t top = ((ch(Top[0]) - ch(Top[1])) * wx + 256 * ch(Top[1])) >> 8;
    const std::int32_t bottom = ((ch(Bottom[0]) - ch(Bottom[1])) * wx + 256 * ch(Bottom[1])) >> 8;
    const std::int32_t v = ((top - bottom) * wy + 256 * bottom) >> 8;
    result |= static_cast<TColor32>(std::clamp(v, 0, 255)) << shift;
  }
  return result;
}

// (sum x 0x1000000 div (W x H)) shr 24 per channel, in 64 bits: the average rounded down.
TColor32 plain::BlockAverage(std::uint32_t W, std::uint32_t H, const TColor32* Src,
                             std::int32_t Stride) {
  const std::uint64_t n = static_cast<std::uint64_t>(W) * H;
  if (n == 0) return 0;
  std::uint64_t sum[4] = {};
  for (std::uint32_t y = 0; y < H; ++y, Src += Stride)
    for (std::uint32_t x = 0; x < W; ++x)
      for (int c = 0; c < 4; ++c) sum[c] += (Src[x] >> (8 * c)) & 0xFF;
  TColor32 result = 0;
  for (int c = 0; c < 4; ++c)
    result |= static_cast<TColor32>(((sum[c] << 24) / n) >> 24) << (8 * c);
  return result;
}

TColor32 mmx::BlockAverage(std::uint32_t W, std::uint32_t H, const TColor32* Src,
                           std::int32_t Stride) {
  const std::uint64_t n = static_cast<std::uint64_t>(W) * H;
  if (n == 0) return 0;
  // Blue and red, green and alpha in 32-bit lanes of two 64-bit sums (2^24 pixels per lane
  // before a carry could cross; larger blocks are summed in parts).
  std::uint64_t even = 0, odd = 0, sum[4] = {};
  std::uint32_t inLanes = 0;
  const auto flush = [&] {
    sum[0] += even & 0xFFFFFFFF;
    sum[2] += even >> 32;
    sum[1] += odd & 0xFFFFFFFF;
    sum[3] += odd >> 32;
    even = odd = 0;
    inLanes = 0;
  };
  for (std::uint32_t y = 0; y < H; ++y, Src += Stride)
    for (std::uint32_t x = 0; x < W; ++x) {
      const std::uint64_t c = Src[x];
      even += (c & 0xFF) | (c & 0xFF0000) << 16;
      odd += (c >> 8 & 0xFF) | (c >> 24) << 32;
      if (++inLanes == 0xFFFFFF) flush();
    }
  flush();
  TColor32 result = 0;
  for (int c = 0; c < 4; ++c)
    result |= static_cast<TColor32>(((sum[c] << 24) / n) >> 24) << (8 * c);
  return result;
}

void BindResamplerCells(const TCpuFeatures& features) {
  // The 3DNow! form of the block average adds only a cache prefetch: the same routine.
  const bool mmx = features.mmx || features.amd3dnow;
  ResamplerInterpolator = mmx ? mmx::Interpolator : plain::Interpolator;
  BlockAverage = mmx ? mmx::BlockAverage : plain::BlockAverage;
}

// ---- Kernels ----

namespace {

float Sinc(float x) {
  if (x == 0) return 1.0f;
  const double px = std::numbers::pi * x;
  return static_cast<float>(std::sin(px) / px);
}

}  // namespace

float TBoxKernel::Filter(float Value) {
  return Value >= -0.5f && Value <= 0.5f ? 1.0f : 0.0f;
}

float TLinearKernel::Filter(float Value) {
  if (Value >= -1.0f && Value < 0.0f) return 1.0f + Value;
  if (Value >= 0.0f && Value < 1.0f) return 1.0f - Value;
  return 0.0f;
}

float TCosineKernel::Filter(float Value) {
  if (std::fabs(Value) >= 1.0f) return 0.0f;
  return static_cast<float>((std::cos(std::numbers::pi * Value) + 1) / 2);
}

float TSplineKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  if (a < 1) return static_cast<float>(0.5 * a * a * a - a * a + 2.0 / 3);
  if (a < 2) return static_cast<float>((2 - a) * (2 - a) * (2 - a) / 6);
  return 0.0f;
}

float TMitchellKernel::Filter(float Value) {
  const double a = std::fabs(Value);
  if (a < 1) return static_cast<float>((7 * a * a * a - 12 * a * a + 16.0 / 3) / 6);
  if (a < 2) return static_cast<float>((-7.0 / 3 * a * a * a + 12 * a * a - 20 * a + 32.0 / 3) / 6);
  return 0.0f;
}

float TCubicKernel::Filter(float Value) {
  const double a = std::fabs(Value), c = FCoeff;
  if (a < 1) return static_cast<float>((c + 2) * a * a * a - (c + 3) * a * a + 1);
  if (a < 2) return static_cast<float>(c * (a * a * a - 5 * a * a + 8 * a - 4));
  return 0.0f;
}

void TCubicKernel::Assign(const TCustomKernel& Source) {
  if (const auto* k = dynamic_cast<const TCubicKernel*>(&Source)) SetCoeff(k->FCoeff);
}

// The interpolation point lies at t (0..1) between samples y1 (at 0) and y2 (at 1), with y0 at
// -1 and y3 at 2; Value = point - sample, so floor(Value) = 1, 0, -1, -2 picks y0..y3 as the
// sample whose weight this is.
float THermiteKernel::Filter(float Value) {
  const double fl = std::floor(Value);
  if (fl < -2 || fl > 1) return 0.0f;
  const double t = Value - fl, t2 = t * t, t3 = t2 * t;
  const double a0 = 2 * t3 - 3 * t2 + 1, a1 = t3 - 2 * t2 + t, a2 = t3 - t2, a3 = -2 * t3 + 3 * t2;
  const double b = FBias, s = (1 - FTension) / 2;
  // Tangents at y1 and y2: m = s((1 + b)(y_k - y_k-1) + (1 - b)(y_k+1 - y_k)).
  switch (static_cast<int>(fl)) {
    case 1:  // y0
      return static_cast<float>(a1 * -s * (1 + b));
    case 0:  // y1
      return static_cast<float>(a0 + a1 * s * ((1 + b) - (1 - b)) + a2 * -s * (1 + b));
    case -1:  // y2
      return static_cast<float>(a3 + a1 * s * (1 - b) + a2 * s * ((1 + b) - (1 - b)));
    default:  // y3
      return static_cast<float>(a2 * s * (1 - b));
  }
}

void THermiteKernel::Assign(const TCustomKernel& Source) {
  if (const auto* k = dynamic_cast<const THermiteKernel*>(&Source)) {
    SetBias(k->FBias);
    SetTension(k->FTension);
  }
}

float TWindowedSincKernel::Filter(float Value) {
  const float a = std::fabs(Value);
  if (!(a < FWidth)) return 0.0f;
  return Window(a) * Sinc(a);
}

void TWindowedSincKernel::SetWidth(float Value) {
  SetProperty(FWidth, std::min(Value, 4.0f));
}

void TWindowedSincKernel::Assign(const TCustomKernel& Source) {
  if (const auto* k = dynamic_cast<const TWindowedSincKernel*>(&Source)) SetWidth(k->FWidth);
}

float TLanczosKernel::Window(float Value) {
  return Sinc(Value / FWidth);
}

float TGaussianKernel::Window(float Value) {
  return static_cast<float>(std::exp2(-static_cast<double>(Value) * Value / FSigma));
}

void TGaussianKernel::SetSigma(float Value) {
  if (Value != 0 && FSigma != 0) SetProperty(FSigma, Value);
}

void TGaussianKernel::Assign(const TCustomKernel& Source) {
  TWindowedSincKernel::Assign(Source);
  if (const auto* k = dynamic_cast<const TGaussianKernel*>(&Source)) SetSigma(k->FSigma);
}

float TBlackmanKernel::Window(float Value) {
  const double t = std::numbers::pi * Value / FWidth;
  return static_cast<float>(0.42 + 0.5 * std::cos(t) + 0.08 * std::cos(2 * t));
}

float THannKernel::Window(float Value) {
  return static_cast<float>(0.5 * std::cos(std::numbers::pi * Value / FWidth) + 0.5);
}

float THammingKernel::Window(float Value) {
  return static_cast<float>(0.54 + 0.46 * std::cos(std::numbers::pi * Value / FWidth));
}

float TSinshKernel::Filter(float Value) {
  if (Value == 0) return 1.0f;
  const double px = std::numbers::pi * Value;
  return static_cast<float>(std::sin(px) * FCoeff / std::sinh(px * FCoeff));
}

void TSinshKernel::SetCoeff(float Value) {
  if (Value != 0 && FCoeff != 0) SetProperty(FCoeff, Value);
}

void TSinshKernel::Assign(const TCustomKernel& Source) {
  if (const auto* k = dynamic_cast<const TSinshKernel*>(&Source)) {
    SetWidth(k->FWidth);
    SetCoeff(k->FCoeff);
  }
}

// ---- Registries ----

namespace {

std::unique_ptr<TClassList<const TKernelClass*>>& KernelRegistry() {
  static std::unique_ptr<TClassList<const TKernelClass*>> registry;
  return registry;
}

template <class K>
std::unique_ptr<TCustomKernel> MakeKernel() {
  return std::make_unique<K>();
}

template <class K>
constexpr TKernelClass KernelClassOf(std::wstring_view name) {
  return TKernelClass{name, &MakeKernel<K>};
}

const TKernelClass kKernelClasses[] = {
    KernelClassOf<TBoxKernel>(L"TBoxKernel"),
    KernelClassOf<TLinearKernel>(L"TLinearKernel"),
    KernelClassOf<TCosineKernel>(L"TCosineKernel"),
    KernelClassOf<TSplineKernel>(L"TSplineKernel"),
    KernelClassOf<TCubicKernel>(L"TCubicKernel"),
    KernelClassOf<TMitchellKernel>(L"TMitchellKernel"),
    KernelClassOf<TLanczosKernel>(L"TLanczosKernel"),
    KernelClassOf<TGaussianKernel>(L"TGaussianKernel"),
    KernelClassOf<TBlackmanKernel>(L"TBlackmanKernel"),
    KernelClassOf<THannKernel>(L"THannKernel"),
    KernelClassOf<THammingKernel>(L"THammingKernel"),
    KernelClassOf<TSinshKernel>(L"TSinshKernel"),
    KernelClassOf<THermiteKernel>(L"THermiteKernel"),
};

template <class R>
std::unique_ptr<TCustomResampler> MakeResampler(TBitmap32* Bitmap) {
  return std::make_unique<R>(Bitmap);
}

}  // namespace

const TResamplerClass TNearestResampler::Class{L"TNearestResampler",
                                               &MakeResampler<TNearestResampler>};
const TResamplerClass TLinearResampler::Class{L"TLinearResampler",
                                              &MakeResampler<TLinearResampler>};
const TResamplerClass TDraftResampler::Class{L"TDraftResampler", &MakeResampler<TDraftResampler>};
const TResamplerClass TKernelResampler::Class{L"TKernelResampler",
                                              &MakeResampler<TKernelResampler>};

void RegisterKernel(const TKernelClass& Class) {
  auto& registry = KernelRegistry();
  if (!registry) registry = std::make_unique<TClassList<const TKernelClass*>>();
  registry->Add(&Class);
}

const TKernelClass* FindKernelClass(std::wstring_view Name) {
  return KernelRegistry() ? KernelRegistry()->Find(Name) : nullptr;
}

void FreeKernelRegistry() {
  KernelRegistry().reset();
}

void RegisterResamplersAndKernels() {
  RegisterResampler(TNearestResampler::Class);
  RegisterResampler(TLinearResampler::Class);
  RegisterResampler(TDraftResampler::Class);
  RegisterResampler(TKernelResampler::Class);
  for (const TKernelClass& k : kKernelClasses) RegisterKernel(k);
}

void FreeResamplerAndKernelRegistries() {
  FreeKernelRegistry();
  FreeResamplerRegistry();
}

// ---- TBitmap32Resampler ----

void TBitmap32Resampler::Changed() {
  if (FBitmap) FBitmap->Changed();
  TCustomResampler::Changed();
}

void TBitmap32Resampler::PrepareSampling() {
  if (FBitmap) FClipRect = FBitmap->ClipRect();
}

TRect TBitmap32Resampler::GetSampleBounds() {
  TRect r = FBitmap ? FBitmap->ClipRect() : TRect{};
  if (FPixelAccessMode == pamTransparentEdge) InflateRect(r, 1, 1);
  return r;
}

void TBitmap32Resampler::Assign(const TCustomResampler& Source) {
  if (const auto* r = dynamic_cast<const TBitmap32Resampler*>(&Source))
    SetPixelAccessMode(r->FPixelAccessMode);
}

void TBitmap32Resampler::SetPixelAccessMode(TPixelAccessMode Value) {
  if (FPixelAccessMode == Value) return;
  FPixelAccessMode = Value;
  Changed();
}

TTransformerClass TBitmap32Resampler::TransformerClass() const {
  return [](TCustomSampler* Sampler, TTransformation* Transformation) {
    return std::make_unique<TTransformer>(Sampler, Transformation);
  };
}

TColor32 TBitmap32Resampler::ReadPixel(std::int32_t X, std::int32_t Y) const {
  const TBitmap32& b = *FBitmap;
  switch (FPixelAccessMode) {
    case pamUnsafe:
      return b.GetPixel(X, Y);
    case pamSafe:
      return b.GetPixelS(X, Y);
    case pamWrap:
      return GetPixelW(b, X, Y);
    case pamTransparentEdge:
      break;
  }
  // The prepared clip rectangle, within the bitmap as it is now (it may have shrunk since).
  TRect clip;
  IntersectRect(clip, FClipRect, b.BoundsRect());
  if (IsRectEmpty(clip)) return b.OuterColor();
  const std::int32_t x = Clamp(X, clip.left, clip.right - 1);
  const std::int32_t y = Clamp(Y, clip.top, clip.bottom - 1);
  const TColor32 c = b.GetPixel(x, y);
  return x != X || y != Y ? c & 0x00FFFFFF : c;
}

// ---- TNearestResampler ----

TColor32 TNearestResampler::GetSampleInt(std::int32_t X, std::int32_t Y) {
  return ReadPixel(X, Y);
}

TColor32 TNearestResampler::GetSampleFixed(TFixed X, TFixed Y) {
  return ReadPixel(FixedRound(X), FixedRound(Y));
}

TColor32 TNearestResampler::GetSampleFloat(float X, float Y) {
  return ReadPixel(SaturatedRound(X), SaturatedRound(Y));
}

void TNearestResampler::Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                 TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                 const TPixelCombineEvent& CombineCallBack) {
  StretchNearest(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
}

TTransformerClass TNearestResampler::TransformerClass() const {
  return [](TCustomSampler* Sampler,
            TTransformation* Transformation) -> std::unique_ptr<TTransformer> {
    return std::make_unique<TNearestTransformer>(Sampler, Transformation);
  };
}

// ---- TLinearResampler and TDraftResampler ----

TLinearResampler::TLinearResampler(TBitmap32* Bitmap)
    : TBitmap32Resampler(Bitmap), FLinearKernel(std::make_unique<TLinearKernel>()) {}

void TLinearResampler::PrepareSampling() {
  TBitmap32Resampler::PrepareSampling();
}

TColor32 TLinearResampler::GetSampleFixed(TFixed X, TFixed Y) {
  const TBitmap32& b = *FBitmap;
  switch (FPixelAccessMode) {
    case pamUnsafe:
      return GetPixelX(b, X, Y);
    case pamSafe:
      return GetPixelXS(b, X, Y);
    case pamWrap:
      return GetPixelXW(b, X, Y);
    case pamTransparentEdge:
      break;
  }
  // Within one pixel around the clip rectangle the edge pixels mix with transparent copies.
  const std::int32_t x = static_cast<std::int32_t>((static_cast<std::int64_t>(X) + 127) >> 8);
  const std::int32_t y = static_cast<std::int32_t>((static_cast<std::int64_t>(Y) + 127) >> 8);
  const std::int32_t px = x >> 8, py = y >> 8;
  const TColor32 top[2] = {ReadPixel(px, py), ReadPixel(px + (px < INT32_MAX), py)};
  const std::int32_t py1 = py + (py < INT32_MAX);
  const TColor32 bottom[2] = {ReadPixel(px, py1), ReadPixel(px + (px < INT32_MAX), py1)};
  return ResamplerInterpolator(GammaTable[255 - (x & 255)], GammaTable[(y & 255) ^ 255], top,
                               bottom);
}

TColor32 TLinearResampler::GetSampleFloat(float X, float Y) {
  return GetSampleFixed(SaturatedFixed(X), SaturatedFixed(Y));
}

void TLinearResampler::Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  if (Span(DstRect.left, DstRect.right) > Span(SrcRect.left, SrcRect.right) &&
      Span(DstRect.top, DstRect.bottom) > Span(SrcRect.top, SrcRect.bottom) &&
      Span(SrcRect.left, SrcRect.right) > 1 && Span(SrcRect.top, SrcRect.bottom) > 1)
    StretchLinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
  else
    ResampleWithKernel(Dst, DstRect, DstClip, Src, SrcRect, *FLinearKernel, CombineOp,
                       CombineCallBack);
}

void TDraftResampler::Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                               TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                               const TPixelCombineEvent& CombineCallBack) {
  CoarseStretch(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
}

// ---- TKernelResampler ----

TKernelResampler::TKernelResampler(TBitmap32* Bitmap)
    : TBitmap32Resampler(Bitmap), FKernel(std::make_unique<TBoxKernel>()) {
  FKernel->Observer = this;
}

TKernelResampler::~TKernelResampler() = default;

void TKernelResampler::SetKernel(std::unique_ptr<TCustomKernel> Value) {
  if (!Value || Value.get() == FKernel.get()) return;
  FKernel = std::move(Value);
  FKernel->Observer = this;
  Changed();
}

void TKernelResampler::SetKernelClassName(std::wstring_view Value) {
  if (Value.empty() || Value == FKernel->ClassName()) return;
  if (const TKernelClass* found = FindKernelClass(Value)) SetKernel(found->Create());
}

void TKernelResampler::SetKernelMode(TKernelMode Value) {
  if (FKernelMode == Value) return;
  FKernelMode = Value;
  Changed();
}

void TKernelResampler::SetTableSize(std::int32_t Value) {
  Value = std::max(Value, 2);
  if (FTableSize == Value) return;
  FTableSize = Value;
  Changed();
}

void TKernelResampler::Assign(const TCustomResampler& Source) {
  TBitmap32Resampler::Assign(Source);
  const auto* r = dynamic_cast<const TKernelResampler*>(&Source);
  if (!r) return;
  SetKernelClassName(r->KernelClassName());
  FKernel->Assign(*r->FKernel);
  SetKernelMode(r->FKernelMode);
  SetTableSize(r->FTableSize);
}

namespace {

// Adds the shortfall from 256 to Weights[Centre].
void CorrectToSum256(std::int32_t* Weights, std::int32_t Count, std::int32_t Centre) {
  std::int32_t sum = 0;
  for (std::int32_t i = 0; i < Count; ++i) sum += Weights[i];
  Weights[Centre] += 256 - sum;
}

std::int32_t RoundWeight(double v) {
  return static_cast<std::int32_t>(std::nearbyint(v * 256));
}

}  // namespace

void TKernelResampler::PrepareSampling() {
  TBitmap32Resampler::PrepareSampling();
  if (FBitmap) FOuterColor = FBitmap->OuterColor();
  FWidthInt = std::max(static_cast<std::int32_t>(std::ceil(FKernel->GetWidth())), 0);
  FWeightTable.reset();
  if (FKernelMode == kmDynamic) return;
  const std::int32_t n = 2 * FWidthInt + 1;
  FWeightTable = std::make_unique<TIntegerMap>();
  FWeightTable->SetSize(n, FTableSize + 1);
  // Row i holds the weights at the fraction i / (TableSize - 1): rows 0 .. TableSize - 1 span
  // the fractions 0 to 1, which is all that sampling reads.
  for (std::int32_t i = 0; i <= FTableSize; ++i) {
    std::int32_t* row = FWeightTable->ValPtr(0, i);
    const double fraction = static_cast<double>(i) / (FTableSize - 1);
    for (std::int32_t k = -FWidthInt; k <= FWidthInt; ++k)
      row[k + FWidthInt] = RoundWeight(FKernel->Filter(static_cast<float>(k + fraction)));
    CorrectToSum256(row, n, FWidthInt);
  }
}

void TKernelResampler::FinalizeSampling() {
  FWeightTable.reset();
}

void TKernelResampler::Weights(float t, std::int32_t* Out) const {
  const std::int32_t n = 2 * FWidthInt + 1;
  if (!FWeightTable) {
    for (std::int32_t k = -FWidthInt; k <= FWidthInt; ++k)
      Out[k + FWidthInt] = RoundWeight(FKernel->Filter(static_cast<float>(k) + t));
  } else if (FKernelMode == kmTableNearest) {
    // The table's own size: TableSize may have changed since it was made.
    const std::int32_t size = FWeightTable->Height() - 1;
    const auto row = static_cast<std::int32_t>(std::nearbyint(t * (size - 1)));
    std::copy_n(FWeightTable->ValPtr(0, std::clamp(row, 0, size - 1)), n, Out);
  } else {
    const std::int32_t size = FWeightTable->Height() - 1;
    const float pos = t * static_cast<float>(size - 1);
    const std::int32_t row = std::clamp(static_cast<std::int32_t>(pos), 0, size - 2);
    const auto f = static_cast<std::int32_t>(std::nearbyint((pos - row) * 256));
    const std::int32_t* w0 = FWeightTable->ValPtr(0, row);
    const std::int32_t* w1 = FWeightTable->ValPtr(0, row + 1);
    for (std::int32_t j = 0; j < n; ++j) Out[j] = (w0[j] * (256 - f) + w1[j] * f + 128) >> 8;
  }
  CorrectToSum256(Out, n, FWidthInt);
}

TColor32 TKernelResampler::GetSampleFloat(float X, float Y) {
  if (!FBitmap || !std::isfinite(X) || !std::isfinite(Y)) return FOuterColor;
  const double fx = std::floor(X), fy = std::floor(Y);
  if (fx < -2e9 || fx > 2e9 || fy < -2e9 || fy > 2e9) return FOuterColor;
  const auto x0 = static_cast<std::int32_t>(fx), y0 = static_cast<std::int32_t>(fy);
  const std::int32_t n = 2 * FWidthInt + 1;
  std::vector<std::int32_t> wx(n), wy(n);
  Weights(static_cast<float>(X - fx), wx.data());
  Weights(static_cast<float>(Y - fy), wy.data());
  std::int64_t sum[4] = {};
  // Weight j belongs to the pixel at offset W - j.
  for (std::int32_t j = 0; j < n; ++j) {
    if (wy[j] == 0) continue;
    for (std::int32_t i = 0; i < n; ++i) {
      if (wx[i] == 0) continue;
      const TColor32 c = ReadPixel(x0 + FWidthInt - i, y0 + FWidthInt - j);
      const std::int64_t w = static_cast<std::int64_t>(wx[i]) * wy[j];
      for (int ch = 0; ch < 4; ++ch) sum[ch] += w * ((c >> (8 * ch)) & 0xFF);
    }
  }
  TColor32 result = 0;
  for (int ch = 0; ch < 4; ++ch)
    result |= static_cast<TColor32>(std::clamp<std::int64_t>((sum[ch] + 32768) >> 16, 0, 255))
              << (8 * ch);
  return result;
}

void TKernelResampler::Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                                TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                                const TPixelCombineEvent& CombineCallBack) {
  ResampleWithKernel(Dst, DstRect, DstClip, Src, SrcRect, *FKernel, CombineOp, CombineCallBack);
}

// ---- Nested samplers ----

TCustomSampler& TNestedSampler::Nested() const {
  if (!FSampler) throw ENestedException("Nested sampler is nil");
  return *FSampler;
}

TColor32 TNestedSampler::GetSampleInt(std::int32_t X, std::int32_t Y) {
  return Nested().GetSampleInt(X, Y);
}

TColor32 TNestedSampler::GetSampleFixed(TFixed X, TFixed Y) {
  return Nested().GetSampleFixed(X, Y);
}

TColor32 TNestedSampler::GetSampleFloat(float X, float Y) {
  return Nested().GetSampleFloat(X, Y);
}

void TNestedSampler::PrepareSampling() {
  Nested().PrepareSampling();
}

void TNestedSampler::FinalizeSampling() {
  Nested().FinalizeSampling();
}

bool TNestedSampler::HasBounds() {
  return Nested().HasBounds();
}

TRect TNestedSampler::GetSampleBounds() {
  return Nested().GetSampleBounds();
}

void TNestedSampler::AssignTo(TNestedSampler& Dst) const {
  if (!FSampler || !Dst.FSampler || FSampler == Dst.FSampler) return;
  if (auto* resampler = dynamic_cast<TCustomResampler*>(Dst.FSampler)) {
    if (const auto* source = dynamic_cast<const TCustomResampler*>(FSampler))
      resampler->Assign(*source);
  } else if (auto* nested = dynamic_cast<TNestedSampler*>(Dst.FSampler)) {
    if (const auto* source = dynamic_cast<const TNestedSampler*>(FSampler))
      source->AssignTo(*nested);
  }
}

TTransformation& TTransformer::Transform() const {
  if (!FTransformation) throw ENestedException("Transformation is nil");
  return *FTransformation;
}

// The transformation prepares itself on its first use after a change.
TColor32 TTransformer::GetSampleInt(std::int32_t X, std::int32_t Y) {
  const TFixedPoint p = Transform().ReverseTransform(TFixedPoint{Fixed(X), Fixed(Y)});
  return Nested().GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFixed(TFixed X, TFixed Y) {
  const TFixedPoint p = Transform().ReverseTransform(TFixedPoint{X, Y});
  return Nested().GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFloat(float X, float Y) {
  const TFloatPoint p = Transform().ReverseTransform(TFloatPoint{X, Y});
  return Nested().GetSampleFloat(p.X, p.Y);
}

void TTransformer::PrepareSampling() {
  TNestedSampler::PrepareSampling();
  Transform().Prepare();
}

bool TTransformer::HasBounds() {
  return Transform().HasTransformedBounds() && Nested().HasBounds();
}

TRect TTransformer::GetSampleBounds() {
  return Transform().GetTransformedBounds(FloatRect(Nested().GetSampleBounds()));
}

TColor32 TNearestTransformer::GetSampleInt(std::int32_t X, std::int32_t Y) {
  const TPoint p = Transform().ReverseTransform(TPoint{X, Y});
  return Nested().GetSampleInt(p.X, p.Y);
}

TColor32 TNearestTransformer::GetSampleFixed(TFixed X, TFixed Y) {
  const TFixedPoint p = Transform().ReverseTransform(TFixedPoint{X, Y});
  return Nested().GetSampleInt(p.X >> 16, p.Y >> 16);
}

TColor32 TNearestTransformer::GetSampleFloat(float X, float Y) {
  const TFloatPoint p = Transform().ReverseTransform(TFloatPoint{X, Y});
  return Nested().GetSampleInt(SaturatedRound(p.X), SaturatedRound(p.Y));
}

// ---- Transfers ----

void BlendBlock(TBitmap32& Dst, const TRect& DstRect, const TBitmap32& Src, std::int32_t SrcX,
                std::int32_t SrcY, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  const std::int32_t w = DstRect.right - DstRect.left, h = DstRect.bottom - DstRect.top;
  if (w <= 0 || h <= 0) return;
  const TRowWriter writer(Src, CombineOp, CombineCallBack);
  // Within one bitmap, a block that moves down is copied from its last row up.
  const bool upwards = &Src == &Dst && SrcY < DstRect.top;
  for (std::int32_t i = 0; i < h; ++i) {
    const std::int32_t row = upwards ? h - 1 - i : i;
    writer.Write(Src.PixelPtr(SrcX, SrcY + row), Dst.PixelPtr(DstRect.left, DstRect.top + row), w);
  }
}

void BlockTransfer(TBitmap32* Dst, std::int32_t DstX, std::int32_t DstY, const TRect& DstClip,
                   TBitmap32* Src, const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack) {
  if (!Dst) throw EBitmapException("Destination bitmap is nil");
  if (!Src) throw EBitmapException("Source bitmap is nil");
  if (Dst->Empty() || Src->Empty()) return;
  if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;
  const std::int64_t srcW = Span(SrcRect.left, SrcRect.right);
  const std::int64_t srcH = Span(SrcRect.top, SrcRect.bottom);
  if (!Dst->MeasuringMode()) {
    TRect clip, src;
    IntersectRect(clip, DstClip, Dst->BoundsRect());
    IntersectRect(src, SrcRect, Src->BoundsRect());
    // The source rectangle moved onto the destination, in 64 bits (any coordinates).
    const std::int64_t dx = static_cast<std::int64_t>(DstX) - SrcRect.left;
    const std::int64_t dy = static_cast<std::int64_t>(DstY) - SrcRect.top;
    const std::int64_t l = std::max<std::int64_t>(src.left + dx, clip.left);
    const std::int64_t t = std::max<std::int64_t>(src.top + dy, clip.top);
    const std::int64_t r = std::min<std::int64_t>(src.right + dx, clip.right);
    const std::int64_t b = std::min<std::int64_t>(src.bottom + dy, clip.bottom);
    if (r > l && b > t && src.right > src.left && src.bottom > src.top) {
      const TRect dstRect{static_cast<std::int32_t>(l), static_cast<std::int32_t>(t),
                          static_cast<std::int32_t>(r), static_cast<std::int32_t>(b)};
      BlendBlock(*Dst, dstRect, *Src, static_cast<std::int32_t>(l - dx),
                 static_cast<std::int32_t>(t - dy), CombineOp, CombineCallBack);
      EMMS();
    }
  }
  Dst->Changed(TRect{DstX, DstY, Saturate32(DstX + srcW), Saturate32(DstY + srcH)}, AREAINFO_RECT);
}

void StretchTransfer(TBitmap32* Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32* Src,
                     const TRect& SrcRect, TCustomResampler* Resampler, TDrawMode CombineOp,
                     const TPixelCombineEvent& CombineCallBack) {
  if (!Dst) throw EBitmapException("Destination bitmap is nil");
  if (!Src) throw EBitmapException("Source bitmap is nil");
  if (Dst->Empty() || Src->Empty()) return;
  if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;
  if (IsRectEmpty(SrcRect)) return;
  if (!SrcRectInside(*Src, SrcRect)) throw ESrcInvalidException("Source rectangle is invalid");
  if (!Dst->MeasuringMode()) {
    const TRect clip = ClipOf(*Dst, DstRect, DstClip);
    if (IsRectEmpty(clip)) return;
    if (Span(DstRect.left, DstRect.right) == Span(SrcRect.left, SrcRect.right) &&
        Span(DstRect.top, DstRect.bottom) == Span(SrcRect.top, SrcRect.bottom)) {
      BlendBlock(*Dst, clip, *Src, SrcRect.left + (clip.left - DstRect.left),
                 SrcRect.top + (clip.top - DstRect.top), CombineOp, CombineCallBack);
    } else if (Resampler) {
      Resampler->Resample(*Dst, DstRect, clip, *Src, SrcRect, CombineOp, CombineCallBack);
    } else {
      StretchNearest(*Dst, DstRect, clip, *Src, SrcRect, CombineOp, CombineCallBack);
    }
    EMMS();
  }
  Dst->Changed(DstRect, AREAINFO_RECT);
}

void StretchNearest(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                    const TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack) {
  const TRect clip = ClipOf(Dst, DstRect, DstClip);
  if (IsRectEmpty(clip)) return;
  if (!SrcRectInside(Src, SrcRect)) throw rtl::Exception("Invalid SrcRect");
  const std::int64_t dstW = Span(DstRect.left, DstRect.right);
  const std::int64_t dstH = Span(DstRect.top, DstRect.bottom);
  if (dstW == Span(SrcRect.left, SrcRect.right) && dstH == Span(SrcRect.top, SrcRect.bottom)) {
    BlendBlock(Dst, clip, Src, SrcRect.left + (clip.left - DstRect.left),
               SrcRect.top + (clip.top - DstRect.top), CombineOp, CombineCallBack);
    EMMS();
    return;
  }
  const std::vector<std::int32_t> cols =
      NearestMap(DstRect.left, dstW, clip.left, clip.right, SrcRect.left, SrcRect.right);
  const std::vector<std::int32_t> rows =
      NearestMap(DstRect.top, dstH, clip.top, clip.bottom, SrcRect.top, SrcRect.bottom);
  CheckMap(cols, SrcRect, true);
  CheckMap(rows, SrcRect, false);
  const std::int32_t width = clip.right - clip.left;
  const TRowWriter writer(Src, CombineOp, CombineCallBack);
  std::vector<TColor32> buffer;
  if (writer.Mode() != dmOpaque) buffer.resize(static_cast<std::size_t>(width));
  // A whole magnification across (each source column repeated k times) replicates pixels.
  const std::int64_t srcW = Span(SrcRect.left, SrcRect.right);
  const std::int32_t factor = FullEdgeMapping && dstW % srcW == 0 && dstW / srcW <= 64
                                  ? static_cast<std::int32_t>(dstW / srcW)
                                  : 0;
  std::int32_t previous = -1;
  for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
    const std::int32_t sy = rows[static_cast<std::size_t>(y - clip.top)];
    TColor32* d = Dst.PixelPtr(clip.left, y);
    if (writer.Mode() == dmOpaque) {
      if (sy == previous) {
        MoveLongword(d - Dst.Width(), d, width);
      } else if (factor > 0) {
        Replicate(Src.PixelPtr(SrcRect.left, sy), d, Span(DstRect.left, clip.left), width, factor);
      } else {
        const TColor32* s = Src.ScanLine(sy);
        for (std::int32_t i = 0; i < width; ++i) d[i] = s[cols[static_cast<std::size_t>(i)]];
      }
    } else {
      if (sy != previous) {
        const TColor32* s = Src.ScanLine(sy);
        for (std::int32_t i = 0; i < width; ++i)
          buffer[static_cast<std::size_t>(i)] = s[cols[static_cast<std::size_t>(i)]];
      }
      writer.Write(buffer.data(), d, width);
    }
    previous = sy;
  }
  EMMS();
}

namespace {

// Per channel (a x W + b x (256 - W)) shr 8 for W in 0..256, two channels per 32-bit lane
// (the MMX form of the interpolator's step).
inline TColor32 Lerp(TColor32 a, TColor32 b, std::uint32_t W) {
  const std::uint32_t iw = 256 - W;
  const std::uint32_t rb = (((a & 0x00FF00FF) * W + (b & 0x00FF00FF) * iw) >> 8) & 0x00FF00FF;
  const std::uint32_t ag =
      (((a >> 8) & 0x00FF00FF) * W + ((b >> 8) & 0x00FF00FF) * iw) & 0xFF00FF00;
  return rb | ag;
}

// Out[i] := Lerp(A[i], B[i], W) for Count pixels.
void LerpRow(const TColor32* A, const TColor32* B, TColor32* Out, std::size_t Count,
             std::uint32_t W) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i w = _mm_set1_epi16(static_cast<short>(W));
  const __m128i iw = _mm_set1_epi16(static_cast<short>(256 - W));
  // Per 16-bit lane a x W + b x (256 - W) <= 65280: no lane overflows.
  const auto mix = [&](__m128i a, __m128i b) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, w), _mm_mullo_epi16(b, iw)), 8);
  };
  for (; i + 4 <= Count; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(A + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + i));
    const __m128i lo = mix(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = mix(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < Count; ++i) Out[i] = Lerp(A[i], B[i], W);
}

// Source positions of pixel centres, clamped to the span, in 16.16, for destination positions
// Lo..Hi - 1.
std::vector<TFixed> LinearMap(std::int32_t DstLo, std::int64_t DstSpan, std::int32_t Lo,
                              std::int32_t Hi, std::int64_t SrcSpan) {
  std::vector<TFixed> map(static_cast<std::size_t>(Hi - Lo));
  const double scale = static_cast<double>(SrcSpan) / static_cast<double>(DstSpan);
  for (std::int32_t i = Lo; i < Hi; ++i) {
    double v = (static_cast<double>(i) - DstLo + 0.5) * scale - 0.5;
    v = std::clamp(v, 0.0, static_cast<double>(SrcSpan - 1));
    map[static_cast<std::size_t>(i - Lo)] = static_cast<TFixed>(std::nearbyint(v * 65536));
  }
  return map;
}

}  // namespace

void StretchLinear(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src,
                   const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack) {
  const TRect clip = ClipOf(Dst, DstRect, DstClip);
  if (IsRectEmpty(clip)) return;
  if (!SrcRectInside(Src, SrcRect) || IsRectEmpty(SrcRect)) throw rtl::Exception("Invalid SrcRect");
  const std::int32_t srcW = SrcRect.right - SrcRect.left, srcH = SrcRect.bottom - SrcRect.top;
  const std::vector<TFixed> cols =
      LinearMap(DstRect.left, Span(DstRect.left, DstRect.right), clip.left, clip.right, srcW);
  const std::vector<TFixed> rows =
      LinearMap(DstRect.top, Span(DstRect.top, DstRect.bottom), clip.top, clip.bottom, srcH);
  const std::int32_t width = clip.right - clip.left;
  const auto cw = static_cast<std::size_t>(width);
  const TRowWriter writer(Src, CombineOp, CombineCallBack);
  std::vector<TColor32> buffer(cw);
  // Horizontally mixed source rows, kept while consecutive destination rows use them.
  std::vector<TColor32> mixed[2] = {std::vector<TColor32>(cw), std::vector<TColor32>(cw)};
  std::int32_t mixedRow[2] = {-1, -1};
  const auto horizontal = [&](std::int32_t sy) -> const std::vector<TColor32>& {
    for (int k = 0; k < 2; ++k)
      if (mixedRow[k] == sy) return mixed[k];
    // Replace the row that is not the other one asked for now (the lower one).
    const int k = mixedRow[0] < mixedRow[1] ? 0 : 1;
    mixedRow[k] = sy;
    const TColor32* r = Src.PixelPtr(SrcRect.left, SrcRect.top + sy);
    for (std::size_t i = 0; i < cw; ++i) {
      const TFixed fx = cols[i];
      const std::int32_t x0 = fx >> 16, x1 = std::min(x0 + 1, srcW - 1);
      mixed[k][i] = Lerp(r[x0], r[x1], 256 - ((fx >> 8) & 255));
    }
    return mixed[k];
  };
  for (std::int32_t y = clip.top; y < clip.bottom; ++y) {
    const TFixed fy = rows[static_cast<std::size_t>(y - clip.top)];
    const std::int32_t y0 = fy >> 16, y1 = std::min(y0 + 1, srcH - 1);
    const std::uint32_t wy = 256 - ((fy >> 8) & 255);
    const std::vector<TColor32>& top = horizontal(y0);
    const std::vector<TColor32>& bottom = horizontal(y1);
    LerpRow(top.data(), bottom.data(), buffer.data(), cw, wy);
    writer.Write(buffer.data(), Dst.PixelPtr(clip.left, y), width);
  }
  EMMS();
}

void CoarseStretch(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src,
                   const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack) {
  const std::int64_t dstW = Span(DstRect.left, DstRect.right);
  const std::int64_t dstH = Span(DstRect.top, DstRect.bottom);
  const std::int64_t srcW = Span(SrcRect.left, SrcRect.right);
  const std::int64_t srcH = Span(SrcRect.top, SrcRect.bottom);
  if (srcW < dstW || srcH < dstH) {
    if (srcW > 1 && srcH > 1 && dstW > srcW && dstH > srcH) {
      StretchLinear(Dst, DstRect, DstClip, Src, SrcRect, CombineOp, CombineCallBack);
    } else {
      TLinearKernel kernel;
      ResampleWithKernel(Dst, DstRect, DstClip, Src, SrcRect, kernel, CombineOp, CombineCallBack);
    }
    return;
  }
  const TRect clip = ClipOf(Dst, DstRect, DstClip);
  if (IsRectEmpty(clip)) return;
  if (!SrcRectInside(Src, SrcRect)) throw rtl::Exception("Invalid SrcRect");
  // Destination position i covers source positions SrcLo + i x Src div Dst up to the next one.
  const auto edges = [](std::int32_t dstLo, std::int64_t dst, std::int32_t lo, std::int32_t hi,
                        std::int32_t srcLo, std::int64_t src) {
    std::vector<std::int32_t> e(static_cast<std::size_t>(hi - lo) + 1);
    for (std::int32_t i = lo; i <= hi; ++i)
      e[static_cast<std::size_t>(i - lo)] = static_cast<std::int32_t>(
          srcLo + static_cast<std::int64_t>(static_cast<std::uint64_t>(Span(dstLo, i)) *
                                            static_cast<std::uint64_t>(src) /
                                            static_cast<std::uint64_t>(dst)));
    return e;
  };
  const auto xs = edges(DstRect.left, dstW, clip.left, clip.right, SrcRect.left, srcW);
  const auto ys = edges(DstRect.top, dstH, clip.top, clip.bottom, SrcRect.top, srcH);
  const std::int32_t width = clip.right - clip.left;
  const TRowWriter writer(Src, CombineOp, CombineCallBack);
  std::vector<TColor32> buffer(static_cast<std::size_t>(width));
  for (std::int32_t y = 0; y < clip.bottom - clip.top; ++y) {
    const std::int32_t sy = ys[static_cast<std::size_t>(y)];
    const auto h = static_cast<std::uint32_t>(ys[static_cast<std::size_t>(y) + 1] - sy);
    for (std::int32_t i = 0; i < width; ++i) {
      const std::int32_t sx = xs[static_cast<std::size_t>(i)];
      const auto w = static_cast<std::uint32_t>(xs[static_cast<std::size_t>(i) + 1] - sx);
      buffer[static_cast<std::size_t>(i)] = BlockAverage(w, h, Src.PixelPtr(sx, sy), Src.Width());
    }
    writer.Write(buffer.data(), Dst.PixelPtr(clip.left, clip.top + y), width);
  }
  EMMS();
}

TMappingTable BuildContributionTable(std::int32_t DstLo, std::int32_t DstHi, std::int32_t ClipLo,
                                     std::int32_t ClipHi, std::int32_t SrcLo, std::int32_t SrcHi,
                                     TCustomKernel& Kernel) {
  TMappingTable table(static_cast<std::size_t>(std::max<std::int64_t>(Span(ClipLo, ClipHi), 0)));
  const std::int64_t srcSpan = Span(SrcLo, SrcHi), dstSpan = Span(DstLo, DstHi);
  if (table.empty() || srcSpan <= 0) return table;
  // A single source position: every destination takes it whole, at that position (position 0
  // would lie outside a span that does not start at 0).
  if (srcSpan == 1) {
    for (auto& list : table) list.push_back({SrcLo, 256});
    return table;
  }
  const double scale = FullEdgeMapping
                           ? static_cast<double>(dstSpan) / static_cast<double>(srcSpan)
                           : static_cast<double>(dstSpan - 1) / static_cast<double>(srcSpan - 1);
  if (scale <= 0) {
    for (auto& list : table)
      list.push_back(
          {static_cast<std::int32_t>((SrcLo + static_cast<std::int64_t>(SrcHi) - 1) >> 1), 256});
    return table;
  }
  const auto clampPos = [&](double k) {
    return static_cast<std::int32_t>(
        std::clamp(k, static_cast<double>(SrcLo), static_cast<double>(SrcHi) - 1));
  };
  const bool magnify = scale >= 1;
  const double width = magnify ? Kernel.GetWidth() : Kernel.GetWidth() / scale;
  for (std::size_t n = 0; n < table.size(); ++n) {
    auto& list = table[n];
    const double i = static_cast<double>(Span(DstLo, ClipLo)) + static_cast<double>(n);
    const double centre = FullEdgeMapping ? (i + 0.5) / scale + SrcLo - 0.5 : i / scale + SrcLo;
    const double first = std::floor(centre - width), last = std::ceil(centre + width);
    for (double k = first; k <= last; ++k) {
      const std::int32_t w =
          magnify ? RoundWeight(Kernel.Filter(static_cast<float>(centre - k)))
                  : RoundWeight(Kernel.Filter(static_cast<float>((centre - k) * scale)) * scale);
      if (w != 0) list.push_back({clampPos(k), w});
    }
    if (list.empty()) list.push_back({clampPos(std::floor(centre)), 256});
    std::int32_t sum = 0;
    for (const TPointRec& p : list) sum += p.Weight;
    list[list.size() / 2].Weight += 256 - sum;
  }
  return table;
}

void ResampleWithKernel(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                        const TBitmap32& Src, const TRect& SrcRect, TCustomKernel& Kernel,
                        TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
  const TRect clip = ClipOf(Dst, DstRect, DstClip);
  if (IsRectEmpty(clip)) return;
  if (!SrcRectInside(Src, SrcRect) || IsRectEmpty(SrcRect)) throw rtl::Exception("Invalid SrcRect");
  const TMappingTable mapX = BuildContributionTable(
      DstRect.left, DstRect.right, clip.left, clip.right, SrcRect.left, SrcRect.right, Kernel);
  const TMappingTable mapY = BuildContributionTable(
      DstRect.top, DstRect.bottom, clip.top, clip.bottom, SrcRect.top, SrcRect.bottom, Kernel);
  const std::int32_t width = clip.right - clip.left;
  const auto cw = static_cast<std::size_t>(width);
  // Horizontal sums per source row (4 channels per destination column), made when first
  // needed and dropped once no later row can need them (positions only grow down the table).
  std::vector<std::vector<std::int32_t>> rows(
      static_cast<std::size_t>(SrcRect.bottom - SrcRect.top));
  const auto horizontal = [&](std::int32_t sy) -> const std::vector<std::int32_t>& {
    auto& row = rows[static_cast<std::size_t>(sy - SrcRect.top)];
    if (!row.empty()) return row;
    row.assign(cw * 4, 0);
    const TColor32* s = Src.ScanLine(sy);
    for (std::size_t i = 0; i < cw; ++i)
      for (const TPointRec& p : mapX[i]) {
        const TColor32 c = s[p.Pos];
        for (int ch = 0; ch < 4; ++ch)
          row[i * 4 + ch] += p.Weight * static_cast<std::int32_t>((c >> (8 * ch)) & 0xFF);
      }
    return row;
  };
  const TRowWriter writer(Src, CombineOp, CombineCallBack);
  std::vector<TColor32> buffer(cw);
  std::vector<std::int32_t> acc(cw * 4);
  std::int32_t dropped = SrcRect.top;
  for (std::int32_t y = 0; y < clip.bottom - clip.top; ++y) {
    const auto& list = mapY[static_cast<std::size_t>(y)];
    std::int32_t lowest = SrcRect.bottom;
    for (const TPointRec& p : list) lowest = std::min(lowest, p.Pos);
    for (; dropped < lowest; ++dropped) {
      rows[static_cast<std::size_t>(dropped - SrcRect.top)].clear();
      rows[static_cast<std::size_t>(dropped - SrcRect.top)].shrink_to_fit();
    }
    std::fill(acc.begin(), acc.end(), 0);
    for (const TPointRec& p : list) {
      const auto& row = horizontal(p.Pos);
      for (std::size_t j = 0; j < cw * 4; ++j) acc[j] += p.Weight * row[j];
    }
    for (std::size_t i = 0; i < cw; ++i) {
      TColor32 c = 0;
      for (int ch = 0; ch < 4; ++ch)
        c |= static_cast<TColor32>(std::clamp((acc[i * 4 + ch] + 32768) >> 16, 0, 255)) << (8 * ch);
      buffer[i] = c;
    }
    writer.Write(buffer.data(), Dst.PixelPtr(clip.left, clip.top + y), width);
  }
  EMMS();
}

}  // namespace gfx
