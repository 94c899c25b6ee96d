#include "ui/align_layout.h"

#include <algorithm>

namespace ui {

std::vector<TRect> AlignRects(const TRect& client, const std::vector<AlignItem>& items) {
  std::vector<TRect> result;
  result.reserve(items.size());
  for (const AlignItem& item : items) result.push_back(item.bounds);
  TRect rest = client;
  const auto place = [&](TAlign align) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].align != align) continue;
      // A bar keeps its own extent even where the parent is too small for it (bars then
      // overlap): cutting it to the room left would lose it for good, since the bounds given
      // here are the extent kept for the next layout.
      const int height = std::max(items[i].bounds.Height(), 0);
      const int width = std::max(items[i].bounds.Width(), 0);
      // The other axis spans what is left, at least nothing.
      const int right = std::max(rest.right, rest.left);
      const int bottom = std::max(rest.bottom, rest.top);
      TRect& r = result[i];
      switch (align) {
        case TAlign::alTop:
          r = {rest.left, rest.top, right, rest.top + height};
          rest.top += height;
          break;
        case TAlign::alBottom:
          r = {rest.left, rest.bottom - height, right, rest.bottom};
          rest.bottom -= height;
          break;
        case TAlign::alLeft:
          r = {rest.left, rest.top, rest.left + width, bottom};
          rest.left += width;
          break;
        case TAlign::alRight:
          r = {rest.right - width, rest.top, rest.right, bottom};
          rest.right -= width;
          break;
        case TAlign::alClient:
          r = {rest.left, rest.top, right, bottom};
          break;
        case TAlign::alNone:
          break;
      }
    }
  };
  for (const TAlign align :
       {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    place(align);
  }
  return result;
}

namespace {

// One axis: the start and the extent of a span anchored at `low` and/or `high`.
void AnchorAxis(int& start, int& extent, bool low, bool high, int originSize, int size) {
  const int delta = size - originSize;
  if (low && high) {
    extent = std::max(extent + delta, 0);
  } else if (high) {
    start += delta;
  } else if (!low && originSize > 0) {
    const long long centre = start + extent / 2;
    start = static_cast<int>(centre * size / originSize) - extent / 2;
  }
}

}  // namespace

TRect AnchorRect(const TRect& origin, std::uint8_t anchors, int originWidth, int originHeight,
                 int width, int height) {
  int left = origin.left, top = origin.top, w = origin.Width(), h = origin.Height();
  AnchorAxis(left, w, anchors & AnchorSides::left, anchors & AnchorSides::right, originWidth,
             width);
  AnchorAxis(top, h, anchors & AnchorSides::top, anchors & AnchorSides::bottom, originHeight,
             height);
  return {left, top, left + w, top + h};
}

}  // namespace ui
