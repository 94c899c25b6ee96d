// Points and rectangles of the toolbar framework's portable core (client or screen pixels).
//   TPoint; ui::TRect with PtInRect(rect, point), IntersectRect(a, b), IsRectEmpty(rect),
//   OffsetRect(rect, dx, dy). kNoPoint stands for "no mouse position".
#pragma once

#include <algorithm>

#include "ui/align_layout.h"

namespace tb {

using ui::TRect;

struct TPoint {
  int x = 0, y = 0;
  bool operator==(const TPoint&) const = default;
};

inline constexpr int kNoCoordinate = static_cast<int>(0x80000000u);
inline constexpr TPoint kNoPoint{kNoCoordinate, kNoCoordinate};

inline bool PtInRect(const TRect& r, TPoint p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool IsRectEmpty(const TRect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}
inline bool RectsIntersect(const TRect& a, const TRect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}
inline TRect OffsetRect(TRect r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace tb
