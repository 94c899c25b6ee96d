#include "tb/win32/dock.h"

#include <algorithm>

#include "tb/consts.h"
#include "tb/win32/common.h"
#include "tb/win32/dockable_window.h"
#include "ui/errors.h"

namespace tb {

TTBDock::TTBDock(ui::TComponent* owner) : ui::TCustomControl(owner) {
  using namespace ui;
  SetControlStyle((ControlStyle() | csAcceptsControls | csMenuEvents) &
                  ~(csCaptureMouse | csClickEvents | csOpaque));
  StoreColor(clBtnFace);
  SetAlign(TAlign::alTop);
}

void TTBDock::BeforeDestruction() noexcept {
  if (background_) background_->RemoveChangeHandler(BackgroundChanged, this);
  background_ = nullptr;
  ui::TCustomControl::BeforeDestruction();
}

TTBCustomDockableWindow* TTBDock::Toolbars(int index) const {
  return dockVisibleList_.at(static_cast<std::size_t>(index));
}

void TTBDock::Loaded() {
  ui::TCustomControl::Loaded();
  ArrangeToolbars();
}

void TTBDock::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TCustomControl::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  if (component == background_) background_ = nullptr;
  if (auto* bar = dynamic_cast<TTBCustomDockableWindow*>(component)) {
    std::erase(dockList_, bar);
    std::erase(dockVisibleList_, bar);
  }
}

void TTBDock::SetParent(ui::TWinControl* parent) {
  if (dynamic_cast<TTBCustomDockableWindow*>(parent) || dynamic_cast<TTBDock*>(parent))
    throw ui::EInvalidOperation(TBTextUtf8(STBDockParentNotAllowed));
  ui::TCustomControl::SetParent(parent);
}

void TTBDock::CreateParams(TCreateParams& params) {
  ui::TCustomControl::CreateParams(params);
  params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTBDock::AlignControls(const ui::TRect&) {
  ArrangeToolbars();
}

void TTBDock::DrawBackground(HDC dc, const RECT& drawRect) {
  if (background_) background_->PaintBackground(dc, drawRect);
}

bool TTBDock::UsesBackground() {
  return background_ && background_->HasBackground();
}

HPALETTE TTBDock::GetPalette() {
  // A derived dock may draw a background of its own without a background object.
  return background_ && UsesBackground() ? background_->GetPalette() : nullptr;
}

void TTBDock::SetPosition(TTBDockPosition position) {
  if (position == position_) return;
  if (ControlCount() > 0) throw ui::EInvalidOperation(TBTextUtf8(STBDockCannotChangePosition));
  position_ = position;
  static constexpr ui::TAlign kAlign[] = {ui::TAlign::alTop, ui::TAlign::alBottom,
                                          ui::TAlign::alLeft, ui::TAlign::alRight};
  SetAlign(kAlign[static_cast<int>(position)]);
}

void TTBDock::SetAllowDrag(bool allowDrag) {
  allowDrag_ = allowDrag;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TTBCustomDockableWindow*>(Controls(i))) RecomputeFrame(*bar);
}

void TTBDock::SetBoundLines(TTBDockBoundLines lines) {
  boundLines_ = lines;
  nonClientWidth_ = ((lines & blLeft) ? 1 : 0) + ((lines & blRight) ? 1 : 0);
  nonClientHeight_ = ((lines & blTop) ? 1 : 0) + ((lines & blBottom) ? 1 : 0);
  RecomputeFrame(*this);
}

void TTBDock::SetFixAlign(bool value) {
  fixAlign_ = value;
  ArrangeToolbars();
}

void TTBDock::BackgroundChanged(void* data) {
  static_cast<TTBDock*>(data)->RepaintBackgrounds();
}

void TTBDock::SetBackground(TTBBasicBackground* background) {
  if (background == background_) return;
  if (background_) background_->RemoveChangeHandler(BackgroundChanged, this);
  background_ = background;
  if (background_) {
    background_->FreeNotification(this);
    background_->AddChangeHandler(BackgroundChanged, this);
  }
  RepaintBackgrounds();
}

void TTBDock::SetBackgroundOnToolbars(bool value) {
  bkgOnToolbars_ = value;
  RepaintBackgrounds();
}

void TTBDock::EndUpdate() {
  if (--disableArrangeToolbars_ == 0 && arrangeToolbarsNeeded_) ArrangeToolbars();
}

std::vector<IDockClient*> TTBDock::Clients(
    const std::vector<TTBCustomDockableWindow*>& list) const {
  return {list.begin(), list.end()};
}

void TTBDock::ArrangeToolbars() {
  if (disableArrangeToolbars_ > 0 || Loading()) {
    arrangeToolbarsNeeded_ = true;
    return;
  }
  ++disableArrangeToolbars_;
  struct Restore {
    TTBDock& dock;
    ~Restore() {
      --dock.disableArrangeToolbars_;
      dock.arrangeToolbarsNeeded_ = false;
      dock.commitNewPositions_ = false;
    }
  } restore{*this};
  const bool leftRight = IsLeftRight(position_);
  TDockLayoutParams params;
  params.position = position_;
  params.clientLength =
      std::max(leftRight ? Height() - nonClientHeight_ : Width() - nonClientWidth_, 0);
  params.nonClientThickness = leftRight ? nonClientWidth_ : nonClientHeight_;
  params.limitToOneRow = limitToOneRow_;
  params.fixAlign = fixAlign_;
  params.commitNewPositions = commitNewPositions_;
  std::vector<IDockClient*> list = Clients(dockList_), visible = Clients(dockVisibleList_);
  const int thickness = ArrangeDockWindows(params, list, visible);
  dockList_.clear();
  for (IDockClient* c : list) dockList_.push_back(static_cast<TTBCustomDockableWindow*>(c));
  dockVisibleList_.clear();
  for (IDockClient* c : visible)
    dockVisibleList_.push_back(static_cast<TTBCustomDockableWindow*>(c));
  if (leftRight)
    ResizeKeepingEdge(thickness, Height());
  else
    ResizeKeepingEdge(Width(), thickness);
}

void TTBDock::UpdateDockList(bool insert, TTBCustomDockableWindow* bar) {
  if (insert) {
    bar->FreeNotification(this);
    if (std::find(dockList_.begin(), dockList_.end(), bar) == dockList_.end())
      dockList_.push_back(bar);
    WindowVisibilityChanged(bar, false);
  } else {
    std::erase(dockList_, bar);
    // The bar may still have this dock as its parent: it leaves the visible list whatever.
    WindowVisibilityChanged(bar, true);
  }
}

void TTBDock::WindowVisibilityChanged(TTBCustomDockableWindow* bar, bool forceRemove) {
  const bool visible = !forceRemove && WindowVisibleOnDock(bar);
  const auto at = std::find(dockVisibleList_.begin(), dockVisibleList_.end(), bar);
  const bool listed = at != dockVisibleList_.end();
  if (visible == listed) return;
  if (visible)
    dockVisibleList_.push_back(bar);
  else
    dockVisibleList_.erase(at);
  ArrangeToolbars();
  if (OnInsertRemoveBar) OnInsertRemoveBar(this, visible, bar);
}

bool TTBDock::WindowVisibleOnDock(TTBCustomDockableWindow* bar) const {
  return bar->Parent() == this && bar->Visible();
}

bool TTBDock::HasVisibleWindows() const {
  return std::any_of(dockList_.begin(), dockList_.end(),
                     [this](TTBCustomDockableWindow* bar) { return WindowVisibleOnDock(bar); });
}

int TTBDock::GetHighestRow(bool highestEffective) const {
  return HighestRow(Clients(dockList_), highestEffective);
}

int TTBDock::GetCurrentRowSize(int row, bool& fullSize) const {
  return CurrentRowSize(Clients(dockList_), IsLeftRight(position_), row, fullSize);
}

int TTBDock::GetMinRowSize(int row, TTBCustomDockableWindow* exclude) const {
  return MinRowSize(Clients(dockList_), row, exclude);
}

int TTBDock::GetRowOfCoordinate(int xy) const {
  return RowOfCoordinate(Clients(dockList_), IsLeftRight(position_), xy);
}

void TTBDock::AdoptEffectivePositions() {
  tb::AdoptEffectivePositions(Clients(dockList_));
}

void TTBDock::ResizeKeepingEdge(int newWidth, int newHeight) {
  int left = Left(), top = Top();
  if (Align() == ui::TAlign::alBottom) top -= newHeight - Height();
  if (Align() == ui::TAlign::alRight) left -= newWidth - Width();
  if (left != Left() || top != Top() || newWidth != Width() || newHeight != Height())
    SetBounds(left, top, newWidth, newHeight);
}

void TTBDock::RepaintBackgrounds() {
  if (!HandleAllocated()) return;
  InvalidateRect(Handle(), nullptr, TRUE);
  for (TTBCustomDockableWindow* bar : dockVisibleList_)
    if (bar->HandleAllocated()) RedrawWithFrame(*bar);
}

bool TTBDock::RequestDock(TTBCustomDockableWindow* bar) {
  bool accept = true;
  if (OnRequestDock) OnRequestDock(this, bar, accept);
  return accept;
}

void TTBDock::PassToFloatingWindows(ui::TMessage& message, bool menuEventsOnly) {
  for (TTBCustomDockableWindow* bar : std::vector<TTBCustomDockableWindow*>(dockList_)) {
    if (!bar->Floating() || !bar->CanFocus()) continue;
    if (menuEventsOnly && !(bar->ControlStyle() & ui::csMenuEvents)) continue;
    message.Result = bar->Perform(message.Msg, message.WParam, message.LParam);
    if (message.Result != 0) return;
  }
}

void TTBDock::NCPaintProc(HWND, HDC dc, void* self) {
  static_cast<TTBDock*>(self)->PaintNonClient(dc, nullptr);
}

void TTBDock::PaintNonClient(HDC dc, HRGN clip) {
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  if (clip) SelectNCUpdateRgn(Handle(), dc, clip);
  // The dock's colour first, so that the lines stay.
  RECT client = r;
  client.left += (boundLines_ & blLeft) ? 1 : 0;
  client.top += (boundLines_ & blTop) ? 1 : 0;
  client.right -= (boundLines_ & blRight) ? 1 : 0;
  client.bottom -= (boundLines_ & blBottom) ? 1 : 0;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(ui::ColorToRGB(Color())));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
  RestoreDC(dc, saved);
  if (boundLines_ == 0 || !HasVisibleWindows()) return;
  const auto line = [dc](int color, int x1, int y1, int x2, int y2) {
    RECT l{x1, y1, x2, y2};
    FillRect(dc, &l, GetSysColorBrush(color));
  };
  if (boundLines_ & blTop) line(COLOR_BTNHIGHLIGHT, r.left, r.top, r.right, r.top + 1);
  if (boundLines_ & blLeft) line(COLOR_BTNHIGHLIGHT, r.left, r.top, r.left + 1, r.bottom);
  if (boundLines_ & blBottom) line(COLOR_BTNSHADOW, r.left, r.bottom - 1, r.right, r.bottom);
  if (boundLines_ & blRight) line(COLOR_BTNSHADOW, r.right - 1, r.top, r.right, r.bottom);
}

void TTBDock::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (UsesBackground()) {
        const HDC dc = reinterpret_cast<HDC>(message.WParam);
        RECT client;
        GetClientRect(Handle(), &client);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
        RECT draw = client;
        OffsetRect(&draw, -Left() - ((boundLines_ & blLeft) ? 1 : 0),
                   -Top() - ((boundLines_ & blTop) ? 1 : 0));
        DrawBackground(dc, draw);
        RestoreDC(dc, saved);
        message.Result = 1;
        return;
      }
      break;
    case WM_MOVE:
      ui::TCustomControl::WndProc(message);
      if (UsesBackground()) RepaintBackgrounds();
      return;
    case WM_NCCALCSIZE: {
      DefaultHandler(message);
      RECT& r = *reinterpret_cast<RECT*>(message.LParam);
      if (boundLines_ & blTop) ++r.top;
      if (boundLines_ & blBottom) --r.bottom;
      if (boundLines_ & blLeft) ++r.left;
      if (boundLines_ & blRight) --r.right;
      // An empty dock may be thinner than its lines.
      r.right = std::max(r.right, r.left);
      r.bottom = std::max(r.bottom, r.top);
      return;
    }
    case WM_NCPAINT: {
      if (!HasNonClientArea()) {  // no bound lines: no frame to paint
        message.Result = 0;
        return;
      }
      const HDC dc = GetWindowDC(Handle());
      if (!dc) return;
      PaintNonClient(dc, reinterpret_cast<HRGN>(message.WParam));
      ReleaseDC(Handle(), dc);
      message.Result = 0;
      return;
    }
    case WM_PRINT:
      HandleWMPrint(Handle(), message, NCPaintProc, this);
      return;
    case WM_PRINTCLIENT:
      HandleWMPrintClient(*this, message);
      return;
    case ui::CM_SYSCOLORCHANGE:
      ui::TCustomControl::WndProc(message);
      if (background_) background_->SysColorChanged();
      return;
    case ui::CM_DIALOGKEY:
    case ui::CM_DIALOGCHAR:
      PassToFloatingWindows(message, false);
      if (message.Result == 0) ui::TCustomControl::WndProc(message);
      return;
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == SC_KEYMENU) {
        PassToFloatingWindows(message, true);
        if (message.Result == 0) ui::TCustomControl::WndProc(message);
        return;
      }
      break;
    default:
      break;
  }
  ui::TCustomControl::WndProc(message);
}

}  // namespace tb
