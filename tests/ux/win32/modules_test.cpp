#include <gtest/gtest.h>

#include "ui/win32/forms.h"
#include "ux/modules.h"
#include "ux/win32/control_hook.h"
#include "ux/win32/cursors.h"

namespace ux::win32 {
namespace {

TEST(Modules, StartUpLoadsTheCursorsAndShutDownFreesTheHookList) {
  ui::TApplication application;
  const HCURSOR arrow = ui::Screen->Cursors(ui::crArrow);
  InitModules();
  EXPECT_NE(ui::Screen->Cursors(crHandPoint), arrow);
  EXPECT_NE(ui::Screen->Cursors(crDragHand), arrow);
  EXPECT_NE(ui::Screen->Cursors(crHandPoint), ui::Screen->Cursors(crDragHand));
  EXPECT_EQ(ExistingHookList(), nullptr);  // made on first use only
  HookList();
  DoneModules();
  EXPECT_EQ(ExistingHookList(), nullptr);
}

}  // namespace
}  // namespace ux::win32
