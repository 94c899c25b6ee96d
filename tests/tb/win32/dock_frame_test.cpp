// The frames of docks, dockable windows and the floating form under Wine: pixels read back
// through WM_PRINT, the messages that decide painting, menus and keys, and the properties a
// stored form restores.
#include <gtest/gtest.h>

#include "../../ui/win32/gui_fixture.h"
#include "tb/win32/dockable_window.h"

namespace tb {
namespace {

constexpr COLORREF kPrintClientColor = RGB(10, 200, 30);

// A floating form that paints its client area in one colour.
class PaintingParent : public TTBFloatingWindowParent {
 public:
  using TTBFloatingWindowParent::TTBFloatingWindowParent;
  void PaintHandler(ui::TMessage& message) override {
    const auto dc = reinterpret_cast<HDC>(message.WParam);
    RECT r;
    GetClientRect(Handle(), &r);
    const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(kPrintClientColor));
    FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
  }
};

// A window whose content is 60 x 16.
class FrameBar : public TTBCustomDockableWindow {
 public:
  explicit FrameBar(ui::TComponent* owner) : TTBCustomDockableWindow(owner) {}
  void CalcLayoutSize(bool, TTBDockType, bool, TTBDock*, TPoint& size) override { size = {60, 16}; }
  void GetCurrentClientSize(TPoint& size) override { size = {60, 16}; }
  TTBFloatingWindowParent* CreateFloatingParent() override {
    return ui::New<PaintingParent>().release();
  }
};

// A bitmap to print a window into.
struct PrintTarget {
  PrintTarget(int width, int height)
      : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(width, height, 1, 32, nullptr)) {
    old = SelectObject(dc, bitmap);
  }
  ~PrintTarget() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  PrintTarget(const PrintTarget&) = delete;
  PrintTarget& operator=(const PrintTarget&) = delete;
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

class TbDockFrames : public UiGuiTest {
 protected:
  TbDockFrames() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 500, 300);
    top = ui::Create<TTBDock>(*form);
    top->SetParent(form);
    bar = ui::Create<FrameBar>(*form);
    bar->SetParent(top);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }

  ui::TForm* form = nullptr;
  TTBDock* top = nullptr;
  FrameBar* bar = nullptr;
};

TEST_F(TbDockFrames, FloatingFrameOutlinesItsInnermostRingAndPrintsItsClient) {
  bar->SetFloatingPosition({200, 200});
  bar->SetFloating(true);
  Pump();
  TTBFloatingWindowParent* parent = bar->FloatParent();
  ASSERT_NE(parent, nullptr);
  TPoint border;
  bar->GetFloatingBorderSize(border);
  ASSERT_GE(border.x, 3);  // an edge of 2, the ring, the outline
  const int w = parent->Width(), h = parent->Height();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF ring =
      GetSysColor(bar->InactiveCaption() ? COLOR_INACTIVEBORDER : COLOR_ACTIVEBORDER);
  ASSERT_NE(ring, face);
  PrintTarget target(w, h);
  SendMessageW(parent->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.dc),
               PRF_NONCLIENT | PRF_CLIENT);
  const int midY = h - border.y - 4;  // below the caption
  // The outline next to the client area on every side, the ring outside it.
  EXPECT_EQ(GetPixel(target.dc, border.x - 1, midY), face);
  EXPECT_EQ(GetPixel(target.dc, w - border.x, midY), face);
  EXPECT_EQ(GetPixel(target.dc, w / 2, border.y - 1), face);
  EXPECT_EQ(GetPixel(target.dc, w / 2, h - border.y), face);
  EXPECT_EQ(GetPixel(target.dc, border.x - 2, midY), ring);
  EXPECT_EQ(GetPixel(target.dc, w - border.x + 1, midY), ring);
  // The client area went through the form's paint handler.
  EXPECT_EQ(GetPixel(target.dc, border.x + 1, midY), kPrintClientColor);
}

}  // namespace
}  // namespace tb
