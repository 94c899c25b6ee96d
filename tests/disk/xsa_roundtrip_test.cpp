// Encoding then decoding gives the input back, with sizes in the header that agree and packed
// sizes within bounds (the round-trip fuzz target covers arbitrary inputs).
#include <gtest/gtest.h>

#include "xsa_test_support.h"

namespace {

using xsa_test::Bytes;

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
