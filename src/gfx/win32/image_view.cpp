#include "gfx/win32/image_view.h"

#include <windowsx.h>

#include "gfx/win32/bitmap32.h"
#include "ui/win32/forms.h"

namespace gfx {

namespace {
TMouseButton ButtonOf(UINT Msg) {
  if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONUP) return mbLeft;
  return Msg == WM_RBUTTONDOWN || Msg == WM_RBUTTONUP ? mbRight : mbMiddle;
}
}  // namespace

TImgView32::TImgView32(ui::TComponent* Owner) : ui::TCustomControl(Owner) {
  FHScroll = ui::Create<TRangeBar>(*this);
  FVScroll = ui::Create<TRangeBar>(*this);
  FVScroll->SetKind(sbVertical);
  for (TRangeBar* bar : {FHScroll, FVScroll}) {
    bar->SetParent(this);
    bar->SetVisible(false);
  }
  FView = std::make_unique<TCustomImgView32>(*this, FHScroll->Bar(), FVScroll->Bar());
  SetBounds(0, 0, 192, 192);
}

TImgView32::~TImgView32() {
  FView.reset();
}

void TImgView32::CreateParams(TCreateParams& Params) {
  ui::TCustomControl::CreateParams(Params);
  Params.windowClass = L"QuollboxImgView32";
}

TRect TImgView32::HostClientRect() {
  if (!HandleAllocated()) return TRect{0, 0, Width(), Height()};
  RECT r;
  GetClientRect(Handle(), &r);
  return TRect{0, 0, r.right, r.bottom};
}

void TImgView32::HostInvalidate() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TImgView32::HostRepaint() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TImgView32::HostCopyToScreen(TBitmap32& Buffer, const TRect& R) {
  BitBlt(Canvas().Handle(), R.left, R.top, R.Width(), R.Height(), DIB(Buffer).Handle(), R.left,
         R.top, SRCCOPY);
}

TColor32 TImgView32::HostColor() {
  return WinColorToColor32(static_cast<TWinColor>(Color()));
}

void TImgView32::HostSetFocus() {
  if (CanFocus()) SetFocus();
}

std::int32_t TImgView32::HostScrollBarSize() {
  return GetSystemMetrics(SM_CYHSCROLL);
}

void TImgView32::HostPlaceScrollBars(const TRect& H, const TRect& V, const TRect& Grip) {
  const auto place = [](TRangeBar& bar, const TRect& R) {
    if (!IsRectEmpty(R)) bar.SetBounds(R.left, R.top, R.Width(), R.Height());
    bar.SetVisible(!IsRectEmpty(R));
  };
  place(*FHScroll, H);
  place(*FVScroll, V);
  if (HandleAllocated() && !IsRectEmpty(Grip)) {
    const RECT r = ui::ToRECT(Grip);
    InvalidateRect(Handle(), &r, FALSE);
  }
}

void TImgView32::HostFocusRect(TBitmap32& Dest, const TRect& R) {
  const HDC dc = DIB(Dest).Handle();
  if (!dc || IsRectEmpty(R)) return;
  const TRect& clip = Dest.ClipRect();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  const RECT r = ui::ToRECT(R);
  DrawFocusRect(dc, &r);
  RestoreDC(dc, saved);
  GdiFlush();
}

void TImgView32::SetScreenCursor(TCursor Cursor) {
  if (ui::Screen) ui::Screen->SetCursor(Cursor);
}

bool TImgView32::FillsItsForm() {
  for (ui::TControl* control = this; control; control = control->Parent()) {
    if (dynamic_cast<ui::TCustomForm*>(control)) return true;
    if (control->Align() != ui::TAlign::alClient) return false;
  }
  return false;
}

void TImgView32::Paint() {
  FView->Paint();
  TGdiBarCanvas canvas(Canvas().Handle());
  FView->PaintCorner(canvas, ui::ColorToRGB(Color()));
}

void TImgView32::WndProc(ui::TMessage& Message) {
  const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_SIZE:
      ui::TCustomControl::WndProc(Message);
      FView->SetGripAllowed(FillsItsForm());
      FView->Resize();
      return;
    case WM_GETDLGCODE:
      if (FView->Options() & pboWantArrowKeys) {
        Message.Result = DLGC_WANTARROWS;
        return;
      }
      break;
    case ui::CM_MOUSELEAVE:
      FView->MouseLeave();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const TRect grip = FView->SizeGripRect();
      if (Message.Msg == WM_LBUTTONDOWN && PtInRect(grip, {x, y})) {
        // The grip sizes the form from its bottom-right corner.
        if (ui::TCustomForm* form = ParentForm()) {
          POINT p{x, y};
          ClientToScreen(Handle(), &p);
          ReleaseCapture();
          SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(p.x, p.y));
        }
        return;
      }
      FView->AutoFocus();
      SetCapture(Handle());
      FView->MouseDown(ButtonOf(Message.Msg), static_cast<TShiftState>(Message.WParam), x, y);
      if (!FView->MouseCaptured() && GetCapture() == Handle()) ReleaseCapture();
      return;
    }
    case WM_MOUSEMOVE:
      FView->MouseMove(static_cast<TShiftState>(Message.WParam), x, y);
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      FView->MouseUp(ButtonOf(Message.Msg), static_cast<TShiftState>(Message.WParam), x, y);
      if (!FView->MouseCaptured() && GetCapture() == Handle()) ReleaseCapture();
      return;
    }
    case WM_MOUSEWHEEL: {
      const bool shift = (GET_KEYSTATE_WPARAM(Message.WParam) & MK_SHIFT) != 0;
      (shift ? FHScroll : FVScroll)
          ->Bar()
          .MouseWheel(GET_WHEEL_DELTA_WPARAM(Message.WParam), WHEEL_DELTA);
      return;
    }
    default:
      break;
  }
  ui::TCustomControl::WndProc(Message);
}

}  // namespace gfx
