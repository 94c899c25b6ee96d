// The settings subsystem's cursors: the hand and the drag cursor from the program's resources,
// installed in the screen's cursor table.
#pragma once

namespace ux::win32 {

inline constexpr int crHandPoint = 14000;
inline constexpr int crDragHand = 14001;

// Before or after the application makes the screen; each cursor is loaded when first asked for,
// and one missing from the resources is left out.
void LoadCursors();

}  // namespace ux::win32
