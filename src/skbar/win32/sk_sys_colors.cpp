#include <windows.h>

#include "skbar/sk_colors.h"

namespace skbar {

TColor SkPlatformSysColor(int index) {
  return GetSysColor(index);
}

}  // namespace skbar
