#include "skbar/sk_toolbar_view.h"

#include <algorithm>

namespace skbar {

tb::TTBItemOptions SkDisplayModeOptions(tb::TTBItemOptions options, TSkBarToolbarDisplayMode mode) {
  constexpr tb::TTBItemOptions kAbove = tb::tboImageAboveCaption | tb::tboSameWidth;
  return static_cast<tb::TTBItemOptions>(mode == tbdmImageAboveCaption ? options | kAbove
                                                                       : options & ~kAbove);
}

int SkRightAlignSpacerWidth(int dockLength, int margin, int totalLength, int spacerLength) {
  return std::max(0, dockLength - margin - (totalLength - spacerLength));
}

TSkBarToolbarView::TSkBarToolbarView(ui::TComponent* owner, tb::ITBToolbarViewHost& toolbar,
                                     ISkBarToolbarHost& skinned, tb::TTBCustomItem* rootItem,
                                     tb::ITBViewWindow* window, bool usePriorityList)
    : tb::TTBToolbarView(owner, toolbar, rootItem, window, usePriorityList), skinned_(skinned) {}

void TSkBarToolbarView::SetFixedItemSize(int size) {
  if (fixedItemSize_ == size) return;
  fixedItemSize_ = size;
  InvalidatePositions();
  tb::TTBView::BeginUpdate();
  tb::TTBView::EndUpdate();
}

void TSkBarToolbarView::BeginUpdate() {
  ++updating_;
  tb::TTBView::BeginUpdate();
}

void TSkBarToolbarView::EndUpdate() {
  if (updating_ == 0) return;
  --updating_;
  tb::TTBView::EndUpdate();
  if (updating_ == 0) skinned_.ViewUpdateEnded();
}

void TSkBarToolbarView::DoUpdatePositions(int& width, int& height) {
  if (Window() && skinned_.CanMeasureItems() && ViewerCount() > 2 && !IsUpdating()) {
    // The largest item across the view, each measured without stretching.
    const bool vertical = Orientation() == tb::TTBViewOrientation::tbvoVertical;
    measuring_ = true;
    int largest = 0;
    for (int i = 0; i < ViewerCount(); ++i) {
      tb::TTBItemViewer* viewer = Viewers(i);
      if (!viewer->Item().Visible()) continue;
      int w = 0, h = 0;
      viewer->CalcSize(Window()->Measure(), w, h);
      largest = std::max(largest, vertical ? w : h);
    }
    measuring_ = false;
    maxItemSize_ = largest;
  }
  tb::TTBToolbarView::DoUpdatePositions(width, height);
}

TSkItemDropPlace SkItemDropPlace(int index, int ownIndex, int count) {
  if (index < 0) return {};
  if (ownIndex >= 0) {
    if (index > ownIndex) --index;
    if (index == ownIndex) return {};
    --count;
  }
  return {true, std::min(index, std::max(count, 0))};
}

}  // namespace skbar
