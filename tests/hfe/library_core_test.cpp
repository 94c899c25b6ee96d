// The track library's core: progress reports of the HFE reader and writer, the version and
// licence texts, and running out of memory at every allocation of an entry point's work.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "disk/msx_disk.h"
#include "hfe/floppy_builder.h"
#include "hfe/floppy_properties.h"
#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "hfe/host_services.h"
#include "hfe/raw_image.h"
#include "hfe/sector_access.h"
#include "hfe/sector_enumeration.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

constexpr int kTracks = 3;
constexpr int kSectorBytes = 512;

Bytes Image(int tracks, int sides) {
  Bytes image(static_cast<std::size_t>(tracks * sides * 9 * kSectorBytes));
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return image;
}

TEST(LibraryCore, ReaderReportsEveryTrackSideAndWriterEveryTrack) {
  for (const int sides : {1, 2}) {
    SCOPED_TRACE(sides);
    auto context = trk_init();
    auto floppy = hfe_test::Generated(*context, Image(kTracks, sides), kTracks, sides);
    ASSERT_NE(floppy, nullptr);
    std::vector<std::pair<int, int>> written;
    auto writer = trk_imgInitLoader(*context);
    writer->progressCallback = [&](int position, int total) {
      written.emplace_back(position, total);
    };
    Bytes file;
    ASSERT_EQ(HFE_libWrite_DiskFile(*writer, *floppy, file, "p.hfe"), kOk);
    EXPECT_EQ(written, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}}));

    std::vector<std::pair<int, int>> read;
    auto reader = trk_imgInitLoader(*context);
    reader->progressCallback = [&](int position, int total) { read.emplace_back(position, total); };
    TFloppy loaded;
    ASSERT_EQ(HFE_libLoad_DiskFile(*reader, loaded, file, "p.hfe"), kOk);
    std::vector<std::pair<int, int>> expected;
    for (int track = 0; track < kTracks; ++track)
      for (int side = 0; side < sides; ++side) expected.emplace_back(track * 2 + side, 2 * kTracks);
    EXPECT_EQ(read, expected);
    // A loader without a callback reports to no one.
    auto silent = trk_imgInitLoader(*context);
    EXPECT_EQ(HFE_libLoad_DiskFile(*silent, loaded, file, "p.hfe"), kOk);
  }
}

TEST(LibraryCore, VersionAndLicenceTexts) {
  const std::string version = trk_getVersion();
  const std::string licence = trk_getLicense();
  EXPECT_NE(version.find_first_of("0123456789"), std::string::npos) << version;
  EXPECT_GT(licence.size(), version.size());
  for (const std::string& text : {version, licence})
    for (const char c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << text;
  EXPECT_EQ(trk_getVersion(), trk_getVersion());  // one static text, not a new one per call
}

// Every allocation of an entry point's work fails in turn: the call answers its failure value and
// logs "malloc error", nothing is raised, and every block it took is given back.
struct TOutOfMemoryCase {
  const char* name;
  // True when the work answered success at every step.
  std::function<bool(TLibContext&)> run;
  bool logs = true;  // the work has a context to log through
};

bool BuildAndWrite(TLibContext& context) {
  auto loader = trk_imgInitLoader(context);
  auto builder = trk_init_floppy(context, 2, 2);
  if (!loader || !builder) return false;
  const Bytes sector(kSectorBytes, 0x5A);
  for (int track = 0; track < 2; ++track)
    for (int side = 0; side < 2; ++side) {
      if (trk_pushTrack(*builder, 300, track, side, TrackFormat::IsoIbmMfm) != kOk) return false;
      for (int id = 1; id <= 9; ++id)
        if (trk_addSector(*builder, id, side, track, sector, kSectorBytes) != kOk) return false;
      if (trk_popTrack(*builder) != kOk) return false;
    }
  const auto floppy = trk_getFloppy(std::move(builder));
  Bytes file;
  return floppy && HFE_libWrite_DiskFile(*loader, *floppy, file, "m.hfe") == kOk;
}

bool LoadAndRead(TLibContext& context, const Bytes& file) {
  auto loader = trk_imgInitLoader(context);
  TFloppy floppy;
  if (!loader || HFE_libLoad_DiskFile(*loader, floppy, file, "m.hfe") != kOk) return false;
  auto access = trk_initSectorAccess(context, floppy);
  if (!access) return false;
  Bytes buffer(9 * kSectorBytes);
  for (int track = 0; track < floppy.trackCount; ++track) {
    int status = 0;
    if (trk_readSectorData(*access, track, 0, 1, 9, kSectorBytes, SectorSearch::IsoIbmMfm, buffer,
                           status) != 9)
      return false;
  }
  return true;
}

TEST(LibraryCore, RunningOutOfMemoryEndsTheCallNotTheProgram) {
  auto setup = trk_init();
  const auto source = hfe_test::Generated(*setup, Image(2, 1), 2, 1);
  Bytes file;
  ASSERT_EQ(HFE_libWrite_DiskFile(*trk_imgInitLoader(*setup), *source, file, "m.hfe"), kOk);

  const TOutOfMemoryCase cases[] = {
      {"trk_init", [](TLibContext&) { return trk_init() != nullptr; }, false},
      {"build and write", BuildAndWrite},
      {"load and read", [&](TLibContext& context) { return LoadAndRead(context, file); }},
      {"trk_generateDisk",
       [](TLibContext& context) {
         int result = 0;
         TRawGeometry geometry;
         geometry.tracks = 2;
         geometry.sides = 1;
         geometry.sectorsPerTrack = 9;
         const auto floppy = trk_generateDisk(context, Image(2, 1), geometry, result);
         EXPECT_EQ(floppy != nullptr, result == kOk);
         return floppy != nullptr;
       }},
      {"trk_floppyCopy", [&](TLibContext&) { return trk_floppyCopy(*source) != nullptr; }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> errors;
    auto context = trk_init();
    context->logCallback = [&](int level, std::string_view text) {
      if (level == kLogError) errors.emplace_back(text);
    };
    const std::size_t blocks = LiveBlockCount();
    bool done = false;
    int failures = 0;
    for (int limit = 0; !done && limit < 2000; ++limit) {
      errors.clear();
      LimitAllocations(limit);
      bool succeeded = false;
      EXPECT_NO_THROW(succeeded = c.run(*context)) << "limit " << limit;
      LimitAllocations(-1);
      EXPECT_EQ(LiveBlockCount(), blocks) << "limit " << limit;
      const bool reported = std::any_of(errors.begin(), errors.end(), [](const std::string& e) {
        return e.find(" : malloc error") != std::string::npos;
      });
      EXPECT_TRUE(succeeded || !c.logs || reported) << "limit " << limit;
      done = succeeded && errors.empty();
      failures += succeeded ? 0 : 1;
    }
    EXPECT_TRUE(done);
    EXPECT_GT(failures, 0);
  }

  // The builder's own text, as every entry point words it.
  std::vector<std::string> lines;
  setup->logCallback = [&](int level, std::string_view text) {
    if (level == kLogError) lines.emplace_back(text);
  };
  LimitAllocations(0);
  EXPECT_EQ(trk_init_floppy(*setup, 80, 2), nullptr);
  LimitAllocations(-1);
  EXPECT_EQ(lines, std::vector<std::string>{"trk_init_floppy : malloc error"});

  // The bridge refuses the image when the library runs out, at any point of a save or a load.
  auto disk = std::make_unique<disk::TMSXDisk>();
  disk->PrepareNewImage(false);
  const Bytes saved = BuildHFE(*disk);
  ASSERT_FALSE(saved.empty());
  for (const int limit : {0, 1, 3, 40, 400, 2500}) {
    SCOPED_TRACE(limit);
    LimitAllocations(limit);
    Bytes built, decoded;
    EXPECT_NO_THROW(built = BuildHFE(*disk));
    EXPECT_NO_THROW(decoded = DecodeHFEImage(saved));
    LimitAllocations(-1);
    EXPECT_TRUE(built.empty() || built == saved);
    EXPECT_TRUE(decoded.empty() ||
                std::equal(decoded.begin(), decoded.end(), disk->Buffer().begin()));
  }
}

// A walk over the whole floppy that runs out of memory part-way answers its failure value, never
// the part it had counted so far as if it were the whole.
TEST(LibraryCore, AWalkThatRunsOutOfMemoryAnswersItsFailureNotAPart) {
  auto context = trk_init();
  const auto floppy = hfe_test::Generated(*context, Image(2, 1), 2, 1);
  const std::int64_t whole = trk_getFloppyDataSize(*context, *floppy, nullptr);
  const int sides = trk_detectSideEncodings(*context, *floppy);
  ASSERT_GT(whole, 0);
  ASSERT_GT(sides, 0);
  bool done = false;
  for (int limit = 0; !done && limit < 2000; ++limit) {
    LimitAllocations(limit);
    const std::int64_t bytes = trk_getFloppyDataSize(*context, *floppy, nullptr);
    const int detected = trk_detectSideEncodings(*context, *floppy);
    LimitAllocations(-1);
    EXPECT_TRUE(bytes == whole || bytes == kLimitReached) << "limit " << limit << ": " << bytes;
    EXPECT_TRUE(detected == sides || detected == kLimitReached)
        << "limit " << limit << ": " << detected;
    done = bytes == whole && detected == sides;
  }
  EXPECT_TRUE(done);
}

}  // namespace
}  // namespace hfe
