// Images written by our model, checked by fsck.fat, mdir, mcopy and minfo; images written by
// mformat, mkfs.fat, mcopy, mmd and mdel, read back through our model.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "oracle.h"

namespace interop {
namespace {

const rtl::TDateTime kNow{2024, 5, 6, 7, 8, 10, 0};

// Builds an image through the model while recording what an independent reader must find in it:
// the tree with sizes and stamps, and every file's bytes. Paths are "/DIR/NAME.EXT"; each step
// must succeed.
class ImageRecorder {
 public:
  // `stamp` is what new entries are stamped with ("YYYY-MM-DD HH:MM").
  ImageRecorder(disk::TMSXDisk& image, std::string stamp)
      : image_(image), stamp_(std::move(stamp)) {}

  void MakeDir(const std::string& path) {
    if (image_.CreateSubDir(EnterParent(path)) != disk::DiskResult::Ok)
      throw std::runtime_error("cannot create " + path);
    expected_[path] = TreeEntry{true, 0, stamp_};
  }
  disk::PDirEntry Add(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string name = EnterParent(path);
    disk::PDirEntry entry = AddBytes(image_, std::wstring(name.begin(), name.end()), bytes);
    if (entry == nullptr) throw std::runtime_error("cannot add " + path);
    Record(path, bytes, stamp_);
    return entry;
  }
  // Replaces an existing file through the stream form, which stamps it with the current time.
  void Replace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (!expected_.contains(path)) throw std::runtime_error("nothing to replace at " + path);
    Add(path, bytes);
  }
  void Delete(const std::string& path) {
    if (image_.Delete(EnterParent(path)) != disk::DiskResult::Ok)
      throw std::runtime_error("cannot delete " + path);
    expected_.erase(path);
    contents_.erase(path);
  }
  // Adds a host file through the model's host-file form; `stamp` is its expected stamp.
  void AddHostFile(const std::string& path, const std::filesystem::path& hostFile,
                   const std::string& stamp) {
    EnterParent(path);
    if (!image_.Add(hostFile)) throw std::runtime_error("cannot add " + hostFile.string());
    Record(path, ReadHostFile(hostFile), stamp);
  }

  // Every recorded file, copied out with `mcopy -n`, must equal its recorded bytes.
  void ExpectMcopyGivesContents(const std::filesystem::path& image,
                                const std::filesystem::path& scratch) const {
    const std::filesystem::path out = scratch / "mcopy.out";
    for (const auto& [path, bytes] : contents_) {
      std::filesystem::remove(out);
      const CommandResult copy = RunTool(Quote(Tools().mcopy) + " -n -i " + Quote(image) + " " +
                                         Quote("::" + path) + " " + Quote(out));
      ASSERT_EQ(copy.exitStatus, 0) << path << ": " << copy.output;
      EXPECT_EQ(ReadHostFile(out), bytes) << path;
    }
  }
  const Tree& Expected() const { return expected_; }

 private:
  // Enters the path's parent directory and returns the leaf name.
  std::string EnterParent(const std::string& path) {
    if (!image_.ChangeDir(ParentOf(path))) throw std::runtime_error("cannot enter " + path);
    return LeafOf(path);
  }
  void Record(const std::string& path, const std::vector<std::uint8_t>& bytes,
              const std::string& stamp) {
    expected_[path] = TreeEntry{false, static_cast<std::uint32_t>(bytes.size()), stamp};
    contents_[path] = bytes;
  }

  disk::TMSXDisk& image_;
  std::string stamp_;
  Tree expected_;
  std::map<std::string, std::vector<std::uint8_t>> contents_;
};

struct FilledImageCase {
  const char* label;
  bool doubleSided;
  std::size_t bigFileSize;
};
void PrintTo(const FilledImageCase& c, std::ostream* out) {
  *out << c.label;
}

class FilledImageTest : public InteropTest, public ::testing::WithParamInterface<FilledImageCase> {
 protected:
  disk_test::TFakeClock clock_{0, kNow};
  disk_test::TScopedClock scopedClock_{clock_};
};

bool IsFragmented(const disk::TMSXDisk& image, const disk::TDirEntry& entry) {
  const disk::TChainWalk walk = image.WalkChain(entry.GetCluster());
  for (std::size_t i = 1; i < walk.Clusters.size(); ++i) {
    if (walk.Clusters[i] != walk.Clusters[i - 1] + 1) return true;
  }
  return false;
}

TEST_P(FilledImageTest, ToolsFindExactlyWhatWeWrote) {
  const FilledImageCase& c = GetParam();
  auto image = NewImage(c.doubleSided);
  ImageRecorder recorder(*image, MinuteStamp(kNow));

  std::uint32_t seed = 1;
  for (const auto& [name, size] :
       std::vector<std::pair<std::string, std::size_t>>{{"/EMPTY.DAT", 0},
                                                        {"/ONE.DAT", 1},
                                                        {"/K1023.DAT", 1023},
                                                        {"/K1024.DAT", 1024},
                                                        {"/K1025.DAT", 1025},
                                                        {"/BIG.BIN", c.bigFileSize}}) {
    recorder.Add(name, PatternBytes(size, seed++));
  }

  // Nested directories, and one that outgrows its first cluster.
  recorder.MakeDir("/GAMES");
  recorder.MakeDir("/GAMES/LEVEL2");
  recorder.MakeDir("/GAMES/LEVEL2/LEVEL3");
  recorder.Add("/GAMES/LEVEL2/LEVEL3/DEEP.TXT", PatternBytes(777, seed++));
  for (int i = 0; i < 40; ++i) {
    const std::string name = "/GAMES/F" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    recorder.Add(name + ".TXT", PatternBytes(100 + i, seed++));
  }
  ASSERT_TRUE(image->ChangeDir("\\GAMES"));
  EXPECT_EQ(image->DirCount(), 64);

  // Deletes in the middle, then adds that fill the holes and go on elsewhere.
  recorder.Delete("/GAMES/F10.TXT");
  recorder.Delete("/GAMES/F11.TXT");
  const disk::PDirEntry gapFiller = recorder.Add("/GAMES/NEW.BIN", PatternBytes(2500, seed++));
  EXPECT_TRUE(IsFragmented(*image, *gapFiller));
  recorder.Add("/A.BIN", PatternBytes(3000, seed++));
  recorder.Add("/B.BIN", PatternBytes(5000, seed++));
  recorder.Add("/C.BIN", PatternBytes(2000, seed++));
  recorder.Delete("/B.BIN");
  const disk::PDirEntry fragmented = recorder.Add("/D.BIN", PatternBytes(20000, seed++));
  EXPECT_TRUE(IsFragmented(*image, *fragmented));

  // Host files keep their last-write time; re-adds of the same names replace the contents.
  for (const auto& [name, size] : std::vector<std::pair<std::string, std::size_t>>{
           {"hostfile.txt", 1500}, {"k1025.dat", 3000}}) {
    const auto hostFile = scratch_ / name;
    WriteHostFile(hostFile, PatternBytes(size, seed++));
    const CommandResult touch = RunTool("touch -d '2001-02-03 04:05:06' " + Quote(hostFile));
    ASSERT_EQ(touch.exitStatus, 0) << touch.output;
  }
  recorder.AddHostFile("/HOSTFILE.TXT", scratch_ / "hostfile.txt", "2001-02-03 04:05");
  recorder.AddHostFile("/K1025.DAT", scratch_ / "k1025.dat", "2001-02-03 04:05");
  recorder.Replace("/ONE.DAT", PatternBytes(2, seed++));

  // The last file takes every free cluster.
  ASSERT_TRUE(image->ChangeDir("\\"));
  recorder.Add("/FILL.BIN", PatternBytes(static_cast<std::size_t>(image->DiskFree()), seed++));
  EXPECT_EQ(image->DiskFree(), 0);

  const auto path = scratch_ / "filled.dsk";
  SaveImage(*image, path);
  EXPECT_FSCK_CLEAN(path);
  EXPECT_EQ(TreeDifferences(ListWithMdir(path), recorder.Expected()), "");
  recorder.ExpectMcopyGivesContents(path, scratch_.Path());
}

INSTANTIATE_TEST_SUITE_P(Sizes, FilledImageTest,
                         ::testing::Values(FilledImageCase{"Disk720", true, 300000},
                                           FilledImageCase{"Disk360", false, 200000}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

struct ToolImageCase {
  const char* label;
  // Formats the image at the given (quoted) path.
  std::string (*format)(const std::string& image);
  const char* media;
  const char* sectorsPerFat;
  LoadVia via;
};
void PrintTo(const ToolImageCase& c, std::ostream* out) {
  *out << c.label;
}

std::string FormatWithMformat(const std::string& image) {
  return Quote(Tools().mformat) + " -i " + image + " -f 720 -C ::";
}

std::string FormatWithMkfs(const std::string& image) {
  return Quote(Tools().mkfsFat) + " -C " + image +
         " 360 -F 12 -f 2 -r 112 -s 2 -S 512 -R 1 -M 0xF8 -g 1/9";
}

// One host file to copy in: its disk path, size and last-write time ("YYYY-MM-DD HH:MM:SS", UTC).
struct HostFile {
  std::string path;
  std::size_t size;
  std::string mtime;
  std::string expectedStamp;  // seconds are stored halved, so odd ones round down
};

class ToolImageTest : public InteropTest {
 protected:
  void Tool(const std::string& commandLine) {
    const CommandResult result = RunTool(commandLine);
    ASSERT_EQ(result.exitStatus, 0) << commandLine << "\n" << result.output;
  }

  std::string Image() const { return Quote(scratch_ / "img.dsk"); }

  // Writes a host file with the given size and mtime and copies it to the image without
  // long-name entries; records what the model must find.
  void CopyIn(const HostFile& file, std::uint32_t seed) {
    const auto host = scratch_ / ("host" + std::to_string(seed));
    const std::vector<std::uint8_t> bytes = PatternBytes(file.size, seed);
    WriteHostFile(host, bytes);
    Tool("touch -d " + Quote(file.mtime) + " " + Quote(host));
    Tool("MTOOLS_NO_VFAT=1 " + Quote(Tools().mcopy) + " -m -i " + Image() + " " + Quote(host) +
         " " + Quote("::" + file.path));
    expected_[file.path] =
        TreeEntry{false, static_cast<std::uint32_t>(file.size), file.expectedStamp};
    contents_[file.path] = bytes;
  }

  void MakeDir(const std::string& path) {
    Tool(Quote(Tools().mmd) + " -i " + Image() + " " + Quote("::" + path));
    expected_[path] = TreeEntry{true, 0, ""};
  }

  void DeleteFile(const std::string& path) {
    Tool(Quote(Tools().mdel) + " -i " + Image() + " " + Quote("::" + path));
    expected_.erase(path);
    contents_.erase(path);
  }

  // Every recorded file must come out of the model with its bytes.
  void ExpectModelExtractsContents(disk::TMSXDisk& image) {
    for (const auto& [path, bytes] : contents_) {
      ASSERT_TRUE(image.ChangeDir(ParentOf(path))) << path;
      EXPECT_EQ(image.ExtractToMem(LeafOf(path)), bytes) << path;
    }
    image.ChangeDir("\\");
  }

  Tree expected_;
  std::map<std::string, std::vector<std::uint8_t>> contents_;
};

class ToolFormattedTest : public ToolImageTest,
                          public ::testing::WithParamInterface<ToolImageCase> {};

TEST_P(ToolFormattedTest, ModelReadsWhatToolsWrote) {
  const ToolImageCase& c = GetParam();
  Tool(c.format(Image()));
  const auto fields = ParseMinfo(RunTool(Quote(Tools().minfo) + " -i " + Image() + " ::").output);
  ASSERT_EQ(fields.at("media descriptor byte"), c.media);
  ASSERT_EQ(fields.at("sectors per fat"), c.sectorsPerFat);
  ASSERT_EQ(fields.at("cluster size"), "2 sectors");
  ASSERT_EQ(fields.at("max available root directory slots"), "112");

  std::uint32_t seed = 1;
  for (const HostFile& file :
       std::vector<HostFile>{{"/EMPTY.DAT", 0, "1999-12-31 23:59:58", "1999-12-31 23:59:58"},
                             {"/LEAP.TXT", 1, "2000-02-29 12:34:56", "2000-02-29 12:34:56"},
                             {"/ODD.BIN", 1025, "2010-06-15 08:09:11", "2010-06-15 08:09:10"},
                             {"/NOEXT", 1024, "1980-01-01 00:00:00", "1980-01-01 00:00:00"},
                             {"/BIG.BIN", 100000, "2099-11-30 22:58:46", "2099-11-30 22:58:46"},
                             {"/A.BIN", 3000, "2020-01-02 03:04:06", "2020-01-02 03:04:06"},
                             {"/B.BIN", 5000, "2020-01-02 03:04:08", "2020-01-02 03:04:08"},
                             {"/C.BIN", 2000, "2020-01-02 03:04:10", "2020-01-02 03:04:10"}}) {
    CopyIn(file, seed++);
  }
  // D fills B's gap and goes on past C.
  DeleteFile("/B.BIN");
  CopyIn({"/D.BIN", 20000, "2021-07-08 09:10:12", "2021-07-08 09:10:12"}, seed++);

  MakeDir("/DIR1");
  MakeDir("/DIR1/SUB2");
  CopyIn({"/DIR1/SUB2/DEEP.TXT", 700, "2005-05-05 05:05:04", "2005-05-05 05:05:04"}, seed++);
  for (int i = 0; i < 40; ++i) {
    const std::string name = "/DIR1/F" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    CopyIn({name + ".TXT", 50 + static_cast<std::size_t>(i), "2015-03-04 05:06:08",
            "2015-03-04 05:06:08"},
           seed++);
  }
  DeleteFile("/DIR1/F05.TXT");

  auto image = LoadImage(scratch_ / "img.dsk", c.via);
  EXPECT_EQ(TreeDifferences(ListWithModel(*image), expected_), "");
  EXPECT_EQ(image->FileCount(), 8);  // EMPTY, LEAP, ODD, NOEXT, BIG, A, C, D
  ASSERT_TRUE(image->ChangeDir("\\"));
  const disk::TDirEntry* d = image->Lookup("D.BIN");
  ASSERT_NE(d, nullptr);
  const disk::TChainWalk walk = image->WalkChain(d->GetCluster());
  EXPECT_EQ(walk.End, disk::ChainEnd::EndOfChain);
  ASSERT_EQ(walk.Clusters.size(), 20u);
  EXPECT_NE(walk.Clusters[5], walk.Clusters[4] + 1) << "D.BIN should be fragmented";
  EXPECT_EQ(image->GetSubDirFileCount("DIR1"), 40);  // 39 files and SUB2
  ExpectModelExtractsContents(*image);

  // Saving what the tools wrote gives their bytes back.
  image->SaveToFile(scratch_ / "copy.dsk");
  EXPECT_EQ(ReadHostFile(scratch_ / "copy.dsk"), ReadHostFile(scratch_ / "img.dsk"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ToolFormattedTest,
                         ::testing::Values(ToolImageCase{"Mformat720", FormatWithMformat, "0xf9",
                                                         "3", LoadVia::FileStream},
                                           ToolImageCase{"MkfsFat360", FormatWithMkfs, "0xf8", "2",
                                                         LoadVia::Buffer}),
                         [](const auto& testInfo) { return std::string(testInfo.param.label); });

// mtools writes long-name slots before each entry whose name is not a plain upper-case 8.3 name.
TEST_F(ToolImageTest, LongNameSlotsAreSkippedAndDeletedWithTheirEntry) {
  Tool(FormatWithMformat(Image()));
  struct LongNamed {
    std::string hostName, shortName;
  };
  const std::vector<LongNamed> files{{"Long File Name.txt", "LONGFI~1.TXT"},
                                     {"another long name.bin", "ANOTHE~1.BIN"},
                                     {"short.txt", "SHORT.TXT"}};
  std::uint32_t seed = 100;
  for (const LongNamed& file : files) {
    const auto host = scratch_ / file.hostName;
    contents_["/" + file.shortName] = PatternBytes(1000 + seed, seed);
    WriteHostFile(host, contents_["/" + file.shortName]);
    ++seed;
    Tool(Quote(Tools().mcopy) + " -i " + Image() + " " + Quote(host) + " ::/");
  }
  const CommandResult before = RunTool(Quote(Tools().mdir) + " -i " + Image() + " ::");
  ASSERT_NE(before.output.find("Long File Name.txt"), std::string::npos) << before.output;

  auto image = LoadImage(scratch_ / "img.dsk");
  EXPECT_EQ(image->FileCount(), 3);
  const Tree listed = ListWithModel(*image);
  ASSERT_EQ(listed.size(), 3u);
  for (const LongNamed& file : files) EXPECT_TRUE(listed.contains("/" + file.shortName));
  ExpectModelExtractsContents(*image);

  ASSERT_EQ(image->Delete("LONGFI~1.TXT"), disk::DiskResult::Ok);
  const auto saved = scratch_ / "deleted.dsk";
  SaveImage(*image, saved);
  EXPECT_FSCK_CLEAN(saved);
  const CommandResult after = RunTool(Quote(Tools().mdir) + " -i " + Quote(saved) + " ::");
  EXPECT_EQ(after.output.find("Long File Name.txt"), std::string::npos) << after.output;
  EXPECT_NE(after.output.find("another long name.bin"), std::string::npos) << after.output;

  // The remaining long name still leads mtools to the right bytes.
  const auto out = scratch_ / "out.bin";
  Tool(Quote(Tools().mcopy) + " -n -i " + Quote(saved) + " " +
       Quote(std::string("::/another long name.bin")) + " " + Quote(out));
  EXPECT_EQ(ReadHostFile(out), contents_["/ANOTHE~1.BIN"]);
}

}  // namespace
}  // namespace interop
