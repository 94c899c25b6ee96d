// The platform's theme services: visual styles in use, the version test, theme text colours and
// the Luna colour scheme.
#include <windows.h>

#include <uxtheme.h>

#include <cwchar>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

constexpr int kTextColorProperty = 3803;  // TMT_TEXTCOLOR

class TThemeServices : public TSkBarPlatform {
 public:
  bool ThemesEnabled() const override { return IsThemeActive() && IsAppThemed(); }

  bool IsVistaOrLater() const override {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6;
  }

  TColor ThemeTextColor(const wchar_t* themeClass, int part, int state) const override {
    const HTHEME theme = SkOpenTheme(themeClass);
    if (!theme) return clNone;
    COLORREF color = 0;
    const HRESULT result = GetThemeColor(theme, part, state, kTextColorProperty, &color);
    return SUCCEEDED(result) ? static_cast<TColor>(color) : clNone;
  }

  TSkBarLunaScheme LunaScheme() const override {
    wchar_t file[1024] = {}, color[1024] = {}, size[1024] = {};
    if (FAILED(GetCurrentThemeName(file, 1024, color, 1024, size, 1024))) return lusUnknown;
    const wchar_t* name = file;
    for (const wchar_t* p = file; *p; ++p)
      if (*p == L'\\' || *p == L'/' || *p == L':') name = p + 1;
    if (_wcsicmp(name, L"LUNA.MSSTYLES") != 0) return lusUnknown;
    if (_wcsicmp(color, L"NORMALCOLOR") == 0) return lusBlue;
    if (_wcsicmp(color, L"METALLIC") == 0) return lusMetallic;
    if (_wcsicmp(color, L"HOMESTEAD") == 0) return lusGreen;
    return lusUnknown;
  }
};

}  // namespace

TSkBarPlatform& SkDefaultPlatform() {
  static TThemeServices platform;
  return platform;
}

}  // namespace skbar
