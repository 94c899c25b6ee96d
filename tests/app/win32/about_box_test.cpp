// The about box opened through its action from the real main window: its text from the
// version resource, its formats, the caret at the end, read-only, centred on the main window,
// closed with Escape, and the time from the action to its painted text.
#include <chrono>
#include <iostream>

#include "app/win32/about_form.h"
#include "app/win32/version_info.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

// What the about box showed, gathered while its modal loop runs.
struct AboutSeen {
  bool opened = false;
  std::wstring text;
  bool titleBold = false, versionItalic = false, copyrightItalic = true;
  CHARRANGE selection{-1, -1};
  bool changedByTyping = true;
  bool centred = false;
  bool focusInText = false;
  double openMs = 0;
  int ticks = 0;
};
AboutSeen seen;
std::chrono::steady_clock::time_point chosenAt;
HWND mainWindow = nullptr;

TAboutForm* FindAboutForm() {
  for (int i = 0; i < ui::Screen->FormCount(); ++i)
    if (auto* form = dynamic_cast<TAboutForm*>(ui::Screen->Forms(i))) return form;
  return nullptr;
}

bool Effect(HWND edit, int start, int end, DWORD effect) {
  CHARRANGE range{start, end};
  SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return (format.dwMask & effect) && (format.dwEffects & effect);
}

std::wstring RawText(HWND edit) {
  wchar_t text[2048] = {};
  GETTEXTEX request{sizeof text, GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
               reinterpret_cast<LPARAM>(text));
  return text;
}

// Runs inside the box's modal loop: looks, then presses Escape; after five seconds it closes
// the box whatever happened, so the test always ends.
void CALLBACK InspectAbout(HWND, UINT, UINT_PTR timer, DWORD) {
  TAboutForm* form = FindAboutForm();
  if (++seen.ticks > 250) {
    KillTimer(nullptr, timer);
    if (form) form->SetModalResult(ui::mrCancel);
    return;
  }
  if (!form || !form->HandleAllocated() || !IsWindowVisible(form->Handle()) || seen.opened) return;
  const HWND edit = form->Memo().Handle();
  UpdateWindow(edit);
  seen.openMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - chosenAt)
          .count();
  seen.opened = true;
  seen.focusInText = GetFocus() == edit;
  SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&seen.selection));
  seen.text = RawText(edit);
  SendMessageW(edit, WM_CHAR, L'x', 0);
  seen.changedByTyping = RawText(edit) != seen.text;
  seen.titleBold = Effect(edit, 0, 8, CFE_BOLD);
  seen.versionItalic = Effect(edit, 9, 17, CFE_ITALIC);
  const auto copyright = static_cast<int>(seen.text.find(L"Copyright"));
  seen.copyrightItalic = Effect(edit, copyright, copyright + 9, CFE_ITALIC);
  RECT box, main;
  GetWindowRect(form->Handle(), &box);
  GetWindowRect(mainWindow, &main);
  seen.centred = std::abs((box.left + box.right) - (main.left + main.right)) <= 2 &&
                 std::abs((box.top + box.bottom) - (main.top + main.bottom)) <= 2;
  SetForegroundWindow(form->Handle());
  PressKey(VK_ESCAPE);
}

TEST_F(MainFormTest, AboutBoxFromItsAction) {
  ReadVersionInfo();
  EXPECT_EQ(FileVersion, L"1.0.0.0");
  EXPECT_EQ(ProductName, L"Quollbox");
  EXPECT_EQ(ProductVersion, L"1.0");
  EXPECT_EQ(LegalCopyright, L"Copyright (C) 2026 the Quollbox authors");
  Start();
  mainWindow = form->Handle();
  seen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, InspectAbout);
  chosenAt = std::chrono::steady_clock::now();
  ChooseAction(L"acHelpAbout");  // returns when the modal box closes
  KillTimer(nullptr, timer);
  ASSERT_TRUE(seen.opened);
  EXPECT_LE(seen.ticks, 250) << "Escape did not close the box";
  EXPECT_EQ(FindAboutForm(), nullptr);  // closed and freed
  EXPECT_TRUE(
      seen.text.starts_with(L"Quollbox\rVersion 1.0.0.0\rCopyright (C) 2026 the Quollbox "
                            L"authors\r"))
      << std::string(seen.text.begin(), seen.text.end());
  EXPECT_NE(seen.text.find(L"\rOk"), std::wstring::npos);
  EXPECT_EQ(seen.selection.cpMin, static_cast<LONG>(seen.text.size()));
  EXPECT_EQ(seen.selection.cpMax, seen.selection.cpMin);
  EXPECT_FALSE(seen.changedByTyping);
  EXPECT_TRUE(seen.titleBold);
  EXPECT_TRUE(seen.versionItalic);
  EXPECT_FALSE(seen.copyrightItalic);
  EXPECT_TRUE(seen.centred);
  EXPECT_TRUE(seen.focusInText);
  EXPECT_TRUE(errors.empty());
  std::cout << "About box from its action to its painted text: at most " << seen.openMs << " ms\n";
}

TEST_F(MainFormTest, HelpKeysAskNothingOfTheMissingHelpFile) {
  Start();
  HELPINFO info{};
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.hItemHandle = form->Handle();
  SendMessageW(form->Handle(), WM_KEYDOWN, VK_F1, 0);
  SendMessageW(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  Pump();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));  // still running
}

}  // namespace
}  // namespace app::test
