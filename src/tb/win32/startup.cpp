#include "tb/startup.h"

#include "tb/deferred_click.h"
#include "tb/win32/acc.h"
#include "tb/win32/common.h"
#include "tb/win32/popup.h"
#include "tb/win32/toolbar_font.h"

namespace tb {

void Initialize() {
  InitCommon();
  InitAccessibility();
  InitToolbarFont();
  SetCharLower(&LowerChar);
  InstallPopupWindows();
}

void Finalize() {
  SetPopupFactory(nullptr);
  SetPopupMenuLoop(nullptr);
  SetCharLower(nullptr);
  DoneAccessibility();
  ReleaseDeferredClicks();
  DoneToolbarFont();
}

}  // namespace tb
