#include "ux/win32/cursors.h"

#include "ui/win32/forms.h"

namespace ux::win32 {

// Cursors from resources are shared by the system and need no release.
void LoadCursors() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (const HCURSOR hand = LoadCursorW(instance, L"UX_HANDCUR"))
    ui::InstallCursor(crHandPoint, hand);
  if (const HCURSOR drag = LoadCursorW(instance, L"UX_DRAGCUR"))
    ui::InstallCursor(crDragHand, drag);
}

}  // namespace ux::win32
