// The host's stand-ins for the platform services of the system unit.
#include <chrono>
#include <thread>

#include "gfx/system.h"
#include "gfx/themes.h"

namespace gfx {

namespace {
class TSteadyCounter final : public TPerfCounter {
 public:
  std::int64_t Frequency() const override { return 1000000000; }
  std::int64_t Counter() const override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};
}  // namespace

const TPerfCounter& PlatformPerfCounter() {
  static const TSteadyCounter counter;
  return counter;
}

std::int32_t GetProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<std::int32_t>(n);
}

// No visual styles on the host.
TVisualStyles* VisualStyles() {
  return nullptr;
}
void CreateThemeNexus() {}
void FreeThemeNexus() {}

}  // namespace gfx
