#include "tb/win32/modal_handler.h"

#include <imm.h>

#include "rtl/exceptions.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/anim.h"
#include "tb/win32/common.h"
#include "tb/win32/done_action.h"
#include "tb/win32/popup.h"
#include "ui/win32/forms.h"

static_assert(tb::kTBArrowCursor == ui::crArrow);

namespace tb {

namespace {

constexpr wchar_t kHandlerClass[] = L"TTBModalHandlerWindow";

// The Windows message queue, capture and hints as the loop needs them.
class TWin32ModalPlatform final : public ITBModalPlatform {
 public:
  explicit TWin32ModalPlatform(HWND wnd) : wnd_(wnd) {}

  std::uintptr_t HandlerWindow() override { return reinterpret_cast<std::uintptr_t>(wnd_); }
  bool HasCapture() override { return GetCapture() == wnd_; }
  std::uintptr_t ActiveWindow() override {
    return reinterpret_cast<std::uintptr_t>(GetActiveWindow());
  }
  bool PeekNext(TTBLoopMessage& message) override {
    MSG m;
    if (!PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) return false;
    message = {
        m.message, reinterpret_cast<std::uintptr_t>(m.hwnd), m.wParam, m.lParam, {m.pt.x, m.pt.y}};
    return true;
  }
  void Remove(const TTBLoopMessage& message) override {
    if (!PeekMessageW(&last_, nullptr, message.message, message.message, PM_REMOVE)) {
      last_ = {};  // it went meanwhile (a paint that validated itself)
    }
  }
  void WaitForInput(bool briefly) override {
    if (briefly)
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    else
      WaitMessage();
  }
  void Dispatch(const TTBLoopMessage& message) override {
    if (message.message == WM_QUIT) {
      // The application's loop must still see it: put it back and end the menu loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      if (GetCapture() == wnd_) ReleaseCapture();
      return;
    }
    if (last_.message == message.message) DispatchMessageW(&last_);
  }
  void Translate(const TTBLoopMessage& message) override {
    if (last_.message == message.message) TranslateMessage(&last_);
  }
  TTBView* PopupViewOf(std::uintptr_t wnd) override {
    TTBPopupWindow* popup = TTBPopupWindow::FromHandle(reinterpret_cast<HWND>(wnd));
    return popup ? &popup->View() : nullptr;
  }
  std::uintptr_t WindowFromPoint(TPoint screen) override {
    return reinterpret_cast<std::uintptr_t>(::WindowFromPoint({screen.x, screen.y}));
  }
  std::uintptr_t WindowOf(TTBView& view) override {
    auto* window = dynamic_cast<TTBViewWindow*>(view.Window());
    return window ? reinterpret_cast<std::uintptr_t>(window->Handle()) : 0;
  }
  bool InClientArea(std::uintptr_t wnd, TPoint screen) override {
    const auto window = reinterpret_cast<HWND>(wnd);
    POINT p{screen.x, screen.y};
    RECT client;
    return ScreenToClient(window, &p) && GetClientRect(window, &client) && PtInRect(&client, p);
  }
  bool ButtonHeld(bool right) override { return GetKeyState(right ? VK_RBUTTON : VK_LBUTTON) < 0; }
  std::uint16_t ImeVirtualKey() override {
    return static_cast<std::uint16_t>(ImmGetVirtualKey(last_.hwnd));
  }
  ui::TShiftState KeyShiftState(std::intptr_t keyData) override {
    return ui::KeyDataToShiftState(keyData);
  }
  void Beep() override { MessageBeep(0); }
  void SetCursor(int cursor) override {
    ::SetCursor(ui::Screen ? ui::Screen->Cursors(cursor) : LoadCursorW(nullptr, IDC_ARROW));
  }
  void StepAnimation() override { StepPopupAnimation(); }
  bool AnimationRunning() override { return IsPopupAnimationRunning(); }
  void CancelHint() override {
    if (ui::Application) ui::Application->CancelHint();
  }
  void HintMouseMove(TTBView& view, TPoint screen) override {
    auto* window = dynamic_cast<TTBViewWindow*>(view.Window());
    ui::TControl* control = window ? ui::TWinControl::FromHandle(window->Handle()) : nullptr;
    if (!control || !ui::Application) return;
    POINT p{screen.x, screen.y};
    ScreenToClient(window->Handle(), &p);
    ui::TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y), 0};
    ui::Application->HintMouseMessage(control, move);
  }
  void SetApplicationHint(const std::wstring& hint) override {
    if (ui::Application && ui::Application->Hint() != hint) ui::Application->SetHint(hint);
  }

 private:
  HWND wnd_;
  MSG last_{};
};

class TWin32ToolbarLoopHost final : public ITBToolbarLoopHost {
 public:
  void RunLoop(TTBView& view, const TTBModalLoopOptions& options,
               const std::function<void()>& starting,
               const std::function<void()>& ending) override {
    auto* window = dynamic_cast<TTBViewWindow*>(view.Window());
    TTBModalHandler handler(window ? window->Handle() : nullptr);
    try {
      starting();
      handler.Loop(view, options.mouseDown, options.executeSelected, options.fromMSAA,
                   options.trackRightButton);
    } catch (...) {
      EndQuietly(ending);
      throw;
    }
    ending();
  }

 private:
  // After a failed loop the loop's own error is the one that travels on.
  static void EndQuietly(const std::function<void()>& ending) noexcept {
    try {
      ending();
    } catch (...) {
    }
  }
  void Finish(const TTBDoneActionData& data) override { FinishModalLoop(data, false); }
};

}  // namespace

TTBModalHandler::TTBModalHandler(HWND existingWnd) {
  const POINT pos = LastMessagePos();
  LastMousePosition() = {pos.x, pos.y};
  if (existingWnd) {
    wnd_ = existingWnd;
  } else {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHandlerClass;
    RegisterClassW(&windowClass);  // already registered after the first loop
    wnd_ = CreateWindowExW(0, kHandlerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!wnd_) throw rtl::Exception("Error creating window");
    createdWnd_ = true;
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  const HWND focus = GetFocus();
  if (focus && GetWindowThreadProcessId(focus, nullptr) == GetCurrentThreadId()) {
    saveFocusWnd_ = focus;
    SetFocus(nullptr);
  }
  SetForegroundLock(true);
  SetCapture(wnd_);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  CallNotifyWinEvent(EVENT_SYSTEM_MENUSTART, wnd_, OBJID_CLIENT, CHILDID_SELF);
  inited_ = true;
}

TTBModalHandler::~TTBModalHandler() {
  SetForegroundLock(false);
  if (GetCapture() == wnd_) ReleaseCapture();
  if (inited_) CallNotifyWinEvent(EVENT_SYSTEM_MENUEND, wnd_, OBJID_CLIENT, CHILDID_SELF);
  if (createdWnd_) {
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
    DestroyWindow(wnd_);
  }
  if (saveFocusWnd_ && !GetFocus() && IsWindow(saveFocusWnd_)) SetFocus(saveFocusWnd_);
}

LRESULT CALLBACK TTBModalHandler::WindowProcedure(HWND wnd, UINT msg, WPARAM wParam,
                                                  LPARAM lParam) {
  if (msg == WM_CANCELMODE) {
    auto* handler = reinterpret_cast<TTBModalHandler*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    try {
      if (handler && handler->rootPopupView_) handler->rootPopupView_->CancelMode();
    } catch (...) {
      if (ui::Application) ui::Application->HandleException();
    }
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

void TTBModalHandler::Loop(TTBView& rootView, bool mouseDown, bool executeSelected, bool fromMSAA,
                           bool trackRightButton) {
  TWin32ModalPlatform platform(wnd_);
  TTBModalLoopOptions options;
  options.mouseDown = mouseDown;
  options.executeSelected = executeSelected;
  options.fromMSAA = fromMSAA;
  options.trackRightButton = trackRightButton;
  RunModalLoop(rootView, platform, options);
}

void EnterToolbarLoop(TTBView& view, TTBEnterToolbarLoopOptions options) {
  TWin32ToolbarLoopHost host;
  tb::EnterToolbarLoop(view, options, host);
}

TTBCustomItem* FinishModalLoop(const TTBDoneActionData& data, bool returnClickedItemOnly) {
  return ProcessDoneAction(data, returnClickedItemOnly, &WindowsDoneActionPlatform());
}

}  // namespace tb
