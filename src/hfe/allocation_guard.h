// Running out of memory inside the track library ends the one call, not the program: an entry
// point that catches it logs "<entry> : malloc error" at the error level and answers its failure
// value (-5, or nothing), and nothing is raised to the caller. Other exceptions (a host file that
// cannot be opened) pass as they are.
#pragma once

#include <new>
#include <utility>

#include "hfe/track_library.h"

namespace hfe {

// Entry points that call other entry points answer for the whole call: only the outermost guard
// of a thread catches, so a walk that runs out part-way fails as a whole instead of answering the
// part it had (and the failure is logged once).
inline thread_local int allocationGuardDepth = 0;

template <class Result, class Body>
Result GuardAllocation(const TLibContext* context, const char* entry, Result failure, Body&& body) {
  if (allocationGuardDepth > 0) return std::forward<Body>(body)();
  struct Depth {
    Depth() { ++allocationGuardDepth; }
    ~Depth() { --allocationGuardDepth; }
  };
  try {
    const Depth inside;
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    if (context) context->Log(kLogError, "%s : malloc error", entry);
    return failure;
  }
}

}  // namespace hfe
