// BMP file layouts over arbitrary bytes: a file is refused or every part it names lies in it,
// and the header block for the platform holds every colour entry its header declares.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "fuzz_util.h"
#include "gfx/bmp_layout.h"
#include "rtl/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gfx::TBmpLayout l;
  try {
    l = gfx::ReadBmpLayout(std::span<const std::uint8_t>(data, size));
  } catch (const rtl::Exception&) {
    return 0;
  }
  const auto fileSize = static_cast<std::int64_t>(size);
  Require(l.Width >= 0 && l.Rows >= 0);
  Require(l.BitsOffset >= 54 && l.BitsOffset <= fileSize);
  Require(l.Stride * 8 >= static_cast<std::int64_t>(l.Width) * l.BitCount);
  Require(static_cast<std::int64_t>(l.Rows) * l.Stride <= fileSize - l.BitsOffset);
  std::uint32_t header[10];
  Require(l.Info.size() * 4 >= sizeof(header));
  std::memcpy(header, l.Info.data(), sizeof(header));
  const std::uint32_t used = header[8];
  const std::uint64_t colors =
      l.BitCount <= 8 ? (used ? used : 1u << l.BitCount) : (used < 256 ? used : 256);
  const std::uint64_t masks = l.Compression == 3 && header[0] == 40 ? 12 : 0;
  Require(header[0] + masks + colors * 4 <= l.Info.size() * 4);
  return 0;
}
