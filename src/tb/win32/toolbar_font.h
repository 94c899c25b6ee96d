// The framework's toolbar font: made once from the system's menu font (InitToolbarFont, at the
// start of the item unit), made again from it when the non-client metrics change
// (RefreshToolbarFont, on CM_WININICHANGE with SPI_SETNONCLIENTMETRICS), freed at exit.
// Root popups and toolbars with SystemFont use it.
#pragma once

#include "ui/win32/graphics.h"

namespace tb {

void InitToolbarFont();
void RefreshToolbarFont();
// Null when the system's metrics could not be read.
ui::TFont* ToolbarFont();

}  // namespace tb
