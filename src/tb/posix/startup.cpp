// On the host there are no popup windows: tests install their own factory.
#include "tb/startup.h"

namespace tb {

void Initialize() {}

void Finalize() {}

}  // namespace tb
