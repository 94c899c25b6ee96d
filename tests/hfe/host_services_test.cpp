// The host services of the track library: the memory entries and their allocation list, the file
// entries on real files, and the live-block count around every load and save, failed ones too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../disk/disk_test_support.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_file.h"
#include "hfe/hfe_format.h"
#include "hfe/host_services.h"
#include "hfe/startup.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using disk_test::ReadFile;
using disk_test::WriteFile;
using hfe_test::Bytes;

std::size_t Listed(const void* block) {
  const std::vector<void*> blocks = LiveBlocks();
  return static_cast<std::size_t>(std::count(blocks.begin(), blocks.end(), block));
}

TEST(HostServices, MemoryEntriesKeepTheListAndCount) {
  const THostServices& host = HostServices();
  const std::size_t start = LiveBlockCount();
  auto* block = static_cast<std::uint8_t*>(host.allocate(100));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(LiveBlockCount(), start + 1);
  EXPECT_EQ(Listed(block), 1u);
  EXPECT_EQ(host.fill(block, 0x5A, 100), block);
  const Bytes text = {'a', 'b', 'c', 0};
  EXPECT_EQ(host.copy(block + 10, text.data(), text.size()), block + 10);
  EXPECT_EQ(block[9], 0x5A);
  EXPECT_EQ(block[10], 'a');
  EXPECT_EQ(block[14], 0x5A);

  // A grown block keeps its bytes, and the list names it at its new address only.
  auto* grown = static_cast<std::uint8_t*>(host.reallocate(block, 1 << 20));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(LiveBlockCount(), start + 1);
  EXPECT_EQ(Listed(grown), 1u);
  if (grown != block) {
    EXPECT_EQ(Listed(block), 0u);
  }
  EXPECT_EQ(grown[10], 'a');
  EXPECT_EQ(grown[99], 0x5A);
  void* fresh = host.reallocate(nullptr, 8);  // no block yet: a new one
  EXPECT_EQ(LiveBlockCount(), start + 2);
  host.release(grown);
  host.release(fresh);
  host.release(nullptr);
  EXPECT_EQ(LiveBlockCount(), start);
  EXPECT_EQ(Listed(grown), 0u);

  const struct {
    const char *a, *b;
    std::size_t count;
    int sign;
  } comparisons[] = {{"abc", "abd", 2, 0},     {"abc", "abd", 3, -1}, {"b", "a", 1, 1},
                     {"ab\0x", "ab\0y", 4, 0}, {"\xE9", "e", 1, 1},   {"x", "y", 0, 0}};
  for (const auto& c : comparisons) {
    const int result = host.compare(c.a, c.b, c.count);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " " << c.b << " " << c.count;
  }
  EXPECT_EQ(host.print("text"), 0);
  EXPECT_EQ(host.putChar('x'), 0);
  host.enterHook();
  host.leaveHook();
}

TEST(HostServices, ShutDownFreesTheListNotTheBlocks) {
  const THostServices& host = HostServices();
  Initialize();
  void* block = host.allocate(16);
  Finalize();
  EXPECT_EQ(LiveBlockCount(), 0u);
  std::memset(block, 1, 16);  // still the caller's
  host.release(block);        // not listed any more: only freed
  Initialize();
  EXPECT_EQ(LiveBlockCount(), 0u);
  void* next = host.allocate(16);
  EXPECT_EQ(LiveBlocks(), std::vector<void*>{next});
  host.release(next);
}

struct TClose {
  void operator()(THostFile* file) const { HostServices().close(file); }
};
using THandle = std::unique_ptr<THostFile, TClose>;

TEST(HostServices, OpenModes) {
  const THostServices& host = HostServices();
  TTempFolder folder;
  const auto path = folder / "file.bin";
  WriteFile(path, {1, 2, 3, 4});
  for (const char* mode : {"r", "w", "w+b", "r+b", "ab", "RB", "", "rb "})
    EXPECT_EQ(host.open(path, mode), nullptr) << mode;
  EXPECT_EQ(host.open(path, nullptr), nullptr);
  EXPECT_EQ(ReadFile(path), (Bytes{1, 2, 3, 4}));
  EXPECT_NE(THandle(host.open(path, "rb")), nullptr);
  EXPECT_THROW(host.open(folder / "absent.bin", "rb"), rtl::EStreamError);
  EXPECT_THROW(host.open(folder / "no folder" / "new.bin", "wb"), rtl::EStreamError);
  { THandle truncated(host.open(path, "wb")); }
  EXPECT_EQ(ReadFile(path), Bytes{});
  { THandle created(host.open(folder / "new.bin", "wb")); }
  EXPECT_EQ(ReadFile(folder / "new.bin"), Bytes{});
#ifdef _WIN32
  // Windows: others may read the open file but not write it.
  for (const char* mode : {"rb", "wb"}) {
    SCOPED_TRACE(mode);
    THandle file(host.open(path, mode));
    EXPECT_THROW(rtl::TFileStream(path, rtl::FileMode::OpenReadWrite), rtl::EStreamError);
    EXPECT_THROW(rtl::TFileStream(path, rtl::FileMode::Create), rtl::EStreamError);
  }
  THandle reading(host.open(path, "rb"));
  EXPECT_NO_THROW(THandle(host.open(path, "rb")));
#endif
}

TEST(HostServices, WriteReadAndSeek) {
  const THostServices& host = HostServices();
  TTempFolder folder;
  const auto path = folder / "file.bin";
  const Bytes data = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
  {
    THandle file(host.open(path, "wb"));
    EXPECT_EQ(host.write(data.data(), 3, 4, file.get()), 4u);
    EXPECT_EQ(host.write(data.data(), 0, 4, file.get()), 0u);
    EXPECT_EQ(host.write(data.data(), 3, 0, file.get()), 0u);
    EXPECT_EQ(host.write(data.data(), 2, static_cast<std::size_t>(-1), file.get()), 0u);
  }
  EXPECT_EQ(ReadFile(path), data);

  THandle file(host.open(path, "rb"));
  Bytes buffer(5, 0);
  EXPECT_EQ(host.read(buffer.data(), 5, file.get()), 1);
  EXPECT_EQ(buffer, (Bytes{10, 11, 12, 13, 14}));
  // Where the next byte comes from after each seek, in order; -1: the end of the file.
  const struct {
    std::int32_t offset;
    int whence;
    int next;
  } seeks[] = {
      {4, 0, 14},   {2, 1, 17},  {-3, 2, 19},  {-1, 1, 19},  {0, 2, -1},
      {5, 3, -1},   {-1, 0, -1}, {-13, 2, -1}, {1, 0, 11},   {-2, 1, 10},
      {100, 0, -1}, {0, 0, 10},  {5, -1, 11},  {-12, 2, 10}, {0, 2, -1},
  };
  for (const auto& s : seeks) {
    SCOPED_TRACE(testing::Message() << s.offset << ", " << s.whence);
    host.seek(file.get(), s.offset, s.whence);
    std::uint8_t byte = 0;
    const int got = host.read(&byte, 1, file.get());
    EXPECT_EQ(got, s.next < 0 ? 0 : 1);
    if (s.next >= 0) {
      EXPECT_EQ(byte, s.next);
    }
  }
  // A read that meets the end with bytes still to give counts as one item.
  host.seek(file.get(), -2, 2);
  buffer.assign(5, 0);
  EXPECT_EQ(host.read(buffer.data(), 5, file.get()), 1);
  EXPECT_EQ(buffer, (Bytes{20, 21, 0, 0, 0}));
  EXPECT_EQ(host.read(buffer.data(), 5, file.get()), 0);
}

TEST(HostServices, HfeFilesAreReadWholeThroughTheServices) {
  TTempFolder folder;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{511}, std::size_t{512}, std::size_t{100001}}) {
    const Bytes bytes = hfe_test::RandomBytes(size, static_cast<std::uint32_t>(size));
    WriteFile(folder / "f.hfe", bytes);
    EXPECT_EQ(ReadHfeFile(folder / "f.hfe"), bytes) << size;
  }
  EXPECT_THROW(ReadHfeFile(folder / "absent.hfe"), rtl::EStreamError);
}

// The library's floppies, sectors and contexts take their memory through the services, and every
// load and save, failed or not, gives all of it back.
TEST(HostServices, EveryLoadAndSaveGivesBackItsBlocks) {
  TTempFolder folder;
  const Bytes image = hfe_test::RandomImage(2, 21);
  auto source = std::make_unique<disk::TMSXDisk>();
  ASSERT_TRUE(source->LoadFromBuffer(image, "in.dsk"));
  const auto good = folder / "good.hfe";
  ASSERT_TRUE(SaveHFE(good, *source));
  Bytes cut = ReadFile(good);
  cut.resize(30000);
  WriteFile(folder / "cut.hfe", cut);
  const auto empty = std::make_unique<disk::TMSXDisk>();
  Bytes badSignature = ReadFile(good);
  badSignature[0] = 'X';
  WriteFile(folder / "bad.hfe", badSignature);
  WriteFile(folder / "empty.hfe", {});

  const auto loadInto = [](const std::filesystem::path& path) {
    return [path] {
      auto disk = std::make_unique<disk::TMSXDisk>();
      LoadHFE(path, *disk);
    };
  };
  const struct {
    const char* name;
    std::function<void()> run;
  } cases[] = {
      {"load", loadInto(good)},
      {"load of a cut file", loadInto(folder / "cut.hfe")},
      {"load of a wrong signature", loadInto(folder / "bad.hfe")},
      {"load of an empty file", loadInto(folder / "empty.hfe")},
      {"load of a missing file", loadInto(folder / "absent.hfe")},
      {"save", [&] { SaveHFE(folder / "again.hfe", *source); }},
      {"save into a missing folder", [&] { SaveHFE(folder / "none" / "x.hfe", *source); }},
      {"save of an empty disk", [&] { SaveHFE(folder / "e.hfe", *empty); }},
      {"decode of a bad header", [] { DecodeHFEImage(Bytes(600, 0x48)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t start = LiveBlockCount();
    try {
      c.run();
    } catch (const rtl::EStreamError&) {
    }
    EXPECT_EQ(LiveBlockCount(), start);
  }

  const std::size_t start = LiveBlockCount();
  {
    auto context = trk_init();
    auto loader = trk_imgInitLoader(*context);
    TFloppy floppy;
    ASSERT_EQ(HFE_libLoad_DiskFile(*loader, floppy, good), kOk);
    // The loader, the context, and 84 cylinders with their side arrays and two sides each.
    EXPECT_GE(LiveBlockCount(), start + 2 + 84 * 2 + 84 * 2 * 3);
  }
  EXPECT_EQ(LiveBlockCount(), start);
}

}  // namespace
}  // namespace hfe
