// The host services' table: its memory entries with the allocation list they keep, and the file
// entries of host_files.cpp.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "hfe/host_files.h"
#include "hfe/host_services.h"
#include "hfe/startup.h"

namespace hfe {

namespace {

struct TAllocationList {
  std::mutex lock;
  std::unique_ptr<std::vector<void*>> blocks;  // null before start-up and after shut-down
};

// Allocations left before the next one fails; negative: no limit.
std::atomic<std::int64_t> allocationsLeft{-1};

bool AllocationAllowed() {
  std::int64_t left = allocationsLeft.load();
  while (left > 0 && !allocationsLeft.compare_exchange_weak(left, left - 1)) {
  }
  return left != 0;
}

TAllocationList& List() {
  static TAllocationList list;
  return list;
}

std::vector<void*>& BlocksLocked(TAllocationList& list) {
  if (!list.blocks) list.blocks = std::make_unique<std::vector<void*>>();
  return *list.blocks;
}

void* Fill(void* block, int value, std::size_t count) {
  return std::memset(block, value, count);
}

void* Copy(void* to, const void* from, std::size_t count) {
  return std::memmove(to, from, count);
}

// Lists a block unless the list has no room for it.
bool AddToList(void* block) {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  try {
    BlocksLocked(list).push_back(block);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void* Allocate(std::size_t size) {
  if (!AllocationAllowed()) return nullptr;
  void* block = std::malloc(std::max<std::size_t>(size, 1));
  if (block && !AddToList(block)) {
    std::free(block);
    return nullptr;
  }
  return block;
}

// The last occurrence is the one taken: addresses of live blocks never repeat, and the library
// frees its newest blocks first.
void Unlist(void* block) {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  if (!list.blocks) return;
  std::vector<void*>& blocks = *list.blocks;
  const auto found = std::find(blocks.rbegin(), blocks.rend(), block);
  if (found != blocks.rend()) blocks.erase(std::next(found).base());
}

void Release(void* block) {
  if (!block) return;
  Unlist(block);
  std::free(block);
}

// The list follows the block to its new address: an old address left in it would name freed
// memory, and the new block would be freed without ever being unlisted.
void* Reallocate(void* block, std::size_t size) {
  if (!block) return Allocate(size);
  if (!AllocationAllowed()) return nullptr;
  void* moved = std::realloc(block, std::max<std::size_t>(size, 1));
  if (!moved) return nullptr;
  {
    TAllocationList& list = List();
    const std::lock_guard guard(list.lock);
    if (list.blocks) {
      const auto found = std::find(list.blocks->rbegin(), list.blocks->rend(), block);
      if (found != list.blocks->rend()) {
        *found = moved;
        return moved;
      }
    }
  }
  // A block the list does not name (made before the list was) is listed from now on, when the
  // list has room for it; the resized block is the caller's either way.
  AddToList(moved);
  return moved;
}

int Compare(const char* a, const char* b, std::size_t count) {
  return std::strncmp(a, b, count);
}

int Print(const char* /*text*/) {
  return 0;
}

int PutChar(int /*character*/) {
  return 0;
}

void Hook() {}

}  // namespace

const THostServices& HostServices() {
  static constexpr THostServices kServices = {
      Fill,         Copy,         Allocate,     Reallocate,    Release,
      Compare,      OpenHostFile, ReadHostFile, WriteHostFile, CloseHostFile,
      SeekHostFile, Print,        PutChar,      Hook,          Hook};
  return kServices;
}

std::vector<void*> LiveBlocks() {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  return list.blocks ? *list.blocks : std::vector<void*>();
}

std::size_t LiveBlockCount() {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  return list.blocks ? list.blocks->size() : 0;
}

void LimitAllocations(std::int64_t count) {
  allocationsLeft = count < 0 ? -1 : count;
}

void Initialize() {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  BlocksLocked(list);
}

void Finalize() {
  TAllocationList& list = List();
  const std::lock_guard guard(list.lock);
  list.blocks.reset();
}

}  // namespace hfe
