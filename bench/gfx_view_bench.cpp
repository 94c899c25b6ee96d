// The picture viewer's whole paint: a 256 x 212 picture doubled into a 635 x 510 view (the
// background bands plus the nearest-neighbour stretch), beside a memcpy of the view's bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/image.h"
#include "gfx/startup.h"

namespace {

struct NoWindow : gfx::TPaintBoxHost {
  gfx::TRect HostClientRect() override { return {0, 0, 635, 510}; }
  void HostInvalidate() override {}
  void HostRepaint() override {}
  void HostCopyToScreen(gfx::TBitmap32&, const gfx::TRect&) override {}
  gfx::TColor32 HostColor() override { return 0xFFF0F0F0; }
};

struct NoBar : gfx::TArrowBarHost {
  gfx::TRect BarClientRect() override { return {}; }
  bool BarEnabled() override { return true; }
  void BarInvalidate() override {}
  void BarSetTimer(std::uint32_t) override {}
  bool BarCursorInside() override { return false; }
  void BarRecreateHandle() override {}
};

void ViewerPaint(benchmark::State& state) {
  gfx::Initialize();
  NoWindow window;
  NoBar barHost;
  gfx::TCustomRangeBar h(barHost), v(barHost);
  gfx::TCustomImgView32 view(window, h, v);
  view.SetScale(2.0f);
  gfx::TBitmap32 picture;
  picture.SetSize(256, 212);
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 256; ++x) picture.SetPixel(x, y, 0xFF000000u | (x * 7 + y * 3));
  view.Bitmap().Assign(&picture);
  view.Resize();
  for (auto _ : state) {
    view.Invalidate();
    view.Paint();
    benchmark::DoNotOptimize(view.Buffer().Bits());
  }
  state.SetBytesProcessed(state.iterations() * 635 * 510 * 4);
}
BENCHMARK(ViewerPaint);

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
