#include "disk/xsa_encode.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "rtl/code_page.h"

namespace disk {

namespace {

static_assert(std::endian::native == std::endian::little, "run comparison assumes little endian");

std::uint64_t LoadWord(const std::uint8_t* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Far from every position of the first 2 GB, so a prefix never seen is out of reach.
constexpr std::uint32_t kNoPosition = 0x80000000u;

std::uint16_t PairAt(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] << 8 | at[1]);
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

std::string TXSEncode::StoredName(std::wstring_view name) {
  const std::size_t separator = name.find_last_of(L"\\/:");
  if (separator != std::wstring_view::npos) name.remove_prefix(separator + 1);
  const rtl::TCodePage& codePage = rtl::CodePage();
  std::string stored;
  for (std::size_t i = 0; i < name.size();) {
    // One character at a time, so that one the code page cannot hold is seen as such.
    std::size_t units = 1;
    if (IsHighSurrogate(name[i]) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) units = 2;
    const std::wstring_view character = name.substr(i, units);
    i += units;
    const std::string bytes = codePage.FromUnicode(character);
    if (bytes.empty() || (bytes == "?" && character != L"?")) {
      stored.push_back('_');
      continue;
    }
    for (const char byte : bytes) stored.push_back(byte == '\0' ? '_' : byte);
  }
  if (stored.size() > kXsaMaxNameLength) stored.resize(kXsaMaxNameLength);
  return stored;
}

TXSEncode::TXSEncode(rtl::TStream& stream, std::wstring_view orgName)
    : FStream(stream),
      FOrgName(StoredName(orgName)),
      bytebuf(kByteBufSize),
      strbufptrs(256),
      pairhead(65536, kNoPosition) {
  MakeCodes(hufcodtbl);
  FStartPos = FStream.Position();
  WriteHeader();
}

void TXSEncode::CheckOpen() const {
  if (FState != State::Open) throw EXsaError("Can not write data on a closed XSA encoder.");
}

void TXSEncode::WriteHeader() {
  std::vector<std::uint8_t> header(kXsaSignature.begin(), kXsaSignature.end());
  header.resize(kXsaFixedHeaderSize);  // both sizes, patched by Finish
  header.insert(header.end(), FOrgName.begin(), FOrgName.end());
  header.push_back(0);
  FStream.WriteBuffer(header);
  nrwritten += header.size();
}

void TXSEncode::Write(std::span<const std::uint8_t> data) {
  CheckOpen();
  try {
    for (const std::uint8_t byte : data) {
      Store(byte);
      // A position is coded once its full lookahead is in the window.
      if (nrread - winpos == kLookahead) Code(kLookahead);
    }
  } catch (...) {
    FState = State::Failed;
    throw;
  }
}

void TXSEncode::Finish() {
  CheckOpen();
  try {
    while (winpos != nrread) Code(nrread - winpos);
    PutBit(true);
    PutLength(kXsaEndCode);
    Flush();
    PatchSizes();
    FState = State::Finished;
  } catch (...) {
    FState = State::Failed;
    throw;
  }
}

void TXSEncode::Store(std::uint8_t byte) {
  const std::uint32_t slot = nrread & kWindowMask;
  if (nrread >= kWindowSize) {
    // The position that held this slot leaves the window, and its byte's ring drops its oldest
    // entry: that position, or, when the ring overflowed and so let it go already, a newer one.
    TIndexInfo& info = indexinfo[mwindow[slot]];
    if (info.nrptrs > 0) {
      ++info.firstptr;
      --info.nrptrs;
    }
  }
  mwindow[slot] = byte;
  if (slot < kLookahead) mwindow[slot + kWindowSize] = byte;
  ++nrread;
}

void TXSEncode::Enter(std::uint8_t byte, std::uint32_t position) {
  TIndexInfo& info = indexinfo[byte];
  if (info.nrptrs == kRingEntries) {
    strbufptrs[byte][info.firstptr++] = position;
  } else {
    strbufptrs[byte][static_cast<std::uint8_t>(info.firstptr + info.nrptrs)] = position;
    ++info.nrptrs;
  }
  // The second byte is in the lookahead (or, past the input's end, stays as it is).
  std::uint32_t& head = pairhead[PairAt(mwindow.data() + (position & kWindowMask))];
  pairprev[position & kWindowMask] = head;
  head = position;
}

int TXSEncode::MatchRun(std::uint32_t candidate, std::uint32_t position) const {
  const std::uint8_t* a = mwindow.data() + (candidate & kWindowMask);
  const std::uint8_t* b = mwindow.data() + (position & kWindowMask);
  for (int run = 0; run < kMaxRun; run += 8) {
    const std::uint64_t diff = LoadWord(a + run) ^ LoadWord(b + run);
    if (diff != 0) return std::min(kMaxRun, run + std::countr_zero(diff) / 8);
  }
  return kMaxRun;
}

void TXSEncode::Code(std::uint32_t lookahead) {
  const std::uint32_t position = winpos++;
  const std::uint8_t byte = mwindow[position & kWindowMask];
  if (replace_cnt > 0) {
    --replace_cnt;
    Enter(byte, position);
    return;
  }
  // The byte's ring holds the candidates: its newest 256 positions still in the window. Of
  // them, only those with the same second byte can run longer than one byte; their chain lists
  // them newest first. A longer run wins, so on equal runs the newest stays.
  const TIndexInfo info = indexinfo[byte];
  const std::uint8_t* const current = mwindow.data() + (position & kWindowMask);
  int best = 1;
  std::uint32_t bestPos = 0;
  if (info.nrptrs > 0) {
    const std::uint32_t reach = position - strbufptrs[byte][info.firstptr];
    for (std::uint32_t candidate = pairhead[PairAt(current)]; best < kMaxRun;
         candidate = pairprev[candidate & kWindowMask]) {
      const std::uint32_t distance = position - candidate;
      if (distance == 0 || distance > reach) break;
      const std::uint8_t* const earlier = mwindow.data() + (candidate & kWindowMask);
      if (earlier[0] != byte) break;  // a stale link: nothing older can be valid
      if (earlier[best] != current[best]) continue;
      const int run = MatchRun(candidate, position);
      if (run > best) {
        best = run;
        bestPos = candidate;
      }
    }
  }
  Enter(byte, position);
  const int length = std::min(best, static_cast<int>(std::min(lookahead, kLookahead)));
  if (length >= kXsaMinMatch) {
    PutBit(true);
    PutLength(length);
    PutDistance(static_cast<int>(position - bestPos));
    replace_cnt = static_cast<std::uint32_t>(length - 1);
  } else {
    PutBit(false);
    PutByte(byte);
  }
}

void TXSEncode::PutBit(bool bit) {
  if (bitflgcnt == 0) {
    bytebuf[setflg] = bitflg;
    if (bytecnt >= kFlushAt) Flush();
    setflg = bytecnt++;
    bitflg = 0;
    bitflgcnt = 1;
  }
  if (bit) bitflg |= bitflgcnt;
  bitflgcnt = static_cast<std::uint8_t>(bitflgcnt << 1);
}

void TXSEncode::PutBits(std::uint32_t value, int count) {
  for (int i = count - 1; i >= 0; --i) PutBit(((value >> i) & 1) != 0);
}

void TXSEncode::PutByte(std::uint8_t byte) {
  bytebuf[bytecnt++] = byte;
}

void TXSEncode::PutLength(int length) {
  const auto m = static_cast<std::uint32_t>(length - 1);
  if (m <= 3) {
    PutBits((1u << m) - 2, static_cast<int>(m));  // m - 1 one bits, then a 0
    return;
  }
  const int k = std::bit_width(m) - 1;  // m's highest set bit is 1 shl k
  PutBits(0b111, 3);
  PutBits((1u << (k - 2)) - 1, k - 2);
  if (k < 7) PutBit(false);
  PutBits(m & ((1u << k) - 1), k);
}

void TXSEncode::PutDistance(int distance) {
  const int c = DistanceClass(distance);
  PutBits(hufcodtbl[c].bits, hufcodtbl[c].length);
  const auto extra = static_cast<std::uint32_t>(distance - cpdist[c]);
  const int extraBits = kXsaExtraBits[c];
  if (extraBits >= 8) {
    PutByte(static_cast<std::uint8_t>(extra & 0xFF));
    PutBits(extra >> 8, extraBits - 8);
  } else {
    PutBits(extra, extraBits);
  }
  if (CountDistance(c)) MakeCodes(hufcodtbl);
}

void TXSEncode::Flush() {
  bytebuf[setflg] = bitflg;
  FStream.WriteBuffer(std::span(bytebuf.data(), bytecnt));
  nrwritten += bytecnt;
  bytecnt = 0;
}

void TXSEncode::PatchSizes() {
  std::array<std::uint8_t, 8> sizes{};
  const auto packed = static_cast<std::uint32_t>(nrwritten);
  for (int i = 0; i < 4; ++i) {
    sizes[i] = static_cast<std::uint8_t>(nrread >> (8 * i));
    sizes[4 + i] = static_cast<std::uint8_t>(packed >> (8 * i));
  }
  FStream.Seek(FStartPos + static_cast<std::int64_t>(kXsaSizesOffset), rtl::SeekOrigin::Begin);
  FStream.WriteBuffer(sizes);
  FStream.Seek(FStartPos + static_cast<std::int64_t>(nrwritten), rtl::SeekOrigin::Begin);
}

}  // namespace disk
