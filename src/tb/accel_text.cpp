#include "tb/accel_text.h"

#include <cwctype>

namespace tb {

std::wstring StripAccelMarks(std::wstring_view text) {
  std::wstring shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&') {
      if (i + 1 >= text.size()) break;
      ++i;
    }
    shown += text[i];
  }
  return shown;
}

wchar_t AccelCharOf(std::wstring_view text) {
  wchar_t accel = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (++i == text.size()) return 0;  // a text ending in a single "&" has no accelerator
    if (text[i] != L'&') accel = text[i];
  }
  return accel;
}

std::wstring DoubleAccelMarks(std::wstring_view text) {
  std::wstring doubled;
  for (const wchar_t c : text) {
    doubled += c;
    if (c == L'&') doubled += L'&';
  }
  return doubled;
}

std::wstring TrimCaptionDots(std::wstring_view text) {
  if (text.size() > 1 && text.ends_with(L":"))
    text.remove_suffix(1);
  else if (text.size() > 3 && text.ends_with(L"..."))
    text.remove_suffix(3);
  return std::wstring(text);
}

wchar_t LowerAccelChar(wchar_t c) {
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

}  // namespace tb
