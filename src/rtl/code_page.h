// The system's 8-bit code page: text inside disk images is 8-bit, user-interface text 16-bit.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

class TCodePage {
 public:
  virtual ~TCodePage() = default;
  // Characters the code page cannot hold become '?'.
  virtual std::string FromUnicode(std::wstring_view text) const = 0;
  virtual std::wstring ToUnicode(std::string_view bytes) const = 0;
};

// A fixed single-byte table (for tests, and for the host build's default).
enum class FixedTable { Cp1252, Cp1251 };
class TFixedCodePage : public TCodePage {
 public:
  explicit TFixedCodePage(FixedTable table) : table_(table) {}
  std::string FromUnicode(std::wstring_view text) const override;
  std::wstring ToUnicode(std::string_view bytes) const override;

 private:
  FixedTable table_;
};

// The code page in force: the system's ANSI code page in the program (Windows), cp1252 on the host.
const TCodePage& CodePage();
// Installs another code page (tests); returns the previous one. Null restores the default.
const TCodePage* SetCodePage(const TCodePage* codePage);

}  // namespace rtl
