// The splitter in a real form under Wine: drags, the grip and Escape with real mouse and key
// input (each wait bounded), and its painting under the three skin types in a memory context.
#include "skbar/win32/splitter.h"

#include <gtest/gtest.h>

#include <vector>

#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/screen_check.h"
#include "paint_surface.h"
#include "real_input.h"
#include "skbar/skin_manager.h"

namespace skbar {
namespace {

using skbar_test::Script;

class SplitterWindow : public UiGuiTest {
 protected:
  SplitterWindow() {
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(100, 100, 600, 400);
    dock = ui::Create<ui::TCustomControl>(*form);
    dock->SetAlign(ui::TAlign::alRight);
    dock->SetWidth(180);
    dock->SetParent(form);
    splitter = ui::Create<TSkBarCustomSplitter>(*form);
    splitter->SetAlign(ui::TAlign::alRight);
    splitter->SetParent(form);
    list = ui::Create<ui::TCustomControl>(*form);
    list->SetAlign(ui::TAlign::alClient);
    list->SetParent(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  ~SplitterWindow() override {
    SkBarSkinManager()->SetThemesOverride(std::nullopt);
    SkBarSkinManager()->SetToDefaultSkin();
  }
  // A point of the splitter on screen, `y` pixels below its top.
  POINT At(int y) {
    POINT p{splitter->Width() / 2, y};
    ClientToScreen(splitter->Handle(), &p);
    return p;
  }
  static bool Drag(POINT from, int dx) {
    return Script::Play({{0, from},
                         {MOUSEEVENTF_LEFTDOWN, from},
                         {0, {from.x + dx / 2, from.y}},
                         {0, {from.x + dx, from.y}},
                         {MOUSEEVENTF_LEFTUP, {from.x + dx, from.y}}});
  }

  ui::TForm* form = nullptr;
  ui::TCustomControl* dock = nullptr;
  ui::TCustomControl* list = nullptr;
  TSkBarCustomSplitter* splitter = nullptr;
};

TEST_F(SplitterWindow, DragsCollapsesAndRestoresWithRealInput) {
  ASSERT_EQ(splitter->FindControl(), dock);
  int moves = 0;
  splitter->OnMoved = [&moves](ui::TComponent*) { ++moves; };
  EXPECT_TRUE(Drag(At(20), -100));
  splitter->OnMoved = nullptr;
  EXPECT_EQ(dock->Width(), 280);
  EXPECT_EQ(splitter->Left() + splitter->Width(), dock->Left());
  EXPECT_EQ(moves, 2);  // rsUpdate resizes as it goes
  EXPECT_FALSE(splitter->Dragging());
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after a drag";

  // With MinSize 30 a drag to the far right stops at 30; the grip brings 280 back.
  splitter->SetMinSize(30);
  EXPECT_TRUE(Drag(At(20), 500));
  EXPECT_EQ(dock->Width(), 30);
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after a drag to the limit";
  const TRect grip = splitter->GripRect();
  const POINT gripAt = At((grip.top + grip.bottom) / 2);
  EXPECT_TRUE(Script::Play(Script::Clicks(gripAt, 1)));
  EXPECT_EQ(dock->Width(), 280);
  EXPECT_TRUE(ui_test::ScreenEqualsFullRepaint(form->Handle())) << "after the grip restored";

  // Escape ends a drag and keeps the size reached; later moves change nothing.
  const POINT from = At(20);
  EXPECT_TRUE(Script::Play({{0, from},
                            {MOUSEEVENTF_LEFTDOWN, from},
                            {0, {from.x - 40, from.y}},
                            {Script::kKey, {VK_ESCAPE, 0}},
                            {Script::kKey | KEYEVENTF_KEYUP, {VK_ESCAPE, 0}},
                            {0, {from.x - 90, from.y}},
                            {MOUSEEVENTF_LEFTUP, {from.x - 90, from.y}}}));
  EXPECT_FALSE(splitter->Dragging());
  EXPECT_EQ(dock->Width(), 320);

  // A hidden control gives no drag.
  dock->Hide();
  EXPECT_EQ(splitter->FindControl(), nullptr);
}

// The cursor over the splitter follows every alignment request, even one that changes nothing,
// and is what the window shows.
TEST_F(SplitterWindow, CursorFollowsEveryAlignmentRequest) {
  using ui::TAlign;
  const struct {
    TAlign align;
    ui::TCursor cursor;
    const wchar_t* shown;
  } rows[] = {{TAlign::alTop, ui::crSizeNS, IDC_SIZENS},
              {TAlign::alBottom, ui::crSizeNS, IDC_SIZENS},
              {TAlign::alLeft, ui::crSizeWE, IDC_SIZEWE},
              {TAlign::alRight, ui::crSizeWE, IDC_SIZEWE},
              {TAlign::alNone, ui::crSizeWE, IDC_SIZEWE}};
  for (const auto& row : rows) {
    splitter->SetCursor(ui::crHandPoint);
    splitter->SetAlign(row.align);
    EXPECT_EQ(splitter->Cursor(), row.cursor) << static_cast<int>(row.align);
    SetCursor(nullptr);
    splitter->Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter->Handle()),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, row.shown)) << static_cast<int>(row.align);
  }
}

// A splitter that refuses every size through its FireMoving resizes nothing, and one that
// changes the size gets that size; FireMoved follows each resize.
class RefusingSplitter : public TSkBarCustomSplitter {
 public:
  using TSkBarCustomSplitter::TSkBarCustomSplitter;
  int forced = -1;  // -1: refuse
  int moved = 0;

 protected:
  bool FireMoving(int& newSize) override {
    if (forced < 0) return false;
    newSize = forced;
    return true;
  }
  void FireMoved() override { ++moved; }
};

TEST_F(SplitterWindow, FireMovingDecidesAndFireMovedFollows) {
  splitter->SetParent(nullptr);
  auto* own = ui::Create<RefusingSplitter>(*form);
  own->SetAlign(ui::TAlign::alRight);
  own->SetParent(form);
  form->Realign();
  Pump();
  ASSERT_EQ(own->FindControl(), dock);
  own->ChangeSplitControlSize(100);
  EXPECT_EQ(dock->Width(), 180);
  EXPECT_EQ(own->moved, 0);
  own->forced = 120;
  own->ChangeSplitControlSize(100);
  EXPECT_EQ(dock->Width(), 120);
  EXPECT_EQ(own->moved, 1);
}

// Snapshots of two rows of the form (read from its window surface, children included) taken
// every 10 ms while the splitter drags, with the dock's width at the time.
struct LineWatch {
  static inline TSkBarCustomSplitter* splitter = nullptr;
  static inline ui::TControl* dock = nullptr;
  static inline ui::TForm* form = nullptr;
  static inline std::vector<COLORREF> last;
  static inline std::vector<int> widths;
  static std::vector<COLORREF> Rows(int y) {
    std::vector<COLORREF> r;
    const HWND parent = form->Handle();
    const HDC dc = GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    for (int row = y; row <= y + 1; ++row)
      for (int x = 0; x < form->ClientWidth(); ++x) r.push_back(GetPixel(dc, x, row));
    ReleaseDC(parent, dc);
    return r;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!splitter->Dragging()) return;
    last = Rows(50);
    widths.push_back(dock->Width());
  }
};

// The line styles: while the button is held an inverted splitter-wide line follows the cursor
// over the form (whole for rsLine, every other pixel, alternating by rows, for rsPattern) and
// the control keeps its size; the release resizes it and erases the line.
TEST_F(SplitterWindow, LineAndPatternStylesDrawAnInvertedLineUntilRelease) {
  LineWatch::splitter = splitter;
  LineWatch::dock = dock;
  LineWatch::form = form;
  for (TResizeStyle style : {TResizeStyle::rsLine, TResizeStyle::rsPattern}) {
    splitter->SetResizeStyle(style);
    Pump();
    const std::vector<COLORREF> before = LineWatch::Rows(50);
    const int width = dock->Width(), left = splitter->Left() - 100;
    LineWatch::last.clear();
    LineWatch::widths.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, LineWatch::Tick);
    // Pressed each time elsewhere, so that the second press makes no double click.
    EXPECT_TRUE(Drag(At(style == TResizeStyle::rsLine ? 50 : 90), -100));
    KillTimer(nullptr, timer);
    EXPECT_EQ(dock->Width(), width + 100);
    ASSERT_FALSE(LineWatch::widths.empty());
    for (int w : LineWatch::widths) EXPECT_EQ(w, width);
    // The last picture while dragging: the line 100 pixels left of where the splitter was.
    const std::vector<COLORREF>& seen = LineWatch::last;
    ASSERT_EQ(seen.size(), before.size());
    const int cw = form->ClientWidth();
    int inverted = 0;
    for (int i = 0; i < 2 * cw; ++i) {
      const int x = i % cw;
      const bool inLine = x >= left && x < left + splitter->Width();
      const bool flipped = seen[i] == (before[i] ^ 0xFFFFFFu);
      inverted += flipped;
      if (!inLine) {
        EXPECT_EQ(seen[i], before[i]) << x;
      } else if (style == TResizeStyle::rsLine) {
        EXPECT_TRUE(flipped) << x;
      } else if (i < cw) {
        // Every other pixel, the other ones on the next row.
        EXPECT_NE(flipped, seen[i + cw] == (before[i + cw] ^ 0xFFFFFFu)) << x;
      }
    }
    EXPECT_EQ(inverted, style == TResizeStyle::rsLine ? 2 * splitter->Width() : splitter->Width());
    // Released: no line left over the list.
    Pump();
    const std::vector<COLORREF> after = LineWatch::Rows(50);
    for (int x = 0; x < splitter->Left(); ++x) {
      EXPECT_EQ(after[x], before[x]) << x;
    }
    dock->SetWidth(width);
  }
}

TEST_F(SplitterWindow, PaintsBackgroundAndGripPerSkinType) {
  splitter->SetAlign(ui::TAlign::alNone);
  splitter->SetBounds(0, 0, 5, 100);
  const auto paint = [&] {
    auto s = std::make_unique<skbar_test::PaintSurface>(5, 100, RGB(1, 2, 3));
    splitter->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s->Dc()));
    return s;
  };
  const TRect grip = SplitterGripDrawRect(splitter->GripRect(), true);
  const auto gripInk = [&](const skbar_test::PaintSurface& s, COLORREF c) {
    int n = 0;
    for (int y = grip.top; y < grip.bottom; ++y)
      for (int x = grip.left; x < grip.right; ++x) n += s.Pixel(x, y) == c;
    return n;
  };
  using skbar_test::Rgb;
  // Theme on (the prefix's default) and off: the parent's colour and the dotted grip.
  for (bool themes : {true, false}) {
    SkBarSkinManager()->SetThemesOverride(themes);
    form->SetColor(0x00406080);
    const auto s = paint();
    EXPECT_EQ(s->Pixel(2, 5), Rgb(0x00406080)) << themes;
    EXPECT_EQ(s->Pixel(2, 95), Rgb(0x00406080));
    EXPECT_GT(gripInk(*s, Rgb(ui::clBtnShadow)), 3) << themes;
    EXPECT_EQ(s->Pixel(2, grip.top - 2), Rgb(0x00406080));  // nothing past the grip
  }
  // Without a grip, nothing but the background.
  splitter->SetGripSize(-5);
  EXPECT_EQ(gripInk(*paint(), Rgb(ui::clBtnShadow)), 0);
  splitter->SetGripSize(50);

  // A skin: its splitter body and its grip colours.
  SkBarSkinManager()->SetSkin(L"Office XP");
  ASSERT_EQ(SkEffectiveSkinType(sknSkin), sknSkin);
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  const auto s = paint();
  EXPECT_EQ(s->Pixel(2, 5), Rgb(skin.Options(skncSplitter).Body.Color1));
  EXPECT_GT(gripInk(*s, Rgb(skin.Options(skncToolbarGrip).Body.Color1)), 3);
  // A skin-change broadcast reaches the splitter (it repaints).
  ValidateRect(splitter->Handle(), nullptr);
  SkBarSkinManager()->BroadcastSkinNotification();
  EXPECT_TRUE(GetUpdateRect(splitter->Handle(), nullptr, FALSE));

  // Its skin type is published: the manager switches it with the form's other skinned controls,
  // and it paints as told (the classic fill, not the skin's body).
  SkBarSkinManager()->ChangeControlSkinType(form, sknNone, false);
  EXPECT_EQ(splitter->SkinType(), sknNone);
  EXPECT_EQ(paint()->Pixel(2, 5), Rgb(0x00406080));
}

}  // namespace
}  // namespace skbar
