// The built-in skins: names and flags after two-phase creation, the colours they derive from the
// system colours (the fixture's fixed table), and the colour schemes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(DefaultSkinsTest, DistinguishingEntriesOfTheOtherSkins) {
  // The bodies each skin is known by. A style-only row (no colours) checks the fill style alone.
  struct Case {
    const wchar_t* skin;
    TSkBarSkinComponentsType component;
    TSkBarSkinStatesType state;
    TSkBarSkinOptionEntry body;
    bool styleOnly = false;
  };
  const auto entry = [](int style, TColor c1 = clNone, TColor c2 = clNone, TColor c3 = clNone,
                        TColor c4 = clNone) {
    TSkBarSkinOptionEntry e;
    e.Fill(style, c1, c2, c3, c4);
    return e;
  };
  const Case cases[] = {
      {L"Athen", skncDock, sknsNormal, entry(0, 0xE0E0E0)},
      {L"Athen", skncToolbar, sknsNormal, entry(3, 0xF8F8F8, 0xD8D8D8, 0xF0F0F0, 0xF8F8F8)},
      {L"Athen", skncToolbarItem, sknsHotTrack, entry(3, 0xFFF8F0, 0xE0B080, 0xF0E870, 0xFFFFB0)},
      {L"Dream", skncDock, sknsNormal, entry(0, 0xE0E0E0)},
      {L"Dream", skncToolbarItem, sknsHotTrack, entry(1, 0xFFFFFF, 0xE5E2DB)},
      {L"Eos", skncPopup, sknsNormal, entry(0, 0x708080)},
      {L"Eos", skncToolbarItem, sknsHotTrack, entry(0, 0x5F6D6D)},
      {L"Human", skncDock, sknsNormal, entry(0, 0xE7EBEF)},
      {L"Human", skncToolbarItem, sknsHotTrack, entry(5), true},
      {L"Human", skncMenuItem, sknsHotTrack, entry(1, 0xACDEFE, 0x7BC5F5)},
      {L"Leopard", skncDock, sknsNormal, entry(1, 0xCFCFCF, 0x999797)},
      {L"Leopard", skncMenuItem, sknsHotTrack, entry(0, 0xD87439)},
      {L"Xito", skncDock, sknsNormal, entry(0, 0xE0E0E0)},
      {L"Xito", skncToolbarItem, sknsHotTrack, entry(0, 0xE0E0E0)},
      {L"Office 2003", skncDock, sknsNormal, entry(2, clBtnFace, 0xFAFAFA)},
      {L"Office 2007 Blue", skncDock, sknsNormal, entry(7, 0xF4E6DB, 0xF0DECF, 0xEDD9C9, 0xFFF2E7)},
      {L"Office 2007 Black", skncDock, sknsNormal, entry(7), true},
      {L"Office 2007 Silver", skncDock, sknsNormal, entry(7), true},
  };
  for (const Case& c : cases) {
    const auto skin = Make(c.skin);
    const TSkBarSkinOptionEntry& body = skin->Options(c.component, c.state).Body;
    const std::string where = ui::Utf8FromWide(c.skin) + " component " +
                              std::to_string(static_cast<int>(c.component)) + " state " +
                              std::to_string(static_cast<int>(c.state));
    if (c.styleOnly) {
      EXPECT_EQ(body.SkinType, c.body.SkinType) << where;
      EXPECT_FALSE(body.IsEmpty()) << where;
    } else {
      EXPECT_EQ(body, c.body) << where;
    }
  }
  // The Office 2007 Blue table's first seven colours, the Office 2003 blue row's first five.
  const auto blue2007 = Make(L"Office 2007 Blue");
  const auto& k = static_cast<const TSkBarOffice2007Skin&>(*blue2007).Colors();
  EXPECT_EQ(
      std::vector<TColor>(k.begin(), k.begin() + 7),
      (std::vector<TColor>{0xF4E6DB, 0xF0DECF, 0xEDD9C9, 0xFFF2E7, 0xD6AE90, 0xFFFFFF, clNone}));
  platform.themes = true;
  platform.luna = lusBlue;
  const auto blue2003 = Make(L"Office 2003");
  const auto& row = static_cast<const TSkBarOffice2003Skin&>(*blue2003).Colors();
  EXPECT_EQ(std::vector<TColor>(row.begin(), row.begin() + 5),
            (std::vector<TColor>{0xF5BE9E, 0xF9D9C3, 0xFEECDD, 0xE2A981, 0xCB8C6A}));
  EXPECT_EQ(blue2003->Options(skncDock).Body, entry(2, 0xF5BE9E, 0xF9D9C3));
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
