// Painting through memory: a 32-bit device-independent bitmap to draw into, and a window of
// another module (a system control's child) made to paint its client area through one.
//
// Drawing into a bitmap compatible with a window's device context makes the platform look the
// display's format up for every stretched or transparent copy (Wine asks its server each time);
// a device-independent bitmap carries its format, so themed parts drawn into it need no such
// call. What reaches the screen is the same picture.
#pragma once

#include <windows.h>

namespace ui {

// Whether the window has an area outside its client area (a frame) to paint; true when it cannot
// be told.
bool WindowHasFrame(HWND window);

// A top-down 32-bit DIB section of the given size (at least 1x1); null when it cannot be made.
HBITMAP CreatePaintBitmap(int width, int height);

// From now on the window paints its client area into a paint bitmap (through WM_PRINTCLIENT to
// its own procedure) and the result is copied to the screen at once. For windows whose procedure
// paints their whole client area for WM_PRINTCLIENT, as the common controls' header does; a
// window without a frame skips the frame's paint. The window keeps this until it is destroyed.
void PaintOffscreen(HWND window);

}  // namespace ui
