// Low-level routines of the bitmap units: clamping, wrapping and mirroring of coordinates,
// 32-bit fills and moves. FillLongword is a call cell (plain loop, or the paired-store form
// written with SSE2 stores); start-up binds it (gfx/startup.h).
#pragma once

#include <cstdint>
#include <utility>

#include "gfx/system.h"
#include "gfx/types.h"

namespace gfx {

// To 0..255.
inline std::int32_t Clamp(std::int32_t Value) {
  return Value < 0 ? 0 : (Value > 255 ? 255 : Value);
}
// Max when Value > Max, 0 when negative, else Value.
inline std::int32_t Clamp(std::int32_t Value, std::int32_t Max) {
  return Value > Max ? Max : (Value < 0 ? 0 : Value);
}
// min(max(Value, Min), Max).
inline std::int32_t Clamp(std::int32_t Value, std::int32_t Min, std::int32_t Max) {
  const std::int32_t low = Value > Min ? Value : Min;
  return low < Max ? low : Max;
}
// Lo when Value < Lo, else min(Hi, Value).
inline std::int32_t Constrain(std::int32_t Value, std::int32_t Lo, std::int32_t Hi) {
  return Value < Lo ? Lo : (Hi < Value ? Hi : Value);
}
// The same after ordering Lo and Hi.
std::int32_t ConstrainOrdered(std::int32_t Value, std::int32_t Lo, std::int32_t Hi);

// Value brought into Min..Max by repeating the range (Max >= Min).
std::int32_t Wrap(std::int32_t Value, std::int32_t Min, std::int32_t Max);
// Value brought into Min..Max by reflecting the range back and forth (Max >= Min).
std::int32_t Mirror(std::int32_t Value, std::int32_t Min, std::int32_t Max);

// Truncating quotient; the remainder keeps the dividend's sign.
std::int32_t DivMod(std::int32_t Dividend, std::int32_t Divisor, std::int32_t& Remainder);

template <class T>
void Swap(T& A, T& B) {
  std::swap(A, B);
}
// Exchanges only when A > B.
template <class T>
void TestSwap(T& A, T& B) {
  if (A > B) std::swap(A, B);
}
// Orders A and B, raises A to Start and lowers B to Stop - 1; true when B >= A.
bool TestClip(std::int32_t& A, std::int32_t& B, std::int32_t Start, std::int32_t Stop);

inline std::int32_t ShiftRight8(std::int32_t Value) {
  return Value >> 8;
}
inline std::int32_t ShiftRight9(std::int32_t Value) {
  return Value >> 9;
}

using TFillLongwordProc = void (*)(TColor32* Dest, std::int32_t Count, TColor32 Value);

namespace plain {
// Count 32-bit stores; nothing for Count < 1.
void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value);
}  // namespace plain
namespace mmx {
// One store when Count is odd, then pairs; nothing for Count < 1.
void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value);
}  // namespace mmx
#if defined(__SSE2__)
namespace sse2 {
// The paired-store form with 128-bit stores; non-temporal for fills larger than the caches.
void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value);
}  // namespace sse2
#endif

// The call cell; the plain form until start-up binds it.
inline TFillLongwordProc FillLongword = plain::FillLongword;
void BindLowLevelCells(const TCpuFeatures& features);

// Copies Count 32-bit values; nothing when Src = Dst or Count < 1. Overlapping rows are moved
// as a whole (the result is that of copying through a temporary row).
void MoveLongword(const TColor32* Src, TColor32* Dst, std::int32_t Count);

using TWrapProc = std::int32_t (*)(std::int32_t Value, std::int32_t Min, std::int32_t Max);
inline std::int32_t ClampProc(std::int32_t Value, std::int32_t Min, std::int32_t Max) {
  return Clamp(Value, Min, Max);
}
// By TWrapMode: clamp, repeat, mirror.
inline constexpr TWrapProc WrapProcs[WrapModeCount] = {ClampProc, Wrap, Mirror};

}  // namespace gfx
