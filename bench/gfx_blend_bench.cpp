// The hot blend and fill routines of the graphics core: each form side by side on rows of 256
// and 4,096 pixels with transparent, opaque and random alphas, and the 32-bit fill and move
// beside memset and memmove from 1 KB to 64 MB. Where pixman is installed, its OVER operator on
// the same row (premultiplied pixels, so not the same work) gives an order of magnitude.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/blend.h"
#include "gfx/lowlevel.h"

#if defined(QB_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace {

using namespace gfx;

enum AlphaMode { Transparent, Opaque, RandomAlpha };

std::vector<TColor32> Row(std::size_t n, int mode, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<TColor32> row(n);
  for (auto& p : row) {
    p = rng();
    if (mode == Transparent) p &= 0x00FFFFFF;
    if (mode == Opaque) p |= 0xFF000000;
  }
  return row;
}

template <class Fn>
void Blend(benchmark::State& state, Fn span) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const std::vector<TColor32> src = Row(n, static_cast<int>(state.range(1)), 1);
  std::vector<TColor32> dst = Row(n, RandomAlpha, 2);
  for (auto _ : state) {
    span(src.data(), dst.data(), n);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

#define GFX_BLEND_BENCH(name, call)                                                             \
  void BM_##name##_plain(benchmark::State& s) {                                                 \
    Blend(s, [](const TColor32* a, TColor32* b, std::int32_t n) { plain::call; });              \
  }                                                                                             \
  void BM_##name##_mmx_scalar(benchmark::State& s) {                                            \
    Blend(s, [](const TColor32* a, TColor32* b, std::int32_t n) { mmx::call; });                \
  }                                                                                             \
  void BM_##name##_mmx_sse2(benchmark::State& s) {                                              \
    Blend(s, [](const TColor32* a, TColor32* b, std::int32_t n) { sse2::call; });               \
  }                                                                                             \
  BENCHMARK(BM_##name##_plain)->ArgsProduct({{256, 4096}, {Transparent, Opaque, RandomAlpha}}); \
  BENCHMARK(BM_##name##_mmx_scalar)                                                             \
      ->ArgsProduct({{256, 4096}, {Transparent, Opaque, RandomAlpha}});                         \
  BENCHMARK(BM_##name##_mmx_sse2)->ArgsProduct({{256, 4096}, {Transparent, Opaque, RandomAlpha}});

GFX_BLEND_BENCH(BlendSpan, BlendSpan(a, b, n))
GFX_BLEND_BENCH(BlendSpanAlpha, BlendSpanAlpha(a, b, n, 200))
GFX_BLEND_BENCH(CombineSpan, CombineSpan(a, b, n, 100))

void BM_MergeSpan(benchmark::State& s) {
  MakeMergeTables();
  Blend(s, [](const TColor32* a, TColor32* b, std::int32_t n) { MergeSpan(a, b, n); });
}
BENCHMARK(BM_MergeSpan)->ArgsProduct({{256, 4096}, {Transparent, Opaque, RandomAlpha}});

#if defined(QB_HAVE_PIXMAN)
void BM_PixmanOver(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  std::vector<TColor32> src = Row(n, static_cast<int>(state.range(1)), 1);
  std::vector<TColor32> dst = Row(n, RandomAlpha, 2);
  for (auto& p : src) {  // premultiplied
    const std::uint32_t a = p >> 24;
    p = (a << 24) | (((p >> 16 & 0xFF) * a / 255) << 16) | (((p >> 8 & 0xFF) * a / 255) << 8) |
        ((p & 0xFF) * a / 255);
  }
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, n, 1, src.data(), n * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_a8r8g8b8, n, 1, dst.data(), n * 4);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, n, 1);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PixmanOver)->ArgsProduct({{256, 4096}, {Transparent, Opaque, RandomAlpha}});
#endif

// Counts of 32-bit values: 1 KB, 64 KB, 1 MB, 16 MB, 64 MB.
const std::vector<std::int64_t> FillCounts = {256, 16384, 262144, 4194304, 16777216};

template <class Fn>
void Fill(benchmark::State& state, Fn fill) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  std::vector<TColor32> dst(n);
  for (auto _ : state) {
    fill(dst.data(), n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * n * 4);
}
void BM_FillLongword_plain(benchmark::State& s) {
  Fill(s, [](TColor32* d, std::int32_t n) { plain::FillLongword(d, n, 0x7F7F7F7F); });
}
void BM_FillLongword_sse2(benchmark::State& s) {
  Fill(s, [](TColor32* d, std::int32_t n) { sse2::FillLongword(d, n, 0x7F7F7F7F); });
}
void BM_memset(benchmark::State& s) {
  Fill(s,
       [](TColor32* d, std::int32_t n) { std::memset(d, 0x7F, static_cast<std::size_t>(n) * 4); });
}
BENCHMARK(BM_FillLongword_plain)->ArgsProduct({FillCounts});
BENCHMARK(BM_FillLongword_sse2)->ArgsProduct({FillCounts});
BENCHMARK(BM_memset)->ArgsProduct({FillCounts});

template <class Fn>
void Move(benchmark::State& state, Fn move) {
  const auto n = static_cast<std::int32_t>(state.range(0));
  const std::vector<TColor32> src(n, 5);
  std::vector<TColor32> dst(n);
  for (auto _ : state) {
    move(src.data(), dst.data(), n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * n * 4);
}
void BM_MoveLongword(benchmark::State& s) {
  Move(s, [](const TColor32* a, TColor32* b, std::int32_t n) { MoveLongword(a, b, n); });
}
void BM_memmove(benchmark::State& s) {
  Move(s, [](const TColor32* a, TColor32* b, std::int32_t n) {
    std::memmove(b, a, static_cast<std::size_t>(n) * 4);
  });
}
BENCHMARK(BM_MoveLongword)->ArgsProduct({FillCounts});
BENCHMARK(BM_memmove)->ArgsProduct({FillCounts});

}  // namespace
