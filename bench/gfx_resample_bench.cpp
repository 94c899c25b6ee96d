// Stretching a 256 x 212 picture: to 1024 x 848 with each registered resampler, to 512 x 424
// with the nearest one (the picture viewer's frame) beside a memcpy of the frame's bytes, and
// the kernel resamplers up 2x and down 4x. Where pixman is installed, its nearest and bilinear
// scaling of the same pixels run beside them.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gfx/drawing.h"
#include "gfx/resamplers.h"
#include "gfx/startup.h"

#if defined(QB_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace {

using namespace gfx;

struct TStarted {
  TStarted() {
    gfx::Initialize();
    InitializeBitmapUnit();
  }
} const started;

void Picture(TBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  std::mt19937 rng(1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, static_cast<TColor32>(rng()) | 0xFF000000);
}

// Src (256 x 212, or Range(2) x Range(3)) to Range(0) x Range(1) with the resampler, and the
// kernel, named by the label.
void Stretch(benchmark::State& state, const wchar_t* resampler, const wchar_t* kernel) {
  TBitmap32 src, dst;
  Picture(src, static_cast<int>(state.range(2)), static_cast<int>(state.range(3)));
  src.SetResamplerClassName(resampler);
  if (kernel) static_cast<TKernelResampler*>(src.Resampler())->SetKernelClassName(kernel);
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  dst.SetSize(w, h);
  for (auto _ : state) {
    DrawTo(src, dst, TRect{0, 0, w, h});
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * w * h);
  state.SetBytesProcessed(state.iterations() * w * h * 4);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1024, 848, 256, 212})->Args({512, 424, 256, 212});
}
void KernelSizes(benchmark::internal::Benchmark* b) {
  b->Args({512, 424, 256, 212})->Args({256, 212, 1024, 848});
}

void BM_Nearest(benchmark::State& s) {
  Stretch(s, L"TNearestResampler", nullptr);
}
void BM_Linear(benchmark::State& s) {
  Stretch(s, L"TLinearResampler", nullptr);
}
void BM_Draft(benchmark::State& s) {
  Stretch(s, L"TDraftResampler", nullptr);
}
void BM_KernelBox(benchmark::State& s) {
  Stretch(s, L"TKernelResampler", L"TBoxKernel");
}
void BM_KernelMitchell(benchmark::State& s) {
  Stretch(s, L"TKernelResampler", L"TMitchellKernel");
}
void BM_KernelLanczos(benchmark::State& s) {
  Stretch(s, L"TKernelResampler", L"TLanczosKernel");
}
BENCHMARK(BM_Nearest)->Apply(Sizes);
BENCHMARK(BM_Linear)->Apply(Sizes);
BENCHMARK(BM_Draft)->Apply(KernelSizes);
BENCHMARK(BM_KernelBox)->Apply(KernelSizes);
BENCHMARK(BM_KernelMitchell)->Apply(KernelSizes);
BENCHMARK(BM_KernelLanczos)->Apply(KernelSizes);

// The bytes of the destination frame copied once: the roofline of a nearest stretch.
void BM_MemcpyOfFrame(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0) * state.range(1));
  std::vector<TColor32> a(n, 1), b(n);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), n * 4);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(n) * 4);
}
BENCHMARK(BM_MemcpyOfFrame)->Args({1024, 848})->Args({512, 424});

#if defined(QB_HAVE_PIXMAN)
void Pixman(benchmark::State& state, pixman_filter_t filter) {
  TBitmap32 src;
  Picture(src, 256, 212);
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  std::vector<TColor32> dst(static_cast<std::size_t>(w) * h);
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, 256, 212, src.Bits(), 256 * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, dst.data(), w * 4);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(256.0 / w),
                              pixman_double_to_fixed(212.0 / h));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, filter, nullptr, 0);
  pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * w * h);
  state.SetBytesProcessed(state.iterations() * w * h * 4);
}
void BM_PixmanNearest(benchmark::State& s) {
  Pixman(s, PIXMAN_FILTER_NEAREST);
}
void BM_PixmanBilinear(benchmark::State& s) {
  Pixman(s, PIXMAN_FILTER_BILINEAR);
}
BENCHMARK(BM_PixmanNearest)->Args({1024, 848})->Args({512, 424});
BENCHMARK(BM_PixmanBilinear)->Args({1024, 848})->Args({512, 424});
#endif

}  // namespace
