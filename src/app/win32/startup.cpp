#include "app/win32/startup.h"

#include "app/dragdrop/win32/drag_formats.h"
#include "app/win32/version_info.h"
#include "gfx/startup.h"
#include "hfe/startup.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_drag.h"
#include "skbar/win32/startup.h"
#include "tb/startup.h"
#include "ui/win32/forms.h"
#include "ux/modules.h"

namespace app {

void StartUnits() {
  skbar::Initialize();
  // The graphics units before the rest: every bitmap needs their resampler registry.
  gfx::Initialize();
  ux::InitModules();
  tb::Initialize();
  hfe::Initialize();
  ReadVersionInfo();
  dragdrop::RegisterShellFormats();
}

void PrepareApplication(ui::TApplication& application) {
  skbar::SkLoadItemCursors();
  skbar::SkInstallBitmapHints(application);
  application.SetTitle(L"Quollbox");
}

void FinishUnits() {
  hfe::Finalize();
  tb::Finalize();
  ux::DoneModules();
  gfx::Finalize();
  skbar::Finalize();
}

}  // namespace app
