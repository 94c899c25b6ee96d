// The floppy builder and the track generator: lengths, positions and the laid-out bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "hfe/floppy_builder.h"
#include "hfe/sector_access.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

// An empty side: one revolution; the index pulse covers its last 2,500 us, 1,250 cells.
TEST(TrackGenerator, EmptySideAndIndexPulse) {
  auto context = trk_init();
  auto builder = trk_init_floppy(*context, 2, 1);
  ASSERT_EQ(trk_pushTrack(*builder, 300, 1, 0, TrackFormat::IsoIbmMfm), kOk);
  ASSERT_EQ(trk_popTrack(*builder), kOk);
  auto floppy = trk_getFloppy(std::move(builder));
  const TSide& side = *floppy->Side(0, 0);
  EXPECT_EQ(side.trackLength, 100032);
  Bytes index(12504, 0);
  std::fill(index.begin() + (100032 - 1250) / 8, index.end(), 0xFF);
  EXPECT_EQ(side.indexMap, index);
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
