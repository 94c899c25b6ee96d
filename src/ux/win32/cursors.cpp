#include "ux/win32/cursors.h"

#include "ui/win32/forms.h"

namespace ux::win32 {

// Cursors from resources are shared by the system and need no release; each is loaded when it
// is first shown.
void LoadCursors() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  ui::InstallResourceCursor(crHandPoint, instance, L"UX_HANDCUR");
  ui::InstallResourceCursor(crDragHand, instance, L"UX_DRAGCUR");
}

}  // namespace ux::win32
