// A view of 1,000 menu items: laying it out, and walking it with the keyboard from the first
// item to the last (the popup is limited in height, so the walk scrolls all the way).
#include <benchmark/benchmark.h>

#include "tb/view.h"
#include "view_fakes.h"

namespace {

using tb::testing::FakeWindow;

struct Menu {
  Menu() {
    for (int i = 0; i < 1000; ++i) {
      auto* item = ui::Create<tb::TTBCustomItem>(*root);
      item->SetCaption(L"Item &" + std::to_wstring(i) + L"\tCtrl+F" + std::to_wstring(i % 12));
      root->Add(item);
    }
    view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
    view->Include(tb::vsModal);
    view->SetMaxHeight(1018);
  }
  ui::Owned<tb::TTBCustomItem> root = ui::New<tb::TTBCustomItem>();
  FakeWindow window{true};
  ui::Owned<tb::TTBView> view;
};

void BM_LayoutOf1000Items(benchmark::State& state) {
  Menu menu;
  for (auto _ : state) {
    menu.view->InvalidatePositions();
    menu.view->ValidatePositions();
    benchmark::DoNotOptimize(menu.view->BaseHeight());
  }
}
BENCHMARK(BM_LayoutOf1000Items)->Unit(benchmark::kMicrosecond);

void BM_KeyboardAcross1000Items(benchmark::State& state) {
  Menu menu;
  menu.view->ValidatePositions();
  for (auto _ : state) {
    std::uint16_t key = tb::vk::Home;
    menu.view->KeyDown(key, 0);
    for (int i = 1; i < 1000; ++i) {
      key = tb::vk::Down;
      menu.view->KeyDown(key, 0);
    }
    benchmark::DoNotOptimize(menu.view->Selected());
  }
  if (menu.view->Selected() != menu.view->Viewers(999)) state.SkipWithError("walk ended early");
}
BENCHMARK(BM_KeyboardAcross1000Items)->Unit(benchmark::kMicrosecond);

}  // namespace
