// Builds without a platform: no visual styles, no theme colours.
#include "skbar/skin_manager.h"

namespace skbar {

namespace {

class TNoThemes : public TSkBarPlatform {
 public:
  bool ThemesEnabled() const override { return false; }
  bool IsVistaOrLater() const override { return true; }
  TColor ThemeTextColor(const wchar_t*, int, int) const override { return clNone; }
  TSkBarLunaScheme LunaScheme() const override { return lusUnknown; }
};

}  // namespace

TSkBarPlatform& SkDefaultPlatform() {
  static TNoThemes platform;
  return platform;
}

}  // namespace skbar
