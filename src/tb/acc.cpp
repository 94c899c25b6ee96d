#include "tb/acc.h"

#include "tb/common.h"

namespace tb {

int ViewAccRole(const TTBView& view) {
  if (view.IsPopup()) return kRoleMenuPopup;
  if (view.Style() & vsMenuBar) return kRoleMenuBar;
  return kRoleToolbar;
}

std::wstring ViewAccName(const TTBView& view, const std::wstring& windowText) {
  std::wstring name;
  if (const TTBView* parent = view.ParentView(); parent && parent->OpenViewer()) {
    name = RemoveAccelMarks(parent->OpenViewer()->GetCaptionText());
  }
  return name.empty() ? windowText : name;
}

int AccessibleViewerCount(const TTBView& view) {
  int count = 0;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    if (view.Viewers(i)->IsAccessible()) ++count;
  }
  return count;
}

TTBItemViewer* AccessibleViewer(const TTBView& view, int n) {
  if (n < 1) return nullptr;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    TTBItemViewer* viewer = view.Viewers(i);
    if (viewer->IsAccessible() && --n == 0) return viewer;
  }
  return nullptr;
}

std::wstring ViewerAccName(const TTBItemViewer& viewer) {
  std::wstring name = RemoveAccelMarks(viewer.GetCaptionText());
  if (!viewer.IsToolbarStyle()) {
    const std::wstring shortCut = viewer.Item().GetShortCutText();
    if (!shortCut.empty()) name += L"\t" + shortCut;
  }
  return name;
}

std::uint32_t ViewerAccState(const TTBItemViewer& viewer, bool windowUsable) {
  namespace s = acc_state;
  const TTBView& view = viewer.View();
  const TTBCustomItem& item = viewer.Item();
  std::uint32_t state = 0;
  if (view.Selected() == &viewer) {
    state |= s::HotTracked;
    if (view.State() & vsModal) state |= s::Focused;
    if (view.MouseOverSelected() && view.Capture()) state |= s::Pressed;
  }
  if (item.GetItemStyle() & tbisSubmenu) state |= s::HasPopup;
  if (!viewer.Show() && !viewer.Clipped())
    state |= s::Invisible;
  else if (windowUsable)
    state |= s::Focusable;
  if (!item.Enabled() || !(item.GetItemStyle() & tbisSelectable)) state |= s::Unavailable;
  if (item.Checked()) state |= s::Checked;
  return state;
}

std::optional<std::wstring> ViewerAccKeyboardShortcut(const TTBItemViewer& viewer,
                                                      const std::wstring& altKeyName) {
  if (!viewer.CaptionShown()) return std::nullopt;
  const wchar_t accel = LastAccelChar(viewer.GetCaptionText());
  if (!accel) return std::nullopt;
  const std::wstring key(1, LowerCaseChar(accel));
  return viewer.View().IsPopup() ? key : altKeyName + L"+" + key;
}

bool ViewerAvailable(const TTBItemViewer& viewer, bool windowUsable) {
  const TTBCustomItem& item = viewer.Item();
  return viewer.IsAccessible() && item.Enabled() && (item.GetItemStyle() & tbisSelectable) &&
         windowUsable;
}

std::optional<std::wstring> ViewerAccDefaultAction(const TTBItemViewer& viewer, bool windowUsable) {
  if (!ViewerAvailable(viewer, windowUsable)) return std::nullopt;
  const TTBView& view = viewer.View();
  if (view.OpenViewer() == &viewer) return L"Close";
  if (viewer.Item().GetItemStyle() & tbisSubmenu) return L"Open";
  if (view.IsPopup() || (view.Style() & vsMenuBar)) return L"Execute";
  return L"Press";
}

TTBItemViewer* AccNeighbour(const TTBItemViewer& viewer, bool forward) {
  const TTBView& view = viewer.View();
  const int index = view.IndexOf(&viewer);
  if (index < 0) return nullptr;
  for (int i = index + (forward ? 1 : -1); i >= 0 && i < view.ViewerCount();
       i += forward ? 1 : -1) {
    if (view.Viewers(i)->IsAccessible()) return view.Viewers(i);
  }
  return nullptr;
}

}  // namespace tb
