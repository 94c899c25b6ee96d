// Fonts the system names in its non-client metrics, as the class library's fonts.
//   AssignLogFont: face, height and styles of a logical font (the colour stays).
//   AssignHintFont: the hint font (the metrics' status font) in clInfoText; the font keeps
//   what it had when the metrics cannot be read.
#pragma once

#include <windows.h>

#include "ui/win32/graphics.h"

namespace ui {

void AssignLogFont(TFont& font, const LOGFONTW& from);
void AssignHintFont(TFont& font);

}  // namespace ui
