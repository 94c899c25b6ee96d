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

class SkinTest : public ::testing::Test {
 protected:
  SkinTest() {
    skbar::SkSetPlatform(&platform);
    Manager().SetToDefaultSkin();
  }
  ~SkinTest() override {
    Manager().OnSkinChange = nullptr;
    Manager().SetToDefaultSkin();
    auto& list = Manager().SkinsList();
    while (list.Count() > 12) list.Delete(list.Count() - 1);
    skbar::SkSetPlatform(nullptr);
  }
  static skbar::TSkBarSkinManager& Manager() { return *skbar::SkBarSkinManager(); }
  // The skin of a registered class, made the way the manager makes it.
  static std::unique_ptr<skbar::TSkBarSkinOptions> Make(const std::wstring& name) {
    auto& list = Manager().SkinsList();
    return list.Entries(list.IndexOf(name)).SkinClass();
  }

  TFakePlatform platform;
};
