// The adaptive distance tree keeps a complete prefix code after arbitrary counts; its codes in
// known states are pinned by the hand-written code streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

#include "disk/xsa_core.h"

namespace {

using disk::kXsaClassCount;
using disk::THufCodes;
using disk::TXSCore;

THufCodes CodesOf(const TXSCore& core) {
  THufCodes codes{};
  core.MakeCodes(codes);
  return codes;
}

// Every class has one code, no code is a prefix of another, the code lengths fill the code space
// exactly (Kraft sum 1) and no code is longer than 15 bits, whatever the counts.
TEST(XsaCore, TreeStaysCompletePrefixFreeAndShallowAfterRandomCounts) {
  std::mt19937 random(11);
  TXSCore core;
  for (int round = 0; round < 3000; ++round) {
    // Skewed counts reach the deepest trees; uniform ones the flattest.
    const int skew = round % 4;
    for (int i = 0; i < 128; ++i) {
      int c = static_cast<int>(random() % kXsaClassCount);
      if (skew == 1) c = static_cast<int>(std::min<unsigned>(random() % 64, 15));
      if (skew == 2) c = std::countr_zero(random() | 0x8000u);
      core.CountDistance(c);
    }
    const THufCodes codes = CodesOf(core);
    std::uint64_t kraft = 0;  // in units of 2^-15
    for (int c = 0; c < kXsaClassCount; ++c) {
      ASSERT_GE(codes[c].length, 1);
      ASSERT_LE(codes[c].length, 15);
      kraft += 1u << (15 - codes[c].length);
      for (int d = 0; d < kXsaClassCount; ++d) {
        if (d == c || codes[d].length < codes[c].length) continue;
        ASSERT_NE(codes[d].bits >> (codes[d].length - codes[c].length), codes[c].bits)
            << "code of " << c << " is a prefix of the code of " << d;
      }
    }
    ASSERT_EQ(kraft, 1u << 15);
  }
}

}  // namespace
