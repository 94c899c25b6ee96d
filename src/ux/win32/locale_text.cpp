#include <windows.h>

#include "ux/locale_text.h"

namespace ux {

std::wstring LocaleUpperCase(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty()) CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

std::wstring LocaleShortDateFormat() {
  wchar_t buffer[80] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 80);
  return length > 0 ? std::wstring(buffer, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace ux
