#include "skbar/default_skins.h"

#include "skbar/brushed_texture.h"
#include "skbar/skin_colors.h"
#include "skbar/skin_manager.h"

namespace skbar {

namespace {

using namespace ui;  // the colour names

using C = TSkBarSkinComponentsType;
using S = TSkBarSkinStatesType;

// Writes matrix entries in the order a skin lists them.
class Filler {
 public:
  explicit Filler(TSkBarSkinOptions& skin) : skin_(skin) {}
  Filler& Body(C c, S s, int type, TColor c1, TColor c2 = clNone, TColor c3 = clNone,
               TColor c4 = clNone) {
    skin_.RawOptions(c, s).Body.Fill(type, c1, c2, c3, c4);
    return *this;
  }
  Filler& Borders(C c, S s, int corners, TColor c1, TColor c2 = clNone, TColor c3 = clNone,
                  TColor c4 = clNone) {
    skin_.RawOptions(c, s).Borders.Fill(corners, c1, c2, c3, c4);
    return *this;
  }
  Filler& Text(C c, S s, TColor color) {
    skin_.RawOptions(c, s).TextColor = color;
    return *this;
  }
  Filler& Copy(C from, C to) {
    skin_.CopyOptions(from, to);
    return *this;
  }

 private:
  TSkBarSkinOptions& skin_;
};

// The look most built-in skins share; each skin then sets what distinguishes it.
struct Palette {
  TSkBarSkinOptionEntry dock, toolbar, toolbarBorders, popup, popupBorders;
  TSkBarSkinOptionEntry hot, hotBorders, pushed, pushedBorders, checked, checkedBorders;
  TSkBarSkinOptionEntry menuHot, menuHotBorders, titleBar, panel, panelBorders;
  TColor separator, grip, gripShadow, window, windowBorder, text, hotText;
};

void FillShared(TSkBarSkinOptions& skin, const Palette& p) {
  Filler f(skin);
  const auto set = [&skin](C c, S s, const TSkBarSkinOptionEntry& body,
                           const TSkBarSkinOptionEntry& borders) {
    skin.RawOptions(c, s).Body = body;
    skin.RawOptions(c, s).Borders = borders;
  };
  const TSkBarSkinOptionEntry none;
  set(skncDock, sknsNormal, p.dock, none);
  set(skncToolbar, sknsNormal, p.toolbar, p.toolbarBorders);
  set(skncMenuBar, sknsNormal, p.dock, none);
  set(skncTabToolbar, sknsNormal, p.toolbar, none);
  set(skncStatusBar, sknsNormal, p.dock, none);
  set(skncSplitter, sknsNormal, p.dock, none);
  set(skncPopup, sknsNormal, p.popup, p.popupBorders);
  set(skncDockablePanel, sknsNormal, p.popup, none);
  set(skncDockablePanelTitleBar, sknsNormal, p.titleBar, none);
  set(skncPanel, sknsNormal, p.panel, p.panelBorders);
  set(skncWindowTitleBar, sknsNormal, p.titleBar, none);
  f.Body(skncWindow, sknsNormal, 0, p.window)
      .Borders(skncWindow, sknsNormal, 0, p.windowBorder, p.windowBorder, p.window, p.window);
  f.Body(skncSeparator, sknsNormal, 0, p.separator)
      .Body(skncToolbarGrip, sknsNormal, 0, p.grip, p.gripShadow)
      .Body(skncStatusBarGrip, sknsNormal, 0, p.grip, p.gripShadow)
      .Body(skncGutter, sknsNormal, 0, p.window);
  for (C c : {skncToolbarItem, skncButton, skncCheckBox, skncEditButton, skncListItem, skncTab}) {
    set(c, sknsHotTrack, p.hot, p.hotBorders);
    set(c, sknsPushed, p.pushed, p.pushedBorders);
    set(c, sknsChecked, p.checked, p.checkedBorders);
    set(c, sknsCheckedAndHotTrack, p.pushed, p.pushedBorders);
  }
  f.Copy(skncToolbarItem, skncMenuBarItem);
  for (S s : {sknsHotTrack, sknsPushed, sknsCheckedAndHotTrack})
    set(skncMenuItem, s, p.menuHot, p.menuHotBorders);
  f.Text(skncMenuItem, sknsHotTrack, p.hotText).Text(skncMenuItem, sknsNormal, p.text);
  f.Text(skncToolbarItem, sknsNormal, p.text).Text(skncMenuBarItem, sknsNormal, p.text);
  set(skncOpenToolbarItem, sknsNormal, p.popup, p.popupBorders);
  f.Borders(skncButton, sknsNormal, 1, p.separator, p.separator)
      .Borders(skncCheckBox, sknsNormal, 0, p.separator, p.separator)
      .Copy(skncCheckBox, skncRadioButton)
      .Borders(skncEditFrame, sknsNormal, 1, clNone, clNone, p.separator, p.separator)
      .Borders(skncEditFrame, sknsHotTrack, 1, clNone, clNone, p.hotBorders.Color1,
               p.hotBorders.Color1);
  set(skncTabBackground, sknsNormal, p.toolbar, none);
  set(skncHeader, sknsNormal, p.toolbar, p.toolbarBorders);
  set(skncHeader, sknsHotTrack, p.hot, p.hotBorders);
  set(skncProgressBar, sknsNormal, p.checked, p.checkedBorders);
  f.Copy(skncProgressBar, skncTrackBar);
  set(skncTrackBarButton, sknsNormal, p.hot, p.hotBorders);
  set(skncTrackBarButton, sknsPushed, p.pushed, p.pushedBorders);
}

TSkBarSkinOptionEntry E(int type, TColor c1, TColor c2 = clNone, TColor c3 = clNone,
                        TColor c4 = clNone) {
  TSkBarSkinOptionEntry entry;
  entry.Fill(type, c1, c2, c3, c4);
  return entry;
}

// The Office XP colour D, which Office 2003 borrows.
TColor OfficeXPCheckedColor() {
  return SkMixColors(clHighlight, SkMixColors(clBtnFace, clWindow, 50), 10);
}

}  // namespace

void SkRegisterDefaultSkins(TSkBarSkinsList& list) {
  list.AddSkin(L"Aluminum", MakeSkin<TSkBarAluminumSkin>);
  list.AddSkin(L"Athen", MakeSkin<TSkBarAthenSkin>);
  list.AddSkin(L"Dream", MakeSkin<TSkBarDreamSkin>);
  list.AddSkin(L"Eos", MakeSkin<TSkBarEosSkin>);
  list.AddSkin(L"Human", MakeSkin<TSkBarHumanSkin>);
  list.AddSkin(L"Leopard", MakeSkin<TSkBarLeopardSkin>);
  list.AddSkin(L"Xito", MakeSkin<TSkBarXitoSkin>);
  list.AddSkin(L"Office XP", MakeSkin<TSkBarOfficeXPSkin>);
  list.AddSkin(L"Office 2003", MakeSkin<TSkBarOffice2003Skin>);
  list.AddSkin(L"Office 2007 Blue", MakeSkin<TSkBarOffice2007BlueSkin>);
  list.AddSkin(L"Office 2007 Black", MakeSkin<TSkBarOffice2007BlackSkin>);
  list.AddSkin(L"Office 2007 Silver", MakeSkin<TSkBarOffice2007SilverSkin>);
}

// Aluminium

TSkBarAluminumSkin::~TSkBarAluminumSkin() {
  SkReleaseBrushedTextures();
}

void TSkBarAluminumSkin::FillColors() {
  static constexpr TColor kSchemes[3][4] = {
      {0xC56A31, 0xE0D7D1, 0xE2B598, 0xEED2C1},  // blue
      {0xBFB4B2, 0xDDDCDC, 0xDFDAD9, 0xECE9E8},  // metallic
      {0x70A093, 0xD8DCDB, 0xB8D0C9, 0xD4E3DF},  // green
  };
  TSkBarLunaScheme scheme = defaultColorScheme_;
  if (scheme == lusUnknown) scheme = SkDetectLunaScheme();
  if (scheme == lusUnknown) scheme = lusMetallic;
  const auto& row = kSchemes[static_cast<int>(scheme)];
  std::copy(std::begin(row), std::end(row), colors_.begin());
  roughness_ = 12;
  lightMetalColor_ = 0xC7C7C7;
  darkMetalColor_ = 0xDFDFDF;
}

TColor TSkBarAluminumSkin::GetBrushedFillColor(TSkBarSkinComponentsType component) const {
  switch (component) {
    case skncDock:
    case skncPanel:
    case skncSplitter:
    case skncStatusBar:
    case skncTabToolbar:
      return lightMetalColor_;
    case skncMenuBar:
    case skncToolbar:
      return darkMetalColor_;
    default:
      return clNone;
  }
}

void TSkBarAluminumSkin::SetDefaultColorScheme(TSkBarLunaScheme scheme) {
  if (scheme == defaultColorScheme_) return;
  defaultColorScheme_ = scheme;
  Reset(false);
  FillOptions();
}

void TSkBarAluminumSkin::FillOptions() {
  SetSkinName(L"Aluminum");
  FillColors();
  const auto& c = colors_;
  Palette p{};
  p.dock = E(0, lightMetalColor_);
  p.toolbar = E(0, darkMetalColor_);
  p.toolbarBorders = E(2, 0xA0A0A0, 0x808080);
  p.popup = E(0, 0xF4F4F4);
  p.popupBorders = E(0, 0x808080, 0x808080);
  p.hot = E(1, c[3], c[2]);
  p.hotBorders = E(1, c[0], c[0]);
  p.pushed = E(2, c[2], c[3]);
  p.pushedBorders = E(1, c[0], c[0]);
  p.checked = E(0, c[1]);
  p.checkedBorders = E(1, c[0], c[0]);
  p.menuHot = E(0, c[3]);
  p.menuHotBorders = E(0, c[0], c[0]);
  p.titleBar = E(1, 0xDFDFDF, 0xB0B0B0);
  p.panel = E(0, lightMetalColor_);
  p.panelBorders = E(0, 0xFFFFFF, 0x909090);
  p.separator = 0x909090;
  p.grip = 0x707070;
  p.gripShadow = clWhite;
  p.window = 0xE8E8E8;
  p.windowBorder = 0x606060;
  p.text = clBlack;
  p.hotText = clBlack;
  FillShared(*this, p);
}

// Athen

constexpr Palette kAthen{
    .dock = {0, 0xE0E0E0},
    .toolbar = {3, 0xF8F8F8, 0xD8D8D8, 0xF0F0F0, 0xF8F8F8},
    .toolbarBorders = {2, 0xC0C0C0, 0xA0A0A0},
    .popup = {0, 0xFCFCFC},
    .popupBorders = {0, 0x909090, 0x909090},
    .hot = {3, 0xFFF8F0, 0xE0B080, 0xF0E870, 0xFFFFB0},
    .hotBorders = {1, 0x70A0C0, 0x70A0C0},
    .pushed = {3, 0xE0B080, 0xF0D0A0, 0xF0E870, 0xE0B080},
    .pushedBorders = {1, 0x5080A0, 0x5080A0},
    .checked = {1, 0xFFF0E0, 0xF0D8B0},
    .checkedBorders = {1, 0x70A0C0, 0x70A0C0},
    .menuHot = {1, 0xFFF8F0, 0xF0D8B0},
    .menuHotBorders = {1, 0x70A0C0, 0x70A0C0},
    .titleBar = {3, 0xF8F8F8, 0xD8D8D8, 0xF0F0F0, 0xF8F8F8},
    .panel = {0, 0xF0F0F0},
    .panelBorders = {1, 0xA0A0A0, 0xA0A0A0},
    .separator = 0xB0B0B0,
    .grip = 0x909090,
    .gripShadow = clWhite,
    .window = 0xF0F0F0,
    .windowBorder = 0x808080,
    .text = clBlack,
    .hotText = clBlack,
};

void TSkBarAthenSkin::FillOptions() {
  SetSkinName(L"Athen");
  FillShared(*this, kAthen);
}

// Dream

constexpr Palette kDream{
    .dock = {0, 0xE0E0E0},
    .toolbar = {1, 0xF4F4F4, 0xE0E0E0},
    .toolbarBorders = {2, 0xD0D0D0, 0xB8B8B8},
    .popup = {0, 0xFAFAFA},
    .popupBorders = {0, 0xA0A0A0, 0xA0A0A0},
    .hot = {1, 0xFFFFFF, 0xE5E2DB},
    .hotBorders = {2, 0xB0A898, 0xB0A898},
    .pushed = {1, 0xE5E2DB, 0xFFFFFF},
    .pushedBorders = {2, 0x908878, 0x908878},
    .checked = {1, 0xF0EEE8, 0xDCD8CC},
    .checkedBorders = {2, 0xB0A898, 0xB0A898},
    .menuHot = {1, 0xFFFFFF, 0xE5E2DB},
    .menuHotBorders = {1, 0xB0A898, 0xB0A898},
    .titleBar = {1, 0xF4F4F4, 0xD8D8D8},
    .panel = {0, 0xF0F0F0},
    .panelBorders = {1, 0xB8B8B8, 0xB8B8B8},
    .separator = 0xC0C0C0,
    .grip = 0xA0A0A0,
    .gripShadow = clWhite,
    .window = 0xF0F0F0,
    .windowBorder = 0x909090,
    .text = 0x202020,
    .hotText = 0x202020,
};

void TSkBarDreamSkin::FillOptions() {
  SetSkinName(L"Dream");
  FillShared(*this, kDream);
}

// Eos, a dark skin

constexpr Palette kEos{
    .dock = {0, 0x505858},
    .toolbar = {1, 0x687474, 0x505858},
    .toolbarBorders = {2, 0x404848, 0x303838},
    .popup = {0, 0x708080},
    .popupBorders = {0, 0x303838, 0x303838},
    .hot = {0, 0x5F6D6D},
    .hotBorders = {1, 0x90A0A0, 0x90A0A0},
    .pushed = {0, 0x404C4C},
    .pushedBorders = {1, 0x90A0A0, 0x90A0A0},
    .checked = {0, 0x586666},
    .checkedBorders = {1, 0x809090, 0x809090},
    .menuHot = {0, 0x5F6D6D},
    .menuHotBorders = {0, 0x90A0A0, 0x90A0A0},
    .titleBar = {1, 0x607070, 0x404C4C},
    .panel = {0, 0x606C6C},
    .panelBorders = {1, 0x404848, 0x404848},
    .separator = 0x404848,
    .grip = 0x909C9C,
    .gripShadow = 0x303838,
    .window = 0x606C6C,
    .windowBorder = 0x303838,
    .text = 0xF0F0F0,
    .hotText = clWhite,
};

void TSkBarEosSkin::FillOptions() {
  SetSkinName(L"Eos");
  FillShared(*this, kEos);
  Filler(*this).Text(skncToolbarItem, sknsHotTrack, clWhite).Text(skncLabel, sknsNormal, 0xF0F0F0);
}

// Human

constexpr Palette kHuman{
    .dock = {0, 0xE7EBEF},
    .toolbar = {1, 0xF0F3F5, 0xDEE3E7},
    .toolbarBorders = {2, 0xC8CED4, 0xB0B8C0},
    .popup = {0, 0xF8F8F8},
    .popupBorders = {0, 0x98A0A8, 0x98A0A8},
    .hot = {5, 0xFFFFFF, 0xF0F0F0, 0xE0E4E8, 0xD0D8E0},
    .hotBorders = {2, 0x8C96A0, 0x8C96A0},
    .pushed = {5, 0xD0D8E0, 0xC8D0D8, 0xC0C8D0, 0xD0D8E0},
    .pushedBorders = {2, 0x707880, 0x707880},
    .checked = {5, 0xF0F0F0, 0xE8E8E8, 0xD8DCE0, 0xE0E4E8},
    .checkedBorders = {2, 0x8C96A0, 0x8C96A0},
    .menuHot = {1, 0xACDEFE, 0x7BC5F5},
    .menuHotBorders = {1, 0x5AA0E0, 0x5AA0E0},
    .titleBar = {1, 0xF0F3F5, 0xC8CED4},
    .panel = {0, 0xEEF0F2},
    .panelBorders = {1, 0xB0B8C0, 0xB0B8C0},
    .separator = 0xB8C0C8,
    .grip = 0x98A0A8,
    .gripShadow = clWhite,
    .window = 0xEEF0F2,
    .windowBorder = 0x707880,
    .text = 0x202428,
    .hotText = clBlack,
};

void TSkBarHumanSkin::FillOptions() {
  SetSkinName(L"Human");
  FillShared(*this, kHuman);
}

// Leopard

constexpr Palette kLeopard{
    .dock = {1, 0xCFCFCF, 0x999797},
    .toolbar = {1, 0xCFCFCF, 0x999797},
    .toolbarBorders = {0, clNone, 0x555555},
    .popup = {0, 0xF6F6F6},
    .popupBorders = {0, 0xA0A0A0, 0xA0A0A0},
    .hot = {1, 0xE8E8E8, 0xB8B6B6},
    .hotBorders = {2, 0x707070, 0x707070},
    .pushed = {1, 0x909090, 0xB0B0B0},
    .pushedBorders = {2, 0x505050, 0x505050},
    .checked = {1, 0xB0B0B0, 0xC8C8C8},
    .checkedBorders = {2, 0x606060, 0x606060},
    .menuHot = {0, 0xD87439},
    .menuHotBorders = {0, 0xD87439, 0xD87439},
    .titleBar = {1, 0xE0E0E0, 0xB0B0B0},
    .panel = {0, 0xE8E8E8},
    .panelBorders = {1, 0x909090, 0x909090},
    .separator = 0x909090,
    .grip = 0x707070,
    .gripShadow = 0xE0E0E0,
    .window = 0xE8E8E8,
    .windowBorder = 0x505050,
    .text = clBlack,
    .hotText = clWhite,
};

void TSkBarLeopardSkin::FillOptions() {
  SetSkinName(L"Leopard");
  FillShared(*this, kLeopard);
}

// Xito

constexpr Palette kXito{
    .dock = {0, 0xE0E0E0},
    .toolbar = {0, 0xEAEAEA},
    .toolbarBorders = {1, 0xC8C8C8, 0xA8A8A8},
    .popup = {0, 0xF4F4F4},
    .popupBorders = {0, 0x8C8C8C, 0x8C8C8C},
    .hot = {0, 0xE0E0E0},
    .hotBorders = {1, 0x8C8C8C, 0x8C8C8C},
    .pushed = {0, 0xC8C8C8},
    .pushedBorders = {1, 0x6C6C6C, 0x6C6C6C},
    .checked = {0, 0xD4D4D4},
    .checkedBorders = {1, 0x8C8C8C, 0x8C8C8C},
    .menuHot = {0, 0xE0E0E0},
    .menuHotBorders = {0, 0x8C8C8C, 0x8C8C8C},
    .titleBar = {0, 0xD0D0D0},
    .panel = {0, 0xEAEAEA},
    .panelBorders = {1, 0xA8A8A8, 0xA8A8A8},
    .separator = 0xB4B4B4,
    .grip = 0x8C8C8C,
    .gripShadow = clWhite,
    .window = 0xEAEAEA,
    .windowBorder = 0x6C6C6C,
    .text = clBlack,
    .hotText = clBlack,
};

void TSkBarXitoSkin::FillOptions() {
  SetSkinName(L"Xito");
  FillShared(*this, kXito);
}

// Office XP

void TSkBarOfficeXPSkin::FillOptions() {
  SetSkinName(L"Office XP");
  SetOfficeIcons(true);
  SetOfficeMenu(true);
  SetOfficeStatusBar(true);
  const TColor a = SkMixColors(clWindow, clBtnFace, 165);
  const TColor b = SkMixColors(clBtnFace, clWindow, 143);
  const TColor c = SkLighten(SkMixColors(clHighlight, clWindow, 30), -15);
  const TColor d = OfficeXPCheckedColor();
  const S n = sknsNormal;
  Filler f(*this);
  f.Body(skncDock, n, 0, clBtnFace)
      .Body(skncDockablePanel, n, 0, b)
      .Body(skncDockablePanelTitleBar, n, 0, clBtnFace)
      .Borders(skncDockablePanelTitleBar, n, 0, b, b)
      .Body(skncPanel, n, 1, clBtnFace, 0xFFFFFF)
      .Borders(skncPanel, n, 2, 0x808080, 0x808080, 0xB0D4DF, 0xFFFFFF)
      .Body(skncPopup, n, 0, b)
      .Borders(skncPopup, n, 0, clBtnShadow, clBtnShadow)
      .Body(skncStatusBar, n, 0, clBtnFace)
      .Body(skncSplitter, n, 0, a)
      .Body(skncToolbar, n, 0, a)
      .Borders(skncToolbar, n, 2, clBtnFace, clBtnFace)
      .Copy(skncToolbar, skncMenuBar)
      .Body(skncWindow, n, 0, clBtnFace)
      .Borders(skncWindow, n, 0, 0x808080, 0x808080, clBtnShadow, clBtnShadow)
      .Body(skncWindowTitleBar, n, 0, clBtnShadow)
      .Borders(skncWindowTitleBar, n, 0, clBtnFace, clBtnFace)
      .Body(skncGutter, n, 0, clBtnFace)
      .Body(skncToolbarGrip, n, 0, clBtnShadow, 0xFFFFFF)
      .Body(skncStatusBarGrip, n, 0, clBtnShadow, 0xFFFFFF)
      .Body(skncSeparator, n, 0, clBtnShadow)
      .Body(skncToolbarItem, sknsHotTrack, 0, c)
      .Borders(skncToolbarItem, sknsHotTrack, 0, clHighlight, clHighlight)
      .Body(skncToolbarItem, sknsPushed, 0, clBtnFace)
      .Borders(skncToolbarItem, sknsPushed, 0, clBtnShadow, clBtnShadow)
      .Body(skncToolbarItem, sknsChecked, 0, d)
      .Borders(skncToolbarItem, sknsChecked, 0, clHighlight, clHighlight)
      .Body(skncToolbarItem, sknsCheckedAndHotTrack, 0, c)
      .Borders(skncToolbarItem, sknsCheckedAndHotTrack, 0, clHighlight, clHighlight)
      .Body(skncOpenToolbarItem, n, 0, clBtnFace)
      .Borders(skncOpenToolbarItem, n, 0, clBtnShadow, clBtnShadow)
      .Copy(skncToolbarItem, skncMenuBarItem)
      .Copy(skncToolbarItem, skncMenuItem)
      .Copy(skncToolbarItem, skncButton)
      .Body(skncButton, n, 0, clBtnFace)
      .Borders(skncButton, n, 0, clBtnShadow, clBtnShadow)
      .Body(skncButton, sknsDisabled, 0, clBtnFace)
      .Borders(skncButton, sknsDisabled, 0, clBtnShadow, clBtnShadow);
  const TSkBarSkinOptionCategory& hot = Options(skncToolbarItem, sknsHotTrack);
  for (S s : {sknsChecked, sknsHotTrack, sknsCheckedAndHotTrack}) RawOptions(skncListItem, s) = hot;
  for (auto [s, amount] : {std::pair{sknsHotTrack, 20}, std::pair{sknsCheckedAndHotTrack, -20}}) {
    RawOptions(skncListItem, s).Body.Lighten(amount);
    RawOptions(skncListItem, s).Borders.Lighten(amount);
  }
  f.Copy(skncToolbarItem, skncCheckBox)
      .Borders(skncCheckBox, n, 0, clBtnShadow, clBtnShadow)
      .Borders(skncCheckBox, sknsDisabled, 0, clBtnShadow, clBtnShadow)
      .Copy(skncCheckBox, skncRadioButton)
      .Borders(skncEditFrame, n, 1, clNone, clNone, clBtnFace, clBtnFace)
      .Borders(skncEditFrame, sknsDisabled, 1, clNone, clNone, clBtnShadow, clBtnShadow)
      .Borders(skncEditFrame, sknsHotTrack, 1, clNone, clNone, clHighlight, clHighlight)
      .Copy(skncToolbarItem, skncEditButton)
      .Body(skncEditButton, n, 0, clBtnFace)
      .Borders(skncEditButton, n, 0, clWindow, clWindow)
      .Body(skncEditButton, sknsPushed, 0, c)
      .Borders(skncEditButton, sknsPushed, 0, clHighlight, clHighlight)
      .Text(skncEditButton, sknsPushed, clHighlightText)
      .Body(skncTab, sknsHotTrack, 0, c)
      .Borders(skncTab, sknsHotTrack, 0, clBtnShadow, clBtnShadow)
      .Body(skncTab, sknsChecked, 0, clBtnFace)
      .Borders(skncTab, sknsChecked, 0, clBtnShadow, clBtnShadow)
      .Body(skncTab, sknsCheckedAndHotTrack, 0, c)
      .Borders(skncTab, sknsCheckedAndHotTrack, 0, clBtnShadow, clBtnShadow)
      .Body(skncTabBackground, n, 0, clBtnFace)
      .Borders(skncTabBackground, n, 0, clBtnShadow, clBtnShadow)
      .Body(skncProgressBar, n, 0, d, 0xFFFFFF)
      .Borders(skncProgressBar, n, 0, clHighlight, clHighlight)
      .Body(skncProgressBar, sknsHotTrack, 0, c)
      .Borders(skncProgressBar, sknsHotTrack, 0, clHighlight, clHighlight)
      .Copy(skncProgressBar, skncTrackBar)
      .Body(skncTrackBarButton, n, 0, d)
      .Borders(skncTrackBarButton, n, 0, clHighlight, clHighlight)
      .Body(skncTrackBarButton, sknsPushed, 0, c, 0xFFFFFF)
      .Borders(skncTrackBarButton, sknsPushed, 0, clHighlight, clHighlight)
      .Body(skncHeader, n, 0, clBtnFace)
      .Borders(skncHeader, n, 0, clWindow, clBtnShadow)
      .Body(skncHeader, sknsHotTrack, 0, c)
      .Borders(skncHeader, sknsHotTrack, 0, clBtnFace, clBtnShadow);
}

// Office 2003

void TSkBarOffice2003Skin::FillColors() {
  static constexpr TColor kSchemes[3][23] = {
      // blue
      {0xF5BE9E, 0xF9D9C3, 0xFEECDD, 0xE2A981, 0xCB8C6A, 0xFAFAFA, 0xFEECDD, 0xE2A981,
       0x800000, 0x6F2D00, 0xC2EEFF, 0x8ED3FF, 0x4E91FE, 0x8ED3FF, 0x8CD5FF, 0x55ADFF,
       0xFCE1CA, 0xF0BE9D, 0xCB8C6A, 0xFAFAFA, 0x8A8A8A, 0xFFFFFF, 0x9A6131},
      // metallic
      {0xE5D7D7, 0xF7F3F3, 0xFAF4F3, 0xB59799, 0x947C7C, 0xFFFAFA, 0xFAF4F3, 0xB59799,
       0x6F4B4B, 0x5C3C3C, 0xC2EEFF, 0x8ED3FF, 0x4E91FE, 0x8ED3FF, 0x8CD5FF, 0x55ADFF,
       0xF7F0EF, 0xD8C9C8, 0x947C7C, 0xFFFAFA, 0x7C7C7C, 0xFFFFFF, 0x947C7C},
      // green
      {0xA7D9D9, 0xE4F2F0, 0xDEF7F4, 0x91C6B7, 0x588060, 0xF8F8F8, 0xDEF7F4, 0x91C6B7,
       0x385D3F, 0x335E51, 0xC2EEFF, 0x8ED3FF, 0x4E91FE, 0x8ED3FF, 0x8CD5FF, 0x55ADFF,
       0xD9F0EC, 0xA5D4C8, 0x588060, 0xF8F8F8, 0x7C7C7C, 0xFFFFFF, 0x588060},
  };
  TSkBarLunaScheme scheme = defaultColorScheme_;
  if (scheme == lusUnknown) scheme = SkDetectLunaScheme();
  if (scheme != lusUnknown) {
    const auto& row = kSchemes[static_cast<int>(scheme)];
    std::copy(std::begin(row), std::end(row), colors_.begin());
    return;
  }
  const auto mix = SkMixColors;
  const TColor d = OfficeXPCheckedColor();
  colors_ = {clBtnFace,
             mix(clBtnFace, clWindow, 35),
             mix(clBtnFace, clWindow, 20),
             mix(clBtnFace, clWindow, 95),
             mix(clBtnShadow, clWindow, 70),
             mix(clBtnFace, clWindow, 62),
             mix(clBtnFace, clWindow, 15),
             mix(clBtnFace, clBtnShadow, 20),
             clHighlight,
             mix(clBtnText, clBtnShadow, 15),
             d,
             d,
             mix(clHighlight, clWindow, 50),
             mix(clHighlight, clWindow, 50),
             mix(clHighlight, clWindow, 30),
             mix(clHighlight, clWindow, 30),
             mix(clBtnFace, clWindow, 16),
             mix(clBtnFace, clWindow, 42),
             0,
             0,
             mix(clBtnShadow, clWindow, 40),
             clWhite,
             mix(clBtnShadow, clWindow, 70)};
  colors_[18] = colors_[4];
  colors_[19] = colors_[5];
}

void TSkBarOffice2003Skin::FillOptions() {
  SetSkinName(L"Office 2003");
  SetOfficeMenu(true);
  FillColors();
  const auto& k = colors_;
  Palette p{};
  p.dock = E(2, k[0], k[1]);
  p.toolbar = E(1, k[2], k[3]);
  p.toolbarBorders = E(2, clNone, k[4]);
  p.popup = E(0, k[5]);
  p.popupBorders = E(0, k[20], k[20]);
  p.hot = E(1, k[10], k[11]);
  p.hotBorders = E(0, k[8], k[8]);
  p.pushed = E(1, k[12], k[13]);
  p.pushedBorders = E(0, k[8], k[8]);
  p.checked = E(1, k[14], k[15]);
  p.checkedBorders = E(0, k[8], k[8]);
  p.menuHot = E(0, k[10]);
  p.menuHotBorders = E(0, k[8], k[8]);
  p.titleBar = E(1, k[16], k[17]);
  p.panel = E(1, k[2], k[3]);
  p.panelBorders = E(0, k[4], k[4]);
  p.separator = k[7];
  p.grip = k[9];
  p.gripShadow = k[21];
  p.window = k[5];
  p.windowBorder = k[22];
  p.text = clMenuText;
  p.hotText = clMenuText;
  FillShared(*this, p);
  Filler(*this)
      .Body(skncGutter, sknsNormal, 2, k[6], k[7])
      .Body(skncStatusBar, sknsNormal, 1, k[18], k[19]);
}

// Office 2007

void TSkBarOffice2007Skin::FillOptions() {
  SetSkinName(L"Office 2007");
  SetOfficeMenu(true);
  FillColors();
  const auto& k = colors_;
  Palette p{};
  p.dock = E(7, k[0], k[1], k[2], k[3]);
  p.toolbar = E(7, k[3], k[0], k[1], k[2]);
  p.toolbarBorders = E(2, k[4], k[4], k[5], k[6]);
  p.popup = E(0, k[7]);
  p.popupBorders = E(0, k[8], k[8]);
  p.hot = E(9, k[9], k[10], k[11], k[12]);
  p.hotBorders = E(2, k[13], k[13]);
  p.pushed = E(9, k[14], k[15], k[12], k[11]);
  p.pushedBorders = E(2, k[16], k[16]);
  p.checked = E(9, k[10], k[11], k[12], k[9]);
  p.checkedBorders = E(2, k[16], k[16]);
  p.menuHot = E(1, k[9], k[10]);
  p.menuHotBorders = E(1, k[13], k[13]);
  p.titleBar = E(7, k[0], k[1], k[2], k[3]);
  p.panel = E(1, k[3], k[0]);
  p.panelBorders = E(1, k[4], k[4]);
  p.separator = k[4];
  p.grip = k[17];
  p.gripShadow = clWhite;
  p.window = k[3];
  p.windowBorder = k[4];
  p.text = k[17];
  p.hotText = k[17];
  FillShared(*this, p);
}

void TSkBarOffice2007BlueSkin::FillColors() {
  colors_ = {0xF4E6DB, 0xF0DECF, 0xEDD9C9, 0xFFF2E7, 0xD6AE90, 0xFFFFFF,
             clNone,   0xFAFAFA, 0x868686, 0xE3F9FF, 0xA3EBFF, 0x61D2FF,
             0xA8E6FF, 0x6ABADB, 0x5FB4FB, 0x3B8CF8, 0x3C80C2, 0x8B4115};
  SetSkinName(L"Office 2007 Blue");
}

void TSkBarOffice2007BlackSkin::FillColors() {
  colors_ = {0x535353, 0x434343, 0x363636, 0x5F5F5F, 0x2A2A2A, 0x7A7A7A,
             clNone,   0xFAFAFA, 0x868686, 0xE3F9FF, 0xA3EBFF, 0x61D2FF,
             0xA8E6FF, 0x6ABADB, 0x5FB4FB, 0x3B8CF8, 0x3C80C2, 0x202020};
  SetSkinName(L"Office 2007 Black");
}

void TSkBarOffice2007SilverSkin::FillColors() {
  colors_ = {0xEEE8E7, 0xE2DBDA, 0xD9D0CF, 0xF5F2F2, 0xB4A8A6, 0xFFFFFF,
             clNone,   0xFAFAFA, 0x868686, 0xE3F9FF, 0xA3EBFF, 0x61D2FF,
             0xA8E6FF, 0x6ABADB, 0x5FB4FB, 0x3B8CF8, 0x3C80C2, 0x4C4C4C};
  SetSkinName(L"Office 2007 Silver");
}

}  // namespace skbar
