// Timings of the disk model's everyday operations on a 720 KB image.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "disk/msx_disk.h"
#include "rtl/stream.h"

namespace {

using disk::TMSXDisk;

constexpr int kFileCount = 100;
constexpr std::size_t kFileSize = 1000;

std::wstring FileName(int i) {
  return L"FILE" + std::to_wstring(i) + L".BIN";
}

const std::vector<std::uint8_t>& FileBytes() {
  static const std::vector<std::uint8_t> bytes(kFileSize, 0x5A);
  return bytes;
}

void AddFiles(TMSXDisk& image, int count, std::size_t size) {
  for (int i = 0; i < count; ++i) {
    rtl::TMemoryStream stream(std::vector<std::uint8_t>(size, 0x5A));
    if (image.Add(FileName(i), stream) == nullptr) throw std::runtime_error("add failed");
  }
}

std::unique_ptr<TMSXDisk> ImageWithFiles(int count) {
  auto image = std::make_unique<TMSXDisk>();
  image->PrepareNewImage(true);
  AddFiles(*image, count, kFileSize);
  return image;
}

void BM_NewImage(benchmark::State& state) {
  auto image = std::make_unique<TMSXDisk>();
  for (auto _ : state) {
    image->PrepareNewImage(true);
    image->AttachBootCode(disk::GetBootCode(1));
    benchmark::DoNotOptimize(image->Buffer().data());
  }
}
BENCHMARK(BM_NewImage);

void BM_Add100Files(benchmark::State& state) {
  auto image = std::make_unique<TMSXDisk>();
  for (auto _ : state) {
    state.PauseTiming();
    image->PrepareNewImage(true);
    state.ResumeTiming();
    for (int i = 0; i < kFileCount; ++i) {
      rtl::TMemoryStream stream(FileBytes());
      benchmark::DoNotOptimize(image->Add(FileName(i), stream));
    }
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_Add100Files);

// Listing the full root (112 entries).
void BM_ListRoot(benchmark::State& state) {
  auto image = ImageWithFiles(112);
  for (auto _ : state) {
    image->ResetDir();
    while (const disk::TDirEntry* entry = image->FetchDir(false)) {
      if (!entry->IsUsed()) break;
      benchmark::DoNotOptimize(entry->Size);
    }
  }
  state.SetItemsProcessed(state.iterations() * 112);
}
BENCHMARK(BM_ListRoot);

// Listing a sub-directory of N entries: the time per entry must stay flat as N grows.
void BM_ListSubDirectory(benchmark::State& state) {
  const auto entries = static_cast<int>(state.range(0));
  auto image = std::make_unique<TMSXDisk>();
  image->PrepareNewImage(true);
  image->CreateSubDir("BIG");
  image->ChangeDir("BIG");
  AddFiles(*image, entries, 0);
  for (auto _ : state) {
    image->ResetDir();
    while (const disk::TDirEntry* entry = image->FetchDir(false)) {
      if (!entry->IsUsed()) break;
      benchmark::DoNotOptimize(entry->Size);
    }
  }
  state.SetItemsProcessed(state.iterations() * entries);
  state.SetComplexityN(entries);
}
BENCHMARK(BM_ListSubDirectory)->RangeMultiplier(4)->Range(32, 2048)->Complexity(benchmark::oN);

void BM_ExtractAll(benchmark::State& state) {
  auto image = ImageWithFiles(kFileCount);
  rtl::TMemoryStream out;
  for (auto _ : state) {
    image->ResetDir();
    while (const disk::TDirEntry* entry = image->FetchDir(false)) {
      if (!entry->IsUsed()) break;
      out.Clear();
      benchmark::DoNotOptimize(image->ExtractToStream(out, entry));
    }
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_ExtractAll);

void BM_DeleteAll(benchmark::State& state) {
  const auto filled = ImageWithFiles(kFileCount);
  rtl::TMemoryStream saved;
  filled->SaveToStream(saved);
  auto image = std::make_unique<TMSXDisk>();
  for (auto _ : state) {
    state.PauseTiming();
    image->LoadFromBuffer(saved.Bytes(), "bench.dsk");
    state.ResumeTiming();
    for (int i = 0; i < kFileCount; ++i) {
      const std::wstring wide = FileName(i);
      benchmark::DoNotOptimize(image->Delete(std::string(wide.begin(), wide.end())));
    }
  }
  state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_DeleteAll);

// Raw image files: saving goes through a temporary file, loading reads the whole image.
void BM_SaveAndLoadRawFile(benchmark::State& state) {
  auto image = ImageWithFiles(kFileCount);
  auto loaded = std::make_unique<TMSXDisk>();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("qb_bench_" + std::to_string(::getpid()) + ".dsk");
  for (auto _ : state) {
    image->SaveToFile(path);
    if (!loaded->LoadFromFile(path)) throw std::runtime_error("load failed");
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(state.iterations() * 2 * disk::kImageCapacity);
}
BENCHMARK(BM_SaveAndLoadRawFile);

}  // namespace
