#include "tb/dock_drag.h"

#include <gtest/gtest.h>

namespace {

using tb::TPoint;
using tb::TRect;

TEST(TbDockDrag, DockedFrame) {
  using tb::TTBDragHandleStyle;
  EXPECT_EQ(tb::DragHandleWidth(TTBDragHandleStyle::dhDouble, false), 9);
  EXPECT_EQ(tb::DragHandleWidth(TTBDragHandleStyle::dhNone, false), 0);
  EXPECT_EQ(tb::DragHandleWidth(TTBDragHandleStyle::dhSingle, false), 6);
  EXPECT_EQ(tb::DragHandleWidth(TTBDragHandleStyle::dhNone, true), 14);
  EXPECT_EQ(tb::DockedFrameSize(false, true, 6), (TPoint{10, 4}));
  EXPECT_EQ(tb::DockedFrameSize(true, true, 6), (TPoint{4, 10}));
  EXPECT_EQ(tb::DockedFrameSize(true, false, 6), (TPoint{4, 4}));
  EXPECT_EQ(tb::DockedClientRect({0, 0, 50, 30}, false, true, 6), (TRect{8, 2, 48, 28}));
  EXPECT_EQ(tb::DockedClientRect({0, 0, 50, 30}, true, true, 6), (TRect{2, 8, 48, 28}));
  EXPECT_EQ(tb::DockedClientRect({0, 0, 3, 3}, false, true, 6),
            (TRect{8, 2, 8, 2}));  // no inversion
  EXPECT_EQ(tb::DockedCloseButtonRect(false, 40, 14), (TRect{3, 2, 14, 13}));
  EXPECT_EQ(tb::DockedCloseButtonRect(true, 40, 14), (TRect{31, 3, 42, 14}));
}

TEST(TbDockDrag, FloatingHitTest) {
  tb::TFloatingFrame f;
  f.width = 100;
  f.height = 80;
  f.border = {4, 4};
  f.smallCaptionHeight = 16;  // caption 15 high, close button 15 wide
  struct Case {
    TPoint p;
    int code;
  };
  const Case cases[] = {
      {{50, 10}, tb::kHitFloatingCaption},
      {{90, 10}, tb::kHitCloseButton},
      {{0, 40}, 10},
      {{98, 40}, 11},
      {{50, 0}, 12},
      {{2, 2}, 13},
      {{99, 2}, 14},
      {{50, 79}, 15},
      {{1, 70}, 16},
      {{97, 78}, 17},
      {{19, 0}, 12},
      {{19, 40}, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tb::FloatingHitTest(f, c.p), c.code) << c.p.x << "," << c.p.y;
  tb::TFloatingFrame four = f;
  four.eightCorner = false;
  EXPECT_EQ(tb::FloatingHitTest(four, {2, 2}), 12);  // top before left
  EXPECT_EQ(tb::FloatingHitTest(four, {1, 78}), 15);
  tb::TFloatingFrame fixed = f;
  fixed.resizable = false;
  EXPECT_EQ(tb::FloatingHitTest(fixed, {0, 40}), tb::kHitNowhere);
  tb::TFloatingFrame noClose = f;
  noClose.closeButton = false;
  EXPECT_EQ(tb::FloatingHitTest(noClose, {90, 10}), tb::kHitFloatingCaption);
  EXPECT_EQ(tb::FloatingCaptionRect(f, false, true), (TRect{0, 0, 77, 15}));
}

TEST(TbDockDrag, FloatingRules) {
  tb::TFloatingShowState s;
  EXPECT_TRUE(tb::FloatingShouldShow(s));
  s.applicationActive = false;
  EXPECT_FALSE(tb::FloatingShouldShow(s));
  s.hideWhenInactive = false;
  EXPECT_TRUE(tb::FloatingShouldShow(s));
  s.parentFormShowing = false;  // minimised form
  EXPECT_FALSE(tb::FloatingShouldShow(s));
  s.onTopOfParentForm = false;
  EXPECT_TRUE(tb::FloatingShouldShow(s));
  s.hidden = 1;
  EXPECT_FALSE(tb::FloatingShouldShow(s));
  // Docked or on its form: shown with its parent, whatever its form and the application do.
  tb::TFloatingShowState child;
  child.floating = false;
  child.onTopOfParentForm = true;
  child.parentFormShowing = false;
  child.applicationActive = false;
  EXPECT_TRUE(tb::FloatingShouldShow(child));
  child.visible = false;
  EXPECT_FALSE(tb::FloatingShouldShow(child));
  child.visible = true;
  child.hidden = 1;
  EXPECT_FALSE(tb::FloatingShouldShow(child));

  EXPECT_TRUE(tb::FloatingCaptionInactive(false, false, true, true));
  EXPECT_TRUE(tb::FloatingCaptionInactive(true, true, false, false));
  EXPECT_FALSE(tb::FloatingCaptionInactive(true, true, false, true));
  EXPECT_FALSE(tb::FloatingCaptionInactive(true, true, true, false));

  using A = tb::TDoubleClickAction;
  using M = tb::TTBDockMode;
  EXPECT_EQ(tb::DoubleClickAction(true, false, false, false, M::dmCanFloat), A::None);
  EXPECT_EQ(tb::DoubleClickAction(true, false, true, true, M::dmCanFloat), A::DockToLast);
  EXPECT_EQ(tb::DoubleClickAction(true, false, false, true, M::dmCanFloat), A::DockToDefault);
  EXPECT_EQ(tb::DoubleClickAction(false, true, true, true, M::dmCanFloat), A::Float);
  EXPECT_EQ(tb::DoubleClickAction(false, true, true, true, M::dmCannotFloat), A::None);

  const TRect work{0, 0, 1000, 700};
  EXPECT_EQ(tb::MoveOnScreenRect({990, 690, 1040, 720}, work, false), (TRect{950, 670, 1000, 700}));
  // Wider than the work area: the top-left corner wins.
  EXPECT_EQ(tb::MoveOnScreenRect({-50, -5, 1100, 20}, work, false), (TRect{0, 0, 1150, 25}));
  EXPECT_EQ(tb::MoveOnScreenRect({990, 10, 1040, 20}, work, true), (TRect{990, 10, 1040, 20}));
  EXPECT_EQ(tb::MoveOnScreenRect({1990, 10, 2040, 20}, work, true), (TRect{950, 10, 1000, 20}));
}

TEST(TbDockDrag, DockTargetFollowsTheGrab) {
  tb::TDockedSize top;
  top.boundsRect = {100, 100, 500, 130};
  top.size = {81, 26};
  // Grabbed at the right end of a 41-wide window: the pointer stays at the right end of the
  // 81-wide docked one.
  const tb::TDragGrab right{{40, 10}, {40, 20}};
  auto r = tb::DockTargetRect(top, right, {300, 110});
  ASSERT_TRUE(r);
  EXPECT_EQ(*r, (TRect{220, 97, 301, 123}));
  // The slack: 25 pixels scaled by the grab fraction beyond each inflated edge.
  EXPECT_TRUE(tb::DockTargetRect(top, right, {300, 89}));  // top - 3 - (25 - 13)
  EXPECT_FALSE(tb::DockTargetRect(top, right, {300, 84}));
  EXPECT_TRUE(tb::DockTargetRect(top, right, {527, 110}));  // right + 3 + 25, exclusive
  EXPECT_FALSE(tb::DockTargetRect(top, right, {528, 110}));
  EXPECT_FALSE(tb::DockTargetRect(top, right, {96, 110}));  // left - 3 - 0
  // Left and right docks want the pointer within the inflated height.
  tb::TDockedSize left = top;
  left.position = tb::TTBDockPosition::dpLeft;
  left.boundsRect = {0, 100, 30, 500};
  left.size = {26, 81};
  EXPECT_FALSE(tb::DockTargetRect(left, right, {10, 96}));
  EXPECT_TRUE(tb::DockTargetRect(left, right, {10, 97}));

  std::vector<tb::TDockedSize> docks{left, top};
  TRect at;
  EXPECT_EQ(tb::ChooseDockTarget(docks, right, {300, 110}, at), 1);
  EXPECT_EQ(tb::ChooseDockTarget(docks, right, {700, 700}, at), -1);
}

TEST(TbDockDrag, RowFromTheCentre) {
  // Rows 0 and 2 (row 1 hidden, left out); row 2 holds a full-size window.
  const std::vector<tb::TDockRowSize> rows{{0, 24, false}, {2, 24, true}};
  using R = tb::TRowChoice;
  EXPECT_EQ(tb::ChooseDockRow(rows, 5, false), (R{0, true}));
  EXPECT_EQ(tb::ChooseDockRow(rows, 6, false), (R{0, false}));
  EXPECT_EQ(tb::ChooseDockRow(rows, 17, false), (R{0, false}));
  EXPECT_EQ(tb::ChooseDockRow(rows, 18, false), (R{2, true}));  // shared rows end at 3/4
  EXPECT_EQ(tb::ChooseDockRow(rows, 35, false), (R{2, true}));
  EXPECT_EQ(tb::ChooseDockRow(rows, 36, false), (R{3, false}));  // never into a full-size row
  EXPECT_EQ(tb::ChooseDockRow(rows, 11, true), (R{0, true}));
  EXPECT_EQ(tb::ChooseDockRow(rows, 12, true), (R{2, true}));
  EXPECT_EQ(tb::ChooseDockRow({}, 3, false), (R{0, false}));
  EXPECT_FALSE(tb::SplitReached(100, 109));
  EXPECT_TRUE(tb::SplitReached(100, 90));
  EXPECT_EQ(tb::FloatingRectAt({5, 5}, {10, 10}, {50, 40}, {0, 0, 800, 600}),
            (TRect{0, 0, 50, 40}));
}

TEST(TbDockDrag, SizingMovesOnlyTheDraggedEdge) {
  using H = tb::TTBSizeHandle;
  const TRect start{100, 100, 300, 250};
  const tb::TSizeLimits limits{{80, 60}, {400, 0}};
  struct Case {
    H handle;
    TPoint delta;
    TRect expected;
  };
  const Case cases[] = {
      {H::twshLeft, {-20, 99}, {80, 100, 300, 250}},
      {H::twshLeft, {150, 0}, {220, 100, 300, 250}},      // min width: left edge back
      {H::twshRight, {-150, 0}, {100, 100, 180, 250}},    // min width: right edge back
      {H::twshRight, {500, 0}, {100, 100, 500, 250}},     // max width
      {H::twshTopLeft, {10, 200}, {110, 190, 300, 250}},  // min height: top edge back
      {H::twshBottomRight, {5, -120}, {100, 100, 305, 160}},
      {H::twshBottom, {0, 900}, {100, 100, 300, 1150}},  // no maximum height
      {H::twshTopRight, {-5, -5}, {100, 95, 295, 250}},
      {H::twshBottomLeft, {-5, 5}, {95, 100, 300, 255}},
      {H::twshTop, {7, 7}, {100, 107, 300, 250}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tb::SizingRect(start, c.handle, c.delta, limits), c.expected)
        << static_cast<int>(c.handle);
  EXPECT_EQ(tb::MulDivRound(25, 1, 2), 13);
  EXPECT_EQ(tb::MulDivRound(-25, 1, 2), -13);
  EXPECT_EQ(tb::MulDivRound(5, 5, 0), -1);
}

}  // namespace
