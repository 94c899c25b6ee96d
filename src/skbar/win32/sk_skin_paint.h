// A skin's painting operations on a canvas: a component's background in a state, menu check and
// radio marks (also the check box and radio button styles) and a floating window's frame.
// Menu marks use the platform's themed menu parts on Windows Vista and later while visual
// styles are in effect, and classic drawing in the skin's or the system's colours otherwise
// (also when the menu theme cannot be opened).
#pragma once

#include "skbar/skin_options.h"
#include "ui/win32/graphics.h"

namespace skbar {

void SkPaintBackground(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                       TSkBarSkinComponentsType component, TSkBarSkinStatesType state,
                       bool background, bool borders, bool vertical = false,
                       TAnchors forceRectBorders = 0);
void SkPaintMenuCheckMark(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                          bool checked, bool grayed, bool menuItemStyle,
                          TSkBarSkinStatesType state);
void SkPaintMenuRadioMark(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                          bool checked, bool menuItemStyle, TSkBarSkinStatesType state);
void SkPaintWindowFrame(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, const TRect& r,
                        bool isActive, bool drawBody, int borderSize);

}  // namespace skbar
