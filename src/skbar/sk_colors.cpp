#include "skbar/sk_colors.h"

#include <algorithm>
#include <cstdio>

namespace skbar {

namespace {

TSysColorResolver gResolver = nullptr;

int Clamp255(long long value) {
  return static_cast<int>(std::clamp<long long>(value, 0, 255));
}

}  // namespace

TSysColorResolver SkSetSysColorResolver(TSysColorResolver resolver) {
  const TSysColorResolver previous = gResolver ? gResolver : &SkPlatformSysColor;
  gResolver = resolver;
  return previous;
}

TColor SkColorToRGB(TColor color) {
  if (color & 0x80000000u) {
    const TSysColorResolver resolver = gResolver ? gResolver : &SkPlatformSysColor;
    return resolver(static_cast<int>(color & 0xFF)) & 0xFFFFFF;
  }
  return color & 0xFFFFFF;
}

void SkGetRGB(TColor color, int& r, int& g, int& b) {
  const TColor rgb = SkColorToRGB(color);
  r = static_cast<int>(rgb & 0xFF);
  g = static_cast<int>((rgb >> 8) & 0xFF);
  b = static_cast<int>((rgb >> 16) & 0xFF);
}

TColor SkRGBToColor(int r, int g, int b) {
  return static_cast<TColor>(Clamp255(r)) | static_cast<TColor>(Clamp255(g)) << 8 |
         static_cast<TColor>(Clamp255(b)) << 16;
}

TColor SkLighten(TColor color, int amount) {
  int r, g, b;
  SkGetRGB(color, r, g, b);
  return SkRGBToColor(r + amount, g + amount, b + amount);
}

TColor SkMixColors(TColor c1, TColor c2, int weight) {
  const long long s = weight < 100 ? 100 : 1000;
  int r1, g1, b1, r2, g2, b2;
  SkGetRGB(c1, r1, g1, b1);
  SkGetRGB(c2, r2, g2, b2);
  // Weights outside 0..S would leave the channel range; the result is clamped.
  const auto mix = [&](int a, int b) {
    return Clamp255((weight * static_cast<long long>(a) + (s - weight) * b + s / 2) / s);
  };
  return SkRGBToColor(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

TColor SkBlendColors(TColor c1, TColor c2, int alpha) {
  int r1, g1, b1, r2, g2, b2;
  SkGetRGB(c1, r1, g1, b1);
  SkGetRGB(c2, r2, g2, b2);
  const auto blend = [&](int a, int b) { return Clamp255(b + alpha * (a - b) / 255); };
  return SkRGBToColor(blend(r1, r2), blend(g1, g2), blend(b1, b2));
}

std::wstring SkColorToHTML(TColor color) {
  int r, g, b;
  SkGetRGB(color, r, g, b);
  wchar_t text[8];
  std::swprintf(text, 8, L"#%.2x%.2x%.2x", r, g, b);
  return text;
}

}  // namespace skbar
