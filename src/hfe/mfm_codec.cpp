// Table-driven MFM encoding and decoding.
#include "hfe/mfm_codec.h"

#include "hfe/cell_tables.h"

namespace hfe {

std::uint16_t mfmWord(std::uint8_t byte, int previousBit, std::uint8_t clockMask) {
  auto word = kMfmByte[byte];
  if (previousBit) word &= 0x7FFF;
  return static_cast<std::uint16_t>(word & kClockMask[clockMask]);
}

void mfmEncode(TMfmEncoder& state, std::span<const std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) {
    state.writer.Write(mfmWord(byte, state.lastBit), 16);
    state.lastBit = byte & 1;
  }
}

void mfmEncodeRepeated(TMfmEncoder& state, std::uint8_t byte, std::uint8_t clockMask,
                       std::int32_t count) {
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
  return writer.Position();
}

std::int32_t mfmDecode(const TCellRing& ring, std::span<std::uint8_t> out, std::int32_t start) {
  if (ring.Length() <= 0) return -1;
  std::int32_t position = ring.Wrap(start);
  for (auto& byte : out) {
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
