// The item painters of the skinned menus and toolbars, by effective skin type: classic edges
// and fills (sknNone), the platform's MENU and TOOLBAR theme parts (sknWindows; classic drawing
// when the theme cannot be opened or before Windows Vista), the skin's matrix (sknSkin).
//   Under classic drawing a hot menu item is filled with the highlight colour, so that the
//   highlight-text caption stays readable.
#pragma once

#include "skbar/sk_item.h"
#include "ui/win32/graphics.h"

namespace skbar {

void SkPaintToolbarButtonFrame(ui::TCanvas& canvas, const TRect& r, TSkBarSkinStatesType state,
                               TSkBarComboPart comboPart, TSkBarSkinType skinType);
void SkPaintMenuItemBackground(ui::TCanvas& canvas, const TRect& r, const TSkBarMenuItemInfo& info);
void SkPaintMenuSeparator(ui::TCanvas& canvas, const TRect& r, bool vertical, bool inMenu,
                          TSkBarSkinType skinType);
void SkPaintGutter(ui::TCanvas& canvas, const TRect& r, TSkBarSkinType skinType);
// A popup's frame and background over the whole window rectangle `r`; `gutter` is the gutter
// column in the same coordinates (empty for none).
void SkPaintPopupBackground(ui::TCanvas& canvas, const TRect& r, const TRect& gutter,
                            TSkBarSkinType skinType);

}  // namespace skbar
