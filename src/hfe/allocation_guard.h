// Running out of memory inside the track library ends the one call, not the program: an entry
// point that catches it logs "<entry> : malloc error" at the error level and answers its failure
// value (-5, or nothing), and nothing is raised to the caller. Other exceptions (a host file that
// cannot be opened) pass as they are.
#pragma once

#include <new>
#include <utility>

#include "hfe/track_library.h"

namespace hfe {

template <class Result, class Body>
Result GuardAllocation(const TLibContext* context, const char* entry, Result failure, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (const std::bad_alloc&) {
    if (context) context->Log(kLogError, "%s : malloc error", entry);
    return failure;
  }
}

}  // namespace hfe
