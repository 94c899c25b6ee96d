// Without a message loop nothing delivers deferred clicks unless a port is installed.
#include "tb/deferred_click.h"

namespace tb {

std::unique_ptr<DeferredClickPort> PlatformDeferredClickPort() {
  return nullptr;
}

}  // namespace tb
