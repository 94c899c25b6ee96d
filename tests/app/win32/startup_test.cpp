// The program's own start-up order, as its entry point runs it (the units before the
// application): the settings subsystem's hand and drag cursors are in the cursor table of the
// screen that the application makes afterwards; libraries few commands use wait until needed.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/win32/startup.h"
#include "hfe/host_services.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_theme.h"
#include "skbar/win32/startup.h"
#include "ui/win32/forms.h"
#include "ux/win32/cursors.h"
#include "ux/win32/rich_edit.h"

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

// The skins unit's start-up makes the manager with the built-in skins, the shared 8 x 8 bitmap
// and binds its platform entries; the shut-down frees them, and a later start-up makes them again.
TEST(ProgramStartup, TheSkinsUnitLivesFromStartUpToShutDown) {
  for (int round = 0; round < 2; ++round) {
    StartUnits();
    ASSERT_NE(skbar::SkBarSkinManager(), nullptr);
    EXPECT_EQ(skbar::SkBarSkinManager()->SkinsList().Count(), 12);
    BITMAP shared{};
    ASSERT_EQ(GetObjectW(skbar::SkSharedBitmap(), sizeof shared, &shared), int{sizeof shared});
    EXPECT_EQ(shared.bmWidth, 8);
    EXPECT_EQ(shared.bmHeight, 8);
    EXPECT_NE(skbar::SkPrintWindowProc(), nullptr);
    EXPECT_NE(skbar::SkGradientFillProc(), nullptr);
    FinishUnits();
    EXPECT_EQ(skbar::SkBarSkinManager(), nullptr);
    EXPECT_EQ(skbar::SkSharedBitmap(), nullptr);
  }
}

// The track image bridge's list of live library blocks lives from the start-up to the shut-down,
// which frees the list, not the blocks it still names.
TEST(ProgramStartup, TheTrackLibrarysBlockListLivesFromStartUpToShutDown) {
  StartUnits();
  const hfe::THostServices& host = hfe::HostServices();
  void* block = host.allocate(16);
  EXPECT_EQ(hfe::LiveBlocks(), std::vector<void*>{block});
  FinishUnits();
  EXPECT_EQ(hfe::LiveBlockCount(), 0u);
  host.release(block);
}

// The hint window the application shows is the bitmap hint, which shows the pictures that skinned
// toolbars and popups hand over.
TEST(ProgramStartup, TheApplicationsHintWindowIsTheBitmapHint) {
  StartUnits();
  {
    ui::TApplication application;
    PrepareApplication(application);
    const ui::Owned<ui::TForm> form = ui::New<ui::TForm>();
    form->SetHint(L"Tip");
    form->SetShowHint(true);
    application.HintMouseMessage(form.get(), {WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0});
    application.ActivateHint({5, 5});
    ASSERT_NE(application.HintWindow(), nullptr);
    EXPECT_NE(dynamic_cast<skbar::TBitmapHint*>(application.HintWindow()), nullptr);
    application.CancelHint();
  }
  FinishUnits();
}

// Libraries that only some commands need are not loaded at start-up: the rich-edit library when
// its version is first asked (as making a rich-edit window does), the OLE dialogs, the multimedia
// and the automation libraries when a dialog, a menu sound or an accessibility client needs them.
TEST(ProgramStartup, LibrariesThatOnlySomeCommandsUseWaitUntilTheyAreNeeded) {
  StartUnits();
  for (const wchar_t* library : {L"RICHED20.DLL", L"oledlg.dll", L"winmm.dll", L"oleaut32.dll"})
    EXPECT_EQ(GetModuleHandleW(library), nullptr) << library;
  EXPECT_NE(ux::RichEditClipboardFormats().richText, 0u);
  EXPECT_EQ(ux::RichEditVersion(), 3);
  EXPECT_NE(GetModuleHandleW(L"RICHED20.DLL"), nullptr);
  FinishUnits();
  EXPECT_EQ(GetModuleHandleW(L"RICHED20.DLL"), nullptr);
}

}  // namespace
}  // namespace app
