#include "tb/dock_drag.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "tb/geometry.h"

namespace tb {

int MulDivRound(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t num = static_cast<std::int64_t>(a) * b;
  const bool negative = (num < 0) != (c < 0);
  const std::int64_t den = std::llabs(c);
  const std::int64_t q = (std::llabs(num) + den / 2) / den;
  return static_cast<int>(negative ? -q : q);
}

int DragHandleWidth(TTBDragHandleStyle style, bool closeButtonWhenDocked) {
  if (closeButtonWhenDocked) return 14;
  switch (style) {
    case TTBDragHandleStyle::dhDouble:
      return 9;
    case TTBDragHandleStyle::dhNone:
      return 0;
    case TTBDragHandleStyle::dhSingle:
      break;
  }
  return 6;
}

TPoint DockedFrameSize(bool leftRight, bool allowDrag, int handleWidth) {
  TPoint size{4, 4};
  if (allowDrag) (leftRight ? size.y : size.x) += handleWidth;
  return size;
}

TRect DockedClientRect(const TRect& window, bool leftRight, bool allowDrag, int handleWidth) {
  TRect r{window.left + 2, window.top + 2, window.right - 2, window.bottom - 2};
  if (allowDrag) (leftRight ? r.top : r.left) += handleWidth;
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

TRect DockedCloseButtonRect(bool leftRight, int clientWidth, int handleWidth) {
  const int side = handleWidth - 3;
  const TPoint at = leftRight ? TPoint{clientWidth + 2 - side, 3} : TPoint{3, 2};
  return {at.x, at.y, at.x + side, at.y + side};
}

TRect FloatingCaptionRect(const TFloatingFrame& f, bool adjustForBorder, bool minusCloseButton) {
  const int captionHeight = f.smallCaptionHeight - 1;
  TRect r{0, 0, f.width - 2 * f.border.x, captionHeight};
  if (minusCloseButton) r.right -= captionHeight;
  return adjustForBorder ? OffsetRect(r, f.border.x, f.border.y) : r;
}

TRect FloatingCloseButtonRect(const TFloatingFrame& f, bool adjustForBorder) {
  TRect r = FloatingCaptionRect(f, adjustForBorder, false);
  r.left = r.right - (f.smallCaptionHeight - 1);
  return r;
}

int FloatingHitTest(const TFloatingFrame& f, TPoint p) {
  if (f.showCaption && FloatingCaptionRect(f, true, false).Contains(p))
    return f.closeButton && FloatingCloseButtonRect(f, true).Contains(p) ? kHitCloseButton
                                                                         : kHitFloatingCaption;
  if (!f.resizable) return kHitNowhere;
  const int bx = f.border.x, by = f.border.y, w = f.width, h = f.height;
  const bool left = p.x >= 0 && p.x < bx;
  const bool right = p.x >= w - bx - 1 && p.x < w;
  const bool top = p.y >= 0 && p.y < by;
  const bool bottom = p.y >= h - by - 1 && p.y < h;
  constexpr int L = kHitLeft, R = L + 1, T = L + 2, TL = L + 3, TR = L + 4, B = L + 5, BL = L + 6,
                BR = L + 7;
  if (!f.eightCorner) {
    if (top) return T;
    if (bottom) return B;
    if (left) return L;
    if (right) return R;
    return kHitNowhere;
  }
  const int c = f.smallCaptionHeight - 1 + bx;
  if (left) return p.y < c ? TL : p.y >= h - c ? BL : L;
  if (right) return p.y < c ? TR : p.y >= h - c ? BR : R;
  if (top) return p.x < c ? TL : p.x >= w - c ? TR : T;
  if (bottom) return p.x < c ? BL : p.x >= w - c ? BR : B;
  return kHitNowhere;
}

bool FloatingShouldShow(const TFloatingShowState& s) {
  if (!s.visible || s.hidden != 0) return false;
  if (!s.floating) return true;
  if (s.onTopOfParentForm && !s.parentFormShowing) return false;
  return !s.hideWhenInactive || s.applicationActive;
}

bool FloatingCaptionInactive(bool anyWindowActive, bool onTopOfParentForm, bool ownedByApplication,
                             bool activeFormIsOwnerAncestor) {
  if (!anyWindowActive) return true;
  return onTopOfParentForm && !ownedByApplication && !activeFormIsOwnerAncestor;
}

TDoubleClickAction DoubleClickAction(bool floating, bool docked, bool hasLastDock,
                                     bool hasDefaultDock, TTBDockMode mode) {
  if (floating) {
    if (hasLastDock) return TDoubleClickAction::DockToLast;
    return hasDefaultDock ? TDoubleClickAction::DockToDefault : TDoubleClickAction::None;
  }
  if (docked && mode == TTBDockMode::dmCanFloat) return TDoubleClickAction::Float;
  return TDoubleClickAction::None;
}

TRect MoveOnScreenRect(const TRect& rect, const TRect& workArea, bool onlyIfFullyOffscreen) {
  if (onlyIfFullyOffscreen && RectsIntersect(rect, workArea)) return rect;
  TRect r = rect;
  if (r.right > workArea.right) r = OffsetRect(r, workArea.right - r.right, 0);
  if (r.bottom > workArea.bottom) r = OffsetRect(r, 0, workArea.bottom - r.bottom);
  if (r.left < workArea.left) r = OffsetRect(r, workArea.left - r.left, 0);
  if (r.top < workArea.top) r = OffsetRect(r, 0, workArea.top - r.top);
  return r;
}

std::optional<TRect> DockTargetRect(const TDockedSize& dock, const TDragGrab& g, TPoint pointer) {
  // A 1-pixel window has no grab fraction: take it as grabbed at its start.
  const int sw = std::max(g.startSize.x, 1), sh = std::max(g.startSize.y, 1);
  const int left = pointer.x - MulDivRound(dock.size.x - 1, g.grab.x, sw);
  const int top = pointer.y - MulDivRound(dock.size.y - 1, g.grab.y, sh);
  const TRect rect{left, top, left + dock.size.x, top + dock.size.y};
  const TRect& b = dock.boundsRect;
  const TRect inflated{b.left - 3, b.top - 3, b.right + 3, b.bottom + 3};
  const int slackRight = MulDivRound(25, g.grab.x, sw);
  const int slackBottom = MulDivRound(25, g.grab.y, sh);
  if (pointer.x < inflated.left - (25 - slackRight) || pointer.x >= inflated.right + slackRight)
    return std::nullopt;
  if (IsLeftRight(dock.position) && (pointer.y < inflated.top || pointer.y >= inflated.bottom))
    return std::nullopt;
  if (pointer.y < inflated.top - (25 - slackBottom) || pointer.y >= inflated.bottom + slackBottom)
    return std::nullopt;
  if (!RectsIntersect(rect, inflated)) return std::nullopt;
  return rect;
}

int ChooseDockTarget(const std::vector<TDockedSize>& docks, const TDragGrab& g, TPoint pointer,
                     TRect& rect) {
  for (std::size_t i = 0; i < docks.size(); ++i) {
    if (auto r = DockTargetRect(docks[i], g, pointer)) {
      rect = *r;
      return static_cast<int>(i);
    }
  }
  return -1;
}

TRowChoice ChooseDockRow(const std::vector<TDockRowSize>& rows, int centre, bool windowFullSize) {
  int start = 0;
  for (const TDockRowSize& r : rows) {
    const int threshold = (r.fullSize || windowFullSize) ? r.thickness / 2 : r.thickness / 4;
    if (centre < start + threshold) return {r.row, true};
    if (!r.fullSize && centre < start + r.thickness - threshold) return {r.row, false};
    start += r.thickness;
  }
  return {rows.empty() ? 0 : rows.back().row + 1, false};
}

bool SplitReached(int startAlong, int nowAlong) {
  return std::abs(nowAlong - startAlong) >= 10;
}

TRect FloatingRectAt(TPoint pointer, TPoint grab, TPoint size, const TRect& workArea) {
  const TRect r{pointer.x - grab.x, pointer.y - grab.y, pointer.x - grab.x + size.x,
                pointer.y - grab.y + size.y};
  return MoveOnScreenRect(r, workArea, false);
}

TRect SizingRect(const TRect& start, TTBSizeHandle handle, TPoint delta,
                 const TSizeLimits& limits) {
  using H = TTBSizeHandle;
  const bool fromLeft =
      handle == H::twshLeft || handle == H::twshTopLeft || handle == H::twshBottomLeft;
  const bool fromRight =
      handle == H::twshRight || handle == H::twshTopRight || handle == H::twshBottomRight;
  const bool fromTop =
      handle == H::twshTop || handle == H::twshTopLeft || handle == H::twshTopRight;
  const bool fromBottom =
      handle == H::twshBottom || handle == H::twshBottomLeft || handle == H::twshBottomRight;
  TRect r = start;
  if (fromLeft) r.left += delta.x;
  if (fromRight) r.right += delta.x;
  if (fromTop) r.top += delta.y;
  if (fromBottom) r.bottom += delta.y;
  auto limit = [](int& lo, int& hi, bool moveLo, int minSize, int maxSize) {
    int wanted = hi - lo;
    if (wanted < minSize)
      wanted = minSize;
    else if (maxSize > 0 && wanted > maxSize)
      wanted = maxSize;
    else
      return;
    if (moveLo)
      lo = hi - wanted;
    else
      hi = lo + wanted;
  };
  limit(r.left, r.right, fromLeft, limits.minSize.x, limits.maxSize.x);
  limit(r.top, r.bottom, fromTop, limits.minSize.y, limits.maxSize.y);
  return r;
}

}  // namespace tb
