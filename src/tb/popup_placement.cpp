#include "tb/popup_placement.h"

#include <algorithm>

namespace tb {

namespace {

using Mode = TTBPopupPlacementMode;

TRect At(int x, int y, int width, int height) {
  return {x, y, x + width, y + height};
}

bool Inside(const TRect& r, const TRect& m) {
  return r.left >= m.left && r.top >= m.top && r.right <= m.right && r.bottom <= m.bottom;
}

int Covered(const TTBPopupPlacementInput& in, const TRect& rect) {
  return in.coverCount ? in.coverCount(rect, in.coverData) : 0;
}

}  // namespace

TTBPopupPlacement PlacePopup(const TTBPopupPlacementInput& in) {
  const TRect& r = in.reference;
  const TRect& m = in.monitor;
  const int w = in.width, h = in.height;
  const bool submenu = in.mode == Mode::ppSubmenu;
  const bool vertical = in.mode == Mode::ppDropDownVertical || in.mode == Mode::ppChevronVertical;
  const bool point = in.mode == Mode::ppPoint;
  int x = 0, y = 0;
  switch (in.mode) {
    case Mode::ppPoint:
      x = r.left;
      y = r.top;
      if (in.alignment == TTBPopupAlignment::tbpaRight) x -= w;
      if (in.alignment == TTBPopupAlignment::tbpaCenter) x -= w / 2;
      break;
    case Mode::ppSubmenu:
      x = r.right - 3;
      y = r.top - 3;
      break;
    case Mode::ppDropDown:
      x = in.menuDropRight ? r.right - w : r.left;
      y = r.bottom;
      break;
    case Mode::ppDropDownVertical:
    case Mode::ppChevronVertical:
      x = r.left - w;
      y = r.top;
      break;
    case Mode::ppChevron:
      x = r.right - w;
      y = r.bottom;
      break;
  }

  // Vertical fit: above R when it does not fit below, then inside M. A vertical toolbar's
  // popups do not flip, but are kept inside M too: unclamped, one opened near the bottom of the
  // monitor would reach past it.
  if (!vertical && y + h > m.bottom) {
    const int above = submenu ? r.bottom + 3 - h : r.top - h;
    if (above >= m.top) y = above;
  }
  y = std::max(std::min(y, m.bottom - h), m.top);

  TTBPopupPlacement result;
  if (!submenu) {
    if (point && in.alignment == TTBPopupAlignment::tbpaRight && x < m.left) x += w;
    if (x + w > m.right) {
      if (!point || in.alignment != TTBPopupAlignment::tbpaLeft)
        x = m.right - w;
      else
        x -= w;
    }
    x = std::max(x, m.left);
    if (!point && !vertical) {
      // Avoid covering the parent's items; above only where that place is on the monitor.
      const TRect aboveRect = At(x, r.top - h, w, h);
      const bool overlaps = RectsIntersect(At(x, y, w, h), r);
      if (Inside(aboveRect, m) &&
          (overlaps || Covered(in, aboveRect) < Covered(in, At(x, y, w, h)))) {
        y = r.top - h;
      }
      if (RectsIntersect(At(x, y, w, h), r)) {
        x = r.right;
        if (x + w > m.right) x = r.left - w;
        x = std::max(x, m.left);
      }
    } else if (vertical) {
      const TRect rightRect = At(r.right, y, w, h);
      if ((r.right + w <= m.right && Covered(in, rightRect) < Covered(in, At(x, y, w, h))) ||
          RectsIntersect(At(x, y, w, h), r)) {
        x = r.right;
      }
      if (RectsIntersect(At(x, y, w, h), r)) {
        y = r.bottom;
        if (y + h > m.bottom) y = r.top - h;
        y = std::max(y, m.top);
      }
    }
  } else {
    if (x + w > m.right || in.parentOpposite) {
      x = r.left + 3 - w;
      result.opposite = true;
      if (x < m.left && in.parentOpposite) {
        // No room on the left either: back to the right side, and its own submenus with it,
        // kept on the monitor (it did not fit there either).
        x = r.right - 3;
        result.opposite = false;
        x = std::min(x, m.right - w);
      }
    }
    x = std::max(x, m.left);
  }

  if (submenu) {
    result.direction = (2 * x + w < r.left + r.right) ? tbadLeft : tbadRight;
  } else {
    if (y >= r.bottom)
      result.direction |= tbadDown;
    else if (y + h <= r.top)
      result.direction |= tbadUp;
    if (x >= r.right)
      result.direction |= tbadRight;
    else if (x + w <= r.left)
      result.direction |= tbadLeft;
  }
  result.x = x;
  result.y = y;
  return result;
}

}  // namespace tb
