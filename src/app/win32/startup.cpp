#include "app/win32/startup.h"

#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_drag.h"
#include "ui/win32/forms.h"

namespace app {

void PrepareApplication(ui::TApplication& application) {
  skbar::SkLoadItemCursors();
  skbar::SkInstallBitmapHints(application);
  application.SetTitle(L"Quollbox");
}

}  // namespace app
