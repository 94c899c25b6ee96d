// A toolbar of 50 items laid out in each shrink mode (goal: under 50 us each): one line
// (tbsmNone), wrapped into lines at a dock's length (tbsmWrap) and shortened behind the chevron
// (tbsmChevron).
#include <benchmark/benchmark.h>

#include "tb/system_settings.h"
#include "tb/toolbar_view.h"
#include "view_fakes.h"

namespace {

class BenchToolbar : public tb::ITBToolbarViewHost {
 public:
  explicit BenchToolbar(tb::TTBShrinkMode mode) : mode_(mode) {
    chevron_->SetLinkSubitems(root_.get());
  }
  tb::TTBCustomItem* ChevronItem() override { return chevron_.get(); }
  int MinRowSize() override { return 22; }
  tb::TTBShrinkMode ShrinkMode() const override { return mode_; }
  void ViewAutoSize(int, int) override {}
  tb::TTBCustomItem& Root() { return *root_; }

 private:
  tb::TTBShrinkMode mode_;
  ui::Owned<tb::TTBCustomItem> root_ = ui::New<tb::TTBRootItem>();
  ui::Owned<tb::TTBChevronItem> chevron_ = ui::New<tb::TTBChevronItem>();
};

void BM_LayOutFiftyItems(benchmark::State& state) {
  tb::TFixedSystemSettings settings;
  tb::ISystemSettings* previous = tb::SetSystemSettings(&settings);
  const auto mode = static_cast<tb::TTBShrinkMode>(state.range(0));
  BenchToolbar toolbar(mode);
  for (int i = 0; i < 50; ++i) {
    auto* item = ui::Create<tb::TTBCustomItem>(toolbar.Root());
    item->SetCaption(L"Item " + std::to_wstring(i));
    toolbar.Root().Add(item);
  }
  tb::testing::FakeWindow window(false);
  auto view = ui::New<tb::TTBToolbarView>(toolbar, &toolbar.Root(), &window, true);
  tb::TTBToolbarViewSettings s;
  if (mode == tb::TTBShrinkMode::tbsmWrap) s.wrapOffset = 640;
  if (mode == tb::TTBShrinkMode::tbsmChevron) s.chevronOffset = 640;
  view->ApplySettings(s);
  for (auto _ : state) {
    view->InvalidatePositions();
    view->ValidatePositions();
    benchmark::DoNotOptimize(view->BaseWidth());
  }
  tb::SetSystemSettings(previous);
}
BENCHMARK(BM_LayOutFiftyItems)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
