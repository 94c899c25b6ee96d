#include "ux/win32/hook_errors.h"

#include <utility>

#include "ui/win32/forms.h"

namespace ux::win32 {

namespace {

std::function<void()>& Handler() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

void SetHookErrorHandler(std::function<void()> handler) {
  Handler() = std::move(handler);
}

void HandleHookError() noexcept {
  try {
    if (Handler())
      Handler()();
    else if (ui::Application)
      ui::Application->HandleException();
  } catch (...) {  // the handler itself failed: nothing more can be done inside a message
  }
}

}  // namespace ux::win32
