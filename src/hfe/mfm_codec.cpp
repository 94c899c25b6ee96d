// Table-driven MFM encoding and decoding.
#include "hfe/mfm_codec.h"

#include <array>
#include <bit>
#include <cstring>

#include "hfe/cell_tables.h"

namespace hfe {

namespace {

// The data byte of every 16-cell word, made on first use.
const std::uint8_t* WordData() {
  static std::array<std::uint8_t, 65536> table;
  static const bool made = [] {
    for (unsigned word = 0; word < table.size(); ++word) table[word] = mfmDataOf(word);
    return true;
  }();
  return made ? table.data() : nullptr;
}

}  // namespace

std::uint16_t mfmWord(std::uint8_t byte, int previousBit, std::uint8_t clockMask) {
  auto word = kMfmByte[byte];
  if (previousBit) word &= 0x7FFF;
  return static_cast<std::uint16_t>(word & kClockMask[clockMask]);
}

void mfmEncode(TMfmEncoder& state, std::span<const std::uint8_t> bytes) {
  if (const auto out = state.writer.TakeBytes(bytes.size() * 16); !out.empty()) {
    unsigned lastBit = static_cast<unsigned>(state.lastBit);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      // A 0 after a 1 loses its first clock cell.
      const unsigned word = kMfmByte[bytes[i]] & ~(lastBit << 15);
      out[2 * i] = static_cast<std::uint8_t>(word >> 8);
      out[2 * i + 1] = static_cast<std::uint8_t>(word);
      lastBit = bytes[i] & 1u;
    }
    state.lastBit = static_cast<int>(lastBit);
    return;
  }
  for (std::uint8_t byte : bytes) {
    state.writer.Write(mfmWord(byte, state.lastBit), 16);
    state.lastBit = byte & 1;
  }
}

void mfmEncodeRepeated(TMfmEncoder& state, std::uint8_t byte, std::uint8_t clockMask,
                       std::int32_t count) {
  if (count <= 0) return;
  if (const auto out = state.writer.TakeBytes(static_cast<std::size_t>(count) * 16); !out.empty()) {
    // Only the first copy can follow another last bit.
    const std::uint16_t first = mfmWord(byte, state.lastBit, clockMask);
    const std::uint16_t next = mfmWord(byte, byte & 1, clockMask);
    out[0] = static_cast<std::uint8_t>(first >> 8);
    out[1] = static_cast<std::uint8_t>(first);
    for (std::size_t i = 2; i < out.size(); i += 2) {
      out[i] = static_cast<std::uint8_t>(next >> 8);
      out[i + 1] = static_cast<std::uint8_t>(next);
    }
    state.lastBit = byte & 1;
    return;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    state.writer.Write(mfmWord(byte, state.lastBit, clockMask), 16);
    state.lastBit = byte & 1;
  }
}

std::int32_t mfmEncodeAt(std::span<std::uint8_t> cells, std::int32_t trackLength,
                         std::span<const std::uint8_t> bytes, std::int32_t start) {
  const TCellRing ring(cells, trackLength);
  if (ring.Length() <= 0) return -1;
  const std::int32_t from = ring.Wrap(start);
  int previous = ring.Cell(ring.Wrap(static_cast<std::int64_t>(from) - 1));
  TCellWriter writer(cells, ring.Length(), from);
  for (std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const int data = (byte >> bit) & 1;
      const int clock = (data == 0 && previous == 0) ? 1 : 0;
      writer.Write(static_cast<std::uint32_t>(clock << 1 | data), 2);
      previous = data;
    }
  }
  // The clock cell after the bytes follows their last data bit too, so that the cells left
  // behind them stay valid MFM (never two 1 cells in a row).
  const std::int32_t end = writer.Position();
  if (!bytes.empty() &&
      static_cast<std::size_t>(bytes.size()) * 16 < static_cast<std::size_t>(ring.Length())) {
    const int next = ring.Cell(ring.Wrap(static_cast<std::int64_t>(end) + 1));
    setCell(cells, end, previous == 0 && next == 0 ? 1 : 0);
  }
  return end;
}

std::int32_t mfmDecode(const TCellRing& ring, std::span<std::uint8_t> out, std::int32_t start) {
  if (ring.Length() <= 0) return -1;
  std::int32_t position = ring.Wrap(start);
  // Three bytes per 64-bit window while the cells lie inside the track, by table; the rest,
  // across the end of the track included, a byte at a time.
  const std::uint8_t* wordData = WordData();
  const auto bytes = ring.Bytes();
  std::size_t done = 0;
  while (out.size() - done >= 3 && position + 48 <= ring.Length() &&
         static_cast<std::size_t>(position >> 3) + 8 <= bytes.size()) {
    std::uint64_t window = CellWindow(bytes.data(), position);
    for (int i = 0; i < 3; ++i) {
      out[done + static_cast<std::size_t>(i)] = wordData[window >> 48];
      window <<= 16;
    }
    done += 3;
    position += 48;
  }
  if (position >= ring.Length()) position = ring.Wrap(position);
  for (auto& byte : out.subspan(done)) {
    byte = mfmDataOf(ring.Cells(position, 16));
    position += 16;
    if (position >= ring.Length()) position = ring.Wrap(position);
  }
  return position;
}

std::int32_t mfmDecode(std::span<const std::uint8_t> cells, std::int32_t trackLength,
                       std::span<std::uint8_t> out, std::int32_t start) {
  return mfmDecode(TCellRing(cells, trackLength), out, start);
}

}  // namespace hfe
