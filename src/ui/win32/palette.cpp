// Palette realisation of windowed controls: each control with a palette selects it into its
// window's DC and realises it; a change of the system palette redraws the control.
#include "ui/win32/controls.h"

namespace ui {

bool TWinControl::PaletteChanged(bool foreground) {
  bool changed = false;
  const HPALETTE palette = GetPalette();
  if (palette && HandleAllocated() && Visible()) {
    const HDC dc = GetDC(handle_);
    const HPALETTE old = SelectPalette(dc, palette, foreground ? FALSE : TRUE);
    const UINT mapped = RealizePalette(dc);
    changed = mapped != 0 && mapped != GDI_ERROR;
    SelectPalette(dc, old, TRUE);
    ReleaseDC(handle_, dc);
    if (changed) InvalidateRect(handle_, nullptr, TRUE);
  }
  // The last child is on top: it realises first.
  for (int i = ControlCount() - 1; i >= 0; --i)
    if (Controls(i)->PaletteChanged(foreground)) changed = true;
  return changed;
}

}  // namespace ui
