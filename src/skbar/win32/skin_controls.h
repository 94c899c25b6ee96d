// Windowed controls and the skin manager: a registered control gets the skin-change message
// (WM_SKINCHANGE) through its WndProc.
#pragma once

#include "skbar/skin_manager.h"
#include "ui/win32/controls.h"

namespace skbar {

// Registers `control` (again: nothing); unregistering is harmless once the manager is gone.
void SkAddSkinNotification(ui::TWinControl& control);
void SkRemoveSkinNotification(ui::TWinControl& control);

}  // namespace skbar
