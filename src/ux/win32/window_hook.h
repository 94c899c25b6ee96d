// A component that watches, and may alter, the messages of any windowed control: before-handlers
// run before the control's window procedure (setting Handled keeps the message from it), after-
// handlers after it. Hooks added later see a message first.
#pragma once

#include <functional>

#include "ui/component.h"
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

  bool Active() const { return active_; }
  void SetActive(bool active);
  // The attached record's control, else the control set.
  ui::TComponent* WinControl() const;
  void SetWinControl(ui::TComponent* control);
  void HookControl();
  void UnhookControl();

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  void BeforeDestruction() noexcept override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

 private:
  friend class TControlHook;

  bool active_ = true;
  ui::TComponent* control_ = nullptr;
  TControlHook* controlHook_ = nullptr;
};

}  // namespace ux::win32
