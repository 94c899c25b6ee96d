// The framework's toolbar font: made once from the system's menu font (InitToolbarFont, at the
// start of the item unit), made again from it when the non-client metrics change
// (RefreshToolbarFont, on CM_WININICHANGE with SPI_SETNONCLIENTMETRICS), freed at the
// framework's shut-down (DoneToolbarFont). Root popups and toolbars with SystemFont use it; one
// asked for without it is made then.
#pragma once

#include "ui/win32/graphics.h"

namespace tb {

void InitToolbarFont();
void RefreshToolbarFont();
void DoneToolbarFont();
// Null when the system's metrics could not be read.
ui::TFont* ToolbarFont();

}  // namespace tb
