#include "tb/win32/common.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "tb/consts.h"
#include "ui/errors.h"
#include "ui/text.h"
#include "ui/win32/mdi.h"
#include "ui/win32/offscreen_paint.h"

namespace tb {

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
using TMonitorFromRect = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using TMonitorFromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
using TGetMonitorInfoA = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using TLockSetForegroundWindow = BOOL(WINAPI*)(UINT);
using TTrackMouseEvent = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);

// Entry points bound once; the flags are published after the values they guard.
TGradientFill gradientFill = nullptr;
std::atomic<bool> gradientFillBound{false};
TMonitorFromRect monitorFromRect = nullptr;
TMonitorFromPoint monitorFromPoint = nullptr;
TMonitorFromWindow monitorFromWindow = nullptr;
TGetMonitorInfoA getMonitorInfoA = nullptr;
std::atomic<bool> monitorFunctionsBound{false};
TLockSetForegroundWindow lockSetForegroundWindow = nullptr;
TTrackMouseEvent trackMouseEvent = nullptr;
std::atomic<bool> trackMouseEventLooked{false};
std::atomic<int> registryMenuDelay{-1};  // -1: not read yet

struct TVersion {
  bool nt = true;
  int major = 0;
  int minor = 0;
};

const TVersion& Version() {
  static const TVersion version = [] {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    TVersion v;
    if (GetVersionExW(&info)) {
      v.nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
      v.major = static_cast<int>(info.dwMajorVersion);
      v.minor = static_cast<int>(info.dwMinorVersion);
    }
    return v;
  }();
  return version;
}

template <class F>
F Bind(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

HMODULE LoadQuietly(const wchar_t* name) {
  const UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  const HMODULE module = LoadLibraryW(name);
  SetErrorMode(previous);
  return module;
}

void BindGradientFill() {
  const TVersion& v = Version();
  if (v.major > 4 || (v.major == 4 && v.minor >= 10)) {
    gradientFill = Bind<TGradientFill>(LoadQuietly(L"msimg32.dll"), "GradientFill");
  }
  gradientFillBound.store(true);
}

void BindMonitorFunctions() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto fromRect = Bind<TMonitorFromRect>(user32, "MonitorFromRect");
  const auto fromPoint = Bind<TMonitorFromPoint>(user32, "MonitorFromPoint");
  const auto fromWindow = Bind<TMonitorFromWindow>(user32, "MonitorFromWindow");
  const auto info = Bind<TGetMonitorInfoA>(user32, "GetMonitorInfoA");
  if (fromRect && fromPoint && fromWindow && info) {
    monitorFromRect = fromRect;
    monitorFromPoint = fromPoint;
    monitorFromWindow = fromWindow;
    getMonitorInfoA = info;
  }
  monitorFunctionsBound.store(true);
}

TRect FromRECT(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}
RECT ToRECT(const TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

std::optional<TRect> NearestToRect(const TRect& rect, bool workArea) {
  const RECT r = ToRECT(rect);
  RECT found;
  if (!ReadMonitorRect(monitorFromRect(&r, MONITOR_DEFAULTTONEAREST), workArea, found)) return {};
  return FromRECT(found);
}

std::optional<TRect> NearestToPoint(TPoint point, bool workArea) {
  RECT found;
  if (!ReadMonitorRect(monitorFromPoint({point.x, point.y}, MONITOR_DEFAULTTONEAREST), workArea,
                       found)) {
    return {};
  }
  return FromRECT(found);
}

std::optional<TRect> SystemWorkArea() {
  RECT r;
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return {};
  return FromRECT(r);
}

TMonitorFunctions MonitorFunctions() {
  if (!monitorFunctionsBound.load()) BindMonitorFunctions();
  TMonitorFunctions f;
  f.monitorCount = HasSeveralMonitors() ? 2 : 1;
  f.nearestToRect = NearestToRect;
  f.nearestToPoint = NearestToPoint;
  f.workArea = SystemWorkArea;
  f.screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return f;
}

// Frees a GDI object when it goes.
struct TGdiObject {
  HGDIOBJ object;
  ~TGdiObject() {
    if (object) DeleteObject(object);
  }
};

TFloatingParentResolver floatingParentResolver = nullptr;

BOOL CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

struct TPrintTarget {
  HWND parent;
  HDC dc;
  LPARAM flags;
  bool owned;  // top-level windows owned by the parent, rather than its children
};

BOOL CALLBACK PrintWindowInto(HWND wnd, LPARAM data) {
  const auto& target = *reinterpret_cast<TPrintTarget*>(data);
  const HWND relative = target.owned ? GetWindow(wnd, GW_OWNER) : GetParent(wnd);
  if (relative != target.parent || !IsWindowVisible(wnd)) return TRUE;
  RECT r;
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, target.parent, reinterpret_cast<POINT*>(&r), 2);
  const int saved = SaveDC(target.dc);
  OffsetViewportOrgEx(target.dc, r.left, r.top, nullptr);
  IntersectClipRect(target.dc, 0, 0, r.right - r.left, r.bottom - r.top);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(target.dc), target.flags);
  RestoreDC(target.dc, saved);
  return TRUE;
}

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM data) {
  const auto ex = static_cast<DWORD>(GetWindowLongPtrW(wnd, GWL_EXSTYLE));
  try {
    reinterpret_cast<std::vector<TWindowDescriptor>*>(data)->push_back(
        {reinterpret_cast<std::uintptr_t>(wnd), IsWindowVisible(wnd) != 0,
         IsWindowEnabled(wnd) != 0, (ex & WS_EX_TOPMOST) != 0});
  } catch (...) {
    return FALSE;  // out of memory: the windows found so far answer
  }
  return TRUE;
}

}  // namespace

void InitCommon() {
  static std::atomic<bool> done{false};
  if (done.exchange(true)) return;
  BindGradientFill();
  BindMonitorFunctions();
  lockSetForegroundWindow =
      Bind<TLockSetForegroundWindow>(GetModuleHandleW(L"user32.dll"), "LockSetForegroundWindow");
}

// Painting

void HandleWMPrint(HWND wnd, ui::TMessage& message, TNCPaintProc ncPaint, void* appData) {
  const LPARAM flags = message.LParam;
  const auto dc = reinterpret_cast<HDC>(message.WParam);
  if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(wnd)) {
    message.Result = 0;
    return;
  }
  const int saved = SaveDC(dc);
  if ((flags & PRF_NONCLIENT) && ncPaint) {
    const int ncSaved = SaveDC(dc);
    ncPaint(wnd, dc, appData);
    RestoreDC(dc, ncSaved);
  }
  if (flags & PRF_CLIENT) {
    POINT offset{0, 0};
    if (flags & PRF_NONCLIENT) {
      RECT window;
      GetWindowRect(wnd, &window);
      ClientToScreen(wnd, &offset);
      offset.x -= window.left;
      offset.y -= window.top;
    }
    const auto send = [&](UINT msg, LPARAM lParam) {
      const int clientSaved = SaveDC(dc);
      OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
      SendMessageW(wnd, msg, reinterpret_cast<WPARAM>(dc), lParam);
      RestoreDC(dc, clientSaved);
    };
    if (flags & PRF_ERASEBKGND) send(WM_ERASEBKGND, 0);
    send(WM_PRINTCLIENT, flags);
    OffsetViewportOrgEx(dc, offset.x, offset.y, nullptr);
    if (flags & PRF_CHILDREN) {
      TPrintTarget target{wnd, dc,
                          (flags | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN) &
                              ~static_cast<LPARAM>(PRF_CHECKVISIBLE),
                          false};
      EnumChildWindows(wnd, PrintWindowInto, reinterpret_cast<LPARAM>(&target));
    }
    if (flags & PRF_OWNED) {
      TPrintTarget target{wnd, dc, flags, true};
      EnumWindows(PrintWindowInto, reinterpret_cast<LPARAM>(&target));
    }
  }
  RestoreDC(dc, saved);
  message.Result = 1;
}

void HandleWMPrintClient(ui::TWinControl& control, ui::TMessage& message) {
  const auto dc = reinterpret_cast<HDC>(message.WParam);
  const int saved = SaveDC(dc);
  ui::TMessage paint{WM_PAINT, message.WParam, 0, 0};
  control.PaintHandler(paint);
  RestoreDC(dc, saved);
  message.Result = 0;
}

void SelectNCUpdateRgn(HWND wnd, HDC dc, HRGN rgn) {
  if (reinterpret_cast<std::uintptr_t>(rgn) <= 1) return;  // 0 and 1 are not regions
  RECT window;
  GetWindowRect(wnd, &window);
  if (SelectClipRgn(dc, rgn) == ERROR) {
    const TGdiObject whole{CreateRectRgnIndirect(&window)};
    SelectClipRgn(dc, static_cast<HRGN>(whole.object));
  }
  OffsetClipRgn(dc, -window.left, -window.top);
}

namespace {

bool IsWhollyInvalid(HWND wnd, const RECT& client) {
  const ui::TGdiHandle<HRGN> update(CreateRectRgn(0, 0, 0, 0));
  const ui::TGdiHandle<HRGN> whole(CreateRectRgnIndirect(&client));
  const auto updateRgn = static_cast<HRGN>(update.get());
  return GetUpdateRgn(wnd, updateRgn, FALSE) != ERROR &&
         EqualRgn(updateRgn, static_cast<HRGN>(whole.get()));
}

}  // namespace

namespace {

// A window device context draws over the child windows (the platform clips children only out
// of client device contexts): the visible ones are taken out of its clip region, or the client
// area's picture would cover what they show, and they would not paint again.
void ExcludeChildWindows(HWND wnd, HDC dc, const RECT& window) {
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r;
    GetWindowRect(child, &r);
    ExcludeClipRect(dc, r.left - window.left, r.top - window.top, r.right - window.left,
                    r.bottom - window.top);
  }
}

// Paints the part of the client area the device context shows (all of it with the frame when
// `withFrame`) through a memory bitmap; false when that could not be done.
bool PaintThroughMemory(HWND wnd, const RECT& client, bool withFrame) {
  RECT window;
  GetWindowRect(wnd, &window);
  POINT origin{0, 0};
  if (withFrame) {
    ClientToScreen(wnd, &origin);
    origin.x -= window.left;
    origin.y -= window.top;
  }
  const HDC dc = withFrame ? GetWindowDC(wnd) : GetDC(wnd);
  if (!dc) return false;
  if (withFrame) ExcludeChildWindows(wnd, dc, window);
  RECT box = client;
  if (!withFrame) {
    GetClipBox(dc, &box);
    IntersectRect(&box, &box, &client);
  }
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  bool done = false;
  const HDC memory = CreateCompatibleDC(dc);
  const TGdiObject bitmap{w > 0 && h > 0 ? ui::CreatePaintBitmap(w, h) : nullptr};
  if (memory && bitmap.object) {
    const HGDIOBJ old = SelectObject(memory, bitmap.object);
    SetWindowOrgEx(memory, box.left, box.top, nullptr);
    SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    SendMessageW(wnd, WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
    done = BitBlt(dc, origin.x + box.left, origin.y + box.top, w, h, memory, box.left, box.top,
                  SRCCOPY) != 0;
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  if (done && withFrame) {
    SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    RedrawWindow(wnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
  }
  ReleaseDC(wnd, dc);
  return done;
}

// A child window with a frame around its client area: a docked window, whose frame its own
// WM_PRINT draws as its WM_NCPAINT does (a popup's skin may draw its frame only for the latter).
bool HasFrame(HWND wnd) {
  return (GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD) && ui::WindowHasFrame(wnd);
}

}  // namespace

void DoubleBufferedRepaint(HWND wnd, TWhollyInvalid whollyInvalid) {
  RECT client;
  if (!IsWindowVisible(wnd) || !GetClientRect(wnd, &client) || IsRectEmpty(&client)) return;
  const bool whole = IsWhollyInvalid(wnd, client);
  // Already wholly invalid: the coming paint draws it all.
  if (whollyInvalid == TWhollyInvalid::LeaveToPaint && whole) return;
  // A wholly invalid window may have its frame to paint too (its form has just appeared): the
  // frame is drawn through the same window device context and validated with the client area,
  // so no paint comes for the frame alone with a device context of its own.
  ValidateRect(wnd, nullptr);
  if (!PaintThroughMemory(wnd, client, whole && HasFrame(wnd))) InvalidateRect(wnd, nullptr, TRUE);
}

bool PaintWhollyInvalidWithFrame(HWND wnd) {
  RECT client;
  if (!IsWindowVisible(wnd) || !GetClientRect(wnd, &client) || IsRectEmpty(&client) ||
      !HasFrame(wnd) || !IsWhollyInvalid(wnd, client))
    return false;
  ValidateRect(wnd, nullptr);
  if (PaintThroughMemory(wnd, client, true)) return true;
  InvalidateRect(wnd, nullptr, TRUE);
  return false;
}

void RecomputeFrame(ui::TWinControl& control) {
  if (!control.HandleAllocated()) return;
  SetWindowPos(control.Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void RedrawWithFrame(ui::TWinControl& control) {
  if (!control.HandleAllocated()) return;
  RedrawWindow(control.Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_FRAME);
}

// Regions and drag rectangles

HRGN MakeFrameRegion(const RECT& rect, SIZE size) {
  if (IsRectEmpty(&rect)) return CreateRectRgn(0, 0, 0, 0);
  const HRGN region = CreateRectRgnIndirect(&rect);
  RECT inner = rect;
  InflateRect(&inner, -size.cx, -size.cy);
  if (region && !IsRectEmpty(&inner)) {
    const TGdiObject hole{CreateRectRgnIndirect(&inner)};
    CombineRgn(region, region, static_cast<HRGN>(hole.object), RGN_XOR);
  }
  return region;
}

void InvertFrame(HDC dc, const RECT& newRect, const RECT& oldRect, SIZE newSize, SIZE oldSize,
                 HBRUSH brush) {
  const TGdiObject frame{MakeFrameRegion(newRect, newSize)};
  const TGdiObject old{MakeFrameRegion(oldRect, oldSize)};
  CombineRgn(static_cast<HRGN>(frame.object), static_cast<HRGN>(frame.object),
             static_cast<HRGN>(old.object), RGN_XOR);
  const int saved = SaveDC(dc);
  SelectClipRgn(dc, static_cast<HRGN>(frame.object));
  RECT box;
  GetClipBox(dc, &box);
  SelectObject(dc, brush);
  PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, PATINVERT);
  RestoreDC(dc, saved);
}

HBRUSH MakeHalftoneBrush() {
  WORD pattern[8];
  for (int row = 0; row < 8; ++row) pattern[row] = row % 2 ? 0xAA : 0x55;
  const TGdiObject bitmap{CreateBitmap(8, 8, 1, 1, pattern)};
  // The brush keeps its own copy of the pattern: the bitmap goes at once.
  return bitmap.object ? CreatePatternBrush(static_cast<HBITMAP>(bitmap.object)) : nullptr;
}

void InvertHalftoneFrame(HDC dc, const RECT& newRect, const RECT& oldRect, SIZE newSize,
                         SIZE oldSize) {
  const TGdiObject brush{MakeHalftoneBrush()};
  InvertFrame(dc, newRect, oldRect, newSize, oldSize, static_cast<HBRUSH>(brush.object));
}

// Modal pumps

void PumpPaintMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE)) {
    const BOOL got = GetMessageW(&msg, nullptr, WM_PAINT, WM_PAINT);
    if (got == -1) return;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessageW(&msg);
  }
}

void DiscardMessages(UINT first, UINT last) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
  }
}

bool IsOtherButtonMessage(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool TrackCaptionButton(HWND wnd, const RECT& buttonRect, TCaptionButtonDrawProc draw, void* data) {
  // The button rectangle is in window coordinates.
  const auto inside = [&](POINT screen) {
    RECT window;
    GetWindowRect(wnd, &window);
    const POINT p{screen.x - window.left, screen.y - window.top};
    return PtInRect(&buttonRect, p) != 0;
  };
  POINT cursor;
  GetCursorPos(&cursor);
  draw(wnd, inside(cursor), data);
  SetCapture(wnd);
  struct TFinish {
    HWND wnd;
    TCaptionButtonDrawProc draw;
    void* data;
    ~TFinish() {
      if (GetCapture() == wnd) ReleaseCapture();
      draw(wnd, false, data);
    }
  } finish{wnd, draw, data};
  while (GetCapture() == wnd) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) return false;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    const POINT at{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    switch (msg.message) {
      case WM_LBUTTONUP: {
        POINT screen = at;
        ClientToScreen(msg.hwnd, &screen);
        return inside(screen);
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        return false;
      case WM_MOUSEMOVE: {
        POINT screen = at;
        ClientToScreen(msg.hwnd, &screen);
        draw(wnd, inside(screen), data);
        break;
      }
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
        break;  // swallowed while the button is held
      default:
        if (IsOtherButtonMessage(msg.message)) break;  // swallowed too
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        break;
    }
  }
  return false;
}

// System settings

int ReadRegistryMenuShowDelay() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return 400;
  }
  wchar_t buffer[32] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const LONG status = RegQueryValueExW(key, L"MenuShowDelay", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status == ERROR_FILE_NOT_FOUND) return ParseMenuShowDelay(std::nullopt);
  TRegistryText value;
  if (status == ERROR_SUCCESS) {
    value.isString = type == REG_SZ;
    value.text.assign(buffer, wcsnlen(buffer, size / sizeof(wchar_t)));
  }
  return ParseMenuShowDelay(value);
}

int QueryMenuShowDelay() {
  if (Version().major < 4) return 400;
  DWORD delay = 0;
  std::optional<int> system;
  if (SystemParametersInfoW(SPI_GETMENUSHOWDELAY, 0, &delay, 0)) system = static_cast<int>(delay);
  if (system) return ChooseMenuShowDelay(system, 0);
  int cached = registryMenuDelay.load();
  if (cached < 0) {
    cached = std::max(ReadRegistryMenuShowDelay(), 0);
    registryMenuDelay.store(cached);
  }
  return ChooseMenuShowDelay(std::nullopt, cached);
}

bool QuerySystemFlag(UINT param, bool defaultValue) {
  BOOL value = FALSE;
  if (!SystemParametersInfoW(param, 0, &value, 0)) return defaultValue;
  return value != FALSE;
}

bool AreFlatMenusEnabled() {
  return IsWindowsXPOrLater() && QuerySystemFlag(SPI_GETFLATMENU, false);
}

bool AreKeyboardCuesEnabled() {
  if (Version().major < 5) return true;
  return QuerySystemFlag(SPI_GETKEYBOARDCUES, true);
}

bool IsWindowsXPOrLater() {
  const TVersion& v = Version();
  return v.nt && (v.major > 5 || (v.major == 5 && v.minor >= 1));
}

bool IsAnyWindowActive() {
  return GetActiveWindow() != nullptr;
}

// Monitors and the screen

bool HasSeveralMonitors() {
  if (!monitorFunctionsBound.load()) BindMonitorFunctions();
  return getMonitorInfoA && GetSystemMetrics(SM_CMONITORS) > 1;
}

bool ReadMonitorRect(HMONITOR monitor, bool workArea, RECT& rect) {
  if (!getMonitorInfoA || !monitor) return false;
  MONITORINFO info{};
  info.cbSize = sizeof info;  // 40 bytes
  if (!getMonitorInfoA(monitor, &info)) return false;
  rect = workArea ? info.rcWork : info.rcMonitor;
  return true;
}

RECT GetRectOfMonitorContainingRect(const RECT& rect, bool workArea) {
  const TRect r = FromRECT(rect);
  return ToRECT(ChooseMonitorRect(MonitorFunctions(), &r, nullptr, workArea));
}

RECT GetRectOfMonitorContainingPoint(POINT point, bool workArea) {
  const TPoint p{point.x, point.y};
  return ToRECT(ChooseMonitorRect(MonitorFunctions(), nullptr, &p, workArea));
}

RECT PrimaryScreenRect(bool workArea) {
  TMonitorFunctions f = MonitorFunctions();
  f.monitorCount = 1;
  return ToRECT(ChooseMonitorRect(f, nullptr, nullptr, workArea));
}

bool BindTrackMouseEvent() {
  if (!trackMouseEventLooked.load()) {
    auto entry = Bind<TTrackMouseEvent>(GetModuleHandleW(L"user32.dll"), "TrackMouseEvent");
    if (!entry) entry = Bind<TTrackMouseEvent>(LoadQuietly(L"comctl32.dll"), "_TrackMouseEvent");
    trackMouseEvent = entry;
    trackMouseEventLooked.store(true);
  }
  return trackMouseEvent != nullptr;
}

bool CallTrackMouseEvent(HWND wnd, DWORD flags) {
  if (!BindTrackMouseEvent()) return false;
  TRACKMOUSEEVENT track{sizeof track, flags, wnd, 0};
  return trackMouseEvent(&track) != FALSE;
}

void SetForegroundLock(bool lock) {
  if (lockSetForegroundWindow) lockSetForegroundWindow(lock ? LSFW_LOCK : LSFW_UNLOCK);
}

POINT LastMessagePos() {
  const DWORD pos = GetMessagePos();
  return {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

// Sounds

bool SoundIsAssigned(std::wstring_view alias) {
  const TVersion& v = Version();
  if (!v.nt || v.major < 5) return true;
  const std::wstring path =
      L"AppEvents\\Schemes\\Apps\\.Default\\" + std::wstring(alias) + L"\\.Current";
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t buffer[4] = {};  // 8 bytes
  DWORD size = sizeof buffer;
  const LONG status =
      RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return (status == ERROR_SUCCESS && buffer[0] != 0) || status == ERROR_MORE_DATA;
}

void PlayMenuSound(std::wstring_view alias) {
  // The multimedia library (and the audio libraries it brings) is loaded with the first sound,
  // not at the program's start.
  using TPlaySound = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
  static const TPlaySound playSound = Bind<TPlaySound>(LoadQuietly(L"winmm.dll"), "PlaySoundW");
  if (!playSound) return;
  const std::wstring name(alias);
  playSound(name.c_str(), nullptr, MenuSoundFlags(Version().nt, Version().major));
}

// Text

wchar_t LowerChar(wchar_t ch) {
  return static_cast<wchar_t>(reinterpret_cast<std::uintptr_t>(
      CharLowerW(reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(ch)))));
}

SIZE MeasureTextExtent(HDC dc, std::wstring_view text) {
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

int MeasureTextWidth(HDC dc, std::wstring_view text, bool prefix) {
  return prefix ? MeasureTextExtent(dc, RemoveAccelMarks(text)).cx : MeasureTextExtent(dc, text).cx;
}

int DrawTextString(HDC dc, std::wstring_view text, RECT& rect, UINT format) {
  return DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

int DrawCaptionText(HDC dc, std::wstring_view text, RECT& rect, UINT format) {
  constexpr UINT kPlatformOnly = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_END_ELLIPSIS |
                                 DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS | DT_RTLREADING | DT_TABSTOP |
                                 DT_EDITCONTROL | DT_MODIFYSTRING;
  if (!(format & DT_SINGLELINE) || (format & kPlatformOnly)) {
    return DrawTextString(dc, text, rect, format);
  }
  const TAccelText split =
      (format & DT_NOPREFIX) ? TAccelText{std::wstring(text), -1} : SplitAccelText(text);
  const std::wstring& shown = split.text;
  const int count = static_cast<int>(shown.size());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // Each character goes exactly where the measurement put it, so the underline (and the
  // layout that measured the caption) meet the glyphs even where the platform draws with
  // advances other than those it measures.
  std::vector<INT> ends(shown.size() + 1, 0), advances(shown.size(), 0);
  SIZE extent{0, 0};
  if (count > 0) {
    GetTextExtentExPointW(dc, shown.c_str(), count, 0, nullptr, ends.data(), &extent);
    for (int i = 0; i < count; ++i) advances[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
  }
  const TPoint at = SingleLineOrigin(FromRECT(rect), extent.cx, metrics.tmHeight, format);
  const UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  const UINT clip = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
  ExtTextOutW(dc, at.x, at.y, clip, &rect, shown.c_str(), static_cast<UINT>(count),
              advances.data());
  SetTextAlign(dc, oldAlign);
  if (split.accel >= 0 && !(format & DT_HIDEPREFIX)) {
    const auto accel = static_cast<std::size_t>(split.accel);
    RECT line{at.x + (accel > 0 ? ends[accel - 1] : 0), at.y + metrics.tmAscent + 1,
              at.x + ends[accel], at.y + metrics.tmAscent + 2};
    if (clip) IntersectRect(&line, &line, &rect);
    const TGdiObject brush{CreateSolidBrush(GetTextColor(dc))};
    FillRect(dc, &line, static_cast<HBRUSH>(brush.object));
  }
  return metrics.tmHeight;
}

void OutputText(HDC dc, int x, int y, std::wstring_view text) {
  TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
}

bool FaceExists(HDC dc, std::wstring_view face) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  face.copy(font.lfFaceName, length);
  bool found = false;
  EnumFontFamiliesExW(dc, &font, FontFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

HFONT MakeVerticalFont(HDC dc) {
  LOGFONTW font{};
  if (!GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) return nullptr;
  font.lfEscapement = font.lfOrientation = 2700;
  font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::wstring face = font.lfFaceName;
  if (ui::SameText(face, L"MS Sans Serif") || ui::SameText(face, L"Microsoft Sans Serif")) {
    face = Version().major >= 5 ? L"Tahoma" : L"Arial";
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    font.lfHeight =
        font.lfHeight > 0 ? metrics.tmHeight : metrics.tmInternalLeading - metrics.tmHeight;
  }
  const std::wstring vertical = L"@" + face;
  if (vertical.size() <= 31 && FaceExists(dc, vertical)) face = vertical;
  face.resize(std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
  face.copy(font.lfFaceName, face.size());
  return CreateFontIndirectW(&font);
}

void DrawVerticalText(HDC dc, std::wstring_view text, const RECT& rect, UINT format) {
  const TGdiObject font{MakeVerticalFont(dc)};
  if (!font.object) return;
  const int saved = SaveDC(dc);
  SelectObject(dc, font.object);
  // The accelerator-free text and where its accelerator character ends up in it.
  const TAccelText split = SplitAccelText(text);
  const std::wstring& clean = split.text;
  const auto accel = static_cast<std::size_t>(split.accel);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  TVerticalTextMetrics m;
  m.fontHeight = metrics.tmHeight;
  m.descent = metrics.tmDescent;
  m.textWidth = MeasureTextExtent(dc, clean).cx;
  if (split.accel >= 0) {
    m.widthBeforeAccel = MeasureTextExtent(dc, std::wstring_view(clean).substr(0, accel)).cx;
    m.accelWidth = MeasureTextExtent(dc, std::wstring_view(clean).substr(accel, 1)).cx;
  }
  const TVerticalTextLayout layout =
      VerticalTextLayout(FromRECT(rect), m, split.accel >= 0, (format & DT_HIDEPREFIX) != 0);
  SetTextAlign(dc, TA_BOTTOM);
  OutputText(dc, layout.origin.x, layout.origin.y, clean);
  if (layout.underline) {
    const TGdiObject pen{CreatePen(PS_SOLID, 1, GetTextColor(dc))};
    SelectObject(dc, pen.object);
    MoveToEx(dc, layout.lineX, layout.lineTop, nullptr);
    LineTo(dc, layout.lineX, layout.lineBottom);
    RestoreDC(dc, saved);  // deselects the pen before it goes
    return;
  }
  RestoreDC(dc, saved);
}

// Captions and gradients

bool HasGradientFill() {
  return gradientFillBound.load() && gradientFill != nullptr;
}

void FillGradientRect(HDC dc, const RECT& rect, COLORREF start, COLORREF end, bool horizontal) {
  if (!HasGradientFill()) return;
  const auto channel = [](BYTE value) { return static_cast<COLOR16>(value << 8); };
  TRIVERTEX vertices[2] = {
      {rect.left, rect.top, channel(GetRValue(start)), channel(GetGValue(start)),
       channel(GetBValue(start)), 0},
      {rect.right, rect.bottom, channel(GetRValue(end)), channel(GetGValue(end)),
       channel(GetBValue(end)), 0},
  };
  GRADIENT_RECT mesh{0, 1};
  gradientFill(dc, vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void PaintSmallCaption(HWND wnd, HDC dc, const RECT& rect, bool active, std::wstring_view caption) {
  if (IsRectEmpty(&rect)) return;
  const bool gradient = QuerySystemFlag(SPI_GETGRADIENTCAPTIONS, false);
  if (Version().major < 6) {
    DrawCaption(wnd, dc, &rect,
                DC_SMALLCAP | DC_TEXT | (active ? DC_ACTIVE : 0) | (gradient ? DC_GRADIENT : 0));
    return;
  }
  const int first = active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION;
  const int second = active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION;
  if (gradient && HasGradientFill() && GetSysColor(first) != GetSysColor(second)) {
    FillGradientRect(dc, rect, GetSysColor(first), GetSysColor(second), true);
  } else {
    FillRect(dc, &rect, GetSysColorBrush(first));
  }
  RECT text = rect;
  text.left += GetSystemMetrics(SM_CXEDGE);
  NONCLIENTMETRICSW metrics;
  if (text.right <= text.left || !ReadNonClientMetrics(metrics)) return;
  const TGdiObject font{CreateFontIndirectW(&metrics.lfSmCaptionFont)};
  const int saved = SaveDC(dc);
  SelectObject(dc, font.object);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  DrawTextString(dc, caption, text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  RestoreDC(dc, saved);
}

// Forms and windows

void SetFloatingParentResolver(TFloatingParentResolver resolver) {
  floatingParentResolver = resolver;
}

ui::TCustomForm* GetToolWindowParentForm(ui::TControl& control) {
  ui::TCustomForm* outermost = nullptr;
  for (ui::TControl* c = &control; c; c = c->Parent()) {
    if (auto* form = dynamic_cast<ui::TCustomForm*>(c)) outermost = form;
  }
  return outermost && floatingParentResolver ? floatingParentResolver(*outermost) : outermost;
}

ui::TCustomForm& RequireToolWindowParentForm(ui::TControl& control) {
  ui::TCustomForm* form = GetToolWindowParentForm(control);
  if (!form) {
    const std::string name = ui::Utf8FromWide(control.Name());
    std::vector<char> text(sizeof SParentRequired + name.size());
    std::snprintf(text.data(), text.size(), SParentRequired, name.c_str());
    throw ui::EInvalidOperation(text.data());
  }
  return *form;
}

ui::TCustomForm* MDIParentOf(ui::TCustomForm& form) {
  if (form.FormStyle() != ui::TFormStyle::fsMDIChild || !form.HandleAllocated()) return &form;
  // An MDI child's window sits in its MDI form's client window.
  const HWND client = GetParent(form.Handle());
  auto* parent =
      client ? dynamic_cast<ui::TCustomForm*>(ui::TWinControl::FromHandle(GetParent(client)))
             : nullptr;
  return parent && ui::MDIClientOf(*parent) == client ? parent : &form;
}

void SetWindowOwner(HWND wnd, HWND owner) {
  SetWindowLongPtrW(wnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

HWND NextTopLevelWindow(HWND exclude) {
  std::vector<TWindowDescriptor> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  const HWND application = ui::Application ? ui::Application->Handle() : nullptr;
  return reinterpret_cast<HWND>(
      ChooseNextTopLevelWindow(windows, reinterpret_cast<std::uintptr_t>(exclude),
                               reinterpret_cast<std::uintptr_t>(application)));
}

bool IsAncestorOfWindow(HWND parent, HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    if (wnd == parent) return true;
  }
  return false;
}

int SmallCaptionHeight() {
  return GetSystemMetrics(SM_CYSMCAPTION);
}

}  // namespace tb
