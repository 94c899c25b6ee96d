// Dragging entries out: the collection order, directory cycles (chain rules are the disk
// model's), descriptors and contents.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/files/drag_out.h"
#include "files_test_support.h"

namespace {

using namespace app::files;
using files_test::AddBytes;
using files_test::NewDisk;
using files_test::Pattern;

std::vector<std::wstring> PathsOf(const TDragCollection& collection) {
  std::vector<std::wstring> paths;
  for (const auto& item : collection.Items) paths.push_back(item.Path);
  return paths;
}

class DragOutTest : public files_test::ClockTest {
 protected:
  // Root: TOP.TXT, DIR1 (A.TXT, SUB (B.TXT, DEEP (C)), C.TXT), a label; the root is current.
  void SetUp() override {
    ClockTest::SetUp();
    disk_ = NewDisk();
    AddBytes(*disk_, L"TOP.TXT", Pattern(10, 1));
    ASSERT_EQ(disk_->CreateSubDir("DIR1"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("DIR1"));
    AddBytes(*disk_, L"A.TXT", Pattern(1500, 2));
    ASSERT_EQ(disk_->CreateSubDir("SUB"), disk::DiskResult::Ok);
    AddBytes(*disk_, L"C.TXT", Pattern(3, 3));
    ASSERT_TRUE(disk_->ChangeDir("SUB"));
    AddBytes(*disk_, L"B.TXT", Pattern(2049, 4));
    ASSERT_EQ(disk_->CreateSubDir("DEEP"), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir("DEEP"));
    AddBytes(*disk_, L"C", Pattern(0, 5));
    ASSERT_TRUE(disk_->ChangeDir("\\"));
    disk::PDirEntry label = disk_->GetDirEntry(2);
    label->Init(true);
    files_test::SetRawName(*label, "VOLUME     ");
    label->Attr = disk::faVolumeID;
    top_ = disk_->Lookup("TOP.TXT");
    dir1_ = disk_->Lookup("DIR1");
    label_ = label;
  }

  // The entry `name` inside the directory `path`, found through the model.
  disk::PDirEntry Entry(const std::string& path, const std::string& name) {
    EXPECT_TRUE(disk_->ChangeDir(path));
    disk::PDirEntry entry = disk_->Lookup(name);
    disk_->ChangeDir("\\");
    return entry;
  }

  TDragCollection CollectAll() {
    const std::vector<const disk::TDirEntry*> selected = {top_, dir1_, label_};
    return CollectDragEntries(*disk_, selected);
  }

  std::unique_ptr<disk::TMSXDisk> disk_;
  disk::PDirEntry top_ = nullptr;
  disk::PDirEntry dir1_ = nullptr;
  disk::PDirEntry label_ = nullptr;
};

TEST_F(DragOutTest, ADirectoryIsFollowedByItsChildrenThenTheirContentsDepthFirst) {
  const auto collection = CollectAll();
  EXPECT_EQ(
      PathsOf(collection),
      (std::vector<std::wstring>{L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB", L"DIR1\\C.TXT",
                                 L"DIR1\\SUB\\B.TXT", L"DIR1\\SUB\\DEEP", L"DIR1\\SUB\\DEEP\\C"}));
  EXPECT_EQ(collection.Items[2].Entry, Entry("DIR1", "A.TXT"));
  EXPECT_EQ(disk_->Directory(), "\\");
}

TEST_F(DragOutTest, DamagedDirectoryChainsEndTheWalkWithBoundedOutput) {
  const std::int32_t dir1Cluster = dir1_->ClusterLow;
  const std::vector<std::wstring> dir1Only = {L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB",
                                              L"DIR1\\C.TXT"};
  struct Case {
    const char* title;
    std::function<void(disk::TMSXDisk&)> damage;
    std::vector<std::wstring> expected;
  };
  const Case cases[] = {
      {"a subdirectory pointing back at its parent (a directory cycle)",
       [&](disk::TMSXDisk&) {
         Entry("DIR1", "SUB")->ClusterLow = static_cast<std::uint16_t>(dir1Cluster);
       },
       dir1Only},
      {"a directory pointing at its own cluster",
       [&](disk::TMSXDisk&) {
         disk::PDirEntry sub = Entry("DIR1", "SUB");
         Entry("DIR1\\SUB", "DEEP")->ClusterLow = sub->ClusterLow;
       },
       {L"TOP.TXT", L"DIR1", L"DIR1\\A.TXT", L"DIR1\\SUB", L"DIR1\\C.TXT", L"DIR1\\SUB\\B.TXT",
        L"DIR1\\SUB\\DEEP"}},
      {"a directory at a cluster past the disk",
       [&](disk::TMSXDisk&) { dir1_->ClusterLow = 4000; },
       {L"TOP.TXT", L"DIR1"}},
  };
  const std::vector<std::uint8_t> original(disk_->Buffer().begin(), disk_->Buffer().end());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    std::copy(original.begin(), original.end(), disk_->Buffer().begin());
    c.damage(*disk_);
    EXPECT_EQ(PathsOf(CollectAll()), c.expected);
  }
}

TEST_F(DragOutTest, DescriptorsCarryMaskedAttributesUtcTimesAndSizes) {
  // Local 2024-03-05 13:45:30; the fake zone is two hours east of UTC.
  top_->ModifyDate.Value = (44 << 9) | (3 << 5) | 5;
  top_->ModifyTime.Value = (13 << 11) | (45 << 5) | 15;
  top_->CreateDate.Value = (40 << 9) | (1 << 5) | 2;
  top_->CreateTime.Value = (1 << 11);
  top_->AccessDate.Value = (44 << 9) | (3 << 5) | 6;
  top_->Attr = 0xE7;  // every bit but directory and label
  const auto collection = CollectAll();
  const auto descriptors = DescribeDragItems(collection.Items);
  ASSERT_EQ(descriptors.size(), collection.Items.size());
  const auto utc = [](rtl::TDateTime local) {
    return *rtl::FileTimeFromCivil(local) - files_test::TFakeClock::kDefaultOffset;
  };
  EXPECT_EQ(descriptors[0], (TFileDescriptor{kFdAllOffered, 0x27, utc({2020, 1, 2, 1, 0, 0, 0}),
                                             utc({2024, 3, 6, 0, 0, 0, 0}),
                                             utc({2024, 3, 5, 13, 45, 30, 0}), 10, L"TOP.TXT"}));
  EXPECT_EQ(descriptors[1].Attributes, 0x10u);
  EXPECT_EQ(descriptors[1].Name, L"DIR1");
  EXPECT_EQ(descriptors[5].Size, 2049u);
}

TEST_F(DragOutTest, ContentsByIndexOnlyForFilesInTheCollection) {
  const auto collection = CollectAll();
  EXPECT_EQ(DragContents(*disk_, collection, 0), Pattern(10, 1));
  EXPECT_EQ(DragContents(*disk_, collection, 5), Pattern(2049, 4));
  EXPECT_EQ(DragContents(*disk_, collection, 7), std::vector<std::uint8_t>{});
  for (const std::int64_t index :
       {std::int64_t{-1}, std::int64_t{1}, std::int64_t{8}, std::int64_t{1} << 40}) {
    EXPECT_FALSE(DragContents(*disk_, collection, index)) << index;
  }
}

TEST_F(DragOutTest, PathsTooLongForADescriptorAreLeftOutAndCounted) {
  // A chain of nested directories whose paths pass 259 units.
  ASSERT_TRUE(disk_->ChangeDir("DIR1"));
  for (int level = 10; level < 40; ++level) {
    const std::string name = "LEVEL" + std::to_string(level) + ".DIR";
    ASSERT_EQ(disk_->CreateSubDir(name), disk::DiskResult::Ok);
    ASSERT_TRUE(disk_->ChangeDir(name));
  }
  ASSERT_TRUE(disk_->ChangeDir("\\"));
  const auto collection = CollectAll();
  EXPECT_EQ(collection.SkippedLongPaths, 1u);
  for (const auto& item : collection.Items) EXPECT_LE(item.Path.size(), kMaxDescriptorPath);
}

}  // namespace
