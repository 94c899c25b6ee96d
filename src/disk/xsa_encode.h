// Encoder of XSA containers: greedy LZ77 over an 8 KB window with Huffman-coded distances.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "disk/xsa_core.h"
#include "rtl/stream.h"

namespace disk {

class TXSEncode : public TXSCore {
 public:
  // Writes the header at the stream's current position. The name keeps only its last path
  // component, converted to the 8-bit code page. The stream is not owned and must outlive the
  // encoder.
  TXSEncode(rtl::TStream& stream, std::wstring_view orgName);
  // Never writes: a container that was not finished stays incomplete. Completing it here could
  // neither report a failing stream nor be told apart from a save that an error cut short.
  ~TXSEncode() = default;

  void Write(std::span<const std::uint8_t> data);
  // Codes the rest, writes the end code and patches both sizes into the header. Errors of the
  // stream pass to the caller; the encoder takes no bytes after Finish or after an error.
  void Finish();

  const std::string& OrgName() const { return FOrgName; }

  // The stored form of a name: last component, 8-bit code page, '_' for what it cannot hold.
  static std::string StoredName(std::wstring_view name);

 private:
  static constexpr std::uint32_t kWindowSize = 8192;
  static constexpr std::uint32_t kWindowMask = kWindowSize - 1;
  static constexpr std::uint32_t kLookahead = 254;
  static constexpr int kMaxRun = 253;       // longest match the search finds
  static constexpr int kRingEntries = 256;  // a ring index is one byte
  static constexpr std::size_t kByteBufSize = 32678;
  static constexpr std::size_t kFlushAt = 32669;

  enum class State { Open, Finished, Failed };

  struct TIndexInfo {
    std::uint8_t firstptr = 0;  // oldest entry of the byte's ring
    std::uint16_t nrptrs = 0;   // entries in the ring
  };

  void CheckOpen() const;
  void WriteHeader();
  void Store(std::uint8_t byte);
  void Code(std::uint32_t lookahead);
  int MatchRun(std::uint32_t candidate, std::uint32_t position) const;
  void Enter(std::uint8_t byte, std::uint32_t position);
  void PutBit(bool bit);
  void PutBits(std::uint32_t value, int count);
  void PutByte(std::uint8_t byte);
  void PutLength(int length);
  void PutDistance(int distance);
  void Flush();
  void PatchSizes();

  rtl::TStream& FStream;
  std::string FOrgName;
  State FState = State::Open;
  std::int64_t FStartPos = 0;
  std::vector<std::uint8_t> bytebuf;
  std::size_t bytecnt = 1;
  std::uint8_t bitflgcnt = 1;  // mask of the next flag bit; 0: a new flag byte is needed
  std::uint8_t bitflg = 0;
  std::size_t setflg = 0;  // place of the flag byte in bytebuf
  std::uint64_t nrwritten = 0;
  THufCodes hufcodtbl{};
  // The ring, then a copy of its first bytes so that a run can be compared past the ring's end;
  // a few more bytes let the comparison read whole words.
  std::array<std::uint8_t, kWindowSize + kLookahead + 8> mwindow{};
  std::uint32_t nrread = 0;  // bytes given to Write: the position of the next one
  // Positions are absolute (32-bit, wrapping): the window slot is position mod 8,192.
  // On the heap with the output buffer: together they are far too big for a thread's stack.
  std::vector<std::array<std::uint32_t, kRingEntries>> strbufptrs;
  std::array<TIndexInfo, 256> indexinfo{};
  // The same positions chained by their first two bytes, newest first: the search walks only
  // the candidates that can run longer than one byte, in the ring's order.
  std::vector<std::uint32_t> pairhead;                // per two-byte prefix: its newest position
  std::array<std::uint32_t, kWindowSize> pairprev{};  // per slot: the position's older neighbour
  std::uint32_t winpos = 0;                           // next position to code
  std::uint32_t replace_cnt = 0;                      // positions left to skip of the current match
};

}  // namespace disk
