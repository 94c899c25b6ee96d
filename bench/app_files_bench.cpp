// The file list's work on a full root directory (112 entries): listing with its texts and
// sorting by each column, and adding 112 small files from the host.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/files/file_rows.h"
#include "app/files/file_sort.h"
#include "app/files/process_work_list.h"
#include "rtl/stream.h"

namespace {

constexpr int kEntries = 112;

std::wstring FileName(int i) {
  return L"file" + std::to_wstring(i) + L".t" + std::to_wstring(i % 10);
}

// Small host files held in memory.
class TMemoryHostFs final : public app::files::IHostFs {
 public:
  TMemoryHostFs() {
    for (int i = 0; i < kEntries; ++i)
      files_[FileName(i)] = std::vector<std::uint8_t>(static_cast<std::size_t>(100 + i * 7), 0x41);
  }
  app::files::HostKind Kind(const std::filesystem::path&) const override {
    return app::files::HostKind::File;
  }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& path) const override {
    return files_.at(path.wstring()).size();
  }
  std::vector<std::filesystem::path> List(const std::filesystem::path&) const override {
    return {};
  }
  std::unique_ptr<rtl::TStream> OpenRead(const std::filesystem::path& path) const override {
    return std::make_unique<rtl::TMemoryStream>(files_.at(path.wstring()));
  }
  rtl::FileTime LastWriteTime(const std::filesystem::path&) const override {
    return 133'000'000'000'000'000ULL;
  }
  void WriteFile(const std::filesystem::path&, std::span<const std::uint8_t>) override {}
  std::filesystem::path CurrentDirectory() const override { return {}; }
  void ChangeDirectory(const std::filesystem::path&) override {}

 private:
  std::map<std::wstring, std::vector<std::uint8_t>> files_;
};

app::files::TWorkList AllFiles() {
  app::files::TWorkList list;
  for (int i = 0; i < kEntries; ++i) list.push_back({FileName(i), app::files::WorkKind::AddFile});
  return list;
}

std::unique_ptr<disk::TMSXDisk> FullRoot() {
  auto disk = std::make_unique<disk::TMSXDisk>();
  disk->PrepareNewImage(true);
  const TMemoryHostFs fs;
  app::files::ProcessWorkList(*disk, AllFiles(), fs);
  return disk;
}

void BM_ListAndSortFullRoot(benchmark::State& state) {
  const std::unique_ptr<disk::TMSXDisk> disk = FullRoot();
  const app::files::TDateTimeFormat format;
  for (auto _ : state) {
    app::files::TFileListing listing = app::files::ListCurrentDirectory(*disk, format);
    for (std::int32_t mode = app::files::colName; mode <= app::files::colDateTime; ++mode)
      app::files::SortRows(listing.Rows, mode);
    benchmark::DoNotOptimize(listing.Rows.data());
  }
}
BENCHMARK(BM_ListAndSortFullRoot)->Unit(benchmark::kMillisecond);

void BM_AddSmallFilesToEmptyImage(benchmark::State& state) {
  const TMemoryHostFs fs;
  const app::files::TWorkList list = AllFiles();
  for (auto _ : state) {
    state.PauseTiming();
    auto disk = std::make_unique<disk::TMSXDisk>();
    disk->PrepareNewImage(true);
    state.ResumeTiming();
    const app::files::TWorkResult result = app::files::ProcessWorkList(*disk, list, fs);
    if (result.FilesAdded != kEntries) state.SkipWithError("not every file was added");
  }
}
BENCHMARK(BM_AddSmallFilesToEmptyImage)->Unit(benchmark::kMillisecond);

}  // namespace
