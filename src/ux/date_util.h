// Whether the user's short date format shows four-digit years, noted at start-up.
#pragma once

#include <string_view>

namespace ux {

bool HasFourDigitYear(std::wstring_view shortDateFormat);
bool FourDigitYear();
// Notes the flag from the locale's current short date format.
void UpdateFourDigitYear();

}  // namespace ux
