#include "ux/win32/window_placement_host.h"

namespace ux::win32 {

std::optional<TWindowPlacement> TWindowPlacementHost::GetPlacement() const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  const HWND window = Window();
  if (window == nullptr || !GetWindowPlacement(window, &wp)) return std::nullopt;
  return TWindowPlacement{wp.flags,
                          static_cast<int>(wp.showCmd),
                          {wp.ptMinPosition.x, wp.ptMinPosition.y},
                          {wp.ptMaxPosition.x, wp.ptMaxPosition.y},
                          {wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                           wp.rcNormalPosition.right, wp.rcNormalPosition.bottom}};
}

void TWindowPlacementHost::SetPlacement(const TWindowPlacement& placement) {
  const HWND window = Window();
  if (window == nullptr) return;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  wp.flags = placement.flags;
  wp.showCmd = static_cast<UINT>(placement.showCmd);
  wp.ptMinPosition = {placement.minPosition.x, placement.minPosition.y};
  wp.ptMaxPosition = {placement.maxPosition.x, placement.maxPosition.y};
  const TRect& normal = placement.normalPosition;
  wp.rcNormalPosition = {normal.left, normal.top, normal.right, normal.bottom};
  SetWindowPlacement(window, &wp);
}

bool TWindowPlacementHost::Visible() const {
  const HWND window = Window();
  return window != nullptr && IsWindowVisible(window);
}

bool TWindowPlacementHost::Iconic() const {
  const HWND window = Window();
  return window != nullptr && IsIconic(window);
}

TRect TWindowPlacementHost::BoundsRect() const {
  RECT rect{};
  if (const HWND window = Window()) GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void TWindowPlacementHost::Update() {
  if (const HWND window = Window()) UpdateWindow(window);
}

TPoint TWindowPlacementHost::FrameSize(TFormBorderStyle style) const {
  switch (style) {
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow:
      return {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
      return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    case TFormBorderStyle::bsDialog:
      return {GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
    case TFormBorderStyle::bsNone:
      break;
  }
  return {0, 0};
}

ScreenInfo TWindowPlacementHost::Screen() const {
  ScreenInfo screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 96};
  if (const HDC dc = GetDC(nullptr)) {
    screen.pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
  }
  return screen;
}

// A placement's rectangle is in workspace coordinates (from the corner of the primary monitor's
// work area), a tool window's in screen coordinates.
TRect TWindowPlacementHost::WorkAreaNear(const TRect& rect) const {
  POINT origin{0, 0};
  const HWND window = Window();
  RECT primary{};
  if (!(window && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) &&
      SystemParametersInfoW(SPI_GETWORKAREA, 0, &primary, 0))
    origin = {primary.left, primary.top};
  const RECT onScreen{rect.left + origin.x, rect.top + origin.y, rect.right + origin.x,
                      rect.bottom + origin.y};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromRect(&onScreen, MONITOR_DEFAULTTONEAREST), &info)) return rect;
  const RECT& work = info.rcWork;
  return {work.left - origin.x, work.top - origin.y, work.right - origin.x, work.bottom - origin.y};
}

}  // namespace ux::win32
