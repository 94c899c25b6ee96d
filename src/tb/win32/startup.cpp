#include "tb/startup.h"

#include "tb/win32/acc.h"
#include "tb/win32/common.h"
#include "tb/win32/popup.h"

namespace tb {

void Initialize() {
  InitCommon();
  InitAccessibility();
  SetCharLower(&LowerChar);
  InstallPopupWindows();
}

void Finalize() {
  SetPopupFactory(nullptr);
  SetPopupMenuLoop(nullptr);
  SetCharLower(nullptr);
  DoneAccessibility();
}

}  // namespace tb
