// UTF-16 to UTF-8 for exception texts, and the system's text for an error code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace rtl::win32 {

std::string Utf8FromWide(std::wstring_view text);
// The system's message for a Win32 error code, without the trailing period and line break.
std::string SystemErrorMessage(DWORD error);

}  // namespace rtl::win32
