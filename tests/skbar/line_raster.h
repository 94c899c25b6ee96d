// Pixels of the skin painters' shapes worked out from their point lists, as the platform draws
// them: lines are horizontal, vertical or diagonal at 45 degrees and leave out their last point;
// rectangles are half-open. Shared by the shape tests and the pixel tests under Wine.
#pragma once

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "skbar/sk_geometry.h"

namespace skbar_test {

using Pixels = std::set<std::pair<int, int>>;

inline void AddPolyline(Pixels& pixels, const std::vector<skbar::TPoint>& points) {
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    auto [x, y] = points[i];
    const auto [x2, y2] = points[i + 1];
    const int dx = (x2 > x) - (x2 < x), dy = (y2 > y) - (y2 < y);
    const int steps = std::max(std::abs(x2 - x), std::abs(y2 - y));
    for (int s = 0; s < steps; ++s, x += dx, y += dy) pixels.insert({x, y});
  }
}

inline void AddRect(Pixels& pixels, const skbar::TRect& r) {
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) pixels.insert({x, y});
  }
}

}  // namespace skbar_test
