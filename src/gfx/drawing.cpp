#include "gfx/drawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "gfx/blend.h"
#include "gfx/fixed_math.h"
#include "gfx/lowlevel.h"

namespace gfx {

namespace {

// The bitmap's drawing state (stipple and pen), reached through member pointers of a class
// derived from it.
struct TDrawState : TBitmap32 {
  static float& Counter(TBitmap32& b) { return b.*&TDrawState::FStippleCounter; }
  static float& Step(TBitmap32& b) { return b.*&TDrawState::FStippleStep; }
  static std::vector<TColor32>& Pattern(TBitmap32& b) { return b.*&TDrawState::FStipplePattern; }
  static std::int32_t& PenX(TBitmap32& b) { return b.*&TDrawState::RasterX; }
  static std::int32_t& PenY(TBitmap32& b) { return b.*&TDrawState::RasterY; }
  static TFixed& PenXF(TBitmap32& b) { return b.*&TDrawState::RasterXF; }
  static TFixed& PenYF(TBitmap32& b) { return b.*&TDrawState::RasterYF; }
};

std::int32_t Saturate32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void Report(TBitmap32& B, std::int64_t L, std::int64_t T, std::int64_t R, std::int64_t Bt,
            std::uint32_t Info = AREAINFO_RECT) {
  B.Changed(TRect{Saturate32(L), Saturate32(T), Saturate32(R), Saturate32(Bt)}, Info);
}

void BlendInto(const TBitmap32& B, TColor32 Value, TColor32& Pixel) {
  BlendPixelIntoByMode[B.CombineMode()](Value, Pixel);
}

// (v + 127) sar 8 without overflow.
std::int32_t To248(TFixed v) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(v) + 127) >> 8);
}

TColor32 Interpolate(std::int32_t x, std::int32_t y, const TColor32* Top, const TColor32* Bottom) {
  return Interpolator(GammaTable[255 - (x & 255)], GammaTable[(y & 255) ^ 255], Top, Bottom);
}

}  // namespace

// ---- Bitmap onto bitmap ----

void DrawTo(TBitmap32& Src, TBitmap32& Dst) {
  BlockTransfer(&Dst, 0, 0, Dst.ClipRect(), &Src, Src.BoundsRect(), Src.DrawMode(),
                Src.OnPixelCombine);
}

void DrawTo(TBitmap32& Src, TBitmap32& Dst, std::int32_t DstX, std::int32_t DstY) {
  BlockTransfer(&Dst, DstX, DstY, Dst.ClipRect(), &Src, Src.BoundsRect(), Src.DrawMode(),
                Src.OnPixelCombine);
}

void DrawTo(TBitmap32& Src, TBitmap32& Dst, std::int32_t DstX, std::int32_t DstY,
            const TRect& SrcRect) {
  BlockTransfer(&Dst, DstX, DstY, Dst.ClipRect(), &Src, SrcRect, Src.DrawMode(),
                Src.OnPixelCombine);
}

void DrawTo(TBitmap32& Src, TBitmap32& Dst, const TRect& DstRect) {
  StretchTransfer(&Dst, DstRect, Dst.ClipRect(), &Src, Src.BoundsRect(), Src.Resampler(),
                  Src.DrawMode(), Src.OnPixelCombine);
}

void DrawTo(TBitmap32& Src, TBitmap32& Dst, const TRect& DstRect, const TRect& SrcRect) {
  StretchTransfer(&Dst, DstRect, Dst.ClipRect(), &Src, SrcRect, Src.Resampler(), Src.DrawMode(),
                  Src.OnPixelCombine);
}

void Draw(TBitmap32& Self, std::int32_t DstX, std::int32_t DstY, TBitmap32* Src) {
  if (Src) DrawTo(*Src, Self, DstX, DstY);
}

void Draw(TBitmap32& Self, std::int32_t DstX, std::int32_t DstY, const TRect& SrcRect,
          TBitmap32* Src) {
  if (Src) DrawTo(*Src, Self, DstX, DstY, SrcRect);
}

void Draw(TBitmap32& Self, const TRect& DstRect, const TRect& SrcRect, TBitmap32* Src) {
  if (Src) DrawTo(*Src, Self, DstRect, SrcRect);
}

// ---- Pixel access ----

void BindBitmapCells(const TCpuFeatures& features) {
  Interpolator = features.mmx || features.amd3dnow ? mmx::Interpolator : plain::Interpolator;
}

TColor32 GetPixelW(const TBitmap32& B, std::int32_t X, std::int32_t Y) {
  const TRect& c = B.ClipRect();
  if (IsRectEmpty(c)) return B.OuterColor();
  const TWrapProc wrap = WrapProcs[B.WrapMode()];
  return B.GetPixel(wrap(X, c.left, c.right - 1), wrap(Y, c.top, c.bottom - 1));
}

TColor32 GetPixelX(const TBitmap32& B, TFixed X, TFixed Y) {
  const std::int32_t x = To248(X), y = To248(Y);
  const TColor32* top = B.PixelPtr(x >> 8, y >> 8);
  const TColor32 result = Interpolate(x, y, top, top + B.Width());
  EMMS();
  return result;
}

TColor32 GetPixelXS(const TBitmap32& B, TFixed X, TFixed Y) {
  const std::int32_t x = To248(X), y = To248(Y);
  const TRect& c = B.ClipRect();
  const std::int32_t px = x >> 8, py = y >> 8;
  if (px < c.left || px >= c.right || py < c.top || py >= c.bottom) return B.OuterColor();
  const std::int32_t px1 = px + 1 < c.right ? px + 1 : px;
  const std::int32_t py1 = py + 1 < c.bottom ? py + 1 : py;
  const TColor32 top[2] = {B.GetPixel(px, py), B.GetPixel(px1, py)};
  const TColor32 bottom[2] = {B.GetPixel(px, py1), B.GetPixel(px1, py1)};
  const TColor32 result = Interpolate(x, y, top, bottom);
  EMMS();
  return result;
}

TColor32 GetPixelXW(const TBitmap32& B, TFixed X, TFixed Y) {
  const std::int32_t x = To248(X), y = To248(Y);
  const std::int32_t px = x >> 8, py = y >> 8;
  const std::int32_t px1 = px < INT32_MAX ? px + 1 : px, py1 = py < INT32_MAX ? py + 1 : py;
  const TColor32 top[2] = {GetPixelW(B, px, py), GetPixelW(B, px1, py)};
  const TColor32 bottom[2] = {GetPixelW(B, px, py1), GetPixelW(B, px1, py1)};
  const TColor32 result = Interpolate(x, y, top, bottom);
  EMMS();
  return result;
}

TColor32 GetPixelF(const TBitmap32& B, float X, float Y) {
  return GetPixelX(B, SaturatedFixed(X), SaturatedFixed(Y));
}

TColor32 GetPixelFS(const TBitmap32& B, float X, float Y) {
  return GetPixelXS(B, SaturatedFixed(X), SaturatedFixed(Y));
}

void SetPixelT(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value) {
  BlendInto(B, Value, *B.PixelPtr(X, Y));
  EMMS();
}

void SetPixelT(TBitmap32& B, TColor32*& Ptr, TColor32 Value) {
  BlendInto(B, Value, *Ptr);
  ++Ptr;
  EMMS();
}

void SetPixelTS(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value) {
  if (PtInRect(B.ClipRect(), TPoint{X, Y})) SetPixelT(B, X, Y, Value);
}

namespace {

template <bool Clipped>
void SetPixel256(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value) {
  const std::int32_t px = X >> 8, py = Y >> 8;
  const std::uint32_t fx = X & 255, fy = Y & 255;
  const std::uint32_t wx[2] = {fx ^ 255, fx}, wy[2] = {fy ^ 255, fy};
  const TBlendPixelIntoAlphaProc blend = BlendPixelIntoAlphaByMode[B.CombineMode()];
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      // A neighbour of no weight would stay as it is: it is not touched, so that a whole-pixel
      // position on the last column or row stays inside the bitmap.
      const std::uint32_t w = (wx[i] * wy[j] + 127) / 255;
      if (w == 0) continue;
      const std::int64_t x = static_cast<std::int64_t>(px) + i,
                         y = static_cast<std::int64_t>(py) + j;
      if (Clipped) {
        const TRect& c = B.ClipRect();
        if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) continue;
      }
      blend(Value, *B.PixelPtr(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)), w);
    }
  EMMS();
}

}  // namespace

void SetPixelT256(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value) {
  SetPixel256<false>(B, X, Y, Value);
}

void SetPixelTS256(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value) {
  SetPixel256<true>(B, X, Y, Value);
}

void SetPixelX(TBitmap32& B, TFixed X, TFixed Y, TColor32 Value) {
  SetPixelT256(B, To248(X), To248(Y), Value);
}

void SetPixelXS(TBitmap32& B, TFixed X, TFixed Y, TColor32 Value) {
  SetPixelTS256(B, To248(X), To248(Y), Value);
}

void SetPixelF(TBitmap32& B, float X, float Y, TColor32 Value) {
  SetPixelX(B, SaturatedFixed(X), SaturatedFixed(Y), Value);
}

void SetPixelFS(TBitmap32& B, float X, float Y, TColor32 Value) {
  SetPixelXS(B, SaturatedFixed(X), SaturatedFixed(Y), Value);
}

void ResetAlpha(TBitmap32& B, std::uint32_t AlphaValue) {
  if (!B.MeasuringMode() && !B.Empty()) {
    const TColor32 alpha = (AlphaValue & 0xFF) << 24;
    TColor32* p = B.Bits();
    const std::int64_t n = static_cast<std::int64_t>(B.Width()) * B.Height();
    for (std::int64_t i = 0; i < n; ++i) p[i] = (p[i] & 0x00FFFFFF) | alpha;
  }
  B.Changed();
}

// ---- Horizontal and vertical lines ----

void HorzLine(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value) {
  FillLongword(B.PixelPtr(X1, Y), X2 - X1 + 1, Value);
}

void HorzLineT(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value) {
  if (X2 < X1) return;
  TColor32* p = B.PixelPtr(X1, Y);
  for (std::int32_t x = X1; x <= X2; ++x, ++p) BlendInto(B, Value, *p);
  EMMS();
}

void VertLine(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value) {
  const std::ptrdiff_t stride = B.Width();
  TColor32* p = B.PixelPtr(X, Y1);
  std::int32_t n = Y2 - Y1 + 1;
  for (; n >= 4; n -= 4, p += 4 * stride) {
    p[0] = Value;
    p[stride] = Value;
    p[2 * stride] = Value;
    p[3 * stride] = Value;
  }
  for (; n > 0; --n, p += stride) *p = Value;
}

void VertLineT(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value) {
  if (Y2 < Y1) return;
  for (std::int32_t y = Y1; y <= Y2; ++y) BlendInto(B, Value, *B.PixelPtr(X, y));
  EMMS();
}

namespace {

// Orders A and B and clips them to Lo..Hi - 1; false when nothing is left.
bool ClipSpan(std::int32_t& A, std::int32_t& B, std::int32_t Lo, std::int32_t Hi) {
  if (A > B) std::swap(A, B);
  A = std::max(A, Lo);
  B = std::min(B, Hi - 1);
  return B >= A;
}

// A clipped run along row At (Horizontal) or column At from A to Z, both ends included.
struct TAxisRun {
  TBitmap32& B;
  bool Horizontal;
  std::int32_t At, A, Z;

  // Reports the pixels a..z (in either order), both ends included.
  void Report(std::int64_t a, std::int64_t z) const {
    if (a > z) std::swap(a, z);
    const std::int64_t next = static_cast<std::int64_t>(At) + 1;
    if (Horizontal)
      gfx::Report(B, a, At, z + 1, next);
    else
      gfx::Report(B, At, a, next, z + 1);
  }
  // The clip rectangle along and across the run.
  std::int32_t Lo() const { return Horizontal ? B.ClipRect().left : B.ClipRect().top; }
  std::int32_t Hi() const { return Horizontal ? B.ClipRect().right : B.ClipRect().bottom; }
  bool AcrossInside() const {
    const TRect& c = B.ClipRect();
    return Horizontal ? At >= c.top && At < c.bottom : At >= c.left && At < c.right;
  }
  TColor32& Pixel(std::int32_t v) const {
    return Horizontal ? *B.PixelPtr(v, At) : *B.PixelPtr(At, v);
  }

  // Measuring: reports the requested pixels, ordered and with the end pixel included, as a
  // drawn run reports them (the bare end points as a rectangle would leave the end pixel out,
  // and a run given backwards would report an inverted rectangle). Otherwise draws the ordered,
  // clipped run and reports it when something is left.
  template <class Draw>
  void Clipped(Draw draw) const {
    if (B.MeasuringMode()) {
      Report(A, Z);
      return;
    }
    std::int32_t a = A, z = Z;
    if (!AcrossInside() || !ClipSpan(a, z, Lo(), Hi())) return;
    draw(a, z);
    Report(a, z);
  }
  void Stippled() const;
};

// A stippled run from A towards Z (inclusive) along one axis, clipped to Lo..Hi - 1: the
// pattern advances over the clipped pixels at either end.
template <class Plot>
void StippleRun(TBitmap32& B, std::int32_t A, std::int32_t Z, std::int32_t Lo, std::int32_t Hi,
                Plot plot) {
  const std::int64_t dir = Z >= A ? 1 : -1;
  const std::int64_t length = (static_cast<std::int64_t>(Z) - A) * dir + 1;
  std::int64_t first = 0, last = length - 1;  // steps from A
  if (dir > 0) {
    first = std::max<std::int64_t>(first, static_cast<std::int64_t>(Lo) - A);
    last = std::min<std::int64_t>(last, static_cast<std::int64_t>(Hi) - 1 - A);
  } else {
    first = std::max<std::int64_t>(first, static_cast<std::int64_t>(A) - (Hi - 1));
    last = std::min<std::int64_t>(last, static_cast<std::int64_t>(A) - Lo);
  }
  if (last < first) {
    AdvanceStippleCounter(B, static_cast<float>(length));
    return;
  }
  AdvanceStippleCounter(B, static_cast<float>(first));
  for (std::int64_t n = first; n <= last; ++n)
    plot(static_cast<std::int32_t>(A + n * dir), GetStippleColor(B));
  AdvanceStippleCounter(B, static_cast<float>(length - 1 - last));
  EMMS();
}

}  // namespace

void TAxisRun::Stippled() const {
  if (B.MeasuringMode()) {
    Report(A, Z);
    return;
  }
  if (Stipple(B).empty()) return;
  if (!AcrossInside()) {
    AdvanceStippleCounter(B, static_cast<float>(std::abs(static_cast<std::int64_t>(Z) - A) + 1));
    return;
  }
  StippleRun(B, A, Z, Lo(), Hi(),
             [this](std::int32_t v, TColor32 color) { BlendInto(B, color, Pixel(v)); });
  std::int32_t a = A, z = Z;
  if (ClipSpan(a, z, Lo(), Hi())) Report(a, z);
}

void HorzLineS(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value) {
  TAxisRun{B, true, Y, X1, X2}.Clipped(
      [&](std::int32_t a, std::int32_t z) { HorzLine(B, a, Y, z, Value); });
}

void HorzLineTS(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value) {
  TAxisRun{B, true, Y, X1, X2}.Clipped(
      [&](std::int32_t a, std::int32_t z) { HorzLineT(B, a, Y, z, Value); });
}

void HorzLineTSP(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2) {
  TAxisRun{B, true, Y, X1, X2}.Stippled();
}

void VertLineS(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value) {
  TAxisRun{B, false, X, Y1, Y2}.Clipped(
      [&](std::int32_t a, std::int32_t z) { VertLine(B, X, a, z, Value); });
}

void VertLineTS(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value) {
  TAxisRun{B, false, X, Y1, Y2}.Clipped(
      [&](std::int32_t a, std::int32_t z) { VertLineT(B, X, a, z, Value); });
}

void VertLineTSP(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2) {
  TAxisRun{B, false, X, Y1, Y2}.Stippled();
}

// ---- Free lines ----

namespace {

// Unsigned 128-bit helpers for the exact clipping arithmetic (products of two 33-bit values).
struct U128 {
  std::uint64_t hi = 0, lo = 0;
};

U128 Mul64(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t a0 = a & 0xFFFFFFFF, a1 = a >> 32, b0 = b & 0xFFFFFFFF, b1 = b >> 32;
  const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFF) + (p10 & 0xFFFFFFFF);
  return U128{p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFF)};
}

U128 Add(U128 a, std::uint64_t b) {
  const std::uint64_t lo = a.lo + b;
  return U128{a.hi + (lo < a.lo), lo};
}

// a div d and a mod d (d > 0), bit by bit.
void DivMod(U128 a, std::uint64_t d, std::uint64_t& q, std::uint64_t& r) {
  std::uint64_t rem = 0, quo = 0;
  for (int bit = 127; bit >= 0; --bit) {
    const std::uint64_t top = rem >> 63;
    rem = (rem << 1) | ((bit >= 64 ? a.hi >> (bit - 64) : a.lo >> bit) & 1);
    quo <<= 1;
    if (top || rem >= d) {
      rem -= d;
      quo |= 1;
    }
  }
  q = quo;
  r = rem;
}

// The Bresenham line in its first octant: pixel n (0 <= n <= du) lies at minor offset
// m(n) = floor((2 n dv + du) / (2 du)).
struct TOctantLine {
  std::int64_t u1, v1;  // start, in the mirrored and swapped frame
  std::int64_t du, dv;  // du >= dv > 0
  // The first n with m(n) >= k (k >= 1).
  std::int64_t FirstReaching(std::int64_t k) const {
    // n >= ((2k - 1) du) / (2 dv), rounded up.
    std::uint64_t q, r;
    DivMod(Mul64(static_cast<std::uint64_t>(2 * k - 1), static_cast<std::uint64_t>(du)),
           static_cast<std::uint64_t>(2 * dv), q, r);
    return static_cast<std::int64_t>(q) + (r != 0);
  }
};

// Steps through the pixels of the line from (X1, Y1) to (X2, Y2) that lie in Clip (inclusive
// bounds, or everything when Clip is null), including the end point when L; false when none.
template <class Plot>
bool BresenhamLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, bool L,
                   const TRect* Clip, Plot plot) {
  const std::int64_t dx = static_cast<std::int64_t>(X2) - X1,
                     dy = static_cast<std::int64_t>(Y2) - Y1;
  const std::int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool swapped = std::abs(dy) > std::abs(dx);
  if (dx == 0 && dy == 0) {
    // No length: only the end point, when it is asked for (the stepping below divides by it).
    if (!L || (Clip && !PtInRect(*Clip, TPoint{X2, Y2}))) return false;
    plot(X2, Y2);
    return true;
  }
  TOctantLine line;
  line.du = swapped ? std::abs(dy) : std::abs(dx);
  line.dv = swapped ? std::abs(dx) : std::abs(dy);
  line.u1 = swapped ? sy * Y1 : sx * X1;
  line.v1 = swapped ? sx * X1 : sy * Y1;
  const std::int64_t last = L ? line.du : line.du - 1;
  std::int64_t nLo = 0, nHi = last;
  if (Clip) {
    // The clip rectangle in the frame, inclusive.
    const auto range = [](std::int64_t s, std::int32_t lo, std::int32_t hi, std::int64_t& a,
                          std::int64_t& b) {
      a = s > 0 ? lo : -(static_cast<std::int64_t>(hi) - 1);
      b = s > 0 ? static_cast<std::int64_t>(hi) - 1 : -static_cast<std::int64_t>(lo);
    };
    std::int64_t xa, xb, ya, yb;
    range(sx, Clip->left, Clip->right, xa, xb);
    range(sy, Clip->top, Clip->bottom, ya, yb);
    const std::int64_t ua = swapped ? ya : xa, ub = swapped ? yb : xb;
    const std::int64_t va = swapped ? xa : ya, vb = swapped ? xb : yb;
    nLo = std::max(nLo, ua - line.u1);
    nHi = std::min(nHi, ub - line.u1);
    const std::int64_t kLo = va - line.v1, kHi = vb - line.v1;
    if (kHi < 0 || kLo > line.dv) return false;
    if (kLo >= 1) nLo = std::max(nLo, line.FirstReaching(kLo));
    if (kHi + 1 <= line.dv) nHi = std::min(nHi, line.FirstReaching(kHi + 1) - 1);
  }
  if (nHi < nLo) return false;
  // m(nLo) and the error term 2 (n + 1) dv - (2 m + 1) du = r + 2 dv - 2 du, where
  // r = (2 n dv + du) mod 2 du.
  std::uint64_t q, r;
  DivMod(Add(Mul64(static_cast<std::uint64_t>(2 * nLo), static_cast<std::uint64_t>(line.dv)),
             static_cast<std::uint64_t>(line.du)),
         static_cast<std::uint64_t>(2 * line.du), q, r);
  std::int64_t m = static_cast<std::int64_t>(q);
  std::int64_t e = static_cast<std::int64_t>(r) + 2 * line.dv - 2 * line.du;
  for (std::int64_t n = nLo; n <= nHi; ++n) {
    const std::int64_t u = line.u1 + n, v = line.v1 + m;
    const std::int64_t x = swapped ? sx * v : sx * u, y = swapped ? sy * u : sy * v;
    plot(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    if (e < 0) {
      e += 2 * line.dv;
    } else {
      ++m;
      e += 2 * line.dv - 2 * line.du;
    }
  }
  return true;
}

template <class Plot, class Horz, class Vert>
void LineClipped(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                 bool L, Plot plot, Horz horz, Vert vert) {
  if (B.MeasuringMode()) {
    Report(B, X1, Y1, X2, Y2, AREAINFO_LINE2);
    return;
  }
  if (Y1 == Y2 || X1 == X2) {
    if (Y1 == Y2 && X1 != X2) horz(X1, Y1, X2 > X1 ? X2 - 1 : X2 + 1);
    if (X1 == X2 && Y1 != Y2) vert(X1, Y1, Y2 > Y1 ? Y2 - 1 : Y2 + 1);
    if (L && PtInRect(B.ClipRect(), TPoint{X2, Y2})) plot(X2, Y2);
    B.Changed();
    return;
  }
  if (BresenhamLine(X1, Y1, X2, Y2, L, &B.ClipRect(), plot)) {
    EMMS();
    Report(B, X1, Y1, X2, Y2, AREAINFO_LINE2);
  }
}

}  // namespace

void Line(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
          TColor32 Value, bool L) {
  BresenhamLine(X1, Y1, X2, Y2, L, nullptr,
                [&](std::int32_t x, std::int32_t y) { B.SetPixel(x, y, Value); });
}

void LineT(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L) {
  BresenhamLine(X1, Y1, X2, Y2, L, nullptr,
                [&](std::int32_t x, std::int32_t y) { BlendInto(B, Value, *B.PixelPtr(x, y)); });
  EMMS();
}

void LineS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L) {
  LineClipped(
      B, X1, Y1, X2, Y2, L, [&](std::int32_t x, std::int32_t y) { B.SetPixel(x, y, Value); },
      [&](std::int32_t a, std::int32_t y, std::int32_t z) { HorzLineS(B, a, y, z, Value); },
      [&](std::int32_t x, std::int32_t a, std::int32_t z) { VertLineS(B, x, a, z, Value); });
}

void LineTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
            TColor32 Value, bool L) {
  LineClipped(
      B, X1, Y1, X2, Y2, L,
      [&](std::int32_t x, std::int32_t y) { BlendInto(B, Value, *B.PixelPtr(x, y)); },
      [&](std::int32_t a, std::int32_t y, std::int32_t z) { HorzLineTS(B, a, y, z, Value); },
      [&](std::int32_t x, std::int32_t a, std::int32_t z) { VertLineTS(B, x, a, z, Value); });
}

namespace {

// Samples the line once per pixel of length from (X1, Y1) (16.16, already biased by 127) and
// sets each at its 24.8 position; the last, partial sample gets a share of the colour's alpha.
template <class Color, class Set>
void SampleLineX(TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L, Color color, Set set) {
  const std::int64_t dx = static_cast<std::int64_t>(X2) - X1,
                     dy = static_cast<std::int64_t>(Y2) - Y1;
  const std::int64_t length = static_cast<std::int64_t>(std::nearbyint(
                                  Hypot(static_cast<float>(dx), static_cast<float>(dy)))) +
                              (L ? 0x10000 : 0);
  if (length < 256) return;
  const std::int64_t ex = dx * 65536 / length, ey = dy * 65536 / length;
  std::int64_t x = X1, y = Y1;
  for (std::int64_t n = length >> 16; n > 0; --n, x += ex, y += ey)
    set(static_cast<std::int32_t>(x >> 8), static_cast<std::int32_t>(y >> 8), color());
  const std::int64_t rest = length & 0xFFFF;
  if (rest != 0) {
    const TColor32 c = color();
    const TColor32 alpha = static_cast<TColor32>(((c >> 24) * rest) >> 16);
    set(static_cast<std::int32_t>(x >> 8), static_cast<std::int32_t>(y >> 8),
        (c & 0x00FFFFFF) | alpha << 24);
  }
  EMMS();
}

template <class Color>
void LineXClipped(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L, Color color) {
  const auto report = [&] {
    B.Changed(TRect{FixedRound(X1), FixedRound(Y1), FixedRound(X2), FixedRound(Y2)},
              AREAINFO_LINE2);
  };
  if (B.MeasuringMode()) {
    report();
    return;
  }
  const TFixedRect& fc = B.FixedClipRect();
  std::int32_t x1 = X1, y1 = Y1, x2 = X2, y2 = Y2;
  if (IsRectEmpty(B.ClipRect()) ||
      !ClipLine(x1, y1, x2, y2, fc.left, fc.top, fc.right - FixedOne, fc.bottom - FixedOne))
    return;
  if (x2 != X2 || y2 != Y2) L = true;
  const std::int64_t margin = 2 * static_cast<std::int64_t>(FixedOne);
  const auto inside = [&](std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return v >= lo + margin && v <= hi - margin;
  };
  const bool deep = inside(x1, fc.left, fc.right) && inside(x2, fc.left, fc.right) &&
                    inside(y1, fc.top, fc.bottom) && inside(y2, fc.top, fc.bottom);
  // Past ClipLine the end points lie inside the clip rectangle, so the bias cannot overflow.
  const auto set = [&](std::int32_t x, std::int32_t y, TColor32 c) {
    if (deep)
      SetPixelT256(B, x, y, c);
    else
      SetPixelTS256(B, x, y, c);
  };
  SampleLineX(x1 + 127, y1 + 127, x2 + 127, y2 + 127, L, color, set);
  report();
}

template <class Color>
void LineXUnchecked(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L, Color color) {
  const auto bias = [](TFixed v) {
    return static_cast<TFixed>(static_cast<std::uint32_t>(v) + 127u);
  };
  SampleLineX(bias(X1), bias(Y1), bias(X2), bias(Y2), L, color,
              [&](std::int32_t x, std::int32_t y, TColor32 c) { SetPixelT256(B, x, y, c); });
}

}  // namespace

void LineX(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  LineXUnchecked(B, X1, Y1, X2, Y2, L, [Value] { return Value; });
}

void LineXS(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value, bool L) {
  LineXClipped(B, X1, Y1, X2, Y2, L, [Value] { return Value; });
}

void LineXP(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L) {
  LineXUnchecked(B, X1, Y1, X2, Y2, L, [&B] { return GetStippleColor(B); });
}

void LineXSP(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L) {
  LineXClipped(B, X1, Y1, X2, Y2, L, [&B] { return GetStippleColor(B); });
}

void LineF(TBitmap32& B, float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
  LineX(B, SaturatedFixed(X1), SaturatedFixed(Y1), SaturatedFixed(X2), SaturatedFixed(Y2), Value,
        L);
}

void LineFS(TBitmap32& B, float X1, float Y1, float X2, float Y2, TColor32 Value, bool L) {
  LineXS(B, SaturatedFixed(X1), SaturatedFixed(Y1), SaturatedFixed(X2), SaturatedFixed(Y2), Value,
         L);
}

void LineFP(TBitmap32& B, float X1, float Y1, float X2, float Y2, bool L) {
  LineXP(B, SaturatedFixed(X1), SaturatedFixed(Y1), SaturatedFixed(X2), SaturatedFixed(Y2), L);
}

void LineFSP(TBitmap32& B, float X1, float Y1, float X2, float Y2, bool L) {
  LineXSP(B, SaturatedFixed(X1), SaturatedFixed(Y1), SaturatedFixed(X2), SaturatedFixed(Y2), L);
}

namespace {

// Steps the major axis; the minor position is a 16.16 accumulator and the two pixels around it
// get GammaTable[f xor 255] and GammaTable[f] of the colour. Clip limits the major steps to
// the clip rectangle and skips pixels outside it. True when a pixel was drawn.
bool AntialiasedLine(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2,
                     std::int32_t Y2, TColor32 Value, bool L, const TRect* Clip) {
  const std::int64_t dx = static_cast<std::int64_t>(X2) - X1,
                     dy = static_cast<std::int64_t>(Y2) - Y1;
  const bool steep = std::abs(dy) > std::abs(dx);
  const std::int64_t major = steep ? dy : dx, minor = steep ? dx : dy;
  const std::int64_t du = std::abs(major), dir = major < 0 ? -1 : 1;
  const std::int64_t slope = du == 0 ? 0 : (minor * 65536) / du;
  const std::int64_t u1 = steep ? Y1 : X1, v1 = steep ? X1 : Y1;
  std::int64_t nLo = 0, nHi = L ? du : du - 1;
  if (Clip) {
    const std::int64_t lo = steep ? Clip->top : Clip->left;
    const std::int64_t hi = (steep ? Clip->bottom : Clip->right) - std::int64_t{1};
    if (dir > 0) {
      nLo = std::max(nLo, lo - u1);
      nHi = std::min(nHi, hi - u1);
    } else {
      nLo = std::max(nLo, u1 - hi);
      nHi = std::min(nHi, u1 - lo);
    }
  }
  const TBlendPixelIntoAlphaProc blend = BlendPixelIntoAlphaByMode[B.CombineMode()];
  bool drawn = false;
  // A pixel of no weight would stay as it is; it is not touched, so that a line along the last
  // row or column stays inside the bitmap.
  const auto put = [&](std::int64_t u, std::int64_t v, std::uint32_t w) {
    if (w == 0) return;
    const std::int64_t x = steep ? v : u, y = steep ? u : v;
    if (Clip && (x < Clip->left || x >= Clip->right || y < Clip->top || y >= Clip->bottom)) return;
    blend(Value, *B.PixelPtr(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)), w);
    drawn = true;
  };
  for (std::int64_t n = nLo; n <= nHi; ++n) {
    const std::int64_t acc = (v1 << 16) + n * slope;
    const std::int64_t v = acc >> 16;
    const std::uint32_t f = static_cast<std::uint32_t>(acc >> 8) & 255;
    const std::int64_t u = u1 + n * dir;
    put(u, v, GammaTable[f ^ 255]);
    put(u, v + 1, GammaTable[f]);
  }
  EMMS();
  return drawn;
}

}  // namespace

void LineA(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L) {
  AntialiasedLine(B, X1, Y1, X2, Y2, Value, L, nullptr);
}

void LineAS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
            TColor32 Value, bool L) {
  if (B.MeasuringMode() || AntialiasedLine(B, X1, Y1, X2, Y2, Value, L, &B.ClipRect()))
    Report(B, X1, Y1, X2, Y2, AREAINFO_LINE2);
}

void MoveTo(TBitmap32& B, std::int32_t X, std::int32_t Y) {
  TDrawState::PenX(B) = X;
  TDrawState::PenY(B) = Y;
}

void LineToS(TBitmap32& B, std::int32_t X, std::int32_t Y) {
  LineS(B, TDrawState::PenX(B), TDrawState::PenY(B), X, Y, B.PenColor());
  MoveTo(B, X, Y);
}

void LineToTS(TBitmap32& B, std::int32_t X, std::int32_t Y) {
  LineTS(B, TDrawState::PenX(B), TDrawState::PenY(B), X, Y, B.PenColor());
  MoveTo(B, X, Y);
}

void LineToAS(TBitmap32& B, std::int32_t X, std::int32_t Y) {
  LineAS(B, TDrawState::PenX(B), TDrawState::PenY(B), X, Y, B.PenColor());
  MoveTo(B, X, Y);
}

void MoveToX(TBitmap32& B, TFixed X, TFixed Y) {
  TDrawState::PenXF(B) = X;
  TDrawState::PenYF(B) = Y;
}

void MoveToF(TBitmap32& B, float X, float Y) {
  MoveToX(B, SaturatedFixed(X), SaturatedFixed(Y));
}

void LineToXS(TBitmap32& B, TFixed X, TFixed Y) {
  LineXS(B, TDrawState::PenXF(B), TDrawState::PenYF(B), X, Y, B.PenColor());
  MoveToX(B, X, Y);
}

void LineToFS(TBitmap32& B, float X, float Y) {
  LineToXS(B, SaturatedFixed(X), SaturatedFixed(Y));
}

void LineToXSP(TBitmap32& B, TFixed X, TFixed Y) {
  LineXSP(B, TDrawState::PenXF(B), TDrawState::PenYF(B), X, Y);
  MoveToX(B, X, Y);
}

void LineToFSP(TBitmap32& B, float X, float Y) {
  LineToXSP(B, SaturatedFixed(X), SaturatedFixed(Y));
}

TPoint PenPos(const TBitmap32& B) {
  auto& b = const_cast<TBitmap32&>(B);
  return TPoint{TDrawState::PenX(b), TDrawState::PenY(b)};
}

TFixedPoint PenPosX(const TBitmap32& B) {
  auto& b = const_cast<TBitmap32&>(B);
  return TFixedPoint{TDrawState::PenXF(b), TDrawState::PenYF(b)};
}

// ---- Rectangles ----

void FillRect(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              TColor32 Value) {
  for (std::int32_t y = Y1; y < Y2; ++y) FillLongword(B.PixelPtr(X1, y), X2 - X1, Value);
  B.Changed(TRect{X1, Y1, X2, Y2}, AREAINFO_RECT);
}

void FillRectT(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
               TColor32 Value) {
  for (std::int32_t y = Y1; y < Y2; ++y) {
    TColor32* p = B.PixelPtr(X1, y);
    for (std::int32_t x = X1; x < X2; ++x, ++p) BlendInto(B, Value, *p);
  }
  EMMS();
}

namespace {

template <class Fill>
void FillRectClipped(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2,
                     std::int32_t Y2, Fill fill) {
  TRect area{X1, Y1, X2, Y2};
  if (!B.MeasuringMode() && X2 > X1 && Y2 > Y1) {
    TRect clipped;
    IntersectRect(clipped, area, B.ClipRect());
    if (!IsRectEmpty(clipped)) {
      fill(clipped);
      area = clipped;
    }
  }
  B.Changed(area, AREAINFO_RECT);
}

}  // namespace

void FillRectS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
               TColor32 Value) {
  FillRectClipped(B, X1, Y1, X2, Y2, [&](const TRect& r) {
    for (std::int32_t y = r.top; y < r.bottom; ++y)
      FillLongword(B.PixelPtr(r.left, y), r.right - r.left, Value);
  });
}

void FillRectS(TBitmap32& B, const TRect& ARect, TColor32 Value) {
  FillRectS(B, ARect.left, ARect.top, ARect.right, ARect.bottom, Value);
}

void FillRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                TColor32 Value) {
  FillRectClipped(B, X1, Y1, X2, Y2, [&](const TRect& r) {
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
      TColor32* p = B.PixelPtr(r.left, y);
      for (std::int32_t x = r.left; x < r.right; ++x, ++p) BlendInto(B, Value, *p);
    }
    EMMS();
  });
}

void FillRectTS(TBitmap32& B, const TRect& ARect, TColor32 Value) {
  FillRectTS(B, ARect.left, ARect.top, ARect.right, ARect.bottom, Value);
}

namespace {

template <class Horz, class Vert>
void Frame(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           Horz horz, Vert vert) {
  if (X2 <= X1 || Y2 <= Y1) return;
  TRect meet;
  IntersectRect(meet, TRect{X1, Y1, X2, Y2}, B.ClipRect());
  if (IsRectEmpty(meet)) return;
  const std::int64_t h = static_cast<std::int64_t>(Y2) - Y1, w = static_cast<std::int64_t>(X2) - X1;
  horz(X1, Y1, X2 - 1);
  if (h > 1) horz(X1, Y2 - 1, X2 - 1);
  if (h > 2) {
    vert(X1, Y1 + 1, Y2 - 2);
    if (w > 1) vert(X2 - 1, Y1 + 1, Y2 - 2);
  }
}

}  // namespace

void FrameRectS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                TColor32 Value) {
  Frame(
      B, X1, Y1, X2, Y2,
      [&](std::int32_t a, std::int32_t y, std::int32_t z) { HorzLineS(B, a, y, z, Value); },
      [&](std::int32_t x, std::int32_t a, std::int32_t z) { VertLineS(B, x, a, z, Value); });
}

void FrameRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                 TColor32 Value) {
  Frame(
      B, X1, Y1, X2, Y2,
      [&](std::int32_t a, std::int32_t y, std::int32_t z) { HorzLineTS(B, a, y, z, Value); },
      [&](std::int32_t x, std::int32_t a, std::int32_t z) { VertLineTS(B, x, a, z, Value); });
}

void FrameRectTSP(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2,
                  std::int32_t Y2) {
  Frame(
      B, X1, Y1, X2, Y2,
      [&](std::int32_t a, std::int32_t y, std::int32_t z) { HorzLineTSP(B, a, y, z); },
      [&](std::int32_t x, std::int32_t a, std::int32_t z) { VertLineTSP(B, x, a, z); });
}

void RaiseRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                 std::int32_t Contrast) {
  if (Contrast == 0 || X2 <= X1 || Y2 <= Y1) return;
  const std::int64_t c = Contrast;
  const auto alpha = [](std::int64_t v) {
    return static_cast<TColor32>(std::clamp<std::int64_t>(v, 0, 255)) << 24;
  };
  TColor32 topLeft, bottomRight;
  if (Contrast > 0) {
    topLeft = 0x00FFFFFF | alpha(c * 512 / 100);
    bottomRight = alpha(c * 255 / 100);
  } else {
    topLeft = alpha(-c * 255 / 100);
    bottomRight = 0x00FFFFFF | alpha(-c * 512 / 100);
  }
  // Top row and left column, then bottom row and right column, without overlap.
  const std::int64_t h = static_cast<std::int64_t>(Y2) - Y1, w = static_cast<std::int64_t>(X2) - X1;
  HorzLineTS(B, X1, Y1, X2 - 1, topLeft);
  if (h > 1) {
    VertLineTS(B, X1, Y1 + 1, Y2 - 1, topLeft);
    if (w > 1) {
      HorzLineTS(B, X1 + 1, Y2 - 1, X2 - 1, bottomRight);
      if (h > 2) VertLineTS(B, X2 - 1, Y1 + 1, Y2 - 2, bottomRight);
    }
  }
}

// ---- Stipple ----

void SetStipple(TBitmap32& B, const std::vector<TColor32>& NewStipple) {
  TDrawState::Pattern(B) = NewStipple;
  TDrawState::Counter(B) = 0;
}

const std::vector<TColor32>& Stipple(const TBitmap32& B) {
  return TDrawState::Pattern(const_cast<TBitmap32&>(B));
}

float StippleCounter(const TBitmap32& B) {
  return TDrawState::Counter(const_cast<TBitmap32&>(B));
}

void SetStippleCounter(TBitmap32& B, float Value) {
  TDrawState::Counter(B) = Value;
}

float StippleStep(const TBitmap32& B) {
  return TDrawState::Step(const_cast<TBitmap32&>(B));
}

void SetStippleStep(TBitmap32& B, float Value) {
  TDrawState::Step(B) = Value;
}

void AdvanceStippleCounter(TBitmap32& B, float LengthPixels) {
  const auto length = static_cast<float>(Stipple(B).size());
  const float delta = LengthPixels * StippleStep(B);
  if (length == 0 || delta == 0) return;
  float& counter = TDrawState::Counter(B);
  counter += delta;
  counter -= std::floor(counter / length) * length;
}

TColor32 GetStippleColor(TBitmap32& B) {
  const std::vector<TColor32>& pattern = Stipple(B);
  if (pattern.empty()) return 0xFF000000;
  const auto count = static_cast<std::int32_t>(pattern.size());
  const auto length = static_cast<float>(count);
  float& counter = TDrawState::Counter(B);
  counter -= std::floor(counter / length) * length;
  auto i = static_cast<std::int32_t>(std::nearbyint(counter - 0.5f));
  if (i < 0) {
    counter = length - 1;
    i = count - 1;
  }
  // A counter that rounds up to the length (float rounding) stays on the last entry.
  i = std::min(i, count - 1);
  const auto weight = 255 - static_cast<std::int32_t>(std::nearbyint((counter - i) * 255));
  const std::int32_t next = i + 1 < count ? i + 1 : 0;
  TColor32 result = pattern[static_cast<std::size_t>(i)];
  if (weight != 255) {
    result = CombinePixel(result, pattern[static_cast<std::size_t>(next)], weight);
    EMMS();
  }
  counter += StippleStep(B);
  return result;
}

// ---- Roll, flip, rotate ----

void Roll(TBitmap32& B, std::int32_t Dx, std::int32_t Dy, bool FillBack, TColor32 FillColor) {
  if (B.Empty() || (Dx == 0 && Dy == 0)) return;
  const std::int32_t w = B.Width(), h = B.Height();
  if (std::abs(static_cast<std::int64_t>(Dx)) >= w ||
      std::abs(static_cast<std::int64_t>(Dy)) >= h) {
    if (FillBack) B.Clear(FillColor);
    return;
  }
  const std::int64_t total = static_cast<std::int64_t>(w) * h;
  const std::int64_t shift = static_cast<std::int64_t>(Dy) * w + Dx;
  TColor32* bits = B.Bits();
  if (shift > 0)
    std::copy_backward(bits, bits + (total - shift), bits + total);
  else
    std::copy(bits - shift, bits + total, bits);
  if (FillBack) {
    // The uncovered rows, then the uncovered columns (which also hide the pixels that wrapped
    // from one row into the next).
    const std::int32_t r0 = Dy > 0 ? 0 : h + Dy, r1 = Dy > 0 ? Dy : h;
    for (std::int32_t y = r0; y < r1; ++y) FillLongword(B.ScanLine(y), w, FillColor);
    const std::int32_t c0 = Dx > 0 ? 0 : w + Dx, c1 = Dx > 0 ? Dx : w;
    if (c1 > c0)
      for (std::int32_t y = 0; y < h; ++y) FillLongword(B.PixelPtr(c0, y), c1 - c0, FillColor);
  }
  B.Changed();
}

namespace {

// The rows that hold pixels: none in an empty bitmap, which may still be 0 wide and millions
// of rows tall.
std::int32_t PixelRows(const TBitmap32& B) {
  return B.Empty() ? 0 : B.Height();
}

// Sizes Dst inside one update.
void SizeLike(TBitmap32& Dst, std::int32_t Width, std::int32_t Height) {
  Dst.BeginUpdate();
  try {
    Dst.SetSize(Width, Height);
  } catch (...) {
    Dst.EndUpdate();
    throw;
  }
  Dst.EndUpdate();
}

// Writes Target(x, y) <- B(x, y) for every pixel into Dst (sized W' x H'), or through a
// temporary copy back into B.
template <class Map>
void Remap(TBitmap32& B, TBitmap32* Dst, std::int32_t NewW, std::int32_t NewH, Map map) {
  const std::int32_t w = B.Width(), h = PixelRows(B);
  if (Dst && Dst != &B) {
    SizeLike(*Dst, NewW, NewH);
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x) {
        const TPoint p = map(x, y);
        Dst->SetPixel(p.X, p.Y, B.GetPixel(x, y));
      }
    Dst->Changed();
    return;
  }
  std::vector<TColor32> rotated(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      const TPoint p = map(x, y);
      rotated[static_cast<std::size_t>(p.Y) * static_cast<std::size_t>(NewW) +
              static_cast<std::size_t>(p.X)] = B.GetPixel(x, y);
    }
  B.SetSize(NewW, NewH);
  if (!B.Empty()) MoveLongword(rotated.data(), B.Bits(), NewW * NewH);
  B.Changed();
}

}  // namespace

void FlipHorz(TBitmap32& B, TBitmap32* Dst) {
  const std::int32_t w = B.Width(), h = PixelRows(B);
  if (!Dst || Dst == &B) {
    for (std::int32_t y = 0; y < h; ++y) std::reverse(B.ScanLine(y), B.ScanLine(y) + w);
    B.Changed();
    return;
  }
  SizeLike(*Dst, w, B.Height());
  for (std::int32_t y = 0; y < h; ++y)
    std::reverse_copy(B.ScanLine(y), B.ScanLine(y) + w, Dst->ScanLine(y));
  Dst->Changed();
}

void FlipVert(TBitmap32& B, TBitmap32* Dst) {
  const std::int32_t w = B.Width(), h = PixelRows(B);
  if (!Dst || Dst == &B) {
    for (std::int32_t y = 0; y < h / 2; ++y)
      std::swap_ranges(B.ScanLine(y), B.ScanLine(y) + w, B.ScanLine(h - 1 - y));
    B.Changed();
    return;
  }
  SizeLike(*Dst, w, B.Height());
  for (std::int32_t y = 0; y < h; ++y) MoveLongword(B.ScanLine(h - 1 - y), Dst->ScanLine(y), w);
  Dst->Changed();
}

void Rotate90(TBitmap32& B, TBitmap32* Dst) {
  const std::int32_t w = B.Width();
  Remap(B, Dst, B.Height(), w, [w](std::int32_t x, std::int32_t y) {
    return TPoint{y, w - 1 - x};
  });
}

void Rotate180(TBitmap32& B, TBitmap32* Dst) {
  const std::int32_t w = B.Width(), h = B.Height();
  Remap(B, Dst, w, h, [w, h](std::int32_t x, std::int32_t y) {
    return TPoint{w - 1 - x, h - 1 - y};
  });
}

void Rotate270(TBitmap32& B, TBitmap32* Dst) {
  const std::int32_t h = B.Height();
  Remap(B, Dst, h, B.Width(), [h](std::int32_t x, std::int32_t y) { return TPoint{h - 1 - y, x}; });
}

}  // namespace gfx
