#include "skbar/sk_color_forms.h"

#include <cstdio>

namespace skbar {

ui::TColor SkBlendColors(ui::TColor c1, ui::TColor c2, int alpha) {
  int r1, g1, b1, r2, g2, b2;
  SkGetRGB(c1, r1, g1, b1);
  SkGetRGB(c2, r2, g2, b2);
  const auto blend = [&](int a, int b) { return b + alpha * (a - b) / 255; };
  return SkRGBToColor(blend(r1, r2), blend(g1, g2), blend(b1, b2));
}

std::wstring SkColorToHTML(ui::TColor color) {
  int r, g, b;
  SkGetRGB(color, r, g, b);
  wchar_t text[8];
  std::swprintf(text, 8, L"#%.2x%.2x%.2x", r, g, b);
  return text;
}

std::wstring SkColorToString(ui::TColor color, TSkBarColorTextType textType) {
  if (textType == TSkBarColorTextType::cttHTML) return SkColorToHTML(color);
  std::wstring text = ui::ColorToString(color);
  if (textType == TSkBarColorTextType::cttPlatformOrHTML && text.starts_with(L'$')) {
    return SkColorToHTML(color);
  }
  return text;
}

}  // namespace skbar
