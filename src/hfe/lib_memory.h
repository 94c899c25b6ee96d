// The track library's memory comes through the host services: its containers use TLibAllocator,
// and its records take their own blocks through the TLibRecord operators.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "hfe/host_services.h"

namespace hfe {

template <class T>
struct TLibAllocator {
  using value_type = T;
  TLibAllocator() = default;
  template <class U>
  TLibAllocator(const TLibAllocator<U>& /*other*/) noexcept {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    void* block = HostServices().allocate(count * sizeof(T));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* block, std::size_t /*count*/) noexcept { HostServices().release(block); }

  template <class U>
  bool operator==(const TLibAllocator<U>& /*other*/) const noexcept {
    return true;
  }
};

template <class T>
using TLibVector = std::vector<T, TLibAllocator<T>>;

// A record made with new takes its block through the host services.
struct TLibRecord {
  static void* operator new(std::size_t size) {
    void* block = HostServices().allocate(size);
    if (!block) throw std::bad_alloc();
    return block;
  }
  static void operator delete(void* block) noexcept { HostServices().release(block); }
};

}  // namespace hfe
