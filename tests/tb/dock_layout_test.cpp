#include "tb/dock_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

namespace {

using tb::TDockClientState;
using tb::TPoint;
using tb::TRect;
using tb::TTBShrinkMode;

// A window of a fixed client size (plus a 6-pixel handle and 2-pixel border along, 4 across)
// that records where the dock puts it.
class FakeClient : public tb::IDockClient {
 public:
  FakeClient(int row, int pos, int length, int thickness = 20)
      : along_(length), across_(thickness) {
    state_.DockRow = row;
    state_.DockPos = pos;
  }
  TDockClientState& DockState() override { return state_; }
  bool VisibleOnDock() const override { return visible; }
  bool BeingDestroyed() const override { return destroying; }
  TPoint DockClientSize() override { return Oriented(along_, across_); }
  TPoint DockFrameSize() override { return Oriented(10, 4); }
  TTBShrinkMode DockShrinkMode() override { return shrink; }
  int DockShrinkLimit() override { return shrinkLimit; }
  TPoint DockLayoutSize(tb::TTBDockType) override {
    ++layouts;
    return Oriented(along_, across_);
  }
  TPoint ClientSize() override { return Oriented(along_, across_); }
  TPoint OuterSize() override { return {placed.Width(), placed.Height()}; }
  void PlaceBounds(const TRect& bounds) override { placed = bounds; }
  void ArrangeContents() override { state_.ArrangeNeeded = false; }

  bool leftRight = false;
  bool visible = true;
  bool destroying = false;
  TTBShrinkMode shrink = TTBShrinkMode::tbsmNone;
  int shrinkLimit = 0;
  int layouts = 0;
  TRect placed{-1, -1, -1, -1};

 private:
  TPoint Oriented(int along, int across) const {
    return leftRight ? TPoint{across, along} : TPoint{along, across};
  }
  int along_, across_;
  TDockClientState state_;
};

struct Dock {
  tb::TDockLayoutParams params;
  std::vector<std::unique_ptr<FakeClient>> owned;
  std::vector<tb::IDockClient*> list, visible;

  explicit Dock(int length, tb::TTBDockPosition pos = tb::TTBDockPosition::dpTop) {
    params.position = pos;
    params.clientLength = length;
  }
  FakeClient& Add(int row, int pos, int length, int thickness = 20) {
    owned.push_back(std::make_unique<FakeClient>(row, pos, length, thickness));
    owned.back()->leftRight = tb::IsLeftRight(params.position);
    list.push_back(owned.back().get());
    visible.push_back(owned.back().get());
    return *owned.back();
  }
  int Arrange() { return tb::ArrangeDockWindows(params, list, visible); }
};

TEST(TbDockLayout, EmptyDockIsZeroOrOnePixelThick) {
  Dock dock(300);
  EXPECT_EQ(dock.Arrange(), 0);
  dock.params.fixAlign = true;
  EXPECT_EQ(dock.Arrange(), 1);
  // A window that is going away leaves both lists first.
  dock.Add(0, 0, 40).destroying = true;
  EXPECT_EQ(dock.Arrange(), 1);
  EXPECT_TRUE(dock.list.empty());
  EXPECT_TRUE(dock.visible.empty());
}

TEST(TbDockLayout, RowsAndPositionsOnEachEdge) {
  struct Case {
    const char* name;
    tb::TTBDockPosition position;
    int nonClient;
    TRect first, second;
    int thickness;
  };
  // Two windows of client length 40 (outer 50) in rows 0 and 1; client thickness 20 gives rows
  // of 24.
  const Case cases[] = {
      {"top", tb::TTBDockPosition::dpTop, 0, {5, 0, 55, 24}, {0, 24, 50, 48}, 48},
      {"bottom", tb::TTBDockPosition::dpBottom, 2, {5, 0, 55, 24}, {0, 24, 50, 48}, 50},
      {"left", tb::TTBDockPosition::dpLeft, 1, {0, 5, 24, 55}, {24, 0, 48, 50}, 49},
  };
  for (const Case& c : cases) {
    Dock dock(300, c.position);
    dock.params.nonClientThickness = c.nonClient;
    FakeClient& a = dock.Add(0, 5, 40);
    FakeClient& b = dock.Add(1, 0, 40);
    EXPECT_EQ(dock.Arrange(), c.thickness) << c.name;
    EXPECT_EQ(a.placed, c.first) << c.name;
    EXPECT_EQ(b.placed, c.second) << c.name;
    EXPECT_EQ(a.DockState().LastRowSize, 20) << c.name;
    EXPECT_EQ(b.DockState().EffectiveDockRow, 1) << c.name;
  }
}

TEST(TbDockLayout, OverlapStartsAfterThePreviousWindow) {
  Dock dock(300);
  FakeClient& a = dock.Add(0, 0, 40);
  FakeClient& b = dock.Add(0, 10, 40);
  dock.Arrange();
  EXPECT_EQ(a.placed.left, 0);
  EXPECT_EQ(b.placed.left, 50);
  EXPECT_EQ(b.DockState().EffectiveDockPos, 50);
  EXPECT_EQ(b.DockState().DockPos, 10);  // not committed
}

TEST(TbDockLayout, StoredRowsAndPositionsOfAnySizeKeepTheirOrder) {
  // Row and position as a damaged settings file may give them; the other window is at (0, 10).
  struct Case {
    int row, pos;
    TRect first, other;  // where the window and the other one go (60 x 24 each)
  };
  const Case cases[] = {
      {INT_MAX, 0, {0, 24, 60, 48}, {10, 0, 70, 24}},
      {-5, 0, {0, 0, 60, 24}, {10, 24, 70, 48}},
      {INT_MIN, 0, {0, 0, 60, 24}, {10, 24, 70, 48}},
      {0, INT_MAX, {240, 0, 300, 24}, {10, 0, 70, 24}},
  };
  for (const Case& c : cases) {
    Dock dock(300);
    FakeClient& first = dock.Add(c.row, c.pos, 50);
    FakeClient& other = dock.Add(0, 10, 50);
    EXPECT_EQ(dock.Arrange(), 48 - 24 * (c.pos == INT_MAX)) << c.row;
    EXPECT_EQ(first.placed, c.first) << c.row << " " << c.pos;
    EXPECT_EQ(other.placed, c.other) << c.row << " " << c.pos;
  }
  // Dragged from the lowest position, behind a window at the same place.
  Dock dock(300);
  FakeClient& a = dock.Add(0, INT_MIN, 50);
  FakeClient& b = dock.Add(0, INT_MIN, 50);
  b.DockState().DragMode = true;
  dock.Arrange();
  EXPECT_EQ(a.placed, (TRect{0, 0, 60, 24}));
  EXPECT_EQ(b.placed, (TRect{60, 0, 120, 24}));
}

TEST(TbDockLayout, OwnRowsWrapAndEmptyRows) {
  // A full-size window sharing row 0 gets it alone; the rest move down; the empty row 3 goes.
  Dock dock(200);
  FakeClient& full = dock.Add(0, 30, 40);
  full.DockState().FullSize = true;
  FakeClient& mate = dock.Add(0, 0, 40);
  FakeClient& later = dock.Add(4, 0, 40);
  dock.Arrange();
  EXPECT_EQ(full.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(full.placed, (TRect{0, 0, 200, 24}));
  EXPECT_EQ(mate.DockState().EffectiveDockRow, 1);
  EXPECT_EQ(later.DockState().EffectiveDockRow, 2);

  // An own-row request opens a row before its mates.
  Dock own(200);
  FakeClient& x = own.Add(0, 0, 40);
  FakeClient& y = own.Add(0, 60, 40);
  y.DockState().InsertRowBefore = true;
  own.Arrange();
  EXPECT_EQ(y.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(x.DockState().EffectiveDockRow, 1);

  // The third window does not fit and wraps; the row after it shifts.
  Dock wrap(140);
  FakeClient& w1 = wrap.Add(0, 0, 40);
  FakeClient& w2 = wrap.Add(0, 50, 40);
  FakeClient& w3 = wrap.Add(0, 100, 40);
  FakeClient& w4 = wrap.Add(1, 0, 40);
  EXPECT_EQ(wrap.Arrange(), 72);
  EXPECT_EQ(w1.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(w2.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(w3.DockState().EffectiveDockRow, 1);
  EXPECT_EQ(w4.DockState().EffectiveDockRow, 2);

  // Windows that exactly fill the dock share their row.
  Dock exact(150);
  FakeClient& e1 = exact.Add(0, 0, 40);
  exact.Add(0, 50, 40);
  FakeClient& e3 = exact.Add(0, 100, 40);
  EXPECT_EQ(exact.Arrange(), 24);
  EXPECT_EQ(e3.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(e3.placed, (TRect{100, 0, 150, 24}));
  EXPECT_EQ(e1.placed.left, 0);
}

TEST(TbDockLayout, OneRowShrinksChevronsAndKeepsStretchWhole) {
  // LimitToOneRow: no wrap, no own rows for full-size windows; the chevron window shrinks,
  // never below its limit.
  Dock dock(60);
  dock.params.limitToOneRow = true;
  FakeClient& chevron = dock.Add(0, 0, 90);
  chevron.shrink = TTBShrinkMode::tbsmChevron;
  chevron.shrinkLimit = 30;
  FakeClient& full = dock.Add(2, 0, 40);
  full.DockState().FullSize = true;
  dock.Arrange();
  EXPECT_EQ(full.DockState().EffectiveDockRow, 0);
  EXPECT_EQ(chevron.placed.Width(), 30);
  EXPECT_EQ(chevron.DockState().CurrentSize, 30);
  EXPECT_EQ(chevron.layouts, 1);

  // An overfull one-row dock whose last window stretches: never shorter than itself.
  Dock panels(60, tb::TTBDockPosition::dpRight);
  panels.params.limitToOneRow = true;
  FakeClient& p1 = panels.Add(0, 0, 40);
  FakeClient& p2 = panels.Add(0, 50, 40);
  p1.DockState().Stretch = p2.DockState().Stretch = true;
  panels.Arrange();
  EXPECT_EQ(p2.placed.Height(), 50);
  EXPECT_GT(p2.placed.bottom, p2.placed.top);
}

TEST(TbDockLayout, StretchFillsGapsAndRowEnd) {
  Dock dock(300);
  FakeClient& a = dock.Add(0, 0, 40);
  a.DockState().Stretch = true;
  FakeClient& b = dock.Add(0, 100, 40);
  FakeClient& c = dock.Add(0, 200, 40);
  c.DockState().Stretch = true;
  dock.Arrange();
  EXPECT_EQ(a.placed, (TRect{0, 0, 100, 24}));  // absorbs b's gap
  EXPECT_EQ(b.placed.left, 100);
  EXPECT_EQ(c.placed, (TRect{150, 0, 300, 24}));  // its own gap and the row's end
}

TEST(TbDockLayout, HiddenRowKeepsItsNumberWithoutThickness) {
  Dock dock(300);
  FakeClient& a = dock.Add(0, 0, 40);
  FakeClient& hidden = dock.Add(1, 0, 40);
  hidden.visible = false;
  dock.visible.pop_back();
  FakeClient& c = dock.Add(2, 0, 40);
  EXPECT_EQ(dock.Arrange(), 48);
  EXPECT_EQ(hidden.DockState().EffectiveDockRow, 1);
  EXPECT_EQ(c.DockState().EffectiveDockRow, 2);
  EXPECT_EQ(c.placed.top, 24);
  EXPECT_EQ(hidden.placed.left, -1);  // never placed
  // Row queries skip the thin row.
  EXPECT_EQ(tb::RowOfCoordinate(dock.list, false, 10), 0);
  EXPECT_EQ(tb::RowOfCoordinate(dock.list, false, 30), 2);
  EXPECT_EQ(tb::RowOfCoordinate(dock.list, false, 99), 3);
  bool fullSize = true;
  EXPECT_EQ(tb::CurrentRowSize(dock.list, false, 0, fullSize), 24);
  EXPECT_FALSE(fullSize);
  EXPECT_EQ(tb::MinRowSize(dock.list, 0, &a), 0);
  EXPECT_EQ(tb::HighestRow(dock.list, true), 2);
}

TEST(TbDockLayout, CommitWritesPositionsAndOrder) {
  Dock dock(300);
  dock.params.commitNewPositions = true;
  FakeClient& late = dock.Add(1, 0, 40);
  FakeClient& early = dock.Add(0, 10, 40);
  FakeClient& overlapped = dock.Add(0, 20, 40);
  dock.Arrange();
  EXPECT_EQ(dock.list.front(), &early);
  EXPECT_EQ(dock.list.back(), &late);
  EXPECT_EQ(overlapped.DockState().DockPos, 60);
  EXPECT_EQ(early.DockState().DockPos, 10);
}

TEST(TbDockLayout, DraggedWindowTakesItsPredecessorsGaps) {
  // b is dragged back to 30 over a (at 20, length 50): a moves to 0 and c keeps its place.
  Dock dock(400);
  FakeClient& a = dock.Add(0, 20, 40);
  FakeClient& b = dock.Add(0, 30, 40);
  FakeClient& c = dock.Add(0, 200, 40);
  b.DockState().DragMode = true;
  dock.Arrange();
  EXPECT_EQ(a.placed.left, 0);
  EXPECT_EQ(b.placed.left, 50);
  EXPECT_EQ(c.placed.left, 200);
}

TEST(TbDockLayout, SplittingWindowKeepsItsPlaceInAnOverfullRow) {
  Dock dock(100);
  FakeClient& a = dock.Add(0, 0, 60);
  FakeClient& b = dock.Add(0, 50, 60);
  for (FakeClient* c : {&a, &b}) {
    c->shrink = TTBShrinkMode::tbsmChevron;
    c->shrinkLimit = 30;
  }
  b.DockState().DragMode = true;
  dock.Arrange();
  EXPECT_TRUE(b.DockState().DragCanSplit);  // the row had to shrink
  EXPECT_EQ(a.placed.Width() + b.placed.Width(), 100);
  // Pulled in front of a while splitting: it keeps its place after a.
  b.DockState().DockPos = -5;
  b.DockState().DragSplitting = true;
  dock.Arrange();
  EXPECT_LT(a.placed.left, b.placed.left);
  b.DockState().DragSplitting = false;
  dock.Arrange();
  EXPECT_LT(b.placed.left, a.placed.left);
}

}  // namespace
