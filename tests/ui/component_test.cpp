#include "ui/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/exceptions.h"
#include "ui/custom_image_list.h"

namespace {

using Journal = std::vector<std::wstring>;

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

}  // namespace
