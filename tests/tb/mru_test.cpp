#include "tb/mru.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ui/ini_file.h"
#include "ui/properties.h"
#include "view_fakes.h"

namespace tb {
namespace {

using Names = std::vector<std::wstring>;

class MruList : public ::testing::Test {
 protected:
  MruList() {
    list->ExpandFileName = [](const std::wstring& name) {
      return name.starts_with(L"/") ? name : L"/cwd/" + name;
    };
  }
  Names Items() const { return list->Items()->ToVector(); }
  Names Captions() const {
    Names captions;
    for (int i = 0; i < list->Container()->Count(); ++i)
      captions.push_back(list->Container()->Items(i)->Caption());
    return captions;
  }
  ui::Owned<TTBMRUList> list = ui::New<TTBMRUList>();
};

TEST_F(MruList, AddKeepsTheNewestUpToTheMaximum) {
  for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) list->Add(name);
  EXPECT_EQ(Items(), (Names{L"/cwd/e", L"/cwd/d", L"/cwd/c", L"/cwd/b"}));
  list->Add(L"/CWD/C");
  EXPECT_EQ(Items(), (Names{L"/CWD/C", L"/cwd/e", L"/cwd/d", L"/cwd/b"}));
  EXPECT_EQ(Captions(), (Names{L"&1 C", L"&2 e", L"&3 d", L"&4 b"}));
  // Letter case as the platform folds it, beyond ASCII too.
  const testing::Latin1Lowering lowering;
  list->Add(L"/\u00C4rger");
  list->Add(L"/\u00E4RGER");
  EXPECT_EQ(Items(), (Names{L"/\u00E4RGER", L"/CWD/C", L"/cwd/e", L"/cwd/d"}));
  list->SetAddFullPath(false);
  list->Add(L"x");
  EXPECT_EQ(Items().front(), L"x");
}

TEST(MruListDefaults, AddExpandsANameAgainstTheCurrentDirectory) {
  ui::Owned<TTBMRUList> list = ui::New<TTBMRUList>();
  list->Add(L"sub/../a.dsk");
  EXPECT_EQ(list->Items()->Get(0), (std::filesystem::current_path() / "a.dsk").wstring());
  list->SetAddFullPath(false);
  list->Add(L"sub/../b.dsk");
  EXPECT_EQ(list->Items()->Get(0), L"sub/../b.dsk");
}

TEST_F(MruList, RemoveTakesTheNameAsGiven) {
  list->Add(L"a");
  list->Remove(L"a");
  EXPECT_EQ(Items(), Names{L"/cwd/a"});
  list->Remove(L"/CWD/A");
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(list->Container()->Count(), 0);
}

TEST_F(MruList, ItemsAssignedKeepTheFirstMaxItemsAndStoreAsAProperty) {
  list->SetMaxItems(20);
  Names thirty;
  for (int i = 0; i < 30; ++i) thirty.push_back(L"/f" + std::to_wstring(i));
  const ui::PropInfo* items = ui::FindProp(*list, L"Items");
  ASSERT_NE(items, nullptr);
  items->getObj(*list)->AsStrings()->Assign(thirty);
  EXPECT_EQ(Items(), Names(thirty.begin(), thirty.begin() + 20));
  EXPECT_EQ(list->Container()->Count(), 20);
  list->SetMaxItems(0);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(list->Container()->Count(), 0);
}

TEST_F(MruList, CaptionsCarryAcceleratorsAndLiteralAmpersands) {
  list->SetMaxItems(40);
  Names names;
  for (int i = 0; i < 36; ++i) names.push_back(L"/d/f" + std::to_wstring(i) + L"&x.dsk");
  list->Items()->Assign(names);
  const struct {
    int index;
    std::wstring caption;
  } kCases[] = {{0, L"&1 f0&&x.dsk"},
                {8, L"&9 f8&&x.dsk"},
                {9, L"&A f9&&x.dsk"},
                {34, L"&Z f34&&x.dsk"},
                {35, L"f35&&x.dsk"}};
  const Names captions = Captions();
  for (const auto& c : kCases) EXPECT_EQ(captions[static_cast<std::size_t>(c.index)], c.caption);
  list->SetHidePathExtension(false);
  EXPECT_EQ(list->Container()->Items(0)->Caption(), L"&1 /d/f0&&x.dsk");
}

// Each entry shows its full name as its hint, whatever its caption shows, and follows a move.
TEST_F(MruList, EntriesHintTheirFullNames) {
  list->Add(L"a&b.dsk");
  list->Add(L"/d/c.dsk");
  list->Add(L"/CWD/A&B.DSK");
  Names hints;
  for (int i = 0; i < list->Container()->Count(); ++i) {
    const TTBCustomItem& entry = *list->Container()->Items(i);
    hints.push_back(entry.Hint());
    EXPECT_TRUE(entry.EffectiveOptions() & tboShowHint);
  }
  EXPECT_EQ(hints, (Names{L"/CWD/A&B.DSK", L"/d/c.dsk"}));
  EXPECT_EQ(Captions(), (Names{L"&1 A&&B.DSK", L"&2 c.dsk"}));
}

TEST_F(MruList, ClickingAnEntryMovesItToTheTopBeforeReportingIt) {
  list->Items()->Assign({L"/a", L"/b", L"/c"});
  Names seen;
  list->OnClick = [&](TTBMRUList& sender, const std::wstring& name) {
    seen.push_back(name);
    EXPECT_EQ(sender.Items()->Get(0), name);
  };
  list->Container()->Items(2)->Click();
  EXPECT_EQ(seen, Names{L"/c"});
  EXPECT_EQ(Items(), (Names{L"/c", L"/a", L"/b"}));
  EXPECT_EQ(Captions(), (Names{L"&1 c", L"&2 a", L"&3 b"}));
}

// The program offers to remove a missing file from inside the entry's own click.
TEST_F(MruList, AnEntryRemovedByItsOwnClickIsFreedSafely) {
  list->Items()->Assign({L"/a", L"/b"});
  list->OnClick = [](TTBMRUList& sender, const std::wstring& name) { sender.Remove(name); };
  list->Container()->Items(1)->Click();
  EXPECT_EQ(Items(), Names{L"/a"});
  EXPECT_EQ(Captions(), Names{L"&1 a"});
}

TEST_F(MruList, ChangesAreAnnounced) {
  int changes = 0;
  list->FinishLoading();
  list->OnChange = [&](ui::TComponent*) { ++changes; };
  list->Add(L"/a");
  list->Add(L"/b");
  list->Remove(L"/a");
  EXPECT_EQ(changes, 3);
}

TEST_F(MruList, IniFunctionsUseThePrefixAndMaxItems) {
  ui::TIniFile ini(std::vector<std::wstring>{L"[R]", L"MRU1=/x", L"MRU2=", L"MRU3=/y", L"MRU5=/z"});
  list->LoadFromIni(ini, L"R");
  EXPECT_EQ(Items(), (Names{L"/x", L"/y"}));
  list->Items()->Assign({L"/p"});
  list->SaveToIni(ini, L"R");
  EXPECT_EQ(ini.Lines(), (Names{L"[R]", L"MRU1=/p", L"MRU5=/z"}));
}

TEST_F(MruList, AListItemShowsTheEntriesInline) {
  ui::Owned<TTBCustomItem> menu = ui::New<TTBCustomItem>();
  auto* inline_ = ui::Create<TTBMRUListItem>(*menu);
  menu->Add(inline_);
  inline_->SetMRUList(list.get());
  EXPECT_EQ(inline_->LinkSubitems(), list->Container());
  list.reset();
  EXPECT_EQ(inline_->MRUList(), nullptr);
  EXPECT_EQ(inline_->LinkSubitems(), nullptr);
}

}  // namespace
}  // namespace tb
