// The picture viewer's whole paint: a 256 x 212 picture doubled into a 635 x 510 view (the
// background bands plus the nearest-neighbour stretch), beside a memcpy of the view's bytes;
// and the paint after a small change of the picture, by repaint mode.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/drawing.h"
#include "gfx/image.h"
#include "gfx/startup.h"

namespace {

struct NoWindow : gfx::TPaintBoxHost {
  gfx::TRect HostClientRect() override { return {0, 0, 635, 510}; }
  void HostInvalidate() override {}
  void HostRepaint() override {}
  void HostCopyToScreen(gfx::TBitmap32&, const gfx::TRect& R) override {
    copied += std::int64_t{R.Width()} * R.Height();
  }
  gfx::TColor32 HostColor() override { return 0xFFF0F0F0; }
  std::int64_t copied = 0;  // pixels copied to the screen
};

struct NoBar : gfx::TArrowBarHost {
  gfx::TRect BarClientRect() override { return {}; }
  bool BarEnabled() override { return true; }
  void BarInvalidate() override {}
  void BarSetTimer(std::uint32_t) override {}
  bool BarCursorInside() override { return false; }
  void BarRecreateHandle() override {}
};

struct GfxStarted {
  GfxStarted() { gfx::Initialize(); }
};

// The picture viewer's view, scale 2, over no window, with a 256 x 212 picture.
struct Viewer : GfxStarted {
  explicit Viewer(gfx::TRepaintMode Mode) {
    view.SetScale(2.0f);
    view.SetRepaintMode(Mode);
    gfx::TBitmap32 picture;
    picture.SetSize(256, 212);
    for (int y = 0; y < 212; ++y)
      for (int x = 0; x < 256; ++x) picture.SetPixel(x, y, 0xFF000000u | (x * 7 + y * 3));
    view.Bitmap().Assign(&picture);
    view.Resize();
  }
  NoWindow window;
  NoBar barHost;
  gfx::TCustomRangeBar h{barHost}, v{barHost};
  gfx::TCustomImgView32 view{window, h, v};
};

void ViewerPaint(benchmark::State& state) {
  Viewer viewer(gfx::rmFull);
  for (auto _ : state) {
    viewer.view.Invalidate();
    viewer.view.Paint();
    benchmark::DoNotOptimize(viewer.view.Buffer().Bits());
  }
  state.SetBytesProcessed(state.iterations() * 635 * 510 * 4);
}
BENCHMARK(ViewerPaint);

// A 2 x 2 change of the picture and the paint after it, by repaint mode (argument): rmFull
// repaints and copies the whole view, as the optimiser mode did before it was wired up;
// rmOptimizer repaints and copies the changed area.
void ViewerSmallChange(benchmark::State& state) {
  Viewer viewer(static_cast<gfx::TRepaintMode>(state.range(0)));
  viewer.view.Paint();
  gfx::TColor32 color = 0xFF000000;
  viewer.window.copied = 0;
  for (auto _ : state) {
    gfx::FillRectS(viewer.view.Bitmap(), 100, 100, 102, 102, ++color);
    viewer.view.Paint();
    benchmark::DoNotOptimize(viewer.view.Buffer().Bits());
  }
  state.counters["copied_px"] = benchmark::Counter(static_cast<double>(viewer.window.copied),
                                                   benchmark::Counter::kAvgIterations);
}
BENCHMARK(ViewerSmallChange)->Arg(gfx::rmFull)->Arg(gfx::rmOptimizer);

void ViewBytesMemcpy(benchmark::State& state) {
  std::vector<std::uint32_t> from(635 * 510, 1), to(635 * 510);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 635 * 510 * 4);
}
BENCHMARK(ViewBytesMemcpy);

}  // namespace
