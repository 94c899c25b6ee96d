#include "gfx/filters.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace {

struct Xor {
  static TColor32 Apply(TColor32 a, TColor32 b) { return a ^ b; }
#if defined(__SSE2__)
  static __m128i Apply(__m128i a, __m128i b) {
    return _mm_xor_si128(a, b);
  }
#endif
};
struct Or {
  static TColor32 Apply(TColor32 a, TColor32 b) { return a | b; }
#if defined(__SSE2__)
  static __m128i Apply(__m128i a, __m128i b) {
    return _mm_or_si128(a, b);
  }
#endif
};
struct And {
  static TColor32 Apply(TColor32 a, TColor32 b) { return a & b; }
#if defined(__SSE2__)
  static __m128i Apply(__m128i a, __m128i b) {
    return _mm_and_si128(a, b);
  }
#endif
};

template <class Op>
void PlainLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = Op::Apply(Src[i], Mask);
}

// Two values per step.
template <class Op>
void PairedLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  std::int32_t i = 0;
  for (; i + 2 <= Count; i += 2) {
    Dst[i] = Op::Apply(Src[i], Mask);
    Dst[i + 1] = Op::Apply(Src[i + 1], Mask);
  }
  if (i < Count) Dst[i] = Op::Apply(Src[i], Mask);
}

// Sixteen values per loop round, then the rest.
template <class Op>
void InplaceLine(TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  std::int32_t i = 0;
  for (; i + 16 <= Count; i += 16)
    for (int k = 0; k < 16; ++k) Dst[i + k] = Op::Apply(Dst[i + k], Mask);
  for (; i < Count; ++i) Dst[i] = Op::Apply(Dst[i], Mask);
}

#if defined(__SSE2__)
// Four values per step; with Prefetch the source ahead is hinted into the cache.
template <class Op, bool Prefetch>
void WideLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  const __m128i mask = _mm_set1_epi32(static_cast<int>(Mask));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    if constexpr (Prefetch)
      _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(Src + i) + 256),
                   _MM_HINT_NTA);
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), Op::Apply(v, mask));
  }
  for (; i < Count; ++i) Dst[i] = Op::Apply(Src[i], Mask);
}
#endif

}  // namespace

#define GFX_LOGIC_LINE_FORMS(ns, impl)                                                  \
  namespace ns {                                                                        \
  void XorLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) { \
    impl<Xor>(Src, Dst, Count, Mask);                                                   \
  }                                                                                     \
  void OrLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {  \
    impl<Or>(Src, Dst, Count, Mask);                                                    \
  }                                                                                     \
  void AndLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) { \
    impl<And>(Src, Dst, Count, Mask);                                                   \
  }                                                                                     \
  }

GFX_LOGIC_LINE_FORMS(plain, PlainLine)
GFX_LOGIC_LINE_FORMS(mmx, PairedLine)
#if defined(__SSE2__)
template <class Op>
void SimdLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  WideLine<Op, false>(Src, Dst, Count, Mask);
}
template <class Op>
void HintedLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  WideLine<Op, true>(Src, Dst, Count, Mask);
}
GFX_LOGIC_LINE_FORMS(sse2, SimdLine)
GFX_LOGIC_LINE_FORMS(sse2_ex, HintedLine)
#endif
#undef GFX_LOGIC_LINE_FORMS

void XorLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  InplaceLine<Xor>(Dst, Count, Mask);
}
void OrLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  InplaceLine<Or>(Dst, Count, Mask);
}
void AndLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask) {
  InplaceLine<And>(Dst, Count, Mask);
}

void BindFilterCells(const TCpuFeatures& features) {
#if defined(__SSE2__)
  if (features.sse2 && (features.emmx || features.mmx)) {
    XorLine = features.emmx ? sse2_ex::XorLine : sse2::XorLine;
    OrLine = features.emmx ? sse2_ex::OrLine : sse2::OrLine;
    AndLine = features.emmx ? sse2_ex::AndLine : sse2::AndLine;
    return;
  }
#endif
  const bool paired = features.emmx || features.mmx;
  XorLine = paired ? mmx::XorLine : plain::XorLine;
  OrLine = paired ? mmx::OrLine : plain::OrLine;
  AndLine = paired ? mmx::AndLine : plain::AndLine;
}

}  // namespace gfx
