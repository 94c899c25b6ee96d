// Colour arithmetic on TColor values; system colours are resolved first.
//   SkGetRGB: the channels; SkRGBToColor: each channel clamped to 0..255;
//   SkLighten: adds `amount` (may be negative) to each channel, clamped;
//   SkMixColors: per channel (w c1 + (S - w) c2 + S div 2) div S, with S = 100 while the weight
//   is below 100 and 1,000 from there on: 165 means 16.5 %, and 100 means 10 %, not 100 %.
#pragma once

#include "ui/colors.h"

namespace skbar {

void SkGetRGB(ui::TColor color, int& r, int& g, int& b);
ui::TColor SkRGBToColor(int r, int g, int b);
ui::TColor SkLighten(ui::TColor color, int amount);
ui::TColor SkMixColors(ui::TColor color1, ui::TColor color2, int weight);

}  // namespace skbar
