// A component that watches, and may alter, the messages of any windowed control: before-handlers
// run before the control's window procedure (setting Handled keeps the message from it), after-
// handlers after it. Hooks added later see a message first.
#pragma once

#include <functional>

#include "ui/component.h"
#include "ui/win32/controls.h"
#include "ux/message.h"
#include "ux/win32/control_hook.h"

namespace ux::win32 {

class TUxWindowHook : public ui::TComponent {
 public:
  using THookMessageEvent =
      std::function<void(TUxWindowHook& sender, TMessage& msg, bool& handled)>;

  explicit TUxWindowHook(ui::TComponent* owner) : ui::TComponent(owner) {}
  ~TUxWindowHook() override;

  std::wstring_view ClassName() const override { return L"TUxWindowHook"; }
  // Active, IsForm and WinControl (a windowed control).
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  // The attached record's control, else the control set.
  ui::TComponent* WinControl() const;
  void SetWinControl(ui::TComponent* control);
  // True when the hook watches its own owner and that owner is a form; setting True hooks the
  // owner form (a form is not named as the hooked control in stored settings, this says it).
  bool IsForm() const;
  void SetIsForm(bool isForm);
  void HookControl();
  void UnhookControl();

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  void BeforeDestruction() noexcept override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

 private:
  friend class TControlHook;
  ui::TWinControl* WindowedControl() const;
  void SetWindowedControl(ui::TWinControl* control) { SetWinControl(control); }

  bool active_ = true;
  ui::TComponent* control_ = nullptr;
  TControlHook* controlHook_ = nullptr;
};

}  // namespace ux::win32
