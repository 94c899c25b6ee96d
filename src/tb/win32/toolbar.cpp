#include "tb/win32/toolbar.h"

#include <algorithm>
#include <vector>

#include "tb/published.h"
#include "tb/win32/acc.h"
#include "tb/win32/common.h"
#include "tb/win32/modal_handler.h"
#include "tb/win32/popup.h"
#include "tb/win32/toolbar_font.h"
#include "ui/boolean_prop.h"
#include "ui/win32/mdi.h"

namespace tb {

namespace {

// Posted to re-arrange after a change of width.
constexpr UINT kArrangeMessage = WM_APP + 0x125;

// Toolbars registered with the application's main window (GUI thread only).
std::vector<TTBCustomToolbar*>& HookedToolbars() {
  static std::vector<TTBCustomToolbar*> toolbars;
  return toolbars;
}

// The form a toolbar belongs to: a floating toolbar's is the form its floating form serves.
ui::TCustomForm* ToolbarForm(TTBCustomToolbar& toolbar) {
  ui::TCustomForm* form = toolbar.ParentForm();
  if (auto* floating = dynamic_cast<TTBFloatingWindowParent*>(form)) form = floating->ParentForm();
  return form;
}

ui::TCustomForm* FormOfWindow(HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    if (auto* form = dynamic_cast<ui::TCustomForm*>(ui::TWinControl::FromHandle(wnd))) return form;
  }
  return nullptr;
}

// The active MDI child form of an MDI form; null for another form or when none is active.
ui::TCustomForm* ActiveMDIChildOf(ui::TCustomForm& form) {
  const HWND client = ui::MDIClientOf(form);
  if (!client) return nullptr;
  const auto active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
  return active ? dynamic_cast<ui::TCustomForm*>(ui::TWinControl::FromHandle(active)) : nullptr;
}

// Sends the system command to the showing controls under `parent` that take menu events,
// depth first; the first non-zero answer ends the walk.
LRESULT SendSysCommand(ui::TWinControl& parent, WPARAM wParam, LPARAM lParam) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    auto* control = dynamic_cast<ui::TWinControl*>(parent.Controls(i));
    if (!control || !control->Showing()) continue;
    if (control->ControlStyle() & ui::csMenuEvents) {
      if (const LRESULT result = control->Perform(WM_SYSCOMMAND, wParam, lParam)) return result;
    }
    if (const LRESULT result = SendSysCommand(*control, wParam, lParam)) return result;
  }
  return 0;
}

}  // namespace

TTBCustomToolbar::TTBCustomToolbar(ui::TComponent* owner)
    : TTBCustomDockableWindow(owner), binding_(std::make_unique<TTBViewWindow>(false)) {
  SetControlStyle((ControlStyle() | ui::csAcceptsControls | ui::csActionClient) &
                  ~ui::csCaptureMouse);
  StoreColor(ui::clBtnFace);
  StoreBounds({0, 0, 23, 22});
  binding_->SetControl(this);
}

TTBCustomToolbar::~TTBCustomToolbar() {
  TTBCustomToolbar::BeforeDestruction();
}

void TTBCustomToolbar::AfterConstruction() {
  TTBCustomDockableWindow::AfterConstruction();
  item_ = CreateRootItem();
  item_->SetParentComponentRef(this);
  chevronItem_ = CreateChevronItem();
  chevronItem_->SetLinkSubitems(item_.get());
  if (ui::TFont* font = ToolbarFont(); font && systemFont_)
    binding_->Font().Assign(*font);
  else
    binding_->Font().Assign(Font());
  view_ = CreateView(item_.get(), binding_.get(), true);
  view_->SetNewViewersGetHighestPriority(chevronPriority_ ==
                                         TTBChevronPriorityForNewItems::tbcpHighest);
  chevronItem_->SetToolbarView(view_.get());
  view_->SetBackgroundColor(ui::clBtnFace);
  binding_->SetView(view_.get());
  if (!Loading()) Loaded();
}

namespace {
constexpr std::wstring_view kChevronPriorityNames[] = {L"tbcpHighest", L"tbcpLowest"};
constexpr ui::EnumNames kChevronPriorities{kChevronPriorityNames};
constexpr std::wstring_view kShrinkModeNames[] = {L"tbsmNone", L"tbsmWrap", L"tbsmChevron"};
constexpr ui::EnumNames kShrinkModes{kShrinkModeNames};
}  // namespace

void TTBCustomToolbar::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TTBCustomDockableWindow::GetPublishedProps(out);
  using T = TTBCustomToolbar;
  static constexpr ui::PropInfo kProps[] = {
      StoredWhen<T, &T::IsChevronHintStored>(
          ui::StringProp<T, &T::ChevronHint, &T::SetChevronHint>(L"ChevronHint")),
      ui::BoolProp<T, &T::ChevronMoveItems, &T::SetChevronMoveItems>(L"ChevronMoveItems"),
      ui::EnumProp<T, &T::ChevronPriorityForNewItems, &T::SetChevronPriorityForNewItems>(
          L"ChevronPriorityForNewItems", kChevronPriorities),
      ui::ObjectProp<T, TTBCustomItem, &T::RootItem>(L"Items"),
      ui::BoolProp<T, &T::MenuBar, &T::SetMenuBar>(L"MenuBar"),
      ui::BoolProp<T, &T::ProcessShortCuts, &T::SetProcessShortCuts>(L"ProcessShortCuts"),
      ui::EnumProp<T, &T::ShrinkMode, &T::SetShrinkMode>(L"ShrinkMode", kShrinkModes),
      ui::BoolProp<T, &T::SystemFont, &T::SetSystemFont>(L"SystemFont"),
      ui::BoolProp<T, &T::UpdateActions, &T::SetUpdateActions>(L"UpdateActions"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

bool TTBCustomToolbar::IsChevronHintStored() const {
  return ChevronHint() != TBText(STBChevronItemMoreButtonsHint);
}

void TTBCustomToolbar::Loaded() {
  if (item_ && item_->Loading()) item_->FinishLoading();
  if (chevronItem_ && chevronItem_->Loading()) chevronItem_->FinishLoading();
  CreateWrappersForAllControls();
  TTBCustomDockableWindow::Loaded();
  Rearrange();
}

void TTBCustomToolbar::BeforeDestruction() noexcept {
  if (destroying_) return;
  destroying_ = true;
  try {
    SetMenuBarHookRegistered(false);
    UpdateMainWindowHook();
    if (view_) view_->CloseChildPopups();
    SetMDIButtonsItem(nullptr);  // it outlives the toolbar: no more notices to this one
    SetMDISystemMenuItem(nullptr);
  } catch (...) {  // the toolbar goes regardless
  }
  // The dock and the floating form are left while the view still answers their questions.
  TTBCustomDockableWindow::BeforeDestruction();
  binding_->SetHandle(nullptr);
  binding_->SetView(nullptr);
  if (chevronItem_) chevronItem_->SetToolbarView(nullptr);
  view_.reset();
  chevronItem_.reset();
  item_.reset();
}

ui::Owned<TTBCustomItem> TTBCustomToolbar::CreateRootItem() {
  return ui::New<TTBRootItem>();
}

ui::Owned<TTBChevronItem> TTBCustomToolbar::CreateChevronItem() {
  return ui::New<TTBChevronItem>();
}

ui::Owned<TTBToolbarView> TTBCustomToolbar::CreateView(TTBCustomItem* root, ITBViewWindow* window,
                                                       bool usePriorityList) {
  return ui::New<TTBToolbarView>(static_cast<ITBToolbarViewHost&>(*this), root, window,
                                 usePriorityList);
}

// --- properties

void TTBCustomToolbar::SetMenuBar(bool menuBar) {
  if (menuBar == menuBar_) return;
  menuBar_ = menuBar;
  if (menuBar) {
    SetControlStyle(ControlStyle() | ui::csMenuEvents);
    view_->SetStyle(static_cast<TTBViewStyle>(view_->Style() | vsMenuBar | vsUseHiddenAccels));
  } else {
    SetControlStyle(ControlStyle() & ~ui::csMenuEvents);
    view_->SetStyle(static_cast<TTBViewStyle>(view_->Style() & ~(vsMenuBar | vsUseHiddenAccels)));
  }
  view_->SetAccelsVisibility(false);
  if (!Loading()) {
    SetFullSize(menuBar);
    SetCloseButton(!menuBar);
    processShortCuts_ = menuBar;
    SetShrinkMode(menuBar ? TTBShrinkMode::tbsmWrap : TTBShrinkMode::tbsmChevron);
  }
  SetMenuBarHookRegistered(menuBar);
  UpdateMainWindowHook();
}

void TTBCustomToolbar::SetMDIItem(TTBCustomItem*& field, TTBCustomItem* item) {
  if (item == field) return;
  const TTBItemChangedProc watch = ChangedProc<&TTBCustomToolbar::MDIButtonsNotification>(this);
  if (field) {
    field->RemoveFreeNotification(this);
    if (&field == &mdiButtonsItem_) field->UnregisterNotification(watch);
  }
  field = item;
  if (item) {
    item->FreeNotification(this);
    if (&field == &mdiButtonsItem_) item->RegisterNotification(watch);
  }
  if (view_ && !destroying_) view_->RecreateAllViewers();
}

void TTBCustomToolbar::MDIButtonsNotification(TTBCustomItem* sender, bool relayed,
                                              TTBItemChangedAction action, int /*index*/,
                                              TTBCustomItem* item) {
  if (relayed || sender != mdiButtonsItem_ || !view_ || destroying_) return;
  // A deleted sub-item is still in the list when this arrives, so its viewers are dropped alone.
  if (action == TTBItemChangedAction::tbicDeleting)
    view_->DeleteEndViewersOf(item);
  else if (action == TTBItemChangedAction::tbicInserted)
    view_->RecreateAllViewers();
}

void TTBCustomToolbar::Notification(ui::TComponent* component, ui::TOperation operation) {
  TTBCustomDockableWindow::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  if (component == mdiButtonsItem_) SetMDIButtonsItem(nullptr);
  if (component == mdiSystemMenuItem_) SetMDISystemMenuItem(nullptr);
}

void TTBCustomToolbar::SetShrinkMode(TTBShrinkMode mode) {
  if (mode == shrinkMode_) return;
  shrinkMode_ = mode;
  Rearrange();
}

void TTBCustomToolbar::SetFloatingWidth(int width) {
  if (width == floatingWidth_) return;
  floatingWidth_ = width;
  if (Floating()) Rearrange();
}

void TTBCustomToolbar::ReadPositionData(const TTBPositionReader& reader) {
  if (reader.ReadInteger) SetFloatingWidth(reader.ReadInteger(Name(), L"FloatRightX", 0));
}

void TTBCustomToolbar::WritePositionData(const TTBPositionWriter& writer) {
  if (writer.WriteInteger) writer.WriteInteger(Name(), L"FloatRightX", floatingWidth_);
}

void TTBCustomToolbar::SetProcessShortCuts(bool process) {
  processShortCuts_ = process;
  UpdateMainWindowHook();
}

void TTBCustomToolbar::SetSystemFont(bool systemFont) {
  if (systemFont == systemFont_) return;
  systemFont_ = systemFont;
  ui::TFont* font = ToolbarFont();
  binding_->Font().Assign(systemFont && font ? *font : Font());
  view_->InvalidatePositions();
  Rearrange();
}

void TTBCustomToolbar::SetChevronMoveItems(bool move) {
  chevronMoveItems_ = move;
  view_->SetUsePriorityList(move);
}

void TTBCustomToolbar::SetChevronPriorityForNewItems(TTBChevronPriorityForNewItems priority) {
  chevronPriority_ = priority;
  view_->SetNewViewersGetHighestPriority(priority == TTBChevronPriorityForNewItems::tbcpHighest);
}

// --- layout

bool TTBCustomToolbar::AppliesFixedWidth() const {
  const ui::TAlign align = Align();
  return align == ui::TAlign::alTop || align == ui::TAlign::alBottom ||
         align == ui::TAlign::alClient ||
         (Anchors() & (ui::akLeft | ui::akRight)) == (ui::akLeft | ui::akRight);
}

TTBToolbarViewInput TTBCustomToolbar::ViewInput(TTBDockType dockType, TTBDock* dock) {
  TTBToolbarViewInput in;
  in.dockType = dockType;
  in.shrinkMode = shrinkMode_;
  in.autoResize = AutoResize();
  in.anchoredLeftAndRight = AppliesFixedWidth();
  in.width = Width();
  in.nonClientWidth = HandleAllocated() ? Width() - ClientWidth() : 0;
  in.floatingWidth = floatingWidth_;
  if (dock && (dockType == TTBDockType::dtTopBottom || dockType == TTBDockType::dtLeftRight)) {
    const bool leftRight = dockType == TTBDockType::dtLeftRight;
    const TPoint frame = DockedFrameSize(leftRight, dock->AllowDrag(), HandleWidth());
    in.dockedFrameLength = leftRight ? frame.y : frame.x;
    in.dockGivenLength = dock == CurrentDock() ? CurrentSize() : 0;
    in.dockInnerLength = leftRight ? dock->ClientHeight() : dock->ClientWidth();
  }
  return in;
}

void TTBCustomToolbar::GetChildren(const TGetChildProc& proc) const {
  item_->GetChildren(proc);
  for (int i = 0; i < ControlCount(); ++i) {
    if (auto* windowed = dynamic_cast<ui::TWinControl*>(Controls(i))) proc(windowed);
  }
}

void TTBCustomToolbar::Rearrange() {
  if (Docked() || Floating())
    TTBCustomDockableWindow::Arrange();
  else
    ArrangeItems();
}

void TTBCustomToolbar::ArrangeItems() {
  if (!view_ || destroying_ || Loading() || inLayout_ > 0) return;
  arrangedWidth_ = Width();
  view_->ApplySettings(ToolbarViewSettings(ViewInput(DockType(), CurrentDock())));
  view_->ValidatePositions();
}

void TTBCustomToolbar::CalcLayoutSize(bool canMoveControls, TTBDockType dockType, bool /*floating*/,
                                      TTBDock* dock, TPoint& newSize) {
  if (!view_ || destroying_) {
    newSize = {baseWidth_, baseHeight_};
    return;
  }
  const TTBToolbarViewSettings wanted = ToolbarViewSettings(ViewInput(dockType, dock));
  if (canMoveControls || (dock == CurrentDock() && dockType == DockType()))
    newSize = CommitLayout(wanted);
  else
    newSize = SizeWith(wanted);
}

TPoint TTBCustomToolbar::CommitLayout(const TTBToolbarViewSettings& settings) {
  ++calcDepth_;
  struct Lower {
    int& counter;
    ~Lower() { --counter; }
  } lower{calcDepth_};
  view_->ApplySettings(settings);
  view_->ValidatePositions();
  return {baseWidth_, baseHeight_};
}

TPoint TTBCustomToolbar::SizeWith(const TTBToolbarViewSettings& settings, int* lines) {
  TTBToolbarViewSettings current;
  current.orientation = view_->Orientation();
  current.chevronOffset = view_->ChevronOffset();
  current.chevronSize = view_->ChevronSize();
  current.wrapOffset = view_->WrapOffset();
  ++calcDepth_;
  struct Back {
    TTBCustomToolbar& toolbar;
    const TTBToolbarViewSettings& settings;
    ~Back() {
      toolbar.view_->ApplySettings(settings);
      int width = 0, height = 0;
      toolbar.view_->UpdatePositions(width, height);
      --toolbar.calcDepth_;
    }
  } back{*this, current};
  TPoint size;
  view_->ApplySettings(settings);
  view_->UpdatePositions(size.x, size.y);
  if (lines) *lines = view_->LastWrappedLines();
  return size;
}

// --- floating resize

void TTBCustomToolbar::ResizeBegin(TTBSizeHandle handle) {
  sizeData_.reset();
  sizeAccepted_ = false;
  TTBFloatingWindowParent* form = FloatParent();
  if (!Floating() || !form || !view_) return;
  sizeHandle_ = handle;
  sizeStartFloatingWidth_ = floatingWidth_;
  const bool byWidth = handle == TTBSizeHandle::twshLeft || handle == TTBSizeHandle::twshRight;
  // The wrap width counts from the left edge; a line's width adds the right margin to it.
  const TTBMargins margins = view_->GetMargins(TTBViewOrientation::tbvoFloating);
  const TPoint frame{form->Width() - ClientWidth() + margins.right,
                     form->Height() - ClientHeight()};
  std::vector<TTBFloatingSize> sizes = FloatingSizes(
      [&](int wrap) {
        TTBToolbarViewSettings settings;
        settings.orientation = TTBViewOrientation::tbvoFloating;
        settings.wrapOffset = wrap;
        TTBFloatingLayout layout;
        const TPoint size = SizeWith(settings, &layout.lines);
        layout.width = size.x - margins.right;
        layout.height = size.y;
        return layout;
      },
      frame, margins.left + margins.right, byWidth);
  sizeData_ = std::make_unique<TToolbarSizeData>(std::move(sizes), byWidth,
                                                 TPoint{form->Width(), form->Height()});
}

void TTBCustomToolbar::ResizeTrack(RECT& rect, const RECT& /*original*/) {
  if (!sizeData_ || sizeData_->Empty()) return;
  const bool byWidth =
      sizeHandle_ == TTBSizeHandle::twshLeft || sizeHandle_ == TTBSizeHandle::twshRight;
  const TTBFloatingSize& size =
      sizeData_->Step(byWidth ? rect.right - rect.left : rect.bottom - rect.top);
  // The edge opposite the handle stays.
  if (byWidth) {
    if (sizeHandle_ == TTBSizeHandle::twshRight)
      rect.right = rect.left + size.width;
    else
      rect.left = rect.right - size.width;
    rect.bottom = rect.top + size.height;
  } else {
    if (sizeHandle_ == TTBSizeHandle::twshBottom)
      rect.bottom = rect.top + size.height;
    else
      rect.top = rect.bottom - size.height;
    rect.right = rect.left + size.width;
  }
  floatingWidth_ = size.floatingWidth;
}

void TTBCustomToolbar::ResizeEnd() {
  if (!sizeData_) return;
  sizeData_.reset();
  // A cancelled outline resize applied nothing; a smooth one keeps the size it reached.
  if (!sizeAccepted_ && !SmoothDrag() && floatingWidth_ != sizeStartFloatingWidth_) {
    floatingWidth_ = sizeStartFloatingWidth_;
    Rearrange();
  }
}

void TTBCustomToolbar::GetCurrentClientSize(TPoint& size) {
  if (!view_ || destroying_) {
    size = {baseWidth_, baseHeight_};
    return;
  }
  // Laid out for the room the toolbar has now (a dock that changed its length wraps it anew).
  size = CommitLayout(ToolbarViewSettings(ViewInput(DockType(), CurrentDock())));
  // A shortened toolbar answers its whole length, which the dock compares with the room.
  if (view_->ChevronOffset() > 0) {
    TTBToolbarViewSettings whole;
    whole.orientation = view_->Orientation();
    whole.wrapOffset = view_->WrapOffset();
    size = SizeWith(whole);
  }
}

void TTBCustomToolbar::GetShrinkLimit(int& minLength) {
  if (!view_ || destroying_) return;
  TPoint frame;
  GetDockedFrameSize(frame);
  minLength =
      ToolbarShrinkLimit(*view_, DockType() == TTBDockType::dtLeftRight ? frame.y : frame.x);
}

void TTBCustomToolbar::PointOnChildControl(POINT p, bool& result) {
  TTBCustomDockableWindow::PointOnChildControl(p, result);
  if (result || !view_) return;
  // Pressing an item does not start a drag.
  const TTBItemViewer* viewer = view_->ViewerFromPoint({p.x, p.y});
  result = viewer && viewer->Item().Visible() && (viewer->Item().GetItemStyle() & tbisSelectable);
}

int TTBCustomToolbar::MinRowSize() {
  TTBDock* dock = CurrentDock();
  return Docked() && dock ? dock->GetMinRowSize(EffectiveDockRow(), this) : 0;
}

void TTBCustomToolbar::ViewAutoSize(int width, int height) {
  const bool changed = width != baseWidth_ || height != baseHeight_;
  baseWidth_ = width;
  baseHeight_ = height;
  if (destroying_) return;
  if (calcDepth_ > 0) return;
  if (Docked() || Floating()) {
    if (changed) TTBCustomDockableWindow::Arrange();
    return;
  }
  const int newWidth = AppliesFixedWidth() ? Width() : width;
  const int newHeight = Align() == ui::TAlign::alClient ? Height() : height;
  if (newWidth == Width() && newHeight == Height()) return;
  ++disableAlignArrange_;
  struct Lower {
    int& counter;
    ~Lower() { --counter; }
  } lower{disableAlignArrange_};
  SetBounds(Left(), Top(), newWidth, newHeight);
}

void TTBCustomToolbar::BoundsChanged() {
  TTBCustomDockableWindow::BoundsChanged();
  if (Docked() || Floating()) return;
  // A width fixed by the alignment is the wrap or chevron room. The new size is taken after
  // the move that changed the width has finished (and with it the parent's alignment), so
  // that the parent aligns its other controls to it.
  if (disableAlignArrange_ != 0 || !AppliesFixedWidth() || !view_ ||
      shrinkMode_ == TTBShrinkMode::tbsmNone || Width() == arrangedWidth_) {
    return;
  }
  RequestArrange();
}

void TTBCustomToolbar::RequestArrange() {
  if (!HandleAllocated()) {
    if (!Docked() && !Floating()) ArrangeItems();
  } else if (!arrangePosted_) {
    arrangePosted_ = PostMessageW(Handle(), kArrangeMessage, 0, 0) != 0;
  }
}

void TTBCustomToolbar::AlignControls(const ui::TRect& /*client*/) {
  if (disableAlignArrange_ != 0 || inLayout_ > 0 || calcDepth_ > 0) return;
  if (Docked() || Floating()) {
    if (DockState().UpdatingBounds == 0) TTBCustomDockableWindow::Arrange();
    return;
  }
  // A resize in progress arranges once it has finished.
  if (Width() != arrangedWidth_)
    RequestArrange();
  else
    ArrangeItems();
}

// --- painting and input

void TTBCustomToolbar::HandleCreated() {
  TTBCustomDockableWindow::HandleCreated();
  binding_->SetHandle(Handle());
  Rearrange();
}

void TTBCustomToolbar::Paint() {
  const HDC dc = Canvas().Handle();
  RECT clip;
  if (GetClipBox(dc, &clip) == ERROR) GetClientRect(Handle(), &clip);
  binding_->DrawSubitems(dc, clip);
}

void TTBCustomToolbar::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  TTBDock* dockBefore = CurrentDock();
  const bool floatingBefore = Floating();
  TTBCustomDockableWindow::MouseDown(button, shift, x, y);  // a press off the items drags
  if (button != ui::TMouseButton::mbLeft || !view_ || destroying_) return;
  if (CurrentDock() != dockBefore || Floating() != floatingBefore) return;
  POINT p{x, y};
  ClientToScreen(Handle(), &p);
  view_->UpdateSelection({p.x, p.y}, true);
  const TTBItemViewer* selected = view_->Selected();
  if (!selected || (selected->Item().GetItemStyle() & tbisClicksTransparent)) return;
  ignoreMouseLeave_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{ignoreMouseLeave_};
  EnterLoop(tbetMouseDown);
}

void TTBCustomToolbar::MouseMove(ui::TShiftState shift, int x, int y) {
  TTBCustomDockableWindow::MouseMove(shift, x, y);
  if (!view_ || (view_->State() & vsModal)) return;
  POINT p{x, y};
  ClientToScreen(Handle(), &p);
  view_->UpdateSelection({p.x, p.y}, true);
  const TTBItemViewer* selected = view_->Selected();
  SetHint(selected && !(selected->Item().EffectiveOptions() & tboLongHintInMenuOnly)
              ? selected->Item().Hint()
              : L"");
  if (!trackingLeave_) trackingLeave_ = CallTrackMouseEvent(Handle(), TME_LEAVE);
}

void TTBCustomToolbar::MouseLeft() {
  if (view_ && !(view_->State() & vsModal)) view_->UpdateSelection(kNoPoint, true);
}

void TTBCustomToolbar::DoContextPopup(POINT mousePos, bool& handled) {
  if (view_ && !(view_->State() & vsModal)) view_->Select(nullptr, false);
  TTBCustomDockableWindow::DoContextPopup(mousePos, handled);
}

void TTBCustomToolbar::EnterLoop(TTBEnterToolbarLoopOptions options) {
  tb::EnterToolbarLoop(*view_, options);
}

bool TTBCustomToolbar::UsableForKeys() {
  // Shown and enabled with its parents (a floating menu bar's form is not the active window).
  if (!HandleAllocated() || !Showing()) return false;
  for (HWND wnd = Handle(); wnd; wnd = GetParent(wnd)) {
    if (!IsWindowVisible(wnd) || !IsWindowEnabled(wnd)) return false;
    if (!(GetWindowLongW(wnd, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

bool TTBCustomToolbar::KeyboardOpen(wchar_t key, bool requirePrimaryAccel) {
  return ToolbarKeyboardOpen(*view_, key, requirePrimaryAccel, menuBar_, *this);
}

bool TTBCustomToolbar::IsShortCut(ui::TShortCut shortcut) {
  bool handled = false;
  if (OnShortCut) OnShortCut(shortcut, handled);
  return handled || item_->IsShortCut(shortcut);
}

void TTBCustomToolbar::InitiateAction() {
  TTBCustomDockableWindow::InitiateAction();
  if (!updateActions_ || !view_) return;
  for (int i = 0; i < view_->ViewerCount(); ++i) {
    TTBItemViewer* viewer = view_->Viewers(i);
    if (viewer->Show()) viewer->Item().InitiateAction();
  }
}

void TTBCustomToolbar::GetTabOrderList(std::vector<ui::TWinControl*>& list) {
  TTBCustomDockableWindow::GetTabOrderList(list);
  if (!view_) return;
  for (ui::TComponent* component : view_->GetOffEdgeControlList()) {
    auto* hidden = dynamic_cast<ui::TWinControl*>(component);
    if (!hidden) continue;
    std::vector<ui::TWinControl*> inside{hidden};
    hidden->GetTabOrderList(inside);
    std::erase_if(list, [&inside](ui::TWinControl* c) {
      return std::find(inside.begin(), inside.end(), c) != inside.end();
    });
  }
}

// --- control items

TTBControlItem* TTBCustomToolbar::WrapperOf(const ui::TControl* control) const {
  for (int i = 0; i < item_->Count(); ++i) {
    auto* wrapper = dynamic_cast<TTBControlItem*>(item_->Items(i));
    if (wrapper && wrapper->Control() == control) return wrapper;
  }
  return nullptr;
}

void TTBCustomToolbar::CreateWrappersForAllControls() {
  if (!item_) return;
  for (int i = 0; i < ControlCount(); ++i) ControlChanged(Controls(i), true);
}

void TTBCustomToolbar::ControlChanged(ui::TControl* control, bool inserting) {
  if (!item_ || !control) return;
  if (inserting) {
    if (WrapperOf(control)) return;
    auto* wrapper = ui::Create<TTBControlItem>(*item_);
    wrapper->SetControl(control);
    item_->Add(wrapper);
    return;
  }
  while (TTBControlItem* wrapper = WrapperOf(control)) {
    wrapper->SetDontFreeControl(true);
    ui::Free(wrapper);
  }
}

// --- main-window hook

void TTBCustomToolbar::UpdateMainWindowHook() {
  const bool want = (processShortCuts_ || menuBar_) && !destroying_;
  if (want == hooked_ || (want && !ui::Application)) return;
  std::vector<TTBCustomToolbar*>& list = HookedToolbars();
  hooked_ = want;
  if (want) {
    if (list.empty()) ui::Application->HookMainWindow(&MainWindowHook, nullptr);
    list.push_back(this);
  } else {
    // Leaves the list even when the application has gone first.
    std::erase(list, this);
    if (list.empty() && ui::Application)
      ui::Application->UnhookMainWindow(&MainWindowHook, nullptr);
  }
}

bool TTBCustomToolbar::MainWindowHook(void* /*data*/, ui::TMessage& message) {
  if (message.Msg == ui::CM_APPKEYDOWN) {
    ui::TShiftState shift = ui::KeyDataToShiftState(message.LParam);
    if (GetKeyState(VK_MENU) < 0) shift |= ui::ssAlt;
    const ui::TShortCut shortcut = ui::ShortCut(static_cast<std::uint16_t>(message.WParam), shift);
    // The active form, its active MDI child first (an MDI form's children are never the
    // active window), then the main form.
    ui::TCustomForm* active = FormOfWindow(GetActiveWindow());
    ui::TCustomForm* forms[3] = {active ? ActiveMDIChildOf(*active) : nullptr, active,
                                 ui::Application->MainForm()};
    if (forms[2] == forms[1]) forms[2] = nullptr;
    for (ui::TCustomForm* form : forms) {
      if (!form || !form->HandleAllocated() || !IsWindowEnabled(form->Handle())) continue;
      const std::vector<TTBCustomToolbar*> toolbars = HookedToolbars();
      for (TTBCustomToolbar* toolbar : toolbars) {
        if (!std::ranges::count(HookedToolbars(), toolbar)) continue;  // gone meanwhile
        if (toolbar->processShortCuts_ && ToolbarForm(*toolbar) == form &&
            toolbar->IsShortCut(shortcut)) {
          return true;
        }
      }
    }
    return false;
  }
  if (message.Msg == ui::CM_APPSYSCOMMAND) {
    auto* command = reinterpret_cast<ui::TMessage*>(message.LParam);
    ui::TCustomForm* form = FormOfWindow(GetActiveWindow());
    if (!command || !form || !form->HandleAllocated()) return false;
    const HWND wnd = form->Handle();
    if (!IsWindowEnabled(wnd) || !IsWindowVisible(wnd)) return false;
    const LRESULT result = SendSysCommand(*form, command->WParam, command->LParam);
    if (!result) return false;
    command->Result = result;
    return true;
  }
  return false;
}

// --- menu-bar message hook

void TTBCustomToolbar::SetMenuBarHookRegistered(bool registered) {
  if (registered == menuBarHooked_) return;
  if (registered)
    RegisterHookProc(this, MenuBarHook, HookCode(THookProcCode::hpGetMessage));
  else
    UnregisterHookProc(this, MenuBarHook);
  menuBarHooked_ = registered;
}

// Alt+letter fetched for the main form's MDI client window, and Alt+"-" (the child's system
// menu, which an MDI menu bar shows as its system-menu item) fetched for one of its MDI
// children, go to the main form instead: there they become the key-menu command that the menu
// bar takes.
void TTBCustomToolbar::MenuBarHook(THookProcCode code, std::uintptr_t /*wnd*/,
                                   std::uintptr_t /*wParam*/, std::intptr_t lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code != THookProcCode::hpGetMessage || !msg || msg->message != WM_SYSCHAR ||
      !ui::Application) {
    return;
  }
  ui::TCustomForm* main = ui::Application->MainForm();
  if (!main || !main->HandleAllocated() || GetCapture()) return;
  const HWND client = ui::MDIClientOf(*main);
  // The MDI children's windows sit in the client window.
  if (client && (msg->hwnd == client || (msg->wParam == L'-' && GetParent(msg->hwnd) == client)))
    msg->hwnd = main->Handle();
}

// --- messages

bool TTBCustomToolbar::SetViewerCursor() {
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(Handle(), &p);
  TTBItemViewer* viewer = view_->ViewerFromPoint({p.x, p.y});
  if (!viewer || !ui::Screen) return false;
  const TRect r = viewer->BoundsRect();
  int cursor = ui::crDefault;
  viewer->GetCursor({p.x - r.left, p.y - r.top}, cursor);
  if (cursor == ui::crDefault) return false;
  ::SetCursor(ui::Screen->Cursors(cursor));
  return true;
}

void TTBCustomToolbar::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case kArrangeMessage:
      arrangePosted_ = false;
      Rearrange();
      return;
    case WM_GETOBJECT:
      if (view_ && HandleViewGetObject(*view_, message.WParam, message.LParam, message.Result)) {
        return;
      }
      break;
    case ui::CM_HINTSHOW:
      if (view_) {
        message.Result =
            HandleHintShowMessage(*view_, *reinterpret_cast<ui::THintInfo*>(message.LParam)) ? 0
                                                                                             : 1;
        return;
      }
      break;
    case ui::CM_DIALOGCHAR:
      if (!menuBar_ && view_ && Enabled() && Showing() &&
          KeyboardOpen(static_cast<wchar_t>(message.WParam), true)) {
        message.Result = 1;
        return;
      }
      break;
    case ui::CM_DIALOGKEY:
      if (menuBar_ && view_ && message.WParam == VK_MENU) view_->SetAccelsVisibility(true);
      break;
    case WM_SYSCOMMAND:
      if ((message.WParam & 0xFFF0) == SC_KEYMENU) {
        // A command the menu bar does not take answers 0: the form's default processing then
        // runs (Alt+Space opens the system menu).
        const bool taken =
            view_ && ToolbarKeyMenu(*view_, menuBar_, UsableForKeys(), GetCapture() != nullptr,
                                    static_cast<wchar_t>(message.LParam & 0xFFFF), *this);
        message.Result = taken ? 1 : 0;
        return;
      }
      break;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      if (!ignoreMouseLeave_) MouseLeft();
      break;
    case ui::CM_MOUSELEAVE:
      MouseLeft();
      break;
    case WM_NCMOUSEMOVE:
      SetHint(L"");
      MouseLeft();
      break;
    case WM_CANCELMODE:
      if (view_ && (view_->State() & vsModal)) view_->CancelMode();
      break;
    case ui::CM_CONTROLCHANGE:
      // Loading or updating, it makes no item: CreateWrappersForAllControls makes the missing
      // ones.
      if (!Loading() && !(view_ && view_->IsUpdating()))
        ControlChanged(reinterpret_cast<ui::TControl*>(message.WParam), message.LParam);
      break;
    case ui::CM_CONTROLLISTCHANGE:
      if (!message.LParam) ControlChanged(reinterpret_cast<ui::TControl*>(message.WParam), false);
      break;
    case ui::CM_CHILDVISIBLECHANGED:
      // A hosted control shown or hidden by the program takes or gives back its room.
      if (view_ && !Loading()) {
        view_->InvalidatePositions();
        Rearrange();
      }
      break;
    case ui::CM_FONTCHANGED:
      if (!systemFont_ && view_) {
        binding_->Font().Assign(Font());
        view_->InvalidatePositions();
        Rearrange();
      }
      break;
    case ui::CM_COLORCHANGED:
      if (view_) view_->SetBackgroundColor(Color());
      break;
    case WM_SETCURSOR:
      if (view_ && reinterpret_cast<HWND>(message.WParam) == Handle() &&
          LOWORD(message.LParam) == HTCLIENT && SetViewerCursor()) {
        message.Result = 1;
        return;
      }
      break;
    case ui::CM_SHOWHINTCHANGED:
      if (view_) {
        const auto style = static_cast<TTBViewStyle>(view_->Style() & ~vsAlwaysShowHints);
        view_->SetStyle(ShowHint() ? static_cast<TTBViewStyle>(style | vsAlwaysShowHints) : style);
      }
      break;
    case ui::CM_WININICHANGE:
      if (message.WParam == SPI_SETNONCLIENTMETRICS && view_) {
        RefreshToolbarFont();
        if (systemFont_ && ToolbarFont()) binding_->Font().Assign(*ToolbarFont());
        view_->InvalidatePositions();
        Rearrange();
      }
      break;
    default:
      break;
  }
  TTBCustomDockableWindow::WndProc(message);
}

}  // namespace tb
