#include "ui/win32/hint_window.h"

#include "ui/win32/system_fonts.h"

namespace ui {

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  StoreVisible(false);
}

void THintWindow::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clInfoBk);
  AssignHintFont(Font());
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.style = WS_POPUP | WS_BORDER;
  params.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  params.classStyle |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::wstring& text, void*) {
  RECT r{0, 0, maxWidth, 0};
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, Font().Handle());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // Room for the border and a margin on each side.
  return {0, 0, r.right + 6, r.bottom + 2};
}

void THintWindow::ActivateHint(const TRect& rect, const std::wstring& text) {
  active_ = true;
  SetCaption(text);
  SetWindowPos(Handle(), HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void THintWindow::ActivateHintData(const TRect& rect, const std::wstring& text, void*) {
  ActivateHint(rect, text);
}

void THintWindow::ReleaseHint() {
  active_ = false;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(Color());
  const TRect client = ClientRect();
  canvas.FillRect(client);
  RECT r = ToRECT(client);
  InflateRect(&r, -2, 0);
  SetBkMode(canvas.Handle(), TRANSPARENT);
  SetTextColor(canvas.Handle(), ColorToRGB(Font().Color()));
  SelectObject(canvas.Handle(), Font().Handle());
  DrawTextW(canvas.Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &r,
            DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace ui
