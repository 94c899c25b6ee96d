// Tab navigation through a window's controls, as the platform's dialogs move the focus.
#include <algorithm>

#include "ui/win32/controls.h"

namespace ui {

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const std::vector<TWinControl*>& list = parent_->tabList_;
  const auto at = std::find(list.begin(), list.end(), this);
  return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  std::vector<TWinControl*>& list = parent_->tabList_;
  std::erase(list, this);
  const auto last = static_cast<int>(list.size());
  list.insert(list.begin() + (order < 0 || order > last ? last : order), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* child : tabList_) {
    list.push_back(child);
    child->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  const auto count = static_cast<int>(list.size());
  if (count == 0) return nullptr;
  const auto at = std::find(list.begin(), list.end(), current);
  // Without a current control the walk starts at the first (or last) one.
  int i = at != list.end() ? static_cast<int>(at - list.begin()) : goForward ? count - 1 : 0;
  for (int step = 0; step < count; ++step) {
    i = (i + (goForward ? 1 : count - 1)) % count;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c != current && c->CanFocus() && (!checkTabStop || c->TabStop()) &&
        (!checkParent || c->Parent() == this))
      return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false))
    next->SetFocus();
}

}  // namespace ui
