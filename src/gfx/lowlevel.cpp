#include "gfx/lowlevel.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

std::int32_t ConstrainOrdered(std::int32_t Value, std::int32_t Lo, std::int32_t Hi) {
  if (Lo > Hi) std::swap(Lo, Hi);
  return Constrain(Value, Lo, Hi);
}

// Remainders that keep the dividend's sign, in 64 bits so no difference overflows; an empty range
// (Max < Min) gives Min instead of dividing by zero or by a negative length.
std::int32_t Wrap(std::int32_t Value, std::int32_t Min, std::int32_t Max) {
  const std::int64_t length = static_cast<std::int64_t>(Max) - Min + 1;
  if (length <= 0) return Min;
  if (Value >= Min)
    return static_cast<std::int32_t>((static_cast<std::int64_t>(Value) - Min) % length + Min);
  return static_cast<std::int32_t>((static_cast<std::int64_t>(Value) - Max) % length + Max);
}

std::int32_t Mirror(std::int32_t Value, std::int32_t Min, std::int32_t Max) {
  const std::int64_t length = static_cast<std::int64_t>(Max) - Min + 1;
  if (length <= 0) return Min;
  const std::int64_t base = Value >= Min ? Min : Max;
  const std::int64_t offset = static_cast<std::int64_t>(Value) - base;
  const std::int64_t result = offset % length + base;
  const bool odd = (offset / length) % 2 != 0;
  return static_cast<std::int32_t>(odd ? static_cast<std::int64_t>(Min) + Max - result : result);
}

// Divisor 0 is the caller's error; it gives quotient and remainder 0 instead of a trap, and
// the one overflowing quotient (minimum / -1) wraps as the processor's would.
std::int32_t DivMod(std::int32_t Dividend, std::int32_t Divisor, std::int32_t& Remainder) {
  if (Divisor == 0) {
    Remainder = 0;
    return 0;
  }
  const std::int64_t q = static_cast<std::int64_t>(Dividend) / Divisor;
  Remainder = static_cast<std::int32_t>(static_cast<std::int64_t>(Dividend) - q * Divisor);
  return static_cast<std::int32_t>(q);
}

bool TestClip(std::int32_t& A, std::int32_t& B, std::int32_t Start, std::int32_t Stop) {
  TestSwap(A, B);
  if (A < Start) A = Start;
  if (B >= Stop) B = Stop - 1;
  return B >= A;
}

namespace plain {
void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value) {
  for (std::int32_t i = 0; i < Count; ++i) Dest[i] = Value;
}
}  // namespace plain

namespace mmx {
void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value) {
  if (Count < 1) return;
  if ((Count & 1) != 0) {
    *Dest++ = Value;
    --Count;
  }
  for (std::int32_t i = 0; i < Count; i += 2) {
    Dest[i] = Value;
    Dest[i + 1] = Value;
  }
}
}  // namespace mmx

#if defined(__SSE2__)
namespace sse2 {

namespace {
// Fills of more values than this (16 MB) bypass the caches: they would only evict what the
// caller works on.
constexpr std::int32_t StreamingThreshold = 4 * 1024 * 1024;
// From this many values on, the processor's string store fills faster than 16-byte stores: it
// writes whole cache lines internally.
constexpr std::int32_t StringStoreThreshold = 1024;

#if defined(__i386__) || defined(__x86_64__)
void StringStore(TColor32* Dest, std::int32_t Count, TColor32 Value) {
  std::size_t n = static_cast<std::size_t>(Count);
  __asm__ volatile("rep stosl" : "+D"(Dest), "+c"(n) : "a"(Value) : "memory");
}
#endif
}  // namespace

void FillLongword(TColor32* Dest, std::int32_t Count, TColor32 Value) {
  if (Count < 1) return;
#if defined(__i386__) || defined(__x86_64__)
  if (Count >= StringStoreThreshold && Count <= StreamingThreshold) {
    StringStore(Dest, Count, Value);
    return;
  }
#endif
  // Whole 32-bit values up to the next 16-byte boundary.
  while (Count > 0 && (reinterpret_cast<std::uintptr_t>(Dest) & 15) != 0) {
    *Dest++ = Value;
    --Count;
  }
  const __m128i v = _mm_set1_epi32(static_cast<int>(Value));
  auto* p = reinterpret_cast<__m128i*>(Dest);
  std::int32_t blocks = Count / 4;
  if (Count > StreamingThreshold) {
    for (; blocks >= 4; blocks -= 4, p += 4) {
      _mm_stream_si128(p, v);
      _mm_stream_si128(p + 1, v);
      _mm_stream_si128(p + 2, v);
      _mm_stream_si128(p + 3, v);
    }
    _mm_sfence();
  }
  for (; blocks >= 4; blocks -= 4, p += 4) {
    _mm_store_si128(p, v);
    _mm_store_si128(p + 1, v);
    _mm_store_si128(p + 2, v);
    _mm_store_si128(p + 3, v);
  }
  for (; blocks > 0; --blocks) _mm_store_si128(p++, v);
  Dest = reinterpret_cast<TColor32*>(p);
  for (std::int32_t i = 0; i < (Count & 3); ++i) Dest[i] = Value;
}

}  // namespace sse2
#endif

void BindLowLevelCells(const TCpuFeatures& features) {
#if defined(__SSE2__)
  if (features.mmx) {
    FillLongword = features.sse2 ? sse2::FillLongword : mmx::FillLongword;
    return;
  }
#else
  if (features.mmx) {
    FillLongword = mmx::FillLongword;
    return;
  }
#endif
  FillLongword = plain::FillLongword;
}

void MoveLongword(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  if (Src == Dst || Count < 1) return;
  std::memmove(Dst, Src, static_cast<std::size_t>(Count) * sizeof(TColor32));
}

}  // namespace gfx
