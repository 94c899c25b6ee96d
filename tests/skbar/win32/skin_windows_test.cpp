// The skin model's platform parts under Wine: system colours from the platform, the theme
// services' answers, the change message reaching registered controls, and the skin type of
// skinned children.
#include <windows.h>

#include <uxtheme.h>

#include "skbar/default_skins.h"
#include "skbar/skin_colors.h"
#include "skbar/win32/skin_controls.h"
#include "ui/win32/gui_fixture.h"

namespace skbar {
namespace {

class SkinWindowsTest : public UiGuiTest {
 protected:
  ~SkinWindowsTest() override {
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
  }
  static TSkBarSkinManager& Manager() { return *SkBarSkinManager(); }
};

// The Office XP colour C worked out from the platform's own colours.
TColor ExpectedHotColour() {
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), window = GetSysColor(COLOR_WINDOW);
  const auto channel = [&](int shift) {
    const int h = static_cast<int>(highlight >> shift & 0xFF);
    const int w = static_cast<int>(window >> shift & 0xFF);
    return std::clamp((30 * h + 70 * w + 50) / 100 - 15, 0, 255) << shift;
  };
  return static_cast<TColor>(channel(0) | channel(8) | channel(16));
}

TEST_F(SkinWindowsTest, SystemColoursComeFromThePlatform) {
  for (int index = 0; index <= 30; ++index)
    EXPECT_EQ(ui::SystemColorRGB(index), GetSysColor(index)) << index;
  Manager().SetSkin(L"Office XP");
  EXPECT_EQ(Manager().CurrentSkin().Options(skncToolbarItem, sknsHotTrack).Body.Color1,
            ExpectedHotColour());
}

TEST_F(SkinWindowsTest, ThemeAnswers) {
  const bool themed = IsThemeActive() && IsAppThemed();
  std::printf("visual styles %s\n", themed ? "on" : "off");
  EXPECT_EQ(Manager().GetSkinType(), themed ? sknWindows : sknNone);
  EXPECT_TRUE(SkIsVistaOrLater());  // Wine reports 6.1
  EXPECT_EQ(SkDetectLunaScheme(), lusUnknown);
  // The themed menu text colour, when the theme has one, else the classic rule.
  Manager().SetThemesOverride(true);
  COLORREF expected = GetSysColor(COLOR_MENUTEXT);
  if (HTHEME theme = OpenThemeData(nullptr, L"MENU")) {
    COLORREF color;
    if (SUCCEEDED(GetThemeColor(theme, 14, 1, 3803, &color))) expected = color;
    CloseThemeData(theme);
  }
  EXPECT_EQ(ui::ColorToRGBValue(
                Manager().CurrentSkin().GetTextColor(skncMenuItem, sknsNormal, sknWindows)),
            expected);
  Manager().SetThemesOverride(false);
  EXPECT_EQ(Manager().GetSkinType(), sknNone);
}

TEST_F(SkinWindowsTest, MenuMarginsFollowTheCanvasFont) {
  Manager().SetThemesOverride(false);
  const HDC dc = CreateCompatibleDC(nullptr);
  ui::TCanvas canvas;
  canvas.SetHandle(dc);
  for (const int height : {-11, -30}) {
    canvas.Font().SetHeight(height);
    const int text = canvas.TextHeight(L"0");
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
    TSkBarMenuItemMarginsInfo info;
    SkGetMenuItemMargins(Manager().CurrentSkin(), canvas, 0, info);
    EXPECT_EQ(info.GutterSize, std::max<int>(text + metrics.tmExternalLeading, 16) + 4) << height;
  }
  canvas.SetHandle(nullptr);
  DeleteDC(dc);
}

class TListener : public ui::TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_SKINCHANGE) {
      ++changes;
      EXPECT_EQ(message.WParam, 0u);
      EXPECT_EQ(message.LParam, 0);
      message.Result = 0;
      return;
    }
    TCustomControl::WndProc(message);
  }
  int changes = 0;
};

TEST_F(SkinWindowsTest, RegisteredControlsHearOfAChange) {
  auto form = ui::New<TListener>();
  auto* child = ui::Create<TListener>(*form);
  SkAddSkinNotification(*form);
  SkAddSkinNotification(*child);
  SkAddSkinNotification(*form);
  Manager().SetSkin(L"Eos");
  Manager().SetSkin(L"eos");
  Manager().SetToDefaultSkin();
  SkRemoveSkinNotification(*child);
  Manager().SetSkin(L"Dream");
  EXPECT_EQ(form->changes, 3);
  EXPECT_EQ(child->changes, 2);
  SkRemoveSkinNotification(*form);
}

// A control with a published skin type, under any class name.
class TSkinnedStandIn : public ui::TWinControl {
 public:
  TSkinnedStandIn(ui::TComponent* owner, std::wstring_view className)
      : TWinControl(owner), className_(className) {}
  std::wstring_view ClassName() const override { return className_; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    TWinControl::GetPublishedProps(out);
    using C = TSkinnedStandIn;
    static constexpr ui::PropInfo kProps[] = {
        ui::EnumProp<C, &C::SkinType, &C::SetSkinType>(L"SkinType", SkinTypeNames)};
    out.push_back(&kProps[0]);
  }
  TSkBarSkinType SkinType() const { return skinType_; }
  void SetSkinType(TSkBarSkinType type) { skinType_ = type; }

 private:
  std::wstring className_;
  TSkBarSkinType skinType_ = sknSkin;
};

TEST_F(SkinWindowsTest, ChangeControlSkinTypeOfSkinnedChildren) {
  auto form = ui::New<TSkinnedStandIn>(L"TSkBarForm");
  auto* item = ui::Create<TSkinnedStandIn>(*form, L"tskbarItem");
  auto* plain = ui::Create<TSkinnedStandIn>(*form, L"TPanel");
  auto* bare = ui::Create<TSkinnedStandIn>(*form, L"TSkBar");
  auto* nested = ui::Create<TSkinnedStandIn>(*form, L"TSkBarNested");
  for (auto* child : {item, plain, bare}) child->SetParent(form.get());
  nested->SetParent(item);
  Manager().ChangeControlSkinType(form.get(), sknNone, false);
  EXPECT_EQ(form->SkinType(), sknSkin);  // the control itself is left alone
  EXPECT_EQ(item->SkinType(), sknNone);
  EXPECT_EQ(plain->SkinType(), sknSkin);
  EXPECT_EQ(bare->SkinType(), sknSkin);  // "TSkBar" alone is not a skinned class
  EXPECT_EQ(nested->SkinType(), sknSkin);
  Manager().ChangeControlSkinType(form.get(), sknWindows, true);
  EXPECT_EQ(item->SkinType(), sknWindows);
  EXPECT_EQ(nested->SkinType(), sknWindows);
}

}  // namespace
}  // namespace skbar
