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
