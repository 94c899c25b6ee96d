#include "tb/toolbar_view.h"

#include <gtest/gtest.h>

#include "tb/system_settings.h"
#include "view_fakes.h"

namespace tb {
namespace {

using testing::FakeWindow;

TEST(TbToolbar, ViewSettingsFollowThePlaceAndTheShrinkMode) {
  using P = TTBDockType;
  using M = TTBShrinkMode;
  using O = TTBViewOrientation;
  struct Case {
    P dockType;
    M mode;
    bool autoResize, anchored;
    O orientation;
    int chevronOffset, wrapOffset;
  };
  // width 200 with 4 of frame on a form; a dock gives 150 of a shrunk toolbar, is 300 long
  // inside, and the docked frame takes 10 along; floating wraps at 90.
  const Case cases[] = {
      {P::dtNotDocked, M::tbsmChevron, true, false, O::tbvoHorizontal, 0, 0},
      {P::dtNotDocked, M::tbsmChevron, false, false, O::tbvoHorizontal, 196, 0},
      {P::dtNotDocked, M::tbsmWrap, true, true, O::tbvoHorizontal, 0, 196},
      {P::dtNotDocked, M::tbsmNone, false, true, O::tbvoHorizontal, 0, 0},
      {P::dtTopBottom, M::tbsmChevron, true, false, O::tbvoHorizontal, 140, 0},
      {P::dtTopBottom, M::tbsmWrap, true, false, O::tbvoHorizontal, 0, 290},
      {P::dtTopBottom, M::tbsmNone, true, false, O::tbvoHorizontal, 0, 0},
      {P::dtLeftRight, M::tbsmChevron, true, false, O::tbvoVertical, 140, 0},
      {P::dtLeftRight, M::tbsmWrap, true, false, O::tbvoVertical, 0, 290},
      {P::dtFloating, M::tbsmChevron, true, false, O::tbvoFloating, 0, 90},
      {P::dtFloating, M::tbsmWrap, true, false, O::tbvoFloating, 0, 90},
  };
  for (const Case& c : cases) {
    TTBToolbarViewInput in;
    in.dockType = c.dockType;
    in.shrinkMode = c.mode;
    in.autoResize = c.autoResize;
    in.anchoredLeftAndRight = c.anchored;
    in.width = 200;
    in.nonClientWidth = 4;
    in.dockGivenLength = 150;
    in.dockInnerLength = 300;
    in.dockedFrameLength = 10;
    in.floatingWidth = 90;
    const TTBToolbarViewSettings s = ToolbarViewSettings(in);
    SCOPED_TRACE(static_cast<int>(c.dockType) * 10 + static_cast<int>(c.mode));
    EXPECT_EQ(s.orientation, c.orientation);
    EXPECT_EQ(s.chevronOffset, c.chevronOffset);
    EXPECT_EQ(s.wrapOffset, c.wrapOffset);
    EXPECT_EQ(s.chevronSize, 12);
  }
  // A toolbar at its full length on a dock (given length 0) shows no chevron.
  TTBToolbarViewInput full;
  full.dockType = TTBDockType::dtTopBottom;
  full.dockedFrameLength = 10;
  EXPECT_EQ(ToolbarViewSettings(full).chevronOffset, 0);
}

// A toolbar as its view sees it: a chevron item linked to the root, a row size.
class FakeToolbar : public ITBToolbarViewHost {
 public:
  FakeToolbar() { chevron->SetLinkSubitems(root.get()); }
  TTBCustomItem* ChevronItem() override { return chevron.get(); }
  int MinRowSize() override { return minRowSize; }
  TTBShrinkMode ShrinkMode() const override { return mode; }
  void ViewAutoSize(int w, int h) override {
    width = w;
    height = h;
  }
  void LayoutStarting() override { ++inLayout; }
  void LayoutFinished() override { --inLayout; }

  ui::Owned<TTBCustomItem> root = ui::New<TTBRootItem>();
  ui::Owned<TTBChevronItem> chevron = ui::New<TTBChevronItem>();
  TTBShrinkMode mode = TTBShrinkMode::tbsmChevron;
  int minRowSize = 0, width = 0, height = 0, inLayout = 0;
};

class TbToolbarView : public ::testing::Test {
 protected:
  TbToolbarView() { previous_ = SetSystemSettings(&settings_); }
  ~TbToolbarView() override { SetSystemSettings(previous_); }

  // `count` items "Abcd", "Bbcd", ... and the view over them.
  TTBToolbarView& Make(int count, TTBShrinkMode mode) {
    toolbar.mode = mode;
    for (int i = 0; i < count; ++i) {
      auto* item = ui::Create<TTBCustomItem>(*toolbar.root);
      item->SetCaption(std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L"bcd");
      toolbar.root->Add(item);
    }
    view = ui::New<TTBToolbarView>(toolbar, toolbar.root.get(), &window, true);
    toolbar.chevron->SetToolbarView(view.get());
    return *view;
  }
  int ItemLength() {
    view->ValidatePositions();
    return view->Viewers(0)->BoundsRect().Width();
  }
  std::vector<int> Shown() {
    std::vector<int> shown;
    for (int i = 0; i < view->ViewerCount(); ++i)
      if (view->Viewers(i)->Show()) shown.push_back(i);
    return shown;
  }

  TFixedSystemSettings settings_;
  ISystemSettings* previous_ = nullptr;
  FakeToolbar toolbar;
  FakeWindow window{false};
  ui::Owned<TTBToolbarView> view;
};

TEST_F(TbToolbarView, EachShrinkModeLaysOutWithinTheRoomItIsGiven) {
  TTBToolbarView& v = Make(5, TTBShrinkMode::tbsmWrap);
  const int length = ItemLength();
  ASSERT_GT(length, 0);
  EXPECT_EQ(v.ViewerCount(), 6);  // the chevron's viewer comes last
  EXPECT_EQ(toolbar.width, 5 * length);
  EXPECT_EQ(toolbar.inLayout, 0);

  // Wrap: three fit in a line, the other two go to the second line; the row size is a floor.
  TTBToolbarViewSettings wrap;
  wrap.wrapOffset = 3 * length + 1;
  toolbar.minRowSize = 100;
  v.ApplySettings(wrap);
  v.ValidatePositions();
  const int lineHeight = v.Viewers(0)->BoundsRect().Height();
  EXPECT_EQ(v.Viewers(3)->BoundsRect().left, 0);
  EXPECT_EQ(v.Viewers(3)->BoundsRect().top, lineHeight);
  EXPECT_EQ(toolbar.width, 3 * length);
  EXPECT_EQ(toolbar.height, 100);
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(v.LastWrappedLines(), 1);
  // A separator that breaks the line begins a line too; one that keeps it does not.
  auto* separator = ui::Create<TTBSeparatorItem>(*toolbar.root);
  toolbar.root->Insert(1, separator);
  EXPECT_EQ(v.LastWrappedLines(), 2);  // "Abcd", the separator's band, "Bbcd Cbcd Dbcd", "Ebcd"
  v.InvalidatePositions();
  EXPECT_EQ(v.LastWrappedLines(), 0);
  ui::Free(separator);

  // Chevron: the dock gives room for two and a half; two items stay, the rest are off the edge
  // and the chevron ends the room, which the toolbar then fills.
  toolbar.mode = TTBShrinkMode::tbsmChevron;
  toolbar.minRowSize = 0;
  TTBToolbarViewSettings chevron;
  chevron.chevronOffset = 2 * length + length / 2 + kChevronSize;
  v.ApplySettings(chevron);
  v.ValidatePositions();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 5}));
  EXPECT_TRUE(v.Viewers(4)->OffEdge());
  EXPECT_EQ(v.Viewers(5)->BoundsRect().right, chevron.chevronOffset);
  EXPECT_EQ(v.Viewers(5)->BoundsRect().Width(), kChevronSize);
  EXPECT_EQ(toolbar.width, chevron.chevronOffset);

  // Floating, a chevron toolbar stretches to its wrap width (FloatingWidth); a wrapping one
  // keeps the length of its items.
  TTBToolbarViewSettings floating;
  floating.orientation = TTBViewOrientation::tbvoFloating;
  floating.wrapOffset = 8 * length;
  v.ApplySettings(floating);
  v.ValidatePositions();
  EXPECT_EQ(toolbar.width, 8 * length);
  toolbar.mode = TTBShrinkMode::tbsmWrap;
  v.InvalidatePositions();
  v.ValidatePositions();
  const TTBMargins margins = v.GetMargins(TTBViewOrientation::tbvoFloating);
  EXPECT_EQ(toolbar.width, margins.left + 5 * length + margins.right);
  toolbar.mode = TTBShrinkMode::tbsmChevron;
  v.ApplySettings(chevron);

  // The item used last is the last to go.
  v.GivePriority(v.Viewers(4));
  v.ValidatePositions();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 4, 5}));
  EXPECT_EQ(ToolbarShrinkLimit(v, 8), length + 8 + kChevronSize);

  // None: one line whatever the room.
  toolbar.mode = TTBShrinkMode::tbsmNone;
  v.ApplySettings({});
  v.ValidatePositions();
  EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(toolbar.width, 5 * length);
}

TEST_F(TbToolbarView, TheChevronItemCarriesItsHintAndGlyph) {
  EXPECT_EQ(toolbar.chevron->Hint(), L"More Buttons|");
  EXPECT_EQ(toolbar.chevron->Caption(), L"More Buttons");
  toolbar.chevron->SetChevronHint(L"R&D|long");
  EXPECT_EQ(toolbar.chevron->Caption(), L"R&&D");
  EXPECT_TRUE(toolbar.chevron->GetItemStyle() & tbisSubmenu);
  EXPECT_TRUE(toolbar.chevron->GetItemStyle() & tbisNoAutoOpen);

  EXPECT_EQ(toolbar.chevron->GetChevronParentView(), &Make(1, TTBShrinkMode::tbsmChevron));

  const TTBChevronGlyph right = ChevronGlyph(false, {100, 0, 112, 22}, false);
  EXPECT_EQ(right.rows[0], 0xCC);
  EXPECT_EQ(right.rows[2], 0x33);
  EXPECT_EQ(right.rect, (TRect{102, 4, 110, 9}));
  const TTBChevronGlyph down = ChevronGlyph(true, {0, 50, 22, 62}, true);
  EXPECT_EQ(down.rows[1], 0xD8);
  EXPECT_EQ(down.rect, (TRect{14, 53, 19, 61}));
}

// Records how a keyboard entry went.
class FakeEntry : public ITBToolbarLoopEntry {
 public:
  explicit FakeEntry(TTBView& view) : view_(view) {}
  void EnterLoop(TTBEnterToolbarLoopOptions options) override {
    loops.push_back(options);
    selected = view_.Selected() ? view_.Selected()->Item().Caption() : L"";
    accelsShown = (view_.State() & vsShowAccels) != 0;
  }
  void Beep() override { ++beeps; }

  std::vector<TTBEnterToolbarLoopOptions> loops;
  std::wstring selected;
  bool accelsShown = false;
  int beeps = 0;

 private:
  TTBView& view_;
};

TEST_F(TbToolbarView, KeyboardEntryExecutesAUniqueAcceleratorAndSelectsOneOfSeveral) {
  const testing::Latin1Lowering lowering;
  for (const wchar_t* caption :
       {L"&File", L"&Edit", L"&Format", L"&View", L"&Help", L"\u00DCber&\u00C4rger"}) {
    auto* item = ui::Create<TTBCustomItem>(*toolbar.root);
    item->SetCaption(caption);
    toolbar.root->Add(item);
  }
  toolbar.root->Items(3)->SetEnabled(false);  // View
  view = ui::New<TTBToolbarView>(toolbar, toolbar.root.get(), &window, true);
  view->SetStyle(vsMenuBar | vsUseHiddenAccels);
  settings_.keyboardCues = false;

  struct Case {
    wchar_t key;
    bool requirePrimary, menuBar;
    bool loop;
    const wchar_t* selected;
    TTBEnterToolbarLoopOptions options;
  };
  const Case cases[] = {
      {L'e', true, true, true, L"&Edit", tbetExecuteSelected},  // the only E executes
      {L'H', true, false, true, L"&Help", tbetExecuteSelected},
      {L'\u00E4', true, true, true, L"\u00DCber&\u00C4rger", tbetExecuteSelected},
      {L'f', true, true, true, L"&File", 0},  // File and Format: a menu bar selects the first
      {L'f', true, false, false, L"", 0},     // a plain toolbar does nothing
      {L'v', true, true, false, L"", 0},      // disabled
      {L'x', true, true, false, L"", 0},      // no match
      {0, false, true, true, L"&File", 0},    // Alt alone or F10: the first item
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key) * 10 + c.menuBar);
    view->Select(nullptr, false);
    FakeEntry entry(*view);
    EXPECT_EQ(ToolbarKeyboardOpen(*view, c.key, c.requirePrimary, c.menuBar, entry), c.loop);
    ASSERT_EQ(entry.loops.size(), c.loop ? 1u : 0u);
    if (!c.loop) continue;
    EXPECT_EQ(entry.loops[0], c.options);
    EXPECT_EQ(entry.selected, c.selected);
    EXPECT_TRUE(entry.accelsShown);
    EXPECT_FALSE(view->State() & vsShowAccels);  // hidden again afterwards
  }
  // Nothing while a loop runs.
  view->Include(vsModal);
  FakeEntry busy(*view);
  EXPECT_FALSE(ToolbarKeyboardOpen(*view, L'e', true, true, busy));
  view->Exclude(vsModal);

  // The system key-menu command: taken by a usable menu bar unless the key is a space or the
  // capture is held; a failed entry beeps, except for "-".
  struct KeyMenu {
    bool menuBar, usable, capture;
    wchar_t key;
    bool taken;
    int loops, beeps;
  };
  const KeyMenu keyMenus[] = {
      {true, true, false, 0, true, 1, 0},      {true, true, false, L'e', true, 1, 0},
      {true, true, false, L'x', true, 0, 1},   {true, true, false, L'-', true, 0, 0},
      {true, true, false, L' ', false, 0, 0},  {true, true, true, L'e', false, 0, 0},
      {true, false, false, L'e', false, 0, 0}, {false, true, false, L'e', false, 0, 0},
  };
  for (const KeyMenu& k : keyMenus) {
    SCOPED_TRACE(static_cast<int>(k.key));
    view->Select(nullptr, false);
    FakeEntry entry(*view);
    EXPECT_EQ(ToolbarKeyMenu(*view, k.menuBar, k.usable, k.capture, k.key, entry), k.taken);
    EXPECT_EQ(static_cast<int>(entry.loops.size()), k.loops);
    EXPECT_EQ(entry.beeps, k.beeps);
  }
}

TEST(TbToolbar, AFloatingToolbarTakesTheSizesWhereItsItemsFillTheWidth) {
  // Six items 10 wide and 10 high; a frame of 6 x 20 around them.
  const auto layoutAt = [](int wrap) {
    if (wrap == 0) return TTBFloatingLayout{60, 10, 1};
    const int perLine = std::max(1, wrap / 10);
    const int lines = (6 + perLine - 1) / perLine;
    return TTBFloatingLayout{10 * std::min(perLine, 6), 10 * lines, lines};
  };
  const std::vector<TTBFloatingSize> sizes = FloatingSizes(layoutAt, {6, 20}, 8, true);
  std::vector<std::vector<int>> got;
  for (const TTBFloatingSize& s : sizes) got.push_back({s.width, s.height, s.floatingWidth});
  // 50 and 40 wide also take two lines: only the narrowest of them stays.
  EXPECT_EQ(got,
            (std::vector<std::vector<int>>{{66, 30, 0}, {36, 40, 30}, {26, 50, 20}, {16, 80, 10}}));
  const std::vector<TTBFloatingSize> byHeight = FloatingSizes(layoutAt, {6, 20}, 8, false);
  EXPECT_EQ(byHeight.front().height, 80);

  // Dragging the width from 66: a little narrower stays (half way to 36), then 36, and it stays
  // 36 on that side; the other side re-arms the dead zone; past the ends the extremes.
  TToolbarSizeData resize(sizes, true, {66, 30});
  struct Step {
    int dragged, width;
  };
  for (const Step& step : std::vector<Step>{
           {60, 66}, {51, 66}, {50, 36}, {60, 36}, {40, 36}, {70, 66}, {30, 26}, {1, 16}}) {
    SCOPED_TRACE(step.dragged);
    EXPECT_EQ(resize.Step(step.dragged).width, step.width);
  }
}

}  // namespace
}  // namespace tb
