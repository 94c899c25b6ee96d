// Lookup tables of the cell codecs, built at compile time from their rules.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hfe {

// Bit i of an entry is bit 7 - i of its index.
inline constexpr std::array<std::uint8_t, 256> kBitReverse = [] {
  std::array<std::uint8_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    unsigned reversed = 0;
    for (unsigned bit = 0; bit < 8; ++bit)
      if (value & (1u << bit)) reversed |= 0x80u >> bit;
    table[value] = static_cast<std::uint8_t>(reversed);
  }
  return table;
}();

// out[i] := in[i] with its bits reversed, for `count` bytes; sixteen bytes at a time where the
// processor has SSE2 (the 32-bit build's 64-bit words would go through register pairs), else
// eight.
inline void ReverseBits(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i ones = _mm_set1_epi8(0x55);
  const __m128i twos = _mm_set1_epi8(0x33);
  const __m128i fours = _mm_set1_epi8(0x0F);
  for (; i + 16 <= count; i += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    // Shifts of 16-bit lanes: the masks keep every moved bit inside its byte.
    x = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(x, 1), ones),
                     _mm_slli_epi16(_mm_and_si128(x, ones), 1));
    x = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(x, 2), twos),
                     _mm_slli_epi16(_mm_and_si128(x, twos), 2));
    x = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(x, 4), fours),
                     _mm_slli_epi16(_mm_and_si128(x, fours), 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), x);
  }
#endif
  for (; i + 8 <= count; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, in + i, 8);
    x = ((x >> 1) & 0x5555555555555555u) | ((x & 0x5555555555555555u) << 1);
    x = ((x >> 2) & 0x3333333333333333u) | ((x & 0x3333333333333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((x & 0x0F0F0F0F0F0F0F0Fu) << 4);
    std::memcpy(out + i, &x, 8);
  }
  for (; i < count; ++i) out[i] = kBitReverse[in[i]];
}

// Bit k of the index goes to bit 2k (a byte's data bits spread onto the data cells).
inline constexpr std::array<std::uint16_t, 256> kSpread = [] {
  std::array<std::uint16_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    unsigned spread = 0;
    for (unsigned bit = 0; bit < 8; ++bit)
      if (value & (1u << bit)) spread |= 1u << (2 * bit);
    table[value] = static_cast<std::uint16_t>(spread);
  }
  return table;
}();

// The four data bits of a byte of MFM cells, first pair highest: a bit is 1 exactly when its
// data cell is 1 and its clock cell 0.
inline constexpr std::array<std::uint8_t, 256> kMfmNibble = [] {
  std::array<std::uint8_t, 256> table{};
  for (unsigned cells = 0; cells < 256; ++cells) {
    unsigned data = 0;
    for (unsigned pair = 0; pair < 4; ++pair)
      if (((cells >> (2 * pair)) & 3) == 1) data |= 1u << pair;
    table[cells] = static_cast<std::uint8_t>(data);
  }
  return table;
}();

// The 16 MFM cells of a byte, taking the data bit before the byte as 0: a 1 is "01", a 0 is "10"
// after a 0 and "00" after a 1.
inline constexpr std::array<std::uint16_t, 256> kMfmByte = [] {
  std::array<std::uint16_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    unsigned cells = 0;
    unsigned previous = 0;
    for (int bit = 7; bit >= 0; --bit) {
      const unsigned data = (value >> bit) & 1;
      const unsigned clock = (data == 0 && previous == 0) ? 1 : 0;
      cells = (cells << 2) | (clock << 1) | data;
      previous = data;
    }
    table[value] = static_cast<std::uint16_t>(cells);
  }
  return table;
}();

// For every bit of the index: "11" for 1, "01" for 0 (clock cell kept or removed).
inline constexpr std::array<std::uint16_t, 256> kClockMask = [] {
  std::array<std::uint16_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value)
    table[value] = static_cast<std::uint16_t>(kSpread[value] << 1 | kSpread[0xFF]);
  return table;
}();

}  // namespace hfe
