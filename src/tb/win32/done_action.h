// How a finished menu loop's system-menu and sound actions reach Windows: the "MenuCommand"
// sound when the user's sound scheme assigns one, and WM_SYSCOMMAND/SC_KEYMENU to the window.
// Help contexts do nothing: the program names no help file.
#pragma once

#include "tb/item.h"

namespace tb {

TTBDoneActionPlatform& WindowsDoneActionPlatform();

}  // namespace tb
