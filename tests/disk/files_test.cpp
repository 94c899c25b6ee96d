// Files: adding from streams and host files, replacing, extracting, and the all-or-nothing rule;
// image files: raw and XSA round trips by name, the modified flag, and failures that must leave
// both the image in memory and the file on disk as they were.
// The image object: new images, boot code, FAT12, bounded chains, cluster mapping and loads.
#include <gtest/gtest.h>

#include <algorithm>
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

using disk::ChainEnd;
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

TEST(Files, DeleteThroughADeletedEntryLeavesTheFileNowInItsClustersAlone) {
  auto disk = NewDisk();
  ASSERT_NE(AddBytes(*disk, L"EMPTY", {}), nullptr);
  const disk::PDirEntry old = AddBytes(*disk, L"OLD.BIN", Pattern(3000, 2));
  ASSERT_NE(old, nullptr);
  ASSERT_EQ(disk->Delete("EMPTY"), DiskResult::Ok);
  ASSERT_EQ(disk->Delete(old), DiskResult::Ok);
  // The new file takes the first free slot (EMPTY's) and the clusters OLD.BIN left.
  const std::vector<std::uint8_t> bytes = Pattern(3000, 5);
  const disk::PDirEntry reused = AddBytes(*disk, L"NEW.BIN", bytes);
  ASSERT_NE(reused, nullptr);
  ASSERT_NE(reused, old);
  ASSERT_EQ(reused->ClusterLow, old->ClusterLow);
  const auto before = Snapshot(*disk);
  EXPECT_EQ(disk->Delete(old), DiskResult::FileNotFound);
  EXPECT_EQ(disk->Delete("OLD.BIN"), DiskResult::FileNotFound);
  EXPECT_EQ(Snapshot(*disk), before);
  EXPECT_EQ(disk->ExtractToMem("NEW.BIN"), bytes);
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

TEST(ImageFiles, MissingFileGivesAFreshDoubleSidedImage) {
  TTempFolder folder;
  auto disk = FilledDisk(false);
  disk->SetFileName("kept.dsk");
  disk->ResetModifiedState();
  EXPECT_FALSE(disk->LoadFromFile(folder / "missing.dsk"));
  EXPECT_EQ(disk->FileName(), "kept.dsk");
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->DiskByteSize(), 737280);
  EXPECT_EQ(disk->DiskFree(), 730112);
  const auto bytes = disk->Buffer();
  EXPECT_EQ(bytes[21], 0xF9);
  const disk::TBootCodeRec empty = disk::GetBootCode(0);
  EXPECT_TRUE(std::equal(empty.Code, empty.Code + empty.Size, bytes.begin() + 28));
  EXPECT_TRUE(std::all_of(bytes.begin() + 28 + empty.Size, bytes.begin() + 512,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_FALSE(disk->FileNameExists("GAME.BAS"));
}

// A refused load is named after its bytes' source, so a save without a name writes them back
// where they came from, or fails when they came from no file, and never over the image loaded
// before.
TEST(ImageFiles, RefusedLoadThenSaveLeavesTheEarlierFileAlone) {
  TTempFolder folder;
  auto source = FilledDisk(false);
  source->SaveToFile(folder / "a.dsk");
  const std::vector<std::uint8_t> good = ReadFile(folder / "a.dsk");
  std::vector<std::uint8_t> refused = Pattern(4096, 7);
  refused[21] = 0xF0;
  WriteFile(folder / "b.dsk", refused);

  for (const int form : {0, 1, 2}) {
    SCOPED_TRACE(form);
    auto disk = std::make_unique<TMSXDisk>();
    ASSERT_TRUE(disk->LoadFromFile(folder / "a.dsk"));
    const bool loaded = form == 0   ? disk->LoadFromFile(folder / "b.dsk")
                        : form == 1 ? disk->LoadFromBuffer(refused, folder / "b.dsk")
                                    : disk->LoadFromBuffer(refused, "");
    EXPECT_FALSE(loaded);
    if (form == 2) {
      EXPECT_TRUE(disk->FileName().empty());
      EXPECT_THROW(disk->SaveToFile(), rtl::EStreamError);
    } else {
      EXPECT_EQ(disk->FileName(), folder / "b.dsk");
      disk->SaveToFile();
    }
    EXPECT_EQ(ReadFile(folder / "a.dsk"), good);
    EXPECT_EQ(ReadFile(folder / "b.dsk"), refused);
  }
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

struct NewImageCase {
  bool doubleSided;
  int bootOption;
};

class NewImageGolden : public ::testing::TestWithParam<NewImageCase> {};

TEST_P(NewImageGolden, BootSectorFatAndLayout) {
  const auto [doubleSided, option] = GetParam();
  auto disk = NewDisk(doubleSided);
  disk->ResetModifiedState();
  disk->AttachBootCode(disk::GetBootCode(option));
  const auto bytes = disk->Buffer();

  // Jump, "QUOLLBOX", 512 bytes per sector, 2 per cluster, 1 reserved, 2 FATs, 112 root entries,
  // then the sector count, media byte, sectors per FAT, 9 per track and the head count.
  std::vector<std::uint8_t> bpb = {0xEB, 0xFE, 0x90, 'Q',  'U',  'O',  'L',  'L',  'B', 'O',
                                   'X',  0x00, 0x02, 0x02, 0x01, 0x00, 0x02, 0x70, 0x00};
  const std::vector<std::uint8_t> tail =
      doubleSided ? std::vector<std::uint8_t>{0xA0, 0x05, 0xF9, 0x03, 0x00, 0x09, 0x00, 0x02, 0x00}
                  : std::vector<std::uint8_t>{0xD0, 0x02, 0xF8, 0x02, 0x00, 0x09, 0x00, 0x01, 0x00};
  bpb.insert(bpb.end(), tail.begin(), tail.end());
  EXPECT_TRUE(std::equal(bpb.begin(), bpb.end(), bytes.begin()));

  const std::uint8_t media = doubleSided ? 0xF9 : 0xF8;
  const std::size_t fat2 = doubleSided ? 2048 : 1536;
  for (const std::size_t fat : {std::size_t{512}, fat2}) {
    EXPECT_EQ(bytes[fat], media);
    EXPECT_EQ(bytes[fat + 1], 0xFF);
    EXPECT_EQ(bytes[fat + 2], 0xFF);
    EXPECT_TRUE(std::all_of(bytes.begin() + fat + 3,
                            bytes.begin() + fat + (doubleSided ? 1536 : 1024),
                            [](std::uint8_t b) { return b == 0; }));
  }

  const auto code = disk::GetBootCode(option).Bytes();
  EXPECT_TRUE(std::equal(code.begin(), code.end(), bytes.begin() + 28));
  EXPECT_TRUE(std::all_of(bytes.begin() + 28 + code.size(), bytes.begin() + 512,
                          [](std::uint8_t b) { return b == 0; }));

  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->DiskFree(), doubleSided ? 730112 : 362496);
  EXPECT_EQ(disk->DiskUsage(), 2048);
  EXPECT_EQ(disk->FDataOffset, doubleSided ? 7168 : 6144);
}

INSTANTIATE_TEST_SUITE_P(SizesAndBootBlocks, NewImageGolden,
                         ::testing::Values(NewImageCase{false, 1}, NewImageCase{true, 0},
                                           NewImageCase{true, 2}));

TEST(ImageObject, AssignIsRefusedAndChangesNothing) {
  auto target = NewDisk(false);
  const auto source = FilledDisk(true);
  const std::vector<std::uint8_t> before = Snapshot(*target);
  try {
    target->Assign(*source);
    ADD_FAILURE() << "Assign returned";
  } catch (const rtl::Exception& error) {
    EXPECT_STREQ(error.what(), "Can not assign TMSXDisk for now.");
  }
  EXPECT_EQ(Snapshot(*target), before);
  EXPECT_EQ(target->DiskByteSize(), 368640);
}

TEST(BootCode, ShorterBlockLeavesTailUntilErased) {
  auto disk = NewDisk();
  disk->AttachBootCode(disk::GetBootCode(1));
  const auto dos1 = disk::GetBootCode(1).Bytes();
  disk->AttachBootCode(disk::GetBootCode(2));
  EXPECT_TRUE(std::equal(dos1.begin() + 164, dos1.end(), disk->Buffer().begin() + 28 + 164));

  disk->ResetModifiedState();
  disk->EraseBootSector();
  EXPECT_TRUE(disk->IsModified());
  disk->AttachBootCode(disk::GetBootCode(2));
  EXPECT_TRUE(std::all_of(disk->Buffer().begin() + 28 + 164, disk->Buffer().begin() + 512,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(disk->Buffer()[3], 'Q');
}

TEST(Fat12, EntriesPackAndMirrorIntoSecondFat) {
  auto disk = NewDisk();
  // An odd entry fills the high nibble of its first byte and the whole second byte.
  disk->SetFatEntry(2, 0xABC);
  disk->ResetModifiedState();
  disk->SetFatEntry(3, 0x123);
  EXPECT_TRUE(disk->IsModified());
  EXPECT_EQ(disk->Buffer()[515], 0xBC);
  EXPECT_EQ(disk->Buffer()[516], 0x3A);
  EXPECT_EQ(disk->Buffer()[517], 0x12);
  EXPECT_EQ(disk->GetFatEntry(2), 0xABC);

  // Writes outside the table change nothing; every entry keeps its own 12 bits.
  for (const int k : {-3, -1, disk->FClusterCount, disk->FClusterCount + 3})
    disk->SetFatEntry(k, 0);
  for (int k = 4; k < disk->FClusterCount; ++k) disk->SetFatEntry(k, k * 37 & 0xFFF);
  for (int k = 4; k < disk->FClusterCount; ++k) ASSERT_EQ(disk->GetFatEntry(k), k * 37 & 0xFFF);
  EXPECT_EQ(disk->GetFatEntry(3), 0x123);
  const auto bytes = disk->Buffer();
  EXPECT_TRUE(std::equal(bytes.begin() + 512, bytes.begin() + 2048, bytes.begin() + 2048));
  EXPECT_EQ(disk->GetFatEntry(-1), 0xFFF);
  EXPECT_EQ(disk->GetFatEntry(disk->FClusterCount), 0xFFF);
}

struct ChainCase {
  const char* name;
  std::vector<std::pair<int, int>> links;
  int start;
  std::vector<std::int32_t> chain;
  ChainEnd end;
};

class HostileChains : public ::testing::TestWithParam<ChainCase> {};

TEST_P(HostileChains, WalkSizeFreeAndExtractStayBounded) {
  const ChainCase& c = GetParam();
  auto disk = NewDisk();
  disk->SetFatEntry(20, 0xFFF);  // a bystander that must survive every free
  for (const auto& [k, v] : c.links) disk->SetFatEntry(k, v);

  const disk::TChainWalk walk = disk->WalkChain(c.start);
  EXPECT_EQ(walk.Clusters, c.chain);
  EXPECT_EQ(walk.End, c.end);
  EXPECT_EQ(disk->GetChainSize(c.start), static_cast<int>(c.chain.size()) * 1024);

  rtl::TMemoryStream stream;
  disk::TDirEntry entry{};
  entry.ClusterLow = static_cast<std::uint16_t>(c.start);
  entry.Size = 0xFFFFFFFF;
  EXPECT_FALSE(disk->ExtractToStream(stream, &entry));
  EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(c.chain.size()) * 1024);

  std::vector<int> before(static_cast<std::size_t>(disk->FClusterCount));
  for (int k = 0; k < disk->FClusterCount; ++k)
    before[static_cast<std::size_t>(k)] = disk->GetFatEntry(k);
  disk->FreeClusterChain(c.start);
  for (int k = 0; k < disk->FClusterCount; ++k) {
    const bool inChain = std::find(c.chain.begin(), c.chain.end(), k) != c.chain.end();
    EXPECT_EQ(disk->GetFatEntry(k), inChain ? 0 : before[static_cast<std::size_t>(k)])
        << "entry " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileChains,
    ::testing::Values(
        ChainCase{"WellFormed", {{5, 6}, {6, 7}, {7, 0xFF8}}, 5, {5, 6, 7}, ChainEnd::EndOfChain},
        ChainCase{"TwoCycle", {{5, 6}, {6, 5}}, 5, {5, 6}, ChainEnd::Cycle},
        ChainCase{"IntoReserved", {{5, 6}, {6, 0xFF7}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"IntoFree", {{5, 6}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"FreeStart", {}, 5, {}, ChainEnd::Broken},
        ChainCase{"ToZeroCluster", {{5, 0xFFF}, {0, 5}}, 0, {}, ChainEnd::Broken},
        ChainCase{"OutOfRange", {{5, 0x800}}, 5, {5}, ChainEnd::Broken},
        ChainCase{"StartOutOfRange", {}, 0xFFFF, {}, ChainEnd::EndOfChain}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Clusters, OffsetsAreCheckedAgainstTheLoadedBytes) {
  auto disk = NewDisk();
  EXPECT_EQ(disk->ClusterToOffset(2), 7168);
  EXPECT_EQ(disk->ClusterToOffset(714), 737280 - 1024);
  for (const int bad : {-1, 0, 1, 715, 0xFF7, 0xFFFF}) {
    EXPECT_EQ(disk->ClusterToOffset(bad), -1) << bad;
    EXPECT_EQ(disk->GetDataPointer(bad), nullptr) << bad;
  }
  EXPECT_EQ(disk->GetDataPointer(2), disk->Buffer().data() + 7168);
  EXPECT_EQ(disk->OffsetToCluster(disk->FRootDirOffset), 0);
  EXPECT_EQ(disk->OffsetToCluster(7168 + 3 * 1024), 5);
  disk->SetFatEntry(0, 0);
  disk->SetFatEntry(1, 0);
  EXPECT_EQ(disk->FindFreeCluster(0), 2);
  EXPECT_EQ(disk->FindFreeCluster(714), 714);
  disk->SetFatEntry(714, 0xFFF);
  EXPECT_EQ(disk->FindFreeCluster(714), -1);
}

TEST(Clusters, ExtractionStepsByTheClustersTheMediaByteGives) {
  // Boot sectors whose cluster fields disagree with the media byte's geometry (two 512-byte
  // sectors per cluster): both extractions read the clusters where the file was written.
  const std::vector<std::uint8_t> bytes = disk_test::Pattern(3000, 7);
  for (const auto& [sectorsPerCluster, bytesPerSector] :
       {std::pair<std::uint8_t, std::uint16_t>{1, 512}, {4, 512}, {0, 0}, {2, 256}}) {
    SCOPED_TRACE(testing::Message() << int(sectorsPerCluster) << " x " << bytesPerSector);
    auto disk = NewDisk();
    ASSERT_NE(AddBytes(*disk, L"FIRST.BIN", disk_test::Pattern(1500, 3)), nullptr);
    ASSERT_NE(AddBytes(*disk, L"DATA.BIN", bytes), nullptr);
    std::vector<std::uint8_t> image = disk_test::Snapshot(*disk);
    image[11] = static_cast<std::uint8_t>(bytesPerSector);
    image[12] = static_cast<std::uint8_t>(bytesPerSector >> 8);
    image[13] = sectorsPerCluster;
    ASSERT_TRUE(disk->LoadFromBuffer(image, ""));
    EXPECT_EQ(disk->ExtractToMem("DATA.BIN"), bytes);
    rtl::TMemoryStream byEntry;
    ASSERT_TRUE(disk->ExtractToStream(byEntry, disk->Lookup("DATA.BIN")));
    EXPECT_EQ(byEntry.Bytes(), bytes);
  }
}

struct LoadCase {
  const char* name;
  std::size_t size;
  std::uint8_t media;
  bool loads;
  int clusterCount;
  int sides;
};

class Loads : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Loads, FromBufferAndStream) {
  const LoadCase& c = GetParam();
  std::vector<std::uint8_t> image = disk_test::Pattern(c.size);
  if (c.size > 21) image[21] = c.media;
  for (const bool viaStream : {false, true}) {
    // A prepared image first, so stale bytes (its media byte 0xF9) sit in the buffer.
    auto disk = NewDisk();
    disk->SetFileName("old.dsk");
    bool loaded = false;
    if (viaStream) {
      rtl::TMemoryStream stream(image);
      loaded = disk->LoadFromStream(stream, "new.dsk");
    } else {
      loaded = disk->LoadFromBuffer(image, "new.dsk");
    }
    const std::size_t used = std::min<std::size_t>(c.size, disk::kImageCapacity);
    EXPECT_EQ(loaded, c.loads);
    EXPECT_EQ(disk->DiskByteSize(), static_cast<int>(used));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(used),
                           disk->Buffer().begin()));
    EXPECT_EQ(disk->FClusterCount, c.clusterCount);
    EXPECT_EQ(disk->NumSides(), c.sides);
    EXPECT_EQ(disk->Directory(), "\\");
    // A refused image is named after its bytes' source, so no save puts them over old.dsk.
    EXPECT_EQ(disk->FileName(), "new.dsk");
    EXPECT_EQ(disk->IsModified(), !loaded);
    if (!loaded) {
      EXPECT_EQ(disk->DirCount(), 0);
      EXPECT_EQ(disk->DiskFree(), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Loads,
                         ::testing::Values(LoadCase{"NoMediaByte", 21, 0, false, 0, 0},
                                           LoadCase{"MediaByteOnly", 22, 0xF8, true, 0, 0},
                                           LoadCase{"SingleSided", 368640, 0xF8, true, 356, 1},
                                           LoadCase{"SingleSizedF9", 368640, 0xF9, true, 355, 1},
                                           LoadCase{"DoubleSided", 737280, 0xF9, true, 715, 2},
                                           LoadCase{"TooLong", 737281, 0xF9, true, 715, 2},
                                           LoadCase{"UnknownMedia", 737280, 0xF0, false, 0, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(Loads, EmptyInputChangesNothing) {
  auto disk = NewDisk();
  disk->SetFileName("old.dsk");
  disk->ResetModifiedState();
  const std::vector<std::uint8_t> before(disk->Buffer().begin(), disk->Buffer().end());
  rtl::TMemoryStream empty;
  EXPECT_FALSE(disk->LoadFromStream(empty, "new.dsk"));
  EXPECT_FALSE(disk->LoadFromBuffer({}, "new.dsk"));
  EXPECT_EQ(disk->DiskByteSize(), disk::kImageCapacity);
  EXPECT_EQ(disk->FClusterCount, 715);
  EXPECT_EQ(disk->FileName(), "old.dsk");
  EXPECT_FALSE(disk->IsModified());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), disk->Buffer().begin()));
}

TEST(Loads, EmptyNameKeepsFileName) {
  auto disk = NewDisk(false);
  rtl::TMemoryStream saved;
  disk->SaveToStream(saved);
  auto other = std::make_unique<TMSXDisk>();
  other->SetFileName("kept.dsk");
  EXPECT_TRUE(other->LoadFromBuffer(saved.Bytes(), ""));
  EXPECT_EQ(other->FileName(), "kept.dsk");
  EXPECT_FALSE(other->IsModified());
  EXPECT_EQ(other->DiskFree(), 362496);
}

TEST(InertObject, EveryOperationRefusesSafely) {
  auto fresh = std::make_unique<TMSXDisk>();
  auto rejected = NewDisk();
  std::vector<std::uint8_t> image(737280, 0);
  image[21] = 0xF0;
  ASSERT_FALSE(rejected->LoadFromBuffer(image, ""));

  for (TMSXDisk* disk : {fresh.get(), rejected.get()}) {
    const auto before = disk_test::Snapshot(*disk);
    EXPECT_EQ(disk->DiskFree(), 0);
    EXPECT_EQ(disk->FindFreeCluster(2), -1);
    EXPECT_EQ(disk->GetDataPointer(2), nullptr);
    EXPECT_EQ(disk_test::AddBytes(*disk, L"A.TXT", {1, 2, 3}), nullptr);
    EXPECT_EQ(disk->FLastError, disk::DiskResult::DirFull);
    EXPECT_EQ(disk->CreateSubDir("DIR"), disk::DiskResult::DirFull);
    disk->FreeClusterChain(2);
    disk->SetFatEntry(2, 0xFFF);
    EXPECT_EQ(disk->GetFatEntry(2), 0xFFF);
    EXPECT_EQ(disk_test::Snapshot(*disk), before);
  }
}

}  // namespace
