// The link between a placement component and the form that owns it: the form as a
// PlacementHost, and the window hook that enforces size limits. The Windows build makes one when
// the owner is a real form (it also routes the form's show, close-query and destroy steps to the
// component); tests make their own.
#pragma once

#include <memory>

#include "ui/component.h"
#include "ux/placement_host.h"

namespace ux {

class TFormPlacement;

class FormAttachment {
 public:
  virtual ~FormAttachment() = default;
  virtual PlacementHost& Host() = 0;
  // Installs or removes the window hook whose after-message handler is the component's
  // WndMessage.
  virtual void SetWindowHookActive(bool active) = 0;
};

// Whether `owner` is a form of the platform.
bool IsForm(const ui::TComponent* owner);
// Attaches `placement` to its owner form, or gives none when the owner is not a form.
std::unique_ptr<FormAttachment> AttachToOwnerForm(TFormPlacement& placement);

}  // namespace ux
