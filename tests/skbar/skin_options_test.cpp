// The option matrix, skin text (entries, categories, whole skins) and the skin's answers that
// depend on the effective skin type.
#include <gtest/gtest.h>

#include <bit>

#include "skbar/default_skins.h"
#include "skbar/skin_fixture.h"
#include "skbar/skin_options.h"
#include "ui/ini_file.h"

namespace skbar {
namespace {

using namespace ui;  // colour names

TEST(SkinMatrix, StateSetsAndFolding) {
  int stored = 0;
  for (const auto& ident : SkinComponentsIdent) stored += std::popcount(ident.States);
  EXPECT_EQ(stored, 18 + 6 * 6 + 3 + 4 + 2 + 6 + 2 + 6 + 6 + 2 + 2);
  EXPECT_EQ(SkinComponentsIdent[Index(skncTrackBarButton)].Name, L"TrackBarButton");
  EXPECT_EQ(SkinStatesIdent[Index(sknsCheckedAndHotTrack)], L"CheckedAndHotTrack");

  TSkBarSkinOptions skin;
  EXPECT_EQ(&skin.Options(skncDock, sknsHotTrack), &skin.Options(skncDock, sknsNormal));
  EXPECT_NE(&skin.Options(skncEditFrame, sknsPushed), &skin.Options(skncEditFrame, sknsNormal));
  // A category outside the state set is kept but never written.
  skin.Options(skncEditFrame, sknsPushed).TextColor = clRed;
  TStringList lines;
  skin.SaveToStrings(lines);
  for (const auto& line : lines.ToVector())
    EXPECT_EQ(line.find(L"Pushed.TextColor=clRed"), std::wstring::npos);
}

TEST(SkinEntry, TextForms) {
  TSkBarSkinOptionEntry entry;
  entry.Fill(0, clBtnFace);
  EXPECT_EQ(entry.WriteToString(), L"0, clBtnFace, clNone, clNone, clNone");
  entry.Fill(2, 0x123456, 0xFF00001F, clRed, clNone);
  EXPECT_EQ(entry.WriteToString(), L"2, $00123456, $FF00001F, clRed, clNone");

  struct Case {
    std::wstring text;
    TSkBarSkinOptionEntry expected;
  };
  const Case cases[] = {
      {L"3, clRed", {3, clRed}},
      {L"x, y", {0}},                                        // stops at the bad colour
      {L"1, clRed, y, clBlue", {1, clRed}},                  // keeps what came before
      {L"\"4\" , \"clbtnface\",$FF", {4, clBtnFace, 0xFF}},  // quotes, blanks, case
      {L"5 clRed clBlue", {5, clRed, clBlue}},               // blanks separate too
      {L"6,clRed,,clBlue", {6, clRed}},                      // an empty item is no colour
      {L"99999999999, clRed", {0, clRed}},                   // out of range: 0
      {L"7, 1, 2, 3, 4, 5", {7, 1, 2, 3, 4}},                // extra items ignored
      {L"", {}},
  };
  for (const auto& c : cases) {
    entry.Fill(9, 1, 2, 3, 4);
    entry.ReadFromString(c.text);
    EXPECT_EQ(entry, c.expected) << ui::Utf8FromWide(c.text);
  }
}

TEST(SkinCategory, IniKeys) {
  TSkBarSkinOptionCategory category;
  category.Body.Fill(1, clRed, clBlue);
  category.TextColor = 0x010203;
  TMemIniFile ini;
  category.SaveToIni(ini, L"Tab", L"HotTrack");
  EXPECT_EQ(ini.Read(L"Tab", L"HotTrack.Body"), L"1, clRed, clBlue, clNone, clNone");
  EXPECT_EQ(ini.Read(L"Tab", L"HotTrack.Borders"), L"0, clNone, clNone, clNone, clNone");
  EXPECT_EQ(ini.Read(L"Tab", L"HotTrack.TextColor"), L"$00010203");

  ini.WriteString(L"Tab", L"Normal.Body", L"2, clLime");
  TSkBarSkinOptionCategory read;
  read.TextColor = clRed;
  read.LoadFromIni(ini, L"Tab", L"");  // an empty ident reads Normal, after a reset
  EXPECT_EQ(read.Body, (TSkBarSkinOptionEntry{2, clLime}));
  EXPECT_EQ(read.TextColor, clNone);
}

class SkinTextTest : public SkinTest {};

TEST_F(SkinTextTest, SkinWideValuesAndOtherSections) {
  TSkBarSkinOptions skin;
  skin.SetSkinName(L" Spaced name ");
  skin.SetSkinAuthor(L"Ann");
  skin.SetColorBtnFace(0x00ABCDEF);
  skin.SetFloatingWindowBorderSize(2);
  skin.SetOfficeStatusBar(true);
  TStringList lines({L"[Mine]", L"Key=kept", L"[Skin]", L"Name=old"});
  skin.SaveToStrings(lines);
  const TIniFile saved(lines.ToVector());
  EXPECT_EQ(saved.Read(L"Mine", L"Key"), L"kept");
  EXPECT_EQ(saved.ReadSections().size(), 2u + kSkinComponentCount);

  TSkBarSkinOptions read;
  read.LoadFromStrings(lines);
  EXPECT_EQ(read.SkinName(), L" Spaced name ");
  EXPECT_EQ(read.SkinAuthor(), L"Ann");
  EXPECT_EQ(read.ColorBtnFace(), 0x00ABCDEFu);
  EXPECT_EQ(read.FloatingWindowBorderSizeField(), 2);
  EXPECT_TRUE(read.OfficeStatusBarField());
  EXPECT_FALSE(read.OfficeIconsField());

  // Missing keys: defaults, but name and author stay; a border size beyond 4 is clamped and
  // a non-numeric one reads 4.
  read.LoadFromStrings(TStringList({L"[Skin]", L"FloatingWindowBorderSize=9"}));
  EXPECT_EQ(read.SkinName(), L" Spaced name ");
  EXPECT_EQ(read.ColorBtnFace(), clBtnFace);
  EXPECT_EQ(read.FloatingWindowBorderSizeField(), 4);
  EXPECT_FALSE(read.OfficeStatusBarField());
  read.SetFloatingWindowBorderSize(1);
  read.LoadFromStrings(TStringList({L"[Skin]", L"FloatingWindowBorderSize=lots"}));
  EXPECT_EQ(read.FloatingWindowBorderSizeField(), 4);
  TMemIniFile ini;
  ini.WriteString(L"Skin", L"FloatingWindowBorderSize", L"-3");
  read.LoadFromMemIni(ini);
  EXPECT_EQ(read.FloatingWindowBorderSizeField(), 0);
}

TEST_F(SkinTextTest, BadColourRefusesTheWholeText) {
  TSkBarSkinOptions skin;
  skin.SetSkinName(L"Before");
  skin.Options(skncTab, sknsChecked).Body.Fill(1, clRed);
  TStringList before;
  skin.SaveToStrings(before);
  struct Case {
    std::vector<std::wstring> lines;
    const char* message;
  };
  const Case cases[] = {
      {{L"[Skin]", L"Name=After", L"[Dock]", L"Normal.Body=0, clLime", L"[Tab]",
        L"Checked.TextColor=$1FFFFFFFF"},
       "Skin section [Tab], key Checked.TextColor: '$1FFFFFFFF' is not a valid colour"},
      {{L"[Skin]", L"ColorBtnFace=grey"},
       "Skin section [Skin], key ColorBtnFace: 'grey' is not a valid colour"},
      {{L"[Skin]", std::wstring(L"Author=a\0b", 10)},
       "Skin section [Skin], key Author: the text holds a NUL character"},
  };
  for (const auto& c : cases) {
    try {
      skin.LoadFromStrings(TStringList(c.lines));
      ADD_FAILURE() << c.message;
    } catch (const ESkinError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    TStringList after;
    skin.SaveToStrings(after);
    EXPECT_EQ(after.ToVector(), before.ToVector());
  }
}

TEST_F(SkinTextTest, EveryBuiltInSkinRoundTrips) {
  TStringList names;
  Manager().SkinsList().GetSkinNames(names);
  ASSERT_EQ(names.Count(), 13);
  for (int i = 1; i < names.Count(); ++i) {
    const auto skin = Make(names.Get(i));
    TStringList first;
    skin->SaveToStrings(first);
    TSkBarSkinOptions read;
    read.LoadFromStrings(first);
    for (int c = 0; c < kSkinComponentCount; ++c) {
      for (int s = 0; s < kSkinStateCount; ++s) {
        const auto component = static_cast<TSkBarSkinComponentsType>(c);
        const auto state = static_cast<TSkBarSkinStatesType>(s);
        if (!HasState(component, state)) continue;
        EXPECT_EQ(read.Options(component, state), skin->Options(component, state))
            << ui::Utf8FromWide(names.Get(i)) << " " << c << "/" << s;
      }
    }
    EXPECT_EQ(read.SkinName(), names.Get(i));
    EXPECT_EQ(read.OfficeStatusBarField(), skin->OfficeStatusBarField());
    EXPECT_EQ(read.OfficeMenuField(), skin->OfficeMenuField());
    TStringList second;
    read.SaveToStrings(second);
    EXPECT_EQ(second.ToVector(), first.ToVector()) << ui::Utf8FromWide(names.Get(i));
  }
}

TEST_F(SkinTextTest, ResetAssignAndCopy) {
  const auto office = Make(L"Office XP");
  TSkBarSkinOptions copy;
  office->AssignTo(copy);
  EXPECT_EQ(copy.SkinName(), L"Office XP");
  EXPECT_TRUE(copy.OfficeIconsField());
  EXPECT_EQ(copy.Options(skncToolbarItem, sknsChecked),
            office->Options(skncToolbarItem, sknsChecked));
  // Folded components: every state of the copy holds the Normal category.
  EXPECT_EQ(copy.RawOptions(skncDock, sknsPushed), office->Options(skncDock));

  copy.CopyOptions(skncToolbarItem, skncTab);
  EXPECT_EQ(copy.Options(skncTab, sknsChecked), copy.Options(skncToolbarItem, sknsChecked));

  copy.SetColorBtnFace(clRed);
  copy.Reset(false);
  EXPECT_TRUE(copy.Options(skncToolbarItem, sknsHotTrack).IsEmpty());
  EXPECT_EQ(copy.ColorBtnFace(), clRed);
  EXPECT_TRUE(copy.OfficeMenuField());
  copy.Reset(true);
  EXPECT_EQ(copy.ColorBtnFace(), clBtnFace);
  EXPECT_FALSE(copy.OfficeMenuField());
  EXPECT_EQ(copy.SkinName(), L"Office XP");
}

TEST(SkinState, Priority) {
  // enabled, pushed, hot, checked
  EXPECT_EQ(TSkBarSkinOptions::GetState(false, true, true, true), sknsDisabled);
  EXPECT_EQ(TSkBarSkinOptions::GetState(true, true, true, true), sknsPushed);
  EXPECT_EQ(TSkBarSkinOptions::GetState(true, false, true, true), sknsCheckedAndHotTrack);
  EXPECT_EQ(TSkBarSkinOptions::GetState(true, false, true, false), sknsHotTrack);
  EXPECT_EQ(TSkBarSkinOptions::GetState(true, false, false, true), sknsChecked);
  EXPECT_EQ(TSkBarSkinOptions::GetState(true, false, false, false), sknsNormal);
}

class SkinAnswersTest : public SkinTest {};

TEST_F(SkinAnswersTest, PropertiesAndMarginsByEffectiveType) {
  struct Case {
    bool themes, vista;
    const wchar_t* skin;
    int splitArrow, marginTop, imageTextSpace;
    bool officeMenu, officeStatusBar, officePopup;
  };
  const Case cases[] = {
      {false, true, L"Default", 12, 2, 1, false, true, false},
      {true, false, L"Default", 13, 2, 1, false, false, false},
      {true, true, L"Default", 13, 3, 6, false, false, false},
      {false, false, L"Office XP", 12, 3, 5, true, true, true},
      {true, true, L"Office 2003", 12, 3, 5, true, false, true},
  };
  for (const auto& c : cases) {
    platform.themes = c.themes;
    platform.vista = c.vista;
    Manager().SetSkin(c.skin);
    TSkBarSkinOptions& skin = Manager().CurrentSkin();
    const bool skinned = c.skin != std::wstring(L"Default");
    int arrow, margin, split;
    skin.GetDropDownArrowSize(arrow, margin, split);
    TSkBarMenuItemMarginsInfo info;
    skin.GetMenuItemMargins(13, 0, info);
    const int vertical = 2 * c.marginTop;
    SCOPED_TRACE(ui::Utf8FromWide(c.skin) + (c.themes ? " themes" : "") +
                 (c.vista ? " vista" : ""));
    skin.SetFloatingWindowBorderSize(2);
    EXPECT_EQ(skin.FloatingWindowBorderSize(), skinned ? 2 : 4);
    skin.SetFloatingWindowBorderSize(9);
    EXPECT_EQ(skin.FloatingWindowBorderSize(), 4);
    EXPECT_EQ(split, c.splitArrow);
    EXPECT_EQ(info.Margins.top, c.marginTop);
    EXPECT_EQ(info.ImageTextSpace, c.imageTextSpace);
    EXPECT_EQ(info.GutterSize, 16 + vertical);
    skin.GetMenuItemMargins(20, 8, info);
    EXPECT_EQ(info.GutterSize, 20 + vertical);
    EXPECT_EQ(skin.OfficeMenu(), c.officeMenu);
    EXPECT_EQ(skin.OfficeStatusBar(), c.officeStatusBar);
    EXPECT_EQ(skin.OfficePopup(), c.officePopup);
  }
}

TEST_F(SkinAnswersTest, TextColours) {
  platform.themeColors[{L"MENU", 8, 2}] = 0x0000AA;
  platform.themeColors[{L"MENU", 14, 3}] = 0x0000BB;
  platform.themeColors[{L"BUTTON", 1, 3}] = 0x0000CC;
  struct Case {
    bool themes;
    const wchar_t* skin;
    TSkBarSkinComponentsType component;
    TSkBarSkinStatesType state;
    TColor expected;
  };
  const Case cases[] = {
      // Classic drawing.
      {false, L"Default", skncLabel, sknsDisabled, clGrayText},
      {false, L"Default", skncMenuBarItem, sknsHotTrack, clMenuText},
      {false, L"Default", skncMenuItem, sknsHotTrack, clHighlightText},
      {false, L"Default", skncMenuItem, sknsChecked, clMenuText},
      {false, L"Default", skncWindowTitleBar, sknsDisabled, clInactiveCaptionText},
      {false, L"Default", skncListItem, sknsChecked, clHighlightText},
      {false, L"Default", skncButton, sknsPushed, clBtnText},
      // Visual styles: the theme's colour where it has one, else the classic rules.
      {true, L"Default", skncMenuBarItem, sknsCheckedAndHotTrack, 0x0000AA},
      {true, L"Default", skncMenuBarItem, sknsPushed, clHighlightText},
      {true, L"Default", skncMenuItem, sknsDisabled, 0x0000BB},
      {true, L"Default", skncButton, sknsChecked, 0x0000CC},
      {true, L"Default", skncButton, sknsNormal, clBtnText},
      // A skin: its own colour, else the rules; states outside a set give none.
      {true, L"Office XP", skncEditButton, sknsPushed, clHighlightText},
      {true, L"Office XP", skncEditFrame, sknsPushed, clNone},
      {true, L"Office XP", skncDock, sknsHotTrack, clNone},
      {true, L"Office XP", skncLabel, sknsDisabled, clGrayText},
      {true, L"Office XP", skncMenuItem, sknsHotTrack, clMenuText},
      {true, L"Office XP", skncListItem, sknsChecked, clBtnText},
      {true, L"Office XP", skncWindowTitleBar, sknsDisabled, clNone},
      {true, L"Office XP", skncWindowTitleBar, sknsNormal, clMenuText},
      {true, L"Eos", skncStatusBar, sknsNormal, 0xF0F0F0},  // the toolbar item's colour
  };
  for (const auto& c : cases) {
    platform.themes = c.themes;
    Manager().SetSkin(c.skin);
    EXPECT_EQ(Manager().CurrentSkin().GetTextColor(c.component, c.state, sknSkin), c.expected)
        << ui::Utf8FromWide(c.skin) << " " << Index(c.component) << "/" << Index(c.state);
  }
  // Asking for classic drawing while a skin is current folds nothing back to the skin.
  EXPECT_EQ(Manager().CurrentSkin().GetTextColor(skncMenuItem, sknsHotTrack, sknNone),
            clHighlightText);
}

}  // namespace
}  // namespace skbar
