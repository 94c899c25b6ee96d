// Components, ownership and free notification, named properties and actions.
#include "ui/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "stand_in_components.h"
#include "ui/actions.h"
#include "ui/custom_image_list.h"
#include "ui/properties.h"

namespace {

using Journal = std::vector<std::wstring>;
using ui::test::TColorName;

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

TEST_F(ActionsFixture, GroupedActionsCheckLikeRadioItems) {
  ui::TAction* empty = Make(L"acEmpty", 0);
  ui::TAction* dos1 = Make(L"acDos1", 0);
  ui::TAction* other = Make(L"acOther", 0);
  empty->SetGroupIndex(1);
  dos1->SetGroupIndex(1);
  empty->SetChecked(true);
  other->SetChecked(true);
  dos1->SetChecked(true);
  EXPECT_FALSE(empty->Checked());
  EXPECT_TRUE(dos1->Checked());
  EXPECT_TRUE(other->Checked());
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

}  // namespace
