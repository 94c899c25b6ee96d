#include <windows.h>

#include <filesystem>

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

// An INI file named without a full path is the Windows folder's, as for the platform's profile
// functions; taken from the current folder, which follows the images the user opens, start-up
// and close would each use another file.
std::filesystem::path IniFilePath(const std::wstring& fileName) {
  const std::filesystem::path path(fileName);
  if (path.is_absolute() || path.empty()) return path;
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return path;
  return std::filesystem::path(folder) / path;
}

}  // namespace

// The current user's key is created even for a read (a first run leaves it behind); under any
// other root a read-only store creates nothing, and nothing is ever created under the current
// user on another root's behalf.
std::unique_ptr<ui::TCustomIniFile> OpenSettingsStore(const TSettingsStoreRequest& request) {
  if (!request.useRegistry) return std::make_unique<ui::TIniFile>(IniFilePath(request.fileName));
  const HKEY root = RootKey(request.registryRoot);
  if (request.readOnly && root == HKEY_CURRENT_USER)
    ui::TRegKey::Create(root, request.fileName, KEY_READ);
  return std::make_unique<ui::TRegistryIniFile>(root, request.fileName, request.readOnly);
}

}  // namespace ux
