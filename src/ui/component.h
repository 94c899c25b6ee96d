// Components: named objects with an owner that frees them, and free notification.
//   ui::Create<T>(owner, args...) -> T*   constructs T(&owner, args...), owned by `owner`
//   ui::New<T>(args...) -> Owned<T>       constructs T(nullptr, args...) as a root
//   ui::Free(component)                   frees an owned component now
//   Two-phase life, because C++ does not dispatch virtual calls to the derived class inside
//   constructors and destructors: Create/New run AfterConstruction() once the whole object
//   exists (a failure there frees it again); Owned<T>'s deleter runs BeforeDestruction()
//   while the whole object still exists (forms fire OnDestroy there). Constructors and
//   destructors of components call no virtual function of their own object.
//   A component made under an owner that has finished loading is not loading (made at run
//   time); a root, or one made while its owner loads, is loading until FinishLoading().
//   TComponent: Name/SetName (unique among the owner's components, case-insensitive), Tag,
//   Owner, ComponentCount/Components(i)/FindComponent(name), Loaded()/FinishLoading()
//   (the explicit end of building), Notification(component, opInsert/opRemove) (passed on to
//   owned components), FreeNotification(subscriber)/RemoveFreeNotification.
//   TNotifyEvent: std::function<void(TComponent* sender)>.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/persistent.h"

namespace ui {

enum class TOperation { opInsert, opRemove };

// The common event: something happened to `sender`.
using TNotifyEvent = std::function<void(TComponent* sender)>;

struct ComponentDeleter {
  void operator()(TComponent* component) const noexcept;
};
template <class T>
using Owned = std::unique_ptr<T, ComponentDeleter>;

class TComponent : public TPersistent {
 public:
  // Registers with `owner`, which then owns (and frees) this component.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  std::wstring_view ClassName() const override { return L"TComponent"; }
  TComponent* AsComponent() override { return this; }
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override;

  const std::wstring& Name() const { return name_; }
  // Raises rtl::Exception when a sibling already has the name.
  virtual void SetName(const std::wstring& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const {
    return components_.at(static_cast<std::size_t>(index)).get();
  }
  TComponent* FindComponent(std::wstring_view name) const;

  // Takes an owned component away from this owner; the caller now owns it.
  Owned<TComponent> RemoveComponent(TComponent* component);
  // Adopts a component (it must have no owner yet).
  void InsertComponent(Owned<TComponent> component);

  bool Loading() const { return loading_; }
  bool Destroying() const { return destroying_; }
  // Ends building: Loaded() on every owned component (depth first), then on this one.
  void FinishLoading();

  void FreeNotification(TComponent* subscriber);
  void RemoveFreeNotification(TComponent* subscriber);

  // Runs before destruction while the most derived object still exists: marks this component
  // and its owned ones as destroying. Overrides call the base class last.
  virtual void BeforeDestruction() noexcept;
  // Runs once the most derived object is constructed (Create/New). Overrides call the base
  // class first.
  virtual void AfterConstruction() {}

  // Called once building is finished; clears the loading state. Overrides call the base.
  virtual void Loaded() { loading_ = false; }
  // `component` was inserted or is going away. The default forgets it as a free-notification
  // partner and passes the news on to every owned component. Overrides call the base.
  virtual void Notification(TComponent* component, TOperation operation);

 protected:
  // Frees every owned component, last first, without notifying this owner.
  void DestroyComponents();

 private:
  void ForgetPartner(TComponent* partner);
  void MarkDestroying() noexcept;

  std::wstring name_;
  int tag_ = 0;
  TComponent* owner_ = nullptr;
  std::vector<Owned<TComponent>> components_;
  std::vector<TComponent*> freeNotifies_;
  bool loading_ = true;
  bool destroying_ = false;

  friend void Free(TComponent* component);
};

// Frees a component now; an owned one leaves its owner's list first.
void Free(TComponent* component);

template <class T, class... Args>
T* Create(TComponent& owner, Args&&... args) {
  T* component = new T(&owner, std::forward<Args>(args)...);  // registered with `owner`
  try {
    component->AfterConstruction();
  } catch (...) {
    Free(component);
    throw;
  }
  return component;
}

template <class T, class... Args>
Owned<T> New(Args&&... args) {
  Owned<T> component(new T(nullptr, std::forward<Args>(args)...));
  component->AfterConstruction();  // on failure the deleter frees it
  return component;
}

}  // namespace ui
