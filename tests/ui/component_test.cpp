// Components, ownership and free notification, named properties, actions, list rows and the
// aligned layout.
#include "ui/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "stand_in_components.h"
#include "ui/actions.h"
#include "ui/align_layout.h"
#include "ui/custom_image_list.h"
#include "ui/list_items.h"
#include "ui/properties.h"
#include "ui/text.h"

namespace {

using Journal = std::vector<std::wstring>;
using ui::test::TColorName;
using Log = std::vector<std::wstring>;
using ui::TAlign;
using ui::TRect;

// Notes Loaded, removals it is told of and its destruction in a shared journal.
class TProbe : public ui::TComponent {
 public:
  TProbe(ui::TComponent* owner, std::wstring name, Journal& journal)
      : TComponent(owner), journal_(journal) {
    SetName(name);
  }
  ~TProbe() override { journal_.push_back(L"~" + Name()); }

  void Loaded() override {
    TComponent::Loaded();
    journal_.push_back(L"loaded " + Name());
  }
  void Notification(ui::TComponent* component, ui::TOperation operation) override {
    if (component != this && operation == ui::TOperation::opRemove)
      journal_.push_back(Name() + L" sees " + component->Name() + L" go");
    if (component == link) link = nullptr;
    TComponent::Notification(component, operation);
  }

  ui::TComponent* link = nullptr;

 private:
  Journal& journal_;
};

TEST(UiComponent, FreeingNotifiesTheOwnerTreeAndOwnersFreeLastFirst) {
  Journal journal;
  {
    auto root = ui::New<TProbe>(L"Root", journal);
    auto* a = ui::Create<TProbe>(*root, L"A", journal);
    ui::Create<TProbe>(*root, L"B", journal);
    ui::Create<TProbe>(*root, L"C", journal);
    EXPECT_EQ(root->FindComponent(L"b")->Owner(), root.get());
    ui::Free(a);
    EXPECT_EQ(root->ComponentCount(), 2);
  }
  EXPECT_EQ(journal, (Journal{L"Root sees A go", L"C sees A go", L"B sees A go", L"~A", L"~Root",
                              L"~C", L"~B"}));
}

TEST(UiComponent, FreeNotificationClearsLinksAcrossOwners) {
  Journal journal;
  auto form = ui::New<TProbe>(L"Form", journal);
  auto other = ui::New<TProbe>(L"Other", journal);
  auto* target = ui::Create<TProbe>(*other, L"Target", journal);
  auto* holder = ui::Create<TProbe>(*form, L"Holder", journal);
  holder->link = target;
  target->FreeNotification(holder);
  other.reset();
  EXPECT_EQ(holder->link, nullptr);
  // The subscriber going first leaves nothing behind in the partner.
  auto third = ui::New<TProbe>(L"Third", journal);
  ui::Create<TProbe>(*third, L"Watched", journal)->FreeNotification(holder);
  ui::Free(holder);
  journal.clear();
  third.reset();
  EXPECT_EQ(journal, (Journal{L"~Third", L"~Watched"}));
}

TEST(UiComponent, NamesAreUniqueIdentifiersAmongSiblings) {
  Journal journal;
  auto root = ui::New<TProbe>(L"Root", journal);
  auto* a = ui::Create<TProbe>(*root, L"A", journal);
  EXPECT_THROW(ui::Create<TProbe>(*root, L"a", journal), rtl::Exception);
  for (const wchar_t* invalid : {L"a.b", L"1a", L" a", L"a-b"})
    EXPECT_THROW(a->SetName(invalid), rtl::Exception) << invalid;
  EXPECT_EQ(root->ComponentCount(), 1);  // the failed one left its owner again
  a->SetName(L"Renamed");
  EXPECT_EQ(root->FindComponent(L"RENAMED"), a);
  EXPECT_EQ(root->FindComponent(L"A"), nullptr);
}

TEST(UiComponent, LoadingAndMovingOwnership) {
  Journal journal;
  auto root = ui::New<TProbe>(L"Root", journal);
  auto* a = ui::Create<TProbe>(*root, L"A", journal);
  ui::Create<TProbe>(*a, L"A1", journal);
  ui::Create<TProbe>(*root, L"B", journal);
  EXPECT_TRUE(root->Loading());
  root->FinishLoading();
  EXPECT_FALSE(root->Loading());
  EXPECT_EQ(journal, (Journal{L"loaded A1", L"loaded A", L"loaded B", L"loaded Root"}));

  auto second = ui::New<TProbe>(L"Second", journal);
  ui::Owned<ui::TComponent> taken = root->RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  second->InsertComponent(std::move(taken));
  EXPECT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(second->FindComponent(L"a"), a);
}

// Notes the phases of its life in which it is whole: after construction, before destruction.
class TPhased : public TProbe {
 public:
  TPhased(ui::TComponent* owner, Journal& journal, bool fail)
      : TProbe(owner, L"Phased", journal), phases_(journal), fail_(fail) {}
  void AfterConstruction() override {
    TProbe::AfterConstruction();
    phases_.push_back(L"after construction");
    if (fail_) throw rtl::Exception("cannot finish");
  }
  void BeforeDestruction() noexcept override {
    phases_.push_back(Destroying() ? L"again" : L"before destruction");
    TProbe::BeforeDestruction();
  }

 private:
  Journal& phases_;
  bool fail_;
};

TEST(UiComponent, TwoPhaseLifeAndRunTimeComponentsAreNotLoading) {
  Journal journal;
  auto root = ui::New<TProbe>(L"Root", journal);
  auto* phased = ui::Create<TPhased>(*root, journal, false);
  EXPECT_TRUE(phased->Loading());  // made while its owner is being built
  root->FinishLoading();
  auto* late = ui::Create<TProbe>(*root, L"Late", journal);
  EXPECT_FALSE(late->Loading());  // made at run time
  journal.clear();
  ui::Free(phased);
  // A failing AfterConstruction frees the component again.
  EXPECT_THROW(ui::Create<TPhased>(*late, journal, true), rtl::Exception);
  EXPECT_EQ(late->ComponentCount(), 0);
  EXPECT_EQ(journal, (Journal{L"Root sees Phased go", L"Late sees Phased go", L"before destruction",
                              L"~Phased", L"after construction", L"Late sees Phased go",
                              L"before destruction", L"~Phased"}));
}

TEST(UiComponent, ImageListChangeLinks) {
  class TList : public ui::TCustomImageList {
   public:
    using TCustomImageList::TCustomImageList;
    int Count() override { return 0; }
    void Grow() {
      StoreSize(Width() + 1, Height());
      Change();
    }
  };
  auto list = ui::New<TList>();
  int changes = 0;
  {
    ui::TChangeLink link;
    link.OnChange = [&](ui::TCustomImageList& sender) { changes += sender.Width(); };
    list->RegisterChanges(link);
    list->Grow();
    EXPECT_EQ(changes, 17);
  }  // the link leaves the list as it goes
  list->Grow();
  EXPECT_EQ(changes, 17);
  ui::TChangeLink survivor;
  list->RegisterChanges(survivor);
  list.reset();
  EXPECT_EQ(survivor.Sender(), nullptr);
}

class UiProperties : public ::testing::Test {
 protected:
  ui::TComponent& Owner(std::wstring_view prop) {
    return prop == L"Hint" ? static_cast<ui::TComponent&>(*f.grid) : *f.styled;
  }
  std::wstring Text(std::wstring_view name) {
    return ui::GetPropText(Owner(name), *ui::FindProp(Owner(name), name));
  }
  bool Set(std::wstring_view name, std::wstring_view text) {
    return ui::SetPropText(Owner(name), *ui::FindProp(Owner(name), name), text);
  }

  ui::test::MainFormFixture f;
};

TEST_F(UiProperties, LookupIsCaseInsensitiveAndTheLastDefinitionWins) {
  std::vector<std::wstring_view> names;
  for (const auto* prop : ui::PublishedProps(*f.styled)) names.push_back(prop->name);
  EXPECT_EQ(names, (std::vector<std::wstring_view>{L"Big", L"Caption", L"Color", L"Colors",
                                                   L"Count", L"Mark", L"Name", L"Price", L"Ratio",
                                                   L"Scale", L"TAG"}));
  EXPECT_EQ(ui::FindProp(*f.styled, L"ratio")->kind, ui::TypeKind::Float);
  EXPECT_EQ(ui::FindProp(*f.styled, L"DockPos"), nullptr);
  ASSERT_TRUE(Set(L"tag", L"21"));
  EXPECT_EQ(f.styled->level, 42);
  EXPECT_EQ(f.styled->Tag(), 0);
}

TEST_F(UiProperties, ValuesRoundTripAsText) {
  struct Case {
    std::wstring_view prop, text, expected;
  };
  const Case cases[] = {
      {L"TAG", L" 12 ", L"24"},
      {L"Big", L"-9000000000", L"-9000000000"},
      {L"Mark", L"x", L"x"},
      {L"Mark", L"#65", L"A"},
      {L"Color", L"CLBLUE", L"clBlue"},
      {L"Colors", L"[ clBlue , clRed ]", L"[clRed,clBlue]"},
      {L"Colors", L"[]", L"[]"},
      {L"Colors", L"[clGreen,nonsense]", L"[clGreen]"},
      {L"Caption", L" keeps blanks ", L" keeps blanks "},
      {L"Ratio", L" -1.25e3 ", L"-1250"},
      {L"Ratio", L"123456789012345678", L"1.23456789012346E17"},
      {L"Ratio", L"1e-5", L"0.00001"},
      {L"Ratio", L".5E-6", L"5E-7"},
      {L"Ratio", L"-inf", L"-INF"},
      {L"Scale", L"3.14159265", L"3.141593"},
      {L"Price", L"922337203685477.5807", L"922337203685477.5807"},
      {L"Count", L"2.5", L"2"},
      {L"Hint", L" text ", L" text "},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Set(c.prop, c.text)) << std::wstring(c.prop) << L"=" << std::wstring(c.text);
    EXPECT_EQ(Text(c.prop), c.expected) << std::wstring(c.prop);
  }
  EXPECT_EQ(f.grid->hint, ui::TVariant(L" text "));
}

TEST_F(UiProperties, UnparsableTextLeavesTheValueUnchanged) {
  f.styled->color = TColorName::clBlue;
  const std::pair<std::wstring_view, std::wstring_view> cases[] = {
      {L"TAG", L"abc"},    {L"TAG", L""},          {L"Color", L"clMauve"}, {L"Mark", L"xy"},
      {L"Ratio", L"1,5"},  {L"Ratio", L"1e99999"}, {L"Ratio", L"e5"},      {L"Ratio", L"1.5x"},
      {L"Scale", L"1e39"}, {L"Price", L"1e16"},    {L"Count", L"nan"},
  };
  for (const auto& [prop, text] : cases)
    EXPECT_FALSE(Set(prop, text)) << std::wstring(prop) << L"=" << std::wstring(text);
  EXPECT_EQ(f.styled->level, 0);
  EXPECT_EQ(f.styled->ratio, 0.5);
  EXPECT_EQ(f.styled->scale, 1.0f);
  EXPECT_EQ(f.styled->price, 0);
  EXPECT_EQ(f.styled->color, TColorName::clBlue);
}

class TRecordingClient : public ui::TActionClient {
 public:
  void ActionChanged(ui::TAction& action) override { seen.push_back(action.Caption()); }
  std::vector<std::wstring> seen;
};

struct ActionsFixture : ::testing::Test {
  ui::TAction* Make(const std::wstring& name, ui::TShortCut shortcut) {
    auto* action = ui::Create<ui::TAction>(*form);
    action->SetName(name);
    action->SetShortCut(shortcut);
    action->SetActionList(list);
    action->OnExecute = [this](ui::TComponent* sender) { executed.push_back(sender->Name()); };
    return action;
  }
  ui::Owned<ui::TComponent> form = ui::New<ui::TComponent>();
  ui::TActionList* list = ui::Create<ui::TActionList>(*form);
  std::vector<std::wstring> executed;
};

TEST_F(ActionsFixture, ShortcutsExecuteOnlyEnabledActions) {
  Make(L"acSaveDiskImage", ui::TextToShortCut(L"Ctrl+S"));
  ui::TAction* remove = Make(L"acDeleteFiles", ui::TextToShortCut(L"F8"));
  remove->OnUpdate = [](ui::TComponent* sender) {
    static_cast<ui::TAction*>(sender)->SetEnabled(false);
  };
  EXPECT_TRUE(list->IsShortCut(ui::TextToShortCut(L"Ctrl+S")));
  EXPECT_FALSE(list->IsShortCut(ui::TextToShortCut(L"F8")));  // disabled by its update
  EXPECT_FALSE(list->IsShortCut(ui::TextToShortCut(L"Ctrl+O")));
  EXPECT_FALSE(list->IsShortCut(ui::scNone));
  EXPECT_EQ(executed, (std::vector<std::wstring>{L"acSaveDiskImage"}));
}

// Checking an action unchecks the others of its group; actions of group 0 belong to no group.
TEST_F(ActionsFixture, GroupedActionsCheckLikeRadioItems) {
  const struct {
    int first, second;  // group indexes
    bool firstStaysChecked;
  } cases[] = {{1, 1, false}, {0, 0, true}, {1, 2, true}, {0, 1, true}, {1, 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << " " << c.second);
    ui::TAction* first = Make(L"", 0);
    ui::TAction* second = Make(L"", 0);
    first->SetGroupIndex(c.first);
    second->SetGroupIndex(c.second);
    first->SetChecked(true);
    second->SetChecked(true);
    EXPECT_EQ(first->Checked(), c.firstStaysChecked);
    EXPECT_TRUE(second->Checked());
    ui::Free(first);
    ui::Free(second);
  }
  ui::TAction* dos1 = Make(L"acDos1", 0);
  dos1->SetGroupIndex(1);
  dos1->SetChecked(true);
  dos1->SetAutoCheck(true);
  EXPECT_TRUE(dos1->Execute());
  EXPECT_FALSE(dos1->Checked());
}

TEST_F(ActionsFixture, ClientsHearEveryChangeAndListsForgetFreedActions) {
  ui::TAction* action = Make(L"acOpen", 0);
  TRecordingClient client;
  action->AddClient(&client);
  action->SetCaption(L"&Open Disk Image...");
  action->SetEnabled(false);
  action->SetEnabled(false);  // no change, no news
  action->RemoveClient(&client);
  action->SetCaption(L"ignored");
  EXPECT_EQ(client.seen,
            (std::vector<std::wstring>{L"&Open Disk Image...", L"&Open Disk Image..."}));
  ui::Free(action);
  EXPECT_EQ(list->ActionCount(), 0);
}

// A menu item's link: it follows the caption only while its own caption is the action's.
class TCaptionLink : public ui::TActionLink {
 public:
  TCaptionLink(ui::TActionLinkClient& client, const std::wstring& caption)
      : TActionLink(client), caption_(caption) {}
  bool IsCaptionLinked() const override {
    return TActionLink::IsCaptionLinked() && Action()->Caption() == caption_;
  }

 private:
  const std::wstring& caption_;
};

class TLinkedItem : public ui::TActionLinkClient {
 public:
  void ActionChange(ui::TAction& action, bool checkDefaults) override {
    log.push_back((checkDefaults ? L"defaults " : L"change ") + action.Caption());
    if (link.IsCaptionLinked() || checkDefaults) caption = action.Caption();
  }
  void ActionFreed() override { log.push_back(L"freed"); }
  std::wstring caption;
  TCaptionLink link{*this, caption};
  std::vector<std::wstring> log;
};

TEST_F(ActionsFixture, LinksFollowTheActionUntilItGoes) {
  ui::TAction* open = Make(L"acOpen", ui::TextToShortCut(L"Ctrl+O"));
  open->SetCaption(L"&Open");
  TLinkedItem item;
  item.link.SetAction(open);
  item.ActionChange(*open, true);
  open->SetCaption(L"&Open...");
  EXPECT_EQ(item.caption, L"&Open");  // linked only while the captions agree
  item.caption = L"&Open...";
  open->SetImageIndex(3);
  EXPECT_TRUE(item.link.Execute());
  EXPECT_EQ(executed, (std::vector<std::wstring>{L"acOpen"}));
  ui::Free(open);
  EXPECT_EQ(item.link.Action(), nullptr);
  EXPECT_FALSE(item.link.Execute());
  EXPECT_EQ(item.log, (std::vector<std::wstring>{L"defaults &Open", L"change &Open...",
                                                 L"change &Open...", L"freed"}));
}

// Records what a control would be told.
class TRecordingView : public ui::TListItemsView {
 public:
  void ItemInserted(int index) override { log.push_back(L"insert " + std::to_wstring(index)); }
  void ItemDeleted(int index) override { log.push_back(L"delete " + std::to_wstring(index)); }
  void ItemsCleared() override { log.push_back(L"clear"); }
  void ItemChanged(int index) override { log.push_back(L"change " + std::to_wstring(index)); }
  void ItemStateChanged(int index) override { log.push_back(L"state " + std::to_wstring(index)); }
  void ItemsReordered() override { log.push_back(L"reorder"); }
  void UpdateState(bool updating) override { log.push_back(updating ? L"begin" : L"end"); }
  void EditItem(int index) override { log.push_back(L"edit " + std::to_wstring(index)); }
  void MakeItemVisible(int index) override { log.push_back(L"show " + std::to_wstring(index)); }
  std::vector<std::wstring> log;
};

std::vector<std::wstring> Captions(const ui::TListItems& items) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < items.Count(); ++i) captions.push_back(items[i]->Caption());
  return captions;
}

TEST(UiListItems, TheViewFollowsEveryChange) {
  ui::TListItems items;
  TRecordingView view;
  items.SetView(&view);
  items.BeginUpdate();
  ui::TListItem* a = items.Add();
  ui::TListItem* b = items.Insert(0);
  items.EndUpdate();
  a->SetCaption(L"A");
  a->SubItems().Add(L"Ext");
  b->SetSelected(true);
  b->SetFocused(true);
  a->SetFocused(true);  // moves the focus
  a->EditCaption();
  items.Delete(0);
  items.Clear();
  EXPECT_EQ(view.log,
            (Log{L"begin", L"insert 0", L"insert 0", L"end", L"change 1", L"change 1", L"state 0",
                 L"state 0", L"state 0", L"state 1", L"edit 1", L"delete 0", L"clear"}));
}

TEST(UiListItems, SortIsStableAndKeepsSelection) {
  ui::TListItems items;
  const std::vector<std::pair<std::wstring, int>> rows = {
      {L"b", 2}, {L"A", 1}, {L"c", 2}, {L"a", 3}};
  for (const auto& [caption, size] : rows) {
    ui::TListItem* item = items.Add();
    item->SetCaption(caption);
    item->SubItems().Add(std::to_wstring(size));
  }
  items[2]->SetSelected(true);
  items.Sort([](const ui::TListItem& x, const ui::TListItem& y) {
    return std::stoi(x.SubItems().Get(0)) - std::stoi(y.SubItems().Get(0));
  });
  EXPECT_EQ(Captions(items), (std::vector<std::wstring>{L"A", L"b", L"c", L"a"}));
  EXPECT_EQ(items.FirstSelected()->Caption(), L"c");
  items.Sort([](const ui::TListItem& x, const ui::TListItem& y) {
    return ui::CompareText(x.Caption(), y.Caption());
  });
  EXPECT_EQ(Captions(items), (std::vector<std::wstring>{L"A", L"a", L"b", L"c"}));
}

TEST(UiListItems, SelectionQueriesAndIdsOfFreedRows) {
  ui::TListItems items;
  for (int i = 0; i < 4; ++i) items.Add()->SetCaption(std::to_wstring(i));
  items[1]->SetSelected(true);
  items[3]->SetSelected(true);
  EXPECT_EQ(items.SelCount(), 2);
  EXPECT_EQ(items.NextSelected(items.FirstSelected()), items[3]);
  EXPECT_EQ(items.NextSelected(items[3]), nullptr);
  const std::uint64_t id = items[1]->Id();
  EXPECT_EQ(items.FindById(id), items[1]);
  items.Clear();
  items.Add();
  EXPECT_EQ(items.FindById(id), nullptr);  // ids are never reused
  items.SelectAll();
  EXPECT_EQ(items.SelCount(), 1);
  items.ClearSelection();
  EXPECT_EQ(items.FirstSelected(), nullptr);
}

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
  const std::vector<ui::AlignItem> items = {{TAlign::alTop, {0, 0, 10, 80}},
                                            {TAlign::alBottom, {0, 0, 10, 80}},
                                            {TAlign::alLeft, {0, 0, 30, 10}},
                                            {TAlign::alClient, {}}};
  const auto rects = ui::AlignRects({0, 0, 50, 100}, items);
  EXPECT_EQ(rects[0], (TRect{0, 0, 50, 80}));
  EXPECT_EQ(rects[1], (TRect{0, 20, 50, 100}));  // its own height, over the top bar
  EXPECT_EQ(rects[2], (TRect{0, 80, 30, 80}));
  EXPECT_EQ(rects[3], (TRect{30, 80, 50, 80}));
}

TEST(UiAlignLayout, BarsKeepTheirExtentsThroughAParentTooSmallForThem) {
  std::vector<ui::AlignItem> items = {{TAlign::alTop, {0, 0, 888, 26}},
                                      {TAlign::alBottom, {0, 602, 888, 621}},
                                      {TAlign::alRight, {708, 26, 888, 602}},
                                      {TAlign::alClient, {0, 26, 708, 602}}};
  for (const TRect client : {TRect{0, 0, 104, 10}, TRect{0, 0, 888, 621}}) {
    const std::vector<TRect> rects = ui::AlignRects(client, items);
    for (std::size_t i = 0; i < items.size(); ++i) items[i].bounds = rects[i];
  }
  EXPECT_EQ(items[0].bounds, (TRect{0, 0, 888, 26}));
  EXPECT_EQ(items[1].bounds, (TRect{0, 602, 888, 621}));
  EXPECT_EQ(items[2].bounds, (TRect{708, 26, 888, 602}));
  EXPECT_EQ(items[3].bounds, (TRect{0, 26, 708, 602}));
}

TEST(UiAlignLayout, AnchoredControlsKeepTheirDistancesToTheAnchoredEdges) {
  using S = ui::AnchorSides;
  const TRect origin{20, 30, 60, 50};  // in a parent of 200 x 100
  struct Case {
    std::uint8_t anchors;
    int width, height;
    TRect expected;
  };
  const Case cases[] = {
      {S::left | S::top, 300, 150, {20, 30, 60, 50}},
      {S::right | S::bottom, 300, 150, {120, 80, 160, 100}},
      {S::left | S::right | S::top | S::bottom, 300, 150, {20, 30, 160, 100}},
      {S::left | S::right | S::top, 100, 100, {20, 30, 20, 50}},  // never below zero wide
      {0, 400, 50, {60, 10, 100, 30}},  // neither side: the centre keeps its proportion
      {S::top, 200, 100, {20, 30, 60, 50}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::AnchorRect(origin, c.anchors, 200, 100, c.width, c.height), c.expected)
        << int{c.anchors} << " " << c.width;
  }
}

}  // namespace
