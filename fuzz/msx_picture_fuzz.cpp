// MSX screen pictures over arbitrary bytes of any length: both kinds decode to a whole,
// opaque 256 x 212 picture without reading past the input (the sanitizers watch the reads).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/msx_picture.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (app::TMsxPictureKind kind : {app::TMsxPictureKind::Screen5, app::TMsxPictureKind::Screen8}) {
    const auto picture = app::DecodeMsxPicture(bytes, kind);
    Require(picture && picture->pixels.size() == 256u * 212u);
    Require(std::all_of(picture->pixels.begin(), picture->pixels.end(),
                        [](std::uint32_t pixel) { return pixel >> 24 == 0xFF; }));
  }
  return 0;
}
