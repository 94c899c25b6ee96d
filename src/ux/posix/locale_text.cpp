// On the host the locale is the C library's: upper case per character, a fixed date format.
#include <cwctype>

#include "ux/locale_text.h"

namespace ux {

std::wstring LocaleUpperCase(std::wstring_view text) {
  std::wstring result(text);
  for (wchar_t& c : result) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return result;
}

std::wstring LocaleShortDateFormat() {
  return L"dd/MM/yyyy";
}

}  // namespace ux
