// Sector search and reads on foreign tracks made by the test-side writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hfe/hfe_format.h"
#include "hfe/sector_access.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;
using hfe_test::TTestSector;

std::vector<TTestSector> NineSectors(int cylinder, int head, std::uint32_t seed) {
  std::vector<TTestSector> sectors;
  for (int id = 1; id <= 9; ++id) {
    TTestSector sector;
    sector.c = static_cast<std::uint8_t>(cylinder);
    sector.h = static_cast<std::uint8_t>(head);
    sector.r = static_cast<std::uint8_t>(id);
    sector.data = hfe_test::RandomBytes(512, seed * 100 + static_cast<std::uint32_t>(id));
    sectors.push_back(std::move(sector));
  }
  return sectors;
}

Bytes Flat(const std::vector<TTestSector>& sectors) {
  Bytes flat(9 * 512, 0);
  for (const auto& s : sectors)
    if (s.r >= 1 && s.r <= 9 && s.data.size() == 512)
      std::copy(s.data.begin(), s.data.end(), flat.begin() + (s.r - 1) * 512);
  return flat;
}

// A floppy of one or two sides on one track, its side cells given directly.
std::unique_ptr<TFloppy> FloppyOf(std::vector<Bytes> sides) {
  auto floppy = std::make_unique<TFloppy>();
  floppy->trackCount = 1;
  floppy->sideCount = static_cast<std::int32_t>(sides.size());
  floppy->bitRate = 250000;
  auto cylinder = std::make_unique<TCylinder>();
  cylinder->sideCount = floppy->sideCount;
  for (auto& cells : sides) {
    auto side = std::make_unique<TSide>();
    side->trackLength = static_cast<std::int32_t>(cells.size() * 8);
    side->cellData = std::move(cells);
    side->bitRate = 250000;
    cylinder->sides.push_back(std::move(side));
  }
  floppy->cylinders.push_back(std::move(cylinder));
  return floppy;
}

struct TReadResult {
  int copied;
  int status;
  Bytes buffer;
};

TReadResult ReadNine(TFloppy& floppy, int side, std::vector<std::string>* log = nullptr) {
  auto context = trk_init();
  if (log) context->logCallback = [log](int, std::string_view text) { log->emplace_back(text); };
  auto access = trk_initSectorAccess(*context, floppy);
  TReadResult result{0, -1, Bytes(9 * 512, 0xAA)};
  result.copied = trk_readSectorData(*access, 0, side, 1, 9, 512, SectorSearch::IsoIbmMfm,
                                     result.buffer, result.status);
  return result;
}

TEST(SectorAccess, ReadsDamagedAndUnusualTracks) {
  enum class Change {
    None,
    BadDataCrc4,
    Missing5,
    Small3,
    Interleave,
    InterleaveHeadZero,
    NoDataField6,
    BadHeader7,
    DuplicateBadHeader2
  };
  const struct {
    const char* name;
    Change change;
    int copied;
    int status;
  } cases[] = {
      {"intact", Change::None, 9, kSectorsOk},
      {"bad data CRC in 4", Change::BadDataCrc4, 9, kSectorBadCrc},
      {"5 missing", Change::Missing5, 8, kSectorNotFound},
      {"3 is a 256-byte sector", Change::Small3, 8, kSectorWrongSize},
      {"interleaved 1,3,5,7,9,2,4,6,8", Change::Interleave, 9, kSectorsOk},
      {"interleaved with H = 0 on side 1", Change::InterleaveHeadZero, 9, kSectorsOk},
      {"6 has no data field", Change::NoDataField6, 8, kSectorBadCrc},
      {"7 has a bad identity CRC", Change::BadHeader7, 9, kSectorBadCrc},
      {"a bad copy of 2 comes first", Change::DuplicateBadHeader2, 9, kSectorsOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sectors = NineSectors(0, 1, 5);
    Bytes expected = Flat(sectors);
    auto blank = [&](int id) { std::fill_n(expected.begin() + (id - 1) * 512, 512, 0xAA); };
    switch (c.change) {
      case Change::None:
        break;
      case Change::BadDataCrc4:
        sectors[3].badDataCrc = true;
        break;
      case Change::Missing5:
        sectors.erase(sectors.begin() + 4);
        blank(5);
        break;
      case Change::Small3:
        sectors[2].n = 1;
        sectors[2].data.resize(256);
        blank(3);
        break;
      case Change::Interleave:
      case Change::InterleaveHeadZero: {
        std::vector<TTestSector> order;
        for (int id : {1, 3, 5, 7, 9, 2, 4, 6, 8}) order.push_back(sectors[id - 1]);
        if (c.change == Change::InterleaveHeadZero)
          for (auto& s : order) s.h = 0;
        sectors = order;
        break;
      }
      case Change::NoDataField6:
        sectors[5].withDataField = false;
        blank(6);
        break;
      case Change::BadHeader7:
        sectors[6].badHeaderCrc = true;
        break;
      case Change::DuplicateBadHeader2: {
        TTestSector copy = sectors[1];
        copy.badHeaderCrc = true;
        copy.data = Bytes(512, 0x11);
        sectors.insert(sectors.begin(), copy);
        break;
      }
    }
    auto floppy = FloppyOf({hfe_test::TrackSide({}), hfe_test::TrackSide(sectors)});
    const auto result = ReadNine(*floppy, 1);
    EXPECT_EQ(result.copied, c.copied);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.buffer, expected);
  }
}

// `cells` moved `offset` cells later, zero cells in front.
Bytes Shifted(const Bytes& cells, int offset) {
  Bytes out(cells.size() + 2, 0);
  for (std::size_t i = 0; i < cells.size() * 8; ++i)
    if ((cells[i / 8] >> (7 - i % 8)) & 1) {
      const std::size_t to = i + static_cast<std::size_t>(offset);
      out[to / 8] = static_cast<std::uint8_t>(out[to / 8] | (0x80 >> (to % 8)));
    }
  return out;
}

TEST(SectorAccess, RunsOfSyncWordsBeforeAMark) {
  // A run of sync words ends in a non-mark byte or in an identity field; the sector found is the
  // identity field's, its start the last three sync words before its mark.
  TTestSector sector = NineSectors(0, 0, 4)[6];
  for (int run : {3, 4, 5, 6, 17, 300}) {
    for (int offset : {0, 3, 8, 13}) {
      for (bool junkFirst : {false, true}) {
        hfe_test::TMfmTrack track;
        track.Run(0x4E, 10);
        if (junkFirst) {
          for (int i = 0; i < run; ++i) track.SyncA1();
          track.Run(0x00, 3);
          track.Run(0x4E, 10);
        }
        const std::size_t before = track.CellCount();
        for (int i = 0; i < run; ++i) track.SyncA1();
        const std::size_t start = track.CellCount() - 48 + static_cast<std::size_t>(offset);
        Bytes id = {0xA1, 0xA1, 0xA1, 0xFE, sector.c, sector.h, sector.r, sector.n};
        const std::uint16_t crc = hfe_test::BitwiseCrc(id);
        track.Bytes({0xFE, sector.c, sector.h, sector.r, sector.n,
                     static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
        track.Run(0x4E, 40);
        auto floppy = FloppyOf({Shifted(track.Finish(track.CellCount() / 8), offset)});
        auto context = trk_init();
        auto access = trk_initSectorAccess(*context, *floppy);
        auto found = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
        ASSERT_TRUE(found) << run << " " << offset << " " << junkFirst;
        EXPECT_EQ(found->startCell, static_cast<std::int32_t>(start))
            << run << " " << offset << " " << junkFirst << " " << before;
        EXPECT_EQ(found->sector, sector.r);
        EXPECT_EQ(found->headerCrcError, 0);
      }
    }
  }
}

TEST(SectorAccess, DataFieldWrappingPastTheEnd) {
  // The track ends inside sector 1's data; its cells continue at the track's start.
  auto sectors = NineSectors(0, 0, 8);
  hfe_test::TMfmTrack track;
  track.Run(0x4E, 40);
  track.Sector(sectors[0]);
  const Bytes cells = track.Finish(track.CellCount() / 8);
  const std::size_t cut = cells.size() - 300;  // inside the data field
  Bytes rotated(cells.begin() + static_cast<std::ptrdiff_t>(cut), cells.end());
  rotated.insert(rotated.end(), cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(cut));
  auto floppy = FloppyOf({rotated});
  auto context = trk_init();
  auto access = trk_initSectorAccess(*context, *floppy);
  auto sector = trk_searchSector(*access, 0, 0, 1, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(sector);
  EXPECT_EQ(sector->dataCrcError, 0);
  EXPECT_EQ(sector->data, sectors[0].data);
}

TEST(SectorAccess, SideOfAOneSidedFloppyIsNotRead) {
  auto floppy = FloppyOf({hfe_test::TrackSide(NineSectors(0, 0, 1))});
  const auto result = ReadNine(*floppy, 1);
  EXPECT_EQ(result.copied, 0);
  EXPECT_EQ(result.buffer, Bytes(9 * 512, 0xAA));
  EXPECT_EQ(ReadNine(*floppy, 0).copied, 9);
}

TEST(SectorAccess, WalkEndsOnceAndOtherSidesStillWork) {
  auto sides0 = NineSectors(0, 0, 2);
  auto sides1 = NineSectors(0, 1, 3);
  auto floppy = FloppyOf({hfe_test::TrackSide(sides0), hfe_test::TrackSide(sides1)});
  auto context = trk_init();
  auto access = trk_initSectorAccess(*context, *floppy);
  int count = 0;
  while (trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm)) ++count;
  EXPECT_EQ(count, 9);
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
  for (int id : {9, 1, 5}) {
    auto sector = trk_searchSector(*access, 0, 1, id, SectorSearch::IsoIbmMfm);
    ASSERT_TRUE(sector);
    EXPECT_EQ(sector->data, sides1[static_cast<std::size_t>(id - 1)].data);
  }
  auto first = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->sector, 1);
  trk_resetSearchPosition(*access);
  EXPECT_TRUE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_searchSector(*access, 0, 0, 10, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, static_cast<SectorSearch>(1)));
}

TEST(SectorAccess, LogsTheLibraryTexts) {
  auto sectors = NineSectors(0, 0, 4);
  sectors[3].badDataCrc = true;
  sectors.erase(sectors.begin() + 7);
  auto floppy = FloppyOf({hfe_test::TrackSide(sectors)});
  std::vector<std::string> log;
  ReadNine(*floppy, 0, &log);
  auto logged = [&](const std::string& text) {
    return std::find(log.begin(), log.end(), text) != log.end();
  };
  EXPECT_TRUE(logged("Valid MFM sector header found - Cyl:0 Side:0 Sect:1 Size:512"));
  EXPECT_TRUE(logged(
      "trk_readSectorData : ERROR -> Bad Data CRC ! track 0, side 0, sector 4,Sector size:512,"
      "Type:0"));
  EXPECT_TRUE(
      logged("trk_readSectorData : ERROR -> Sector not found ! track 0, side 0, sector 8,Sector "
             "size:512,Type:0"));
}

TEST(SectorAccess, WriteBackReencodesTheDataField) {
  auto sectors = NineSectors(0, 0, 6);
  auto floppy = FloppyOf({hfe_test::TrackSide(sectors)});
  auto context = trk_init();
  auto access = trk_initSectorAccess(*context, *floppy);
  const Bytes fresh = hfe_test::RandomBytes(2 * 512, 77);
  int status = -1;
  EXPECT_EQ(trk_writeSectorData(*access, 0, 0, 3, 2, 512, SectorSearch::IsoIbmMfm, fresh, status),
            2);
  EXPECT_EQ(status, kSectorsOk);
  EXPECT_EQ(trk_writeSectorData(*access, 0, 0, 10, 1, 512, SectorSearch::IsoIbmMfm, fresh, status),
            0);
  EXPECT_EQ(status, kSectorNotFound);
  Bytes expected = Flat(sectors);
  std::copy(fresh.begin(), fresh.end(), expected.begin() + 2 * 512);
  const auto result = ReadNine(*floppy, 0);
  EXPECT_EQ(result.status, kSectorsOk);
  EXPECT_EQ(result.buffer, expected);
}

}  // namespace
}  // namespace hfe
