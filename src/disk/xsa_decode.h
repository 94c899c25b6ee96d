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
  // True once every byte has been delivered: the end code or the unpacked size was reached.
  bool Eof() const { return FEOF; }

 private:
  static constexpr std::size_t kInBufSize = 32768;
  // History ring: at least the longest distance plus a batch of decoded bytes that wait for the
  // reader. It starts zeroed, so a distance reaching before the first byte copies zeros.
  static constexpr std::size_t kRingSize = 32768;
  static constexpr std::size_t kRingMask = kRingSize - 1;
  static_assert(kRingSize >= kXsaMaxDistance + 2 * kXsaMaxCodedLength);

  void ReadHeader();
  bool TryGetByte(std::uint8_t& byte);
  std::uint8_t GetByte();
  bool GetBit();
  std::uint32_t GetBits(int count);
  int ReadLength();
  int ReadDistance();
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
  std::uint8_t bitflg = 0;
  int bitcnt = 0;
  bool FEndCode = false;
  bool FEOF = false;
};

}  // namespace disk
