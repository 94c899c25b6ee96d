// A fixture with a scripted platform (visual styles, version, theme text colours, Luna scheme)
// and the default skin current; it leaves the manager as it found it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "skbar/skin_manager.h"
#include "ui/text.h"

class TFakePlatform : public skbar::TSkBarPlatform {
 public:
  bool themes = false;
  bool vista = true;
  skbar::TSkBarLunaScheme luna = skbar::lusUnknown;
  std::map<std::tuple<std::wstring, int, int>, ui::TColor> themeColors;

  bool ThemesEnabled() const override { return themes; }
  bool IsVistaOrLater() const override { return vista; }
  ui::TColor ThemeTextColor(const wchar_t* themeClass, int part, int state) const override {
    const auto found = themeColors.find({themeClass, part, state});
    return found == themeColors.end() ? skbar::clNone : found->second;
  }
  skbar::TSkBarLunaScheme LunaScheme() const override { return luna; }
};

// The system colours the tests expect, on every build: face F0F0F0, window FFFFFF, shadow
// A0A0A0, highlight FF9933 (0x00BBGGRR), text black, the rest grey.
inline std::uint32_t FixedSystemColors(int index) {
  switch (index) {
    case 5:
      return 0xFFFFFF;
    case 13:
      return 0xFF9933;
    case 15:
      return 0xF0F0F0;
    case 16:
      return 0xA0A0A0;
    case 7:
    case 8:
    case 18:
      return 0x000000;
    default:
      return 0x808080;
  }
}

class SkinTest : public ::testing::Test {
 protected:
  SkinTest() {
    previousColors_ = ui::SetSystemColorSource(&FixedSystemColors);
    skbar::SkSetPlatform(&platform);
    Manager().SetToDefaultSkin();
  }
  ~SkinTest() override {
    Manager().OnSkinChange = nullptr;
    Manager().SetToDefaultSkin();
    auto& list = Manager().SkinsList();
    while (list.Count() > 12) list.Delete(list.Count() - 1);
    skbar::SkSetPlatform(nullptr);
    ui::SetSystemColorSource(previousColors_);
  }
  static skbar::TSkBarSkinManager& Manager() { return *skbar::SkBarSkinManager(); }
  // The skin of a registered class, made the way the manager makes it.
  static std::unique_ptr<skbar::TSkBarSkinOptions> Make(const std::wstring& name) {
    auto& list = Manager().SkinsList();
    return list.Entries(list.IndexOf(name)).SkinClass();
  }

  TFakePlatform platform;

 private:
  ui::TSystemColorSource previousColors_;
};
