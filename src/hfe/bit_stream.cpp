// Cell access and the pattern search: a word filter for long patterns, a byte-wise scan over a
// 64-bit window for short ones, and a check in 16-cell pieces where a pattern straddles the end
// of the track.
#include "hfe/bit_stream.h"

#include <algorithm>
#include <bit>

namespace hfe {

namespace {

constexpr int kFastPatternCells = 56;
constexpr int kWordCells = 16;

// Eight bytes from `index`, most significant first; bytes past the end read as zero.
std::uint64_t Window(std::span<const std::uint8_t> bytes, std::size_t index) {
  if (index + 8 <= bytes.size())
    return CellWindow(bytes.data(), static_cast<std::int32_t>(index * 8));
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i)
    value = (value << 8) | (index + i < bytes.size() ? bytes[index + i] : 0);
  return value;
}

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

TSearchPattern::TSearchPattern(std::span<const std::uint8_t> pattern, std::int32_t cells) {
  if (cells <= 0 || static_cast<std::size_t>(cells + 7) / 8 > pattern.size()) return;
  bytes_.assign(pattern.begin(), pattern.begin() + (cells + 7) / 8);
  cells_ = cells;
  if (cells_ <= kFastPatternCells)
    for (std::int32_t i = 0; i < cells_; ++i)
      value_ = (value_ << 1) | ((bytes_[static_cast<std::size_t>(i >> 3)] >> (7 - (i & 7))) & 1);
  // A match at p covers the word at the next multiple of the stride when p + cells reaches its
  // end: stride - 1 + 16 <= cells.
  for (std::int32_t stride : {32, 16, 8})
    if (stride - 1 + kWordCells <= cells_ && cells_ <= kFastPatternCells) {
      stride_ = stride;
      break;
    }
  if (stride_ == 0) return;
  wordSet_.assign(65536 / 64, 0);
  wordIndex_.assign(65536, 0);
  for (std::int32_t offset = 0; offset < stride_; ++offset) {
    const auto word = static_cast<std::uint16_t>(Bits(offset, kWordCells));
    const auto known =
        static_cast<std::size_t>(std::find(words_.begin(), words_.end(), word) - words_.begin());
    if (known == words_.size()) {
      words_.push_back(word);
      offsets_.push_back(0);
    }
    offsets_[known] |= 1u << offset;
    wordSet_[word >> 6] |= std::uint64_t{1} << (word & 63);
    wordIndex_[word] = static_cast<std::uint8_t>(known);
  }
}

std::uint32_t TSearchPattern::Bits(std::int32_t first, int count) const {
  std::uint32_t bits = 0;
  for (std::int32_t i = first; i < first + count; ++i)
    bits = (bits << 1) | ((bytes_[static_cast<std::size_t>(i >> 3)] >> (7 - (i & 7))) & 1);
  return bits;
}

bool TSearchPattern::MatchesAt(const TCellRing& ring, std::int32_t position) const {
  std::int32_t p = position;
  for (std::int32_t i = 0; i < cells_; i += kWordCells) {
    const int count = std::min(kWordCells, cells_ - i);
    if (ring.Cells(p, count) != Bits(i, count)) return false;
    p = ring.Wrap(std::int64_t{p} + count);
  }
  return true;
}

// Positions in [from, to) leave the whole pattern inside the track. The word at stride x j is
// covered by the matches at stride x j - offset, offset < stride, so the words in order give the
// candidates in order.
std::int32_t TSearchPattern::ScanWords(const TCellRing& ring, std::int32_t from,
                                       std::int32_t to) const {
  // The stride is 8, 16 or 32: shifts and masks instead of divisions.
  const std::int64_t stride = stride_;
  const int strideShift = std::countr_zero(static_cast<std::uint32_t>(stride_));
  const std::int64_t first = (from + stride - 1) & ~(stride - 1);
  const std::int64_t last =
      std::min<std::int64_t>(std::int64_t{to} + stride - 2, ring.Length() - kWordCells);
  if (first > last) return -1;
  const auto count = static_cast<std::size_t>(((last - first) >> strideShift) + 1);
  const std::size_t step = static_cast<std::size_t>(stride_ >> 3);
  const std::uint8_t* word0 = ring.Bytes().data() + (first >> 3);
  const std::uint64_t* set = wordSet_.data();
  // Words that lie wholly in eight zero bytes, when a zero word is no part of the pattern:
  // unwritten stretches of a track are crossed eight bytes at a time.
  const bool skipZeros = (set[0] & 1) == 0;
  const std::size_t zeroWords = 6 / step + 1;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t* p = word0 + k * step;
    const unsigned word = static_cast<unsigned>(p[0]) << 8 | p[1];
    if (word == 0 && skipZeros) {
      // Word `next + zeroWords` exists, so the eight bytes from word `next` lie in the track.
      std::size_t next = k;
      while (next + zeroWords < count && EightZeros(word0 + next * step)) next += zeroWords;
      if (next > k) k = next - 1;  // word `next` is looked at next
      continue;
    }
    // Most words are not in the pattern.
    if (((set[word >> 6] >> (word & 63)) & 1) == 0) continue;
    const std::int64_t at = first + static_cast<std::int64_t>(k) * stride;
    // The word's offsets in the pattern, largest first: candidates in increasing order.
    std::uint32_t offsets = offsets_[wordIndex_[word]];
    while (offsets != 0) {
      const int offset = 31 - std::countl_zero(offsets);
      offsets &= ~(1u << offset);
      const std::int64_t position = at - offset;
      if (position < from || position >= to) continue;
      const std::uint64_t window = Window(ring.Bytes(), static_cast<std::size_t>(position >> 3))
                                   << (position & 7);
      if ((window >> (64 - cells_)) == value_) return static_cast<std::int32_t>(position);
    }
  }
  return -1;
}

std::int32_t TSearchPattern::ScanInside(const TCellRing& ring, std::int32_t from,
                                        std::int32_t to) const {
  if (stride_ > 0) return ScanWords(ring, from, to);
  if (cells_ > kFastPatternCells) {
    for (std::int32_t p = from; p < to; ++p)
      if (MatchesAt(ring, p)) return p;
    return -1;
  }
  const auto bytes = ring.Bytes();
  const std::uint64_t mask = (std::uint64_t{1} << cells_) - 1;
  for (std::int32_t byte = from >> 3; byte * 8 < to; ++byte) {
    const std::uint64_t window = Window(bytes, static_cast<std::size_t>(byte));
    const std::int32_t first = std::max(from - byte * 8, 0);
    const std::int32_t last = std::min(to - byte * 8, 8);
    for (std::int32_t shift = first; shift < last; ++shift)
      if (((window >> (64 - cells_ - shift)) & mask) == value_) return byte * 8 + shift;
  }
  return -1;
}

std::int32_t TSearchPattern::Scan(const TCellRing& ring, std::int32_t from, std::int32_t to) const {
  const std::int32_t insideEnd = std::min(to, ring.Length() - cells_ + 1);
  if (from < insideEnd) {
    const std::int32_t found = ScanInside(ring, from, insideEnd);
    if (found >= 0) return found;
  }
  for (std::int32_t p = std::max(from, insideEnd); p < to; ++p)
    if (MatchesAt(ring, p)) return p;
  return -1;
}

std::int32_t searchBitStream(const TCellRing& ring, std::int32_t maxDistance,
                             const TSearchPattern& pattern, std::int32_t start) {
  const std::int32_t length = ring.Length();
  if (length <= 0 || !pattern.Valid() || pattern.Cells() > length) return -1;
  const std::int32_t from = ring.Wrap(start);
  if (maxDistance < 0) return pattern.Scan(ring, from, length);
  const std::int32_t distance = maxDistance == 0 ? length : std::min(maxDistance, length);
  const std::int32_t firstEnd = static_cast<std::int32_t>(
      std::min<std::int64_t>(static_cast<std::int64_t>(from) + distance, length));
  const std::int32_t found = pattern.Scan(ring, from, firstEnd);
  if (found >= 0) return found;
  const std::int32_t rest = distance - (firstEnd - from);
  return rest > 0 ? pattern.Scan(ring, 0, rest) : -1;
}

std::int32_t searchBitStream(std::span<const std::uint8_t> cells, std::int32_t trackLength,
                             std::int32_t maxDistance, std::span<const std::uint8_t> pattern,
                             std::int32_t patternCells, std::int32_t start) {
  return searchBitStream(TCellRing(cells, trackLength), maxDistance,
                         TSearchPattern(pattern, patternCells), start);
}

}  // namespace hfe
