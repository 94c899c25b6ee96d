#include "ui/component.h"

#include <algorithm>

#include "rtl/exceptions.h"
#include "ui/properties.h"
#include "ui/text.h"

namespace ui {

void ComponentDeleter::operator()(TComponent* component) const noexcept {
  component->BeforeDestruction();
  delete component;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) {
    owner->components_.emplace_back(this);
    owner_ = owner;
    loading_ = owner->loading_;
    owner->Notification(this, TOperation::opInsert);
  }
}

TComponent::~TComponent() {
  destroying_ = true;
  while (!freeNotifies_.empty()) {
    TComponent* partner = freeNotifies_.back();
    freeNotifies_.pop_back();
    partner->ForgetPartner(this);
    partner->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this).release();  // being deleted already
}

void TComponent::GetPublishedProps(std::vector<const PropInfo*>& out) const {
  static constexpr PropInfo kProps[] = {
      StringProp<TComponent, &TComponent::Name, &TComponent::SetName>(L"Name"),
      IntProp<TComponent, &TComponent::Tag, &TComponent::SetTag>(L"Tag"),
  };
  for (const PropInfo& prop : kProps) out.push_back(&prop);
}

void TComponent::SetName(const std::wstring& name) {
  if (name == name_) return;
  // Names are identifiers: stored-property entries ("<component>.<property>") and value names
  // are built from them.
  const auto letter = [](wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
  };
  const bool valid =
      name.empty() || (letter(name[0]) && std::all_of(name.begin(), name.end(), [&](wchar_t c) {
                         return letter(c) || (c >= L'0' && c <= L'9');
                       }));
  if (!valid) throw rtl::Exception("'" + Utf8FromWide(name) + "' is not a valid component name");
  if (owner_ && !name.empty()) {
    const TComponent* sibling = owner_->FindComponent(name);
    if (sibling && sibling != this) {
      throw rtl::Exception("A component named " + Utf8FromWide(name) + " already exists");
    }
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  if (name.empty()) return nullptr;
  for (const auto& component : components_) {
    if (SameText(component->name_, name)) return component.get();
  }
  return nullptr;
}

Owned<TComponent> TComponent::RemoveComponent(TComponent* component) {
  const auto found =
      std::find_if(components_.begin(), components_.end(),
                   [component](const auto& owned) { return owned.get() == component; });
  if (found == components_.end()) return nullptr;
  Notification(component, TOperation::opRemove);
  // The notification may have changed the list; find the entry again.
  const auto entry =
      std::find_if(components_.begin(), components_.end(),
                   [component](const auto& owned) { return owned.get() == component; });
  Owned<TComponent> result = std::move(*entry);
  components_.erase(entry);
  component->owner_ = nullptr;
  return result;
}

void TComponent::InsertComponent(Owned<TComponent> component) {
  if (!component) return;
  if (component->owner_) throw rtl::Exception("The component already has an owner");
  if (!component->name_.empty() && FindComponent(component->name_)) {
    throw rtl::Exception("A component named " + Utf8FromWide(component->name_) + " already exists");
  }
  TComponent* inserted = component.get();
  components_.push_back(std::move(component));
  inserted->owner_ = this;
  Notification(inserted, TOperation::opInsert);
}

void TComponent::FinishLoading() {
  for (std::size_t i = 0; i < components_.size(); ++i) components_[i]->FinishLoading();
  Loaded();
}

void TComponent::FreeNotification(TComponent* subscriber) {
  if (!subscriber || subscriber == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), subscriber) == freeNotifies_.end()) {
    freeNotifies_.push_back(subscriber);
  }
  // Partners know each other, so whichever goes first leaves no dangling entry behind.
  auto& back = subscriber->freeNotifies_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* subscriber) {
  if (!subscriber) return;
  ForgetPartner(subscriber);
  subscriber->ForgetPartner(this);
}

void TComponent::ForgetPartner(TComponent* partner) {
  std::erase(freeNotifies_, partner);
}

void TComponent::BeforeDestruction() noexcept {
  MarkDestroying();
}

void TComponent::MarkDestroying() noexcept {
  destroying_ = true;
  for (const auto& component : components_) component->MarkDestroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  for (std::size_t i = components_.size(); i-- > 0;) {
    if (i < components_.size()) components_[i]->Notification(component, operation);
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    Owned<TComponent> last = std::move(components_.back());
    components_.pop_back();
    last->owner_ = nullptr;
    last.reset();
  }
}

void Free(TComponent* component) {
  if (!component) return;
  Owned<TComponent> owned = component->owner_ ? component->owner_->RemoveComponent(component)
                                              : Owned<TComponent>(component);
  owned.reset();
}

}  // namespace ui
