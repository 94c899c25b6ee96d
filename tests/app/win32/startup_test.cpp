// The program's own start-up order, as its entry point runs it (the units before the
// application): the settings subsystem's hand and drag cursors are in the cursor table of the
// screen that the application makes afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/startup.h"
#include "ui/win32/forms.h"
#include "ux/win32/cursors.h"

namespace app {
namespace {

TEST(ProgramStartup, TheUnitsCursorsAreInTheScreenTheApplicationMakesAfterThem) {
  ASSERT_EQ(ui::Screen, nullptr);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const HCURSOR hand = LoadCursorW(instance, L"UX_HANDCUR");
  const HCURSOR drag = LoadCursorW(instance, L"UX_DRAGCUR");
  ASSERT_NE(hand, nullptr);
  ASSERT_NE(drag, nullptr);
  StartUnits();
  {
    ui::TApplication application;
    PrepareApplication(application);
    EXPECT_EQ(ui::Screen->Cursors(ux::win32::crHandPoint), hand);
    EXPECT_EQ(ui::Screen->Cursors(ux::win32::crDragHand), drag);
  }
  FinishUnits();
}

}  // namespace
}  // namespace app
