// Real forms and controls under Wine, driven with messages, and the registry settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "../../rtl/temp_folder.h"
#include "../awkward_ini_values.h"
#include "gui_fixture.h"
#include "screen_check.h"
#include "ui/actions.h"
#include "ui/ini_file.h"
#include "ui/win32/clipboard.h"
#include "ui/win32/forms.h"
#include "ui/win32/list_view.h"
#include "ui/win32/memo.h"
#include "ui/win32/menus.h"
#include "ui/win32/registry_ini_file.h"
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
  // taskkill asks every top-level window to close: the application's hidden window, which owns
  // the menus and popups, stays, and the form is not asked again.
  SendMessageW(ui::Application->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(ui::Application->Handle()));
  allowClose = true;
  SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  ui::Free(form);
  EXPECT_EQ(log,
            (Log{"create", "beforeShow hidden", "show", "closeQuery", "afterCloseQuery no",
                 "closeQuery", "afterCloseQuery yes", "close", "beforeDestroy window", "destroy"}));
}

// Logging off closes no form: each form answers the session's end with its close query (where
// its settings are saved and unsaved work is asked about), and one that refuses keeps the
// session. The form stays open either way.
TEST_F(UiForms, TheSessionsEndAsksEachFormsCloseQuery) {
  Log log;
  bool allowClose = false;
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->OnCloseQuery = [&](ui::TComponent*, bool& canClose) { canClose = allowClose; };
  form->AddAfterCloseQueryListener([&](ui::TCustomForm&, bool canClose) {
    log.push_back(canClose ? "afterCloseQuery yes" : "afterCloseQuery no");
  });
  form->OnClose = [&](ui::TComponent*, ui::TCloseAction&) { log.push_back("close"); };
  form->FinishLoading();
  form->Show();
  Pump();
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
  allowClose = true;
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(log, (Log{"afterCloseQuery no", "afterCloseQuery yes"}));
  ui::Free(form);
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

// Minimised, a form's client area is empty; its aligned controls keep their places.
TEST_F(UiForms, AMinimisedFormKeepsItsAlignedControlsInPlace) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* list = ui::Create<ui::TListView>(*form);
  list->SetParent(form);
  list->SetAlign(ui::TAlign::alClient);
  int resized = 0;
  list->OnResize = [&](ui::TComponent*) { ++resized; };
  form->SetClientSize(300, 200);
  form->FinishLoading();
  form->Show();
  Pump();
  resized = 0;
  ShowWindow(form->Handle(), SW_MINIMIZE);
  Pump();
  EXPECT_EQ(list->BoundsRect(), (ui::TRect{0, 0, 300, 200}));
  ShowWindow(form->Handle(), SW_RESTORE);
  Pump();
  EXPECT_EQ(list->BoundsRect(), (ui::TRect{0, 0, 300, 200}));
  EXPECT_EQ(resized, 0);
}

// A top-aligned bar that wraps when narrow: it changes its own height while the form places it,
// as a dock of wrapping toolbars does.
TEST_F(UiForms, AControlSizingItselfWhileAlignedKeepsItsSizeAndMovesItsSiblings) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* bar = ui::Create<ui::TCustomControl>(*form);
  bar->SetParent(form);
  bar->SetAlign(ui::TAlign::alTop);
  bar->OnResize = [bar](ui::TComponent*) {
    const int wanted = bar->Width() < 300 ? 40 : 20;
    if (bar->Height() != wanted) bar->SetBounds(bar->Left(), bar->Top(), bar->Width(), wanted);
  };
  auto* list = ui::Create<ui::TListView>(*form);
  list->SetParent(form);
  list->SetAlign(ui::TAlign::alClient);
  form->SetClientSize(400, 300);
  form->FinishLoading();
  form->Show();
  Pump();
  for (int width : {250, 400}) {
    form->SetClientSize(width, 300);
    const int height = width < 300 ? 40 : 20;
    RECT r;
    GetWindowRect(bar->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, height) << width;
    EXPECT_EQ(bar->BoundsRect(), (ui::TRect{0, 0, width, height})) << width;
    EXPECT_EQ(list->BoundsRect(), (ui::TRect{0, height, width, 300})) << width;
  }
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

TEST_F(UiForms, CanvasFreesTheObjectsItReplacesWhileSelected) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  ui::TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.FillRect({0, 0, 1, 1});
  const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  canvas.Brush().SetColor(RGB(1, 2, 3));
  canvas.Pen().SetColor(RGB(1, 2, 3));
  canvas.Font().SetHeight(-20);
  // A handle deleted while selected would live on until the context lets go of it.
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetObjectType(font), 0u);
  canvas.FillRect({0, 0, 1, 1});
  EXPECT_EQ(GetPixel(dc, 0, 0) & 0xFFFFFF, RGB(1, 2, 3));
  canvas.SetHandle(nullptr);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(UiForms, ClipboardTextRoundTrip) {
  const std::wstring name = L"C:\\Images\\NewImage1.dsk \u00e9\u0416";
  ui::SetClipboardText(name);
  EXPECT_EQ(ui::ClipboardText(), name);
  ui::SetClipboardText(L"");
  EXPECT_EQ(ui::ClipboardText(), L"");
}

// Resource cursors are put into the table by name and loaded when first asked for; one the
// resources lack leaves its slot to the standard lookup, as if never installed.
TEST_F(UiForms, ResourceCursorsResolveWhenAskedFor) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HINSTANCE self = GetModuleHandleW(nullptr);
  constexpr ui::TCursor kHand = 9001, kMissing = 9002, kReplaced = 9003, kProcessWide = 9004;
  ui::Screen->SetResourceCursor(kHand, nullptr, IDC_HAND);
  ui::Screen->SetResourceCursor(kMissing, self, L"NO_SUCH_CURSOR");
  ui::Screen->SetCursors(kReplaced, LoadCursorW(nullptr, IDC_CROSS));
  ui::Screen->SetResourceCursor(kReplaced, nullptr, IDC_IBEAM);
  ui::InstallResourceCursor(kProcessWide, nullptr, IDC_SIZEALL);
  const struct {
    ui::TCursor slot;
    HCURSOR expected;
  } kCases[] = {{kHand, LoadCursorW(nullptr, IDC_HAND)},
                {kMissing, arrow},
                {kReplaced, LoadCursorW(nullptr, IDC_IBEAM)},
                {kProcessWide, LoadCursorW(nullptr, IDC_SIZEALL)}};
  for (int pass = 0; pass < 2; ++pass) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(testing::Message() << "slot " << c.slot << " pass " << pass);
      EXPECT_EQ(ui::Screen->Cursors(c.slot), c.expected);
    }
  }
  // A screen made later starts with the process's cursors, still to be loaded.
  delete ui::Screen;
  ui::Screen = new ui::TScreen();
  EXPECT_EQ(ui::Screen->Cursors(kProcessWide), LoadCursorW(nullptr, IDC_SIZEALL));
  EXPECT_EQ(ui::Screen->Cursors(kHand), arrow);
}

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

// The columns made with the window are in its header, and the list and header show and have
// nothing left to paint.
TEST_F(UiListView, ColumnsMadeWithTheWindowAreShown) {
  const HWND header = ListView_GetHeader(list->Handle());
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_TRUE(IsWindowVisible(header));
  ASSERT_EQ(Header_GetItemCount(header), 2);
  wchar_t text[16] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH;
  item.pszText = text;
  item.cchTextMax = 16;
  Header_GetItem(header, 1, &item);
  EXPECT_STREQ(text, L"Size");
  EXPECT_EQ(item.cxy, list->Columns(1)->Width());
  EXPECT_FALSE(GetUpdateRect(list->Handle(), nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(header, nullptr, FALSE));
}

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

class UiRegistry : public ::testing::Test {
 protected:
  ~UiRegistry() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
  const std::wstring path_ =
      L"Software\\Kelpfin\\QuollboxTest" + std::to_wstring(GetCurrentProcessId());
};

TEST_F(UiRegistry, SectionsAreSubkeysAndValuesAreText) {
  {
    ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString(L"TMainForm", L"BootCode", L"1"), L"1");
    EXPECT_FALSE(ini.SectionExists(L"TMainForm"));  // reading creates nothing
    ini.WriteString(L"TMainForm", L"FormVersion", L"0");
    ini.WriteInteger(L"TMainForm", L"BootCode", 2);
    ini.WriteString(L"TMainForm", L"RemovableDrive", L"E:\\");
    ini.WriteString(L"TMainForm.MRUList_Items", L"Count", L"1");
  }
  const ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::wstring>{L"TMainForm", L"TMainForm.MRUList_Items"}));
  std::vector<std::wstring> names = ini.ReadSection(L"TMainForm");
  std::sort(names.begin(), names.end());  // the registry keeps no order
  EXPECT_EQ(names, (std::vector<std::wstring>{L"BootCode", L"FormVersion", L"RemovableDrive"}));
  EXPECT_EQ(ini.ReadInteger(L"tmainform", L"bootcode", 1), 2);
  // Every value is REG_SZ.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (path_ + L"\\TMainForm").c_str(), 0,
                          KEY_READ | KEY_WRITE, &key),
            ERROR_SUCCESS);
  DWORD type = 0;
  RegQueryValueExW(key, L"BootCode", nullptr, &type, nullptr, nullptr);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  // A value of another type reads as missing.
  const DWORD number = 7;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                 sizeof number);
  RegCloseKey(key);
  EXPECT_EQ(ini.ReadInteger(L"TMainForm", L"Number", -1), -1);
  EXPECT_FALSE(ini.ValueExists(L"TMainForm", L"Number"));
}

TEST_F(UiRegistry, EraseAndDeleteAndReadOnly) {
  ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
  ini.WriteString(L"A", L"x", L"1");
  ini.WriteString(L"A", L"y", L"2");
  ini.WriteString(L"A.Sub", L"Count", L"0");
  ini.DeleteKey(L"A", L"x");
  EXPECT_EQ(ini.ReadSection(L"A"), (std::vector<std::wstring>{L"y"}));
  ini.EraseSection(L"A.Sub");
  EXPECT_FALSE(ini.SectionExists(L"A.Sub"));
  EXPECT_TRUE(ini.SectionExists(L"A"));
  ui::TRegistryIniFile readOnly(HKEY_CURRENT_USER, path_, true);
  EXPECT_EQ(readOnly.ReadString(L"A", L"y", L""), L"2");
  EXPECT_ANY_THROW(readOnly.WriteString(L"A", L"z", L"3"));
  const ui::TRegistryIniFile missing(HKEY_CURRENT_USER, path_ + L"\\Nowhere", true);
  EXPECT_EQ(missing.ReadString(L"A", L"y", L"default"), L"default");
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, (path_ + L"\\Nowhere").c_str(), 0, KEY_READ, &probe),
            ERROR_SUCCESS);
}

// A file reads what is in the registry now: long values whole, a section after its own or
// another file's erasing and writing, and written values at once.
TEST_F(UiRegistry, ReadsFollowTheRegistry) {
  ui::TRegistryIniFile ini(HKEY_CURRENT_USER, path_);
  const std::wstring longText(5000, L'x');
  ini.WriteString(L"A", L"long", longText);
  ini.WriteString(L"A", L"short", L"1");
  EXPECT_EQ(ini.ReadString(L"A", L"long", L""), longText);
  EXPECT_EQ(ini.ReadString(L"A", L"short", L""), L"1");
  ini.WriteString(L"A", L"short", L"2");
  EXPECT_EQ(ini.ReadString(L"A", L"short", L""), L"2");
  ini.EraseSection(L"A");
  EXPECT_EQ(ini.ReadString(L"A", L"short", L"gone"), L"gone");
  ini.WriteString(L"A", L"short", L"3");
  EXPECT_EQ(ini.ReadString(L"A", L"short", L""), L"3");
  {
    ui::TRegistryIniFile other(HKEY_CURRENT_USER, path_);
    other.EraseSection(L"A");
    other.WriteString(L"A", L"short", L"4");
  }
  EXPECT_EQ(ini.ReadString(L"A", L"short", L""), L"4");
}

// The profile functions, an independent reader, see in our INI file what we wrote.
TEST(UiIniFile, TheProfileFunctionsReadEveryValueBackAsWritten) {
  TTempFolder folder;
  const std::wstring path = (folder / "settings.ini").wstring();
  for (const std::wstring_view value : ui::test::kAwkwardIniValues) {
    ui::TIniFile(path).WriteString(L"S", L"v", std::wstring(value));
    wchar_t buffer[64] = {};
    GetPrivateProfileStringW(L"S", L"v", L"(missing)", buffer, 64, path.c_str());
    EXPECT_EQ(buffer, value);
  }
}

// A control whose window has a border or not, counting the moves asked of its window.
class WindowProbe : public ui::TCustomControl {
 public:
  WindowProbe(ui::TComponent* owner, bool border) : TCustomControl(owner), border_(border) {}
  using TWinControl::HasNonClientArea;
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    if (border_) params.style |= WS_BORDER;
  }
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_WINDOWPOSCHANGING) ++moves;
    if (message.Msg == WM_ERASEBKGND) ++erases;
    if (message.Msg == WM_NCPAINT) ++framePaints;
    if (message.Msg == WM_CREATE) {
      const auto& create = *reinterpret_cast<const CREATESTRUCTW*>(message.LParam);
      made = {create.x, create.y, create.x + create.cx, create.y + create.cy};
    }
    TCustomControl::WndProc(message);
  }
  void Paint() override {
    ++paints;
    TCustomControl::Paint();
  }
  int moves = 0;
  int erases = 0;
  int framePaints = 0;
  int paints = 0;
  ui::TRect made;  // where the window was made

 private:
  bool border_;
};

// A control paints a frame only when its window has one around the client area.
TEST_F(UiForms, OnlyAFramedWindowHasANonClientAreaToPaint) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  for (const bool border : {false, true}) {
    auto* probe = ui::Create<WindowProbe>(*form, border);
    probe->SetParent(form);
    probe->SetBounds(0, 0, 40, 30);
    probe->HandleNeeded();
    EXPECT_EQ(probe->HasNonClientArea(), border);
  }
  ui::Free(form);
}

// Bounds a window already has move nothing; others move it.
TEST_F(UiForms, AWindowIsMovedOnlyToOtherBounds) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  auto* probe = ui::Create<WindowProbe>(*form, false);
  probe->SetParent(form);
  probe->SetBounds(5, 6, 40, 30);
  probe->HandleNeeded();
  probe->moves = 0;
  probe->SetBounds(5, 6, 40, 30);
  EXPECT_EQ(probe->moves, 0);
  probe->SetBounds(5, 6, 41, 30);
  EXPECT_EQ(probe->moves, 1);
  EXPECT_EQ(probe->Width(), 41);
  ui::Free(form);
}

// A form appears without the platform erasing its children at once; each child erases once,
// in its own paint, and nothing is left to paint afterwards.
TEST_F(UiForms, ShowingAFormLeavesEachChildToEraseInItsOwnPaint) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetBounds(0, 0, 200, 150);
  auto* probe = ui::Create<WindowProbe>(*form, false);
  probe->SetParent(form);
  probe->SetBounds(5, 6, 40, 30);
  form->Show();
  EXPECT_TRUE(IsWindowVisible(probe->Handle()));
  EXPECT_EQ(probe->erases, 0);
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(probe->erases, 1);
  EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(probe->Handle(), nullptr, FALSE));
  ui::Free(form);
}

// A paint for the frame alone draws the frame and leaves nothing to paint, without painting the
// client area again.
TEST_F(UiForms, APaintForTheFrameAloneDrawsOnlyTheFrame) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetBounds(0, 0, 200, 150);
  auto* probe = ui::Create<WindowProbe>(*form, true);
  probe->SetParent(form);
  probe->SetBounds(5, 6, 40, 30);
  form->Show();
  Pump();
  const HWND window = probe->Handle();
  for (const bool clientToo : {false, true}) {
    SCOPED_TRACE(clientToo);
    probe->paints = probe->framePaints = 0;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
    if (!clientToo) ValidateRect(window, nullptr);
    Pump();
    EXPECT_EQ(probe->framePaints, 1);
    EXPECT_EQ(probe->paints, clientToo ? 1 : 0);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  }
  ui::Free(form);
}

// A change of a form's window that keeps its size asks for no size limits (the platform would look
// them up on the monitor); one that changes the size does, and both take effect.
TEST_F(UiForms, AFormKeepingItsSizeIsAskedForNoSizeLimits) {
  class LimitForm : public ui::TForm {
   public:
    using TForm::TForm;
    void WndProc(ui::TMessage& message) override {
      if (message.Msg == WM_GETMINMAXINFO) ++asked;
      ui::TForm::WndProc(message);
    }
    int asked = 0;
  };
  auto* form = ui::Create<LimitForm>(*ui::Application);
  form->SetBounds(10, 20, 300, 200);
  const HWND window = form->Handle();
  const auto bounds = [&] {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  };
  const struct {
    int x, y, width, height;
    bool asks;
  } kCases[] = {{30, 40, 300, 200, false}, {30, 40, 320, 200, true}, {50, 40, 320, 200, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.width << "x" << c.height);
    form->asked = 0;
    SetWindowPos(window, nullptr, c.x, c.y, c.width, c.height, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(form->asked > 0, c.asks);
    const RECT r = bounds();
    EXPECT_EQ(r.left, c.x);
    EXPECT_EQ(r.top, c.y);
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  form->asked = 0;
  SetWindowPlacement(window, &placement);
  EXPECT_EQ(form->asked, 0);
  ui::Free(form);
}

// A form activated with a control to focus gives it the focus without taking it first.
TEST_F(UiForms, AnActivatedFormFocusesItsActiveControlDirectly) {
  class FocusForm : public ui::TForm {
   public:
    using TForm::TForm;
    void WndProc(ui::TMessage& message) override {
      if (message.Msg == WM_SETFOCUS) ++focused;
      ui::TForm::WndProc(message);
    }
    int focused = 0;
  };
  auto* form = ui::Create<FocusForm>(*ui::Application);
  form->SetBounds(0, 0, 200, 150);
  auto* edit = ui::Create<ui::TMemo>(*form);
  edit->SetParent(form);
  edit->SetBounds(5, 5, 100, 50);
  form->SetActiveControl(edit);
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump();
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(form->focused, 0);
  ui::Free(form);
}

// A form activated as it appears, whose children cover its client area, has nothing left to
// paint (its frame was painted on activation); the children paint.
TEST_F(UiForms, AnActivatedFormItsChildrenCoverGetsNoPaint) {
  class PaintForm : public ui::TForm {
   public:
    using TForm::TForm;
    void WndProc(ui::TMessage& message) override {
      if (message.Msg == WM_PAINT || message.Msg == WM_NCPAINT) ++paints;
      ui::TForm::WndProc(message);
    }
    int paints = 0;
  };
  auto* form = ui::Create<PaintForm>(*ui::Application);
  form->SetBounds(0, 0, 200, 150);
  auto* inside = ui::Create<WindowProbe>(*form, false);
  inside->SetParent(form);
  inside->SetAlign(ui::TAlign::alClient);
  form->Show();
  ASSERT_EQ(GetActiveWindow(), form->Handle());
  EXPECT_FALSE(GetUpdateRect(form->Handle(), nullptr, FALSE));
  form->paints = 0;
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(form->paints, 0);
  EXPECT_EQ(inside->erases, 1);
  ui::Free(form);
}

// A form made active while still hidden (a message box it owned closed before it appeared) is
// not activated as it appears, so nothing drew its frame yet: the frame keeps its paint, and the
// screen shows the frame and caption as a full repaint draws them.
TEST_F(UiForms, AFormActiveBeforeItAppearsPaintsItsFrame) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetBounds(0, 0, 240, 160);
  form->SetCaption(L"Shown after a message");
  auto* inside = ui::Create<WindowProbe>(*form, false);
  inside->SetParent(form);
  inside->SetAlign(ui::TAlign::alClient);
  struct CloseBox {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
      const HWND box = FindWindowW(L"#32770", L"Before");
      if (!box) return;
      KillTimer(nullptr, timer);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseBox::Tick);
  const DWORD start = GetTickCount();
  MessageBoxW(form->Handle(), L"A message before the form shows", L"Before", MB_OK);
  KillTimer(nullptr, timer);
  ASSERT_LT(GetTickCount() - start, 5000u);
  ASSERT_EQ(GetActiveWindow(), form->Handle());
  form->Show();
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle()));
  ui::Free(form);
}

// A form's aligned controls get their windows where the layout puts them, not elsewhere first.
TEST_F(UiForms, AFormsAlignedControlsAreMadeWhereTheyStay) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetBounds(0, 0, 300, 200);
  const auto probe = [&](ui::TAlign align) {
    auto* made = ui::Create<WindowProbe>(*form, false);
    made->SetParent(form);
    made->SetBounds(0, 0, 40, 30);
    made->SetAlign(align);
    return made;
  };
  WindowProbe* bottom = probe(ui::TAlign::alBottom);
  WindowProbe* client = probe(ui::TAlign::alClient);
  form->HandleNeeded();
  EXPECT_EQ(client->made, (ui::TRect{0, 0, form->ClientWidth(), form->ClientHeight() - 30}));
  for (WindowProbe* aligned : {bottom, client}) EXPECT_EQ(aligned->made, aligned->BoundsRect());
  ui::Free(form);
}

// A window its own children hide wholly gets no paint when the form appears, only its frame when
// it has one; one they cover only in part, and the children, are painted as before.
TEST_F(UiForms, AWindowHiddenUnderItsChildrenIsNotPaintedWhenTheFormAppears) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  form->SetBounds(0, 0, 200, 150);
  const auto probe = [&](ui::TWinControl* parent, int left, int width, bool border = false) {
    auto* made = ui::Create<WindowProbe>(*form, border);
    made->SetParent(parent);
    made->SetBounds(left, 6, width, 30);
    return made;
  };
  WindowProbe* hidden = probe(form, 5, 40);
  WindowProbe* inside = probe(hidden, 0, 40);
  inside->SetAlign(ui::TAlign::alClient);
  WindowProbe* partly = probe(form, 60, 40);
  WindowProbe* beside = probe(partly, 0, 20);
  WindowProbe* framed = probe(form, 110, 40, true);
  WindowProbe* filling = probe(framed, 0, 20);
  filling->SetAlign(ui::TAlign::alClient);
  form->Show();
  EXPECT_FALSE(GetUpdateRect(hidden->Handle(), nullptr, FALSE));
  const HRGN update = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetUpdateRgn(framed->Handle(), update, FALSE), NULLREGION);  // its frame is left
  DeleteObject(update);
  EXPECT_TRUE(GetUpdateRect(partly->Handle(), nullptr, FALSE));
  Pump();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  for (WindowProbe* covered : {hidden, framed}) {
    EXPECT_EQ(covered->erases, 0);
    EXPECT_EQ(covered->paints, 0);
  }
  EXPECT_EQ(framed->framePaints, 1);
  for (WindowProbe* painted : {inside, partly, beside, filling}) {
    EXPECT_EQ(painted->erases, 1);
    EXPECT_FALSE(GetUpdateRect(painted->Handle(), nullptr, FALSE));
  }
  ui::Free(form);
}

// A control's window leads back to it until it is destroyed; other windows lead to no control.
TEST_F(UiForms, WindowsLeadToTheirControlsWhileTheyExist) {
  auto* form = ui::Create<ui::TForm>(*ui::Application);
  const HWND window = form->Handle();
  EXPECT_EQ(ui::TWinControl::FromHandle(window), form);
  const HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
  EXPECT_EQ(ui::TWinControl::FromHandle(plain), nullptr);
  DestroyWindow(plain);
  ui::Free(form);
  EXPECT_EQ(ui::TWinControl::FromHandle(window), nullptr);
  EXPECT_EQ(ui::TWinControl::FromHandle(nullptr), nullptr);
}

// A window of another process that belongs to a control there (another instance of the program
// beside this one) is no control here.
TEST_F(UiForms, AnotherProcesssWindowIsNoControlHere) {
  if (std::getenv("QB_FOREIGN_FORM")) {
    // The other process: shows a form until it is closed or the time runs out.
    auto* form = ui::Create<ui::TForm>(*ui::Application);
    form->SetCaption(L"ForeignControlForm");
    form->Show();
    for (const DWORD start = GetTickCount();
         IsWindowVisible(form->Handle()) && GetTickCount() - start < 20000; Sleep(10))
      ui::Application->ProcessMessages();
    return;
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) +
                         L"\" --gtest_filter=UiForms.AnotherProcesssWindowIsNoControlHere";
  SetEnvironmentVariableW(L"QB_FOREIGN_FORM", L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableW(L"QB_FOREIGN_FORM", nullptr);
  ASSERT_TRUE(started);
  HWND other = nullptr;
  for (const DWORD start = GetTickCount(); !other && GetTickCount() - start < 15000; Sleep(20))
    other = FindWindowW(nullptr, L"ForeignControlForm");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(ui::TWinControl::FromHandle(other), nullptr);
  PostMessageW(other, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 20000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
