// Fonts the system names in its non-client metrics, as the class library's fonts.
//   ReadNonClientMetrics: the metrics in the largest layout the system knows; false when it
//   answers none.
//   AssignLogFont: face, height and styles of a logical font (the colour stays).
//   AssignHintFont: the hint font (the metrics' status font) in clInfoText; the font keeps
//   what it had when the metrics cannot be read.
#pragma once

#include <windows.h>

#include "ui/win32/graphics.h"

namespace ui {

bool ReadNonClientMetrics(NONCLIENTMETRICSW& metrics);
void AssignLogFont(TFont& font, const LOGFONTW& from);
void AssignHintFont(TFont& font);

}  // namespace ui
