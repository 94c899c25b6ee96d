// The units' start-up steps in their fixed order; shutdown runs them backwards.
#include "gfx/startup.h"

#include <memory>

#include "gfx/bitmap32.h"
#include "gfx/blend.h"
#include "gfx/drawing.h"
#include "gfx/filters.h"
#include "gfx/lowlevel.h"
#include "gfx/micro_tiles.h"
#include "gfx/resamplers.h"
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
  BindResamplerCells(features);
  RegisterResamplersAndKernels();
  ProcessorCount = GetProcessorCount();
  // Filters.
  BindFilterCells(features);
  // The bitmap unit.
  BindBitmapCells(features);
  InitializeBitmapUnit();
  // Micro-tiles.
  BindMicroTileCells(features);
}

void Finalize() {
  if (!initialized) return;
  initialized = false;
  // The bitmap unit (micro-tiles have nothing to free); then the resamplers.
  FinalizeBitmapUnit();
  FreeResamplerAndKernelRegistries();
  if (MMXActive) FreeAlphaTable();
  globalPerfTimer.reset();
  FreeThemeNexus();
}

bool Initialized() {
  return initialized;
}

}  // namespace gfx
