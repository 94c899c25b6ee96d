#include "tb/win32/dockable_window.h"

#include <windowsx.h>

#include <algorithm>

#include "tb/item.h"
#include "tb/win32/common.h"
#include "ui/boolean_prop.h"
#include "ui/properties.h"

namespace tb {

namespace {

// The thread's floating windows (a plain pointer: no thread-local object with a destructor).
thread_local std::vector<TTBCustomDockableWindow*>* floatingWindows = nullptr;

constexpr UINT kRecheckVisibility = WM_APP + 0x3B1;

std::vector<TTBCustomDockableWindow*> FloatingSnapshot() {
  return floatingWindows ? *floatingWindows : std::vector<TTBCustomDockableWindow*>{};
}

ui::TCustomForm* ResolveFloatingParent(ui::TCustomForm& outermost) {
  auto* parent = dynamic_cast<TTBFloatingWindowParent*>(&outermost);
  return parent ? parent->ParentForm() : &outermost;
}

bool OwnedBy(HWND wnd, HWND owner) {
  for (HWND w = GetWindow(wnd, GW_OWNER); w; w = GetWindow(w, GW_OWNER))
    if (w == owner) return true;
  return false;
}

bool IsTopmost(HWND wnd) {
  return (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Topmost, the window and every window that owns it.
bool TopmostWithOwners(HWND wnd) {
  for (; wnd; wnd = GetWindow(wnd, GW_OWNER))
    if (!IsTopmost(wnd)) return false;
  return true;
}

// Visible and not minimised, the window and every window it sits in as a child (a form inside
// another form, an MDI child in its MDI form).
bool ShowingUpToTopLevel(HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    if (!IsWindowVisible(wnd) || IsIconic(wnd)) return false;
    if (!(GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTBCustomDockableWindow

TTBCustomDockableWindow::TTBCustomDockableWindow(ui::TComponent* owner)
    : ui::TCustomControl(owner) {
  using namespace ui;
  SetControlStyle(
      (ControlStyle() | csAcceptsControls | csClickEvents | csSetCaption | csDoubleClicks) &
      ~(csCaptureMouse | csOpaque));
  StoreColor(clBtnFace);
  SetFloatingParentResolver(ResolveFloatingParent);
  BindTrackMouseEvent();
}

TTBCustomDockableWindow::~TTBCustomDockableWindow() {
  FreeFloatParent();
}

// The hook procedure acts for floating windows only, so a window registers it while it floats:
// while every window is docked the thread then has no hooks, each of which would cost every
// message several calls into the window system.
void TTBCustomDockableWindow::SetHookRegistered(bool registered) {
  if (registered == hookRegistered_) return;
  if (registered) {
    RegisterHookProc(this, HookProc,
                     HookCode(THookProcCode::hpSendActivate) |
                         HookCode(THookProcCode::hpSendActivateApp) |
                         HookCode(THookProcCode::hpSendWindowPosChanged) |
                         HookCode(THookProcCode::hpPreDestroy));
  } else {
    UnregisterHookProc(this, HookProc);
  }
  hookRegistered_ = registered;
}

void TTBCustomDockableWindow::BeforeDestruction() noexcept {
  // The window goes first (while its parent still exists), then the base leaves the dock or
  // floating form through this class's SetParent, which fires no events now.
  destroyingSelf_ = true;
  ui::TCustomControl::BeforeDestruction();
  if (floatingWindows) {
    std::erase(*floatingWindows, this);
    if (floatingWindows->empty()) {
      delete floatingWindows;
      floatingWindows = nullptr;
    }
  }
  SetHookRegistered(false);
  for (TTBDock* dock : {lastDock_, defaultDock_})
    if (dock) dock->UpdateDockList(false, this);
  lastDock_ = defaultDock_ = nullptr;
  FreeFloatParent();
}

void TTBCustomDockableWindow::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TCustomControl::GetPublishedProps(out);
  using W = TTBCustomDockableWindow;
  static constexpr ui::PropInfo kLastDock = [] {
    ui::PropInfo prop = ui::RefProp<W, TTBDock, &W::LastDock, &W::SetLastDock>(L"LastDock");
    prop.stored = [](const ui::TPersistent& o) { return !static_cast<const W&>(o).Docked(); };
    return prop;
  }();
  // Written as True whatever it holds: whatever is stored now was saved at run time.
  static constexpr ui::PropInfo kSavedAtRunTime =
      ui::BoolProp<W, &W::SavedAtRunTimeToStore, &W::SetSavedAtRunTime>(L"SavedAtRunTime");
  static constexpr ui::PropInfo kProps[] = {
      ui::RefProp<W, TTBDock, &W::CurrentDock, &W::SetCurrentDock>(L"CurrentDock"),
      ui::IntProp<W, &W::DockPos, &W::SetDockPos>(L"DockPos"),
      ui::IntProp<W, &W::DockRow, &W::SetDockRow>(L"DockRow"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
  out.push_back(&kLastDock);
  out.push_back(&kSavedAtRunTime);
}

void TTBCustomDockableWindow::FreeFloatParent() {
  if (!floatParent_) return;
  TTBFloatingWindowParent* parent = floatParent_;
  floatParent_ = nullptr;
  parent->dockableWindow_ = nullptr;
  ui::Free(parent);
}

void TTBCustomDockableWindow::Loaded() {
  ui::TCustomControl::Loaded();
  // Bounds stored by a form built in code are relative to the form's client area: the
  // floating form goes to that place on the screen.
  if (!savedAtRunTime_ && floating_ && floatParent_ && floatParent_->ParentForm()) {
    POINT at{Left(), Top()};
    ClientToScreen(floatParent_->ParentForm()->Handle(), &at);
    SetFloatingPosition(at);
    MoveOnScreen(false);
  }
  PostLoaded();
  Arrange();
}

void TTBCustomDockableWindow::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TCustomControl::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  if (component == defaultDock_) defaultDock_ = nullptr;
  if (component == lastDock_) lastDock_ = nullptr;
  if (component == currentDock_) {
    currentDock_ = nullptr;
    docked_ = false;
  }
  if (auto* form = dynamic_cast<ui::TCustomForm*>(component)) RemoveFromList(dockForms_, form);
}

TTBDockType TTBCustomDockableWindow::DockType() const {
  if (floating_) return TTBDockType::dtFloating;
  if (!docked_ || !currentDock_) return TTBDockType::dtNotDocked;
  return DockTypeOf(currentDock_->Position());
}

int TTBCustomDockableWindow::HandleWidth() const {
  return DragHandleWidth(dragHandleStyle_, closeButtonWhenDocked_);
}

void TTBCustomDockableWindow::CreateParams(TCreateParams& params) {
  ui::TCustomControl::CreateParams(params);
  params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTBCustomDockableWindow::SetParent(ui::TWinControl* parent) {
  if (parent == Parent()) return;
  auto* newDock = dynamic_cast<TTBDock*>(parent);
  const bool newFloating = dynamic_cast<TTBFloatingWindowParent*>(parent) != nullptr;
  const bool destroying = BeingDestroyed();
  if (!destroying) {
    DockChangingHidden(newFloating, newDock);
    if (OnDockChanging) OnDockChanging(this, newFloating, newDock);
    if (OnRecreating) OnRecreating(this);
  }
  ++hidden_;
  ++disableOnMove_;
  UpdateFloatingVisibility();
  TTBDock* oldDock = docked_ ? currentDock_ : nullptr;
  if (oldDock) oldDock->BeginUpdate();
  if (newDock && newDock != oldDock) newDock->BeginUpdate();
  ++dock_.UpdatingBounds;
  BeginUpdate();
  dock_.CurrentSize = 0;
  struct Finish {
    TTBCustomDockableWindow& w;
    TTBDock* oldDock;
    TTBDock* newDock;
    bool done = false;
    void Run() {
      if (done) return;
      done = true;
      --w.dock_.UpdatingBounds;
      --w.hidden_;
      --w.disableOnMove_;
      if (oldDock) oldDock->EndUpdate();
      if (newDock && newDock != oldDock) newDock->EndUpdate();
    }
    ~Finish() { Run(); }
  } finish{*this, oldDock, newDock};

  // Only its last dock keeps listing a window that leaves (a smooth drag passes over others).
  const bool keepListed = oldDock && useLastDock_ && oldDock == lastDock_ && !destroying;
  if (oldDock && !keepListed) oldDock->UpdateDockList(false, this);
  if (parent && !parent->HandleAllocated() && HandleAllocated()) parent->HandleNeeded();
  ui::TCustomControl::SetParent(parent);
  currentDock_ = newDock;
  if (newDock) newDock->FreeNotification(this);
  floating_ = newFloating;
  docked_ = newDock != nullptr;
  dock_.EffectiveDockRow = -1;
  // Listed but no longer on it: it leaves the dock's visible windows now that the parent moved.
  if (keepListed) oldDock->WindowVisibilityChanged(this, false);
  if (!smoothDragging_ && floatParent_ && parent != floatParent_) FreeFloatParent();
  if (newDock) {
    if (useLastDock_ && !smoothDragging_) {
      SetLastDock(newDock);
      newDock->WindowVisibilityChanged(this, false);
    } else {
      newDock->UpdateDockList(true, this);
    }
  }
  if (newFloating) {
    if (!floatingWindows) floatingWindows = new std::vector<TTBCustomDockableWindow*>;
    if (std::find(floatingWindows->begin(), floatingWindows->end(), this) == floatingWindows->end())
      floatingWindows->push_back(this);
    SetHookRegistered(true);
    TPoint tl, br;
    FloatingNCSizes(tl, br);
    floatParent_->SetBounds(floatingPosition_.x, floatingPosition_.y, Width() + tl.x + br.x,
                            Height() + tl.y + br.y);
  } else {
    if (floatingWindows) std::erase(*floatingWindows, this);
    SetHookRegistered(false);
  }
  Arrange();
  EndUpdate();
  finish.Run();
  UpdateFloatingVisibility();
  if (OnMove) OnMove(this);
  if (!destroying) {
    if (OnDockChanged) OnDockChanged(this);
    if (OnRecreated) OnRecreated(this);
  }
}

void TTBCustomDockableWindow::SetBounds(int left, int top, int width, int height) {
  if (floating_ && floatParent_) {
    left = top = 0;
    TPoint tl, br;
    FloatingNCSizes(tl, br);
    const int w = width + tl.x + br.x, h = height + tl.y + br.y;
    if (w != floatParent_->Width() || h != floatParent_->Height())
      floatParent_->SetBounds(floatParent_->Left(), floatParent_->Top(), w, h);
  }
  if (dock_.UpdatingBounds == 0 && (width != Width() || height != Height()))
    SizeChanging(width, height);
  ui::TCustomControl::SetBounds(left, top, width, height);
}

// Docked and floating geometry.

void TTBCustomDockableWindow::GetDockedFrameSize(TPoint& size) {
  if (!docked_ || !currentDock_) {
    size = {0, 0};
    return;
  }
  size = tb::DockedFrameSize(IsLeftRight(currentDock_->Position()), currentDock_->AllowDrag(),
                             HandleWidth());
}

void TTBCustomDockableWindow::PointOnChildControl(POINT p, bool& result) {
  for (int i = 0; i < ControlCount(); ++i) {
    ui::TControl* c = Controls(i);
    const ui::TRect b = c->BoundsRect();
    if (c->Visible() && p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom &&
        !ChildControlExcluded(*c)) {
      result = true;
      return;
    }
  }
}

void TTBCustomDockableWindow::DockChangingHidden(bool floating, TTBDock* dockingTo) {
  if (!BeingDestroyed() && OnDockChangingHidden) OnDockChangingHidden(this, floating, dockingTo);
}

void TTBCustomDockableWindow::GetDockedCloseButtonRect(bool leftRight, RECT& rect) {
  const TRect r = tb::DockedCloseButtonRect(leftRight, ClientWidth(), HandleWidth());
  rect = {r.left, r.top, r.right, r.bottom};
}

void TTBCustomDockableWindow::GetFloatingBorderSize(TPoint& size) {
  size = resizable_ ? TPoint{GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)}
                    : TPoint{GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

void TTBCustomDockableWindow::FloatingNCSizes(TPoint& topLeft, TPoint& bottomRight) {
  TPoint border;
  GetFloatingBorderSize(border);
  topLeft = border;
  bottomRight = border;
  if (showCaption_) topLeft.y += SmallCaptionHeight();
}

TTBFloatingWindowParent* TTBCustomDockableWindow::CreateFloatingParent() {
  return ui::New<TTBFloatingWindowParent>().release();
}

// IDockClient

bool TTBCustomDockableWindow::VisibleOnDock() const {
  return currentDock_ && Parent() == currentDock_ && Visible();
}
TPoint TTBCustomDockableWindow::DockClientSize() {
  TPoint size;
  GetCurrentClientSize(size);
  return size;
}
TPoint TTBCustomDockableWindow::DockFrameSize() {
  TPoint size;
  GetDockedFrameSize(size);
  return size;
}
int TTBCustomDockableWindow::DockShrinkLimit() {
  int limit = 0;
  GetShrinkLimit(limit);
  return limit;
}
TPoint TTBCustomDockableWindow::DockLayoutSize(TTBDockType dockType) {
  TPoint size;
  CalcLayoutSize(false, dockType, false, currentDock_, size);
  return size;
}
TPoint TTBCustomDockableWindow::ClientSize() {
  return {ClientWidth(), ClientHeight()};
}
void TTBCustomDockableWindow::PlaceBounds(const TRect& b) {
  SetBounds(b.left, b.top, b.Width(), b.Height());
}
void TTBCustomDockableWindow::ArrangeContents() {
  dock_.ArrangeNeeded = false;
  TPoint size;
  CalcLayoutSize(true, DockType(), floating_, currentDock_, size);
}

// Properties

void TTBCustomDockableWindow::SetCurrentDock(TTBDock* dock) {
  if (Loading()) return;
  if (dock) {
    // Already there: docking again would move it to the dock's end and lose its place.
    if (docked_ && dock == currentDock_ && Parent() == dock) return;
    SetParent(dock);
  } else {
    // The form it belongs to (for a floating window, the form its floating form serves).
    SetParent(&RequireToolWindowParentForm(*this));
  }
}

void TTBCustomDockableWindow::SetDockPos(int pos) {
  dock_.DockPos = pos;
  if (docked_ && currentDock_) currentDock_->ArrangeToolbars();
}

void TTBCustomDockableWindow::SetDockRow(int row) {
  dock_.DockRow = row;
  if (docked_ && currentDock_) currentDock_->ArrangeToolbars();
}

void TTBCustomDockableWindow::SetDefaultDock(TTBDock* dock) {
  defaultDock_ = dock;
  if (dock) dock->FreeNotification(this);
}

void TTBCustomDockableWindow::SetLastDock(TTBDock* dock) {
  if (useLastDock_ && docked_) dock = currentDock_;
  if (dock == lastDock_) return;
  if (lastDock_ && lastDock_ != Parent()) lastDock_->UpdateDockList(false, this);
  lastDock_ = dock;
  if (dock) {
    useLastDock_ = true;  // the field: the property would take the dock away again
    dock->FreeNotification(this);
    dock->UpdateDockList(true, this);
  }
}

void TTBCustomDockableWindow::SetUseLastDock(bool value) {
  useLastDock_ = value;
  SetLastDock(value ? currentDock_ : nullptr);
}

void TTBCustomDockableWindow::SetFloating(bool floating) {
  if (floating == floating_) return;
  ui::TCustomForm& form = RequireToolWindowParentForm(*this);
  if (floating) {
    if (!floatParent_) {
      floatParent_ = CreateFloatingParent();
      floatParent_->dockableWindow_ = this;
      floatParent_->FinishLoading();
    }
    floatParent_->SetParentForm(&form);
    floatParent_->SetCaption(Caption());
    floatParent_->HandleNeeded();
    SetParent(floatParent_);
  } else {
    SetParent(&form);
  }
}

void TTBCustomDockableWindow::SetFloatingPosition(POINT position) {
  floatingPosition_ = position;
  if (floating_ && floatParent_)
    floatParent_->SetBounds(position.x, position.y, floatParent_->Width(), floatParent_->Height());
}

void TTBCustomDockableWindow::SetFloatingMode(TTBFloatingMode mode) {
  floatingMode_ = mode;
  UpdateFloatingVisibility();
}

void TTBCustomDockableWindow::SetHideWhenInactive(bool value) {
  hideWhenInactive_ = value;
  UpdateFloatingVisibility();
}

void TTBCustomDockableWindow::SetAutoResize(bool value) {
  autoResize_ = value;
  if (value) Arrange();
}

void TTBCustomDockableWindow::SetFullSize(bool value) {
  dock_.FullSize = value;
  if (docked_ && currentDock_) currentDock_->ArrangeToolbars();
}

void TTBCustomDockableWindow::SetStretch(bool value) {
  dock_.Stretch = value;
  if (docked_ && currentDock_) currentDock_->ArrangeToolbars();
}

void TTBCustomDockableWindow::SetBorderStyle(TTBBorderStyle style) {
  borderStyle_ = style;
  if (docked_) RecomputeFrame(*this);
}

void TTBCustomDockableWindow::SetDragHandleStyle(TTBDragHandleStyle style) {
  dragHandleStyle_ = style;
  if (docked_) RecomputeFrame(*this);
}

void TTBCustomDockableWindow::SetCloseButtonWhenDocked(bool value) {
  closeButtonWhenDocked_ = value;
  if (docked_) RecomputeFrame(*this);
}

void TTBCustomDockableWindow::SetCloseButton(bool value) {
  closeButton_ = value;
  if (floating_ && floatParent_)
    floatParent_->RepaintFrame(TTBFloatingWindowParent::rwCaption |
                               TTBFloatingWindowParent::rwCloseButton);
}

void TTBCustomDockableWindow::SetShowCaption(bool value) {
  showCaption_ = value;
  if (floating_ && floatParent_) {
    RecomputeFrame(*floatParent_);
    Arrange();
  }
}

void TTBCustomDockableWindow::SetResizable(bool value) {
  if (value == resizable_) return;
  resizable_ = value;
  if (floatParent_ && floatParent_->HandleAllocated()) {
    // The floating form's window takes the other frame style in place rather than being made
    // anew: a new form window would destroy the hosted window's handle with it, and the frame
    // is recomputed below all the same.
    const LONG_PTR style = GetWindowLongPtrW(floatParent_->Handle(), GWL_STYLE);
    SetWindowLongPtrW(
        floatParent_->Handle(), GWL_STYLE,
        value ? style | WS_THICKFRAME : style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
    Arrange();
    RecomputeFrame(*floatParent_);
  }
}

// Operations

void TTBCustomDockableWindow::EndUpdate() {
  if (--disableArrange_ == 0 && arrangeNeeded_) Arrange();
}

void TTBCustomDockableWindow::Arrange() {
  if (disableArrange_ > 0 || Loading() || !Parent()) {
    arrangeNeeded_ = true;
    return;
  }
  arrangeNeeded_ = false;
  TPoint size;
  CalcLayoutSize(true, DockType(), floating_, currentDock_, size);
  if (!autoResize_ && !docked_ && !floating_) return;
  if (docked_ && currentDock_) {
    currentDock_->ArrangeToolbars();
    return;
  }
  if (!floating_) {
    // A dimension anchored on both sides keeps its size.
    if ((Anchors() & (ui::akLeft | ui::akRight)) == (ui::akLeft | ui::akRight)) size.x = Width();
    if ((Anchors() & (ui::akTop | ui::akBottom)) == (ui::akTop | ui::akBottom)) size.y = Height();
  }
  ++dock_.UpdatingBounds;
  SetBounds(Left(), Top(), size.x, size.y);
  --dock_.UpdatingBounds;
}

void TTBCustomDockableWindow::AddDockForm(ui::TCustomForm* form) {
  if (AddToList(dockForms_, form)) form->FreeNotification(this);
}

void TTBCustomDockableWindow::RemoveDockForm(ui::TCustomForm* form) {
  RemoveFromList(dockForms_, form);
}

void TTBCustomDockableWindow::MoveOnScreen(bool onlyIfFullyOffscreen) {
  if (!floating_ || !floatParent_) return;
  const ui::TRect b = floatParent_->BoundsRect();
  const RECT r{b.left, b.top, b.right, b.bottom};
  const RECT work = GetRectOfMonitorContainingRect(r, true);
  const TRect moved =
      MoveOnScreenRect({b.left, b.top, b.right, b.bottom},
                       {work.left, work.top, work.right, work.bottom}, onlyIfFullyOffscreen);
  if (moved.left != b.left || moved.top != b.top) SetFloatingPosition({moved.left, moved.top});
}

void TTBCustomDockableWindow::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  Hide();
  if (OnClose) OnClose(this);
}

void TTBCustomDockableWindow::DoubleClick() {
  switch (DoubleClickAction(floating_, docked_, lastDock_ != nullptr, defaultDock_ != nullptr,
                            dockMode_)) {
    case TDoubleClickAction::DockToLast:
      SetParent(lastDock_);
      break;
    case TDoubleClickAction::DockToDefault:
      dock_.DockRow = 0;
      dock_.DockPos = -8;
      SetParent(defaultDock_);
      break;
    case TDoubleClickAction::Float:
      SetFloating(true);
      MoveOnScreen(true);
      break;
    case TDoubleClickAction::None:
      break;
  }
}

bool TTBCustomDockableWindow::IsMovable() const {
  return (docked_ && currentDock_ && currentDock_->AllowDrag()) || floating_;
}

// Floating visibility

bool TTBCustomDockableWindow::ShouldShowFloating() {
  TFloatingShowState s;
  s.visible = Visible();
  s.hidden = hidden_;
  s.floating = floating_;
  s.onTopOfParentForm = floatingMode_ == TTBFloatingMode::fmOnTopOfParentForm;
  ui::TCustomForm* form = floatParent_ ? floatParent_->ParentForm() : nullptr;
  s.parentFormShowing = form && form->HandleAllocated() && ShowingUpToTopLevel(form->Handle());
  s.hideWhenInactive = hideWhenInactive_;
  s.applicationActive = IsAnyWindowActive();
  return FloatingShouldShow(s);
}

void TTBCustomDockableWindow::SetFloatingOwner() {
  const HWND floatWnd = floatParent_->Handle();
  HWND owner = ui::Application ? ui::Application->Handle() : nullptr;
  if (floatingMode_ == TTBFloatingMode::fmOnTopOfParentForm && floatParent_->ParentForm()) {
    ui::TCustomForm* form = MDIParentOf(*floatParent_->ParentForm());
    if (form && form->HandleAllocated()) owner = form->Handle();
  }
  const bool topmost =
      floatingMode_ == TTBFloatingMode::fmOnTopOfAllForms || (owner && IsTopmost(owner));
  // The topmost flag first: under Wine a window that changed owner keeps it otherwise.
  if (topmost != IsTopmost(floatWnd))
    SetWindowPos(floatWnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (owner && GetWindow(floatWnd, GW_OWNER) != owner) {
    SetWindowOwner(floatWnd, owner);
    // Directly below the nearest window above the owner that the owner does not own (topmost
    // with its owners when this form is topmost).
    HWND after = HWND_TOP;
    for (HWND w = GetWindow(owner, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
      if (w == floatWnd || OwnedBy(w, owner) || (topmost && !TopmostWithOwners(w))) continue;
      after = w;
      break;
    }
    SetWindowPos(floatWnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void TTBCustomDockableWindow::UpdateCaptionState() {
  if (!floating_ || !floatParent_ || !floatParent_->HandleAllocated()) return;
  const HWND floatWnd = floatParent_->Handle();
  const HWND app = ui::Application ? ui::Application->Handle() : nullptr;
  HWND active = GetActiveWindow();
  // An active popup menu of the framework leaves the caption as it is.
  if (dynamic_cast<TTBPopupWindowBase*>(ui::TWinControl::FromHandle(active))) return;
  if (auto* parent = dynamic_cast<TTBFloatingWindowParent*>(ui::TWinControl::FromHandle(active)))
    active = parent->ParentForm() && parent->ParentForm()->HandleAllocated()
                 ? parent->ParentForm()->Handle()
                 : active;
  const bool inactive = FloatingCaptionInactive(
      active != nullptr, floatingMode_ == TTBFloatingMode::fmOnTopOfParentForm,
      GetWindow(floatWnd, GW_OWNER) == app, active && OwnedBy(floatWnd, active));
  if (inactive == inactiveCaption_) return;
  inactiveCaption_ = inactive;
  floatParent_->RepaintFrame(TTBFloatingWindowParent::rwFrame | TTBFloatingWindowParent::rwCaption |
                             TTBFloatingWindowParent::rwCloseButton);
}

void TTBCustomDockableWindow::UpdateFloatingVisibility() {
  if (updatingVisibility_ || !HandleAllocated()) return;
  updatingVisibility_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{updatingVisibility_};
  const bool show = ShouldShowFloating();
  // A docked window or one on its form shows again once re-parenting is over (also after it
  // floated).
  if (floating_ && floatParent_ && floatParent_->HandleAllocated()) {
    const HWND floatWnd = floatParent_->Handle();
    const bool wasActive = GetActiveWindow() == floatWnd;
    if (show) SetFloatingOwner();
    UpdateCaptionState();
    floatParent_->SetShouldShow(show);
    ShowWindow(Handle(), show ? SW_SHOWNA : SW_HIDE);
    if (!show && wasActive)
      if (HWND next = NextTopLevelWindow(floatWnd)) SetActiveWindow(next);
  } else if (!floating_) {
    ShowWindow(Handle(), show ? SW_SHOWNA : SW_HIDE);
  }
}

void TTBCustomDockableWindow::HookProc(THookProcCode code, std::uintptr_t wnd, std::uintptr_t,
                                       std::intptr_t lParam) {
  const HWND window = reinterpret_cast<HWND>(wnd);
  for (TTBCustomDockableWindow* w : FloatingSnapshot()) {
    if (!floatingWindows ||
        std::find(floatingWindows->begin(), floatingWindows->end(), w) == floatingWindows->end())
      continue;  // gone meanwhile
    TTBFloatingWindowParent* parent = w->floatParent_;
    switch (code) {
      case THookProcCode::hpSendActivate:
      case THookProcCode::hpSendActivateApp:
        w->UpdateFloatingVisibility();
        // The active window may change only after this message: look again afterwards.
        if (parent && parent->HandleAllocated())
          PostMessageW(parent->Handle(), kRecheckVisibility, 0, 0);
        break;
      case THookProcCode::hpSendWindowPosChanged: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos || !(pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED))) break;
        if (w->floatingMode_ != TTBFloatingMode::fmOnTopOfParentForm || !parent) break;
        ui::TCustomForm* form = parent->ParentForm();
        if (form && form->HandleAllocated() && IsAncestorOfWindow(window, form->Handle()))
          w->UpdateFloatingVisibility();
        break;
      }
      case THookProcCode::hpPreDestroy:
        if (parent && parent->HandleAllocated() &&
            GetWindow(parent->Handle(), GW_OWNER) == window && ui::Application)
          SetWindowOwner(parent->Handle(), ui::Application->Handle());
        break;
      case THookProcCode::hpGetMessage:
        break;
    }
  }
}

// Docked frame painting and messages

void TTBCustomDockableWindow::DrawNCProc(HWND, HDC dc, void* self) {
  static_cast<TTBCustomDockableWindow*>(self)->DrawDockedNCArea(true, dc, nullptr);
}

void TTBCustomDockableWindow::DrawCloseButtonProc(HWND wnd, bool pushed, void* self) {
  auto* w = static_cast<TTBCustomDockableWindow*>(self);
  if (w->closeButtonDown_ == pushed) return;
  w->closeButtonDown_ = pushed;
  RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void TTBCustomDockableWindow::DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip) {
  if (!docked_ || !currentDock_ || !HandleAllocated()) return;
  const HWND wnd = Handle();
  HDC useDC = dc;
  if (!drawToDC) useDC = GetWindowDC(wnd);
  if (!useDC) return;
  RECT r;
  GetWindowRect(wnd, &r);
  OffsetRect(&r, -r.left, -r.top);
  const int saved = SaveDC(useDC);
  if (!drawToDC && clip) SelectNCUpdateRgn(wnd, useDC, clip);
  const bool leftRight = IsLeftRight(currentDock_->Position());
  const TRect client = DockedClientRect({r.left, r.top, r.right, r.bottom}, leftRight,
                                        currentDock_->AllowDrag(), HandleWidth());
  ExcludeClipRect(useDC, client.left, client.top, client.right, client.bottom);
  if (borderStyle_ == TTBBorderStyle::bsSingle) {
    RECT edge = r;
    DrawEdge(useDC, &edge, BDR_RAISEDINNER, BF_RECT);
    IntersectClipRect(useDC, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  }
  const int handle = HandleWidth();
  if (currentDock_->AllowDrag() && dragHandleStyle_ != TTBDragHandleStyle::dhNone) {
    const int length = (leftRight ? client.right - client.left : client.bottom - client.top) + 2;
    int across =
        2 + (closeButtonWhenDocked_ ? (dragHandleStyle_ == TTBDragHandleStyle::dhDouble ? 3 : 5)
                                    : (dragHandleStyle_ == TTBDragHandleStyle::dhDouble ? 2 : 1));
    const int bars = dragHandleStyle_ == TTBDragHandleStyle::dhDouble ? 2 : 1;
    for (int i = 0; i < bars; ++i, across += 3) {
      int start = 2, end = 2 + length;
      if (dragHandleStyle_ == TTBDragHandleStyle::dhSingle) {
        ++start;
        --end;
      }
      if (closeButtonWhenDocked_) {
        if (leftRight)
          end -= handle - 2;
        else
          start += handle - 2;
      }
      RECT bar =
          leftRight ? RECT{start, across, end, across + 3} : RECT{across, start, across + 3, end};
      DrawEdge(useDC, &bar, BDR_RAISEDINNER, BF_RECT | BF_SOFT);
      SetPixel(useDC, bar.right - 1, bar.bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      ExcludeClipRect(useDC, bar.left, bar.top, bar.right, bar.bottom);
    }
  }
  if (closeButtonWhenDocked_) {
    RECT button;
    GetDockedCloseButtonRect(leftRight, button);
    RECT edge = button;
    if (closeButtonDown_)
      DrawEdge(useDC, &edge, BDR_SUNKENOUTER, BF_RECT);
    else if (closeButtonHover_)
      DrawEdge(useDC, &edge, BDR_RAISEDINNER, BF_RECT);
    static constexpr BYTE kCross[] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
    const int x0 = button.left + (button.right - button.left - 8) / 2;
    const int y0 = button.top + (button.bottom - button.top - 8) / 2;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        if (kCross[y] & (0x80 >> x)) SetPixel(useDC, x0 + x, y0 + y, GetSysColor(COLOR_BTNTEXT));
    ExcludeClipRect(useDC, button.left, button.top, button.right, button.bottom);
  }
  if (ShowsDockBackground()) {
    RECT window;
    GetWindowRect(wnd, &window);
    DrawDockBackground(useDC, r, {window.left, window.top});
  } else {
    const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(ui::ColorToRGB(Color())));
    FillRect(useDC, &r, static_cast<HBRUSH>(brush.get()));
  }
  RestoreDC(useDC, saved);
  if (!drawToDC) ReleaseDC(wnd, useDC);
}

bool TTBCustomDockableWindow::ShowsDockBackground() const {
  return docked_ && currentDock_ && currentDock_->UsesBackground() &&
         currentDock_->BackgroundOnToolbars();
}

// The dock's background is aligned to the dock's parent: `rect` (whose top-left is `screen`)
// is moved to where that parent's origin would be.
void TTBCustomDockableWindow::DrawDockBackground(HDC dc, RECT rect, POINT screen) {
  if (ui::TWinControl* parent = currentDock_->Parent()) ScreenToClient(parent->Handle(), &screen);
  OffsetRect(&rect, -screen.x, -screen.y);
  currentDock_->DrawBackground(dc, rect);
}

int TTBCustomDockableWindow::DockedHitTest(POINT screen) {
  if (closeButtonWhenDocked_ && currentDock_ && currentDock_->AllowDrag()) {
    RECT window;
    GetWindowRect(Handle(), &window);
    RECT button;
    GetDockedCloseButtonRect(IsLeftRight(currentDock_->Position()), button);
    const POINT p{screen.x - window.left, screen.y - window.top};
    if (PtInRect(&button, p)) return kHitCloseButton;
  }
  return kHitDockedFrame;
}

void TTBCustomDockableWindow::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x,
                                        int y) {
  ui::TCustomControl::MouseDown(button, shift, x, y);
  if (button != ui::TMouseButton::mbLeft || !IsMovable()) return;
  bool onChild = false;
  PointOnChildControl({x, y}, onChild);
  if (onChild) return;
  if (shift & ui::ssDouble) {
    DoubleClick();
  } else {
    BeginMoving(x, y);
    MouseUp(ui::TMouseButton::mbLeft, 0, -1, -1);
  }
}

void TTBCustomDockableWindow::WndProc(ui::TMessage& message) {
  const POINT screen{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  switch (message.Msg) {
    case WM_NCCALCSIZE:
      if (docked_ && currentDock_) {
        RECT& r = *reinterpret_cast<RECT*>(message.LParam);
        const TRect c = DockedClientRect({r.left, r.top, r.right, r.bottom},
                                         IsLeftRight(currentDock_->Position()),
                                         currentDock_->AllowDrag(), HandleWidth());
        r = {c.left, c.top, c.right, c.bottom};
        message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT:
      DrawDockedNCArea(false, nullptr, reinterpret_cast<HRGN>(message.WParam));
      message.Result = 0;
      return;
    case WM_PAINT:
      // Docked and wholly invalid (its form has just appeared): frame and client are drawn in
      // one window device context rather than one for each.
      if (!message.WParam && docked_ && PaintWhollyInvalidWithFrame(Handle())) {
        message.Result = 0;
        return;
      }
      break;
    case WM_PRINT:
      HandleWMPrint(Handle(), message, DrawNCProc, this);
      return;
    case WM_PRINTCLIENT:
      HandleWMPrintClient(*this, message);
      return;
    case WM_ERASEBKGND:
      if (ShowsDockBackground()) {
        RECT client;
        GetClientRect(Handle(), &client);
        POINT origin{0, 0};
        ClientToScreen(Handle(), &origin);
        DrawDockBackground(reinterpret_cast<HDC>(message.WParam), client, origin);
        message.Result = 1;
        return;
      }
      break;
    case WM_MOVE:
      ui::TCustomControl::WndProc(message);
      moved_ = true;
      if (docked_ && currentDock_ && currentDock_->UsesBackground()) RepaintOnBackground();
      if (!Loading() && disableOnMove_ < 1 && OnMove) OnMove(this);
      return;
    case WM_NCHITTEST:
      if (docked_) {
        DefaultHandler(message);
        if (message.Result != HTCLIENT) message.Result = DockedHitTest(screen);
        return;
      }
      break;
    case WM_NCLBUTTONDOWN:
      if (message.WParam == kHitDockedFrame && IsMovable()) {
        POINT p = screen;
        ScreenToClient(Handle(), &p);
        BeginMoving(p.x, p.y);
        return;
      }
      if (message.WParam == kHitCloseButton && currentDock_) {
        RECT button;
        GetDockedCloseButtonRect(IsLeftRight(currentDock_->Position()), button);
        if (TrackCaptionButton(Handle(), button, DrawCloseButtonProc, this)) Close();
        return;
      }
      break;
    case WM_NCLBUTTONDBLCLK:
      if (message.WParam == kHitDockedFrame && IsMovable()) {
        DoubleClick();
        return;
      }
      break;
    case WM_NCMOUSEMOVE: {
      ui::TCustomControl::WndProc(message);
      CallTrackMouseEvent(Handle(), TME_LEAVE | TME_NONCLIENT);
      const bool hover = message.WParam == kHitCloseButton;
      if (hover != closeButtonHover_) {
        closeButtonHover_ = hover;
        RedrawWithFrame(*this);
      }
      return;
    }
    case WM_MOUSEMOVE:
    case ui::CM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      if (closeButtonHover_ && !(message.Msg == WM_NCMOUSELEAVE && GetCapture() == Handle())) {
        closeButtonHover_ = false;
        RedrawWithFrame(*this);
      }
      break;
    case WM_NCRBUTTONUP:
      SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), message.LParam);
      return;
    case WM_CONTEXTMENU:
      if (ContextMenuOutsideClient(message)) return;
      break;
    case WM_SETCURSOR:
      if (docked_ && currentDock_ && currentDock_->AllowDrag() &&
          LOWORD(message.LParam) == kHitDockedFrame &&
          dragHandleStyle_ != TTBDragHandleStyle::dhNone) {
        POINT p;
        GetCursorPos(&p);
        RECT window;
        GetWindowRect(Handle(), &window);
        const bool leftRight = IsLeftRight(currentDock_->Position());
        const int along = leftRight ? p.y - window.top : p.x - window.left;
        if (along < HandleWidth() + 2) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
          message.Result = 1;
          return;
        }
      }
      break;
    case ui::CM_COLORCHANGED:
      if (HandleAllocated()) RedrawWithFrame(*this);
      break;
    case ui::CM_TEXTCHANGED:
      ui::TCustomControl::WndProc(message);
      if (floatParent_) floatParent_->SetCaption(Caption());
      return;
    case ui::CM_VISIBLECHANGED:
      if (docked_ && currentDock_) currentDock_->WindowVisibilityChanged(this, false);
      ui::TCustomControl::WndProc(message);
      if (OnVisibleChanged) OnVisibleChanged(this);
      return;
    case ui::CM_SHOWINGCHANGED:
      if (floating_) {
        UpdateFloatingVisibility();
        return;
      }
      break;
    default:
      break;
  }
  ui::TCustomControl::WndProc(message);
}

// ---------------------------------------------------------------------------------------------
// TTBFloatingWindowParent

TTBFloatingWindowParent::TTBFloatingWindowParent(ui::TComponent* owner) : ui::TCustomForm(owner) {
  SetBorderStyle(ui::TFormBorderStyle::bsToolWindow);
  SetShowHint(true);
  StoreVisible(true);
}

void TTBFloatingWindowParent::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TCustomForm::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == parentForm_) parentForm_ = nullptr;
}

void TTBFloatingWindowParent::SetParentForm(ui::TCustomForm* form) {
  if (form == parentForm_) return;
  parentForm_ = form;
  if (form) form->FreeNotification(this);
}

void TTBFloatingWindowParent::SetShouldShow(bool show) {
  shouldShow_ = show;
  Perform(ui::CM_SHOWINGCHANGED);
}

void TTBFloatingWindowParent::CreateParams(TCreateParams& params) {
  ui::TCustomForm::CreateParams(params);
  params.classStyle &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
  // Clipping its child: the form's erase never paints over the hosted window, which covers its
  // whole client area and would flicker otherwise.
  params.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  if (dockableWindow_ && dockableWindow_->Resizable()) params.style |= WS_THICKFRAME;
  params.exStyle = WS_EX_TOOLWINDOW;
  params.parent = parentForm_ && parentForm_->HandleAllocated() ? parentForm_->Handle() : nullptr;
}

TFloatingFrame TTBFloatingWindowParent::Frame() {
  TFloatingFrame f;
  f.width = Width();
  f.height = Height();
  if (dockableWindow_) {
    dockableWindow_->GetFloatingBorderSize(f.border);
    f.showCaption = dockableWindow_->ShowCaption();
    f.closeButton = dockableWindow_->CloseButton();
    f.resizable = dockableWindow_->Resizable();
    f.eightCorner = (dockableWindow_->DockableWindowStyles() & tbdsResizeEightCorner) != 0;
  }
  f.smallCaptionHeight = SmallCaptionHeight();
  return f;
}

RECT TTBFloatingWindowParent::CaptionRect(bool adjustForBorder, bool minusCloseButton) {
  const TRect r = FloatingCaptionRect(Frame(), adjustForBorder, minusCloseButton);
  return {r.left, r.top, r.right, r.bottom};
}

RECT TTBFloatingWindowParent::CloseButtonRect(bool adjustForBorder) {
  const TRect r = FloatingCloseButtonRect(Frame(), adjustForBorder);
  return {r.left, r.top, r.right, r.bottom};
}

void TTBFloatingWindowParent::RepaintFrame(int redrawWhat) {
  if (HandleAllocated() && IsWindowVisible(Handle()))
    PaintFrame(false, nullptr, redrawWhat, nullptr);
}

void TTBFloatingWindowParent::DrawCloseProc(HWND, bool pushed, void* self) {
  auto* p = static_cast<TTBFloatingWindowParent*>(self);
  if (p->closeButtonDown_ == pushed) return;
  p->closeButtonDown_ = pushed;
  p->RepaintFrame(rwCloseButton);
}

void TTBFloatingWindowParent::PaintFrame(bool drawToDC, HDC dc, int redrawWhat, HRGN clip) {
  if (!HandleAllocated() || !dockableWindow_) return;
  const HWND wnd = Handle();
  HDC useDC = drawToDC ? dc : GetWindowDC(wnd);
  if (!useDC) return;
  const int saved = SaveDC(useDC);
  if (!drawToDC && clip) SelectNCUpdateRgn(wnd, useDC, clip);
  RECT r;
  GetWindowRect(wnd, &r);
  OffsetRect(&r, -r.left, -r.top);
  TPoint tl, br;
  dockableWindow_->FloatingNCSizes(tl, br);
  ExcludeClipRect(useDC, tl.x, tl.y, r.right - br.x, r.bottom - br.y);
  const bool inactive = dockableWindow_->InactiveCaption();
  if (redrawWhat & rwFrame) {
    RECT edge = r;
    DrawEdge(useDC, &edge, EDGE_RAISED, BF_RECT | BF_ADJUST);
    TPoint border;
    dockableWindow_->GetFloatingBorderSize(border);
    // The outline is the frame's innermost ring, next to the client and caption.
    RECT inner = r;
    InflateRect(&inner, 1 - border.x, 1 - border.y);
    FrameRect(useDC, &inner, GetSysColorBrush(COLOR_BTNFACE));
    const int saved2 = SaveDC(useDC);
    ExcludeClipRect(useDC, inner.left, inner.top, inner.right, inner.bottom);
    FillRect(useDC, &edge, GetSysColorBrush(inactive ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER));
    RestoreDC(useDC, saved2);
  }
  const bool hasClose = dockableWindow_->CloseButton();
  if (dockableWindow_->ShowCaption()) {
    const RECT caption = CaptionRect(true, hasClose);
    if (redrawWhat & rwCaption) {
      const int saved2 = SaveDC(useDC);
      if (hasClose && (redrawWhat & rwCloseButton)) {
        const RECT button = CloseButtonRect(true);
        ExcludeClipRect(useDC, button.left, button.top, button.right, button.bottom);
      }
      PaintSmallCaption(wnd, useDC, caption, !inactive, CaptionText());
      RestoreDC(useDC, saved2);
      const RECT full = CaptionRect(true, false);
      RECT line{full.left, full.bottom, full.right, full.bottom + 1};
      FillRect(useDC, &line, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (hasClose) {
      const RECT button = CloseButtonRect(true);
      RECT face{button.left, button.top + 2, button.right - 2, button.bottom - 2};
      if (redrawWhat & rwCaption) {
        const int saved2 = SaveDC(useDC);
        ExcludeClipRect(useDC, face.left, face.top, face.right, face.bottom);
        const bool gradient = QuerySystemFlag(SPI_GETGRADIENTCAPTIONS, false);
        const int color =
            gradient ? (inactive ? COLOR_GRADIENTINACTIVECAPTION : COLOR_GRADIENTACTIVECAPTION)
                     : (inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION);
        RECT all = button;
        FillRect(useDC, &all, GetSysColorBrush(color));
        RestoreDC(useDC, saved2);
      }
      if (redrawWhat & rwCloseButton)
        DrawFrameControl(useDC, &face, DFC_CAPTION,
                         DFCS_CAPTIONCLOSE | (closeButtonDown_ ? DFCS_PUSHED : 0));
    }
  }
  RestoreDC(useDC, saved);
  if (!drawToDC) ReleaseDC(wnd, useDC);
}

namespace {
void PaintFrameProc(HWND, HDC dc, void* self) {
  static_cast<TTBFloatingWindowParent*>(self)->PaintFrame(true, dc, 7, nullptr);
}
}  // namespace

void TTBFloatingWindowParent::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case kRecheckVisibility:
      if (dockableWindow_) dockableWindow_->UpdateFloatingVisibility();
      return;
    case WM_GETMINMAXINFO: {
      auto& info = *reinterpret_cast<MINMAXINFO*>(message.LParam);
      info.ptMinTrackSize = {1, 1};
      info.ptMaxTrackSize = {32767, 32767};
      message.Result = 0;
      return;
    }
    case ui::CM_SHOWINGCHANGED:
      if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (Showing() && shouldShow_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      return;
    case ui::CM_DIALOGKEY:
      if (message.WParam == VK_ESCAPE && parentForm_ && !(GetKeyState(VK_SHIFT) & 0x8000) &&
          !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
        // The form takes the focus as it does when activated: its active control has it.
        ui::TWinControl* control = parentForm_->ActiveControl();
        if (control && control->CanFocus())
          control->SetFocus();
        else if (parentForm_->HandleAllocated())
          ::SetFocus(parentForm_->Handle());
        message.Result = 1;
        return;
      }
      break;
    case ui::CM_TEXTCHANGED:
      ui::TCustomForm::WndProc(message);
      RepaintFrame(rwCaption);
      return;
    case WM_NCCALCSIZE:
      if (dockableWindow_) {
        RECT& r = *reinterpret_cast<RECT*>(message.LParam);
        TPoint tl, br;
        dockableWindow_->FloatingNCSizes(tl, br);
        r.left += tl.x;
        r.top += tl.y;
        r.right = std::max(r.right - br.x, r.left);
        r.bottom = std::max(r.bottom - br.y, r.top);
        message.Result = 0;
        return;
      }
      break;
    case WM_NCPAINT:
      PaintFrame(false, nullptr, rwFrame | rwCaption | rwCloseButton,
                 reinterpret_cast<HRGN>(message.WParam));
      message.Result = 0;
      return;
    case WM_NCACTIVATE:
      // The frame is ours; keep Windows from drawing its own.
      message.Result = TRUE;
      return;
    case WM_PRINT:
      HandleWMPrint(Handle(), message, PaintFrameProc, this);
      return;
    case WM_PRINTCLIENT:
      HandleWMPrintClient(*this, message);
      return;
    case WM_NCHITTEST: {
      DefaultHandler(message);
      if (message.Result == HTCLIENT) return;
      RECT window;
      GetWindowRect(Handle(), &window);
      message.Result = FloatingHitTest(Frame(), {GET_X_LPARAM(message.LParam) - window.left,
                                                 GET_Y_LPARAM(message.LParam) - window.top});
      return;
    }
    case WM_NCLBUTTONDOWN: {
      if (!dockableWindow_) break;
      const int code = static_cast<int>(message.WParam);
      if (code >= HTLEFT && code <= HTBOTTOMRIGHT) {
        if (dockableWindow_->Resizable())
          dockableWindow_->BeginSizing(static_cast<TTBSizeHandle>(code - HTLEFT));
        return;
      }
      if (code == kHitCloseButton) {
        if (TrackCaptionButton(Handle(), CloseButtonRect(true), DrawCloseProc, this))
          dockableWindow_->Close();
        return;
      }
      if (code == kHitFloatingCaption) {
        POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        ScreenToClient(dockableWindow_->Handle(), &p);
        dockableWindow_->BeginMoving(p.x, p.y);
        return;
      }
      break;
    }
    case WM_NCLBUTTONDBLCLK:
      if (dockableWindow_ && message.WParam == kHitFloatingCaption) {
        dockableWindow_->DoubleClick();
        return;
      }
      break;
    case WM_NCRBUTTONUP:
      if (dockableWindow_)
        SendMessageW(dockableWindow_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()),
                     message.LParam);
      return;
    case WM_CLOSE:
      if (parentForm_) {
        ui::TCustomForm* form = MDIParentOf(*parentForm_);
        if (form && form->HandleAllocated()) SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
      }
      return;
    case WM_ACTIVATE: {
      ui::TCustomForm* form = parentForm_ ? MDIParentOf(*parentForm_) : nullptr;
      const bool active = LOWORD(message.WParam) != WA_INACTIVE;
      if (form && form->HandleAllocated()) {
        SendMessageW(form->Handle(), WM_NCACTIVATE, active ? 1 : 0, 0);
        if (active) {
          if (!IsWindowVisible(Handle())) {
            if (HWND next = NextTopLevelWindow(Handle())) SetActiveWindow(next);
          } else if (reinterpret_cast<HWND>(message.LParam) != form->Handle()) {
            SetActiveWindow(form->Handle());
          }
        }
      }
      message.Result = 0;
      return;
    }
    case WM_MOUSEACTIVATE: {
      SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (dockableWindow_ &&
          dockableWindow_->FloatingMode() == TTBFloatingMode::fmOnTopOfParentForm &&
          dockableWindow_->ActivateParent() && parentForm_ && GetActiveWindow() != Handle()) {
        ui::TCustomForm* form = MDIParentOf(*parentForm_);
        if (form && form->HandleAllocated()) {
          SetActiveWindow(form->Handle());
          if (form != parentForm_ && parentForm_->HandleAllocated())
            SetWindowPos(parentForm_->Handle(), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
      }
      message.Result = MA_NOACTIVATE;
      return;
    }
    case WM_MOVE:
      ui::TCustomForm::WndProc(message);
      if (dockableWindow_ && dockableWindow_->Floating()) {
        dockableWindow_->floatingPosition_ = {Left(), Top()};
        dockableWindow_->moved_ = true;
        if (dockableWindow_->disableOnMove_ < 1 && dockableWindow_->OnMove)
          dockableWindow_->OnMove(dockableWindow_);
      }
      return;
    case WM_WINDOWPOSCHANGED: {
      ui::TCustomForm::WndProc(message);
      // A new size moves the caption's close button and stretches its gradient: the whole
      // frame is drawn again once the move is complete (Wine copies the old frame's pixels over
      // what the frame paint sent during the move drew).
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
      if (pos && !(pos->flags & SWP_NOSIZE) && IsWindowVisible(Handle()))
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return;
    }
    default:
      break;
  }
  ui::TCustomForm::WndProc(message);
}

}  // namespace tb
