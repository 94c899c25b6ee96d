#include "ui/list_items.h"

#include <gtest/gtest.h>

#include "ui/align_layout.h"
#include "ui/text.h"

namespace {

using Log = std::vector<std::wstring>;
using ui::TAlign;
using ui::TRect;

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
  const std::vector<ui::AlignItem> items = {
      {TAlign::alTop, {0, 0, 10, 80}}, {TAlign::alBottom, {0, 0, 10, 80}}, {TAlign::alClient, {}}};
  const auto rects = ui::AlignRects({0, 0, 50, 100}, items);
  EXPECT_EQ(rects[0], (TRect{0, 0, 50, 80}));
  EXPECT_EQ(rects[1], (TRect{0, 80, 50, 100}));
  EXPECT_EQ(rects[2].Height(), 0);
}

}  // namespace
