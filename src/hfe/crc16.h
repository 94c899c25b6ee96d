// CRC-16 of the ISO/IBM floppy format: polynomial 0x1021, initial value 0xFFFF, most significant
// bit first, no reflection, no final inversion. A field followed by its CRC (high byte first)
// gives 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace hfe {

struct TCrcTables {
  std::array<std::uint16_t, 16> nibble{};  // register change for a 4-bit value
  std::array<std::uint16_t, 256> byte{};   // two nibble steps at once
};

// The tables of a polynomial: the nibble table by its rule, the byte table from the nibble one.
constexpr TCrcTables MakeCrcTables(std::uint16_t polynomial) {
  TCrcTables tables;
  for (std::uint16_t value = 0; value < 16; ++value) {
    auto reg = static_cast<std::uint16_t>(value << 12);
    for (int step = 0; step < 4; ++step)
      reg = static_cast<std::uint16_t>((reg & 0x8000) ? (reg << 1) ^ polynomial : reg << 1);
    tables.nibble[value] = reg;
  }
  for (unsigned value = 0; value < 256; ++value) {
    const std::uint16_t high = tables.nibble[value >> 4];
    tables.byte[value] =
        static_cast<std::uint16_t>((high << 4) ^ tables.nibble[(high >> 12) ^ (value & 0x0F)]);
  }
  return tables;
}

// ISO/IBM slice k: the register change for a byte followed by k zero bytes, for eight bytes per
// step. The change is linear: slice k of a xor b is slice k of a xor slice k of b.
inline constexpr std::array<std::array<std::uint16_t, 256>, 8> kCrcSlices = [] {
  const TCrcTables tables = MakeCrcTables(0x1021);
  std::array<std::array<std::uint16_t, 256>, 8> slices{};
  slices[0] = tables.byte;
  for (std::size_t k = 1; k < 8; ++k)
    for (std::size_t value = 0; value < 256; ++value) {
      const std::uint16_t previous = slices[k - 1][value];
      slices[k][value] = static_cast<std::uint16_t>((previous << 8) ^ tables.byte[previous >> 8]);
    }
  return slices;
}();

class TCrc16 {
 public:
  explicit TCrc16(std::uint16_t polynomial = 0x1021, std::uint16_t initial = 0xFFFF);
  TCrc16(const TCrc16&) = delete;
  TCrc16& operator=(const TCrc16&) = delete;

  // High nibble, then low nibble.
  void Update(std::uint8_t byte) {
    reg_ = Step(Step(reg_, static_cast<std::uint8_t>(byte >> 4)),
                static_cast<std::uint8_t>(byte & 0x0F));
  }
  void Update(std::span<const std::uint8_t> bytes);
  std::uint16_t Value() const { return reg_; }
  std::uint8_t High() const { return static_cast<std::uint8_t>(reg_ >> 8); }
  std::uint8_t Low() const { return static_cast<std::uint8_t>(reg_ & 0xFF); }

 private:
  std::uint16_t Step(std::uint16_t reg, std::uint8_t nibble) const {
    return static_cast<std::uint16_t>((reg << 4) ^ tables_->nibble[(reg >> 12) ^ nibble]);
  }

  const TCrcTables* tables_;
  std::optional<TCrcTables> ownTables_;  // used for polynomials other than 0x1021
  std::uint16_t reg_;
};

// The CRC of a whole buffer with the ISO/IBM parameters.
std::uint16_t crc16(std::span<const std::uint8_t> bytes);

}  // namespace hfe
