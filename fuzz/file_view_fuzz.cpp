// The file viewer's text forms over arbitrary bytes: the hex dump has exactly its computed shape,
// the text stays within twice the input, and every mode ends in the form its rules choose
// (Auto: text unless binary, then a BASIC listing when one exists, else the hex dump; Basic: the
// listing, else what Auto shows; Z80: the notice; an unknown mode: nothing).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "app/file_view_text.h"
#include "fuzz_util.h"

namespace {

using app::TViewerMode;

std::size_t HexDumpLength(std::size_t size) {
  std::size_t length = 0;
  for (std::size_t offset = 0; offset < size; offset += 16) {
    std::size_t digits = 1;
    for (std::size_t rest = offset; rest >= 16; rest /= 16) ++digits;
    if (offset > 0) length += 2;
    length += std::max<std::size_t>(digits, 4) + 4 + 3 * 16 + 4 +
              std::min<std::size_t>(16, size - offset);
  }
  return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const std::wstring dump = app::HexDump(bytes);
  Require(dump.size() == HexDumpLength(size));
  Require(static_cast<std::size_t>(std::count(dump.begin(), dump.end(), L'\n')) ==
          (size == 0 ? 0 : (size - 1) / 16));
  Require(std::all_of(dump.begin(), dump.end(),
                      [](wchar_t c) { return c == L'\r' || c == L'\n' || (c >= 32 && c <= 127); }));
  const std::wstring text = app::TextView(bytes);
  Require(text.size() <= 2 * size);
  Require(text.find(L'\0') == std::wstring::npos);  // a NUL would cut the text where it is shown

  const bool binary = app::IsBinary(bytes);
  const auto listing = app::BasicListing(bytes);
  const std::wstring name = L"F.BIN";
  const app::TViewerContent automatic = app::BuildViewerContent(bytes, name, TViewerMode::vmAuto);
  if (!binary) {
    Require(automatic.shownAs == TViewerMode::vmText && automatic.text == text);
  } else if (automatic.shownAs == TViewerMode::vmBasic) {
    Require(listing && automatic.text == *listing);
    Require(automatic.caption == L"MSX Basic - " + name);
  } else {
    Require(!listing);
    Require(automatic.shownAs == TViewerMode::vmHex && automatic.text == dump);
    Require(automatic.caption == L"File Viewer - " + name);
  }
  const app::TViewerContent basic = app::BuildViewerContent(bytes, name, TViewerMode::vmBasic);
  if (listing) {
    Require(basic.shownAs == TViewerMode::vmBasic && basic.text == *listing);
  } else {
    Require(basic.shownAs == automatic.shownAs && basic.text == automatic.text);
  }
  Require(app::BuildViewerContent(bytes, name, TViewerMode::vmText).text == text);
  Require(app::BuildViewerContent(bytes, name, TViewerMode::vmHex).text == dump);
  Require(app::BuildViewerContent(bytes, name, TViewerMode::vmZ80).text == app::kZ80Notice);
  Require(app::BuildViewerContent(bytes, name, static_cast<TViewerMode>(5)).text.empty());
  return 0;
}
