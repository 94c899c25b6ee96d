// Skin text: a full built-in skin written and parsed; the brushed texture's noise tables and the
// row bitmaps of every colour and roughness the built-in skins use.
#include <benchmark/benchmark.h>

#include "skbar/brushed_texture.h"
#include "skbar/skin_manager.h"

namespace {

using namespace skbar;

std::unique_ptr<TSkBarSkinOptions> OfficeXP() {
  auto& list = SkBarSkinManager()->SkinsList();
  return list.Entries(list.IndexOf(L"Office XP")).SkinClass();
}

void SkinTextWrite(benchmark::State& state) {
  const auto skin = OfficeXP();
  for (auto _ : state) {
    ui::TStringList lines;
    skin->SaveToStrings(lines);
    benchmark::DoNotOptimize(lines.Count());
  }
}
BENCHMARK(SkinTextWrite)->Unit(benchmark::kMicrosecond);

void SkinTextParse(benchmark::State& state) {
  ui::TStringList lines;
  OfficeXP()->SaveToStrings(lines);
  for (auto _ : state) {
    TSkBarSkinOptions skin;
    skin.LoadFromStrings(lines);
    benchmark::DoNotOptimize(skin.SkinName());
  }
}
BENCHMARK(SkinTextParse)->Unit(benchmark::kMicrosecond);

void BrushedTables(benchmark::State& state) {
  for (auto _ : state) {
    const TBrushedNoise noise = MakeBrushedNoise(0);
    TBrushedTextureCache cache;
    for (const ui::TColor color : {0xC7C7C7u, 0xDFDFDFu}) cache.Get(noise, color, 12);
    benchmark::DoNotOptimize(cache.Find(0xC7C7C7, 12));
  }
}
BENCHMARK(BrushedTables)->Unit(benchmark::kMicrosecond);

}  // namespace
