#include "ui/shortcut.h"

#include <gtest/gtest.h>

namespace {

TEST(UiShortCut, TextRoundTripsForTheProgramsShortcuts) {
  struct Case {
    std::uint16_t key;
    ui::TShiftState shift;
    std::wstring_view text;
  };
  const Case cases[] = {
      {'S', ui::ssCtrl, L"Ctrl+S"}, {0x77, 0, L"F8"},
      {'V', ui::ssAlt, L"Alt+V"},   {0x2E, 0, L"Del"},
      {0x08, 0, L"BkSp"},           {0x74, ui::ssShift | ui::ssCtrl, L"Shift+Ctrl+F5"},
      {'0', ui::ssAlt, L"Alt+0"},
  };
  for (const Case& c : cases) {
    const ui::TShortCut shortcut = ui::ShortCut(c.key, c.shift);
    EXPECT_EQ(ui::ShortCutToText(shortcut), c.text);
    EXPECT_EQ(ui::TextToShortCut(c.text), shortcut) << std::wstring(c.text);
  }
  EXPECT_EQ(ui::ShortCut('S', ui::ssCtrl), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"ctrl+s"), 'S' | ui::scCtrl);
  EXPECT_EQ(ui::TextToShortCut(L"Ctrl+Alt+Shift+x"), 'X' | ui::scCtrl | ui::scAlt | ui::scShift);
  for (const std::wstring_view bad : {L"", L"Ctrl+", L"F25", L"F0", L"Hyper+A", L"AB"}) {
    EXPECT_EQ(ui::TextToShortCut(bad), ui::scNone) << std::wstring(bad);
  }
  EXPECT_EQ(ui::ShortCutToText(0x07), L"");
}

}  // namespace
