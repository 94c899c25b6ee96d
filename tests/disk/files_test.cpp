// Files: adding from streams and host files, replacing, extracting, and the all-or-nothing rule;
// image files: raw and XSA round trips by name, the modified flag, and failures that must leave
// both the image in memory and the file on disk as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "disk/msx_disk.h"
#include "disk/xsa_decode.h"
#include "disk/xsa_stream.h"
#include "disk_test_support.h"
#include "rtl/exceptions.h"
#include "rtl/file_stream.h"

namespace {

using disk::DiskResult;
using disk::TMSXDisk;
using disk_test::AddBytes;
using disk_test::NewDisk;
using disk_test::Pattern;
using disk_test::ReadFile;
using disk_test::Snapshot;
using disk_test::WriteFile;

// Hands out `limit` bytes of a larger claimed size, then either ends or fails.
class TShortStream : public rtl::TStream {
 public:
  TShortStream(std::int64_t claimed, std::size_t limit, bool fail)
      : claimed_(claimed), limit_(limit), fail_(fail) {}
  std::size_t Read(std::span<std::uint8_t> buffer) override {
    const std::size_t n = std::min<std::size_t>({buffer.size(), limit_ - given_, 700});
    if (n == 0 && fail_) throw rtl::EStreamError("read failed");
    std::fill_n(buffer.begin(), n, std::uint8_t{0x5A});
    given_ += n;
    return n;
  }
  std::size_t Write(std::span<const std::uint8_t>) override { return 0; }
  std::int64_t Seek(std::int64_t, rtl::SeekOrigin) override {
    return static_cast<std::int64_t>(given_);
  }
  std::int64_t Size() override { return claimed_; }
  void SetSize(std::int64_t) override {}

 private:
  std::int64_t claimed_;
  std::size_t limit_;
  bool fail_;
  std::size_t given_ = 0;
};

class ClockFiles : public disk_test::ClockTest {};

TEST_F(ClockFiles, ReplacingKeepsNameAndAttributesAndStampsNow) {
  auto disk = NewDisk();
  disk::PDirEntry first = AddBytes(*disk, L"readme.txt", Pattern(5000, 1));
  ASSERT_NE(first, nullptr);
  first->Attr = disk::faArchive | disk::faReadOnly;
  first->ModifyDate.Value = first->ModifyTime.Value = 0;
  const auto second = Pattern(100, 2);
  EXPECT_EQ(AddBytes(*disk, L"README.TXT", second), first);
  EXPECT_EQ(first->Attr, disk::faArchive | disk::faReadOnly);
  // The fake clock's 2024-05-06 07:08:10.
  EXPECT_EQ(first->ModifyDate.Value, (44 << 9) | (5 << 5) | 6);
  EXPECT_EQ(first->ModifyTime.Value, (7 << 11) | (8 << 5) | 5);
  EXPECT_EQ(disk->FileCount(), 1);
  EXPECT_EQ(disk->ExtractToMem("readme.txt"), second);
  EXPECT_EQ(disk->DiskFree(), 730112 - 1024);
}

TEST(Files, ReplaceThatDoesNotFitKeepsTheOldFile) {
  auto disk = NewDisk();
  const auto old = Pattern(4096, 3);
  ASSERT_NE(AddBytes(*disk, L"OLD.BIN", old), nullptr);
  ASSERT_NE(AddBytes(*disk, L"FILL.BIN", Pattern(disk->DiskFree() - 1024)), nullptr);
  const auto before = Snapshot(*disk);

  EXPECT_EQ(AddBytes(*disk, L"OLD.BIN", Pattern(5 * 1024 + 1)), nullptr);
  EXPECT_EQ(disk->FLastError, DiskResult::DiskFull);
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->ExtractToMem("OLD.BIN"), old);

  // Exactly the old chain plus the free cluster fits.
  const auto fits = Pattern(5 * 1024, 4);
  EXPECT_NE(AddBytes(*disk, L"OLD.BIN", fits), nullptr);
  EXPECT_EQ(disk->ExtractToMem("OLD.BIN"), fits);
  EXPECT_EQ(disk->DiskFree(), 0);
}

TEST(Files, ShortAndFailingStreams) {
  auto disk = NewDisk();
  disk->ResetModifiedState();
  const auto before = Snapshot(*disk);
  TShortStream failing(5000, 3000, true);
  EXPECT_THROW(disk->Add(L"BROKEN", failing), rtl::EStreamError);
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_FALSE(disk->IsModified());

  TShortStream shortStream(5000, 100, false);
  const disk::PDirEntry entry = disk->Add(L"SHORT", shortStream);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Size, 100u);
  EXPECT_EQ(disk->ExtractToMem("SHORT"), std::vector<std::uint8_t>(100, 0x5A));

  // A stream that claims more than the disk holds is read only one byte past the free space.
  TShortStream huge(std::int64_t{1} << 40, 2'000'000, false);
  EXPECT_EQ(disk->Add(L"HUGE", huge), nullptr);
  EXPECT_EQ(disk->FLastError, DiskResult::DiskFull);
}

TEST(Files, AddOverDirectoryOrLabelChangesNothing) {
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("GAMES"), DiskResult::Ok);
  ASSERT_TRUE(disk->ChangeDir("GAMES"));
  ASSERT_NE(AddBytes(*disk, L"INSIDE.BIN", Pattern(3000)), nullptr);
  ASSERT_TRUE(disk->ChangeDir(".."));
  const disk::PDirEntry root = disk_test::RootSlots(*disk);
  std::memcpy(root[1].Name, "MYDISK     ", 11);
  root[1].Attr = disk::faVolumeID;
  const auto before = Snapshot(*disk);

  // Names that would become "." or ".." or an empty name are refused as taken.
  for (const wchar_t* name : {L"games", L"MyDisk", L".", L"x\\..", L""}) {
    disk->FLastError = DiskResult::Ok;
    EXPECT_EQ(AddBytes(*disk, name, Pattern(10)), nullptr);
    EXPECT_EQ(disk->FLastError, DiskResult::NameExists);
  }
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->GetSubDirFileCount("GAMES"), 1);
}

class HostFiles : public disk_test::ClockTest {
 protected:
  TTempFolder folder_;
};

TEST_F(HostFiles, AddStampsLocalTimeAndExtractRestoresIt) {
  const auto bytes = Pattern(2500);
  const auto source = folder_ / "SourceFile.txt";
  WriteFile(source, bytes);
  // 2001-02-03 04:05:06 UTC, 06:05:06 local in the fake zone.
  const rtl::FileTime written = *rtl::FileTimeFromCivil({2001, 2, 3, 4, 5, 6, 0});
  rtl::TFileStream(source, rtl::FileMode::OpenReadWrite).SetLastWriteTime(written);

  auto disk = NewDisk();
  ASSERT_TRUE(disk->Add(source));
  const disk::PDirEntry entry = disk->Lookup("SOURCEFI.TXT");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->ModifyDate.Value, ((2001 - 1980) << 9) | (2 << 5) | 3);
  EXPECT_EQ(entry->ModifyTime.Value, (6 << 11) | (5 << 5) | 3);

  const auto target = folder_ / "out.txt";
  ASSERT_TRUE(disk->ExtractToFile(target, entry));
  EXPECT_EQ(ReadFile(target), bytes);
  EXPECT_EQ(rtl::TFileStream(target, rtl::FileMode::OpenRead).GetLastWriteTime(), written);

  const auto byName = folder_ / "by name.txt";
  ASSERT_TRUE(disk->ExtractToFile(byName, std::string_view("sourcefi.txt")));
  EXPECT_EQ(ReadFile(byName), bytes);

  // A host name outside ASCII reaches the code page, not a conversion error.
  const auto accented = folder_ / std::filesystem::path(u8"\u00e9t\u00e9.txt");
  WriteFile(accented, bytes);
  ASSERT_TRUE(disk->Add(accented));
  EXPECT_NE(disk->Lookup("\xE9T\xE9.TXT"), nullptr);
}

TEST_F(HostFiles, FailedExtractionLeavesTheHostFileAlone) {
  const auto target = folder_ / "existing.bin";
  const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
  WriteFile(target, old);
  auto disk = NewDisk();
  const disk::PDirEntry entry = AddBytes(*disk, L"BROKEN.BIN", Pattern(3000));
  ASSERT_NE(entry, nullptr);
  disk->SetFatEntry(2, 0x800);

  EXPECT_FALSE(disk->ExtractToFile(target, entry));
  EXPECT_FALSE(disk->ExtractToFile(target, std::string_view("BROKEN.BIN")));
  EXPECT_FALSE(disk->ExtractToFile(target, std::string_view("MISSING.BIN")));
  EXPECT_EQ(ReadFile(target), old);
}

TEST_F(HostFiles, AddListStopsAtTheFirstFailure) {
  auto disk = NewDisk();
  ASSERT_EQ(disk->CreateSubDir("TAKEN"), DiskResult::Ok);
  std::vector<std::filesystem::path> paths;
  for (const char* name : {"one.txt", "two.txt", "taken", "four.txt"}) {
    paths.push_back(folder_ / name);
    WriteFile(paths.back(), Pattern(10));
  }
  EXPECT_EQ(disk->Add(std::span(paths).first(2)), 2);
  EXPECT_EQ(disk->Add(paths), 2);  // the first two again, then "taken" stops the run
  EXPECT_EQ(disk->FLastError, DiskResult::NameExists);
  EXPECT_FALSE(disk->FileNameExists("FOUR.TXT"));
  EXPECT_THROW(disk->Add(folder_ / "missing.txt"), rtl::EStreamError);
}

TEST(Files, EmptyFileMarksTheImageModified) {
  auto disk = NewDisk();
  disk->ResetModifiedState();
  ASSERT_NE(AddBytes(*disk, L"EMPTY", {}), nullptr);  // no FAT write, still a change
  EXPECT_TRUE(disk->IsModified());
}

// A disk with a few files in two directories.
std::unique_ptr<disk::TMSXDisk> FilledDisk(bool doubleSided) {
  auto disk = NewDisk(doubleSided);
  disk->AttachBootCode(disk::GetBootCode(1));
  EXPECT_NE(disk_test::AddBytes(*disk, L"game.bas", disk_test::Pattern(5000, 3)), nullptr);
  EXPECT_EQ(disk->CreateSubDir("DATA"), disk::DiskResult::Ok);
  EXPECT_TRUE(disk->ChangeDir("DATA"));
  EXPECT_NE(disk_test::AddBytes(*disk, L"zeros.bin", std::vector<std::uint8_t>(20000)), nullptr);
  EXPECT_TRUE(disk->ChangeDir("\\"));
  return disk;
}

struct FileCase {
  const char* name;
  bool doubleSided;
  bool xsa;
};

class RoundTrips : public ::testing::TestWithParam<FileCase> {};

TEST_P(RoundTrips, SaveThenLoadGivesTheSameImage) {
  const FileCase& c = GetParam();
  TTempFolder folder;
  const std::filesystem::path path = folder / c.name;
  auto disk = FilledDisk(c.doubleSided);
  disk->SaveToFile(path);
  EXPECT_EQ(disk->FileName(), path);
  EXPECT_TRUE(disk->IsModified());  // saving by name keeps the flag

  const std::vector<std::uint8_t> file = ReadFile(path);
  const std::size_t imageSize = c.doubleSided ? 737280 : 368640;
  if (c.xsa) {
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), std::string("PCK\x08", 4));
  } else {
    ASSERT_EQ(file.size(), imageSize);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), disk->Buffer().begin()));
  }

  auto loaded = std::make_unique<disk::TMSXDisk>();
  ASSERT_TRUE(loaded->LoadFromFile(path));
  EXPECT_EQ(loaded->FileName(), path);
  EXPECT_FALSE(loaded->IsModified());
  EXPECT_EQ(loaded->DiskByteSize(), static_cast<int>(imageSize));
  EXPECT_EQ(Snapshot(*loaded), Snapshot(*disk));
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrips,
                         ::testing::Values(FileCase{"single.dsk", false, false},
                                           FileCase{"lower.xsa", true, true},
                                           FileCase{"UPPER.XSA", false, true}),
                         [](const auto& param) {
                           std::string name = param.param.name;
                           name.erase(name.find('.'), 1);
                           return name;
                         });

TEST(ImageFiles, SaveWithoutNameClearsTheModifiedFlag) {
  TTempFolder folder;
  auto disk = FilledDisk(true);
  disk->SetFileName(folder / "plain.dsk");
  disk->SaveToFile();
  EXPECT_FALSE(disk->IsModified());
  EXPECT_EQ(ReadFile(folder / "plain.dsk").size(), 737280u);

  ASSERT_NE(disk_test::AddBytes(*disk, L"more.txt", disk_test::Pattern(10)), nullptr);
  ASSERT_TRUE(disk->LoadFromFile());  // reload drops the change
  EXPECT_FALSE(disk->FileNameExists("MORE.TXT"));
}

TEST(ImageFiles, MissingFileChangesNothing) {
  TTempFolder folder;
  auto disk = FilledDisk(true);
  disk->SetFileName("kept.dsk");
  const std::vector<std::uint8_t> before = Snapshot(*disk);
  EXPECT_FALSE(disk->LoadFromFile(folder / "missing.dsk"));
  EXPECT_EQ(disk->FileName(), "kept.dsk");
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->DiskFree(), FilledDisk(true)->DiskFree());
}

TEST(ImageFiles, FailedSaveKeepsTheOldFileAndName) {
  TTempFolder folder;
  auto disk = FilledDisk(true);
  disk->SetFileName("kept.dsk");
  // A folder where the image should go: the replacement fails after the bytes were written.
  std::filesystem::create_directories(folder / "taken.dsk" / "inside");
  EXPECT_THROW(disk->SaveToFile(folder / "taken.dsk"), rtl::EStreamError);
  EXPECT_EQ(disk->FileName(), "kept.dsk");
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.dsk" / "inside"));
  EXPECT_THROW(disk->SaveToFile(folder / "no" / "such" / "folder.xsa"), rtl::EStreamError);
  EXPECT_EQ(disk->FileName(), "kept.dsk");
  // No temporary files are left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(ImageFiles, DamagedContainerLeavesTheImageAsItWas) {
  TTempFolder folder;
  auto source = FilledDisk(false);
  source->SaveToFile(folder / "good.xsa");
  std::vector<std::uint8_t> container = ReadFile(folder / "good.xsa");
  container.resize(container.size() / 2);
  WriteFile(folder / "cut.xsa", container);
  WriteFile(folder / "header.xsa", {'P', 'C', 'K', 9, 0, 0});

  auto disk = FilledDisk(true);
  disk->SetFileName("kept.dsk");
  const std::vector<std::uint8_t> before = Snapshot(*disk);
  EXPECT_THROW(disk->LoadFromFile(folder / "cut.xsa"), disk::EXsaError);
  EXPECT_THROW(disk->LoadFromFile(folder / "header.xsa"), disk::EXsaError);
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->FileName(), "kept.dsk");
  EXPECT_EQ(disk->FClusterCount, 715);
}

}  // namespace
