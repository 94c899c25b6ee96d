// Encoding then decoding gives the input back: short runs, periods, overflowing position rings,
// disk images. The encoder's tests round-trip the window's edge and every distance class.
#include <gtest/gtest.h>

#include "xsa_test_support.h"

namespace {

using xsa_test::Bytes;
using xsa_test::Decode;
using xsa_test::Encode;

// Round trip, and the header's sizes agree with the input and the container.
Bytes ExpectRoundTrip(const Bytes& data) {
  const Bytes container = Encode(data);
  EXPECT_EQ(xsa_test::U32At(container, 4), data.size());
  EXPECT_EQ(xsa_test::U32At(container, 8), container.size());
  EXPECT_TRUE(Decode(container) == data) << "size " << data.size();
  return container;
}

TEST(XsaRoundTrip, EveryRunLengthUpTo1000) {
  for (const std::uint8_t value : {0x00, 0x41}) {
    for (std::size_t length = 0; length <= 1000; ++length) {
      SCOPED_TRACE(testing::Message() << "value " << int{value} << " length " << length);
      ExpectRoundTrip(Bytes(length, value));
      if (HasFailure()) return;
    }
  }
}

TEST(XsaRoundTrip, RandomBytesGrowByAtMostOneBitPerByte) {
  for (const std::size_t size : {1u, 2u, 7u, 100u, 5000u, 100000u}) {
    const Bytes data = xsa_test::RandomBytes(size, static_cast<std::uint32_t>(size));
    EXPECT_LE(ExpectRoundTrip(data).size(), size * 9 / 8 + 20) << size;
  }
}

// Periods near the window's reach are round-tripped by the encoder's window test.
TEST(XsaRoundTrip, PeriodicData) {
  for (std::size_t period = 1; period <= 300; ++period) {
    const Bytes pattern = xsa_test::RandomBytes(period, static_cast<std::uint32_t>(period));
    Bytes data(3000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = pattern[i % period];
    ExpectRoundTrip(data);
  }
}

TEST(XsaRoundTrip, OverflowingPositionRings) {
  // One byte value more than 256 times inside 8 KB, scattered so runs stay short, then other
  // data that keeps the window sliding past the evicted positions.
  Bytes data = xsa_test::RandomBytes(30000, 17);
  for (std::size_t i = 0; i < 6000; i += 3) data[i] = 0;
  ExpectRoundTrip(data);
  Bytes runThenData(3000, 0xE5);
  const Bytes tail = xsa_test::RandomBytes(20000, 19, 2);
  runThenData.insert(runThenData.end(), tail.begin(), tail.end());
  ExpectRoundTrip(runThenData);
}

TEST(XsaRoundTrip, DiskImages) {
  const Bytes zeros(xsa_test::kImageSize, 0);
  EXPECT_LT(ExpectRoundTrip(zeros).size(), 8192u);
  EXPECT_LT(ExpectRoundTrip(xsa_test::NewDiskImage()).size(), 8192u);
  ExpectRoundTrip(xsa_test::FilledDiskImage());
}

TEST(XsaRoundTrip, ByteByByteWritesGiveTheSameContainer) {
  const Bytes data = xsa_test::FilledDiskImage(3);
  const Bytes part(data.begin(), data.begin() + 50000);
  rtl::TMemoryStream out;
  disk::TXSStream xsa(out, L"");
  for (const std::uint8_t byte : part) EXPECT_EQ(xsa.Write(std::span(&byte, 1)), 1u);
  EXPECT_EQ(xsa.Write({}), 0u);
  xsa.Finish();
  EXPECT_EQ(out.Bytes(), Encode(part));
}

}  // namespace
