// The floppy builder and the track generator: lengths, positions and the laid-out bytes.
#include <gtest/gtest.h>

#include <vector>

#include "hfe/floppy_builder.h"
#include "hfe/mfm_codec.h"
#include "hfe/sector_access.h"
#include "hfe/track_generator.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

Bytes Decode(const TSide& side, std::int32_t byteIndex, std::size_t count) {
  Bytes out(count);
  mfmDecode(side.cellData, side.trackLength, out, byteIndex * 16);
  return out;
}

// Nine 512-byte sectors as the bridge saves them: 250,000 bit/s, computed gap 3, 300 rpm.
TEST(TrackGenerator, NineSectorSideLayout) {
  auto context = trk_init();
  const Bytes data = hfe_test::RandomBytes(9 * 512, 3);
  auto builder = trk_init_floppy(*context, 1, 1);
  trk_setTrackBitrate(*builder, 250000);
  trk_setSectorGap3(*builder, 255);
  trk_setSectorEncoding(*builder, TrackFormat::IsoIbmMfm);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 0, 0, TrackFormat::IsoIbmMfm), kOk);
  for (int s = 0; s < 9; ++s)
    ASSERT_EQ(trk_addSector(*builder, s + 1, 0, 0, std::span(data).subspan(s * 512u, 512), 512),
              kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  const TSide& side = *floppy->Side(0, 0);
  EXPECT_EQ(std::vector<std::int64_t>({side.trackLength, std::int64_t(side.cellData.size()),
                                       side.bitRate, floppy->bitRate, floppy->interfaceType,
                                       floppy->cylinders[0]->rpm}),
            std::vector<std::int64_t>({100032, 12504, 250000, 250000, 7, 300}));
  EXPECT_EQ(side.trackEncoding, TrackEncoding::IsoIbmMfm);

  // The prologue is that of an empty side (below); gap 4b fills the last 220 bytes.
  EXPECT_EQ(Decode(side, 6032, 220), Bytes(220, 0x4E));

  auto access = trk_initSectorAccess(*context, *floppy);
  for (int id = 1; id <= 9; ++id) {
    auto sector = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
    ASSERT_TRUE(sector);
    EXPECT_EQ(sector->sector, id);
    EXPECT_EQ(sector->startCell, 2528 + (id - 1) * 654 * 16);
    EXPECT_EQ(sector->dataStartCell, sector->startCell + 704);
    EXPECT_EQ(sector->headerCrcError | sector->dataCrcError, 0);
    EXPECT_EQ(sector->data, Bytes(data.begin() + (id - 1) * 512, data.begin() + id * 512));
  }
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
}

TEST(TrackGenerator, EmptySideHoldsPrologueAndGapOnly) {
  auto context = trk_init();
  auto builder = trk_init_floppy(*context, 2, 1);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 0, TrackFormat::IsoIbmMfm), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  for (int track = 0; track < 2; ++track) {
    const TSide& side = *floppy->Side(track, 0);
    EXPECT_EQ(side.trackLength, 100032);
    // Gap 4a, sync, index sync (cells 0x5224, a missing clock), index mark, then gaps.
    Bytes expected(80, 0x4E);
    expected.insert(expected.end(), 12, 0x00);
    expected.insert(expected.end(), {0xC2, 0xC2, 0xC2, 0xFC});
    expected.resize(6252, 0x4E);
    EXPECT_EQ(Decode(side, 0, 6252), expected);
    EXPECT_EQ(TCellRing(side.cellData, side.trackLength).Cells(92 * 16, 16), 0x5224u);
    // The index pulse covers the last 2,500 microseconds: 1,250 cells before cell 0.
    EXPECT_EQ(side.indexMap.size(), 12504u);
    EXPECT_EQ(side.indexMap[12504 - 1], 0xFF);
    EXPECT_EQ(side.indexMap[(100032 - 1250) / 8], 0xFF);
    EXPECT_EQ(side.indexMap[(100032 - 1250) / 8 - 1], 0);
    EXPECT_EQ(side.indexMap[0], 0);
  }
  auto access = trk_initSectorAccess(*context, *floppy);
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
}

TEST(FloppyBuilder, Limits) {
  auto context = trk_init();
  const struct {
    int tracks, sides;
    bool made;
  } inits[] = {{0, 1, false}, {257, 1, false}, {1, 3, false},
               {1, 0, false}, {256, 2, true},  {1, 1, true}};
  for (const auto& init : inits)
    EXPECT_EQ(trk_init_floppy(*context, init.tracks, init.sides) != nullptr, init.made)
        << init.tracks << "x" << init.sides;

  auto builder = trk_init_floppy(*context, 4, 2);
  for (int push = 1; push <= 127; ++push)
    ASSERT_EQ(trk_pushTrack(*builder, 300, 0, 0, TrackFormat::IsoIbmMfm), kOk);
  EXPECT_EQ(trk_pushTrack(*builder, 300, 0, 0, TrackFormat::IsoIbmMfm), kBadParameter);

  builder = trk_init_floppy(*context, 4, 2);
  trk_pushTrack(*builder, 300, 0, 0, TrackFormat::IsoIbmMfm);
  for (int s = 0; s < 511; ++s) ASSERT_EQ(trk_addSector(*builder, s, 0, 0, {}, 128), kOk);
  EXPECT_EQ(trk_addSector(*builder, 511, 0, 0, {}, 128), kLimitReached);

  // A track or side beyond the floppy is refused and its sectors dropped.
  builder = trk_init_floppy(*context, 4, 1);
  trk_pushTrack(*builder, 300, 4, 0, TrackFormat::IsoIbmMfm);
  EXPECT_EQ(trk_popTrack(*builder), kBadParameter);
  trk_pushTrack(*builder, 300, 0, 1, TrackFormat::IsoIbmMfm);
  EXPECT_EQ(trk_popTrack(*builder), kBadParameter);
}

TEST(FloppyBuilder, InterleaveSkewAndFill) {
  auto context = trk_init();
  auto builder = trk_init_floppy(*context, 1, 1);
  trk_pushTrack(*builder, 300, 0, 0, TrackFormat::IsoIbmMfm);
  trk_setTrackInterleave(*builder, 2);
  trk_setTrackSkew(*builder, 1);
  trk_setSectorFill(*builder, 0xE5);
  for (int id = 1; id <= 5; ++id) trk_addSector(*builder, id, 0, 0, {}, 256);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  auto access = trk_initSectorAccess(*context, *floppy);
  // Sectors in added order take slots 1, 3, 0, 2, 4.
  std::vector<int> ids;
  while (auto sector = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm)) {
    ids.push_back(sector->sector);
    EXPECT_EQ(sector->fillFlag, 0xFF);
    EXPECT_EQ(sector->fillByte, 0xE5);
  }
  EXPECT_EQ(ids, (std::vector<int>{3, 1, 4, 2, 5}));
}

// Sectors with right and wrong CRCs, in MFM and FM, read back with the matching parser.
TEST(FloppyBuilder, CrcModesInBothEncodings) {
  const struct {
    TrackFormat format;
    SectorSearch search;
    TrackEncoding encoding;
  } formats[] = {{TrackFormat::IsoIbmMfm, SectorSearch::IsoIbmMfm, TrackEncoding::IsoIbmMfm},
                 {TrackFormat::IsoIbmFm, SectorSearch::IsoIbmFm, TrackEncoding::IsoIbmFm}};
  for (const auto& f : formats) {
    auto context = trk_init();
    auto builder = trk_init_floppy(*context, 1, 1);
    trk_pushTrack(*builder, 300, 0, 0, f.format);
    const Bytes data = hfe_test::RandomBytes(512, 9);
    trk_addSector(*builder, 1, 0, 0, {}, 512);  // no data: the default fill 0xF6
    trk_setSectorCrcModes(*builder, CrcMode::Computed, CrcMode::Wrong);
    trk_addSector(*builder, 2, 0, 0, data, 512);
    trk_setSectorCrcModes(*builder, CrcMode::Wrong, CrcMode::Computed);
    trk_addSector(*builder, 3, 0, 0, data, 512);
    ASSERT_EQ(trk_popTrack(*builder), kOk);
    auto floppy = trk_getFloppy(std::move(builder));
    EXPECT_EQ(floppy->Side(0, 0)->trackEncoding, f.encoding);
    auto access = trk_initSectorAccess(*context, *floppy);
    const struct {
      int headerError, dataError;
      Bytes data;
    } expected[] = {{0, 0, Bytes(512, 0xF6)}, {0, 0xFF, data}, {0xFF, 0, data}};
    for (const auto& e : expected) {
      auto sector = trk_getNextSector(*access, 0, 0, f.search);
      ASSERT_TRUE(sector);
      EXPECT_EQ(sector->headerCrcError, e.headerError);
      EXPECT_EQ(sector->dataCrcError, e.dataError);
      EXPECT_EQ(sector->data, e.data);
    }
  }
}

}  // namespace
}  // namespace hfe
