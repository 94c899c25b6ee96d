// A component with a real top-level window whose own window procedure counts what it sees; the
// window is made again on demand after it was destroyed, as a control recreates its handle.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/component.h"
#include "ux/win32/windowed.h"

namespace ux::test {

class TTestWindow : public ui::TComponent, public win32::IWindowed {
 public:
  using ui::TComponent::TComponent;
  ~TTestWindow() override { DestroyHandle(); }

  HWND HandleNeeded() override {
    if (window_ == nullptr) Create();
    return window_;
  }
  bool HandleAllocated() const { return window_ != nullptr; }
  HWND Handle() const { return window_; }
  void DestroyHandle() {
    if (window_) DestroyWindow(window_);
  }

  std::vector<UINT> seen;  // messages the window's own procedure handled

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TTestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
      self = static_cast<TTestWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self) {
      if (msg >= WM_USER) self->seen.push_back(msg);
      if (msg == WM_NCDESTROY) self->window_ = nullptr;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
  }

  void Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"UxTestWindow";
    if (!GetClassInfoExW(instance, windowClass.lpszClassName, &windowClass))
      RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"UxTestWindow", L"ux test", WS_OVERLAPPEDWINDOW, 100, 80, 400,
                              300, nullptr, nullptr, instance, this);
  }

  HWND window_ = nullptr;
};

// Handles every message waiting for this thread.
inline void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace ux::test
