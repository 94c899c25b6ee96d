// Timings of the track library: SaveHFE and LoadHFE of a 720 KB image, CRC and MFM throughput,
// a sector search over a full track, and loads of hostile files built for maximum work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "hfe/crc16.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/mfm_codec.h"
#include "hfe/sector_access.h"
#include "hfe_inputs.h"

namespace {

using hfe_bench::Bytes;
using hfe_bench::RandomBytes;
using hfe_bench::RandomDisk;

std::filesystem::path BenchFile() {
  return std::filesystem::temp_directory_path() / "qb_hfe_bench.hfe";
}

void BM_SaveHFE_Memory(benchmark::State& state) {
  const auto disk = RandomDisk();
  for (auto _ : state) benchmark::DoNotOptimize(hfe::BuildHFE(*disk));
}
BENCHMARK(BM_SaveHFE_Memory)->Unit(benchmark::kMillisecond);

void BM_SaveHFE_File(benchmark::State& state) {
  const auto disk = RandomDisk();
  for (auto _ : state)
    if (!hfe::SaveHFE(BenchFile(), *disk)) state.SkipWithError("save failed");
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_SaveHFE_File)->Unit(benchmark::kMillisecond);

void BM_LoadHFE_Memory(benchmark::State& state) {
  const Bytes file = hfe::BuildHFE(*RandomDisk());
  auto target = std::make_unique<disk::TMSXDisk>();
  for (auto _ : state)
    if (!hfe::LoadHFEFromBytes(file, "bench.hfe", *target)) state.SkipWithError("load failed");
}
BENCHMARK(BM_LoadHFE_Memory)->Unit(benchmark::kMillisecond);

void BM_LoadHFE_File(benchmark::State& state) {
  if (!hfe::SaveHFE(BenchFile(), *RandomDisk())) state.SkipWithError("save failed");
  auto target = std::make_unique<disk::TMSXDisk>();
  for (auto _ : state)
    if (!hfe::LoadHFE(BenchFile(), *target)) state.SkipWithError("load failed");
  std::filesystem::remove(BenchFile());
}
BENCHMARK(BM_LoadHFE_File)->Unit(benchmark::kMillisecond);

void BM_Crc16(benchmark::State& state) {
  const Bytes bytes = RandomBytes(65536);
  for (auto _ : state) benchmark::DoNotOptimize(hfe::crc16(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Crc16);

void BM_MfmEncode(benchmark::State& state) {
  const Bytes bytes = RandomBytes(6252);
  Bytes cells(12504);
  for (auto _ : state) {
    hfe::TMfmEncoder encoder{hfe::TCellWriter(cells, 100032), 0};
    hfe::mfmEncode(encoder, bytes);
    benchmark::DoNotOptimize(cells.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_MfmEncode);

void BM_MfmDecode(benchmark::State& state) {
  const Bytes cells = RandomBytes(12504);
  Bytes out(6251);
  for (auto _ : state) {
    // Off by three cells, as sectors are found at any position.
    hfe::mfmDecode(cells, 100032, out, 3);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_MfmDecode);

// A fresh search for the last sector of a saved track: the walk over the whole track side.
void BM_SectorSearchFullTrack(benchmark::State& state) {
  const Bytes file = hfe::BuildHFE(*RandomDisk());
  auto context = hfe::trk_init();
  auto loader = hfe::trk_imgInitLoader(*context);
  hfe::TFloppy floppy;
  hfe::HFE_libLoad_DiskFile(*loader, floppy, file, "bench.hfe");
  for (auto _ : state) {
    auto access = hfe::trk_initSectorAccess(*context, floppy);
    benchmark::DoNotOptimize(
        hfe::trk_searchSector(*access, 40, 1, 9, hfe::SectorSearch::IsoIbmMfm));
  }
}
BENCHMARK(BM_SectorSearchFullTrack)->Unit(benchmark::kMicrosecond);

// Loads of the hostile files (hfe_inputs.h).
void LoadHostile(benchmark::State& state, const Bytes& file) {
  auto target = std::make_unique<disk::TMSXDisk>();
  for (auto _ : state)
    benchmark::DoNotOptimize(hfe::LoadHFEFromBytes(file, "hostile.hfe", *target));
}

void BM_HostileDenseIdentities(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kDenseIdentities));
}
BENCHMARK(BM_HostileDenseIdentities)->Unit(benchmark::kMillisecond);

void BM_HostileOverlappingIdentities(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kOverlappingIdentities));
}
BENCHMARK(BM_HostileOverlappingIdentities)->Unit(benchmark::kMillisecond);

void BM_HostileLongSectors(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kLongSectors));
}
BENCHMARK(BM_HostileLongSectors)->Unit(benchmark::kMillisecond);

void BM_HostileAllSync(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kAllSync));
}
BENCHMARK(BM_HostileAllSync)->Unit(benchmark::kMillisecond);

void BM_HostileOtherMarks(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kOtherMarks));
}
BENCHMARK(BM_HostileOtherMarks)->Unit(benchmark::kMillisecond);

void BM_HostileDamagedWantedIdentities(benchmark::State& state) {
  LoadHostile(state, hfe_bench::HostileFile(hfe_bench::kDamagedWantedIdentities));
}
BENCHMARK(BM_HostileDamagedWantedIdentities)->Unit(benchmark::kMillisecond);

}  // namespace
