// A fast search for the MFM address-mark sync (three sync words 0x4489) inside a track side.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <span>

#include "hfe/bit_stream.h"

namespace hfe {

namespace sync_scan {

inline constexpr std::uint16_t kSyncWord = 0x4489;
inline constexpr std::uint64_t kSync = 0x448944894489;
inline constexpr int kSyncCells = 48;

// The sync word rotated left by `shift` (0 to 15) cells.
constexpr std::uint16_t Rotation(int shift) {
  return static_cast<std::uint16_t>(kSyncWord << shift | kSyncWord >> ((16 - shift) & 15));
}

// Per low byte of a rotation by 0 to 7 (they all differ): that rotation.
inline constexpr std::array<std::uint8_t, 256> kPhaseOfLowByte = [] {
  std::array<std::uint8_t, 256> table{};
  for (int shift = 0; shift < 8; ++shift)
    table[Rotation(shift) & 0xFF] = static_cast<std::uint8_t>(shift);
  return table;
}();

}  // namespace sync_scan

// The first position in [from, to) where the three sync words start, or -1. The caller keeps
// every cell looked at inside the side's bytes: (to >> 3) + 12 <= cells.size(), and
// to + 48 <= the side's length so that no match wraps.
std::int32_t FindMfmSyncInside(std::span<const std::uint8_t> cells, std::int32_t from,
                               std::int32_t to);

// How the scanner below looks at the cells: a word at a time, or 64 bytes at a time with the
// processor's vector instructions where it has them (x86-64 with AVX2). Both find the same.
enum class SyncScan { Portable, Vector };
bool VectorSyncScanAvailable();
// The way scanners made from now on use; the vector one when available, unless a test chose.
void SetSyncScan(SyncScan scan);

// Successive searches for the sync from growing positions over the same cells and limit, as
// FindMfmSyncInside (same conditions on `to`). The vector scan keeps the block it looked at
// ahead of the position, so a walk over many matches looks at each byte once.
class TMfmSyncScanner {
 public:
  TMfmSyncScanner(std::span<const std::uint8_t> cells, std::int32_t to)
      : cells_(cells), to_(to), vector_(VectorScanChosen()) {}

  // The first match in [from, to), or -1; `from` is past the match found before.
  std::int32_t Next(std::int32_t from) {
    if (!vector_) return FindMfmSyncInside(cells_, from, to_);
    const std::uint8_t* bytes = cells_.data();
    for (;;) {
      // Bytes that a match may start in; each is dropped once looked at, so the blocks are
      // scanned ahead of the walk and the walk's position only filters what they found.
      while (found_ != 0) {
        const std::int64_t byte = block_ + std::countr_zero(found_);
        found_ &= found_ - 1;
        const std::int64_t position = byte * 8 - sync_scan::kPhaseOfLowByte[bytes[byte + 1]];
        if (position < from) continue;
        return position < to_ ? static_cast<std::int32_t>(position) : -1;
      }
      const TBlock next = NextBlock(cells_, to_, block_, from);
      block_ = next.first;
      found_ = next.found;
      if (next.result != kBlockLoaded) {
        vector_ = next.vector;
        return next.result;
      }
    }
  }

 private:
  static constexpr std::int32_t kBlockLoaded = -2;
  // Whether scanners use the vector scan now.
  static bool VectorScanChosen();
  struct TBlock {
    std::int64_t first = 0;
    std::uint64_t found = 0;
    std::int32_t result = kBlockLoaded;  // else what Next returns
    bool vector = true;                  // false: the rest is searched a word at a time
  };
  // The block after `block` (-1: none yet), or the one at `from` when that is further. A free
  // function, so that the scanner's state stays in registers in the walk's loop.
  static TBlock NextBlock(std::span<const std::uint8_t> cells, std::int32_t to, std::int64_t block,
                          std::int32_t from);

  std::span<const std::uint8_t> cells_;
  std::int32_t to_ = 0;
  bool vector_ = false;
  std::int64_t block_ = -1;  // the first byte of the block looked at, -1 before the first
  std::uint64_t found_ = 0;  // per byte of the block not yet looked at: a match may have it first
};

}  // namespace hfe
