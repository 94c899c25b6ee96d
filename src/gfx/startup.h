// Start-up and shutdown of the bitmap units, in place of unit initialisation: Initialize runs
// the units' start-up steps once, in their fixed order (system services, low-level routines,
// blending, processor count, filters, then the units built on them); Finalize runs the
// shutdown steps in reverse. Each unit adds its steps in startup.cpp at its place.
#pragma once

#include "gfx/system.h"

namespace gfx {

// Detects the processor's features and runs every start-up step; later calls do nothing.
void Initialize();
// The same with given features (tests bind forms a processor would choose).
void Initialize(const TCpuFeatures& features);
void Finalize();
bool Initialized();

}  // namespace gfx
