// The host has no system colours: the classic default scheme stands in for them.
#include <iterator>

#include "skbar/sk_colors.h"

namespace skbar {

TColor SkPlatformSysColor(int index) {
  static constexpr TColor kClassic[] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
      0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
      0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
      0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xC66931, 0xC8D0D4};
  if (index < 0 || index >= static_cast<int>(std::size(kClassic))) return 0;
  return kClassic[index];
}

}  // namespace skbar
