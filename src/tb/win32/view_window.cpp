#include "tb/win32/view_window.h"

#include "tb/system_settings.h"
#include "tb/win32/common.h"
#include "ui/win32/controls.h"
#include "ui/win32/offscreen_paint.h"

namespace tb {

namespace {

RECT ToRect(const TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// A memory DC with a paint bitmap of at least the given size. The thread keeps the largest bitmap
// made so far and lends it to one painter at a time: every viewer of every toolbar paints through
// one.
struct OffscreenDc {
  OffscreenDc(HDC reference, int width, int height) : dc(CreateCompatibleDC(reference)) {
    if (!dc) return;
    Cache& cache = ThreadCache();
    if (!cache.lent && cache.width >= width && cache.height >= height) {
      lent = &cache;
    } else if (!cache.lent) {
      cache.bitmap.reset(
          ui::CreatePaintBitmap(std::max(width, cache.width), std::max(height, cache.height)));
      cache.width = cache.bitmap ? std::max(width, cache.width) : 0;
      cache.height = cache.bitmap ? std::max(height, cache.height) : 0;
      if (cache.bitmap) lent = &cache;
    } else {
      own.reset(ui::CreatePaintBitmap(width, height));
    }
    const HBITMAP bitmap = lent ? static_cast<HBITMAP>(lent->bitmap.get()) : own.get();
    if (bitmap) old = SelectObject(dc, bitmap);
    if (lent && old) lent->lent = true;
  }
  ~OffscreenDc() {
    if (old) SelectObject(dc, old);
    if (dc) DeleteDC(dc);
    if (lent) lent->lent = false;
  }
  OffscreenDc(const OffscreenDc&) = delete;
  OffscreenDc& operator=(const OffscreenDc&) = delete;
  bool Ok() const { return old != nullptr; }

  struct Cache {
    ui::TGdiHandle<HBITMAP> bitmap;
    int width = 0, height = 0;
    bool lent = false;
  };
  static Cache& ThreadCache() {
    thread_local Cache cache;
    return cache;
  }

  HDC dc;
  Cache* lent = nullptr;
  ui::TGdiHandle<HBITMAP> own;
  HGDIOBJ old = nullptr;
};

// A memory DC of the screen's kind for measuring text, made once per thread: it measures as a
// screen DC does without asking the window system for one on every call.
HDC MeasuringDc() {
  struct Holder {
    Holder() : dc(CreateCompatibleDC(nullptr)) {}
    ~Holder() {
      if (dc) DeleteDC(dc);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    HDC dc;
  };
  thread_local Holder holder;
  return holder.dc;
}

}  // namespace

HGDIOBJ TTBViewWindow::SelectFont(HDC dc, bool bold) {
  if (bold) {
    boldFont_.Assign(font_);
    boldFont_.SetStyle(font_.Style() | ui::fsBold);
    return SelectObject(dc, boldFont_.Handle());
  }
  return SelectObject(dc, font_.Handle());
}

TEXTMETRICW TTBViewWindow::Metrics(bool bold) {
  TEXTMETRICW metrics = {};
  const HDC dc = MeasuringDc();
  if (!dc) return metrics;
  const HGDIOBJ old = SelectFont(dc, bold);
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  return metrics;
}

int TTBViewWindow::TextHeight(bool bold) {
  return Metrics(bold).tmHeight;
}

int TTBViewWindow::ExternalLeading(bool bold) {
  return Metrics(bold).tmExternalLeading;
}

int TTBViewWindow::TextWidth(std::wstring_view text, bool bold) {
  const HDC dc = MeasuringDc();
  if (!dc) return 0;
  const HGDIOBJ old = SelectFont(dc, bold);
  const int width = MeasureTextWidth(dc, text, false);
  SelectObject(dc, old);
  return width;
}

TTBTextExtent TTBViewWindow::TextExtent(std::wstring_view text, const TTBTextFont& spec,
                                        std::uint32_t flags) {
  const HDC dc = MeasuringDc();
  if (!dc) return {};
  // Items that keep the view's font are measured with its cached handles; a font of the item's
  // own is made for the call.
  ui::TFont font;
  HGDIOBJ old = nullptr;
  if (spec.sizePercent == 100 && spec.name.empty() && spec.style == 0) {
    old = SelectFont(dc, spec.bold);
  } else {
    font.Assign(font_);
    if (spec.sizePercent != 100) font.SetSize((font.Size() * spec.sizePercent + 50) / 100);
    if (!spec.name.empty()) font.SetName(spec.name);
    if (spec.style != 0) font.SetStyle(spec.style);
    if (spec.bold) font.SetStyle(font.Style() | ui::fsBold);
    old = SelectObject(dc, font.Handle());
  }
  TTBTextExtent extent;
  if (text.empty()) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    extent.height = metrics.tmHeight;
  } else {
    // Wide enough that only the text's own line breaks start a new line.
    RECT r{0, 0, 0x7FFF, 0};
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    extent = {r.right - r.left, r.bottom - r.top};
  }
  SelectObject(dc, old);
  return extent;
}

void TTBViewWindow::SetTimer(int id, unsigned milliseconds) {
  if (wnd_) ::SetTimer(wnd_, static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void TTBViewWindow::KillTimer(int id) {
  if (wnd_) ::KillTimer(wnd_, static_cast<UINT_PTR>(id));
}

bool TTBViewWindow::HandleTimer(UINT_PTR id) {
  if (!view_ || id < static_cast<UINT_PTR>(kViewTimerBase) ||
      id > static_cast<UINT_PTR>(kViewTimerBase + 3)) {
    return false;
  }
  view_->TimerFired(static_cast<TTBViewTimer>(id - kViewTimerBase));
  return true;
}

void TTBViewWindow::InvalidateRect(const TRect& rect) {
  if (!wnd_) return;
  const RECT r = ToRect(rect);
  ::InvalidateRect(wnd_, &r, FALSE);
}

void TTBViewWindow::InvalidateAll() {
  if (wnd_) ::InvalidateRect(wnd_, nullptr, TRUE);
}

// The view repaints after a new layout, which may resize its window before the paint comes; the
// platform then asks to paint only the part the resize uncovered, so the view paints all now.
void TTBViewWindow::Repaint() {
  if (wnd_) DoubleBufferedRepaint(wnd_, TWhollyInvalid::PaintNow);
}

TPoint TTBViewWindow::ScreenToClient(TPoint p) const {
  POINT point = {p.x, p.y};
  if (wnd_) ::ScreenToClient(wnd_, &point);
  return {point.x, point.y};
}

TPoint TTBViewWindow::ClientToScreen(TPoint p) const {
  POINT point = {p.x, p.y};
  if (wnd_) ::ClientToScreen(wnd_, &point);
  return {point.x, point.y};
}

bool TTBViewWindow::ContainsScreenPoint(TPoint p) const {
  return wnd_ && WindowFromPoint({p.x, p.y}) == wnd_;
}

void TTBViewWindow::NotifyFocusEvent(int childId) {
  if (wnd_) NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd_, OBJID_CLIENT, childId);
}

void TTBViewWindow::HideWindow() {
  if (wnd_) {
    SetWindowPos(wnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
}

bool TTBViewWindow::ControlShown(ui::TComponent* control) {
  const auto* c = dynamic_cast<ui::TControl*>(control);
  return c && c->Visible() && (!control_ || c->Parent() == control_);
}

bool TTBViewWindow::GetControlSize(ui::TComponent* control, int& width, int& height) {
  const auto* c = dynamic_cast<ui::TControl*>(control);
  if (!c) return false;
  width = c->Width();
  height = c->Height();
  return true;
}

void TTBViewWindow::PlaceControl(ui::TComponent* control, const TRect& rect, bool show) {
  auto* c = dynamic_cast<ui::TControl*>(control);
  // A control on another window (a popup listing a toolbar's items) is that window's to place.
  if (!c || (control_ && c->Parent() != control_)) return;
  if (show) {
    c->SetBounds(rect.left, rect.top, rect.Width(), rect.Height());
  } else if (c->Visible() && (c->Left() > -c->Width() || c->Top() > -c->Height())) {
    // Out of sight above and left of the window: its Visible stays the program's choice.
    c->SetBounds(-c->Width(), -c->Height(), c->Width(), c->Height());
  }
}

COLORREF TTBViewWindow::BackgroundColor() const {
  if (view_ && view_->BackgroundColor() != ui::clDefault)
    return ui::ColorToRGB(view_->BackgroundColor());
  return GetSysColor(popupWindow_ ? COLOR_MENU : COLOR_BTNFACE);
}

void TTBViewWindow::DrawSubitems(HDC dc, const RECT& clip) {
  if (!view_) return;
  for (TTBItemViewer* viewer :
       view_->ViewersToDraw({clip.left, clip.top, clip.right, clip.bottom})) {
    PaintViewer(*viewer, dc);
  }
}

void TTBViewWindow::PaintViewer(TTBItemViewer& viewer, HDC dc) {
  const TRect bounds = viewer.BoundsRect();
  const int width = bounds.Width(), height = bounds.Height();
  if (width <= 0 || height <= 0) return;
  OffscreenDc offscreen(dc, width, height);
  if (!offscreen.Ok()) return;
  // The background is the window's own, as erasing would draw it.
  POINT oldOrigin;
  SetViewportOrgEx(offscreen.dc, -bounds.left, -bounds.top, &oldOrigin);
  if (!wnd_ || !SendMessageW(wnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(offscreen.dc), 0)) {
    const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(BackgroundColor()));
    const RECT area = ToRect(bounds);
    FillRect(offscreen.dc, &area, brush.get());
  }
  SetViewportOrgEx(offscreen.dc, oldOrigin.x, oldOrigin.y, nullptr);

  TTBCustomItem& item = viewer.Item();
  const bool selected = &viewer == view_->Selected();
  const bool pushed = selected && (view_->OpenViewer() == &viewer ||
                                   (view_->MouseOverSelected() && view_->Capture()));
  const bool toolbarStyle = viewer.IsToolbarStyle();
  ui::TCanvas canvas;
  canvas.Font().Assign(font_);
  if (item.EffectiveOptions() & tboDefault) canvas.Font().SetStyle(font_.Style() | ui::fsBold);
  if (!toolbarStyle && selected) {
    canvas.Brush().SetColor(ui::clSystemColor |
                            (SystemSettings().FlatMenus() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT));
  } else {
    canvas.Brush().SetStyle(ui::TBrushStyle::bsClear);
  }
  const COLORREF background = BackgroundColor();
  bool disabledShadow = false;
  int textColor = COLOR_MENUTEXT;
  if (!item.Enabled() && !view_->Customizing()) {
    textColor = COLOR_GRAYTEXT;
    disabledShadow = toolbarStyle || (!selected && background == GetSysColor(COLOR_BTNFACE)) ||
                     background == GetSysColor(COLOR_GRAYTEXT);
  } else if (selected && !toolbarStyle) {
    textColor = COLOR_HIGHLIGHTTEXT;
  } else if (toolbarStyle) {
    textColor = COLOR_BTNTEXT;
  }
  canvas.Font().SetColor(ui::clSystemColor | static_cast<ui::TColor>(textColor));
  canvas.SetHandle(offscreen.dc);  // selects the font and its colour
  viewer.Paint(canvas, {0, 0, width, height}, selected, pushed, disabledShadow);
  canvas.SetHandle(nullptr);
  BitBlt(dc, bounds.left, bounds.top, width, height, offscreen.dc, 0, 0, SRCCOPY);
  viewer.SetNeedsRepaint(false);
}

}  // namespace tb
