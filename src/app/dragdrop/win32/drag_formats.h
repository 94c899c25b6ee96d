// The clipboard formats of drag and drop: the shell's virtual-file formats, registered by name,
// and the format descriptions offered and asked for.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <array>

namespace app::dragdrop {

struct TDragFormats {
  CLIPFORMAT FileGroupDescriptor = 0;  // "FileGroupDescriptorW"
  CLIPFORMAT FileContents = 0;         // "FileContents"
};

// Registered at the first call.
const TDragFormats& DragFormats();

// Registers, at start-up, the shell's clipboard formats the program knows: the two virtual-file
// formats it uses and "Shell IDList Array", "FileNameW", "FileNameMapW",
// "UniformResourceLocatorW" and "UniformResourceLocator", which it does not read.
void RegisterShellFormats();

// The format for the whole content: no target device, index -1, in global memory.
FORMATETC MakeFormatEtc(CLIPFORMAT format);

// What a drag out offers, in this order: the descriptor in global memory, then each file's
// contents as a stream.
std::array<FORMATETC, 2> OfferedFormats();

}  // namespace app::dragdrop
