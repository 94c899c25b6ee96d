// The item painters of the skinned menus and toolbars, by effective skin type: classic edges
// and fills (sknNone), the platform's MENU and TOOLBAR theme parts (sknWindows; classic drawing
// when the theme cannot be opened or before Windows Vista), the skin's matrix (sknSkin).
//   Under classic drawing a hot menu item is filled with the highlight colour, so that the
//   highlight-text caption stays readable.
#pragma once

#include "skbar/sk_item.h"
#include "ui/win32/graphics.h"
#include "ui/win32/image_list.h"

namespace tb {
class TTBCustomDockableWindow;
}

namespace skbar {

void SkPaintToolbarButtonFrame(ui::TCanvas& canvas, const TRect& r, TSkBarSkinStatesType state,
                               TSkBarComboPart comboPart, TSkBarSkinType skinType);
void SkPaintMenuItemBackground(ui::TCanvas& canvas, const TRect& r, const TSkBarMenuItemInfo& info);
// An item's image, normal or disabled (the list's own disabled look). With the skin's
// OfficeIcons, a hot, enabled image that is not pushed stands out: a shaded copy one pixel down
// and right, the image one pixel up and left.
void SkPaintMenuItemImage(ui::TCanvas& canvas, const TRect& r, const TSkBarMenuItemInfo& info,
                          ui::TImageList& images, int index);
void SkPaintMenuSeparator(ui::TCanvas& canvas, const TRect& r, bool vertical, bool inMenu,
                          TSkBarSkinType skinType);
void SkPaintGutter(ui::TCanvas& canvas, const TRect& r, TSkBarSkinType skinType);
// A popup's frame and background over the whole window rectangle `r`; `gutter` is the gutter
// column in the same coordinates (empty for none).
void SkPaintPopupBackground(ui::TCanvas& canvas, const TRect& r, const TRect& gutter,
                            TSkBarSkinType skinType);

// A window caption: classic DrawCaption (text, active, gradient as the system says), the
// window theme's small caption (active 1, inactive 2), or the skin's title bar.
void SkPaintTitleBar(ui::TCanvas& canvas, const TRect& r, bool active, TSkBarSkinType skinType);
// A status bar with its size grip at the right (an empty `grip` for none).
void SkPaintStatusBar(ui::TCanvas& canvas, const TRect& r, const TRect& grip,
                      TSkBarSkinType skinType);
// The backgrounds of docks, toolbars (menu bars) and hints.
void SkPaintDockBackground(ui::TCanvas& canvas, const TRect& r, bool vertical,
                           TSkBarSkinType skinType);
void SkPaintToolbarBackground(ui::TCanvas& canvas, const TRect& r, bool menuBar, bool vertical,
                              TSkBarSkinType skinType);
void SkPaintHintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinType skinType);
// The drag handle of a docked toolbar whose window rectangle is `r`, in the first `handleSize`
// pixels along the toolbar (at the top when docked vertically, else at the left), inside the
// docked border: the skin's grip dots; under the themes the rebar's gripper (the dots when the
// theme cannot draw it).
void SkPaintToolbarGrip(ui::TCanvas& canvas, const TRect& r, bool vertical, int handleSize,
                        TSkBarSkinType skinType = sknSkin);
// Whether a dockable window is docked on a left or right dock.
bool SkIsDockedVertically(const tb::TTBCustomDockableWindow& window);

}  // namespace skbar
