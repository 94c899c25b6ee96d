// XSA encode and decode speed on three 720 KB inputs: all zeros, random bytes and a filled disk
// image (text, BASIC-like tokens, zero runs). Counters: bytes per second of unpacked data and
// the packed size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "disk/xsa_stream.h"
#include "rtl/stream.h"
#include "xsa_test_support.h"

namespace {

using xsa_test::Bytes;

const Bytes& Input(int kind) {
  static const Bytes zeros(xsa_test::kImageSize, 0);
  static const Bytes random = xsa_test::RandomBytes(xsa_test::kImageSize, 1);
  static const Bytes filled = xsa_test::FilledDiskImage();
  return kind == 0 ? zeros : kind == 1 ? random : filled;
}

void SetCounters(benchmark::State& state, std::size_t packedSize) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xsa_test::kImageSize));
  state.counters["packed"] = static_cast<double>(packedSize);
}

void BM_XsaEncode(benchmark::State& state) {
  const Bytes& data = Input(static_cast<int>(state.range(0)));
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = xsa_test::Encode(data).size();
    benchmark::DoNotOptimize(packed);
  }
  SetCounters(state, packed);
}

void BM_XsaDecode(benchmark::State& state) {
  const Bytes container = xsa_test::Encode(Input(static_cast<int>(state.range(0))));
  Bytes out(xsa_test::kImageSize);
  for (auto _ : state) {
    rtl::TMemoryStream in(container);
    disk::TXSStream xsa(in);
    benchmark::DoNotOptimize(xsa.ReadFully(out));
  }
  SetCounters(state, container.size());
}

// 0: zeros, 1: random, 2: filled image.
BENCHMARK(BM_XsaEncode)->ArgName("input")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XsaDecode)->ArgName("input")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
