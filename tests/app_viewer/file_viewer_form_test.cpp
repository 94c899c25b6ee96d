// The viewer window under Wine: the decided content reaches caption, memo and font; the status
// bar shows the entry's size; Escape frees a window; placement is kept.
#include "app/viewer/win32/file_viewer_form.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "../ui/win32/gui_fixture.h"
#include "ux/modules.h"

namespace app {
namespace {

const std::wstring kKey =
    L"Software\\Kelpfin\\QuollboxViewerTest" + std::to_wstring(GetCurrentProcessId());

// "10 PRINT "HI"" as SAVE writes it: the line at 0x8001 links to the end mark at 0x800C.
const std::vector<std::uint8_t> kBasicProgram = {0xFF, 0x0C, 0x80, 0x0A, 0x00, 0x91, 0x20,
                                                 0x22, 0x48, 0x49, 0x22, 0x00, 0x00, 0x00};
const std::vector<std::uint8_t> kText = {'H', 'i', '\r', '\n'};

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

// Whether the memo's font draws "i" as wide as "W".
bool Monospaced(TFileViewerForm& form) {
  const HWND memo = form.Memo().Handle();
  const auto font = reinterpret_cast<HFONT>(SendMessageW(memo, WM_GETFONT, 0, 0));
  const HDC dc = GetDC(memo);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE narrow{}, wide{};
  GetTextExtentPoint32W(dc, L"i", 1, &narrow);
  GetTextExtentPoint32W(dc, L"W", 1, &wide);
  SelectObject(dc, previous);
  ReleaseDC(memo, dc);
  return narrow.cx == wide.cx;
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
  // Views the bytes as the file list does: a stream left at its end, freed after the call.
  static TFileViewerForm* View(const std::vector<std::uint8_t>& bytes, TViewerMode mode) {
    rtl::TMemoryStream stream;
    stream.WriteBuffer(bytes);
    TFileViewerForm* form = TFileViewerForm::ViewStream(stream, L"A.TXT", 2048, mode, kKey);
    Pump();
    return form;
  }
};

TEST_F(FileViewerForm, ShowsTheContentAsDecidedInTheMatchingFont) {
  const struct {
    std::vector<std::uint8_t> bytes;
    TViewerMode mode;
    std::wstring caption;
    std::wstring text;
    bool monospaced;
  } cases[] = {
      {kBasicProgram, TViewerMode::vmAuto, L"MSX Basic - A.TXT", L"10 PRINT \"HI\"", false},
      {kText, TViewerMode::vmHex, L"File Viewer - A.TXT",
       L"0000    48 69 0D 0A " + std::wstring(4 + 36, L' ') + L"Hi..", true},
  };
  TFileViewerForm* again = nullptr;
  for (const auto& c : cases) {
    TFileViewerForm* form = View(c.bytes, c.mode);
    EXPECT_EQ(WindowText(form->Handle()), c.caption);
    EXPECT_EQ(WindowText(form->Memo().Handle()), c.text);
    EXPECT_EQ(Monospaced(*form), c.monospaced);
    EXPECT_EQ(form->StatusBar().Panels(0)->Text(), L"2048 bytes");  // the entry's, not the data's
    EXPECT_EQ(GetWindowLongPtrW(form->Memo().Handle(), GWL_STYLE) & ES_READONLY, ES_READONLY);
    again = again ? again : form;
  }
  // Showing again replaces the content and the font.
  rtl::TMemoryStream text(kText);
  again->ShowContents(text, TViewerMode::vmHex);
  EXPECT_TRUE(Monospaced(*again));
}

TEST_F(FileViewerForm, EscapeFreesOneWindowAndThePlacementIsKept) {
  const HWND first = View(kText, TViewerMode::vmAuto)->Handle();
  TFileViewerForm* form = View(kText, TViewerMode::vmAuto);
  const HWND second = form->Handle();
  SetWindowPos(second, nullptr, 40, 30, 600, 400, SWP_NOZORDER);
  SendMessageW(form->Memo().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_FALSE(IsWindow(second));  // freed, not only hidden
  EXPECT_TRUE(IsWindowVisible(first));

  RECT rect{};
  GetWindowRect(View(kText, TViewerMode::vmAuto)->Handle(), &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.right - rect.left, 600);
  HKEY key = nullptr;
  EXPECT_EQ(
      RegOpenKeyExW(HKEY_CURRENT_USER, (kKey + L"\\TFileViewerForm").c_str(), 0, KEY_READ, &key),
      ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace app
