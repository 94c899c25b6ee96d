// The built-in boot-code blocks. Their bytes come from the Z80 programs in src/disk/bootcode.
#include "disk/boot_code_data.inc"
#include "disk/records.h"

namespace disk {

namespace {

template <std::size_t N>
TBootCodeRec Block(const std::uint8_t (&code)[N]) {
  return {code, static_cast<std::int32_t>(N)};
}

}  // namespace

TBootCodeRec GetBootCode(int option) {
  switch (option) {
    case 1:
      return Block(bootcode::kBootCodeMsxDos1);
    case 2:
      return Block(bootcode::kBootCodeMsxDos2);
    default:
      return Block(bootcode::kBootCodeEmpty);
  }
}

}  // namespace disk
