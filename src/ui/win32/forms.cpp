#include "ui/win32/forms.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>

#include "rtl/exceptions.h"
#include "ui/actions.h"
#include "ui/text.h"
#include "ui/win32/menus.h"

namespace ui {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

// The control of `window`, or of the nearest parent window that is one of ours.
TWinControl* ControlOfWindow(HWND window) {
  for (; window; window = GetParent(window)) {
    if (TWinControl* control = TWinControl::FromHandle(window)) return control;
  }
  return nullptr;
}

constexpr UINT kReleaseMessage = WM_APP + 0x3F00;
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

TMessageBoxPresenter& Presenter() {
  static TMessageBoxPresenter presenter;
  return presenter;
}

// Runs a listener or event; an error goes to the application's handler and the caller goes on.
template <class F>
void Guarded(F&& call) noexcept {
  try {
    call();
  } catch (...) {
    if (Application) Application->HandleException(std::current_exception());
  }
}

// The thread's other enabled, visible windows, disabled while a modal form runs.
struct TaskWindows {
  HWND modal;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableTaskWindow(HWND window, LPARAM data) {
  auto& windows = *reinterpret_cast<TaskWindows*>(data);
  if (window != windows.modal && IsWindowVisible(window) && IsWindowEnabled(window)) {
    try {
      windows.disabled.push_back(window);  // first: no exception may leave this callback
    } catch (...) {
      return FALSE;
    }
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<TMonitor>*>(data)->push_back(
        {monitor, FromRECT(info.rcMonitor), FromRECT(info.rcWork),
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  }
  return TRUE;
}

template <class F>
void ForEachActionList(TComponent& owner, F&& call) {
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    if (auto* list = dynamic_cast<TActionList*>(owner.Components(i))) call(*list);
  }
}

// Every visible action client among the showing controls of `parent`, depth first.
void InitiateClientActions(TWinControl& parent) {
  if (!parent.Showing()) return;
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* control = parent.Controls(i);
    if ((control->ControlStyle() & csActionClient) && control->Visible()) control->InitiateAction();
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) InitiateClientActions(*windowed);
  }
}

}  // namespace

TMessageBoxPresenter SetMessageBoxPresenter(TMessageBoxPresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}

int ShowMessageBox(const TMessageBoxRequest& request) {
  if (Presenter()) return Presenter()(request);
  return MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(), request.flags);
}

// TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
  StoreVisible(false);
  StoreBounds({0, 0, 640, 480});
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (Screen) {
    Screen->RemoveForm(this);
    if (Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
  }
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() noexcept {
  if (std::exchange(destroyed_, true)) return;
  for (const Listener& listener : std::vector<Listener>(listeners_)) {
    if (listener.destroy) Guarded([&] { listener.destroy(*this); });
  }
  if (OnDestroy) Guarded([&] { OnDestroy(this); });
  TWinControl::BeforeDestruction();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    if (component == menu_) menu_ = nullptr;
    if (component == activeControl_) activeControl_ = nullptr;
  }
  TWinControl::Notification(component, operation);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  borderStyle_ = style;
  if (HandleAllocated()) {
    TCreateParams params;
    CreateParams(params);
    SetWindowLongPtrW(
        Handle(), GWL_STYLE,
        static_cast<LONG_PTR>(params.style | (IsWindowVisible(Handle()) ? WS_VISIBLE : 0)));
    UpdateStyle(0, 0);
  }
}

TWindowState TCustomForm::WindowState() const {
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (HandleAllocated() && Visible()) {
    constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    ShowWindow(Handle(), kShow[static_cast<int>(state)]);
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  if (HandleAllocated()) {
    UpdateStyle((icons & biMaximize) ? WS_MAXIMIZEBOX : 0,
                (icons & biMaximize) ? 0 : WS_MAXIMIZEBOX);
  }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (activeControl_ && activeControl_->Owner() != this)
    activeControl_->RemoveFreeNotification(this);
  activeControl_ = control;
  if (control && control->Owner() != this) control->FreeNotification(this);
  if (control && control->CanFocus() && !control->Focused() && GetActiveWindow() == Handle()) {
    control->SetFocus();
  }
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = menu;
  if (menu) menu->FreeNotification(this);
  if (HandleAllocated()) {
    ::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
    if (menu) menu->SetWindow(Handle());
  }
}

void TCustomForm::SetClientSize(int width, int height) {
  TCreateParams params;
  CreateParams(params);
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, params.style, menu_ != nullptr, params.exStyle);
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
  // A menu bar that wraps takes more room than one line: correct once the window exists.
  if (HandleAllocated()) {
    const int dw = width - ClientWidth();
    const int dh = height - ClientHeight();
    if (dw || dh) SetBounds(Left(), Top(), Width() + dw, Height() + dh);
  }
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.style = WS_CLIPCHILDREN;
  params.exStyle = 0;
  switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
      params.style |= WS_POPUP;
      break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      params.style |= WS_CAPTION | WS_BORDER;
      break;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      params.style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case TFormBorderStyle::bsDialog:
      params.style |= WS_POPUP | WS_CAPTION;
      params.exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  const bool tool = borderStyle_ == TFormBorderStyle::bsToolWindow ||
                    borderStyle_ == TFormBorderStyle::bsSizeToolWin;
  if (tool) params.exStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != TFormBorderStyle::bsNone && (borderIcons_ & biSystemMenu)) {
    params.style |= WS_SYSMENU;
    if (!tool && borderStyle_ != TFormBorderStyle::bsDialog) {
      if (borderIcons_ & biMinimize) params.style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) params.style |= WS_MAXIMIZEBOX;
    }
  }
  if (position_ == TPosition::poDefault)
    params.bounds = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + Width(),
                     CW_USEDEFAULT + Height()};
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  params.parent = main && main != this && main->HandleAllocated() ? main->Handle() : nullptr;
}

void TCustomForm::HandleCreated() {
  if (menu_) {
    ::SetMenu(Handle(), menu_->Handle());
    menu_->SetWindow(Handle());
  }
  // Laid out in the real client area before their windows are made, the aligned controls get
  // their windows where they stay (each move of a made window is a round of messages).
  Realign();
}

void TCustomForm::PlaceOnScreen() {
  if (placed_) return;
  placed_ = true;
  if (position_ != TPosition::poScreenCenter && position_ != TPosition::poDesktopCenter) return;
  const TRect area =
      position_ == TPosition::poScreenCenter && Screen
          ? Screen->WorkAreaRect()
          : TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SetBounds(area.left + (area.Width() - Width()) / 2, area.top + (area.Height() - Height()) / 2,
            Width(), Height());
}

void TCustomForm::DoShow() {
  for (const Listener& listener : std::vector<Listener>(listeners_)) {
    if (listener.show) Guarded([&] { listener.show(*this); });
  }
  if (OnShow) OnShow(this);
}

void TCustomForm::SetVisible(bool visible) {
  const bool showing = HandleAllocated() && IsWindowVisible(Handle());
  if (visible == Visible() && visible == showing) return;
  if (visible) {
    HandleNeeded();
    PlaceOnScreen();
    DoShow();
    TControl::SetVisible(true);
    constexpr int kShow[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
    // The window appears without the platform's synchronous erase of every child (each took a
    // device context of its own); the whole window is invalidated instead, so every window
    // erases and paints once, in its own paint.
    appearing_ = true;
    frameDrawnAppearing_ = false;
    ShowWindow(Handle(), kShow[static_cast<int>(windowState_)]);
    appearing_ = false;
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    // Windows hidden under their own children would each get a paint that shows nothing.
    ValidateHiddenWindows();
    // When its children cover its client area wholly, the form has nothing of its own to paint
    // there. Its frame is left out of its paint only when its activation drew it as it appeared;
    // a form already active while hidden (the owner of a message box shown before it appeared)
    // is not activated again, and its frame keeps its paint.
    if (!IsIconic(Handle()) && CoveredByChildWindows())
      RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_VALIDATE | RDW_NOCHILDREN | (frameDrawnAppearing_ ? RDW_NOFRAME : 0));
    UpdateShowing();
    if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
  } else {
    if (OnHide) OnHide(this);
    TControl::SetVisible(false);
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    UpdateShowing();
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  for (const Listener& listener : std::vector<Listener>(listeners_)) {
    if (listener.closeQuery) Guarded([&] { listener.closeQuery(*this, canClose); });
  }
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action =
      formStyle_ == TFormStyle::fsMDIChild ? TCloseAction::caMinimize : TCloseAction::caHide;
  if (OnClose) OnClose(this, action);
  if (action == TCloseAction::caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == TCloseAction::caHide) {
    Hide();
  } else if (action == TCloseAction::caMinimize) {
    SetWindowState(TWindowState::wsMinimized);
  } else {
    Release();
  }
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || modal_) throw rtl::Exception("Cannot make a visible window modal");
  if (!Application) throw rtl::Exception("No application");
  ReleaseCapture();
  const HWND previousActive = GetActiveWindow();
  HandleNeeded();
  TaskWindows others{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableTaskWindow, reinterpret_cast<LPARAM>(&others));
  std::vector<HWND>& disabled = others.disabled;
  struct ModalScope {
    TCustomForm& form;
    std::vector<HWND>& disabled;
    HWND previousActive;
    ~ModalScope() {
      for (HWND window : disabled) EnableWindow(window, TRUE);
      form.modal_ = false;
      if (form.HandleAllocated()) Guarded([&] { form.Hide(); });
      if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
    }
  } scope{*this, disabled, previousActive};
  modal_ = true;
  modalResult_ = mrNone;
  Show();
  for (;;) {
    Application->HandleMessage();
    if (Application->Terminated()) modalResult_ = mrCancel;
    if (modalResult_ == mrNone) continue;
    TCloseAction action = CloseQuery() ? TCloseAction::caHide : TCloseAction::caNone;
    if (action != TCloseAction::caNone && OnClose) OnClose(this, action);
    if (action != TCloseAction::caNone || Application->Terminated()) break;
    modalResult_ = mrNone;
  }
  return modalResult_;
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessageW(Handle(), kReleaseMessage, 0, 0);
}

bool TCustomForm::IsShortCut(TShortCut shortcut) {
  if (shortcut == scNone) return false;
  bool handled = false;
  if (OnShortCut) OnShortCut(shortcut, handled);
  if (handled) return true;
  if (menu_ && menu_->IsShortCut(shortcut)) return true;
  ForEachActionList(*this,
                    [&](TActionList& list) { handled = handled || list.IsShortCut(shortcut); });
  return handled;
}

TListenerId TCustomForm::AddListener(Listener listener) {
  listener.id = nextListenerId_++;
  listeners_.push_back(std::move(listener));
  return listeners_.back().id;
}

TListenerId TCustomForm::AddBeforeShowListener(std::function<void(TCustomForm&)> listener) {
  return AddListener({0, std::move(listener), {}, {}});
}

TListenerId TCustomForm::AddAfterCloseQueryListener(
    std::function<void(TCustomForm&, bool canClose)> listener) {
  return AddListener({0, {}, std::move(listener), {}});
}

TListenerId TCustomForm::AddBeforeDestroyListener(std::function<void(TCustomForm&)> listener) {
  return AddListener({0, {}, {}, std::move(listener)});
}

void TCustomForm::RemoveListener(TListenerId id) {
  std::erase_if(listeners_, [id](const Listener& listener) { return listener.id == id; });
}

void TCustomForm::WndProc(TMessage& message) {
  switch (message.Msg) {
    case kReleaseMessage:
      Free(this);  // nothing of this object may be touched after this
      return;
    case WM_CLOSE:
      Close();
      return;
    case WM_QUERYENDSESSION:
      // The session ends without closing or destroying the forms: their close query is the last
      // chance to keep unsaved work and settings, and a form that refuses keeps the session.
      message.Result = CloseQuery() ? TRUE : FALSE;
      return;
    case WM_DESTROY:
      // The menu bar belongs to its TMainMenu, not to the window.
      if (menu_) ::SetMenu(Handle(), nullptr);
      break;
    case WM_WINDOWPOSCHANGING: {
      auto& position = *reinterpret_cast<WINDOWPOS*>(message.LParam);
      if (appearing_ && (position.flags & SWP_SHOWWINDOW)) position.flags |= SWP_NOREDRAW;
      // A change that keeps the window's size (a placement applied again) is marked as one: the
      // platform then asks for no size limits, which it looks up on the monitor each time.
      RECT now;
      if (!(position.flags & SWP_NOSIZE) && GetWindowRect(Handle(), &now) &&
          position.cx == now.right - now.left && position.cy == now.bottom - now.top)
        position.flags |= SWP_NOSIZE;
      break;
    }
    case WM_NCACTIVATE:
      if (appearing_ && message.WParam && IsWindowVisible(Handle())) frameDrawnAppearing_ = true;
      break;
    case WM_ACTIVATE:
      // Activated with a control to focus, the form focuses it at once: the platform's default
      // would focus the form's own window first (one focus change more, and the input method's
      // context switched to it and away again).
      if (LOWORD(message.WParam) == WA_INACTIVE || !activeControl_ || !activeControl_->CanFocus())
        DefaultHandler(message);
      if (LOWORD(message.WParam) != WA_INACTIVE) {
        if (Screen) Screen->SetActiveForm(this);
        if (activeControl_ && activeControl_->CanFocus()) activeControl_->SetFocus();
        if (OnActivate) OnActivate(this);
      } else if (OnDeactivate) {
        OnDeactivate(this);
      }
      message.Result = 0;
      return;
    case WM_COMMAND:
      if (message.LParam == 0 && menu_ && menu_->DispatchCommand(LOWORD(message.WParam))) return;
      break;
    case WM_INITMENUPOPUP:
      TMenu::PopupOpening(reinterpret_cast<HMENU>(message.WParam));
      break;
    case CM_DIALOGKEY:
      // Tab and Shift+Tab (Ctrl held or not, as in the platform's dialogs) move the focus
      // through this form's controls; keys typed in another window, such as a modeless dialog
      // of the form, stay there.
      if (message.WParam == VK_TAB && GetKeyState(VK_MENU) >= 0 &&
          GetAncestor(GetFocus(), GA_ROOT) == Handle()) {
        TWinControl* current = activeControl_;
        if (!current || !current->Focused()) current = ControlOfWindow(GetFocus());
        SelectNext(current, GetKeyState(VK_SHIFT) >= 0, true);
        message.Result = 1;
        return;
      }
      break;
    case WM_QUERYNEWPALETTE:
      message.Result = PaletteChanged(true) ? 1 : 0;
      return;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(message.WParam) != Handle()) PaletteChanged(false);
      message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      // Alt, Alt+letter and F10 reach the toolbars through the main-window hooks.
      if ((message.WParam & 0xFFF0) == SC_KEYMENU && Application) {
        struct Routing {
          bool& flag;
          bool was;
          ~Routing() { flag = was; }
        } routing{routingKeyMenu_, routingKeyMenu_};
        routingKeyMenu_ = true;
        TMessage command{CM_APPSYSCOMMAND, 0, reinterpret_cast<LPARAM>(&message), 0};
        if (Application->CallMainWindowHooks(command)) return;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

// TApplication

LRESULT CALLBACK ApplicationWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Application || Application->window_ != window) {
    return DefWindowProcW(window, msg, wParam, lParam);
  }
  TMessage message{msg, wParam, lParam, 0};
  try {
    Application->WndProc(message);
  } catch (...) {
    Application->HandleException(std::current_exception());
  }
  return message.Result;
}

void TApplication::WndProc(TMessage& message) {
  if (CallMainWindowHooks(message)) return;
  switch (message.Msg) {
    case WM_CLOSE:
      // The hidden window owns the menus and popups for the application's whole life; a close
      // request sent to it (taskkill sends one to every top-level window) would destroy it. The
      // forms get their own requests.
      return;
    case WM_INITMENUPOPUP:
      TMenu::PopupOpening(reinterpret_cast<HMENU>(message.WParam));
      break;
    case WM_TIMER:
      if (message.WParam == kHintShowTimer) {
        KillTimer(window_, kHintShowTimer);
        POINT at{};
        GetCursorPos(&at);
        ActivateHint(at);
        return;
      }
      if (message.WParam == kHintHideTimer) {
        KillTimer(window_, kHintHideTimer);
        if (hintWindow_) hintWindow_->ReleaseHint();
        return;
      }
      break;
    default:
      break;
  }
  message.Result = DefWindowProcW(window_, message.Msg, message.WParam, message.LParam);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    if (component == hintControl_) {
      hintControl_ = nullptr;
      if (window_) KillTimer(window_, kHintShowTimer);
      if (hintWindow_) hintWindow_->ReleaseHint();
    }
    if (component == mouseControl_) mouseControl_ = nullptr;
  }
  TComponent::Notification(component, operation);
}

void TApplication::HookMainWindow(TWindowHook hook, void* data) {
  for (const MainWindowHook& entry : mainWindowHooks_) {
    if (entry.hook == hook && entry.data == data) return;
  }
  mainWindowHooks_.push_back({hook, data});
}

void TApplication::UnhookMainWindow(TWindowHook hook, void* data) {
  std::erase_if(mainWindowHooks_, [&](const MainWindowHook& entry) {
    return entry.hook == hook && entry.data == data;
  });
}

bool TApplication::CallMainWindowHooks(TMessage& message) noexcept {
  // A hook may unhook itself or others: walk a copy, skipping the ones gone meanwhile.
  const std::vector<MainWindowHook> hooks = mainWindowHooks_;
  for (const MainWindowHook& entry : hooks) {
    const bool still = std::any_of(
        mainWindowHooks_.begin(), mainWindowHooks_.end(),
        [&](const MainWindowHook& e) { return e.hook == entry.hook && e.data == entry.data; });
    if (!still) continue;
    try {
      if (entry.hook(entry.data, message)) return true;
    } catch (...) {
      HandleException(std::current_exception());
      return true;
    }
  }
  return false;
}

TApplication::TApplication() : TComponent(nullptr) {
  if (Application) throw rtl::Exception("There is an application already");
  oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ApplicationWindowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TApplication";
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, L"TApplication", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  Application = this;
  Screen = new TScreen();
}

TApplication::~TApplication() {
  hintWindow_.reset();
  TComponent::BeforeDestruction();  // no virtual call from a destructor
  DestroyComponents();
  delete Screen;
  Screen = nullptr;
  if (window_) DestroyWindow(window_);
  Application = nullptr;
  if (oleInitialized_) OleUninitialize();
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::HandleMessage() {
  if (ProcessMessage()) return;
  Idle();
  if (!terminated_) WaitMessage();
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

bool TApplication::ProcessMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  // Shortcuts first, as with accelerators; then a registered dialog's keys.
  if (!PreProcess(message) && !IsDialogMsg(message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void TApplication::AddModelessDialog(HWND dialog) {
  if (dialog &&
      std::find(modelessDialogs_.begin(), modelessDialogs_.end(), dialog) == modelessDialogs_.end())
    modelessDialogs_.push_back(dialog);
}

void TApplication::RemoveModelessDialog(HWND dialog) {
  std::erase(modelessDialogs_, dialog);
}

bool TApplication::IsDialogMsg(MSG& message) {
  // Handles of dialogs destroyed without being removed are dropped first.
  std::erase_if(modelessDialogs_, [](HWND dialog) { return !IsWindow(dialog); });
  for (const HWND dialog : modelessDialogs_)
    if (message.hwnd == dialog || IsChild(dialog, message.hwnd))
      return IsDialogMessageW(dialog, &message) != FALSE;
  return false;
}

namespace {

// The form that receives a key message: the form of its window, else the active form.
TCustomForm* KeyForm(HWND window) {
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(GetAncestor(window, GA_ROOT)));
  if (!form && Screen) form = Screen->ActiveForm();
  if (!form || !form->HandleAllocated() || !IsWindowEnabled(form->Handle())) return nullptr;
  return form;
}

// Keys a dialog would use for itself unless the focused window asks for them.
bool WantedByFocus(MSG& message) {
  const WPARAM key = message.wParam;
  if (key == VK_MENU) return false;
  const auto code = static_cast<UINT>(
      SendMessageW(message.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&message)));
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB:
      return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return (code & DLGC_WANTARROWS) != 0;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
    case VK_CANCEL:
      return false;
    default:
      return true;  // not a dialog key
  }
}

}  // namespace

bool TApplication::IsKeyMsg(MSG& message) {
  TCustomForm* form = KeyForm(message.hwnd);
  if (!form) return false;
  TShiftState shift = KeyDataToShiftState(message.lParam);
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  const TShortCut shortcut = ShortCut(static_cast<std::uint16_t>(message.wParam), shift);
  if (form->IsShortCut(shortcut)) return true;
  TMessage appKey{CM_APPKEYDOWN, message.wParam, message.lParam, 0};
  if (CallMainWindowHooks(appKey)) return true;
  for (TWinControl* control = ControlOfWindow(message.hwnd); control; control = control->Parent()) {
    if (control->PopupMenu() && control->PopupMenu()->IsShortCut(shortcut)) return true;
  }
  if (WantedByFocus(message)) return false;
  return form->Perform(CM_DIALOGKEY, message.wParam, message.lParam) != 0;
}

bool TApplication::IsCharMsg(MSG& message) {
  TCustomForm* form = KeyForm(message.hwnd);
  if (!form) return false;
  if (message.message == WM_CHAR) {
    const auto code = static_cast<UINT>(SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                                     reinterpret_cast<LPARAM>(&message)));
    if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) return false;
  }
  return form->Perform(CM_DIALOGCHAR, message.wParam, message.lParam) != 0;
}

bool TApplication::PreProcess(MSG& message) {
  try {
    switch (message.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        CancelHint();  // a key takes the hint away, as a click does
        // A new press of Alt (not its repeat: bit 30 is the key's previous state).
        if (message.wParam == VK_MENU && !(message.lParam & (1 << 30))) altKeyTaken_ = false;
        if (!IsKeyMsg(message)) return false;
        if (GetKeyState(VK_MENU) < 0) altKeyTaken_ = true;
        return true;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        // Alt released after a key that a shortcut took: no menu mode, as on Windows, where any
        // key between Alt's press and release cancels it. Wine decides from the key-downs its
        // default window procedure saw, and the shortcut's never reached it.
        return message.wParam == VK_MENU && std::exchange(altKeyTaken_, false);
      case WM_CHAR:
      case WM_SYSCHAR:
        return IsCharMsg(message);
      case WM_MOUSEMOVE:
        if (TWinControl* control = TWinControl::FromHandle(message.hwnd)) {
          SetMouseControl(control);
          HintMouseMessage(control, {message.message, message.wParam, message.lParam, 0});
        }
        return false;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        CancelHint();
        return false;
      default:
        return false;
    }
  } catch (...) {
    HandleException(std::current_exception());
    return true;
  }
}

void TApplication::LinkTo(TControl* control) {
  if (control) control->FreeNotification(this);
}

void TApplication::SetMouseControl(TControl* control) {
  if (control == mouseControl_) return;
  TControl* previous = std::exchange(mouseControl_, control);
  LinkTo(control);
  if (previous) previous->Perform(CM_MOUSELEAVE);
  if (control && control == mouseControl_) control->Perform(CM_MOUSEENTER);
}

void TApplication::SetHintControl(TControl* control) {
  hintControl_ = control;
  LinkTo(control);
}

void TApplication::SetHint(const std::wstring& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool showHint) {
  showHint_ = showHint;
  if (!showHint) CancelHint();
}

void TApplication::SetHintWindowFactory(std::function<Owned<THintWindow>()> factory) {
  hintWindowFactory_ = std::move(factory);
  hintWindow_.reset();
}

void TApplication::HintMouseMessage(TControl* control, const TMessage& message) {
  TControl* shower = control;
  while (shower && !shower->ShowHint()) shower = shower->Parent();
  if (!showHint_ || !shower) {
    CancelHint();
    return;
  }
  // The point in the hint control's client coordinates.
  POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  auto* from = dynamic_cast<TWinControl*>(control);
  auto* to = dynamic_cast<TWinControl*>(shower);
  if (from && to && from != to && from->HandleAllocated() && to->HandleAllocated()) {
    MapWindowPoints(from->Handle(), to->Handle(), &at, 1);
  }
  const TRect& r = hintCursorRect_;
  const bool inside = at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom;
  if (shower == hintControl_ && inside) return;
  const bool wasShown = hintWindow_ && hintWindow_->Active();
  if (hintWindow_) hintWindow_->ReleaseHint();
  KillTimer(window_, kHintHideTimer);
  SetHintControl(shower);
  hintCursorRect_ = {0, 0, shower->Width(), shower->Height()};
  SetTimer(window_, kHintShowTimer, wasShown ? 50 : static_cast<UINT>(hintPause_), nullptr);
}

void TApplication::ActivateHint(POINT cursorPos) {
  TControl* control = hintControl_;
  if (!control || !showHint_) return;
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = cursorPos;
  if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->HandleAllocated())
    ScreenToClient(windowed->Handle(), &info.CursorPos);
  info.CursorRect = {0, 0, control->Width(), control->Height()};
  info.HintPos = {cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
  info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
  info.HideTimeout = hintHidePause_;
  const std::wstring& hint = control->Hint();
  info.HintStr = hint.substr(0, hint.find(L'|'));
  const LRESULT refused = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  if (hintControl_ != control) return;  // the handler changed the hint control
  hintCursorRect_ = info.CursorRect;
  if (refused || info.HintStr.empty()) {
    if (hintWindow_) hintWindow_->ReleaseHint();
    return;
  }
  if (!hintWindow_) hintWindow_ = hintWindowFactory_ ? hintWindowFactory_() : New<THintWindow>();
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  const TRect work = Screen ? Screen->WorkAreaRect() : TRect{};
  int x = info.HintPos.x;
  int y = info.HintPos.y;
  if (work.Width() > 0) {
    x = std::max(work.left, std::min(x, work.right - r.Width()));
    y = std::max(work.top, std::min(y, work.bottom - r.Height()));
  }
  r = {x, y, x + r.Width(), y + r.Height()};
  hintWindow_->ActivateHintData(r, info.HintStr, info.HintData);
  if (info.HideTimeout > 0) SetTimer(window_, kHintHideTimer, info.HideTimeout, nullptr);
}

void TApplication::CancelHint() {
  if (window_) {
    KillTimer(window_, kHintShowTimer);
    KillTimer(window_, kHintHideTimer);
  }
  if (hintWindow_) hintWindow_->ReleaseHint();
  hintControl_ = nullptr;
  hintCursorRect_ = {};
}

void TApplication::Idle() {
  // The control under the mouse: enter and leave notifications, the application's hint.
  Guarded([&] {
    POINT at{};
    GetCursorPos(&at);
    TWinControl* target = ControlOfWindow(WindowFromPoint(at));
    SetMouseControl(target);
    if (hintControl_ && target != hintControl_) {
      bool inside = false;
      for (TControl* c = target; c && !inside; c = c->Parent()) inside = c == hintControl_;
      if (!inside) CancelHint();
    }
    const std::wstring hint = target ? target->Hint() : std::wstring();
    const std::size_t bar = hint.find(L'|');
    SetHint(bar == std::wstring::npos ? hint : hint.substr(bar + 1));
  });
  bool done = true;
  if (OnIdle) Guarded([&] { OnIdle(this, done); });
  if (!Screen) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (!form->Visible()) continue;
    Guarded([&] { ForEachActionList(*form, [](TActionList& list) { list.UpdateActions(); }); });
    Guarded([&] { InitiateClientActions(*form); });
  }
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

std::wstring TApplication::ExceptionMessage(std::exception_ptr error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return WideFromUtf8(e.what());
  } catch (...) {
    return L"Unknown exception";
  }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
  try {
    if (OnException) {
      OnException(error);
      return;
    }
    std::wstring text = ExceptionMessage(error);
    // As the class library does: a period unless the text ends in punctuation at or below '.'.
    if (!text.empty() && text.back() > L'.') text += L'.';
    ShowMessageBox({GetActiveWindow(), text, title_, MB_OK | MB_ICONSTOP});
  } catch (...) {
    OutputDebugStringW(L"An exception escaped the exception handler");
  }
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
  return ShowMessageBox({GetActiveWindow(), text, caption, flags});
}

bool TApplication::HelpCommand(UINT command, ULONG_PTR data) {
  if (!OnHelp) return false;
  const auto handler = OnHelp;  // the handler may replace itself
  return handler(command, data);
}

// TScreen

namespace {

// The cursors installed for the process, with no owner (shared resource cursors, or resources
// not loaded yet).
struct InstalledCursor {
  HCURSOR handle = nullptr;
  TCursorResource resource;
};

std::map<TCursor, InstalledCursor>& InstalledCursors() {
  static std::map<TCursor, InstalledCursor> cursors;
  return cursors;
}

}  // namespace

TCursorResource::TCursorResource(HINSTANCE module, const wchar_t* resource) : instance(module) {
  if (IS_INTRESOURCE(resource))
    id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(resource));
  else if (resource)
    name = resource;
}

HCURSOR TCursorResource::Load() const {
  return LoadCursorW(instance, id ? MAKEINTRESOURCEW(id) : name.c_str());
}

void InstallCursor(TCursor cursor, HCURSOR handle) {
  InstalledCursors()[cursor] = {handle, {}};
  if (Screen) Screen->SetCursors(cursor, handle);
}

void InstallResourceCursor(TCursor cursor, HINSTANCE instance, const wchar_t* name) {
  InstalledCursors()[cursor] = {nullptr, {instance, name}};
  if (Screen) Screen->SetResourceCursor(cursor, instance, name);
}

TScreen::TScreen() {
  for (const auto& [cursor, installed] : InstalledCursors())
    cursors_[cursor] = {installed.handle, false, installed.resource};
}

TScreen::~TScreen() {
  for (auto& [id, slot] : cursors_) {
    if (slot.owned && slot.handle) DestroyCursor(slot.handle);
  }
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(forms_, form);
}

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(Cursors(cursor == crDefault ? crArrow : cursor));
}

HCURSOR TScreen::Cursors(TCursor cursor) const {
  if (const auto found = cursors_.find(cursor); found != cursors_.end()) {
    CursorSlot& slot = found->second;
    if (!slot.handle && !slot.resource.Empty()) {
      slot.handle = slot.resource.Load();
      slot.resource = {};
    }
    if (slot.handle) return slot.handle;
    cursors_.erase(found);  // a resource the module lacks: as if never installed
  }
  struct Standard {
    TCursor id;
    const wchar_t* resource;
  };
  static const Standard kStandard[] = {
      {crArrow, IDC_ARROW},          {crCross, IDC_CROSS},
      {crIBeam, IDC_IBEAM},          {crSizeNESW, IDC_SIZENESW},
      {crSizeNS, IDC_SIZENS},        {crSizeNWSE, IDC_SIZENWSE},
      {crSizeWE, IDC_SIZEWE},        {crUpArrow, IDC_UPARROW},
      {crHourGlass, IDC_WAIT},       {crNo, IDC_NO},
      {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
      {crHandPoint, IDC_HAND},       {crSizeAll, IDC_SIZEALL},
      {crHSplit, IDC_SIZEWE},        {crVSplit, IDC_SIZENS},
      {crDrag, IDC_ARROW},           {crNoDrop, IDC_NO},
      {crMultiDrag, IDC_ARROW},
  };
  if (cursor == crNone) return nullptr;
  for (const Standard& standard : kStandard) {
    if (standard.id == cursor) return LoadCursorW(nullptr, standard.resource);
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(TCursor cursor, HCURSOR handle, bool owned) {
  CursorSlot& slot = cursors_[cursor];
  if (slot.owned && slot.handle && slot.handle != handle) DestroyCursor(slot.handle);
  slot = {handle, owned, {}};
}

void TScreen::SetResourceCursor(TCursor cursor, HINSTANCE instance, const wchar_t* name) {
  SetCursors(cursor, nullptr);
  cursors_[cursor].resource = {instance, name};
}

int TScreen::PixelsPerInch() const {
  const HDC dc = GetDC(nullptr);
  const int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi;
}

std::vector<TMonitor> TScreen::Monitors() const {
  std::vector<TMonitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return FromRECT(r);
}

TCursorScope::TCursorScope(TCursor cursor) : previous_(Screen ? Screen->Cursor() : crDefault) {
  if (Screen) Screen->SetCursor(cursor);
}

TCursorScope::~TCursorScope() {
  if (Screen) Screen->SetCursor(previous_);
}

}  // namespace ui
