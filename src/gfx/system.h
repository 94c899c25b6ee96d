// System services of the bitmap units: the processor feature test that chooses between plain
// and processor-specific routines, the processor count and the performance timer.
//   HasInstructionSet(set, cpu): the feature test over a cpuid reader (ProcessorCpuId() is the
//   real one; tests pass tables). DetectCpuFeatures gives all six answers at once.
//   CpuFeatures(): the answers the units were bound with (gfx/startup.h sets them).
//   TPerfTimer: Start, then ReadValue (microseconds) and its text forms; the counter behind it
//   is a seam (the platform's performance counter by default).
#pragma once

#include <cstdint>
#include <string>

namespace gfx {

// Instruction sets, in the order of their numbers.
enum TInstructionSet : int { isMMX, isExMMX, isSSE, isSSE2, is3DNow, isExt3DNow };

// The feature masks of the six sets (leaf 1 for MMX, SSE and SSE2; extended leaf 0x80000001
// for extended MMX and both 3DNow! sets).
inline constexpr std::uint32_t InstructionSetMasks[6] = {0x00800000, 0x00400000, 0x02000000,
                                                         0x04000000, 0x80000000, 0x40000000};

struct TCpuIdResult {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// The processor-identification instruction.
class TCpuIdReader {
 public:
  virtual ~TCpuIdReader() = default;
  // The identification instruction exists (the identification flag can be toggled).
  virtual bool Available() const = 0;
  virtual TCpuIdResult Leaf(std::uint32_t leaf) const = 0;
};

// The processor this program runs on; on processors without the instruction, none.
const TCpuIdReader& ProcessorCpuId();

bool HasInstructionSet(TInstructionSet set, const TCpuIdReader& cpu = ProcessorCpuId());
inline bool HasMMX(const TCpuIdReader& cpu = ProcessorCpuId()) {
  return HasInstructionSet(isMMX, cpu);
}
inline bool HasEMMX(const TCpuIdReader& cpu = ProcessorCpuId()) {
  return HasInstructionSet(isExMMX, cpu);
}
inline bool Has3DNow(const TCpuIdReader& cpu = ProcessorCpuId()) {
  return HasInstructionSet(is3DNow, cpu);
}

struct TCpuFeatures {
  bool mmx = false, emmx = false, sse = false, sse2 = false, amd3dnow = false, amd3dnowext = false;
  bool operator==(const TCpuFeatures&) const = default;
};

TCpuFeatures DetectCpuFeatures(const TCpuIdReader& cpu = ProcessorCpuId());

// The features the call cells are bound with; none until start-up.
const TCpuFeatures& CpuFeatures();
void SetCpuFeatures(const TCpuFeatures& features);

// The number of processors the operating system reports; 1 until start-up stores it.
inline std::int32_t ProcessorCount = 1;
std::int32_t GetProcessorCount();

// A performance counter: ticks and ticks per second.
class TPerfCounter {
 public:
  virtual ~TPerfCounter() = default;
  virtual std::int64_t Frequency() const = 0;
  virtual std::int64_t Counter() const = 0;
};

// The platform's performance counter.
const TPerfCounter& PlatformPerfCounter();

class TPerfTimer {
 public:
  explicit TPerfTimer(const TPerfCounter& counter = PlatformPerfCounter()) : FCounter(counter) {}

  void Start();
  // Elapsed microseconds: round(1,000,000 x ticks / frequency), ties to even.
  std::int64_t ReadValue();
  // The same microsecond count (not nanoseconds) as decimal text.
  std::wstring ReadNanoseconds();
  // The microsecond count divided by 1000, as general floating-point text.
  std::wstring ReadMilliseconds();

 private:
  const TPerfCounter& FCounter;
  std::int64_t FFrequency = 0;
  std::int64_t FPerformanceCountStart = 0;
  std::int64_t FPerformanceCountStop = 0;
};

// The timer start-up creates; null before start-up and after shutdown.
TPerfTimer* GlobalPerfTimer();

}  // namespace gfx
