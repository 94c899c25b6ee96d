// Images written by our model, checked by fsck.fat, mdir, mcopy and minfo.
#include <gtest/gtest.h>

#include <map>
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

}  // namespace
}  // namespace interop
