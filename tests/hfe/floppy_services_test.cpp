// Floppy properties and copies, builder settings, sector enumeration, track utilities, the
// controller-style interface, the HFE file paths, raw image refusals and the module registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../rtl/temp_folder.h"
#include "hfe/builder_settings.h"
#include "hfe/fdc_controller.h"
#include "hfe/floppy_properties.h"
#include "hfe/hfe_file.h"
#include "hfe/mfm_codec.h"
#include "hfe/module_registry.h"
#include "hfe/raw_image.h"
#include "hfe/sector_enumeration.h"
#include "hfe/track_utilities.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;
using hfe_test::Generated;

TEST(BuilderSettings, GeometryAndFlaggedTemplateValues) {
  auto context = trk_init();
  auto builder = trk_init_floppy(*context, 2, 1);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 0, TrackFormat::IsoIbmMfm), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  EXPECT_EQ(trk_setNumberOfTrack(*builder, 257), kBadParameter);
  EXPECT_EQ(trk_setNumberOfSide(*builder, 3), kBadParameter);
  // A second side for a cylinder already built, and one more track.
  EXPECT_EQ(trk_setNumberOfSide(*builder, 2), kOk);
  EXPECT_EQ(trk_setNumberOfTrack(*builder, 3), kOk);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 1, TrackFormat::IsoIbmMfm), kOk);
  trk_setSectorHeaderCrc(*builder, 0x1234);
  trk_setSectorDataCrc(*builder, 0xBEEF);
  trk_setSectorSizeCode(*builder, 3);
  trk_setSectorDataMark(*builder, 0xF8);
  ASSERT_EQ(trk_addSector(*builder, 7, 1, 1, Bytes(512, 0x11), 512), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  ASSERT_EQ(floppy->trackCount, 3);
  ASSERT_TRUE(floppy->Side(2, 1));

  // The flagged values reach the track: size code 3 over 512 data bytes, the stored CRCs.
  auto access = trk_initSectorAccess(*context, *floppy);
  auto sector = trk_getNextSector(*access, 1, 1, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(sector);
  EXPECT_EQ(trk_getSectorSizeCode(sector.get()), 3);
  EXPECT_EQ(trk_getSectorHeaderCrc(sector.get()), 0x1234);
  EXPECT_EQ(trk_getSectorHeaderCrcError(sector.get()), 0xFF);
  EXPECT_EQ(trk_getSectorDataMark(sector.get()), 0xF8);
}

TEST(SectorEnumeration, CountsOrderAndDataSize) {
  auto context = trk_init();
  const Bytes image = hfe_test::RandomBytes(3 * 2 * 4608, 2);
  auto mfm = Generated(*context, image, 3, 2);
  auto fm = Generated(*context, image, 3, 2, TrackFormat::IsoIbmFm);
  auto access = trk_initSectorAccess(*context, *mfm);
  EXPECT_EQ(trk_getAllTrackSectors(*access, 2, 1, SectorSearch::IsoIbmMfm).size(), 9u);
  EXPECT_TRUE(trk_getAllTrackSectors(*access, 3, 0, SectorSearch::IsoIbmMfm).empty());

  // The merged walk keeps the order of the start positions.
  auto fmAccess = trk_initSectorAccess(*context, *fm);
  const TSectorList merged = trk_getAllTrackISOSectors(*fmAccess, 1, 0);
  ASSERT_EQ(merged.size(), 9u);
  for (std::size_t i = 1; i < merged.size(); ++i)
    EXPECT_LT(merged[i - 1]->startCell, merged[i]->startCell);
  EXPECT_EQ(trk_getSectorEncoding(merged[0].get()), 3);

  std::int32_t count = 0;
  EXPECT_EQ(trk_getFloppyDataSize(*context, *mfm, &count), 3 * 2 * 4608);
  EXPECT_EQ(count, 54);
  EXPECT_EQ(trk_getFloppyDataSize(*context, *fm), 3 * 2 * 4608);

  for (int t = 0; t < 3; ++t)
    for (int s = 0; s < 2; ++s) fm->Side(t, s)->trackEncoding = TrackEncoding::IsoIbmMfm;
  EXPECT_EQ(trk_detectSideEncodings(*context, *fm), 6);
  EXPECT_EQ(fm->Side(2, 1)->trackEncoding, TrackEncoding::IsoIbmFm);
}

TEST(TrackUtilities, SizesSidesTablesAndTiming) {
  std::vector<TSectorConfig> sectors(9);
  for (auto& sector : sectors) {
    sector.size = 512;
    sector.gap3 = 80;
  }
  EXPECT_EQ(trk_getTrackSize(TrackFormat::IsoIbmMfm, sectors), 146 + 9 * 654);
  const Bytes bytes = {0x4E, 0xA1, 0xFE, 0x00};
  auto raw = trk_generateRawSide(bytes, Bytes{0xFF, 0x0A, 0xFF, 0xFF}, false, 250000,
                                 TrackEncoding::IsoIbmMfm);
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->trackLength, 64);
  EXPECT_EQ(TCellRing(raw->cellData, 64).Cells(16, 16), 0x4489u);
  Bytes decoded(4);
  mfmDecode(raw->cellData, raw->trackLength, decoded, 0);
  EXPECT_EQ(decoded, bytes);

  // Timing: 2 us a cell at 250 kbit/s, wrapping; with per-byte rates after a fill.
  EXPECT_EQ(trk_getCellTimeUs(*raw, 10, 20), 20);
  EXPECT_EQ(trk_getCellTimeUs(*raw, 60, 4), 16);
  EXPECT_EQ(trk_fillTimingTable(*raw, 4, 4, 500000), kOk);
  raw->bitRate = -1;
  EXPECT_EQ(trk_getCellTimeUs(*raw, 0, 63), 32 * 2 + 31);  // bytes 0-3 at 2 us, 4-7 at 1 us
  EXPECT_EQ(trk_fillSideTable(*raw, TSideTable::FlakeyBits, 7, 1, 0x0F), kOk);
  EXPECT_EQ(raw->flakeyBits, (Bytes{0, 0, 0, 0, 0, 0, 0, 0x0F}));
}

TEST(Controller, ReadsAndWritesSectorRuns) {
  auto context = trk_init();
  auto floppy = Generated(*context, hfe_test::RandomBytes(2 * 4608, 3), 2, 1);
  auto fdc = trk_initFDC(*context);
  Bytes buffer(9 * 512);
  int status = -1;
  EXPECT_EQ(trk_readSectorFDC(*fdc, 0, 0, 1, 512, 9, SectorSearch::IsoIbmMfm, buffer, status),
            kBadParameter);  // no floppy yet
  trk_insertDiskFDC(*fdc, *floppy);
  const Bytes written = hfe_test::RandomBytes(2 * 512, 4);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, written, status), 2);
  Bytes back(2 * 512);
  EXPECT_EQ(trk_readSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, back, status), 2);
  EXPECT_EQ(back, written);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 10, 512, 1, SectorSearch::IsoIbmMfm, written, status),
            0);
  EXPECT_EQ(status, kSectorNotFound);
  // A track side without its record is refused, not written through.
  auto holed = trk_floppyCopy(*floppy);
  holed->cylinders[1].reset();
  trk_insertDiskFDC(*fdc, *holed);
  EXPECT_EQ(trk_writeSectorFDC(*fdc, 1, 0, 4, 512, 2, SectorSearch::IsoIbmMfm, written, status), 0);
}

TEST(HfeFile, OpensWritesAndRefuses) {
  TTempFolder folder;
  std::vector<std::string> log;
  auto context = trk_init();
  context->logCallback = [&](int, std::string_view text) { log.emplace_back(text); };
  auto loader = trk_imgInitLoader(*context);
  TFloppy floppy;
  EXPECT_EQ(HFE_libLoad_DiskFile(*loader, floppy, folder / "none.hfe"), kIoError);
  EXPECT_EQ(log.back(), "Cannot open " + (folder / "none.hfe").string() + " !");

  auto generated = Generated(*context, hfe_test::RandomBytes(3 * 4608, 5), 3, 1);
  ASSERT_EQ(HFE_libWrite_DiskFile(*loader, *generated, folder / "a.hfe"), kOk);
  ASSERT_EQ(HFE_libLoad_DiskFile(*loader, floppy, folder / "a.hfe"), kOk);
  EXPECT_EQ(floppy.trackCount, 3);
  EXPECT_EQ(HFE_libWrite_DiskFile(*loader, floppy, folder / "missing" / "b.hfe"), kIoError);
  EXPECT_EQ(log.back(), "Cannot create " + (folder / "missing" / "b.hfe").string() + "!");
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
