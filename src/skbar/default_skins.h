// The twelve built-in skins, each filling the option matrix in code, and their registration.
//   Aluminium paints the backgrounds of docks, toolbars, panels and bars with a brushed-metal
//   texture (skbar/brushed_texture.h); Human draws lines across the top of hot tabs and
//   Leopard across the tab background (their PaintBackground overrides draw on Windows only);
//   Office 2003 and Aluminium follow the Luna colour scheme
//   (DefaultColorScheme, else the detected one); the Office 2007 variants differ only in their
//   18 colours.
#pragma once

#include <array>

#include "skbar/skin_options.h"

namespace skbar {

class TSkBarSkinsList;

// Registers the twelve skins by name, in their fixed order.
void SkRegisterDefaultSkins(TSkBarSkinsList& list);

class TSkBarAluminumSkin : public TSkBarSkinOptions {
 public:
  ~TSkBarAluminumSkin() override;
  void FillOptions() override;
  virtual void FillColors();
  // The brushed-texture colour of a component's body, or clNone.
  virtual TColor GetBrushedFillColor(TSkBarSkinComponentsType component) const;
  void PaintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinComponentsType component,
                       TSkBarSkinStatesType state, bool background, bool borders, bool vertical,
                       TAnchors forceRectBorders) const override;

  TSkBarLunaScheme DefaultColorScheme() const { return defaultColorScheme_; }
  // On a change: resets the matrix (not the skin-wide values) and fills it again.
  void SetDefaultColorScheme(TSkBarLunaScheme scheme);
  const std::array<TColor, 4>& Colors() const { return colors_; }
  TColor LightMetalColor() const { return lightMetalColor_; }
  TColor DarkMetalColor() const { return darkMetalColor_; }
  int Roughness() const { return roughness_; }

 private:
  std::array<TColor, 4> colors_{};
  TSkBarLunaScheme defaultColorScheme_ = lusUnknown;
  TColor lightMetalColor_ = clNone;
  TColor darkMetalColor_ = clNone;
  int roughness_ = 12;
};

class TSkBarAthenSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
};

class TSkBarDreamSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
};

class TSkBarEosSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
};

class TSkBarHumanSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
  void PaintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinComponentsType component,
                       TSkBarSkinStatesType state, bool background, bool borders, bool vertical,
                       TAnchors forceRectBorders) const override;
};

class TSkBarLeopardSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
  void PaintBackground(ui::TCanvas& canvas, const TRect& r, TSkBarSkinComponentsType component,
                       TSkBarSkinStatesType state, bool background, bool borders, bool vertical,
                       TAnchors forceRectBorders) const override;
};

class TSkBarXitoSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
};

class TSkBarOfficeXPSkin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
};

class TSkBarOffice2003Skin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
  virtual void FillColors();
  TSkBarLunaScheme DefaultColorScheme() const { return defaultColorScheme_; }
  void SetDefaultColorScheme(TSkBarLunaScheme scheme) { defaultColorScheme_ = scheme; }
  const std::array<TColor, 23>& Colors() const { return colors_; }

 private:
  std::array<TColor, 23> colors_{};
  TSkBarLunaScheme defaultColorScheme_ = lusUnknown;
};

// Not registered: the variants below choose the colours.
class TSkBarOffice2007Skin : public TSkBarSkinOptions {
 public:
  void FillOptions() override;
  virtual void FillColors() = 0;
  const std::array<TColor, 18>& Colors() const { return colors_; }

 protected:
  std::array<TColor, 18> colors_{};
};

class TSkBarOffice2007BlueSkin : public TSkBarOffice2007Skin {
 public:
  void FillColors() override;
};

class TSkBarOffice2007BlackSkin : public TSkBarOffice2007Skin {
 public:
  void FillColors() override;
};

class TSkBarOffice2007SilverSkin : public TSkBarOffice2007Skin {
 public:
  void FillColors() override;
};

}  // namespace skbar
