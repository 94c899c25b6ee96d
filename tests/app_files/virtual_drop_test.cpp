// Foreign drop data: descriptor blocks parsed with their bounds checked, the plan built from them,
// contents checked against the declared sizes, and the result on the image.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/files/file_descriptor.h"
#include "app/files/virtual_drop.h"
#include "files_test_support.h"

namespace {

using namespace app::files;
using files_test::DirNames;
using files_test::ExtractBytes;
using files_test::NewDisk;
using Names = std::vector<std::string>;

TFileDescriptor Describe(std::wstring name, std::uint64_t size, bool folder = false) {
  TFileDescriptor d;
  d.Name = std::move(name);
  d.Size = size;
  d.Attributes = folder ? kHostDirectory : 0x20;
  return d;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& block, std::size_t at) {
  return block[at] | (block[at + 1] << 8) | (block[at + 2] << 16) |
         (static_cast<std::uint32_t>(block[at + 3]) << 24);
}

TEST(FileGroupDescriptor, RecordsSitAtTheirFixedOffsets) {
  TFileDescriptor d = Describe(L"DIR\\A.TXT", 0x1'2345'6789ull);
  d.Flags = kFdAllOffered;
  d.CreationTime = 0x1111'2222'3333'4444ull;
  d.LastAccessTime = 0x5555'6666'7777'8888ull;
  d.LastWriteTime = 0x0102'0304'0506'0708ull;
  const std::vector<TFileDescriptor> two = {Describe(L"X", 1), d};
  const auto block = EncodeFileGroupDescriptor(two);
  ASSERT_EQ(block.size(), 4u + 2 * 592);
  EXPECT_EQ(Read32(block, 0), 2u);
  const std::size_t r = 4 + 592;
  const std::pair<std::size_t, std::uint32_t> fields[] = {
      {0, 0x7C},        {36, 0x20},       {40, 0x33334444}, {44, 0x11112222}, {48, 0x77778888},
      {56, 0x05060708}, {60, 0x01020304}, {64, 1},          {68, 0x23456789}};
  for (const auto& [at, value] : fields) EXPECT_EQ(Read32(block, r + at), value) << at;
  EXPECT_EQ(block[r + 72], 'D');
  EXPECT_EQ(block[r + 73], 0);
  EXPECT_EQ(block[r + 72 + 2 * 3], '\\');
  EXPECT_EQ(block[r + 72 + 2 * 9], 0);  // terminator
  // Bytes between the fields stay zero.
  for (std::size_t at = r + 4; at < r + 36; ++at) EXPECT_EQ(block[at], 0) << at;

  const auto parsed = ParseFileGroupDescriptor(block);
  ASSERT_EQ(parsed.Items.size(), 2u);
  EXPECT_EQ(parsed.Rejected, 0u);
  EXPECT_EQ(parsed.Items[1].Index, 1u);
  EXPECT_EQ(parsed.Items[1].Descriptor, d);
}

TEST(FileGroupDescriptor, NamesLongerThanTheFieldAreCutToKeepTheTerminator) {
  const std::vector<TFileDescriptor> one = {Describe(std::wstring(400, L'a'), 1)};
  const auto parsed = ParseFileGroupDescriptor(EncodeFileGroupDescriptor(one));
  ASSERT_EQ(parsed.Items.size(), 1u);
  EXPECT_EQ(parsed.Items[0].Descriptor.Name.size(), kMaxDescriptorPath);
}

TEST(FileGroupDescriptor, ForeignBlocksAreBoundedByTheirSizeAndTerminators) {
  const std::vector<TFileDescriptor> three = {Describe(L"a", 1), Describe(L"b", 2),
                                              Describe(L"c", 3)};
  const auto good = EncodeFileGroupDescriptor(three);
  struct Case {
    const char* title;
    std::vector<std::uint8_t> block;
    std::vector<std::size_t> indexes;
    std::size_t rejected;
  };
  std::vector<Case> cases;
  cases.push_back({"empty block", {}, {}, 0});
  cases.push_back({"count only", {1, 0}, {}, 0});
  auto huge = good;
  huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;
  cases.push_back({"count far beyond the block", huge, {0, 1, 2}, 0xFFFFFFFFu - 3});
  auto cut = good;
  cut.resize(4 + 592 * 2 + 100);
  cases.push_back({"last record cut short", cut, {0, 1}, 1});
  auto unterminated = good;
  for (std::size_t at = 4 + 592 + 72; at < 4 + 2 * 592; ++at) unterminated[at] = 'x';
  cases.push_back({"a name without terminator", unterminated, {0, 2}, 1});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const auto parsed = ParseFileGroupDescriptor(c.block);
    std::vector<std::size_t> indexes;
    for (const auto& item : parsed.Items) indexes.push_back(item.Index);
    EXPECT_EQ(indexes, c.indexes);
    EXPECT_EQ(parsed.Rejected, c.rejected);
  }
}

TEST(VirtualDropPlan, PathsAreSplitAndClimbingOrEmptyOnesLeftOut) {
  std::vector<TIndexedDescriptor> input;
  const auto add = [&](std::wstring name, std::uint32_t flags, std::uint32_t attributes) {
    TFileDescriptor d = Describe(std::move(name), 5);
    d.Flags = flags;
    d.Attributes = attributes;
    input.push_back({input.size(), d});
  };
  add(L"top\\sub/file.txt", kFdAllOffered, 0);
  add(L"..\\evil.txt", kFdAllOffered, 0);
  add(L"a\\..\\b", kFdAllOffered, 0);
  add(L"\\\\.\\", kFdAllOffered, 0);
  add(L"folder\\", kFdAllOffered, kHostDirectory);
  add(L"nosize", kFdAttributes, 0);
  add(L"dirbit-without-flag", 0, kHostDirectory);
  std::wstring deep;
  for (int i = 0; i < 40; ++i) deep += L"d\\";
  add(deep + L"f", kFdAllOffered, 0);

  const auto plan = PlanVirtualDrop(input);
  ASSERT_EQ(plan.size(), 4u);
  EXPECT_EQ(plan[0].Folders, (std::vector<std::wstring>{L"top", L"sub"}));
  EXPECT_EQ(plan[0].Name, L"file.txt");
  EXPECT_EQ(plan[0].Size, 5u);
  EXPECT_TRUE(plan[0].WriteTime);
  EXPECT_TRUE(plan[1].IsFolder);
  EXPECT_EQ(plan[1].Name, L"folder");
  EXPECT_EQ(plan[2].Index, 5u);
  EXPECT_FALSE(plan[2].Size);
  EXPECT_FALSE(plan[2].WriteTime);
  EXPECT_FALSE(plan[3].IsFolder);
}

TEST(VirtualDropContents, DeclaredSizesAreCheckedAgainstWhatTheStreamDelivers) {
  struct Case {
    const char* title;
    std::size_t delivered;
    std::optional<std::uint64_t> declared;
    std::uint64_t capacity;
    std::optional<std::size_t> taken;
  };
  const Case cases[] = {
      {"stream longer than declared: the declared part", 300, 100, 1024, 100},
      {"stream shorter than declared", 50, 100, 1024, std::nullopt},
      {"declared beyond capacity", 10, 5000, 1024, std::nullopt},
      {"no size: the whole stream", 700, std::nullopt, 1024, 700},
      {"no size, exactly the capacity", 1024, std::nullopt, 1024, 1024},
      {"no size, one byte too many", 1025, std::nullopt, 1024, std::nullopt},
      {"empty", 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const auto source = files_test::Pattern(c.delivered);
    rtl::TMemoryStream stream(source);
    const auto bytes = ReadDropContents(stream, c.declared, c.capacity);
    ASSERT_EQ(bytes.has_value(), c.taken.has_value());
    if (bytes) {
      EXPECT_EQ(*bytes, std::vector<std::uint8_t>(source.begin(), source.begin() + *c.taken));
    }
  }
}

class VirtualDropTest : public files_test::ClockTest {};

TEST_F(VirtualDropTest, FoldersAndFilesLandUnderTheirShortNamesWithoutDuplicates) {
  std::map<std::size_t, std::vector<std::uint8_t>> streams = {{1, files_test::Pattern(1500, 1)},
                                                              {2, files_test::Pattern(10, 2)},
                                                              {4, files_test::Pattern(99999, 4)},
                                                              {5, files_test::Pattern(8, 5)}};
  std::vector<TFileDescriptor> descriptors = {Describe(L"Documents", 0, true),
                                              Describe(L"Documents\\letter.txt", 1500),
                                              Describe(L"Documents\\Long Sub\\x.bin", 10),
                                              Describe(L"Documents\\missing", 3),
                                              Describe(L"toolarge.bin", 99999),
                                              Describe(L"Documents", 8)};
  descriptors[3].Flags = kFdAllOffered;
  descriptors[5].Flags = kFdAllOffered;
  const TContentsSource source = [&](std::size_t index) -> std::unique_ptr<rtl::TStream> {
    const auto it = streams.find(index);
    if (it == streams.end()) return nullptr;
    return std::make_unique<rtl::TMemoryStream>(it->second);
  };
  auto disk = NewDisk(false);
  // Fill the disk so that the 99,999-byte file cannot fit.
  files_test::AddBytes(*disk, L"FILLER", std::vector<std::uint8_t>(300 * 1024, 1));
  const auto block = EncodeFileGroupDescriptor(descriptors);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const auto plan = PlanVirtualDrop(ParseFileGroupDescriptor(block).Items);
    const TWorkResult result = ProcessVirtualDrop(*disk, plan, source);
    EXPECT_EQ(result.FilesAdded, 2);
    // The missing stream, the file too large and the file named like the directory.
    EXPECT_EQ(result.FilesSkipped, 3);
    EXPECT_EQ(result.FoldersMade, round == 0 ? 2 : 0);
    EXPECT_EQ(disk->Directory(), "\\");
    EXPECT_EQ(DirNames(*disk), (Names{"FILLER", "DOCUMENT\\"}));
    ASSERT_TRUE(disk->ChangeDir("DOCUMENT"));
    EXPECT_EQ(DirNames(*disk), (Names{"LETTER.TXT", "LONG_SUB\\"}));
    EXPECT_EQ(ExtractBytes(*disk, "LETTER.TXT"), streams[1]);
    ASSERT_TRUE(disk->ChangeDir("LONG_SUB"));
    EXPECT_EQ(ExtractBytes(*disk, "X.BIN"), streams[2]);
    ASSERT_TRUE(disk->ChangeDir("\\"));
  }
}

}  // namespace
