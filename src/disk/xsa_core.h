// The XSA container's shared parts: the error type, the distance classes and the adaptive Huffman
// tree over them that the decoder and the encoder rebuild in lock step.
#pragma once

#include <array>
#include <cstdint>

#include "rtl/exceptions.h"

namespace disk {

// Every failure of the XSA codec itself (a corrupt container, a misused stream).
class EXsaError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

inline constexpr char kXsaInvalidHeader[] = "Invalid header in XSA file.";
inline constexpr char kXsaUnexpectedEnd[] = "Unexpected end of file";

// The container starts with these four bytes, then the unpacked and the packed size (u32 LE each),
// then the name ended by a 0 byte.
inline constexpr std::array<std::uint8_t, 4> kXsaSignature = {0x50, 0x43, 0x4B, 0x08};
inline constexpr std::size_t kXsaSizesOffset = 4;
inline constexpr std::size_t kXsaFixedHeaderSize = 12;
// Longest name the decoder accepts (bytes before the terminating 0).
inline constexpr std::size_t kXsaMaxNameLength = 1024;

inline constexpr int kXsaClassCount = 16;
inline constexpr int kXsaNodeCount = 2 * kXsaClassCount - 1;
inline constexpr int kXsaRoot = kXsaNodeCount - 1;
// Match lengths: 2 and up; the length 255 ends the code stream; 256 is codable and accepted.
inline constexpr int kXsaMinMatch = 2;
inline constexpr int kXsaEndCode = 255;
inline constexpr int kXsaMaxCodedLength = 256;
// Distances the classes can express.
inline constexpr int kXsaMaxDistance = 8194;

// Extra bits of each distance class.
inline constexpr std::array<std::uint8_t, kXsaClassCount> kXsaExtraBits = {
    0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

// First distance of each class (and, last, one past the largest distance).
inline constexpr std::array<std::uint16_t, kXsaClassCount + 1> kXsaBase = [] {
  std::array<std::uint16_t, kXsaClassCount + 1> base{};
  base[0] = 1;
  for (int c = 0; c < kXsaClassCount; ++c)
    base[c + 1] = static_cast<std::uint16_t>(base[c] + (1u << kXsaExtraBits[c]));
  return base;
}();
static_assert(kXsaBase[kXsaClassCount] == kXsaMaxDistance + 1);

// One tree node: leaves are 0-15 (the classes), internal nodes 16-30, the root is 30.
struct THufNode {
  std::uint16_t weight = 0;
  std::uint8_t child1 = 0;  // reached by a 0 bit
  std::uint8_t child2 = 0;  // reached by a 1 bit
};

// A class's code in the current tree: `length` bits, the first one the most significant.
struct THufCode {
  std::uint8_t length = 0;
  std::uint16_t bits = 0;
};
using THufCodes = std::array<THufCode, kXsaClassCount>;

class TXSCore {
 public:
  TXSCore();

  // The class of a distance 1..kXsaMaxDistance: the largest class whose base does not exceed it.
  static int DistanceClass(int distance);

  // Counts one coded distance of class `c`; after every 128th the tree is rebuilt. Returns true
  // when it was.
  bool CountDistance(int c);
  // Halves the class counts and builds the tree from them.
  void Rebuild();
  // The code of every class in the current tree (first child 0, second child 1).
  void MakeCodes(THufCodes& codes) const;

  const std::array<THufNode, kXsaNodeCount>& Tree() const { return huftbl; }

 protected:
  std::uint16_t updhufcnt = 0;                             // distances until the next rebuild
  std::array<std::uint16_t, kXsaClassCount + 1> cpdist{};  // class bases, plus the end
  std::array<std::uint16_t, kXsaClassCount> cpdbmask{};    // 1 shl extra bits
  std::array<std::uint16_t, kXsaClassCount> tblsizes{};    // uses of each class
  std::array<THufNode, kXsaNodeCount> huftbl{};
};

}  // namespace disk
