// Drawing on a TBitmap32 through the platform: text with the bitmap's font (plain, or rendered
// anti-aliased into the alpha channel), and transfers to and from device contexts.
//   Textout forms report (X, Y, X + text width + 1, Y + text height + 1), or the rectangle the
//   platform formatted, also in measuring mode (where nothing is drawn).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/bitmap32.h"

namespace gfx {

// ExtTextOutW at (X, Y), clipped to the clip rectangle when the bitmap clips.
void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, std::wstring_view Text);
// The same, always clipped to ClipRect.
void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, const TRect& ClipRect,
             std::wstring_view Text);
// DrawTextW in a copy of DstRect with the platform's format Flags; reports the copy as the
// platform left it.
void Textout(TBitmap32& B, const TRect& DstRect, UINT Flags, std::wstring_view Text);
// The ANSI forms: the text through the system's code page, then as the wide forms.
void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, std::string_view Text);
void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, const TRect& ClipRect,
             std::string_view Text);
void Textout(TBitmap32& B, const TRect& DstRect, UINT Flags, std::string_view Text);
SIZE TextExtent(TBitmap32& B, std::string_view Text);
std::int32_t TextWidth(TBitmap32& B, std::string_view Text);
std::int32_t TextHeight(TBitmap32& B, std::string_view Text);
void RenderText(TBitmap32& B, std::int32_t X, std::int32_t Y, std::string_view Text,
                std::int32_t AALevel, TColor32 Color);
// The text's size in the bitmap's font; a bitmap without a context measures on the stock
// bitmap (locked for the call).
SIZE TextExtent(TBitmap32& B, std::wstring_view Text);
std::int32_t TextWidth(TBitmap32& B, std::wstring_view Text);
std::int32_t TextHeight(TBitmap32& B, std::wstring_view Text);
// The text in Color (its alpha as master alpha) blended at (X, Y) through the alpha channel:
// AALevel (-1..4) 1..4 draws 2^AALevel times larger and averages the blocks; 0 takes each
// drawn pixel's coverage; -1 lets the platform anti-alias.
void RenderText(TBitmap32& B, std::int32_t X, std::int32_t Y, std::wstring_view Text,
                std::int32_t AALevel, TColor32 Color);

// All pixels at (DstX, DstY), same size, copied (nothing when empty).
void DrawTo(const TBitmap32& Src, HDC Dst, std::int32_t DstX, std::int32_t DstY);
// SrcRect stretched over DstRect by the platform's block copy (nothing when empty).
void DrawTo(const TBitmap32& Src, HDC Dst, const TRect& DstRect, const TRect& SrcRect);
// SrcRect of a device context stretched over DstRect; then Changed(DstRect).
void Draw(TBitmap32& Self, const TRect& DstRect, const TRect& SrcRect, HDC Src);
// SrcRect stretched over DstRect of a device context with the bitmap's resampler, in tiles of at
// most 1024 x 1024 destination pixels.
void TileTo(TBitmap32& Src, HDC Dst, const TRect& DstRect, const TRect& SrcRect);

}  // namespace gfx
