// How a finished menu loop's actions reach Windows: the "MenuCommand" sound when the user's
// sound scheme assigns one, WM_SYSCOMMAND/SC_KEYMENU to the window, and help contexts to the
// application's help (the screen's active form tells whether it shows the help button).
#pragma once

#include "tb/item.h"

namespace tb {

TTBDoneActionPlatform& WindowsDoneActionPlatform();

}  // namespace tb
