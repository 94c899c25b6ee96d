// Timings of the track library: SaveHFE and LoadHFE of a 720 KB image, CRC and MFM throughput,
// a sector search over a full track, and loads of hostile files built for maximum work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "disk/msx_disk.h"
#include "hfe/cell_tables.h"
#include "hfe/crc16.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/mfm_codec.h"
#include "hfe/sector_access.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count) {
  std::mt19937 random(1234);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

std::unique_ptr<disk::TMSXDisk> RandomDisk() {
  Bytes image = RandomBytes(disk::kImageCapacity);
  image[21] = 0xF9;
  auto disk = std::make_unique<disk::TMSXDisk>();
  if (!disk->LoadFromBuffer(image, "bench.dsk")) throw std::runtime_error("load failed");
  return disk;
}

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

// An 80-track, two-sided file whose every side is `side` (cells), as long as the format allows.
Bytes HostileFile(const Bytes& side) {
  const std::size_t half = 32768;
  Bytes file(1024, 0xFF);
  std::memcpy(file.data(), "HXCPICFE", 8);
  const std::uint8_t header[] = {0, 80, 2, 0, 0xFA, 0, 0, 0, 7, 1, 1, 0};
  std::memcpy(file.data() + 8, header, sizeof header);
  for (std::size_t track = 0; track < 80; ++track) {
    const std::size_t block = 2 + track * 128;
    const std::uint8_t entry[] = {static_cast<std::uint8_t>(block),
                                  static_cast<std::uint8_t>(block >> 8), 0xFF, 0xFF};
    std::memcpy(file.data() + 512 + track * 4, entry, 4);
  }
  for (std::size_t track = 0; track < 80; ++track)
    for (std::size_t block = 0; block < half / 256; ++block)
      for (int copy = 0; copy < 2; ++copy)
        for (std::size_t i = 0; i < 256; ++i)
          file.push_back(hfe::kBitReverse[side[(block * 256 + i) % side.size()]]);
  return file;
}

// MFM cells of a repeated run of bytes, with 0xA1 written as the sync word.
Bytes MfmSide(const Bytes& unit) {
  Bytes cells(32768);
  hfe::TMfmEncoder encoder{hfe::TCellWriter(cells, 32768 * 8), 0};
  for (std::size_t written = 0; written < 16384; written += unit.size())
    for (std::uint8_t byte : unit)
      hfe::mfmEncodeRepeated(encoder, byte, byte == 0xA1 ? 0x0A : 0xFF, 1);
  return cells;
}

void LoadHostile(benchmark::State& state, const Bytes& file) {
  auto target = std::make_unique<disk::TMSXDisk>();
  for (auto _ : state)
    benchmark::DoNotOptimize(hfe::LoadHFEFromBytes(file, "hostile.hfe", *target));
}

// Identity fields packed as densely as they can be, none with an id that is read.
void BM_HostileDenseIdentities(benchmark::State& state) {
  LoadHostile(state, HostileFile(MfmSide({0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 0x55})));
}
BENCHMARK(BM_HostileDenseIdentities)->Unit(benchmark::kMillisecond);

// Identity fields of 16 KB sectors, each followed at once by a data mark.
void BM_HostileLongSectors(benchmark::State& state) {
  Bytes unit = {0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 1, 7, 0, 0, 0xA1, 0xA1, 0xA1, 0xFB};
  LoadHostile(state, HostileFile(MfmSide(unit)));
}
BENCHMARK(BM_HostileLongSectors)->Unit(benchmark::kMillisecond);

// Nothing but sync words.
void BM_HostileAllSync(benchmark::State& state) {
  LoadHostile(state, HostileFile(MfmSide({0xA1})));
}
BENCHMARK(BM_HostileAllSync)->Unit(benchmark::kMillisecond);

}  // namespace
