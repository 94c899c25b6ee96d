// Arbitrary bytes as an XSA container: the decoder delivers data or raises one of its two
// errors, reads at most one disk image, and seeking forward agrees with reading.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "disk/xsa_stream.h"
#include "fuzz_util.h"
#include "rtl/stream.h"

namespace {

constexpr std::size_t kLimit = 737280;

// Reads up to kLimit bytes in blocks whose sizes vary with the input.
std::vector<std::uint8_t> ReadAll(disk::TXSStream& xsa, std::size_t block) {
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> buffer(block);
  while (out.size() < kLimit) {
    const std::size_t wanted = std::min(block, kLimit - out.size());
    const std::size_t count = xsa.Read(std::span(buffer.data(), wanted));
    Require(count <= wanted);
    if (count == 0) break;
    out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  const std::size_t block = 1 + (size * 7919) % 5000;
  std::vector<std::uint8_t> whole;
  try {
    rtl::TMemoryStream in(bytes);
    disk::TXSStream xsa(in);
    whole = ReadAll(xsa, block);
    Require(whole.size() == kLimit || xsa.Eof());
  } catch (const disk::EXsaError& error) {
    const std::string_view message = error.what();
    Require(message == disk::kXsaInvalidHeader || message == disk::kXsaUnexpectedEnd);
    return 0;
  }
  // A second decoder skips ahead, and must then read what the first one read there.
  rtl::TMemoryStream in(bytes);
  disk::TXSStream xsa(in);
  const auto skip = static_cast<std::int64_t>(whole.size() * (size % 5) / 4);
  Require(xsa.Seek(skip, rtl::SeekOrigin::Current) == std::min<std::int64_t>(skip, whole.size()));
  Require(xsa.Seek(skip / 2, rtl::SeekOrigin::Begin) == xsa.Position());
  const std::vector<std::uint8_t> rest = ReadAll(xsa, block);
  Require(std::equal(rest.begin(), rest.end(), whole.begin() + xsa.Position() - rest.size()));
  return 0;
}
