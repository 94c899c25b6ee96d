#include "skbar/splitter_model.h"

#include <algorithm>

namespace skbar {

namespace {

bool Contains(const TRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Touches(const TRect& c, const TRect& s, TAlign align) {
  switch (align) {
    case TAlign::alTop:
      return c.bottom == s.top;
    case TAlign::alBottom:
      return c.top == s.bottom;
    case TAlign::alRight:
      return c.left == s.right;
    default:
      return c.right == s.left;
  }
}

}  // namespace

int FindSplitControl(const TRect& s, TAlign align, const std::vector<TSplitCandidate>& siblings) {
  int x = s.left - 1, y = s.top;
  switch (align) {
    case TAlign::alTop:
      x = s.left, y = s.top - 1;
      break;
    case TAlign::alBottom:
      x = s.left, y = s.bottom;
      break;
    case TAlign::alRight:
      x = s.right, y = s.top;
      break;
    default:
      break;
  }
  int touching = -1, containing = -1;
  for (int i = 0; i < static_cast<int>(siblings.size()); ++i) {
    const TSplitCandidate& c = siblings[static_cast<std::size_t>(i)];
    if (!c.visible || c.excluded || c.align != align) continue;
    if (touching < 0 && Touches(c.bounds, s, align)) touching = i;
    if (containing < 0 && Contains(c.bounds, x, y)) containing = i;
  }
  const int found = touching >= 0 ? touching : containing;
  if (found >= 0 && siblings[static_cast<std::size_t>(found)].emptyMultiDock) return -1;
  return found;
}

int SplitMaxSize(int clientLength, int minSize, int splitterLength, int alignedLengthsSum,
                 int controlLength) {
  return clientLength - minSize - splitterLength - alignedLengthsSum + controlLength;
}

TRect SplitterGripRect(const TRect& c, bool vertical, int gripSize) {
  if (gripSize <= 0) return {};
  if (vertical) {
    const int top = c.top + (c.Height() - gripSize) / 2;
    return {c.left, top, c.right, top + gripSize};
  }
  const int left = c.left + (c.Width() - gripSize) / 2;
  return {left, c.top, left + gripSize, c.bottom};
}

TRect SplitterGripDrawRect(const TRect& g, bool vertical) {
  const int dx = vertical ? 1 : 10, dy = vertical ? 10 : 1;
  return {g.left + dx, g.top + dy, g.right - dx, g.bottom - dy};
}

bool TSplitterModel::IsCollapsed(const ISplitControl& control) const {
  return control.SplitSize() <= std::max(FMinSize, control.MinConstraint());
}

bool TSplitterModel::FireMoving(int& newSize) {
  bool accept = true;
  if (OnMoving) OnMoving(newSize, accept);
  if (accept && newSize < FMinSize) newSize = 0;
  return accept;
}

void TSplitterModel::ResizeControl(ISplitControl& control, int size) {
  if (size == control.SplitSize()) return;
  control.SetSplitSize(size);
  FOldSize = size;
  if (OnMoved) OnMoved();
}

void TSplitterModel::ChangeSplitControlSize(ISplitControl& control, int newSize) {
  newSize = std::max(newSize, FMinSize);
  if (!FireMoving(newSize)) return;
  // Collapsing remembers the open size; collapsing again must not forget it.
  if (newSize <= std::max(FMinSize, control.MinConstraint()) && !IsCollapsed(control))
    FRestorePos = control.SplitSize();
  ResizeControl(control, newSize);
}

void TSplitterModel::Restore(ISplitControl& control) {
  if (IsCollapsed(control)) ChangeSplitControlSize(control, FRestorePos);
}

void TSplitterModel::Toggle(ISplitControl& control) {
  if (IsCollapsed(control))
    Restore(control);
  else
    Minimize(control);
}

void TSplitterModel::MouseDown(ISplitControl& control, int pos, bool inGrip, int maxSize) {
  FControl = &control;
  FGripPressed = inGrip && FGripSize > 0;
  FDownPos = pos;
  FStartSize = control.SplitSize();
  FOldSize = FStartSize;
  FMaxSize = maxSize;
  FMoved = false;
  ComputeSplit(pos);
  FLineVisible = LineStyle();
}

void TSplitterModel::ComputeSplit(int pos) {
  const bool grows = FAlign != TAlign::alBottom && FAlign != TAlign::alRight;
  const int offset = pos - FDownPos;
  int size = FStartSize + (grows ? offset : -offset);
  if (AutoCalcMaxSize) size = std::min(size, FMaxSize);
  size = std::max(size, FMinSize);
  FNewSize = size;
  FSplit = grows ? size - FStartSize : FStartSize - size;
}

void TSplitterModel::MouseMove(int pos) {
  if (!FControl || (pos == FDownPos && !FMoved)) return;
  ComputeSplit(pos);
  if (!FireMoving(FNewSize)) return;
  FMoved = true;
  if (ResizeStyle == TResizeStyle::rsUpdate) ResizeControl(*FControl, FNewSize);
}

void TSplitterModel::MouseUp(bool inGrip) {
  if (!FControl) return;
  ISplitControl& control = *FControl;
  FLineVisible = false;
  // Only an accepted move resizes at release: a move that OnMoving refused, or a plain click,
  // leaves the control as it is.
  if (FMoved) {
    ResizeControl(control, FNewSize);
    // A drag that ended collapsed from an open size: the grip's restore gives that size back.
    const bool wasOpen = FStartSize > std::max(FMinSize, control.MinConstraint());
    if (!FGripPressed && wasOpen && IsCollapsed(control)) FRestorePos = FStartSize;
  } else if (FGripPressed && inGrip) {
    Toggle(control);
  }
  FGripPressed = false;
  FGripHot = false;
  EndDrag();
}

void TSplitterModel::Cancel() {
  FGripPressed = false;
  EndDrag();
}

void TSplitterModel::EndDrag() {
  FControl = nullptr;
  FLineVisible = false;
  FMoved = false;
}

bool TSplitterModel::SetGripHot(bool hot) {
  if (FGripHot == hot) return false;
  FGripHot = hot;
  return true;
}

}  // namespace skbar
