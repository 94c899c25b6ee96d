#include "ux/win32/control_hook.h"

#include <algorithm>
#include <utility>

#include "ux/win32/hook_errors.h"
#include "ux/win32/window_hook.h"
#include "ux/win32/windowed.h"

namespace ux::win32 {

namespace {

std::unique_ptr<THookList>& ListInstance() {
  static std::unique_ptr<THookList> list;
  return list;
}

constexpr wchar_t kListWindowClass[] = L"UxHookListWindow";
constexpr wchar_t kLinkProperty[] = L"UxControlHookLink";

// Our place in a window's procedure chain. It belongs to the window: when the procedure installed
// before ours cannot be put back because someone subclassed after us, the link stays as a plain
// pass-through (no owner) until the window is gone.
struct WindowLink {
  WNDPROC previous = nullptr;
  TControlHook* owner = nullptr;
};

WindowLink* LinkOf(HWND window) {
  return static_cast<WindowLink*>(GetPropW(window, kLinkProperty));
}

void ReleaseLink(HWND window, WindowLink* link) {
  RemovePropW(window, kLinkProperty);
  delete link;
}

}  // namespace

TControlHook::~TControlHook() {
  destroying_ = true;
  while (!clients_.empty()) {
    TUxWindowHook* client = clients_.back();
    clients_.pop_back();
    client->controlHook_ = nullptr;
  }
  UnhookControl();
  control_ = nullptr;
}

void TControlHook::SetWinControl(ui::TComponent* control) {
  if (control == control_) return;
  UnhookControl();
  control_ = control;
  if (!clients_.empty()) HookControl();
}

void TControlHook::AddHook(TUxWindowHook* hook) {
  if (std::find(clients_.begin(), clients_.end(), hook) == clients_.end()) {
    clients_.push_back(hook);
    hook->controlHook_ = this;
    SetWinControl(hook->control_);
  }
  HookControl();
}

void TControlHook::RemoveHook(TUxWindowHook* hook) {
  hook->controlHook_ = nullptr;
  std::erase(clients_, hook);
  if (clients_.empty()) UnhookControl();
}

void TControlHook::HookControl() {
  if (control_ == nullptr || control_->Destroying() || destroying_) return;
  const HWND window = WindowNeeded(control_);
  // Hooked already, also when someone subclassed the window after us: installing ours again over
  // that subclass would make it our previous procedure while it still calls ours, an endless loop.
  if (window == nullptr || window == hooked_) return;
  UnhookControl();
  if (WindowLink* link = LinkOf(window)) {  // still in the chain as a pass-through
    link->owner = this;
    hooked_ = window;
    return;
  }
  auto link = std::make_unique<WindowLink>();
  link->owner = this;
  if (!SetPropW(window, kLinkProperty, link.get())) return;
  link->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
  if (link->previous == nullptr) {
    RemovePropW(window, kLinkProperty);
    return;
  }
  link.release();
  hooked_ = window;
}

// The previous procedure goes back only while ours is still the window's; otherwise a later
// subclass calls ours, which then passes everything on unchanged.
void TControlHook::UnhookControl() {
  const HWND window = std::exchange(hooked_, nullptr);
  if (window == nullptr || !IsWindow(window)) return;
  WindowLink* link = LinkOf(window);
  if (link == nullptr || link->owner != this) return;
  link->owner = nullptr;
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(WindowProc)) return;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->previous));
  ReleaseLink(window, link);
}

bool TControlHook::ClientsCallable() const {
  return !clients_.empty() && control_ != nullptr && !destroying_ && !control_->Destroying();
}

LRESULT CALLBACK TControlHook::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowLink* link = LinkOf(window);
  if (link == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  const WNDPROC previous = link->previous;
  if (msg == WM_NCDESTROY) {  // the window's last message: the link goes with it
    if (link->owner) link->owner->hooked_ = nullptr;
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(WindowProc))
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ReleaseLink(window, link);
    return CallWindowProcW(previous, window, msg, wParam, lParam);
  }
  if (link->owner == nullptr) return CallWindowProcW(previous, window, msg, wParam, lParam);
  try {
    return link->owner->Dispatch(window, msg, wParam, lParam, previous);
  } catch (...) {
    HandleHookError();
    return 0;
  }
}

// Clients run from the last added to the first and the walk stops at the first that handles the
// message. Clients may come and go during the walk.
LRESULT TControlHook::Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                               WNDPROC previous) {
  TMessage message{msg, wParam, lParam, 0};
  const auto walk = [this, &message](TUxWindowHook::THookMessageEvent TUxWindowHook::*event) {
    bool handled = false;
    for (size_t i = clients_.size(); i-- > 0 && !handled && ClientsCallable();) {
      if (i >= clients_.size()) continue;
      TUxWindowHook* client = clients_[i];
      if (client->*event) (client->*event)(*client, message, handled);
    }
    return handled;
  };
  const bool handled = msg != WM_QUIT && walk(&TUxWindowHook::BeforeMessage);
  if (!handled || msg == WM_DESTROY) {
    message.result = CallWindowProcW(previous, window, msg, wParam, lParam);
    walk(&TUxWindowHook::AfterMessage);
  }
  if (msg == WM_DESTROY) {
    UnhookControl();
    const THookList* list = ExistingHookList();
    if (list && list->Handle() && !destroying_ && control_ && !control_->Destroying())
      PostMessageW(list->Handle(), kRehookMessage, 0, reinterpret_cast<LPARAM>(this));
  }
  return message.result;
}

THookList::THookList() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kListWindowClass;
  if (!GetClassInfoExW(instance, kListWindowClass, &windowClass)) RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, kListWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            instance, nullptr);
}

THookList::~THookList() {
  while (!hooks_.empty()) hooks_.pop_back();  // each record detaches its clients
  if (window_) DestroyWindow(window_);
}

TControlHook* THookList::FindControlHook(const ui::TComponent* control) const {
  if (control == nullptr) return nullptr;
  for (const auto& hook : hooks_)
    if (hook->WinControl() == control) return hook.get();
  return nullptr;
}

TControlHook& THookList::GetControlHook(ui::TComponent* control) {
  if (TControlHook* found = FindControlHook(control)) return *found;
  hooks_.push_back(std::make_unique<TControlHook>());
  hooks_.back()->SetWinControl(control);
  return *hooks_.back();
}

bool THookList::Contains(const TControlHook* hook) const {
  return std::any_of(hooks_.begin(), hooks_.end(),
                     [hook](const auto& kept) { return kept.get() == hook; });
}

void THookList::FreeIfUnused(TControlHook* hook) {
  const auto it = std::find_if(hooks_.begin(), hooks_.end(),
                               [hook](const auto& kept) { return kept.get() == hook; });
  if (it != hooks_.end() && (*it)->ClientCount() == 0) hooks_.erase(it);
}

LRESULT CALLBACK THookList::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kRehookMessage && msg != kFreeHookMessage)
    return DefWindowProcW(window, msg, wParam, lParam);
  try {
    THookList* list = ExistingHookList();
    auto* hook = reinterpret_cast<TControlHook*>(lParam);
    if (list == nullptr || !list->Contains(hook)) return 0;
    if (msg == kRehookMessage)
      hook->HookControl();
    else
      list->FreeIfUnused(hook);
  } catch (...) {
    HandleHookError();
  }
  return 0;
}

THookList* ExistingHookList() {
  return ListInstance().get();
}

THookList& HookList() {
  if (!ListInstance()) ListInstance() = std::make_unique<THookList>();
  return *ListInstance();
}

void FreeHookList() {
  ListInstance().reset();
}

}  // namespace ux::win32
