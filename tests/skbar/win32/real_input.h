// Real mouse and key input for the panel tests under Wine: steps played one per 30 ms timer
// tick, so that modal loops run between them; a loop still running after 4 s loses the capture.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "ui/win32/forms.h"

namespace skbar_test {

// Mouse steps, one per 30 ms timer tick; the capture is released past the time limit.
struct Script {
  // A key step: this flag, with KEYEVENTF_KEYUP or not; the virtual key in x.
  static constexpr DWORD kKey = 0x80000000;
  static inline std::vector<std::pair<DWORD, POINT>> steps;
  static inline std::size_t next = 0;
  static inline DWORD start = 0;
  static inline bool timedOut = false;
  // Runs inside any modal loop too, so it also ends one that outlives the limit.
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() - start > 4000) {
      timedOut = true;
      ReleaseCapture();
      return;
    }
    if (next >= steps.size()) return;
    const auto& [flags, at] = steps[next++];
    INPUT in{};
    if (flags & kKey) {
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = static_cast<WORD>(at.x);
      in.ki.dwFlags = flags & KEYEVENTF_KEYUP;
      SendInput(1, &in, sizeof in);
      return;
    }
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
  }
  // True when every step was played, no loop outlived the limit and no capture is left.
  static bool Play(std::vector<std::pair<DWORD, POINT>> script) {
    steps = std::move(script);
    next = 0;
    start = GetTickCount();
    timedOut = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
    DWORD doneAt = 0;
    while (!timedOut) {
      if (next >= steps.size()) {
        if (!doneAt) doneAt = GetTickCount();
        if (GetTickCount() - doneAt > 200 && !GetCapture()) break;
      }
      if (GetTickCount() - start > 4500) timedOut = true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      ui::Application->ProcessMessages();
    }
    KillTimer(nullptr, timer);
    ui::Application->ProcessMessages();
    return !timedOut && !GetCapture();
  }
  static std::vector<std::pair<DWORD, POINT>> Clicks(POINT at, int count) {
    std::vector<std::pair<DWORD, POINT>> s{{0, at}};
    for (int i = 0; i < count; ++i) {
      s.push_back({MOUSEEVENTF_LEFTDOWN, at});
      s.push_back({MOUSEEVENTF_LEFTUP, at});
    }
    return s;
  }
};

}  // namespace skbar_test
