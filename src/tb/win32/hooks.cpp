// The Windows side of the per-thread hooks: one dispatcher per kind, each reading the thread's
// hook handle before it calls the procedures and ending with the next hook.
#include <windows.h>

#include "tb/hook.h"

namespace tb {

namespace {

LRESULT CALLBACK CallWndProcDispatcher(int code, WPARAM wParam, LPARAM lParam) {
  const auto next = reinterpret_cast<HHOOK>(HookHandle(0));
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const auto report = [&](THookProcCode hookCode) {
      DispatchHookCode(hookCode, reinterpret_cast<std::uintptr_t>(sent->hwnd), sent->wParam,
                       sent->lParam);
    };
    switch (sent->message) {
      case WM_ACTIVATE:
        report(THookProcCode::hpSendActivate);
        break;
      case WM_ACTIVATEAPP:
        report(THookProcCode::hpSendActivateApp);
        break;
      case WM_WINDOWPOSCHANGED:
        report(THookProcCode::hpSendWindowPosChanged);
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(next, code, wParam, lParam);
}

LRESULT CALLBACK CBTDispatcher(int code, WPARAM wParam, LPARAM lParam) {
  const auto next = reinterpret_cast<HHOOK>(HookHandle(1));
  if (code == HCBT_DESTROYWND) DispatchHookCode(THookProcCode::hpPreDestroy, wParam, 0, 0);
  return CallNextHookEx(next, code, wParam, lParam);
}

LRESULT CALLBACK GetMessageDispatcher(int code, WPARAM wParam, LPARAM lParam) {
  const auto next = reinterpret_cast<HHOOK>(HookHandle(2));
  if (code == HC_ACTION) DispatchHookCode(THookProcCode::hpGetMessage, 0, wParam, lParam);
  return CallNextHookEx(next, code, wParam, lParam);
}

std::uintptr_t Install(int kind) {
  static constexpr int kIds[kHookKindCount] = {WH_CALLWNDPROC, WH_CBT, WH_GETMESSAGE};
  static constexpr HOOKPROC kDispatchers[kHookKindCount] = {CallWndProcDispatcher, CBTDispatcher,
                                                            GetMessageDispatcher};
  return reinterpret_cast<std::uintptr_t>(
      SetWindowsHookExW(kIds[kind], kDispatchers[kind], nullptr, GetCurrentThreadId()));
}

void Uninstall(std::uintptr_t handle) {
  UnhookWindowsHookEx(reinterpret_cast<HHOOK>(handle));
}

}  // namespace

const THookPlatform& PlatformHooks() {
  static const THookPlatform platform{Install, Uninstall};
  return platform;
}

}  // namespace tb
