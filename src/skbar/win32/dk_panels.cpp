#include "skbar/win32/dk_panels.h"

#include <windowsx.h>

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_drag.h"
#include "skbar/win32/skin_controls.h"
#include "ui/errors.h"
#include "ui/strings.h"

namespace skbar {

namespace {

std::string Narrow(std::wstring_view text) {
  return std::string(text.begin(), text.end());
}

tb::TTBDockPosition FrameworkPosition(TSkBarDockPosition p) {
  switch (p) {
    case TSkBarDockPosition::dpxTop:
      return tb::TTBDockPosition::dpTop;
    case TSkBarDockPosition::dpxBottom:
      return tb::TTBDockPosition::dpBottom;
    case TSkBarDockPosition::dpxLeft:
      return tb::TTBDockPosition::dpLeft;
    default:
      return tb::TTBDockPosition::dpRight;
  }
}

// The frame a docked panel has along and across its dock (both sides together).
constexpr int kDockedFrame = 4;

}  // namespace

// TSkBarCustomMultiDock

TSkBarCustomMultiDock::TSkBarCustomMultiDock(ui::TComponent* owner) : TTBDock(owner) {
  tb::TTBDock::SetLimitToOneRow(true);
  SetPosition(TSkBarDockPosition::dpxLeft);
  tb::TTBDock::OnInsertRemoveBar = [this](ui::TComponent*, bool inserting,
                                          tb::TTBCustomDockableWindow* bar) {
    InsertRemove(inserting, bar);
  };
  tb::TTBDock::OnRequestDock = [this](ui::TComponent*, tb::TTBCustomDockableWindow* bar,
                                      bool& accept) {
    accept = dynamic_cast<TSkBarCustomDockablePanel*>(bar) != nullptr;
    if (accept && OnRequestDock) OnRequestDock(this, bar, accept);
  };
}

void TSkBarCustomMultiDock::BeforeDestruction() noexcept {
  tb::TTBDock::OnInsertRemoveBar = nullptr;
  tb::TTBDock::OnRequestDock = nullptr;
  TTBDock::BeforeDestruction();
}

void TSkBarCustomMultiDock::Loaded() {
  TTBDock::Loaded();
  if (AutoSplitterVisibility && DockList().empty())
    if (TSkBarCustomSplitter* s = Splitter()) s->Hide();
  ArrangeToolbars();
}

void TSkBarCustomMultiDock::Notification(ui::TComponent* component, ui::TOperation operation) {
  if (operation == ui::TOperation::opRemove)
    if (auto* panel = dynamic_cast<TSkBarCustomDockablePanel*>(component)) Forget(panel);
  TTBDock::Notification(component, operation);
}

void TSkBarCustomMultiDock::SetPosition(TSkBarDockPosition position) {
  if (!DockList().empty())
    throw ui::EInvalidOperation(
        "Cannot change Position of a TTBDock if it already contains controls");
  position_ = position;
  TTBDock::SetPosition(FrameworkPosition(position));
  if (position == TSkBarDockPosition::dpxClient) SetAlign(ui::TAlign::alClient);
  ArrangeToolbars();
}

TSkBarCustomSplitter* TSkBarCustomMultiDock::Splitter() {
  ui::TWinControl* parent = Parent();
  if (!parent) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* s = dynamic_cast<TSkBarCustomSplitter*>(parent->Controls(i));
    if (s && s->Align() == Align()) return s;
  }
  return nullptr;
}

void TSkBarCustomMultiDock::InsertRemove(bool inserting, tb::TTBCustomDockableWindow* bar) {
  if (inserting && !dynamic_cast<TSkBarCustomDockablePanel*>(bar))
    throw ui::EInvalidOperation("Cannot insert " + Narrow(bar->ClassName()) + " into MultiDock");
  if (AutoSplitterVisibility) {
    if (TSkBarCustomSplitter* s = Splitter()) {
      const bool empty = DockVisibleList().empty();
      if (!inserting && empty) {
        s->Hide();
      } else if (inserting && DockVisibleList().size() == 1 && !s->Visible()) {
        // Next to the dock: one pixel beyond its inner edge, where the alignment keeps it.
        if (Width() > 0 && Height() > 0) {
          const ui::TRect b = BoundsRect();
          switch (s->Align()) {
            case ui::TAlign::alLeft:
              s->SetLeft(b.right + 1);
              break;
            case ui::TAlign::alRight:
              s->SetLeft(b.left - s->Width() - 1);
              break;
            case ui::TAlign::alTop:
              s->SetTop(b.bottom + 1);
              break;
            case ui::TAlign::alBottom:
              s->SetTop(b.top - s->Height() - 1);
              break;
            default:
              break;
          }
        }
        s->Show();
        if (Parent()) Parent()->Realign();
      }
    }
  }
  if (!inserting) {
    FitPanels();
  } else if (auto* panel = dynamic_cast<TSkBarCustomDockablePanel*>(bar);
             panel && !panel->docking_) {
    // Shown again: back at its place with the length it had (docking places it itself).
    PlacePanel(panel);
  }
  if (OnInsertRemoveBar) OnInsertRemoveBar(this, inserting, bar);
}

void TSkBarCustomMultiDock::SetBounds(int left, int top, int width, int height) {
  if (!redistributing_) {
    // The panels take the new thickness first: the dock keeps the thickness of its rows.
    const int thickness =
        IsVertical() ? width - (Width() - ClientWidth()) : height - (Height() - ClientHeight());
    std::vector<TSkBarCustomDockablePanel*> panels;
    GetDockablePanelList(panels);
    for (TSkBarCustomDockablePanel* p : panels) p->crossSize_ = thickness;
  }
  TTBDock::SetBounds(left, top, width, height);
  if (!redistributing_) FitPanels();
}

void TSkBarCustomMultiDock::AlignControls(const ui::TRect& client) {
  TTBDock::AlignControls(client);
  if (position_ == TSkBarDockPosition::dpxClient) FitPanels();
}

void TSkBarCustomMultiDock::GetDockablePanelList(
    std::vector<TSkBarCustomDockablePanel*>& list) const {
  list.clear();
  // The shown panels only: a hidden panel takes no length of the dock (it keeps its place in
  // order_ for when it is shown again).
  for (tb::TTBCustomDockableWindow* bar : DockVisibleList())
    if (auto* p = dynamic_cast<TSkBarCustomDockablePanel*>(bar)) list.push_back(p);
  std::stable_sort(list.begin(), list.end(),
                   [](auto* a, auto* b) { return a->DockPos() < b->DockPos(); });
}

bool TSkBarCustomMultiDock::GetDockablePanelDockIndex(
    const std::vector<TSkBarCustomDockablePanel*>& list, const TSkBarCustomDockablePanel* panel,
    int& index) {
  const auto at = std::find(list.begin(), list.end(), panel);
  index = at == list.end() ? -1 : static_cast<int>(at - list.begin());
  return index >= 0;
}

TPanelStack TSkBarCustomMultiDock::Stack(
    const std::vector<TSkBarCustomDockablePanel*>& panels) const {
  TPanelStack stack(IsVertical());
  stack.SideDock =
      position_ == TSkBarDockPosition::dpxLeft || position_ == TSkBarDockPosition::dpxRight;
  for (TSkBarCustomDockablePanel* p : panels) {
    stack.Panels.push_back({.Length = p->length_,
                            .MinLength = p->CaptionHeight() + kDockedFrame,
                            .Sizable = p->Resizable(),
                            .FixedDockedSize = p->FixedDockedSize,
                            .TaskPaneStyleResize = p->Options().TaskPaneStyleResize,
                            .State = p->state_,
                            .RestoreSize = p->restoreSize_,
                            .DockPos = p->DockPos(),
                            .Wanted = p->wantedLength_,
                            .Kept = p->keptInDock_});
  }
  return stack;
}

void TSkBarCustomMultiDock::Apply(const TPanelStack& stack,
                                  const std::vector<TSkBarCustomDockablePanel*>& panels) {
  // The places the panels held in the dock's order take them in their new order; hidden
  // panels keep theirs. A panel still coming in gets its place when it is placed.
  const auto held = [this](TSkBarCustomDockablePanel* p) {
    return std::find(order_.begin(), order_.end(), p) != order_.end();
  };
  if (std::all_of(panels.begin(), panels.end(), held)) {
    std::size_t next = 0;
    for (TSkBarCustomDockablePanel*& slot : order_)
      if (std::find(panels.begin(), panels.end(), slot) != panels.end()) slot = panels[next++];
  }
  const bool was = redistributing_;
  redistributing_ = true;
  BeginUpdate();
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const TStackPanel& s = stack.Panels[i];
    TSkBarCustomDockablePanel* p = panels[i];
    p->length_ = s.Length;
    p->wantedLength_ = s.Wanted;
    p->keptInDock_ = s.Kept;
    p->state_ = s.State;
    p->restoreSize_ = s.RestoreSize;
    p->SetDockPos(s.DockPos);
  }
  EndUpdate();
  ArrangeToolbars();
  redistributing_ = was;
}

void TSkBarCustomMultiDock::UpdateDockablePanelsDockPos() {
  std::vector<TSkBarCustomDockablePanel*> panels;
  GetDockablePanelList(panels);
  TPanelStack stack = Stack(panels);
  stack.UpdateDockPos();
  Apply(stack, panels);
}

int TSkBarCustomMultiDock::MinThickness() {
  const int frame = IsVertical() ? Width() - ClientWidth() : Height() - ClientHeight();
  return frame + (DockVisibleList().empty() ? 0 : kDockedFrame);
}

void TSkBarCustomMultiDock::PlacePanel(TSkBarCustomDockablePanel* panel) {
  std::vector<TSkBarCustomDockablePanel*> panels;
  GetDockablePanelList(panels);
  std::erase(panels, panel);
  TPanelStack stack = Stack(panels);
  TStackPanel me = Stack({panel})[0];
  me.Length = me.Wanted;  // the length it had while the dock had room for it
  const auto slot = std::find(order_.begin(), order_.end(), panel);
  int i = 0;
  if (slot != order_.end()) {
    // Shown again: after the shown panels that come before it in the dock.
    for (auto k = order_.begin(); k != slot; ++k)
      i += static_cast<int>(std::count(panels.begin(), panels.end(), *k));
  } else {
    i = stack.PlaceOf(me.DockPos);
    order_.insert(i < static_cast<int>(panels.size())
                      ? std::find(order_.begin(), order_.end(), panels[static_cast<std::size_t>(i)])
                      : order_.end(),
                  panel);
  }
  stack.Insert(i, me);
  panels.insert(panels.begin() + i, panel);
  stack.FitToDock(Length(), i);
  Apply(stack, panels);
}

void TSkBarCustomMultiDock::FitPanels() {
  std::vector<TSkBarCustomDockablePanel*> panels;
  GetDockablePanelList(panels);
  if (panels.empty() || redistributing_) return;
  TPanelStack stack = Stack(panels);
  if (stack.DockPosMoved())
    stack.LengthsFromDockPos(Length());
  else
    stack.FitToDock(Length());
  Apply(stack, panels);
}

// TSkBarCustomDockablePanel

TSkBarCustomDockablePanel::TSkBarCustomDockablePanel(ui::TComponent* owner)
    : TSkBarCustomToolWindow(owner) {
  SetStretch(true);
  SetDragHandleStyle(tb::TTBDragHandleStyle::dhNone);
  SetCloseButtonWhenDocked(false);
  SetBounds(0, 0, 150, 150);
  MinClientWidth = 0;
}

void TSkBarCustomDockablePanel::CreateParams(TCreateParams& params) {
  TSkBarCustomToolWindow::CreateParams(params);
  params.style |= WS_CLIPCHILDREN;
}

tb::TTBFloatingWindowParent* TSkBarCustomDockablePanel::CreateFloatingParent() {
  auto* form =
      static_cast<TSkBarFloatingWindowParent*>(TSkBarCustomToolWindow::CreateFloatingParent());
  form->CloseHostedWindow = true;
  return form;
}

TSkBarCustomMultiDock* TSkBarCustomDockablePanel::MultiDock() const {
  return Docked() ? dynamic_cast<TSkBarCustomMultiDock*>(CurrentDock()) : nullptr;
}

void TSkBarCustomDockablePanel::SetParent(ui::TWinControl* parent) {
  auto* dock = dynamic_cast<tb::TTBDock*>(parent);
  auto* multiDock = dynamic_cast<TSkBarCustomMultiDock*>(parent);
  if (dock && !multiDock)
    throw ui::EInvalidOperation("Cannot insert " + Narrow(ClassName()) + " into " +
                                Narrow(dock->ClassName()) + ". Place it on a MultiDock instead");
  // Never a plain child of a form: float (or dock by default) instead.
  if (parent && !dock && !dynamic_cast<tb::TTBFloatingWindowParent*>(parent) && !BeingDestroyed() &&
      !Loading()) {
    if (DockMode() == tb::TTBDockMode::dmCanFloat || !DefaultDock())
      SetFloating(true);
    else
      SetCurrentDock(DefaultDock());
    return;
  }
  TSkBarCustomMultiDock* oldDock = MultiDock();
  const int former = oldDock && !oldDock->IsVertical() ? Width() : Height();
  if (Floating() && parent != FloatParent()) floatingClient_ = {ClientWidth(), ClientHeight()};
  // Floated for the first time while minimised: it opens at the length it had before.
  if (dynamic_cast<tb::TTBFloatingWindowParent*>(parent) && floatingClient_.x < 1 &&
      state_ == TPanelWindowState::wsMinimized && restoreSize_ > 0)
    floatingClient_ = {ClientWidth(), restoreSize_};
  if (multiDock != oldDock) keptInDock_ = false;
  bool appended = false, placed = false;
  if (multiDock && multiDock != oldDock) {
    std::vector<TSkBarCustomDockablePanel*> panels;
    multiDock->GetDockablePanelList(panels);
    // An empty dock is as thin as its rows; the panel brings its own thickness then.
    crossSize_ =
        panels.empty() ? std::max(crossSize_, multiDock->Thickness()) : multiDock->Thickness();
    if (panels.empty()) {
      length_ = wantedLength_ = DefaultDockedSize > 0 ? DefaultDockedSize : former;
    } else if (DockPos() < 0) {
      appended = true;
      length_ = wantedLength_ = 0;
      SetDockPos(multiDock->Length());
    } else {
      placed = true;
    }
  }
  {
    struct Docking {
      bool& flag;
      ~Docking() { flag = false; }
    } docking{docking_ = true};
    TSkBarCustomToolWindow::SetParent(parent);
  }
  if (oldDock && oldDock != multiDock) {
    oldDock->Forget(this);
    oldDock->FitPanels();
  }
  // Into an empty dock, or appended: after every panel there, hidden ones included.
  if (multiDock && multiDock != oldDock && !placed) multiDock->order_.push_back(this);
  if (appended) {
    std::vector<TSkBarCustomDockablePanel*> panels;
    multiDock->GetDockablePanelList(panels);
    TPanelStack stack = multiDock->Stack(panels);
    if (int i; TSkBarCustomMultiDock::GetDockablePanelDockIndex(panels, this, i)) {
      stack.ChangeDockedSize(i, former, 4);
      stack[i].Length = std::max(stack[i].Length, stack[i].MinLength);
      stack.SettleLengths();
      stack.FitToDock(multiDock->Length());
      multiDock->Apply(stack, panels);
    }
  } else if (placed) {
    multiDock->PlacePanel(this);
  } else if (multiDock) {
    multiDock->FitPanels();
  }
  ReorientCaption();
  options_->RefreshIcons();
  Invalidate();
}

void TSkBarCustomDockablePanel::CalcLayoutSize(bool, tb::TTBDockType dockType, bool floating,
                                               tb::TTBDock*, tb::TPoint& newSize) {
  if (floating || dockType == tb::TTBDockType::dtFloating ||
      dockType == tb::TTBDockType::dtNotDocked) {
    newSize = floatingClient_.x > 0 ? floatingClient_ : tb::TPoint{ClientWidth(), ClientHeight()};
    newSize.y = std::max(newSize.y, CaptionHeight());
    return;
  }
  tb::TPoint frame;
  GetDockedFrameSize(frame);
  const int cross = std::max(crossSize_ - frame.x, 0);
  const int along = std::max(length_ - frame.y, 0);
  newSize = dockType == tb::TTBDockType::dtLeftRight ? tb::TPoint{cross, along}
                                                     : tb::TPoint{along, cross};
}

// The dock lays its windows out by this size: the stack's length and the dock's thickness.
void TSkBarCustomDockablePanel::GetCurrentClientSize(tb::TPoint& size) {
  CalcLayoutSize(false, DockType(), Floating(), CurrentDock(), size);
}

void TSkBarCustomDockablePanel::GetMinMaxSize(tb::TPoint& minSize, tb::TPoint&) {
  minSize = IsVerticalTitleBar() ? tb::TPoint{CaptionHeight(), 0} : tb::TPoint{0, CaptionHeight()};
}

void TSkBarCustomDockablePanel::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth,
                                                  int& maxHeight) {
  tb::TPoint minSize, maxSize;
  GetMinMaxSize(minSize, maxSize);
  const int frameX = Width() - ClientWidth(), frameY = Height() - ClientHeight();
  minWidth = minSize.x > 0 ? minSize.x + frameX : 0;
  minHeight = minSize.y > 0 ? minSize.y + frameY : 0;
  maxWidth = maxSize.x > 0 ? maxSize.x + frameX : 0;
  maxHeight = maxSize.y > 0 ? maxSize.y + frameY : 0;
  TSkBarCustomMultiDock* dock = MultiDock();
  if (!dock) return;
  // The sizes the dock gave it: the window follows the stack, never the other way round.
  const bool vertical = dock->IsVertical();
  if (!dock->Redistributing())
    (vertical ? minWidth : minHeight) = (vertical ? maxWidth : maxHeight) = crossSize_;
  if (FixedDockedSize && !sizing_)
    (vertical ? minHeight : minWidth) = (vertical ? maxHeight : maxWidth) = length_;
}

void TSkBarCustomDockablePanel::SetBounds(int left, int top, int width, int height) {
  int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
  if (HandleAllocated()) ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
  if (maxWidth > 0) width = std::min(width, maxWidth);
  if (maxHeight > 0) height = std::min(height, maxHeight);
  TSkBarCustomToolWindow::SetBounds(left, top, std::max(width, minWidth),
                                    std::max(height, minHeight));
  // Sized beyond its caption bar (a floating form pulled open, say), a minimised panel is
  // minimised no longer; the dock's own sharing out keeps the states it sets.
  const TSkBarCustomMultiDock* dock = MultiDock();
  if (state_ == TPanelWindowState::wsMinimized && !(dock && dock->Redistributing()) &&
      (IsVerticalTitleBar() ? ClientWidth() : ClientHeight()) > CaptionHeight()) {
    state_ = TPanelWindowState::wsNormal;
    options_->RefreshIcons();
    FireWindowStateChanged(state_);
  }
}

void TSkBarCustomDockablePanel::InvalidateBackground(bool invalidateChildren) {
  if (!HandleAllocated()) return;
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  if (!invalidateChildren) return;
  for (int i = 0; i < ControlCount(); ++i) {
    auto* child = dynamic_cast<ui::TWinControl*>(Controls(i));
    if (!child || !child->Visible() || !child->HandleAllocated()) continue;
    if (child->ClassName() == L"TPanel")
      RedrawWindow(child->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    else
      PostMessageW(child->Handle(), WM_SKBARINVALIDATEBACKGROUND,
                   static_cast<WPARAM>(child->Width()), static_cast<LPARAM>(child->Height()));
  }
}

void TSkBarCustomDockablePanel::ReadPositionData(const tb::TTBPositionReader& reader) {
  TSkBarCustomToolWindow::ReadPositionData(reader);
  if (!reader.ReadInteger) return;
  const std::wstring& name = Name();
  floatingClient_ = {
      BoundStoredClientSize(reader.ReadInteger(name, L"FloatingClientWidth", floatingClient_.x)),
      BoundStoredClientSize(reader.ReadInteger(name, L"FloatingClientHeight", floatingClient_.y))};
  // Below 1: no floating size stored.
  if (floatingClient_.x < 1 || floatingClient_.y < 1) floatingClient_ = {0, 0};
  restoreSize_ = BoundStoredClientSize(reader.ReadInteger(name, L"RestoreSize", restoreSize_));
  const int state = reader.ReadInteger(name, L"State", static_cast<int>(state_));
  readState_ = state >= 0 && state <= 2 ? static_cast<TPanelWindowState>(state)
                                        : TPanelWindowState::wsNormal;
}

void TSkBarCustomDockablePanel::WritePositionData(const tb::TTBPositionWriter& writer) {
  TSkBarCustomToolWindow::WritePositionData(writer);
  if (!writer.WriteInteger) return;
  const std::wstring& name = Name();
  const tb::TPoint floating =
      Floating() ? tb::TPoint{ClientWidth(), ClientHeight()} : floatingClient_;
  writer.WriteInteger(name, L"FloatingClientWidth", floating.x);
  writer.WriteInteger(name, L"FloatingClientHeight", floating.y);
  writer.WriteInteger(name, L"RestoreSize", restoreSize_);
  writer.WriteInteger(name, L"State", static_cast<int>(state_));
}

void TSkBarCustomDockablePanel::DoneReadingPositionData(const tb::TTBPositionReader& reader) {
  TSkBarCustomToolWindow::DoneReadingPositionData(reader);
  if (Floating() && readState_ == TPanelWindowState::wsMinimized &&
      state_ != TPanelWindowState::wsMinimized) {
    const tb::TPoint client{ClientWidth(), ClientHeight()};
    if (restoreSize_ < 1) restoreSize_ = client.y;
    state_ = TPanelWindowState::wsMinimized;
    floatingClient_ = {client.x, CaptionHeight()};
    SetBounds(Left(), Top(), Width(), Height() - client.y + floatingClient_.y);
    Arrange();
  }
  options_->RefreshIcons();
  Invalidate();
}

bool TSkBarCustomDockablePanel::IsVerticalTitleBar() const {
  const TSkBarCustomMultiDock* dock = MultiDock();
  return showVerticalCaption_ && dock && !dock->IsVertical();
}

void TSkBarCustomDockablePanel::SetShowVerticalCaption(bool value) {
  if (value == showVerticalCaption_) return;
  showVerticalCaption_ = value;
  ReorientCaption();
  if (TSkBarCustomMultiDock* dock = MultiDock()) dock->FitPanels();
  Invalidate();
}

// Reads the thread's messages with the mouse captured until release, another press, Escape,
// WM_QUIT (posted again), a failed read or lost capture; each move of the cursor, and each
// press or release of Ctrl, goes to `moved` (screen coordinates). `flag` is set while it runs.
void TSkBarCustomDockablePanel::CaptureLoop(bool& flag, const std::function<void(POINT)>& moved) {
  struct Capture {
    bool& flag;
    ~Capture() {
      flag = false;
      ReleaseCapture();
    }
  } capture{flag};
  flag = true;
  SetCapture(Handle());
  POINT last;
  GetCursorPos(&last);
  MSG msg;
  while (SkNextCapturedMessage(Handle(), msg)) {
    if (msg.message == WM_MOUSEMOVE) {
      POINT at;
      GetCursorPos(&at);
      if (at.x == last.x && at.y == last.y) continue;
      last = at;
      moved(at);
      if (HandleAllocated()) SetCapture(Handle());  // a new parent may have made a new window
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_LBUTTONDOWN ||
        msg.message == WM_RBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
      break;
    // Ctrl pressed or released decides afresh where the panel goes, without a move.
    if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
      if (msg.message == WM_KEYUP || !(msg.lParam & (1 << 30))) {
        GetCursorPos(&last);
        moved(last);
      }
      if (HandleAllocated()) SetCapture(Handle());
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TSkBarCustomDockablePanel::MoveLoop() {
  SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
  CaptureLoop(moving_, [this](POINT at) { MoveStep(at); });
}

namespace {

bool Inside(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT ScreenRect(ui::TWinControl& c) {
  RECT r;
  GetWindowRect(c.Handle(), &r);
  return r;
}

// The visible multi-docks among a form's windowed controls (not inside docks).
void CollectMultiDocks(ui::TWinControl& parent, std::vector<TSkBarCustomMultiDock*>& out) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    auto* w = dynamic_cast<ui::TWinControl*>(parent.Controls(i));
    if (!w || !w->Showing()) continue;
    if (auto* d = dynamic_cast<TSkBarCustomMultiDock*>(w))
      out.push_back(d);
    else if (!dynamic_cast<tb::TTBDock*>(w))
      CollectMultiDocks(*w, out);
  }
}

}  // namespace

TSkBarCustomMultiDock* TSkBarCustomDockablePanel::DockUnder(POINT at) {
  tb::TTBDock* home = LastDock() ? LastDock() : DefaultDock();
  std::vector<TSkBarCustomMultiDock*> docks;
  if (auto* own = dynamic_cast<TSkBarCustomMultiDock*>(home)) docks.push_back(own);
  if (ui::TCustomForm* form = home ? home->ParentForm() : nullptr) CollectMultiDocks(*form, docks);
  for (ui::TCustomForm* form : dockForms_) CollectMultiDocks(*form, docks);
  for (TSkBarCustomMultiDock* d : docks) {
    if (!d->Showing() || !d->AllowDrag() || !d->HandleAllocated() ||
        !(DockableTo() & tb::DockableBit(d->TTBDock::Position())))
      continue;
    const RECT w = ScreenRect(*d);
    const ui::TRect zone = DockDropZone({w.left, w.top, w.right, w.bottom}, d->Position());
    if (Inside({zone.left, zone.top, zone.right, zone.bottom}, at) && d->RequestDock(this))
      return d;
  }
  return nullptr;
}

bool TSkBarCustomDockablePanel::DockInto(POINT at) {
  TSkBarCustomMultiDock* to = DockUnder(at);
  if (!to) return false;
  // At the middle of the panel under the cursor: it docks just after that panel.
  std::vector<TSkBarCustomDockablePanel*> panels;
  to->GetDockablePanelList(panels);
  const RECT w = ScreenRect(*to);
  const int along = to->IsVertical() ? at.y - w.top : at.x - w.left;
  int pos = along;
  for (TSkBarCustomDockablePanel* p : panels)
    if (along >= p->DockPos() && along < p->DockPos() + p->length_)
      pos = p->DockPos() + p->length_ / 2;
  SetDockPos(pos);
  SetCurrentDock(to);
  return true;
}

void TSkBarCustomDockablePanel::MoveStep(POINT at) {
  if (TSkBarCustomMultiDock* dock = MultiDock()) {
    std::vector<TSkBarCustomDockablePanel*> panels;
    dock->GetDockablePanelList(panels);
    if (Inside(ScreenRect(*dock), at)) {
      // Trade places with the panel whose caption bar is under the cursor.
      int i;
      if (!TSkBarCustomMultiDock::GetDockablePanelDockIndex(panels, this, i)) return;
      for (std::size_t j = 0; j < panels.size(); ++j) {
        TSkBarCustomDockablePanel* p = panels[j];
        if (p == this) continue;
        POINT local = at;
        ScreenToClient(p->Handle(), &local);
        const TRect c = p->CaptionRect();
        if (local.x < c.left || local.x >= c.right || local.y < c.top || local.y >= c.bottom)
          continue;
        TPanelStack stack = dock->Stack(panels);
        stack.Swap(i, static_cast<int>(j));
        std::swap(panels[static_cast<std::size_t>(i)], panels[j]);
        dock->Apply(stack, panels);
        return;
      }
      return;
    }
    if (DockMode() != tb::TTBDockMode::dmCanFloat) {
      // A panel that may change docks but not float is offered the dock under the cursor.
      if (DockMode() != tb::TTBDockMode::dmCannotFloat || !DockInto(at))
        SetCursor(LoadCursorW(nullptr, IDC_NO));
      return;
    }
    SetFloating(true);
  }
  if (!Floating() || !FloatParent()) return;
  if (DockMode() != tb::TTBDockMode::dmCanFloat) {
    SetCursor(LoadCursorW(nullptr, IDC_NO));
    return;
  }
  if (!(GetKeyState(VK_CONTROL) & 0x8000) && DockInto(at)) return;
  // The caption follows the cursor, held within the monitor's work area.
  MONITORINFO info{sizeof info, {}, {}, 0};
  GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
  at.x = std::clamp(at.x, info.rcWork.left, info.rcWork.right - 1);
  at.y = std::clamp(at.y, info.rcWork.top, info.rcWork.bottom - 1);
  ui::TCustomForm* f = FloatParent();
  f->SetBounds(at.x - f->Width() / 2, at.y - 10, f->Width(), f->Height());
}

void TSkBarCustomDockablePanel::ToggleDocking() {
  if (Floating()) {
    tb::TTBDock* to = LastDock() ? LastDock() : DefaultDock();
    if (to) SetCurrentDock(to);
  } else if (Docked() && DockMode() == tb::TTBDockMode::dmCanFloat) {
    SetFloating(true);
  }
}

bool TSkBarCustomDockablePanel::ChangeState(bool (TPanelStack::*operation)(int),
                                            TPanelWindowState wanted) {
  if (Floating()) {
    // Floating: minimised shows the caption bar only; restoring gives the height back.
    using enum TPanelWindowState;
    if (wanted == wsMaximized || state_ == wanted || (wanted == wsNormal && state_ != wsMinimized))
      return false;
    const tb::TPoint client{ClientWidth(), ClientHeight()};
    if (wanted == wsMinimized) restoreSize_ = client.y;
    floatingClient_ = {client.x, wanted == wsMinimized ? CaptionHeight() : restoreSize_};
    state_ = wanted;
    SetBounds(Left(), Top(), Width() - client.x + floatingClient_.x,
              Height() - client.y + floatingClient_.y);
    Arrange();
    options_->RefreshIcons();
    FireWindowStateChanged(state_);
    return true;
  }
  TSkBarCustomMultiDock* dock = MultiDock();
  if (!dock) return false;
  std::vector<TSkBarCustomDockablePanel*> panels;
  dock->GetDockablePanelList(panels);
  int i;
  if (!TSkBarCustomMultiDock::GetDockablePanelDockIndex(panels, this, i)) return false;
  if (panels.size() == 1 && !dock->IsVertical()) return ChangeLoneState(*dock, wanted);
  TPanelStack stack = dock->Stack(panels);
  if (!(stack.*operation)(i)) return false;
  dock->Apply(stack, panels);
  for (TSkBarCustomDockablePanel* p : panels) p->options_->RefreshIcons();
  FireWindowStateChanged(state_);
  return true;
}

// Alone in a dock stacking left to right, the panel minimises across the dock: the dock
// narrows to its caption bar, and restoring gives the height back.
bool TSkBarCustomDockablePanel::ChangeLoneState(TSkBarCustomMultiDock& dock,
                                                TPanelWindowState wanted) {
  using enum TPanelWindowState;
  if (wanted == wsMaximized || IsVerticalTitleBar() ||
      (wanted == wsMinimized) == (state_ == wsMinimized))
    return false;
  const int minimised = CaptionHeight() + kDockedFrame;
  if (wanted == wsMinimized) {
    if (Height() > minimised) restoreSize_ = Height();
    crossSize_ = minimised;
  } else {
    crossSize_ = std::max(restoreSize_, minimised);
  }
  state_ = wanted;
  dock.ArrangeToolbars();
  options_->RefreshIcons();
  FireWindowStateChanged(state_);
  return true;
}

bool TSkBarCustomDockablePanel::Minimize() {
  return ChangeState(&TPanelStack::Minimize, TPanelWindowState::wsMinimized);
}
bool TSkBarCustomDockablePanel::Maximize() {
  return ChangeState(&TPanelStack::Maximize, TPanelWindowState::wsMaximized);
}
bool TSkBarCustomDockablePanel::Restore() {
  return ChangeState(&TPanelStack::Restore, TPanelWindowState::wsNormal);
}
bool TSkBarCustomDockablePanel::SizeToggle(bool maximize) {
  if ((state_ == TPanelWindowState::wsMinimized && !maximize) ||
      (state_ == TPanelWindowState::wsMaximized && maximize))
    return Restore();
  return maximize ? Maximize() : Minimize();
}

int TSkBarCustomDockablePanel::EdgeHitTest(POINT screen) {
  TSkBarCustomMultiDock* dock = MultiDock();
  if (!dock || !dock->AllowDrag() || !HandleAllocated()) return 0;
  std::vector<TSkBarCustomDockablePanel*> panels;
  dock->GetDockablePanelList(panels);
  int i;
  if (!TSkBarCustomMultiDock::GetDockablePanelDockIndex(panels, this, i)) return 0;
  RECT w;
  GetWindowRect(Handle(), &w);
  TPanelStack stack = dock->Stack(panels);
  stack[i].Length = dock->IsVertical() ? w.bottom - w.top : w.right - w.left;
  return stack.EdgeHitTest(i, dock->IsVertical() ? screen.y - w.top : screen.x - w.left);
}

void TSkBarCustomDockablePanel::SizingLoop(int hitCode, POINT start) {
  TSkBarCustomMultiDock* dock = MultiDock();
  if (!dock || sizing_) return;
  std::vector<TSkBarCustomDockablePanel*> panels;
  dock->GetDockablePanelList(panels);
  int i;
  if (!TSkBarCustomMultiDock::GetDockablePanelDockIndex(panels, this, i)) return;
  TPanelStack probe = dock->Stack(panels);
  const int target = probe.EdgeDragTarget(i, hitCode);
  if (target < 0) return;
  const int startLength = panels[static_cast<std::size_t>(target)]->length_;
  CaptureLoop(sizing_, [&](POINT at) {
    const int travel = dock->IsVertical() ? at.y - start.y : at.x - start.x;
    TPanelStack stack = dock->Stack(panels);
    if (stack.ChangeDockedSize(target, startLength + travel, 3)) dock->Apply(stack, panels);
  });
}

void TSkBarCustomDockablePanel::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_SKINCHANGE:
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    case WM_NCHITTEST:
      if (!sizing_) {
        const int code = EdgeHitTest({GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
        if (code) {
          message.Result = code;
          return;
        }
      }
      break;
    case WM_SETCURSOR: {
      const int code = LOWORD(message.LParam);
      if (code >= htPanelLeft && code <= htPanelBottom) {
        SetCursor(LoadCursorW(nullptr, code <= htPanelRight ? IDC_SIZEWE : IDC_SIZENS));
        message.Result = TRUE;
        return;
      }
      break;
    }
    case WM_NCLBUTTONDOWN:
      if (message.WParam == htPanelMove) {
        if (Movable()) MoveLoop();
        return;
      }
      if (message.WParam >= htPanelLeft && message.WParam <= htPanelBottom) {
        SizingLoop(static_cast<int>(message.WParam),
                   {GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
        return;
      }
      break;
    default:
      break;
  }
  TSkBarCustomToolWindow::WndProc(message);
}

}  // namespace skbar
