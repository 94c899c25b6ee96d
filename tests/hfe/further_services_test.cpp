// Raw image conversion and the module registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hfe/module_registry.h"
#include "hfe/raw_image.h"
#include "hfe/sector_access.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

TEST(RawImage, GeneratesAFloppyThatReadsBack) {
  const struct {
    TRawGeometry geometry;
    SectorSearch search;
  } cases[] = {
      {{40, 1, 9, 512, 1, 3, 2, 300, 250000, TrackFormat::IsoIbmMfm}, SectorSearch::IsoIbmMfm},
      {{3, 2, 8, 512, 1, 1, 0, 300, 250000, TrackFormat::IsoIbmFm}, SectorSearch::IsoIbmFm},
  };
  for (const auto& c : cases) {
    const TRawGeometry& g = c.geometry;
    const std::size_t sideBytes = static_cast<std::size_t>(g.sectorsPerTrack * g.sectorSize);
    const Bytes image =
        hfe_test::RandomBytes(sideBytes * static_cast<std::size_t>(g.tracks * g.sides), 21);
    auto context = trk_init();
    int result = -1;
    auto floppy = trk_generateDisk(*context, image, g, result);
    ASSERT_EQ(result, kOk);
    ASSERT_TRUE(floppy);
    EXPECT_EQ(floppy->trackCount, g.tracks);
    EXPECT_EQ(floppy->sideCount, g.sides);
    auto access = trk_initSectorAccess(*context, *floppy);
    Bytes back(image.size());
    for (int t = 0; t < g.tracks; ++t)
      for (int s = 0; s < g.sides; ++s) {
        int status = -1;
        const std::size_t offset = static_cast<std::size_t>(t * g.sides + s) * sideBytes;
        ASSERT_EQ(trk_readSectorData(*access, t, s, 1, g.sectorsPerTrack, g.sectorSize, c.search,
                                     std::span(back).subspan(offset, sideBytes), status),
                  g.sectorsPerTrack);
        ASSERT_EQ(status, kSectorsOk);
      }
    EXPECT_EQ(back, image);
  }
}

TEST(RawImage, RefusesShortImagesAndBadGeometry) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  int result = 0;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(1000), TRawGeometry{}, result));
  EXPECT_EQ(result, kBadFile);
  EXPECT_EQ(log.back(),
            "trk_generateDisk : Error while reading the file image ! Unexpected end of file ?");
  TRawGeometry threeSides;
  threeSides.sides = 3;
  EXPECT_FALSE(trk_generateDisk(*context, Bytes(2000000), threeSides, result));
  EXPECT_EQ(result, kBadParameter);
}

TEST(ModuleRegistry, WithoutModulesEveryLookupFails) {
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  EXPECT_EQ(trk_searchContainer(*context, "HXC_HFE"), -1);
  EXPECT_EQ(log.back(), "trk_searchContainer : Plugin HXC_HFE not found !");
  TFloppy floppy;
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 16), kBadParameter);
  EXPECT_EQ(log.back(), "Bad plugin ID : 0x10");

  const TModule readOnly{"RAW_LOADER", "Raw sector images", false, nullptr};
  context->modules.push_back(&readOnly);
  EXPECT_EQ(trk_floppyExport(*context, floppy, "x.img", 0), kNoExportSupport);
  EXPECT_EQ(log.back(), "No export support in RAW_LOADER!");
}

}  // namespace
}  // namespace hfe
