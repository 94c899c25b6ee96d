#include "tb/system_settings.h"

namespace tb {

namespace {

ISystemSettings* installed = nullptr;

}  // namespace

ISystemSettings& SystemSettings() {
  return installed ? *installed : PlatformSystemSettings();
}

ISystemSettings* SetSystemSettings(ISystemSettings* settings) {
  ISystemSettings* previous = installed;
  installed = settings;
  return previous;
}

}  // namespace tb
