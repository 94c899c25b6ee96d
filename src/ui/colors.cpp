#include "ui/colors.h"

#include <array>
#include <cstdio>
#include <limits>
#include <utility>

#include "ui/text.h"

namespace ui {

namespace {

// clNone first: skin text is mostly colours that are not set.
constexpr std::array<std::pair<TColor, std::wstring_view>, 52> kColorIdents{{
    {clNone, L"clNone"},
    {clBlack, L"clBlack"},
    {clMaroon, L"clMaroon"},
    {clGreen, L"clGreen"},
    {clOlive, L"clOlive"},
    {clNavy, L"clNavy"},
    {clPurple, L"clPurple"},
    {clTeal, L"clTeal"},
    {clGray, L"clGray"},
    {clSilver, L"clSilver"},
    {clRed, L"clRed"},
    {clLime, L"clLime"},
    {clYellow, L"clYellow"},
    {clBlue, L"clBlue"},
    {clFuchsia, L"clFuchsia"},
    {clAqua, L"clAqua"},
    {clWhite, L"clWhite"},
    {clMoneyGreen, L"clMoneyGreen"},
    {clSkyBlue, L"clSkyBlue"},
    {clCream, L"clCream"},
    {clMedGray, L"clMedGray"},
    {clActiveBorder, L"clActiveBorder"},
    {clActiveCaption, L"clActiveCaption"},
    {clAppWorkSpace, L"clAppWorkSpace"},
    {clBackground, L"clBackground"},
    {clBtnFace, L"clBtnFace"},
    {clBtnHighlight, L"clBtnHighlight"},
    {clBtnShadow, L"clBtnShadow"},
    {clBtnText, L"clBtnText"},
    {clCaptionText, L"clCaptionText"},
    {clDefault, L"clDefault"},
    {clGradientActiveCaption, L"clGradientActiveCaption"},
    {clGradientInactiveCaption, L"clGradientInactiveCaption"},
    {clGrayText, L"clGrayText"},
    {clHighlight, L"clHighlight"},
    {clHighlightText, L"clHighlightText"},
    {clHotLight, L"clHotLight"},
    {clInactiveBorder, L"clInactiveBorder"},
    {clInactiveCaption, L"clInactiveCaption"},
    {clInactiveCaptionText, L"clInactiveCaptionText"},
    {clInfoBk, L"clInfoBk"},
    {clInfoText, L"clInfoText"},
    {clMenu, L"clMenu"},
    {clMenuBar, L"clMenuBar"},
    {clMenuHighlight, L"clMenuHighlight"},
    {clMenuText, L"clMenuText"},
    {clScrollBar, L"clScrollBar"},
    {cl3DDkShadow, L"cl3DDkShadow"},
    {cl3DLight, L"cl3DLight"},
    {clWindow, L"clWindow"},
    {clWindowFrame, L"clWindowFrame"},
    {clWindowText, L"clWindowText"},
}};

TSystemColorSource systemColorSource = nullptr;

}  // namespace

// The platform's answer (win32/ or posix/).
std::uint32_t PlatformSystemColorRGB(int index);

std::uint32_t SystemColorRGB(int index) {
  return systemColorSource ? systemColorSource(index) : PlatformSystemColorRGB(index);
}

TSystemColorSource SetSystemColorSource(TSystemColorSource source) {
  const TSystemColorSource previous = systemColorSource;
  systemColorSource = source;
  return previous;
}

std::optional<std::wstring_view> ColorToIdent(TColor color) {
  for (const auto& [value, name] : kColorIdents)
    if (value == color) return name;
  return std::nullopt;
}

std::optional<TColor> IdentToColor(std::wstring_view ident) {
  for (const auto& [value, name] : kColorIdents)
    if (SameText(name, ident)) return value;
  return std::nullopt;
}

std::wstring ColorToString(TColor color) {
  if (const auto ident = ColorToIdent(color)) return std::wstring(*ident);
  wchar_t text[16];
  std::swprintf(text, std::size(text), L"$%.8X", static_cast<unsigned>(color));
  return text;
}

TColor StringToColor(std::wstring_view text) {
  if (const auto color = IdentToColor(text)) return *color;
  const auto value = TryStrToInt64(text);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::uint32_t>::max()) {
    throw EConvertError("'" + Utf8FromWide(text.substr(0, 64)) + "' is not a valid colour");
  }
  return static_cast<TColor>(*value);
}

std::uint32_t ColorToRGBValue(TColor color) {
  if ((color & 0xFF000000) == clSystemColor) return SystemColorRGB(static_cast<int>(color & 0xFF));
  return color;
}

}  // namespace ui
