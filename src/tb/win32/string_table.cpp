#include <windows.h>

#include "tb/consts.h"

namespace tb {

std::wstring StringTableText(int id) {
  // With no buffer size the call hands out the text in place; it is not zero-terminated there.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                 reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace tb
