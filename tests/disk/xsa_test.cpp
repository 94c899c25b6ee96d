// The XSA codec and stream: containers worked out by hand from the format description (exact
// bytes for tiny inputs, code streams written bit by bit that the decoder must read back), the
// items the encoder chooses, round trips (the round-trip fuzz target covers arbitrary inputs);
// header checks, corrupt and cut containers, reading, seeking, misuse, names and how the encoder
// finishes.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "rtl/code_page.h"
#include "xsa_test_support.h"

namespace {

using disk::EXsaError;
using disk::TXSStream;
using xsa_test::Bytes;
using xsa_test::Container;
using xsa_test::Decode;
using xsa_test::Encode;
using xsa_test::TBitPacker;
using xsa_test::TItem;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EXsaError& error) {
    return error.what();
  }
  return "no error";
}

std::string DecodeError(const Bytes& container) {
  return MessageOf([&] { Decode(container); });
}

TEST(XsaStream, MalformedHeadersAreRejected) {
  const Bytes valid = Encode({1, 2, 3}, L"A.DSK");
  Bytes badSignature = valid;
  badSignature[3] = 0x09;
  Bytes longName = {0x50, 0x43, 0x4B, 0x08, 0, 0, 0, 0, 0, 0, 0, 0};
  longName.insert(longName.end(), 1025, 'N');
  longName.push_back(0);
  Bytes longestName(longName.begin(), longName.begin() + 12 + 1024);
  longestName.insert(longestName.end(), {0, 0xFF, 0x7F});
  const struct {
    const char* label;
    Bytes container;
    const char* message;
  } cases[] = {
      // Cut headers are in the truncation test.
      {"fourth signature byte", badSignature, "Invalid header in XSA file."},
      {"name over 1,024 bytes", longName, "Invalid header in XSA file."},
      {"name of 1,024 bytes", longestName, "no error"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeError(c.container), c.message) << c.label;
}

// Cutting a valid container anywhere gives a header error inside the header and "Unexpected end
// of file" inside the code stream, up to its last byte: only the end code ends the output.
TEST(XsaStream, TruncationAtEveryOffsetRaisesOnlyTheTwoErrors) {
  Bytes data = xsa_test::FilledDiskImage();
  data.resize(6000);
  const Bytes container = Encode(data, L"CUT.DSK");
  const std::size_t headerSize = 12 + 7 + 1;
  for (const std::size_t length :
       {headerSize - 1, headerSize, container.size() - 3, container.size() - 1, container.size()}) {
    const Bytes cut(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(length));
    Bytes decoded;
    const std::string message = MessageOf([&] { decoded = Decode(cut); });
    if (length < headerSize) {
      ASSERT_EQ(message, "Invalid header in XSA file.") << length;
    } else if (length < container.size()) {
      ASSERT_EQ(message, "Unexpected end of file") << length;
    } else {
      ASSERT_EQ(message, "no error") << length;
      ASSERT_EQ(decoded, data) << length;
    }
  }
}

// The decoder works one window ahead of the reader: the first bytes of a container cut off far
// behind them are delivered before the cut is met.
TEST(XsaStream, DecodesOneWindowAheadOfTheReader) {
  const Bytes data = xsa_test::RandomBytes(65536, 3);  // literals: nine bits a byte
  const Bytes container = Encode(data);
  const Bytes cut(container.begin(), container.begin() + 12000);
  rtl::TMemoryStream in(cut);
  TXSStream xsa(in);
  Bytes first(1000);
  ASSERT_EQ(MessageOf([&] { EXPECT_EQ(xsa.Read(first), first.size()); }), "no error");
  EXPECT_TRUE(std::equal(first.begin(), first.end(), data.begin()));
  Bytes rest(data.size());
  EXPECT_EQ(MessageOf([&] { xsa.Read(rest); }), "Unexpected end of file");
}

TEST(XsaStream, ReadDeliversAtMostTheUnpackedBytes) {
  rtl::TMemoryStream in(Encode(Bytes(600, 7)));
  TXSStream xsa(in);
  EXPECT_EQ(xsa.Size(), 600);
  Bytes buffer(1000);
  EXPECT_EQ(xsa.Read(buffer), 600u);
  EXPECT_TRUE(xsa.Eof());
  EXPECT_EQ(xsa.Read(buffer), 0u);
}

TEST(XsaStream, SeekMovesForwardOnly) {
  Bytes data(20000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 / 3);
  rtl::TMemoryStream in(Encode(data));
  TXSStream xsa(in);
  std::uint8_t byte = 0;
  const auto next = [&] {
    EXPECT_EQ(xsa.Read(std::span(&byte, 1)), 1u);
    return byte;
  };
  using rtl::SeekOrigin;
  EXPECT_EQ(xsa.Seek(100, SeekOrigin::Begin), 100);
  EXPECT_EQ(next(), data[100]);
  EXPECT_EQ(xsa.Seek(50, SeekOrigin::Begin), 101);  // backwards: nothing moves
  EXPECT_EQ(xsa.Seek(9000, SeekOrigin::Current), 9101);
  EXPECT_EQ(next(), data[9101]);
  EXPECT_EQ(xsa.Seek(-100, SeekOrigin::End), 19900);
  EXPECT_EQ(next(), data[19900]);
  EXPECT_EQ(xsa.Seek(0, SeekOrigin::End), 20000);
  EXPECT_TRUE(xsa.Eof());
  EXPECT_EQ(xsa.Seek(INT64_MAX, SeekOrigin::Current), 20000);
}

TEST(XsaStream, MisuseRaisesItsFixedMessage) {
  rtl::TMemoryStream packed(Encode({1, 2, 3}));
  TXSStream decoder(packed);
  rtl::TMemoryStream target;
  TXSStream encoder(target, L"X.DSK");
  std::uint8_t buffer[4] = {};
  const struct {
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {[&] { encoder.Size(); }, "Can not get size on XSA encoder mode."},
      {[&] { decoder.SetSize(10); }, "Can not set size on XSA file format."},
      {[&] { encoder.Read(buffer); }, "Can not read data on XSA encoder mode."},
      {[&] { decoder.Write(buffer); }, "Can not write data on XSA decoder mode."},
      {[&] { decoder.Finish(); }, "Can not write data on XSA decoder mode."},
      {[&] { encoder.Seek(0, rtl::SeekOrigin::Begin); },
       "Can not seek offset on XSA encoder mode."},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(c.action), c.message);
}

std::string StoredName(std::wstring_view name) {
  const Bytes container = Encode({}, name);
  rtl::TMemoryStream in(container);
  const std::string decoded = TXSStream(in).OrgName();
  EXPECT_EQ(std::string(container.begin() + 12, container.end() - 3), decoded);
  return decoded;
}

TEST(XsaStream, NameKeepsTheLastComponentInThe8BitCodePage) {
  EXPECT_EQ(StoredName(L"D:\\IMAGES\\GAME.XSA"), "GAME.XSA");
  EXPECT_EQ(StoredName(L"A:GAME.XSA"), "GAME.XSA");
  // Characters the code page cannot hold, and a character whose low byte is 0.
  EXPECT_EQ(StoredName(L"caf\u00E9\u4E00.dsk"), "caf\xE9_.dsk");
  EXPECT_EQ(StoredName(std::wstring(L"a") + L'\0' + L"b"), "a_b");
  const rtl::TFixedCodePage cyrillic(rtl::FixedTable::Cp1251);
  const rtl::TCodePage* previous = rtl::SetCodePage(&cyrillic);
  EXPECT_EQ(StoredName(L"\u0416.dsk"), "\xC6.dsk");
  rtl::SetCodePage(previous);
}

TEST(XsaStream, EncoderPatchesItsOwnHeaderAfterEarlierBytes) {
  const Bytes data = xsa_test::RandomBytes(3000, 9, 3);
  rtl::TMemoryStream out;
  out.WriteBuffer(Bytes{'J', 'U', 'N', 'K', '!'});
  {
    TXSStream xsa(out, L"X");
    xsa.WriteBuffer(data);
    xsa.Finish();
  }
  out.WriteBuffer(Bytes{'E', 'N', 'D'});
  const Bytes& bytes = out.Bytes();
  const Bytes container(bytes.begin() + 5, bytes.end() - 3);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 5), (Bytes{'J', 'U', 'N', 'K', '!'}));
  EXPECT_EQ(xsa_test::U32At(container, 4), 3000u);
  EXPECT_EQ(xsa_test::U32At(container, 8), container.size());
  EXPECT_EQ(Decode(container), data);
}

// A stream that accepts a fixed number of bytes and then fails, like a full disk.
class TFullStream : public rtl::TMemoryStream {
 public:
  explicit TFullStream(std::size_t room) : room_(room) {}
  std::size_t Write(std::span<const std::uint8_t> data) override {
    if (data.size() > room_) throw rtl::EStreamError("Disk full");
    room_ -= data.size();
    return TMemoryStream::Write(data);
  }

 private:
  std::size_t room_;
};

TEST(XsaStream, FinishPassesStreamErrorsAndLeavesTheEncoderClosed) {
  TFullStream out(100);
  TXSStream xsa(out, L"X");
  xsa.WriteBuffer(xsa_test::RandomBytes(1000, 1));
  EXPECT_THROW(xsa.Finish(), rtl::EStreamError);
  EXPECT_THROW(xsa.WriteBuffer(Bytes{1}), EXsaError);
  EXPECT_THROW(xsa.Finish(), EXsaError);
}

TEST(XsaStream, UnfinishedEncoderWritesNothingMoreOnDestruction) {
  rtl::TMemoryStream out;
  { TXSStream(out, L"X").WriteBuffer(Bytes(100, 1)); }
  EXPECT_EQ(out.Bytes(), (Bytes{0x50, 0x43, 0x4B, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 'X', 0}));
}

// 300 bytes without any repeated pair of neighbours, so the encoder codes them all as literals.
Bytes DistinctPairs() {
  Bytes bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
  for (int j = 0; j < 44; ++j) bytes.push_back(static_cast<std::uint8_t>(2 * j));
  return bytes;
}

struct HandVector {
  const char* label;
  Bytes data;
  std::wstring name;
  Bytes container;
};

std::vector<HandVector> HandVectors() {
  // The end code (length 255) is a match flag and 15 bits: 1 111 11111 1111110.
  std::vector<HandVector> vectors = {
      {"V1 empty",
       {},
       L"",
       {0x50, 0x43, 0x4B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x7F}},
      // A literal (0, then the raw byte), then the end code across two more flag bytes.
      {"V2 one literal",
       {0x41},
       L"",
       {0x50, 0x43, 0x4B, 0x08, 0x01, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0xFE, 0x41,
        0xFF, 0x00}},
      // Literal, then a match of length 10 (1111 0 001) at distance 1 (class 0, code 0000 in the
      // initial tree).
      {"V3 run of eleven",
       Bytes(11, 0x41),
       L"",
       {0x50, 0x43, 0x4B, 0x08, 0x0B, 0x00, 0x00, 0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x3E, 0x41,
        0xC2, 0xFF, 0x1F}},
  };

  // V4: 300 literals, then distance 300 (class 11: code 1011, raw low byte 0x29, no high bits)
  // at length 2 (0), then the end code.
  Bytes data = DistinctPairs();
  TBitPacker code;
  for (const std::uint8_t byte : data) code.Literal(byte);
  code.Bits("1 0 1011").Raw(0x29).EndCode();
  data.push_back(data[0]);
  data.push_back(data[1]);
  vectors.push_back({"V4 long distance", data, L"", Container(302, "", code.Code())});
  return vectors;
}

TEST(XsaHandVectors, EncoderWritesExactlyTheseBytesAndDecoderReadsThemBack) {
  for (const HandVector& vector : HandVectors()) {
    SCOPED_TRACE(vector.label);
    EXPECT_EQ(Encode(vector.data, vector.name), vector.container);
    EXPECT_EQ(Decode(vector.container), vector.data);
  }
}

struct DecodeCase {
  const char* label;
  Bytes container;
  Bytes expected;
};

std::vector<DecodeCase> DecodeCases() {
  std::vector<DecodeCase> cases;
  {
    // After the first rebuild, class 15 is 0000 and class 1 is 00010.
    TBitPacker code;
    code.Literal('A').Literal('B');
    for (int i = 0; i < 128; ++i) code.Bits("1 0 0000");
    // Then distance 2 (class 1: 00010) and distance 4,099 (class 15: 0000, raw low byte 0, high
    // bits 0000), which reaches before the first byte and so copies zeros.
    code.Bits("1 0 00010").Bits("1 10 0000").Raw(0).Bits("0000").EndCode();
    Bytes expected = {'A'};
    expected.insert(expected.end(), 1 + 128 * 2 + 2, 'B');
    expected.insert(expected.end(), 3, 0);
    cases.push_back({"codes after a rebuild", Container(0xFFFFFFFF, "", code.Code()), expected});
  }
  {
    // Every length code: 2, 3, 4, then K = 2..7 with the shortest and longest V.
    TBitPacker code;
    code.Literal('x');
    int total = 1;
    const std::pair<const char*, int> lengths[] = {{"0", 2},
                                                   {"10", 3},
                                                   {"110", 4},
                                                   {"111 0 11", 8},
                                                   {"111 110 1111", 32},
                                                   {"111 11110 000000", 65},
                                                   {"111 11111 1111111", 256}};
    for (const auto& [bits, length] : lengths) {
      code.Bits("1").Bits(bits).Bits("0000");
      total += length;
    }
    code.EndCode();
    cases.push_back({"every length code", Container(total, "", code.Code()), Bytes(total, 'x')});
  }
  {
    // The longest distance, 8,194: class 15 (code 1111), raw low byte 0xFF, high bits 1111.
    const Bytes history = xsa_test::RandomBytes(9000, 3);
    TBitPacker code;
    for (const std::uint8_t byte : history) code.Literal(byte);
    code.Bits("1 110 1111").Raw(0xFF).Bits("1111").EndCode();
    Bytes expected = history;
    expected.insert(expected.end(), history.end() - 8194, history.end() - 8190);
    cases.push_back({"longest distance", Container(9004, "N", code.Code()), expected});
  }
  {
    // Only the end code ends the output, not a smaller unpacked size in the header.
    TBitPacker code;
    code.Literal('A').Bits("1 111 10 001 0000").EndCode();
    cases.push_back({"goes past the unpacked size", Container(5, "", code.Code()), Bytes(11, 'A')});
  }
  {
    // The end code ends the output before the unpacked size.
    TBitPacker code;
    code.Literal('A').Literal('B').EndCode().Literal('C');
    cases.push_back({"stops at the end code", Container(600, "", code.Code()), {'A', 'B'}});
  }
  return cases;
}

TEST(XsaHandVectors, DecoderFollowsHandWrittenCodeStreams) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Decode(c.container), c.expected);
  }
}

std::vector<TItem> ItemsOf(const Bytes& data) {
  const Bytes container = Encode(data);
  return xsa_test::TItemReader(container).Items();
}

constexpr TItem kLiteral{};
TItem Match(int length, int distance) {
  return {length, distance};
}

// Greedy matches, the newest of equal candidates, the longest run first and no match shorter
// than two bytes.
TEST(XsaEncoder, ChoosesTheseItems) {
  const struct {
    const char* label;
    Bytes data;
    std::vector<TItem> items;
  } cases[] = {
      {"one zero", Bytes(1, 0), {kLiteral}},
      // The second zero would match the first, but only one byte is left: a literal.
      {"two zeros", Bytes(2, 0), {kLiteral, kLiteral}},
      {"three zeros", Bytes(3, 0), {kLiteral, Match(2, 1)}},
      {"254 zeros", Bytes(254, 0), {kLiteral, Match(253, 1)}},
      {"255 zeros", Bytes(255, 0), {kLiteral, Match(253, 1), kLiteral}},
      {"256 letters", Bytes(256, 'A'), {kLiteral, Match(253, 1), Match(2, 1)}},
      // Equal runs at distances 4 and 8: the newer candidate wins.
      {"newest of equals",
       {'A', 'B', 'C', 'x', 'A', 'B', 'C', 'y', 'A', 'B', 'C'},
       {kLiteral, kLiteral, kLiteral, kLiteral, Match(3, 4), kLiteral, Match(3, 4)}},
      // A longer run beats a newer one.
      {"longest first",
       {'A', 'B', 'C', 'D', 'x', 'A', 'B', 'C', 'y', 'A', 'B', 'C', 'D'},
       {kLiteral, kLiteral, kLiteral, kLiteral, kLiteral, Match(3, 5), kLiteral, Match(4, 9)}},
  };
  for (const auto& c : cases) EXPECT_EQ(ItemsOf(c.data), c.items) << c.label;
}

// Every position that leaves the window takes its byte's oldest ring entry with it, even when the
// ring overflowed and had let that position go already. 300 bytes 0xFF, each followed by a tag
// of two bytes, overflow 0xFF's ring of 256 (entries 44-299 stay); filler without 0xFF then moves
// the window past entries 0-45 (positions below 8,075 + 254 - 8,192), whose leaving drops entries
// 44-89. At 8,075 the bytes of entry 50 come again: only entry 178 (the same first tag byte) is
// left to match, two bytes long.
TEST(XsaEncoder, LeavingPositionsEmptyTheirByteRing) {
  constexpr std::size_t kProbe = 8075;
  const auto tag = [](std::size_t i) {
    return Bytes{static_cast<std::uint8_t>(1 + i % 128), static_cast<std::uint8_t>(1 + i / 128)};
  };
  Bytes data;
  for (std::size_t i = 0; i < 300; ++i) {
    data.push_back(0xFF);
    const Bytes t = tag(i);
    data.insert(data.end(), t.begin(), t.end());
  }
  std::mt19937 random(5);
  while (data.size() < kProbe) data.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x7F));
  data.push_back(0xFF);
  const Bytes t50 = tag(50);
  data.insert(data.end(), t50.begin(), t50.end());
  // The probe is coded with its full lookahead behind it.
  while (data.size() < kProbe + 300)
    data.push_back(static_cast<std::uint8_t>(0x80 + random() % 0x7F));

  const Bytes container = xsa_test::Encode(data);
  EXPECT_EQ(xsa_test::Decode(container), data);
  std::size_t at = 0;
  const std::vector<TItem> items = ItemsOf(data);
  auto item = items.begin();
  for (; item != items.end() && at < kProbe; ++item)
    at += item->length == 0 ? 1 : static_cast<std::size_t>(item->length);
  ASSERT_EQ(at, kProbe);  // the filler ends with a whole item
  ASSERT_NE(item, items.end());
  EXPECT_EQ(*item, Match(2, static_cast<int>(kProbe - 3 * 178)));
}

TEST(XsaRoundTrip, GivesTheInputBackWithItsSizes) {
  std::vector<std::pair<Bytes, std::size_t>> cases;  // data and the largest packed size
  for (const std::size_t length : {0u, 1u, 255u, 509u}) cases.push_back({Bytes(length, 0x41), 100});
  // Random bytes grow by at most one bit per byte.
  for (const std::size_t size : {7u, 5000u, 100000u})
    cases.push_back(
        {xsa_test::RandomBytes(size, static_cast<std::uint32_t>(size)), size * 9 / 8 + 20});
  cases.push_back({Bytes(xsa_test::kImageSize, 0), 8192});
  cases.push_back({xsa_test::NewDiskImage(), 8192});
  cases.push_back({xsa_test::FilledDiskImage(), xsa_test::kImageSize});
  for (const auto& [data, largest] : cases) {
    SCOPED_TRACE(testing::Message() << "size " << data.size());
    const Bytes container = xsa_test::Encode(data);
    EXPECT_EQ(xsa_test::U32At(container, 4), data.size());
    EXPECT_EQ(xsa_test::U32At(container, 8), container.size());
    EXPECT_LE(container.size(), largest);
    EXPECT_TRUE(xsa_test::Decode(container) == data);
  }
}

TEST(XsaRoundTrip, ByteByByteWritesGiveTheSameContainer) {
  const Bytes data = xsa_test::FilledDiskImage(3);
  const Bytes part(data.begin(), data.begin() + 50000);
  rtl::TMemoryStream out;
  disk::TXSStream xsa(out, L"");
  for (const std::uint8_t byte : part) EXPECT_EQ(xsa.Write(std::span(&byte, 1)), 1u);
  EXPECT_EQ(xsa.Write({}), 0u);
  xsa.Finish();
  EXPECT_EQ(out.Bytes(), xsa_test::Encode(part));
}

}  // namespace
