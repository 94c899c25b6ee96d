#include "skbar/win32/sk_form_popup_menu.h"

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_frame_paint.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_popup.h"
#include "skbar/win32/sk_skin_paint.h"
#include "tb/system_settings.h"
#include "tb/win32/common.h"
#include "ui/boolean_prop.h"

namespace skbar {

namespace {

constexpr int kFrame = 2;

std::function<void(const TSkPopupShowCall&)>& ShowObserver() {
  static std::function<void(const TSkPopupShowCall&)> observer;
  return observer;
}

TSkBarCustomWrapperPopupForm* current = nullptr;

constexpr std::wstring_view kBorderStyleNames[] = {L"pbsFrame", L"pbsSizeable",
                                                   L"pbsSizeableBottom", L"pbsSizeableRightBottom"};
constexpr ui::EnumNames kBorderStyles{kBorderStyleNames};

// A windowed control that is not a form: the wrapper's clicks rule treats it as part of it.
HWND WindowOfControl(ui::TControl* control) {
  auto* windowed = dynamic_cast<ui::TWinControl*>(control);
  if (!windowed || dynamic_cast<ui::TCustomForm*>(control) || !windowed->HandleAllocated())
    return nullptr;
  return windowed->Handle();
}

}  // namespace

void SkSetPopupShowObserver(std::function<void(const TSkPopupShowCall&)> observer) {
  ShowObserver() = std::move(observer);
}

// Size grip.

TSkBarPopupSizeGrip::TSkBarPopupSizeGrip(ui::TComponent* owner) : ui::TCustomControl(owner) {
  SetAlign(ui::TAlign::alBottom);
  SetBounds(0, 0, 100, kPopupSizeGripHeight);
}

TRect TSkBarPopupSizeGrip::GetGripRect() const {
  return SkPopupGripRect(style_, BoundsRect().Width());
}

TRect TSkBarPopupSizeGrip::GetGripSizerRect() const {
  return {0, 0, BoundsRect().Width(), BoundsRect().Height()};
}

bool TSkBarPopupSizeGrip::IsScreenPointInGrip(POINT p) const {
  auto* self = const_cast<TSkBarPopupSizeGrip*>(this);
  if (!self->HandleAllocated()) return false;
  ScreenToClient(self->Handle(), &p);
  const TRect r = GetGripRect();
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void TSkBarPopupSizeGrip::Paint() {
  ui::TCanvas& canvas = Canvas();
  const TRect all = GetGripSizerRect();
  // The status bar's background (without its own grip: the popup's dots follow), between the
  // two background events.
  const TSkBarSkinType skinType = SkEffectiveSkinType(SkinType);
  bool paintDefault = true;
  if (OnDrawBackground)
    OnDrawBackground(this, canvas, all, TSkBarPaintStage::pstPrePaint, paintDefault);
  if (paintDefault) SkPaintStatusBar(canvas, all, {}, skinType);
  if (OnDrawBackground)
    OnDrawBackground(this, canvas, all, TSkBarPaintStage::pstPostPaint, paintDefault);
  const TRect grip = GetGripRect();
  const bool skinned = skinType == sknSkin;
  const TSkBarSkinOptionEntry& dots = SkCurrentSkin().Options(skncStatusBarGrip).Body;
  const TColor dot = skinned && dots.Color1 != clNone ? dots.Color1 : ui::clBtnShadow;
  const TColor shadow = skinned && dots.Color2 != clNone ? dots.Color2 : ui::clBtnHighlight;
  if (style_ == pbsSizeableBottom) {
    SkDrawDotsGrip(canvas, {grip.left, grip.top + 3, grip.right, grip.top + 7}, dot, shadow);
  } else if (style_ == pbsSizeableRightBottom) {
    for (int step = 0; step < 3; ++step) {
      const int x = grip.right - 4 - 4 * step;
      SkDrawDotsGrip(canvas, {x, grip.bottom - 4 - 4 * (2 - step), grip.right, grip.bottom}, dot,
                     shadow);
    }
  }
}

void TSkBarPopupSizeGrip::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      if (IsScreenPointInGrip(p)) {
        SetCursor(LoadCursorW(nullptr, style_ == pbsSizeableBottom ? IDC_SIZENS : IDC_SIZENWSE));
        message.Result = 1;
        return;
      }
      break;
    }
    case WM_LBUTTONDOWN: {
      POINT p;
      GetCursorPos(&p);
      auto* wrapper = dynamic_cast<ui::TWinControl*>(Parent());
      if (wrapper && IsScreenPointInGrip(p)) {
        ReleaseCapture();
        const WPARAM edge = style_ == pbsSizeableBottom ? WMSZ_BOTTOM : WMSZ_BOTTOMRIGHT;
        SendMessageW(wrapper->Handle(), WM_SYSCOMMAND, SC_SIZE | edge, 0);
        return;
      }
      break;
    }
    default:
      break;
  }
  ui::TCustomControl::WndProc(message);
}

// Wrapper.

TSkBarCustomWrapperPopupForm::TSkBarCustomWrapperPopupForm(ui::TComponent* owner)
    : ui::TCustomControl(owner) {
  StoreVisible(false);
  StoreColor(ui::clBtnFace);
  animationKind_ =
      SkPopupAnimationKind(tb::SystemSettings().MenuAnimation(), tb::SystemSettings().MenuFade());
}

TSkBarCustomWrapperPopupForm::~TSkBarCustomWrapperPopupForm() {
  TSkBarCustomWrapperPopupForm::BeforeDestruction();
}

void TSkBarCustomWrapperPopupForm::AfterConstruction() {
  ui::TCustomControl::AfterConstruction();
  grip_ = ui::Create<TSkBarPopupSizeGrip>(*this);
  grip_->SetVisible(false);
  grip_->SetParent(this);
}

void TSkBarCustomWrapperPopupForm::BeforeDestruction() noexcept {
  if (hooked_) {
    tb::UnregisterHookProc(this, &MessageHook);
    hooked_ = false;
  }
  if (current == this) current = nullptr;
  SetPopupControl(nullptr);
  ui::TCustomControl::BeforeDestruction();
}

TSkBarCustomWrapperPopupForm* TSkBarCustomWrapperPopupForm::Current() {
  return current;
}

void TSkBarCustomWrapperPopupForm::CreateParams(TCreateParams& params) {
  ui::TCustomControl::CreateParams(params);
  params.style &= ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE);
  params.style |= WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME;
  params.exStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  params.classStyle |= CS_SAVEBITS;
  params.parent = ui::Application ? ui::Application->Handle() : nullptr;
}

void TSkBarCustomWrapperPopupForm::Notification(ui::TComponent* component,
                                                ui::TOperation operation) {
  ui::TCustomControl::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == popupControl_) popupControl_ = nullptr;
}

void TSkBarCustomWrapperPopupForm::SetPopupControl(ui::TControl* control) {
  if (popupControl_ == control) return;
  if (popupControl_) popupControl_->RemoveFreeNotification(this);
  popupControl_ = control;
  if (popupControl_) popupControl_->FreeNotification(this);
}

void TSkBarCustomWrapperPopupForm::SetBorderStyle(TSkBarPopupBorderStyleType style) {
  borderStyle_ = style;
  if (grip_) grip_->SetBorderStyle(style);
}

void TSkBarCustomWrapperPopupForm::PaintWrapperFrame(ui::TCanvas& canvas, const TRect& r) {
  SkPaintWindowFrame(canvas, r, true, false, kFrame, SkEffectiveSkinType(SkinType));
}

void TSkBarCustomWrapperPopupForm::FireRollDown() {
  if (OnRollDown) OnRollDown(this);
}

void TSkBarCustomWrapperPopupForm::FireRollUp(bool selected) {
  if (OnRollUp) OnRollUp(this, selected);
}

bool TSkBarCustomWrapperPopupForm::Inside(HWND wnd) const {
  auto* self = const_cast<TSkBarCustomWrapperPopupForm*>(this);
  if (!wnd || !self->HandleAllocated()) return false;
  return wnd == self->Handle() || IsChild(self->Handle(), wnd);
}

bool TSkBarCustomWrapperPopupForm::OnPopupControl(HWND wnd) const {
  const HWND control = WindowOfControl(popupControl_);
  return control && wnd && (wnd == control || IsChild(control, wnd));
}

void TSkBarCustomWrapperPopupForm::LayOut() {
  if (!HandleAllocated()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  const bool grip = grip_ && grip_->Visible();
  if (grip) {
    grip_->SetBounds(0, client.bottom - kPopupSizeGripHeight, client.right, kPopupSizeGripHeight);
  }
  if (content_) {
    MoveWindow(content_, 0, 0, client.right,
               std::max(0L, client.bottom - (grip ? kPopupSizeGripHeight : 0)), TRUE);
  }
}

void TSkBarCustomWrapperPopupForm::Show(bool focus) {
  const HWND wnd = Handle();
  // The shadow is a style of the window class every wrapper shares (one shows at a time), so
  // each popup sets it as its own menu asks.
  const ULONG_PTR classStyle = GetClassLongPtrW(wnd, GCL_STYLE);
  const ULONG_PTR shadowed = ShowShadows ? classStyle | CS_DROPSHADOW
                                         : classStyle & ~static_cast<ULONG_PTR>(CS_DROPSHADOW);
  if (shadowed != classStyle) SetClassLongPtrW(wnd, GCL_STYLE, static_cast<LONG_PTR>(shadowed));
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  TSkPopupShowCall call;
  if (animationKind_ == 2) {
    call = {true, 150, AW_BLEND};
    if (ShowObserver()) ShowObserver()(call);
    if (!AnimateWindow(wnd, call.time, call.flags)) {
      ShowWindow(wnd, SW_SHOWNOACTIVATE);
    }
  } else {
    call = {false, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW};
    if (ShowObserver()) ShowObserver()(call);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, call.flags);
  }
  StoreVisible(true);
  if (focus && content_) ::SetFocus(content_);
}

void TSkBarCustomWrapperPopupForm::RollDown(int x, int y, bool focus, int width, int height) {
  if (rolledDown_) return;
  if (current && current != this) current->RollUp(false);
  current = this;
  if (!popupControl_ && ui::Screen && ui::Screen->ActiveForm()) {
    SetPopupControl(ui::Screen->ActiveForm()->ActiveControl());
  }
  const bool grip = borderStyle_ == pbsSizeableBottom || borderStyle_ == pbsSizeableRightBottom;
  grip_->SetVisible(grip);
  if (grip) height += kPopupSizeGripHeight;
  tb::RegisterHookProc(this, &MessageHook,
                       tb::HookCode(tb::THookProcCode::hpGetMessage) |
                           tb::HookCode(tb::THookProcCode::hpSendActivateApp));
  hooked_ = true;
  SetBounds(x, y, width, height);
  const HWND wnd = Handle();
  if (content_) ::SetParent(content_, wnd);
  LayOut();
  rolledDown_ = true;
  focusAtRollDown_ = GetFocus();
  Show(focus);
  FireRollDown();
}

void TSkBarCustomWrapperPopupForm::RollDownBelow(ui::TControl* control, int width, int height,
                                                 bool focus) {
  if (!control || !control->Parent()) return;
  SetPopupControl(control);
  const bool grip = borderStyle_ == pbsSizeableBottom || borderStyle_ == pbsSizeableRightBottom;
  const TPoint at = SkPopupPositionForControl(
      *control, {width, height + (grip ? kPopupSizeGripHeight : 0)}, false);
  RollDown(at.x, at.y, focus, width, height);
}

void TSkBarCustomWrapperPopupForm::RollUp(bool selected) {
  if (!rolledDown_) return;
  rolledDown_ = false;
  if (hooked_) {
    tb::UnregisterHookProc(this, &MessageHook);
    hooked_ = false;
  }
  ui::TControl* control = popupControl_;
  auto* windowed = dynamic_cast<ui::TWinControl*>(control);
  if (windowed && Inside(GetFocus()) && windowed->CanFocus()) windowed->SetFocus();
  SkNotifyPopupClosed(control, reinterpret_cast<WPARAM>(this), selected ? 1 : 0);
  if (HandleAllocated()) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
  StoreVisible(false);
  if (auto* menu = dynamic_cast<TSkBarFormPopupMenu*>(Owner())) {
    // The listed controls now; one freed by an earlier one's handler has left the menu's list.
    const std::vector<ui::TWinControl*> list = menu->closeNotifications_;
    for (ui::TWinControl* listener : list) {
      if (std::find(menu->closeNotifications_.begin(), menu->closeNotifications_.end(), listener) ==
          menu->closeNotifications_.end())
        continue;
      listener->Perform(WM_SKPOPUPCLOSED, reinterpret_cast<WPARAM>(this), selected ? 1 : 0);
    }
  }
  if (current == this) current = nullptr;
  SetPopupControl(nullptr);
  FireRollUp(selected);
}

void TSkBarCustomWrapperPopupForm::MessageHook(tb::THookProcCode code, std::uintptr_t /*wnd*/,
                                               std::uintptr_t wParam, std::intptr_t lParam) {
  TSkBarCustomWrapperPopupForm* self = current;
  if (!self || !self->rolledDown_) return;
  if (code == tb::THookProcCode::hpSendActivateApp) {
    if (!wParam) PostMessageW(self->Handle(), WM_SKFORMPOPUPCLOSE, 0, 1);
    return;
  }
  if (code != tb::THookProcCode::hpGetMessage || !(wParam & PM_REMOVE) || !lParam) return;
  self->HandleHookedMessage(*reinterpret_cast<MSG*>(lParam));
}

void TSkBarCustomWrapperPopupForm::HandleHookedMessage(MSG& message) {
  TSkFormPopupMessage m;
  m.msg = message.message;
  m.wParam = message.wParam;
  m.onWrapper = Inside(message.hwnd);
  m.onPopupControl = OnPopupControl(message.hwnd);
  if (SkFormPopupCloseOn(m) == fpcRollUp) {
    message.message = WM_NULL;
    RollUp(false);
    return;
  }
  // The popup control lost the focus to a window outside the popup.
  const HWND focus = GetFocus();
  if (focusAtRollDown_ && focus && focus != focusAtRollDown_ && !Inside(focus) &&
      !OnPopupControl(focus)) {
    PostMessageW(Handle(), WM_SKFORMPOPUPCLOSE, 0, 1);
  }
}

void TSkBarCustomWrapperPopupForm::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE:
      SkInsetNonClient(message, kFrame);
      return;
    case WM_NCPAINT:
      // The platform's painting first, so that no part of the frame is left unpainted; then the
      // wrapper's frame over it.
      DefaultHandler(message);
      SkPaintNonClient(Handle(), kFrame, [this](ui::TCanvas& canvas, const TRect& r) {
        PaintWrapperFrame(canvas, r);
      });
      message.Result = 0;
      return;
    case WM_PRINT:
      // A print (the platform's animation) shows the wrapper's frame over the platform's.
      DefaultHandler(message);
      if ((message.LParam & PRF_NONCLIENT) &&
          !((message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(Handle()))) {
        SkPaintFrameInto(
            Handle(), reinterpret_cast<HDC>(message.WParam), kFrame,
            [this](ui::TCanvas& canvas, const TRect& r) { PaintWrapperFrame(canvas, r); });
      }
      return;
    case WM_NCHITTEST: {
      const POINT p{static_cast<short>(LOWORD(message.LParam)),
                    static_cast<short>(HIWORD(message.LParam))};
      RECT window;
      GetWindowRect(Handle(), &window);
      TRect row{}, strip{};
      if (grip_ && grip_->Visible() && grip_->HandleAllocated()) {
        RECT g;
        GetWindowRect(grip_->Handle(), &g);
        row = {window.left, g.top, window.right, window.bottom};
        const TRect s = grip_->GetGripRect();
        strip = {g.left + s.left, g.top, g.left + s.right, window.bottom};
      }
      const int hit = SkWrapperResizeHitTest(borderStyle_, row, strip, {p.x, p.y});
      if (hit) {
        message.Result = hit;
      } else {
        RECT client;
        GetClientRect(Handle(), &client);
        MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        message.Result = PtInRect(&client, p) ? HTCLIENT : HTBORDER;
      }
      return;
    }
    case WM_NCACTIVATE:
      if (ui::Application && ui::Application->MainForm() &&
          ui::Application->MainForm()->HandleAllocated()) {
        SendMessageW(ui::Application->MainForm()->Handle(), WM_NCACTIVATE, TRUE, 0);
      }
      message.Result = TRUE;
      return;
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_SIZE:
      ui::TCustomControl::WndProc(message);
      LayOut();
      return;
    case WM_KEYDOWN:
      if (message.WParam == VK_ESCAPE) {
        RollUp(false);
        return;
      }
      break;
    case WM_SKFORMPOPUPCLOSE:
      RollUp(message.WParam != 0);
      return;
    default:
      break;
  }
  ui::TCustomControl::WndProc(message);
}

// The menu.

void TSkBarFormPopupMenu::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TPopupMenu::GetPublishedProps(out);
  using M = TSkBarFormPopupMenu;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<M, &M::AutoSize, &M::SetAutoSize>(L"AutoSize"),
      ui::EnumProp<M, &M::BorderStyle, &M::SetBorderStyle>(L"BorderStyle", kBorderStyles),
      ui::BoolProp<M, &M::PopupFocus, &M::SetPopupFocus>(L"PopupFocus"),
      ui::BoolProp<M, &M::ShowShadows, &M::SetShowShadows>(L"ShowShadows"),
      ui::EnumProp<M, &M::SkinType, &M::SetSkinType>(L"SkinType", SkinTypeNames),
      {.name = L"Items",
       .kind = ui::TypeKind::Enumeration,
       .enumNames = &ui::kBooleanEnum,
       .getOrd = [](const ui::TPersistent&) -> std::int64_t { return 0; }},
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

void TSkBarFormPopupMenu::AfterConstruction() {
  ui::TPopupMenu::AfterConstruction();
  wrapper_ = ui::Create<TSkBarCustomWrapperPopupForm>(*this);
  wrapper_->OnRollUp = [this](ui::TComponent*, bool selected) { PopupFormClosed(selected); };
}

void TSkBarFormPopupMenu::BeforeDestruction() noexcept {
  try {
    if (wrapper_ && wrapper_->RolledDown()) wrapper_->RollUp(false);
  } catch (...) {  // the menu goes regardless
  }
  SetHostedForm(nullptr);
  for (ui::TWinControl* control : closeNotifications_) control->RemoveFreeNotification(this);
  closeNotifications_.clear();
  ui::TPopupMenu::BeforeDestruction();
}

void TSkBarFormPopupMenu::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TPopupMenu::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  if (component == wrapper_) wrapper_ = nullptr;
  if (component == hostedForm_) {
    // The form is going: close without handing it back.
    hostedForm_ = nullptr;
    if (wrapper_) {
      wrapper_->SetContent(nullptr);
      wrapper_->RollUp(false);
    }
  }
  std::erase(closeNotifications_, component);
}

TSkBarPopupBorderStyleType TSkBarFormPopupMenu::BorderStyle() const {
  return wrapper_ ? wrapper_->BorderStyle() : pbsFrame;
}
void TSkBarFormPopupMenu::SetBorderStyle(TSkBarPopupBorderStyleType style) {
  if (wrapper_) wrapper_->SetBorderStyle(style);
}
bool TSkBarFormPopupMenu::ShowShadows() const {
  return wrapper_ && wrapper_->ShowShadows;
}
void TSkBarFormPopupMenu::SetShowShadows(bool show) {
  if (wrapper_) wrapper_->ShowShadows = show;
}
TSkBarSkinType TSkBarFormPopupMenu::SkinType() const {
  return wrapper_ ? wrapper_->SkinType : sknSkin;
}
void TSkBarFormPopupMenu::SetSkinType(TSkBarSkinType type) {
  if (!wrapper_) return;
  wrapper_->SkinType = type;
  wrapper_->SizeGrip().SkinType = type;
}

void TSkBarFormPopupMenu::SetHostedForm(ui::TForm* form) {
  if (hostedForm_ == form) return;
  if (wrapper_ && wrapper_->RolledDown()) wrapper_->RollUp(false);
  if (hostedForm_) hostedForm_->RemoveFreeNotification(this);
  hostedForm_ = form;
  if (hostedForm_) hostedForm_->FreeNotification(this);
}

void TSkBarFormPopupMenu::Popup(int x, int y) {
  SetPopupPoint({x, y});
  ShowPopupForm(x, y, nullptr, popupFocus_);
}

bool TSkBarFormPopupMenu::PopupEx(int x, int y, bool focus) {
  SetPopupPoint({x, y});
  return ShowPopupForm(x, y, nullptr, focus);
}

bool TSkBarFormPopupMenu::PopupEx(ui::TControl* control, bool focus) {
  return ShowPopupForm(0, 0, control, focus);
}

void TSkBarFormPopupMenu::ClosePopup(bool selected) {
  if (wrapper_ && wrapper_->HandleAllocated()) {
    PostMessageW(wrapper_->Handle(), WM_SKFORMPOPUPCLOSE, selected ? 1 : 0, 1);
  }
}

void TSkBarFormPopupMenu::AddCloseNotification(ui::TWinControl* control) {
  if (!control || std::find(closeNotifications_.begin(), closeNotifications_.end(), control) !=
                      closeNotifications_.end()) {
    return;
  }
  closeNotifications_.push_back(control);
  control->FreeNotification(this);
}

void TSkBarFormPopupMenu::RemoveCloseNotification(ui::TWinControl* control) {
  const auto it = std::find(closeNotifications_.begin(), closeNotifications_.end(), control);
  if (it == closeNotifications_.end()) return;
  closeNotifications_.erase(it);
  control->RemoveFreeNotification(this);
}

void TSkBarFormPopupMenu::FireGetPopupFormClass(TSkBarFormFactory& formClass) {
  if (OnGetPopupFormClass) OnGetPopupFormClass(this, formClass);
}

bool TSkBarFormPopupMenu::ShowPopupForm(int x, int y, ui::TControl* popupControl, bool focus) {
  if (!wrapper_ || wrapper_->RolledDown()) return false;
  TSkBarFormFactory formClass;
  FireGetPopupFormClass(formClass);
  if (formClass) {
    madeForm_ = formClass();
    SetHostedForm(madeForm_.get());
  }
  if (!hostedForm_) return false;
  const HWND form = hostedForm_->Handle();
  formStyle_ = GetWindowLongW(form, GWL_STYLE);
  formOwner_ = GetWindow(form, GW_OWNER);
  GetWindowRect(form, &formBounds_);
  RECT client;
  GetClientRect(form, &client);
  int width = client.right, height = client.bottom;
  if (autoSize_ && rememberedWidth_ >= 1 && rememberedHeight_ >= 1) {
    width = rememberedWidth_;
    height = rememberedHeight_;
  }
  // The form's window becomes a borderless child of the wrapper while it is shown.
  SetWindowLongW(form, GWL_STYLE,
                 (formStyle_ & ~static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_THICKFRAME |
                                                  WS_SYSMENU | WS_BORDER)) |
                     WS_CHILD | WS_VISIBLE);
  wrapper_->SetContent(form);
  if (OnBeforePopup) OnBeforePopup(this, width, height);
  if (popupControl) {
    wrapper_->RollDownBelow(popupControl, width + 2 * kFrame, height + 2 * kFrame, focus);
  } else {
    wrapper_->RollDown(x, y, focus, width + 2 * kFrame, height + 2 * kFrame);
  }
  if (!wrapper_->RolledDown()) {
    Unhost();
    return false;
  }
  if (OnPopup) OnPopup(this);
  return true;
}

void TSkBarFormPopupMenu::Unhost() {
  if (!wrapper_) return;
  const HWND form = wrapper_->Content();
  wrapper_->SetContent(nullptr);
  if (!form || !IsWindow(form)) return;
  ShowWindow(form, SW_HIDE);
  SetWindowLongW(form, GWL_STYLE, formStyle_ & ~static_cast<LONG>(WS_VISIBLE));
  ::SetParent(form, nullptr);
  if (formOwner_) SetWindowLongPtrW(form, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(formOwner_));
  SetWindowPos(form, nullptr, formBounds_.left, formBounds_.top,
               formBounds_.right - formBounds_.left, formBounds_.bottom - formBounds_.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TSkBarFormPopupMenu::PopupFormClosed(bool selected) {
  if (OnBeforeClosePopup) OnBeforeClosePopup(this, selected);
  if (autoSize_ && wrapper_ && wrapper_->Content()) {
    RECT client;
    GetClientRect(wrapper_->Content(), &client);
    rememberedWidth_ = client.right;
    rememberedHeight_ = client.bottom;
  }
  Unhost();
  if (OnClosePopup) OnClosePopup(this, selected);
  if (madeForm_) {
    SetHostedForm(nullptr);
    madeForm_.reset();
  }
}

}  // namespace skbar
