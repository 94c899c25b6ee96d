#include "ux/win32/window_hook.h"

#include "ui/boolean_prop.h"
#include "ui/win32/forms.h"

namespace ux::win32 {

// An owned hook is destroyed with its owner without a BeforeDestruction of its own.
TUxWindowHook::~TUxWindowHook() {
  TControlHook* hook = controlHook_;
  if (hook == nullptr) return;
  hook->RemoveHook(this);
  const THookList* list = ExistingHookList();
  if (hook->ClientCount() == 0 && list && list->Handle())
    PostMessageW(list->Handle(), kFreeHookMessage, 0, reinterpret_cast<LPARAM>(hook));
}

void TUxWindowHook::SetActive(bool active) {
  if (active == active_) return;
  if (active)
    HookControl();
  else
    UnhookControl();
}

ui::TComponent* TUxWindowHook::WinControl() const {
  return controlHook_ ? controlHook_->WinControl() : control_;
}

// A record left without clients is freed later from the message loop, never inside a message
// that may be running on it.
void TUxWindowHook::SetWinControl(ui::TComponent* control) {
  ui::TComponent* old = WinControl();
  if (control == old) return;
  const bool wasActive = active_;
  THookList* list = ExistingHookList();
  TControlHook* oldHook = controlHook_ ? controlHook_ : list ? list->FindControlHook(old) : nullptr;
  UnhookControl();
  if (old) old->RemoveFreeNotification(this);
  control_ = control;
  if (control_) control_->FreeNotification(this);
  if (oldHook && oldHook->ClientCount() == 0 && list && list->Handle())
    PostMessageW(list->Handle(), kFreeHookMessage, 0, reinterpret_cast<LPARAM>(oldHook));
  if (wasActive) HookControl();
}

void TUxWindowHook::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TComponent::GetPublishedProps(out);
  using H = TUxWindowHook;
  // A hooked form is stored as IsForm, not by name.
  static constexpr ui::PropInfo kWinControl = [] {
    ui::PropInfo prop =
        ui::RefProp<H, ui::TWinControl, &H::WindowedControl, &H::SetWindowedControl>(L"WinControl");
    prop.stored = [](const ui::TPersistent& o) {
      return dynamic_cast<const ui::TCustomForm*>(static_cast<const H&>(o).WinControl()) == nullptr;
    };
    return prop;
  }();
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<H, &H::Active, &H::SetActive>(L"Active"),
      ui::BoolProp<H, &H::IsForm, &H::SetIsForm>(L"IsForm"),
      kWinControl,
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

ui::TWinControl* TUxWindowHook::WindowedControl() const {
  return dynamic_cast<ui::TWinControl*>(WinControl());
}

bool TUxWindowHook::IsForm() const {
  return WinControl() != nullptr && WinControl() == Owner() &&
         dynamic_cast<const ui::TCustomForm*>(Owner()) != nullptr;
}

void TUxWindowHook::SetIsForm(bool isForm) {
  if (isForm && dynamic_cast<ui::TCustomForm*>(Owner()) != nullptr) SetWinControl(Owner());
}

void TUxWindowHook::HookControl() {
  if (WinControl() && !Destroying()) {
    if (controlHook_)
      controlHook_->HookControl();
    else
      HookList().GetControlHook(control_).AddHook(this);
  }
  active_ = true;
}

void TUxWindowHook::UnhookControl() {
  if (controlHook_) controlHook_->RemoveHook(this);
  active_ = false;
}

void TUxWindowHook::BeforeDestruction() noexcept {
  try {
    SetActive(false);
    SetWinControl(nullptr);
  } catch (...) {  // detaching raises nothing of its own; a failing free notification is moot now
  }
  ui::TComponent::BeforeDestruction();
}

// The hook lets go of its control when the control goes, when its own owner goes, and, having no
// owner, on any removal it hears of.
void TUxWindowHook::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TComponent::Notification(component, operation);
  if (operation != ui::TOperation::opRemove || component == nullptr) return;
  if (component == WinControl() || component == Owner() || Owner() == nullptr)
    SetWinControl(nullptr);
}

}  // namespace ux::win32
