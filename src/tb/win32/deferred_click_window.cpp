// The deferred-click port on Windows: a hidden message-only window of the thread; each queued
// slot is posted to it as the message 0x500 (wParam the flag, lParam the slot) and delivered
// when the thread's message loop reaches it.
#include <windows.h>

#include "tb/deferred_click.h"
#include "ui/win32/forms.h"

namespace tb {

namespace {

constexpr UINT kDeferredClickMessage = WM_USER + 256;
constexpr wchar_t kClassName[] = L"TTBDeferredClickWindow";

LRESULT CALLBACK DeferredClickWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kDeferredClickMessage) return DefWindowProcW(wnd, message, wParam, lParam);
  try {
    DeliverDeferredClick(static_cast<int>(lParam), static_cast<std::uintptr_t>(wParam));
  } catch (...) {  // a command failed: reported like any other handler's failure
    if (ui::Application) ui::Application->HandleException();
  }
  return 0;
}

class WindowPort final : public DeferredClickPort {
 public:
  WindowPort() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    if (!GetClassInfoW(instance, kClassName, &windowClass)) {
      windowClass.lpfnWndProc = DeferredClickWndProc;
      windowClass.hInstance = instance;
      windowClass.lpszClassName = kClassName;
      RegisterClassW(&windowClass);
    }
    wnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
  }
  ~WindowPort() override {
    if (wnd_) DestroyWindow(wnd_);
  }
  void Post(int slot, std::uintptr_t flag) override {
    if (wnd_) PostMessageW(wnd_, kDeferredClickMessage, flag, slot);
  }

 private:
  HWND wnd_ = nullptr;
};

}  // namespace

std::unique_ptr<DeferredClickPort> PlatformDeferredClickPort() {
  return std::make_unique<WindowPort>();
}

}  // namespace tb
