#include "skbar/win32/sk_text_draw.h"

#include <uxtheme.h>

#include <string_view>

#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_theme.h"
#include "tb/win32/common.h"

namespace skbar {

static_assert(kDtCenter == DT_CENTER && kDtRight == DT_RIGHT && kDtVCenter == DT_VCENTER &&
              kDtWordBreak == DT_WORDBREAK && kDtNoClip == DT_NOCLIP &&
              kDtCalcRect == DT_CALCRECT && kDtNoPrefix == DT_NOPREFIX &&
              kDtPathEllipsis == DT_PATH_ELLIPSIS && kDtEndEllipsis == DT_END_ELLIPSIS &&
              kDtHidePrefix == DT_HIDEPREFIX);

namespace {

int TextWidth(HDC dc, std::wstring_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceExists(HDC dc, const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExW(dc, &query, &FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

// Selects a font into a context for the length of a scope.
class TSelectedFont {
 public:
  TSelectedFont(HDC dc, HFONT font) : dc_(dc), old_(SelectObject(dc, font)) {}
  TSelectedFont(const TSelectedFont&) = delete;
  TSelectedFont& operator=(const TSelectedFont&) = delete;
  ~TSelectedFont() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

RECT ToRect(const TRect& r) {
  return ui::ToRECT(r);
}

}  // namespace

TSize SkGetTextSize(HDC dc, const std::wstring& text, bool stripAccelChars) {
  const std::wstring shown = stripAccelChars ? SkStripAccelChars(text) : text;
  SIZE size{};
  GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
  return {size.cx, size.cy};
}

ui::TGdiHandle<HFONT> SkCreateRotatedFont(HDC dc, int escapement) {
  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
  font.lfEscapement = escapement;
  font.lfOrientation = escapement;
  font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::wstring face = font.lfFaceName;
  if (SkSameText(face, L"MS Sans Serif") || SkSameText(face, L"Microsoft Sans Serif")) {
    // The bitmap face cannot turn: its TrueType look-alike of every supported system.
    face = L"Tahoma";
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    font.lfHeight =
        font.lfHeight > 0 ? metrics.tmHeight : metrics.tmInternalLeading - metrics.tmHeight;
  }
  if (face.size() < 63 && FaceExists(dc, L"@" + face)) face = L"@" + face;
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return ui::TGdiHandle<HFONT>(CreateFontIndirectW(&font));
}

int SkDrawRotatedText(HDC dc, const std::wstring& text, TRect& rect, TSkTextRotationAngle rotation,
                      UINT flags) {
  if (text.empty() || !dc) return 0;
  const int escapement = rotation == TSkTextRotationAngle::tra90    ? 900
                         : rotation == TSkTextRotationAngle::tra270 ? 2700
                                                                    : 0;
  const ui::TGdiHandle<HFONT> font = SkCreateRotatedFont(dc, escapement);
  const TSelectedFont selected(dc, font.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const TSkRotatedTextPlan plan = SkPlanRotatedText(
      text, rect, rotation, flags, {metrics.tmHeight, metrics.tmAscent, metrics.tmDescent},
      [dc](std::wstring_view part) { return TextWidth(dc, part); });
  if (flags & DT_CALCRECT) {
    rect.right = rect.left + plan.extent.cx;
    rect.bottom = rect.top + plan.extent.cy;
    return metrics.tmHeight;
  }
  const bool clip = !(flags & DT_NOCLIP);
  const int saved = clip ? SaveDC(dc) : 0;
  if (clip) IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  const UINT align = rotation == TSkTextRotationAngle::tra90    ? TA_RIGHT | TA_TOP
                     : rotation == TSkTextRotationAngle::tra270 ? TA_LEFT | TA_BOTTOM
                                                                : TA_LEFT | TA_TOP;
  const UINT oldAlign = SetTextAlign(dc, align);
  TextOutW(dc, plan.origin.x, plan.origin.y, plan.text.c_str(), static_cast<int>(plan.text.size()));
  SetTextAlign(dc, oldAlign);
  if (plan.underline) {
    const ui::TGdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, GetTextColor(dc)));
    const HGDIOBJ oldPen = SelectObject(dc, pen.get());
    POINT oldPosition{};
    if (rotation == TSkTextRotationAngle::tra0) {
      MoveToEx(dc, plan.underlineFrom, plan.underlineX, &oldPosition);
      LineTo(dc, plan.underlineTo, plan.underlineX);
    } else {
      MoveToEx(dc, plan.underlineX, plan.underlineFrom, &oldPosition);
      LineTo(dc, plan.underlineX, plan.underlineTo);
    }
    MoveToEx(dc, oldPosition.x, oldPosition.y, nullptr);
    SelectObject(dc, oldPen);
  }
  if (clip) RestoreDC(dc, saved);
  return metrics.tmHeight;
}

int SkDrawTextInfo(ui::TCanvas& canvas, TRect& rect, const TSkBarTextInfo& textInfo) {
  const HDC dc = canvas.SelectedHandle();
  if (textInfo.TextAngle != TSkTextRotationAngle::tra0) {
    return SkDrawRotatedText(dc, textInfo.Text, rect, textInfo.TextAngle, textInfo.TextFlags);
  }
  RECT r = ToRect(rect);
  const int height = tb::DrawCaptionText(dc, textInfo.Text, r, textInfo.TextFlags);
  if (textInfo.TextFlags & DT_CALCRECT) rect = ui::FromRECT(r);
  return height;
}

int SkDrawTextGlow(ui::TCanvas& canvas, const std::wstring& text, TRect& rect,
                   TSkTextRotationAngle textAngle, ui::TColor glowColor, TSkGlowDirection glow,
                   UINT flags) {
  const bool measuring = flags & DT_CALCRECT;
  if (!measuring && (rect.Width() <= 0 || rect.Height() <= 0)) return 0;
  ui::TBrush& brush = canvas.Brush();
  const ui::TBrushStyle oldStyle = brush.Style();
  const ui::TColor oldColor = brush.Color();
  brush.SetStyle(ui::TBrushStyle::bsClear);
  TSkBarTextInfo info{text, textAngle, flags, {}, true, textAngle != TSkTextRotationAngle::tra0};
  if (glow != TSkGlowDirection::gldNone && !measuring && glowColor != clNone) {
    const ui::TColor fontColor = canvas.Font().Color();
    canvas.Font().SetColor(glowColor);
    const auto drawAt = [&](int dx, int dy) {
      TRect moved{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
      SkDrawTextInfo(canvas, moved, info);
    };
    if (glow == TSkGlowDirection::gldAll) {
      drawAt(0, -1), drawAt(0, 1), drawAt(-1, 0), drawAt(1, 0);
    } else {
      const int d = glow == TSkGlowDirection::gldTopLeft ? -1 : 1;
      drawAt(d, d);
    }
    canvas.Font().SetColor(fontColor);
  }
  const int height = SkDrawTextInfo(canvas, rect, info);
  if (measuring && (canvas.Font().Style() & ui::fsItalic)) {
    rect.right += 1 + 2 * (canvas.Font().Size() / 8);
  }
  brush.SetStyle(oldStyle);
  brush.SetColor(oldColor);
  return height;
}

int SkDrawGlassText(ui::TCanvas& canvas, const std::wstring& text, TRect& rect, UINT flags,
                    int glowSize) {
  const auto plainText = [&] {
    return SkDrawTextGlow(canvas, text, rect, TSkTextRotationAngle::tra0, clNone,
                          TSkGlowDirection::gldNone, flags);
  };
  const TDrawThemeTextExProc drawThemeTextEx = SkDrawThemeTextExProc();
  const TSkTheme theme(L"WINDOW");
  if (!drawThemeTextEx || !theme) return plainText();
  const HDC dc = canvas.SelectedHandle();
  DTTOPTS options{};
  options.dwSize = sizeof(options);
  options.dwFlags = DTT_TEXTCOLOR | DTT_GLOWSIZE | DTT_COMPOSITED;
  options.crText = ui::ColorToRGBValue(canvas.Font().Color());
  options.iGlowSize = glowSize;
  if (flags & DT_CALCRECT) {
    options.dwFlags |= DTT_CALCRECT;
    RECT r = ToRect(rect);
    if (FAILED(drawThemeTextEx(theme.Handle(), dc, 0, 0, text.c_str(), -1, flags, &r, &options))) {
      return plainText();
    }
    rect = ui::FromRECT(r);
    return rect.Height();
  }
  const int w = rect.Width(), h = rect.Height();
  if (w <= 0 || h <= 0) return 0;
  const TSkDibSurface surface(dc, w, h);
  if (!surface.Ok()) return plainText();
  const HGDIOBJ oldFont = SelectObject(surface.Dc(), canvas.Font().Handle());
  RECT r{0, 0, w, h};
  const bool drawn = SUCCEEDED(
      drawThemeTextEx(theme.Handle(), surface.Dc(), 0, 0, text.c_str(), -1, flags, &r, &options));
  if (drawn) SkAlphaBlend(surface.Dc(), dc, {0, 0, w, h}, true, 255, rect);
  SelectObject(surface.Dc(), oldFont);
  return drawn ? r.bottom - r.top : plainText();
}

TSkCaptionLayout SkCalcCaptionLayout(ui::TCanvas& canvas, TSkCaptionLayoutInput input) {
  if (canvas.Font().Style() & ui::fsBold) {
    input.plainExtent = [&canvas](const std::wstring& text) {
      return SkGetTextSize(canvas.SelectedHandle(), text, false);
    };
  }
  return SkCalcCaptionLayout(input,
                             [&canvas](const std::wstring& text, int width, std::uint32_t flags) {
                               TRect r{0, 0, width, 1};
                               SkDrawTextGlow(canvas, text, r, TSkTextRotationAngle::tra0, clNone,
                                              TSkGlowDirection::gldNone, flags | DT_CALCRECT);
                               return TSize{r.Width(), r.Height()};
                             });
}

}  // namespace skbar
