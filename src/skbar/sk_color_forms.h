// Blending and text forms of colours (the channel arithmetic is in skbar/skin_colors.h).
//   SkBlendColors: per channel c2 + alpha*(c1 - c2) div 255, `alpha` the weight of c1 (0..255).
//   SkColorToHTML: "#rrggbb" of the resolved colour.
//   SkColorToString: the class library's colour text, "#rrggbb", or the library's text unless
//   that would be hexadecimal.
#pragma once

#include <string>

#include "skbar/skin_colors.h"

namespace skbar {

enum class TSkBarColorTextType { cttPlatform, cttHTML, cttPlatformOrHTML };

ui::TColor SkBlendColors(ui::TColor c1, ui::TColor c2, int alpha);
std::wstring SkColorToHTML(ui::TColor color);
std::wstring SkColorToString(ui::TColor color, TSkBarColorTextType textType);

}  // namespace skbar
