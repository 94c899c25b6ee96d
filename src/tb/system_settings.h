// The system settings that menus follow, read through one interface so that tests can set them
// (changing them in Wine would change them for every process under the same Wine server).
//   SystemSettings(): the installed settings, else the platform's (Win32: the system's values
//   with the framework's fall-backs; on the host: the Windows defaults).
//   SetSystemSettings(settings) installs one (null: the platform's again) and returns the
//   previous one. TFixedSystemSettings holds plain values for tests.
#pragma once

namespace tb {

class ISystemSettings {
 public:
  virtual bool MenuAnimation() = 0;  // SPI_GETMENUANIMATION
  virtual bool MenuFade() = 0;       // SPI_GETMENUFADE: fade rather than slide
  virtual int MenuShowDelay() = 0;   // milliseconds, never negative
  virtual bool FlatMenus() = 0;
  virtual bool KeyboardCues() = 0;  // accelerators always underlined

 protected:
  ~ISystemSettings() = default;
};

struct TFixedSystemSettings final : ISystemSettings {
  bool menuAnimation = false;
  bool menuFade = false;
  int menuShowDelay = 400;
  bool flatMenus = true;
  bool keyboardCues = true;

  bool MenuAnimation() override { return menuAnimation; }
  bool MenuFade() override { return menuFade; }
  int MenuShowDelay() override { return menuShowDelay; }
  bool FlatMenus() override { return flatMenus; }
  bool KeyboardCues() override { return keyboardCues; }
};

ISystemSettings& SystemSettings();
ISystemSettings* SetSystemSettings(ISystemSettings* settings);
// The platform's settings (defined per platform).
ISystemSettings& PlatformSystemSettings();

}  // namespace tb
