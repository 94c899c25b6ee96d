// Menus as plain Win32 menus.
//   TMenuItem: Caption ("-" is a separator), ShortCut (shown after a tab), Checked, RadioItem
//   (checked items draw a bullet), Enabled, Visible, Default, Tag, OnClick, Action (the
//   action's caption, shortcut and state show through; a click executes it), child items
//   (Add/Insert/Remove/Clear/Count/Items(i)) and OnPopup, which runs just before the item's
//   submenu opens, so the submenu can be filled then. Items are owned by a form (or any
//   component); the tree only links them.
//   TMenu: the root item and the menu handle; TMainMenu for a form's menu bar, TPopupMenu with
//   Popup(x, y) (returns after the chosen item ran) and its own OnPopup; PopupPoint (where the
//   last popup was asked for), Alignment (the point is the menu's left edge, right edge or
//   centre), TrackButton (which button chooses), AutoPopup (shown on WM_CONTEXTMENU of a
//   control that has it as PopupMenu), PopupComponent (that control).
//   IsShortCut(shortcut) clicks the enabled visible item with that shortcut; menus that work
//   differently override it (the application asks a focused control's popup menu).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/actions.h"
#include "ui/component.h"

namespace ui {

class TMenu;

class TMenuItem : public TComponent, private TActionClient {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  std::wstring_view ClassName() const override { return L"TMenuItem"; }
  void Notification(TComponent* component, TOperation operation) override;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool radioItem);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int groupIndex) { groupIndex_ = groupIndex; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  TAction* Action() const { return action_; }
  void SetAction(TAction* action);
  bool IsSeparator() const { return caption_ == L"-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* item) { Insert(Count(), item); }
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  // Frees every child item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;

  // Runs the action, or OnClick.
  virtual void Click();

  // The submenu handle (made on demand) of an item with children or an OnPopup.
  HMENU Handle();
  bool HasSubmenu() const { return !items_.empty() || static_cast<bool>(OnPopup); }
  UINT Command() const { return command_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnPopup;

 protected:
  // Builds a top-level bar (CreateMenu) rather than a popup.
  bool menuBar_ = false;

 private:
  friend class TMenu;
  void ActionChanged(TAction& action) override;
  void Changed();
  // Refills this item's submenu handle from its children.
  void RebuildHandle();
  void FillInfo(MENUITEMINFOW& info, std::wstring& text);
  TMenuItem* FindShortCut(TShortCut shortcut);

  std::wstring caption_;
  TShortCut shortCut_ = scNone;
  bool checked_ = false;
  bool radioItem_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  int groupIndex_ = 0;
  TAction* action_ = nullptr;
  TMenuItem* parent_ = nullptr;
  std::vector<TMenuItem*> items_;
  HMENU handle_ = nullptr;
  UINT command_ = 0;
  TMenu* menu_ = nullptr;  // set on a menu's root item
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner, bool menuBar);
  ~TMenu() override;

  TMenuItem& Items() { return *items_; }
  HMENU Handle() { return items_->Handle(); }
  // The window whose menu bar this is (redrawn after changes).
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }

  virtual bool IsShortCut(TShortCut shortcut);
  // Runs the item with this command; false when it is not one of this menu's.
  bool DispatchCommand(UINT command);
  // A submenu is about to open: its item's OnPopup runs and the submenu is refilled.
  static void PopupOpening(HMENU menu);
  static TMenuItem* FindCommand(UINT command);

 private:
  std::unique_ptr<TMenuItem> items_;
  HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner, true) {}
  std::wstring_view ClassName() const override { return L"TMainMenu"; }
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
enum class TTrackButton { tbRightButton, tbLeftButton };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner, false) {}
  std::wstring_view ClassName() const override { return L"TPopupMenu"; }
  void Notification(TComponent* component, TOperation operation) override;

  // Shows the menu at screen coordinates; the chosen item runs before this returns.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const { return popupComponent_; }
  // A link: cleared when the component goes.
  void SetPopupComponent(TComponent* component);
  POINT PopupPoint() const { return popupPoint_; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment alignment) { alignment_ = alignment; }
  TTrackButton TrackButton() const { return trackButton_; }
  void SetTrackButton(TTrackButton button) { trackButton_ = button; }
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }

  TNotifyEvent OnPopup;

 protected:
  // Popup overrides record the point first.
  void SetPopupPoint(POINT point) { popupPoint_ = point; }

 private:
  TComponent* popupComponent_ = nullptr;
  POINT popupPoint_{0, 0};
  TPopupAlignment alignment_ = TPopupAlignment::paLeft;
  TTrackButton trackButton_ = TTrackButton::tbRightButton;
  bool autoPopup_ = true;
};

}  // namespace ui
