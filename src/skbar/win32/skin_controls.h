// The skin model on Windows: a registered control gets the skin-change message (WM_SKINCHANGE)
// through its WndProc; a skin's menu item margins for a canvas's font.
#pragma once

#include "skbar/skin_manager.h"
#include "ui/win32/controls.h"

namespace skbar {

// Registers `control` (again: nothing); unregistering is harmless once the manager is gone.
void SkAddSkinNotification(ui::TWinControl& control);
void SkRemoveSkinNotification(ui::TWinControl& control);

// The skin's menu item margins, the gutter sized for the canvas font's text height plus its
// external leading.
void SkGetMenuItemMargins(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, int imgSize,
                          TSkBarMenuItemMarginsInfo& info);

}  // namespace skbar
