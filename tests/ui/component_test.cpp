#include "ui/component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtl/exceptions.h"

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

}  // namespace
