#include "ux/modules.h"
#include "ux/app_utils.h"
#include "ux/date_util.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/cursors.h"
#include "ux/win32/rich_edit.h"

namespace ux {

void InitModules() {
  win32::LoadCursors();
  UpdateFourDigitYear();
  LoadRichEditLibrary();
}

void DoneModules() {
  win32::FreeHookList();
  FreeRichEditLibrary();
  AppDefaults() = {};
}

}  // namespace ux
