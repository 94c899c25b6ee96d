#include "ux/app_utils.h"

#include <filesystem>

namespace ux {

namespace {

std::wstring ProgramName() {
  if (AppDefaults().UseApplicationTitle) {
    std::wstring title = ApplicationTitle();
    if (!title.empty()) return title;
  }
  return std::filesystem::path(ApplicationExeName()).stem().wstring();
}

}  // namespace

TAppDefaults& AppDefaults() {
  static TAppDefaults defaults;
  return defaults;
}

std::wstring GetDefaultIniRegKey() {
  std::wstring key = L"Software\\";
  if (!AppDefaults().DefaultCompany.empty()) key += AppDefaults().DefaultCompany + L"\\";
  return key + ProgramName();
}

std::wstring GetDefaultIniName() {
  if (AppDefaults().DefaultIniNameProc) return AppDefaults().DefaultIniNameProc();
  return std::filesystem::path(ApplicationExeName()).replace_extension(L".INI").wstring();
}

}  // namespace ux
