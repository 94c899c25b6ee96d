#include "ux/modules.h"
#include "ux/app_utils.h"
#include "ux/date_util.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/cursors.h"

namespace ux {

void InitModules() {
  win32::LoadCursors();
  UpdateFourDigitYear();
}

void DoneModules() {
  win32::FreeHookList();
  AppDefaults() = {};
}

}  // namespace ux
