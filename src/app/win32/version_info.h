// The program's version strings, read once at start from the version resource of its own file
// (empty when it has none): ReadVersionInfo fills them, GetVersionValue reads one value of a
// version-information block in US English, code page 1252.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

extern std::wstring FileVersion;
extern std::wstring ProductName;
extern std::wstring ProductVersion;
extern std::wstring LegalCopyright;

void ReadVersionInfo();
std::wstring GetVersionValue(const std::vector<std::uint8_t>& buffer, const std::wstring& name);

}  // namespace app
