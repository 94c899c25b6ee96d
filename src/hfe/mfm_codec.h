// MFM coding of bytes on a ring of cells: a clock cell then a data cell per data bit.
#pragma once

#include <cstdint>
#include <span>

#include "hfe/bit_stream.h"
#include "hfe/cell_tables.h"

namespace hfe {

// The 16 cells of a byte after a data bit `previousBit`, with the clock cells that `clockMask`
// clears removed (0xA1 with mask 0x0A gives the sync word 0x4489).
std::uint16_t mfmWord(std::uint8_t byte, int previousBit, std::uint8_t clockMask = 0xFF);

// Encoder state: the writer's position and the last data bit written.
struct TMfmEncoder {
  TCellWriter writer;
  int lastBit = 0;
};

void mfmEncode(TMfmEncoder& state, std::span<const std::uint8_t> bytes);
// `count` copies of one byte, each with the clock mask.
void mfmEncodeRepeated(TMfmEncoder& state, std::uint8_t byte, std::uint8_t clockMask,
                       std::int32_t count);
// Writes bytes cell by cell from `start`, taking the preceding data bit from the cell before it,
// and sets the clock cell after them from their last data bit; returns the position after the
// last cell written for the bytes.
std::int32_t mfmEncodeAt(std::span<std::uint8_t> cells, std::int32_t trackLength,
                         std::span<const std::uint8_t> bytes, std::int32_t start);

// Decodes out.size() bytes from `start`; a data bit is 1 exactly when its clock cell is 0 and its
// data cell 1. Returns the position after the last cell read (wrapped), or -1 on an empty track.
std::int32_t mfmDecode(const TCellRing& ring, std::span<std::uint8_t> out, std::int32_t start);
std::int32_t mfmDecode(std::span<const std::uint8_t> cells, std::int32_t trackLength,
                       std::span<std::uint8_t> out, std::int32_t start);

// The data cells of 16 MFM cells that hold a 1 bit, in place: those set whose clock cell is not.
inline std::uint32_t mfmDataCells(std::uint32_t word) {
  return word & 0x5555 & ~(word >> 1);
}

// The data byte of 16 MFM cells.
inline std::uint8_t mfmDataOf(std::uint32_t word) {
  return static_cast<std::uint8_t>(kMfmNibble[(word >> 8) & 0xFF] << 4 | kMfmNibble[word & 0xFF]);
}

}  // namespace hfe
