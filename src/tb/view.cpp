#include "tb/view.h"

#include <algorithm>
#include <unordered_map>

#include "tb/common.h"
#include "tb/system_settings.h"

namespace tb {

namespace {

// Components built in code without an owner never count as loading.
bool ComponentLoading(const ui::TComponent* component) {
  return component && component->Owner() && component->Loading();
}

constexpr int kMaxGroupLevel = 10;

std::uint8_t TimerBit(TTBViewTimer timer) {
  return static_cast<std::uint8_t>(1u << static_cast<int>(timer));
}

bool Selectable(const TTBItemViewer& viewer) {
  return (viewer.Show() || viewer.Clipped()) && viewer.Item().Visible() &&
         (viewer.Item().GetItemStyle() & tbisSelectable);
}

}  // namespace

TPoint& LastMousePosition() {
  static TPoint position = kNoPoint;
  return position;
}

// --- life

TTBView::TTBView(ui::TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem,
                 ITBViewWindow* window, bool isToolbar, bool customizing, bool usePriorityList)
    : ui::TComponent(owner),
      parentView_(parentView),
      parentItem_(parentItem),
      window_(window),
      customizing_(customizing),
      isPopup_(!isToolbar),
      isToolbar_(isToolbar),
      usePriorityList_(usePriorityList) {
  parentItem_->RegisterNotification(ChangedProc<&TTBView::ParentItemNotification>(this));
  parentItem_->FreeNotification(this);
  SetCurParentItem(parentItem_->LinkSubitems() ? parentItem_->LinkSubitems() : parentItem_);
}

TTBView::~TTBView() {
  BeforeDestruction();
}

void TTBView::BeforeDestruction() noexcept {
  if (!destroying_) {
    destroying_ = true;
    ReleaseAccObject(accObject_);
    try {
      CloseChildPopups();
      StopAllTimers();
      if (parentView_ && parentView_->isToolbar_) {
        parentView_->Include(vsNoAnimation);
        if (parentView_->openViewer_) parentView_->Invalidate(parentView_->openViewer_);
      }
    } catch (...) {  // nothing may stop the teardown
    }
    if (curParentItem_) {
      curParentItem_->UnregisterNotification(
          ChangedProc<&TTBView::CurParentItemNotification>(this));
      curParentItem_ = nullptr;
    }
    if (parentItem_) {
      parentItem_->UnregisterNotification(ChangedProc<&TTBView::ParentItemNotification>(this));
      parentItem_->RemoveFreeNotification(this);
      parentItem_ = nullptr;
    }
    selected_ = nullptr;
    priorityList_.clear();
    viewers_.clear();
    try {
      if (parentView_ && !parentView_->destroying_) parentView_->NotifyFocusEvent();
    } catch (...) {
    }
  }
  ui::TComponent::BeforeDestruction();
}

void TTBView::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TComponent::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  if (component == parentItem_) {
    // The item goes away first: forget it and everything shown from it.
    CloseChildPopups();
    if (curParentItem_) {
      curParentItem_->UnregisterNotification(
          ChangedProc<&TTBView::CurParentItemNotification>(this));
    }
    curParentItem_ = nullptr;
    parentItem_->UnregisterNotification(ChangedProc<&TTBView::ParentItemNotification>(this));
    parentItem_ = nullptr;
    selected_ = nullptr;
    priorityList_.clear();
    viewers_.clear();
    InvalidatePositions();
  }
}

// --- viewers

TTBItemViewer* TTBView::Viewers(int index) const {
  if (index < 0 || index >= ViewerCount())
    throw ETBItemError(TBTextUtf8(STBToolbarIndexOutOfBounds));
  return viewers_[static_cast<std::size_t>(index)].get();
}

int TTBView::IndexOf(const TTBItemViewer* viewer) const {
  if (!viewer) return -1;
  for (std::size_t i = 0; i < viewers_.size(); ++i) {
    if (viewers_[i].get() == viewer) return static_cast<int>(i);
  }
  return -1;
}

TTBItemViewer* TTBView::ViewerOf(const TTBCustomItem* item) const {
  for (const auto& viewer : viewers_) {
    if (&viewer->Item() == item) return viewer.get();
  }
  return nullptr;
}

TTBItemViewer* TTBView::Find(const TTBCustomItem* item) const {
  if (TTBItemViewer* viewer = ViewerOf(item)) return viewer;
  throw ETBItemError(TBTextUtf8(STBViewerNotFound));
}

void TTBView::SetCurParentItem(TTBCustomItem* item) {
  if (item == curParentItem_) return;
  CloseChildPopups();
  if (curParentItem_) {
    curParentItem_->UnregisterNotification(ChangedProc<&TTBView::CurParentItemNotification>(this));
  }
  curParentItem_ = item;
  if (item) item->RegisterNotification(ChangedProc<&TTBView::CurParentItemNotification>(this));
  RecreateAllViewers();
  if (!customizing_) {
    std::vector<TTBCustomItem*> items;
    for (const auto& viewer : viewers_) {
      if (viewer->Item().Visible()) items.push_back(&viewer->Item());
    }
    for (TTBCustomItem* shown : items) shown->InitiateAction();
  }
}

void TTBView::RecreateAllViewers() {
  CloseChildPopups();
  Select(nullptr, false);
  InvalidatePositions();
  priorityList_.clear();
  viewers_.clear();
  internalViewersAtFront_ = internalViewersAtEnd_ = 0;
  if (TTBCustomItem* systemMenu = GetMDISystemMenuItem()) {
    internalViewersAtFront_ = InsertItemViewers(0, systemMenu, 0, false, false);
  }
  if (curParentItem_) {
    int index = internalViewersAtFront_;
    for (int i = 0; i < curParentItem_->Count(); ++i) {
      index += InsertItemViewers(index, curParentItem_->Items(i), 0, true, false);
    }
  }
  if (TTBCustomItem* buttons = GetMDIButtonsItem()) {
    for (int i = 0; i < buttons->Count(); ++i) {
      internalViewersAtEnd_ += InsertItemViewers(ViewerCount(), buttons->Items(i), 0, false, false);
    }
  }
  if (TTBCustomItem* chevron = GetChevronItem()) {
    internalViewersAtEnd_ += InsertItemViewers(ViewerCount(), chevron, 0, false, false);
  }
}

void TTBView::DeleteEndViewersOf(TTBCustomItem* item) {
  const std::size_t before = viewers_.size();
  InvalidatePositions();
  DeleteViewersOf(item);
  internalViewersAtEnd_ -= static_cast<int>(before - viewers_.size());
}

int TTBView::InsertItemViewers(int index, TTBCustomItem* item, int groupLevel,
                               bool addToPriorityList, bool topOfPriorityList) {
  if (groupLevel > kMaxGroupLevel) return 0;
  std::unique_ptr<TTBItemViewer> viewer = item->CreateViewer(*this, groupLevel);
  TTBItemViewer* added = viewer.get();
  viewers_.insert(viewers_.begin() + index, std::move(viewer));
  if (usePriorityList_ && addToPriorityList) {
    if (topOfPriorityList)
      priorityList_.insert(priorityList_.begin(), added);
    else
      priorityList_.push_back(added);
  }
  int made = 1;
  if (!customizing_ && (item->GetItemStyle() & tbisEmbeddedGroup)) {
    TTBCustomItem* scope = item->LinkSubitems() ? item->LinkSubitems() : item;
    for (int i = 0; i < scope->Count(); ++i) {
      made += InsertItemViewers(index + made, scope->Items(i), groupLevel + 1, addToPriorityList,
                                topOfPriorityList);
    }
  }
  return made;
}

void TTBView::FreeViewer(std::size_t index) {
  TTBItemViewer* viewer = viewers_[index].get();
  if (viewer == openViewer_) CloseChildPopups();
  if (viewer == selected_) {
    selected_ = nullptr;
    mouseOverSelected_ = false;
  }
  std::erase(priorityList_, viewer);
  viewers_.erase(viewers_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TTBView::DeleteViewersOf(TTBCustomItem* item) {
  for (std::size_t i = 0; i < viewers_.size(); ++i) {
    if (&viewers_[i]->Item() != item) continue;
    for (std::size_t j = SubtreeEnd(i); j-- > i;) FreeViewer(j);
    return;
  }
}

void TTBView::RecreateViewersOf(TTBCustomItem* item) {
  for (auto& slot : viewers_) {
    if (&slot->Item() != item) continue;
    TTBItemViewer* old = slot.get();
    if (old == openViewer_) CloseChildPopups();
    if (old == selected_) selected_ = nullptr;
    std::unique_ptr<TTBItemViewer> fresh = item->CreateViewer(*this, old->GroupLevel());
    std::replace(priorityList_.begin(), priorityList_.end(), old, fresh.get());
    slot = std::move(fresh);
  }
}

// --- places that show a list of sub-items

// The list is shown at the top level when it is the current parent item, and inline after the
// viewer of every embedded group whose (linked) sub-items it is. An insert or delete reaches the
// view once for each way it is relayed, and a group's own list is not shown while the group
// links elsewhere: so each change is applied to every place where the item's list is shown,
// and only where it is not applied yet.
std::vector<const TTBItemViewer*> TTBView::PlacesShowing(const TTBCustomItem* list) const {
  std::vector<const TTBItemViewer*> places;
  if (!list) return places;
  if (list == curParentItem_) places.push_back(nullptr);
  if (customizing_) return places;
  for (const auto& viewer : viewers_) {
    const TTBCustomItem& group = viewer->Item();
    if ((group.GetItemStyle() & tbisEmbeddedGroup) && viewer->GroupLevel() < kMaxGroupLevel &&
        (group.LinkSubitems() ? group.LinkSubitems() : &group) == list) {
      places.push_back(viewer.get());
    }
  }
  return places;
}

TTBView::SubitemRun TTBView::RunAt(const TTBItemViewer* group) const {
  const std::size_t count = viewers_.size();
  const std::size_t itemsEnd = count - static_cast<std::size_t>(internalViewersAtEnd_);
  if (!group) return {static_cast<std::size_t>(internalViewersAtFront_), itemsEnd, 0, 0};
  const std::size_t at = static_cast<std::size_t>(IndexOf(group));
  const int region = at < static_cast<std::size_t>(internalViewersAtFront_) ? -1
                     : at >= itemsEnd                                       ? 1
                                                                            : 0;
  return {at + 1, SubtreeEnd(at), group->GroupLevel() + 1, region};
}

std::size_t TTBView::FindInRun(const SubitemRun& run, const TTBCustomItem* item) const {
  for (std::size_t i = run.start; i < run.end; ++i) {
    if (viewers_[i]->GroupLevel() == run.level && &viewers_[i]->Item() == item) return i;
  }
  return run.end;
}

std::size_t TTBView::SubtreeEnd(std::size_t index) const {
  const int level = viewers_[index]->GroupLevel();
  std::size_t end = index + 1;
  while (end < viewers_.size() && viewers_[end]->GroupLevel() > level) ++end;
  return end;
}

void TTBView::CountInternal(int region, int delta) {
  if (region < 0) internalViewersAtFront_ += delta;
  if (region > 0) internalViewersAtEnd_ += delta;
}

void TTBView::InsertIntoPlaces(TTBCustomItem* item, int index) {
  const TTBCustomItem* list = item->Parent();
  if (!list) return;
  const TTBCustomItem* previous =
      index > 0 && index <= list->Count() ? list->Items(index - 1) : nullptr;
  const bool top = newViewersGetHighestPriority_ && !ComponentLoading(item);
  // Inserting adds no place that lacks the item (a new group showing the list is made whole),
  // and frees no viewer: the places stay valid.
  for (const TTBItemViewer* place : PlacesShowing(list)) {
    const SubitemRun run = RunAt(place);
    if (FindInRun(run, item) != run.end) continue;
    const std::size_t after = FindInRun(run, previous);
    const std::size_t position = after == run.end ? run.start : SubtreeEnd(after);
    CountInternal(run.region, InsertItemViewers(static_cast<int>(position), item, run.level,
                                                run.region == 0, top));
  }
}

void TTBView::DeleteFromPlaces(TTBCustomItem* item) {
  // Each removal may free places inside the removed viewers: look again after every one.
  for (bool removed = true; removed;) {
    removed = false;
    for (const TTBItemViewer* place : PlacesShowing(item->Parent())) {
      const SubitemRun run = RunAt(place);
      const std::size_t at = FindInRun(run, item);
      if (at == run.end) continue;
      const std::size_t end = SubtreeEnd(at);
      for (std::size_t j = end; j-- > at;) FreeViewer(j);
      CountInternal(run.region, -static_cast<int>(end - at));
      removed = true;
      break;
    }
  }
}

// --- item notifications

void TTBView::ParentItemNotification(TTBCustomItem* sender, bool relayed,
                                     TTBItemChangedAction action, int /*index*/,
                                     TTBCustomItem* /*item*/) {
  if (relayed || sender != parentItem_) return;
  if (action == TTBItemChangedAction::tbicSubitemsChanged) {
    SetCurParentItem(parentItem_->LinkSubitems() ? parentItem_->LinkSubitems() : parentItem_);
    TryValidatePositions();
  } else if (action == TTBItemChangedAction::tbicSubMenuImagesChanged &&
             curParentItem_ != parentItem_) {
    ReLayoutOpenChain();
  }
}

void TTBView::CurParentItemNotification(TTBCustomItem* /*sender*/, bool relayed,
                                        TTBItemChangedAction action, int index,
                                        TTBCustomItem* item) {
  using A = TTBItemChangedAction;
  switch (action) {
    case A::tbicInserted:
      InvalidatePositions();
      InsertIntoPlaces(item, index);
      break;
    case A::tbicDeleting:
      InvalidatePositions();
      DeleteFromPlaces(item);
      break;
    case A::tbicSubitemsChanged:
      if (relayed) RecreateAllViewers();
      break;
    case A::tbicSubitemsBeginUpdate:
      BeginUpdate();
      break;
    case A::tbicSubitemsEndUpdate:
      EndUpdate();
      break;
    case A::tbicInvalidate:
      for (const auto& viewer : viewers_) {
        if (&viewer->Item() == item) Invalidate(viewer.get());
      }
      break;
    case A::tbicInvalidateAndResize:
      InvalidatePositions();
      break;
    case A::tbicRecreateItemViewers:
      InvalidatePositions();
      RecreateViewersOf(item);
      break;
    case A::tbicSubMenuImagesChanged:
      ReLayoutOpenChain();
      break;
    case A::tbicNameChanged:
      return;
  }
  TryValidatePositions();
}

void TTBView::ReLayoutOpenChain() {
  for (TTBView* view = this; view; view = view->openViewerView_) {
    view->InvalidatePositions();
    view->TryValidatePositions();
  }
}

// --- layout

void TTBView::BeginUpdate() {
  ++updating_;
}

void TTBView::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) TryValidatePositions();
}

void TTBView::TryValidatePositions() {
  if (updating_ == 0 && parentItem_ && !ComponentLoading(parentItem_) &&
      !ComponentLoading(parentItem_->Owner())) {
    ValidatePositions();
  }
}

void TTBView::ValidatePositions() {
  if (validated_) return;
  int width = 0, height = 0;
  UpdatePositions(width, height);
}

void TTBView::InvalidatePositions() {
  lastWrappedLines_ = 0;
  if (!validated_) return;
  validated_ = false;
  if (window_) window_->InvalidateAll();
}

void TTBView::UpdatePositions(int& width, int& height) {
  width = height = 0;
  DoUpdatePositions(width, height);
}

TTBMargins TTBView::GetMargins(TTBViewOrientation orientation) const {
  if (orientation == TTBViewOrientation::tbvoFloating) return {4, 2, 4, 1};
  return {};
}

void TTBView::AutoSize(int width, int height) {
  if (window_) window_->AutoSize(width, height);
}

void TTBView::DoUpdatePositions(int& width, int& height) {
  const std::size_t count = viewers_.size();
  std::vector<LayoutEntry> entries(count);
  TTBCustomItem* chevronItem = GetChevronItem();
  int chevronIndex = -1;
  for (std::size_t i = 0; i < count; ++i) {
    TTBItemViewer& viewer = *viewers_[i];
    TTBCustomItem& item = viewer.Item();
    LayoutEntry& e = entries[i];
    const TTBItemStyle style = item.GetItemStyle();
    if (&item == chevronItem) chevronIndex = static_cast<int>(i);
    e.separator = (style & tbisSeparator) != 0;
    e.noLineBreak = (style & tbisNoLineBreak) != 0;
    if (chevronParentView_) {
      const auto& list = chevronParentView_->viewers_;
      const auto found = std::find_if(list.begin(), list.end(),
                                      [&](const auto& v) { return &v->Item() == &item; });
      e.visible = e.separator || (found != list.end() && (*found)->OffEdge());
    } else if (auto* control = dynamic_cast<TTBControlItem*>(&item)) {
      // The control's own visibility decides, not the item's.
      e.visible =
          control->Control() != nullptr && (!window_ || window_->ControlShown(control->Control()));
    } else {
      e.visible = item.Visible() && (customizing_ || !(style & tbisEmbeddedGroup));
    }
    e.show = e.visible;
  }
  HideExtraSeparators(entries);
  for (std::size_t i = 0; i < count; ++i) {
    LayoutEntry& e = entries[i];
    if (!e.show && static_cast<int>(i) != chevronIndex) continue;
    TTBItemViewer& viewer = *viewers_[i];
    if (viewer.Item().ViewerQuery(viewer)) {
      RecreateViewersOf(&viewer.Item());
    }
    TTBItemViewer& measured = *viewers_[i];
    if (auto* control = dynamic_cast<TTBControlItem*>(&measured.Item())) {
      if (!window_ || !window_->GetControlSize(control->Control(), e.width, e.height)) {
        e.width = e.height = 0;
      }
    } else if (window_) {
      measured.CalcSize(window_->Measure(), e.width, e.height);
    }
    e.sameWidth = measured.UsesSameWidth();
    e.toolbarSize = measured.IsToolbarSize();
  }
  LayoutInput input;
  input.orientation = orientation_;
  input.isPopup = isPopup_ && !isToolbar_;
  input.margins = GetMargins(orientation_);
  input.wrapOffset = wrapOffset_;
  input.chevronOffset = chevronOffset_;
  input.chevronSize = chevronSize_;
  input.chevronIndex = chevronIndex;
  input.maxHeight = maxHeight_;
  input.scrollOffset = scrollOffset_;
  if (usePriorityList_ && !priorityList_.empty()) {
    std::unordered_map<const TTBItemViewer*, int> indexOf;
    indexOf.reserve(count);
    for (std::size_t i = 0; i < count; ++i) indexOf[viewers_[i].get()] = static_cast<int>(i);
    input.priority.reserve(priorityList_.size());
    for (const TTBItemViewer* viewer : priorityList_) {
      const auto found = indexOf.find(viewer);
      if (found != indexOf.end()) input.priority.push_back(found->second);
    }
  }
  const LayoutResult result = LayoutEntries(input, entries);

  int accNumber = 0;
  scrollRows_.clear();
  for (std::size_t i = 0; i < count; ++i) {
    TTBItemViewer& viewer = *viewers_[i];
    const LayoutEntry& e = entries[i];
    viewer.contentRect_ = e.rect;
    viewer.show_ = e.show;
    viewer.offEdge_ = e.offEdge;
    viewer.clipped_ = e.clipped;
    viewer.lineSep_ = e.lineSep;
    viewer.accNumber_ = viewer.IsAccessible() ? ++accNumber : 0;
    if (e.show || e.clipped) scrollRows_.push_back(static_cast<int>(i));
    auto* control = dynamic_cast<TTBControlItem*>(&viewer.Item());
    if (control && control->Control() && window_) {
      window_->PlaceControl(control->Control(), viewer.BoundsRect(),
                            e.show && !e.offEdge && !e.clipped);
    }
  }
  scrollOffset_ = result.scrollOffset;
  showUpArrow_ = result.showUpArrow;
  showDownArrow_ = result.showDownArrow;
  lastWrappedLines_ = result.wrappedLines;
  baseWidth_ = width = result.width;
  baseHeight_ = height = result.height;
  validated_ = true;
  AutoSize(width, height);
  if (window_ && window_->HasHandle()) window_->Repaint();
}

// --- popup scrolling

void TTBView::ScrollTo(int offset) {
  if (!validated_ || maxHeight_ <= 0 || baseHeight_ < maxHeight_) return;
  // Content height: the last row's bottom.
  int contentHeight = 0;
  if (!scrollRows_.empty()) {
    contentHeight = viewers_[static_cast<std::size_t>(scrollRows_.back())]->contentRect_.bottom +
                    GetMargins(orientation_).bottom;
  }
  const int overflow = std::max(0, contentHeight - maxHeight_);
  offset = std::clamp(offset, 0, overflow);
  if (offset == scrollOffset_) return;
  // Only rows near the old and the new window change their flags.
  const auto visibleRange = [&](int scroll, bool up, bool down) {
    const int top = scroll + (up ? kScrollArrowHeight : 0);
    const int bottom = scroll + maxHeight_ - (down ? kScrollArrowHeight : 0);
    const auto first =
        std::lower_bound(scrollRows_.begin(), scrollRows_.end(), top, [&](int row, int y) {
          return viewers_[static_cast<std::size_t>(row)]->contentRect_.top < y;
        });
    auto last = first;
    while (last != scrollRows_.end() &&
           viewers_[static_cast<std::size_t>(*last)]->contentRect_.bottom <= bottom) {
      ++last;
    }
    return std::pair(first - scrollRows_.begin(), last - scrollRows_.begin());
  };
  const auto oldRange = visibleRange(scrollOffset_, showUpArrow_, showDownArrow_);
  scrollOffset_ = offset;
  showUpArrow_ = offset > 0;
  showDownArrow_ = offset < overflow;
  const auto newRange = visibleRange(offset, showUpArrow_, showDownArrow_);
  const auto setRows = [&](std::ptrdiff_t from, std::ptrdiff_t to, bool shown) {
    for (std::ptrdiff_t i = from; i < to; ++i) {
      TTBItemViewer& viewer =
          *viewers_[static_cast<std::size_t>(scrollRows_[static_cast<std::size_t>(i)])];
      viewer.show_ = shown;
      viewer.clipped_ = !shown;
    }
  };
  setRows(oldRange.first, oldRange.second, false);
  setRows(newRange.first, newRange.second, true);
  if (window_) window_->InvalidateAll();
}

void TTBView::ScrollBy(bool down) {
  const int top = scrollOffset_ + (showUpArrow_ ? kScrollArrowHeight : 0);
  const int bottom = scrollOffset_ + maxHeight_ - (showDownArrow_ ? kScrollArrowHeight : 0);
  if (down) {
    for (const int row : scrollRows_) {
      const TTBItemViewer& viewer = *viewers_[static_cast<std::size_t>(row)];
      if (viewer.clipped_ && viewer.contentRect_.bottom > bottom) {
        ScrollTo(viewer.contentRect_.bottom - (maxHeight_ - kScrollArrowHeight));
        return;
      }
    }
  } else {
    for (auto it = scrollRows_.rbegin(); it != scrollRows_.rend(); ++it) {
      const TTBItemViewer& viewer = *viewers_[static_cast<std::size_t>(*it)];
      if (viewer.clipped_ && viewer.contentRect_.top < top) {
        ScrollTo(viewer.contentRect_.top - kScrollArrowHeight);
        return;
      }
    }
  }
}

void TTBView::ScrollSelectedIntoView() {
  ValidatePositions();
  if (!selected_ || !selected_->clipped_) return;
  const TRect& r = selected_->contentRect_;
  const int top = scrollOffset_ + (showUpArrow_ ? kScrollArrowHeight : 0);
  if (r.top < top)
    ScrollTo(r.top - kScrollArrowHeight);
  else
    ScrollTo(r.bottom - (maxHeight_ - kScrollArrowHeight));
}

// --- selection

TTBView* TTBView::Root() {
  TTBView* view = this;
  while (view->parentView_) view = view->parentView_;
  return view;
}

TTBView* TTBView::ToolbarInChain() {
  for (TTBView* view = this; view; view = view->parentView_) {
    if (view->isToolbar_) return view;
  }
  return nullptr;
}

bool TTBView::ContainsView(const TTBView* view) const {
  for (; view; view = view->parentView_) {
    if (view == this) return true;
  }
  return false;
}

void TTBView::SetMouseOverSelected(bool over) {
  if (over == mouseOverSelected_) return;
  mouseOverSelected_ = over;
  if (selected_ && (selected_->Item().GetItemStyle() & tbisRedrawOnMouseOverChange) && capture_) {
    Invalidate(selected_);
  }
}

bool TTBView::OverButtonPart(TTBItemViewer& viewer, TPoint screenPoint) const {
  if (screenPoint == kNoPoint || !window_ || !window_->ContainsScreenPoint(screenPoint)) {
    return false;
  }
  const TPoint client = window_->ScreenToClient(screenPoint);
  const TRect r = viewer.BoundsRect();
  return r.Contains(client) && viewer.IsPtInButtonPart(client.x - r.left, client.y - r.top);
}

void TTBView::Select(TTBItemViewer* viewer, bool viaMouse) {
  if (viewer == selected_) {
    SetMouseOverSelected(viaMouse && viewer != nullptr);
    return;
  }
  const bool modal = (state_ & vsModal) != 0;
  const unsigned delay = static_cast<unsigned>(SystemSettings().MenuShowDelay());
  if (parentView_ && parentView_->openViewer_ &&
      parentView_->selected_ != parentView_->openViewer_) {
    parentView_->Select(parentView_->openViewer_, viaMouse);
    parentView_->StopTimer(TTBViewTimer::tiOpen);
    parentView_->StopTimer(TTBViewTimer::tiClose);
  }
  if (modal) {
    if (isToolbar_ || !viaMouse) {
      StopTimer(TTBViewTimer::tiClose);
      if (!(viewer && viewer == openViewer_)) CloseChildPopups();
    } else if (viewer && viewer == openViewer_) {
      // Back on the item whose submenu is open: the submenu stays (the close and open timers
      // would otherwise close it and open it again after the show delay).
      StopTimer(TTBViewTimer::tiClose);
    } else if (openViewerView_ && !TimerRunning(TTBViewTimer::tiClose)) {
      StartTimer(TTBViewTimer::tiClose, delay);
    }
  }
  if (capture_) CancelCapture();
  TTBItemViewer* old = selected_;
  if (old) old->Leaving();
  selected_ = viewer;
  selectedViaMouse_ = viaMouse;
  mouseOverSelected_ = viaMouse && viewer != nullptr;
  if (old && (old->Item().GetItemStyle() & tbisRedrawOnSelChange)) Invalidate(old);
  if (viewer && (viewer->Item().GetItemStyle() & tbisRedrawOnSelChange)) Invalidate(viewer);
  if (viewer) viewer->Entering(old);
  NotifyFocusEvent();
  if (!modal) return;
  if (isPopup_) {
    StopTimer(TTBViewTimer::tiOpen);
    if (viaMouse && viewer && viewer != openViewer_ &&
        (viewer->Item().GetItemStyle() & tbisSubmenu)) {
      StartTimer(TTBViewTimer::tiOpen, delay);
    }
  }
  // A popup can be a toolbar view too (a chevron's): its submenus open at once.
  if (isToolbar_) {
    if (viaMouse && parentView_) Include(vsDropDownMenus);
    if ((state_ & vsDropDownMenus) && viewer &&
        (viaMouse || !(viewer->Item().GetItemStyle() & tbisNoAutoOpen))) {
      OpenChildPopup(!viaMouse);
    }
  }
}

TTBItemViewer* TTBView::ViewerFromPoint(TPoint clientPoint) const {
  ValidatePositionsConst();
  for (const auto& viewer : viewers_) {
    if (viewer->show_ && viewer->BoundsRect().Contains(clientPoint)) return viewer.get();
  }
  return nullptr;
}

void TTBView::ValidatePositionsConst() const {
  const_cast<TTBView*>(this)->ValidatePositions();
}

bool TTBView::AboveOrBelowArrow(TPoint clientPoint, bool& up) const {
  if (showUpArrow_ && clientPoint.y < kScrollArrowHeight) {
    up = true;
    return true;
  }
  if (showDownArrow_ && clientPoint.y >= maxHeight_ - kScrollArrowHeight &&
      clientPoint.y < maxHeight_) {
    up = false;
    return true;
  }
  return false;
}

void TTBView::UpdateSelection(TPoint screenPoint, bool allowNewSelection) {
  if (capture_) {
    // A pressed viewer keeps the selection; whether the pointer is over its button part decides
    // how it is drawn and whether a release runs it.
    Include(vsMouseInWindow);
    SetMouseOverSelected(selected_ && OverButtonPart(*selected_, screenPoint));
    return;
  }
  TTBItemViewer* candidate = (state_ & vsModal) ? selected_ : nullptr;
  TTBItemViewer* under = nullptr;
  bool overArrow = false, up = false;
  if (!(screenPoint == kNoPoint) && window_ && window_->ContainsScreenPoint(screenPoint)) {
    if (isPopup_) candidate = nullptr;
    Include(vsMouseInWindow);
    const TPoint client = window_->ScreenToClient(screenPoint);
    under = ViewerFromPoint(client);
    if (allowNewSelection || selected_) candidate = under;
    overArrow = AboveOrBelowArrow(client, up);
  } else {
    const bool had = (state_ & vsMouseInWindow) != 0;
    Exclude(vsMouseInWindow);
    if (isPopup_ && had &&
        !(candidate && candidate == openViewer_ &&
          (candidate->Item().GetItemStyle() & tbisSubmenu))) {
      candidate = nullptr;
    }
  }
  Select(candidate, true);
  // A selection kept while the cursor is elsewhere (a menu bar's item whose popup is open) is
  // not under the mouse: a release over the popup must reach the popup's item.
  if (selected_ && selected_ != under) mouseOverSelected_ = false;
  if (overArrow) {
    const TTBViewTimer start = up ? TTBViewTimer::tiScrollUp : TTBViewTimer::tiScrollDown;
    StopTimer(up ? TTBViewTimer::tiScrollDown : TTBViewTimer::tiScrollUp);
    if (!TimerRunning(start)) StartTimer(start, kScrollInterval);
  } else {
    StopTimer(TTBViewTimer::tiScrollUp);
    StopTimer(TTBViewTimer::tiScrollDown);
  }
}

TTBItemViewer* TTBView::NextSelectable(TTBItemViewer* from, bool goForward) const {
  ValidatePositionsConst();  // what is shown decides what can be selected
  const int n = ViewerCount();
  if (n == 0) return nullptr;
  const int start = from ? IndexOf(from) : (goForward ? -1 : n);
  for (int k = 1; k <= n; ++k) {
    const int i = (((start + (goForward ? k : -k)) % n) + n) % n;
    TTBItemViewer* viewer = viewers_[static_cast<std::size_t>(i)].get();
    if (Selectable(*viewer)) return viewer;
  }
  return nullptr;
}

TTBItemViewer* TTBView::FirstSelectable() const {
  TTBItemViewer* first = NextSelectable(nullptr, true);
  for (TTBItemViewer* viewer = first; viewer;) {
    if (!(viewer->Item().GetItemStyle() & tbisDontSelectFirst)) return viewer;
    viewer = NextSelectable(viewer, true);
    if (viewer == first) break;
  }
  return first;
}

TTBItemViewer* TTBView::NextSelectableWithAccel(TTBItemViewer* from, wchar_t key,
                                                bool requirePrimaryAccel,
                                                bool& isOnlyItemWithAccel) const {
  ValidatePositionsConst();
  isOnlyItemWithAccel = false;
  const int n = ViewerCount();
  if (n == 0 || key == 0) return nullptr;
  const wchar_t wanted = LowerCaseChar(key);
  const auto matches = [&](const TTBItemViewer& viewer) {
    if (!Selectable(viewer) || !viewer.CaptionShown()) return false;
    const std::wstring caption = viewer.GetCaptionText();
    const wchar_t accel = LastAccelChar(caption);
    if (accel) return LowerCaseChar(accel) == wanted;
    if (requirePrimaryAccel || wanted == L' ') return false;
    const std::wstring shown = RemoveAccelMarks(caption);
    return !shown.empty() && LowerCaseChar(shown[0]) == wanted;
  };
  const int start = from ? IndexOf(from) : -1;
  for (const bool enabled : {true, false}) {
    TTBItemViewer* found = nullptr;
    int matchCount = 0;
    for (int k = 1; k <= n; ++k) {
      TTBItemViewer* viewer = viewers_[static_cast<std::size_t>((start + k + n) % n)].get();
      if (viewer->Item().Enabled() != enabled || !matches(*viewer)) continue;
      if (!found) found = viewer;
      ++matchCount;
    }
    if (found) {
      isOnlyItemWithAccel = matchCount == 1;
      return found;
    }
  }
  return nullptr;
}

void TTBView::ExecuteSelected(bool givePriority) {
  if (selected_ && selected_->Item().Enabled()) {
    TTBItemViewer* viewer = selected_;
    const TTBItemStyle style = viewer->Item().GetItemStyle();
    bool opened = false;
    if (!(style & tbisCombo)) opened = OpenChildPopup(true);
    if (!opened && (style & tbisSelectable)) viewer->Execute(givePriority);
  } else {
    EndModal();
  }
}

void TTBView::KeyDown(std::uint16_t& key, ui::TShiftState shift) {
  TTBView* toolbar = ToolbarInChain();
  const bool verticalToolbar = toolbar && toolbar->orientation_ == TTBViewOrientation::tbvoVertical;
  const std::uint16_t pressed = key;
  // Each action may close (and free) this view: the key is consumed first and nothing of this
  // view is touched after the action.
  switch (pressed) {
    case vk::Left:
    case vk::Right:
      key = 0;
      if (this == toolbar && verticalToolbar) {
        OpenChildPopup(true);
      } else if (pressed == vk::Left) {
        if (!toolbar || verticalToolbar) {
          if (parentView_) parentView_->CancelChildPopups();  // a root popup stays open
        } else if (this == toolbar || parentView_ == toolbar) {
          toolbar->Select(toolbar->NextSelectable(toolbar->selected_, false), false);
        } else if (parentView_) {
          parentView_->CloseChildPopups();
        }
      } else {
        if (this != toolbar && OpenChildPopup(true)) return;
        if (toolbar && !verticalToolbar) {
          toolbar->Select(toolbar->NextSelectable(toolbar->selected_, true), false);
        }
      }
      return;
    case vk::Up:
    case vk::Down:
      key = 0;
      if (this == toolbar && !verticalToolbar) {
        OpenChildPopup(true);
      } else {
        Select(NextSelectable(selected_, pressed == vk::Down), false);
        ScrollSelectedIntoView();
      }
      return;
    case vk::Home:
    case vk::End:
      key = 0;
      Select(NextSelectable(nullptr, pressed == vk::Home), false);
      ScrollSelectedIntoView();
      return;
    case vk::Tab:
      key = 0;
      Select(NextSelectable(selected_, !(shift & ui::ssShift)), false);
      ScrollSelectedIntoView();
      return;
    case vk::Return:
      key = 0;
      ExecuteSelected(true);
      return;
    case vk::Escape:
      key = 0;
      if (parentView_)
        parentView_->CancelChildPopups();
      else
        EndModal();
      return;
    case vk::Menu:
    case vk::F10:
      key = 0;
      EndModal();
      return;
    case vk::F1:
      for (TTBView* view = this; view; view = view->parentView_) {
        if (view->selected_ && view->selected_->Item().HelpContext() != 0) {
          key = 0;
          EndModalWithHelp(static_cast<std::uint32_t>(view->selected_->Item().HelpContext()));
          return;
        }
      }
      return;
    default:
      return;
  }
}

// --- child popups and timers

bool TTBView::OpenChildPopup(bool selectFirstItem) {
  StopTimer(TTBViewTimer::tiOpen);
  StopTimer(TTBViewTimer::tiClose);
  if (selected_ != openViewer_) {
    CloseChildPopups();
    TTBItemViewer* viewer = selected_;
    if (viewer && viewer->Item().Enabled() && (viewer->Item().GetItemStyle() & tbisSubmenu)) {
      TTBPopupRequest request;
      request.parentView = this;
      request.parentViewer = viewer;
      request.positionAsSubmenu = !isToolbar_;
      request.selectFirstItem = selectFirstItem;
      TTBPopupWindowBase* popup = viewer->Item().CreatePopup(request);
      // Placement records the popup as soon as it is placed; adopt one it did not record.
      if (popup && popup != openViewerWindow_.get()) {
        RecordOpenPopup(std::unique_ptr<TTBPopupWindowBase>(popup), viewer);
      }
    }
  }
  return openViewer_ != nullptr;
}

void TTBView::RecordOpenPopup(std::unique_ptr<TTBPopupWindowBase> popup, TTBItemViewer* viewer) {
  if (openViewerWindow_) CloseChildPopups();
  openViewerView_ = &popup->View();
  openViewerWindow_ = std::move(popup);
  openViewer_ = viewer;
  if (isToolbar_) Include(vsDropDownMenus);
  Invalidate(viewer);
}

void TTBView::CloseChildPopups() {
  if (openViewerView_) openViewerView_->CloseChildPopups();
  StopTimer(TTBViewTimer::tiClose);
  if (!openViewerWindow_) {
    openViewer_ = nullptr;
    openViewerView_ = nullptr;
    return;
  }
  // The child's teardown still sees which viewer it was opened from.
  std::unique_ptr<TTBPopupWindowBase> window = std::move(openViewerWindow_);
  window.reset();
  TTBItemViewer* was = openViewer_;
  openViewer_ = nullptr;
  openViewerView_ = nullptr;
  if (was) Invalidate(was);
}

void TTBView::CancelChildPopups() {
  if (isToolbar_) Exclude(vsDropDownMenus);
  CloseChildPopups();
}

void TTBView::StartTimer(TTBViewTimer timer, unsigned milliseconds) {
  if (!window_ || !window_->IsPopupWindow() || !window_->HasHandle()) return;
  StopTimer(timer);
  window_->SetTimer(kViewTimerBase + static_cast<int>(timer), milliseconds);
  activeTimers_ |= TimerBit(timer);
}

void TTBView::StopTimer(TTBViewTimer timer) {
  if (!(activeTimers_ & TimerBit(timer))) return;
  activeTimers_ &= static_cast<std::uint8_t>(~TimerBit(timer));
  if (window_) window_->KillTimer(kViewTimerBase + static_cast<int>(timer));
}

void TTBView::StopAllTimers() {
  for (const TTBViewTimer timer : {TTBViewTimer::tiOpen, TTBViewTimer::tiClose,
                                   TTBViewTimer::tiScrollUp, TTBViewTimer::tiScrollDown}) {
    StopTimer(timer);
  }
}

bool TTBView::TimerRunning(TTBViewTimer timer) const {
  return (activeTimers_ & TimerBit(timer)) != 0;
}

void TTBView::TimerFired(TTBViewTimer timer) {
  switch (timer) {
    case TTBViewTimer::tiOpen:
      StopTimer(timer);
      OpenChildPopup(false);
      break;
    case TTBViewTimer::tiClose:
      StopTimer(timer);
      CloseChildPopups();
      break;
    case TTBViewTimer::tiScrollUp:
      if (showUpArrow_)
        ScrollBy(false);
      else
        StopTimer(timer);
      break;
    case TTBViewTimer::tiScrollDown:
      if (showDownArrow_)
        ScrollBy(true);
      else
        StopTimer(timer);
      break;
  }
}

void TTBView::BecomeChevronPopup(TTBView& toolbarView) {
  chevronParentView_ = &toolbarView;
  isToolbar_ = true;
  style_ |= toolbarView.style_ & vsAlwaysShowHints;
  if (toolbarView.backgroundColor_ != ui::clDefault)
    backgroundColor_ = toolbarView.backgroundColor_;
  InvalidatePositions();  // it shows other viewers, laid out as a toolbar
}

// --- ending the loop

void TTBView::EndModal() {
  Root()->doneActionData_.doneAction = TTBDoneAction::tbdaCancel;
}

void TTBView::EndModalWithClick(TTBItemViewer* viewer) {
  TTBDoneActionData& data = Root()->doneActionData_;
  data.doneAction = TTBDoneAction::tbdaClickItem;
  data.clickItem = &viewer->Item();
  data.sound = viewer->View().IsPopup();
}

void TTBView::EndModalWithHelp(std::uint32_t contextId) {
  TTBDoneActionData& data = Root()->doneActionData_;
  data.doneAction = TTBDoneAction::tbdaHelpContext;
  data.contextId = contextId;
}

void TTBView::EndModalWithSystemMenu(std::uintptr_t wnd, std::uint32_t key) {
  TTBDoneActionData& data = Root()->doneActionData_;
  data.doneAction = TTBDoneAction::tbdaOpenSystemMenu;
  data.wnd = wnd;
  data.key = key;
}

bool TTBView::IsModalEnding() const {
  return const_cast<TTBView*>(this)->Root()->doneActionData_.doneAction != TTBDoneAction::tbdaNone;
}

void TTBView::CancelMode() {
  EndModal();
  std::vector<TTBView*> chain;
  for (TTBView* view = Root(); view; view = view->openViewerView_) chain.push_back(view);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    (*it)->StopAllTimers();
    if ((*it)->isPopup_ && (*it)->window_) (*it)->window_->HideWindow();
  }
}

void TTBView::CancelCapture() {
  if (!capture_) return;
  capture_ = false;
  LastMousePosition() = kNoPoint;
  if (selected_) selected_->LosingCapture();
}

// --- priority

void TTBView::GivePriority(TTBItemViewer* viewer) {
  if (!viewer) return;
  if (chevronParentView_) {
    for (const auto& other : chevronParentView_->viewers_) {
      if (&other->Item() == &viewer->Item()) {
        chevronParentView_->GivePriority(other.get());
        break;
      }
    }
    return;
  }
  if (usePriorityList_) {
    const auto found = std::find(priorityList_.begin(), priorityList_.end(), viewer);
    if (found != priorityList_.end()) std::rotate(priorityList_.begin(), found, found + 1);
    if (!validated_ || viewer->offEdge_) {
      InvalidatePositions();
      TryValidatePositions();
    }
  }
  if (parentView_ && parentView_->openViewer_) {
    parentView_->GivePriority(parentView_->openViewer_);
  }
}

TTBItemViewer* TTBView::HighestPriorityViewer() const {
  const auto qualifies = [](const TTBItemViewer* v) {
    return v->show_ && !(v->Item().GetItemStyle() & tbisSeparator);
  };
  if (usePriorityList_) {
    for (TTBItemViewer* viewer : priorityList_) {
      if (qualifies(viewer)) return viewer;
    }
    return nullptr;
  }
  for (const auto& viewer : viewers_) {
    if (qualifies(viewer.get())) return viewer.get();
  }
  return nullptr;
}

// --- painting support

void TTBView::Invalidate(TTBItemViewer* viewer) {
  if (!viewer || !validated_ || !window_ || !window_->HasHandle() || !viewer->show_) return;
  const TRect rect = viewer->BoundsRect();
  if (rect.IsEmpty() || dynamic_cast<TTBControlItem*>(&viewer->Item())) return;
  viewer->needsRepaint_ = true;
  window_->InvalidateRect(rect);
}

std::vector<TTBItemViewer*> TTBView::ViewersToDraw(const TRect& clip) {
  ValidatePositions();
  std::vector<TTBItemViewer*> result;
  TTBItemViewer* last = nullptr;
  for (const auto& viewer : viewers_) {
    if (!viewer->show_ || !RectsIntersect(viewer->BoundsRect(), clip)) continue;
    if (viewer.get() == selected_ && !(state_ & vsDrawInOrder))
      last = viewer.get();
    else
      result.push_back(viewer.get());
  }
  if (last) result.push_back(last);
  Exclude(vsDrawInOrder);
  return result;
}

void TTBView::SetAccelsVisibility(bool show) {
  const bool visible = show || !(style_ & vsUseHiddenAccels) || SystemSettings().KeyboardCues();
  if (visible == ((state_ & vsShowAccels) != 0)) return;
  if (visible)
    Include(vsShowAccels);
  else
    Exclude(vsShowAccels);
  for (const auto& viewer : viewers_) {
    if (LastAccelChar(viewer->GetCaptionText()) != 0) Invalidate(viewer.get());
  }
}

std::vector<ui::TComponent*> TTBView::GetOffEdgeControlList() const {
  std::vector<ui::TComponent*> controls;
  for (const auto& viewer : viewers_) {
    const auto* item = dynamic_cast<const TTBControlItem*>(&viewer->Item());
    if (item && item->Control() && viewer->offEdge_) controls.push_back(item->Control());
  }
  return controls;
}

TTBItemViewer* TTBView::HintAt(TPoint clientPoint, bool showShortCuts, std::wstring& text,
                               TRect& cursorRect) const {
  TTBItemViewer* viewer = ViewerFromPoint(clientPoint);
  if (!viewer) return nullptr;
  text = viewer->GetHintText(showShortCuts);
  cursorRect = viewer->BoundsRect();
  return viewer;
}

void TTBView::NotifyFocusEvent() {
  if (!(state_ & vsModal) || IsModalEnding() || !window_ || !window_->HasHandle()) return;
  if (selected_ && selected_->accNumber_ > 0) {
    window_->NotifyFocusEvent(selected_->accNumber_);
  } else if (!selected_ && parentView_) {
    parentView_->NotifyFocusEvent();
  }
}

// --- settings

void TTBView::SetOrientation(TTBViewOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  InvalidatePositions();
}

void TTBView::SetWrapOffset(int offset) {
  if (offset == wrapOffset_) return;
  wrapOffset_ = offset;
  InvalidatePositions();
}

void TTBView::SetChevronOffset(int offset) {
  if (offset == chevronOffset_) return;
  chevronOffset_ = offset;
  InvalidatePositions();
}

void TTBView::SetChevronSize(int size) {
  if (size == chevronSize_) return;
  chevronSize_ = size;
  InvalidatePositions();
}

void TTBView::SetMaxHeight(int height) {
  if (height == maxHeight_) return;
  maxHeight_ = height;
  InvalidatePositions();
}

void TTBView::SetUsePriorityList(bool use) {
  if (use == usePriorityList_) return;
  usePriorityList_ = use;
  RecreateAllViewers();
}

}  // namespace tb
