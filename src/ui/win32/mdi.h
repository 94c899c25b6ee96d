// MDI forms and their children, as the window system keeps them: an MDI form's client window
// is its child window of the "MDICLIENT" class, and its MDI children are the MDI child forms
// whose windows sit in that client window.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/win32/forms.h"

namespace ui {

// The MDI client window of an MDI form; null for another form or one without a client window.
HWND MDIClientOf(TCustomForm& form);
// The MDI child forms of the screen that an MDI form lists, in the screen's order.
std::vector<TCustomForm*> MDIChildrenOf(TCustomForm& form);

}  // namespace ui
