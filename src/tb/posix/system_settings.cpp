// On the host: the values Windows starts with.
#include "tb/system_settings.h"

namespace tb {

ISystemSettings& PlatformSystemSettings() {
  static TFixedSystemSettings defaults;
  return defaults;
}

}  // namespace tb
