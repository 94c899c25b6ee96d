#include "ui/win32/offscreen_paint.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "ui/win32/graphics.h"

namespace ui {

namespace {

// The procedures of the windows that paint offscreen, by window (the process's own table: no
// window property to read on every message).
struct Procedures {
  std::mutex lock;
  std::unordered_map<HWND, WNDPROC> byWindow;

  WNDPROC Find(HWND window) {
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = byWindow.find(window);
    return found == byWindow.end() ? nullptr : found->second;
  }
};

Procedures& OwnProcedures() {
  static Procedures procedures;
  return procedures;
}

void PaintClient(HWND window, WNDPROC procedure) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  if (!dc) return;
  RECT client;
  GetClientRect(window, &client);
  const TGdiHandle<HBITMAP> bitmap{CreatePaintBitmap(client.right, client.bottom)};
  const HDC memory = bitmap ? CreateCompatibleDC(dc) : nullptr;
  if (memory) {
    const HGDIOBJ old = SelectObject(memory, bitmap.get());
    CallWindowProcW(procedure, window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                    PRF_CLIENT);
    const RECT& box = paint.rcPaint;
    BitBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, memory, box.left,
           box.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  } else {
    CallWindowProcW(procedure, window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK OffscreenProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Procedures& procedures = OwnProcedures();
  const WNDPROC procedure = procedures.Find(window);
  if (!procedure) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_PAINT && wParam == 0) {
    PaintClient(window, procedure);
    return 0;
  }
  // Without a frame there is nothing to draw outside the client area; the platform would still
  // take a device context of the whole window for it.
  if (msg == WM_NCPAINT && !WindowHasFrame(window)) return 0;
  const LRESULT result = CallWindowProcW(procedure, window, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    const std::lock_guard<std::mutex> guard(procedures.lock);
    procedures.byWindow.erase(window);
  }
  return result;
}

}  // namespace

bool WindowHasFrame(HWND window) {
  RECT outer{}, client{};
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return true;
  return outer.right - outer.left != client.right || outer.bottom - outer.top != client.bottom;
}

HBITMAP CreatePaintBitmap(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width, 1);
  info.bmiHeader.biHeight = -std::max(height, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void PaintOffscreen(HWND window) {
  if (!window) return;
  Procedures& procedures = OwnProcedures();
  const std::lock_guard<std::mutex> guard(procedures.lock);
  if (procedures.byWindow.contains(window)) return;
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  if (!previous) return;
  procedures.byWindow.emplace(window, previous);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OffscreenProcedure));
}

}  // namespace ui
