// Start-up and shut-down of the settings subsystem, called in order from the program's entry
// point (never from static constructors, whose order across files is not defined).
//   InitModules: loads the hand and drag cursors and the rich-edit library with its clipboard
//   formats (Windows), notes the four-digit-year flag; the hook list is made on first use.
//   DoneModules: frees the hook list with every record still in it and the rich-edit library
//   (Windows) and resets the module-wide defaults.
#pragma once

namespace ux {

void InitModules();
void DoneModules();

}  // namespace ux
