// Helpers shared by the forms of the blend routines.
#pragma once

#include <cstdint>

#include "gfx/lowlevel.h"
#include "gfx/types.h"

namespace gfx::blend_detail {

// Weights and master alphas outside 0..255 would index past the MMX weight table and carry
// across channels in the plain form: they count as the nearest end of the range.
inline std::uint32_t ClampWeight(std::int32_t W) {
  return W < 0 ? 0u : (W > 255 ? 255u : static_cast<std::uint32_t>(W));
}
inline std::uint32_t ClampMaster(std::uint32_t M) {
  return M > 255 ? 255u : M;
}

// op applied to each of the four channels; its result is cut to 8 bits.
template <class Op>
TColor32 PerChannel(TColor32 C1, TColor32 C2, Op op) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8)
    result |= (static_cast<std::uint32_t>(op((C1 >> shift) & 0xFF, (C2 >> shift) & 0xFF)) & 0xFF)
              << shift;
  return result;
}

// The pixel routines of the MMX form around its per-channel mix (scalar or SSE2): no shortcuts
// in CombinePixel and BlendPixel; the Into forms leave the destination at weight 0 and store
// the source at 255; master-alpha weight ((M + 1)*Fa) >> 8.
template <TColor32 (*Mix)(TColor32 X, TColor32 Y, std::uint32_t W)>
struct MmxPixelForms {
  static TColor32 CombinePixel(TColor32 X, TColor32 Y, std::int32_t W) {
    return Mix(X, Y, ClampWeight(W));
  }
  static void CombinePixelInto(TColor32 X, TColor32& Y, std::int32_t W) {
    const std::uint32_t w = ClampWeight(W);
    if (w == 0) return;
    Y = w == 255 ? X : Mix(X, Y, w);
  }
  static TColor32 BlendPixel(TColor32 F, TColor32 B) { return Mix(F, B, F >> 24); }
  static void BlendPixelInto(TColor32 F, TColor32& B) {
    const std::uint32_t fa = F >> 24;
    if (fa == 0) return;
    B = fa == 255 ? F : Mix(F, B, fa);
  }
  static TColor32 BlendPixelAlpha(TColor32 F, TColor32 B, std::uint32_t M) {
    const std::uint32_t fa = F >> 24;
    const std::uint32_t w = ((ClampMaster(M) + 1) * fa) >> 8;
    if (fa == 0 || w == 0) return B;
    return Mix(F, B, w);
  }
  // A row at weight 0 stays, at 255 becomes the source; true when nothing is left to mix.
  static bool CombineSpanDone(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                              std::uint32_t w) {
    if (Count <= 0 || w == 0) return true;
    if (w != 255) return false;
    MoveLongword(Src, Dst, Count);
    return true;
  }
  // The row form's weight, ((Fa + 1)*M) >> 8 (M already clamped); 0 leaves the destination.
  static void BlendSpanAlphaPixel(TColor32 F, TColor32& B, std::uint32_t M) {
    const std::uint32_t fa = F >> 24;
    const std::uint32_t w = ((fa + 1) * M) >> 8;
    if (fa != 0 && w != 0) B = Mix(F, B, w);
  }
};

}  // namespace gfx::blend_detail

// Defines the pixel routines of an MMX form in the enclosing namespace from its mix.
#define GFX_DEFINE_MMX_PIXEL_ROUTINES(Mix)                             \
  using Forms = blend_detail::MmxPixelForms<Mix>;                      \
  TColor32 CombinePixel(TColor32 X, TColor32 Y, std::int32_t W) {      \
    return Forms::CombinePixel(X, Y, W);                               \
  }                                                                    \
  void CombinePixelInto(TColor32 X, TColor32& Y, std::int32_t W) {     \
    Forms::CombinePixelInto(X, Y, W);                                  \
  }                                                                    \
  TColor32 BlendPixel(TColor32 F, TColor32 B) {                        \
    return Forms::BlendPixel(F, B);                                    \
  }                                                                    \
  void BlendPixelInto(TColor32 F, TColor32& B) {                       \
    Forms::BlendPixelInto(F, B);                                       \
  }                                                                    \
  TColor32 BlendPixelAlpha(TColor32 F, TColor32 B, std::uint32_t M) {  \
    return Forms::BlendPixelAlpha(F, B, M);                            \
  }                                                                    \
  void BlendPixelIntoAlpha(TColor32 F, TColor32& B, std::uint32_t M) { \
    B = Forms::BlendPixelAlpha(F, B, M);                               \
  }
