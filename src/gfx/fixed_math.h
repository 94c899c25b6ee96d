// 16.16 fixed-point arithmetic, the rounding integer MulDiv and the line clipper.
#pragma once

#include <cstdint>

#include "gfx/types.h"

namespace gfx {

inline std::int32_t FixedFloor(TFixed A) {
  return A >> 16;
}
inline std::int32_t FixedCeil(TFixed A) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(A) + 0xFFFF) >> 16);
}
// Half rounds down: 1.5 gives 1.
inline std::int32_t FixedRound(TFixed A) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(A) + 0x7FFF) >> 16);
}
// The 64-bit product shifted right by 16 (floor), low 32 bits.
inline TFixed FixedMul(TFixed A, TFixed B) {
  return static_cast<TFixed>((static_cast<std::int64_t>(A) * B) >> 16);
}
// (A shl 16) div B in 64 bits (truncating), low 32 bits. B = 0 gives the largest value of A's
// sign instead of dividing by zero.
TFixed FixedDiv(TFixed A, TFixed B);

// round(X x 65536) and round(X) (ties to even) saturated to the 32-bit range, NaN giving the
// lowest value: float positions from callers never overflow a conversion.
TFixed SaturatedFixed(float X);
std::int32_t SaturatedRound(double X);

// sqrt(X^2 + Y^2).
float Hypot(float X, float Y);

// A*B/C rounded half away from zero, from 64-bit magnitudes; -1 when the quotient does not fit
// in 31 bits or C is 0.
std::int32_t MulDiv(std::int32_t A, std::int32_t B, std::int32_t C);

// Clips the segment (X1, Y1)-(X2, Y2) to MinX..MaxX, MinY..MaxY (inclusive) by moving end
// points along it (rounded to nearest, exact for any 32-bit coordinates); false when the
// segment lies outside.
bool ClipLine(std::int32_t& X1, std::int32_t& Y1, std::int32_t& X2, std::int32_t& Y2,
              std::int32_t MinX, std::int32_t MinY, std::int32_t MaxX, std::int32_t MaxY);

}  // namespace gfx
