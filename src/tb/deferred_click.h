// The deferred-click queue of the current thread: a command chosen in a menu runs after the
// current message has been handled (after the menu loop has ended).
//   Each thread keeps slots of queued targets; a port (the Windows side: a hidden window and
//   the message 0x500; tests: a fake) is told of each queued slot and hands it back to
//   DeliverDeferredClick later. The slots and the port are made on first use and freed when
//   the thread's last live item or viewer is destroyed.
#pragma once

#include <cstdint>
#include <memory>

namespace tb {

// The deferred-click queue of the current thread. Each thread keeps slots of queued objects;
// a port (the Windows side: a hidden window and the message 0x500; tests: a fake) delivers
// each posted slot later by calling DeliverDeferredClick. The port is made on first use and
// freed with the queue when the thread's last item or viewer is destroyed.
class TTBDeferredTarget {
 public:
  virtual void DeferredClick(std::uintptr_t flag) = 0;

 protected:
  ~TTBDeferredTarget() = default;
};
class DeferredClickPort {
 public:
  virtual ~DeferredClickPort() = default;
  virtual void Post(int slot, std::uintptr_t flag) = 0;
};
using DeferredClickPortFactory = std::unique_ptr<DeferredClickPort> (*)();
// Installs the factory of ports (null: the platform's, PlatformDeferredClickPort).
void SetDeferredClickPortFactory(DeferredClickPortFactory factory);
// The platform's port: a hidden window on Windows; none elsewhere.
std::unique_ptr<DeferredClickPort> PlatformDeferredClickPort();
// Queues `target`; returns the slot (posted to the port).
int QueueDeferredClick(TTBDeferredTarget* target, std::uintptr_t flag);
// Turns every pending slot of `target` into a tombstone (the target is going away).
void WithdrawDeferredClicks(const TTBDeferredTarget* target);
// Delivers a posted slot: nothing for an unknown slot or a tombstone.
void DeliverDeferredClick(int slot, std::uintptr_t flag);
// Frees the calling thread's queue and its port at the framework's shut-down, whatever items
// still live; clicks still pending are dropped (a later click makes a new queue).
void ReleaseDeferredClicks();
// Counts the thread's live items and viewers (the queue lives while any does).
void AddLiveDeferredUser();
void ReleaseLiveDeferredUser();
// Pending slots of this thread (for tests).
int PendingDeferredSlots();

}  // namespace tb
