// The MSX-BASIC token tables and the MSX character set as the lister shows them.
#pragma once

#include <cstdint>
#include <string_view>

namespace app::msx_basic {

// Keyword or operator of the one-byte tokens 0x81 to 0xFC; empty outside that range.
std::wstring_view StatementToken(std::uint8_t token);
// Function name of the tokens 0x81 to 0xB0 that follow the prefix 0xFF; empty outside.
std::wstring_view FunctionToken(std::uint8_t token);

// A character code of a string literal or comment: 0xC0 to 0xFF are the Cyrillic letters of
// KOI8-R, every other code stands for itself.
wchar_t MapChar(std::uint8_t code);
// The graphic character selected by the code after the prefix 0x01; codes without a graphic
// stand for themselves.
wchar_t MapGraphChar(std::uint8_t code);

}  // namespace app::msx_basic
