// Lists a tokenised MSX-BASIC program (the binary form SAVE writes, first byte 0xFF) as the
// lines LIST would print: keywords spelled out, numeric constants formatted, the MSX character
// set of strings and comments turned into Unicode.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rtl/stream.h"

namespace app {

class TMsxBasicDecoder {
 public:
  // One text per decoded program line, "<number> <text>"; lines of every Decode call pile up.
  const std::vector<std::wstring>& Lines() const { return FLines; }

  // Decodes the program from the stream's position to its end. True when the program's end
  // mark was reached; false when the data is not such a program or ends before the mark (the
  // lines decoded up to the failure stay in Lines). Never throws for malformed data.
  bool Decode(rtl::TStream& stream);
  bool Decode(std::span<const std::uint8_t> program);

 private:
  std::vector<std::wstring> FLines;
};

}  // namespace app
