// Actions: named commands with a caption, a shortcut and state, shared by menus and keys.
//   TAction: Caption, ShortCut, Enabled, Checked, Visible, GroupIndex (checking one action
//   unchecks the others of its list with the same group), AutoCheck, Hint; OnExecute,
//   OnUpdate, OnHint (DoHint: a client's hint passes it and may be vetoed). Execute() runs
//   Update() first and then OnExecute when enabled.
//   TActionList: the actions of a form; IsShortCut(shortcut) executes the matching enabled
//   action; UpdateActions() runs every action's Update (the application does this at idle).
//   TActionClient: an observer (a menu item) told about every change of its action, and told
//   when the action is being freed (ActionFreed: drop the pointer, nothing else). A client
//   that is a component may link with FreeNotification too, and on the action's opRemove only
//   drops its pointer (the action is half destroyed by then).
//   TActionLink: a client's link to its action (items of menus and toolbars): SetAction links
//   (the client's ActionChange runs for each change afterwards), the Is...Linked queries say
//   which client properties follow the action (a derived link compares the client's value),
//   Execute/Update run the action; a freed action unlinks itself (ActionFreed on the client).
#pragma once

#include <functional>
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
  // The action is being freed; the default does nothing.
  virtual void ActionFreed(TAction& /*action*/) {}

 protected:
  ~TActionClient() = default;
};

class TAction : public TComponent {
 public:
  explicit TAction(TComponent* owner) : TComponent(owner) {}
  ~TAction() override;
  void BeforeDestruction() noexcept override;

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
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int helpContext);
  // -1 (any negative value): no image.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int imageIndex);

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
  // The hint hook: may change a hint about to be shown for a client, or veto it (canShow).
  std::function<void(std::wstring& hintStr, bool& canShow)> OnHint;
  // Runs OnHint on `hintStr`; false when the hook vetoed the hint.
  virtual bool DoHint(std::wstring& hintStr);

 private:
  void Changed();
  void ReleaseClients() noexcept;

  std::wstring caption_;
  std::wstring hint_;
  TShortCut shortCut_ = scNone;
  bool enabled_ = true;
  bool checked_ = false;
  bool visible_ = true;
  bool autoCheck_ = false;
  int groupIndex_ = 0;
  int helpContext_ = 0;
  int imageIndex_ = -1;
  TActionList* actionList_ = nullptr;
  std::vector<TActionClient*> clients_;
};

// What a linked client does when its action changes or goes.
class TActionLinkClient {
 public:
  // The action changed; checkDefaults: copy only onto client values still at their defaults.
  virtual void ActionChange(TAction& action, bool checkDefaults) = 0;
  // The action is being freed; the link has already dropped it.
  virtual void ActionFreed() {}

 protected:
  ~TActionLinkClient() = default;
};

class TActionLink : private TActionClient {
 public:
  explicit TActionLink(TActionLinkClient& client) : client_(client) {}
  TActionLink(const TActionLink&) = delete;
  TActionLink& operator=(const TActionLink&) = delete;
  virtual ~TActionLink();

  TAction* Action() const { return action_; }
  // Links (or, with null, unlinks); tells the client nothing: the client's own Action setter
  // calls its ActionChange once, with checkDefaults while it is loading.
  void SetAction(TAction* action);

  // Which client properties follow the action; the defaults: all, while linked.
  virtual bool IsCaptionLinked() const { return action_ != nullptr; }
  virtual bool IsCheckedLinked() const { return action_ != nullptr; }
  virtual bool IsEnabledLinked() const { return action_ != nullptr; }
  virtual bool IsHelpContextLinked() const { return action_ != nullptr; }
  virtual bool IsHintLinked() const { return action_ != nullptr; }
  virtual bool IsImageIndexLinked() const { return action_ != nullptr; }
  virtual bool IsShortCutLinked() const { return action_ != nullptr; }
  virtual bool IsVisibleLinked() const { return action_ != nullptr; }
  virtual bool IsAutoCheckLinked() const { return action_ != nullptr; }
  virtual bool IsGroupIndexLinked() const { return action_ != nullptr; }
  virtual bool IsOnExecuteLinked() const { return action_ != nullptr; }

  // Runs the action (Update, then OnExecute when enabled); false when unlinked or no handler.
  bool Execute();
  bool Update();

 private:
  void ActionChanged(TAction& action) override;
  void ActionFreed(TAction& action) override;

  TActionLinkClient& client_;
  TAction* action_ = nullptr;
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
