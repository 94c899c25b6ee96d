// FM coding as stored in this library: four cells "0c0d" per data bit, c the clock bit and d the
// data bit, so 32 cells per byte.
#pragma once

#include <cstdint>
#include <span>

#include "hfe/bit_stream.h"

namespace hfe {

// The 32 cells of a byte with its clock byte (0xFF for data, another value for address marks).
std::uint32_t fmWord(std::uint8_t byte, std::uint8_t clock);

// Writes bytes with clock 0xFF, each data bit as "0", "1", "0", d.
void fmEncode(TCellWriter& writer, std::span<const std::uint8_t> bytes);
void fmEncodeWithClock(TCellWriter& writer, std::uint8_t byte, std::uint8_t clock,
                       std::int32_t count = 1);

// Decodes out.size() bytes from `start`, taking the data cells at offsets 3 and 7 of every 8
// cells; returns the position after the last cells read (wrapped), or -1 on an empty track.
std::int32_t fmDecode(const TCellRing& ring, std::span<std::uint8_t> out, std::int32_t start);

}  // namespace hfe
