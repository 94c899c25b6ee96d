#include "gfx/repaint_optimizer.h"

#include <algorithm>

namespace gfx {

// ---- TCustomRepaintOptimizer ----

TCustomRepaintOptimizer::TCustomRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects)
    : FBuffer(Buffer), FInvalidRects(InvalidRects) {}

TCustomRepaintOptimizer::~TCustomRepaintOptimizer() {
  for (TLayerCollection* layers : FLayerCollections) {
    layers->RemoveObserver(this);
    if (FEnabled) RemoveHandlers(*layers);
  }
}

void TCustomRepaintOptimizer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  for (TLayerCollection* layers : FLayerCollections) {
    if (Value)
      InstallHandlers(*layers);
    else
      RemoveHandlers(*layers);
  }
}

void TCustomRepaintOptimizer::RegisterLayerCollection(TLayerCollection* Layers) {
  if (!Layers || std::find(FLayerCollections.begin(), FLayerCollections.end(), Layers) !=
                     FLayerCollections.end())
    return;
  FLayerCollections.push_back(Layers);
  Layers->AddObserver(this);
  if (FEnabled) InstallHandlers(*Layers);
}

// The collection's layers leave the optimiser as deleted ones do: their last places are
// repainted and nothing keeps them listed. Only dropping the handlers left them on the lists,
// to be painted after their collection had freed them.
void TCustomRepaintOptimizer::UnregisterLayerCollection(TLayerCollection* Layers) {
  const auto it = std::find(FLayerCollections.begin(), FLayerCollections.end(), Layers);
  if (it == FLayerCollections.end()) return;
  FLayerCollections.erase(it);
  Layers->RemoveObserver(this);
  if (!FEnabled) return;
  for (std::int32_t i = 0; i < Layers->Count(); ++i)
    LayerCollectionNotifyHandler(lnLayerDeleted, Layers->Items(i), i);
  RemoveHandlers(*Layers);
}

void TCustomRepaintOptimizer::LayerCollectionDestroying(TLayerCollection& Collection) {
  UnregisterLayerCollection(&Collection);
}

void TCustomRepaintOptimizer::InstallHandlers(TLayerCollection& Layers) {
  Layers.OnLayerUpdated = [this](TLayerCollection*, TCustomLayer* layer) {
    LayerUpdateHandler(layer);
  };
  Layers.OnAreaUpdated = [this](TLayerCollection*, const TRect& area, std::uint32_t info) {
    AreaUpdateHandler(area, info);
  };
  Layers.OnListNotify = [this](TLayerCollection*, TLayerListNotification action,
                               TCustomLayer* layer, std::int32_t index) {
    LayerCollectionNotifyHandler(action, layer, index);
  };
}

void TCustomRepaintOptimizer::RemoveHandlers(TLayerCollection& Layers) {
  Layers.OnLayerUpdated = nullptr;
  Layers.OnAreaUpdated = nullptr;
  Layers.OnListNotify = nullptr;
}

// ---- TMicroTilesRepaintOptimizer ----

TMicroTilesRepaintOptimizer::TMicroTilesRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects,
                                                         const TPerfCounter& Counter)
    : TCustomRepaintOptimizer(Buffer, InvalidRects), FCounter(Counter), FPerfTimer(Counter) {}

TMicroTilesRepaintOptimizer::~TMicroTilesRepaintOptimizer() = default;

std::int64_t TMicroTilesRepaintOptimizer::Tick() const {
  // One reading: two could straddle a second and lose almost all of it.
  const std::int64_t frequency = FCounter.Frequency(), counter = FCounter.Counter();
  return frequency > 0 ? counter / frequency * 1000 + counter % frequency * 1000 / frequency : 0;
}

void TMicroTilesRepaintOptimizer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  TCustomRepaintOptimizer::SetEnabled(Value);
  if (Value) {
    BufferResizedHandler(FBuffer.Width(), FBuffer.Height());
    return;
  }
  MicroTilesDestroy(FInvalidTiles);
  MicroTilesDestroy(FOldInvalidTiles);
  MicroTilesDestroy(FWorkingTiles);
  FOldInvalidTilesMap.clear();
  for (TCustomLayer* layer : FInvalidLayers) layer->MarkInvalid(false);
  FInvalidLayers.clear();
  FWorkingTilesValid = false;
  FOldInvalidTilesValid = false;
  FUseInvalidTiles = false;
}

void TMicroTilesRepaintOptimizer::SetAdaptiveMode(bool Value) {
  if (Value == FAdaptiveMode) return;
  FAdaptiveMode = Value;
  ResetAdaptiveMode();
}

void TMicroTilesRepaintOptimizer::BufferResizedHandler(std::int32_t NewWidth,
                                                       std::int32_t NewHeight) {
  FBufferBounds = TRect{0, 0, NewWidth, NewHeight};
  Reset();
}

void TMicroTilesRepaintOptimizer::Reset() {
  FWorkingTilesValid = false;
  FOldInvalidTilesValid = false;
  // Every layer of the registered collections gets a fresh grid over the buffer.
  FOldInvalidTilesMap.clear();
  for (TLayerCollection* layers : FLayerCollections)
    for (std::int32_t i = 0; i < layers->Count(); ++i)
      MicroTilesSetSize(FOldInvalidTilesMap[layers->Items(i)], FBufferBounds);
  MicroTilesSetSize(FInvalidTiles, FBufferBounds);
  std::fill(FInvalidTiles.Tiles.begin(), FInvalidTiles.Tiles.end(), MICROTILE_FULL);
  FInvalidTiles.BoundsUsedTiles = TRect{0, 0, FInvalidTiles.Columns - 1, FInvalidTiles.Rows - 1};
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::ValidateWorkingTiles() {
  if (FWorkingTilesValid) return;
  FWorkingTilesValid = true;
  MicroTilesSetSize(FWorkingTiles, FBufferBounds);
  MicroTilesSetSize(FOldInvalidTiles, FBufferBounds);
}

void TMicroTilesRepaintOptimizer::DrawLayerToMicroTiles(TMicroTiles& Tiles, TCustomLayer& Layer) {
  FBuffer.BeginMeasuring([&Tiles](TBitmap32*, const TRect& area, std::uint32_t info) {
    MicroTilesAddArea(Tiles, area, info);
  });
  try {
    Layer.PaintLayer(FBuffer);
  } catch (...) {
    FBuffer.EndMeasuring();
    throw;
  }
  FBuffer.EndMeasuring();
}

void TMicroTilesRepaintOptimizer::UpdateOldInvalidTiles() {
  if (FOldInvalidTilesValid) return;
  ValidateWorkingTiles();
  for (auto& [layer, tiles] : FOldInvalidTilesMap) DrawLayerToMicroTiles(tiles, *layer);
  FOldInvalidTilesValid = true;
}

bool TMicroTilesRepaintOptimizer::UpdatesAvailable() {
  UpdateOldInvalidTiles();
  return FUseInvalidTiles;
}

void TMicroTilesRepaintOptimizer::AreaUpdateHandler(const TRect& Area, std::uint32_t Info) {
  ValidateWorkingTiles();
  MicroTilesAddArea(FInvalidTiles, Area, Info, Rounding());
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::LayerUpdateHandler(TCustomLayer* Layer) {
  if (FOldInvalidTilesValid && !(Layer->LayerOptions() & LOB_INVALID)) {
    FInvalidLayers.push_back(Layer);
    Layer->MarkInvalid(true);
  }
  FUseInvalidTiles = true;
}

void TMicroTilesRepaintOptimizer::LayerCollectionNotifyHandler(TLayerListNotification Action,
                                                               TCustomLayer* Layer,
                                                               std::int32_t /*Index*/) {
  switch (Action) {
    case lnLayerAdded:
    case lnLayerInserted:
      MicroTilesSetSize(FOldInvalidTilesMap[Layer], FBufferBounds);
      // A new layer counts as changed, so the next paint shows it.
      LayerUpdateHandler(Layer);
      break;
    case lnLayerDeleted: {
      const auto it = FOldInvalidTilesMap.find(Layer);
      if (it != FOldInvalidTilesMap.end()) {
        MicroTilesMerge(FOldInvalidTiles, it->second);
        FOldInvalidTilesMap.erase(it);
      }
      std::erase(FInvalidLayers, Layer);
      Layer->MarkInvalid(false);
      break;
    }
    case lnCleared:
      for (auto& [layer, tiles] : FOldInvalidTilesMap) MicroTilesMerge(FOldInvalidTiles, tiles);
      FOldInvalidTilesMap.clear();
      FInvalidLayers.clear();
      ResetAdaptiveMode();
      break;
  }
}

void TMicroTilesRepaintOptimizer::PerformOptimization() {
  if (!FUseInvalidTiles) return;
  ValidateWorkingTiles();
  const bool round = Rounding();
  for (TCustomLayer* layer : FInvalidLayers) {
    MicroTilesClear(FWorkingTiles);
    DrawLayerToMicroTiles(FWorkingTiles, *layer);
    MicroTilesMerge(FOldInvalidTiles, FWorkingTiles, round);
    TMicroTiles& previous = FOldInvalidTilesMap[layer];
    MicroTilesMerge(FOldInvalidTiles, previous, round);
    MicroTilesCopy(previous, FWorkingTiles);
    layer->MarkInvalid(false);
  }
  FInvalidLayers.clear();
  MicroTilesCalcRects(FOldInvalidTiles, FInvalidRects, false, round);
  MicroTilesCalcRects(FInvalidTiles, FInvalidRects, false, round);
  if (FAdaptiveMode) CheckAdaption();
  MicroTilesClearUsed(FOldInvalidTiles);
  MicroTilesClearUsed(FInvalidTiles);
}

void TMicroTilesRepaintOptimizer::BeginPaintBuffer() {
  if (FAdaptiveMode) FPerfTimer.Start();
}

void TMicroTilesRepaintOptimizer::EndPaintBuffer() {
  FUseInvalidTiles = false;
  if (FAdaptiveMode) EndAdaption();
}

void TMicroTilesRepaintOptimizer::ResetAdaptiveMode() {
  FPerformanceLevel = 0;
  FTimeDelta = 1000;
  FTimedCheck = false;
}

void TMicroTilesRepaintOptimizer::CheckAdaption() {
  if (FPerformanceLevel >= 1) {
    if (Tick() > FNextCheck) {
      --FPerformanceLevel;
      FTimedCheck = true;
    } else if (!FAdaptionFailed && FInvalidRects.Count() < FOldInvalidRectsCount - 10) {
      --FPerformanceLevel;
    }
  }
  if (FPerformanceLevel >= 2) FInvalidRects.Clear();
}

void TMicroTilesRepaintOptimizer::EndAdaption() {
  const std::int64_t elapsed = FPerfTimer.ReadValue();
  const std::int64_t now = Tick();
  if (FInvalidRects.Count() == 0) {
    FElapsedTimeForFullSceneRepaint = elapsed;
  } else if (elapsed > FElapsedTimeForFullSceneRepaint) {
    const std::int32_t level = std::min(FPerformanceLevel + 1, 2);
    if (level != FPerformanceLevel) {
      FPerformanceLevel = level;
      FOldInvalidRectsCount = FInvalidRects.Count();
    }
    if (FTimedCheck) {
      FTimeDelta = std::clamp(FTimeDelta + 250, 1000, 5000);
      FNextCheck = now + FTimeDelta;
      FElapsedTimeOnLastPenalty = elapsed;
      FTimedCheck = false;
    }
    FAdaptionFailed = true;
  } else if (elapsed == FElapsedTimeForFullSceneRepaint) {
    if (elapsed < FElapsedTimeOnLastPenalty && FTimedCheck) {
      FTimeDelta = std::clamp(FTimeDelta - 250, 1000, 5000);
      FNextCheck = now + FTimeDelta;
    }
  } else {
    if (FTimedCheck) {
      FTimeDelta = 1000;
      FNextCheck = now + 1000;
      FTimedCheck = false;
    } else if (FTimeDelta > 1000) {
      FTimeDelta = std::max(FTimeDelta - 1000, 1000);
      FNextCheck = now + FTimeDelta;
    }
    FAdaptionFailed = false;
  }
  FElapsedTimeForLastRepaint = elapsed;
}

}  // namespace gfx
