// Image files: raw and XSA round trips by name, the modified flag, and failures that must leave
// both the image in memory and the file on disk as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disk/xsa_decode.h"
#include "disk/xsa_stream.h"
#include "disk_test_support.h"
#include "rtl/exceptions.h"

namespace {

using disk_test::NewDisk;
using disk_test::Snapshot;

using disk_test::ReadFile;
using disk_test::WriteFile;

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
