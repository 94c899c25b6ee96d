// The system's values, read each time (they may change while the program runs).
#include "tb/system_settings.h"
#include "tb/win32/common.h"

namespace tb {

namespace {

struct TPlatformSettings final : ISystemSettings {
  bool MenuAnimation() override { return QuerySystemFlag(SPI_GETMENUANIMATION, false); }
  bool MenuFade() override { return QuerySystemFlag(SPI_GETMENUFADE, false); }
  int MenuShowDelay() override { return QueryMenuShowDelay(); }
  bool FlatMenus() override { return AreFlatMenusEnabled(); }
  bool KeyboardCues() override { return AreKeyboardCuesEnabled(); }
};

}  // namespace

ISystemSettings& PlatformSystemSettings() {
  static TPlatformSettings settings;
  return settings;
}

}  // namespace tb
