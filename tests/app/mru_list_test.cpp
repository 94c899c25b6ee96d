#include "app/mru_list.h"

#include <gtest/gtest.h>

#include "ui/properties.h"

namespace app {
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
  ui::Owned<TMRUList> list = ui::New<TMRUList>();
};

TEST_F(MruList, AddKeepsTheNewestUpToTheMaximum) {
  for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) list->Add(name);
  EXPECT_EQ(Items(), (Names{L"/cwd/e", L"/cwd/d", L"/cwd/c", L"/cwd/b"}));
  list->Add(L"/CWD/C");
  EXPECT_EQ(Items(), (Names{L"/CWD/C", L"/cwd/e", L"/cwd/d", L"/cwd/b"}));
  list->SetAddFullPath(false);
  list->Add(L"x");
  EXPECT_EQ(Items().front(), L"x");
}

TEST_F(MruList, RemoveTakesTheNameAsGiven) {
  list->Add(L"a");
  list->Remove(L"a");
  EXPECT_EQ(Items(), Names{L"/cwd/a"});
  list->Remove(L"/CWD/A");
  EXPECT_TRUE(Items().empty());
}

TEST_F(MruList, ItemsAssignedKeepTheFirstMaxItemsAndStoreAsAProperty) {
  list->SetMaxItems(20);
  Names thirty;
  for (int i = 0; i < 30; ++i) thirty.push_back(L"/f" + std::to_wstring(i));
  const ui::PropInfo* items = ui::FindProp(*list, L"Items");
  ASSERT_NE(items, nullptr);
  items->getObj(*list)->AsStrings()->Assign(thirty);
  EXPECT_EQ(Items(), Names(thirty.begin(), thirty.begin() + 20));
  list->SetMaxItems(0);
  EXPECT_TRUE(Items().empty());
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
  for (const auto& c : kCases) EXPECT_EQ(list->ItemCaption(c.index), c.caption);
  list->SetHidePathExtension(false);
  EXPECT_EQ(list->ItemCaption(0), L"&1 /d/f0&&x.dsk");
}

TEST_F(MruList, ClickMovesTheEntryToTheTopBeforeReportingIt) {
  list->Items()->Assign({L"/a", L"/b", L"/c"});
  Names seen;
  list->OnClick = [&](TMRUList& sender, const std::wstring& name) {
    seen.push_back(name);
    EXPECT_EQ(sender.Items()->Get(0), name);
  };
  list->Click(2);
  EXPECT_EQ(seen, Names{L"/c"});
  EXPECT_EQ(Items(), (Names{L"/c", L"/a", L"/b"}));
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

}  // namespace
}  // namespace app
