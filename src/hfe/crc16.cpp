// Nibble-table CRC-16; buffers go through a byte table built from the nibble table.
#include "hfe/crc16.h"

namespace hfe {

namespace {

constexpr TCrcTables kIsoIbmTables = MakeCrcTables(0x1021);

}  // namespace

TCrc16::TCrc16(std::uint16_t polynomial, std::uint16_t initial)
    : tables_(&kIsoIbmTables), reg_(initial) {
  if (polynomial != 0x1021) {
    ownTables_ = MakeCrcTables(polynomial);
    tables_ = &*ownTables_;
  }
}

namespace {

// Eight bytes per step through the slice tables, then four the same way, then a byte at a time.
std::uint16_t IsoIbmUpdate(std::uint16_t reg, std::span<const std::uint8_t> bytes) {
  const auto& s = kCrcSlices;
  while (bytes.size() >= 8) {
    const std::uint8_t* b = bytes.data();
    reg = static_cast<std::uint16_t>(s[7][(reg >> 8) ^ b[0]] ^ s[6][(reg & 0xFF) ^ b[1]] ^
                                     s[5][b[2]] ^ s[4][b[3]] ^ s[3][b[4]] ^ s[2][b[5]] ^
                                     s[1][b[6]] ^ s[0][b[7]]);
    bytes = bytes.subspan(8);
  }
  if (bytes.size() >= 4) {
    const std::uint8_t* b = bytes.data();
    reg = static_cast<std::uint16_t>(s[3][(reg >> 8) ^ b[0]] ^ s[2][(reg & 0xFF) ^ b[1]] ^
                                     s[1][b[2]] ^ s[0][b[3]]);
    bytes = bytes.subspan(4);
  }
  for (std::uint8_t byte : bytes)
    reg = static_cast<std::uint16_t>((reg << 8) ^ kIsoIbmTables.byte[(reg >> 8) ^ byte]);
  return reg;
}

}  // namespace

void TCrc16::Update(std::span<const std::uint8_t> bytes) {
  if (tables_ == &kIsoIbmTables) {
    reg_ = IsoIbmUpdate(reg_, bytes);
    return;
  }
  for (std::uint8_t byte : bytes)
    reg_ = static_cast<std::uint16_t>((reg_ << 8) ^ tables_->byte[(reg_ >> 8) ^ byte]);
}

std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
  return IsoIbmUpdate(0xFFFF, bytes);
}

}  // namespace hfe
