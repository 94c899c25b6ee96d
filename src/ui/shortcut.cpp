#include "ui/shortcut.h"

#include <array>

#include "ui/text.h"

namespace ui {

namespace {

struct KeyName {
  std::uint16_t key;
  std::wstring_view name;
};

// Names of the keys that are neither letters, digits nor function keys.
constexpr std::array<KeyName, 16> kKeyNames = {{
    {0x08, L"BkSp"},
    {0x09, L"Tab"},
    {0x0D, L"Enter"},
    {0x1B, L"Esc"},
    {0x20, L"Space"},
    {0x21, L"PgUp"},
    {0x22, L"PgDn"},
    {0x23, L"End"},
    {0x24, L"Home"},
    {0x25, L"Left"},
    {0x26, L"Up"},
    {0x27, L"Right"},
    {0x28, L"Down"},
    {0x2D, L"Ins"},
    {0x2E, L"Del"},
    {0xDC, L"\\"},
}};

constexpr std::uint16_t kF1 = 0x70;

std::wstring KeyToText(std::uint16_t key) {
  if ((key >= L'A' && key <= L'Z') || (key >= L'0' && key <= L'9')) {
    return std::wstring(1, static_cast<wchar_t>(key));
  }
  if (key >= kF1 && key < kF1 + 24) return L"F" + std::to_wstring(key - kF1 + 1);
  for (const KeyName& entry : kKeyNames) {
    if (entry.key == key) return std::wstring(entry.name);
  }
  return {};
}

std::uint16_t TextToKey(std::wstring_view text) {
  if (text.size() == 1) {
    wchar_t c = text[0];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return static_cast<std::uint16_t>(c);
  }
  if (text.size() >= 2 && (text[0] == L'F' || text[0] == L'f')) {
    const auto number = TryStrToInt(text.substr(1));
    if (number && *number >= 1 && *number <= 24 && text[1] >= L'0' && text[1] <= L'9') {
      return static_cast<std::uint16_t>(kF1 + *number - 1);
    }
  }
  for (const KeyName& entry : kKeyNames) {
    if (SameText(entry.name, text)) return entry.key;
  }
  return 0;
}

}  // namespace

TShortCut ShortCut(std::uint16_t key, TShiftState shift) {
  if (key & 0xFF00) return scNone;
  TShortCut result = key;
  if (shift & ssShift) result |= scShift;
  if (shift & ssCtrl) result |= scCtrl;
  if (shift & ssAlt) result |= scAlt;
  return result;
}

std::wstring ShortCutToText(TShortCut shortcut) {
  const std::wstring key = KeyToText(shortcut & 0xFF);
  if (key.empty()) return {};
  std::wstring text;
  if (shortcut & scShift) text += L"Shift+";
  if (shortcut & scCtrl) text += L"Ctrl+";
  if (shortcut & scAlt) text += L"Alt+";
  return text + key;
}

TShortCut TextToShortCut(std::wstring_view text) {
  TShortCut modifiers = 0;
  struct Modifier {
    std::wstring_view prefix;
    TShortCut flag;
  };
  constexpr Modifier kModifiers[] = {{L"Shift+", scShift}, {L"Ctrl+", scCtrl}, {L"Alt+", scAlt}};
  for (bool found = true; found;) {
    found = false;
    for (const Modifier& modifier : kModifiers) {
      if (text.size() > modifier.prefix.size() &&
          SameText(text.substr(0, modifier.prefix.size()), modifier.prefix)) {
        modifiers |= modifier.flag;
        text.remove_prefix(modifier.prefix.size());
        found = true;
      }
    }
  }
  const std::uint16_t key = TextToKey(text);
  return key ? static_cast<TShortCut>(key | modifiers) : scNone;
}

}  // namespace ui
