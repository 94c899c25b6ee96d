#include "gfx/themes.h"

namespace gfx {

bool TVisualStyles::InitThemeLibrary() {
  if (FLibrary == 0) {
    FLibrary = FHost.LoadModule(L"uxtheme.dll");
    if (FLibrary != 0) {
      for (int i = 0; i < ThemeEntryCount; ++i)
        FEntries[i] = FHost.BindEntry(FLibrary, ThemeEntryNames[i]);
      if (!FEntries[teOpenThemeData] || !FEntries[teCloseThemeData] || !FEntries[teIsThemeActive] ||
          !FEntries[teIsAppThemed] || !FEntries[teEnableTheming])
        FreeThemeLibrary();
    }
  }
  return FLibrary != 0;
}

void TVisualStyles::FreeThemeLibrary() {
  if (FLibrary == 0) return;
  if (!FHost.ModuleIsLibrary()) FHost.UnloadModule(FLibrary);
  FLibrary = 0;
  FEntries.fill(nullptr);
}

bool TVisualStyles::ThemesInUse() {
  return FLibrary != 0 && FHost.IsAppThemed(FEntries[teIsAppThemed]) != 0 &&
         FHost.IsThemeActive(FEntries[teIsThemeActive]) != 0;
}

void TVisualStyles::OpenVisualStyles(std::uintptr_t window) {
  FThemesEnabled = false;
  if (!InitThemeLibrary()) return;
  FThemesEnabled = ThemesInUse();
  if (!FThemesEnabled) return;
  FScrollBarTheme = FHost.OpenThemeData(FEntries[teOpenThemeData], window, L"SCROLLBAR");
  FGlobalsTheme = FHost.OpenThemeData(FEntries[teOpenThemeData], window, L"GLOBALS");
}

// Open handles are closed while the library is loaded even when themes were just switched off
// (then the library no longer reports them in use), and always forgotten: a handle kept past
// FreeThemeLibrary would name theme data of an unloaded library.
void TVisualStyles::CloseVisualStyles() {
  const bool canClose = !FHost.ModuleIsLibrary() && FLibrary != 0;
  for (std::uintptr_t* theme : {&FScrollBarTheme, &FGlobalsTheme}) {
    if (*theme != 0 && canClose) FHost.CloseThemeData(FEntries[teCloseThemeData], *theme);
    *theme = 0;
  }
  FreeThemeLibrary();
}

void TVisualStyles::ThemeChanged(std::uintptr_t window) {
  CloseVisualStyles();
  OpenVisualStyles(window);
}

}  // namespace gfx
