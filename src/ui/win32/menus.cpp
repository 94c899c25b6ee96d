#include "ui/win32/menus.h"

#include <algorithm>
#include <map>

#include "ui/win32/forms.h"

namespace ui {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> commands;
  return commands;
}

std::map<HMENU, TMenuItem*>& Submenus() {
  static std::map<HMENU, TMenuItem*> submenus;
  return submenus;
}

UINT AllocateCommand(TMenuItem* item) {
  static UINT next = 0x100;
  auto& commands = Commands();
  while (commands.count(next)) next = next >= 0xEFFF ? 0x100 : next + 1;
  commands[next] = item;
  return next++;
}

}  // namespace

// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
  if (action_) action_->RemoveClient(this);
  if (parent_) parent_->Remove(this);
  for (TMenuItem* item : items_) item->parent_ = nullptr;
  items_.clear();
  if (handle_) {
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    Submenus().erase(handle_);
    DestroyMenu(handle_);
  }
  Commands().erase(command_);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == action_) action_ = nullptr;
  TComponent::Notification(component, operation);
}

void TMenuItem::SetCaption(const std::wstring& caption) {
  caption_ = caption;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  shortCut_ = shortCut;
  Changed();
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (checked && radioItem_ && parent_) {
    for (TMenuItem* sibling : parent_->items_) {
      if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) {
        sibling->checked_ = false;
      }
    }
    parent_->RebuildHandle();
  }
  Changed();
}

void TMenuItem::SetRadioItem(bool radioItem) {
  radioItem_ = radioItem;
  Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}

void TMenuItem::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
  default_ = isDefault;
  Changed();
}

void TMenuItem::SetAction(TAction* action) {
  if (action == action_) return;
  if (action_) {
    action_->RemoveClient(this);
    action_->RemoveFreeNotification(this);
  }
  action_ = action;
  if (action) {
    action->AddClient(this);
    action->FreeNotification(this);
    ActionChanged(*action);
  }
}

void TMenuItem::ActionChanged(TAction& action) {
  caption_ = action.Caption();
  shortCut_ = action.ShortCut();
  enabled_ = action.Enabled();
  checked_ = action.Checked();
  visible_ = action.Visible();
  Changed();
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  // The parent's menu is rebuilt only when this item gains its submenu: a submenu filled as it
  // opens must not rebuild its shown parent, whose items would lose the places the system
  // measured for them (the submenu would then open over the parent's corner).
  const bool hadSubmenu = HasSubmenu();
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  RebuildHandle();
  if (HasSubmenu() != hadSubmenu) Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  if (std::find(items_.begin(), items_.end(), item) == items_.end()) return;
  const bool hadSubmenu = HasSubmenu();
  std::erase(items_, item);
  item->parent_ = nullptr;
  RebuildHandle();
  if (HasSubmenu() != hadSubmenu) Changed();
}

void TMenuItem::Clear() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    if (item->Owner()) {
      Free(item);  // leaves this list in its destructor
    } else {
      Remove(item);
    }
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TMenuItem::Click() {
  if (action_) {
    action_->Execute();
  } else if (OnClick) {
    OnClick(this);
  }
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    handle_ = menuBar_ ? CreateMenu() : CreatePopupMenu();
    Submenus()[handle_] = this;
    RebuildHandle();
  }
  return handle_;
}

void TMenuItem::FillInfo(MENUITEMINFOW& info, std::wstring& text) {
  info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  info.wID = command_;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  if (IsSeparator()) {
    info.fType = MFT_SEPARATOR;
    return;
  }
  info.fMask |= MIIM_STRING;
  info.fType = MFT_STRING | (radioItem_ ? MFT_RADIOCHECK : 0);
  info.fState = (enabled_ ? MFS_ENABLED : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0) |
                (default_ ? MFS_DEFAULT : 0);
  text = caption_;
  if (shortCut_ != scNone) text += L"\t" + ShortCutToText(shortCut_);
  info.dwTypeData = text.data();
  info.hSubMenu = HasSubmenu() ? Handle() : nullptr;
}

void TMenuItem::RebuildHandle() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  UINT position = 0;
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    MENUITEMINFOW info;
    std::wstring text;
    item->FillInfo(info, text);
    InsertMenuItemW(handle_, position++, TRUE, &info);
  }
  if (menu_ && menuBar_ && menu_->Window()) DrawMenuBar(menu_->Window());
}

void TMenuItem::Changed() {
  if (parent_) parent_->RebuildHandle();
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortcut) {
  for (TMenuItem* item : items_) {
    if (!item->visible_ || !item->enabled_) continue;
    if (item->shortCut_ == shortcut) return item;
    if (TMenuItem* found = item->FindShortCut(shortcut)) return found;
  }
  return nullptr;
}

// TMenu

TMenu::TMenu(TComponent* owner, bool menuBar)
    : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menuBar_ = menuBar;
  items_->menu_ = this;
}

TMenu::~TMenu() {
  if (window_ && IsWindow(window_) && items_->handle_ && GetMenu(window_) == items_->handle_) {
    ::SetMenu(window_, nullptr);
  }
}

bool TMenu::IsShortCut(TShortCut shortcut) {
  if (shortcut == scNone) return false;
  TMenuItem* item = items_->FindShortCut(shortcut);
  if (!item) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindCommand(UINT command) {
  const auto found = Commands().find(command);
  return found == Commands().end() ? nullptr : found->second;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindCommand(command);
  TMenuItem* root = item;
  while (root && root->parent_) root = root->parent_;
  if (!item || root != items_.get()) return false;
  if (item->enabled_) item->Click();
  return true;
}

void TMenu::PopupOpening(HMENU menu) {
  const auto found = Submenus().find(menu);
  if (found == Submenus().end()) return;
  TMenuItem* item = found->second;
  if (item->OnPopup) item->OnPopup(item);
  for (TMenuItem* child : std::vector<TMenuItem*>(item->items_)) {
    if (child->action_) child->action_->Update();
  }
  item->RebuildHandle();
}

// TPopupMenu

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
  TMenu::Notification(component, operation);
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (component == popupComponent_) return;
  if (popupComponent_) popupComponent_->RemoveFreeNotification(this);
  popupComponent_ = component;
  if (component) component->FreeNotification(this);
}

void TPopupMenu::Popup(int x, int y) {
  popupPoint_ = {x, y};
  if (OnPopup) OnPopup(this);
  const HMENU menu = Handle();
  const HWND owner = Application ? Application->Handle() : nullptr;
  constexpr UINT kAlign[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
  const UINT flags = TPM_RETURNCMD | TPM_TOPALIGN | kAlign[static_cast<int>(alignment_)] |
                     (trackButton_ == TTrackButton::tbRightButton ? TPM_RIGHTBUTTON : 0);
  const auto command = static_cast<UINT>(TrackPopupMenuEx(menu, flags, x, y, owner, nullptr));
  if (command) DispatchCommand(command);
}

}  // namespace ui
