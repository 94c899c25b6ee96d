#include "skbar/win32/sk_bitmap_hint.h"

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_item_paint.h"
#include "ui/win32/forms.h"
#include "ui/win32/system_fonts.h"

namespace skbar {

namespace {

constexpr UINT kHintText = DT_NOPREFIX;

SIZE MeasureText(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | kHintText);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TSkHintBitmap::~TSkHintBitmap() {
  if (dc_) {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

void TSkHintBitmap::Resize(SIZE size) {
  if (!dc_) dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  if (bitmap_ && size.cx == size_.cx && size.cy == size_.cy) return;
  const HDC screen = GetDC(nullptr);
  const HBITMAP fresh =
      CreateCompatibleBitmap(screen, std::max(size.cx, 1L), std::max(size.cy, 1L));
  ReleaseDC(nullptr, screen);
  if (!fresh) return;
  const HGDIOBJ previous = SelectObject(dc_, fresh);
  if (!old_) old_ = previous;
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = fresh;
  size_ = size;
}

void TSkHintBitmap::Render(TSkBarItemViewer* viewer, std::wstring text) {
  if (!dc_) dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  ui::TCanvas canvas;
  ui::AssignHintFont(canvas.Font());
  canvas.Pen().SetColor(ui::clBlack);
  canvas.Brush().SetColor(ui::clInfoBk);
  canvas.SetHandle(dc_);
  const auto size = [&] {
    const SIZE t = MeasureText(canvas.SelectedHandle(), text);
    return SIZE{t.cx + 8, t.cy + 4};
  };
  Resize(size());
  canvas.SetHandle(dc_);
  const TRect all{0, 0, size_.cx, size_.cy};
  SkPaintHintBackground(canvas, all,
                        SkBarSkinManager() ? SkBarSkinManager()->GetSkinType() : sknNone);
  bool paintDefault = true;
  if (viewer) {
    const std::wstring before = text;
    TSkBarDrawHintArgs args{&canvas, all, &text, &paintDefault};
    viewer->FireDrawHint(args);
    if (text != before) {
      Resize(size());
      canvas.SetHandle(dc_);
      SkPaintHintBackground(canvas, {0, 0, size_.cx, size_.cy},
                            SkBarSkinManager() ? SkBarSkinManager()->GetSkinType() : sknNone);
    }
  }
  if (paintDefault) {
    const HDC dc = canvas.SelectedHandle();
    SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, size_.cx, size_.cy};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              kHintText | DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  canvas.SetHandle(nullptr);
  text_ = text;
}

TSkHintBitmap& SkHintBitmap() {
  static TSkHintBitmap bitmap;
  return bitmap;
}

bool SkPrepareBitmapHint(TSkBarItemViewer& viewer, ui::THintInfo& info) {
  const std::wstring text = viewer.GetHintText(ui::Application && ui::Application->HintShortCuts());
  if (text.empty()) return false;
  const tb::TRect b = viewer.BoundsRect();
  info.CursorRect = {b.left, b.top, b.right, b.bottom};
  SkHintBitmap().Render(&viewer, text);
  info.HintStr = SkHintBitmap().Text();
  info.HintData = &SkHintBitmap();
  return true;
}

TRect TBitmapHint::CalcHintRect(int maxWidth, const std::wstring& text, void* data) {
  if (data == &SkHintBitmap()) {
    const SIZE size = SkHintBitmap().Size();
    return {0, 0, size.cx - 2, size.cy - 2};
  }
  return ui::THintWindow::CalcHintRect(maxWidth, text, data);
}

void TBitmapHint::ActivateHint(const TRect& rect, const std::wstring& text) {
  activating_ = true;
  try {
    ui::THintWindow::ActivateHint(rect, text);
  } catch (...) {
    activating_ = false;
    throw;
  }
  activating_ = false;
}

void TBitmapHint::ActivateHintData(const TRect& rect, const std::wstring& text, void* data) {
  bitmap_ = data == &SkHintBitmap() ? &SkHintBitmap() : nullptr;
  TRect r = rect;
  if (bitmap_)
    r = {rect.left, rect.top, rect.left + bitmap_->Size().cx - 2,
         rect.top + bitmap_->Size().cy - 2};
  ActivateHint(r, text);
}

void TBitmapHint::WndProc(ui::TMessage& message) {
  if (message.Msg == WM_NCPAINT && bitmap_ && bitmap_->Dc()) {
    // The border: the bitmap's outermost rows and columns.
    if (const HDC dc = GetWindowDC(Handle())) {
      RECT window;
      GetWindowRect(Handle(), &window);
      const int w = window.right - window.left, h = window.bottom - window.top;
      const HDC bitmap = bitmap_->Dc();
      const SIZE size = bitmap_->Size();
      BitBlt(dc, 0, 0, w, 1, bitmap, 0, 0, SRCCOPY);
      BitBlt(dc, 0, h - 1, w, 1, bitmap, 0, size.cy - 1, SRCCOPY);
      BitBlt(dc, 0, 0, 1, h, bitmap, 0, 0, SRCCOPY);
      BitBlt(dc, w - 1, 0, 1, h, bitmap, size.cx - 1, 0, SRCCOPY);
      ReleaseDC(Handle(), dc);
    }
    message.Result = 0;
    return;
  }
  ui::THintWindow::WndProc(message);
}

void TBitmapHint::Paint() {
  if (!bitmap_ || !bitmap_->Dc()) {
    ui::THintWindow::Paint();
    return;
  }
  const TRect client = ClientRect();
  BitBlt(Canvas().Handle(), 0, 0, client.Width(), client.Height(), bitmap_->Dc(), 1, 1, SRCCOPY);
}

void SkInstallBitmapHints(ui::TApplication& application) {
  application.SetHintWindowFactory(
      [] { return ui::Owned<ui::THintWindow>(ui::New<TBitmapHint>()); });
}

}  // namespace skbar
