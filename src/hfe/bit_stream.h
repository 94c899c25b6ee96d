// Cell access and pattern search on a track side's ring of cells. Cell P is bit 7 - (P mod 8) of
// byte P div 8; positions past the end of the track wrap to its start.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace hfe {

// A read-only view of a ring of cells. The length is clamped to what the bytes hold.
class TCellRing {
 public:
  TCellRing(std::span<const std::uint8_t> cells, std::int32_t trackLength);

  std::int32_t Length() const { return length_; }
  std::span<const std::uint8_t> Bytes() const { return cells_; }
  // Wraps any position into 0 .. Length - 1; Length must be positive.
  std::int32_t Wrap(std::int64_t position) const {
    if (position >= 0 && position < length_) return static_cast<std::int32_t>(position);
    const std::int64_t p = position % length_;
    return static_cast<std::int32_t>(p < 0 ? p + length_ : p);
  }
  int Cell(std::int32_t position) const {
    return (cells_[static_cast<std::size_t>(position >> 3)] >> (7 - (position & 7))) & 1;
  }
  // `count` (at most 32) cells from `position`, wrapping, first cell in the highest bit.
  std::uint32_t Cells(std::int32_t position, int count) const {
    const auto index = static_cast<std::size_t>(position >> 3);
    if (count <= 16 && position + count <= length_ && index + 2 < cells_.size()) {
      const std::uint32_t window = static_cast<std::uint32_t>(cells_[index]) << 16 |
                                   static_cast<std::uint32_t>(cells_[index + 1]) << 8 |
                                   cells_[index + 2];
      return (window >> (24 - (position & 7) - count)) & ((1u << count) - 1);
    }
    return CellsSlow(position, count);
  }

 private:
  std::uint32_t CellsSlow(std::int32_t position, int count) const;

  std::span<const std::uint8_t> cells_;
  std::int32_t length_ = 0;
};

// Writes cells into a ring from a position that advances and wraps.
class TCellWriter {
 public:
  TCellWriter(std::span<std::uint8_t> cells, std::int32_t trackLength, std::int32_t position = 0);

  std::int32_t Position() const { return position_; }
  std::int32_t Length() const { return length_; }
  // Writes the low `count` (at most 32) bits of `bits`, highest first.
  void Write(std::uint32_t bits, int count) {
    if (count == 16 && (position_ & 7) == 0 && position_ + 16 < length_) {
      const auto index = static_cast<std::size_t>(position_ >> 3);
      cells_[index] = static_cast<std::uint8_t>(bits >> 8);
      cells_[index + 1] = static_cast<std::uint8_t>(bits);
      position_ += 16;
      return;
    }
    WriteSlow(bits, count);
  }

  // The bytes under the next `cellCount` cells when the position is at a byte boundary and they
  // do not run past the end of the track, the position moving past them (to 0 at the end); else
  // empty, nothing moved.
  std::span<std::uint8_t> TakeBytes(std::size_t cellCount) {
    if ((position_ & 7) != 0 || (cellCount & 7) != 0 || cellCount == 0 ||
        static_cast<std::size_t>(position_) + cellCount > static_cast<std::size_t>(length_))
      return {};
    const auto taken = cells_.subspan(static_cast<std::size_t>(position_ >> 3), cellCount / 8);
    position_ += static_cast<std::int32_t>(cellCount);
    if (position_ == length_) position_ = 0;
    return taken;
  }

 private:
  void WriteSlow(std::uint32_t bits, int count);

  std::span<std::uint8_t> cells_;
  std::int32_t length_ = 0;
  std::int32_t position_ = 0;
};

// A search pattern prepared once for many searches. Patterns of 31 cells or more are found a
// word at a time: every match wholly covers one of the aligned 16-cell words taken at a stride
// of 8, 16 or 32 cells, so only words that occur in the pattern are looked at more closely.
class TSearchPattern {
 public:
  TSearchPattern(std::span<const std::uint8_t> pattern, std::int32_t cells);

  std::int32_t Cells() const { return cells_; }
  bool Valid() const { return cells_ > 0; }
  // First match at a position in [from, to) of the ring, wrapping patterns included.
  std::int32_t Scan(const TCellRing& ring, std::int32_t from, std::int32_t to) const;
  // Whether the pattern matches at `position` (its cells taken modulo the length).
  bool MatchesAt(const TCellRing& ring, std::int32_t position) const;

 private:
  std::int32_t ScanInside(const TCellRing& ring, std::int32_t from, std::int32_t to) const;
  std::int32_t ScanWords(const TCellRing& ring, std::int32_t from, std::int32_t to) const;
  std::uint32_t Bits(std::int32_t first, int count) const;

  std::vector<std::uint8_t> bytes_;
  std::int32_t cells_ = 0;
  std::uint64_t value_ = 0;  // the whole pattern when it has at most 56 cells
  std::int32_t stride_ = 0;  // 0: no word filter
  // The distinct 16-cell words at the offsets below the stride, each with the mask of its offsets.
  std::vector<std::uint16_t> words_;
  std::vector<std::uint32_t> offsets_;
  std::vector<std::uint64_t> wordSet_;   // one bit per 16-bit value: among words_
  std::vector<std::uint8_t> wordIndex_;  // per 16-bit value in words_: its index there
};

// The 64 cells from `position` with its first cell in the highest bit, of which the first
// 64 - (position mod 8) are cells of the ring's bytes; reads the eight bytes from position / 8,
// which the caller keeps inside the bytes.
inline std::uint64_t CellWindow(const std::uint8_t* bytes, std::int32_t position) {
  std::uint64_t window;
  std::memcpy(&window, bytes + (position >> 3), sizeof window);
  if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap64(window);
  return window << (position & 7);
}

// Whether the eight bytes from `bytes` are all zero.
inline bool EightZeros(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word == 0;
}

// The length of `bytes[0, count)` without its trailing zero bytes; a long zero tail is crossed
// a block at a time.
inline std::size_t LengthWithoutZeroTail(const std::uint8_t* bytes, std::size_t count) {
  static constexpr std::uint8_t kZeroBlock[256] = {};
  while (count >= sizeof kZeroBlock &&
         std::memcmp(bytes + count - sizeof kZeroBlock, kZeroBlock, sizeof kZeroBlock) == 0)
    count -= sizeof kZeroBlock;
  while (count >= 8 && EightZeros(bytes + count - 8)) count -= 8;
  while (count > 0 && bytes[count - 1] == 0) --count;
  return count;
}

int getCell(std::span<const std::uint8_t> cells, std::int32_t position);
void setCell(std::span<std::uint8_t> cells, std::int32_t position, int value);

// The first position at or after `start` where the pattern's cells match, or -1.
// maxDistance < 0: up to the end of the track without wrapping (a match may straddle the end);
// 0: the whole ring; > 0: at most that many positions, wrapping past the end.
std::int32_t searchBitStream(std::span<const std::uint8_t> cells, std::int32_t trackLength,
                             std::int32_t maxDistance, std::span<const std::uint8_t> pattern,
                             std::int32_t patternCells, std::int32_t start);
std::int32_t searchBitStream(const TCellRing& ring, std::int32_t maxDistance,
                             const TSearchPattern& pattern, std::int32_t start);

}  // namespace hfe
