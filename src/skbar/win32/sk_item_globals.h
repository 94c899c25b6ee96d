// Shared pieces of the skinned items and the screen routines they use.
//   SkCaptionGlyphs(): the caption-button glyph list (0 close, 1 maximise, 2 minimise,
//   3 restore): an item with this image list gets the glyph drawn in its text colour.
//   SkSmallCaptionFont(): the system's small-caption font (non-client metrics, asked with the
//   Vista-size structure and again with the older size where that fails).
//   SkPopupPositionForControl: a popup's screen position below (or beside) a control, on the
//   control's other side where it would leave the monitor's work area.
//   SkSetWindowPosNoActivate: moves a window without activating it or changing its z-order.
//   SkIsCompositionEnabled / SkSetNCRenderingPolicy: the desktop window manager, bound at run
//   time (false and nothing where it is missing).
#pragma once

#include <windows.h>

#include "skbar/sk_text.h"
#include "ui/win32/controls.h"
#include "ui/win32/image_list.h"

namespace skbar {

ui::TImageList& SkCaptionGlyphs();
ui::TFont& SkSmallCaptionFont();
TPoint SkPopupPositionForControl(ui::TControl& control, TSize size, bool side);
void SkSetWindowPosNoActivate(HWND wnd, int x, int y);
bool SkIsCompositionEnabled();
void SkSetNCRenderingPolicy(ui::TWinControl& control, bool enable);

}  // namespace skbar
