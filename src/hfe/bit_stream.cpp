// Cell access and the pattern search: a byte-wise scan over a 64-bit window for patterns of up
// to 56 cells, and a cell-by-cell check where a pattern straddles the end of the track.
#include "hfe/bit_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace hfe {

namespace {

constexpr int kFastPatternCells = 56;

// Eight bytes from `index`, most significant first; bytes past the end read as zero.
std::uint64_t Window(std::span<const std::uint8_t> bytes, std::size_t index) {
  std::uint64_t value = 0;
  if (index + 8 <= bytes.size()) {
    std::memcpy(&value, bytes.data() + index, 8);
    if constexpr (std::endian::native == std::endian::little) value = __builtin_bswap64(value);
    return value;
  }
  for (std::size_t i = 0; i < 8; ++i)
    value = (value << 8) | (index + i < bytes.size() ? bytes[index + i] : 0);
  return value;
}

class TPattern {
 public:
  TPattern(std::span<const std::uint8_t> pattern, std::int32_t cells)
      : bytes_(pattern), cells_(cells) {
    if (cells_ <= kFastPatternCells)
      for (std::int32_t i = 0; i < cells_; ++i) value_ = (value_ << 1) | PatternCell(i);
  }

  std::int32_t Cells() const { return cells_; }
  int PatternCell(std::int32_t i) const {
    return (bytes_[static_cast<std::size_t>(i >> 3)] >> (7 - (i & 7))) & 1;
  }
  bool MatchesAt(const TCellRing& ring, std::int32_t position) const {
    std::int32_t p = position;
    for (std::int32_t i = 0; i < cells_; ++i) {
      if (ring.Cell(p) != PatternCell(i)) return false;
      if (++p == ring.Length()) p = 0;
    }
    return true;
  }
  // First match at a position in [from, to), all of which must leave the pattern inside the track.
  // A match starting in byte i makes byte i + 1 one of eight values (one per shift), so a table
  // of those values skips most bytes without comparing.
  std::int32_t ScanInside(const TCellRing& ring, std::int32_t from, std::int32_t to) const {
    if (cells_ > kFastPatternCells) {
      for (std::int32_t p = from; p < to; ++p)
        if (MatchesAt(ring, p)) return p;
      return -1;
    }
    // For each of the two bytes after the match's first byte, the shifts its value allows.
    std::array<std::array<std::uint8_t, 256>, 2> shiftsOf;
    const int filtered = cells_ >= 24 ? 2 : (cells_ >= 16 ? 1 : 0);
    for (int k = 0; k < 2; ++k) shiftsOf[static_cast<std::size_t>(k)].fill(k < filtered ? 0 : 0xFF);
    for (int k = 0; k < filtered; ++k) {
      for (std::int32_t shift = 0; shift < 8; ++shift) {
        unsigned value = 0;
        for (std::int32_t j = 8 * (k + 1) - shift; j < 8 * (k + 2) - shift; ++j)
          value = (value << 1) | static_cast<unsigned>(PatternCell(j));
        auto& entry = shiftsOf[static_cast<std::size_t>(k)][value];
        entry = static_cast<std::uint8_t>(entry | (1u << shift));
      }
    }
    const auto bytes = ring.Bytes();
    const std::uint64_t mask = (std::uint64_t{1} << cells_) - 1;
    for (std::int32_t byte = from >> 3; byte * 8 < to; ++byte) {
      const auto next = static_cast<std::size_t>(byte) + 1;
      const unsigned shifts = shiftsOf[0][next < bytes.size() ? bytes[next] : 0] &
                              shiftsOf[1][next + 1 < bytes.size() ? bytes[next + 1] : 0];
      if (shifts == 0) continue;
      const std::uint64_t window = Window(bytes, static_cast<std::size_t>(byte));
      const std::int32_t first = std::max(from - byte * 8, 0);
      const std::int32_t last = std::min(to - byte * 8, 8);
      for (std::int32_t shift = first; shift < last; ++shift)
        if (((shifts >> shift) & 1) && ((window >> (64 - cells_ - shift)) & mask) == value_)
          return byte * 8 + shift;
    }
    return -1;
  }
  // First match in [from, to) of the track, straddling positions included.
  std::int32_t Scan(const TCellRing& ring, std::int32_t from, std::int32_t to) const {
    const std::int32_t insideEnd = std::min(to, ring.Length() - cells_ + 1);
    if (from < insideEnd) {
      const std::int32_t found = ScanInside(ring, from, insideEnd);
      if (found >= 0) return found;
    }
    for (std::int32_t p = std::max(from, insideEnd); p < to; ++p)
      if (MatchesAt(ring, p)) return p;
    return -1;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::int32_t cells_;
  std::uint64_t value_ = 0;
};

}  // namespace

TCellRing::TCellRing(std::span<const std::uint8_t> cells, std::int32_t trackLength)
    : cells_(cells),
      length_(static_cast<std::int32_t>(
          std::clamp<std::int64_t>(trackLength, 0, static_cast<std::int64_t>(cells.size()) * 8))) {}

std::uint32_t TCellRing::CellsSlow(std::int32_t position, int count) const {
  if (position + count <= length_) {
    const auto index = static_cast<std::size_t>(position >> 3);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 5; ++i)
      value = (value << 8) | (index + i < cells_.size() ? cells_[index + i] : 0);
    return static_cast<std::uint32_t>((value >> (40 - (position & 7) - count)) &
                                      ((std::uint64_t{1} << count) - 1));
  }
  std::uint32_t value = 0;
  std::int32_t p = position;
  for (int i = 0; i < count; ++i) {
    value = (value << 1) | static_cast<std::uint32_t>(Cell(p));
    if (++p == length_) p = 0;
  }
  return value;
}

TCellWriter::TCellWriter(std::span<std::uint8_t> cells, std::int32_t trackLength,
                         std::int32_t position)
    : cells_(cells),
      length_(static_cast<std::int32_t>(
          std::clamp<std::int64_t>(trackLength, 0, static_cast<std::int64_t>(cells.size()) * 8))),
      position_(length_ > 0 ? position % length_ : 0) {}

void TCellWriter::WriteSlow(std::uint32_t bits, int count) {
  if (length_ <= 0) return;
  if ((position_ & 7) == 0 && (count & 7) == 0 && position_ + count <= length_) {
    for (int shift = count - 8; shift >= 0; shift -= 8)
      cells_[static_cast<std::size_t>(position_ >> 3) +
             static_cast<std::size_t>((count - 8 - shift) >> 3)] =
          static_cast<std::uint8_t>(bits >> shift);
    position_ += count;
    if (position_ == length_) position_ = 0;
    return;
  }
  for (int i = count - 1; i >= 0; --i) {
    setCell(cells_, position_, static_cast<int>((bits >> i) & 1));
    if (++position_ == length_) position_ = 0;
  }
}

int getCell(std::span<const std::uint8_t> cells, std::int32_t position) {
  return (cells[static_cast<std::size_t>(position >> 3)] >> (7 - (position & 7))) & 1;
}

void setCell(std::span<std::uint8_t> cells, std::int32_t position, int value) {
  const auto mask = static_cast<std::uint8_t>(0x80 >> (position & 7));
  auto& byte = cells[static_cast<std::size_t>(position >> 3)];
  byte = static_cast<std::uint8_t>(value ? byte | mask : byte & ~mask);
}

std::int32_t searchBitStream(std::span<const std::uint8_t> cells, std::int32_t trackLength,
                             std::int32_t maxDistance, std::span<const std::uint8_t> pattern,
                             std::int32_t patternCells, std::int32_t start) {
  const TCellRing ring(cells, trackLength);
  const std::int32_t length = ring.Length();
  if (length <= 0 || patternCells <= 0 || patternCells > length ||
      static_cast<std::size_t>(patternCells + 7) / 8 > pattern.size())
    return -1;
  const TPattern matcher(pattern, patternCells);
  const std::int32_t from = ring.Wrap(start);
  if (maxDistance < 0) return matcher.Scan(ring, from, length);
  const std::int32_t distance = maxDistance == 0 ? length : std::min(maxDistance, length);
  const std::int32_t firstEnd = static_cast<std::int32_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(from) + distance, length));
  const std::int32_t found = matcher.Scan(ring, from, firstEnd);
  if (found >= 0) return found;
  const std::int32_t rest = distance - (firstEnd - from);
  return rest > 0 ? matcher.Scan(ring, 0, rest) : -1;
}

}  // namespace hfe
