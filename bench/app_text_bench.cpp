// Timings of the file viewer's text forms: the hex dump of a whole 700 KB file (and how it
// grows with the size) and the listing of a 20 KB BASIC program.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "app/file_view_text.h"
#include "app/msx_basic.h"
#include "basic_program_builder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count) {
  std::mt19937 random(1234);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

// About 20 KB of lines mixing keywords, functions, numbers of every form, strings and comments.
Bytes BasicProgram() {
  const std::vector<Bytes> lines = {
      {0x82, 0x20, 0x49, 0xEF, 0x12, 0x20, 0xD9, 0x20, 0x0F, 0x0A, 0x3A, 0x91,
       0x20, 0x22, 0x48, 0x49, 0x22, 0x3B, 0x49, 0x3A, 0x83, 0x20, 0x49},
      {0x8B, 0x20, 0x41, 0x24, 0xEF, 0x22, 0x22, 0x20, 0xDA, 0x20,
       0x0E, 0x0A, 0x00, 0x20, 0x3A, 0xA1, 0x20, 0x0E, 0x28, 0x00},
      {0x58, 0xEF, 0x0C, 0xFF, 0x00, 0xF1, 0x0B, 0x0F, 0x00, 0x3A, 0x59, 0xEF, 0x1D, 0x41,
       0x15, 0x00, 0x00, 0xF3, 0x1F, 0x3E, 0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34},
      {0x41, 0xEF, 0xFF, 0x81, 0x28, 0x42, 0x24, 0x2C, 0x13, 0x29, 0xF1, 0xFF, 0x96, 0x28, 0x0F,
       0x41, 0x29, 0x3A, 0x8F, 0xE6, 0x20, 0xC1, 0xC2, 0xC3, 0x20, 0x63, 0x6F, 0x6D, 0x6D}};
  app::testing::BasicProgramBuilder builder;
  std::size_t size = 1;
  for (std::uint16_t number = 10; size < 20 * 1024; number += 10) {
    const Bytes& tokens = lines[number / 10 % lines.size()];
    builder.Line(number, tokens);
    size += 5 + tokens.size();
  }
  return builder.Bytes();
}

void BM_HexDump(benchmark::State& state) {
  const Bytes data = RandomBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(app::HexDump(data));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_HexDump)
    ->Arg(700 * 1024)
    ->RangeMultiplier(4)
    ->Range(11 * 1024, 704 * 1024)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_BasicListing(benchmark::State& state) {
  const Bytes program = BasicProgram();
  for (auto _ : state) {
    app::TMsxBasicDecoder decoder;
    if (!decoder.Decode(program)) state.SkipWithError("the program did not list");
    benchmark::DoNotOptimize(decoder.Lines());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(program.size()));
}
BENCHMARK(BM_BasicListing)->Unit(benchmark::kMillisecond);

void BM_ViewBasicProgramInAuto(benchmark::State& state) {
  const Bytes program = BasicProgram();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        app::BuildViewerContent(program, L"BENCH.BAS", app::TViewerMode::vmAuto));
  }
}
BENCHMARK(BM_ViewBasicProgramInAuto)->Unit(benchmark::kMillisecond);

}  // namespace
