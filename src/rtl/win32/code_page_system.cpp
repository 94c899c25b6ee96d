// The program's code page: the system's ANSI code page.
#include <windows.h>

#include "rtl/system_services.h"

namespace rtl {

namespace {

class TAnsiCodePage : public TCodePage {
 public:
  std::string FromUnicode(std::wstring_view text) const override {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    // No best-fit guesses: a character the code page lacks becomes '?'.
    constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
    const int size =
        WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
  }

  std::wstring ToUnicode(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
  }
};

}  // namespace

const TCodePage& SystemCodePage() {
  static const TAnsiCodePage codePage;
  return codePage;
}

}  // namespace rtl
