#include "ux/date_util.h"

#include "ux/locale_text.h"

namespace ux {

namespace {

bool& Flag() {
  static bool fourDigitYear = false;
  return fourDigitYear;
}

}  // namespace

bool HasFourDigitYear(std::wstring_view shortDateFormat) {
  return LocaleUpperCase(shortDateFormat).find(L"YYYY") != std::wstring::npos;
}

bool FourDigitYear() {
  return Flag();
}

void UpdateFourDigitYear() {
  Flag() = HasFourDigitYear(LocaleShortDateFormat());
}

}  // namespace ux
