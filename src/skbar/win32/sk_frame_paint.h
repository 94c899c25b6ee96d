// The frame of a floating window (or a popup wrapper) around its interior, `borderSize` pixels
// thick, under a skin type: classic a raised edge outside the excluded interior (the rest of a
// wider frame in the button face; the interior filled first when asked), the window theme's
// small-frame parts for the left, right and bottom borders and its small caption's top rows
// (drawn off-screen) for the top border, or the skin's PaintWindowFrame. A theme that cannot
// be drawn falls back to the classic frame.
#pragma once

#include "skbar/skin_options.h"
#include "ui/win32/graphics.h"

namespace skbar {

void SkPaintWindowFrame(ui::TCanvas& canvas, const TRect& r, bool active, bool drawBody,
                        int borderSize, TSkBarSkinType skinType);

}  // namespace skbar
