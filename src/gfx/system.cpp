#include "gfx/system.h"

#include <cmath>
#include <memory>

#include "ui/text.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace gfx {

namespace {

class TProcessorCpuId final : public TCpuIdReader {
 public:
  bool Available() const override {
#if defined(__i386__) || defined(__x86_64__)
    // On i386 this first checks that the identification flag can be toggled.
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
  }
  TCpuIdResult Leaf(std::uint32_t leaf) const override {
    TCpuIdResult r;
#if defined(__i386__) || defined(__x86_64__)
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
#else
    (void)leaf;
#endif
    return r;
  }
};

TCpuFeatures boundFeatures;

}  // namespace

const TCpuIdReader& ProcessorCpuId() {
  static const TProcessorCpuId reader;
  return reader;
}

bool HasInstructionSet(TInstructionSet set, const TCpuIdReader& cpu) {
  if (!cpu.Available()) return false;
  // Without leaf 1 there is no family and no feature word.
  if (cpu.Leaf(0).eax < 1) return false;
  const TCpuIdResult leaf1 = cpu.Leaf(1);
  if (((leaf1.eax >> 8) & 0xF) < 5) return false;
  const auto extendedFeatures = [&cpu](std::uint32_t mask) {
    if (cpu.Leaf(0x80000000).eax < 0x80000001) return false;
    return (cpu.Leaf(0x80000001).edx & mask) != 0;
  };
  switch (set) {
    case isExMMX:
      return (leaf1.edx & InstructionSetMasks[isSSE]) != 0 ||
             extendedFeatures(InstructionSetMasks[isExMMX]);
    case is3DNow:
    case isExt3DNow:
      return extendedFeatures(InstructionSetMasks[set]);
    case isMMX:
    case isSSE:
    case isSSE2:
      return (leaf1.edx & InstructionSetMasks[set]) != 0;
  }
  return false;
}

TCpuFeatures DetectCpuFeatures(const TCpuIdReader& cpu) {
  TCpuFeatures f;
  f.mmx = HasInstructionSet(isMMX, cpu);
  f.emmx = HasInstructionSet(isExMMX, cpu);
  f.sse = HasInstructionSet(isSSE, cpu);
  f.sse2 = HasInstructionSet(isSSE2, cpu);
  f.amd3dnow = HasInstructionSet(is3DNow, cpu);
  f.amd3dnowext = HasInstructionSet(isExt3DNow, cpu);
  return f;
}

const TCpuFeatures& CpuFeatures() {
  return boundFeatures;
}
void SetCpuFeatures(const TCpuFeatures& features) {
  boundFeatures = features;
}

void TPerfTimer::Start() {
  FPerformanceCountStart = FCounter.Counter();
}

std::int64_t TPerfTimer::ReadValue() {
  FPerformanceCountStop = FCounter.Counter();
  FFrequency = FCounter.Frequency();
  if (FFrequency <= 0) return 0;
  const std::int64_t ticks = FPerformanceCountStop - FPerformanceCountStart;
  const double frequency = static_cast<double>(FFrequency);
  std::int64_t scaled = 0;
  // The product in 64 bits; past its range (days of ticks) the division goes first instead of
  // overflowing.
  if (__builtin_mul_overflow(ticks, std::int64_t{1000000}, &scaled))
    return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(ticks) / frequency * 1e6));
  return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(scaled) / frequency));
}

std::wstring TPerfTimer::ReadNanoseconds() {
  return std::to_wstring(ReadValue());
}

std::wstring TPerfTimer::ReadMilliseconds() {
  return ui::FloatToStrGeneral(static_cast<long double>(ReadValue()) / 1000, 15);
}

}  // namespace gfx
