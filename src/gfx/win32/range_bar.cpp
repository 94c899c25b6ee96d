#include "gfx/win32/range_bar.h"

#include <windowsx.h>

#include <vector>

#include "gfx/themes.h"

namespace gfx {

namespace {

using TDrawThemeBackground = HRESULT(WINAPI*)(std::uintptr_t Theme, HDC DC, int Part, int State,
                                              const RECT* R, const RECT* Clip);

std::vector<POINT> ToPOINTs(std::span<const TPoint> Points) {
  std::vector<POINT> points;
  for (const TPoint& p : Points) points.push_back(POINT{p.X, p.Y});
  return points;
}

// Selects a solid pen (and a brush) of a colour for one drawing call.
class TPenScope {
 public:
  TPenScope(HDC DC, std::uint32_t Color, bool WithBrush)
      : FDC(DC),
        FPen(CreatePen(PS_SOLID, 1, Color)),
        FBrush(WithBrush ? CreateSolidBrush(Color) : nullptr) {
    FOldPen = SelectObject(DC, FPen);
    if (FBrush) FOldBrush = SelectObject(DC, FBrush);
  }
  ~TPenScope() {
    SelectObject(FDC, FOldPen);
    if (FBrush) SelectObject(FDC, FOldBrush);
    DeleteObject(FPen);
    if (FBrush) DeleteObject(FBrush);
  }
  TPenScope(const TPenScope&) = delete;
  TPenScope& operator=(const TPenScope&) = delete;

 private:
  HDC FDC;
  HPEN FPen;
  HBRUSH FBrush;
  HGDIOBJ FOldPen = nullptr, FOldBrush = nullptr;
};

}  // namespace

bool TGdiBarCanvas::ThemesEnabled() {
  const TVisualStyles* styles = VisualStyles();
  return styles && styles->ThemesEnabled() && styles->ScrollBarTheme() != 0 &&
         styles->Entry(teDrawThemeBackground) != nullptr;
}

void TGdiBarCanvas::DrawThemeBackground(int Part, int State, const TRect& R) {
  const TVisualStyles* styles = VisualStyles();
  if (!styles) return;
  const auto draw = reinterpret_cast<TDrawThemeBackground>(styles->Entry(teDrawThemeBackground));
  const RECT r = ui::ToRECT(R);
  if (draw) draw(styles->ScrollBarTheme(), FDC, Part, State, &r, nullptr);
}

void TGdiBarCanvas::DrawFrameControl(const TRect& R, unsigned Type, unsigned State) {
  RECT r = ui::ToRECT(R);
  ::DrawFrameControl(FDC, &r, Type, State);
}

void TGdiBarCanvas::DrawEdge(const TRect& R, unsigned Edge, unsigned Flags) {
  RECT r = ui::ToRECT(R);
  ::DrawEdge(FDC, &r, Edge, Flags);
}

void TGdiBarCanvas::FillSolid(const TRect& R, std::uint32_t Color) {
  const RECT r = ui::ToRECT(R);
  const HBRUSH brush = CreateSolidBrush(Color);
  FillRect(FDC, &r, brush);
  DeleteObject(brush);
}

void TGdiBarCanvas::FillPattern(const TRect& R, std::uint32_t C1, std::uint32_t C2) {
  // An 8 x 8 top-down 32-bit pattern: C2 where column and row have the same parity.
  struct {
    BITMAPINFOHEADER header;
    std::uint32_t pixels[64];
  } pattern{};
  pattern.header.biSize = sizeof(BITMAPINFOHEADER);
  pattern.header.biWidth = 8;
  pattern.header.biHeight = -8;
  pattern.header.biPlanes = 1;
  pattern.header.biBitCount = 32;
  pattern.header.biCompression = BI_RGB;
  const auto dib = [](std::uint32_t c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) pattern.pixels[y * 8 + x] = dib((x + y) % 2 == 0 ? C2 : C1);
  const HBRUSH brush = CreateDIBPatternBrushPt(&pattern, DIB_RGB_COLORS);
  const RECT r = ui::ToRECT(R);
  FillRect(FDC, &r, brush);
  DeleteObject(brush);
}

void TGdiBarCanvas::FrameRect(const TRect& R, std::uint32_t Color) {
  const RECT r = ui::ToRECT(R);
  const HBRUSH brush = CreateSolidBrush(Color);
  ::FrameRect(FDC, &r, brush);
  DeleteObject(brush);
}

void TGdiBarCanvas::Polyline(std::span<const TPoint> Points, std::uint32_t Color) {
  const TPenScope pen(FDC, Color, false);
  const std::vector<POINT> points = ToPOINTs(Points);
  ::Polyline(FDC, points.data(), static_cast<int>(points.size()));
}

void TGdiBarCanvas::Polygon(std::span<const TPoint> Points, std::uint32_t Color) {
  const TPenScope pen(FDC, Color, true);
  const std::vector<POINT> points = ToPOINTs(Points);
  ::Polygon(FDC, points.data(), static_cast<int>(points.size()));
}

std::uint32_t TGdiBarCanvas::SysColor(std::int32_t Index) {
  return GetSysColor(Index);
}

// ---- TRangeBar ----

TRangeBar::TRangeBar(ui::TComponent* Owner) : ui::TCustomControl(Owner) {
  SetBounds(0, 0, 100, 16);
}

TRangeBar::~TRangeBar() {
  if (HandleAllocated()) KillTimer(Handle(), 1);
}

void TRangeBar::CreateParams(TCreateParams& Params) {
  ui::TCustomControl::CreateParams(Params);
  Params.windowClass = L"QuollboxRangeBar";
  Params.classStyle &= ~static_cast<UINT>(CS_DBLCLKS);
}

void TRangeBar::SetKind(TScrollBarKind Value) {
  if (Value == FBar.Kind()) return;
  FBar.SetKind(Value);
  SetBounds(Left(), Top(), Height(), Width());
}

TRect TRangeBar::BarClientRect() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(Handle(), &r);
    return TRect{0, 0, r.right, r.bottom};
  }
  const int border = FBar.BorderStyle() == bsSingle ? 2 : 0;
  return TRect{0, 0, std::max(Width() - border, 0), std::max(Height() - border, 0)};
}

void TRangeBar::BarSetTimer(std::uint32_t Interval) {
  if (!HandleAllocated()) return;
  if (Interval == 0)
    KillTimer(Handle(), 1);
  else
    SetTimer(Handle(), 1, Interval, nullptr);
}

bool TRangeBar::BarCursorInside() {
  POINT p;
  if (!HandleAllocated() || !GetCursorPos(&p)) return false;
  return WindowFromPoint(p) == Handle();
}

void TRangeBar::BarRecreateHandle() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}

void TRangeBar::Paint() {
  TGdiBarCanvas canvas(Canvas().Handle());
  FBar.Paint(canvas);
}

void TRangeBar::WndProc(ui::TMessage& Message) {
  const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  switch (Message.Msg) {
    case WM_NCCALCSIZE: {
      RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                               : reinterpret_cast<RECT*>(Message.LParam);
      if (FBar.BorderStyle() == bsSingle) InflateRect(r, -1, -1);
      Message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      if (FBar.BorderStyle() == bsSingle) {
        const HDC dc = GetWindowDC(Handle());
        RECT r;
        GetWindowRect(Handle(), &r);
        OffsetRect(&r, -r.left, -r.top);
        ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        ReleaseDC(Handle(), dc);
      }
      Message.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      Message.Result = -1;
      return;
    case WM_SIZE:
      ui::TCustomControl::WndProc(Message);
      FBar.Resize();
      Invalidate();
      return;
    case WM_ENABLE:
      ui::TCustomControl::WndProc(Message);
      FBar.EnabledChanged();
      return;
    case WM_LBUTTONDOWN:
      SetCapture(Handle());
      FBar.MouseDown(x, y);
      return;
    case WM_MOUSEMOVE:
      FBar.MouseMove(x, y);
      return;
    case WM_LBUTTONUP:
      if (GetCapture() == Handle()) ReleaseCapture();
      FBar.MouseUp(x, y);
      return;
    case WM_CAPTURECHANGED:
      if (FBar.DragZone() != zNone && reinterpret_cast<HWND>(Message.LParam) != Handle())
        FBar.MouseUp(x, y);
      return;
    case WM_TIMER:
      FBar.TimerTick();
      return;
    case WM_MOUSEWHEEL:
      FBar.MouseWheel(GET_WHEEL_DELTA_WPARAM(Message.WParam), WHEEL_DELTA);
      return;
    default:
      ui::TCustomControl::WndProc(Message);
  }
}

}  // namespace gfx
