#include <gtest/gtest.h>

#include <stdexcept>

#include "gui_fixture.h"
#include "ui/actions.h"
#include "ui/win32/clipboard.h"
#include "ui/win32/forms.h"
#include "ui/win32/list_view.h"
#include "ui/win32/memo.h"
#include "ui/win32/menus.h"
#include "ui/win32/status_bar.h"

namespace {

using Log = std::vector<std::string>;

class UiForms : public UiGuiTest {};

TEST_F(UiForms, LifecycleRunsInTheOrderTheStorageNeeds) {
  Log log;
  bool allowClose = false;
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->OnCreate = [&](ui::TComponent*) { log.push_back("create"); };
  form->AddBeforeShowListener([&](ui::TCustomForm& f) {
    log.push_back(IsWindowVisible(f.Handle()) ? "beforeShow visible" : "beforeShow hidden");
  });
  form->OnShow = [&](ui::TComponent*) { log.push_back("show"); };
  form->OnCloseQuery = [&](ui::TComponent*, bool& canClose) {
    log.push_back("closeQuery");
    canClose = allowClose;
  };
  form->AddAfterCloseQueryListener([&](ui::TCustomForm&, bool canClose) {
    log.push_back(canClose ? "afterCloseQuery yes" : "afterCloseQuery no");
  });
  form->OnClose = [&](ui::TComponent*, ui::TCloseAction&) { log.push_back("close"); };
  form->AddBeforeDestroyListener([&](ui::TCustomForm& f) {
    log.push_back(IsWindow(f.Handle()) ? "beforeDestroy window" : "beforeDestroy gone");
  });
  form->OnDestroy = [&](ui::TComponent*) { log.push_back("destroy"); };
  form->FinishLoading();
  form->Show();
  Pump();
  PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindowVisible(form->Handle()));  // vetoed
  allowClose = true;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  ui::Free(form);
  EXPECT_EQ(log,
            (Log{"create", "beforeShow hidden", "show", "closeQuery", "afterCloseQuery no",
                 "closeQuery", "afterCloseQuery yes", "close", "beforeDestroy window", "destroy"}));
}

TEST_F(UiForms, ExceptionsInHandlersReachTheApplicationHandler) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->FinishLoading();
  form->OnKeyDown = [](ui::TComponent*, WORD&, ui::TShiftState) {
    throw std::runtime_error("Cannot open file X.DSK");
  };
  form->OnResize = [](ui::TComponent*) { throw std::runtime_error("resize failed"); };
  form->Show();
  Pump();
  errors.clear();
  EXPECT_EQ(SendMessageW(form->Handle(), WM_KEYDOWN, VK_F5, 0), 0);
  SetWindowPos(form->Handle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"Cannot open file X.DSK", L"resize failed"}));
  // Without a handler of its own the application shows the message as the default handler does.
  ui::Application->OnException = nullptr;
  SendMessageW(form->Handle(), WM_KEYDOWN, VK_F5, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"Cannot open file X.DSK.");
  EXPECT_EQ(boxes[0].caption, L"Quollbox");
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

TEST_F(UiForms, ShortcutsGoToTheActiveFormsActionsAndMenu) {
  Log log;
  std::vector<ui::TForm*> forms;
  std::vector<HWND> memos;
  for (const std::string name : {"first", "second"}) {
    auto* form = ui::Create<ui::TForm>(*ui::Application);
    auto* save = ui::Create<ui::TAction>(*form);
    save->SetShortCut(ui::TextToShortCut(L"Ctrl+S"));
    save->SetActionList(ui::Create<ui::TActionList>(*form));
    save->OnExecute = [&log, name](ui::TComponent*) { log.push_back(name + " save"); };
    auto* memo = ui::Create<ui::TMemo>(*form);
    memo->SetParent(form);
    form->FinishLoading();
    form->Show();
    forms.push_back(form);
    memos.push_back(memo->Handle());
  }
  ui::TForm* second = forms[1];
  auto* menu = ui::Create<ui::TMainMenu>(*second);
  auto* item = ui::Create<ui::TMenuItem>(*second);
  item->SetCaption(L"&Delete");
  item->SetShortCut(ui::TextToShortCut(L"F8"));
  item->OnClick = [&log](ui::TComponent*) { log.push_back("second delete"); };
  menu->Items().Add(item);
  second->SetMenu(menu);

  PostMessageW(memos[1], WM_KEYDOWN, VK_F8, 0);
  Pump();
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostMessageW(memos[1], WM_KEYDOWN, 'S', 0);
  PostMessageW(memos[0], WM_KEYDOWN, 'S', 0);
  Pump();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(log, (Log{"second delete", "second save", "first save"}));
  // The menu shows the shortcut after a tab.
  wchar_t text[64] = {};
  GetMenuStringW(menu->Handle(), 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Delete\tF8");
}

TEST_F(UiForms, SubmenusFillWhenTheyOpenAndCommandsClickItems) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* menu = ui::Create<ui::TMainMenu>(*form);
  auto* drives = ui::Create<ui::TMenuItem>(*form);
  drives->SetCaption(L"&Removable Drive");
  std::vector<int> clicked;
  drives->OnPopup = [&](ui::TComponent*) {
    drives->Clear();
    for (int i = 0; i < 3; ++i) {
      auto* drive = ui::Create<ui::TMenuItem>(*form);
      drive->SetCaption(std::wstring(1, static_cast<wchar_t>(L'E' + i)) + L":\\");
      drive->SetTag(i);
      drive->SetRadioItem(true);
      drive->OnClick = [&clicked](ui::TComponent* sender) {
        clicked.push_back(sender->Tag());
        static_cast<ui::TMenuItem*>(sender)->SetChecked(true);
      };
      drives->Add(drive);
    }
  };
  menu->Items().Add(drives);
  form->SetMenu(menu);
  form->FinishLoading();
  form->Show();
  Pump();
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(drives->Handle()), 0);
  ASSERT_EQ(GetMenuItemCount(drives->Handle()), 3);
  SendMessageW(form->Handle(), WM_COMMAND, drives->Items(2)->Command(), 0);
  SendMessageW(form->Handle(), WM_COMMAND, drives->Items(1)->Command(), 0);
  EXPECT_EQ(clicked, (std::vector<int>{2, 1}));
  EXPECT_FALSE(drives->Items(2)->Checked());
  EXPECT_EQ(GetMenuState(drives->Handle(), 1, MF_BYPOSITION) & MF_CHECKED,
            static_cast<UINT>(MF_CHECKED));
  // Opening again rebuilds the items: the old ones are freed, the counts stay right.
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(drives->Handle()), 0);
  EXPECT_EQ(GetMenuItemCount(drives->Handle()), 3);
}

TEST_F(UiForms, ModalFormsRunTheirOwnLoopAndDisableTheOthers) {
  auto* main = ui::Application->CreateForm<ui::TForm>();
  main->Show();
  auto* dialog = ui::Create<ui::TForm>(*ui::Application);
  dialog->SetBorderStyle(ui::TFormBorderStyle::bsDialog);
  dialog->SetPosition(ui::TPosition::poScreenCenter);
  bool mainEnabledDuringModal = true;
  dialog->OnShow = [&](ui::TComponent*) {
    mainEnabledDuringModal = IsWindowEnabled(main->Handle()) != FALSE;
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  };
  dialog->FinishLoading();
  EXPECT_EQ(dialog->ShowModal(), ui::mrCancel);
  EXPECT_FALSE(mainEnabledDuringModal);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  // Closing the main form ends the application's loop.
  main->Close();
  ui::Application->Run();
  EXPECT_TRUE(ui::Application->Terminated());
}

TEST_F(UiForms, StatusBarPanelsAndAlignedLayout) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* status = ui::Create<ui::TStatusBar>(*form);
  status->SetParent(form);
  const int widths[] = {50, 160, 180, 120, 50};
  for (int i = 0; i < 5; ++i) {
    ui::TStatusPanel* panel = status->AddPanel();
    panel->SetWidth(widths[i]);
    if (i < 4) panel->SetAlignment(ui::TAlignment::taCenter);
  }
  auto* list = ui::Create<ui::TListView>(*form);
  list->SetParent(form);
  list->SetAlign(ui::TAlign::alClient);
  form->SetClientSize(888, 621);
  form->FinishLoading();
  form->Show();
  status->Panels(0)->SetText(L"360k");
  Pump();
  int parts[5] = {};
  ASSERT_EQ(SendMessageW(status->Handle(), SB_GETPARTS, 5, reinterpret_cast<LPARAM>(parts)), 5);
  EXPECT_EQ(std::vector<int>(parts, parts + 4), (std::vector<int>{50, 210, 390, 510}));
  wchar_t text[64] = {};
  SendMessageW(status->Handle(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_NE(std::wstring(text).find(L"360k"), std::wstring::npos);
  EXPECT_EQ(status->Top() + status->Height(), 621);
  EXPECT_EQ(list->BoundsRect(), (ui::TRect{0, 0, 888, status->Top()}));
}

TEST_F(UiForms, AnchoredControlsFollowTheEdgesTheyAreAnchoredTo) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetClientSize(400, 300);
  auto* corner = ui::Create<ui::TListView>(*form);
  corner->SetParent(form);
  corner->SetBounds(300, 250, 80, 30);
  corner->SetAnchors(ui::akRight | ui::akBottom);
  auto* strip = ui::Create<ui::TListView>(*form);
  strip->SetParent(form);
  strip->SetAnchors(ui::akLeft | ui::akTop | ui::akRight);
  strip->SetBounds(10, 10, 380, 20);
  form->Show();
  Pump();
  EXPECT_EQ(corner->BoundsRect(), (ui::TRect{300, 250, 380, 280}));  // the window changed nothing
  form->SetClientSize(500, 400);
  Pump();
  EXPECT_EQ(corner->BoundsRect(), (ui::TRect{400, 350, 480, 380}));
  EXPECT_EQ(strip->BoundsRect(), (ui::TRect{10, 10, 490, 30}));
  RECT r;
  GetWindowRect(corner->Handle(), &r);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 400);
  EXPECT_EQ(r.top, 350);
}

TEST_F(UiForms, PaintGoesThroughTheCanvas) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* control = ui::Create<ui::TCustomControl>(*form);
  control->SetParent(form);
  control->SetBounds(10, 10, 50, 20);
  int paints = 0;
  control->OnPaint = [&](ui::TComponent*) {
    ++paints;
    control->Canvas().TextOut(2, 2, L"x");
    EXPECT_GT(control->Canvas().TextWidth(L"xx"), 0);
  };
  form->FinishLoading();
  form->Show();
  control->Invalidate();
  UpdateWindow(control->Handle());
  EXPECT_GE(paints, 1);
}

TEST_F(UiForms, ClipboardTextRoundTrip) {
  const std::wstring name = L"C:\\Images\\NewImage1.dsk \u00e9\u0416";
  ui::SetClipboardText(name);
  EXPECT_EQ(ui::ClipboardText(), name);
  ui::SetClipboardText(L"");
  EXPECT_EQ(ui::ClipboardText(), L"");
}

}  // namespace
