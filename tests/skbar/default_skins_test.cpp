// The built-in skins: names and flags after two-phase creation, the colours they derive from the
// system colours (the fixture's fixed table), and the colour schemes.
#include <gtest/gtest.h>

#include "skbar/default_skins.h"
#include "skbar/skin_colors.h"
#include "skbar/skin_fixture.h"

namespace skbar {
namespace {

using namespace ui;  // colour names

class DefaultSkinsTest : public SkinTest {};

TEST_F(DefaultSkinsTest, ColourArithmetic) {
  // Weights below 100 are per cent, from 100 on per mille: 100 is 10 %.
  EXPECT_EQ(SkMixColors(clBlack, clWhite, 50), 0x808080u);
  EXPECT_EQ(SkMixColors(clBlack, clWhite, 500), 0x808080u);
  EXPECT_EQ(SkMixColors(clWhite, clBlack, 99), 0xFCFCFCu);
  EXPECT_EQ(SkMixColors(clWhite, clBlack, 100), 0x1A1A1Au);
  EXPECT_EQ(SkMixColors(clBtnFace, 0x0000FF, 50), 0x7878F8u);  // system colours resolved
  EXPECT_EQ(SkLighten(0x10F020, 20), 0x24FF34u);
  EXPECT_EQ(SkLighten(clBtnShadow, -200), 0u);
}

TEST_F(DefaultSkinsTest, NamesAndOfficeFlags) {
  struct Case {
    const wchar_t* name;
    bool icons, menu, statusBar;
  };
  const Case cases[] = {
      {L"Aluminum", false, false, false},
      {L"Athen", false, false, false},
      {L"Dream", false, false, false},
      {L"Eos", false, false, false},
      {L"Human", false, false, false},
      {L"Leopard", false, false, false},
      {L"Xito", false, false, false},
      {L"Office XP", true, true, true},
      {L"Office 2003", false, true, false},
      {L"Office 2007 Blue", false, true, false},
      {L"Office 2007 Black", false, true, false},
      {L"Office 2007 Silver", false, true, false},
  };
  for (const auto& c : cases) {
    const auto skin = Make(c.name);
    EXPECT_EQ(skin->SkinName(), c.name);
    EXPECT_EQ(skin->OfficeIconsField(), c.icons) << ui::Utf8FromWide(c.name);
    EXPECT_EQ(skin->OfficeMenuField(), c.menu) << ui::Utf8FromWide(c.name);
    EXPECT_EQ(skin->OfficeStatusBarField(), c.statusBar) << ui::Utf8FromWide(c.name);
    EXPECT_FALSE(skin->Options(skncDock).Body.IsEmpty()) << ui::Utf8FromWide(c.name);
    EXPECT_FALSE(skin->Options(skncToolbarItem, sknsHotTrack).Body.IsEmpty());
  }
}

TEST_F(DefaultSkinsTest, OfficeXPDerivedColours) {
  Manager().SetSkin(L"Office XP");
  const TSkBarSkinOptions& skin = Manager().CurrentSkin();
  const TColor a = 0xF2F2F2, b = 0xFDFDFD, c = 0xF0D1B3, d = 0xF9EFE4;
  EXPECT_EQ(skin.Options(skncToolbar).Body, (TSkBarSkinOptionEntry{0, a}));
  EXPECT_EQ(skin.Options(skncSplitter).Body.Color1, a);
  EXPECT_EQ(skin.Options(skncPopup).Body.Color1, b);
  EXPECT_EQ(skin.Options(skncToolbarItem, sknsHotTrack).Body.Color1, c);
  EXPECT_EQ(skin.Options(skncToolbarItem, sknsChecked).Body.Color1, d);
  // The list item's hot states: the toolbar item's hot category lightened by 20 and -20, system
  // colours resolved on the way.
  EXPECT_EQ(skin.Options(skncListItem, sknsHotTrack).Body.Color1, 0xFFE5C7u);
  EXPECT_EQ(skin.Options(skncListItem, sknsHotTrack).Borders,
            (TSkBarSkinOptionEntry{0, 0xFFAD47, 0xFFAD47}));
  EXPECT_EQ(skin.Options(skncListItem, sknsCheckedAndHotTrack).Body.Color1, 0xDCBD9Fu);
  EXPECT_EQ(skin.Options(skncListItem, sknsChecked), skin.Options(skncToolbarItem, sknsHotTrack));
  // Copy chains, and the rows written after a copy.
  EXPECT_EQ(skin.Options(skncMenuBar), skin.Options(skncToolbar));
  for (auto state : {sknsHotTrack, sknsPushed, sknsChecked, sknsCheckedAndHotTrack}) {
    EXPECT_EQ(skin.Options(skncMenuItem, state), skin.Options(skncToolbarItem, state));
    EXPECT_EQ(skin.Options(skncRadioButton, state), skin.Options(skncCheckBox, state));
  }
  EXPECT_EQ(skin.Options(skncButton, sknsNormal).Body.Color1, clBtnFace);
  EXPECT_EQ(skin.Options(skncCheckBox, sknsNormal).Borders.Color1, clBtnShadow);
  EXPECT_EQ(skin.Options(skncEditButton, sknsPushed).Body.Color1, c);
  EXPECT_EQ(skin.Options(skncTrackBar, sknsHotTrack), skin.Options(skncProgressBar, sknsHotTrack));
  EXPECT_EQ(skin.Options(skncProgressBar).Body, (TSkBarSkinOptionEntry{0, d, 0xFFFFFF}));
}

TEST_F(DefaultSkinsTest, Office2003Colours) {
  TSkBarOffice2003Skin skin;
  skin.FillOptions();  // no visual styles: from the system colours
  const auto& k = skin.Colors();
  EXPECT_EQ(k[0], clBtnFace);
  EXPECT_EQ(k[1], 0xFAFAFAu);
  EXPECT_EQ(k[4], 0xBDBDBDu);
  EXPECT_EQ(k[8], clHighlight);
  EXPECT_EQ(k[10], 0xF9EFE4u);
  EXPECT_EQ(k[18], k[4]);
  EXPECT_EQ(k[19], k[5]);
  EXPECT_EQ(k[21], clWhite);
  EXPECT_EQ(skin.Options(skncDock).Body, (TSkBarSkinOptionEntry{2, k[0], k[1]}));

  platform.themes = true;
  platform.luna = lusBlue;
  skin.FillOptions();
  EXPECT_EQ(skin.Colors()[0], 0xF5BE9Eu);
  EXPECT_EQ(skin.Colors()[4], 0xCB8C6Au);
  skin.SetDefaultColorScheme(lusGreen);  // the chosen scheme over the detected one
  skin.FillOptions();
  EXPECT_NE(skin.Colors()[0], 0xF5BE9Eu);
}

TEST_F(DefaultSkinsTest, AluminiumSchemeAndBrushedComponents) {
  const auto made = Make(L"Aluminum");
  auto& skin = static_cast<TSkBarAluminumSkin&>(*made);
  EXPECT_EQ(skin.Colors()[0], 0xBFB4B2u);  // no visual styles: metallic
  EXPECT_EQ(skin.Roughness(), 12);
  platform.themes = true;
  platform.luna = lusGreen;
  EXPECT_EQ(Make(L"Aluminum")->Options(skncToolbarItem, sknsHotTrack).Borders.Color1, 0x70A093u);

  skin.SetColorBtnFace(clRed);
  skin.Options(skncDock).Body.Reset();
  skin.SetDefaultColorScheme(lusBlue);  // re-fills the matrix, keeps the skin-wide values
  EXPECT_EQ(skin.Colors()[0], 0xC56A31u);
  EXPECT_FALSE(skin.Options(skncDock).Body.IsEmpty());
  EXPECT_EQ(skin.ColorBtnFace(), clRed);

  for (int c = 0; c < kSkinComponentCount; ++c) {
    const auto component = static_cast<TSkBarSkinComponentsType>(c);
    TColor expected = clNone;
    if (component == skncDock || component == skncPanel || component == skncSplitter ||
        component == skncStatusBar || component == skncTabToolbar)
      expected = 0xC7C7C7;
    if (component == skncMenuBar || component == skncToolbar) expected = 0xDFDFDF;
    EXPECT_EQ(skin.GetBrushedFillColor(component), expected) << c;
  }
}

}  // namespace
}  // namespace skbar
