#include "disk/xsa_decode.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace disk {

TXSDecode::TXSDecode(rtl::TStream& stream) : FStream(stream), outbuf(kRingSize + kCopySlack, 0) {
  BuildTable();
  ReadHeader();
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
  CountClass(node);
  return distance;
}

void TXSDecode::CountClass(int c) {
  if (CountDistance(c)) BuildTable();
}

void TXSDecode::BuildTable() {
  // Bit i of an index is the i-th code bit read. A leaf at depth d fills every index whose low d
  // bits lead to it; a node at depth kTableBits fills its one index and is walked on from there.
  struct Pending {
    std::uint8_t node;
    std::uint8_t depth;
    std::uint16_t prefix;
  };
  std::array<Pending, kXsaNodeCount> stack{};
  int top = 0;
  stack[top++] = {kXsaRoot, 0, 0};
  while (top > 0) {
    const Pending item = stack[--top];
    if (item.node < kXsaClassCount || item.depth == kTableBits) {
      for (std::size_t i = item.prefix; i < hufcodes.size(); i += std::size_t{1} << item.depth)
        hufcodes[i] = {item.node, item.depth};
      continue;
    }
    const auto depth = static_cast<std::uint8_t>(item.depth + 1);
    const THufNode& node = huftbl[item.node];
    stack[top++] = {node.child1, depth, item.prefix};
    stack[top++] = {node.child2, depth, static_cast<std::uint16_t>(item.prefix | 1u << item.depth)};
  }
}

std::uint64_t TXSDecode::Available() const {
  return nrproduced - nrwrite;
}

bool TXSDecode::CanDecode() const {
  // Stop at the end code, or when a batch waits for the reader. The header's unpacked size does
  // not end the output: only the end code does.
  return !FEndCode && nrproduced - nrwrite <= kMaxWaiting;
}

void TXSDecode::CopyMatch(std::uint8_t* ring, std::uint64_t at, std::size_t distance,
                          std::size_t length) {
  std::size_t to = at & kRingMask;
  std::size_t from = (at - distance) & kRingMask;
  if (to + length <= kRingSize && from + length <= kRingSize) {
    if (distance >= 8) {
      // Every 8-byte step reads bytes at least 8 before the ones it writes, so overlapping
      // repetitions read bytes already written; the last step may spill into the slack.
      for (std::size_t done = 0; done < length; done += 8)
        std::memcpy(ring + to + done, ring + from + done, 8);
      return;
    }
    if (distance == 1) {
      std::memset(ring + to, ring[from], length);
      return;
    }
  }
  for (std::size_t i = 0; i < length; ++i) {
    ring[to] = ring[from];
    to = (to + 1) & kRingMask;
    from = (from + 1) & kRingMask;
  }
}

void TXSDecode::DecodeItem() {
  if (!GetBit()) {
    outbuf[nrproduced++ & kRingMask] = GetByte();
    return;
  }
  const int length = ReadLength();
  if (length == kXsaEndCode) {
    FEndCode = true;
    return;
  }
  const int distance = ReadDistance();
  CopyMatch(outbuf.data(), nrproduced, static_cast<std::size_t>(distance),
            static_cast<std::size_t>(length));
  nrproduced += static_cast<std::uint64_t>(length);
}

namespace {

// Bit-reversed bytes: multi-bit fields arrive most significant bit first.
constexpr std::array<std::uint8_t, 256> kReversed = [] {
  std::array<std::uint8_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned r = 0;
    for (unsigned b = 0; b < 8; ++b)
      if ((i & 1u << b) != 0) r |= 0x80u >> b;
    table[i] = static_cast<std::uint8_t>(r);
  }
  return table;
}();

// The value of the first `count` (at most 8) bits of `bits`, the first bit most significant.
inline std::uint32_t FieldValue(std::uint64_t bits, int count) {
  return count == 0 ? 0u : kReversed[bits & 0xFF] >> (8 - count);
}

// Eight bytes, the first in the low bits.
inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, p, sizeof value);
  } else {
    for (int i = 7; i >= 0; --i) value = value << 8 | p[i];
  }
  return value;
}

}  // namespace

void TXSDecode::DecodeFast() {
  // The code bits are the flag bits left in `flags` followed by the next input bytes: as long as
  // no raw byte is taken, the bytes that follow are the next flag bytes. Bits are taken from a
  // look-ahead word and the input position then advances past the flag bytes they used.
  const std::uint8_t* const in = inbuf.data();
  std::uint8_t* const ring = outbuf.data();
  std::size_t ip = inpos;
  const std::size_t ipStop = incount - kFastMargin;
  std::uint32_t flags = bitflg;
  int nflags = bitcnt;
  std::uint64_t produced = nrproduced;
  // What CanDecode asks, apart from the end code.
  const std::uint64_t stop = nrwrite + kMaxWaiting + 1;
  const auto peek = [&] { return flags | Load64(in + ip) << nflags; };
  const auto consume = [&](int count) {
    if (count <= nflags) {
      flags >>= count;
      nflags -= count;
      return;
    }
    count -= nflags;
    const int bytes = (count + 7) >> 3;
    ip += static_cast<std::size_t>(bytes);
    nflags = 8 * bytes - count;
    flags = static_cast<std::uint32_t>(in[ip - 1]) >> (8 - nflags);
  };

  while (ip <= ipStop && produced < stop) {
    if (nflags == 0) {
      flags = in[ip++];
      nflags = 8;
    }
    if ((flags & 1) == 0) {
      // A run of literals: the zero flag bits left in this flag byte, each followed by its byte.
      // Eight bytes are copied; those past the run land where later bytes will be written.
      const int zeros = std::countr_zero(flags | 1u << nflags);
      const auto run = static_cast<std::size_t>(
          std::min<std::uint64_t>(static_cast<std::uint64_t>(zeros), stop - produced));
      const std::size_t to = produced & kRingMask;
      std::memcpy(ring + to, in + ip, 8);
      if (to + run > kRingSize)  // the bytes past the ring's end belong at its start
        std::memcpy(ring, ring + kRingSize, to + run - kRingSize);
      ip += run;
      produced += run;
      flags >>= run;
      nflags -= static_cast<int>(run);
      continue;
    }
    const std::uint64_t bits = peek() >> 1;
    int used = 1;
    int length = 0;
    if ((bits & 1) == 0) {
      length = 2;
      used += 1;
    } else if ((bits & 2) == 0) {
      length = 3;
      used += 2;
    } else if ((bits & 4) == 0) {
      length = 4;
      used += 3;
    } else {
      // Three 1 bits, K - 2 more 1 bits ended by a 0 (none when K is 7), then K bits.
      const int more = std::min(std::countr_one(bits >> 3), 5);
      const int k = 2 + more;
      const int prefix = more < 5 ? 4 + more : 8;
      length = static_cast<int>((1u << k | FieldValue(bits >> prefix, k)) + 1);
      used += prefix + k;
    }
    if (length == kXsaEndCode) {
      consume(used);
      FEndCode = true;
      break;
    }
    std::uint64_t code = bits >> (used - 1);
    const TTableEntry entry = hufcodes[code & ((1u << kTableBits) - 1)];
    int node = entry.node;
    used += entry.bits;
    code >>= entry.bits;
    while (node >= kXsaClassCount) {
      node = (code & 1) != 0 ? huftbl[node].child2 : huftbl[node].child1;
      code >>= 1;
      ++used;
    }
    const int extraBits = kXsaExtraBits[node];
    std::uint32_t extra = 0;
    if (extraBits < 8) {
      extra = FieldValue(code, extraBits);
      consume(used + extraBits);
    } else {
      consume(used);
      const std::uint8_t low = in[ip++];
      extra = FieldValue(peek(), extraBits - 8) << 8 | low;
      consume(extraBits - 8);
    }
    CountClass(node);
    CopyMatch(ring, produced, cpdist[node] + extra, static_cast<std::size_t>(length));
    produced += static_cast<std::uint64_t>(length);
  }
  inpos = ip;
  nrproduced = produced;
  bitflg = static_cast<std::uint8_t>(flags);
  bitcnt = nflags;
}

bool TXSDecode::Fill() {
  while (CanDecode()) {
    if (incount - inpos > kFastMargin)
      DecodeFast();
    else
      DecodeItem();
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
  if (Available() == 0 && FEndCode) FEOF = true;
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
  if (Available() == 0 && FEndCode) FEOF = true;
  return done;
}

}  // namespace disk
