// The clipboard's text (CF_UNICODETEXT). Opening is retried briefly, since another program
// may hold the clipboard; failure raises rtl::Exception.
#pragma once

#include <string>

namespace ui {

std::wstring ClipboardText();
void SetClipboardText(const std::wstring& text);

}  // namespace ui
