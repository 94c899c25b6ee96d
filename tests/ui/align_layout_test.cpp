#include "ui/align_layout.h"

#include <gtest/gtest.h>

namespace {

using ui::TAlign;
using ui::TRect;

TEST(UiAlignLayout, EdgesFirstThenClient) {
  const TRect client{0, 0, 888, 621};
  const std::vector<ui::AlignItem> items = {
      {TAlign::alClient, {0, 0, 10, 10}}, {TAlign::alBottom, {0, 0, 100, 19}},
      {TAlign::alTop, {0, 0, 100, 26}},   {TAlign::alLeft, {0, 0, 150, 10}},
      {TAlign::alRight, {0, 0, 200, 10}}, {TAlign::alNone, {5, 6, 7, 8}},
      {TAlign::alTop, {0, 0, 100, 10}},
  };
  const std::vector<TRect> expected = {
      {150, 36, 688, 602}, {0, 602, 888, 621}, {0, 0, 888, 26},  {0, 36, 150, 602},
      {688, 36, 888, 602}, {5, 6, 7, 8},       {0, 26, 888, 36},
  };
  EXPECT_EQ(ui::AlignRects(client, items), expected);
}

TEST(UiAlignLayout, SizesNeverGoNegative) {
  const std::vector<ui::AlignItem> items = {
      {TAlign::alTop, {0, 0, 10, 80}}, {TAlign::alBottom, {0, 0, 10, 80}}, {TAlign::alClient, {}}};
  const auto rects = ui::AlignRects({0, 0, 50, 100}, items);
  EXPECT_EQ(rects[0], (TRect{0, 0, 50, 80}));
  EXPECT_EQ(rects[1], (TRect{0, 80, 50, 100}));
  EXPECT_EQ(rects[2].Height(), 0);
}

}  // namespace

TEST(UiAlignLayout, AnchoredControlsKeepTheirDistancesToTheAnchoredEdges) {
  using S = ui::AnchorSides;
  const TRect origin{20, 30, 60, 50};  // in a parent of 200 x 100
  struct Case {
    std::uint8_t anchors;
    int width, height;
    TRect expected;
  };
  const Case cases[] = {
      {S::left | S::top, 300, 150, {20, 30, 60, 50}},
      {S::right | S::bottom, 300, 150, {120, 80, 160, 100}},
      {S::left | S::right | S::top | S::bottom, 300, 150, {20, 30, 160, 100}},
      {S::left | S::right | S::top, 100, 100, {20, 30, 20, 50}},  // never below zero wide
      {0, 400, 50, {60, 10, 100, 30}},  // neither side: the centre keeps its proportion
      {S::top, 200, 100, {20, 30, 60, 50}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::AnchorRect(origin, c.anchors, 200, 100, c.width, c.height), c.expected)
        << int{c.anchors} << " " << c.width;
  }
}
