// Tab navigation of a real form under Wine: the tab order (insertion order, TabOrder moves),
// nested containers, tab stops, controls that cannot take the focus, and the keys themselves
// (real input).
#include <gtest/gtest.h>

#include <vector>

#include "gui_fixture.h"
#include "ui/win32/forms.h"
#include "ui/win32/list_view.h"

namespace {

class UiTabOrder : public UiGuiTest {
 protected:
  UiTabOrder() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(60, 60, 400, 300);
    first = List(form, 10);
    box = ui::Create<ui::TPanel>(*form);  // a container: no tab stop of its own
    box->SetBounds(10, 40, 300, 100);
    box->SetParent(form);
    inner = List(box, 10);
    innerLast = List(box, 40);
    last = List(form, 160);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ui::TListView* List(ui::TWinControl* parent, int top) {
    auto* list = ui::Create<ui::TListView>(*form);
    list->SetBounds(10, top, 100, 24);
    list->SetParent(parent);
    return list;
  }
  std::vector<ui::TWinControl*> Order() const {
    std::vector<ui::TWinControl*> list;
    form->GetTabOrderList(list);
    return list;
  }
  // Real input: Tab, with Shift held when asked.
  static void Tab(bool backwards = false) {
    INPUT in[4]{};
    UINT n = 0;
    const auto key = [&](WORD vk, DWORD flags) {
      in[n].type = INPUT_KEYBOARD;
      in[n].ki.wVk = vk;
      in[n++].ki.dwFlags = flags;
    };
    if (backwards) key(VK_SHIFT, 0);
    key(VK_TAB, 0);
    key(VK_TAB, KEYEVENTF_KEYUP);
    if (backwards) key(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(n, in, sizeof(INPUT));
    Pump();
  }
  static ui::TWinControl* Focused() { return ui::TWinControl::FromHandle(GetFocus()); }

  ui::TForm* form = nullptr;
  ui::TPanel* box = nullptr;
  ui::TListView *first = nullptr, *inner = nullptr, *innerLast = nullptr, *last = nullptr;
};

TEST_F(UiTabOrder, TheListFollowsInsertionAndTabOrderAndNestsContainers) {
  using Controls = std::vector<ui::TWinControl*>;
  EXPECT_EQ(Order(), (Controls{first, box, inner, innerLast, last}));
  EXPECT_EQ(last->TabOrder(), 2);
  last->SetTabOrder(0);
  innerLast->SetTabOrder(99);  // past the end: last
  inner->SetTabOrder(1);
  EXPECT_EQ(Order(), (Controls{last, first, box, innerLast, inner}));
  EXPECT_EQ(first->TabOrder(), 1);
  EXPECT_EQ(form->TabOrder(), -1);  // no parent
  // Removed from its parent, a control leaves the list.
  inner->SetParent(nullptr);
  EXPECT_EQ(Order(), (Controls{last, first, box, innerLast}));
}

TEST_F(UiTabOrder, FindNextControlWrapsAndSkipsWhatCannotTakeTheFocus) {
  EXPECT_EQ(form->FindNextControl(first, true, true, false), inner);  // the panel is no stop
  EXPECT_EQ(form->FindNextControl(first, true, false, false), box);
  EXPECT_EQ(form->FindNextControl(last, true, true, false), first);   // wraps
  EXPECT_EQ(form->FindNextControl(first, false, true, false), last);  // and backwards
  EXPECT_EQ(form->FindNextControl(nullptr, true, true, false), first);
  EXPECT_EQ(form->FindNextControl(nullptr, false, true, false), last);
  EXPECT_EQ(form->FindNextControl(first, true, true, true), last);  // direct children only
  innerLast->Hide();
  inner->SetEnabled(false);
  EXPECT_EQ(form->FindNextControl(first, true, true, false), last);
  last->SetTabStop(false);
  first->SetTabStop(false);
  EXPECT_EQ(form->FindNextControl(first, true, true, false), nullptr);  // no other stop
}

// The keys: Tab walks forwards through every stop and around, Shift+Tab backwards.
TEST_F(UiTabOrder, TabAndShiftTabMoveTheFocus) {
  first->SetFocus();
  Pump();
  std::vector<ui::TWinControl*> seen;
  for (int i = 0; i < 4; ++i) {
    Tab();
    seen.push_back(Focused());
  }
  EXPECT_EQ(seen, (std::vector<ui::TWinControl*>{inner, innerLast, last, first}));
  Tab(true);
  EXPECT_EQ(Focused(), last);
  EXPECT_EQ(form->ActiveControl(), last);
}

}  // namespace
