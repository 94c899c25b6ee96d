// On the host there are no Windows hooks: nothing is installed.
#include "tb/hook.h"

namespace tb {

const THookPlatform& PlatformHooks() {
  static const THookPlatform none{[](int) -> std::uintptr_t { return 0; }, [](std::uintptr_t) {}};
  return none;
}

}  // namespace tb
