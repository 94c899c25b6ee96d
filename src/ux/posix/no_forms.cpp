// The host build has no forms: no owner is a form (tests attach their own), no component has a
// default section, no top-level owner is known by name and there is no application title.
#include "ux/app_utils.h"
#include "ux/form_attachment.h"
#include "ux/props_storage.h"

namespace ux {

bool IsForm(const ui::TComponent* /*owner*/) {
  return false;
}

std::unique_ptr<FormAttachment> AttachToOwnerForm(TFormPlacement& /*placement*/) {
  return nullptr;
}

std::wstring GetDefaultSection(const ui::TComponent* /*component*/) {
  return {};
}

ui::TComponent* FindGlobalOwner(std::wstring_view /*name*/) {
  return nullptr;
}

std::wstring ApplicationTitle() {
  return {};
}

}  // namespace ux
