// Reference-counted COM objects of our own, owned references to the ones we receive, and the
// guard that keeps exceptions from crossing a COM method.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <atomic>
#include <concepts>
#include <new>
#include <utility>

#include "ux/win32/com_guard.h"

namespace app::dragdrop {

// An owned reference to a COM interface, released when it goes.
template <class T>
class TComRef {
 public:
  TComRef() = default;
  // Takes over a reference the caller already holds.
  static TComRef Adopt(T* object) {
    TComRef ref;
    ref.p_ = object;
    return ref;
  }
  // Adds a reference of its own.
  static TComRef Share(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  TComRef(const TComRef& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  TComRef(TComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <std::derived_from<T> U>
  TComRef(const TComRef<U>& other) : p_(other.Get()) {
    if (p_) p_->AddRef();
  }
  template <std::derived_from<T> U>
  TComRef(TComRef<U>&& other) noexcept : p_(other.Detach()) {}
  TComRef& operator=(TComRef other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~TComRef() {
    if (p_) p_->Release();
  }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference over, e.g. to a COM method's out parameter.
  T* Detach() { return std::exchange(p_, nullptr); }
  // Releases the current reference and gives the slot for a COM method to fill.
  T** Put() {
    *this = TComRef();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// Base of our COM objects: one interface, reference counted, freed at the last release.
template <class Interface>
class TComObject : public Interface {
 public:
  TComObject(const TComObject&) = delete;
  TComObject& operator=(const TComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != __uuidof(Interface) && !IsMarkerInterface(iid)) {
      return E_NOINTERFACE;
    }
    *object = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  TComObject() = default;
  virtual ~TComObject() = default;
  // Interface ids without methods of their own that this object also answers to.
  virtual bool IsMarkerInterface(REFIID) const { return false; }

 private:
  std::atomic<ULONG> references_{1};
};

// Makes one of our COM objects; the reference returned is its only one.
template <class T, class... Args>
TComRef<T> MakeComObject(Args&&... args) {
  return TComRef<T>::Adopt(new T(std::forward<Args>(args)...));
}

// No exception leaves a COM method: the shared guard hands the error to the application's
// handler.
using ux::win32::GuardCom;

}  // namespace app::dragdrop
