// No exception may leave a COM method: its body runs under a guard that hands the error to the
// hook error handler (the application's, by default) and answers the caller with a failure code.
#pragma once

#include <windows.h>

#include <new>

#include "ux/win32/hook_errors.h"

namespace ux::win32 {

template <class Body>
HRESULT GuardCom(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    HandleHookError();
    return E_OUTOFMEMORY;
  } catch (...) {
    HandleHookError();
    return E_UNEXPECTED;
  }
}

}  // namespace ux::win32
