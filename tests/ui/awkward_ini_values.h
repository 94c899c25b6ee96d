// Values that an INI line loses unless they are quoted, each with the line our writer makes.
#pragma once

#include <string_view>

namespace ui::test {

struct AwkwardValue {
  std::wstring_view value, line;
};

inline constexpr AwkwardValue kAwkwardIniValues[] = {
    {L"plain", L"v=plain"},
    {L"", L"v="},
    {L" a", L"v=\" a\""},
    {L"b ", L"v=\"b \""},
    {L"\t", L"v=\"\t\""},
    {L"\u3000x\u00a0", L"v=\"\u3000x\u00a0\""},
    {L"'x'", L"v=\"'x'\""},
    {L"\"y\"", L"v=\"\"y\"\""},
    {L"\"\"", L"v=\"\"\"\""},
    {L"\" in \"", L"v=\"\" in \"\""},
    {L"'z\"", L"v='z\""},
    {L"'", L"v='"},
    {L"a\"", L"v=a\""},
    {L"x=y;[s]", L"v=x=y;[s]"},
    {L"\u0416 \u00e9", L"v=\u0416 \u00e9"},
};

}  // namespace ui::test
