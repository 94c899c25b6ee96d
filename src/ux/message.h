// A window message as hooks and handlers see it: number, parameters and result.
#pragma once

#include <cstdint>

namespace ux {

struct TMessage {
  unsigned msg = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::intptr_t result = 0;
};

}  // namespace ux
