// The drag loop (BeginMoving) and the sizing loop (BeginSizing) of dockable windows.
#include <windowsx.h>

#include <algorithm>

#include "tb/geometry.h"
#include "tb/win32/common.h"
#include "tb/win32/dockable_window.h"

namespace tb {

namespace {

// The halftone outline on the locked desktop.
class DesktopOutline final : public TDragOutline {
 public:
  void Begin() override {
    const HWND desktop = GetDesktopWindow();
    LockWindowUpdate(desktop);
    dc_ = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  }
  void Draw(const RECT& newRect, const RECT& oldRect, SIZE newSize, SIZE oldSize) override {
    if (dc_) InvertHalftoneFrame(dc_, newRect, oldRect, newSize, oldSize);
  }
  void End() override {
    if (dc_) ReleaseDC(GetDesktopWindow(), dc_);
    dc_ = nullptr;
    LockWindowUpdate(nullptr);
  }

 private:
  HDC dc_ = nullptr;
};

DesktopOutline desktopOutline;
TDragOutline* dragOutline = &desktopOutline;

// The outline of one loop: drawn, moved and erased on every way out.
class Outline {
 public:
  explicit Outline(bool active) : active_(active) {
    if (active_) dragOutline->Begin();
  }
  Outline(const Outline&) = delete;
  Outline& operator=(const Outline&) = delete;
  ~Outline() {
    if (!active_) return;
    Move({0, 0, 0, 0}, {0, 0});
    dragOutline->End();
  }
  void Move(const RECT& rect, SIZE size) {
    if (!active_) return;
    dragOutline->Draw(rect, rect_, size, size_);
    rect_ = rect;
    size_ = size;
  }

 private:
  bool active_;
  RECT rect_{0, 0, 0, 0};
  SIZE size_{0, 0};
};

// Holds the capture for a loop and releases it on every way out.
class Capture {
 public:
  explicit Capture(HWND wnd) : wnd_(wnd) { SetCapture(wnd); }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  ~Capture() {
    if (GetCapture() == wnd_) ReleaseCapture();
  }
  bool Held() const { return GetCapture() == wnd_; }

 private:
  HWND wnd_;
};

// Clips the cursor for a loop and frees it on every way out.
class CursorClip {
 public:
  explicit CursorClip(const RECT* rect) : active_(rect != nullptr) {
    if (active_) ClipCursor(rect);
  }
  CursorClip(const CursorClip&) = delete;
  CursorClip& operator=(const CursorClip&) = delete;
  ~CursorClip() {
    if (active_) ClipCursor(nullptr);
  }

 private:
  bool active_;
};

enum class LoopStep { Continue, Accept, Cancel };

// One message of a loop: mouse moves and Ctrl changes go to the callbacks, a left release
// accepts, another press, Escape, WM_QUIT (posted again) or a failed read cancel; other keys and
// buttons are swallowed; the rest is dispatched.
template <class OnMove, class OnCtrl>
LoopStep PumpLoopMessage(OnMove onMove, OnCtrl onCtrl) {
  MSG msg;
  const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) return LoopStep::Cancel;
  if (got == 0) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    return LoopStep::Cancel;
  }
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ClientToScreen(msg.hwnd, &p);
      onMove(p);
      return LoopStep::Continue;
    }
    case WM_LBUTTONUP:
      return LoopStep::Accept;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return LoopStep::Cancel;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      if (msg.wParam == VK_ESCAPE && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN))
        return LoopStep::Cancel;
      if (msg.wParam == VK_CONTROL)
        onCtrl(msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN);
      return LoopStep::Continue;
    default:
      if (IsOtherButtonMessage(msg.message)) return LoopStep::Continue;  // swallowed
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      return LoopStep::Continue;
  }
}

RECT ToRECT(const TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}
TRect FromRECT(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// The visible docks inside `control`: at each level top, bottom, left and right docks first.
void CollectDocks(ui::TWinControl& control, std::vector<TTBDock*>& out) {
  std::vector<ui::TWinControl*> others;
  for (TTBDockPosition pos : {TTBDockPosition::dpTop, TTBDockPosition::dpBottom,
                              TTBDockPosition::dpLeft, TTBDockPosition::dpRight}) {
    for (int i = 0; i < control.ControlCount(); ++i) {
      auto* dock = dynamic_cast<TTBDock*>(control.Controls(i));
      if (dock && dock->Visible() && dock->Position() == pos) out.push_back(dock);
    }
  }
  for (int i = 0; i < control.ControlCount(); ++i) {
    auto* child = dynamic_cast<ui::TWinControl*>(control.Controls(i));
    if (child && child->Visible() && !dynamic_cast<TTBDock*>(child)) CollectDocks(*child, out);
  }
}

}  // namespace

TDragOutline* SetDragOutline(TDragOutline* outline) {
  TDragOutline* previous = dragOutline == &desktopOutline ? nullptr : dragOutline;
  dragOutline = outline ? outline : &desktopOutline;
  return previous;
}

// ---------------------------------------------------------------------------------------------
// Moving

class TTBCustomDockableWindow::MoveLoop {
 public:
  explicit MoveLoop(TTBCustomDockableWindow& w) : w_(w) {}

  void Run(int initX, int initY) {
    TDockClientState& st = w_.dock_;
    startDock_ = w_.docked_ ? w_.currentDock_ : nullptr;
    // The row and position asked for before the drag, put back when it ends away from a dock.
    const int askedRow = st.DockRow, askedPos = st.DockPos;
    st.DragMode = true;
    st.DragSplitting = false;
    if (startDock_) {
      st.DragCanSplit = false;
      startDock_->SetCommitNewPositions(true);
      startDock_->ArrangeToolbars();
    }
    // The row it is in, as arranged: splitting is offered while the pointer stays over it.
    startRow_ = st.DockRow;
    splitChance_ = startDock_ && st.DragCanSplit;
    w_.smoothDragging_ = w_.smoothDrag_;
    struct Reset {
      TTBCustomDockableWindow& w;
      int row, pos;
      ~Reset() {
        w.dock_.DragMode = w.dock_.DragSplitting = w.dock_.DragCanSplit = false;
        w.dock_.InsertRowBefore = false;
        w.smoothDragging_ = false;
        if (w.docked_ && w.floatParent_) w.FreeFloatParent();
        // A smooth drag re-parents without changing the last dock: the dock it ends on becomes
        // the last dock now, and the dock it started from lets go of it.
        if (w.docked_ && w.currentDock_ && w.useLastDock_) w.SetLastDock(w.currentDock_);
        if (w.docked_ && w.currentDock_) {
          w.currentDock_->ArrangeToolbars();
        } else {
          w.dock_.DockRow = row;
          w.dock_.DockPos = pos;
        }
      }
    } reset{w_, askedRow, askedPos};

    RECT outer = OuterRect();
    POINT press{initX, initY};
    ClientToScreen(w_.Handle(), &press);
    grab_.grab = {press.x - outer.left, press.y - outer.top};
    grab_.startSize = {outer.right - outer.left - 1, outer.bottom - outer.top - 1};
    startPointer_ = press;
    preventDocking_ = GetKeyState(VK_CONTROL) < 0;
    preventFloating_ = w_.dockMode_ != TTBDockMode::dmCanFloat;
    BuildCandidates();

    bool accepted = false;
    {
      Outline outline(!w_.smoothDragging_);
      outline_ = &outline;
      Capture capture(w_.Handle());
      lastPointer_ = press;
      while (capture.Held()) {
        const LoopStep step = PumpLoopMessage(
            [&](POINT p) {
              if (p.x == lastPointer_.x && p.y == lastPointer_.y) return;
              lastPointer_ = p;
              Evaluate(p);
            },
            [&](bool down) {
              preventDocking_ = down;
              Evaluate(lastPointer_);
            });
        if (step == LoopStep::Continue) continue;
        accepted = step == LoopStep::Accept;
        break;
      }
      outline_ = nullptr;
    }
    if (accepted && !w_.smoothDragging_ && target_ != Target::None) Apply();
    if (accepted && w_.floating_) w_.MoveOnScreen(true);
  }

 private:
  enum class Target { None, Dock, Float };

  RECT OuterRect() {
    RECT r;
    GetWindowRect(w_.floating_ && w_.floatParent_ ? w_.floatParent_->Handle() : w_.Handle(), &r);
    return r;
  }

  bool Accepts(TTBDock* dock) {
    return dock->AllowDrag() && (w_.dockableTo_ & DockableBit(dock->Position())) &&
           dock->RequestDock(&w_);
  }

  void AddCandidate(TTBDock* dock) {
    if (std::find(docks_.begin(), docks_.end(), dock) != docks_.end()) return;
    if (!Accepts(dock)) return;
    docks_.push_back(dock);
    TDockedSize s;
    s.position = dock->Position();
    RECT r;
    GetWindowRect(dock->Handle(), &r);
    s.boundsRect = FromRECT(r);
    const bool leftRight = IsLeftRight(dock->Position());
    TPoint client;
    w_.CalcLayoutSize(false, DockTypeOf(dock->Position()), false, dock, client);
    const TPoint frame = DockedFrameSize(leftRight, dock->AllowDrag(), w_.HandleWidth());
    s.size = {client.x + frame.x, client.y + frame.y};
    for (int row = 0; row <= dock->GetHighestRow(true); ++row) {
      bool fullSize = false;
      const int thickness = dock->GetCurrentRowSize(row, fullSize);
      if (thickness > 0) s.rows.push_back({row, thickness, fullSize});
    }
    sizes_.push_back(s);
  }

  void BuildCandidates() {
    if (w_.dockMode_ == TTBDockMode::dmCannotFloatOrChangeDocks) {
      if (w_.currentDock_) AddCandidate(w_.currentDock_);
      return;
    }
    if (w_.lastDock_) AddCandidate(w_.lastDock_);
    std::vector<TTBDock*> found;
    ui::TCustomForm* form = GetToolWindowParentForm(w_);
    if (form) CollectDocks(*form, found);
    if (w_.dockForms_ && ui::Screen) {
      for (int i = 0; i < ui::Screen->FormCount(); ++i) {
        ui::TCustomForm* f = ui::Screen->Forms(i);
        if (f != form &&
            std::find(w_.dockForms_->begin(), w_.dockForms_->end(), f) != w_.dockForms_->end())
          CollectDocks(*f, found);
      }
    }
    for (TTBDock* dock : found) AddCandidate(dock);
  }

  void Evaluate(POINT pointer) {
    TRect rect;
    const int index =
        preventDocking_ ? -1 : ChooseDockTarget(sizes_, grab_, {pointer.x, pointer.y}, rect);
    if (index >= 0) {
      PlaceOnDock(index, rect, pointer);
    } else if (!preventFloating_) {
      PlaceFloating(pointer);
    }
  }

  void PlaceOnDock(int index, const TRect& screenRect, POINT pointer) {
    TTBDock* dock = docks_[static_cast<std::size_t>(index)];
    const bool leftRight = IsLeftRight(dock->Position());
    POINT tl{screenRect.left, screenRect.top};
    ScreenToClient(dock->Handle(), &tl);
    const TRect r = tb::OffsetRect(screenRect, tl.x - screenRect.left, tl.y - screenRect.top);
    TDockClientState& st = w_.dock_;
    TRowChoice choice{st.DockRow, false};
    if (!st.DragSplitting) {
      const int centre = leftRight ? (r.left + r.right) / 2 : (r.top + r.bottom) / 2;
      choice = ChooseDockRow(sizes_[static_cast<std::size_t>(index)].rows, centre, st.FullSize);
    }
    if (splitChance_ && !st.DragSplitting) {
      if (dock == startDock_ && choice.row == startRow_ && !choice.newRowBefore) {
        const int along = leftRight ? pointer.y : pointer.x;
        const int start = leftRight ? startPointer_.y : startPointer_.x;
        if (SplitReached(start, along)) {
          st.DragSplitting = true;
          SetCursor(LoadCursorW(nullptr, leftRight ? IDC_SIZENS : IDC_SIZEWE));
        }
      } else {
        splitChance_ = false;
      }
    }
    target_ = Target::Dock;
    targetDock_ = dock;
    targetRow_ = choice.row;
    targetNewRow_ = choice.newRowBefore;
    targetPos_ = leftRight ? r.top : r.left;
    if (w_.smoothDragging_) {
      Apply();
    } else {
      const RECT outline = ToRECT(screenRect);
      outline_->Move(outline, {1, 1});
    }
  }

  void PlaceFloating(POINT pointer) {
    TPoint size;
    if (w_.floating_ && w_.floatParent_) {
      size = {w_.floatParent_->Width(), w_.floatParent_->Height()};
    } else {
      TPoint client, tl, br;
      w_.CalcLayoutSize(false, TTBDockType::dtFloating, true, nullptr, client);
      w_.FloatingNCSizes(tl, br);
      size = {client.x + tl.x + br.x, client.y + tl.y + br.y};
    }
    const TPoint grab{MulDivRound(size.x - 1, grab_.grab.x, std::max(grab_.startSize.x, 1)),
                      MulDivRound(size.y - 1, grab_.grab.y, std::max(grab_.startSize.y, 1))};
    const RECT work = GetRectOfMonitorContainingPoint(pointer, true);
    floatRect_ = FloatingRectAt({pointer.x, pointer.y}, grab, size, FromRECT(work));
    target_ = Target::Float;
    if (w_.smoothDragging_) {
      Apply();
    } else {
      TPoint border;
      w_.GetFloatingBorderSize(border);
      outline_->Move(ToRECT(floatRect_), {border.x, border.y});
    }
  }

  void Apply() {
    TDockClientState& st = w_.dock_;
    if (target_ == Target::Dock) {
      st.DockRow = targetRow_;
      st.DockPos = targetPos_;
      st.InsertRowBefore = targetNewRow_;
      if (w_.Parent() != targetDock_) {
        w_.SetParent(targetDock_);
      }
      if (!w_.smoothDragging_) targetDock_->SetCommitNewPositions(true);
      targetDock_->ArrangeToolbars();
      st.InsertRowBefore = false;
    } else if (target_ == Target::Float) {
      w_.floatingPosition_ = {floatRect_.left, floatRect_.top};
      if (w_.floating_)
        w_.SetFloatingPosition(w_.floatingPosition_);
      else
        w_.SetFloating(true);
      w_.MoveOnScreen(true);
    }
  }

  TTBCustomDockableWindow& w_;
  TTBDock* startDock_ = nullptr;
  int startRow_ = 0;
  bool splitChance_ = false;
  TDragGrab grab_;
  POINT startPointer_{};
  POINT lastPointer_{};
  bool preventDocking_ = false;
  bool preventFloating_ = false;
  std::vector<TTBDock*> docks_;
  std::vector<TDockedSize> sizes_;
  Outline* outline_ = nullptr;
  Target target_ = Target::None;
  TTBDock* targetDock_ = nullptr;
  int targetRow_ = 0, targetPos_ = 0;
  bool targetNewRow_ = false;
  TRect floatRect_;
};

void TTBCustomDockableWindow::BeginMoving(int initX, int initY) {
  MoveLoop(*this).Run(initX, initY);
}

// ---------------------------------------------------------------------------------------------
// Sizing

class TTBCustomDockableWindow::SizeLoop {
 public:
  explicit SizeLoop(TTBCustomDockableWindow& w) : w_(w) {}

  void Run(TTBSizeHandle handle) {
    if (!w_.floating_ || !w_.floatParent_ || !w_.resizable_) return;
    TTBFloatingWindowParent& form = *w_.floatParent_;
    TPoint minSize, maxSize;
    w_.GetMinMaxSize(minSize, maxSize);
    const TPoint frame{form.Width() - w_.Width(), form.Height() - w_.Height()};
    limits_.minSize = {minSize.x + frame.x, minSize.y + frame.y};
    limits_.maxSize = {maxSize.x ? maxSize.x + frame.x : 0, maxSize.y ? maxSize.y + frame.y : 0};
    RECT start;
    GetWindowRect(form.Handle(), &start);
    POINT startPointer;
    GetCursorPos(&startPointer);
    w_.ResizeBegin(handle);
    struct End {
      TTBCustomDockableWindow& w;
      ~End() { w.ResizeEnd(); }
    } end{w_};
    TPoint border;
    w_.GetFloatingBorderSize(border);
    const bool smooth = w_.smoothDrag_;
    RECT rect = start;
    bool accepted = false;
    {
      Outline outline(!smooth);
      outline.Move(rect, {border.x, border.y});
      const RECT screen = PrimaryScreenRect(false);
      const bool clip = (w_.styles_ & tbdsResizeClipCursor) && !HasSeveralMonitors();
      CursorClip clipper(clip ? &screen : nullptr);
      Capture capture(w_.Handle());
      POINT last = startPointer;
      while (capture.Held()) {
        const LoopStep step = PumpLoopMessage(
            [&](POINT p) {
              if (p.x == last.x && p.y == last.y) return;
              last = p;
              rect = ToRECT(SizingRect(FromRECT(start), handle,
                                       {p.x - startPointer.x, p.y - startPointer.y}, limits_));
              w_.ResizeTrack(rect, start);
              if (smooth)
                ApplyRect(rect);
              else
                outline.Move(rect, {border.x, border.y});
            },
            [](bool) {});
        if (step == LoopStep::Continue) continue;
        accepted = step == LoopStep::Accept;
        break;
      }
    }
    if (!accepted) return;
    w_.ResizeTrackAccept();
    ApplyRect(rect);
    w_.MoveOnScreen(true);
  }

 private:
  void ApplyRect(const RECT& r) {
    TTBFloatingWindowParent& form = *w_.floatParent_;
    w_.BeginUpdate();
    struct EndUpdate {
      TTBCustomDockableWindow& w;
      ~EndUpdate() { w.EndUpdate(); }
    } endUpdate{w_};
    form.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    w_.SetBounds(0, 0, form.ClientWidth(), form.ClientHeight());
  }

  TTBCustomDockableWindow& w_;
  TSizeLimits limits_;
};

void TTBCustomDockableWindow::BeginSizing(TTBSizeHandle handle) {
  SizeLoop(*this).Run(handle);
}

}  // namespace tb
