// FM encoding and decoding, two data bits per 8 cells.
#include "hfe/fm_codec.h"

namespace hfe {

std::uint32_t fmWord(std::uint8_t byte, std::uint8_t clock) {
  std::uint32_t word = 0;
  for (int pair = 3; pair >= 0; --pair) {
    const int high = pair * 2 + 1;
    const int low = pair * 2;
    std::uint32_t cells = 0;
    if ((clock >> high) & 1) cells |= 0x40;
    if ((byte >> high) & 1) cells |= 0x10;
    if ((clock >> low) & 1) cells |= 0x04;
    if ((byte >> low) & 1) cells |= 0x01;
    word = (word << 8) | cells;
  }
  return word;
}

void fmEncode(TCellWriter& writer, std::span<const std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) writer.Write(fmWord(byte, 0xFF), 32);
}

void fmEncodeWithClock(TCellWriter& writer, std::uint8_t byte, std::uint8_t clock,
                       std::int32_t count) {
  const std::uint32_t word = fmWord(byte, clock);
  for (std::int32_t i = 0; i < count; ++i) writer.Write(word, 32);
}

std::int32_t fmDecode(const TCellRing& ring, std::span<std::uint8_t> out, std::int32_t start) {
  if (ring.Length() <= 0) return -1;
  std::int32_t position = ring.Wrap(start);
  for (auto& byte : out) {
    const std::uint32_t word = ring.Cells(position, 32);
    unsigned value = 0;
    for (int pair = 3; pair >= 0; --pair) {
      const std::uint32_t cells = (word >> (pair * 8)) & 0xFF;
      value = (value << 2) | ((cells >> 3) & 2) | (cells & 1);
    }
    byte = static_cast<std::uint8_t>(value);
    position += 32;
    if (position >= ring.Length()) position = ring.Wrap(position);
  }
  return position;
}

}  // namespace hfe
