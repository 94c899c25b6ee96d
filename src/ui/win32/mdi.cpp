#include "ui/win32/mdi.h"

#include <cwchar>

namespace ui {

HWND MDIClientOf(TCustomForm& form) {
  if (form.FormStyle() != TFormStyle::fsMDIForm || !form.HandleAllocated()) return nullptr;
  // Only the form's own children: an MDI client further down belongs to another window.
  for (HWND w = GetWindow(form.Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    wchar_t name[16] = {};
    GetClassNameW(w, name, 16);
    if (_wcsicmp(name, L"MDICLIENT") == 0) return w;
  }
  return nullptr;
}

std::vector<TCustomForm*> MDIChildrenOf(TCustomForm& form) {
  std::vector<TCustomForm*> children;
  const HWND client = MDIClientOf(form);
  if (!client || !Screen) return children;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* child = Screen->Forms(i);
    if (child->FormStyle() == TFormStyle::fsMDIChild && child->HandleAllocated() &&
        GetParent(child->Handle()) == client)
      children.push_back(child);
  }
  return children;
}

}  // namespace ui
