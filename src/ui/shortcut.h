// Keyboard shortcuts as the class library encodes them: the virtual-key code in the low byte,
// plus scShift, scCtrl and scAlt. Texts like "Ctrl+S", "Shift+Ctrl+F5", "Alt+V", "Del", "F8".
//   ShortCut(key, shift), ShortCutToText(shortcut), TextToShortCut(text) (case-insensitive;
//   0 when the text names no key), TShiftState flags for key and mouse events.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

TShortCut ShortCut(std::uint16_t key, TShiftState shift);
std::wstring ShortCutToText(TShortCut shortcut);
TShortCut TextToShortCut(std::wstring_view text);

}  // namespace ui
