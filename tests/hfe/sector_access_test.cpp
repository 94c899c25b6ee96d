// Sector search and reads on foreign tracks made by the test-side writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "hfe/sector_access.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;
using hfe_test::CellFloppy;
using hfe_test::TTestSector;

std::vector<TTestSector> NineSectors(int cylinder, int head, std::uint32_t seed) {
  std::vector<TTestSector> sectors;
  for (std::uint8_t id = 1; id <= 9; ++id)
    sectors.push_back({static_cast<std::uint8_t>(cylinder), static_cast<std::uint8_t>(head), id, 2,
                       hfe_test::RandomBytes(512, seed * 100 + id)});
  return sectors;
}

// The nine sectors' data in id order.
Bytes Flat(const std::vector<TTestSector>& sectors) {
  Bytes flat(9 * 512, 0);
  for (const auto& s : sectors)
    std::copy(s.data.begin(), s.data.end(), flat.begin() + (s.r - 1) * 512);
  return flat;
}

struct TReadResult {
  int copied;
  int status;
  Bytes buffer;
  std::vector<std::string> log;
  bool Logged(const std::string& text) const {
    return std::find(log.begin(), log.end(), text) != log.end();
  }
};

TReadResult ReadNine(TFloppy& floppy, int side) {
  auto context = trk_init();
  TReadResult result{0, -1, Bytes(9 * 512, 0xAA), {}};
  context->logCallback = [&](int, std::string_view text) { result.log.emplace_back(text); };
  auto access = trk_initSectorAccess(*context, floppy);
  result.copied = trk_readSectorData(*access, 0, side, 1, 9, 512, SectorSearch::IsoIbmMfm,
                                     result.buffer, result.status);
  return result;
}

TEST(SectorAccess, ReadsDamagedAndUnusualTracks) {
  using Sectors = std::vector<TTestSector>;
  const auto interleave = [](Sectors& s, bool headZero) {
    Sectors order;
    for (int id : {1, 3, 5, 7, 9, 2, 4, 6, 8}) order.push_back(s[static_cast<std::size_t>(id - 1)]);
    for (auto& sector : order) sector.h = headZero ? 0 : sector.h;
    s = order;
  };
  const struct {
    const char* name;
    std::function<void(Sectors&)> change;
    int blank;  // the id whose slot keeps its old bytes, or 0
    int copied, status;
    std::string logged = "Valid MFM sector header found - Cyl:0 Side:1 Sect:1 Size:512";
  } cases[] = {
      {"intact", [](Sectors&) {}, 0, 9, kSectorsOk},
      {"bad data CRC in 4", [](Sectors& s) { s[3].badDataCrc = true; }, 0, 9, kSectorBadCrc,
       "trk_readSectorData : ERROR -> Bad Data CRC ! track 0, side 1, sector 4,Sector size:512,"
       "Type:0"},
      {"5 missing", [](Sectors& s) { s.erase(s.begin() + 4); }, 5, 8, kSectorNotFound,
       "trk_readSectorData : ERROR -> Sector not found ! track 0, side 1, sector 5,Sector "
       "size:512,Type:0"},
      {"3 is a 256-byte sector",
       [](Sectors& s) {
         s[2].n = 1;
         s[2].data.resize(256);
       },
       3, 8, kSectorWrongSize},
      {"interleaved", [&](Sectors& s) { interleave(s, false); }, 0, 9, kSectorsOk},
      {"interleaved, H = 0 on side 1", [&](Sectors& s) { interleave(s, true); }, 0, 9, kSectorsOk,
       "Valid MFM sector header found - Cyl:0 Side:0 Sect:1 Size:512"},
      {"6 has no data field", [](Sectors& s) { s[5].withDataField = false; }, 6, 8, kSectorBadCrc},
      {"7 has a bad identity CRC", [](Sectors& s) { s[6].badHeaderCrc = true; }, 0, 9,
       kSectorBadCrc},
      {"a bad copy of 2 comes first",
       [](Sectors& s) {
         TTestSector copy = s[1];
         copy.badHeaderCrc = true;
         copy.data = Bytes(512, 0x11);
         s.insert(s.begin(), copy);
       },
       0, 9, kSectorsOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sectors = NineSectors(0, 1, 5);
    Bytes expected = Flat(sectors);
    if (c.blank) std::fill_n(expected.begin() + (c.blank - 1) * 512, 512, 0xAA);
    c.change(sectors);
    auto floppy = CellFloppy({{hfe_test::TrackSide({}), hfe_test::TrackSide(sectors)}});
    const auto result = ReadNine(*floppy, 1);
    EXPECT_EQ(result.copied, c.copied);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.buffer, expected);
    EXPECT_TRUE(result.Logged(c.logged));
  }
  // Side 1 of a one-sided floppy is not read at all.
  auto oneSided = CellFloppy({{hfe_test::TrackSide(NineSectors(0, 0, 1))}});
  const auto none = ReadNine(*oneSided, 1);
  EXPECT_EQ(none.copied, 0);
  EXPECT_EQ(none.buffer, Bytes(9 * 512, 0xAA));
}

// `cells` moved `offset` cells later.
Bytes Shifted(const Bytes& cells, int offset) {
  Bytes out(cells.size() + 2, 0);
  for (std::size_t i = 0; i < cells.size() * 8; ++i)
    if (const std::size_t to = i + static_cast<std::size_t>(offset);
        (cells[i / 8] << (i % 8)) & 0x80)
      out[to / 8] = static_cast<std::uint8_t>(out[to / 8] | (0x80 >> (to % 8)));
  return out;
}

// Runs of sync words, one first ending in a byte that is no mark, then one ending in an identity
// field: the sector found starts with the last three sync words before the mark.
TEST(SectorAccess, RunsOfSyncWordsBeforeAMark) {
  const TTestSector sector = NineSectors(0, 0, 4)[6];
  for (int run : {3, 4, 300}) {
    for (int offset : {0, 13}) {
      hfe_test::TMfmTrack track;
      track.Run(0x4E, 10);
      for (int i = 0; i < run; ++i) track.SyncA1();
      track.Run(0x00, 3);
      for (int i = 0; i < run; ++i) track.SyncA1();
      const auto start = static_cast<std::int32_t>(track.CellCount()) - 48 + offset;
      const Bytes id = {0xA1, 0xA1, 0xA1, 0xFE, sector.c, sector.h, sector.r, sector.n};
      const std::uint16_t crc = hfe_test::BitwiseCrc(id);
      track.Bytes({0xFE, sector.c, sector.h, sector.r, sector.n,
                   static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)});
      track.Run(0x4E, 40);
      auto floppy = CellFloppy({{Shifted(track.Finish(track.CellCount() / 8), offset)}});
      auto context = trk_init();
      auto access = trk_initSectorAccess(*context, *floppy);
      auto found = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
      ASSERT_TRUE(found) << run << " " << offset;
      EXPECT_EQ(found->startCell, start) << run << " " << offset;
      EXPECT_EQ(found->sector, sector.r);
      EXPECT_EQ(found->headerCrcError, 0);
    }
  }
}

TEST(SectorAccess, WalkEndsOnceAndOtherSidesStillWork) {
  auto sides0 = NineSectors(0, 0, 2);
  auto sides1 = NineSectors(0, 1, 3);
  auto floppy = CellFloppy({{hfe_test::TrackSide(sides0), hfe_test::TrackSide(sides1)}});
  auto context = trk_init();
  auto access = trk_initSectorAccess(*context, *floppy);
  int count = 0;
  while (trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm)) ++count;
  EXPECT_EQ(count, 9);
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
  auto other = trk_searchSector(*access, 0, 1, 9, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(other);
  EXPECT_EQ(other->data, sides1[8].data);
  auto first = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->sector, 1);
  trk_resetSearchPosition(*access);
  EXPECT_TRUE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_searchSector(*access, 0, 0, 10, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, static_cast<SectorSearch>(1)));
}

}  // namespace
}  // namespace hfe
