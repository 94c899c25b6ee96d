// A control of the library's own class whose picture depends on its size (a mark at its
// middle), moved and resized in each direction: the screen shows what a full repaint draws, so
// no part of the old picture stays where the platform kept it.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui_fixture.h"
#include "screen_check.h"
#include "ui/colors.h"
#include "ui/win32/controls.h"

namespace ui {
namespace {

class CentredMark : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    const TRect client = ClientRect();
    Canvas().Brush().SetColor(clWhite);
    Canvas().FillRect(client);
    const int x = client.Width() / 2, y = client.Height() / 2;
    Canvas().Brush().SetColor(clBlack);
    Canvas().FillRect({x - 4, y - 4, x + 4, y + 4});
  }
};

class CustomControlPaint : public UiGuiTest {};

TEST_F(CustomControlPaint, AResizedControlShowsItsWholeNewPicture) {
  TForm* form = Application->CreateForm<TForm>();
  form->SetBounds(100, 100, 400, 300);
  auto* mark = Create<CentredMark>(*form);
  mark->SetBounds(100, 80, 100, 100);
  mark->SetParent(form);
  form->Show();
  Pump();
  ASSERT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "at start";
  const struct {
    const char* change;
    TRect bounds;  // left, top, right, bottom
  } changes[] = {
      {"grown downward", {100, 80, 200, 220}},
      {"grown upward", {100, 20, 200, 220}},
      {"grown leftward", {20, 20, 200, 220}},
      {"shrunk from the left", {120, 20, 200, 220}},
  };
  for (const auto& [change, r] : changes) {
    mark->SetBounds(r.left, r.top, r.Width(), r.Height());
    EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after " << change;
  }
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace ui
