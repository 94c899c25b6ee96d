// The image view's window under Wine: the size grip in sgAuto follows the alignment up to the
// form, the arrow-key option answers the dialog code, rmDirect paints at once, and the frame
// stages draw the platform's focus rectangle into the buffer; the square between the bars is
// painted, with or without the grip.
#include <windows.h>

#include <gtest/gtest.h>

#include "../../ui/win32/gui_fixture.h"
#include "gfx/drawing.h"
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

// sgAuto shows the grip only while the view fills its form; the options answer the dialog code.
TEST_F(ImageViewWindow, AutoGripAndArrowKeys) {
  view->SetBounds(0, 0, 200, 150);
  Pump();
  EXPECT_TRUE(IsRectEmpty(view->View().SizeGripRect()));
  view->SetAlign(ui::TAlign::alClient);
  Pump();
  EXPECT_EQ(view->View().SizeGripRect().right, 300);
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
  view->View().SetOptions(pboWantArrowKeys);
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, DLGC_WANTARROWS);
}

// In rmDirect a change of the picture is painted before the change returns: nothing is left
// for a later paint.
TEST_F(ImageViewWindow, DirectModePaintsAChangeAtOnce) {
  view->View().SetRepaintMode(rmDirect);
  Pump();
  FillRectS(view->View().Bitmap(), 10, 10, 12, 12, 0xFFFF0000);
  EXPECT_TRUE(view->View().BufferValid());
  RECT r;
  EXPECT_FALSE(GetUpdateRect(view->Handle(), &r, FALSE));
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

// The square between the bars shows the control's colour: alone without a grip, and around
// the grip's marks with one (the themed grip draws only its marks).
TEST_F(ImageViewWindow, CornerBetweenTheBarsIsPainted) {
  for (const TSizeGripStyle grip : {sgNone, sgAlways}) {
    view->View().SetSizeGrip(grip);
    RedrawWindow(view->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const TRect corner = view->View().CornerRect();
    ASSERT_EQ(corner.Width(), GetSystemMetrics(SM_CXVSCROLL));
    const HDC dc = GetDC(view->Handle());
    int face = 0;
    for (int y = corner.top; y < corner.bottom; ++y)
      for (int x = corner.left; x < corner.right; ++x)
        face += GetPixel(dc, x, y) == GetSysColor(COLOR_BTNFACE);
    ReleaseDC(view->Handle(), dc);
    const int all = corner.Width() * corner.Height();
    if (grip == sgNone)
      EXPECT_EQ(face, all);
    else
      EXPECT_GT(face, all / 2);
  }
}

}  // namespace
}  // namespace gfx
