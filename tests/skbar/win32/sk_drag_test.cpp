// Item drags under Wine with real input: the cursors the drag shows over a target that accepts
// and one that refuses, the drop and the source's end of drag, Escape cancelling; the unit's
// cursors in the screen's table.
#include "skbar/win32/sk_drag.h"

#include <gtest/gtest.h>

#include "../../ui/win32/gui_fixture.h"
#include "real_input.h"
#include "skbar/sk_item.h"

namespace skbar {
namespace {

using skbar_test::Script;

class DragPad : public ui::TCustomControl, public TSkBarDragClient {
 public:
  using ui::TCustomControl::TCustomControl;
  void DragOver(TSkBarCustomDragObject&, int, int, bool& accept) override {
    accept = accepts;
    cursors.push_back(GetCursor());
  }
  void DragDrop(TSkBarCustomDragObject& source, int x, int y) override {
    dropped.push_back(dynamic_cast<TSkBarItemDragObject&>(source).Item());
    dropAt = {x, y};
  }
  void EndDrag(ui::TControl* target, int, int) override { ended.push_back(target); }

  bool accepts = true;
  tb::TTBCustomItem* dragged = nullptr;
  std::vector<HCURSOR> cursors;
  std::vector<tb::TTBCustomItem*> dropped;
  std::vector<ui::TControl*> ended;
  POINT dropAt{-1, -1};

 protected:
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override {
    ui::TCustomControl::MouseDown(button, shift, x, y);
    if (!dragged) return;
    TSkBarItemDragObject object(this, dragged);
    SkDragObject(object);
  }
};

class SkDragTest : public UiGuiTest {
 protected:
  SkDragTest() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 500, 200);
    for (int i = 0; i < 3; ++i) {
      pads[i] = ui::Create<DragPad>(*form);
      pads[i]->SetBounds(10 + 150 * i, 10, 100, 60);
      pads[i]->SetParent(form);
    }
    pads[2]->accepts = false;
    item = ui::New<TSkBarItem>();
    pads[0]->dragged = item.get();
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  POINT Centre(int i, int dx = 0) const {
    POINT p{50 + dx, 30};
    ClientToScreen(pads[i]->Handle(), &p);
    return p;
  }
  ui::TForm* form = nullptr;
  DragPad* pads[3] = {};
  ui::Owned<TSkBarItem> item;
};

TEST_F(SkDragTest, CursorsFollowTheTargetAndTheDropReachesIt) {
  ASSERT_TRUE(Script::Play({{0, Centre(0)},
                            {MOUSEEVENTF_LEFTDOWN, Centre(0)},
                            {0, Centre(1)},
                            {0, Centre(1, 5)},
                            {0, Centre(2)},
                            {0, Centre(2, 5)},
                            {0, Centre(1, 3)},
                            {MOUSEEVENTF_LEFTUP, Centre(1, 3)}}));
  const HCURSOR move = ui::Screen->Cursors(crSkBarMove);
  ASSERT_NE(move, nullptr);
  EXPECT_NE(move, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(ui::Screen->Cursors(crSkBarHand), LoadCursorW(nullptr, IDC_HAND));
  EXPECT_NE(ui::Screen->Cursors(crSkBarCancel), nullptr);
  EXPECT_NE(ui::Screen->Cursors(crSkBarCancel), move);
  // Each later visit sees the cursor the previous move chose.
  ASSERT_GE(pads[1]->cursors.size(), 3u);
  EXPECT_EQ(pads[1]->cursors[1], move);
  ASSERT_GE(pads[2]->cursors.size(), 2u);
  EXPECT_EQ(pads[2]->cursors[1], ui::Screen->Cursors(ui::crNo));
  EXPECT_EQ(pads[1]->dropped, std::vector<tb::TTBCustomItem*>{item.get()});
  EXPECT_EQ(pads[1]->dropAt.x, 53);
  EXPECT_TRUE(pads[2]->dropped.empty());
  EXPECT_EQ(pads[0]->ended, std::vector<ui::TControl*>{pads[1]});
  EXPECT_TRUE(errors.empty());
}

TEST_F(SkDragTest, RefusedOrCancelledDragsDropNothing) {
  ASSERT_TRUE(Script::Play({{0, Centre(0)},
                            {MOUSEEVENTF_LEFTDOWN, Centre(0)},
                            {0, Centre(2)},
                            {MOUSEEVENTF_LEFTUP, Centre(2)}}));
  EXPECT_TRUE(pads[2]->dropped.empty());
  ASSERT_TRUE(Script::Play({{0, Centre(0)},
                            {MOUSEEVENTF_LEFTDOWN, Centre(0)},
                            {0, Centre(1)},
                            {Script::kKey, {VK_ESCAPE, 0}},
                            {Script::kKey | KEYEVENTF_KEYUP, {VK_ESCAPE, 0}},
                            {MOUSEEVENTF_LEFTUP, Centre(1)}}));
  EXPECT_TRUE(pads[1]->dropped.empty());
  EXPECT_EQ(pads[0]->ended, (std::vector<ui::TControl*>{nullptr, nullptr}));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace skbar
