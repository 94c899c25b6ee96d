// The sync words repeat every 16 cells, so the 16 cells at any aligned position inside a match
// are the sync word rotated left by that position's distance from the match, modulo 16. The
// search looks at the aligned 16-cell words every 32 cells (every match wholly covers one), finds
// by a small perfect hash whether a word is such a rotation, and checks the two starts it allows.
// The vector scan looks at every byte of 32 at once, 64 per block: the first whole byte of a
// match at a cell p is at q = ceil(p / 8), and the bytes q to q + 4 are then H L H L H, where H
// and L are the bytes of the sync word rotated left by k = 8q - p (0 to 7). Nibble tables tell
// which k, if any, gives a byte pair, and the bytes around the five tell whether the match is
// whole.
#include "hfe/mfm_sync_scan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>

// The vector scan: x86 processors with AVX2 (checked at run time), in 64- and 32-bit builds.
#if defined(__x86_64__) || defined(__i386__)
#define QB_VECTOR_SYNC_SCAN 1
#include <immintrin.h>
#endif

#include "hfe/bit_stream.h"

namespace hfe {

namespace {

using sync_scan::kSync;
using sync_scan::kSyncCells;
using sync_scan::Rotation;

constexpr int kHashBits = 6;

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

std::atomic<SyncScan> chosenScan{SyncScan::Vector};

#if defined(QB_VECTOR_SYNC_SCAN)
// Per nibble: the rotations by 0 to 7 whose high (`lowByte` false) or low byte has that value
// in its high (`lowNibble` false) or low nibble.
constexpr std::array<std::uint8_t, 16> NibbleRotations(bool lowByte, bool lowNibble) {
  std::array<std::uint8_t, 16> set{};
  for (int shift = 0; shift < 8; ++shift) {
    const std::uint16_t word = Rotation(shift);
    const auto byte = static_cast<std::uint8_t>(lowByte ? word : word >> 8);
    set[lowNibble ? (byte & 15) : (byte >> 4)] |= static_cast<std::uint8_t>(1u << shift);
  }
  return set;
}
constexpr std::array<std::array<std::uint8_t, 16>, 4> kNibbleRotations = {
    NibbleRotations(false, false), NibbleRotations(false, true), NibbleRotations(true, false),
    NibbleRotations(true, true)};

__attribute__((target("avx2"))) __m256i Load(const std::uint8_t* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// The rotations whose high (`table` 0) or low (2) byte is each byte of `bytes`.
__attribute__((target("avx2"))) __m256i RotationsOf(__m256i bytes, int table) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const auto half = [](const std::array<std::uint8_t, 16>& t) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data()));
  };
  const __m256i high = _mm256_broadcastsi128_si256(half(kNibbleRotations[table]));
  const __m256i low = _mm256_broadcastsi128_si256(half(kNibbleRotations[table + 1]));
  return _mm256_and_si256(
      _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble)),
      _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble)));
}

// Bit i: a match has the byte of cells at + i for its first whole byte. The bytes at + i to
// at + i + 4 fit a rotation by some k from 0 to 7 (H L H L H), the last k cells of the byte
// before and the first 8 - k of the byte after are those of L. `before` holds the bytes from
// at - 1. Reads the 37 bytes from at - 1.
__attribute__((target("avx2"))) std::uint32_t HalfMatchStarts(const std::uint8_t* at,
                                                              __m256i before) {
  const __m256i b0 = Load(at), b1 = Load(at + 1);
  const __m256i repeats = _mm256_and_si256(
      _mm256_and_si256(_mm256_cmpeq_epi8(b0, Load(at + 2)), _mm256_cmpeq_epi8(b1, Load(at + 3))),
      _mm256_cmpeq_epi8(b0, Load(at + 4)));
  // One bit, 1 << k, where a rotation fits; the k low cells are then (1 << k) - 1.
  const __m256i rotation = _mm256_and_si256(RotationsOf(b0, 0), RotationsOf(b1, 2));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i none = _mm256_cmpeq_epi8(rotation, zero);
  const __m256i low = _mm256_sub_epi8(rotation, _mm256_set1_epi8(1));
  const __m256i ends =
      _mm256_or_si256(_mm256_and_si256(_mm256_xor_si256(before, b1), low),
                      _mm256_andnot_si256(low, _mm256_xor_si256(Load(at + 5), b1)));
  const __m256i fits = _mm256_andnot_si256(none, _mm256_cmpeq_epi8(ends, zero));
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(fits, repeats)));
}

// The same for 64 bytes from `at` (reads the 69 from at - 1; the byte before the side's first
// counts as 0).
__attribute__((target("avx2"))) std::uint64_t MatchStarts(const std::uint8_t* at, bool first) {
  __m256i before;
  if (first) {
    // The first 32 bytes moved up by one, a 0 coming in.
    const __m256i b0 = Load(at);
    before = _mm256_alignr_epi8(b0, _mm256_permute2x128_si256(b0, b0, 0x08), 15);
  } else {
    before = Load(at - 1);
  }
  return HalfMatchStarts(at, before) | std::uint64_t{HalfMatchStarts(at + 32, Load(at + 31))} << 32;
}
#endif

}  // namespace

bool VectorSyncScanAvailable() {
#if defined(QB_VECTOR_SYNC_SCAN)
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
#else
  return false;
#endif
}

void SetSyncScan(SyncScan scan) {
  chosenScan.store(scan, std::memory_order_relaxed);
}

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

bool TMfmSyncScanner::VectorScanChosen() {
  return chosenScan.load(std::memory_order_relaxed) == SyncScan::Vector &&
         VectorSyncScanAvailable();
}

TMfmSyncScanner::TBlock TMfmSyncScanner::NextBlock(std::span<const std::uint8_t> cells,
                                                   std::int32_t to,
                                                   [[maybe_unused]] std::int64_t block,
                                                   std::int32_t from) {
  const std::int64_t firstByte = (std::int64_t{from} + 7) >> 3;
#if defined(QB_VECTOR_SYNC_SCAN)
  constexpr std::int64_t kBlock = 64;
  constexpr std::int64_t kBlockReads = kBlock + 5;
  block = block < 0 ? firstByte : std::max(block + kBlock, firstByte);
  // Past the first whole byte of a match before `to`: none left.
  if (block > (std::int64_t{to} + 6) >> 3) return {.first = block, .result = -1};
  if (block + kBlockReads <= static_cast<std::int64_t>(cells.size()))
    return {.first = block, .found = MatchStarts(cells.data() + block, block == 0)};
  // The last bytes: a word at a time from the first position no block looked at.
  from = static_cast<std::int32_t>(std::max<std::int64_t>(from, block * 8 - 7));
#endif
  return {.first = firstByte, .result = FindMfmSyncInside(cells, from, to), .vector = false};
}

}  // namespace hfe
