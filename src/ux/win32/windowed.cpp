#include "ux/win32/windowed.h"

#include "ui/win32/controls.h"

namespace ux::win32 {

HWND WindowNeeded(ui::TComponent* control) {
  if (auto* windowed = dynamic_cast<ui::TWinControl*>(control)) return windowed->Handle();
  if (auto* windowed = dynamic_cast<IWindowed*>(control)) return windowed->HandleNeeded();
  return nullptr;
}

}  // namespace ux::win32
