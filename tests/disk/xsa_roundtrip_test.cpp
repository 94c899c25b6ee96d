// Encoding then decoding gives the input back, on inputs chosen to reach every corner of the
// matcher: short runs, the window's edge, overflowing position rings, many tree rebuilds.
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

Bytes Periodic(std::size_t period, std::size_t length, std::uint32_t seed) {
  const Bytes pattern = xsa_test::RandomBytes(period, seed);
  Bytes data(length);
  for (std::size_t i = 0; i < length; ++i) data[i] = pattern[i % period];
  return data;
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

TEST(XsaRoundTrip, PeriodicDataUpToAndAcrossTheWindowEdge) {
  for (std::size_t period = 1; period <= 300; ++period)
    ExpectRoundTrip(Periodic(period, 3000, static_cast<std::uint32_t>(period)));
  // Periods close to the reach of a match (7,938) and to the ring size (8,192): a stale slot
  // would be taken for a match here.
  for (const std::size_t first : {7930u, 8185u})
    for (std::size_t period = first; period <= first + 15; ++period)
      ExpectRoundTrip(Periodic(period, 2 * period + 600, static_cast<std::uint32_t>(period)));
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

TEST(XsaRoundTrip, DistancesOfEveryClassAndManyRebuilds) {
  // Short repeats far apart: distances above 128 and 4,096 with few literals between them.
  Bytes far = xsa_test::RandomBytes(40000, 23);
  for (std::size_t i = 8200; i + 1 < far.size(); i += 5) {
    const std::size_t distance = 129 + (i * 2654435761u) % 7800;
    far[i] = far[i - distance];
    far[i + 1] = far[i + 1 - distance];
  }
  ExpectRoundTrip(far);
  // A four-letter alphabet over 720 KB: short matches everywhere, far more than 65,536
  // distances, so the counts are halved many times.
  ExpectRoundTrip(xsa_test::RandomBytes(xsa_test::kImageSize, 29, 4));
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
