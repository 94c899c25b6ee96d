#include "tb/toolbar_view.h"

#include <algorithm>

#include "tb/common.h"
#include "tb/consts.h"

namespace tb {

TTBToolbarViewSettings ToolbarViewSettings(const TTBToolbarViewInput& in) {
  TTBToolbarViewSettings s;
  switch (in.dockType) {
    case TTBDockType::dtLeftRight:
      s.orientation = TTBViewOrientation::tbvoVertical;
      break;
    case TTBDockType::dtFloating:
      s.orientation = TTBViewOrientation::tbvoFloating;
      break;
    default:
      s.orientation = TTBViewOrientation::tbvoHorizontal;
      break;
  }
  if (in.dockType == TTBDockType::dtNotDocked) {
    if (!in.autoResize || in.anchoredLeftAndRight) {
      const int inner = in.width - in.nonClientWidth;
      if (in.shrinkMode == TTBShrinkMode::tbsmChevron) s.chevronOffset = inner;
      if (in.shrinkMode == TTBShrinkMode::tbsmWrap) s.wrapOffset = inner;
    }
    return s;
  }
  const bool docked = in.dockType != TTBDockType::dtFloating;
  if (docked && in.shrinkMode == TTBShrinkMode::tbsmChevron) {
    s.chevronOffset = std::max(in.dockGivenLength - in.dockedFrameLength, 0);
  }
  if (!docked) {
    s.wrapOffset = in.floatingWidth;
  } else if (in.shrinkMode == TTBShrinkMode::tbsmWrap) {
    s.wrapOffset = in.dockInnerLength - in.dockedFrameLength;
  }
  return s;
}

// --- the toolbar's view

TTBToolbarView::TTBToolbarView(ui::TComponent* owner, ITBToolbarViewHost& toolbar,
                               TTBCustomItem* rootItem, ITBViewWindow* window, bool usePriorityList)
    : TTBView(owner, nullptr, rootItem, window, true, false, usePriorityList), toolbar_(toolbar) {
  // The base constructor could not reach the chevron and MDI items.
  RecreateAllViewers();
}

void TTBToolbarView::ApplySettings(const TTBToolbarViewSettings& s) {
  SetOrientation(s.orientation);
  SetChevronSize(s.chevronSize);
  SetChevronOffset(s.chevronOffset);
  SetWrapOffset(s.wrapOffset);
}

void TTBToolbarView::AutoSize(int width, int height) {
  toolbar_.ViewAutoSize(width, height);
}

void TTBToolbarView::DoUpdatePositions(int& width, int& height) {
  struct InLayout {
    ITBToolbarViewHost& toolbar;
    explicit InLayout(ITBToolbarViewHost& t) : toolbar(t) { toolbar.LayoutStarting(); }
    ~InLayout() { toolbar.LayoutFinished(); }
  } inLayout(toolbar_);
  TTBView::DoUpdatePositions(width, height);
  // At least as thick as the row on the dock; a chevron toolbar at least as long as its wrap
  // offset, so that a floating one keeps its floating width. (Docked, the chevron already
  // ends the room the dock gives it.)
  const bool vertical = Orientation() == TTBViewOrientation::tbvoVertical;
  int& across = vertical ? width : height;
  int& along = vertical ? height : width;
  const int before[2] = {width, height};
  across = std::max(across, toolbar_.MinRowSize());
  if (toolbar_.ShrinkMode() == TTBShrinkMode::tbsmChevron) along = std::max(along, WrapOffset());
  if (width != before[0] || height != before[1]) toolbar_.ViewAutoSize(width, height);
}

// --- the chevron

TTBChevronItem::TTBChevronItem(ui::TComponent* owner) : TTBCustomItem(owner) {
  SetItemStyle(GetItemStyle() | tbisSubmenu | tbisNoAutoOpen);
  SetChevronHint(TBText(STBChevronItemMoreButtonsHint));
}

void TTBChevronItem::SetChevronHint(const std::wstring& hint) {
  SetHint(hint);
  const std::size_t bar = hint.find(L'|');
  SetCaption(DoubleAmpersands(bar == std::wstring::npos ? hint : hint.substr(0, bar)));
}

std::unique_ptr<TTBItemViewer> TTBChevronItem::CreateViewer(TTBView& view, int groupLevel) {
  return std::make_unique<TTBChevronItemViewer>(view, *this, groupLevel);
}

TTBChevronGlyph ChevronGlyph(bool vertical, const TRect& r, bool pushed) {
  static constexpr std::uint8_t kRight[8] = {0xCC, 0x66, 0x33, 0x66, 0xCC, 0, 0, 0};
  static constexpr std::uint8_t kDown[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
  TTBChevronGlyph glyph;
  std::copy_n(vertical ? kDown : kRight, 8, glyph.rows);
  glyph.rect = vertical ? TRect{r.right - 9, r.top + 2, r.right - 4, r.top + 10}
                        : TRect{r.left + 2, 4, r.left + 10, 9};
  if (pushed) glyph.rect = OffsetRect(glyph.rect, 1, 1);
  return glyph;
}

// --- keyboard entry

TTBKeyboardOpenChoice ChooseKeyboardOpen(const TTBView& view, wchar_t key, bool requirePrimaryAccel,
                                         bool menuBar) {
  TTBKeyboardOpenChoice choice;
  if (key == 0) {
    choice.enterLoop = true;
    choice.select = view.FirstSelectable();
    return choice;
  }
  bool only = false;
  TTBItemViewer* found =
      view.NextSelectableWithAccel(view.Selected(), key, requirePrimaryAccel, only);
  if (!found || !found->Item().Enabled()) return choice;
  if (only) {
    choice = {true, found, tbetExecuteSelected};
  } else if (menuBar) {
    choice = {true, found, 0};
  }
  return choice;
}

bool ToolbarKeyboardOpen(TTBView& view, wchar_t key, bool requirePrimaryAccel, bool menuBar,
                         ITBToolbarLoopEntry& entry) {
  if (view.State() & vsModal) return false;
  view.SetAccelsVisibility(true);
  struct HideAgain {
    TTBView& view;
    ~HideAgain() { view.SetAccelsVisibility(false); }
  } hideAgain{view};
  const TTBKeyboardOpenChoice choice = ChooseKeyboardOpen(view, key, requirePrimaryAccel, menuBar);
  if (!choice.enterLoop) return false;
  view.Select(choice.select, false);
  entry.EnterLoop(choice.options);
  return true;
}

bool ToolbarKeyMenu(TTBView& view, bool menuBar, bool usable, bool captureHeld, wchar_t key,
                    ITBToolbarLoopEntry& entry) {
  if (!menuBar || !usable || captureHeld || key == L' ') return false;
  if (!ToolbarKeyboardOpen(view, key, false, true, entry) && key != L'-') entry.Beep();
  return true;
}

int ToolbarShrinkLimit(TTBView& view, int dockedFrameLength) {
  view.ValidatePositions();
  int length = 0;
  if (const TTBItemViewer* viewer = view.HighestPriorityViewer()) {
    const TRect r = viewer->BoundsRect();
    length = view.Orientation() == TTBViewOrientation::tbvoVertical ? r.Height() : r.Width();
  }
  return length + dockedFrameLength + kChevronSize;
}

// --- floating resize

std::vector<TTBFloatingSize> FloatingSizes(const std::function<TTBFloatingLayout(int)>& layoutAt,
                                           TPoint frame, int minWrap, bool byWidth) {
  std::vector<TTBFloatingSize> sizes;
  const auto record = [&](const TTBFloatingLayout& l, int wrap) {
    sizes.push_back({l.width + frame.x, l.height + frame.y, wrap, l.lines});
  };
  const TTBFloatingLayout whole = layoutAt(0);
  record(whole, 0);
  for (int wrap = whole.width - 1; wrap > minWrap;) {
    const TTBFloatingLayout l = layoutAt(wrap);
    if (l.width > wrap) break;  // an item no longer fits
    if (l.width < wrap) {
      wrap = l.width;
      continue;
    }
    if (sizes.size() > 1 && sizes.back().lines == l.lines) sizes.pop_back();
    record(l, wrap);
    --wrap;
  }
  std::stable_sort(sizes.begin(), sizes.end(), [&](const auto& a, const auto& b) {
    return byWidth ? a.width > b.width : a.height > b.height;
  });
  return sizes;
}

TToolbarSizeData::TToolbarSizeData(std::vector<TTBFloatingSize> sizes, bool byWidth,
                                   TPoint original)
    : newSizes_(std::move(sizes)),
      byWidth_(byWidth),
      origLength_(byWidth ? original.x : original.y) {
  // The dead zone reaches half way to the neighbouring sizes.
  int smaller = origLength_, larger = origLength_;
  for (const TTBFloatingSize& size : newSizes_) {
    const int length = Length(size);
    if (length < origLength_ && (smaller == origLength_ || length > smaller)) smaller = length;
    if (length > origLength_ && (larger == origLength_ || length < larger)) larger = length;
  }
  distanceToSmallerSize_ = (origLength_ - smaller) / 2;
  distanceToLargerSize_ = (larger - origLength_) / 2;
}

const TTBFloatingSize& TToolbarSizeData::Step(int draggedLength) {
  const int diff = draggedLength - origLength_;
  if (diff != 0 && (diff > 0) != opSide_) {
    opSide_ = diff > 0;
    disableSensCheck_ = false;
  }
  int length = draggedLength;
  if (!disableSensCheck_ && diff >= -distanceToSmallerSize_ && diff <= distanceToLargerSize_)
    length = origLength_;
  // newSizes_ runs longest first.
  const TTBFloatingSize* chosen = nullptr;
  if (length > origLength_) {
    for (const TTBFloatingSize& size : newSizes_)
      if (Length(size) >= length) chosen = &size;
    if (!chosen) chosen = &newSizes_.front();
  } else {
    for (auto it = newSizes_.rbegin(); it != newSizes_.rend(); ++it)
      if (Length(*it) <= length) chosen = &*it;
    if (!chosen) chosen = &newSizes_.back();
  }
  if (Length(*chosen) != origLength_) disableSensCheck_ = true;
  return *chosen;
}

}  // namespace tb
