#include "skbar/sk_toolbar_view.h"

#include <gtest/gtest.h>

#include <string>

#include "item_tree.h"
#include "skbar/sk_item.h"
#include "skbar/skin_fixture.h"

namespace skbar {
namespace {

// A skinned toolbar as its view sees it: no chevron, a docked frame, a display mode.
class FakeSkToolbar : public tb::ITBToolbarViewHost, public ISkBarToolbarHost {
 public:
  tb::TTBCustomItem* ChevronItem() override { return nullptr; }
  int MinRowSize() override { return 0; }
  tb::TTBShrinkMode ShrinkMode() const override { return tb::TTBShrinkMode::tbsmNone; }
  void ViewAutoSize(int, int) override {}
  TSkBarToolbarDisplayMode DisplayMode() const override { return mode; }
  int DockedNonClientHeight() const override { return frame; }
  TColor ItemTextColor(TSkBarSkinStatesType) const override { return color; }
  bool CanMeasureItems() const override { return measurable; }
  void ViewUpdateEnded() override { ++updatesEnded; }

  TSkBarToolbarDisplayMode mode = tbdmSelectiveCaption;
  TColor color = clNone;
  int frame = 4, updatesEnded = 0;
  bool measurable = true;
};

class SkToolbarView : public SkinTest, public skbar_test::ItemTree {
 protected:
  SkToolbarView() { window.width = window.height = 100; }
  TSize SizeOf(const tb::TTBCustomItem* item) {
    const tb::TRect r = view->Find(item)->BoundsRect();
    return {r.Width(), r.Height()};
  }
  void Layout() {
    view->InvalidatePositions();
    int w = 0, h = 0;
    view->UpdatePositions(w, h);
  }
  FakeSkToolbar host;
  ui::Owned<TSkBarToolbarView> MakeView() {
    return ui::New<TSkBarToolbarView>(host, host, root.get(), &window, false);
  }
  ui::Owned<TSkBarToolbarView> view;
};

// Toolbar style, 6 pixels a character, 13 high: "Ab" is 6 + 12 + 4 = 22 wide, 19 high.
TEST_F(SkToolbarView, StretchingItemsTakeTheLargestThicknessAndAFixedSizeCapsIt) {
  auto* tall = Add<TSkBarItem>(L"Tall");
  tall->SetMinHeight(30);
  auto* plain = Add<TSkBarItem>(L"Ab");
  auto* label = Add<TSkBarCustomLabelItem>(L"Ab");
  view = MakeView();
  Layout();
  EXPECT_EQ(view->MaxItemSize(), 30);
  EXPECT_EQ(SizeOf(plain), (TSize{22, 30}));  // stretched across
  EXPECT_EQ(SizeOf(label).cy, 19);            // labels do not stretch
  plain->SetStretch(false);
  Layout();
  EXPECT_EQ(SizeOf(plain).cy, 19);

  // The fixed size less the docked frame caps every item; below the frame it does nothing.
  view->SetFixedItemSize(21);
  Layout();
  EXPECT_EQ(SizeOf(tall).cy, 17);
  EXPECT_EQ(SizeOf(plain).cy, 17);
  host.frame = 22;
  Layout();
  EXPECT_EQ(SizeOf(tall).cy, 30);

  // No largest item while the window cannot be measured.
  plain->SetStretch(true);
  host.measurable = false;
  host.frame = 0;
  view = MakeView();
  Layout();
  EXPECT_EQ(SizeOf(plain).cy, 19);

  // A text-only toolbar shows no images.
  plain->SetImageIndex(0);
  const auto* viewer = static_cast<const TSkBarItemViewer*>(view->Find(plain));
  EXPECT_TRUE(viewer->ImageVisible());
  host.mode = tbdmTextOnly;
  EXPECT_FALSE(viewer->ImageVisible());
}

TEST_F(SkToolbarView, UpdatesNestAndTheOutermostEndAlignsOnce) {
  Add<TSkBarItem>(L"A");
  view = MakeView();
  view->BeginUpdate();
  view->BeginUpdate();
  EXPECT_TRUE(view->IsUpdating());
  view->EndUpdate();
  EXPECT_EQ(host.updatesEnded, 0);
  view->EndUpdate();
  view->EndUpdate();  // unmatched: nothing
  EXPECT_EQ(host.updatesEnded, 1);
  EXPECT_FALSE(view->IsUpdating());
}

// A viewer's text colour: the font settings', else toolbar-style the toolbar's, else the theme's
// for the item's component (scripted: menu-bar items 0x11, menu items 0x22).
TEST_F(SkToolbarView, TheTextColourComesFromTheFontTheToolbarOrTheItemsComponent) {
  platform.themes = true;
  platform.themeColors = {{{L"MENU", 8, 1}, 0x11}, {{L"MENU", 14, 1}, 0x22}};
  auto* item = Add<TSkBarItem>(L"A");
  view = MakeView();
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  struct Case {
    bool onMenu, menuBar;
    TColor toolbar, font, expected;
  } cases[] = {{true, false, 0x33, clNone, 0x22},
               {false, false, 0x33, clNone, 0x33},
               {false, true, clNone, clNone, 0x11},
               {false, false, 0x33, 0x44, 0x44}};
  for (const Case& c : cases) {
    host.color = c.toolbar;
    item->FontSettings().SetColor(c.font);
    view->SetStyle(c.menuBar ? tb::vsMenuBar : 0);
    const auto* viewer =
        static_cast<const TSkBarItemViewer*>((c.onMenu ? *menu : *view).Find(item));
    EXPECT_EQ(viewer->GetTextColor(sknsNormal), c.expected) << c.onMenu << c.menuBar << c.font;
  }
}

// Image-above-caption options set by hand go with any other mode; an unmatched end stays at 0.
TEST(SkToolbarRules, DisplayModeOptionsAndCounters) {
  const tb::TTBItemOptions byHand = tb::tboImageAboveCaption | tb::tboSameWidth | tb::tboDefault;
  EXPECT_EQ(SkDisplayModeOptions(tb::tboDefault, tbdmImageAboveCaption), byHand);
  for (auto mode : {tbdmSelectiveCaption, tbdmImageOnly, tbdmTextOnly})
    EXPECT_EQ(SkDisplayModeOptions(byHand, mode), tb::tboDefault);
  TSkNonNegativeCounter counter;
  counter.End();
  counter.Begin();
  EXPECT_TRUE(counter.Active());
  counter.End();
  EXPECT_FALSE(counter.Active());
}

// Items "ABCD": the insertion index under the pointer, the dragged item's own index (-1: from
// another toolbar, item "X"), and the order after the drop.
TEST(SkToolbarRules, DroppedItemsLandBetweenTheRightNeighbours) {
  struct Case {
    int index, own;
    const char* after;
  };
  const Case cases[] = {
      {0, 0, "ABCD"},   {1, 0, "ABCD"},   {2, 0, "BACD"},   {4, 0, "BCDA"},   {0, 3, "DABC"},
      {3, 3, "ABCD"},   {4, 3, "ABCD"},   {2, 1, "ABCD"},   {9, 1, "ACDB"},   {-1, 2, "ABCD"},
      {0, -1, "XABCD"}, {4, -1, "ABCDX"}, {9, -1, "ABCDX"}, {-1, -1, "ABCD"},
  };
  for (const Case& c : cases) {
    std::string items = "ABCD";
    const TSkItemDropPlace place = SkItemDropPlace(c.index, c.own, 4);
    if (place.move) {
      char item = 'X';
      if (c.own >= 0) {
        item = items[static_cast<size_t>(c.own)];
        items.erase(static_cast<size_t>(c.own), 1);
      }
      ASSERT_LE(static_cast<size_t>(place.index), items.size());
      items.insert(static_cast<size_t>(place.index), 1, item);
    }
    EXPECT_EQ(items, c.after) << c.index << " " << c.own;
  }
}

}  // namespace
}  // namespace skbar
