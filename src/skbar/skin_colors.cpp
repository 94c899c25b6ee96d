#include "skbar/skin_colors.h"

#include <algorithm>

namespace skbar {

void SkGetRGB(ui::TColor color, int& r, int& g, int& b) {
  const std::uint32_t rgb = ui::ColorToRGBValue(color);
  r = static_cast<int>(rgb & 0xFF);
  g = static_cast<int>((rgb >> 8) & 0xFF);
  b = static_cast<int>((rgb >> 16) & 0xFF);
}

ui::TColor SkRGBToColor(int r, int g, int b) {
  const auto channel = [](int value) { return static_cast<ui::TColor>(std::clamp(value, 0, 255)); };
  return channel(r) | channel(g) << 8 | channel(b) << 16;
}

ui::TColor SkLighten(ui::TColor color, int amount) {
  int r, g, b;
  SkGetRGB(color, r, g, b);
  return SkRGBToColor(r + amount, g + amount, b + amount);
}

ui::TColor SkMixColors(ui::TColor color1, ui::TColor color2, int weight) {
  const int scale = weight < 100 ? 100 : 1000;
  int r1, g1, b1, r2, g2, b2;
  SkGetRGB(color1, r1, g1, b1);
  SkGetRGB(color2, r2, g2, b2);
  const auto mix = [&](int c1, int c2) {
    return (weight * c1 + (scale - weight) * c2 + scale / 2) / scale;
  };
  return SkRGBToColor(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

}  // namespace skbar
