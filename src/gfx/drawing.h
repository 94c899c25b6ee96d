// Drawing on a TBitmap32: bitmap onto bitmap, interpolating and blending pixel access, lines,
// rectangles, stipple patterns, rolling, flipping and rotating. The platform's text and
// device-context transfers are in win32/drawing.h.
//   Suffixes: none = unchecked (the caller keeps every touched pixel inside the bitmap) and
//   silent; S = clipped to the clip rectangle, writes nothing in measuring mode, reports the
//   touched area with Changed(Area, AREAINFO_RECT); T = each pixel blended into the destination
//   with BlendPixelIntoByMode[CombineMode]; P = colours from the stipple pattern; X = 16.16
//   end points, anti-aliased; F = float end points (through Fixed); A = anti-aliased integer
//   line; W = coordinates wrapped by the WrapMode.
//   Integer lines: a Bresenham line (error 2dy - dx) whose clipped form draws exactly the pixels
//   of the unclipped line that lie in the clip rectangle, for any 32-bit coordinates; L tells
//   whether the end point is drawn. Line forms report (X1, Y1, X2, Y2) with AREAINFO_LINE | 2
//   when they drew something.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/resamplers.h"
#include "gfx/system.h"

namespace gfx {

// A line, two pixels of margin.
inline constexpr std::uint32_t AREAINFO_LINE2 = AREAINFO_LINE | 2;

// ---- Bitmap onto bitmap (through BlockTransfer and StretchTransfer with the destination's
// clip rectangle and the source's DrawMode, OnPixelCombine and Resampler) ----

void DrawTo(TBitmap32& Src, TBitmap32& Dst);
void DrawTo(TBitmap32& Src, TBitmap32& Dst, std::int32_t DstX, std::int32_t DstY);
void DrawTo(TBitmap32& Src, TBitmap32& Dst, std::int32_t DstX, std::int32_t DstY,
            const TRect& SrcRect);
void DrawTo(TBitmap32& Src, TBitmap32& Dst, const TRect& DstRect);
void DrawTo(TBitmap32& Src, TBitmap32& Dst, const TRect& DstRect, const TRect& SrcRect);
// Src.DrawTo(Self, ...); nothing when Src is null.
void Draw(TBitmap32& Self, std::int32_t DstX, std::int32_t DstY, TBitmap32* Src);
void Draw(TBitmap32& Self, std::int32_t DstX, std::int32_t DstY, const TRect& SrcRect,
          TBitmap32* Src);
void Draw(TBitmap32& Self, const TRect& DstRect, const TRect& SrcRect, TBitmap32* Src);

// ---- Pixel access ----

// The pixel at (X, Y) brought into the clip rectangle by the WrapMode; OuterColor when the
// clip rectangle is empty.
TColor32 GetPixelW(const TBitmap32& B, std::int32_t X, std::int32_t Y);

// The bitmap unit's interpolator cell (the same forms as the resampler unit's).
inline TInterpolatorFunc Interpolator = plain::Interpolator;
void BindBitmapCells(const TCpuFeatures& features);

// At a 16.16 position: (v + 127) sar 8 gives 24.8, and the pixel there, its right neighbour
// and the two below are mixed with weights GammaTable[255 - fx] and GammaTable[fy xor 255].
// The unchecked form reads right and below, so it must not be used on the last row or column.
TColor32 GetPixelX(const TBitmap32& B, TFixed X, TFixed Y);
// OuterColor outside the clip rectangle; on its last row or column the edge pixels are reused.
TColor32 GetPixelXS(const TBitmap32& B, TFixed X, TFixed Y);
// The four pixels wrapped into the clip rectangle by the WrapMode.
TColor32 GetPixelXW(const TBitmap32& B, TFixed X, TFixed Y);
// The float forms: the position through Fixed, then the matching 16.16 reader.
TColor32 GetPixelF(const TBitmap32& B, float X, float Y);
TColor32 GetPixelFS(const TBitmap32& B, float X, float Y);

void SetPixelT(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value);
// Blends at Ptr, then advances it by one pixel.
void SetPixelT(TBitmap32& B, TColor32*& Ptr, TColor32 Value);
void SetPixelTS(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value);
// Anti-aliased at a 24.8 position: the four pixels around it receive the colour through the
// combine mode's master-alpha blend, weighted by the fractions. The S form skips pixels
// outside the clip rectangle.
void SetPixelT256(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value);
void SetPixelTS256(TBitmap32& B, std::int32_t X, std::int32_t Y, TColor32 Value);
// The same at a 16.16 position ((v + 127) sar 8) or a float one.
void SetPixelX(TBitmap32& B, TFixed X, TFixed Y, TColor32 Value);
void SetPixelXS(TBitmap32& B, TFixed X, TFixed Y, TColor32 Value);
void SetPixelF(TBitmap32& B, float X, float Y, TColor32 Value);
void SetPixelFS(TBitmap32& B, float X, float Y, TColor32 Value);

// Outside measuring mode sets every pixel's alpha to the low byte of AlphaValue; then Changed.
void ResetAlpha(TBitmap32& B, std::uint32_t AlphaValue = 255);

// ---- Horizontal and vertical lines (both ends included; the S forms report the pixels drawn,
// or in measuring mode those asked for) ----

void HorzLine(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value);
void HorzLineS(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value);
void HorzLineT(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value);
void HorzLineTS(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2, TColor32 Value);
// From X1 towards X2; the pattern advances over clipped pixels too, so it stays in place.
void HorzLineTSP(TBitmap32& B, std::int32_t X1, std::int32_t Y, std::int32_t X2);
void VertLine(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value);
void VertLineS(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value);
void VertLineT(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value);
void VertLineTS(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2, TColor32 Value);
void VertLineTSP(TBitmap32& B, std::int32_t X, std::int32_t Y1, std::int32_t Y2);

// ---- Free lines ----

void Line(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
          TColor32 Value, bool L = false);
void LineS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L = false);
void LineT(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L = false);
void LineTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
            TColor32 Value, bool L = false);
// Sub-pixel lines sampled once per pixel of length with the anti-aliased setter.
void LineX(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value,
           bool L = false);
void LineXS(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, TColor32 Value,
            bool L = false);
void LineXP(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L = false);
void LineXSP(TBitmap32& B, TFixed X1, TFixed Y1, TFixed X2, TFixed Y2, bool L = false);
void LineF(TBitmap32& B, float X1, float Y1, float X2, float Y2, TColor32 Value, bool L = false);
void LineFS(TBitmap32& B, float X1, float Y1, float X2, float Y2, TColor32 Value, bool L = false);
void LineFP(TBitmap32& B, float X1, float Y1, float X2, float Y2, bool L = false);
void LineFSP(TBitmap32& B, float X1, float Y1, float X2, float Y2, bool L = false);
// Anti-aliased integer lines: along the major axis the two pixels around the exact minor
// position share the colour.
void LineA(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
           TColor32 Value, bool L = false);
void LineAS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
            TColor32 Value, bool L = false);

// The pen: the line-to forms draw with PenColor without the last point, then move the pen.
void MoveTo(TBitmap32& B, std::int32_t X, std::int32_t Y);
void LineToS(TBitmap32& B, std::int32_t X, std::int32_t Y);
void LineToTS(TBitmap32& B, std::int32_t X, std::int32_t Y);
void LineToAS(TBitmap32& B, std::int32_t X, std::int32_t Y);
void MoveToX(TBitmap32& B, TFixed X, TFixed Y);
void MoveToF(TBitmap32& B, float X, float Y);
void LineToXS(TBitmap32& B, TFixed X, TFixed Y);
void LineToFS(TBitmap32& B, float X, float Y);
void LineToXSP(TBitmap32& B, TFixed X, TFixed Y);
void LineToFSP(TBitmap32& B, float X, float Y);
TPoint PenPos(const TBitmap32& B);
TFixedPoint PenPosX(const TBitmap32& B);

// ---- Rectangles (right and bottom exclusive) ----

// Unchecked; reports (X1, Y1, X2, Y2).
void FillRect(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
              TColor32 Value);
// Fills the part inside the clip rectangle; reports that part, or the whole rectangle when
// nothing of it is inside (and in measuring mode).
void FillRectS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
               TColor32 Value);
void FillRectS(TBitmap32& B, const TRect& ARect, TColor32 Value);
void FillRectT(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
               TColor32 Value);
void FillRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                TColor32 Value);
void FillRectTS(TBitmap32& B, const TRect& ARect, TColor32 Value);
// The outline: top row, then the bottom row, the left and the right column as far as the
// rectangle is tall and wide enough for them.
void FrameRectS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                TColor32 Value);
void FrameRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                 TColor32 Value);
void FrameRectTSP(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2);
// A raised (Contrast > 0) or sunken (< 0) edge: translucent white and black outlines.
void RaiseRectTS(TBitmap32& B, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
                 std::int32_t Contrast);

// ---- Stipple ----

void SetStipple(TBitmap32& B, const std::vector<TColor32>& NewStipple);
const std::vector<TColor32>& Stipple(const TBitmap32& B);
float StippleCounter(const TBitmap32& B);
void SetStippleCounter(TBitmap32& B, float Value);
float StippleStep(const TBitmap32& B);
void SetStippleStep(TBitmap32& B, float Value);
void AdvanceStippleCounter(TBitmap32& B, float LengthPixels);
// The colour at the counter (mixed between neighbouring entries), then the counter advances by
// StippleStep; 0xFF000000 without a pattern.
TColor32 GetStippleColor(TBitmap32& B);

// ---- Roll, flip, rotate ----

// Moves the pixel block by Dy x Width + Dx positions; with FillBack the uncovered rows and
// columns get FillColor. Shifts of a whole side or more clear to FillColor (with FillBack).
void Roll(TBitmap32& B, std::int32_t Dx, std::int32_t Dy, bool FillBack, TColor32 FillColor);
// Into Dst, or in place when Dst is null or B itself.
void FlipHorz(TBitmap32& B, TBitmap32* Dst = nullptr);
void FlipVert(TBitmap32& B, TBitmap32* Dst = nullptr);
// Counter-clockwise quarter turns: Rotate90 sends the top-right corner to the top left.
void Rotate90(TBitmap32& B, TBitmap32* Dst = nullptr);
void Rotate180(TBitmap32& B, TBitmap32* Dst = nullptr);
void Rotate270(TBitmap32& B, TBitmap32* Dst = nullptr);

}  // namespace gfx
