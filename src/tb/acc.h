// What the accessibility objects of views and item viewers answer, apart from COM (the objects
// themselves are win32/acc.h). "Usable" is whether the view's window is visible and enabled
// with all its parents, and modal or the active window (or a child of it): the platform's
// answer, passed in.
//   Views: role 11 (menu popup), 2 (menu bar) or 22 (toolbar); name: the caption of the parent
//   view's open viewer without accelerator marks, else the window's text; the n-th (1-based)
//   accessible viewer.
//   Viewers: name (caption without marks, plus a tab and the shortcut text outside toolbar
//   style); state bits; the keyboard shortcut ("Alt+f" on a menu bar or toolbar, "f" in a
//   popup); the default action ("Close", "Open", "Execute", "Press"); availability; the
//   nearest accessible viewer before or after (navigation).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tb/common.h"
#include "tb/view.h"

namespace tb {

inline constexpr int kRoleMenuPopup = 11, kRoleMenuBar = 2, kRoleToolbar = 22;

namespace acc_state {
inline constexpr std::uint32_t Unavailable = 0x1, Focused = 0x4, Pressed = 0x8, Checked = 0x10,
                               HotTracked = 0x80, Invisible = 0x8000, Focusable = 0x100000,
                               HasPopup = 0x40000000;
}

int ViewAccRole(const TTBView& view);
std::wstring ViewAccName(const TTBView& view, const std::wstring& windowText);
int AccessibleViewerCount(const TTBView& view);
// The n-th accessible viewer (from 1), or null.
TTBItemViewer* AccessibleViewer(const TTBView& view, int n);

std::wstring ViewerAccName(const TTBItemViewer& viewer);
std::uint32_t ViewerAccState(const TTBItemViewer& viewer, bool windowUsable);
// None when the caption shows no accelerator; the accelerator in lower case as the platform
// folds it (LowerCaseChar).
std::optional<std::wstring> ViewerAccKeyboardShortcut(const TTBItemViewer& viewer,
                                                      const std::wstring& altKeyName);
bool ViewerAvailable(const TTBItemViewer& viewer, bool windowUsable);
// None when the viewer is not available.
std::optional<std::wstring> ViewerAccDefaultAction(const TTBItemViewer& viewer, bool windowUsable);
// The nearest accessible viewer before (or after) this one in its view; null when none.
TTBItemViewer* AccNeighbour(const TTBItemViewer& viewer, bool forward);

}  // namespace tb
