#include "disk/xsa_decode.h"

#include <algorithm>
#include <cstring>

namespace disk {

TXSDecode::TXSDecode(rtl::TStream& stream) : FStream(stream), outbuf(kRingSize, 0) {
  ReadHeader();
  FEOF = FOrgSize == 0;
}

void TXSDecode::ReadHeader() {
  std::array<std::uint8_t, kXsaFixedHeaderSize> fixed{};
  for (std::uint8_t& byte : fixed)
    if (!TryGetByte(byte)) throw EXsaError(kXsaInvalidHeader);
  if (!std::equal(kXsaSignature.begin(), kXsaSignature.end(), fixed.begin()))
    throw EXsaError(kXsaInvalidHeader);
  const auto u32At = [&fixed](std::size_t at) {
    return static_cast<std::uint32_t>(fixed[at] | fixed[at + 1] << 8 | fixed[at + 2] << 16 |
                                      static_cast<std::uint32_t>(fixed[at + 3]) << 24);
  };
  FOrgSize = u32At(kXsaSizesOffset);
  FPackedSize = u32At(kXsaSizesOffset + 4);
  for (;;) {
    std::uint8_t byte = 0;
    if (!TryGetByte(byte)) throw EXsaError(kXsaInvalidHeader);
    if (byte == 0) break;
    if (FOrgName.size() == kXsaMaxNameLength) throw EXsaError(kXsaInvalidHeader);
    FOrgName.push_back(static_cast<char>(byte));
  }
}

bool TXSDecode::TryGetByte(std::uint8_t& byte) {
  if (inpos == incount) {
    incount = FStream.Read(inbuf);
    inpos = 0;
    if (incount == 0) return false;
    nrread += incount;
  }
  byte = inbuf[inpos++];
  return true;
}

inline std::uint8_t TXSDecode::GetByte() {
  if (inpos == incount) [[unlikely]] {
    std::uint8_t byte = 0;
    if (!TryGetByte(byte)) throw EXsaError(kXsaUnexpectedEnd);
    return byte;
  }
  return inbuf[inpos++];
}

inline bool TXSDecode::GetBit() {
  if (bitcnt == 0) {
    bitflg = GetByte();
    bitcnt = 8;
  }
  const bool bit = (bitflg & 1) != 0;
  bitflg = static_cast<std::uint8_t>(bitflg >> 1);
  --bitcnt;
  return bit;
}

std::uint32_t TXSDecode::GetBits(int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 1 | (GetBit() ? 1u : 0u);
  return value;
}

int TXSDecode::ReadLength() {
  if (!GetBit()) return 2;
  if (!GetBit()) return 3;
  if (!GetBit()) return 4;
  int k = 2;
  while (k < 7 && GetBit()) ++k;
  return static_cast<int>((1u << k | GetBits(k)) + 1);
}

int TXSDecode::ReadDistance() {
  int node = kXsaRoot;
  while (node >= kXsaClassCount) node = GetBit() ? huftbl[node].child2 : huftbl[node].child1;
  const int extraBits = kXsaExtraBits[node];
  std::uint32_t extra = 0;
  if (extraBits < 8) {
    extra = GetBits(extraBits);
  } else {
    const std::uint8_t low = GetByte();
    extra = GetBits(extraBits - 8) << 8 | low;
  }
  const int distance = cpdist[node] + static_cast<int>(extra);
  CountDistance(node);
  return distance;
}

std::uint64_t TXSDecode::Available() const {
  return std::min<std::uint64_t>(nrproduced, FOrgSize) - nrwrite;
}

bool TXSDecode::Fill() {
  std::uint8_t* const ring = outbuf.data();
  // Stop at the end code, at the unpacked size, or when a longest match could overwrite bytes
  // the reader has not taken yet.
  while (!FEndCode && nrproduced < FOrgSize &&
         nrproduced - nrwrite <= kRingSize - kXsaMaxCodedLength) {
    if (!GetBit()) {
      ring[nrproduced++ & kRingMask] = GetByte();
      continue;
    }
    const int length = ReadLength();
    if (length == kXsaEndCode) {
      FEndCode = true;
      break;
    }
    const std::size_t distance = static_cast<std::size_t>(ReadDistance());
    std::size_t to = nrproduced & kRingMask;
    std::size_t from = (nrproduced - distance) & kRingMask;
    if (to + length <= kRingSize && from + length <= kRingSize && distance >= 8) {
      // Neither side wraps; copy in steps no longer than the distance so overlapping
      // repetitions read bytes already written.
      for (int done = 0; done < length;) {
        const int step = std::min<int>(length - done, static_cast<int>(distance));
        std::memmove(ring + to + done, ring + from + done, static_cast<std::size_t>(step));
        done += step;
      }
    } else {
      for (int i = 0; i < length; ++i) {
        ring[to] = ring[from];
        to = (to + 1) & kRingMask;
        from = (from + 1) & kRingMask;
      }
    }
    nrproduced += static_cast<std::uint64_t>(length);
  }
  if (Available() == 0) {
    FEOF = true;
    return false;
  }
  return true;
}

std::size_t TXSDecode::Read(std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size() && !FEOF) {
    if (Available() == 0 && !Fill()) break;
    const std::size_t start = nrwrite & kRingMask;
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>({out.size() - done, Available(), kRingSize - start}));
    std::memcpy(out.data() + done, outbuf.data() + start, count);
    done += count;
    nrwrite += count;
  }
  if (Available() == 0 && (FEndCode || nrwrite == FOrgSize)) FEOF = true;
  return done;
}

std::uint64_t TXSDecode::Skip(std::uint64_t count) {
  std::uint64_t done = 0;
  while (done < count && !FEOF) {
    if (Available() == 0 && !Fill()) break;
    const std::uint64_t step = std::min(count - done, Available());
    done += step;
    nrwrite += step;
  }
  if (Available() == 0 && (FEndCode || nrwrite == FOrgSize)) FEOF = true;
  return done;
}

}  // namespace disk
