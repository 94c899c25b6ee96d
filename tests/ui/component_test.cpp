#include "ui/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/exceptions.h"

namespace {

// Records every notification and the order of Loaded and destruction into a shared journal.
class TProbe : public ui::TComponent {
 public:
  TProbe(ui::TComponent* owner, std::wstring name, std::vector<std::wstring>& journal)
      : TComponent(owner), journal_(journal) {
    SetName(name);
  }
  ~TProbe() override { journal_.push_back(L"~" + Name()); }

  void Loaded() override {
    TComponent::Loaded();
    journal_.push_back(L"loaded " + Name());
  }
  void Notification(ui::TComponent* component, ui::TOperation operation) override {
    if (component != this && operation == ui::TOperation::opRemove) {
      journal_.push_back(Name() + L" sees " + component->Name() + L" go");
    }
    if (component == link) link = nullptr;
    TComponent::Notification(component, operation);
  }

  ui::TComponent* link = nullptr;

 private:
  std::vector<std::wstring>& journal_;
};

using Journal = std::vector<std::wstring>;

TEST(UiComponent, OwnerFreesOwnedComponentsLastFirst) {
  Journal journal;
  {
    auto root = ui::New<TProbe>(L"Root", journal);
    ui::Create<TProbe>(*root, L"A", journal);
    ui::Create<TProbe>(*root, L"B", journal);
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent(L"b")->Name(), L"B");
    EXPECT_EQ(root->FindComponent(L"C"), nullptr);
    EXPECT_EQ(root->Components(0)->Owner(), root.get());
  }
  EXPECT_EQ(journal, (Journal{L"~Root", L"~B", L"~A"}));
}

TEST(UiComponent, FreeingOneNotifiesTheOwnerTree) {
  Journal journal;
  auto root = ui::New<TProbe>(L"Root", journal);
  auto* a = ui::Create<TProbe>(*root, L"A", journal);
  ui::Create<TProbe>(*root, L"B", journal);
  ui::Free(a);
  EXPECT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(journal, (Journal{L"Root sees A go", L"B sees A go", L"~A"}));
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
  auto* watched = ui::Create<TProbe>(*third, L"Watched", journal);
  watched->FreeNotification(holder);
  ui::Free(holder);
  journal.clear();
  third.reset();
  EXPECT_EQ(journal, (Journal{L"~Third", L"~Watched"}));
}

TEST(UiComponent, NamesAreUniqueAmongSiblings) {
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

TEST(UiComponent, FinishLoadingRunsLoadedDepthFirstRootLast) {
  Journal journal;
  auto root = ui::New<TProbe>(L"Root", journal);
  auto* a = ui::Create<TProbe>(*root, L"A", journal);
  ui::Create<TProbe>(*a, L"A1", journal);
  ui::Create<TProbe>(*root, L"B", journal);
  EXPECT_TRUE(root->Loading());
  root->FinishLoading();
  EXPECT_FALSE(root->Loading());
  EXPECT_EQ(journal, (Journal{L"loaded A1", L"loaded A", L"loaded B", L"loaded Root"}));
}

TEST(UiComponent, RemoveAndInsertMoveOwnership) {
  Journal journal;
  auto first = ui::New<TProbe>(L"First", journal);
  auto second = ui::New<TProbe>(L"Second", journal);
  auto* moving = ui::Create<TProbe>(*first, L"Moving", journal);
  ui::Owned<ui::TComponent> taken = first->RemoveComponent(moving);
  EXPECT_EQ(moving->Owner(), nullptr);
  second->InsertComponent(std::move(taken));
  EXPECT_EQ(moving->Owner(), second.get());
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(second->FindComponent(L"moving"), moving);
}

}  // namespace
