// Blending and colour arithmetic on TColor32 values, reached through call cells that start-up
// binds to the plain or the MMX form (gfx/startup.h). Each channel (alpha, red, green, blue) is
// treated on its own unless a routine says otherwise.
//   Combine: X weighted by W (0..255) and Y by 255 - W. Blend: F over B with F's alpha (times
//   the master alpha M) as weight. Merge: F composited over B with a computed result alpha.
//   Into forms change the destination in place; spans treat Count pixels of both rows in order
//   and do nothing for Count <= 0.
//   The plain and the MMX form round differently, by design; both are behaviour:
//     plain: ((x*W + 128) >> 8) + ((y*(255 - W) + 128) >> 8)
//     MMX:   (x*W + y*(256 - W) + 128) >> 8
//   The MMX form is written with SSE2 (no MMX registers), so EMMS has nothing to clear.
//   Weights and master alphas above 255 count as 255, below 0 as 0.
#pragma once

#include <cstdint>

#include "gfx/system.h"
#include "gfx/types.h"

namespace gfx {

using TCombinePixelFunc = TColor32 (*)(TColor32 X, TColor32 Y, std::int32_t W);
using TCombinePixelIntoProc = void (*)(TColor32 X, TColor32& Y, std::int32_t W);
using TCombineSpanProc = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                                  std::int32_t W);
using TBlendPixelFunc = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendPixelIntoProc = void (*)(TColor32 F, TColor32& B);
using TBlendPixelAlphaFunc = TColor32 (*)(TColor32 F, TColor32 B, std::uint32_t M);
using TBlendPixelIntoAlphaProc = void (*)(TColor32 F, TColor32& B, std::uint32_t M);
using TBlendSpanProc = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count);
using TBlendSpanAlphaProc = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                                     std::uint32_t M);
using TColorFunc = TColor32 (*)(TColor32 C1, TColor32 C2);
using TColorScaleFunc = TColor32 (*)(TColor32 C, std::uint32_t W);

// The forms. plain:: and mmx:: are portable C++; sse2:: holds the MMX and extended-MMX forms
// written with SSE2, bit-identical to mmx::. One-form routines live in gfx:: itself.
#define GFX_BLEND_WEIGHTED_DECLARATIONS                                                         \
  TColor32 CombinePixel(TColor32 X, TColor32 Y, std::int32_t W);                                \
  void CombinePixelInto(TColor32 X, TColor32& Y, std::int32_t W);                               \
  void CombineSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::int32_t W);     \
  TColor32 BlendPixel(TColor32 F, TColor32 B);                                                  \
  void BlendPixelInto(TColor32 F, TColor32& B);                                                 \
  TColor32 BlendPixelAlpha(TColor32 F, TColor32 B, std::uint32_t M);                            \
  void BlendPixelIntoAlpha(TColor32 F, TColor32& B, std::uint32_t M);                           \
  void BlendSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count);                       \
  void BlendSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M); \
  TColor32 ColorExclusion(TColor32 C1, TColor32 C2);                                            \
  TColor32 ColorScale(TColor32 C, std::uint32_t W);                                             \
  TColor32 ColorAverage(TColor32 C1, TColor32 C2);
#define GFX_BLEND_ARITHMETIC_DECLARATIONS             \
  TColor32 ColorAdd(TColor32 C1, TColor32 C2);        \
  TColor32 ColorSub(TColor32 C1, TColor32 C2);        \
  TColor32 ColorModulate(TColor32 C1, TColor32 C2);   \
  TColor32 ColorDifference(TColor32 C1, TColor32 C2); \
  TColor32 ColorMax(TColor32 C1, TColor32 C2);        \
  TColor32 ColorMin(TColor32 C1, TColor32 C2);

namespace plain {
GFX_BLEND_WEIGHTED_DECLARATIONS
GFX_BLEND_ARITHMETIC_DECLARATIONS
}  // namespace plain
// Saturating byte addition and subtraction, 16-bit products shifted by 8, the two saturating
// differences or-ed, byte maximum and minimum give the plain forms' results.
namespace mmx {
GFX_BLEND_WEIGHTED_DECLARATIONS
using plain::ColorAdd;
using plain::ColorDifference;
using plain::ColorMax;
using plain::ColorMin;
using plain::ColorModulate;
using plain::ColorSub;
}  // namespace mmx
#if defined(__SSE2__)
#define GFX_HAVE_SSE2 1
namespace sse2 {
GFX_BLEND_WEIGHTED_DECLARATIONS
GFX_BLEND_ARITHMETIC_DECLARATIONS
}  // namespace sse2
#endif
#undef GFX_BLEND_WEIGHTED_DECLARATIONS
#undef GFX_BLEND_ARITHMETIC_DECLARATIONS

// One-form routines.
TColor32 MergePixel(TColor32 F, TColor32 B);
void MergePixelInto(TColor32 F, TColor32& B);
TColor32 MergePixelAlpha(TColor32 F, TColor32 B, std::uint32_t M);
void MergePixelIntoAlpha(TColor32 F, TColor32& B, std::uint32_t M);
void MergeSpan(const TColor32* Src, TColor32* Dst, std::int32_t Count);
void MergeSpanAlpha(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M);
TColor32 ColorDiv(TColor32 C1, TColor32 C2);

// The call cells. Until start-up binds them they hold the plain forms.
inline TCombinePixelFunc CombinePixel = plain::CombinePixel;
inline TCombinePixelIntoProc CombinePixelInto = plain::CombinePixelInto;
inline TCombineSpanProc CombineSpan = plain::CombineSpan;
inline TBlendPixelFunc BlendPixel = plain::BlendPixel;
inline TBlendPixelIntoProc BlendPixelInto = plain::BlendPixelInto;
inline TBlendPixelAlphaFunc BlendPixelAlpha = plain::BlendPixelAlpha;
inline TBlendPixelIntoAlphaProc BlendPixelIntoAlpha = plain::BlendPixelIntoAlpha;
inline TBlendSpanProc BlendSpan = plain::BlendSpan;
inline TBlendSpanAlphaProc BlendSpanAlpha = plain::BlendSpanAlpha;
inline TColorFunc ColorAdd = plain::ColorAdd;
inline TColorFunc ColorSub = plain::ColorSub;
inline TColorFunc ColorModulate = plain::ColorModulate;
inline TColorFunc ColorDifference = plain::ColorDifference;
inline TColorFunc ColorExclusion = plain::ColorExclusion;
inline TColorScaleFunc ColorScale = plain::ColorScale;
inline TColorFunc ColorMax = plain::ColorMax;
inline TColorFunc ColorMin = plain::ColorMin;
inline TColorFunc ColorAverage = plain::ColorAverage;

// Blend routines by combine mode: cmBlend holds the bound blend cell's routine, cmMerge the
// merge routine of the same shape.
inline TBlendPixelFunc BlendPixelByMode[CombineModeCount] = {plain::BlendPixel, MergePixel};
inline TBlendPixelIntoProc BlendPixelIntoByMode[CombineModeCount] = {plain::BlendPixelInto,
                                                                     MergePixelInto};
inline TBlendPixelAlphaFunc BlendPixelAlphaByMode[CombineModeCount] = {plain::BlendPixelAlpha,
                                                                       MergePixelAlpha};
inline TBlendPixelIntoAlphaProc BlendPixelIntoAlphaByMode[CombineModeCount] = {
    plain::BlendPixelIntoAlpha, MergePixelIntoAlpha};
inline TBlendSpanProc BlendSpanByMode[CombineModeCount] = {plain::BlendSpan, MergeSpan};
inline TBlendSpanAlphaProc BlendSpanAlphaByMode[CombineModeCount] = {plain::BlendSpanAlpha,
                                                                     MergeSpanAlpha};

// True when the MMX forms are bound.
inline bool MMXActive = false;

// Clears the processor's MMX state after MMX routines. The MMX forms use no MMX registers, so
// there is nothing to clear; callers still call it where the MMX routines were used.
inline void EMMS() {}

// ProductTable[a][b] = round(a*b/255); QuotientTable[a][b] = round(b*255/a) in 8 bits, 0 for
// a = 0 (rounding ties to even). Filled by MakeMergeTables.
extern std::uint8_t ProductTable[256][256];
extern std::uint8_t QuotientTable[256][256];
void MakeMergeTables();

// The MMX weight table: entry a holds four 16-bit lanes equal to a, 8-byte aligned; AlphaBias
// is entry 128. Exists only while MMXActive (GenAlphaTable at start-up, FreeAlphaTable at
// shutdown); null otherwise.
extern const std::uint16_t* AlphaTable;
extern const std::uint16_t* AlphaBias;
void GenAlphaTable();
void FreeAlphaTable();

// Binds every cell above for the features and sets MMXActive.
void BindBlendCells(const TCpuFeatures& features);

}  // namespace gfx
