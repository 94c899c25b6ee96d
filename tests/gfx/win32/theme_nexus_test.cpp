// The theme nexus on the real visual-styles library: made on first use after start-up, it opens
// the two theme handles when the system reports themes in use, and a theme change reopens them.
#include <windows.h>
// After windows.h, which it needs.
#include <uxtheme.h>

#include <gtest/gtest.h>

#include "gfx/startup.h"
#include "gfx/themes.h"

namespace gfx {
namespace {

TEST(ThemeNexus, FollowsTheSystemThemeAcrossAThemeChange) {
  Initialize();
  // Made on first use, not at start-up.
  EXPECT_EQ(FindWindowW(L"QuollboxGfxThemeNexus", nullptr), nullptr);
  TVisualStyles* styles = VisualStyles();
  ASSERT_NE(styles, nullptr);
  const bool inUse = IsAppThemed() && IsThemeActive();
  EXPECT_EQ(styles->ThemesEnabled(), inUse);
  EXPECT_EQ(styles->ScrollBarTheme() != 0, inUse);
  EXPECT_EQ(styles->GlobalsTheme() != 0, inUse);
  EXPECT_NE(styles->Entry(teDrawThemeBackground), nullptr);
  const HWND nexus = FindWindowW(L"QuollboxGfxThemeNexus", nullptr);
  ASSERT_NE(nexus, nullptr);
  SendMessageW(nexus, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(styles->ThemesEnabled(), inUse);
  EXPECT_EQ(styles->ScrollBarTheme() != 0, inUse);
  Finalize();
  EXPECT_EQ(VisualStyles(), nullptr);
  EXPECT_EQ(FindWindowW(L"QuollboxGfxThemeNexus", nullptr), nullptr);
}

}  // namespace
}  // namespace gfx
