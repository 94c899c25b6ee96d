// Repaint optimisers: what a paint box repaints of its back buffer.
//   TCustomRepaintOptimizer: the contract over a buffer and the paint box's invalid-rectangle
//   list; registered layer collections are connected to it while it is enabled.
//   TMicroTilesRepaintOptimizer: records changed areas and changed layers (a new layer counts
//   as changed) in micro-tile grids and turns them into rectangles before each paint; in adaptive
//   mode it rounds to whole tiles (level 1) or repaints everything (level 2) when precise
//   repainting proves slower than a full one. The paint time and the tick come from one injected
//   performance counter. A collection that is unregistered, or destroyed while registered, takes
//   its layers off the optimiser's lists; their last places are repainted.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/containers.h"
#include "gfx/layers.h"
#include "gfx/micro_tiles.h"
#include "gfx/system.h"

namespace gfx {

class TCustomRepaintOptimizer : private TLayerCollectionObserver {
 public:
  TCustomRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects);
  virtual ~TCustomRepaintOptimizer();
  TCustomRepaintOptimizer(const TCustomRepaintOptimizer&) = delete;
  TCustomRepaintOptimizer& operator=(const TCustomRepaintOptimizer&) = delete;

  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  void RegisterLayerCollection(TLayerCollection* Layers);
  void UnregisterLayerCollection(TLayerCollection* Layers);

  virtual void Reset() = 0;
  virtual bool UpdatesAvailable() = 0;
  virtual void PerformOptimization() = 0;
  virtual void BeginPaint() {}
  virtual void EndPaint() {}
  virtual void BeginPaintBuffer() {}
  virtual void EndPaintBuffer() {}

  virtual void AreaUpdateHandler(const TRect& Area, std::uint32_t Info) = 0;
  virtual void LayerUpdateHandler(TCustomLayer* Layer) = 0;
  virtual void LayerCollectionNotifyHandler(TLayerListNotification Action, TCustomLayer* Layer,
                                            std::int32_t Index) = 0;
  virtual void BufferResizedHandler(std::int32_t NewWidth, std::int32_t NewHeight) = 0;

  TBitmap32& Buffer() const { return FBuffer; }
  TRectList& InvalidRects() const { return FInvalidRects; }

 protected:
  void InstallHandlers(TLayerCollection& Layers);
  static void RemoveHandlers(TLayerCollection& Layers);
  void LayerCollectionDestroying(TLayerCollection& Collection) override;

  TBitmap32& FBuffer;
  TRectList& FInvalidRects;
  std::vector<TLayerCollection*> FLayerCollections;
  bool FEnabled = false;
};

class TMicroTilesRepaintOptimizer : public TCustomRepaintOptimizer {
 public:
  TMicroTilesRepaintOptimizer(TBitmap32& Buffer, TRectList& InvalidRects,
                              const TPerfCounter& Counter = PlatformPerfCounter());
  ~TMicroTilesRepaintOptimizer() override;

  void SetEnabled(bool Value) override;
  void Reset() override;
  bool UpdatesAvailable() override;
  void PerformOptimization() override;
  void BeginPaintBuffer() override;
  void EndPaintBuffer() override;
  void AreaUpdateHandler(const TRect& Area, std::uint32_t Info) override;
  void LayerUpdateHandler(TCustomLayer* Layer) override;
  void LayerCollectionNotifyHandler(TLayerListNotification Action, TCustomLayer* Layer,
                                    std::int32_t Index) override;
  void BufferResizedHandler(std::int32_t NewWidth, std::int32_t NewHeight) override;

  bool AdaptiveMode() const { return FAdaptiveMode; }
  void SetAdaptiveMode(bool Value);
  std::int32_t PerformanceLevel() const { return FPerformanceLevel; }
  std::int32_t TimeDelta() const { return FTimeDelta; }
  bool TimedCheck() const { return FTimedCheck; }

 private:
  void ValidateWorkingTiles();
  void UpdateOldInvalidTiles();
  void DrawLayerToMicroTiles(TMicroTiles& Tiles, TCustomLayer& Layer);
  void ResetAdaptiveMode();
  void CheckAdaption();
  void EndAdaption();
  std::int64_t Tick() const;
  bool Rounding() const { return FPerformanceLevel >= 1; }

  const TPerfCounter& FCounter;
  TPerfTimer FPerfTimer;
  TRect FBufferBounds;
  TMicroTiles FWorkingTiles, FOldInvalidTiles, FInvalidTiles;
  std::map<TCustomLayer*, TMicroTiles> FOldInvalidTilesMap;
  std::vector<TCustomLayer*> FInvalidLayers;

  bool FWorkingTilesValid = false;
  bool FOldInvalidTilesValid = false;
  bool FUseInvalidTiles = false;

  bool FAdaptiveMode = true;
  std::int32_t FPerformanceLevel = 0;
  std::int64_t FElapsedTimeForLastRepaint = 0;
  std::int64_t FElapsedTimeForFullSceneRepaint = 0;
  bool FAdaptionFailed = false;
  std::int32_t FTimeDelta = 1000;
  std::int64_t FNextCheck = 0;
  std::int64_t FElapsedTimeOnLastPenalty = 0;
  bool FTimedCheck = false;
  std::int32_t FOldInvalidRectsCount = 0;
};

}  // namespace gfx
