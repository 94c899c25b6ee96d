// The platform's locale rules that the settings components need, defined once per build
// (win32/ or posix/).
#pragma once

#include <string>
#include <string_view>

namespace ux {

// Upper case by the user's locale.
std::wstring LocaleUpperCase(std::wstring_view text);
// The user's short date format, for example "dd/MM/yyyy".
std::wstring LocaleShortDateFormat();

}  // namespace ux
