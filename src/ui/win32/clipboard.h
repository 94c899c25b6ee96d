// The clipboard's text (CF_UNICODETEXT). Opening is retried briefly, since another program
// may hold the clipboard; failure raises rtl::Exception.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

// A copy (as a device-independent section the caller owns) of the clipboard's bitmap
// (CF_BITMAP), or null when it holds none.
HBITMAP ClipboardBitmap();
// Puts a bitmap on the clipboard, which then owns it (also when this raises).
void SetClipboardBitmap(HBITMAP bitmap);

}  // namespace ui
