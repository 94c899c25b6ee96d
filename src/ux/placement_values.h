// Writing and reading a form's window placement as the text values of one settings section:
// "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos", the last two also under a name
// suffixed with the screen size ("NormPos(1920x1080)") so that each resolution keeps its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ux/placement_host.h"

namespace ux {

using ValueReader = std::function<std::wstring(std::wstring_view ident, std::wstring_view def)>;
using ValueWriter = std::function<void(std::wstring_view ident, std::wstring_view value)>;

// "(WxH)" of the primary screen.
std::wstring ScreenSuffix(const ScreenInfo& screen);

// Writes nothing when the window cannot report its placement, so stored values are not replaced
// by empty ones.
void WriteFormPlacement(const PlacementHost& form, const ValueWriter& write);
void ReadFormPlacement(PlacementHost& form, const ValueReader& read, bool loadState,
                       bool loadPosition);

// A window rectangle whose caption bar is out of reach on the work area (under 32 px of its top
// edge on it, or the edge above or below it) moved into the work area with its size kept (its
// top-left corner in it when larger); a reachable one unchanged.
TRect ReachableRect(const TRect& window, const TRect& work);

// Decimal text; a missing or non-numeric text reads as `def`.
int ReadIntegerValue(const ValueReader& read, std::wstring_view ident, int def);

}  // namespace ux
