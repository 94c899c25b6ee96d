#include "skbar/win32/sk_theme.h"

#include <map>
#include <mutex>
#include <string>

#include "ui/win32/forms.h"

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

// The visual style in use (file, colour scheme, size); empty without one.
std::wstring CurrentStyle() {
  wchar_t file[MAX_PATH] = {}, color[MAX_PATH] = {}, size[MAX_PATH] = {};
  if (FAILED(GetCurrentThemeName(file, MAX_PATH, color, MAX_PATH, size, MAX_PATH))) return {};
  return std::wstring(file) + L'|' + color + L'|' + size;
}

// The open themes by class, for the visual style they were opened in: opening one asks the
// window system each time, and every item of every toolbar paints with a few.
class TThemeCache {
 public:
  TThemeCache() = default;
  TThemeCache(const TThemeCache&) = delete;
  TThemeCache& operator=(const TThemeCache&) = delete;
  ~TThemeCache() { CloseAll(); }

  HTHEME Get(const wchar_t* themeClass) {
    const std::wstring style = CurrentStyle();
    const std::lock_guard<std::mutex> guard(lock_);
    if (style != style_) {
      CloseAll();
      style_ = style;
    }
    HTHEME& theme = themes_[themeClass];
    if (!theme) theme = OpenThemeData(nullptr, themeClass);
    return theme;
  }

 private:
  void CloseAll() {
    for (const auto& [name, theme] : themes_)
      if (theme) CloseThemeData(theme);
    themes_.clear();
  }

  std::mutex lock_;
  std::wstring style_;
  std::map<std::wstring, HTHEME, std::less<>> themes_;
};

}  // namespace

HTHEME SkOpenTheme(const wchar_t* themeClass) {
  static TThemeCache cache;
  return cache.Get(themeClass);
}

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

bool SkIsGlassPainting(const ui::TControl* control) {
  if (!control || !control->GlassPainting()) return false;
  const ui::TWinControl* parent = control->Parent();
  while (parent && !parent->DoubleBuffered()) parent = parent->Parent();
  return !parent || dynamic_cast<const ui::TCustomForm*>(parent) != nullptr;
}

TSkTheme::TSkTheme(const wchar_t* themeClass) {
  if (!gThemeOpenFails) theme_ = SkOpenTheme(themeClass);
}

}  // namespace skbar
