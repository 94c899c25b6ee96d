// Arbitrary bytes through the XSA encoder and back: the same bytes, and a header whose sizes
// are the input's and the container's lengths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "disk/xsa_stream.h"
#include "fuzz_util.h"
#include "rtl/stream.h"

namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                    static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first bytes also make a name, 16-bit character by character.
  std::wstring name;
  for (std::size_t i = 0; i + 1 < std::min<std::size_t>(size, 8); i += 2)
    name.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

  rtl::TMemoryStream out;
  {
    disk::TXSStream xsa(out, name);
    // Written in two parts, split where the input says.
    const std::size_t split = size == 0 ? 0 : data[0] * size / 256;
    Require(xsa.Write(std::span(data, split)) == split);
    Require(xsa.Write(std::span(data + split, size - split)) == size - split);
    xsa.Finish();
  }
  const std::vector<std::uint8_t>& container = out.Bytes();
  Require(U32At(container, 4) == size);
  Require(U32At(container, 8) == container.size());

  rtl::TMemoryStream in(container);
  disk::TXSStream xsa(in);
  std::vector<std::uint8_t> decoded(size + 1);
  Require(xsa.ReadFully(decoded) == size);
  Require(std::equal(decoded.begin(), decoded.begin() + static_cast<std::ptrdiff_t>(size), data));
  Require(xsa.Eof());
  return 0;
}
