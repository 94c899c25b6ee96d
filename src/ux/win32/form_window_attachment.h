// Binds a placement component to a form's window: the form as a placement host, and, while size
// limits or PreventResize need it, a window hook that hands the form window's messages to the
// component's WndMessage.
#pragma once

#include <memory>

#include "ui/component.h"
#include "ux/form_attachment.h"
#include "ux/win32/window_hook.h"
#include "ux/win32/window_placement_host.h"

namespace ux::win32 {

class TFormWindowAttachment : public FormAttachment {
 public:
  // `form` is the windowed component whose window is hooked; `host` reports on the same window.
  TFormWindowAttachment(TFormPlacement& placement, ui::TComponent& form,
                        std::unique_ptr<TWindowPlacementHost> host);

  PlacementHost& Host() override { return *host_; }
  void SetWindowHookActive(bool active) override;

 private:
  void AfterMessage(TMessage& message);

  TFormPlacement& placement_;
  ui::TComponent& form_;
  std::unique_ptr<TWindowPlacementHost> host_;
  TUxWindowHook* hook_ = nullptr;  // owned by the placement component
};

}  // namespace ux::win32
