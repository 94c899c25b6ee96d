#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

// A system library loaded on first use and freed at exit.
class TLibrary {
 public:
  explicit TLibrary(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;
  ~TLibrary() {
    if (module_) FreeLibrary(module_);
  }
  template <class Proc>
  Proc Get(const char* name) const {
    return module_ ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }

 private:
  HMODULE module_;
};

const TLibrary& Msimg32() {
  static const TLibrary library(L"msimg32.dll");
  return library;
}

bool gGradientFillEnabled = true;
bool gThemeOpenFails = false;

}  // namespace

TGradientFillProc SkGradientFillProc() {
  static const TGradientFillProc proc = Msimg32().Get<TGradientFillProc>("GradientFill");
  return gGradientFillEnabled ? proc : nullptr;
}

TAlphaBlendProc SkAlphaBlendProc() {
  static const TAlphaBlendProc proc = Msimg32().Get<TAlphaBlendProc>("AlphaBlend");
  return proc;
}

TDrawThemeTextExProc SkDrawThemeTextExProc() {
  static const TLibrary library(L"uxtheme.dll");
  static const TDrawThemeTextExProc proc = library.Get<TDrawThemeTextExProc>("DrawThemeTextEx");
  return proc;
}

void SkSetGradientFillEnabled(bool enabled) {
  gGradientFillEnabled = enabled;
}

void SkSetThemeOpenFails(bool fails) {
  gThemeOpenFails = fails;
}

bool SkIsGlassPainting(const ui::TControl*) {
  return false;
}

TSkTheme::TSkTheme(const wchar_t* themeClass) {
  if (!gThemeOpenFails) theme_ = OpenThemeData(nullptr, themeClass);
}

TSkTheme::~TSkTheme() {
  if (theme_) CloseThemeData(theme_);
}

}  // namespace skbar
