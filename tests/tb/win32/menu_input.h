// Helpers of the menu tests under Wine: a submenu item, a script of timed steps that a thread
// timer runs while a menu loop holds the thread (and that ends a loop running past its time
// limit), real keyboard and mouse input through SendInput, and the screen point of a viewer.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "tb/view.h"

namespace tb::testing {

class SubmenuItem : public TTBCustomItem {
 public:
  explicit SubmenuItem(ui::TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu);
  }
};

// A new item with `caption`, owned by `owner` and added to `parent`; a submenu item when
// `submenu`.
inline TTBCustomItem* AddItem(ui::TComponent& owner, TTBCustomItem& parent, const wchar_t* caption,
                              bool submenu) {
  TTBCustomItem* item = submenu ? static_cast<TTBCustomItem*>(ui::Create<SubmenuItem>(owner))
                                : ui::Create<TTBCustomItem>(owner);
  item->SetCaption(caption);
  parent.Add(item);
  return item;
}

// The steps of one menu loop, by time since its start; past `limit` the loop is ended.
struct Script {
  std::vector<std::pair<DWORD, std::function<void()>>> steps;
  std::size_t next = 0;
  DWORD start = 0;
  DWORD limit = 4000;
  bool timedOut = false;
  bool Done() const { return next == steps.size(); }
};
inline Script* script = nullptr;

// The thread timer's procedure: runs the next step when it is due. One step a tick, so the loop
// handles what a step posted before the next step looks (a timer message comes only when no
// posted message waits), even when a slow machine makes several steps due at once.
inline void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!script) return;
  const DWORD elapsed = GetTickCount() - script->start;
  if (script->next < script->steps.size() && elapsed >= script->steps[script->next].first) {
    script->steps[script->next++].second();
  }
  if (elapsed > script->limit && !script->timedOut) {
    script->timedOut = true;
    ReleaseCapture();  // a menu loop ends when it loses the capture
    EndMenu();         // and so does the system's own
  }
}

inline void KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}
inline void MouseInput(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof input);
}
inline void MoveMouse(POINT at) {
  MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
}
inline void ClickAt(POINT at) {
  MoveMouse(at);
  MouseInput(MOUSEEVENTF_LEFTDOWN);
  MouseInput(MOUSEEVENTF_LEFTUP);
}

// Runs `loop`, which holds the thread (a menu loop, or a pump), under a script of `steps`;
// false when the time limit ended it.
inline bool RunLoop(std::vector<std::pair<DWORD, std::function<void()>>> steps,
                    const std::function<void()>& loop) {
  Script s;
  s.steps = std::move(steps);
  s.start = GetTickCount();
  script = &s;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
  loop();
  KillTimer(nullptr, timer);
  script = nullptr;
  return !s.timedOut;
}

// Sends the input, then pumps (`pump`) until the script has run and the queue is idle, or the
// time limit ended the loop; false on the time limit.
inline bool RunScript(const std::function<void()>& input,
                      std::vector<std::pair<DWORD, std::function<void()>>> steps,
                      const std::function<void()>& pump) {
  return RunLoop(std::move(steps), [&] {
    input();
    while (!script->Done() && !script->timedOut) {
      pump();
      Sleep(5);
    }
    for (int i = 0; i < 10; ++i) {
      pump();
      Sleep(5);
    }
  });
}

// The screen point in the middle of viewer `index` of a view.
inline POINT Middle(TTBView& view, int index) {
  const TRect r = view.Viewers(index)->BoundsRect();
  const TPoint p = view.Window()->ClientToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  return {p.x, p.y};
}

}  // namespace tb::testing
