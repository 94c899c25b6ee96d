#include "ui/win32/list_view.h"

#include <gtest/gtest.h>

#include "gui_fixture.h"

namespace {

class UiListView : public UiGuiTest {
 protected:
  UiListView() {
    form = ui::Create<ui::TForm>(*ui::Application);
    form->SetKeyPreview(true);
    form->OnKeyPress = [this](ui::TComponent*, wchar_t& key) {
      if (key == L'\b' || key == L'\r' || key == L'\\') {
        previewed.push_back(key);
        key = 0;
      }
    };
    list = ui::Create<ui::TListView>(*form);
    list->SetParent(form);
    list->SetAlign(ui::TAlign::alClient);
    list->SetMultiSelect(true);
    for (const wchar_t* caption : {L"Name", L"Size"}) list->AddColumn()->SetCaption(caption);
    form->SetClientSize(400, 300);
    form->FinishLoading();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }

  void Fill(int rows) {
    list->Items().BeginUpdate();
    list->Items().Clear();
    for (int i = 0; i < rows; ++i) {
      ui::TListItem* item = list->Items().Add();
      item->SetCaption(L"ROW" + std::to_wstring(rows - i));
      item->SubItems().Add(std::to_wstring((i * 37) % rows));
      item->SetData(reinterpret_cast<void*>(static_cast<std::intptr_t>(i)));
    }
    list->Items().EndUpdate();
  }

  std::wstring WindowText(int row, int column) {
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list->Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return text;
  }

  LRESULT Notify(UINT code, int row, int column = 0) {
    NMLISTVIEW notice{};
    notice.hdr = {list->Handle(), 0, code};
    notice.iItem = row;
    notice.iSubItem = column;
    return SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
  }

  ui::TForm* form;
  ui::TListView* list;
  std::wstring previewed;
};

TEST_F(UiListView, RowsSortThroughTheCompareEvent) {
  Fill(100);
  EXPECT_EQ(WindowText(1, 1), L"37");
  list->Items()[5]->SetSelected(true);
  list->OnCompare = [](ui::TComponent*, ui::TListItem* a, ui::TListItem* b, int, int& compare) {
    compare = std::stoi(a->SubItems().Get(0)) - std::stoi(b->SubItems().Get(0));
  };
  list->SetSortType(ui::TSortType::stText);
  for (int row : {0, 1, 99}) EXPECT_EQ(WindowText(row, 1), std::to_wstring(row));
  // The selection moved with its row in the control.
  EXPECT_EQ(SendMessageW(list->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED),
            (37 * 5) % 100);
  list->OnCompare = nullptr;
  list->AlphaSort();
  EXPECT_EQ(WindowText(0, 0), L"ROW1");
  EXPECT_EQ(WindowText(1, 0), L"ROW10");
}

TEST_F(UiListView, SelectionAndFocusFollowTheControlBothWays) {
  Fill(10);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED;
  SendMessageW(list->Handle(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list->Handle(), LVM_SETITEMSTATE, 7, reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_EQ(list->Selected(), list->Items()[3]);
  EXPECT_EQ(list->ItemFocused(), list->Items()[7]);
  list->SelectAll();
  EXPECT_EQ(SendMessageW(list->Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 10);
  list->SetItemIndex(2);
  EXPECT_EQ(SendMessageW(list->Handle(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(UiListView, NotificationsReachTheEvents) {
  Fill(3);
  std::vector<std::wstring> events;
  list->OnColumnClick = [&](ui::TComponent*, ui::TListColumn* column) {
    events.push_back(L"column " + column->Caption());
  };
  list->OnDblClick = [&](ui::TComponent*) { events.push_back(L"double"); };
  list->OnKeyDown = [&](ui::TComponent*, WORD& key, ui::TShiftState) {
    events.push_back(L"key " + std::to_wstring(key));
  };
  Notify(LVN_COLUMNCLICK, -1, 1);
  Notify(NM_DBLCLK, 0);
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_F2, 0);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"column Size", L"double", L"key 113"}));
}

TEST_F(UiListView, InPlaceEditingGetsBackspaceEnterAndBackslash) {
  Fill(3);
  std::wstring edited;
  bool allow = true;
  list->OnEditing = [&](ui::TComponent*, ui::TListItem*, bool& allowEdit) { allowEdit = allow; };
  list->OnEdited = [&](ui::TComponent*, ui::TListItem*, std::wstring& text) {
    edited = text;
    // Refill as the program does; the edited row is gone afterwards.
    Fill(2);
  };
  // Typed keys outside the editor reach the form first.
  SetFocus(list->Handle());
  PostMessageW(list->Handle(), WM_CHAR, L'\\', 0);
  Pump();
  EXPECT_EQ(previewed, L"\\");
  previewed.clear();

  list->Items()[1]->EditCaption();
  Pump();
  const HWND editor =
      reinterpret_cast<HWND>(SendMessageW(list->Handle(), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(list->IsEditing());
  SetWindowTextW(editor, L"readmex");
  SendMessageW(editor, EM_SETSEL, 7, 7);
  // As typed: the key-down messages are translated into their characters by the loop.
  PostMessageW(editor, WM_KEYDOWN, VK_BACK, 0);
  Pump();
  PostMessageW(editor, WM_CHAR, L'\\', 0);
  Pump();
  wchar_t text[32] = {};
  GetWindowTextW(editor, text, 32);
  EXPECT_STREQ(text, L"readme\\");
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_EQ(edited, L"readme\\");
  EXPECT_EQ(previewed, L"");
  EXPECT_FALSE(list->IsEditing());
  EXPECT_EQ(WindowText(0, 0), L"ROW2");  // the refill, untouched by the edit
  // A refused edit opens no editor.
  allow = false;
  list->Items()[0]->EditCaption();
  Pump();
  EXPECT_FALSE(list->IsEditing());
  EXPECT_TRUE(errors.empty());
}

}  // namespace
