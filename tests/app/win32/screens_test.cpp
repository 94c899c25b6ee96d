// The program's windows on screen after each change of their layout or state: the file viewer,
// the picture viewer, the about box and the main window's file list, menu, menu bar and
// minimised state each show what a full repaint of the window draws.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

#include "../../disk/disk_test_support.h"
#include "../../skbar/win32/real_input.h"
#include "../../tb/win32/menu_input.h"
#include "../../ui/win32/screen_check.h"
#include "app/viewer/win32/file_viewer_form.h"
#include "app/viewer/win32/image_view_form.h"
#include "app/win32/about_form.h"
#include "app/win32/menu_kinds.h"
#include "gfx/startup.h"
#include "main_form_fixture.h"
#include "rtl/stream.h"

namespace app::test {
namespace {

using disk_test::WriteFile;
using skbar_test::Script;

// A change and what it is called in a failed check.
struct Change {
  const char* name;
  std::function<void()> make;
};

class ScreensTest : public MainFormTest {
 protected:
  ScreensTest() { gfx::Initialize(); }

  static void ExpectEachLeavesTheScreen(HWND window, const std::vector<Change>& changes) {
    for (const auto& [name, make] : changes) {
      make();
      Pump();
      EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(window)) << "after " << name;
    }
  }
  // The usual resize, maximise and restore of a top-level window.
  static std::vector<Change> Placements(HWND window, SIZE size) {
    return {
        {"resized",
         [=] { SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER); }},
        {"maximised", [=] { ShowWindow(window, SW_MAXIMIZE); }},
        {"restored", [=] { ShowWindow(window, SW_RESTORE); }}};
  }
};

// "10 PRINT "HI"" as SAVE writes it.
const std::vector<std::uint8_t> kBasicProgram = {0xFF, 0x0C, 0x80, 0x0A, 0x00, 0x91, 0x20,
                                                 0x22, 0x48, 0x49, 0x22, 0x00, 0x00, 0x00};

// A viewer opened on text, as a hex dump and on a BASIC program, then resized, maximised,
// restored and shown in other modes.
TEST_F(ScreensTest, TheFileViewerAfterOpeningResizingAndAModeChange) {
  std::vector<std::uint8_t> text;
  for (int line = 0; line < 80; ++line)
    for (const char c : "A line of the text file, long enough to be cut by the window.\r\n")
      if (c) text.push_back(static_cast<std::uint8_t>(c));
  const struct {
    const char* kind;
    const std::vector<std::uint8_t>* bytes;
    TViewerMode mode;
  } opened[] = {{"text", &text, TViewerMode::vmText},
                {"hex dump", &text, TViewerMode::vmHex},
                {"BASIC listing", &kBasicProgram, TViewerMode::vmAuto}};
  TFileViewerForm* viewer = nullptr;
  for (const auto& o : opened) {
    rtl::TMemoryStream stream(*o.bytes);
    if (viewer) viewer->Close();
    viewer = TFileViewerForm::ViewStream(stream, L"A.TXT", 100, o.mode);
    Pump();
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(viewer->Handle())) << "after " << o.kind;
  }
  std::vector<Change> changes = Placements(viewer->Handle(), {420, 300});
  for (const TViewerMode mode : {TViewerMode::vmHex, TViewerMode::vmText})
    changes.push_back({mode == TViewerMode::vmHex ? "shown as hex dump" : "shown as text", [=] {
                         rtl::TMemoryStream stream(text);
                         viewer->ShowContents(stream, mode);
                       }});
  ExpectEachLeavesTheScreen(viewer->Handle(), changes);
  EXPECT_TRUE(errors.empty());
}

// A picture opened, its window made smaller (with the scroll bars) and larger than the picture,
// maximised, restored, and the picture zoomed.
TEST_F(ScreensTest, ThePictureViewerAfterOpeningResizingAndZooming) {
  std::vector<std::uint8_t> sc8(7 + 256 * 212);
  sc8[0] = 0xFE;
  for (std::size_t i = 7; i < sc8.size(); ++i) sc8[i] = static_cast<std::uint8_t>(i * 7);
  rtl::TMemoryStream stream(sc8);
  TfrmImageView& viewer = *TfrmImageView::ViewFile(L"PIC.SC8", stream);
  const HWND window = viewer.Handle();
  gfx::TCustomImgView32& view = viewer.ImageView().View();
  const auto scale = [&view](float s) { return [&view, s] { view.SetScale(s); }; };
  ExpectEachLeavesTheScreen(
      window, {{"opened", [] {}},
               {"made smaller than the picture",
                [&] {
                  viewer.SetClientSize(300, 200);
                  Pump();
                  EXPECT_TRUE(IsWindowVisible(viewer.ImageView().HScroll().Handle()));
                }},
               {"made larger than the picture", [&] { viewer.SetClientSize(700, 560); }},
               {"maximised", [=] { ShowWindow(window, SW_MAXIMIZE); }},
               {"restored", [=] { ShowWindow(window, SW_RESTORE); }},
               {"zoomed out to scale 1", scale(1.0f)},
               {"zoomed in to scale 3", scale(3.0f)}});
  EXPECT_TRUE(errors.empty());
}

// The about box is modal: it is checked from a timer inside its loop, then closed.
struct AboutCheck {
  static inline ::testing::AssertionResult result = ::testing::AssertionFailure() << "not shown";
  static inline int ticks = 0;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    TAboutForm* box = nullptr;
    for (int i = 0; i < ui::Screen->FormCount() && !box; ++i)
      box = dynamic_cast<TAboutForm*>(ui::Screen->Forms(i));
    const bool shown = box && box->HandleAllocated() && IsWindowVisible(box->Handle());
    if (!shown && ++ticks < 250) return;
    KillTimer(nullptr, timer);
    if (shown) result = ui_test::ScreenEqualsFullRepaint(box->Handle());
    if (box) box->SetModalResult(ui::mrCancel);
  }
};

TEST_F(ScreensTest, TheAboutBoxOpened) {
  Start();
  AboutCheck::result = ::testing::AssertionFailure() << "not shown";
  AboutCheck::ticks = 0;
  SetTimer(nullptr, 0, 10, AboutCheck::Tick);
  ChooseAction(L"acHelpAbout");  // returns when the modal box closes
  EXPECT_TRUE(AboutCheck::result) << "after the about box opened";
  EXPECT_TRUE(errors.empty());
}

// The main window: an image with files opened, a directory entered and left, the list sorted by
// clicks on its header, the File menu opened and closed by keys, the menu bar floated and
// docked by the mouse and wrapped by a narrow window, and the window minimised and restored.
TEST_F(ScreensTest, TheMainWindowAfterListChangesAMenuTheMenuBarAndMinimising) {
  WriteFile(Folder() / L"readme.txt", disk_test::Pattern(300));
  WriteFile(Folder() / L"game.bas", disk_test::Pattern(2000));
  WriteFile(Folder() / L"data.bin", disk_test::Pattern(9000));
  const std::filesystem::path image = Folder() / L"files.dsk";
  // An image with files and a directory, saved, then a new empty one in its place.
  Start();
  dialogs.addAnswers = {{Folder() / L"readme.txt", Folder() / L"game.bas", Folder() / L"data.bin"}};
  ChooseAction(L"acAddFiles");
  PostMessageW(List(), WM_KEYDOWN, VK_F7, 1);
  Pump();
  const HWND editor = ListView_GetEditControl(List());
  ASSERT_NE(editor, nullptr);
  SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"games"));
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  dialogs.saveAnswers = {image};
  ChooseAction(L"acSaveDiskImage");
  ChooseAction(L"acNewDiskImage");
  ASSERT_TRUE(Names().empty());
  SetForegroundWindow(form->Handle());
  Pump();

  const HWND main = form->Handle();
  const auto press = [this](WORD key, const wchar_t* firstName) {
    return [=, this] {
      PostMessageW(List(), WM_KEYDOWN, key, 1);
      Pump();
      EXPECT_EQ(Names().front(), firstName);
    };
  };
  const auto clickHeader = [this](int column) {
    return [=, this] {
      const HWND header = ListView_GetHeader(List());
      RECT r{};
      Header_GetItemRect(header, column, &r);
      POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ClientToScreen(header, &at);
      EXPECT_TRUE(Script::Play(Script::Clicks(at, 1)));
      EXPECT_TRUE(Script::Play({{0, {at.x, at.y + 200}}}));
      Sleep(GetDoubleClickTime());
    };
  };
  // The menu bar dragged by its handle with the mouse, as a user floats and docks it.
  auto& menuBar = Part<menus::TMenuBar>(L"MainMenu");
  RECT bar{};
  GetWindowRect(menuBar.Handle(), &bar);
  const POINT handle{bar.left + 3, (bar.top + bar.bottom) / 2};
  const auto drag = [](POINT from, POINT to) {
    EXPECT_TRUE(Script::Play({{0, from},
                              {MOUSEEVENTF_LEFTDOWN, from},
                              {0, {from.x + 5, from.y + 5}},
                              {0, {(from.x + to.x) / 2, (from.y + to.y) / 2}},
                              {0, to},
                              {MOUSEEVENTF_LEFTUP, to}}));
  };
  ExpectEachLeavesTheScreen(
      main, {{"an image with files opened",
              [&] {
                dialogs.openAnswers = {image};
                boxAnswer = IDNO;  // the new image is not kept
                ChooseAction(L"acOpenDiskImage");
                EXPECT_EQ(Names().size(), 4u);
              }},
             {"a directory entered",
              [&] {
                Select({L"GAMES"});
                press(VK_RETURN, L"..")();
              }},
             {"the directory left", press(VK_BACK, L"README")},
             {"the list sorted by size", clickHeader(2)},
             {"the list sorted by name", clickHeader(0)},
             {"the File menu opened by Alt+F and closed by Escape",
              [&] {
                tb::TTBPopupWindow* popup = nullptr;
                EXPECT_TRUE(tb::testing::RunScript([] { PressKey('F', VK_MENU); },
                                                   {{300,
                                                     [&] {
                                                       EnumThreadWindows(
                                                           GetCurrentThreadId(), FindPopup,
                                                           reinterpret_cast<LPARAM>(&popup));
                                                     }},
                                                    {350, [] { PressKey(VK_ESCAPE); }},
                                                    {400, [] { PressKey(VK_ESCAPE); }}},
                                                   [] { ui::Application->ProcessMessages(); }));
                EXPECT_NE(popup, nullptr) << "the File menu did not open";
              }},
             {"the menu bar dragged off its dock",
              [&] {
                drag(handle, {handle.x + 300, handle.y + 300});
                ASSERT_TRUE(menuBar.Floating());
                EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(menuBar.FloatParent()->Handle()))
                    << "the floating menu bar";
              }},
             {"the menu bar dragged back onto its dock",
              [&] {
                RECT floating{};
                GetWindowRect(menuBar.FloatParent()->Handle(), &floating);
                POINT top{0, 0};
                ClientToScreen(main, &top);
                drag({floating.left + 30, floating.top + 6}, {top.x + 40, top.y + 2});
                ASSERT_TRUE(menuBar.Docked());
              }},
             {"the window made so narrow that the menu bar wraps",
              [=] { SetWindowPos(main, nullptr, 0, 0, 260, 400, SWP_NOMOVE | SWP_NOZORDER); }},
             {"the window made wide again",
              [=] { SetWindowPos(main, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER); }},
             {"the window minimised and restored", [=] {
                ShowWindow(main, SW_MINIMIZE);
                Pump();
                ShowWindow(main, SW_RESTORE);
              }}});
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace app::test
