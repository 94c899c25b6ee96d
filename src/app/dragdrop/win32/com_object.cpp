// Reporting exceptions caught at a COM boundary.
#include "app/dragdrop/win32/com_object.h"

#include "ui/win32/forms.h"

namespace app::dragdrop {

void ReportComException() noexcept {
  if (ui::Application) ui::Application->HandleException(std::current_exception());
}

}  // namespace app::dragdrop
