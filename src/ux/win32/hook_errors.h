// Where errors raised inside a window procedure go: no exception may leave one.
#pragma once

#include <functional>

namespace ux::win32 {

// Called inside a catch block; by default the application reports the error.
void SetHookErrorHandler(std::function<void()> handler);
void HandleHookError() noexcept;

}  // namespace ux::win32
