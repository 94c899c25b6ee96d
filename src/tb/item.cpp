#include "tb/item.h"

#include <algorithm>

#include "tb/published.h"
#include "tb/viewer.h"
#include "ui/boolean_prop.h"
#include "ui/text.h"

namespace tb {

namespace {

TTBPopupFactory gPopupFactory = nullptr;
TTBPopupMenuLoop gPopupMenuLoop = nullptr;

// Notifications are relayed through embedded groups and linking items at most this deep.
constexpr int kMaxRelayDepth = 11;
// Linked sub-items are followed at most this deep when searching a shortcut.
constexpr int kMaxLinkDepth = 25;
// The narrowed shortcut search restarts from the root at most this often.
constexpr int kMaxShortCutPasses = 25;

TTBItemOptions FixOptions(TTBItemOptions options) {
  if (!(options & tboToolbarStyle)) options &= ~tboToolbarSize;
  return options;
}

}  // namespace

void SetPopupFactory(TTBPopupFactory factory) {
  gPopupFactory = factory;
}

TTBPopupFactory PopupFactory() {
  return gPopupFactory;
}

void SetPopupMenuLoop(TTBPopupMenuLoop loop) {
  gPopupMenuLoop = loop;
}

TTBPopupMenuLoop PopupMenuLoop() {
  return gPopupMenuLoop;
}

// --- life

TTBCustomItem::TTBCustomItem(ui::TComponent* owner) : ui::TComponent(owner) {
  AddLiveDeferredUser();
}

TTBCustomItem::~TTBCustomItem() {
  Detach();
  ReleaseLiveDeferredUser();
}

void TTBCustomItem::BeforeDestruction() noexcept {
  Detach();
  ui::TComponent::BeforeDestruction();
}

// Leaves every list while the whole object still exists; runs once.
void TTBCustomItem::Detach() noexcept {
  if (detached_) return;
  detached_ = true;
  WithdrawDeferredClicks(this);
  while (!items_.empty()) ui::Free(items_.back());  // each removes itself from items_
  try {
    if (parent_) parent_->Remove(this);
  } catch (...) {  // a view's handler failed; the item leaves the list all the same
    if (parent_) std::erase(parent_->items_, this);
    parent_ = nullptr;
  }
  SetLinkSubitems(nullptr);
  for (TTBCustomItem* linker : std::vector<TTBCustomItem*>(linkParents_)) {
    try {
      linker->SetLinkSubitems(nullptr);
    } catch (...) {  // as above
      linker->linkSubitems_ = nullptr;
    }
  }
  linkParents_.clear();
  actionLink_.reset();
  imagesLink_.reset();
  subMenuImagesLink_.reset();
}

void TTBCustomItem::Loaded() {
  ui::TComponent::Loaded();
  if (ui::TAction* action = Action()) ActionChange(*action, true);
}

void TTBCustomItem::Notification(ui::TComponent* component, ui::TOperation operation) {
  ui::TComponent::Notification(component, operation);
  if (operation != ui::TOperation::opRemove) return;
  for (auto it = linkParents_.begin(); it != linkParents_.end();) {
    if (static_cast<ui::TComponent*>(*it) == component)
      it = linkParents_.erase(it);
    else
      ++it;
  }
  if (component == images_) {
    images_ = nullptr;
    imagesLink_.reset();
    Change(true);
  }
  if (component == subMenuImages_) {
    subMenuImages_ = nullptr;
    subMenuImagesLink_.reset();
    Notify(TTBItemChangedAction::tbicSubMenuImagesChanged, -1, nullptr);
  }
  if (linkSubitems_ && static_cast<ui::TComponent*>(linkSubitems_) == component) {
    linkSubitems_ = nullptr;
    Notify(TTBItemChangedAction::tbicSubitemsChanged, -1, nullptr);
  }
}

void TTBCustomItem::SetName(const std::wstring& name) {
  ui::TComponent::SetName(name);
  if (parent_) parent_->Notify(TTBItemChangedAction::tbicNameChanged, -1, this);
}

// --- list

void TTBCustomItem::IndexError() {
  throw ETBItemError(TBTextUtf8(STBToolbarIndexOutOfBounds));
}

TTBCustomItem* TTBCustomItem::Items(int index) const {
  if (index < 0 || index >= Count()) IndexError();
  return items_[static_cast<std::size_t>(index)];
}

void TTBCustomItem::Insert(int newIndex, TTBCustomItem* item) {
  if (item->parent_) throw ETBItemError(TBTextUtf8(STBToolbarItemReinserted));
  if (newIndex < 0 || newIndex > Count()) IndexError();
  items_.insert(items_.begin() + newIndex, item);
  item->parent_ = this;
  ViewBeginUpdate();
  Notify(TTBItemChangedAction::tbicInserted, newIndex, item);
  item->RecalcOptions();
  ViewEndUpdate();
}

void TTBCustomItem::Delete(int index) {
  TTBCustomItem* item = Items(index);
  Notify(TTBItemChangedAction::tbicDeleting, index, item);
  item->parent_ = nullptr;
  std::erase(items_, item);
}

void TTBCustomItem::Remove(TTBCustomItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
}

int TTBCustomItem::IndexOf(const TTBCustomItem* item) const {
  const auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

bool TTBCustomItem::ContainsItem(const TTBCustomItem* item) const {
  for (; item; item = item->parent_)
    if (item == this) return true;
  return false;
}

void TTBCustomItem::Clear() {
  while (!items_.empty()) ui::Free(items_.back());
}

void TTBCustomItem::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (newIndex < 0 || newIndex >= Count()) IndexError();
  TTBCustomItem* item = Items(curIndex);
  ViewBeginUpdate();
  Delete(curIndex);
  Insert(newIndex, item);
  ViewEndUpdate();
}

void TTBCustomItem::ViewBeginUpdate() {
  Notify(TTBItemChangedAction::tbicSubitemsBeginUpdate, -1, nullptr);
}

void TTBCustomItem::ViewEndUpdate() {
  Notify(TTBItemChangedAction::tbicSubitemsEndUpdate, -1, nullptr);
}

ui::TComponent* TTBCustomItem::GetParentComponent() const {
  if (parent_ && parent_->parentComponent_) return parent_->parentComponent_;
  return parent_;
}

void TTBCustomItem::GetChildren(const TGetChildProc& proc) const {
  for (int i = 0; i < Count(); ++i) proc(Items(i));
}

void TTBCustomItem::SetChildOrder(ui::TComponent* child, int order) {
  const int index = IndexOf(dynamic_cast<const TTBCustomItem*>(child));
  if (index >= 0) Move(index, order);
}

void TTBCustomItem::SetParentComponent(ui::TComponent* component) {
  TTBCustomItem* target = nullptr;
  if (component) {
    target = dynamic_cast<TTBCustomItem*>(component);
    if (!target) {
      if (auto* container = dynamic_cast<ITBItemContainer*>(component))
        target = container->GetItems();
    }
    if (!target) {
      const std::string name = ui::Utf8FromWide(component->ClassName());
      std::string text = TBTextUtf8(STBToolbarItemParentInvalid);
      if (const std::size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
      throw ETBItemError(text);
    }
  }
  if (parent_) parent_->Remove(this);
  if (target) target->Add(this);
}

// --- notifications

void TTBCustomItem::RegisterNotification(TTBItemChangedProc proc) {
  if (!notifyList_) notifyList_ = std::make_shared<std::vector<TItemChangedNotificationData>>();
  for (TItemChangedNotificationData& record : *notifyList_) {
    if (record.proc == proc) {
      ++record.refCount;
      return;
    }
  }
  notifyList_->push_back({proc, 1});
}

void TTBCustomItem::UnregisterNotification(TTBItemChangedProc proc) {
  if (!notifyList_) return;
  auto& list = *notifyList_;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!(list[i].proc == proc)) continue;
    if (--list[i].refCount <= 0) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  if (list.empty()) notifyList_.reset();
}

void TTBCustomItem::Notify(TTBItemChangedAction action, int index, TTBCustomItem* item) {
  RelayNotify(action, index, item, this, 0);
}

void TTBCustomItem::RelayNotify(TTBItemChangedAction action, int index, TTBCustomItem* item,
                                TTBCustomItem* sender, int depth) {
  if (depth < kMaxRelayDepth) {
    // A notification this item raised about itself travels on with the item as its sender.
    if ((itemStyle_ & tbisEmbeddedGroup) && parent_) {
      parent_->RelayNotify(action, index, item, sender == this ? this : sender, depth + 1);
    }
    // Items that show this one's sub-items inline (embedded groups linking here) pass the news
    // to their own parents on their behalf. A linking submenu needs no relay: its popup view
    // registers with this item directly.
    for (TTBCustomItem* linker : std::vector<TTBCustomItem*>(linkParents_)) {
      if (linker == parent_ || !(linker->itemStyle_ & tbisEmbeddedGroup) || !linker->parent_) {
        continue;
      }
      linker->parent_->RelayNotify(action, index, item, sender == this ? linker : sender,
                                   depth + 1);
    }
  }
  CallHandlers(sender, action, index, item);
}

void TTBCustomItem::CallHandlers(TTBCustomItem* sender, TTBItemChangedAction action, int index,
                                 TTBCustomItem* item) {
  // The list may shrink, or be dropped, while a handler runs: hold it and re-check each step.
  std::shared_ptr<std::vector<TItemChangedNotificationData>> list = notifyList_;
  if (!list) return;
  const bool relayed = sender != this;
  std::size_t i = 0;
  while (i < list->size()) {
    const TTBItemChangedProc proc = (*list)[i].proc;
    proc.fn(proc.self, sender, relayed, action, index, item);
    if (i < list->size() && (*list)[i].proc == proc) ++i;
  }
}

// --- virtual operations

void TTBCustomItem::Change(bool needResize) {
  if (!parent_) return;
  parent_->Notify(needResize ? TTBItemChangedAction::tbicInvalidateAndResize
                             : TTBItemChangedAction::tbicInvalidate,
                  -1, this);
}

TTBPopupWindowBase* TTBCustomItem::CreatePopup(const TTBPopupRequest& request) {
  return gPopupFactory ? gPopupFactory(*this, request) : nullptr;
}

void TTBCustomItem::DoPopup(TTBCustomItem* sender, bool fromLink) {
  if (OnPopup) {
    const TTBPopupEvent handler = OnPopup;  // the handler may free or replace itself
    handler(sender, fromLink);
  }
  if (!(itemStyle_ & tbisCombo)) Click();
}

void TTBCustomItem::EnabledChanged() {
  Change(false);
}

void TTBCustomItem::Click() {
  if (!enabled_) return;
  if (autoCheck_ && !(actionLink_ && actionLink_->IsAutoCheckLinked())) SetChecked(!checked_);
  ui::TAction* action = Action();
  // Handlers run from copies: a handler may free this item (a recent-list entry removes
  // itself), and the copy keeps the running code's captures alive.
  if (onClick_ && action && !onClickFromAction_) {
    const ui::TNotifyEvent handler = onClick_;
    handler(this);
    return;
  }
  if (actionLink_ && action) {
    actionLink_->Execute();
    return;
  }
  if (onClick_) {
    const ui::TNotifyEvent handler = onClick_;
    handler(this);
  }
}

void TTBCustomItem::InitiateAction() {
  if (actionLink_) actionLink_->Update();
}

std::unique_ptr<TTBItemViewer> TTBCustomItem::CreateViewer(TTBView& view, int groupLevel) {
  return std::make_unique<TTBItemViewer>(view, *this, groupLevel);
}

TTBCustomItem* TTBCustomItem::Popup(int x, int y, bool trackRightButton,
                                    TTBPopupAlignment alignment, bool returnClickedItemOnly) {
  if (!gPopupMenuLoop) return nullptr;
  return gPopupMenuLoop(*this, x, y, trackRightButton, alignment, returnClickedItemOnly);
}

void TTBCustomItem::PostClick() {
  QueueDeferredClick(this, 0);
}

void TTBCustomItem::DeferredClick(std::uintptr_t /*flag*/) {
  Click();
}

// --- shortcuts

std::wstring TTBCustomItem::GetShortCutText() const {
  const auto tab = caption_.find(L'\t');
  if (tab != std::wstring::npos && tab + 1 < caption_.size()) return caption_.substr(tab + 1);
  if (shortCut_ == 0) return {};
  if (shortCut_ == 0x405B) return L"Ctrl+[";
  if (shortCut_ == 0x405D) return L"Ctrl+]";
  return ui::ShortCutToText(shortCut_);
}

namespace {

// Searches `parent` (or its link target) for `key`; `topLevel` receives the direct sub-item of
// `parent` through which the match was reached.
TTBCustomItem* FindShortCut(TTBCustomItem* parent, ui::TShortCut key, int depth,
                            TTBCustomItem*& topLevel) {
  TTBCustomItem* scope = parent;
  while (scope->LinkSubitems()) {
    if (++depth > kMaxLinkDepth) return nullptr;
    scope = scope->LinkSubitems();
  }
  for (int i = 0; i < scope->Count(); ++i) {
    TTBCustomItem* sub = scope->Items(i);
    if (sub->ShortCut() == key) {
      topLevel = sub;
      return sub;
    }
    TTBCustomItem* deeper = nullptr;
    if (TTBCustomItem* found = FindShortCut(sub, key, depth, deeper)) {
      topLevel = sub;
      return found;
    }
  }
  return nullptr;
}

}  // namespace

bool TTBCustomItem::IsShortCut(ui::TShortCut key) {
  if (key == ui::scNone) return false;
  TTBCustomItem* c = this;
  // Handlers may rebuild submenus on every opening; the passes are bounded so that a search
  // that keeps losing its path ends.
  for (int pass = 0; pass < kMaxShortCutPasses; ++pass) {
    if (!c->Enabled()) return false;
    TTBCustomItem* r = c->LinkSubitems() ? c->LinkSubitems() : c;
    for (int i = 0; i < r->Count(); ++i) r->Items(i)->InitiateAction();
    if (!(c->GetItemStyle() & tbisEmbeddedGroup)) {
      if (r != c) r->DoPopup(c, true);
      c->DoPopup(c, false);
    }
    TTBCustomItem* topLevel = nullptr;
    TTBCustomItem* found = FindShortCut(c, key, 0, topLevel);
    if (!found) {
      if (c == this) return false;
      c = this;  // the narrowed path was lost: start over from this item
      continue;
    }
    if (found != topLevel) {
      c = topLevel;
      continue;
    }
    if (!found->Enabled()) return false;
    found->Click();
    return true;
  }
  return false;
}

// --- properties

void TTBCustomItem::SetCaption(const std::wstring& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Change(true);
}

void TTBCustomItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Change(false);
  if (checked) TurnSiblingsOff();
}

void TTBCustomItem::TurnSiblingsOff() {
  if (groupIndex_ == 0 || !parent_) return;
  for (TTBCustomItem* sibling : std::vector<TTBCustomItem*>(parent_->items_)) {
    if (sibling != this && sibling->groupIndex_ == groupIndex_) sibling->SetChecked(false);
  }
}

void TTBCustomItem::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  EnabledChanged();
}

void TTBCustomItem::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Change(true);
}

void TTBCustomItem::SetDisplayMode(TTBItemDisplayMode mode) {
  if (mode == displayMode_) return;
  displayMode_ = mode;
  Change(true);
}

void TTBCustomItem::SetGroupIndex(int groupIndex) {
  if (groupIndex == groupIndex_) return;
  groupIndex_ = groupIndex;
  if (checked_) TurnSiblingsOff();
}

void TTBCustomItem::SetRadioItem(bool radioItem) {
  if (radioItem == radioItem_) return;
  radioItem_ = radioItem;
  Change(false);
}

void TTBCustomItem::SetImageIndex(int imageIndex) {
  if (imageIndex == imageIndex_) return;
  // Any negative index means no image.
  const bool hadImage = imageIndex_ >= 0;
  imageIndex_ = imageIndex;
  Change(hadImage != (imageIndex >= 0));
}

void TTBCustomItem::SetOptions(TTBItemOptions options) {
  options = FixOptions(options);
  if (options == options_) return;
  options_ = options;
  RecalcOptions();
}

void TTBCustomItem::SetMaskOptions(TTBItemOptions options) {
  if (options == maskOptions_) return;
  maskOptions_ = options;
  RecalcOptions();
}

void TTBCustomItem::SetInheritOptions(bool inherit) {
  if (inherit == inheritOptions_) return;
  inheritOptions_ = inherit;
  RecalcOptions();
}

void TTBCustomItem::RecalcOptions() {
  const TTBItemOptions inherited =
      inheritOptions_ && parent_ ? parent_->effectiveOptions_ & ~tboDefault : 0;
  const TTBItemOptions options = FixOptions((inherited & ~maskOptions_) | options_);
  if (options == effectiveOptions_) return;
  const TTBItemOptions changed = options ^ effectiveOptions_;
  effectiveOptions_ = options;
  constexpr TTBItemOptions kResizing = tboDefault | tboDropdownArrow | tboImageAboveCaption |
                                       tboNoRotation | tboSameWidth | tboToolbarStyle |
                                       tboToolbarSize;
  if (changed & kResizing) Change(true);
  for (TTBCustomItem* sub : std::vector<TTBCustomItem*>(items_)) {
    if (sub->inheritOptions_) sub->RecalcOptions();
  }
}

void TTBCustomItem::SetLinkSubitems(TTBCustomItem* target) {
  if (target == this) target = nullptr;
  if (target == linkSubitems_) return;
  if (linkSubitems_) {
    std::erase(linkSubitems_->linkParents_, this);
    linkSubitems_->RemoveFreeNotification(this);
  }
  linkSubitems_ = target;
  if (target) {
    target->FreeNotification(this);
    target->linkParents_.push_back(this);
  }
  if (!detached_) Notify(TTBItemChangedAction::tbicSubitemsChanged, -1, nullptr);
}

void TTBCustomItem::SetOnClick(ui::TNotifyEvent handler) {
  onClick_ = std::move(handler);
  onClickFromAction_ = false;
}

// --- action

void TTBCustomItem::SetAction(ui::TAction* action) {
  if (action == Action()) return;
  if (!action) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) {
    ui::TActionLinkClient& client = *this;
    actionLink_ = std::make_unique<TTBCustomItemActionLink>(client, *this);
  }
  actionLink_->SetAction(action);
  ActionChange(*action, Loading() || action->Loading());
}

void TTBCustomItem::ActionChange(ui::TAction& action, bool checkDefaults) {
  if (!checkDefaults || !autoCheck_) SetAutoCheck(action.AutoCheck());
  if (!checkDefaults || caption_.empty()) SetCaption(action.Caption());
  if (!checkDefaults || !checked_) SetChecked(action.Checked());
  if (!checkDefaults || enabled_) SetEnabled(action.Enabled());
  if (!checkDefaults || helpContext_ == 0) SetHelpContext(action.HelpContext());
  if (!checkDefaults || hint_.empty()) SetHint(action.Hint());
  if (!checkDefaults || imageIndex_ == -1) SetImageIndex(action.ImageIndex());
  if (!checkDefaults || shortCut_ == ui::scNone) SetShortCut(action.ShortCut());
  if (!checkDefaults || visible_) SetVisible(action.Visible());
  if (!checkDefaults || !onClick_) {
    onClick_ = action.OnExecute;
    onClickFromAction_ = true;
  }
}

bool TTBCustomItemActionLink::IsCaptionLinked() const {
  return ui::TActionLink::IsCaptionLinked() && item_.Caption() == Action()->Caption();
}
bool TTBCustomItemActionLink::IsCheckedLinked() const {
  return ui::TActionLink::IsCheckedLinked() && item_.Checked() == Action()->Checked();
}
bool TTBCustomItemActionLink::IsEnabledLinked() const {
  return ui::TActionLink::IsEnabledLinked() && item_.Enabled() == Action()->Enabled();
}
bool TTBCustomItemActionLink::IsHelpContextLinked() const {
  return ui::TActionLink::IsHelpContextLinked() && item_.HelpContext() == Action()->HelpContext();
}
bool TTBCustomItemActionLink::IsHintLinked() const {
  return ui::TActionLink::IsHintLinked() && item_.Hint() == Action()->Hint();
}
bool TTBCustomItemActionLink::IsImageIndexLinked() const {
  return ui::TActionLink::IsImageIndexLinked() && item_.ImageIndex() == Action()->ImageIndex();
}
bool TTBCustomItemActionLink::IsShortCutLinked() const {
  return ui::TActionLink::IsShortCutLinked() && item_.ShortCut() == Action()->ShortCut();
}
bool TTBCustomItemActionLink::IsVisibleLinked() const {
  return ui::TActionLink::IsVisibleLinked() && item_.Visible() == Action()->Visible();
}
bool TTBCustomItemActionLink::IsOnExecuteLinked() const {
  return ui::TActionLink::IsOnExecuteLinked() && item_.OnClickFromAction();
}
bool TTBCustomItemActionLink::IsAutoCheckLinked() const {
  return ui::TActionLink::IsAutoCheckLinked() && item_.AutoCheck() == Action()->AutoCheck();
}

// --- images

void TTBCustomItem::LinkImages(ui::TCustomImageList* list,
                               std::unique_ptr<TTBImageChangeLink>& link, bool subMenu) {
  if (!list) {
    link.reset();
    return;
  }
  if (!link) link = std::make_unique<TTBImageChangeLink>();
  link->lastWidth = list->Width();
  link->lastHeight = list->Height();
  TTBImageChangeLink* changes = link.get();
  link->OnChange = [this, changes, subMenu](ui::TCustomImageList& sender) {
    const bool resized =
        changes->lastWidth != sender.Width() || changes->lastHeight != sender.Height();
    changes->lastWidth = sender.Width();
    changes->lastHeight = sender.Height();
    if (subMenu)
      Notify(TTBItemChangedAction::tbicSubMenuImagesChanged, -1, nullptr);
    else
      Change(resized);
  };
  list->RegisterChanges(*link);
  list->FreeNotification(this);
}

void TTBCustomItem::SetImages(ui::TCustomImageList* images) {
  if (images == images_) return;
  const bool hadList = images_ != nullptr;
  const int oldWidth = hadList ? images_->Width() : 0, oldHeight = hadList ? images_->Height() : 0;
  if (images_) images_->RemoveFreeNotification(this);
  imagesLink_.reset();
  images_ = images;
  LinkImages(images, imagesLink_, false);
  Change(!images || !hadList || images->Width() != oldWidth || images->Height() != oldHeight);
}

void TTBCustomItem::SetSubMenuImages(ui::TCustomImageList* images) {
  if (images == subMenuImages_) return;
  if (subMenuImages_) subMenuImages_->RemoveFreeNotification(this);
  subMenuImagesLink_.reset();
  subMenuImages_ = images;
  LinkImages(images, subMenuImagesLink_, true);
  Notify(TTBItemChangedAction::tbicSubMenuImagesChanged, -1, nullptr);
}

// --- kinds

TTBGroupItem::TTBGroupItem(ui::TComponent* owner) : TTBCustomItem(owner) {
  SetItemStyle(GetItemStyle() | tbisEmbeddedGroup | tbisSubitemsEditable);
}

namespace {
constexpr std::wstring_view kItemOptionNames[] = {
    L"tboDefault",      L"tboDropdownArrow", L"tboImageAboveCaption", L"tboLongHintInMenuOnly",
    L"tboNoAutoHint",   L"tboNoRotation",    L"tboSameWidth",         L"tboShowHint",
    L"tboToolbarStyle", L"tboToolbarSize"};
}  // namespace
constexpr ui::EnumNames TBItemOptionNames{kItemOptionNames};

void TTBGroupItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TTBCustomItem::GetPublishedProps(out);
  using G = TTBGroupItem;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<G, &G::InheritOptions, &G::SetInheritOptions>(L"InheritOptions"),
      ui::RefProp<G, TTBCustomItem, &G::LinkSubitems, &G::SetLinkSubitems>(L"LinkSubitems"),
      ui::SetProp<G, &G::MaskOptions, &G::SetMaskOptions>(L"MaskOptions", TBItemOptionNames),
      ui::SetProp<G, &G::Options, &G::SetOptions>(L"Options", TBItemOptionNames),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

TTBSeparatorItem::TTBSeparatorItem(ui::TComponent* owner) : TTBCustomItem(owner) {
  SetItemStyle(static_cast<TTBItemStyle>(
      (GetItemStyle() & ~(tbisSelectable | tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange)) |
      tbisSeparator | tbisClicksTransparent));
}

std::unique_ptr<TTBItemViewer> TTBSeparatorItem::CreateViewer(TTBView& view, int groupLevel) {
  return std::make_unique<TTBSeparatorItemViewer>(view, *this, groupLevel);
}

void TTBSeparatorItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TTBCustomItem::GetPublishedProps(out);
  using S = TTBSeparatorItem;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<S, &S::Blank, &S::SetBlank>(L"Blank"),
      StoredWhen<S, &S::IsHintStored>(ui::StringProp<S, &S::Hint, &S::SetHint>(L"Hint")),
      StoredWhen<S, &S::IsVisibleStored>(ui::BoolProp<S, &S::Visible, &S::SetVisible>(L"Visible")),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

void TTBSeparatorItem::SetBlank(bool blank) {
  if (blank == blank_) return;
  blank_ = blank;
  Change(false);
}

TTBControlItem::TTBControlItem(ui::TComponent* owner) : TTBCustomItem(owner) {
  SetItemStyle(
      static_cast<TTBItemStyle>((GetItemStyle() & ~tbisSelectable) | tbisClicksTransparent));
}

TTBControlItem::~TTBControlItem() {
  if (control_ && !dontFreeControl_ && !control_->Destroying()) {
    ui::TComponent* control = control_;
    control_ = nullptr;
    control->RemoveFreeNotification(this);
    ui::Free(control);
  }
}

void TTBControlItem::Notification(ui::TComponent* component, ui::TOperation operation) {
  TTBCustomItem::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == control_) control_ = nullptr;
}

void TTBControlItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TTBCustomItem::GetPublishedProps(out);
  using C = TTBControlItem;
  static constexpr ui::PropInfo kControl =
      ui::RefProp<C, ui::TComponent, &C::Control, &C::SetControl>(L"Control");
  out.push_back(&kControl);
}

void TTBControlItem::SetControl(ui::TComponent* control) {
  if (control == control_) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = control;
  if (control) control->FreeNotification(this);
  Change(true);
}

// --- finishing a loop

TTBCustomItem* ProcessDoneAction(const TTBDoneActionData& data, bool returnClickedItemOnly,
                                 TTBDoneActionPlatform* platform) {
  switch (data.doneAction) {
    case TTBDoneAction::tbdaClickItem:
      if (data.sound && platform) platform->PlayMenuCommandSound();
      if (data.clickItem && !returnClickedItemOnly) data.clickItem->PostClick();
      return data.clickItem;
    case TTBDoneAction::tbdaOpenSystemMenu:
      if (platform) platform->OpenSystemMenu(data.wnd, data.key);
      return nullptr;
    case TTBDoneAction::tbdaHelpContext:
      if (!platform) return nullptr;
      if (platform->ActiveFormShowsHelpButton())
        platform->HelpCommand(kHelpContextPopup, data.contextId);
      else
        platform->HelpContext(data.contextId);
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace tb
