#include "ui/actions.h"

#include <algorithm>

#include "ui/properties.h"

namespace ui {

// TAction

TAction::~TAction() {
  ReleaseClients();
  SetActionList(nullptr);
}

void TAction::BeforeDestruction() noexcept {
  ReleaseClients();
  TComponent::BeforeDestruction();
}

void TAction::ReleaseClients() noexcept {
  while (!clients_.empty()) {
    TActionClient* client = clients_.back();
    clients_.pop_back();
    client->ActionFreed(*this);
  }
}

void TAction::GetPublishedProps(std::vector<const PropInfo*>& out) const {
  TComponent::GetPublishedProps(out);
  static constexpr PropInfo kProps[] = {
      StringProp<TAction, &TAction::Caption, &TAction::SetCaption>(L"Caption"),
      IntProp<TAction, &TAction::ShortCut, &TAction::SetShortCut>(L"ShortCut"),
      IntProp<TAction, &TAction::GroupIndex, &TAction::SetGroupIndex>(L"GroupIndex"),
  };
  for (const PropInfo& prop : kProps) out.push_back(&prop);
}

void TAction::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void TAction::SetHint(const std::wstring& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  Changed();
}

void TAction::SetShortCut(TShortCut shortCut) {
  if (shortCut == shortCut_) return;
  shortCut_ = shortCut;
  Changed();
}

void TAction::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void TAction::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && groupIndex_ > 0 && actionList_) {
    for (TAction* other : actionList_->actions_) {
      if (other != this && other->groupIndex_ == groupIndex_) other->SetChecked(false);
    }
  }
  Changed();
}

void TAction::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void TAction::SetHelpContext(int helpContext) {
  if (helpContext == helpContext_) return;
  helpContext_ = helpContext;
  Changed();
}

void TAction::SetImageIndex(int imageIndex) {
  if (imageIndex == imageIndex_) return;
  imageIndex_ = imageIndex;
  Changed();
}

void TAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  if (actionList_) std::erase(actionList_->actions_, this);
  actionList_ = list;
  if (list) list->actions_.push_back(this);
}

bool TAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

bool TAction::Execute() {
  Update();
  if (!enabled_) return false;
  if (autoCheck_) SetChecked(!checked_);
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TAction::DoHint(std::wstring& hintStr) {
  bool canShow = true;
  if (OnHint) OnHint(hintStr, canShow);
  return canShow;
}

void TAction::AddClient(TActionClient* client) {
  if (std::find(clients_.begin(), clients_.end(), client) == clients_.end()) {
    clients_.push_back(client);
  }
}

void TAction::RemoveClient(TActionClient* client) {
  std::erase(clients_, client);
}

void TAction::Changed() {
  const std::vector<TActionClient*> clients = clients_;  // a client may unlink itself
  for (TActionClient* client : clients) client->ActionChanged(*this);
}

// TActionLink

TActionLink::~TActionLink() {
  if (action_) action_->RemoveClient(this);
}

void TActionLink::SetAction(TAction* action) {
  if (action == action_) return;
  if (action_) action_->RemoveClient(this);
  action_ = action;
  if (action) action->AddClient(this);
}

bool TActionLink::Execute() {
  return action_ && action_->Execute();
}

bool TActionLink::Update() {
  return action_ && action_->Update();
}

void TActionLink::ActionChanged(TAction& action) {
  client_.ActionChange(action, false);
}

void TActionLink::ActionFreed(TAction&) {
  action_ = nullptr;
  client_.ActionFreed();
}

// TActionList

TActionList::~TActionList() {
  for (TAction* action : std::vector<TAction*>(actions_)) action->SetActionList(nullptr);
}

bool TActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == scNone) return false;
  for (TAction* action : std::vector<TAction*>(actions_)) {
    if (action->ShortCut() == shortCut) return action->Execute();
  }
  return false;
}

void TActionList::UpdateActions() {
  for (TAction* action : std::vector<TAction*>(actions_)) action->Update();
}

}  // namespace ui
