// Geometry helpers over the framework's TPoint and TRect (tb/common.h): RectsIntersect(a, b),
// OffsetRect(rect, dx, dy). kNoPoint stands for "no mouse position".
#pragma once

#include <algorithm>

#include "tb/common.h"

namespace tb {

inline constexpr int kNoCoordinate = static_cast<int>(0x80000000u);
inline constexpr TPoint kNoPoint{kNoCoordinate, kNoCoordinate};

inline bool RectsIntersect(const TRect& a, const TRect& b) {
  return std::max(a.left, b.left) < std::min(a.right, b.right) &&
         std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}
inline TRect OffsetRect(TRect r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace tb
