// Popup animation on Windows, at most one per thread: a slide grows the window's region step
// by step and copies the window's picture (taken with WM_PRINT before it shows) to the screen;
// a fade shows it as a layered window of rising alpha. The arithmetic is tb/anim.h.
//   StartPopupAnimation ends any running animation, then shows `wnd` animated. When anything
//   it needs cannot be had (a DC, the bitmap, the layered update), it releases what it took,
//   takes the layered style or region off again and shows the window at once: it never
//   raises and never leaves an invisible window behind.
//   StepPopupAnimation (the menu loop calls it while it waits) draws the next step at most
//   every 10 ms; the time running out, the step reaching 255 or the mouse entering the client
//   area end the animation. TBEndAnimation(wnd) ends it (null: whichever runs): the whole
//   picture is drawn, the style or region goes, everything is freed and the window is sent
//   the notification 0x0956.
//   SetAnimationSeams replaces the clock, the cursor and the layered-window entry point, and
//   can make a start fail, for tests.
#pragma once

#include <windows.h>

#include "tb/anim.h"

namespace tb {

void StartPopupAnimation(HWND wnd, bool blend, TTBAnimationDirection direction);
void StepPopupAnimation();
void TBEndAnimation(HWND wnd);
bool IsPopupAnimationRunning();

constexpr UINT kAnimationEndedMessage = 0x0956;

struct TAnimationSeams {
  DWORD (*tickCount)() = nullptr;       // null: GetTickCount
  BOOL (*cursorPos)(POINT*) = nullptr;  // null: GetCursorPos
  bool noLayeredWindows = false;        // as if UpdateLayeredWindow were missing
  enum Failure { none, bitmap, layeredUpdate } failure = none;
};
// Null: the platform's again.
void SetAnimationSeams(const TAnimationSeams* seams);

}  // namespace tb
