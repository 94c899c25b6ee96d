// The sync words repeat every 16 cells, so the 16 cells at any aligned position inside a match
// are the sync word rotated left by that position's distance from the match, modulo 16. The
// search looks at the aligned 16-cell words every 32 cells (every match wholly covers one), finds
// by a small perfect hash whether a word is such a rotation, and checks the two starts it allows.
#include "hfe/mfm_sync_scan.h"

#include <array>

#include "hfe/bit_stream.h"

namespace hfe {

namespace {

constexpr std::uint16_t kSyncWord = 0x4489;
constexpr std::uint64_t kSync = 0x448944894489;
constexpr int kSyncCells = 48;
constexpr int kHashBits = 6;

constexpr std::uint16_t Rotation(int shift) {
  return static_cast<std::uint16_t>(kSyncWord << shift | kSyncWord >> ((16 - shift) & 15));
}

constexpr std::uint32_t Slot(std::uint32_t word, std::uint32_t multiplier) {
  return (word * multiplier) >> (32 - kHashBits);
}

// An odd multiplier that gives each rotation its own slot.
constexpr std::uint32_t kMultiplier = [] {
  for (std::uint32_t multiplier = 0x9E3779B1u;; multiplier += 2) {
    std::uint64_t used = 0;
    bool distinct = true;
    for (int shift = 0; shift < 16 && distinct; ++shift) {
      const std::uint64_t bit = std::uint64_t{1} << Slot(Rotation(shift), multiplier);
      distinct = (used & bit) == 0;
      used |= bit;
    }
    if (distinct) return multiplier;
  }
}();

// Per slot: the rotation's word << 8 | its shift; all ones (no word) in empty slots.
constexpr std::array<std::uint32_t, 1u << kHashBits> kRotations = [] {
  std::array<std::uint32_t, 1u << kHashBits> table{};
  table.fill(0xFFFFFFFFu);
  for (int shift = 0; shift < 16; ++shift)
    table[Slot(Rotation(shift), kMultiplier)] =
        static_cast<std::uint32_t>(Rotation(shift)) << 8 | static_cast<std::uint32_t>(shift);
  return table;
}();

}  // namespace

std::int32_t FindMfmSyncInside(std::span<const std::uint8_t> cells, std::int32_t from,
                               std::int32_t to) {
  if (from >= to) return -1;
  const std::uint8_t* bytes = cells.data();
  // A match at p covers the word at the next multiple of 32 at or after p.
  for (std::int32_t word = (from + 31) & ~31; word < to + 31; word += 32) {
    const std::uint8_t* at = bytes + (word >> 3);
    const std::uint32_t value = static_cast<std::uint32_t>(at[0]) << 8 | at[1];
    if (value == 0) {
      // Unwritten stretches are crossed eight bytes at a time (two words, no rotation).
      std::int32_t next = word;
      while (next + 64 <= to && EightZeros(bytes + (next >> 3))) next += 64;
      if (next > word) word = next - 32;  // the word at `next` is looked at next
      continue;
    }
    const std::uint32_t entry = kRotations[Slot(value, kMultiplier)];
    if ((entry >> 8) != value) continue;
    const std::int32_t start = word - static_cast<std::int32_t>(entry & 0xFF);
    for (const std::int32_t position : {start - 16, start})
      if (position >= from && position < to &&
          CellWindow(bytes, position) >> (64 - kSyncCells) == kSync)
        return position;
  }
  return -1;
}

}  // namespace hfe
