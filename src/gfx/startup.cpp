// The units' start-up steps in their fixed order; shutdown runs them backwards.
#include "gfx/startup.h"

#include <memory>

#include "gfx/blend.h"
#include "gfx/filters.h"
#include "gfx/lowlevel.h"
#include "gfx/themes.h"

namespace gfx {

namespace {
bool initialized = false;
std::unique_ptr<TPerfTimer> globalPerfTimer;
}  // namespace

TPerfTimer* GlobalPerfTimer() {
  return globalPerfTimer.get();
}

void Initialize() {
  if (!initialized) Initialize(DetectCpuFeatures());
}

void Initialize(const TCpuFeatures& features) {
  if (initialized) return;
  initialized = true;
  SetCpuFeatures(features);
  // System services.
  CreateThemeNexus();
  globalPerfTimer = std::make_unique<TPerfTimer>();
  // Low-level routines.
  BindLowLevelCells(features);
  // Blending.
  MakeMergeTables();
  BindBlendCells(features);
  if (MMXActive) GenAlphaTable();
  // (Resamplers: their cells, then the resampler and kernel registries.)
  ProcessorCount = GetProcessorCount();
  // Filters.
  BindFilterCells(features);
  // (The bitmap unit, micro-tiles and the image view follow here.)
}

void Finalize() {
  if (!initialized) return;
  initialized = false;
  // (The image view, micro-tiles and the bitmap unit shut down here; then the resamplers.)
  if (MMXActive) FreeAlphaTable();
  globalPerfTimer.reset();
  FreeThemeNexus();
}

bool Initialized() {
  return initialized;
}

}  // namespace gfx
