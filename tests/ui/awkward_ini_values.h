// Values that an INI line loses unless they are quoted, and values that must stay as they are.
#pragma once

#include <string_view>

namespace ui::test {

inline constexpr std::wstring_view kAwkwardIniValues[] = {
    L"plain", L"",         L" a",   L"b ", L"\t",  L"\u3000x\u00a0", L"'x'",           L"\"y\"",
    L"\"\"",  L"\" in \"", L"'z\"", L"'",  L"a\"", L"x=y;[s]",       L"\u0416 \u00e9",
};

}  // namespace ui::test
