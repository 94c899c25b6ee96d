// Start-up and shut-down of the track image bridge, called in order from the program's entry
// point: Initialize makes the list of the blocks the track library takes through the host
// services, Finalize frees the list (not the blocks it may still name). A library used without
// them (a tool or a test) makes the list when it first allocates.
#pragma once

namespace hfe {

void Initialize();
void Finalize();

}  // namespace hfe
