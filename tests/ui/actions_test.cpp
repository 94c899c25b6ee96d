#include "ui/actions.h"

#include <gtest/gtest.h>

namespace {

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
