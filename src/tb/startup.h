// Start-up and shut-down of the toolbar framework, called in order from the program's entry
// point (never from static constructors, whose order across files is not defined).
//   Initialize: binds the optional system entry points (Windows), initialises COM for the
//   accessibility objects, makes the toolbar font from the system's menu font and makes the
//   framework's popup windows the ones its menus open; later calls do nothing more.
//   Finalize: menus open no popup windows any more; the live accessibility objects are
//   disconnected from their clients and COM is uninitialised as far as Initialize took it; the
//   calling thread's deferred-click window and list and the toolbar font are freed.
#pragma once

namespace tb {

void Initialize();
void Finalize();

}  // namespace tb
