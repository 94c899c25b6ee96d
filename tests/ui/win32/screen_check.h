// What the user sees after a change: the window's pixels as the screen shows them, without a
// repaint asked for, compared with the same pixels after a full repaint of the window and all
// its children. The whole window rectangle is captured from the screen, so its frame and caption
// are compared too. A part left unpainted (or painted stale) by the change shows as a difference.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ui_test {

// Handles every queued message, then waits in the message loop long enough for Wine to flush
// the windows' off-screen surfaces to the screen (it does so from a thread's message wait), and
// handles what came meanwhile.
inline void SettleScreen() {
  const auto pump = [] {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  };
  pump();
  for (int round = 0; round < 4; ++round) {
    MsgWaitForMultipleObjectsEx(0, nullptr, 40, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    pump();
  }
}

// The pixels of a window's whole rectangle on the screen, frame included, row by row
// (0x00RRGGBB).
struct ScreenPixels {
  RECT area{};
  std::vector<DWORD> pixels;
};

inline ScreenPixels CaptureScreen(HWND wnd) {
  ScreenPixels shot;
  GetWindowRect(wnd, &shot.area);
  const int width = shot.area.right - shot.area.left;
  const int height = shot.area.bottom - shot.area.top;
  if (width <= 0 || height <= 0) return shot;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, shot.area.left, shot.area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    shot.pixels.assign(first, first + static_cast<std::size_t>(width) * height);
    for (DWORD& pixel : shot.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// Writes a capture as a binary PPM picture, for a person to look at.
inline void WritePicture(const ScreenPixels& shot, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fprintf(file, "P6 %ld %ld 255\n", shot.area.right - shot.area.left,
               shot.area.bottom - shot.area.top);
  for (const DWORD pixel : shot.pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                  static_cast<unsigned char>(pixel >> 8),
                                  static_cast<unsigned char>(pixel)};
    std::fwrite(rgb, 1, 3, file);
  }
  std::fclose(file);
}

// Succeeds when the screen shows what a full repaint of `wnd` draws; otherwise names the first
// differing pixel (in the window's coordinates) with both colours, the window class there, and
// how many differ.
inline ::testing::AssertionResult ScreenEqualsFullRepaint(HWND wnd) {
  SettleScreen();
  const ScreenPixels before = CaptureScreen(wnd);
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SettleScreen();
  const ScreenPixels after = CaptureScreen(wnd);
  if (!EqualRect(&before.area, &after.area))
    return ::testing::AssertionFailure() << "the window moved while it was repainted";
  if (before.pixels.empty()) return ::testing::AssertionFailure() << "nothing captured";
  const int width = before.area.right - before.area.left;
  std::size_t first = before.pixels.size(), differing = 0;
  for (std::size_t i = 0; i < before.pixels.size(); ++i) {
    if (before.pixels[i] == after.pixels[i]) continue;
    if (!differing++) first = i;
  }
  if (!differing) return ::testing::AssertionSuccess();
  // QB_SCREEN_DUMP=<path prefix> keeps both captures of each failed check.
  if (const char* dump = std::getenv("QB_SCREEN_DUMP")) {
    static int failures = 0;
    const std::string prefix = dump + std::to_string(failures++);
    WritePicture(before, prefix + "-screen.ppm");
    WritePicture(after, prefix + "-repainted.ppm");
  }
  char colours[64];
  std::snprintf(colours, sizeof colours, "%06lX, after a full repaint %06lX",
                static_cast<unsigned long>(before.pixels[first]),
                static_cast<unsigned long>(after.pixels[first]));
  const POINT at{static_cast<LONG>(first % width), static_cast<LONG>(first / width)};
  POINT screenAt{at.x + before.area.left, at.y + before.area.top};
  const HWND child = WindowFromPoint(screenAt);
  wchar_t className[64]{};
  if (child) GetClassNameW(child, className, 64);
  std::string name;
  for (const wchar_t* c = className; *c; ++c) name += static_cast<char>(*c);
  return ::testing::AssertionFailure()
         << differing << " pixels differ from a full repaint; the first at (" << at.x << "," << at.y
         << ") in window class " << name << ": on screen " << colours;
}

}  // namespace ui_test
