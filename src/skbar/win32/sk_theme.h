// Platform services of the skin painters, bound so that the program still loads where they are
// missing, and a theme handle with a seam for tests.
//   SkGradientFillProc / SkAlphaBlendProc: msimg32's entries, null when unavailable (or, for the
//   gradient, while a test has turned it off with SkSetGradientFillEnabled(false)).
//   SkDrawThemeTextExProc: uxtheme's composited text drawing (Windows Vista and later), or null.
//   SkOpenTheme: the process's open theme of one class in the visual style in use (opened on
//   first use, and again after the style changed; closed at exit), or null.
//   TSkTheme: the open theme of one class while it lives; empty when the theme cannot be opened
//   (no visual styles, an unknown class, or SkSetThemeOpenFails(true) in a test), and every
//   caller then draws the classic way.
//   SkIsGlassPainting: whether a control paints on composited glass.
#pragma once

#include <windows.h>

#include <uxtheme.h>

namespace ui {
class TControl;
}

namespace skbar {

using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                      BLENDFUNCTION);
using TDrawThemeTextExProc = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, LPRECT,
                                              const DTTOPTS*);

TGradientFillProc SkGradientFillProc();
TAlphaBlendProc SkAlphaBlendProc();
TDrawThemeTextExProc SkDrawThemeTextExProc();
void SkSetGradientFillEnabled(bool enabled);
void SkSetThemeOpenFails(bool fails);

// False unless the control's glass-painting state is set; then true unless its nearest
// double-buffered parent exists and is not a form (a buffered container paints no glass).
bool SkIsGlassPainting(const ui::TControl* control);

HTHEME SkOpenTheme(const wchar_t* themeClass);

class TSkTheme {
 public:
  explicit TSkTheme(const wchar_t* themeClass);
  TSkTheme(const TSkTheme&) = delete;
  TSkTheme& operator=(const TSkTheme&) = delete;

  explicit operator bool() const { return theme_ != nullptr; }
  HTHEME Handle() const { return theme_; }

 private:
  HTHEME theme_ = nullptr;
};

}  // namespace skbar
