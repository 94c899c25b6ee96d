#include "skbar/panel_stack.h"

#include <gtest/gtest.h>

namespace skbar {
namespace {

using enum TPanelWindowState;

// Panels of the given lengths, each at least 23 long (a 19-pixel caption and the frame).
TPanelStack Stack(std::vector<int> lengths, bool vertical = true) {
  TPanelStack s(vertical);
  for (int l : lengths) s.Panels.push_back({.Length = l, .MinLength = 23});
  s.UpdateDockPos();
  return s;
}

std::vector<int> Lengths(const TPanelStack& s) {
  std::vector<int> out;
  for (const TStackPanel& p : s.Panels) out.push_back(p.Length);
  return out;
}

TEST(PanelStack, NeighbourSearchOrderPerMode) {
  TPanelStack s = Stack({100, 100, 100, 100});
  s[3].Sizable = false;
  struct Row {
    int panel, mode, expected;
  };
  for (const Row& r : std::vector<Row>{
           {2, 1, 1}, {0, 1, 1}, {2, 0, 1}, {1, 2, 2}, {1, 3, 2}, {0, 4, 1}, {2, 4, 0}}) {
    EXPECT_EQ(s.FindResizableNeighbour(r.panel, r.mode), r.expected) << r.panel << "/" << r.mode;
  }
  s[1].State = wsMinimized;
  EXPECT_EQ(s.FindResizableNeighbour(2, 1), 0);
  EXPECT_EQ(s.FindResizableNeighbour(2, 0), 0);
}

TEST(PanelStack, ChangeDockedSizeModes) {
  struct Row {
    const char* what;
    std::vector<int> start;
    int panel, size, mode;
    bool ok;
    std::vector<int> expected;
  };
  const std::vector<Row> rows = {
      {"mode 0 takes from the next", {100, 100, 100}, 0, 150, 0, true, {150, 50, 100}},
      {"mode 1 takes from the previous", {100, 100, 100}, 2, 150, 1, true, {100, 50, 150}},
      {"mode 2 gives to the next", {100, 100, 100}, 1, 40, 2, true, {100, 40, 160}},
      {"neighbour kept above its minimum", {100, 100}, 0, 180, 0, false, {100, 100}},
      {"edge drag stops at the neighbour's minimum", {100, 100}, 0, 190, 3, true, {177, 23}},
      {"edge drag not below the panel's own minimum", {100, 100}, 0, 5, 3, true, {23, 177}},
      {"edge drag of the last panel", {100, 100}, 1, 120, 3, false, {100, 100}},
      {"neighbour already at its minimum", {177, 23}, 0, 190, 3, false, {177, 23}},
      {"edge dragged back gives the squeezed neighbour room",
       {177, 23},
       0,
       150,
       3,
       true,
       {150, 50}},
      {"mode 4 leaves the neighbour its minimum", {40, 0}, 1, 60, 4, true, {23, 17}},
      {"mode 4 takes from the first", {200, 100, 0}, 2, 60, 4, true, {140, 100, 60}},
      {"a lone panel", {100}, 0, 50, 0, false, {100}},
  };
  for (const Row& r : rows) {
    TPanelStack s = Stack(r.start);
    EXPECT_EQ(s.ChangeDockedSize(r.panel, r.size, r.mode), r.ok) << r.what;
    EXPECT_EQ(Lengths(s), r.expected) << r.what;
  }
  // A fixed-size panel keeps its length: the panels on both sides take an edge drag.
  TPanelStack s = Stack({100, 100, 100});
  s[1].FixedDockedSize = true;
  EXPECT_TRUE(s.ChangeDockedSize(1, 130, 3));
  EXPECT_EQ(Lengths(s), (std::vector<int>{130, 100, 70}));
  EXPECT_FALSE(s.ChangeDockedSize(1, 160, 3));
}

TEST(PanelStack, MinimizeMaximizeRestore) {
  TPanelStack s = Stack({100, 100, 100});
  EXPECT_TRUE(s.Minimize(2));
  EXPECT_TRUE(s.Minimize(1));
  EXPECT_FALSE(s.Minimize(0));  // the last open one stays
  EXPECT_EQ(Lengths(s), (std::vector<int>{254, 23, 23}));
  EXPECT_TRUE(s.SizeToggle(1, false));  // restores to its size before
  EXPECT_EQ(Lengths(s), (std::vector<int>{100, 177, 23}));
  EXPECT_EQ(s[1].State, wsNormal);

  TPanelStack m = Stack({100, 100, 100});
  EXPECT_TRUE(m.Maximize(1));
  EXPECT_EQ(Lengths(m), (std::vector<int>{23, 254, 23}));
  EXPECT_EQ(m[0].State, wsMinimized);
  EXPECT_TRUE(m.SizeToggle(1, true));
  EXPECT_EQ(Lengths(m), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(m[2].State, wsNormal);
  EXPECT_EQ(m[1].State, wsNormal);
  // Restoring a minimised panel ends another's maximised state.
  EXPECT_TRUE(m.Maximize(0));
  EXPECT_TRUE(m.Restore(2));
  EXPECT_EQ(m[0].State, wsNormal);
  EXPECT_EQ(Lengths(m), (std::vector<int>{177, 23, 100}));

  // The task-pane style minimises against the panel after it.
  TPanelStack t = Stack({100, 100, 100});
  t[1].TaskPaneStyleResize = true;
  EXPECT_TRUE(t.Minimize(1));
  EXPECT_EQ(Lengths(t), (std::vector<int>{100, 23, 177}));

  // Only a dock on the left or right minimises the others for a maximised panel.
  TPanelStack client = Stack({100, 100, 100});
  client.SideDock = false;
  EXPECT_FALSE(client.Maximize(1));
  EXPECT_EQ(Lengths(client), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(client[0].State, wsNormal);
  EXPECT_TRUE(client.Minimize(0));  // minimising one panel stays allowed

  TPanelStack one = Stack({300});
  EXPECT_FALSE(one.Minimize(0));
  EXPECT_FALSE(one.Maximize(0));
  TPanelStack across = Stack({300}, false);
  EXPECT_FALSE(across.Minimize(0));
}

TEST(PanelStack, FittingDockingAndSwapping) {
  TPanelStack s = Stack({100, 100, 100});
  s[2].State = wsMinimized;
  s.FitToDock(350);
  EXPECT_EQ(Lengths(s), (std::vector<int>{100, 150, 100}));
  s.FitToDock(150);
  EXPECT_EQ(Lengths(s), (std::vector<int>{27, 23, 100}));
  EXPECT_EQ(s[2].DockPos, 50);

  TPanelStack d;
  EXPECT_EQ(d.Dock({.Length = 90, .MinLength = 23}, 90), 0);
  EXPECT_EQ(d[0].Length, 90);  // no default size: keeps its own
  d.Undock(0);
  d.Dock({.Length = 90, .MinLength = 23}, 90, 300);
  EXPECT_EQ(d[0].Length, 300);
  EXPECT_EQ(d.Dock({.Length = 50, .MinLength = 23}, 120), 1);  // appended, takes 120
  EXPECT_EQ(Lengths(d), (std::vector<int>{180, 120}));
  EXPECT_EQ(d.Dock({.Length = 40, .MinLength = 23, .DockPos = 100}, 40), 1);
  EXPECT_EQ(Lengths(d), (std::vector<int>{180, 40, 120}));
  // At the position of a panel there: before it (where a panel that left it would be).
  EXPECT_EQ(d.Dock({.Length = 30, .MinLength = 23, .DockPos = 180}, 30), 1);
  EXPECT_EQ(Lengths(d), (std::vector<int>{180, 30, 40, 120}));
  EXPECT_EQ(d[2].DockPos, 210);
  d.Undock(1);
  d.Swap(0, 2);
  EXPECT_EQ(d[1].DockPos, 120);
}

// A panel shown again at its place keeps the length it had; the others give it room, each down
// to its minimum, and only what they cannot give comes off the panel itself.
TEST(PanelStack, APanelShownAgainKeepsItsLength) {
  struct Row {
    std::vector<int> lengths;
    int keep, dock;
    std::vector<int> expected;
  };
  for (const Row& r : std::vector<Row>{{{500, 250}, 1, 500, {250, 250}},
                                       {{250, 500}, 0, 500, {250, 250}},
                                       {{300, 100, 200}, 1, 500, {300, 100, 100}},
                                       {{100, 450}, 1, 500, {50, 450}},
                                       {{100, 600}, 1, 500, {23, 477}},
                                       {{100, 100}, 0, 300, {100, 200}}}) {
    TPanelStack s = Stack(r.lengths);
    s.FitToDock(r.dock, r.keep);
    EXPECT_EQ(Lengths(s), r.expected) << r.keep << "/" << r.dock;
  }
}

// The dock made short and long again (its window made small and large again, or maximised and
// restored): the panels get back the lengths they had, whatever the squeeze took; lengths set
// meanwhile are the ones kept from then on.
TEST(PanelStack, ADockMadeShortAndLongAgainGivesThePanelsTheirLengthsBack) {
  TPanelStack s = Stack({277, 323});
  for (const int dock : {300, 46, 0, 120, 900, 600}) s.FitToDock(dock);
  EXPECT_EQ(Lengths(s), (std::vector<int>{277, 323}));
  EXPECT_EQ(s[1].DockPos, 277);
  s.FitToDock(200);
  EXPECT_EQ(Lengths(s), (std::vector<int>{177, 23}));
  ASSERT_TRUE(s.ChangeDockedSize(0, 100, 0));  // sized while short: kept from then on
  s.FitToDock(600);
  EXPECT_EQ(Lengths(s), (std::vector<int>{100, 500}));
}

// A panel docked again into a dock made short while it was away: the others give way, and once
// the dock has room again they get back the lengths they had with it, not the squeeze.
TEST(PanelStack, APanelDockedAgainIntoAShortDockLeavesTheOthersTheirLengths) {
  TPanelStack s = Stack({323, 277});
  s.SettleLengths();
  const TStackPanel away = s[1];
  s.Undock(1);
  for (const int dock : {600, 300}) s.FitToDock(dock);
  const int i = s.Dock(away, away.Length);
  ASSERT_EQ(i, 1);
  s.FitToDock(300, i);
  EXPECT_EQ(Lengths(s), (std::vector<int>{23, 277}));
  for (const auto& [dock, lengths] : std::vector<std::pair<int, std::vector<int>>>{
           {301, {24, 277}}, {200, {23, 177}}, {600, {323, 277}}, {500, {323, 177}}}) {
    s.FitToDock(dock);
    EXPECT_EQ(Lengths(s), lengths) << dock;
  }
}

// Positions set from outside (stored settings) give the lengths: each panel reaches the next
// one, at least its minimum; the last takes the rest of the dock.
TEST(PanelStack, PositionsSetFromOutsideGiveTheLengths) {
  struct Row {
    std::vector<int> positions;
    int dock;
    std::vector<int> expected;
  };
  for (const Row& r : std::vector<Row>{{{0, 277}, 600, {277, 323}},
                                       {{0, 150, 400}, 600, {150, 250, 200}},
                                       {{0, 10}, 600, {23, 577}},
                                       {{0, 590}, 600, {577, 23}},
                                       {{0, 100000}, 600, {577, 23}}}) {
    TPanelStack s = Stack(std::vector<int>(r.positions.size(), 100));
    for (int k = 0; k < s.Count(); ++k) s[k].DockPos = r.positions[static_cast<std::size_t>(k)];
    EXPECT_TRUE(s.DockPosMoved());
    s.LengthsFromDockPos(r.dock);
    EXPECT_EQ(Lengths(s), r.expected) << r.positions.back();
    EXPECT_FALSE(s.DockPosMoved());
  }
  EXPECT_FALSE(Stack({100, 200}).DockPosMoved());
  // A lone panel fills the dock, and still wants the length it had with others.
  TPanelStack lone = Stack({300});
  lone[0].DockPos = 277;
  lone.LengthsFromDockPos(600);
  EXPECT_EQ(lone[0].Length, 600);
  EXPECT_EQ(lone[0].Wanted, 300);
  EXPECT_EQ(lone[0].DockPos, 0);
}

TEST(PanelStack, EdgesAndDropZones) {
  const TPanelStack s = Stack({100, 100});
  EXPECT_EQ(s.EdgeHitTest(0, 0), 0);  // the dock's far edges do not size
  EXPECT_EQ(s.EdgeHitTest(0, 98), htPanelBottom);
  EXPECT_EQ(s.EdgeHitTest(0, 97), 0);
  EXPECT_EQ(s.EdgeHitTest(1, 1), htPanelTop);
  EXPECT_EQ(s.EdgeHitTest(1, 2), 0);
  EXPECT_EQ(s.EdgeHitTest(1, 99), 0);
  EXPECT_EQ(s.EdgeDragTarget(1, htPanelTop), 0);
  EXPECT_EQ(Stack({100, 100}, false).EdgeHitTest(1, 0), htPanelLeft);
  using P = TSkBarDockPosition;
  const ui::TRect thin{10, 10, 13, 200}, flat{10, 10, 300, 12};
  EXPECT_EQ(DockDropZone(thin, P::dpxLeft), (ui::TRect{10, 10, 37, 200}));
  EXPECT_EQ(DockDropZone(thin, P::dpxRight), (ui::TRect{-14, 10, 13, 200}));
  EXPECT_EQ(DockDropZone(thin, P::dpxClient), (ui::TRect{-14, 10, 13, 200}));
  EXPECT_EQ(DockDropZone(flat, P::dpxBottom), (ui::TRect{10, -14, 300, 12}));
  EXPECT_EQ(DockDropZone(flat, P::dpxTop), (ui::TRect{10, 10, 300, 36}));
  EXPECT_EQ(DockDropZone(ui::TRect{0, 0, 180, 400}, P::dpxRight), (ui::TRect{0, 0, 180, 400}));
}

}  // namespace
}  // namespace skbar
