// A skin's painting operations on a canvas (the virtual operations of the skin classes, defined
// in sk_skin_paint.cpp): a component's background in a state, menu check and radio marks (also
// the check box and radio button styles) and a floating window's frame. Aluminium, Human and
// Leopard override the background.
// Menu marks use the platform's themed menu parts on Windows Vista and later while visual
// styles are in effect, and classic drawing in the skin's or the system's colours otherwise
// (also when the menu theme cannot be opened).
#pragma once

#include "skbar/skin_options.h"
#include "ui/win32/graphics.h"

namespace skbar {

// The rest of the code paints through these; each calls the skin's virtual operation, so a
// skin class that paints more than its matrix says is asked wherever its skin is painted.
inline void SkPaintBackground(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                              TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                              bool background, bool borders, bool vertical = false,
                              TAnchors forceRectBorders = 0) {
  skin.PaintBackground(canvas, r, component, state, background, borders, vertical,
                       forceRectBorders);
}
inline void SkPaintMenuCheckMark(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                                 bool checked, bool grayed, bool menuItemStyle,
                                 TSkBarSkinStatesType state) {
  skin.PaintMenuCheckMark(canvas, r, checked, grayed, menuItemStyle, state);
}
inline void SkPaintMenuRadioMark(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                                 bool checked, bool menuItemStyle, TSkBarSkinStatesType state) {
  skin.PaintMenuRadioMark(canvas, r, checked, menuItemStyle, state);
}
inline void SkPaintWindowFrame(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                               bool isActive, bool drawBody, int borderSize) {
  skin.PaintWindowFrame(canvas, r, isActive, drawBody, borderSize);
}

}  // namespace skbar
