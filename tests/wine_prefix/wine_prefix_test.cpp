// The Wine prefix's set-up, checked through Win32: windows hide without waiting for a window
// manager, a fixed-pitch font request is monospaced, a default printer gives a DC and R: is a
// removable drive.
#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>

#include <chrono>
#include <string>

namespace {

TEST(WinePrefix, ActiveWindowHidesAndClosesQuickly) {
  HWND window = CreateWindowExW(0, L"STATIC", L"prefix test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  const auto start = std::chrono::steady_clock::now();
  ShowWindow(window, SW_HIDE);
  ShowWindow(window, SW_SHOW);
  DestroyWindow(window);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // Without Managed=N each of the two steps waits about 2 s for a window manager.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 1000);
}

struct FontFacts {
  std::wstring face;
  bool monospaced;
};

FontFacts Resolve(const wchar_t* face, DWORD pitchAndFamily) {
  HDC dc = GetDC(nullptr);
  HFONT font =
      CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE narrow{}, wide{};
  GetTextExtentPoint32W(dc, L"iiiiiiii", 8, &narrow);
  GetTextExtentPoint32W(dc, L"WWWWWWWW", 8, &wide);
  wchar_t name[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, name);
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return {name, narrow.cx == wide.cx};
}

// A fixed-pitch request and the usual Windows monospaced faces come out monospaced; Wine's own
// fonts are found.
TEST(WinePrefix, FontsResolve) {
  struct Case {
    const wchar_t* face;
    DWORD pitchAndFamily;
    const wchar_t* expectedFace;  // none: an alias of another face
    bool monospaced;
  };
  const Case cases[] = {
      {nullptr, FIXED_PITCH | FF_MODERN, L"Liberation Mono", true},
      {L"Courier New", DEFAULT_PITCH, nullptr, true},
      {L"Consolas", DEFAULT_PITCH, nullptr, true},
      {L"Lucida Console", DEFAULT_PITCH, nullptr, true},
      {L"Tahoma", DEFAULT_PITCH, L"Tahoma", false},
  };
  for (const Case& c : cases) {
    const FontFacts facts = Resolve(c.face, c.pitchAndFamily);
    const std::wstring asked = c.face ? c.face : L"(fixed pitch)";
    if (c.expectedFace) {
      EXPECT_EQ(facts.face, c.expectedFace) << asked;
    }
    EXPECT_EQ(facts.monospaced, c.monospaced) << asked;
  }
}

TEST(WinePrefix, DefaultPrinterGivesDeviceContext) {
  PRINTDLGW request{};
  request.lStructSize = sizeof(request);
  request.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
  ASSERT_TRUE(PrintDlgW(&request)) << "error " << CommDlgExtendedError();
  EXPECT_NE(request.hDC, nullptr);
  EXPECT_GT(GetDeviceCaps(request.hDC, LOGPIXELSX), 0);
  DeleteDC(request.hDC);
  GlobalFree(request.hDevMode);
  GlobalFree(request.hDevNames);
}

TEST(WinePrefix, DriveRIsRemovable) {
  EXPECT_EQ(GetDriveTypeW(L"R:\\"), UINT{DRIVE_REMOVABLE});
}

}  // namespace
