#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../ui/stand_in_components.h"
#include "log_text.h"
#include "ui/settings_store.h"
#include "ui/text.h"
#include "ux/prop_info_list.h"
#include "ux/props_storage.h"

namespace ux {
namespace {

using test::LogText;
using ui::test::MainFormFixture;

// A props storage bound to an in-memory settings file, section "TMainForm".
struct Storage {
  ui::TMemIniFile ini;
  TPropsStorage storage;
  ui::TComponent* otherOwner = nullptr;

  Storage() {
    storage.SetSection(L"TMainForm");
    storage.OnReadString = [this](const std::wstring& s, const std::wstring& i,
                                  const std::wstring& d) { return ini.ReadString(s, i, d); };
    storage.OnWriteString = [this](const std::wstring& s, const std::wstring& i,
                                   const std::wstring& v) { ini.WriteString(s, i, v); };
    storage.OnEraseSection = [this](const std::wstring& s) { ini.EraseSection(s); };
    storage.OnFindOwner = [this](std::wstring_view name) -> ui::TComponent* {
      return otherOwner && otherOwner->Name() == name ? otherOwner : nullptr;
    };
  }
  std::optional<std::wstring> Value(const std::wstring& ident) const {
    return ini.Read(L"TMainForm", ident);
  }
};

// One entry of each kind the main window stores, written in the list's order: an integer, a
// string list, a component of the same form and none.
TEST(PropsStorage, StoresEachKindOfTheMainWindowsEntries) {
  MainFormFixture f;
  f.mruList->Items()->Assign({L"C:\\Images\\b.dsk", L"C:\\Images\\a.dsk"});
  f.openDialog->SetFileTypeIndex(2);
  f.fileListPanel->SetCurrentDock(f.rightDock);
  ui::TStringList list({L"NewFileOpenDialog.FileTypeIndex", L"MRUList.Items",
                        L"FileListPanel.CurrentDock", L"FolderBrowserPanel.CurrentDock"});
  UpdateStoredList(f.form.get(), list, true);
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  const std::vector<std::wstring> expected = {
      L"TMainForm: NewFileOpenDialog_FileTypeIndex=2",
      L"erase TMainForm.MRUList_Items",
      L"TMainForm.MRUList_Items: Count=2",
      L"TMainForm.MRUList_Items: Item0=C:\\Images\\b.dsk",
      L"TMainForm.MRUList_Items: Item1=C:\\Images\\a.dsk",
      L"TMainForm: FileListPanel_CurrentDock=RightMultiDock",
      L"TMainForm: FolderBrowserPanel_CurrentDock=(null)",
  };
  EXPECT_EQ(LogText(s.ini), expected);
}

TEST(PropsStorage, StringLists) {
  MainFormFixture f;
  ui::TStringList list({L"MRUList.Items"});
  UpdateStoredList(f.form.get(), list, true);
  Storage s;

  s.storage.StoreObjectsProps(f.form.get(), list);  // empty list: erased, nothing written
  EXPECT_EQ(LogText(s.ini), std::vector<std::wstring>{L"erase TMainForm.MRUList_Items"});

  f.mruList->Items()->Assign({L"kept"});
  s.storage.LoadObjectsProps(f.form.get(), list);  // no count: unchanged
  EXPECT_EQ(f.mruList->Items()->ToVector(), std::vector<std::wstring>{L"kept"});

  // A line missing inside the count is skipped rather than brought back empty; a damaged count
  // reads no further than the cap.
  s.ini.SetSections(
      {{L"TMainForm.MRUList_Items", {{L"Count", L" 3 "}, {L"Item0", L"x"}, {L"Item2", L"z"}}}});
  s.storage.LoadObjectsProps(f.form.get(), list);
  EXPECT_EQ(f.mruList->Items()->ToVector(), (std::vector<std::wstring>{L"x", L"z"}));
  s.ini.SetSections({{L"TMainForm.MRUList_Items", {{L"Count", L"2000000000"}, {L"Item0", L"x"}}}});
  int reads = 0;
  auto read = s.storage.OnReadString;
  s.storage.OnReadString = [&](const std::wstring& a, const std::wstring& b,
                               const std::wstring& c) {
    ++reads;
    return read(a, b, c);
  };
  s.storage.LoadObjectsProps(f.form.get(), list);
  EXPECT_EQ(f.mruList->Items()->ToVector(), std::vector<std::wstring>{L"x"});
  EXPECT_LE(reads, kMaxStoredLines + 2);
}

TEST(PropsStorage, ComponentReferencesOnLoad) {
  MainFormFixture f;
  auto other = ui::New<ui::test::TStandInForm>(L"TOtherForm");
  other->SetName(L"OtherForm");
  auto* otherDock = ui::Create<ui::test::TDock>(*other);
  otherDock->SetName(L"Dock");

  const struct {
    std::wstring stored;
    ui::test::TDock* expected;
  } cases[] = {
      {L"", f.rightDock},                  // empty: unchanged
      {L"(NULL)", nullptr},                // none in any case
      {L"NoSuchDock", nullptr},            // not owned: none
      {L" LeftMultiDock ", f.leftDock},    // trimmed and found
      {L"MRUList", f.rightDock},           // wrong class: unchanged
      {L"Nobody.X", f.rightDock},          // unknown owner: unchanged
      {L"OtherForm.Dock", otherDock},      // another form's component
      {L" OtherForm . Nothing", nullptr},  // owner known, component not
  };
  ui::TStringList list({L"FileListPanel.CurrentDock"});
  UpdateStoredList(f.form.get(), list, true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    Storage s;
    s.otherOwner = other.get();
    s.ini.WriteString(L"TMainForm", L"FileListPanel_CurrentDock", c.stored);
    f.fileListPanel->SetCurrentDock(f.rightDock);
    s.storage.LoadObjectsProps(f.form.get(), list);
    EXPECT_EQ(f.fileListPanel->CurrentDock(), c.expected);
  }

  // Stored: another owner's component is "<owner>.<name>"; an unnamed owner gives its class
  // name less the "T".
  Storage s;
  f.fileListPanel->SetCurrentDock(otherDock);
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(s.Value(L"FileListPanel_CurrentDock"), L"OtherForm.Dock");
  other->SetName(L"");
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(s.Value(L"FileListPanel_CurrentDock"), L"OtherForm.Dock");
}

TEST(PropsStorage, StoredList) {
  std::wstring comp;
  std::wstring prop;
  EXPECT_TRUE(ParseStoredItem(L" MRUList . Items ", comp, prop));
  EXPECT_EQ(comp, L"MRUList");
  EXPECT_EQ(prop, L"Items");
  EXPECT_TRUE(ParseStoredItem(L"A.B.C", comp, prop));
  EXPECT_EQ(prop, L"B.C");
  for (std::wstring_view bad : {L"MRUList.", L".Items", L"X", L" . "})
    EXPECT_FALSE(ParseStoredItem(bad, comp, prop)) << std::wstring(bad);
  EXPECT_EQ(CreateStoredItem(L"A", L"B"), L"A.B");
  EXPECT_EQ(CreateStoredItem(L"", L"B"), L"");
  EXPECT_EQ(CreateStoredItem(L"A", L""), L"");

  MainFormFixture f;
  ui::TStringList list({L"MRUList.Items", L"Ghost.Width", L"bad", L"RightMultiDock.NoSuchProp",
                        L"RightMultiDock.Width"});
  UpdateStoredList(f.form.get(), list, true);
  EXPECT_EQ(list.ToVector(),
            (std::vector<std::wstring>{L"MRUList.Items", L"RightMultiDock.NoSuchProp",
                                       L"RightMultiDock.Width"}));
  EXPECT_EQ(StoredComponent(list, 2), f.rightDock);

  f.rightDock->SetName(L"EastDock");
  f.rightDock->SetWidth(99);
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  EXPECT_EQ(list.Get(2), L"EastDock.Width");
  EXPECT_EQ(s.Value(L"EastDock_Width"), L"99");
  EXPECT_FALSE(s.Value(L"EastDock_NoSuchProp"));
  EXPECT_FALSE(s.Value(L"RightMultiDock_Width"));
}

TEST(PropsStorage, CollectionsAndVariants) {
  MainFormFixture f;
  ui::test::TGrid* grid = f.grid;
  ui::TStringList list({L"Grid.Columns", L"Grid.Hint"});
  UpdateStoredList(f.form.get(), list, true);
  static_cast<ui::test::TColumn&>(grid->columns.Add()).caption = L"Name";
  grid->columns.Column(0).width = 0.25;
  grid->columns.Add();
  Storage s;
  s.storage.StoreObjectsProps(f.form.get(), list);
  const std::vector<std::wstring> expected = {
      L"erase TMainForm.Grid_Columns",
      L"TMainForm: Grid_Columns.Count=2",
      L"TMainForm.Grid_Columns: Item0_Caption=Name",
      L"TMainForm.Grid_Columns: Item0_Width=0.25",
      L"TMainForm.Grid_Columns: Item1_Caption=",
      L"TMainForm.Grid_Columns: Item1_Width=1",
      L"TMainForm: Grid_Hint=",  // an empty variant is written, like a string
  };
  EXPECT_EQ(LogText(s.ini), expected);

  // A damaged count keeps the items there are, which still load their values.
  const struct {
    std::wstring count;
    int expectedCount;
  } cases[] = {{L"2", 2}, {L"1", 1}, {L"-1", 3}, {L"x", 3}, {L"257", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    grid->columns.Clear();
    for (int i = 0; i < 3; ++i) grid->columns.Add();
    grid->columns.updates = 0;
    grid->hint = {};
    s.ini.WriteString(L"TMainForm", L"Grid_Columns.Count", c.count);
    s.ini.WriteString(L"TMainForm", L"Grid_Hint", L" 2.5 ");
    s.storage.LoadObjectsProps(f.form.get(), list);
    EXPECT_EQ(grid->columns.Count(), c.expectedCount);
    EXPECT_EQ(grid->columns.updates, 1);
    EXPECT_EQ(grid->columns.Column(0).caption, L"Name");
    EXPECT_EQ(grid->columns.Column(0).width, 0.25);
    EXPECT_EQ(grid->hint, ui::TVariant(L"2.5"));  // an empty variant is loaded too
  }
}

TEST(PropInfoList, FiltersSortsFindsAndIntersects) {
  MainFormFixture f;
  TPropInfoList panel(f.fileListPanel, AllTypeKinds());
  ASSERT_NE(panel.Find(L"dockpos"), nullptr);
  EXPECT_EQ(panel.Find(L"Width"), nullptr);
  for (int i = 1; i < panel.Count(); ++i)
    EXPECT_LT(ui::CompareText(panel.Items(i - 1)->name, panel.Items(i)->name), 0);

  TPropInfoList integers(f.fileListPanel, {ui::TypeKind::Integer});
  EXPECT_TRUE(panel.Contains(integers.Find(L"DockPos")));
  EXPECT_EQ(integers.Find(L"CurrentDock"), nullptr);
  panel.Intersect(integers);
  EXPECT_EQ(panel.Count(), integers.Count());
  EXPECT_NE(panel.Find(L"DockPos"), nullptr);
  EXPECT_EQ(TPropInfoList(nullptr, AllTypeKinds()).Count(), 0);
}

}  // namespace
}  // namespace ux
