#include "skbar/splitter_model.h"

#include <gtest/gtest.h>

namespace skbar {
namespace {

struct FakeControl : ISplitControl {
  int size = 0, minConstraint = 0, resizes = 0;
  explicit FakeControl(int s) : size(s) {}
  int SplitSize() const override { return size; }
  int MinConstraint() const override { return minConstraint; }
  void SetSplitSize(int s) override {
    size = s;
    ++resizes;
  }
};

TEST(SplitterModel, FindsTheTouchingSiblingElseTheOneUnderTheProbe) {
  const TRect splitter{100, 0, 105, 200};
  using A = TAlign;
  struct Row {
    const char* what;
    A align;
    std::vector<TSplitCandidate> siblings;
    int expected;
  };
  const std::vector<Row> rows = {
      {"touching wins over containing",
       A::alLeft,
       {{{0, 0, 120, 200}, A::alLeft}, {{20, 0, 100, 200}, A::alLeft}},
       1},
      {"probe one pixel left",
       A::alLeft,
       {{{50, 0, 100 - 1, 200}, A::alLeft}, {{0, 0, 100, 10}, A::alTop}},
       -1},
      {"probe right of an alRight splitter", A::alRight, {{{104, 0, 300, 200}, A::alRight}}, 0},
      {"other alignment ignored", A::alRight, {{{105, 0, 300, 200}, A::alLeft}}, -1},
      {"hidden control gives none", A::alRight, {{{105, 0, 300, 200}, A::alRight, false}}, -1},
      {"excluded skipped",
       A::alRight,
       {{{105, 0, 300, 200}, A::alRight, true, true}, {{100, 0, 300, 200}, A::alRight}},
       1},
      {"empty multi-dock gives none",
       A::alRight,
       {{{105, 0, 300, 200}, A::alRight, true, false, true}},
       -1},
      {"alBottom probes below", A::alBottom, {{{0, 200, 300, 250}, A::alBottom}}, 0},
  };
  for (const Row& r : rows) {
    const TRect s = r.align == A::alBottom ? TRect{0, 195, 300, 200} : splitter;
    EXPECT_EQ(FindSplitControl(s, r.align, r.siblings), r.expected) << r.what;
  }
}

TEST(SplitterModel, GripGeometryAndSettings) {
  EXPECT_EQ(SplitterGripRect({0, 0, 5, 100}, true, 50), (TRect{0, 25, 5, 75}));
  EXPECT_EQ(SplitterGripDrawRect({0, 25, 5, 75}, true), (TRect{1, 35, 4, 65}));
  EXPECT_EQ(SplitterGripRect({0, 0, 200, 5}, false, 50), (TRect{75, 0, 125, 5}));
  EXPECT_EQ(SplitterGripDrawRect({75, 0, 125, 5}, false), (TRect{85, 1, 115, 4}));
  TSplitterModel m;
  m.SetGripSize(-5);
  m.SetMinSize(-3);
  EXPECT_EQ(m.GripSize(), 0);
  EXPECT_EQ(m.MinSize(), 0);
  EXPECT_EQ(SplitterGripRect({0, 0, 5, 100}, true, m.GripSize()), TRect{});
}

// A drag of a right-aligned splitter: moving left grows the control.
TEST(SplitterModel, DragClampsAndUpdatesAsItGoes) {
  struct Row {
    TAlign align;
    int move, maxSize, minSize;
    int expected;
  };
  for (const Row& r : std::vector<Row>{{TAlign::alRight, -20, 999, 0, 200},
                                       {TAlign::alLeft, -20, 999, 0, 160},
                                       {TAlign::alBottom, 30, 999, 0, 150},
                                       {TAlign::alTop, 30, 999, 0, 210},
                                       {TAlign::alRight, -500, 250, 0, 250},
                                       {TAlign::alRight, 500, 999, 30, 30}}) {
    TSplitterModel m(r.align);
    m.SetMinSize(r.minSize);
    FakeControl c(180);
    int moved = 0;
    m.OnMoved = [&] { ++moved; };
    m.MouseDown(c, 1000, false, r.maxSize);
    m.MouseMove(1000 + r.move / 2);
    m.MouseMove(1000 + r.move);
    EXPECT_EQ(c.size, r.expected) << static_cast<int>(r.align) << " " << r.move;
    m.MouseUp(false);
    EXPECT_EQ(c.size, r.expected);
    EXPECT_EQ(moved, c.resizes);
    EXPECT_FALSE(m.Dragging());
  }
}

TEST(SplitterModel, RestoreAfterADragGivesBackTheSizeItHad) {
  TSplitterModel m(TAlign::alRight);
  m.SetMinSize(30);
  FakeControl c(180);
  m.MouseDown(c, 1000, false, 999);
  m.MouseMove(1400);
  m.MouseUp(false);
  EXPECT_EQ(c.size, 30);
  EXPECT_TRUE(m.IsCollapsed(c));
  // A click on the grip, released there without moving, toggles back.
  m.MouseDown(c, 1000, true, 999);
  m.MouseMove(1000);
  m.MouseUp(true);
  EXPECT_EQ(c.size, 180);
  // Collapsing twice keeps the open size.
  m.Minimize(c);
  m.Minimize(c);
  m.Restore(c);
  EXPECT_EQ(c.size, 180);
}

TEST(SplitterModel, GripClicksCollapseAndRestore) {
  TSplitterModel m(TAlign::alRight);
  FakeControl c(140);
  const auto click = [&](bool upInGrip) {
    m.MouseDown(c, 50, true, 999);
    m.MouseUp(upInGrip);
  };
  click(true);
  EXPECT_EQ(c.size, 0);
  click(false);  // released outside the grip: nothing
  EXPECT_EQ(c.size, 0);
  click(true);
  EXPECT_EQ(c.size, 140);
  // A control that starts collapsed opens to 60; a dragged grip press does not toggle.
  TSplitterModel fresh(TAlign::alRight);
  FakeControl closed(0);
  fresh.Toggle(closed);
  EXPECT_EQ(closed.size, 60);
  fresh.MouseDown(closed, 50, true, 999);
  fresh.MouseMove(40);
  fresh.MouseUp(true);
  EXPECT_EQ(closed.size, 70);
  // A constraint counts as collapsed too.
  FakeControl constrained(25);
  constrained.minConstraint = 25;
  EXPECT_TRUE(m.IsCollapsed(constrained));
}

TEST(SplitterModel, EscapeKeepsWhatUpdateResizedAndLineStylesOnlyDrawn) {
  for (TResizeStyle style : {TResizeStyle::rsUpdate, TResizeStyle::rsLine}) {
    TSplitterModel m(TAlign::alLeft);
    m.ResizeStyle = style;
    FakeControl c(100);
    m.MouseDown(c, 10, false, 999);
    EXPECT_EQ(m.LineVisible(), style == TResizeStyle::rsLine);
    m.MouseMove(35);
    EXPECT_EQ(m.LineOffset(), 25);
    m.Cancel();
    EXPECT_EQ(c.size, style == TResizeStyle::rsUpdate ? 125 : 100);
    EXPECT_FALSE(m.LineVisible());
    m.MouseUp(false);  // a stray button-up after Escape changes nothing
    EXPECT_EQ(c.size, style == TResizeStyle::rsUpdate ? 125 : 100);
  }
}

TEST(SplitterModel, MovingHandlerRefusesOrChangesTheSize) {
  TSplitterModel m(TAlign::alLeft);
  m.SetMinSize(20);
  FakeControl c(100);
  m.OnMoving = [](int& size, bool& accept) {
    accept = size != 120;
    if (size == 150) size = 10;  // below MinSize: becomes 0
  };
  m.MouseDown(c, 0, false, 999);
  m.MouseMove(20);
  EXPECT_EQ(c.size, 100);
  m.MouseMove(50);
  EXPECT_EQ(c.size, 0);
  m.MouseUp(false);
  EXPECT_EQ(m.RestorePos(), 100);
}

}  // namespace
}  // namespace skbar
