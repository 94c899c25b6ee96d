// The XSA stream: header checks, corrupt and cut containers, reading, seeking, misuse, names and
// how the encoder finishes.
#include <gtest/gtest.h>

#include <functional>

#include "rtl/code_page.h"
#include "xsa_test_support.h"

namespace {

using disk::EXsaError;
using disk::TXSStream;
using xsa_test::Bytes;
using xsa_test::Decode;
using xsa_test::Encode;

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

// Cutting a valid container anywhere gives a header error inside the header, "Unexpected end of
// file" inside the code stream, or all the data when only end-code bits are lost.
TEST(XsaStream, TruncationAtEveryOffsetRaisesOnlyTheTwoErrors) {
  Bytes data = xsa_test::FilledDiskImage();
  data.resize(6000);
  const Bytes container = Encode(data, L"CUT.DSK");
  const std::size_t headerSize = 12 + 7 + 1;
  for (const std::size_t length :
       {headerSize - 1, headerSize, container.size() - 3, container.size() - 2}) {
    const Bytes cut(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(length));
    Bytes decoded;
    const std::string message = MessageOf([&] { decoded = Decode(cut); });
    if (length < headerSize) {
      ASSERT_EQ(message, "Invalid header in XSA file.") << length;
    } else if (length < container.size() - 2) {
      ASSERT_EQ(message, "Unexpected end of file") << length;
    } else {
      // The last two bytes hold only end-code bits, and the unpacked size ends the output first.
      ASSERT_EQ(message, "no error") << length;
      ASSERT_EQ(decoded, data) << length;
    }
  }
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

}  // namespace
