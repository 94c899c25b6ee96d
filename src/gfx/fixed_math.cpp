#include "gfx/fixed_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace gfx {

TFixed FixedDiv(TFixed A, TFixed B) {
  if (B == 0)
    return A < 0 ? std::numeric_limits<TFixed>::min() : std::numeric_limits<TFixed>::max();
  return static_cast<TFixed>((static_cast<std::int64_t>(A) * 65536) / B);
}

std::int32_t SaturatedRound(double X) {
  if (std::isnan(X)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::nearbyint(std::clamp(X, -2147483648.0, 2147483647.0)));
}

TFixed SaturatedFixed(float X) {
  return SaturatedRound(static_cast<double>(X) * 65536);
}

float Hypot(float X, float Y) {
  return std::sqrt(X * X + Y * Y);
}

namespace {

// A*B/C from the magnitudes, rounded half away from zero, with the sign of the exact quotient.
// |A*B| < 2^64 whenever |A| and |B| are below 2^32.
std::int64_t RoundedMulDiv(std::int64_t A, std::int64_t B, std::int64_t C, bool& fits31) {
  const std::uint64_t a = static_cast<std::uint64_t>(A < 0 ? -A : A);
  const std::uint64_t b = static_cast<std::uint64_t>(B < 0 ? -B : B);
  const std::uint64_t c = static_cast<std::uint64_t>(C < 0 ? -C : C);
  const std::uint64_t product = a * b;
  std::uint64_t q = product / c;
  const std::uint64_t r = product % c;
  if (c - r <= r) ++q;
  fits31 = q <= 0x7FFFFFFF;
  const bool negative = (A < 0) != (B < 0) ? (C > 0) : (C < 0);
  return negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
}

}  // namespace

std::int32_t MulDiv(std::int32_t A, std::int32_t B, std::int32_t C) {
  if (C == 0) return -1;
  bool fits31 = false;
  const std::int64_t q = RoundedMulDiv(A, B, C, fits31);
  return fits31 ? static_cast<std::int32_t>(q) : -1;
}

namespace {

int Code(std::int64_t X, std::int64_t Y, std::int64_t MinX, std::int64_t MinY, std::int64_t MaxX,
         std::int64_t MaxY) {
  int code = 0;
  if (X < MinX)
    code = 1;
  else if (X > MaxX)
    code = 2;
  if (Y < MinY)
    code |= 4;
  else if (Y > MaxY)
    code |= 8;
  return code;
}

// The end point's move along the segment: Delta * Num / Den rounded as MulDiv rounds, in 64
// bits, so that no coordinate difference overflows.
std::int64_t Along(std::int64_t Delta, std::int64_t Num, std::int64_t Den) {
  if (Den == 0) return 0;
  bool fits31 = false;
  return RoundedMulDiv(Delta, Num, Den, fits31);
}

}  // namespace

bool ClipLine(std::int32_t& X1, std::int32_t& Y1, std::int32_t& X2, std::int32_t& Y2,
              std::int32_t MinX, std::int32_t MinY, std::int32_t MaxX, std::int32_t MaxY) {
  std::int64_t x1 = X1, y1 = Y1, x2 = X2, y2 = Y2;
  int c1 = Code(x1, y1, MinX, MinY, MaxX, MaxY);
  int c2 = Code(x2, y2, MinX, MinY, MaxX, MaxY);
  if ((c1 | c2) == 0) return true;
  if ((c1 & c2) != 0) return false;
  const auto moveVertically = [&](std::int64_t& x, std::int64_t& y, int& code) {
    if ((code & 12) == 0) return;
    const std::int64_t target = (code & 4) != 0 ? MinY : MaxY;
    x += Along(target - y, x2 - x1, y2 - y1);
    y = target;
    code = Code(x, y, MinX, MinY, MaxX, MaxY) & 3;
  };
  moveVertically(x1, y1, c1);
  moveVertically(x2, y2, c2);
  if ((c1 & c2) != 0) return false;
  if ((c1 | c2) != 0) {
    const auto moveHorizontally = [&](std::int64_t& x, std::int64_t& y, int code) {
      if ((code & 3) == 0) return;
      const std::int64_t target = (code & 1) != 0 ? MinX : MaxX;
      y += Along(target - x, y2 - y1, x2 - x1);
      x = target;
    };
    moveHorizontally(x1, y1, c1);
    moveHorizontally(x2, y2, c2);
  }
  X1 = static_cast<std::int32_t>(x1);
  Y1 = static_cast<std::int32_t>(y1);
  X2 = static_cast<std::int32_t>(x2);
  Y2 = static_cast<std::int32_t>(y2);
  return true;
}

}  // namespace gfx
