// Host file output: extracting 100 files of a filled image over existing host files, each one
// replaced safely. Counter: system CPU time per file, the cost the host's file calls add.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "disk/msx_disk.h"
#include "rtl/stream.h"
#include "temp_folder.h"

namespace {

constexpr int kFileCount = 100;

double SystemSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
}

void BM_ExtractOverExistingFiles(benchmark::State& state) {
  // Sizes from 100 bytes to about 12 KB, 600 KB in all.
  disk::TMSXDisk image;
  image.PrepareNewImage(true);
  std::vector<const disk::TDirEntry*> entries;
  for (int i = 0; i < kFileCount; ++i) {
    const auto size = static_cast<std::size_t>(100 + (i * 7919) % 12000);
    rtl::TMemoryStream stream(std::vector<std::uint8_t>(size, static_cast<std::uint8_t>(i)));
    const disk::TDirEntry* entry = image.Add(L"FILE" + std::to_wstring(i) + L".BIN", stream);
    if (!entry) throw std::runtime_error("add failed");
    entries.push_back(entry);
  }
  const TTempFolder folder;
  const auto extractAll = [&] {
    for (const disk::TDirEntry* entry : entries)
      image.ExtractToFile(folder.Path() / entry->GetFileName(), entry);
  };
  extractAll();  // every later pass replaces existing files
  const double before = SystemSeconds();
  for (auto _ : state) extractAll();
  state.counters["sys_us_per_file"] =
      (SystemSeconds() - before) * 1e6 / static_cast<double>(state.iterations() * kFileCount);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kFileCount));
}
BENCHMARK(BM_ExtractOverExistingFiles)->Unit(benchmark::kMillisecond);

}  // namespace
