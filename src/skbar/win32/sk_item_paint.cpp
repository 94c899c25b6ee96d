#include "skbar/win32/sk_item_paint.h"

#include <windows.h>

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"
#include "tb/dock_layout.h"
#include "tb/win32/common.h"
#include "tb/win32/dock.h"
#include "tb/win32/dockable_window.h"
#include "ui/win32/image_list.h"

namespace skbar {

namespace {

// Theme parts and states.
constexpr int kMenuBarItem = 8, kMenuPopupBackground = 9, kMenuPopupBorders = 10,
              kMenuPopupCheckBackground = 12, kMenuPopupGutter = 13, kMenuPopupItem = 14,
              kMenuPopupSeparator = 15;
constexpr int kToolbarSeparator = 5, kToolbarSeparatorVert = 6;
// The divider of a split item in a menu: this far from the item's right edge.
constexpr int kMenuSplitDivider = 14;

bool DrawPart(const wchar_t* themeClass, HDC dc, int part, int state, const TRect& r) {
  const TSkTheme theme(themeClass);
  if (!theme) return false;
  const RECT rect = ui::ToRECT(r);
  return SUCCEEDED(DrawThemeBackground(theme.Handle(), dc, part, state, &rect, nullptr));
}

bool VistaThemed(TSkBarSkinType skinType) {
  return skinType == sknWindows && SkIsVistaOrLater();
}

void Edge(ui::TCanvas& canvas, const TRect& r, UINT edge, TSkBarComboPart part) {
  RECT rect = ui::ToRECT(r);
  UINT flags = BF_RECT;
  if (part == cpSplitLeft) flags &= ~static_cast<UINT>(BF_RIGHT);
  if (part == cpSplitRight) flags &= ~static_cast<UINT>(BF_LEFT);
  DrawEdge(canvas.Handle(), &rect, edge, flags);
}

void FillDither(ui::TCanvas& canvas, const TRect& r) {
  const ui::TGdiHandle<HBRUSH> brush(tb::MakeHalftoneBrush());
  if (!brush) return;
  const HDC dc = canvas.Handle();
  const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
  const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  const RECT rect = ui::ToRECT(r);
  FillRect(dc, &rect, brush.get());
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

int ThemeButtonState(TSkBarSkinStatesType state) {
  switch (state) {
    case sknsHotTrack:
      return 2;
    case sknsPushed:
      return 3;
    case sknsDisabled:
      return 4;
    case sknsChecked:
      return 5;
    case sknsCheckedAndHotTrack:
      return 6;
    default:
      return 1;
  }
}

// The item frame routine: toolbar items, menu-bar items and the classic parts of menu items.
void PaintItemFrame(ui::TCanvas& canvas, const TRect& r, const TSkBarMenuItemInfo& info,
                    TSkBarSkinStatesType state, TSkBarComboPart part) {
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  switch (info.SkinType) {
    case sknNone:
      if ((state == sknsChecked && !info.HotTrack) ||
          (info.ToolbarStyle && !info.Enabled && info.Checked)) {
        SkPaintToolbarButtonFrame(canvas, r, sknsChecked, part, sknNone);
      } else if (state != sknsNormal) {
        SkPaintToolbarButtonFrame(canvas, r, state, part, sknNone);
      }
      return;
    case sknWindows:
      if (info.IsOnMenuBar) {
        if (SkIsVistaOrLater()) {
          const int themeState = state == sknsDisabled ? 4
                                 : state == sknsPushed ? 3
                                 : state == sknsNormal ? 1
                                                       : 2;
          if (DrawPart(L"MENU", canvas.Handle(), kMenuBarItem, themeState, r)) return;
        }
        if (state == sknsHotTrack || state == sknsPushed || state == sknsChecked ||
            state == sknsCheckedAndHotTrack) {
          SkFillRect(canvas, r, ui::clHighlight);
        }
        return;
      }
      SkPaintToolbarButtonFrame(canvas, r, state, part, sknWindows);
      return;
    case sknSkin:
      if (info.ToolbarStyle && info.IsOpen && skin.OfficePopup()) {
        SkPaintBackground(skin, canvas, {r.left, r.top, r.right, r.bottom + 2}, skncOpenToolbarItem,
                          sknsNormal, true, true, false, akBottom);
      } else if (info.IsOnMenuBar) {
        SkPaintBackground(skin, canvas, r, skncMenuBarItem, state, true, true);
      } else {
        SkPaintToolbarButtonFrame(canvas, r, state, part, sknSkin);
      }
      return;
  }
}

}  // namespace

void SkPaintToolbarButtonFrame(ui::TCanvas& canvas, const TRect& r, TSkBarSkinStatesType state,
                               TSkBarComboPart comboPart, TSkBarSkinType skinType) {
  if (skinType == sknWindows) {
    const int part = comboPart == cpCombo        ? 2
                     : comboPart == cpSplitLeft  ? 3
                     : comboPart == cpSplitRight ? 4
                                                 : 1;
    if (DrawPart(L"TOOLBAR", canvas.Handle(), part, ThemeButtonState(state), r)) return;
    skinType = sknNone;
  }
  if (skinType == sknSkin) {
    const TAnchors open = comboPart == cpSplitLeft    ? akRight
                          : comboPart == cpSplitRight ? akLeft
                                                      : 0;
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncToolbarItem, state, true, true, false, open);
    return;
  }
  switch (state) {
    case sknsHotTrack:
      Edge(canvas, r, BDR_RAISEDINNER, comboPart);
      break;
    case sknsPushed:
    case sknsCheckedAndHotTrack:
      Edge(canvas, r, BDR_SUNKENOUTER, comboPart);
      break;
    case sknsChecked:
      FillDither(canvas, r);
      Edge(canvas, r, BDR_SUNKENOUTER, comboPart);
      break;
    default:
      break;
  }
}

void SkPaintMenuItemBackground(ui::TCanvas& canvas, const TRect& r,
                               const TSkBarMenuItemInfo& info) {
  if (info.ToolbarStyle) {
    const bool hasCombo = info.ComboRect.right > info.ComboRect.left;
    if (info.IsSplit && hasCombo && info.IsOpen && SkCurrentSkin().OfficePopup()) {
      // Open under a skin whose popups join their item: one piece, like the popup below it.
      PaintItemFrame(canvas, {r.left, r.top, info.ComboRect.right, r.bottom}, info, info.State,
                     cpNone);
    } else if (info.IsSplit && hasCombo) {
      TRect button = r;
      button.right = info.ComboRect.left;
      if (info.SkinType == sknSkin) button.right += 2;
      PaintItemFrame(canvas, button, info, info.State, cpSplitLeft);
      PaintItemFrame(canvas, info.ComboRect, info, info.ComboState, cpSplitRight);
    } else {
      PaintItemFrame(canvas, r, info, info.State, cpNone);
    }
    return;
  }
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  const bool vista = VistaThemed(info.SkinType);
  // The visual styles of Vista and later have a check background for disabled items too.
  const bool checkFrame =
      info.Checked &&
      (info.SkinType == sknSkin ? info.Enabled : vista || info.Enabled || info.SkinType == sknNone);
  const TSkBarMenuItemMarginsInfo& m = info.MenuMargins;
  const TRect column{r.left + m.Margins.left, r.top, r.left + m.Margins.left + m.GutterSize,
                     r.bottom};
  if (info.HotTrack && !(info.State == sknsDisabled && skin.OfficeMenu())) {
    TRect highlight = r;
    if (checkFrame) {
      highlight.left = column.right + 1;
      if (info.SkinType == sknSkin &&
          skin.Options(skncMenuItem, sknsCheckedAndHotTrack).Borders.Color1 != clNone) {
        highlight.left += 3;
      }
    }
    if (vista) {
      if (!DrawPart(L"MENU", canvas.Handle(), kMenuPopupItem, info.Enabled ? 2 : 4, highlight)) {
        SkFillRect(canvas, highlight, ui::clHighlight);
      }
    } else if (info.SkinType == sknSkin) {
      SkPaintBackground(skin, canvas, highlight, skncMenuItem, info.State, true, true);
    } else {
      // Filled, so that the highlight-text caption of a hot item stays readable.
      SkFillRect(canvas, highlight, ui::clHighlight);
    }
  }
  const int checkState = !info.Enabled ? 1 : info.ImageShown ? 3 : 2;
  if (checkFrame && !(vista && DrawPart(L"MENU", canvas.Handle(), kMenuPopupCheckBackground,
                                        checkState, column))) {
    if (info.SkinType == sknSkin) {
      SkPaintBackground(skin, canvas, column, skncMenuItem, info.State, true, true);
    } else {
      PaintItemFrame(canvas, column, info, info.HotTrack ? sknsCheckedAndHotTrack : sknsChecked,
                     cpNone);
    }
  }
  // A split item's submenu part is set off by a vertical line.
  if (info.IsSplit) {
    const TColor color = info.SkinType == sknSkin
                             ? skin.Options(skncMenuItem, info.State).Borders.Color1
                             : ui::clBtnShadow;
    const int x = r.right - kMenuSplitDivider;
    SkDrawLine(canvas, x, r.top + 1, x, r.bottom - 1, color);
  }
}

void SkPaintMenuItemImage(ui::TCanvas& canvas, const TRect& r, const TSkBarMenuItemInfo& info,
                          ui::TImageList& images, int index) {
  if (info.Enabled && info.HotTrack && !info.Pushed && SkCurrentSkin().OfficeIcons()) {
    SkDrawShadedImage(canvas, {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, images, index);
    SkDrawImageListImage(canvas, {r.left - 1, r.top - 1, r.right - 1, r.bottom - 1}, &images, false,
                         true, index);
    return;
  }
  SkDrawImageListImage(canvas, r, &images, false, info.Enabled, index);
}

void SkPaintMenuSeparator(ui::TCanvas& canvas, const TRect& r, bool vertical, bool inMenu,
                          TSkBarSkinType skinType) {
  const HDC dc = canvas.Handle();
  if (skinType == sknSkin) {
    const TSkBarSkinOptionEntry& entry = SkCurrentSkin().Options(skncSeparator).Body;
    if (vertical) {
      const int x = r.left + r.Width() / 2 - 1;
      SkDrawLine(canvas, x, r.top + 3, x, r.bottom - 3, entry.Color1);
      SkDrawLine(canvas, x + 1, r.top + 3, x + 1, r.bottom - 3, entry.Color2);
    } else {
      const int y = r.top + r.Height() / 2 - 1;
      SkDrawLine(canvas, r.left, y, r.right, y, entry.Color1);
      SkDrawLine(canvas, r.left, y + 1, r.right, y + 1, entry.Color2);
    }
    return;
  }
  if (skinType == sknWindows) {
    if (!inMenu) {
      if (DrawPart(L"TOOLBAR", dc, vertical ? kToolbarSeparator : kToolbarSeparatorVert, 1, r))
        return;
    } else if (SkIsVistaOrLater()) {
      const TSkTheme theme(L"MENU");
      SIZE size{};
      if (theme && SUCCEEDED(GetThemePartSize(theme.Handle(), dc, kMenuPopupSeparator, 0, nullptr,
                                              TS_TRUE, &size))) {
        const int top = r.top + (r.Height() - size.cy) / 2;
        if (DrawPart(L"MENU", dc, kMenuPopupSeparator, 0, {r.left, top, r.right, top + size.cy}))
          return;
      }
    }
  }
  RECT line = ui::ToRECT(r);
  if (vertical) {
    line.left = r.left + r.Width() / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
  } else {
    line.top = r.top + r.Height() / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
  }
}

void SkPaintGutter(ui::TCanvas& canvas, const TRect& r, TSkBarSkinType skinType) {
  if (skinType == sknWindows && SkIsVistaOrLater()) {
    DrawPart(L"MENU", canvas.Handle(), kMenuPopupGutter, 0, r);
  } else if (skinType == sknSkin) {
    const TSkBarSkinOptionCategory& gutter = SkCurrentSkin().Options(skncGutter);
    SkPaintSkinBackground(canvas, r, gutter.Body, false);
    SkDrawLine(canvas, r.right - 2, r.top, r.right - 2, r.bottom, gutter.Borders.Color1);
    SkDrawLine(canvas, r.right - 1, r.top, r.right - 1, r.bottom, gutter.Borders.Color2);
  }
}

void SkPaintPopupBackground(ui::TCanvas& canvas, const TRect& r, const TRect& gutter,
                            TSkBarSkinType skinType) {
  const HDC dc = canvas.Handle();
  bool painted = false;
  if (skinType == sknSkin) {
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncPopup, sknsNormal, true, true);
    painted = true;
  } else if (VistaThemed(skinType)) {
    painted = DrawPart(L"MENU", dc, kMenuPopupBorders, 0, r) &&
              DrawPart(L"MENU", dc, kMenuPopupBackground, 0,
                       {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2});
  }
  if (!painted) {
    SkFillRect(canvas, r, ui::clMenu);
    BOOL flat = FALSE;
    SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    if (flat) {
      const RECT frame = ui::ToRECT(r);
      FrameRect(dc, &frame, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
      RECT frame = ui::ToRECT(r);
      DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    }
    skinType = sknNone;
  }
  if (gutter.right > gutter.left) SkPaintGutter(canvas, gutter, skinType);
}

void SkPaintTitleBar(ui::TCanvas& canvas, const TRect& r, bool active, TSkBarSkinType skinType) {
  const HDC dc = canvas.Handle();
  if (skinType == sknSkin) {
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncWindowTitleBar,
                      active ? sknsNormal : sknsDisabled, true, true);
    return;
  }
  constexpr int kSmallCaption = 2;
  if (skinType == sknWindows && DrawPart(L"WINDOW", dc, kSmallCaption, active ? 1 : 2, r)) return;
  BOOL gradient = FALSE;
  SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  const RECT rect = ui::ToRECT(r);
  DrawCaption(GetDesktopWindow(), dc, &rect,
              DC_TEXT | (active ? DC_ACTIVE : 0) | (gradient ? DC_GRADIENT : 0));
}

void SkPaintStatusBar(ui::TCanvas& canvas, const TRect& r, const TRect& grip,
                      TSkBarSkinType skinType) {
  const HDC dc = canvas.Handle();
  const bool hasGrip = grip.right > grip.left && grip.bottom > grip.top;
  if (skinType == sknSkin) {
    const TSkBarSkinOptions& skin = SkCurrentSkin();
    SkPaintBackground(skin, canvas, r, skncStatusBar, sknsNormal, true, true);
    if (hasGrip) {
      const TSkBarSkinOptionEntry& dots = skin.Options(skncStatusBarGrip).Body;
      for (int row = 0; row < 3; ++row) {
        const int y = grip.bottom - 4 * (row + 1);
        SkDrawDotsGrip(canvas, {grip.right - 4 * (row + 1), y, grip.right, y + 4}, dots.Color1,
                       dots.Color2);
      }
    }
    return;
  }
  constexpr int kStatusGripper = 3;
  if (skinType == sknWindows && DrawPart(L"STATUS", dc, 0, 0, r) &&
      (!hasGrip || DrawPart(L"STATUS", dc, kStatusGripper, 0, grip))) {
    return;
  }
  SkFillRect(canvas, r, ui::clBtnFace);
  if (hasGrip) {
    RECT rect = ui::ToRECT(grip);
    DrawFrameControl(dc, &rect, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

void SkPaintDockBackground(ui::TCanvas& canvas, const TRect& r, bool vertical,
                           TSkBarSkinType skinType) {
  if (skinType == sknSkin) {
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncDock, sknsNormal, true, false, vertical);
  } else if (!(skinType == sknWindows && DrawPart(L"REBAR", canvas.Handle(), 0, 0, r))) {
    SkFillRect(canvas, r, ui::clBtnFace);
  }
}

void SkPaintToolbarBackground(ui::TCanvas& canvas, const TRect& r, bool menuBar, bool vertical,
                              TSkBarSkinType skinType) {
  if (skinType == sknSkin) {
    SkPaintBackground(SkCurrentSkin(), canvas, r, menuBar ? skncMenuBar : skncToolbar, sknsNormal,
                      true, true, vertical);
  } else if (!(skinType == sknWindows && !menuBar &&
               DrawPart(L"TOOLBAR", canvas.Handle(), 0, 0, r))) {
    SkFillRect(canvas, r, menuBar && skinType == sknWindows ? ui::clMenuBar : ui::clBtnFace);
  }
}

void SkPaintHintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinType skinType) {
  if (skinType == sknSkin && !SkCurrentSkin().Options(skncWindow).Body.IsEmpty()) {
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncWindow, sknsNormal, true, true);
    return;
  }
  SkFillRect(canvas, r, ui::clInfoBk, ui::clInfoText);
}

// Fonts.

void TSkBarFontSettings::Apply(ui::TFont& font) const {
  // The character set needs no step: the class library makes every font with the default one.
  font.SetColor(color_);
  if (size_ != 100) font.SetSize(ScaledSize(font.Size()));
  if (!name_.empty()) font.SetName(name_);
  if (style_ != 0) font.SetStyle(style_);
}

void SkPaintToolbarGrip(ui::TCanvas& canvas, const TRect& r, bool vertical, int handleSize,
                        TSkBarSkinType skinType) {
  const TRect grip = vertical ? TRect{r.left + 4, r.top + 3, r.right - 4, r.top + handleSize + 1}
                              : TRect{r.left + 3, r.top + 4, r.left + handleSize + 1, r.bottom - 4};
  constexpr int kRebarGripper = 1, kRebarGripperVert = 2;
  if (skinType == sknWindows &&
      DrawPart(L"REBAR", canvas.Handle(), vertical ? kRebarGripperVert : kRebarGripper, 0, grip))
    return;
  const TSkBarSkinOptionEntry& dots = SkCurrentSkin().Options(skncToolbarGrip).Body;
  SkDrawDotsGrip(canvas, grip, dots.Color1, dots.Color2);
}

bool SkIsDockedVertically(const tb::TTBCustomDockableWindow& window) {
  return window.CurrentDock() && tb::IsLeftRight(window.CurrentDock()->Position());
}

}  // namespace skbar
