// MFM coding and the cell pattern search.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "hfe/bit_stream.h"
#include "hfe/mfm_codec.h"
#include "test_track_writer.h"

namespace hfe {
namespace {

using hfe_test::Bytes;

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
    const auto start = static_cast<std::int32_t>(random() % static_cast<unsigned>(length));
    const std::int32_t distances[] = {-1, 0, 17, 832, length + 5};
    for (std::int32_t distance : distances)
      ASSERT_EQ(searchBitStream(cells, length, distance, pattern, patternCells, start),
                NaiveSearch(cells, length, distance, pattern, patternCells, start))
          << "iteration " << iteration << " distance " << distance;
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

}  // namespace
}  // namespace hfe
