#include "app/viewer/win32/file_viewer_form.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../ui/win32/gui_fixture.h"
#include "ux/modules.h"

namespace app {
namespace {

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxViewerTest" + std::to_wstring(GetCurrentProcessId());

// "10 PRINT "HI"" as SAVE writes it: the line at 0x8001 links to the end mark at 0x800C.
const std::vector<std::uint8_t> kBasicProgram = {0xFF, 0x0C, 0x80, 0x0A, 0x00, 0x91, 0x20,
                                                 0x22, 0x48, 0x49, 0x22, 0x00, 0x00, 0x00};
const std::vector<std::uint8_t> kText = {'H', 'e', 'l', 'l', 'o',  '\n', 'W',
                                         'o', 'r', 'l', 'd', '\r', '\n'};
std::vector<std::uint8_t> Binary17() {
  std::vector<std::uint8_t> bytes(17);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

LOGFONTW MemoFont(TFileViewerForm& form) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(form.Memo().Handle(), WM_GETFONT, 0, 0));
  GetObjectW(handle, sizeof font, &font);
  return font;
}

// Whether the memo's font has fixed pitch (the flag's bit is clear then) and draws "i" as wide
// as "W".
bool MemoFontIsMonospaced(TFileViewerForm& form) {
  const HWND memo = form.Memo().Handle();
  const HDC dc = GetDC(memo);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SIZE narrow{};
  SIZE wide{};
  GetTextExtentPoint32W(dc, L"i", 1, &narrow);
  GetTextExtentPoint32W(dc, L"W", 1, &wide);
  SelectObject(dc, previous);
  ReleaseDC(memo, dc);
  return (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0 && narrow.cx == wide.cx;
}

std::wstring StatusText(TFileViewerForm& form) {
  wchar_t text[128] = {};
  SendMessageW(form.StatusBar().Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

class FileViewerForm : public UiGuiTest {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
    ux::InitModules();
  }
  void TearDown() override {
    ux::DoneModules();
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey.c_str());
  }

  // Views the bytes as the file list does: a stream the caller wrote (left at its end) and
  // frees after the call.
  static TFileViewerForm* View(const std::vector<std::uint8_t>& bytes, const std::wstring& name,
                               std::int32_t displaySize, TViewerMode mode) {
    rtl::TMemoryStream stream;
    stream.WriteBuffer(bytes);
    TFileViewerForm* form = TFileViewerForm::ViewStream(stream, name, displaySize, mode, kKey);
    Pump();
    return form;
  }
};

struct ViewCase {
  const char* label;
  std::vector<std::uint8_t> bytes;
  const wchar_t* name;
  TViewerMode mode;
  std::wstring caption;
  std::wstring text;
  bool hexDump;
};

TEST_F(FileViewerForm, ShowsEachKindOfFileInTheChosenMode) {
  const std::wstring hexRow0 =
      L"0000    00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F     ................";
  const std::wstring hexRow1 = L"0010    10 " + std::wstring(4 + 45, L' ') + L".";
  const ViewCase cases[] = {
      {"BASIC program in Auto", kBasicProgram, L"HELLO.BAS", TViewerMode::vmAuto,
       L"MSX Basic - HELLO.BAS", L"10 PRINT \"HI\"", false},
      {"binary in Auto", Binary17(), L"DATA.BIN", TViewerMode::vmAuto, L"File Viewer - DATA.BIN",
       hexRow0 + L"\r\n" + hexRow1, true},
      {"text in Auto", kText, L"README.TXT", TViewerMode::vmAuto, L"File Viewer - README.TXT",
       L"Hello\r\nWorld", false},
      {"text as Basic Program", kText, L"README.TXT", TViewerMode::vmBasic,
       L"File Viewer - README.TXT", L"Hello\r\nWorld", false},
      {"text as Hex Dump",
       {'H', 'i', '\r', '\n'},
       L"HI.TXT",
       TViewerMode::vmHex,
       L"File Viewer - HI.TXT",
       L"0000    48 69 0D 0A " + std::wstring(4 + 36, L' ') + L"Hi..",
       true},
      {"text as Z80 Disasm", kText, L"README.TXT", TViewerMode::vmZ80, L"File Viewer - README.TXT",
       L"Z80 Disassembly is not yet implemented", false},
      {"text whose last line is empty",
       {'A', '\r', '\n', '\r', '\n'},
       L"A.TXT",
       TViewerMode::vmText,
       L"File Viewer - A.TXT",
       L"A\r\n",
       false},
  };
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(c.label);
    TFileViewerForm* form = View(c.bytes, c.name, 2048, c.mode);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(WindowText(form->Handle()), c.caption);
    EXPECT_EQ(WindowText(form->Memo().Handle()), c.text);
    EXPECT_EQ(StatusText(*form), L"2048 bytes");  // the entry's size, not the data's
    const LOGFONTW font = MemoFont(*form);
    if (c.hexDump)
      EXPECT_TRUE(MemoFontIsMonospaced(*form));
    else
      EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(font.lfHeight, -12);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(FileViewerForm, ShowingAgainReplacesTheContentAndTheFont) {
  TFileViewerForm* form = View(kText, L"README.TXT", 13, TViewerMode::vmHex);
  EXPECT_TRUE(MemoFontIsMonospaced(*form));

  rtl::TMemoryStream program;
  program.WriteBuffer(kBasicProgram);
  form->ShowContents(program, TViewerMode::vmBasic);
  EXPECT_EQ(WindowText(form->Handle()), L"MSX Basic - README.TXT");
  EXPECT_EQ(WindowText(form->Memo().Handle()), L"10 PRINT \"HI\"");
  EXPECT_STREQ(MemoFont(*form).lfFaceName, L"Tahoma");
  EXPECT_EQ(StatusText(*form), L"13 bytes");
}

TEST_F(FileViewerForm, IsAReadOnlyTextWindowAboveItsStatusBar) {
  TFileViewerForm* form = View(kText, L"README.TXT", 13, TViewerMode::vmAuto);
  wchar_t className[64] = {};
  GetClassNameW(form->Handle(), className, 64);
  EXPECT_STREQ(className, L"TFileViewerForm");
  RECT client{};
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 773);
  EXPECT_EQ(client.bottom, 566);

  const HWND memo = form->Memo().Handle();
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(memo, GWL_STYLE));
  const DWORD expected = ES_MULTILINE | ES_READONLY | WS_HSCROLL | WS_VSCROLL;
  EXPECT_EQ(style & expected, expected);
  EXPECT_EQ(GetWindowLongPtrW(memo, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  RECT memoRect{};
  RECT statusRect{};
  GetWindowRect(memo, &memoRect);
  GetWindowRect(form->StatusBar().Handle(), &statusRect);
  EXPECT_EQ(memoRect.right - memoRect.left, 773);
  EXPECT_EQ(memoRect.bottom, statusRect.top);
}

TEST_F(FileViewerForm, EveryViewOpensItsOwnWindowAndEscapeClosesOne) {
  const HWND first = View(kText, L"README.TXT", 13, TViewerMode::vmAuto)->Handle();
  TFileViewerForm* second = View(Binary17(), L"DATA.BIN", 17, TViewerMode::vmAuto);
  const HWND secondWindow = second->Handle();
  EXPECT_NE(first, secondWindow);

  SendMessageW(second->Memo().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(secondWindow));  // freed, not only hidden
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FileViewerForm, KeepsItsPlacementUnderItsClassName) {
  TFileViewerForm* form = View(kText, L"README.TXT", 13, TViewerMode::vmAuto);
  EXPECT_EQ(form->FormStorage().IniSection(), L"TFileViewerForm");
  const HWND window = form->Handle();
  SetWindowPos(window, nullptr, 40, 30, 600, 400, SWP_NOZORDER);
  SendMessageW(window, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(window));

  HKEY key = nullptr;
  ASSERT_EQ(
      RegOpenKeyExW(HKEY_CURRENT_USER, (kKey + L"\\TFileViewerForm").c_str(), 0, KEY_READ, &key),
      ERROR_SUCCESS);
  DWORD type = 0;
  const LSTATUS normPos = RegQueryValueExW(key, L"NormPos", nullptr, &type, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(normPos, ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  TFileViewerForm* next = View(kBasicProgram, L"HELLO.BAS", 14, TViewerMode::vmAuto);
  RECT rect{};
  GetWindowRect(next->Handle(), &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 400);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FileViewerForm, UsesTheProgramsKeyByDefaultAndStoresOnlyThePosition) {
  auto* form = ui::Create<TFileViewerForm>(*ui::Application);
  form->FinishLoading();
  EXPECT_EQ(form->FormStorage().IniFileName(), L"Software\\Kelpfin\\Quollbox");
  EXPECT_EQ(form->FormStorage().Options(), ux::TPlacementOptions{ux::TPlacementOption::fpPosition});
  EXPECT_EQ(form->FormStorage().StoredProps().Count(), 0);
  ui::Free(form);  // never shown: nothing is written
}

}  // namespace
}  // namespace app
