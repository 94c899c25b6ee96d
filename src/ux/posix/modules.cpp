// On the host there are no cursors or window hooks.
#include "ux/modules.h"
#include "ux/app_utils.h"
#include "ux/date_util.h"

namespace ux {

void InitModules() {
  UpdateFourDigitYear();
}

void DoneModules() {
  AppDefaults() = {};
}

}  // namespace ux
