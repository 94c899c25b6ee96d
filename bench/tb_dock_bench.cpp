// A dock's arrangement of 20 windows in 4 rows (goal: under 50 us).
#include <benchmark/benchmark.h>

#include <vector>

#include "tb/dock_layout.h"

namespace {

// A window of fixed content that only records its place.
class BenchClient : public tb::IDockClient {
 public:
  BenchClient(int row, int pos, int length) : length_(length) {
    state_.DockRow = row;
    state_.DockPos = pos;
  }
  tb::TDockClientState& DockState() override { return state_; }
  bool VisibleOnDock() const override { return true; }
  bool BeingDestroyed() const override { return false; }
  tb::TPoint DockClientSize() override { return {length_, 22}; }
  tb::TPoint DockFrameSize() override { return {10, 4}; }
  tb::TTBShrinkMode DockShrinkMode() override { return tb::TTBShrinkMode::tbsmChevron; }
  int DockShrinkLimit() override { return 30; }
  tb::TPoint DockLayoutSize(tb::TTBDockType) override { return {length_, 22}; }
  tb::TPoint ClientSize() override { return {length_, 22}; }
  tb::TPoint OuterSize() override { return {placed_.Width(), placed_.Height()}; }
  void PlaceBounds(const tb::TRect& bounds) override { placed_ = bounds; }
  void ArrangeContents() override { state_.ArrangeNeeded = false; }

 private:
  int length_;
  tb::TDockClientState state_;
  tb::TRect placed_;
};

void BM_ArrangeTwentyWindowsInFourRows(benchmark::State& state) {
  std::vector<BenchClient> clients;
  clients.reserve(20);
  for (int i = 0; i < 20; ++i) clients.emplace_back(i % 4, (i / 4) * 150, 90 + 13 * (i % 5));
  std::vector<tb::IDockClient*> list, visible;
  for (BenchClient& c : clients) list.push_back(&c);
  visible = list;
  tb::TDockLayoutParams params;
  params.clientLength = 640;  // the last windows of each row overflow and shrink
  for (auto _ : state) benchmark::DoNotOptimize(tb::ArrangeDockWindows(params, list, visible));
}
BENCHMARK(BM_ArrangeTwentyWindowsInFourRows);

}  // namespace
