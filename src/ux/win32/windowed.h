// What window hooks need of a control: its window, created when missing. The class library's
// windowed controls qualify, and so does any component that implements IWindowed.
#pragma once

#include <windows.h>

#include "ui/component.h"

namespace ux::win32 {

class IWindowed {
 public:
  // The window, created when it does not exist yet; null when it cannot be.
  virtual HWND HandleNeeded() = 0;

 protected:
  ~IWindowed() = default;
};

// The control's window (created when needed), or null when it has none.
HWND WindowNeeded(ui::TComponent* control);

}  // namespace ux::win32
