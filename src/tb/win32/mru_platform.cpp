// The recent-file list's platform parts: the common dialogs' file title and the registry forms
// of the settings-file functions.
#include <windows.h>

#include <commdlg.h>

#include "tb/mru.h"
#include "ui/win32/registry_ini_file.h"

namespace tb {

std::wstring FileTitleOf(const std::wstring& name) {
  wchar_t title[MAX_PATH] = {};
  if (GetFileTitleW(name.c_str(), title, MAX_PATH) != 0) return name;
  return title;
}

void TTBMRUList::LoadFromRegIni(const ui::TRegistryIniFile& ini, const std::wstring& section) {
  LoadFromIni(ini, section);
}

void TTBMRUList::SaveToRegIni(ui::TRegistryIniFile& ini, const std::wstring& section) const {
  SaveToIni(ini, section);
}

}  // namespace tb
