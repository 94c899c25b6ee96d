// The image view's window under Wine: the size grip in sgAuto follows the alignment up to the
// form, the paint-box options answer the dialog code and the press, and the frame stages draw
// the platform's focus rectangle into the buffer.
#include <windows.h>

#include <gtest/gtest.h>

#include "../../ui/win32/gui_fixture.h"
#include "gfx/startup.h"
#include "gfx/win32/image_view.h"

namespace gfx {
namespace {

class ImageViewWindow : public UiGuiTest {
 protected:
  ImageViewWindow() {
    Initialize();
    form = ui::Create<ui::TForm>(*ui::Application);
    form->FinishLoading();
    form->SetClientSize(300, 200);
    view = ui::Create<TImgView32>(*form);
    view->SetParent(form);
    view->View().Bitmap().SetSize(600, 400);
    form->Show();
    Pump();
  }
  ~ImageViewWindow() override {
    ui::Free(form);
    Finalize();
  }

  ui::TForm* form = nullptr;
  TImgView32* view = nullptr;
};

TEST_F(ImageViewWindow, AutoGripFollowsTheAlignmentUpToTheForm) {
  view->SetBounds(0, 0, 200, 150);
  Pump();
  EXPECT_TRUE(IsRectEmpty(view->View().SizeGripRect()));
  view->SetAlign(ui::TAlign::alClient);
  Pump();
  const TRect grip = view->View().SizeGripRect();
  ASSERT_FALSE(IsRectEmpty(grip));
  EXPECT_EQ(grip.right, 300);
  EXPECT_EQ(grip.bottom, 200);
  view->View().SetSizeGrip(sgNone);
  EXPECT_TRUE(IsRectEmpty(view->View().SizeGripRect()));
  view->View().SetSizeGrip(sgAlways);
  view->SetAlign(ui::TAlign::alNone);
  view->SetBounds(0, 0, 200, 150);
  Pump();
  EXPECT_FALSE(IsRectEmpty(view->View().SizeGripRect()));
}

TEST_F(ImageViewWindow, OptionsAnswerTheDialogCodeAndThePress) {
  view->SetBounds(0, 0, 200, 150);
  const HWND other = CreateWindowW(L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 250, 10, 40, 20,
                                   form->Handle(), nullptr, nullptr, nullptr);
  Pump();
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
  view->View().SetOptions(pboWantArrowKeys);
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);

  // The press focuses the image control with or without pboAutoFocus (an image control takes
  // the focus on a press); the option's own path is the paint box's.
  SetFocus(other);
  SendMessageW(view->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(view->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(GetFocus(), view->Handle());
  SetFocus(other);
  view->View().AutoFocus();
  EXPECT_EQ(GetFocus(), other);
  view->View().SetOptions(pboAutoFocus);
  view->View().AutoFocus();
  EXPECT_EQ(GetFocus(), view->Handle());
  DestroyWindow(other);
}

// The platform's focus rectangle: dotted, inverting, inside the clip rectangle only.
TEST_F(ImageViewWindow, FrameStagesDrawThePlatformFocusRectangle) {
  TBitmap32 dest;
  dest.SetSize(20, 10);
  dest.Clear(0xFF000000);
  dest.SetClipRect(TRect{0, 0, 20, 5});
  view->HostFocusRect(dest, TRect{2, 2, 12, 8});
  int inverted = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool set = (dest.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
      if (!set) continue;
      ++inverted;
      EXPECT_LT(y, 5) << x;
      EXPECT_TRUE(x == 2 || x == 11 || y == 2) << x << "," << y;
    }
  EXPECT_GT(inverted, 4);
  EXPECT_LT(inverted, 10 + 2 * 3);  // dotted, not solid
}

}  // namespace
}  // namespace gfx
