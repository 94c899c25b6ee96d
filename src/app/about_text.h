// The about box's text: one RTF document with the program's title in bold, its file version in
// italics, the copyright, a disclaimer, two credit lines and a thanks paragraph. The version
// strings are escaped, so any text in the version resource shows as it is.
#pragma once

#include <string>
#include <string_view>

namespace app {

std::string BuildAboutRtf(std::wstring_view fileVersion, std::wstring_view legalCopyright);

}  // namespace app
