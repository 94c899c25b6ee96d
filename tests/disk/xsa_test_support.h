// Helpers for the XSA tests: whole-buffer encode and decode, a bit packer that writes code
// streams by hand, and sample data shaped like disk images.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "disk/xsa_core.h"
#include "disk/xsa_stream.h"
#include "rtl/stream.h"

namespace xsa_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Encode(const Bytes& data, std::wstring_view name = L"") {
  rtl::TMemoryStream out;
  disk::TXSStream xsa(out, name);
  xsa.WriteBuffer(data);
  xsa.Finish();
  return out.Bytes();
}

inline Bytes Decode(const Bytes& container) {
  rtl::TMemoryStream in(container);
  disk::TXSStream xsa(in);
  Bytes data;
  std::uint8_t block[4096];
  while (const std::size_t count = xsa.Read(block)) data.insert(data.end(), block, block + count);
  return data;
}

inline std::uint32_t U32At(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Builds a code stream as the format describes it: flag bytes take the bits from bit 0 up and
// are placed when their first bit is written; raw bytes go where the stream is at that moment.
class TBitPacker {
 public:
  // Bits as '0' and '1'; blanks are for readability.
  TBitPacker& Bits(std::string_view bits) {
    for (const char bit : bits) {
      if (bit == ' ') continue;
      if (used_ == 8) {
        flagAt_ = bytes_.size();
        bytes_.push_back(0);
        used_ = 0;
      }
      if (bit == '1') bytes_[flagAt_] = static_cast<std::uint8_t>(bytes_[flagAt_] | 1 << used_);
      ++used_;
    }
    return *this;
  }
  TBitPacker& Raw(std::uint8_t byte) {
    bytes_.push_back(byte);
    return *this;
  }
  TBitPacker& Literal(std::uint8_t byte) { return Bits("0").Raw(byte); }
  TBitPacker& EndCode() { return Bits("1 111 11111 1111110"); }
  const Bytes& Code() const { return bytes_; }

 private:
  Bytes bytes_;
  std::size_t flagAt_ = 0;
  int used_ = 8;
};

// One coded item: a literal (length 0) or a match.
struct TItem {
  int length = 0;
  int distance = 0;
  bool operator==(const TItem&) const = default;
};

// Lists the items of a container's code stream up to the end code, to check the encoder's
// choices. It walks the same adaptive tree as the codec.
class TItemReader : private disk::TXSCore {
 public:
  explicit TItemReader(const Bytes& container) : bytes_(container) {
    at_ = 12;
    while (bytes_.at(at_++) != 0) {
    }
  }

  std::vector<TItem> Items() {
    std::vector<TItem> items;
    for (;;) {
      if (!Bit()) {
        ++at_;
        items.push_back({});
        continue;
      }
      int length = 2;
      if (Bit()) {
        length = Bit() ? (Bit() ? 0 : 4) : 3;
        if (length == 0) {
          int k = 2;
          while (k < 7 && Bit()) ++k;
          length = static_cast<int>((1u << k | Bits(k)) + 1);
        }
      }
      if (length == disk::kXsaEndCode) return items;
      int node = disk::kXsaRoot;
      while (node >= disk::kXsaClassCount) node = Bit() ? Tree()[node].child2 : Tree()[node].child1;
      const int extraBits = disk::kXsaExtraBits[node];
      std::uint32_t extra = 0;
      if (extraBits >= 8) extra = bytes_.at(at_++);
      extra |= Bits(extraBits >= 8 ? extraBits - 8 : extraBits) << (extraBits >= 8 ? 8 : 0);
      CountDistance(node);
      items.push_back({length, disk::kXsaBase[node] + static_cast<int>(extra)});
    }
  }

 private:
  bool Bit() {
    if (used_ == 8) {
      flags_ = bytes_.at(at_++);
      used_ = 0;
    }
    return (flags_ >> used_++ & 1) != 0;
  }
  std::uint32_t Bits(int count) {
    std::uint32_t value = 0;
    while (count-- > 0) value = value << 1 | (Bit() ? 1u : 0u);
    return value;
  }

  const Bytes& bytes_;
  std::size_t at_ = 0;
  std::uint8_t flags_ = 0;
  int used_ = 8;
};

// A whole container around a code stream; the packed size is the container's length.
inline Bytes Container(std::uint32_t unpackedSize, std::string_view name, const Bytes& code) {
  Bytes bytes = {0x50, 0x43, 0x4B, 0x08};
  const auto packedSize = static_cast<std::uint32_t>(12 + name.size() + 1 + code.size());
  for (const std::uint32_t value : {unpackedSize, packedSize})
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.push_back(0);
  bytes.insert(bytes.end(), code.begin(), code.end());
  return bytes;
}

inline Bytes RandomBytes(std::size_t count, std::uint32_t seed, int alphabet = 256) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random() % alphabet);
  return bytes;
}

inline constexpr std::size_t kImageSize = 737280;

// A freshly formatted 720 KB image: boot sector, two FATs, an empty root directory, zeros.
inline Bytes NewDiskImage() {
  Bytes image(kImageSize, 0);
  const std::string_view boot =
      "\xEB\xFE\x90QUOLLBOX\x00\x02\x02\x01\x00\x02\x70\x00\xA0\x05\xF9\x03\x00\x09\x00\x02\x00";
  std::copy(boot.begin(), boot.end(), image.begin());
  for (std::size_t at = 0x1E; at < 0x100; ++at) image[at] = static_cast<std::uint8_t>(at * 37);
  for (const std::size_t fat : {0x200u, 0x800u}) {
    image[fat] = 0xF9;
    image[fat + 1] = 0xFF;
    image[fat + 2] = 0xFF;
  }
  return image;
}

// A densely filled image: text files, tokenised BASIC-like programs, zero runs and some random
// (already packed) data, in the proportions of a well-used game or utility disk.
inline Bytes FilledDiskImage(std::uint32_t seed = 7) {
  static constexpr std::string_view kWords[] = {
      "the ",   "disk ",  "file ",  "MSX ",    "DOS ", "game ", "level ", "score ",
      "press ", "SPACE ", "to ",    "start ",  "and ", "of ",   "a ",     "data ",
      "PRINT ", "GOTO ",  "COLOR ", "SCREEN ", "\r\n", "LOAD ", "RUN ",   "copy "};
  std::mt19937 random(seed);
  Bytes image = NewDiskImage();
  std::size_t at = 0x1C00;  // first data cluster
  while (at < image.size()) {
    const std::size_t end = std::min<std::size_t>(at + 1024 * (1 + random() % 8), image.size());
    const auto kind = random() % 8;
    while (at < end) {
      if (kind < 3) {  // text
        for (const char c : kWords[random() % std::size(kWords)])
          if (at < end) image[at++] = static_cast<std::uint8_t>(c);
      } else if (kind < 5) {  // BASIC lines: tokens, small numbers, a few letters
        const auto pick = random() % 4;
        image[at++] = static_cast<std::uint8_t>(pick == 0   ? 0x11 + random() % 10
                                                : pick == 1 ? 'A' + random() % 26
                                                            : 0x80 + random() % 0x60);
      } else if (kind < 7) {  // zero runs: free clusters and padding
        at = end;
      } else {  // packed graphics or code
        image[at++] = static_cast<std::uint8_t>(random());
      }
    }
  }
  return image;
}

}  // namespace xsa_test
