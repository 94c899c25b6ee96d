#include <windows.h>

#include "ui/ini_file.h"
#include "ui/win32/registry_ini_file.h"
#include "ux/form_placement.h"

namespace ux {

namespace {

HKEY RootKey(TPlacementRegRoot root) {
  switch (root) {
    case TPlacementRegRoot::prLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case TPlacementRegRoot::prCurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case TPlacementRegRoot::prClassesRoot:
      return HKEY_CLASSES_ROOT;
    case TPlacementRegRoot::prUsers:
      return HKEY_USERS;
    case TPlacementRegRoot::prDynData:
      return HKEY_DYN_DATA;
    case TPlacementRegRoot::prCurrentUser:
      break;
  }
  return HKEY_CURRENT_USER;
}

}  // namespace

// The current user's key is created even for a read (a first run leaves it behind); under any
// other root a read-only store creates nothing, and nothing is ever created under the current
// user on another root's behalf.
std::unique_ptr<ui::TCustomIniFile> OpenSettingsStore(const TSettingsStoreRequest& request) {
  if (!request.useRegistry) return std::make_unique<ui::TIniFile>(request.fileName);
  const HKEY root = RootKey(request.registryRoot);
  if (request.readOnly && root == HKEY_CURRENT_USER)
    ui::TRegKey::Create(root, request.fileName, KEY_READ);
  return std::make_unique<ui::TRegistryIniFile>(root, request.fileName, request.readOnly);
}

}  // namespace ux
