// Start-up and shut-down of the skinned controls, called in order from the program's entry point
// (never from static constructors, whose order across files is not defined). Counted: only the
// first Initialize and the matching last Finalize act.
//   Initialize: makes the skin manager with the built-in skins, a shared 8 x 8 bitmap, keeps
//   user32's "PrintWindow" entry (null where missing) and binds msimg32's "GradientFill" for the
//   gradient painter (left unbound where missing).
//   Finalize: frees the shared bitmap and the skin manager with its skins and skins list; the
//   aluminium texture tables go with the last aluminium skin.
#pragma once

#include <windows.h>

namespace skbar {

void Initialize();
void Finalize();
// Null outside Initialize ... Finalize.
HBITMAP SkSharedBitmap();
FARPROC SkPrintWindowProc();

}  // namespace skbar
