#include "tb/hook.h"

#include <algorithm>
#include <vector>

namespace tb {

namespace {

using TKinds = std::uint8_t;  // one bit per hook kind

struct THookUserData {
  THookUserData* next;
  void* user;
  TKinds kinds;  // the kinds this registration has counted
};

struct THookProcData {
  THookProc proc;
  THookProcCodes codes;
  THookUserData* first;
};

struct THookInfo {
  std::uintptr_t handles[kHookKindCount];
  int counts[kHookKindCount];
};

// Per thread; plain pointers (no thread-local object needs a destructor).
thread_local THookInfo* hookInfo = nullptr;
thread_local std::vector<THookProcData>* procList = nullptr;

const THookPlatform* injected = nullptr;

const THookPlatform& Platform() {
  return injected ? *injected : PlatformHooks();
}

TKinds KindsOf(THookProcCodes codes) {
  TKinds kinds = 0;
  for (unsigned code = 0; code < 5; ++code) {
    if (codes & (1u << code)) kinds |= 1u << HookKindOf(static_cast<THookProcCode>(code));
  }
  return kinds;
}

void AcquireHooks(TKinds kinds, TKinds& installed) {
  if (!hookInfo) hookInfo = new THookInfo{};
  for (int kind = 0; kind < kHookKindCount; ++kind) {
    const TKinds bit = static_cast<TKinds>(1u << kind);
    if ((kinds & bit) && !(installed & bit)) {
      ++hookInfo->counts[kind];
      installed |= bit;
    }
  }
  for (int kind = 0; kind < kHookKindCount; ++kind) {
    if ((installed & (1u << kind)) && !hookInfo->handles[kind]) {
      hookInfo->handles[kind] = Platform().install(kind);
    }
  }
}

void ReleaseHooks(TKinds kinds, bool force) noexcept {
  if (!hookInfo) return;
  for (int kind = 0; kind < kHookKindCount; ++kind) {
    if (!(kinds & (1u << kind))) continue;
    // Forced, the counts go too, so that the record can be freed.
    if (force) {
      hookInfo->counts[kind] = 0;
    } else if (hookInfo->counts[kind] > 0) {
      --hookInfo->counts[kind];
    }
    if (hookInfo->counts[kind] == 0 && hookInfo->handles[kind]) {
      Platform().uninstall(hookInfo->handles[kind]);
      hookInfo->handles[kind] = 0;
    }
  }
  for (int kind = 0; kind < kHookKindCount; ++kind) {
    if (hookInfo->counts[kind] || hookInfo->handles[kind]) return;
  }
  delete hookInfo;
  hookInfo = nullptr;
}

THookProcData* FindProc(THookProc proc) {
  if (!procList) return nullptr;
  for (THookProcData& data : *procList) {
    if (data.proc == proc) return &data;
  }
  return nullptr;
}

// Releases the calling thread's hooks when the process ends normally.
struct TExitRelease {
  ~TExitRelease() { ReleaseThreadHooks(); }
} exitRelease;

}  // namespace

int HookKindOf(THookProcCode code) {
  switch (code) {
    case THookProcCode::hpPreDestroy:
      return 1;
    case THookProcCode::hpGetMessage:
      return 2;
    default:
      return 0;
  }
}

void SetHookPlatform(const THookPlatform* platform) {
  injected = platform;
}

void RegisterHookProc(void* user, THookProc proc, THookProcCodes codes) {
  if (!procList) procList = new std::vector<THookProcData>();
  THookProcData* data = FindProc(proc);
  THookUserData* record = nullptr;
  if (data) {
    for (THookUserData* r = data->first; r; r = r->next) {
      if (r->user == user) record = r;
    }
    if (!record) data->first = record = new THookUserData{data->first, user, 0};
  } else {
    record = new THookUserData{nullptr, user, 0};
    procList->push_back({proc, codes, record});
    data = &procList->back();
  }
  // The hooks the given codes need, even where the procedure keeps the codes of its first
  // registration.
  AcquireHooks(KindsOf(codes), record->kinds);
}

void UnregisterHookProc(void* user, THookProc proc) {
  THookProcData* data = FindProc(proc);
  if (!data) return;
  THookUserData** link = &data->first;
  while (*link && (*link)->user != user) link = &(*link)->next;
  THookUserData* record = *link;
  if (!record) return;
  *link = record->next;
  const TKinds kinds = record->kinds;
  delete record;
  if (!data->first) {
    std::erase_if(*procList, [proc](const THookProcData& d) { return d.proc == proc; });
  }
  ReleaseHooks(kinds, false);
  if (procList->empty()) {
    delete procList;
    procList = nullptr;
  }
}

void ReleaseThreadHooks() noexcept {
  ReleaseHooks(0x7, true);
  if (!procList) return;
  for (THookProcData& data : *procList) {
    while (THookUserData* record = data.first) {
      data.first = record->next;
      delete record;
    }
  }
  delete procList;
  procList = nullptr;
}

std::uintptr_t HookHandle(int kind) {
  return hookInfo && kind >= 0 && kind < kHookKindCount ? hookInfo->handles[kind] : 0;
}

void DispatchHookCode(THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                      std::intptr_t lParam) noexcept {
  if (!procList) return;
  const THookProcCodes bit = HookCode(code);
  // A snapshot: procedures may register and unregister while the walk goes on.
  THookProc snapshot[16];
  std::vector<THookProc> more;
  std::size_t count = 0;
  for (const THookProcData& data : *procList) {
    if (!(data.codes & bit)) continue;
    if (count < std::size(snapshot)) {
      snapshot[count++] = data.proc;
    } else {
      more.push_back(data.proc);
    }
  }
  const auto call = [&](THookProc proc) {
    if (!FindProc(proc)) return;  // unregistered meanwhile
    try {
      proc(code, wnd, wParam, lParam);
    } catch (...) {
      // Dropped: the next procedure and the next hook still run.
    }
  };
  for (std::size_t i = 0; i < count; ++i) call(snapshot[i]);
  for (THookProc proc : more) call(proc);
}

THookState CurrentHookState() {
  THookState state;
  if (hookInfo) {
    state.exists = true;
    for (int kind = 0; kind < kHookKindCount; ++kind) {
      state.counts[kind] = hookInfo->counts[kind];
      state.handles[kind] = hookInfo->handles[kind];
    }
  }
  state.procedures = procList ? static_cast<int>(procList->size()) : 0;
  return state;
}

}  // namespace tb
