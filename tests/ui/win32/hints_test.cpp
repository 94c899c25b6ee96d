// The application's hints under Wine with real mouse and keyboard input: the hint shows after the
// hint pause in the hint font, and goes when the mouse leaves, on a click, on a key and after the
// hide pause, leaving the window under it as a full repaint draws it; the application's hint text
// is the long part of the hint under the mouse.
#include <windows.h>

#include <functional>

#include "gui_fixture.h"
#include "screen_check.h"
#include "status_font_scope.h"

namespace {

void Click() {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

void PressKey(WORD key) {
  INPUT inputs[2]{};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof inputs[0]);
}

void MoveMouseTo(ui::TWinControl& control, int x, int y) {
  POINT at{x, y};
  ClientToScreen(control.Handle(), &at);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &input, sizeof input);
}

class UiHints : public UiGuiTest {
 protected:
  UiHints() {
    form = ui::Create<ui::TForm>(*ui::Application);
    form->SetBounds(100, 100, 300, 200);
    tip = ui::Create<ui::TCustomControl>(*form);
    tip->SetBounds(10, 10, 100, 60);
    tip->SetParent(form);
    tip->SetHint(L"Open|Opens a disk image");
    tip->SetShowHint(true);
    plain = ui::Create<ui::TCustomControl>(*form);
    plain->SetBounds(150, 10, 100, 60);
    plain->SetParent(form);
    form->FinishLoading();
    form->Show();
    SetForegroundWindow(form->Handle());
    ui::Application->SetHintPause(300);
    ui::Application->SetHintHidePause(800);
    MoveMouseTo(*plain, 50, 30);
    Pump();
  }
  ~UiHints() override { SetCursorPos(1, 1); }

  static bool Shown() {
    ui::THintWindow* window = ui::Application->HintWindow();
    return window && IsWindowVisible(window->Handle());
  }
  // Pumps until `done` holds, for at most `limit` ms; the time it took, or -1.
  static int PumpUntil(const std::function<bool()>& done, DWORD limit = 3000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limit) {
      Pump();
      if (done()) return static_cast<int>(GetTickCount() - start);
      Sleep(5);
    }
    return -1;
  }

  ui::TForm* form = nullptr;
  ui::TCustomControl* tip = nullptr;
  ui::TCustomControl* plain = nullptr;
};

// Each way of taking a shown hint away, after the mouse rested on the control for the pause.
TEST_F(UiHints, AHintShowsAfterThePauseAndGoesOnLeaveClickKeyAndTheHidePause) {
  struct Case {
    const char* name;
    std::function<void()> action;  // none: the hide pause ends the hint
  };
  const Case cases[] = {
      {"the mouse leaves", [&] { MoveMouseTo(*plain, 50, 30); }},
      {"a click", Click},
      {"a key", [] { PressKey(VK_SHIFT); }},
      {"the hide pause", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MoveMouseTo(*plain, 50, 30);
    Pump();
    ASSERT_FALSE(Shown());
    MoveMouseTo(*tip, 20 + 10 * static_cast<int>(&c - cases), 20);
    const int shownAfter = PumpUntil(Shown);
    EXPECT_GE(shownAfter, 250);  // the pause, less a timer tick
    ASSERT_GE(shownAfter, 0);
    EXPECT_EQ(ui::Application->HintWindow()->Caption(), L"Open");
    EXPECT_EQ(ui::Application->HintControl(), tip);
    if (c.action) {
      c.action();
      EXPECT_GE(PumpUntil([] { return !Shown(); }, 300), 0);
    } else {
      const int hiddenAfter = PumpUntil([] { return !Shown(); });
      EXPECT_GE(hiddenAfter, 700);
      EXPECT_LT(hiddenAfter, 2000);
    }
    // The form under the hint shows again as a full repaint draws it.
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle()));
  }
}

// Idle time makes the long part of the hint under the mouse the application's hint.
TEST_F(UiHints, TheApplicationsHintIsTheLongPartUnderTheMouse) {
  int changes = 0;
  ui::Application->OnHint = [&](ui::TComponent*) { ++changes; };
  MoveMouseTo(*tip, 20, 20);
  Pump();
  ui::Application->Idle();
  EXPECT_EQ(ui::Application->Hint(), L"Opens a disk image");
  MoveMouseTo(*plain, 20, 20);
  Pump();
  ui::Application->Idle();
  EXPECT_EQ(ui::Application->Hint(), L"");
  EXPECT_EQ(changes, 2);
}

// The hint window writes in the system's hint font (its status font) in the hint text colour.
TEST_F(UiHints, TheHintWindowTakesTheHintFont) {
  StatusFontScope big(L"Liberation Mono", -24);
  MoveMouseTo(*tip, 20, 20);
  ASSERT_GE(PumpUntil(Shown), 0);
  ui::TFont& font = ui::Application->HintWindow()->Font();
  EXPECT_EQ(font.Name(), L"Liberation Mono");
  EXPECT_EQ(font.Height(), -24);
  EXPECT_EQ(font.Color(), ui::clInfoText);
  RECT r{};
  GetClientRect(ui::Application->HintWindow()->Handle(), &r);
  EXPECT_GE(r.bottom, 24);
}

}  // namespace
