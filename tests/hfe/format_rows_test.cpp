// Track formats other than ISO/IBM MFM: the bytes each row lays out, worked out from the format
// description, and the gap table's rows for formats 3 and 4.
#include <gtest/gtest.h>

#include <functional>

#include "hfe/floppy_builder.h"
#include "hfe/fm_codec.h"
#include "hfe/mfm_codec.h"
#include "hfe/sector_enumeration.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

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
      EXPECT_EQ(sector.data, Bytes(data.begin() + i * c.size, data.begin() + (i + 1) * c.size));
    }
  }
}

TEST(FormatRows, FormatsWithoutACoderAreRefused) {
  auto context = trk_init();
  const Bytes data(512, 0);
  for (int format = 0; format <= 19; ++format)
    EXPECT_EQ(!!Build(*context, format, data),
              format > 0 && format < 19 && (format < 9 || format > 13))
        << format;
}

}  // namespace
}  // namespace hfe
