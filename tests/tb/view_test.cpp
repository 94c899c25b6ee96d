#include "tb/view.h"

#include <gtest/gtest.h>

#include "tb/mru.h"
#include "tb/system_settings.h"
#include "tb/toolbar_view.h"
#include "view_fakes.h"

namespace tb {
namespace {

using testing::ChevronView;
using testing::FakePopup;
using testing::FakeWindow;

TTBCustomItem* Add(TTBCustomItem& parent, const wchar_t* caption, TTBItemStyle extra = 0) {
  TTBCustomItem* item = extra & tbisSeparator ? ui::Create<TTBSeparatorItem>(parent)
                                              : ui::Create<TTBCustomItem>(parent);
  item->SetCaption(caption);
  parent.Add(item);
  return item;
}

// A submenu item: the view opens its popup.
class TTBSubmenuItem : public TTBCustomItem {
 public:
  explicit TTBSubmenuItem(ui::TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu);
  }
};
TTBCustomItem* AddSubmenu(TTBCustomItem& parent, const wchar_t* caption) {
  auto* item = ui::Create<TTBSubmenuItem>(parent);
  item->SetCaption(caption);
  parent.Add(item);
  return item;
}

std::vector<TRect> ShownRects(const TTBView& view) {
  std::vector<TRect> rects;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    if (view.Viewers(i)->Show()) rects.push_back(view.Viewers(i)->BoundsRect());
  }
  return rects;
}

class TbView : public ::testing::Test {
 protected:
  TbView() {
    SetPopupFactory(&FakePopup::Make);
    previousSettings_ = SetSystemSettings(&settings_);
  }
  ~TbView() override {
    SetPopupFactory(nullptr);
    SetSystemSettings(previousSettings_);
  }
  TFixedSystemSettings settings_;  // a show delay of 400 ms
  ISystemSettings* previousSettings_ = nullptr;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
};

TEST_F(TbView, MenuItemsMeasureAndSeparatorsHideAtTheEdges) {
  Add(*root, L"", tbisSeparator);
  Add(*root, L"&Open...\tCtrl+O");
  Add(*root, L"", tbisSeparator);
  Add(*root, L"", tbisSeparator);
  Add(*root, L"E&xit");
  Add(*root, L"", tbisSeparator);
  FakeWindow window(true);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
  view->ValidatePositions();
  // Row 17 high (13 + 4); "Open..." 42 + column 17 + 6 + shortcut (36 + 17 - 6) + arrow 17.
  EXPECT_EQ(ShownRects(*view),
            (std::vector<TRect>{{0, 0, 129, 17}, {0, 17, 129, 27}, {0, 27, 129, 44}}));
  EXPECT_EQ(window.width, 129);
  EXPECT_EQ(window.height, 44);
  EXPECT_EQ(view->Viewers(1)->GetHintText(true), L"Open (Ctrl+O)");
  EXPECT_EQ(view->Viewers(1)->GetHintText(false), L"Open");
  // The action's hint hook sees the automatic hint and may change or veto it.
  ui::Owned<ui::TAction> action = ui::New<ui::TAction>();
  action->SetCaption(L"&Open...\tCtrl+O");
  root->Items(1)->SetAction(action.get());
  std::wstring seen;
  action->OnHint = [&](std::wstring& hint, bool& canShow) {
    seen = hint;
    canShow = hint != L"Open!";
    hint += L"!";
  };
  EXPECT_EQ(view->Viewers(1)->GetHintText(true), L"Open! (Ctrl+O)");
  EXPECT_EQ(seen, L"Open");
  root->Items(1)->SetHint(L"Open!|long");
  EXPECT_EQ(view->Viewers(1)->GetHintText(true), L"");
}

// Toolbar-sized items of a menu stand side by side in a row; menu rows take the widest row.
TEST_F(TbView, ToolbarSizedItemsOfAMenuShareARow) {
  Add(*root, L"E&xit");
  for (const wchar_t* caption : {L"ab", L"abcd"})
    Add(*root, caption)->SetOptions(tboToolbarStyle | tboToolbarSize);
  Add(*root, L"&Open");
  FakeWindow window(true);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
  view->ValidatePositions();
  // Menu rows 24 + 17 + 6 + 17 wide and 17 high; buttons 6 + 6n + 6 wide and 19 high.
  EXPECT_EQ(
      ShownRects(*view),
      (std::vector<TRect>{{0, 0, 64, 17}, {0, 17, 24, 36}, {24, 17, 60, 36}, {0, 36, 64, 53}}));
}

TEST_F(TbView, ToolbarsWrapWithLineSeparatorsAndMirrorWhenVertical) {
  for (const wchar_t* caption : {L"aaaa", L"bbbb", L"", L"cccc", L"dddd"}) {
    Add(*root, caption, *caption ? 0 : tbisSeparator);
  }
  FakeWindow window(false);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, true, false, false);
  view->ValidatePositions();  // buttons are 6 + 24 + 6 = 36 wide, 19 high; separators 6
  const std::vector<TRect> oneLine = {
      {0, 0, 36, 19}, {36, 0, 72, 19}, {72, 6, 78, 12}, {78, 0, 114, 19}, {114, 0, 150, 19}};
  EXPECT_EQ(ShownRects(*view), oneLine);
  view->SetWrapOffset(150);  // the last item exactly reaches the offset: nothing wraps
  view->ValidatePositions();
  EXPECT_EQ(ShownRects(*view), oneLine);
  view->SetWrapOffset(100);  // the group after the separator does not fit: a line separator
  view->ValidatePositions();
  EXPECT_EQ(
      ShownRects(*view),
      (std::vector<TRect>{
          {0, 0, 36, 19}, {36, 0, 72, 19}, {0, 19, 72, 25}, {0, 25, 36, 44}, {36, 25, 72, 44}}));
  EXPECT_TRUE(view->Viewers(2)->LineSep());
  view->SetOrientation(TTBViewOrientation::tbvoVertical);
  view->ValidatePositions();  // rotated: 19 wide, 36 long; two columns, the first at the right
  EXPECT_EQ(
      ShownRects(*view),
      (std::vector<TRect>{
          {25, 0, 44, 36}, {25, 36, 44, 72}, {19, 0, 25, 72}, {0, 0, 19, 36}, {0, 36, 19, 72}}));
  EXPECT_EQ(window.width, 44);
}

TEST_F(TbView, TheChevronHidesLowPriorityItemsAndStaysInsideTheToolbar) {
  for (const wchar_t* caption : {L"aaaa", L"bbbb", L"cccc", L"dddd"}) Add(*root, caption);
  ui::Owned<TTBCustomItem> chevron = ui::New<TTBCustomItem>();
  FakeWindow window(false);
  auto view = ui::New<ChevronView>(root.get(), &window, chevron.get());
  view->SetChevronSize(12);
  view->SetChevronOffset(120);           // room for 108: three of the 36-wide buttons
  view->GivePriority(view->Viewers(3));  // "dddd" was used last: it stays
  view->ValidatePositions();
  std::vector<bool> offEdge;
  for (int i = 0; i < 4; ++i) offEdge.push_back(view->Viewers(i)->OffEdge());
  EXPECT_EQ(offEdge, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(view->Viewers(4)->BoundsRect(), (TRect{108, 0, 120, 6}));
  view->SetChevronOffset(20);  // at least one item is always kept
  view->ValidatePositions();
  int shown = 0;
  for (int i = 0; i < 4; ++i) shown += view->Viewers(i)->Show();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(view->Viewers(3)->Show());
  for (int offset : {144, 300}) {  // everything fits (four of 36): no chevron
    view->SetChevronOffset(offset);
    view->ValidatePositions();
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(view->Viewers(i)->Show()) << offset;
    EXPECT_FALSE(view->Viewers(4)->Show()) << offset;
  }
}

// A chevron's popup is a toolbar view: a submenu hovered there opens at once, the arrow keys
// move along it, and from a submenu opened there Left goes back to its previous item.
TEST_F(TbView, AChevronPopupIsAToolbarView) {
  Add(*root, L"aaaa");
  TTBCustomItem* b = AddSubmenu(*root, L"bbbb");
  Add(*b, L"b1");
  TTBCustomItem* c = Add(*root, L"cccc");
  TTBCustomItem* d = AddSubmenu(*root, L"dddd");
  Add(*d, L"d1");
  ui::Owned<TTBChevronItem> chevron = ui::New<TTBChevronItem>();
  FakeWindow window(false);
  auto bar = ui::New<ChevronView>(root.get(), &window, chevron.get());
  chevron->SetToolbarView(bar.get());
  bar->SetStyle(vsAlwaysShowHints);
  bar->SetBackgroundColor(ui::clBtnShadow);
  bar->SetChevronSize(12);
  bar->SetChevronOffset(50);  // room for one 36-wide button: "aaaa" stays
  bar->ValidatePositions();
  bar->Include(vsModal);
  bar->Select(bar->Find(chevron.get()), false);
  ASSERT_TRUE(bar->OpenChildPopup(false));
  TTBView& popup = *bar->OpenViewerView();
  EXPECT_TRUE(popup.IsToolbar());
  EXPECT_EQ(popup.ChevronParentView(), bar.get());
  EXPECT_EQ(popup.Style() & vsAlwaysShowHints, vsAlwaysShowHints);
  EXPECT_EQ(popup.BackgroundColor(), ui::clBtnShadow);
  EXPECT_FALSE(popup.Find(root->Items(0))->Show());
  const auto& popupWindow = static_cast<FakeWindow&>(*popup.Window());
  const TRect rb = popup.Find(b)->BoundsRect();
  popup.UpdateSelection(popupWindow.ClientToScreen({rb.left + 2, rb.top + 2}), true);
  EXPECT_EQ(popup.OpenViewer(), popup.Find(b));
  EXPECT_TRUE(popupWindow.timers.empty());
  const auto selected = [&] { return &popup.Selected()->Item(); };
  std::uint16_t key = vk::Right;
  popup.KeyDown(key, 0);
  EXPECT_EQ(selected(), c);
  EXPECT_EQ(popup.OpenViewer(), nullptr);
  key = vk::Right;
  popup.KeyDown(key, 0);  // menus drop down while one was open: d's opens
  EXPECT_EQ(selected(), d);
  ASSERT_EQ(popup.OpenViewer(), popup.Find(d));
  key = vk::Left;
  popup.OpenViewerView()->KeyDown(key, 0);  // from d's submenu back to c
  EXPECT_EQ(selected(), c);
  key = vk::Left;
  popup.KeyDown(key, 0);
  EXPECT_EQ(selected(), b);
  EXPECT_EQ(&bar->Selected()->Item(), chevron.get());  // the toolbar keeps its chevron
}

// A control item is shown when its control exists and is shown on the view's window, whatever
// the item's own visibility.
TEST_F(TbView, AControlItemShowsWhenItsControlIsShownOnTheWindow) {
  auto* item = ui::Create<TTBControlItem>(*root);
  root->Add(item);
  ui::Owned<ui::TComponent> control = ui::New<ui::TComponent>();
  item->SetDontFreeControl(true);
  FakeWindow window(false);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, true, false, false);
  const struct {
    bool hasControl, controlShown, itemVisible, shown;
  } kCases[] = {{true, true, true, true},
                {true, true, false, true},
                {true, false, true, false},
                {false, true, true, false}};
  for (const auto& c : kCases) {
    item->SetControl(c.hasControl ? control.get() : nullptr);
    window.controlShown = c.controlShown;
    item->SetVisible(c.itemVisible);
    view->InvalidatePositions();
    view->ValidatePositions();
    EXPECT_EQ(view->Viewers(0)->Show(), c.shown) << c.hasControl << c.controlShown << c.itemVisible;
  }
}

TEST_F(TbView, TallPopupsScrollByWholeItems) {
  for (int i = 0; i < 10; ++i) Add(*root, L"item");
  FakeWindow window(true);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
  view->Include(vsModal);
  view->SetMaxHeight(100);  // 10 rows of 17: 170
  view->ValidatePositions();
  EXPECT_EQ(window.height, 100);
  EXPECT_FALSE(view->ShowUpArrow());
  EXPECT_TRUE(view->ShowDownArrow());
  EXPECT_TRUE(view->Viewers(3)->Show());     // ends at 68, above the arrow at 81
  EXPECT_TRUE(view->Viewers(4)->Clipped());  // 68..85 runs into it
  // Hovering the lower arrow scrolls every 100 ms, one item per tick.
  view->UpdateSelection({50, 90}, true);
  ASSERT_EQ(window.timers.count(kViewTimerBase + 3), 1u);
  EXPECT_EQ(window.timers[kViewTimerBase + 3], kScrollInterval);
  view->TimerFired(TTBViewTimer::tiScrollDown);
  EXPECT_EQ(view->ScrollOffset(), 85 - 81);
  EXPECT_TRUE(view->ShowUpArrow());
  EXPECT_TRUE(view->Viewers(4)->Show());
  EXPECT_EQ(view->Viewers(4)->BoundsRect(), (TRect{0, 64, 64, 81}));
  for (int i = 0; i < 10; ++i) view->TimerFired(TTBViewTimer::tiScrollDown);
  EXPECT_EQ(view->ScrollOffset(), 70);
  EXPECT_FALSE(view->ShowDownArrow());
  EXPECT_TRUE(view->Viewers(9)->Show());
  std::uint16_t key = vk::Home;
  view->KeyDown(key, 0);
  EXPECT_EQ(view->Selected(), view->Viewers(0));
  EXPECT_EQ(view->ScrollOffset(), 0);
  EXPECT_TRUE(view->Viewers(0)->Show());
  key = vk::End;
  view->KeyDown(key, 0);
  EXPECT_EQ(view->ScrollOffset(), 70);
}

// A menu bar over File (Open, Recent >) and Edit, with a submenu under Recent.
class TbMenuChain : public TbView {
 protected:
  TbMenuChain() {
    file = AddSubmenu(*root, L"&File");
    open = Add(*file, L"&Open");
    recent = AddSubmenu(*file, L"&Recent");
    Add(*recent, L"&1 a.dsk");
    Add(*file, L"E&xit");
    edit = AddSubmenu(*root, L"&Edit");
    Add(*edit, L"&Copy");
    bar = ui::New<TTBView>(nullptr, root.get(), &barWindow, true, false, false);
    bar->SetStyle(vsMenuBar);
    bar->Include(vsModal);
    bar->ValidatePositions();
    FakePopup::opened = FakePopup::closed = 0;
  }
  void Key(TTBView& view, std::uint16_t code) {
    std::uint16_t key = code;
    view.KeyDown(key, 0);
    EXPECT_EQ(key, 0);
  }
  TTBView* Deepest() {
    TTBView* view = bar.get();
    while (view->OpenViewerView()) view = view->OpenViewerView();
    return view;
  }
  FakeWindow barWindow{false, {0, 0}};
  TTBCustomItem *file, *open, *recent, *edit;
  ui::Owned<TTBView> bar;
};

TEST_F(TbMenuChain, KeyboardWalksTheChainAndEscapeClosesOneLevel) {
  bar->Select(bar->Viewers(0), false);
  Key(*bar, vk::Down);  // opens File with its first item selected
  TTBView* popup = bar->OpenViewerView();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(&popup->Selected()->Item(), open);
  Key(*popup, vk::Down);
  Key(*popup, vk::Right);  // Recent's submenu
  ASSERT_EQ(Deepest()->ParentView(), popup);
  Key(*Deepest(), vk::Escape);  // closes the submenu only
  EXPECT_EQ(Deepest(), popup);
  EXPECT_FALSE(bar->IsModalEnding());
  Key(*popup, vk::Right);  // Recent again, then Left closes it
  Key(*Deepest(), vk::Left);
  EXPECT_EQ(Deepest(), popup);
  Key(*popup, vk::Right);
  Key(*Deepest(), vk::Right);  // no submenu there: the menu bar moves on to Edit
  EXPECT_EQ(&bar->Selected()->Item(), edit);
  EXPECT_EQ(&bar->OpenViewer()->Item(), edit);
  Key(*Deepest(), vk::Escape);  // back to the bar, popup closed
  EXPECT_EQ(bar->OpenViewerView(), nullptr);
  Key(*bar, vk::Escape);
  EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaCancel);
  EXPECT_EQ(FakePopup::opened, FakePopup::closed + 0);
}

// Whenever a popup's selection changes, to nothing too, its parent goes back to the item whose
// popup is open.
TEST_F(TbMenuChain, APopupsSelectionChangeReselectsTheParentsOpenItem) {
  bar->Select(bar->Viewers(0), false);
  Key(*bar, vk::Down);
  TTBView* popup = bar->OpenViewerView();
  Key(*popup, vk::Down);
  Key(*popup, vk::Right);  // Recent's submenu, its first item selected
  TTBView* submenu = popup->OpenViewerView();
  ASSERT_NE(submenu, nullptr);
  ASSERT_NE(submenu->Selected(), nullptr);
  for (TTBItemViewer* next : {submenu->Viewers(0), static_cast<TTBItemViewer*>(nullptr)}) {
    popup->Select(popup->Viewers(0), true);  // the mouse passed over Open
    submenu->Select(nullptr, true);
    submenu->Select(next, true);
    EXPECT_EQ(&popup->Selected()->Item(), recent);
    EXPECT_EQ(popup->OpenViewerView(), submenu);
  }
}

TEST_F(TbMenuChain, EnterExecutesAndARootPopupIgnoresLeft) {
  ui::Owned<TTBView> popup = ui::New<TTBView>(nullptr, file, &barWindow, false, false, false);
  popup->Include(vsModal);
  popup->ValidatePositions();
  Key(*popup, vk::Left);  // nothing to go back to: the popup stays, the loop goes on
  EXPECT_FALSE(popup->IsModalEnding());
  popup->Select(popup->Viewers(0), false);
  Key(*popup, vk::Return);
  EXPECT_EQ(popup->DoneActionData().doneAction, TTBDoneAction::tbdaClickItem);
  EXPECT_EQ(popup->DoneActionData().clickItem, open);
  EXPECT_TRUE(popup->DoneActionData().sound);
  bool only = false;
  EXPECT_EQ(&popup->NextSelectableWithAccel(nullptr, L'X', true, only)->Item(), file->Items(2));
  EXPECT_TRUE(only);
  Add(*file, L"&xylophone");
  EXPECT_EQ(&popup->NextSelectableWithAccel(nullptr, L'x', true, only)->Item(), file->Items(2));
  EXPECT_FALSE(only);
}

TEST_F(TbMenuChain, SubmenusOpenAndCloseAfterTheShowDelay) {
  bar->Select(bar->Viewers(0), false);
  Key(*bar, vk::Down);
  TTBView* popup = bar->OpenViewerView();
  auto& window = static_cast<FakeWindow&>(*popup->Window());
  const TPoint origin = window.Origin();
  const auto at = [&](int row) { return TPoint{origin.x + 5, origin.y + row * 17 + 5}; };
  popup->UpdateSelection(at(1), true);  // hover Recent: the open timer runs
  EXPECT_EQ(window.timers, (std::map<int, unsigned>{{kViewTimerBase, 400}}));
  popup->TimerFired(TTBViewTimer::tiOpen);
  ASSERT_NE(popup->OpenViewerView(), nullptr);
  EXPECT_TRUE(window.timers.empty());
  popup->UpdateSelection(at(0), true);  // over Open: the submenu closes after the delay
  EXPECT_EQ(window.timers, (std::map<int, unsigned>{{kViewTimerBase + 1, 400}}));
  popup->UpdateSelection(at(1), true);  // back in time: it stays
  EXPECT_TRUE(window.timers.empty());
  EXPECT_NE(popup->OpenViewerView(), nullptr);
  popup->UpdateSelection(at(2), true);
  popup->TimerFired(TTBViewTimer::tiClose);
  EXPECT_EQ(popup->OpenViewerView(), nullptr);
  // Leaving the popup keeps the highlight only on an item whose submenu is open.
  popup->UpdateSelection({-50, -50}, true);
  EXPECT_EQ(popup->Selected(), nullptr);
  popup->UpdateSelection(at(1), true);
  popup->TimerFired(TTBViewTimer::tiOpen);
  popup->UpdateSelection({-50, -50}, true);
  EXPECT_EQ(&popup->Selected()->Item(), recent);
}

TEST_F(TbView, WhatAViewerShowsFollowsItsDisplayMode) {
  TTBCustomItem* item = Add(*root, L"&Print");
  item->SetImageIndex(0);
  FakeWindow toolbarWindow(false), menuWindow(true);
  ui::Owned<TTBView> toolbar =
      ui::New<TTBView>(nullptr, root.get(), &toolbarWindow, true, false, false);
  ui::Owned<TTBView> menu = ui::New<TTBView>(nullptr, root.get(), &menuWindow, false, false, false);
  using M = TTBItemDisplayMode;
  const struct {
    M mode;
    bool toolbarCaption, toolbarImage, menuImage;
  } kCases[] = {{M::nbdmDefault, false, true, true},
                {M::nbdmTextOnly, true, false, false},
                {M::nbdmTextOnlyInMenus, false, true, false},
                {M::nbdmImageAndText, true, true, true}};
  for (const auto& c : kCases) {
    item->SetDisplayMode(c.mode);
    EXPECT_EQ(toolbar->Viewers(0)->CaptionShown(), c.toolbarCaption);
    EXPECT_EQ(toolbar->Viewers(0)->ImageShown(), c.toolbarImage);
    EXPECT_TRUE(menu->Viewers(0)->CaptionShown());
    EXPECT_EQ(menu->Viewers(0)->ImageShown(), c.menuImage);
  }
  EXPECT_EQ(toolbar->Viewers(0)->GetAccRole(), kRolePushButton);
  EXPECT_EQ(menu->Viewers(0)->GetAccRole(), kRoleMenuItem);
}

TEST_F(TbMenuChain, MousePressesOpenExecuteOrEndTheLoop) {
  TTBItemViewer* fileViewer = bar->Viewers(0);
  bar->UpdateSelection({5, 5}, true);
  ASSERT_EQ(bar->Selected(), fileViewer);
  bool downOnMenu = false;
  fileViewer->MouseDown(0, 5, 5, downOnMenu);  // opens File
  EXPECT_NE(bar->OpenViewerView(), nullptr);
  EXPECT_FALSE(downOnMenu);
  fileViewer->MouseUp(5, 5, downOnMenu);  // the release keeps it open
  EXPECT_FALSE(bar->IsModalEnding());
  bar->UpdateSelection({5, 500}, true);  // over the open popup: File stays selected, not hovered
  EXPECT_EQ(bar->Selected(), fileViewer);
  EXPECT_FALSE(bar->MouseOverSelected());
  bar->UpdateSelection({5, 5}, true);
  EXPECT_TRUE(bar->MouseOverSelected());
  fileViewer->MouseDown(0, 5, 5, downOnMenu);  // a second press on the open item...
  EXPECT_TRUE(downOnMenu);
  fileViewer->MouseUp(5, 5, downOnMenu);  // ...closes the menu when released
  EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaCancel);

  // A split button: the left part executes, the arrow part opens the popup.
  bar->DoneActionData() = {};
  class ComboItem : public TTBCustomItem {
   public:
    explicit ComboItem(ui::TComponent* owner) : TTBCustomItem(owner) {
      SetItemStyle(GetItemStyle() | tbisSubmenu | tbisCombo);
    }
  };
  auto* combo = ui::Create<ComboItem>(*root);
  combo->SetCaption(L"Undo");
  root->Add(combo);
  Add(*combo, L"Undo twice");
  TTBItemViewer* split = bar->Find(combo);
  const int width = split->BoundsRect().Width();
  EXPECT_TRUE(split->IsPtInButtonPart(width - kComboArrowWidth - 1, 3));
  EXPECT_FALSE(split->IsPtInButtonPart(width - kComboArrowWidth, 3));
  const TPoint inside = {split->BoundsRect().left + 2, 3};
  bar->UpdateSelection(inside, true);
  split->MouseDown(0, 2, 3, downOnMenu);  // pressed: the view holds the capture
  EXPECT_TRUE(bar->Capture());
  split->MouseUp(2, 3, downOnMenu);
  EXPECT_EQ(bar->DoneActionData().clickItem, combo);
  EXPECT_FALSE(bar->DoneActionData().sound);  // no menu sound from a toolbar
  bar->DoneActionData() = {};
  split->MouseDown(0, width - 2, 3, downOnMenu);
  EXPECT_EQ(bar->OpenViewer(), split);

  // A disabled item on the bar ends the loop.
  bar->DoneActionData() = {};
  edit->SetEnabled(false);
  bar->Find(edit)->MouseDown(0, 2, 2, downOnMenu);
  EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaCancel);
}

// The only selectable viewer, first or last among separators, is the next one from anywhere,
// itself included, in either direction.
TEST_F(TbView, TheOnlySelectableViewerIsNextFromEitherEnd) {
  for (const bool atStart : {true, false}) {
    ui::Owned<TTBCustomItem> menu = ui::New<TTBCustomItem>();
    if (!atStart) Add(*menu, L"", tbisSeparator), Add(*menu, L"", tbisSeparator);
    TTBCustomItem* only = Add(*menu, L"Only");
    if (atStart) Add(*menu, L"", tbisSeparator), Add(*menu, L"", tbisSeparator);
    FakeWindow window(true);
    ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, menu.get(), &window, false, false, false);
    TTBItemViewer* viewer = view->Find(only);
    for (const bool forward : {true, false}) {
      EXPECT_EQ(view->NextSelectable(viewer, forward), viewer) << atStart << forward;
      EXPECT_EQ(view->NextSelectable(nullptr, forward), viewer) << atStart << forward;
    }
  }
}

// A pressed toolbar button is drawn pushed and runs only while the pointer stays over it (over
// the main part of a split button).
TEST_F(TbMenuChain, APressedButtonFollowsThePointerAndRunsOnlyWhenReleasedOverIt) {
  class ComboItem : public TTBCustomItem {
   public:
    explicit ComboItem(ui::TComponent* owner) : TTBCustomItem(owner) {
      SetItemStyle(GetItemStyle() | tbisSubmenu | tbisCombo);
    }
  };
  TTBCustomItem* go = Add(*root, L"Go");
  auto* combo = ui::Create<ComboItem>(*root);
  combo->SetCaption(L"Undo");
  root->Add(combo);
  Add(*combo, L"Undo twice");
  const auto middle = [](const TTBItemViewer* v) {
    const TRect r = v->BoundsRect();
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const TPoint away = {middle(bar->Find(go)).x, 200};
  const TPoint arrow = {bar->Find(combo)->BoundsRect().right - 2, 5};
  const struct {
    TTBCustomItem* item;
    TPoint release;
    bool runs;
  } kCases[] = {{go, away, false}, {combo, arrow, false}, {combo, away, false}, {go, {}, true}};
  for (const auto& c : kCases) {
    bar->DoneActionData() = {};
    TTBItemViewer* viewer = bar->Find(c.item);
    const TPoint press = middle(viewer);
    const TPoint release = c.release == TPoint{} ? press : c.release;
    bar->UpdateSelection(press, true);
    bool downOnMenu = false;
    viewer->MouseDown(0, press.x - viewer->BoundsRect().left, 3, downOnMenu);
    ASSERT_TRUE(bar->Capture());
    bar->UpdateSelection(release, true);
    EXPECT_EQ(bar->Selected(), viewer);           // the pressed viewer keeps the selection
    EXPECT_EQ(bar->MouseOverSelected(), c.runs);  // drawn pushed only while over it
    bar->UpdateSelection(press, true);
    EXPECT_TRUE(bar->MouseOverSelected());
    bar->UpdateSelection(release, true);  // the loop's update at the release
    const TPoint p = viewer->ScreenToClient(release);
    viewer->MouseUp(p.x, p.y, downOnMenu);
    EXPECT_FALSE(bar->Capture());
    if (c.runs) {
      EXPECT_EQ(bar->DoneActionData().clickItem, c.item);
    } else {
      EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaCancel);
    }
  }
}

TEST_F(TbView, ViewersFollowTheTreeThroughEmbeddedGroups) {
  Add(*root, L"first");
  auto* group = ui::Create<TTBGroupItem>(*root);
  root->Add(group);
  Add(*group, L"g1");
  Add(*root, L"last");
  ui::Owned<TTBMRUList> recent = ui::New<TTBMRUList>();
  auto* recentItem = ui::Create<TTBMRUListItem>(*root);
  root->Add(recentItem);
  recentItem->SetMRUList(recent.get());
  FakeWindow window(true);
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
  const auto captions = [&] {
    std::vector<std::wstring> result;
    for (int i = 0; i < view->ViewerCount(); ++i) {
      const TTBItemViewer* viewer = view->Viewers(i);
      result.push_back(std::to_wstring(viewer->GroupLevel()) + viewer->Item().Caption());
    }
    return result;
  };
  Add(*group, L"g2");
  group->Insert(0, ui::Create<TTBCustomItem>(*group));
  group->Items(0)->SetCaption(L"g0");
  recent->Items()->Assign({L"/x/a", L"/x/b"});
  recent->Add(L"/x/c");
  EXPECT_EQ(captions(),
            (std::vector<std::wstring>{L"0first", L"0", L"1g0", L"1g1", L"1g2", L"0last",
                                       L"0(MRU List)", L"1&1 c", L"1&2 a", L"1&3 b"}));
  view->ValidatePositions();
  EXPECT_FALSE(view->Viewers(1)->Show());  // the group itself takes no room
  EXPECT_TRUE(view->Viewers(8)->Show());
  root->Remove(group);
  EXPECT_EQ(captions().size(), 6u);
  ui::Free(group);
  recent.reset();
  EXPECT_EQ(captions(), (std::vector<std::wstring>{L"0first", L"0last", L"0(MRU List)"}));
  EXPECT_THROW(view->Find(group), ETBItemError);
}

}  // namespace
}  // namespace tb
