// Loads of a normal 720 KB track image and of the hostile ones in the Windows build, timed with
// the performance counter: medians per input and sync scan, and their ratio to the normal load.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hfe/hfe_disk.h"
#include "hfe/mfm_sync_scan.h"
#include "hfe_inputs.h"

namespace {

double MedianLoadMs(const hfe_bench::Bytes& file, int rounds) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  disk::TMSXDisk target;
  std::vector<double> times;
  for (int round = -3; round < rounds; ++round) {
    QueryPerformanceCounter(&start);
    hfe::LoadHFEFromBytes(file, "timed.hfe", target);
    QueryPerformanceCounter(&end);
    if (round >= 0)
      times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart));
  }
  std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
  return times[static_cast<std::size_t>(rounds / 2)];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  const struct {
    const char* name;
    hfe_bench::Bytes file;
  } inputs[] = {
      {"normal 720 KB", hfe::BuildHFE(*hfe_bench::RandomDisk())},
      {"dense identities", hfe_bench::HostileFile(hfe_bench::kDenseIdentities)},
      {"overlapping ids", hfe_bench::HostileFile(hfe_bench::kOverlappingIdentities)},
      {"long sectors", hfe_bench::HostileFile(hfe_bench::kLongSectors)},
      {"all sync", hfe_bench::HostileFile(hfe_bench::kAllSync)},
      {"other marks", hfe_bench::HostileFile(hfe_bench::kOtherMarks)},
      {"damaged wanted ids", hfe_bench::HostileFile(hfe_bench::kDamagedWantedIdentities)}};
  for (const hfe::SyncScan scan : {hfe::SyncScan::Portable, hfe::SyncScan::Vector}) {
    if (scan == hfe::SyncScan::Vector && !hfe::VectorSyncScanAvailable()) continue;
    hfe::SetSyncScan(scan);
    std::printf("%s scan, medians of %d loads:\n",
                scan == hfe::SyncScan::Vector ? "vector" : "portable", rounds);
    double normal = 0;
    for (const auto& input : inputs) {
      const double ms = MedianLoadMs(input.file, rounds);
      if (normal == 0) normal = ms;
      std::printf("  %-18s %7.2f ms  %5.2fx\n", input.name, ms, ms / normal);
    }
  }
  return 0;
}
