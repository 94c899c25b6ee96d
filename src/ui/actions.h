// Actions: named commands with a caption, a shortcut and state, shared by menus and keys.
//   TAction: Caption, ShortCut, Enabled, Checked, Visible, GroupIndex (checking one action
//   unchecks the others of its list with the same group), AutoCheck, Hint; OnExecute,
//   OnUpdate. Execute() runs Update() first and then OnExecute when enabled.
//   TActionList: the actions of a form; IsShortCut(shortcut) executes the matching enabled
//   action; UpdateActions() runs every action's Update (the application does this at idle).
//   TActionClient: an observer (a menu item) told about every change of its action. A client
//   that is a component links with FreeNotification too, and on the action's opRemove only
//   drops its pointer (the action is half destroyed by then).
#pragma once

#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/shortcut.h"

namespace ui {

class TAction;
class TActionList;

class TActionClient {
 public:
  virtual void ActionChanged(TAction& action) = 0;

 protected:
  ~TActionClient() = default;
};

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner) : TComponent(owner) {}
  ~TAction() override;

  std::wstring_view ClassName() const override { return L"TAction"; }
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut shortCut);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int groupIndex) { groupIndex_ = groupIndex; }
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool autoCheck) { autoCheck_ = autoCheck; }

  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* list);

  // Runs OnUpdate; returns whether a handler ran.
  bool Update();
  // Update, then OnExecute when enabled; returns whether a handler ran.
  bool Execute();

  void AddClient(TActionClient* client);
  void RemoveClient(TActionClient* client);

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

 private:
  void Changed();

  std::wstring caption_;
  std::wstring hint_;
  TShortCut shortCut_ = scNone;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
  bool autoCheck_ = false;
  int groupIndex_ = 0;
  TActionList* actionList_ = nullptr;
  std::vector<TActionClient*> clients_;
};

class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  std::wstring_view ClassName() const override { return L"TActionList"; }

  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TAction* Actions(int index) const { return actions_.at(static_cast<std::size_t>(index)); }
  // Executes the enabled action with this shortcut; false when none took it.
  bool IsShortCut(TShortCut shortCut);
  void UpdateActions();

 private:
  friend class TAction;
  std::vector<TAction*> actions_;
};

}  // namespace ui
