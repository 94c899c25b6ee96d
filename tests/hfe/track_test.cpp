// The track layer: MFM coding and the cell pattern search; the floppy builder and the track
// generator (lengths, positions and the laid-out bytes); sector search and reads on foreign tracks
// made by the test-side writer; track formats other than ISO/IBM MFM: the bytes each row lays out,
// worked out from the format description, and the gap table's rows for formats 3 and 4.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "hfe/bit_stream.h"
#include "hfe/crc16.h"
#include "hfe/floppy_builder.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"
#include "hfe/mfm_sync_scan.h"
#include "hfe/sector_access.h"
#include "hfe/sector_enumeration.h"
#include "hfe/track_utilities.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::AsBytes;
using hfe_test::Bytes;
using hfe_test::CellFloppy;
using hfe_test::TTestSector;

TEST(Mfm, WordsAndTheClockRule) {
  const struct {
    std::uint8_t byte;
    int previousBit;
    std::uint8_t clockMask;
    std::uint16_t cells;
  } cases[] = {{0x4E, 1, 0xFF, 0x1254}, {0xA1, 0, 0x0A, 0x4489}, {0xC2, 0, 0x14, 0x5224}};
  for (const auto& c : cases) {
    EXPECT_EQ(mfmWord(c.byte, c.previousBit, c.clockMask), c.cells) << std::hex << int{c.byte};
    EXPECT_EQ(mfmDataOf(c.cells), c.byte);
  }
  // Every byte round-trips; with the previous data cell in front, never two ones in a row and
  // never four zeros.
  for (std::uint32_t previous = 0; previous < 2; ++previous)
    for (unsigned value = 0; value < 256; ++value) {
      const std::uint16_t word =
          mfmWord(static_cast<std::uint8_t>(value), static_cast<int>(previous));
      ASSERT_EQ(mfmDataOf(word), value);
      const std::uint32_t cells = previous << 16 | word;
      for (int bit = 0; bit < 16; ++bit)
        ASSERT_TRUE(((cells >> bit) & 3) != 3 && (bit > 13 || ((cells >> bit) & 0xF) != 0))
            << value;
    }
  // A data bit is 1 only when its clock cell is 0, in a single word and in a long run alike.
  const struct {
    std::uint8_t cells;
    std::int32_t start;
    std::uint8_t byte;
  } runs[] = {{0x55, 0, 0xFF}, {0xFF, 5, 0x00}, {0x77, 0, 0xAA}};
  for (const auto& r : runs) {
    Bytes decoded(9);
    mfmDecode(Bytes(40, r.cells), 320, decoded, r.start);
    EXPECT_EQ(decoded, Bytes(9, r.byte)) << int{r.cells};
    EXPECT_EQ(mfmDataOf(static_cast<std::uint32_t>(r.cells) * 0x101), r.byte);
  }
}

TEST(Crc16, CheckValuesAndFieldsThatEndInTheirCrc) {
  const Bytes check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  const struct {
    std::uint16_t polynomial, initial, value;
  } cases[] = {{0x1021, 0xFFFF, 0x29B1}, {0x8005, 0x0000, 0xFEE8}, {0x1021, 0x0000, 0x31C3}};
  for (const auto& c : cases) {
    TCrc16 byByte(c.polynomial, c.initial);
    for (const std::uint8_t b : check) byByte.Update(b);
    TCrc16 whole(c.polynomial, c.initial);
    whole.Update(check);
    EXPECT_EQ(byByte.Value(), c.value) << std::hex << c.polynomial;
    EXPECT_EQ(whole.Value(), c.value) << std::hex << c.polynomial;
  }
  EXPECT_EQ(crc16(check), 0x29B1);
  // Any length through the eight-byte steps agrees with the nibble steps, and a field followed by
  // its CRC, high byte first, gives 0.
  Bytes field = {0xA1, 0xA1, 0xA1, 0xFE, 2, 1, 5, 2};
  for (int extra = 0; extra < 20; ++extra) {
    TCrc16 nibbles;
    for (const std::uint8_t b : field) nibbles.Update(b);
    ASSERT_EQ(crc16(field), nibbles.Value()) << field.size();
    Bytes closed = field;
    closed.push_back(nibbles.High());
    closed.push_back(nibbles.Low());
    EXPECT_EQ(crc16(closed), 0) << field.size();
    field.push_back(static_cast<std::uint8_t>(extra * 37 + 11));
  }
}

TEST(Mfm, EncodesAndDecodesAcrossTheEndOfTheTrack) {
  // A track of 1,000 cells (not a multiple of 8): the byte at 990 wraps after 10 cells.
  Bytes cells(125, 0);
  const Bytes text = {0x12, 0xA5, 0xFF, 0x00};
  EXPECT_EQ(mfmEncodeAt(cells, 1000, text, 990), (990 + 64) % 1000);
  Bytes decoded(4);
  EXPECT_EQ(mfmDecode(cells, 1000, decoded, 990), 54);
  EXPECT_EQ(decoded, text);
  TMfmEncoder encoder{TCellWriter(cells, 1000, 992), 0};
  mfmEncode(encoder, text);
  EXPECT_EQ(encoder.writer.Position(), 56);
  EXPECT_EQ(mfmDecode(cells, 1000, decoded, 992), 56);
  EXPECT_EQ(decoded, text);
  EXPECT_EQ(mfmDecode(Bytes(10, 0), 0, decoded, 5), -1);  // an empty track decodes nothing
}

// The reference: every position in order, cells taken modulo the length.
std::int32_t NaiveSearch(const Bytes& cells, std::int32_t length, std::int32_t maxDistance,
                         const Bytes& pattern, std::int32_t patternCells, std::int32_t start) {
  auto matches = [&](std::int32_t p) {
    for (std::int32_t i = 0; i < patternCells; ++i)
      if (getCell(cells, (p + i) % length) != getCell(pattern, i)) return false;
    return true;
  };
  const std::int32_t from = start % length;
  const std::int32_t tries =
      maxDistance < 0 ? length - from : (maxDistance == 0 ? length : std::min(maxDistance, length));
  for (std::int32_t k = 0; k < tries; ++k)
    if (matches((from + k) % length)) return (from + k) % length;
  return -1;
}

TEST(Search, AgreesWithTheNaiveSearchOnRandomTracks) {
  std::mt19937 random(7);
  const Bytes patterns[] = {{0x44, 0x89, 0x44, 0x89, 0x44, 0x89},
                            {0x55, 0x11, 0x15, 0x54},
                            {0x5A},
                            {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11}};
  for (int iteration = 0; iteration < 400; ++iteration) {
    const auto length = static_cast<std::int32_t>(64 + random() % 600);
    Bytes cells(static_cast<std::size_t>((length + 7) / 8));
    // Few distinct values make matches likely.
    for (auto& byte : cells) byte = static_cast<std::uint8_t>((random() % 3) ? 0x44 : 0x89);
    const Bytes& pattern = patterns[iteration % 4];
    const auto patternCells =
        static_cast<std::int32_t>(iteration % 4 == 2 ? 5 : pattern.size() * 8 - (iteration % 3));
    // Every other track has a stretch of zero bytes, as unwritten parts of a track have, and the
    // pattern just after it.
    if (iteration % 2 == 1) {
      const std::size_t from = random() % cells.size();
      const std::size_t zeros = std::min<std::size_t>(random() % 40, cells.size() - from);
      std::fill_n(cells.begin() + static_cast<std::ptrdiff_t>(from), zeros, 0);
      const auto at = static_cast<std::int32_t>((from + zeros) * 8 + random() % 8);
      for (std::int32_t i = 0; i < patternCells && at + i < length; ++i)
        setCell(cells, at + i, getCell(pattern, i));
    }
    const auto start = static_cast<std::int32_t>(random() % static_cast<unsigned>(length));
    const std::int32_t distances[] = {-1, 0, 17, 832, length + 5};
    for (std::int32_t distance : distances)
      ASSERT_EQ(searchBitStream(cells, length, distance, pattern, patternCells, start),
                NaiveSearch(cells, length, distance, pattern, patternCells, start))
          << "iteration " << iteration << " distance " << distance;
  }
}

// The length without the zero tail, for last non-zero bytes on both sides of the block and word
// steps, and for no non-zero byte at all.
TEST(Search, LengthWithoutZeroTail) {
  for (const std::size_t size : {0u, 7u, 8u, 255u, 256u, 257u, 600u}) {
    for (const std::size_t last : {0u, 1u, 6u, 7u, 8u, 255u, 256u, 343u, 599u}) {
      Bytes bytes(size, 0);
      if (last < size) bytes[last] = 0x40;
      EXPECT_EQ(LengthWithoutZeroTail(bytes.data(), size), last < size ? last + 1 : 0)
          << size << " " << last;
    }
  }
}

TEST(Search, PatternStraddlingTheEnd) {
  // 100 cells; the 16-cell sync word starts at 92 and ends at cell 7.
  Bytes cells(13, 0);
  for (int i = 0; i < 16; ++i) setCell(cells, (92 + i) % 100, (0x4489 >> (15 - i)) & 1);
  const Bytes sync = {0x44, 0x89};
  EXPECT_EQ(searchBitStream(cells, 100, -1, sync, 16, 50), 92);
  EXPECT_EQ(searchBitStream(cells, 100, 0, sync, 16, 95), 92);
  EXPECT_EQ(searchBitStream(cells, 100, 100, sync, 16, 93), 92);
  EXPECT_EQ(searchBitStream(cells, 100, -1, sync, 16, 93), -1);
  EXPECT_EQ(searchBitStream(cells, 100, 5, sync, 16, 93), -1);
  EXPECT_EQ(searchBitStream(cells, 0, 0, sync, 16, 0), -1);
}

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
  EXPECT_EQ(AsBytes(side.indexMap), index);
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
      EXPECT_EQ(AsBytes(sector->data), e.data);
    }
  }
}

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
    std::vector<int> blank;  // the ids whose slots keep their old bytes
    int copied, status;
    std::string logged = "Valid MFM sector header found - Cyl:0 Side:1 Sect:1 Size:512";
  } cases[] = {
      {"intact", [](Sectors&) {}, {}, 9, kSectorsOk},
      {"bad data CRC in 4",
       [](Sectors& s) { s[3].badDataCrc = true; },
       {},
       9,
       kSectorBadCrc,
       "trk_readSectorData : ERROR -> Bad Data CRC ! track 0, side 1, sector 4,Sector size:512,"
       "Type:0"},
      // A missing sector ends the read: 6-9 are not read.
      {"5 missing",
       [](Sectors& s) { s.erase(s.begin() + 4); },
       {5, 6, 7, 8, 9},
       4,
       kSectorNotFound,
       "trk_readSectorData : ERROR -> Sector not found ! track 0, side 1, sector 5,Sector "
       "size:512,Type:0"},
      {"3 is a 256-byte sector",
       [](Sectors& s) {
         s[2].n = 1;
         s[2].data.resize(256);
       },
       {3, 4, 5, 6, 7, 8, 9},
       0,
       kSectorsOk},
      {"interleaved", [&](Sectors& s) { interleave(s, false); }, {}, 9, kSectorsOk},
      {"interleaved, H = 0 on side 1",
       [&](Sectors& s) { interleave(s, true); },
       {},
       9,
       kSectorsOk,
       "Valid MFM sector header found - Cyl:0 Side:0 Sect:1 Size:512"},
      {"6 has no data field",
       [](Sectors& s) { s[5].withDataField = false; },
       {6},
       8,
       kSectorBadCrc},
      {"7 has a bad identity CRC",
       [](Sectors& s) { s[6].badHeaderCrc = true; },
       {},
       9,
       kSectorBadCrc},
      {"a bad copy of 2 comes first",
       [](Sectors& s) {
         TTestSector copy = s[1];
         copy.badHeaderCrc = true;
         copy.data = Bytes(512, 0x11);
         s.insert(s.begin(), copy);
       },
       {},
       9,
       kSectorsOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sectors = NineSectors(0, 1, 5);
    Bytes expected = Flat(sectors);
    for (const int id : c.blank) std::fill_n(expected.begin() + (id - 1) * 512, 512, 0xAA);
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

TEST(SectorAccess, WrittenSectorsGiveTheCellsOfATrackWrittenWithTheirBytes) {
  // The track the independent writer makes with the new bytes is the oracle, cell for cell:
  // the data fields' clocks and CRCs, and the clock of the gap cell after each field.
  const struct { int firstId, count; } cases[] = {{1, 1}, {4, 2}, {9, 1}, {1, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "ids " << c.firstId << " +" << c.count);
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
      const auto before = NineSectors(0, 0, seed);
      auto after = before;
      Bytes written;
      for (int i = 0; i < c.count; ++i) {
        auto& sector = after[static_cast<std::size_t>(c.firstId - 1 + i)];
        sector.data = hfe_test::RandomBytes(512, seed * 1000 + static_cast<std::uint32_t>(i));
        written.insert(written.end(), sector.data.begin(), sector.data.end());
      }
      auto floppy = CellFloppy({{hfe_test::TrackSide(before)}});
      auto context = trk_init();
      auto access = trk_initSectorAccess(*context, *floppy);
      int status = -1;
      EXPECT_EQ(trk_writeSectorData(*access, 0, 0, c.firstId, c.count, 512, SectorSearch::IsoIbmMfm,
                                    written, status),
                c.count);
      EXPECT_EQ(status, kSectorsOk);
      EXPECT_EQ(AsBytes(floppy->Side(0, 0)->cellData), hfe_test::TrackSide(after))
          << "seed " << seed;
    }
  }
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

// The search by id finds what the sector walk finds: for every id, the first identity field with
// a right CRC, else the first one. The sides mix identity fields (some damaged, some without data
// field), data fields, runs of sync words before other bytes, and sync words packed as densely as
// they go, at every cell offset. Each way of scanning for the sync is checked.
class WithSyncScan : public testing::TestWithParam<SyncScan> {
 protected:
  void SetUp() override {
    if (GetParam() == SyncScan::Vector && !VectorSyncScanAvailable())
      GTEST_SKIP() << "no vector scan on this processor";
    SetSyncScan(GetParam());
  }
  void TearDown() override { SetSyncScan(SyncScan::Vector); }
};

TEST_P(WithSyncScan, SearchByIdAgreesWithTheWalk) {
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    hfe_test::TMfmTrack track;
    const auto byte = [&] { return static_cast<std::uint8_t>(random()); };
    while (track.CellCount() < 40000) {
      switch (random() % 6) {
        case 0:
        case 1: {
          const std::uint8_t n = static_cast<std::uint8_t>(random() % 3);
          TTestSector sector{byte(), byte(), static_cast<std::uint8_t>(random() % 12), n,
                             hfe_test::RandomBytes(128u << n, random())};
          sector.badHeaderCrc = random() % 3 == 0;
          sector.withDataField = random() % 4 != 0;
          track.Sector(sector, static_cast<int>(random() % 30));
          break;
        }
        case 2:  // a run of sync words and a byte after it
          for (int i = static_cast<int>(random() % 6); i >= 0; --i) track.SyncA1();
          track.Byte(std::array<std::uint8_t, 5>{0xFE, 0xFB, 0xF8, 0xA1, byte()}[random() % 5]);
          break;
        case 3:  // identity marks packed as densely as they go
          for (int i = static_cast<int>(random() % 20); i >= 0; --i) {
            for (int k = 0; k < 3; ++k) track.SyncA1();
            track.Bytes({0xFE, 0, 0, static_cast<std::uint8_t>(random() % 12)});
          }
          break;
        default:
          track.Run(byte(), static_cast<int>(random() % 40));
      }
    }
    const Bytes cells =
        Shifted(track.Finish(track.CellCount() / 8), static_cast<int>(random() % 16));
    auto floppy = CellFloppy({{cells}});
    auto context = trk_init();
    // Expected, from the walk: per id the first start with a right CRC, else the first start.
    std::map<std::int32_t, std::pair<std::int32_t, std::int32_t>> expected;  // id: good, bad
    auto walk = trk_initSectorAccess(*context, *floppy);
    while (auto sector = trk_getNextSector(*walk, 0, 0, SectorSearch::IsoIbmMfm)) {
      if (!sector->hasHeader()) continue;
      auto& [good, bad] = expected.try_emplace(sector->sector, -1, -1).first->second;
      auto& first = sector->headerCrcError ? bad : good;
      if (first < 0) first = sector->startCell;
    }
    auto access = trk_initSectorAccess(*context, *floppy);
    for (std::int32_t id = 0; id < 12; ++id) {
      const auto found = trk_searchSector(*access, 0, 0, id, SectorSearch::IsoIbmMfm);
      const auto e = expected.find(id);
      if (e == expected.end()) {
        EXPECT_FALSE(found) << round << " " << id;
        continue;
      }
      ASSERT_TRUE(found) << round << " " << id;
      EXPECT_EQ(found->startCell, e->second.first >= 0 ? e->second.first : e->second.second)
          << round << " " << id;
    }
  }
}

// Three sync words at every cell offset of a side, from its first cell to past the last that
// the scanner looks at, are found there; with any one cell changed, nothing is found.
TEST_P(WithSyncScan, ScannerFindsTheSyncAtEveryOffset) {
  constexpr std::int32_t kBytes = 160;
  constexpr std::int32_t kTo = (kBytes - 12) * 8;
  for (std::int32_t offset = 0; offset < kTo + 16; ++offset) {
    for (int changed = -1; changed < 48; ++changed) {
      std::uint64_t sync = 0x448944894489u;
      if (changed >= 0) sync ^= std::uint64_t{1} << changed;
      Bytes cells(kBytes, 0);
      for (int i = 0; i < 48; ++i)
        if ((sync >> (47 - i)) & 1) setCell(cells, offset + i, 1);
      TMfmSyncScanner scanner(cells, kTo);
      const std::int32_t expected = changed < 0 && offset < kTo ? offset : -1;
      ASSERT_EQ(scanner.Next(0), expected) << offset << " " << changed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SectorAccess, WithSyncScan,
                         testing::Values(SyncScan::Portable, SyncScan::Vector),
                         [](const testing::TestParamInfo<SyncScan>& scan) {
                           return scan.param == SyncScan::Vector ? "Vector" : "Portable";
                         });

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
  EXPECT_EQ(AsBytes(other->data), sides1[8].data);
  auto first = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->sector, 1);
  trk_resetSearchPosition(*access);
  EXPECT_TRUE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_searchSector(*access, 0, 0, 10, SectorSearch::IsoIbmMfm));
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, static_cast<SectorSearch>(1)));
}

// FM cells written by hand: "0c0d" per data bit, c from the clock byte and d from the data byte.
class TFmTrack {
 public:
  void Byte(std::uint8_t value, std::uint8_t clock = 0xFF) {
    for (int bit = 7; bit >= 0; --bit)
      for (int cell : {0, (clock >> bit) & 1, 0, (value >> bit) & 1}) Cell(cell);
  }
  void Run(std::uint8_t value, int count) {
    for (int i = 0; i < count; ++i) Byte(value);
  }
  // A field after its mark (clock 0xC7), followed by its CRC over the mark and the field.
  void Field(std::uint8_t mark, const Bytes& field) {
    Run(0x00, 6);
    Byte(mark, 0xC7);
    Bytes covered = {mark};
    covered.insert(covered.end(), field.begin(), field.end());
    const std::uint16_t crc = hfe_test::BitwiseCrc(covered);
    for (std::uint8_t b : field) Byte(b);
    Byte(static_cast<std::uint8_t>(crc >> 8));
    Byte(static_cast<std::uint8_t>(crc));
  }
  std::int32_t CellCount() const { return static_cast<std::int32_t>(cells_); }
  Bytes Finish() {
    Run(0xFF, 40);
    return bytes_;
  }

 private:
  void Cell(int value) {
    if (cells_ % 8 == 0) bytes_.push_back(0);
    if (value) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80 >> (cells_ % 8)));
    ++cells_;
  }
  Bytes bytes_;
  std::size_t cells_ = 0;
};

// The FM walk, like the MFM one, ends an identity field at the next identity mark (sector 1 has no
// data field, and sector 2's is not taken for it) and reports a data field without identity.
TEST(SectorAccess, FmWalkStopsAtTheNextIdentityAndFindsLoneDataFields) {
  const Bytes data = hfe_test::RandomBytes(256, 12);
  TFmTrack track;
  track.Run(0xFF, 16);
  const std::int32_t first = track.CellCount() + 6 * 32;
  track.Field(0xFE, {0, 0, 1, 1});
  track.Run(0xFF, 11);
  const std::int32_t second = track.CellCount() + 6 * 32;
  track.Field(0xFE, {0, 0, 2, 1});
  track.Run(0xFF, 11);
  track.Field(0xFB, data);
  track.Run(0xFF, 20);
  const std::int32_t lone = track.CellCount() + 6 * 32;
  track.Field(0xF8, {7, 0, 3, 1, 0xE5});
  auto floppy = CellFloppy({{track.Finish()}});
  auto context = trk_init();
  auto access = trk_initSectorAccess(*context, *floppy);
  const struct {
    std::int32_t start, id, size, useDataMark, dataMark;
    Bytes data;
  } expected[] = {{first, 1, 256, 0, 0xFB, {}},
                  {second, 2, 256, 0xFF, 0xFB, data},
                  {lone, 3, 0, 0xFF, 0xF8, {}}};
  for (const auto& e : expected) {
    auto sector = trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmFm);
    ASSERT_TRUE(sector) << e.id;
    EXPECT_EQ(sector->startCell, e.start);
    EXPECT_EQ(sector->sector, e.id);
    EXPECT_EQ(sector->size, e.size);
    EXPECT_EQ(sector->useDataMark, e.useDataMark);
    EXPECT_EQ(sector->dataMark, e.dataMark);
    EXPECT_EQ(AsBytes(sector->data), e.data);
  }
  EXPECT_FALSE(trk_getNextSector(*access, 0, 0, SectorSearch::IsoIbmFm));
  // Read by id: sector 1 has no data, sector 2 reads whole.
  Bytes buffer(512, 0xAA);
  int status = -1;
  EXPECT_EQ(trk_readSectorData(*access, 0, 0, 1, 2, 256, SectorSearch::IsoIbmFm, buffer, status),
            1);
  EXPECT_EQ(status, kSectorBadCrc);
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 256), Bytes(256, 0xAA));
  EXPECT_EQ(Bytes(buffer.begin() + 256, buffer.end()), data);

  // Data marks back to back: each is a record of its own, and the walk reaches the identity
  // field after them.
  TFmTrack marks;
  marks.Run(0xFF, 30);
  const std::int32_t firstMark = marks.CellCount();
  for (int i = 0; i < 300; ++i) marks.Byte(0xF8 + static_cast<std::uint8_t>(i % 4), 0xC7);
  const std::int32_t last = marks.CellCount() + 6 * 32;
  marks.Field(0xFE, {1, 0, 9, 1});
  auto marked = CellFloppy({{marks.Finish()}});
  auto markAccess = trk_initSectorAccess(*context, *marked);
  for (int i = 0; i < 300; ++i) {
    auto sector = trk_getNextSector(*markAccess, 0, 0, SectorSearch::IsoIbmFm);
    ASSERT_TRUE(sector) << i;
    EXPECT_EQ(sector->startCell, firstMark + 32 * i);
    EXPECT_EQ(sector->dataMark, 0xF8 + i % 4);
    EXPECT_FALSE(sector->hasHeader());
  }
  auto identity = trk_getNextSector(*markAccess, 0, 0, SectorSearch::IsoIbmFm);
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->startCell, last);
  EXPECT_EQ(identity->sector, 9);
}

TrackFormat Format(int code) {
  return static_cast<TrackFormat>(code);
}

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

void AppendCrc(Bytes& out, const Bytes& field, std::uint16_t polynomial = 0x1021,
               std::uint16_t initial = 0xFFFF) {
  const std::uint16_t crc = hfe_test::BitwiseCrc(field, polynomial, initial);
  out.push_back(static_cast<std::uint8_t>(crc >> 8));
  out.push_back(static_cast<std::uint8_t>(crc));
}

// One side of track 3, head 1, with sectors 5 and 6 of 256 bytes and gap 3 of 10 (or the gap
// table's, with count sectors and gap3 255).
std::unique_ptr<TFloppy> Build(TLibContext& context, int format, const Bytes& data, int count = 2,
                               int size = 256, int gap3 = 10, int bitRate = 250000) {
  auto builder = trk_init_floppy(context, 4, 2);
  trk_setTrackBitrate(*builder, bitRate);
  trk_setSectorGap3(*builder, gap3);
  if (trk_pushTrack(*builder, 300, 3, 1, Format(format)) != kOk) return nullptr;
  for (int i = 0; i < count; ++i)
    trk_addSector(
        *builder, 5 + i, 1, 3,
        std::span(data).subspan(static_cast<std::size_t>(i * size), static_cast<std::size_t>(size)),
        size);
  if (trk_popTrack(*builder) != kOk) return nullptr;
  return trk_getFloppy(std::move(builder));
}

// A search by id looks at a bounded number of address marks of a side: sector 5 as the last
// mark within the bound is found, one mark later it is not, though the walk still meets it.
TEST(SectorAccess, SearchLooksAtABoundedNumberOfMarks) {
  for (const SectorSearch encoding : {SectorSearch::IsoIbmMfm, SectorSearch::IsoIbmFm}) {
    for (const std::int32_t before : {kMaxSearchedMarks - 1, kMaxSearchedMarks}) {
      hfe_test::TMfmTrack mfm;
      TFmTrack fm;
      const auto identity = [&](std::uint8_t id) {
        if (encoding == SectorSearch::IsoIbmFm) {
          fm.Field(0xFE, {0, 0, id, 0});
          fm.Run(0xFF, 4);
          return;
        }
        for (int k = 0; k < 3; ++k) mfm.SyncA1();
        const std::uint16_t crc = hfe_test::BitwiseCrc({0xA1, 0xA1, 0xA1, 0xFE, 0, 0, id, 0});
        mfm.Bytes({0xFE, 0, 0, id, 0, static_cast<std::uint8_t>(crc >> 8),
                   static_cast<std::uint8_t>(crc), 0x4E, 0x4E, 0x4E, 0x4E});
      };
      for (std::int32_t i = 0; i < before; ++i) identity(0xEE);
      identity(5);
      auto floppy = CellFloppy(
          {{encoding == SectorSearch::IsoIbmFm ? fm.Finish() : mfm.Finish(mfm.CellCount() / 8)}});
      auto context = trk_init();
      auto access = trk_initSectorAccess(*context, *floppy);
      const auto found = trk_searchSector(*access, 0, 0, 5, encoding);
      EXPECT_EQ(found != nullptr, before < kMaxSearchedMarks) << before;
      trk_resetSearchPosition(*access);
      std::int32_t walked = 0;
      std::int32_t lastId = -1;
      while (auto sector = trk_getNextSector(*access, 0, 0, encoding)) {
        ++walked;
        lastId = sector->sector;
      }
      EXPECT_EQ(walked, before + 1);
      EXPECT_EQ(lastId, 5);
    }
  }
}

TEST(FormatRows, LayOutTheDescribedBytes) {
  const Bytes data = hfe_test::RandomBytes(512, 8);
  const Bytes d0(data.begin(), data.begin() + 256), d1(data.begin() + 256, data.end());
  const Bytes a1x3 = {0xA1, 0xA1, 0xA1};
  // Identity fields of sectors 5 and 6 (size code 1), with and without the head byte.
  const auto chrn = [](int r) { return Bytes{3, 1, static_cast<std::uint8_t>(r), 1}; };
  const auto crn = [](int r) { return Bytes{3, static_cast<std::uint8_t>(r), 1}; };
  // An MFM record with three sync bytes per field.
  const auto mfm = [&](Bytes& out, const Bytes& id, const Bytes& d, std::uint8_t dataMark,
                       std::uint16_t polynomial, std::uint16_t initial) {
    Append(out, Bytes(12, 0x00));
    Bytes field = a1x3;
    field.push_back(0xFE);
    Append(field, id);
    Append(out, field);
    AppendCrc(out, field, polynomial, initial);
    Append(out, Bytes(22, 0x4E));
    Append(out, Bytes(12, 0x00));
    field = a1x3;
    field.push_back(dataMark);
    Append(field, d);
    Append(out, field);
    AppendCrc(out, field, polynomial, initial);
    Append(out, Bytes(10, 0x4E));
  };
  // An FM record: marks without sync bytes; gaps of `gap`.
  const auto fm = [&](Bytes& out, const Bytes& id, const Bytes& d, std::uint8_t gap) {
    Append(out, Bytes(6, 0x00));
    Bytes field = {0xFE};
    Append(field, id);
    Append(out, field);
    AppendCrc(out, field);
    Append(out, Bytes(11, gap));
    Append(out, Bytes(6, 0x00));
    field = {0xFB};
    Append(field, d);
    Append(out, field);
    AppendCrc(out, field);
    Append(out, Bytes(10, gap));
  };
  Bytes indexPrologue(80, 0x4E);
  Append(indexPrologue, Bytes(12, 0x00));
  Append(indexPrologue, Bytes{0xC2, 0xC2, 0xC2, 0xFC});
  Append(indexPrologue, Bytes(50, 0x4E));
  // Formats with an index mark: two MFM records after it.
  const auto indexed = [&](auto id, std::uint16_t initial, std::uint16_t polynomial) {
    Bytes out = indexPrologue;
    mfm(out, id(5), d0, 0xFB, polynomial, initial);
    mfm(out, id(6), d1, 0xFB, polynomial, initial);
    return out;
  };

  const struct {
    int format;
    bool fm;
    std::function<Bytes()> expected;
  } cases[] = {
      {3, true,
       [&] {
         Bytes out(16, 0xFF);
         fm(out, chrn(5), d0, 0xFF);
         fm(out, chrn(6), d1, 0xFF);
         return out;
       }},
      {4, false,
       [&] {
         Bytes out(60, 0x4E);
         mfm(out, chrn(5), d0, 0xFB, 0x1021, 0xFFFF);
         mfm(out, chrn(6), d1, 0xFB, 0x1021, 0xFFFF);
         return out;
       }},
      {6, false,
       [&] {
         Bytes out(40, 0x00);
         for (int r = 5; r <= 6; ++r) {
           Append(out, Bytes(2, 0x00));
           Bytes field = {0xA1, 0xA1, 0xFF};
           Append(field, chrn(r));
           Append(out, field);
           AppendCrc(out, field);
           field = {0xFB};
           Append(field, r == 5 ? d0 : d1);
           Append(out, field);
           AppendCrc(out, field);
           Append(out, Bytes(10, 0x00));
         }
         return out;
       }},
      {2, false, [&] { return indexed(chrn, 0xFFFF, 0x1021); }},
      {8, false, [&] { return indexed(chrn, 0x0000, 0x1021); }},
      {14, false, [&] { return indexed(crn, 0xFFFF, 0x1021); }},
      {15, false, [&] { return indexed(chrn, 0x0000, 0x8005); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    auto context = trk_init();
    auto floppy = Build(*context, c.format, data);
    ASSERT_TRUE(floppy);
    const TSide& side = *floppy->Side(3, 1);
    EXPECT_EQ(side.trackLength % 32, 0);
    const Bytes expected = c.expected();
    Bytes decoded(expected.size());
    const TCellRing ring(side.cellData, side.trackLength);
    if (c.fm) {
      fmDecode(ring, decoded, 0);
    } else {
      mfmDecode(ring, decoded, 0);
    }
    EXPECT_EQ(decoded, expected);
  }
}

TEST(FormatRows, GapTableAndParsers) {
  const struct {
    int format, count, size, bitRate;
    SectorSearch search;
    std::int32_t firstStartByte, recordBytes;  // bytes, from the row and the gap table
  } cases[] = {
      // Format 2, 9 x 512: gap 3 of 80, after the index prologue.
      {2, 9, 512, 250000, SectorSearch::IsoIbmMfm, 146 + 12, 654},
      // Format 4, 9 x 512: gap 3 of 84; each record 12+3+1+4+2+22+12+3+1+512+2+84 bytes.
      {4, 9, 512, 250000, SectorSearch::IsoIbmMfm, 60 + 12, 658},
      // Format 3, 10 x 256: gap 3 of 18; each record 6+1+4+2+11+6+1+256+2+18 bytes.
      {3, 10, 256, 250000, SectorSearch::IsoIbmFm, 16 + 6, 307},
      // Format 16 (deleted-data marks), 9 x 512: no gap-table row, so gap 3 is the equal share of
      // the time left, (20,000 - 467 - 250 - 9 x 1,843) / 9 units, that is 93 bytes.
      {16, 9, 512, 250000, SectorSearch::IsoIbmMfm, 146 + 12, 574 + 93},
      // Format 5 (compact): 11 x 512 fit at 300 rpm with gap 3 cut to 0.
      {5, 11, 512, 250000, SectorSearch::IsoIbmMfm, 32 + 8, 560},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format * 100 + c.count);
    auto context = trk_init();
    const Bytes data = hfe_test::RandomBytes(static_cast<std::size_t>(c.count * c.size), 4);
    auto floppy = Build(*context, c.format, data, c.count, c.size, 255, c.bitRate);
    ASSERT_TRUE(floppy);
    auto access = trk_initSectorAccess(*context, *floppy);
    const TSectorList sectors = trk_getAllTrackSectors(*access, 3, 1, c.search);
    ASSERT_EQ(sectors.size(), static_cast<std::size_t>(c.count));
    const std::int32_t cellsPerByte = c.search == SectorSearch::IsoIbmFm ? 32 : 16;
    for (int i = 0; i < c.count; ++i) {
      const TSectorConfig& sector = *sectors[static_cast<std::size_t>(i)];
      EXPECT_EQ(sector.sector, 5 + i);
      EXPECT_EQ(sector.startCell, (c.firstStartByte + i * c.recordBytes) * cellsPerByte);
      EXPECT_EQ(sector.dataCrcError, 0);
      EXPECT_EQ(sector.dataMark, c.format == 16 ? 0xF8 : 0xFB);
      EXPECT_EQ(AsBytes(sector.data),
                Bytes(data.begin() + i * c.size, data.begin() + (i + 1) * c.size));
    }
  }
}

// Formats 9 to 13 have no byte coding: a side as long as the layout's estimate at 16 cells per
// byte, every cell 0, with its own encoding and the index pulse. Here the estimate is 73 bytes of
// prologue and two sectors of 301 bytes (1,080 cells, 2,160 units of 10 us), and the 17,840 units
// left of 20,000 add 89,200 cells: 100,000 cells, the index pulse over the last 1,250.
TEST(FormatRows, FormatsWithoutACodingMakeBlankSides) {
  const struct {
    int format;
    std::int32_t encoding;
  } cases[] = {{9, 3}, {10, 6}, {11, 7}, {12, 0}, {13, 0}};
  const Bytes data = hfe_test::RandomBytes(512, 3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    auto context = trk_init();
    auto floppy = Build(*context, c.format, data);
    ASSERT_TRUE(floppy);
    const TSide& side = *floppy->Side(3, 1);
    EXPECT_EQ(side.trackLength, 100000);
    EXPECT_EQ(AsBytes(side.cellData), Bytes(12500, 0));
    EXPECT_EQ(static_cast<std::int32_t>(side.trackEncoding), c.encoding);
    Bytes index(12500, 0);
    std::fill(index.begin() + 98750 / 8, index.end(), 0xFF);
    EXPECT_EQ(AsBytes(side.indexMap), index);
    std::vector<TSectorConfig> sectors(2);
    for (auto& sector : sectors) {
      sector.size = 256;
      sector.gap3 = 10;
    }
    EXPECT_EQ(trk_getTrackSize(Format(c.format), sectors), 73 + 2 * (301 - 2));
  }
  // Codes outside the table are refused.
  auto context = trk_init();
  for (int format : {0, 19}) EXPECT_FALSE(Build(*context, format, data)) << format;
  EXPECT_EQ(trk_getTrackSize(Format(19), {}), kBadParameter);
}

}  // namespace
}  // namespace hfe
