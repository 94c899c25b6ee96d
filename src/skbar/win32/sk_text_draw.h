// Caption text on a device context or canvas: text size, rotated fonts and text, text with a
// one-pixel glow, text on composited glass and the caption layout measured with the canvas's
// font. Rectangles are in and out: with DT_CALCRECT they receive the measured size.
#pragma once

#include <windows.h>

#include <string>

#include "skbar/sk_text.h"
#include "ui/colors.h"
#include "ui/win32/graphics.h"

namespace skbar {

struct TSkBarTextInfo {
  std::wstring Text;
  TSkTextRotationAngle TextAngle = TSkTextRotationAngle::tra0;
  UINT TextFlags = 0;
  TSize TextSize;
  bool IsCaptionShown = false;
  bool IsTextRotated = false;
};

// Width and height of the text in the context's font, its "&" characters stripped when asked.
TSize SkGetTextSize(HDC dc, const std::wstring& text, bool stripAccelChars);
// A font like the context's current one, turned by `escapement` tenths of a degree.
ui::TGdiHandle<HFONT> SkCreateRotatedFont(HDC dc, int escapement);
// Returns the text height (0 for an empty text).
int SkDrawRotatedText(HDC dc, const std::wstring& text, TRect& rect, TSkTextRotationAngle rotation,
                      UINT flags);
int SkDrawTextInfo(ui::TCanvas& canvas, TRect& rect, const TSkBarTextInfo& textInfo);
int SkDrawTextGlow(ui::TCanvas& canvas, const std::wstring& text, TRect& rect,
                   TSkTextRotationAngle textAngle, ui::TColor glowColor, TSkGlowDirection glow,
                   UINT flags);
// Composited theme text on a 32-bit bitmap blended onto the canvas; plain text when the
// platform has no composited text or the window theme cannot be opened.
int SkDrawGlassText(ui::TCanvas& canvas, const std::wstring& text, TRect& rect, UINT flags,
                    int glowSize);
// The caption layout measured with the canvas's font (the plain extent is used for bold fonts).
TSkCaptionLayout SkCalcCaptionLayout(ui::TCanvas& canvas, TSkCaptionLayoutInput input);

}  // namespace skbar
