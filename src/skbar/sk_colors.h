// Colour arithmetic of the skinned controls.
//   TColor: 0x00BBGGRR, or clSystemColor | index for a system colour; clNone (0x1FFFFFFF) means
//   "not set, draw nothing". System colours resolve through a replaceable resolver: the
//   platform's colours on Windows, a fixed classic table on the host (tests may install their own).
//   SkGetRGB, SkRGBToColor (channels clamped), SkLighten, SkMixColors, SkBlendColors,
//   SkColorToHTML ("#rrggbb").
#pragma once

#include <cstdint>
#include <string>

namespace skbar {

using TColor = std::uint32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clSystemColor = 0xFF000000;

// Returns the 0x00BBGGRR value of system colour `index` (COLOR_xxx).
using TSysColorResolver = TColor (*)(int index);
// Installs a resolver (nullptr: the platform's); returns the one it replaces.
TSysColorResolver SkSetSysColorResolver(TSysColorResolver resolver);
// The platform's resolver: GetSysColor on Windows, the classic default scheme on the host.
TColor SkPlatformSysColor(int index);

// The colour as 0x00BBGGRR, system colours resolved.
TColor SkColorToRGB(TColor color);
void SkGetRGB(TColor color, int& r, int& g, int& b);
TColor SkRGBToColor(int r, int g, int b);
// Adds `amount` (may be negative) to each channel.
TColor SkLighten(TColor color, int amount);
// Per channel (weight*c1 + (S - weight)*c2 + S/2) / S with S = 100 for a weight below 100 and
// 1000 otherwise: a weight of 50 is 50 %, but 100 is 10 % and 165 is 16.5 %.
TColor SkMixColors(TColor c1, TColor c2, int weight);
// Per channel c2 + alpha*(c1 - c2)/255; `alpha` is the weight of c1 (0..255).
TColor SkBlendColors(TColor c1, TColor c2, int alpha);
std::wstring SkColorToHTML(TColor color);

}  // namespace skbar
