#include "ui/win32/controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "rtl/exceptions.h"
#include "ui/properties.h"
#include "ui/win32/forms.h"
#include "ui/win32/menus.h"
#include "ui/win32/offscreen_paint.h"

namespace ui {

namespace {

// The controls of this process by window, with the own procedure of each system-class window that
// a control subclasses. Asked on every message, so kept in the process (window properties, and
// the platform's subclassing through them, cost a call into the window system each time);
// another instance's windows are never in it.
class TControlWindows {
 public:
  struct Entry {
    TWinControl* control = nullptr;
    WNDPROC original = nullptr;  // set for a subclassed system-class window
  };
  void Add(HWND window, Entry entry) {
    const std::lock_guard lock(mutex_);
    windows_[window] = entry;
  }
  // The window keeps its entry, without a control, until its last message.
  void Detach(HWND window) {
    const std::lock_guard lock(mutex_);
    if (const auto found = windows_.find(window); found != windows_.end())
      found->second.control = nullptr;
  }
  void Remove(HWND window) {
    const std::lock_guard lock(mutex_);
    windows_.erase(window);
  }
  Entry Find(HWND window) {
    const std::lock_guard lock(mutex_);
    const auto found = windows_.find(window);
    return found == windows_.end() ? Entry{} : found->second;
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, Entry> windows_;
};

TControlWindows& ControlWindows() {
  static TControlWindows windows;
  return windows;
}

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) shift |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) shift |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) shift |= ssMiddle;
  return shift;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (keyData & 0x20000000) shift |= ssAlt;
  return shift;
}

// TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
  font_.OnChange = [this] {
    FontChanged();
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() noexcept {
  // Leaving the parent runs the most derived SetParent (a docked window frees its floating
  // form there).
  if (parent_) {
    try {
      SetParent(nullptr);
    } catch (...) {
      if (Application) Application->HandleException(std::current_exception());
    }
  }
  TComponent::BeforeDestruction();
}

void TControl::GetPublishedProps(std::vector<const PropInfo*>& out) const {
  TComponent::GetPublishedProps(out);
  static constexpr PropInfo kProps[] = {
      IntProp<TControl, &TControl::Left, &TControl::SetLeft>(L"Left"),
      IntProp<TControl, &TControl::Top, &TControl::SetTop>(L"Top"),
      IntProp<TControl, &TControl::Width, &TControl::SetWidth>(L"Width"),
      IntProp<TControl, &TControl::Height, &TControl::SetHeight>(L"Height"),
  };
  for (const PropInfo& prop : kProps) out.push_back(&prop);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
  TComponent::Notification(component, operation);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw rtl::Exception("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  auto* windowed = dynamic_cast<TWinControl*>(this);
  if (!parent) {
    if (windowed) windowed->UpdateShowing();
    return;
  }
  parent->InsertControl(this);
  UpdateAnchorRules();
  if (parentFont_) font_.Assign(parent->Font());
  if (windowed) {
    // An existing window moves to its new parent as it is (a drag may hold the capture).
    if (windowed->handle_) {
      ::SetParent(windowed->handle_, parent->HandleAllocated() ? parent->Handle() : nullptr);
    } else if (parent->HandleAllocated()) {
      windowed->CreateHandle();
    }
    windowed->UpdateShowing();
  }
  parent->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = {left, top, left + std::max(width, 0), top + std::max(height, 0)};
  UpdateAnchorRules();
  BoundsChanged();
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetAnchors(TAnchors anchors) {
  anchors_ = anchors;
  UpdateAnchorRules();
}

void TControl::FollowAnchors(int parentWidth, int parentHeight) {
  const TRect r = AnchorRect(anchorOrigin_, anchors_, anchorParentWidth_, anchorParentHeight_,
                             parentWidth, parentHeight);
  if (r == bounds_) return;
  anchorMoving_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{anchorMoving_};
  SetBounds(r.left, r.top, r.Width(), r.Height());
}

void TControl::UpdateAnchorRules() {
  if (anchorMoving_ || !parent_) return;
  anchorOrigin_ = bounds_;
  anchorParentWidth_ = parent_->Width();
  anchorParentHeight_ = parent_->Height();
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible);
  if (!parent_) return;
  if (align_ != TAlign::alNone) parent_->Realign();
  parent_->Perform(CM_CHILDVISIBLECHANGED, reinterpret_cast<WPARAM>(this), visible);
}

void TControl::SetEnabled(bool enabled) {
  const bool changed = enabled != enabled_;
  enabled_ = enabled;
  if (changed) Perform(CM_ENABLEDCHANGED);
}

void TControl::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
  parentFont_ = parentFont;
  if (parentFont && parent_) font_.Assign(parent_->Font());
}

void TControl::SetColor(TColor color) {
  color_ = color;
  Perform(CM_COLORCHANGED);
}

bool TControl::ShowHint() const {
  return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_;
}

namespace {

// Tells `control` and the children that follow it that the effective ShowHint may have changed.
void ShowHintChanged(TControl& control) {
  control.Perform(CM_SHOWHINTCHANGED);
  if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
    for (int i = 0; i < windowed->ControlCount(); ++i) {
      if (windowed->Controls(i)->ParentShowHint()) ShowHintChanged(*windowed->Controls(i));
    }
  }
}

}  // namespace

void TControl::SetShowHint(bool showHint) {
  showHint_ = showHint;
  parentShowHint_ = false;
  ShowHintChanged(*this);
}

void TControl::SetParentShowHint(bool parentShowHint) {
  if (parentShowHint == parentShowHint_) return;
  parentShowHint_ = parentShowHint;
  ShowHintChanged(*this);
}

bool TControl::Showing() const {
  return visible_ && parent_ && parent_->Showing();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) {
  message.Result = 0;
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DoContextPopup(POINT mousePos, bool& handled) {
  if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

TCustomForm* TControl::ParentForm() {
  TControl* control = this;
  while (control->parent_) control = control->parent_;
  return dynamic_cast<TCustomForm*>(control);
}

TComponent* TControl::GetParentComponent() const {
  return parent_;
}

// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children leave without telling this half-destroyed control; owned ones go with it.
  for (TControl* control : controls_) control->parent_ = nullptr;
  controls_.clear();
  DestroyComponents();
  // Deleted without BeforeDestruction: the window's last messages must not reach this half-
  // destroyed object.
  DetachAndDestroyWindow();
  if (parent_) {
    parent_->RemoveControl(this);
    parent_ = nullptr;
  }
}

void TWinControl::BeforeDestruction() noexcept {
  // The window's last messages still reach the whole object.
  if (handle_) DestroyWindow(handle_);
  TControl::BeforeDestruction();
}

void TWinControl::DetachAndDestroyWindow() noexcept {
  const HWND window = std::exchange(handle_, nullptr);
  if (!window) return;
  if (subclassed_) {
    ControlWindows().Detach(window);  // its own procedure still gets its last messages
  } else {
    ControlWindows().Remove(window);
  }
  subclassed_ = false;
  DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window ? ControlWindows().Find(window).control : nullptr;
}

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.windowClass = std::wstring(ClassName());
  if (Visible()) params.style |= WS_VISIBLE;
  if (!Enabled()) params.style |= WS_DISABLED;
}

void TWinControl::RegisterOwnClass(const TCreateParams& params) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(Instance(), params.windowClass.c_str(), &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = params.classStyle;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = Instance();
  // System cursors are shared; loading one asks the window system each time.
  static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hCursor = arrow;
  windowClass.lpszClassName = params.windowClass.c_str();
  if (!RegisterClassExW(&windowClass)) throw rtl::Exception("Cannot register a window class");
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  if (parent_) parent_->HandleNeeded();  // creating the parent creates its children
  if (handle_) return;
  TCreateParams params;
  params.bounds = BoundsRect();
  params.parent = parent_ ? parent_->handle_ : nullptr;
  CreateParams(params);
  if (!params.systemClass) RegisterOwnClass(params);
  // A window without a parent control is shown through CM_SHOWINGCHANGED, never at creation.
  if (!parent_) params.style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
  const TRect& r = params.bounds;
  const HWND window =
      CreateWindowExW(params.exStyle, params.windowClass.c_str(), Caption().c_str(), params.style,
                      r.left, r.top, r.Width(), r.Height(), params.parent, nullptr, Instance(),
                      params.systemClass ? nullptr : this);
  if (!window) throw rtl::Exception("Error creating window");
  if (params.systemClass) {
    handle_ = window;
    originalProcedure_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    ControlWindows().Add(window, {this, originalProcedure_});
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProcedure));
    subclassed_ = true;
  }
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
  WindowBoundsChanged();
  HandleCreated();
  for (TControl* control : std::vector<TControl*>(controls_)) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->CreateHandle();
  }
  Realign();
  UpdateShowing();
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  CreateHandle();
}

void TWinControl::UpdateShowing() {
  const bool showing = Visible() && (parent_ ? parent_->Showing() : true);
  if (showing && !handle_ && (!parent_ || parent_->handle_)) {
    CreateHandle();  // updates Showing itself
    return;
  }
  if (showing != showing_) {
    showing_ = showing;
    Perform(CM_SHOWINGCHANGED);
  }
  for (TControl* control : std::vector<TControl*>(controls_)) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->UpdateShowing();
  }
}

void TWinControl::BroadcastUntilAnswered(TMessage& message) {
  for (TControl* control : std::vector<TControl*>(controls_)) {
    message.Result = control->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result != 0) return;
  }
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* control : std::vector<TControl*>(controls_)) {
    control->Perform(message.Msg, message.WParam, message.LParam);
  }
}

void TWinControl::DestroyHandle() {
  if (handle_) DestroyWindow(handle_);
  showing_ = false;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* control =
        static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (control) {
      control->handle_ = window;
      ControlWindows().Add(window, {control, nullptr});
    }
  }
  TWinControl* control = FromHandle(window);
  if (!control) return DefWindowProcW(window, msg, wParam, lParam);
  return Dispatch(control, window, msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::SubclassProcedure(HWND window, UINT msg, WPARAM wParam,
                                                LPARAM lParam) {
  const TControlWindows::Entry entry = ControlWindows().Find(window);
  if (entry.control) return Dispatch(entry.control, window, msg, wParam, lParam);
  // Detached from its control: the window ends with its own procedure.
  const LRESULT result = entry.original
                             ? CallWindowProcW(entry.original, window, msg, wParam, lParam)
                             : DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) ControlWindows().Remove(window);
  return result;
}

LRESULT TWinControl::Dispatch(TWinControl* control, HWND window, UINT msg, WPARAM wParam,
                              LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  try {
    control->WndProc(message);
  } catch (...) {
    if (Application) Application->HandleException(std::current_exception());
    message.Result = 0;
  }
  if (msg == WM_NCDESTROY) {
    ControlWindows().Remove(window);
    control->subclassed_ = false;
    control->handle_ = nullptr;
  }
  return message.Result;
}

bool TWinControl::HasNonClientArea() const {
  return !handle_ || WindowHasFrame(handle_);
}

bool TWinControl::CoveredByChildWindows() {
  const TRect client = ClientRect();
  const TGdiHandle<HRGN> rest{CreateRectRgn(client.left, client.top, client.right, client.bottom)};
  const auto restRgn = static_cast<HRGN>(rest.get());
  int kind = ERROR;
  for (TControl* control : controls_) {
    auto* child = dynamic_cast<TWinControl*>(control);
    if (!child || !child->handle_ || !child->Visible()) continue;
    const TRect& r = child->BoundsRect();
    const TGdiHandle<HRGN> part{CreateRectRgn(r.left, r.top, r.right, r.bottom)};
    kind = CombineRgn(restRgn, restRgn, static_cast<HRGN>(part.get()), RGN_DIFF);
  }
  return kind == NULLREGION;
}

void TWinControl::ValidateHiddenWindows() {
  for (TControl* control : controls_) {
    auto* child = dynamic_cast<TWinControl*>(control);
    if (!child || !child->handle_ || !child->Visible()) continue;
    // A frame stays to be painted: its paint then draws the frame alone.
    if (child->CoveredByChildWindows())
      RedrawWindow(child->handle_, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
    child->ValidateHiddenWindows();
  }
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (!handle_) return;
  message.Result = subclassed_
                       ? CallWindowProcW(originalProcedure_, handle_, message.Msg, message.WParam,
                                         message.LParam)
                       : DefWindowProcW(handle_, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::NotifyReflected(NMHDR&, LRESULT&) {
  return false;
}
bool TWinControl::CommandReflected(WORD, LRESULT&) {
  return false;
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview() && form->OnKeyDown) {
    form->OnKeyDown(form, key, shift);
    if (key == 0) return false;
  }
  if (OnKeyDown) OnKeyDown(this, key, shift);
  return key != 0;
}

bool TWinControl::DoKeyPress(wchar_t& key) {
  TCustomForm* form = ParentForm();
  if (form && form != this && form->KeyPreview() && form->OnKeyPress) {
    form->OnKeyPress(form, key);
    if (key == 0) return false;
  }
  if (OnKeyPress) OnKeyPress(this, key);
  return key != 0;
}

bool TWinControl::MouseMessage(TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam);
  const int y = GET_Y_LPARAM(message.LParam);
  const TShiftState shift = KeyboardShiftState();
  const bool own = !subclassed_;
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (message.Msg == WM_LBUTTONDBLCLK && (ControlStyle() & csDoubleClicks)) {
        if (own && OnDblClick) OnDblClick(this);
        MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
        return true;
      }
      if (own && (ControlStyle() & csCaptureMouse)) SetCapture(handle_);
      MouseDown(TMouseButton::mbLeft, shift, x, y);
      return true;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      MouseDown(message.Msg == WM_RBUTTONDOWN ? TMouseButton::mbRight : TMouseButton::mbMiddle,
                shift, x, y);
      return true;
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      MouseDown(message.Msg == WM_RBUTTONDBLCLK ? TMouseButton::mbRight : TMouseButton::mbMiddle,
                shift | ssDouble, x, y);
      return true;
    case WM_LBUTTONUP:
      if (own && GetCapture() == handle_ && (ControlStyle() & csCaptureMouse)) ReleaseCapture();
      MouseUp(TMouseButton::mbLeft, shift, x, y);
      if (own && (ControlStyle() & csClickEvents) && OnClick) OnClick(this);
      return true;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseUp(message.Msg == WM_RBUTTONUP ? TMouseButton::mbRight : TMouseButton::mbMiddle, shift,
              x, y);
      return true;
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return true;
    default:
      return false;
  }
}

void TWinControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT:
      // A window whose client area is the whole window has no frame to paint; the platform's
      // frame painting would still take a device context and the theme's frame for nothing.
      if (!HasNonClientArea()) {
        message.Result = 0;
        return;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(message.LParam);
      TWinControl* child = header ? FromHandle(header->hwndFrom) : nullptr;
      LRESULT result = 0;
      if (child && child != this && child->NotifyReflected(*header, result)) {
        message.Result = result;
        return;
      }
      break;
    }
    case WM_COMMAND: {
      TWinControl* child = FromHandle(reinterpret_cast<HWND>(message.LParam));
      LRESULT result = 0;
      if (child && child != this && child->CommandReflected(HIWORD(message.WParam), result)) {
        message.Result = result;
        return;
      }
      break;
    }
    case WM_SIZE:
    case WM_MOVE:
      DefaultHandler(message);
      WindowBoundsChanged();
      if (message.Msg == WM_SIZE) {
        // A minimised window's client area is empty: its controls keep their places (and their
        // state, such as a view's scroll position) for the restore.
        if (!IsIconic(handle_)) Realign();
        if (OnResize) OnResize(this);
      }
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(message.WParam);
      if (!DoKeyDown(key, KeyboardShiftState())) return;
      message.WParam = key;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(message.WParam);
      if (OnKeyUp) OnKeyUp(this, key, KeyboardShiftState());
      if (key == 0) return;
      break;
    }
    case WM_CHAR: {
      auto key = static_cast<wchar_t>(message.WParam);
      if (!DoKeyPress(key)) return;
      message.WParam = key;
      break;
    }
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
      bool handled = false;
      DoContextPopup(at, handled);
      if (handled) {
        message.Result = 1;
        return;
      }
      if (PopupMenu() && PopupMenu()->AutoPopup()) {
        if (message.LParam == -1) {
          at = {Width() / 2, Height() / 2};
          ClientToScreen(handle_, &at);
        }
        PopupMenu()->SetPopupComponent(this);
        PopupMenu()->Popup(at.x, at.y);
        message.Result = 1;
        return;
      }
      break;
    }
    case WM_SYSCOMMAND:
      // The key-menu command (Alt, Alt+letter, F10) belongs to the form: it has the menus.
      if ((message.WParam & 0xFFF0) == SC_KEYMENU && parent_) {
        TCustomForm* form = ParentForm();
        if (form && form != this && form->HandleAllocated()) {
          // Sent by the form's own routing: handing it back would start that again.
          message.Result = form->RoutingKeyMenu() ? 0
                                                  : SendMessageW(form->Handle(), WM_SYSCOMMAND,
                                                                 message.WParam, message.LParam);
          return;
        }
      }
      break;
    case WM_SETTINGCHANGE:
      // Only top-level windows hear of it; their controls are told with CM_WININICHANGE.
      Perform(CM_WININICHANGE, message.WParam, message.LParam);
      break;
    case WM_SYSCOLORCHANGE:
      Perform(CM_SYSCOLORCHANGE, message.WParam, message.LParam);
      break;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      BroadcastUntilAnswered(message);
      return;
    case CM_SYSCOLORCHANGE:
    case CM_WININICHANGE:
      Broadcast(message);
      message.Result = 0;
      return;
    case CM_SHOWINGCHANGED:
      if (handle_) {
        const bool styleVisible = (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
        if (styleVisible != showing_) ShowWindow(handle_, showing_ ? SW_SHOWNA : SW_HIDE);
      }
      return;
    case WM_SETCURSOR:
      if (Screen && Screen->Cursor() != crDefault && LOWORD(message.LParam) == HTCLIENT) {
        ::SetCursor(Screen->Cursors(Screen->Cursor()));
        message.Result = TRUE;
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (!subclassed_) {
        RECT r;
        GetClientRect(handle_, &r);
        const TGdiHandle<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, static_cast<HBRUSH>(brush.get()));
        message.Result = 1;
        return;
      }
      break;
    case WM_SETFOCUS:
      if (TCustomForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
      break;
    default:
      if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) MouseMessage(message);
      // The library's own notifications mean nothing to Windows.
      if (message.Msg >= CM_BASE && message.Msg < CM_BASE + 0x100) return;
      break;
  }
  DefaultHandler(message);
}

// A window's rectangle in its parent's client coordinates (on the screen without a parent).
static TRect BoundsInParent(HWND window, HWND parent) {
  RECT r;
  GetWindowRect(window, &r);
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return FromRECT(r);
}

void TWinControl::WindowBoundsChanged() {
  if (!handle_ || IsIconic(handle_)) return;
  StoreBounds(BoundsInParent(handle_, parent_ ? parent_->handle_ : nullptr));
  BoundsChanged();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (handle_) {
    // A window already at these bounds is not moved: the call would move nothing, yet cost calls
    // into the window system (layout passes set every aligned control's bounds again).
    const TRect wanted{left, top, left + std::max(width, 0), top + std::max(height, 0)};
    if (IsIconic(handle_) ||
        BoundsInParent(handle_, parent_ ? parent_->handle_ : nullptr) != wanted) {
      SetWindowPos(handle_, nullptr, left, top, std::max(width, 0), std::max(height, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The window may have taken other bounds meanwhile (a SetBounds of its own while it
    // handled the size change, or limits of Windows): it keeps what the window has.
    if (!IsIconic(handle_)) {
      const TRect actual = BoundsInParent(handle_, parent_ ? parent_->handle_ : nullptr);
      left = actual.left;
      top = actual.top;
      width = actual.Width();
      height = actual.Height();
    }
  }
  TControl::SetBounds(left, top, width, height);
}

void TWinControl::SetVisible(bool visible) {
  TControl::SetVisible(visible);
  if (parent_) {
    if (visible && !handle_ && parent_->handle_) CreateHandle();
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
  }
  UpdateShowing();
}

void TWinControl::SetEnabled(bool enabled) {
  if (handle_) EnableWindow(handle_, enabled);
  TControl::SetEnabled(enabled);
}

void TWinControl::SetCaption(const std::wstring& caption) {
  if (handle_) SetWindowTextW(handle_, caption.c_str());
  TControl::SetCaption(caption);
}

void TWinControl::SetColor(TColor color) {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
  TControl::SetColor(color);
}

void TWinControl::FontChanged() {
  if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  for (TControl* control : controls_) {
    if (control->ParentFont()) control->Font().Assign(Font());
  }
}

void TWinControl::UpdateStyle(DWORD add, DWORD remove, bool extended) {
  if (!handle_) return;
  const int index = extended ? GWL_EXSTYLE : GWL_STYLE;
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle_, index));
  SetWindowLongPtrW(handle_, index, static_cast<LONG_PTR>((style | add) & ~remove));
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TWinControl::ClientWidth() {
  return ClientRect().Width();
}
int TWinControl::ClientHeight() {
  return ClientRect().Height();
}

TRect TWinControl::ClientRect() {
  if (!handle_) return {0, 0, Width(), Height()};
  RECT r;
  GetClientRect(handle_, &r);
  return FromRECT(r);
}

void TWinControl::Realign() {
  // Asked again from inside the alignment (a control changed its own bounds while it was
  // placed): the alignment runs once more when the present pass ends.
  if (aligning_) {
    realignPending_ = true;
    return;
  }
  aligning_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{aligning_};
  // A few passes at most, in case two controls never agree.
  for (int pass = 0; pass < 4; ++pass) {
    realignPending_ = false;
    AlignControls(ClientRect());
    if (!realignPending_) break;
  }
  realignPending_ = false;
}

void TWinControl::AlignControls(const TRect& client) {
  std::vector<TControl*> aligned;
  std::vector<AlignItem> items;
  for (TControl* control : controls_) {
    if (control->Align() == TAlign::alNone) {
      if (control->anchors_ != (akLeft | akTop)) control->FollowAnchors(Width(), Height());
      continue;
    }
    if (!control->Visible()) continue;
    aligned.push_back(control);
    items.push_back({control->Align(), control->BoundsRect()});
  }
  if (aligned.empty()) return;
  const std::vector<TRect> rects = AlignRects(client, items);
  for (std::size_t i = 0; i < aligned.size(); ++i) {
    const TRect& r = rects[i];
    if (r != aligned[i]->BoundsRect()) aligned[i]->SetBounds(r.left, r.top, r.Width(), r.Height());
  }
}

bool TWinControl::Focused() const {
  return handle_ && GetFocus() == handle_;
}

bool TWinControl::CanFocus() const {
  return handle_ && IsWindowVisible(handle_) && IsWindowEnabled(handle_);
}

void TWinControl::SetFocus() {
  ::SetFocus(Handle());
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) tabList_.push_back(windowed);
  const auto child = reinterpret_cast<WPARAM>(control);
  Perform(CM_CONTROLLISTCHANGE, child, TRUE);
  Perform(CM_CONTROLCHANGE, child, TRUE);
}

void TWinControl::RemoveControl(TControl* control) {
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) return;
  const auto child = reinterpret_cast<WPARAM>(control);
  if (!Destroying()) {
    Perform(CM_CONTROLCHANGE, child, FALSE);
    Perform(CM_CONTROLLISTCHANGE, child, FALSE);
  }
  std::erase(controls_, control);
  std::erase(tabList_, control);
  control->parent_ = nullptr;
}

// TCustomControl

void TCustomControl::Invalidate() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomControl::Paint() {
  canvas_.Brush().SetColor(Color());
  canvas_.FillRect(ClientRect());
  if (OnPaint) OnPaint(this);
}

void TCustomControl::WndProc(TMessage& message) {
  if (message.Msg != WM_PAINT) {
    TWinControl::WndProc(message);
    return;
  }
  PaintHandler(message);
}

namespace {

bool ClientUpToDate(HWND window) {
  const TGdiHandle<HRGN> update(CreateRectRgn(0, 0, 0, 0));
  return update && GetUpdateRgn(window, update.get(), FALSE) == NULLREGION;
}

}  // namespace

void TCustomControl::PaintHandler(TMessage& message) {
  struct CanvasGuard {
    TCanvas* canvas;
    ~CanvasGuard() { canvas->SetHandle(nullptr); }
  };
  if (message.WParam) {
    const auto dc = reinterpret_cast<HDC>(message.WParam);
    const int saved = SaveDC(dc);
    {
      CanvasGuard guard{&canvas_};
      canvas_.SetHandle(dc);
      canvas_.Font().Assign(Font());
      Paint();
    }
    RestoreDC(dc, saved);
    return;
  }
  const HWND window = Handle();
  // A paint with nothing left in the client area is for the frame alone: the frame is drawn
  // through its own message and the window validated, without the client's device context
  // that the platform's paint would take (a new one asks the window system about the display).
  if (ClientUpToDate(window)) {
    SendMessageW(window, WM_NCPAINT, 1, 0);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_VALIDATE | RDW_NOFRAME | RDW_NOINTERNALPAINT | RDW_NOCHILDREN);
    return;
  }
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window, &paint);
  struct EndPaintGuard {
    HWND window;
    PAINTSTRUCT* paint;
    ~EndPaintGuard() { EndPaint(window, paint); }
  } endPaint{window, &paint};
  CanvasGuard guard{&canvas_};
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(Font());
  Paint();
}

}  // namespace ui
