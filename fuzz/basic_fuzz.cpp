// Feeds arbitrary bytes to the BASIC lister: every run ends, the text stays within a small
// multiple of the input, and the lines listed from any prefix of the input are a prefix of the
// lines listed from all of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "app/msx_basic.h"
#include "fuzz_util.h"

namespace {

// No byte lists as more than eight characters (a keyword, or a digit of a constant with its
// point, sign and exponent); twice that leaves room.
constexpr std::size_t kMaxCharsPerByte = 16;

std::size_t TextSize(const std::vector<std::wstring>& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size();
  return size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  app::TMsxBasicDecoder whole;
  const bool listed = whole.Decode(input);
  Require(TextSize(whole.Lines()) <= kMaxCharsPerByte * size);

  for (const std::size_t length : {size / 2, size > 0 ? size - 1 : 0}) {
    app::TMsxBasicDecoder part;
    const bool partListed = part.Decode(input.first(length));
    const auto& lines = part.Lines();
    Require(lines.size() <= whole.Lines().size());
    for (std::size_t i = 0; i < lines.size(); ++i) Require(lines[i] == whole.Lines()[i]);
    if (partListed) Require(listed && lines.size() == whole.Lines().size());
  }
  return 0;
}
