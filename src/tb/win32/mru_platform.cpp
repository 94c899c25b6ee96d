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

std::wstring ExpandFullPath(const std::wstring& name) {
  // The first call tells the length; the path may change between the calls, so try again.
  std::wstring full(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length =
        GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return name;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.assign(length, L'\0');
  }
  return name;
}

void TTBMRUList::LoadFromRegIni(const ui::TRegistryIniFile& ini, const std::wstring& section) {
  LoadFromIni(ini, section);
}

void TTBMRUList::SaveToRegIni(ui::TRegistryIniFile& ini, const std::wstring& section) const {
  SaveToIni(ini, section);
}

}  // namespace tb
