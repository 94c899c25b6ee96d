// Without a window system skins draw nothing, the built-in skins' own backgrounds included.
#include "skbar/default_skins.h"

namespace skbar {

void TSkBarSkinOptions::PaintBackground(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                        TSkBarSkinComponentsType /*component*/,
                                        TSkBarSkinStatesType /*state*/, bool /*background*/,
                                        bool /*borders*/, bool /*vertical*/,
                                        TAnchors /*forceRectBorders*/) const {}

void TSkBarSkinOptions::PaintMenuCheckMark(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                           bool /*checked*/, bool /*grayed*/,
                                           bool /*menuItemStyle*/,
                                           TSkBarSkinStatesType /*state*/) const {}

void TSkBarSkinOptions::PaintMenuRadioMark(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                           bool /*checked*/, bool /*menuItemStyle*/,
                                           TSkBarSkinStatesType /*state*/) const {}

void TSkBarSkinOptions::PaintWindowFrame(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                         bool /*isActive*/, bool /*drawBody*/,
                                         int /*borderSize*/) const {}

void TSkBarAluminumSkin::PaintBackground(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                         TSkBarSkinComponentsType /*component*/,
                                         TSkBarSkinStatesType /*state*/, bool /*background*/,
                                         bool /*borders*/, bool /*vertical*/,
                                         TAnchors /*forceRectBorders*/) const {}

void TSkBarHumanSkin::PaintBackground(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                      TSkBarSkinComponentsType /*component*/,
                                      TSkBarSkinStatesType /*state*/, bool /*background*/,
                                      bool /*borders*/, bool /*vertical*/,
                                      TAnchors /*forceRectBorders*/) const {}

void TSkBarLeopardSkin::PaintBackground(ui::TCanvas& /*canvas*/, const TRect& /*r*/,
                                        TSkBarSkinComponentsType /*component*/,
                                        TSkBarSkinStatesType /*state*/, bool /*background*/,
                                        bool /*borders*/, bool /*vertical*/,
                                        TAnchors /*forceRectBorders*/) const {}

}  // namespace skbar
