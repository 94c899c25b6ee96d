#include "skbar/win32/sk_skin_paint.h"

#include <uxtheme.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "skbar/brushed_texture.h"
#include "skbar/default_skins.h"
#include "skbar/sk_geometry.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

constexpr int kMenuPopupCheck = 11;  // the MENU class's popup check part

// Draws a themed menu check part at its true size centred in `r`; false when the menu theme
// cannot be opened, so that the caller draws the classic mark.
bool DrawThemedMenuCheck(HDC dc, const TRect& r, int state) {
  const TSkTheme theme(L"MENU");
  if (!theme || !dc) return false;
  SIZE size{};
  if (FAILED(
          GetThemePartSize(theme.Handle(), dc, kMenuPopupCheck, state, nullptr, TS_TRUE, &size))) {
    return false;
  }
  const RECT at = ui::ToRECT(SkCenterRect(r, size.cx, size.cy));
  return SUCCEEDED(DrawThemeBackground(theme.Handle(), dc, kMenuPopupCheck, state, &at, nullptr));
}

bool VistaThemedMenus() {
  return SkIsVistaOrLater() && SkEffectiveSkinType(sknSkin) == sknWindows;
}

// The colour of a menu-style mark: the system's menu text, else the skin's text colour of the
// check box (radio button) with visual styles or of the menu item under a skin.
TColor MenuMarkColor(const TSkBarSkinOptions& skin, TSkBarSkinComponentsType windowsComponent,
                     TSkBarSkinStatesType state) {
  switch (SkEffectiveSkinType(sknSkin)) {
    case sknWindows:
      return skin.GetTextColor(windowsComponent, state, sknSkin);
    case sknSkin:
      return skin.GetTextColor(skncMenuItem, state, sknSkin);
    default:
      return ui::clMenuText;
  }
}

void FillRoundRect(ui::TCanvas& canvas, const TRect& r, TColor color) {
  canvas.Pen().SetColor(color);
  canvas.Brush().SetColor(color);
  RoundRect(canvas.SelectedHandle(), r.left, r.top, r.right, r.bottom, 2, 2);
}

// The brushed-metal texture over `r`, its rows tiled from the context's brush origin so that
// neighbouring controls continue one texture.
void PaintBrushed(ui::TCanvas& canvas, const TRect& r, TColor color, int roughness) {
  const HDC dc = canvas.Handle();
  const int w = r.Width(), h = r.Height();
  if (!dc || w <= 0 || h <= 0) return;
  const TSkDibSurface surface(dc, w, h);
  if (!surface.Ok()) return;
  POINT origin{};
  GetBrushOrgEx(dc, &origin);
  const TBrushedNoise& noise = SkBrushedNoise();
  RenderBrushed(noise, SkBrushedTextures().Get(noise, color, roughness), r, origin.x, origin.y,
                surface.Pixels(), w);
  GdiFlush();
  BitBlt(dc, r.left, r.top, w, h, surface.Dc(), 0, 0, SRCCOPY);
}

// Lines across the top of a rectangle: {indent, colour} per row from the top.
void TopLines(ui::TCanvas& canvas, const TRect& r,
              std::initializer_list<std::pair<int, TColor>> lines) {
  int y = r.top;
  for (const auto& [indent, color] : lines) {
    SkDrawLine(canvas, r.left + indent, y, r.right - indent, y, color);
    ++y;
  }
}

// A category's body through `paintBody` (1 pixel inside the borders when they follow), then its
// borders; each only when asked and set.
template <class PaintBody>
void PaintCategory(ui::TCanvas& canvas, const TRect& r, const TSkBarSkinOptionCategory& category,
                   bool background, bool borders, TAnchors forceRectBorders,
                   const PaintBody& paintBody) {
  const bool drawBorders = borders && !category.Borders.IsEmpty();
  if (background && !category.Body.IsEmpty())
    paintBody(drawBorders ? TRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1} : r);
  if (drawBorders) SkPaintSkinBorders(canvas, r, category.Borders, forceRectBorders);
}

}  // namespace

void TSkBarSkinOptions::PaintBackground(ui::TCanvas& canvas, const TRect& r,
                                        TSkBarSkinComponentsType component,
                                        TSkBarSkinStatesType state, bool background, bool borders,
                                        bool vertical, TAnchors forceRectBorders) const {
  const TSkBarSkinOptionCategory& category = Options(component, state);
  PaintCategory(canvas, r, category, background, borders, forceRectBorders, [&](const TRect& body) {
    SkPaintSkinBackground(canvas, body, category.Body, vertical);
  });
}

void TSkBarAluminumSkin::PaintBackground(ui::TCanvas& canvas, const TRect& r,
                                         TSkBarSkinComponentsType component,
                                         TSkBarSkinStatesType state, bool background, bool borders,
                                         bool vertical, TAnchors forceRectBorders) const {
  const TColor brushed = GetBrushedFillColor(component);
  if (brushed == clNone) {
    TSkBarSkinOptions::PaintBackground(canvas, r, component, state, background, borders, vertical,
                                       forceRectBorders);
    return;
  }
  PaintCategory(canvas, r, Options(component, state), background, borders, forceRectBorders,
                [&](const TRect& body) { PaintBrushed(canvas, body, brushed, Roughness()); });
}

void TSkBarHumanSkin::PaintBackground(ui::TCanvas& canvas, const TRect& r,
                                      TSkBarSkinComponentsType component,
                                      TSkBarSkinStatesType state, bool background, bool borders,
                                      bool vertical, TAnchors forceRectBorders) const {
  TSkBarSkinOptions::PaintBackground(canvas, r, component, state, background, borders, vertical,
                                     forceRectBorders);
  if (component == skncTab && Index(state) >= Index(sknsHotTrack))
    TopLines(canvas, r, {{2, 0x1E4B8F}, {1, 0x1975FF}, {0, 0x1975FF}});
}

void TSkBarLeopardSkin::PaintBackground(ui::TCanvas& canvas, const TRect& r,
                                        TSkBarSkinComponentsType component,
                                        TSkBarSkinStatesType state, bool background, bool borders,
                                        bool vertical, TAnchors forceRectBorders) const {
  TSkBarSkinOptions::PaintBackground(canvas, r, component, state, background, borders, vertical,
                                     forceRectBorders);
  if (component == skncTabBackground) TopLines(canvas, r, {{0, 0xDB9E79}, {0, 0xFAEDAF}});
}

void TSkBarSkinOptions::PaintMenuCheckMark(ui::TCanvas& canvas, const TRect& r, bool checked,
                                           bool grayed, bool menuItemStyle,
                                           TSkBarSkinStatesType state) const {
  if (menuItemStyle && VistaThemedMenus() &&
      DrawThemedMenuCheck(canvas.Handle(), r, state == sknsDisabled ? 2 : 1)) {
    return;
  }
  const TSkKeepPenBrush keep(canvas);
  if (menuItemStyle) {
    // The mark shows whatever `checked` says: the caller asks only for checked items.
    const TColor color = MenuMarkColor(*this, skncCheckBox, state);
    if (color != clNone) SkFillPolygon(canvas, SkMenuCheckMarkPoints(r).data(), 7, color);
    return;
  }
  const TColor color = GetTextColor(skncCheckBox, state, sknSkin);
  PaintBackground(canvas, r, skncCheckBox, state, true, true, false, 0);
  if (color == clNone) return;
  if (checked) {
    SkFillPolygon(canvas, SkCheckBoxMarkPoints(r).data(), 7, color);
  } else if (grayed) {
    canvas.Brush().SetColor(color);
    canvas.FillRect(SkCheckBoxGrayedRect(r));
  }
}

void TSkBarSkinOptions::PaintMenuRadioMark(ui::TCanvas& canvas, const TRect& r, bool checked,
                                           bool menuItemStyle, TSkBarSkinStatesType state) const {
  if (menuItemStyle && VistaThemedMenus() &&
      DrawThemedMenuCheck(canvas.Handle(), r, state == sknsDisabled ? 4 : 3)) {
    return;
  }
  const TSkKeepPenBrush keep(canvas);
  if (menuItemStyle) {
    const TColor color = MenuMarkColor(*this, skncRadioButton, state);
    if (color != clNone) FillRoundRect(canvas, SkMenuRadioMarkRect(r), color);
    return;
  }
  const TColor dotColor = checked ? GetTextColor(skncRadioButton, state, sknSkin) : clNone;
  const TColor outlineColor = Options(skncRadioButton, state).Borders.Color1;
  const TSkRadioButtonShape shape = SkRadioButtonShape(r);
  std::vector<POINT> outline;
  for (const TPoint& p : shape.outline) outline.push_back({p.x, p.y});
  const HDC dc = canvas.Handle();
  if (!dc) return;
  {
    // The body is clipped to the round outline; the context's own clipping comes back after.
    const ui::TGdiHandle<HRGN> region(
        CreatePolygonRgn(outline.data(), static_cast<int>(outline.size()), WINDING));
    const int saved = SaveDC(dc);
    ExtSelectClipRgn(dc, region.get(), RGN_AND);
    PaintBackground(canvas, shape.box, skncRadioButton, state, true, false, false, 0);
    RestoreDC(dc, saved);
  }
  if (outlineColor != clNone) {
    canvas.Pen().SetColor(outlineColor);
    Polyline(canvas.SelectedHandle(), outline.data(), static_cast<int>(outline.size()));
  }
  if (dotColor != clNone) FillRoundRect(canvas, shape.dot, dotColor);
}

void TSkBarSkinOptions::PaintWindowFrame(ui::TCanvas& canvas, const TRect& r, bool isActive,
                                         bool drawBody, int borderSize) const {
  const TSkBarSkinStatesType state =
      !isActive && !Options(skncWindow, sknsDisabled).IsEmpty() ? sknsDisabled : sknsNormal;
  if (drawBody) PaintBackground(canvas, r, skncWindow, state, true, false, false, 0);
  const TSkBarSkinOptionEntry& borders = Options(skncWindow, state).Borders;
  const TSkKeepPenBrush keep(canvas);
  for (const TSkFrameRing& ring : SkWindowFrameRings(
           r, {borders.Color1, borders.Color2, borders.Color3, borders.Color4}, borderSize)) {
    canvas.Brush().SetColor(ring.color);
    canvas.FrameRect(ring.rect);
  }
}

}  // namespace skbar
