// A bitmap's streamed pixel data (width, height, then the pixels) over arbitrary bytes: the data
// is refused or read whole into a bitmap of that size, and written back it gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_util.h"
#include "gfx/bitmap32.h"
#include "gfx/startup.h"
#include "rtl/exceptions.h"
#include "rtl/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = [] {
    gfx::Initialize();
    gfx::InitializeBitmapUnit();
    return true;
  }();
  (void)started;
  const std::vector<std::uint8_t> bytes(data, data + size);
  rtl::TMemoryStream in(bytes);
  gfx::TBitmap32 bitmap;
  try {
    bitmap.ReadData(in);
  } catch (const rtl::Exception&) {
    return 0;
  }
  const std::int64_t pixels =
      bitmap.Empty() ? 0 : static_cast<std::int64_t>(bitmap.Width()) * bitmap.Height();
  Require(in.Position() == 8 + 4 * pixels);
  rtl::TMemoryStream out;
  bitmap.WriteData(out);
  const std::vector<std::uint8_t>& written = out.Bytes();
  if (pixels > 0)
    Require(written.size() == static_cast<std::size_t>(in.Position()) &&
            std::equal(written.begin(), written.end(), bytes.begin()));
  return 0;
}
