#include "skbar/win32/sk_docks.h"

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_frame_paint.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "skbar/win32/sk_toolbar.h"
#include "skbar/win32/skin_controls.h"
#include "tb/dock_drag.h"
#include "tb/dock_layout.h"

namespace skbar {

namespace {

// A canvas over a foreign DC for the length of a paint.
struct DcCanvas {
  ui::TCanvas canvas;
  explicit DcCanvas(HDC dc) { canvas.SetHandle(dc); }
  DcCanvas(const DcCanvas&) = delete;
  DcCanvas& operator=(const DcCanvas&) = delete;
  ~DcCanvas() { canvas.SetHandle(nullptr); }
};

// The current skin type; sknNone once the manager is gone.
TSkBarSkinType CurrentSkinType() {
  return SkBarSkinManager() ? SkBarSkinManager()->GetSkinType() : sknNone;
}

bool SkinActive() {
  return CurrentSkinType() == sknSkin;
}

// A window's whole-window DC (or a given one) with its state saved for the length of a paint.
struct NonClientDc {
  NonClientDc(HWND window, HDC given)
      : wnd(window), dc(given ? given : GetWindowDC(window)), owned(!given) {
    RECT r;
    GetWindowRect(wnd, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (dc) saved = SaveDC(dc);
  }
  NonClientDc(const NonClientDc&) = delete;
  NonClientDc& operator=(const NonClientDc&) = delete;
  ~NonClientDc() {
    if (!dc) return;
    RestoreDC(dc, saved);
    if (owned) ReleaseDC(wnd, dc);
  }
  HWND wnd;
  HDC dc;
  bool owned;
  int saved = 0, width = 0, height = 0;
};

void RedrawAll(ui::TWinControl& c) {
  if (c.HandleAllocated())
    RedrawWindow(c.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace

// The dock's background is aligned to the dock's parent: the area is moved to where that
// parent's origin would be.
bool SkPaintsDockedFrame() {
  // The classic frame is the framework's: its raised edge and handle bars are the classic look.
  return CurrentSkinType() != sknNone;
}

void SkDrawDockedFrame(tb::TTBCustomDockableWindow& window, HDC dc, int handleSize,
                       const std::function<void(ui::TCanvas&, const TRect&)>& background) {
  tb::TTBDock* dock = window.CurrentDock();
  if (!window.Docked() || !dock || !window.HandleAllocated()) return;
  const NonClientDc target(window.Handle(), dc);
  if (!target.dc) return;
  const TRect all{0, 0, target.width, target.height};
  const bool vertical = SkIsDockedVertically(window);
  const tb::TRect client = tb::DockedClientRect({all.left, all.top, all.right, all.bottom},
                                                vertical, dock->AllowDrag(), handleSize);
  ExcludeClipRect(target.dc, client.left, client.top, client.right, client.bottom);
  // The dock's picture first: a skin's toolbar background may leave its corners open, and they
  // show the dock whichever way the frame is painted (not what the screen held before).
  RECT placed;
  GetWindowRect(target.wnd, &placed);
  window.DrawDockBackground(target.dc, {0, 0, target.width, target.height},
                            {placed.left, placed.top});
  const TSkBarSkinType skinType = CurrentSkinType();
  DcCanvas c(target.dc);
  background(c.canvas, all);
  if (window.CloseButtonWhenDocked()) {
    // The close button as a skinned toolbar button with the close glyph; the grip stops at it.
    RECT b;
    window.GetDockedCloseButtonRect(vertical, b);
    const TRect button{b.left, b.top, b.right, b.bottom};
    const TSkBarSkinStatesType state = TSkBarSkinOptions::GetState(
        true, window.DockedCloseButtonDown(), window.DockedCloseButtonHot(), false);
    SkPaintToolbarButtonFrame(c.canvas, button, state, cpNone, skinType);
    const TColor glyph = SkCurrentSkin().GetTextColor(skncToolbarItem, state, skinType);
    SkDrawGlyphPattern(c.canvas, button, 0, glyph == clNone ? ui::clBtnText : glyph);
    ExcludeClipRect(target.dc, b.left, b.top, b.right, b.bottom);
  }
  if (dock->AllowDrag() && window.DragHandleStyle() != tb::TTBDragHandleStyle::dhNone)
    SkPaintToolbarGrip(c.canvas, all, vertical, handleSize, skinType);
}

// TSkBarDock

TSkBarDock::TSkBarDock(ui::TComponent* owner) : TTBDock(owner) {
  SkAddSkinNotification(*this);
}

void TSkBarDock::BeforeDestruction() noexcept {
  SkRemoveSkinNotification(*this);
  TTBDock::BeforeDestruction();
}

namespace {

// Raises a counter for the length of a scope.
struct Raised {
  explicit Raised(int& counter) : counter_(counter) { ++counter_; }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;
  ~Raised() { --counter_; }
  int& counter_;
};

}  // namespace

void TSkBarDock::WndProc(ui::TMessage& message) {
  if (message.Msg == WM_SKINCHANGE) {
    RedrawAll(*this);
    return;
  }
  if (message.Msg == WM_SIZE) {
    const Raised sizing(sizing_);
    TTBDock::WndProc(message);
    return;
  }
  TTBDock::WndProc(message);
}

void TSkBarDock::AlignControls(const ui::TRect& client) {
  const Raised resizing(resizing_);
  TTBDock::AlignControls(client);
}

void TSkBarDock::SetBounds(int left, int top, int width, int height) {
  if (width != Width() || height != Height()) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, width, height, resize);
    if (!resize) {
      width = Width();
      height = Height();
    }
  }
  previousWidth_ = Width();
  previousHeight_ = Height();
  TTBDock::SetBounds(left, top, width, height);
  const bool leftRight = tb::IsLeftRight(Position());
  if (leftRight ? Height() != previousHeight_ : Width() != previousWidth_) LengthChanged();
}

// Its toolbars anchor their items to the new length and repaint their backgrounds only (the
// items stay as they are); its tool windows redraw.
void TSkBarDock::LengthChanged() {
  for (tb::TTBCustomDockableWindow* bar : std::vector(DockList())) {
    if (auto* toolbar = dynamic_cast<TSkBarToolbar*>(bar)) {
      toolbar->UpdateAnchoredItems();
      toolbar->RepaintBackground();
    } else if (auto* window = dynamic_cast<TSkBarCustomToolWindow*>(bar)) {
      window->InvalidateBackground(true);
    }
  }
}

void TSkBarDock::FireDrawBackground(ui::TCanvas& canvas, const TRect& rect, TSkBarPaintStage stage,
                                    bool& paintDefault) {
  if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TSkBarDock::DrawBackground(HDC dc, const RECT& drawRect) {
  if (Loading()) return;
  // The framework offsets the rectangle by the dock's place on its parent; the picture is the
  // dock's client area wherever it shows (the dock itself or a window on it).
  const TRect r{drawRect.left + Left(), drawRect.top + Top(),
                drawRect.left + Left() + ClientWidth(), drawRect.top + Top() + ClientHeight()};
  DcCanvas c(dc);
  bool paintDefault = true;
  FireDrawBackground(c.canvas, r, TSkBarPaintStage::pstPrePaint, paintDefault);
  if (paintDefault) {
    if (TTBDock::UsesBackground()) {
      TTBDock::DrawBackground(dc, drawRect);
    } else if (BackgroundColor != clNone) {
      SkFillRect(c.canvas, r, BackgroundColor);
    } else {
      SkPaintDockBackground(c.canvas, r, tb::IsLeftRight(Position()), CurrentSkinType());
    }
  }
  FireDrawBackground(c.canvas, r, TSkBarPaintStage::pstPostPaint, paintDefault);
}

// TSkBarFloatingWindowParent

TSkBarFloatingWindowParent::TSkBarFloatingWindowParent(ui::TComponent* owner)
    : TTBFloatingWindowParent(owner) {
  SkAddSkinNotification(*this);
}

void TSkBarFloatingWindowParent::BeforeDestruction() noexcept {
  SkRemoveSkinNotification(*this);
  TTBFloatingWindowParent::BeforeDestruction();
}

void TSkBarFloatingWindowParent::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_SKINCHANGE:
      UpdateSkinStyle();
      return;
    case WM_NCMOUSEMOVE:
      TTBFloatingWindowParent::WndProc(message);
      SetCloseHot(message.WParam == tb::kHitCloseButton);
      return;
    case WM_NCMOUSELEAVE:
      TTBFloatingWindowParent::WndProc(message);
      SetCloseHot(false);
      return;
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case ui::CM_VISIBLECHANGED: {
      TTBFloatingWindowParent::WndProc(message);
      const bool shownOrHidden = message.Msg != WM_WINDOWPOSCHANGED ||
                                 (reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags &
                                  (SWP_SHOWWINDOW | SWP_HIDEWINDOW));
      if (shownOrHidden && !Caption().empty()) SetCaption(L"");
      return;
    }
    case WM_ACTIVATE:
      // A window that stays shown while the application is inactive shows the change in its
      // frame; one that hides then needs no repaint.
      TTBFloatingWindowParent::WndProc(message);
      if (DockableWindow() && !DockableWindow()->HideWhenInactive())
        RepaintFrame(rwFrame | rwCaption | rwCloseButton);
      return;
    case WM_CLOSE:
      if (CloseHostedWindow && DockableWindow()) {
        DockableWindow()->Close();
        return;
      }
      break;
    default:
      break;
  }
  TTBFloatingWindowParent::WndProc(message);
}

std::wstring_view TSkBarFloatingWindowParent::CaptionText() const {
  return DockableWindow() ? std::wstring_view(DockableWindow()->Caption()) : Caption();
}

void TSkBarFloatingWindowParent::UpdateSkinStyle() {
  if (!HandleAllocated()) return;
  const TSkBarSkinType skinType = CurrentSkinType();
  tb::TTBCustomDockableWindow* hosted = DockableWindow();
  const bool thick =
      SkFloatingFrameThick(hosted && hosted->Resizable(), skinType, SkIsCompositionEnabled());
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  SetWindowLongW(Handle(), GWL_STYLE, thick ? style | WS_THICKFRAME : style & ~WS_THICKFRAME);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (hosted) hosted->Arrange();
  RedrawAll(*this);
  SkSetNCRenderingPolicy(*this, skinType != sknSkin);
}

void TSkBarFloatingWindowParent::SetCloseHot(bool hot) {
  if (hot == closeHot_) return;
  closeHot_ = hot;
  if (hot && HandleAllocated()) {
    // Ask for the leave message so that the hot state ends with the mouse leaving the frame.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, Handle(), 0};
    TrackMouseEvent(&track);
  }
  RepaintFrame(rwCloseButton);
}

// Under a skin or the platform's themes: the frame, the caption bar (active or inactive) with
// the hosted window's caption, and its close button through the skin routines of that skin
// type; the classic look is the framework's.
void TSkBarFloatingWindowParent::PaintFrame(bool drawToDC, HDC dc, int redrawWhat, HRGN clip) {
  tb::TTBCustomDockableWindow* hosted = DockableWindow();
  const TSkBarSkinType skinType = CurrentSkinType();
  if (skinType == sknNone || !hosted || !HandleAllocated()) {
    TTBFloatingWindowParent::PaintFrame(drawToDC, dc, redrawWhat, clip);
    return;
  }
  const HWND wnd = Handle();
  const HDC useDC = drawToDC ? dc : GetWindowDC(wnd);
  if (!useDC) return;
  const int saved = SaveDC(useDC);
  RECT w;
  GetWindowRect(wnd, &w);
  const TRect r{0, 0, w.right - w.left, w.bottom - w.top};
  tb::TPoint border;
  hosted->GetFloatingBorderSize(border);
  const RECT client = CaptionRect(true, false);
  {
    DcCanvas c(useDC);
    const TSkBarSkinOptions& skin = SkCurrentSkin();
    const bool active = !hosted->InactiveCaption();
    if (redrawWhat & rwFrame) SkPaintWindowFrame(c.canvas, r, active, false, border.x, skinType);
    if (hosted->ShowCaption() && (redrawWhat & (rwCaption | rwCloseButton))) {
      const TRect caption{client.left, client.top, client.right, client.bottom};
      const TSkBarSkinStatesType state = active ? sknsNormal : sknsDisabled;
      SkPaintTitleBar(c.canvas, caption, active, skinType);
      const TColor text = skin.GetTextColor(skncWindowTitleBar, state, skinType);
      SetBkMode(useDC, TRANSPARENT);
      SetTextColor(useDC, ui::ColorToRGBValue(text == clNone ? ui::clBtnText : text));
      RECT tr = CaptionRect(true, hosted->CloseButton());
      tr.left += 2;
      const std::wstring& title = hosted->Caption();
      DrawTextW(useDC, title.c_str(), static_cast<int>(title.size()), &tr,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
      if (hosted->CloseButton()) {
        const RECT b = CloseButtonRect(true);
        const TRect button{b.left, b.top, b.right, b.bottom};
        const TSkBarSkinStatesType buttonState =
            TSkBarSkinOptions::GetState(true, CloseButtonPushed(), closeHot_, false);
        SkPaintToolbarButtonFrame(c.canvas, button, buttonState, cpNone, skinType);
        const TColor glyph = buttonState == sknsNormal
                                 ? text
                                 : skin.GetTextColor(skncToolbarItem, buttonState, skinType);
        SkDrawGlyphPattern(c.canvas, button, 0, glyph == clNone ? ui::clBtnText : glyph);
      }
    }
  }
  RestoreDC(useDC, saved);
  if (!drawToDC) ReleaseDC(wnd, useDC);
}

// TSkBarCustomToolWindow

TSkBarCustomToolWindow::TSkBarCustomToolWindow(ui::TComponent* owner)
    : TTBCustomDockableWindow(owner) {
  SetBounds(0, 0, 32, 32);
  SkAddSkinNotification(*this);
}

void TSkBarCustomToolWindow::BeforeDestruction() noexcept {
  SkRemoveSkinNotification(*this);
  TTBCustomDockableWindow::BeforeDestruction();
}

void TSkBarCustomToolWindow::WndProc(ui::TMessage& message) {
  if (message.Msg == WM_SKINCHANGE) {
    if (!Floating()) RedrawAll(*this);
    return;
  }
  TTBCustomDockableWindow::WndProc(message);
  // Resized, the window lays its controls out again and repaints all of its background: a
  // skin's gradient spans the whole window, and shrinking uncovers nothing to repaint.
  if (message.Msg == WM_WINDOWPOSCHANGED &&
      !(reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags & SWP_NOSIZE)) {
    Realign();
    Invalidate();
  }
}

void TSkBarCustomToolWindow::CalcLayoutSize(bool, tb::TTBDockType dockType, bool, tb::TTBDock*,
                                            tb::TPoint& newSize) {
  newSize = WantedClientSize;
  // Stretched or full-size along a dock: only the minimum, the dock stretches it.
  if (Docked() && (FullSize() || Stretch())) {
    if (dockType == tb::TTBDockType::dtTopBottom) newSize.x = MinClientWidth;
    if (dockType == tb::TTBDockType::dtLeftRight) newSize.y = MinClientHeight;
  }
}

void TSkBarCustomToolWindow::GetCurrentClientSize(tb::TPoint& size) {
  CalcLayoutSize(false, DockType(), Floating(), CurrentDock(), size);
}

void TSkBarCustomToolWindow::SizeChanging(int newWidth, int newHeight) {
  if (Parent()) {
    newWidth -= Width() - ClientWidth();
    newHeight -= Height() - ClientHeight();
  }
  WantedClientSize = {std::max(newWidth, 0), std::max(newHeight, 0)};
}

void TSkBarCustomToolWindow::SetClientSize(int width, int height) {
  SetBounds(Left(), Top(), width + Width() - ClientWidth(), height + Height() - ClientHeight());
}

void TSkBarCustomToolWindow::GetMinMaxSize(tb::TPoint& minSize, tb::TPoint& maxSize) {
  minSize = {MinClientWidth, MinClientHeight};
  maxSize = {MaxClientWidth, MaxClientHeight};
}

// Under a skin the skin's border size in both directions, else the framework's: as a skinned
// toolbar's, so that the skin's frame the floating form paints fits the border it is given.
void TSkBarCustomToolWindow::GetFloatingBorderSize(tb::TPoint& size) {
  if (SkinActive()) {
    const int b = SkCurrentSkin().FloatingWindowBorderSize();
    size = {b, b};
    return;
  }
  TTBCustomDockableWindow::GetFloatingBorderSize(size);
}

void TSkBarCustomToolWindow::DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip) {
  if (!SkPaintsDockedFrame()) {
    TTBCustomDockableWindow::DrawDockedNCArea(drawToDC, dc, clip);
    return;
  }
  SkDrawDockedFrame(
      *this, drawToDC ? dc : nullptr, HandleWidth(), [this](ui::TCanvas& canvas, const TRect& r) {
        SkPaintToolbarBackground(canvas, r, false, SkIsDockedVertically(*this), CurrentSkinType());
      });
}

tb::TTBFloatingWindowParent* TSkBarCustomToolWindow::CreateFloatingParent() {
  return ui::New<TSkBarFloatingWindowParent>().release();
}

void TSkBarCustomToolWindow::InvalidateBackground(bool invalidateChildren) {
  if (HandleAllocated())
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | (invalidateChildren ? RDW_ALLCHILDREN : 0));
}

void TSkBarCustomToolWindow::ReadPositionData(const tb::TTBPositionReader& reader) {
  TTBCustomDockableWindow::ReadPositionData(reader);
  if (!Resizable() || !reader.ReadInteger) return;
  WantedClientSize = {
      BoundStoredClientSize(reader.ReadInteger(Name(), L"ClientWidth", WantedClientSize.x)),
      BoundStoredClientSize(reader.ReadInteger(Name(), L"ClientHeight", WantedClientSize.y))};
  Arrange();
}

void TSkBarCustomToolWindow::WritePositionData(const tb::TTBPositionWriter& writer) {
  TTBCustomDockableWindow::WritePositionData(writer);
  if (!Resizable() || !writer.WriteInteger) return;
  writer.WriteInteger(Name(), L"ClientWidth", ClientWidth());
  writer.WriteInteger(Name(), L"ClientHeight", ClientHeight());
}

void TSkBarCustomToolWindow::Paint() {
  ui::TCanvas& canvas = Canvas();
  const TRect r{0, 0, ClientWidth(), ClientHeight()};
  const TSkBarSkinType skinType = CurrentSkinType();
  if (skinType == sknSkin)
    SkPaintBackground(SkCurrentSkin(), canvas, r, skncToolbar, sknsNormal, true, false);
  else if (skinType == sknWindows)
    SkPaintToolbarBackground(canvas, r, false, SkIsDockedVertically(*this), sknWindows);
  else
    SkFillRect(canvas, r, Color());
}

}  // namespace skbar
