#include "tb/item.h"

#include <gtest/gtest.h>

#include "tb/common.h"
#include "tb/startup.h"

namespace tb {
namespace {

using A = TTBItemChangedAction;

// Records every notification an item's handlers receive.
struct Recorder {
  struct Entry {
    TTBCustomItem* sender;
    bool relayed;
    A action;
    int index;
    TTBCustomItem* item;
    bool operator==(const Entry&) const = default;
  };
  void Handle(TTBCustomItem* sender, bool relayed, A action, int index, TTBCustomItem* item) {
    log.push_back({sender, relayed, action, index, item});
    if (onCall) onCall();
  }
  TTBItemChangedProc Proc() { return ChangedProc<&Recorder::Handle>(this); }
  std::vector<Entry> log;
  std::function<void()> onCall;
};

TTBCustomItem* Sub(TTBCustomItem& parent, const wchar_t* caption = L"") {
  auto* item = ui::Create<TTBCustomItem>(parent);
  item->SetCaption(caption);
  parent.Add(item);
  return item;
}

TEST(TbItem, ListOperationsAndTheirErrors) {
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* a = Sub(*root, L"a");
  TTBCustomItem* b = Sub(*root, L"b");
  ui::Owned<TTBCustomItem> loose = ui::New<TTBCustomItem>();
  constexpr const char* kOutOfRange = "Toolbar item index out of range";
  const struct {
    std::function<void()> op;
    const char* error;
  } kErrors[] = {
      {[&] { root->Insert(3, loose.get()); }, kOutOfRange},
      {[&] { root->Insert(-1, loose.get()); }, kOutOfRange},
      {[&] { root->Insert(0, a); }, "Toolbar item already inserted"},
      {[&] { root->Items(2); }, kOutOfRange},
      {[&] { root->Delete(2); }, kOutOfRange},
      {[&] { root->Move(0, 2); }, kOutOfRange},
  };
  for (const auto& c : kErrors) {
    try {
      c.op();
      ADD_FAILURE() << "no error for " << c.error;
    } catch (const rtl::Exception& e) {  // raised as the runtime's exception
      EXPECT_NE(dynamic_cast<const ETBItemError*>(&e), nullptr);
      EXPECT_STREQ(e.what(), c.error);
    }
    EXPECT_EQ(root->Count(), 2);
    EXPECT_EQ(loose->Parent(), nullptr);
  }
  root->Insert(2, loose.get());  // Count appends
  EXPECT_EQ(root->IndexOf(loose.get()), 2);
  root->Move(2, 0);
  EXPECT_EQ(root->Items(0), loose.get());
  root->Remove(loose.get());
  EXPECT_EQ(loose->Parent(), nullptr);  // detached, alive
  TTBCustomItem* c = Sub(*b, L"c");
  EXPECT_TRUE(root->ContainsItem(c));
  EXPECT_FALSE(a->ContainsItem(c));
  // Moving under a component: an item, or a holder of an item tree.
  struct Holder : ui::TComponent, ITBItemContainer {
    using ui::TComponent::TComponent;
    TTBCustomItem* GetItems() override { return items.get(); }
    ui::Owned<TTBCustomItem> items = ui::New<TTBCustomItem>();
  };
  ui::Owned<Holder> holder = ui::New<Holder>();
  holder->items->SetParentComponentRef(holder.get());
  c->SetParentComponent(holder.get());
  EXPECT_EQ(c->Parent(), holder->items.get());
  EXPECT_EQ(c->GetParentComponent(), holder.get());
  try {
    c->SetParentComponent(ui::New<ui::TAction>().get());
    ADD_FAILURE();
  } catch (const ETBItemError& e) {
    EXPECT_STREQ(e.what(), "Toolbar item cannot be inserted into container of type TAction");
  }
  EXPECT_EQ(c->Parent(), holder->items.get());
  c->SetParentComponent(a);
  EXPECT_EQ(c->GetParentComponent(), a);
  // Streaming: the children are the sub-items in order; a child order moves a sub-item only.
  const auto children = [&] {
    std::vector<ui::TComponent*> listed;
    root->GetChildren([&](ui::TComponent* child) { listed.push_back(child); });
    return listed;
  };
  EXPECT_EQ(children(), (std::vector<ui::TComponent*>{a, b}));
  root->SetChildOrder(b, 0);
  EXPECT_EQ(children(), (std::vector<ui::TComponent*>{b, a}));
  root->SetChildOrder(c, 1);  // c is a's, not root's
  EXPECT_EQ(children(), (std::vector<ui::TComponent*>{b, a}));
  EXPECT_THROW(root->SetChildOrder(a, 2), ETBItemError);
  EXPECT_TRUE(c->HasParent());
  root->Clear();  // frees the subtree
  EXPECT_EQ(root->Count(), 0);
  EXPECT_EQ(root->ComponentCount(), 0);
}

TEST(TbItem, NotificationsRelayThroughGroupsAndLinksAndSurviveUnregistering) {
  Recorder first, second;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  auto* group = ui::Create<TTBGroupItem>(*root);
  root->Add(group);
  ui::Owned<TTBCustomItem> shared = ui::New<TTBCustomItem>();  // shown inline by `link`
  auto* link = ui::Create<TTBGroupItem>(*root);
  root->Add(link);
  link->SetLinkSubitems(shared.get());
  root->RegisterNotification(first.Proc());
  root->RegisterNotification(first.Proc());  // counted: one call, two unregisters
  root->RegisterNotification(second.Proc());

  TTBCustomItem* inGroup = Sub(*group, L"g");
  ASSERT_EQ(first.log.size(), 3u);  // begin update, inserted, end update
  EXPECT_EQ(first.log[1], (Recorder::Entry{group, true, A::tbicInserted, 0, inGroup}));
  inGroup->SetCaption(L"h");  // the group raises it about its own sub-item
  EXPECT_EQ(first.log.back(),
            (Recorder::Entry{group, true, A::tbicInvalidateAndResize, -1, inGroup}));
  TTBCustomItem* inShared = Sub(*shared, L"s");
  EXPECT_EQ(first.log[first.log.size() - 2],
            (Recorder::Entry{link, true, A::tbicInserted, 0, inShared}));

  // A handler that unregisters itself does not make the next one miss the call.
  first.onCall = [&] {
    root->UnregisterNotification(first.Proc());
    root->UnregisterNotification(first.Proc());
  };
  const std::size_t before = second.log.size();
  root->Notify(A::tbicInvalidate, -1, nullptr);
  EXPECT_EQ(second.log.size(), before + 1);
  // The last handler leaving during the walk ends it safely.
  second.onCall = [&] { root->UnregisterNotification(second.Proc()); };
  root->Notify(A::tbicInvalidate, -1, nullptr);
  root->Notify(A::tbicInvalidate, -1, nullptr);
  EXPECT_EQ(second.log.size(), before + 2);
}

TEST(TbItem, OptionsInheritAndChangesReportResize) {
  Recorder recorder;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* parent = Sub(*root);
  TTBCustomItem* child = Sub(*parent);
  parent->RegisterNotification(recorder.Proc());
  parent->SetOptions(tboDefault | tboShowHint | tboToolbarSize);  // size needs toolbar style
  EXPECT_EQ(parent->Options(), tboDefault | tboShowHint);
  EXPECT_EQ(child->EffectiveOptions(), tboShowHint);  // default is never inherited
  child->SetMaskOptions(tboShowHint);
  EXPECT_EQ(child->EffectiveOptions(), 0);
  child->SetInheritOptions(false);
  child->SetMaskOptions(0);
  EXPECT_EQ(child->EffectiveOptions(), 0);

  const struct {
    int from, to;
    A expected;
  } kImages[] = {{3, 5, A::tbicInvalidate},
                 {5, -1, A::tbicInvalidateAndResize},
                 {-1, -7, A::tbicInvalidate},  // any negative index is "no image"
                 {-7, 0, A::tbicInvalidateAndResize}};
  for (const auto& c : kImages) {
    child->SetImageIndex(c.from);
    recorder.log.clear();
    child->SetImageIndex(c.to);
    ASSERT_EQ(recorder.log.size(), 1u);
    EXPECT_EQ(recorder.log[0].action, c.expected) << c.from << " -> " << c.to;
  }
}

class Images : public ui::TCustomImageList {
 public:
  using ui::TCustomImageList::TCustomImageList;
  int Count() override { return 4; }
  void Resize(int width, int height) {
    StoreSize(width, height);
    Change();
  }
};

TEST(TbItem, ImageListsResizeTheItemOnlyWhenTheirSizeChanges) {
  Recorder recorder;
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* item = Sub(*root);
  root->RegisterNotification(recorder.Proc());
  ui::Owned<Images> a = ui::New<Images>(), b = ui::New<Images>();
  const auto last = [&] { return recorder.log.back().action; };
  item->SetImages(a.get());
  EXPECT_EQ(last(), A::tbicInvalidateAndResize);  // no list before
  item->SetImages(b.get());
  EXPECT_EQ(last(), A::tbicInvalidate);  // same size
  b->Resize(16, 16);
  EXPECT_EQ(last(), A::tbicInvalidate);
  b->Resize(24, 24);
  EXPECT_EQ(last(), A::tbicInvalidateAndResize);
  root->SetSubMenuImages(a.get());
  EXPECT_EQ(last(), A::tbicSubMenuImagesChanged);
  b.reset();
  EXPECT_EQ(item->Images(), nullptr);
  EXPECT_EQ(last(), A::tbicInvalidateAndResize);
  a.reset();
  EXPECT_EQ(root->SubMenuImages(), nullptr);
}

TEST(TbItem, RadioGroupsAutoCheckAndTheActionRule) {
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* r[3] = {Sub(*root), Sub(*root), Sub(*root)};
  for (TTBCustomItem* item : r) item->SetGroupIndex(1);
  r[0]->SetChecked(true);
  r[1]->SetChecked(true);
  EXPECT_FALSE(r[0]->Checked());
  r[2]->SetGroupIndex(0);
  r[2]->SetChecked(true);
  EXPECT_TRUE(r[1]->Checked());
  // Group 0 is no group: checking a radio item there, or moving a checked one into it,
  // leaves the other group-0 items checked.
  TTBCustomItem* plain = Sub(*root);
  plain->SetChecked(true);
  r[2]->SetRadioItem(true);
  r[2]->SetChecked(false);
  r[2]->SetChecked(true);
  EXPECT_TRUE(plain->Checked());
  r[1]->SetGroupIndex(0);
  EXPECT_TRUE(plain->Checked());
  EXPECT_TRUE(r[2]->Checked());
  EXPECT_TRUE(r[1]->Checked());
  r[1]->SetGroupIndex(1);
  plain->SetChecked(false);
  r[0]->SetAutoCheck(true);
  r[0]->Click();
  EXPECT_TRUE(r[0]->Checked());
  EXPECT_FALSE(r[1]->Checked());

  // OnClick runs instead of the action only when it is not the action's own handler.
  ui::Owned<ui::TAction> action = ui::New<ui::TAction>();
  std::vector<std::wstring> ran;
  action->OnExecute = [&](ui::TComponent*) { ran.push_back(L"action"); };
  action->SetCaption(L"&Go");
  action->SetImageIndex(2);
  TTBCustomItem* item = Sub(*root);
  item->SetAction(action.get());
  EXPECT_EQ(item->Caption(), L"&Go");
  EXPECT_EQ(item->ImageIndex(), 2);
  EXPECT_TRUE(item->ActionLink()->IsCaptionLinked());
  item->SetCaption(L"Other");
  EXPECT_FALSE(item->ActionLink()->IsCaptionLinked());
  action->SetCaption(L"&Went");  // a change of the action is copied whatever the item holds
  EXPECT_EQ(item->Caption(), L"&Went");
  item->Click();
  item->SetOnClick([&](ui::TComponent*) { ran.push_back(L"own"); });
  item->Click();
  action->SetEnabled(false);  // copied to the item: a disabled item does nothing
  item->Click();
  EXPECT_EQ(ran, (std::vector<std::wstring>{L"action", L"own"}));
  action.reset();
  EXPECT_EQ(item->Action(), nullptr);
}

TEST(TbItem, ShortCutTextAndSearch) {
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* text = Sub(*root, L"Open...\tCtrl+Q");
  text->SetShortCut(ui::scCtrl | 'O');
  EXPECT_EQ(text->GetShortCutText(), L"Ctrl+Q");
  text->SetCaption(L"Open\t");
  EXPECT_EQ(text->GetShortCutText(), L"Ctrl+O");
  text->SetShortCut(0x405B);
  EXPECT_EQ(text->GetShortCutText(), L"Ctrl+[");

  // The first match wins even when hidden and disabled (the main menu relies on it).
  TTBCustomItem* disk = Sub(*root, L"&Disk");
  TTBCustomItem* hidden = Sub(*disk, L"View");
  hidden->SetVisible(false);
  hidden->SetEnabled(false);
  hidden->SetShortCut(ui::scAlt | 'V');
  TTBCustomItem* viewAs = Sub(*disk, L"View &As");
  TTBCustomItem* autoItem = Sub(*viewAs, L"&Auto");
  autoItem->SetShortCut(ui::scAlt | 'V');
  std::vector<std::wstring> popups;
  int autoClicks = 0;
  for (TTBCustomItem* item : {root.get(), disk, viewAs}) {
    item->OnPopup = [&popups, item](TTBCustomItem*, bool) { popups.push_back(item->Caption()); };
  }
  autoItem->SetOnClick([&](ui::TComponent*) { ++autoClicks; });
  EXPECT_FALSE(root->IsShortCut(ui::scAlt | 'V'));
  EXPECT_EQ(autoClicks, 0);
  hidden->SetShortCut(0);
  popups.clear();
  EXPECT_TRUE(root->IsShortCut(ui::scAlt | 'V'));
  EXPECT_EQ(autoClicks, 1);
  EXPECT_EQ(popups, (std::vector<std::wstring>{L"", L"&Disk", L"View &As"}));
  EXPECT_FALSE(root->IsShortCut(ui::scCtrl | 'Z'));

  // Handlers that rebuild the menu so that the narrowed search always loses what the search
  // from the top finds again: the search still ends.
  const auto rebuild = [viewAs](bool withKey) {
    viewAs->Clear();
    Sub(*viewAs, L"x")->SetShortCut(withKey ? ui::scAlt | 'V' : 0);
  };
  root->OnPopup = [&](TTBCustomItem*, bool) { rebuild(true); };
  viewAs->OnPopup = [&](TTBCustomItem*, bool) { rebuild(false); };
  EXPECT_FALSE(root->IsShortCut(ui::scAlt | 'V'));
}

// A fake port: remembers what was posted and delivers on request.
struct FakePort : DeferredClickPort {
  static inline std::vector<std::pair<int, std::uintptr_t>> posted;
  void Post(int slot, std::uintptr_t flag) override { posted.emplace_back(slot, flag); }
};

TEST(TbItem, DeferredClicksRunLaterAndNeverReachFreedItems) {
  SetDeferredClickPortFactory(
      []() -> std::unique_ptr<DeferredClickPort> { return std::make_unique<FakePort>(); });
  FakePort::posted.clear();
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* a = Sub(*root);
  TTBCustomItem* b = Sub(*root);
  int clicks = 0;
  a->SetOnClick([&](ui::TComponent*) { ++clicks; });
  b->SetOnClick([&](ui::TComponent*) { ++clicks; });
  a->PostClick();
  b->PostClick();
  EXPECT_EQ(clicks, 0);
  ASSERT_EQ(FakePort::posted.size(), 2u);
  ui::Free(b);  // its slot becomes a tombstone, not reused while its message is under way
  TTBCustomItem* c = Sub(*root);
  c->SetOnClick([&](ui::TComponent*) { clicks += 10; });
  c->PostClick();
  ASSERT_EQ(FakePort::posted.size(), 3u);
  EXPECT_NE(FakePort::posted[2].first, FakePort::posted[1].first);
  DeliverDeferredClick(FakePort::posted[1].first, 0);
  EXPECT_EQ(clicks, 0);
  DeliverDeferredClick(FakePort::posted[2].first, 0);
  EXPECT_EQ(clicks, 10);
  clicks = 0;
  DeliverDeferredClick(FakePort::posted[0].first, 0);
  DeliverDeferredClick(FakePort::posted[0].first, 0);  // delivered once only
  DeliverDeferredClick(99, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(PendingDeferredSlots(), 0);

  // An item that frees itself inside its own click and goes on using what its handler holds.
  TTBCustomItem* self = Sub(*root);
  std::wstring said;
  self->SetOnClick([self, &said, words = std::wstring(L"gone")](ui::TComponent*) {
    ui::Free(self);
    said = words;
  });
  self->PostClick();
  DeliverDeferredClick(FakePort::posted.back().first, 0);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(said, L"gone");
  root.reset();
  EXPECT_EQ(PendingDeferredSlots(), 0);
  SetDeferredClickPortFactory(nullptr);
}

// A fake port that counts the ports alive.
struct CountedPort : FakePort {
  static inline int alive = 0;
  CountedPort() { ++alive; }
  ~CountedPort() override { --alive; }
};

TEST(TbItem, TheShutDownFreesTheThreadsQueueWhileItemsLive) {
  SetDeferredClickPortFactory(
      []() -> std::unique_ptr<DeferredClickPort> { return std::make_unique<CountedPort>(); });
  FakePort::posted.clear();
  ui::Owned<TTBCustomItem> root = ui::New<TTBCustomItem>();
  TTBCustomItem* item = Sub(*root);
  int clicks = 0;
  item->SetOnClick([&](ui::TComponent*) { ++clicks; });
  item->PostClick();
  ASSERT_EQ(CountedPort::alive, 1);
  Finalize();
  EXPECT_EQ(CountedPort::alive, 0);
  EXPECT_EQ(PendingDeferredSlots(), 0);
  DeliverDeferredClick(FakePort::posted[0].first, 0);  // a message that outlived the queue
  EXPECT_EQ(clicks, 0);
  item->PostClick();  // the next click makes a new queue
  EXPECT_EQ(CountedPort::alive, 1);
  DeliverDeferredClick(FakePort::posted.back().first, 0);
  EXPECT_EQ(clicks, 1);
  root.reset();
  EXPECT_EQ(CountedPort::alive, 0);
  SetDeferredClickPortFactory(nullptr);
}

TEST(TbItem, FinishingALoopPostsTheClickedItem) {
  ui::Owned<TTBCustomItem> item = ui::New<TTBCustomItem>();
  TTBDoneActionData data;
  data.doneAction = TTBDoneAction::tbdaClickItem;
  data.clickItem = item.get();
  EXPECT_EQ(ProcessDoneAction(data, true, nullptr), item.get());
  EXPECT_EQ(PendingDeferredSlots(), 0);
  EXPECT_EQ(ProcessDoneAction(data, false, nullptr), item.get());
  EXPECT_EQ(PendingDeferredSlots(), 1);
  data.doneAction = TTBDoneAction::tbdaCancel;
  EXPECT_EQ(ProcessDoneAction(data, false, nullptr), nullptr);
}

// A finished loop's help context reaches the application: as a popup when the active form
// shows the context-help button, else as the help for that context.
TEST(TbItem, FinishingALoopWithHelpAsksTheApplicationsHelp) {
  struct Platform final : TTBDoneActionPlatform {
    bool ActiveFormShowsHelpButton() override { return helpButton; }
    void HelpCommand(std::uint32_t command, std::uint32_t data) override {
      calls.push_back({command, data});
    }
    void HelpContext(std::uint32_t contextId) override { calls.push_back({0, contextId}); }
    bool helpButton = false;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> calls;
  };
  TTBDoneActionData data;
  data.doneAction = TTBDoneAction::tbdaHelpContext;
  data.contextId = 4711;
  for (const bool helpButton : {false, true}) {
    Platform platform;
    platform.helpButton = helpButton;
    EXPECT_EQ(ProcessDoneAction(data, false, &platform), nullptr);
    const std::pair<std::uint32_t, std::uint32_t> expected{helpButton ? kHelpContextPopup : 0,
                                                           4711};
    EXPECT_EQ(platform.calls, (std::vector{expected})) << helpButton;
  }
  EXPECT_EQ(ProcessDoneAction(data, false, nullptr), nullptr);
}

}  // namespace
}  // namespace tb
