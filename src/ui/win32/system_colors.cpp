// System colours from the platform.
#include <windows.h>

#include "ui/colors.h"

namespace ui {

std::uint32_t PlatformSystemColorRGB(int index) {
  return GetSysColor(index);
}

}  // namespace ui
