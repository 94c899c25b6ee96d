// The picture viewer in the real program: screen pictures added to an image open from the view
// command (even as "&Hex Dump") in their own window, centred at twice their size; a smaller
// window brings the range bars, which and the wheel move the picture; Escape closes the window.
// Pixels are probed on the window itself at the middle of each doubled pixel.
#include <gtest/gtest.h>

#include <cmath>

#include "../../disk/disk_test_support.h"
#include "app/msx_picture.h"
#include "app/viewer/win32/image_view_form.h"
#include "gfx/startup.h"
#include "main_form_fixture.h"

namespace app::test {
namespace {

using disk_test::WriteFile;

COLORREF ToColorRef(std::uint32_t argb) {
  return RGB(argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF);
}

std::uint8_t Screen8Byte(int x, int y) {
  return static_cast<std::uint8_t>(x ^ y);
}

class PictureViewerTest : public MainFormTest {
 protected:
  PictureViewerTest() { gfx::Initialize(); }

  std::vector<TfrmImageView*> Pictures() const {
    std::vector<TfrmImageView*> found;
    for (int i = 0; i < ui::Screen->FormCount(); ++i)
      if (auto* viewer = dynamic_cast<TfrmImageView*>(ui::Screen->Forms(i)))
        found.push_back(viewer);
    return found;
  }
  // The colour on screen at a point of the view's client area.
  static COLORREF ScreenPixel(TfrmImageView& viewer, int x, int y) {
    const HWND window = viewer.ImageView().Handle();
    UpdateWindow(window);
    const HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
  }
  // Picture pixel (x, y) drawn doubled with its top-left corner at `origin`.
  static COLORREF Doubled(TfrmImageView& viewer, POINT origin, int x, int y) {
    return ScreenPixel(viewer, origin.x + 2 * x + 1, origin.y + 2 * y + 1);
  }
};

TEST_F(PictureViewerTest, PicturesOpenScrollAndClose) {
  std::vector<std::uint8_t> sc8(7 + 256 * 212);
  sc8[0] = 0xFE;
  for (int y = 0; y < 212; ++y)
    for (int x = 0; x < 256; ++x) sc8[7 + y * 256 + x] = Screen8Byte(x, y);
  WriteFile(Folder() / L"pic.sc8", sc8);
  // SCREEN 5: each palette entry its own colour, row y painted in colours y and y + 1.
  std::vector<std::uint8_t> sc5(7 + 0x7680 + 32);
  for (int y = 0; y < 212; ++y)
    for (int i = 0; i < 128; ++i)
      sc5[7 + y * 128 + i] = static_cast<std::uint8_t>((y % 16) << 4 | (y + 1) % 16);
  for (int k = 0; k < 16; ++k) {
    sc5[7 + 0x7680 + 2 * k] = static_cast<std::uint8_t>((k & 7) << 4 | (7 - (k & 7)));
    sc5[7 + 0x7680 + 2 * k + 1] = static_cast<std::uint8_t>(k >> 1);
  }
  WriteFile(Folder() / L"pal.sc5", sc5);
  Start();
  dialogs.addAnswers = {{Folder() / L"pic.sc8", Folder() / L"pal.sc5"}};
  ChooseAction(L"acAddFiles");

  Select({L"PIC"});
  Choose(Item({L"&Disk", L"View File A&s...", L"&Hex Dump"}));
  ASSERT_EQ(Pictures().size(), 1u);
  TfrmImageView& viewer = *Pictures()[0];
  EXPECT_TRUE(IsWindowVisible(viewer.Handle()));
  wchar_t caption[128] = {};
  GetWindowTextW(viewer.Handle(), caption, 128);
  EXPECT_STREQ(caption, L"Image Viewer - PIC.SC8");
  // 512 x 424 in 635 x 510: centred at (62, 43), no bars.
  EXPECT_FALSE(IsWindowVisible(viewer.ImageView().HScroll().Handle()));
  for (const POINT p : {POINT{0, 0}, POINT{255, 211}, POINT{17, 100}, POINT{200, 3}})
    EXPECT_EQ(Doubled(viewer, {62, 43}, p.x, p.y), ToColorRef(Screen8Color(Screen8Byte(p.x, p.y))))
        << p.x << "," << p.y;
  EXPECT_EQ(ScreenPixel(viewer, 10, 10), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ScreenPixel(viewer, 62 + 512, 43 + 424), GetSysColor(COLOR_BTNFACE));

  // A smaller window: the bars appear and the picture's middle stays in the middle.
  viewer.SetClientSize(300, 200);
  Pump();
  gfx::TRangeBar& hBar = viewer.ImageView().HScroll();
  ASSERT_TRUE(IsWindowVisible(hBar.Handle()));
  const int bar = GetSystemMetrics(SM_CYHSCROLL);
  const int viewW = 300 - bar, viewH = 200 - bar;
  const auto centred = [&](int size, int view) {
    return static_cast<int>(std::lrint(-(size / 2.0 - view / 2.0)));
  };
  POINT origin{centred(512, viewW), centred(424, viewH)};
  EXPECT_EQ(Doubled(viewer, origin, 128, 106), ToColorRef(Screen8Color(Screen8Byte(128, 106))));
  // The wheel rolled up moves toward the top by one increment.
  SendMessageW(viewer.ImageView().Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  origin.y = static_cast<int>(std::lrint(-(424 / 2.0 - viewH / 2.0 - 8)));
  EXPECT_EQ(Doubled(viewer, origin, 120, 100), ToColorRef(Screen8Color(Screen8Byte(120, 100))));
  // A click on the horizontal bar's right arrow moves right by one increment.
  RECT client;
  GetClientRect(hBar.Handle(), &client);
  SendMessageW(hBar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 2, 3));
  SendMessageW(hBar.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.right - 2, 3));
  origin.x = static_cast<int>(std::lrint(-(512 / 2.0 - viewW / 2.0 + 8)));
  EXPECT_EQ(Doubled(viewer, origin, 130, 100), ToColorRef(Screen8Color(Screen8Byte(130, 100))));
  // Dragging the bar's handle moves it with the mouse.
  const gfx::TRect handle = hBar.Bar().GetHandleBounds();
  const int grab = (handle.left + handle.right) / 2;
  SendMessageW(hBar.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, 3));
  SendMessageW(hBar.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab - 20, 3));
  SendMessageW(hBar.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(grab - 20, 3));
  EXPECT_EQ(hBar.Bar().GetHandleBounds().left, handle.left - 20);
  // At scale 1 the picture fits across (centred) but not down: the vertical bar keeps its
  // relative centre, here 10.5 of 29 px.
  viewer.ImageView().View().SetScale(1.0f);
  Pump();
  ASSERT_EQ(viewH, 183);
  EXPECT_EQ(viewer.ImageView().VScroll().Bar().Position(), 10.5f);
  EXPECT_EQ(ScreenPixel(viewer, 14 + 40, 5), ToColorRef(Screen8Color(Screen8Byte(40, 15))));

  // Escape closes (and frees) the window.
  SendMessageW(viewer.ImageView().Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  Pump();
  EXPECT_TRUE(Pictures().empty());

  // A SCREEN 5 picture with its own palette.
  Select({L"PAL"});
  ViewKey();
  ASSERT_EQ(Pictures().size(), 1u);
  TfrmImageView& palette = *Pictures()[0];
  const auto color5 = [&](int k) {
    return ToColorRef(Screen5PaletteColor(sc5[7 + 0x7680 + 2 * k], sc5[7 + 0x7680 + 2 * k + 1]));
  };
  for (const POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{255, 211}, POINT{100, 37}})
    EXPECT_EQ(Doubled(palette, {62, 43}, p.x, p.y),
              color5(p.x % 2 == 0 ? p.y % 16 : (p.y + 1) % 16))
        << p.x << "," << p.y;
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace app::test
