#include "tb/win32/anim.h"

namespace tb {

namespace {

using TUpdateLayeredWindow = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                           BLENDFUNCTION*, DWORD);

TUpdateLayeredWindow BindUpdateLayeredWindow() {
  static const TUpdateLayeredWindow entry =
      reinterpret_cast<TUpdateLayeredWindow>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "UpdateLayeredWindow")));
  return entry;
}

const TAnimationSeams* seams = nullptr;

// Per thread; trivially destructible.
struct TAnimationState {
  bool running;
  HWND wnd;
  bool fade;
  int duration;
  int startStep;
  int lastStep;
  DWORD startTime;
  DWORD lastTime;
  HDC screenDC;
  HDC bitmapDC;
  HBITMAP bitmap;
  HGDIOBJ oldBitmap;
  RECT clientRect;
  SIZE size;
  POINT lastCursor;
  TTBAnimationDirection direction;
};
thread_local TAnimationState state{};

DWORD Now() {
  return seams && seams->tickCount ? seams->tickCount() : GetTickCount();
}

bool Cursor(POINT& point) {
  return (seams && seams->cursorPos ? seams->cursorPos(&point) : GetCursorPos(&point)) != FALSE;
}

TUpdateLayeredWindow UpdateLayered() {
  return seams && seams->noLayeredWindows ? nullptr : BindUpdateLayeredWindow();
}

bool Fails(TAnimationSeams::Failure failure) {
  return seams && seams->failure == failure;
}

bool SetAlpha(BYTE alpha, bool first) {
  const TUpdateLayeredWindow update = UpdateLayered();
  if (!update || Fails(TAnimationSeams::layeredUpdate)) return false;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, 0};
  POINT origin{0, 0};
  SIZE size = state.size;
  return first ? update(state.wnd, nullptr, nullptr, &size, state.bitmapDC, &origin, 0, &blend,
                        ULW_ALPHA) != FALSE
               : update(state.wnd, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &blend,
                        ULW_ALPHA) != FALSE;
}

void RemoveLayered(HWND wnd) {
  const LONG_PTR ex = GetWindowLongPtrW(wnd, GWL_EXSTYLE);
  if (ex & WS_EX_LAYERED) SetWindowLongPtrW(wnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
}

// Frees the DCs and the bitmap, whatever of them exist.
void ReleaseResources() {
  if (state.bitmapDC) {
    if (state.oldBitmap) SelectObject(state.bitmapDC, state.oldBitmap);
    DeleteDC(state.bitmapDC);
  }
  if (state.bitmap) DeleteObject(state.bitmap);
  if (state.screenDC) ReleaseDC(state.wnd, state.screenDC);
  state.bitmapDC = nullptr;
  state.bitmap = nullptr;
  state.oldBitmap = nullptr;
  state.screenDC = nullptr;
}

void SetRegion(int x, int y, int width, int height) {
  const HRGN region = CreateRectRgn(x, y, x + width, y + height);
  // No redraw: the painting it would cause ends the animation.
  if (region && !SetWindowRgn(state.wnd, region, FALSE)) DeleteObject(region);
}

// A start that could not be completed: nothing kept, the window shown as it is (raising here
// would leave the popup unshown, its DC taken and its style or region changed).
void ShowWithoutAnimation(HWND wnd) {
  RemoveLayered(wnd);
  SetWindowRgn(wnd, nullptr, FALSE);
  ReleaseResources();
  state = {};
  SetWindowPos(
      wnd, nullptr, 0, 0, 0, 0,
      SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
}

}  // namespace

void StartPopupAnimation(HWND wnd, bool blend, TTBAnimationDirection direction) {
  TBEndAnimation(nullptr);
  state = {};
  state.wnd = wnd;
  state.fade = blend && UpdateLayered() != nullptr;
  state.direction = direction;
  Cursor(state.lastCursor);
  GetClientRect(wnd, &state.clientRect);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&state.clientRect), 2);
  RECT window;
  GetWindowRect(wnd, &window);
  state.size = {window.right - window.left, window.bottom - window.top};

  state.screenDC = GetDCEx(wnd, nullptr, DCX_WINDOW | DCX_CACHE);
  if (state.screenDC && !Fails(TAnimationSeams::bitmap)) {
    state.bitmap = CreateCompatibleBitmap(state.screenDC, state.size.cx, state.size.cy);
  }
  if (state.bitmap) state.bitmapDC = CreateCompatibleDC(state.screenDC);
  if (!state.bitmapDC) {
    ShowWithoutAnimation(wnd);
    return;
  }
  state.oldBitmap = SelectObject(state.bitmapDC, state.bitmap);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(state.bitmapDC),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);

  if (state.fade) {
    state.duration = kFadeDuration;
    state.startStep = kFadeStartStep;
    SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (!SetAlpha(kFadeStartStep, true)) {
      ShowWithoutAnimation(wnd);
      return;
    }
  } else {
    state.duration = kSlideDuration;
    state.startStep = kSlideStartStep;
    SetRegion(0, 0, 0, 0);
  }
  state.lastStep = state.startStep;
  state.startTime = state.lastTime = Now();
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                   SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
  state.running = true;
}

void StepPopupAnimation() {
  if (!state.running) return;
  const DWORD now = Now();
  if (now - state.lastTime < static_cast<DWORD>(kAnimationInterval)) return;
  state.lastTime = now;
  const auto elapsed = static_cast<std::int32_t>(now - state.startTime);
  const TAnimationStep next =
      AnimationStep(elapsed, state.duration, state.startStep, state.lastStep);
  if (next.kind == TAnimationStep::End) {
    TBEndAnimation(nullptr);
    return;
  }
  POINT cursor;
  if (Cursor(cursor) && (cursor.x != state.lastCursor.x || cursor.y != state.lastCursor.y)) {
    if (PtInRect(&state.clientRect, cursor)) {
      TBEndAnimation(nullptr);
      return;
    }
    state.lastCursor = cursor;
  }
  if (next.kind == TAnimationStep::NoDraw) return;
  state.lastStep = next.step;
  if (state.fade) {
    SetAlpha(static_cast<BYTE>(next.step), false);
    return;
  }
  const TPoint offset = SlideOffset(state.direction, state.size.cx, state.size.cy, next.step);
  SetRegion(offset.x, offset.y, state.size.cx, state.size.cy);
  BitBlt(state.screenDC, offset.x, offset.y, state.size.cx, state.size.cy, state.bitmapDC, 0, 0,
         SRCCOPY);
}

void TBEndAnimation(HWND wnd) {
  if (!state.running || (wnd && wnd != state.wnd)) return;
  state.running = false;
  const HWND animated = state.wnd;
  if (state.bitmapDC) {
    if (state.fade) {
      RemoveLayered(animated);
    } else {
      SetWindowRgn(animated, nullptr, FALSE);
    }
    BitBlt(state.screenDC, 0, 0, state.size.cx, state.size.cy, state.bitmapDC, 0, 0, SRCCOPY);
  }
  ReleaseResources();
  // A DC taken while the window was layered may not reach the screen: paint it afresh.
  if (state.fade)
    RedrawWindow(animated, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  SendNotifyMessageW(animated, kAnimationEndedMessage, 0, 0);
  state.wnd = nullptr;
}

bool IsPopupAnimationRunning() {
  return state.running;
}

void SetAnimationSeams(const TAnimationSeams* replacement) {
  seams = replacement;
}

// Ends the main thread's animation when the process ends normally.
namespace {
struct TExitEnd {
  ~TExitEnd() { TBEndAnimation(nullptr); }
} exitEnd;
}  // namespace

}  // namespace tb
