#include "skbar/win32/sk_drag.h"

namespace skbar {

void SkLoadItemCursors() {
  if (!ui::Screen) return;
  // Cursors from resources and the system's are shared and need no release; each is loaded when
  // it is first shown.
  ui::Screen->SetResourceCursor(crSkBarHand, nullptr, IDC_HAND);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  ui::Screen->SetResourceCursor(crSkBarMove, instance, L"CZMOVE");
  ui::Screen->SetResourceCursor(crSkBarCancel, instance, L"CZCANCEL");
}

TSkBarCustomDragObject::TSkBarCustomDragObject(ui::TControl* source) : source_(source) {
  SkLoadItemCursors();
}

void TSkBarCustomDragObject::Finished(ui::TControl* target, int x, int y, bool accepted) {
  if (auto* client = dynamic_cast<TSkBarDragClient*>(source_)) client->EndDrag(target, x, y);
  if (!accepted) return;
  if (auto* client = dynamic_cast<TSkBarDragClient*>(target)) client->DragDrop(*this, x, y);
}

namespace {

// The windowed control under a screen point that takes part in drags, and the point in its
// client coordinates.
ui::TWinControl* TargetAt(POINT screen, POINT& local) {
  for (HWND wnd = WindowFromPoint(screen); wnd; wnd = GetParent(wnd)) {
    ui::TWinControl* control = ui::TWinControl::FromHandle(wnd);
    if (!dynamic_cast<TSkBarDragClient*>(control)) continue;
    local = screen;
    ScreenToClient(wnd, &local);
    return control;
  }
  return nullptr;
}

}  // namespace

bool SkNextCapturedMessage(HWND wnd, MSG& msg) {
  if (GetCapture() != wnd) return false;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
  return got > 0;
}

bool SkDragObject(TSkBarCustomDragObject& object) {
  auto* source = dynamic_cast<ui::TWinControl*>(object.Source());
  if (!source || !source->HandleAllocated()) return false;
  const HWND wnd = source->Handle();
  SetCapture(wnd);
  ui::TWinControl* target = nullptr;
  POINT local{0, 0};
  bool accepted = false, dropped = false;
  const auto over = [&](POINT screen) {
    target = TargetAt(screen, local);
    accepted = false;
    if (target)
      dynamic_cast<TSkBarDragClient*>(target)->DragOver(object, local.x, local.y, accepted);
    SetCursor(ui::Screen ? ui::Screen->Cursors(object.GetDragCursor(accepted))
                         : LoadCursorW(nullptr, IDC_NO));
  };
  POINT at;
  GetCursorPos(&at);
  over(at);
  MSG msg;
  while (SkNextCapturedMessage(wnd, msg)) {
    if (msg.message == WM_MOUSEMOVE) {
      GetCursorPos(&at);
      over(at);
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      GetCursorPos(&at);
      over(at);
      dropped = accepted;
      break;
    }
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
      break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == wnd) ReleaseCapture();
  object.Finished(dropped ? target : nullptr, local.x, local.y, dropped);
  return dropped;
}

}  // namespace skbar
