// Window subclassing shared by every hook on one control. A TControlHook replaces the control's
// window procedure (unhooking is safe in any order, also under a later subclass, which keeps a
// working chain) and calls its client hooks before and after the control's own window
// procedure. THookList keeps every TControlHook of the process and, through a hidden window,
// re-hooks a control after its window was recreated and frees records that lost their clients,
// both later from the message loop and never inside the record's own window procedure.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/component.h"
#include "ux/message.h"

namespace ux::win32 {

class TUxWindowHook;

inline constexpr UINT kRehookMessage = 0xB052;
inline constexpr UINT kFreeHookMessage = 0xB053;

class TControlHook {
 public:
  TControlHook() = default;
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;
  // Detaches every client (last first) and removes the subclass.
  ~TControlHook();

  ui::TComponent* WinControl() const { return control_; }
  // Unhooks the old control and hooks the new one when there are clients.
  void SetWinControl(ui::TComponent* control);
  int ClientCount() const { return static_cast<int>(clients_.size()); }

  void AddHook(TUxWindowHook* hook);
  void RemoveHook(TUxWindowHook* hook);
  void HookControl();
  void UnhookControl();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC previous);
  bool ClientsCallable() const;

  ui::TComponent* control_ = nullptr;
  HWND hooked_ = nullptr;  // the window whose procedure calls this record
  std::vector<TUxWindowHook*> clients_;
  bool destroying_ = false;
};

class THookList {
 public:
  THookList();
  ~THookList();
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  TControlHook* FindControlHook(const ui::TComponent* control) const;
  TControlHook& GetControlHook(ui::TComponent* control);
  bool Contains(const TControlHook* hook) const;
  // Frees `hook` when it is in the list and has no client.
  void FreeIfUnused(TControlHook* hook);
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::vector<std::unique_ptr<TControlHook>> hooks_;
  HWND window_ = nullptr;
};

// The process's hook list: none until first needed.
THookList* ExistingHookList();
THookList& HookList();
// Frees the list and every record still in it (module shut-down).
void FreeHookList();

}  // namespace ux::win32
