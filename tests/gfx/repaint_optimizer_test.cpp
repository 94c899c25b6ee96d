#include "gfx/repaint_optimizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "test_resampler.h"

namespace gfx {
namespace {

// Microsecond ticks that the test moves.
class TFakeCounter : public TPerfCounter {
 public:
  std::int64_t Frequency() const override { return 1000000; }
  std::int64_t Counter() const override { return now; }
  std::int64_t now = 0;
};

// A layer that touches one rectangle of the buffer when it paints.
class TRectLayer : public TCustomLayer {
 public:
  using TCustomLayer::TCustomLayer;
  static const TLayerClass Class;
  TRect Area{10, 10, 20, 20};

 protected:
  void Paint(TBitmap32& Buffer) override { Buffer.Changed(Area, AREAINFO_RECT); }
};
const TLayerClass TRectLayer::Class{
    L"TRectLayer", [](TLayerCollection& c) -> TCustomLayer* { return new TRectLayer(&c); }};

std::vector<TRect> Take(TRectList& list) {
  std::vector<TRect> rects(list.List(), list.List() + list.Count());
  list.Clear();
  return rects;
}

class RepaintOptimizer : public ::testing::Test, testing::TStubResamplersRegistered {
 protected:
  void SetUp() override {
    buffer.SetSize(256, 212);
    optimizer.RegisterLayerCollection(&layers);
  }
  // One paint of the buffer that takes `micros`, with the invalid list as it stands.
  void Paint(std::int64_t micros) {
    optimizer.BeginPaintBuffer();
    counter.now += micros;
    optimizer.EndPaintBuffer();
  }
  void Rects(int count) {
    invalid.Clear();
    for (int i = 0; i < count; ++i) invalid.Add(TRect{i, 0, i + 1, 1});
  }

  TFakeCounter counter;
  TBitmap32 buffer;
  TRectList invalid;
  TLayerCollection layers;
  TMicroTilesRepaintOptimizer optimizer{buffer, invalid, counter};
};

TEST_F(RepaintOptimizer, AfterResetThePaintCoversTheBuffer) {
  EXPECT_FALSE(optimizer.Enabled());
  optimizer.SetEnabled(true);
  ASSERT_TRUE(optimizer.UpdatesAvailable());
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{0, 0, 256, 212}}));
  Paint(100);
  EXPECT_FALSE(optimizer.UpdatesAvailable());

  optimizer.AreaUpdateHandler(TRect{40, 50, 45, 52}, AREAINFO_RECT);
  optimizer.AreaUpdateHandler(TRect{5, 5, 60, 5}, AREAINFO_LINE | 1);
  ASSERT_TRUE(optimizer.UpdatesAvailable());
  optimizer.PerformOptimization();
  // The line's ends move out by its width to (4,4)-(61,6); two 32-px steps, (4,4)-(36,5) and
  // (36,5)-(68,6), each grown by twice the width.
  EXPECT_EQ(Take(invalid),
            (std::vector<TRect>{{2, 2, 32, 7}, {32, 2, 64, 8}, {64, 3, 70, 8}, {40, 50, 45, 52}}));

  optimizer.BufferResizedHandler(100, 40);
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{0, 0, 100, 40}}));
}

TEST_F(RepaintOptimizer, AChangedLayerRepaintsWhereItWasAndWhereItIs) {
  auto* layer = static_cast<TRectLayer*>(layers.Add(TRectLayer::Class));
  optimizer.SetEnabled(true);
  ASSERT_TRUE(optimizer.UpdatesAvailable());  // records where the layer is
  optimizer.PerformOptimization();
  Take(invalid);
  Paint(100);

  layer->Area = TRect{100, 100, 110, 105};
  layer->Changed();
  EXPECT_TRUE(layer->LayerOptions() & LOB_INVALID);
  ASSERT_TRUE(optimizer.UpdatesAvailable());
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{10, 10, 20, 20}, {100, 100, 110, 105}}));
  EXPECT_FALSE(layer->LayerOptions() & LOB_INVALID);
  Paint(100);

  // Deleting it repaints its last place with the next update.
  delete layer;
  optimizer.AreaUpdateHandler(TRect{0, 0, 1, 1}, AREAINFO_RECT);
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{100, 100, 110, 105}, {0, 0, 1, 1}}));
  Paint(100);

  // A layer added counts as changed: the next paint shows it.
  layers.Add(TRectLayer::Class);
  ASSERT_TRUE(optimizer.UpdatesAvailable());
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{10, 10, 20, 20}}));

  // Disabled, it lets go of the collection.
  optimizer.SetEnabled(false);
  EXPECT_FALSE(layers.OnListNotify);
}

TEST_F(RepaintOptimizer, AdaptsItsLevelToPaintTimes) {
  optimizer.SetEnabled(true);
  optimizer.PerformOptimization();
  invalid.Clear();
  Paint(1000);  // a full repaint: 1000 us is the full-scene time
  EXPECT_EQ(optimizer.PerformanceLevel(), 0);

  Rects(12);
  Paint(2000);  // slower than a full repaint: whole tiles from now on
  EXPECT_EQ(optimizer.PerformanceLevel(), 1);

  // The first check after a rise is due at once: the level drops and a timed check starts.
  optimizer.AreaUpdateHandler(TRect{3, 3, 5, 5}, AREAINFO_RECT);
  optimizer.PerformOptimization();
  EXPECT_EQ(optimizer.PerformanceLevel(), 0);
  EXPECT_TRUE(optimizer.TimedCheck());
  Rects(12);
  Paint(2000);  // still slow: the penalty lengthens the delta
  EXPECT_EQ(optimizer.PerformanceLevel(), 1);
  EXPECT_EQ(optimizer.TimeDelta(), 1250);
  EXPECT_FALSE(optimizer.TimedCheck());

  optimizer.AreaUpdateHandler(TRect{3, 3, 5, 5}, AREAINFO_RECT);
  invalid.Clear();
  optimizer.PerformOptimization();
  EXPECT_EQ(Take(invalid), (std::vector<TRect>{{0, 0, 32, 32}}));  // whole tiles
  EXPECT_EQ(optimizer.PerformanceLevel(), 1);

  Rects(12);
  Paint(3000);  // slower again: level 2 repaints everything
  EXPECT_EQ(optimizer.PerformanceLevel(), 2);
  optimizer.AreaUpdateHandler(TRect{3, 3, 5, 5}, AREAINFO_RECT);
  optimizer.PerformOptimization();
  EXPECT_EQ(invalid.Count(), 0);

  Rects(1);
  Paint(500);  // faster: the delta shrinks by 1000 to its floor
  EXPECT_EQ(optimizer.TimeDelta(), 1000);
  optimizer.AreaUpdateHandler(TRect{3, 3, 5, 5}, AREAINFO_RECT);
  invalid.Clear();
  optimizer.PerformOptimization();  // 1 rectangle < 12 - 10: the level drops
  EXPECT_EQ(optimizer.PerformanceLevel(), 1);

  layers.Clear();  // resets the adaptive state
  EXPECT_EQ(optimizer.PerformanceLevel(), 0);
}

// An enabled optimiser over a 64 x 64 buffer that takes its time from a TCounter.
template <class TCounter>
struct TSmallScene {
  TSmallScene() {
    buffer.SetSize(64, 64);
    optimizer.SetEnabled(true);
  }
  testing::TStubResamplersRegistered registered;
  TCounter counter;
  TBitmap32 buffer;
  TRectList invalid;
  TMicroTilesRepaintOptimizer optimizer{buffer, invalid, counter};
};

// A collection that leaves the optimiser, unregistered first or destroyed while registered,
// takes its layers along: the next paint repaints where they were and touches none of them.
TEST(RepaintOptimizerCollections, ACollectionThatGoesTakesItsLayersAlong) {
  for (const bool unregisterFirst : {true, false}) {
    SCOPED_TRACE(unregisterFirst ? "unregistered, then destroyed" : "destroyed while registered");
    TSmallScene<TFakeCounter> scene;
    TMicroTilesRepaintOptimizer& optimizer = scene.optimizer;
    TRectList& invalid = scene.invalid;
    auto layers = std::make_unique<TLayerCollection>();
    optimizer.RegisterLayerCollection(layers.get());
    TCustomLayer* layer = layers->Add(TRectLayer::Class);
    ASSERT_TRUE(optimizer.UpdatesAvailable());
    optimizer.PerformOptimization();
    invalid.Clear();
    optimizer.BeginPaintBuffer();
    optimizer.EndPaintBuffer();

    layer->Changed();
    if (unregisterFirst) {
      optimizer.UnregisterLayerCollection(layers.get());
      EXPECT_FALSE(layers->OnListNotify);
      EXPECT_FALSE(layer->LayerOptions() & LOB_INVALID);
    }
    layers.reset();
    optimizer.PerformOptimization();
    EXPECT_EQ(Take(invalid), (std::vector<TRect>{{10, 10, 20, 20}}));
    // The collection is no longer listed: a reset and a disable do not reach it.
    optimizer.Reset();
    optimizer.SetEnabled(false);
    optimizer.SetEnabled(true);
  }
}

// Counter reads that advance by one millisecond each.
class TSteppingCounter : public TPerfCounter {
 public:
  std::int64_t Frequency() const override { return 1000; }
  std::int64_t Counter() const override { return next++; }
  mutable std::int64_t next = 0;
};

// The clock reads the counter once per tick: a tick just before a second turns is 999 ms, not
// the new second's whole part with nothing of the old one.
TEST(RepaintOptimizerClock, ATickReadsTheCounterOnce) {
  TSmallScene<TSteppingCounter> scene;
  TMicroTilesRepaintOptimizer& optimizer = scene.optimizer;
  TRectList& invalid = scene.invalid;
  TSteppingCounter& counter = scene.counter;
  optimizer.PerformOptimization();
  invalid.Clear();
  optimizer.BeginPaintBuffer();
  counter.next += 100;
  optimizer.EndPaintBuffer();  // a full repaint
  invalid.Add(TRect{0, 0, 1, 1});
  optimizer.BeginPaintBuffer();
  counter.next += 200;
  optimizer.EndPaintBuffer();  // slower: whole tiles
  ASSERT_EQ(optimizer.PerformanceLevel(), 1);
  counter.next = 999;  // the first check after a rise is due at any tick after 0
  optimizer.AreaUpdateHandler(TRect{3, 3, 5, 5}, AREAINFO_RECT);
  optimizer.PerformOptimization();
  EXPECT_EQ(optimizer.PerformanceLevel(), 0);
}

}  // namespace
}  // namespace gfx
