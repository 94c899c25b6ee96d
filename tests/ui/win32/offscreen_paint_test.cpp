// Windows of the platform's controls painting through memory show what they show without it.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <set>
#include <vector>

#include "gui_fixture.h"
#include "ui/win32/offscreen_paint.h"

namespace {

class UiOffscreenPaint : public UiGuiTest {
 protected:
  UiOffscreenPaint() {
    host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CLIPCHILDREN, 40, 40, 220, 60, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~UiOffscreenPaint() override { DestroyWindow(host); }

  // A header control with two items at (0, top) of the host.
  HWND Header(int top) {
    const HWND header = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE, 0, top, 200, 20,
                                        host, nullptr, GetModuleHandleW(nullptr), nullptr);
    const wchar_t* captions[] = {L"Name", L"Size"};
    for (int i = 0; i < 2; ++i) {
      HDITEMW item{};
      item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
      item.pszText = const_cast<wchar_t*>(captions[i]);
      item.cxy = 80;
      item.fmt = HDF_LEFT | HDF_STRING;
      SendMessageW(header, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    return header;
  }

  // The pixels the window shows on the screen.
  static std::vector<COLORREF> Shown(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
  }

  HWND host;
};

TEST_F(UiOffscreenPaint, AHeaderShowsTheSamePictureAndIsLeftValid) {
  const HWND direct = Header(0);
  const HWND offscreen = Header(30);
  ui::PaintOffscreen(offscreen);
  ui::PaintOffscreen(offscreen);  // once is enough: a second call changes nothing
  ShowWindow(host, SW_SHOWNOACTIVATE);
  UpdateWindow(host);
  EXPECT_FALSE(GetUpdateRect(offscreen, nullptr, FALSE));
  const std::vector<COLORREF> picture = Shown(direct);
  EXPECT_GT(std::set<COLORREF>(picture.begin(), picture.end()).size(), 2u);  // items and captions
  EXPECT_EQ(Shown(offscreen), picture);
  // A part painted again shows the same, and other messages still reach the control.
  const RECT part{70, 0, 120, 20};
  InvalidateRect(offscreen, &part, TRUE);
  UpdateWindow(offscreen);
  EXPECT_EQ(Shown(offscreen), picture);
  EXPECT_EQ(SendMessageW(offscreen, HDM_GETITEMCOUNT, 0, 0), 2);
}

int framePaints = 0;

LRESULT CALLBACK CountFramePaints(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCPAINT) ++framePaints;
  return DefWindowProcW(window, msg, wParam, lParam);
}

// A window painting through memory that has no frame leaves the frame's paint undone (there is
// nothing outside its client area); one with a frame paints it as before.
TEST_F(UiOffscreenPaint, OnlyAFramedWindowGetsItsFramePainted) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountFramePaints;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"UiOffscreenFrameProbe";
  RegisterClassW(&windowClass);
  for (const bool framed : {false, true}) {
    SCOPED_TRACE(framed);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"",
                                        WS_CHILD | WS_VISIBLE | (framed ? WS_BORDER : 0), 0, 0, 50,
                                        20, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    ui::PaintOffscreen(window);
    framePaints = 0;
    SendMessageW(window, WM_NCPAINT, 1, 0);
    EXPECT_EQ(framePaints, framed ? 1 : 0);
    DestroyWindow(window);
  }
  UnregisterClassW(windowClass.lpszClassName, GetModuleHandleW(nullptr));
}

}  // namespace
