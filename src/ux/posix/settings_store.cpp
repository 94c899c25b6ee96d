// The host build has INI files only; the registry exists on Windows alone.
#include "rtl/exceptions.h"
#include "ui/ini_file.h"
#include "ux/form_placement.h"

namespace ux {

std::unique_ptr<ui::TCustomIniFile> OpenSettingsStore(const TSettingsStoreRequest& request) {
  if (request.useRegistry) throw rtl::Exception("The registry is not available on this system");
  return std::make_unique<ui::TIniFile>(request.fileName);
}

}  // namespace ux
