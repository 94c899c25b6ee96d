// Colours as the class library keeps them, without the platform headers.
//   TColor: 0x00BBGGRR for an explicit colour, clSystemColor | n for system colour n,
//   clNone (0x1FFFFFFF) for "not set", clDefault (0x20000000) for "the control's default".
//   ColorToIdent / IdentToColor: the identifier of a named colour ("clBtnFace"), compared
//   case-insensitively when read.
//   ColorToString: the identifier, else "$" and eight upper-case hexadecimal digits.
//   StringToColor: an identifier or a number (decimal, "$" or "0x" hexadecimal, 32 bits, signed
//   or not); anything else raises EConvertError.
//   SystemColorRGB(n): the system colour n as 0x00BBGGRR (the platform's table on Windows, a
//   fixed table elsewhere, or the source a test sets); ColorToRGBValue resolves system colours
//   and passes others through.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rtl/exceptions.h"

namespace ui {

using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// A text that is neither a colour identifier nor a number.
class EConvertError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

std::optional<std::wstring_view> ColorToIdent(TColor color);
std::optional<TColor> IdentToColor(std::wstring_view ident);
std::wstring ColorToString(TColor color);
TColor StringToColor(std::wstring_view text);

std::uint32_t SystemColorRGB(int index);
using TSystemColorSource = std::uint32_t (*)(int index);
// Answers system colours from `source` from now on (null: the platform again); returns the
// source it replaces.
TSystemColorSource SetSystemColorSource(TSystemColorSource source);
std::uint32_t ColorToRGBValue(TColor color);

}  // namespace ui
