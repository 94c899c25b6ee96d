#include "tb/consts.h"

#include "ui/text.h"

namespace tb {

std::wstring DefaultTBText(int id) {
  switch (id) {
#define TB_TEXT(number, name, text) \
  case number:                      \
    return L"" text;
#include "tb/consts.inc"
#undef TB_TEXT
    default:
      return {};
  }
}

std::wstring TBText(int id) {
  std::wstring text = StringTableText(id);
  return text.empty() ? DefaultTBText(id) : text;
}

std::string TBTextUtf8(int id) {
  return ui::Utf8FromWide(TBText(id));
}

}  // namespace tb
