// Byte streams across the COM boundary: a COM stream over a file's bytes for the shell, and a
// byte stream over the medium another program hands us.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <memory>
#include <span>

#include "app/dragdrop/win32/com_object.h"
#include "app/dragdrop/win32/global_memory.h"
#include "rtl/stream.h"

namespace app::dragdrop {

// A new COM stream over a copy of the bytes, at position 0. Raises std::bad_alloc on failure.
TComRef<IStream> MakeMemoryIStream(std::span<const std::uint8_t> bytes);

// Reads a received medium from its start: a stream, or a global memory block (all of it). The
// reader owns the medium and releases it. Null for any other medium.
std::unique_ptr<rtl::TStream> OpenMediumReader(TStgMedium medium);

}  // namespace app::dragdrop
