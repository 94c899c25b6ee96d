// Per-thread hooks shared by several clients: each (user, procedure) registration names the
// hook codes it wants; the calling thread gets at most one Windows hook of each kind, counted
// by the registrations that need it and removed when the last one goes.
//   Codes: hpSendActivate (WM_ACTIVATE seen by the call-window-procedure hook),
//   hpSendActivateApp (WM_ACTIVATEAPP), hpSendWindowPosChanged (WM_WINDOWPOSCHANGED),
//   hpPreDestroy (the CBT hook's window destruction), hpGetMessage (the get-message hook).
//   Kinds: 0 call-window-procedure (codes 0-2), 1 CBT (code 3), 2 get-message (code 4).
//   A procedure is called once per event however many users registered it; a procedure that
//   throws is skipped and the walk goes on. A procedure keeps the codes of its first
//   registration; registering it again with other codes installs the hooks those need but adds
//   nothing to what it is called for. The walk takes a snapshot of the list, and the dispatcher
//   reads the thread's hook handle before the walk, so procedures may register and unregister.
//   ReleaseThreadHooks (also run at process exit for the main thread) removes the thread's
//   hooks whatever the counts and frees every record.
//   The platform (install/uninstall) is injected: PlatformHooks() per platform, SetHookPlatform
//   for tests. DispatchHookCode is the dispatchers' core.
#pragma once

#include <cstdint>

namespace tb {

enum class THookProcCode : std::uint8_t {
  hpSendActivate,
  hpSendActivateApp,
  hpSendWindowPosChanged,
  hpPreDestroy,
  hpGetMessage
};
using THookProcCodes = std::uint8_t;  // one bit per code
constexpr THookProcCodes HookCode(THookProcCode code) {
  return static_cast<THookProcCodes>(1u << static_cast<unsigned>(code));
}

using THookProc = void (*)(THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                           std::intptr_t lParam);

constexpr int kHookKindCount = 3;
// The hook kind that reports `code`.
int HookKindOf(THookProcCode code);

struct THookPlatform {
  std::uintptr_t (*install)(int kind);  // the new hook's handle, 0 on failure
  void (*uninstall)(std::uintptr_t handle);
};
const THookPlatform& PlatformHooks();
// Null: the platform's again.
void SetHookPlatform(const THookPlatform* platform);

void RegisterHookProc(void* user, THookProc proc, THookProcCodes codes);
void UnregisterHookProc(void* user, THookProc proc);
void ReleaseThreadHooks() noexcept;

// The thread's hook handle of a kind (0 when none).
std::uintptr_t HookHandle(int kind);
// Calls every procedure registered for `code`, in list order, each guarded.
void DispatchHookCode(THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                      std::intptr_t lParam) noexcept;

// The calling thread's bookkeeping, for tests.
struct THookState {
  bool exists = false;  // the per-thread hook record
  int counts[kHookKindCount] = {};
  std::uintptr_t handles[kHookKindCount] = {};
  int procedures = 0;
};
THookState CurrentHookState();

}  // namespace tb
