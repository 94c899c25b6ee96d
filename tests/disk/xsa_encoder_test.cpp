// Which items the encoder chooses: greedy matches, the newest of equal candidates, no match
// shorter than two bytes, and a window that only reaches bytes that are still in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "xsa_test_support.h"

namespace {

using xsa_test::Bytes;
using xsa_test::Encode;
using xsa_test::TItem;

std::vector<TItem> ItemsOf(const Bytes& data) {
  const Bytes container = Encode(data);
  return xsa_test::TItemReader(container).Items();
}

constexpr TItem kLiteral{};
TItem Match(int length, int distance) {
  return {length, distance};
}

TEST(XsaEncoder, ChoosesTheseItems) {
  const struct {
    const char* label;
    Bytes data;
    std::vector<TItem> items;
  } cases[] = {
      {"one zero", Bytes(1, 0), {kLiteral}},
      // The second zero would match the first, but only one byte is left: a literal.
      {"two zeros", Bytes(2, 0), {kLiteral, kLiteral}},
      {"three zeros", Bytes(3, 0), {kLiteral, Match(2, 1)}},
      {"254 zeros", Bytes(254, 0), {kLiteral, Match(253, 1)}},
      {"255 zeros", Bytes(255, 0), {kLiteral, Match(253, 1), kLiteral}},
      {"256 letters", Bytes(256, 'A'), {kLiteral, Match(253, 1), Match(2, 1)}},
      // Equal runs at distances 4 and 8: the newer candidate wins.
      {"newest of equals",
       {'A', 'B', 'C', 'x', 'A', 'B', 'C', 'y', 'A', 'B', 'C'},
       {kLiteral, kLiteral, kLiteral, kLiteral, Match(3, 4), kLiteral, Match(3, 4)}},
      // A longer run beats a newer one.
      {"longest first",
       {'A', 'B', 'C', 'D', 'x', 'A', 'B', 'C', 'y', 'A', 'B', 'C', 'D'},
       {kLiteral, kLiteral, kLiteral, kLiteral, kLiteral, Match(3, 5), kLiteral, Match(4, 9)}},
  };
  for (const auto& c : cases) EXPECT_EQ(ItemsOf(c.data), c.items) << c.label;
}

// Walks the items with their positions in the input, after checking that the container decodes
// to the input again.
template <typename Visit>
void ForEachItem(const Bytes& data, Visit visit) {
  const Bytes container = Encode(data);
  EXPECT_TRUE(xsa_test::Decode(container) == data) << "size " << data.size();
  std::size_t position = 0;
  for (const TItem& item : xsa_test::TItemReader(container).Items()) {
    visit(position, item);
    position += item.length == 0 ? 1 : static_cast<std::size_t>(item.length);
  }
  EXPECT_EQ(position, data.size());
}

// Each new byte overwrites the slot of the position 7,939 back, so while bytes come in a match
// reaches at most 7,938 back; only the last 253 positions, after the input ended, reach further.
TEST(XsaEncoder, MatchesReachOnlyBytesStillInTheWindow) {
  for (const std::size_t first : {7930u, 8185u}) {
    for (std::size_t period = first; period <= first + 15; ++period) {
      const Bytes pattern = xsa_test::RandomBytes(period, static_cast<std::uint32_t>(period));
      Bytes data(2 * period + 600);
      for (std::size_t i = 0; i < data.size(); ++i) data[i] = pattern[i % period];
      int longest = 0;
      std::size_t repeated = 0;  // bytes coded as a copy from one period back
      ForEachItem(data, [&](std::size_t position, const TItem& item) {
        if (position + 253 < data.size()) longest = std::max(longest, item.distance);
        if (item.distance == static_cast<int>(period)) repeated += item.length;
        EXPECT_LE(item.distance, 8191);
      });
      // Up to the reach, the second period is one long string of copies; beyond it none.
      if (period <= 7938) {
        EXPECT_GT(repeated, period / 2) << period;
      } else if (period < 8192) {
        EXPECT_LT(repeated, 254u) << period;
      }
      EXPECT_LE(longest, 7938) << period;
    }
  }
}

// A byte value seen more than 256 times keeps only its newest 256 positions. When an evicted
// position leaves the window, the newer positions must stay findable.
TEST(XsaEncoder, OverflowedRingKeepsItsNewestPositions) {
  constexpr std::uint8_t kMark = 0xAA;
  std::mt19937 random(31);
  Bytes data;
  for (int i = 0; i < 300; ++i)
    data.insert(data.end(), {kMark, static_cast<std::uint8_t>(random() % 0x80)});
  while (data.size() < 8030) data.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x2A));
  // Positions 0-87 were evicted from the ring and left the window by now; 100 is still inside.
  data.insert(data.end(), data.begin() + 100, data.begin() + 300);
  while (data.size() < 8600) data.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x2A));
  bool found = false;
  ForEachItem(data, [&](std::size_t position, const TItem& item) {
    if (position == 8030) found = item == Match(200, 7930);
  });
  EXPECT_TRUE(found);
}

TEST(XsaEncoder, UsesEveryDistanceClassAndRebuildsTheTreeOften) {
  std::set<int> classes;
  std::size_t matches = 0;
  const auto count = [&](std::size_t, const TItem& item) {
    if (item.length == 0) return;
    classes.insert(disk::TXSCore::DistanceClass(item.distance));
    ++matches;
  };
  Bytes far = xsa_test::RandomBytes(40000, 23);
  for (std::size_t i = 8200; i + 1 < far.size(); i += 5) {
    const std::size_t distance = 129 + (i * 2654435761u) % 7800;
    far[i] = far[i - distance];
    far[i + 1] = far[i + 1 - distance];
  }
  ForEachItem(far, count);
  // A four-letter alphabet over 720 KB: short matches everywhere.
  ForEachItem(xsa_test::RandomBytes(xsa_test::kImageSize, 29, 4), count);
  EXPECT_EQ(classes.size(), 16u);
  EXPECT_GT(matches, 65536u);
}

}  // namespace
