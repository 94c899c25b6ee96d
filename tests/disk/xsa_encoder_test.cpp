// Which items the encoder chooses: greedy matches, the newest of equal candidates, the longest
// run first and no match shorter than two bytes.
#include <gtest/gtest.h>

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

}  // namespace
