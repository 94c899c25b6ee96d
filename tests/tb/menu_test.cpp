// Popup placement on a monitor, and the modal menu loop driven by a fake message queue over the
// fake popups of view_fakes.h.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "tb/acc.h"
#include "tb/modal_loop.h"
#include "tb/popup_placement.h"
#include "tb/system_settings.h"
#include "view_fakes.h"

namespace tb {
namespace {

using Mode = TTBPopupPlacementMode;
using testing::FakePopup;
using testing::FakeWindow;

TEST(PopupPlacementTest, StaysOnTheMonitorAndSlidesAwayFromItsOpener) {
  const TRect m{0, 0, 1280, 1024};
  struct Case {
    const char* name;
    Mode mode;
    TRect r;
    int w, h;
    TTBPopupAlignment align;
    bool parentOpposite;
    int coverAbove;  // parent items the place above R covers (the current place covers 2)
    int x, y;
    bool opposite;
    TTBAnimationDirection dir;
  };
  const auto L = TTBPopupAlignment::tbpaLeft, R = TTBPopupAlignment::tbpaRight,
             C = TTBPopupAlignment::tbpaCenter;
  const Case cases[] = {
      {"point",
       Mode::ppPoint,
       {300, 200, 300, 200},
       200,
       100,
       L,
       false,
       9,
       300,
       200,
       false,
       tbadDown | tbadRight},
      {"point at right edge flips left",
       Mode::ppPoint,
       {1200, 100, 1200, 100},
       200,
       100,
       L,
       false,
       9,
       1000,
       100,
       false,
       tbadDown | tbadLeft},
      {"centred point pushed in",
       Mode::ppPoint,
       {1200, 100, 1200, 100},
       200,
       100,
       C,
       false,
       9,
       1080,
       100,
       false,
       tbadDown},
      {"right-aligned point at left edge",
       Mode::ppPoint,
       {50, 100, 50, 100},
       200,
       100,
       R,
       false,
       9,
       50,
       100,
       false,
       tbadDown | tbadRight},
      {"point near bottom goes above",
       Mode::ppPoint,
       {300, 1000, 300, 1000},
       200,
       100,
       L,
       false,
       9,
       300,
       900,
       false,
       tbadUp | tbadRight},
      {"point goes above when that ends exactly on the monitor's top",
       Mode::ppPoint,
       {300, 800, 300, 800},
       200,
       800,
       L,
       false,
       9,
       300,
       0,
       false,
       tbadUp | tbadRight},
      {"drop-down near bottom opens above",
       Mode::ppDropDown,
       {100, 980, 150, 1000},
       200,
       300,
       L,
       false,
       9,
       100,
       680,
       false,
       tbadUp},
      {"tall drop-down stays on the monitor beside its item",
       Mode::ppDropDown,
       {100, 20, 150, 40},
       200,
       1018,
       L,
       false,
       0,
       150,
       6,
       false,
       tbadRight},
      {"drop-down avoids covering its toolbar",
       Mode::ppDropDown,
       {100, 500, 150, 520},
       200,
       100,
       L,
       false,
       0,
       100,
       400,
       false,
       tbadUp},
      {"submenu",
       Mode::ppSubmenu,
       {100, 100, 260, 120},
       200,
       100,
       L,
       false,
       9,
       257,
       97,
       false,
       tbadRight},
      {"submenu past the right edge opens left",
       Mode::ppSubmenu,
       {1100, 100, 1260, 120},
       200,
       100,
       L,
       false,
       9,
       903,
       97,
       true,
       tbadLeft},
      {"its submenus keep going left",
       Mode::ppSubmenu,
       {700, 100, 860, 120},
       200,
       100,
       L,
       true,
       9,
       503,
       97,
       true,
       tbadLeft},
      {"no room on the left: back to the right",
       Mode::ppSubmenu,
       {50, 100, 210, 120},
       200,
       100,
       L,
       true,
       9,
       207,
       97,
       false,
       tbadRight},
      {"submenu near bottom opens upwards",
       Mode::ppSubmenu,
       {100, 1000, 260, 1020},
       200,
       100,
       L,
       false,
       9,
       257,
       923,
       false,
       tbadRight},
      {"vertical toolbar on the left edge",
       Mode::ppDropDownVertical,
       {0, 300, 24, 320},
       200,
       100,
       L,
       false,
       9,
       24,
       300,
       false,
       tbadRight},
      {"chevron",
       Mode::ppChevron,
       {400, 0, 412, 22},
       150,
       100,
       L,
       false,
       9,
       262,
       22,
       false,
       tbadDown},
  };
  for (const Case& c : cases) {
    TTBPopupPlacementInput in;
    in.mode = c.mode;
    in.reference = c.r;
    in.monitor = m;
    in.width = c.w;
    in.height = c.h;
    in.alignment = c.align;
    in.parentOpposite = c.parentOpposite;
    const TRect r = c.r;
    const int above = c.coverAbove;
    struct Ctx {
      TRect r;
      int above;
    } ctx{r, above};
    in.coverData = &ctx;
    in.coverCount = [](const TRect& rect, void* data) {
      const auto& x = *static_cast<Ctx*>(data);
      return rect.bottom <= x.r.top ? x.above : 2;
    };
    const TTBPopupPlacement p = PlacePopup(in);
    EXPECT_EQ(p.x, c.x) << c.name;
    EXPECT_EQ(p.y, c.y) << c.name;
    EXPECT_EQ(p.opposite, c.opposite) << c.name;
    EXPECT_EQ(p.direction, c.dir) << c.name;
    EXPECT_GE(p.x, m.left) << c.name;
    EXPECT_LE(p.x + c.w, m.right) << c.name;
    EXPECT_GE(p.y, m.top) << c.name;
  }
}

class SubmenuItem : public TTBCustomItem {
 public:
  explicit SubmenuItem(ui::TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(GetItemStyle() | tbisSubmenu);
  }
};

// Its viewer asks for the hand cursor (-21) right of x = 10 and records where it was asked.
class HandItem : public TTBCustomItem {
 public:
  using TTBCustomItem::TTBCustomItem;
  std::unique_ptr<TTBItemViewer> CreateViewer(TTBView& view, int groupLevel) override {
    struct Viewer : TTBItemViewer {
      using TTBItemViewer::TTBItemViewer;
      void GetCursor(TPoint pt, int& cursor) override {
        static_cast<HandItem&>(Item()).asked.push_back(pt);
        if (pt.x > 10) cursor = -21;
      }
    };
    return std::make_unique<Viewer>(view, *this, groupLevel);
  }
  std::vector<TPoint> asked;
};

// A message queue; an empty queue takes the capture away, so every loop ends.
class FakePlatform : public ITBModalPlatform {
 public:
  static constexpr std::uintptr_t kHandlerWindow = 0xCA;
  void SetRoot(TTBView* root) { root_ = root; }

  void Post(std::uint32_t message, std::uintptr_t wParam = 0, TPoint pos = {}) {
    queue.push_back({message, 0, wParam, 0, pos});
  }
  void Key(std::uint16_t key) { Post(msg::KeyDown, key); }
  void Char(wchar_t ch) { Post(msg::Char, static_cast<std::uintptr_t>(ch)); }
  void Click(TPoint at) {
    Post(msg::MouseMove, 0, at);
    Post(msg::LButtonDown, 0, at);
    Post(msg::LButtonUp, 0, at);
  }

  std::uintptr_t HandlerWindow() override { return kHandlerWindow; }
  bool HasCapture() override { return !captureLost; }
  std::uintptr_t ActiveWindow() override { return 1; }
  bool PeekNext(TTBLoopMessage& message) override {
    if (queue.empty()) return false;
    message = queue.front();
    return true;
  }
  void Remove(const TTBLoopMessage&) override { queue.pop_front(); }
  void WaitForInput(bool) override { captureLost = true; }
  void Dispatch(const TTBLoopMessage& message) override { dispatched.push_back(message.message); }
  void Translate(const TTBLoopMessage& message) override {
    translated.push_back(static_cast<int>(message.wParam));
  }
  TTBView* PopupViewOf(std::uintptr_t wnd) override {
    for (TTBView* view = root_; view; view = view->OpenViewerView()) {
      if (reinterpret_cast<std::uintptr_t>(view->Window()) == wnd && view->IsPopup()) return view;
    }
    return nullptr;
  }
  std::uintptr_t WindowFromPoint(TPoint p) override {
    std::uintptr_t found = 0xD5;  // another program's window
    for (TTBView* view = root_; view; view = view->OpenViewerView()) {
      if (view->Window()->ContainsScreenPoint(p)) {
        found = reinterpret_cast<std::uintptr_t>(view->Window());
      }
    }
    return found;
  }
  std::uintptr_t WindowOf(TTBView& view) override {
    return reinterpret_cast<std::uintptr_t>(view.Window());
  }
  bool InClientArea(std::uintptr_t, TPoint) override { return true; }
  bool ButtonHeld(bool right) override { return right ? false : leftHeld; }
  std::uint16_t ImeVirtualKey() override { return 0; }
  ui::TShiftState KeyShiftState(std::intptr_t) override { return 0; }
  void Beep() override { ++beeps; }
  void SetCursor(int cursor) override { cursors.push_back(cursor); }
  void StepAnimation() override {}
  bool AnimationRunning() override { return false; }
  void CancelHint() override {}
  void HintMouseMove(TTBView&, TPoint) override {}
  void SetApplicationHint(const std::wstring& text) override { hint = text; }

  std::deque<TTBLoopMessage> queue;
  std::vector<std::uint32_t> dispatched;
  std::vector<int> translated;
  std::vector<int> cursors;
  std::wstring hint;
  int beeps = 0;
  bool captureLost = false;
  bool leftHeld = false;

 private:
  TTBView* root_ = nullptr;
};

// A root popup at (100, 100): "&Open", "&Recent" (submenu: "&1 a.dsk", "&2 b.dsk"), "&Sort",
// "Sa&ve all", "&Stop" (a second "s") and "Close" (no accelerator).
class ModalLoopTest : public ::testing::Test {
 protected:
  ModalLoopTest() {
    settings.menuShowDelay = 0;
    previous = SetSystemSettings(&settings);
    SetPopupFactory(&FakePopup::Make);
    for (const wchar_t* caption :
         {L"&Open", L"&Recent", L"&Sort", L"Sa&ve all", L"&Stop", L"Close"}) {
      TTBCustomItem* item = std::wstring(caption) == L"&Recent"
                                ? static_cast<TTBCustomItem*>(ui::Create<SubmenuItem>(*root))
                                : ui::Create<TTBCustomItem>(*root);
      item->SetCaption(caption);
      item->SetHint(std::wstring(L"short|long ") + caption);
      item->SetOnClick([this, item](ui::TComponent*) { clicked.push_back(item->Caption()); });
      root->Add(item);
    }
    for (const wchar_t* caption : {L"&1 a.dsk", L"&2 b.dsk"}) {
      auto* entry = ui::Create<TTBCustomItem>(*root->Items(1));
      entry->SetCaption(caption);
      root->Items(1)->Add(entry);
    }
    view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
    view->Include(vsModal | vsIgnoreFirstMouseUp);
    view->ValidatePositions();
    platform.SetRoot(view.get());
    LastMousePosition() = kNoPoint;
  }
  ~ModalLoopTest() override {
    view.reset();
    SetPopupFactory(nullptr);
    SetSystemSettings(previous);
  }

  TTBDoneActionData Run(bool trackRight = false) {
    TTBModalLoopOptions options;
    options.trackRightButton = trackRight;
    RunModalLoop(*view, platform, options);
    return view->DoneActionData();
  }
  // The screen point in the middle of viewer `index` of `v`.
  static TPoint At(TTBView& v, int index) {
    const TRect r = v.Viewers(index)->BoundsRect();
    return v.Window()->ClientToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  std::wstring ClickedCaption(const TTBDoneActionData& data) {
    return data.clickItem ? data.clickItem->Caption() : L"";
  }

  TFixedSystemSettings settings;
  ISystemSettings* previous = nullptr;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  FakeWindow window{true, {100, 100}};
  ui::Owned<TTBView> view;
  FakePlatform platform;
  std::vector<std::wstring> clicked;
};

TEST_F(ModalLoopTest, KeysNavigateOpenCloseAndChoose) {
  struct Case {
    const char* name;
    std::vector<std::uint16_t> keys;  // below 0x100: keys; 'a'.. as characters after 0x1000
    TTBDoneAction action;
    std::wstring chosen;
    int beeps;
  };
  constexpr std::uint16_t ch = 0x1000;
  const Case cases[] = {
      {"down twice, enter opens the submenu; enter chooses its first",
       {vk::Down, vk::Down, vk::Return, vk::Return},
       TTBDoneAction::tbdaClickItem,
       L"&1 a.dsk",
       0},
      {"escape in a submenu closes one level",
       {vk::Down, vk::Down, vk::Right, vk::Escape, vk::Down, vk::Return},
       TTBDoneAction::tbdaClickItem,
       L"&Sort",
       0},
      {"left closes the submenu, a root popup stays",
       {vk::Down, vk::Down, vk::Right, vk::Left, vk::Left, vk::Up, vk::Return},
       TTBDoneAction::tbdaClickItem,
       L"&Open",
       0},
      {"escape at the root ends the loop",
       {vk::Down, vk::Escape, vk::Return},
       TTBDoneAction::tbdaCancel,
       L"",
       0},
      {"a unique accelerator chooses at once",
       {ch + 'o'},
       TTBDoneAction::tbdaClickItem,
       L"&Open",
       0},
      {"a unique accelerator opens a submenu; its own chooses",
       {ch + 'r', ch + '2'},
       TTBDoneAction::tbdaClickItem,
       L"&2 b.dsk",
       0},
      {"an accelerator shared by two only selects",
       {ch + 's', ch + 's', vk::Return},
       TTBDoneAction::tbdaClickItem,
       L"&Stop",
       0},
      {"a first letter serves an item without an accelerator",
       {ch + 'c'},
       TTBDoneAction::tbdaClickItem,
       L"Close",
       0},
      {"an accelerator beats a first letter",
       {ch + 'v'},
       TTBDoneAction::tbdaClickItem,
       L"Sa&ve all",
       0},
      {"no match beeps and stays",
       {ch + 'z', vk::Home, vk::Return},
       TTBDoneAction::tbdaClickItem,
       L"&Open",
       1},
  };
  for (const Case& c : cases) {
    platform.queue.clear();
    platform.captureLost = false;
    platform.beeps = 0;
    view->DoneActionData() = {};
    view->Select(nullptr, false);
    view->CloseChildPopups();
    for (const std::uint16_t key : c.keys) {
      if (key >= ch)
        platform.Char(static_cast<wchar_t>(key - ch));
      else
        platform.Key(key);
    }
    const TTBDoneActionData data = Run();
    EXPECT_EQ(data.doneAction, c.action) << c.name;
    EXPECT_EQ(ClickedCaption(data), c.chosen) << c.name;
    EXPECT_EQ(platform.beeps, c.beeps) << c.name;
  }
  EXPECT_TRUE(clicked.empty());  // the loop only records; the caller posts the click
}

TEST_F(ModalLoopTest, MouseChoosesAndPressesOutsideEndTheLoop) {
  // A click on an item chooses it; the hint follows the selection.
  platform.Click(At(*view, 2));
  EXPECT_EQ(ClickedCaption(Run()), L"&Sort");
  EXPECT_EQ(platform.hint, L"long &Sort");

  // A press outside every menu window ends the loop and stays queued for its target.
  view->DoneActionData() = {};
  platform.captureLost = false;
  platform.Post(msg::LButtonDown, 0, {5, 5});
  EXPECT_EQ(Run().doneAction, TTBDoneAction::tbdaNone);
  ASSERT_EQ(platform.queue.size(), 1u);
  EXPECT_EQ(platform.queue.front().message, msg::LButtonDown);

  // Without right-button tracking a right click on an item does nothing.
  platform.queue.clear();
  platform.captureLost = false;
  platform.Post(msg::RButtonDown, 0, At(*view, 0));
  platform.Post(msg::RButtonUp, 0, At(*view, 0));
  EXPECT_EQ(Run().doneAction, TTBDoneAction::tbdaNone);
  platform.captureLost = false;
  platform.Post(msg::RButtonDown, 0, At(*view, 0));
  platform.Post(msg::RButtonUp, 0, At(*view, 0));
  EXPECT_EQ(ClickedCaption(Run(true)), L"&Open");

  // Keys are ignored while the left button is held; the middle and extra buttons are
  // swallowed, other messages dispatched.
  view->DoneActionData() = {};
  platform.captureLost = false;
  platform.leftHeld = true;
  platform.Key(vk::Escape);
  for (const std::uint32_t button : {0x207u, 0x208u, 0x20Bu, 0x20Cu, 0x20Du}) {
    platform.Post(button, 0, {5, 5});
  }
  platform.Post(0x0400);
  EXPECT_EQ(Run().doneAction, TTBDoneAction::tbdaNone);
  EXPECT_EQ(platform.dispatched, std::vector<std::uint32_t>{0x0400});
  EXPECT_TRUE(platform.queue.empty());
}

TEST(MenuBarLoopTest, SpaceAsksForTheSystemMenuAndPressesBesideItemsEndTheLoop) {
  TFixedSystemSettings settings;
  ISystemSettings* previous = SetSystemSettings(&settings);
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  for (const wchar_t* caption : {L"&File", L"&Edit"}) {
    auto* item = ui::Create<TTBCustomItem>(*root);
    item->SetCaption(caption);
    root->Add(item);
  }
  FakeWindow window{false, {0, 0}};
  ui::Owned<TTBView> bar = ui::New<TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->SetStyle(vsMenuBar);
  bar->Include(vsModal);
  bar->ValidatePositions();
  FakePlatform platform;
  platform.SetRoot(bar.get());
  platform.Char(L' ');
  RunModalLoop(*bar, platform, {});
  EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaOpenSystemMenu);
  EXPECT_EQ(bar->DoneActionData().key, static_cast<std::uint32_t>(L' '));
  EXPECT_EQ(bar->DoneActionData().wnd, 1u);

  // A press on the bar beside its items ends the loop and stays queued for the bar.
  platform.queue.clear();
  platform.captureLost = false;
  window.width += 100;  // the bar is wider than its items
  const TPoint beside{window.width - 1, 2};
  platform.Post(msg::LButtonDown, 0, beside);
  RunModalLoop(*bar, platform, {});
  EXPECT_EQ(bar->DoneActionData().doneAction, TTBDoneAction::tbdaNone);
  EXPECT_EQ(platform.queue.size(), 1u);
  bar.reset();
  SetSystemSettings(previous);
}

// Runs no real loop: records the view's state when its handler is made, during the loop, when
// the handler would be freed, and how it ended.
struct RecordingLoopHost : ITBToolbarLoopHost {
  void RunLoop(TTBView& view, const TTBModalLoopOptions& options,
               const std::function<void()>& starting,
               const std::function<void()>& ending) override {
    stateAtHandler = view.State();
    starting();
    stateDuring = view.State();
    mouseDown = options.mouseDown;
    view.EndModalWithClick(view.Selected());
    ending();
    stateAtFree = view.State();
    selectedAtFree = view.Selected();
  }
  void Finish(const TTBDoneActionData& data) override { finished = data; }
  TTBViewState stateAtHandler = 0, stateDuring = 0, stateAtFree = 0;
  TTBItemViewer* selectedAtFree = nullptr;
  bool mouseDown = false;
  TTBDoneActionData finished;
};

TEST(ToolbarLoopTest, TheViewIsModalForTheLoopAndItsEndIsCarriedOut) {
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  root->Add(ui::Create<TTBCustomItem>(*root));
  FakeWindow window{false};
  ui::Owned<TTBView> bar = ui::New<TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->ValidatePositions();
  bar->Select(bar->Viewers(0), false);
  bar->SetState(vsShowAccels | vsDropDownMenus | vsMouseInWindow);
  bar->SetStyle(vsUseHiddenAccels);
  TFixedSystemSettings settings;
  settings.keyboardCues = false;
  ISystemSettings* previous = SetSystemSettings(&settings);
  RecordingLoopHost host;
  EnterToolbarLoop(*bar, tbetMouseDown, host);
  // The view turns modal only once the handler holds the capture (the menu start is announced
  // before the focus).
  EXPECT_EQ(host.stateAtHandler, vsShowAccels | vsDropDownMenus | vsMouseInWindow);
  EXPECT_EQ(host.stateDuring, vsShowAccels | vsModal);
  EXPECT_TRUE(host.mouseDown);
  // Before the handler goes the view is no longer modal and has no selection; the
  // accelerators hide after it.
  EXPECT_EQ(host.stateAtFree, vsShowAccels);
  EXPECT_EQ(host.selectedAtFree, nullptr);
  EXPECT_EQ(bar->State(), 0);
  SetSystemSettings(previous);
  EXPECT_EQ(host.finished.doneAction, TTBDoneAction::tbdaClickItem);
  EXPECT_EQ(host.finished.clickItem, root->Items(0));
  EXPECT_FALSE(bar->State() & vsModal);
  // A view that is modal already runs no second loop.
  bar->Include(vsModal);
  RecordingLoopHost second;
  EnterToolbarLoop(*bar, 0, second);
  EXPECT_EQ(second.finished.clickItem, nullptr);
}

// A stand-in accessibility object that records what its client tells it.
struct RecordingAccObject : TTBAccObjectLink {
  void ClientIsDestroying() noexcept override { clientGone = true; }
  void ReleaseLink() noexcept override { ++releases; }
  bool clientGone = false;
  int releases = 0;
};

TEST(AccessibilityLinkTest, ViewsAndViewersTellTheirObjectBeforeTheyGo) {
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  root->Add(ui::Create<TTBCustomItem>(*root));
  FakeWindow window{true};
  ui::Owned<TTBView> view = ui::New<TTBView>(nullptr, root.get(), &window, false, false, false);
  RecordingAccObject viewObject, viewerObject;
  view->SetAccObjectInstance(&viewObject);
  view->Viewers(0)->SetAccObjectInstance(&viewerObject);
  ui::Free(root->Items(0));  // the viewer goes with its item
  EXPECT_TRUE(viewerObject.clientGone);
  EXPECT_EQ(viewerObject.releases, 1);
  EXPECT_FALSE(viewObject.clientGone);
  view.reset();
  EXPECT_TRUE(viewObject.clientGone);
  EXPECT_EQ(viewObject.releases, 1);
}

TEST_F(ModalLoopTest, TheFirstReleaseOutsideItemsIsForgivenOnce) {
  platform.Post(msg::MouseMove, 0, {5, 5});  // outside every menu window
  platform.Post(msg::LButtonUp, 0, {5, 5});
  platform.Post(msg::LButtonUp, 0, {5, 5});
  platform.Key(vk::Down);  // not reached: the second release ended the loop
  Run();
  EXPECT_EQ(view->Selected(), nullptr);
  EXPECT_EQ(platform.queue.size(), 1u);
}

TEST_F(ModalLoopTest, HoverOpensTheSubmenuOnItsTimerAndKeepsTheOpenerHighlighted) {
  settings.menuShowDelay = 40;
  platform.Post(msg::MouseMove, 0, At(*view, 1));
  Run();
  ASSERT_EQ(window.timers.count(kViewTimerBase), 1u);
  EXPECT_EQ(view->OpenViewerView(), nullptr);
  platform.captureLost = false;
  platform.queue.push_back({msg::Timer,
                            reinterpret_cast<std::uintptr_t>(static_cast<ITBViewWindow*>(&window)),
                            kViewTimerBase,
                            0,
                            {}});
  Run();
  ASSERT_NE(view->OpenViewerView(), nullptr);
  TTBView& sub = *view->OpenViewerView();
  // The capture is the handler's window, read from the root by every view of the chain.
  EXPECT_EQ(sub.GetCaptureWnd(), FakePlatform::kHandlerWindow);
  // Into the submenu: the opener stays selected; on to another item of the root: the
  // submenu closes on the close timer, the highlight moves.
  platform.captureLost = false;
  platform.Post(msg::MouseMove, 0, At(sub, 0));
  Run();
  EXPECT_EQ(view->Selected(), view->Viewers(1));
  platform.captureLost = false;
  platform.Post(msg::MouseMove, 0, At(*view, 3));
  Run();
  EXPECT_EQ(view->Selected(), view->Viewers(3));
  ASSERT_EQ(window.timers.count(kViewTimerBase + 1), 1u);
  platform.captureLost = false;
  platform.queue.push_back({msg::Timer,
                            reinterpret_cast<std::uintptr_t>(static_cast<ITBViewWindow*>(&window)),
                            kViewTimerBase + 1,
                            0,
                            {}});
  Run();
  EXPECT_EQ(view->OpenViewerView(), nullptr);
}

}  // namespace
}  // namespace tb

namespace tb {
namespace {

TEST(AccessibilityAnswersTest, NamesStatesShortcutsActionsAndNavigation) {
  TFixedSystemSettings settings;
  ISystemSettings* previous = SetSystemSettings(&settings);
  SetPopupFactory(&FakePopup::Make);
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  const auto add = [&](const wchar_t* caption, bool submenu = false) {
    TTBCustomItem* item = submenu ? static_cast<TTBCustomItem*>(ui::Create<SubmenuItem>(*root))
                                  : ui::Create<TTBCustomItem>(*root);
    item->SetCaption(caption);
    root->Add(item);
    return item;
  };
  add(L"&File", true)->Add(ui::Create<TTBCustomItem>(*root));
  add(L"&Save\tCtrl+S")->SetChecked(true);
  add(L"Hidden")->SetVisible(false);
  add(L"&Off")->SetEnabled(false);
  FakeWindow barWindow{false};
  ui::Owned<TTBView> bar = ui::New<TTBView>(nullptr, root.get(), &barWindow, true, false, false);
  bar->SetStyle(vsMenuBar);
  bar->Include(vsModal);
  bar->ValidatePositions();
  TTBItemViewer& file = *bar->Viewers(0);
  TTBItemViewer& save = *bar->Viewers(1);
  TTBItemViewer& off = *bar->Viewers(3);

  EXPECT_EQ(ViewAccRole(*bar), kRoleMenuBar);
  EXPECT_EQ(AccessibleViewerCount(*bar), 3);  // the hidden item is not there
  EXPECT_EQ(AccessibleViewer(*bar, 3), &off);
  EXPECT_EQ(AccNeighbour(off, false), &save);  // across the hidden one
  EXPECT_EQ(AccNeighbour(off, true), nullptr);
  EXPECT_EQ(AccNeighbour(save, false), &file);  // back to the first
  EXPECT_EQ(AccNeighbour(file, false), nullptr);
  EXPECT_EQ(ViewerAccName(save), L"Save");  // toolbar style: no shortcut text
  EXPECT_EQ(ViewerAccKeyboardShortcut(file, L"Alt"), L"Alt+f");
  EXPECT_EQ(ViewerAccDefaultAction(file, true), L"Open");
  EXPECT_EQ(ViewerAccDefaultAction(save, true), L"Execute");
  EXPECT_EQ(ViewerAccDefaultAction(off, true), std::nullopt);
  EXPECT_EQ(ViewerAccDefaultAction(save, false), std::nullopt);
  namespace s = acc_state;
  EXPECT_EQ(ViewerAccState(off, true), s::Focusable | s::Unavailable);
  EXPECT_EQ(ViewerAccState(save, false), s::Checked);
  EXPECT_EQ(ViewerAccState(*bar->Viewers(2), true), s::Invisible);

  bar->Select(&file, false);
  bar->OpenChildPopup(true);
  ASSERT_NE(bar->OpenViewerView(), nullptr);
  TTBView& popup = *bar->OpenViewerView();
  EXPECT_EQ(ViewerAccState(file, true), s::HotTracked | s::Focused | s::HasPopup | s::Focusable);
  EXPECT_EQ(ViewerAccDefaultAction(file, true), L"Close");
  EXPECT_EQ(ViewAccRole(popup), kRoleMenuPopup);
  EXPECT_EQ(ViewAccName(popup, L"window"), L"File");
  EXPECT_EQ(ViewAccName(*bar, L"window"), L"window");

  // The same captions in a popup: no Alt name, and the shortcut text in the name.
  ui::Owned<TTBView> menu = ui::New<TTBView>(nullptr, root.get(), &barWindow, false, false, false);
  menu->ValidatePositions();
  EXPECT_EQ(ViewerAccKeyboardShortcut(*menu->Viewers(0), L"Alt"), L"f");
  EXPECT_EQ(ViewerAccName(*menu->Viewers(1)), L"Save\tCtrl+S");
  EXPECT_EQ(ViewerAccDefaultAction(*menu->Viewers(1), true), L"Execute");

  menu.reset();
  bar.reset();
  SetPopupFactory(nullptr);
  SetSystemSettings(previous);
}

}  // namespace
TEST_F(ModalLoopTest, TheViewerUnderTheMouseChoosesTheCursor) {
  auto* hand = ui::Create<HandItem>(*root);
  hand->SetCaption(L"&Hand");
  root->Add(hand);
  view->ValidatePositions();
  const TRect r = view->Viewers(6)->BoundsRect();
  platform.Post(msg::MouseMove, 0, view->Window()->ClientToScreen({r.left + 2, r.top + 3}));
  platform.Post(msg::MouseMove, 0, view->Window()->ClientToScreen({r.left + 20, r.top + 3}));
  platform.Post(msg::MouseMove, 0, At(*view, 0));
  Run();
  EXPECT_EQ(platform.cursors, (std::vector<int>{-2, -21, -2}));
  ASSERT_EQ(hand->asked.size(), 2u);
  EXPECT_EQ(hand->asked[0].x, 2);
  EXPECT_EQ(hand->asked[0].y, 3);
}

}  // namespace tb
