// Decoder of XSA containers: reads the header, then delivers the unpacked bytes on demand.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "disk/xsa_core.h"
#include "rtl/stream.h"

namespace disk {

class TXSDecode : public TXSCore {
 public:
  // Reads the header from the stream's current position; raises EXsaError (kXsaInvalidHeader)
  // when it is malformed. The stream is not owned and must outlive the decoder.
  explicit TXSDecode(rtl::TStream& stream);

  // Delivers up to out.size() bytes, fewer at the end; raises EXsaError (kXsaUnexpectedEnd)
  // when the container ends inside the code stream.
  std::size_t Read(std::span<std::uint8_t> out);
  // Decodes and drops up to `count` bytes; returns how many were dropped.
  std::uint64_t Skip(std::uint64_t count);

  const std::string& OrgName() const { return FOrgName; }
  std::uint32_t OrgSize() const { return FOrgSize; }
  std::uint32_t PackedSize() const { return FPackedSize; }
  // Bytes delivered so far.
  std::uint64_t Position() const { return nrwrite; }
  // True once every byte before the end code has been delivered.
  bool Eof() const { return FEOF; }

 private:
  static constexpr std::size_t kInBufSize = 32768;
  // Decoding pauses once more than this many decoded bytes wait for the reader: one window.
  static constexpr std::size_t kMaxWaiting = 8192;
  // History ring: the longest distance plus the waiting bytes and a match. It starts zeroed, so
  // a distance reaching before the first byte copies zeros.
  static constexpr std::size_t kRingSize = 32768;
  static constexpr std::size_t kRingMask = kRingSize - 1;
  // Literals and matches are copied in 8-byte steps that may run up to 7 bytes past their end,
  // into bytes not yet decoded or into this slack after the ring.
  static constexpr std::size_t kCopySlack = 8;
  static_assert(kRingSize >= kXsaMaxDistance + kMaxWaiting + 2 * kXsaMaxCodedLength + kCopySlack);
  // The fast decoder runs only while this many input bytes are buffered: more than one item
  // can take (six flag bytes and a raw byte) plus an 8-byte look-ahead load.
  static constexpr std::size_t kFastMargin = 32;
  // Distance codes up to this many bits are decoded by one table look-up.
  static constexpr int kTableBits = 6;

  // A table entry: the class (a leaf) or the node reached after kTableBits bits, and the number
  // of bits the entry stands for.
  struct TTableEntry {
    std::uint8_t node = 0;
    std::uint8_t bits = 0;
  };

  void ReadHeader();
  bool TryGetByte(std::uint8_t& byte);
  std::uint8_t GetByte();
  bool GetBit();
  std::uint32_t GetBits(int count);
  int ReadLength();
  int ReadDistance();
  // Counts a decoded distance class and keeps the look-up table in step with the tree.
  void CountClass(int c);
  void BuildTable();
  bool CanDecode() const;
  // Decodes one item a bit at a time, reading the stream when the buffer runs out.
  void DecodeItem();
  // Decodes items while kFastMargin input bytes are buffered, reading bits from a word.
  void DecodeFast();
  // Appends `length` bytes at position `at` of the ring, copied from `distance` bytes before.
  static void CopyMatch(std::uint8_t* ring, std::uint64_t at, std::size_t distance,
                        std::size_t length);
  // Decodes items until a batch waits for the reader; returns false when nothing is left.
  bool Fill();
  std::uint64_t Available() const;

  rtl::TStream& FStream;
  std::string FOrgName;
  std::array<std::uint8_t, kInBufSize> inbuf{};
  std::size_t inpos = 0;
  std::size_t incount = 0;
  std::vector<std::uint8_t> outbuf;  // the history ring
  std::uint64_t nrproduced = 0;      // bytes decoded into the ring
  std::uint32_t FOrgSize = 0;
  std::uint32_t FPackedSize = 0;
  std::uint64_t nrread = 0;   // bytes read from the stream
  std::uint64_t nrwrite = 0;  // bytes delivered
  std::uint8_t bitflg = 0;    // flag bits not yet used, the next one in bit 0
  int bitcnt = 0;
  std::array<TTableEntry, 1u << kTableBits> hufcodes{};  // indexed by the next code bits
  bool FEndCode = false;
  bool FEOF = false;
};

}  // namespace disk
