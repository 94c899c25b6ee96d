#include "tb/deferred_click.h"

#include <vector>

namespace tb {

namespace {

DeferredClickPortFactory gPortFactory = nullptr;

struct Slot {
  TTBDeferredTarget* target = nullptr;
  bool tombstone = false;
  bool Empty() const { return !target && !tombstone; }
};

struct Queue {
  std::vector<Slot> slots;
  std::unique_ptr<DeferredClickPort> port;
};

// Plain pointers: thread-local objects with destructors are avoided on purpose.
thread_local Queue* tQueue = nullptr;
thread_local int tLiveUsers = 0;

}  // namespace

void SetDeferredClickPortFactory(DeferredClickPortFactory factory) {
  gPortFactory = factory;
}

int QueueDeferredClick(TTBDeferredTarget* target, std::uintptr_t flag) {
  if (!tQueue) {
    tQueue = new Queue;
    tQueue->port = gPortFactory ? gPortFactory() : PlatformDeferredClickPort();
  }
  auto& slots = tQueue->slots;
  std::size_t index = 0;
  while (index < slots.size() && !slots[index].Empty()) ++index;
  if (index == slots.size()) slots.emplace_back();
  slots[index] = {target, false};
  const int slot = static_cast<int>(index);
  if (tQueue->port) tQueue->port->Post(slot, flag);
  return slot;
}

void WithdrawDeferredClicks(const TTBDeferredTarget* target) {
  if (!tQueue) return;
  for (Slot& slot : tQueue->slots) {
    if (slot.target == target) slot = {nullptr, true};
  }
}

void DeliverDeferredClick(int slot, std::uintptr_t flag) {
  if (!tQueue || slot < 0 || static_cast<std::size_t>(slot) >= tQueue->slots.size()) return;
  auto& slots = tQueue->slots;
  TTBDeferredTarget* target = slots[static_cast<std::size_t>(slot)].target;
  slots[static_cast<std::size_t>(slot)] = {};
  while (!slots.empty() && slots.back().Empty()) slots.pop_back();
  if (target) target->DeferredClick(flag);
}

void AddLiveDeferredUser() {
  ++tLiveUsers;
}

void ReleaseDeferredClicks() {
  delete tQueue;
  tQueue = nullptr;
}

void ReleaseLiveDeferredUser() {
  if (--tLiveUsers <= 0) ReleaseDeferredClicks();
}

int PendingDeferredSlots() {
  return tQueue ? static_cast<int>(tQueue->slots.size()) : 0;
}

}  // namespace tb
