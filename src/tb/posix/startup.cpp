// On the host there are no popup windows: tests install their own factory.
#include "tb/startup.h"

#include "tb/deferred_click.h"

namespace tb {

void Initialize() {}

void Finalize() {
  ReleaseDeferredClicks();
}

}  // namespace tb
