// Skinned items and popup menus under Wine: viewers painted into a memory context under each
// skin type (the theme on, the prefix's default; the theme off; a forced skin), a skinned popup
// menu driven by real input with a time limit on every loop, and the recent-file item's INI
// file read back by the platform's profile functions.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../../tb/win32/menu_input.h"
#include "../../ui/win32/gui_fixture.h"
#include "../../ui/win32/status_font_scope.h"
#include "../item_tree.h"
#include "paint_surface.h"
#include "skbar/sk_geometry.h"
#include "skbar/sk_mru_item.h"
#include "skbar/sk_toolbar_view.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_form_popup_menu.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_popup.h"
#include "tb/system_settings.h"
#include "ui/ini_file.h"

// After the window headers the ones above bring in.
#include <uxtheme.h>

namespace skbar {
namespace {

using skbar_test::PaintSurface;
using skbar_test::Rgb;

constexpr COLORREF kWhite = RGB(255, 255, 255);

class SkItemPaintTest : public ::testing::Test, public skbar_test::ItemTree {
 protected:
  ~SkItemPaintTest() override {
    Manager().SetThemesOverride(std::nullopt);
    Manager().SetToDefaultSkin();
  }
  static TSkBarSkinManager& Manager() { return *SkBarSkinManager(); }

  // Paints the viewer of `item` into a fresh white surface of its size.
  void PaintViewer(tb::TTBView& view, tb::TTBCustomItem* item, PaintSurface& s) {
    s.Clear(kWhite);
    view.Find(item)->Paint(s.canvas, {0, 0, s.Width(), s.Height()}, false, false, false);
  }
  // A caption-less item showing image 0 of `list`.
  TSkBarItem* AddImageItem(ui::TImageList& list) {
    auto* item = Add<TSkBarItem>(L"");
    item->SetImages(&list);
    item->SetImageIndex(0);
    return item;
  }
  int Count(const PaintSurface& s, const ui::TRect& area, COLORREF color) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) n += s.Pixel(x, y) == color;
    }
    return n;
  }
};

TEST_F(SkItemPaintTest, HotMenuItemUnderEachSkinType) {
  auto* item = Add<TSkBarItem>(L"&Open Disk Image");
  auto view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  view->Select(view->Find(item), false);
  PaintSurface s(200, 22, kWhite);
  const ui::TRect caption{30, 0, 150, 22};

  // Theme off: the highlight is filled, and the caption is in the highlight-text colour on it.
  Manager().SetThemesOverride(false);
  ASSERT_EQ(Manager().GetSkinType(), sknNone);
  PaintViewer(*view, item, s);
  EXPECT_EQ(s.Pixel(190, 11), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(s.Pixel(1, 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_GT(Count(s, caption, GetSysColor(COLOR_HIGHLIGHTTEXT)), 20);

  // Theme on (the prefix's default): the theme's hot part under a caption of another colour.
  Manager().SetThemesOverride(std::nullopt);
  ASSERT_EQ(Manager().GetSkinType(), sknWindows);
  PaintViewer(*view, item, s);
  const COLORREF hot = s.Pixel(190, 11);
  EXPECT_NE(hot, kWhite);
  EXPECT_GT(static_cast<int>(caption.Width() * caption.Height()) - Count(s, caption, hot), 20);

  // A skin: the skin's hot menu-item body, exactly.
  Manager().SetSkin(L"Office XP");
  ASSERT_EQ(Manager().GetSkinType(), sknSkin);
  const TSkBarSkinOptionEntry& body = SkCurrentSkin().Options(skncMenuItem, sknsHotTrack).Body;
  ASSERT_EQ(body.SkinType, 0);
  PaintViewer(*view, item, s);
  EXPECT_EQ(s.Pixel(190, 11), Rgb(body.Color1));
  const COLORREF text = Rgb(SkCurrentSkin().GetTextColor(skncMenuItem, sknsHotTrack, sknSkin));
  EXPECT_GT(Count(s, caption, text), 20);
}

// Under the visual styles of Windows Vista and later, a checked menu item's image column gets
// the theme's check background in the item's state, disabled too.
TEST_F(SkItemPaintTest, UnderTheThemeACheckedItemsColumnHasTheCheckBackgroundEvenDisabled) {
  ASSERT_EQ(Manager().GetSkinType(), sknWindows);
  auto* item = Add<TSkBarItem>(L"&Wide");
  item->SetChecked(true);
  auto view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, 0, m);
  const RECT column{m.Margins.left, 0, m.Margins.left + m.GutterSize, 22};
  const HTHEME theme = OpenThemeData(nullptr, L"MENU");
  ASSERT_NE(theme, nullptr);
  for (const auto& [enabled, themeState] : {std::pair{true, 2}, std::pair{false, 1}}) {
    SCOPED_TRACE(enabled);
    item->SetEnabled(enabled);
    PaintSurface s(200, 22, kWhite), reference(200, 22, kWhite);
    PaintViewer(*view, item, s);
    DrawThemeBackground(theme, reference.Dc(), 12, themeState, &column, nullptr);
    const POINT corner{column.left + 1, 1};
    ASSERT_NE(reference.Pixel(corner.x, corner.y), kWhite);
    EXPECT_EQ(s.Pixel(corner.x, corner.y), reference.Pixel(corner.x, corner.y));
  }
  CloseThemeData(theme);
}

TEST_F(SkItemPaintTest, ClassicMarksEdgesAndSeparators) {
  Manager().SetThemesOverride(false);
  auto* radio = Add<TSkBarItem>(L"&Large");
  radio->SetRadioItem(true);
  radio->SetChecked(true);
  auto* separator = Add<TSkBarSeparatorItem>(L"");
  auto* file = Add<TSkBarSubmenuItem>(L"&File");
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);

  PaintSurface s(200, 22, kWhite);
  PaintViewer(*menu, radio, s);
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, 0, m);
  const ui::TRect column{m.Margins.left + 4, 4, m.Margins.left + m.GutterSize - 4, 18};
  EXPECT_GT(Count(s, column, GetSysColor(COLOR_MENUTEXT)), 6);          // the radio mark
  EXPECT_EQ(s.Pixel(m.Margins.left, 0), GetSysColor(COLOR_BTNSHADOW));  // the sunken check frame

  PaintSurface line(100, 10, kWhite);
  PaintViewer(*menu, separator, line);
  EXPECT_EQ(line.Pixel(11, 4), kWhite);
  EXPECT_EQ(line.Pixel(12, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(line.Pixel(12, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(line.Pixel(87, 4), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(line.Pixel(88, 4), kWhite);

  // A hot menu-bar item: a raised inner edge.
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->SetStyle(tb::vsMenuBar);
  bar->Select(bar->Find(file), true);
  PaintSurface button(40, 20, kWhite);
  PaintViewer(*bar, file, button);
  EXPECT_EQ(button.Pixel(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(button.Pixel(39, 19), GetSysColor(COLOR_BTNSHADOW));
  // The caption centred by its alignment; left-justified it starts at the 4-pixel inset.
  const auto ink = [&] {
    return skbar_test::Bounds(
        button.Where([](COLORREF c) { return c == GetSysColor(COLOR_MENUTEXT); }));
  };
  const ui::TRect centred = ink();
  EXPECT_LE(std::abs(centred.left + centred.right - 40), 6);  // ink, not advance, is measured
  file->SetAlignment(taLeftJustify);
  PaintViewer(*bar, file, button);
  EXPECT_LE(ink().left, 6);
}

TEST_F(SkItemPaintTest, DrawEventsBracketAndReplaceTheDefault) {
  auto* item = Add<TSkBarItem>(L"&Go");
  auto view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  view->Select(view->Find(item), false);
  std::vector<TSkBarPaintStage> stages;
  item->OnDrawItem = [&](TSkBarCustomItem*, TSkBarDrawItemArgs& args) {
    stages.push_back(args.PaintStage);
    if (args.PaintStage == pstPrePaint) *args.PaintDefault = false;
  };
  int captions = 0;
  item->OnDrawCaption = [&](TSkBarCustomItem*, TSkBarDrawCaptionArgs& args) {
    ++captions;
    EXPECT_EQ(*args.Caption, L"&Go");
    *args.PaintDefault = false;
  };
  Manager().SetThemesOverride(false);
  PaintSurface s(100, 22, kWhite);
  PaintViewer(*view, item, s);
  EXPECT_EQ(stages, (std::vector<TSkBarPaintStage>{pstPrePaint, pstPostPaint}));
  EXPECT_EQ(captions, 2);
  EXPECT_EQ(s.Where([](COLORREF c) { return c != kWhite; }).size(), 0u);
}

// An item whose font hook paints its caption red, with a 6 x 4 image after the caption.
class HookedItem : public TSkBarItem {
 public:
  using TSkBarItem::TSkBarItem;
  void AdjustFontHook(ui::TFont& font, TSkBarSkinStatesType state) override {
    states.push_back(state);
    font.SetColor(0x000000FF);
  }
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override;
  std::vector<TSkBarSkinStatesType> states;
  std::vector<TRect> rightImages;
};
class HookedViewer : public TSkBarItemViewer {
 public:
  using TSkBarItemViewer::TSkBarItemViewer;
  TSize GetTrailingImageSize() const override { return {6, 4}; }
  void PaintRightImage(ui::TCanvas&, const TRect& rect, const TSkBarMenuItemInfo&) override {
    static_cast<HookedItem&>(Item()).rightImages.push_back(rect);
  }
};
std::unique_ptr<tb::TTBItemViewer> HookedItem::CreateViewer(tb::TTBView& view, int groupLevel) {
  return std::make_unique<HookedViewer>(view, *this, groupLevel);
}

TEST_F(SkItemPaintTest, FontHookHasTheLastSayAndTheRightImageIsPlaced) {
  Manager().SetThemesOverride(false);
  auto* item = Add<HookedItem>(L"Hooked");
  item->FontSettings().SetColor(0x0000FF00);  // the hook overrides even the settings' colour
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  PaintSurface s(200, 22, kWhite);
  PaintViewer(*menu, item, s);
  EXPECT_EQ(item->states, std::vector<TSkBarSkinStatesType>{sknsNormal});
  EXPECT_GT(Count(s, {0, 0, 200, 22}, RGB(255, 0, 0)), 10);
  EXPECT_EQ(Count(s, {0, 0, 200, 22}, RGB(0, 255, 0)), 0);
  ASSERT_EQ(item->rightImages.size(), 1u);
  const TRect r = item->rightImages[0];
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, 0, m);
  EXPECT_EQ(r.right, 200 - m.Margins.right);
  EXPECT_EQ(r.Width(), 6);
  const int inner = 22 - m.Margins.top - m.Margins.bottom;
  EXPECT_EQ(r.top, m.Margins.top + (inner - 4) / 2);  // vertically centred
  EXPECT_EQ(r.Height(), 4);
}

// A viewer that paints through operations of its own: a red text colour, a 16 x 16 image that
// it paints itself, and draw events it keeps (its item's handlers never hear of them).
class OwnOperationsViewer : public TSkBarItemViewer {
 public:
  using TSkBarItemViewer::TSkBarItemViewer;
  TColor GetTextColor(TSkBarSkinStatesType) const override { return ui::clRed; }
  TSize GetItemImageSize() const override { return {16, 16}; }
  void PaintItemImage(ui::TCanvas&, const TRect& rect, const TSkBarMenuItemInfo& info,
                      int imageIndex) override {
    images.push_back({rect, imageIndex});
    EXPECT_TRUE(info.ImageShown);
  }
  void FireDrawItem(TSkBarDrawItemArgs& args) override { events.push_back(Stage("item", args)); }
  void FireDrawCaption(TSkBarDrawCaptionArgs& args) override {
    events.push_back(Stage("caption", args));
  }
  void FireDrawHint(TSkBarDrawHintArgs& args) override { *args.HintText += L"!"; }
  template <class Args>
  static std::string Stage(const char* what, const Args& args) {
    return std::string(what) + (args.PaintStage == pstPrePaint ? " pre" : " post");
  }
  std::vector<std::pair<TRect, int>> images;
  std::vector<std::string> events;
};
using OwnOperationsItem = skbar_test::ItemWithViewer<OwnOperationsViewer>;

TEST_F(SkItemPaintTest, PaintGoesThroughTheViewersOwnOperations) {
  Manager().SetThemesOverride(false);
  auto* item = Add<OwnOperationsItem>(L"&Open");
  item->SetImageIndex(3);
  item->OnDrawItem = [](TSkBarCustomItem*, TSkBarDrawItemArgs&) { ADD_FAILURE(); };
  item->OnDrawCaption = [](TSkBarCustomItem*, TSkBarDrawCaptionArgs&) { ADD_FAILURE(); };
  item->OnDrawHint = [](TSkBarCustomItem*, TSkBarDrawHintArgs&) { ADD_FAILURE(); };
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  auto& viewer = dynamic_cast<OwnOperationsViewer&>(*menu->Find(item));
  PaintSurface s(200, 22, kWhite);
  PaintViewer(*menu, item, s);
  EXPECT_EQ(viewer.events,
            (std::vector<std::string>{"item pre", "item post", "caption pre", "caption post"}));
  EXPECT_GT(Count(s, {0, 0, 200, 22}, RGB(255, 0, 0)), 20);  // the caption
  // The image, centred in the image column.
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, 16, m);
  ASSERT_EQ(viewer.images.size(), 1u);
  const auto [rect, index] = viewer.images[0];
  EXPECT_EQ(index, 3);
  const int left = m.Margins.left + (m.GutterSize - 16) / 2;
  const int top = m.Margins.top + (22 - m.Margins.top - m.Margins.bottom - 16) / 2;
  EXPECT_EQ(rect, (TRect{left, top, left + 16, top + 16}));
  // The bitmap hint is drawn through the viewer too.
  ui::THintInfo info;
  ASSERT_TRUE(SkPrepareBitmapHint(viewer, info));
  EXPECT_EQ(info.HintStr, L"Open!");
}

TEST_F(SkItemPaintTest, CaptionGlyphItemsAndTheUnitsSharedPieces) {
  Manager().SetThemesOverride(false);
  auto* close = Add<TSkBarItem>(L"Close");
  close->SetImages(&SkCaptionGlyphs());
  close->SetImageIndex(0);
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  PaintSurface s(200, 22, kWhite);
  PaintViewer(*menu, close, s);
  int bits = 0;
  for (std::uint16_t row : SkGlyphPattern(0).rows) bits += __builtin_popcount(row);
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, SkCaptionGlyphs().Height(), m);
  const ui::TRect column{0, 0, m.Margins.left + m.GutterSize, 22};
  EXPECT_EQ(Count(s, column, GetSysColor(COLOR_MENUTEXT)), bits);

  EXPECT_FALSE(SkSmallCaptionFont().Name().empty());
  EXPECT_FALSE(SkIsCompositionEnabled());  // Wine: composition is off
}

// A 16 x 16 image, `color` on its left half and transparent on the right.
ui::Owned<ui::TImageList> HalfImage(COLORREF color) {
  PaintSurface image(16, 16, RGB(255, 0, 255));
  const RECT left{0, 0, 8, 16};
  const HBRUSH brush = CreateSolidBrush(color);
  FillRect(image.Dc(), &left, brush);
  DeleteObject(brush);
  ui::Owned<ui::TImageList> list = ui::New<ui::TImageList>();
  list->AddMasked(image.Detach(), 0xFF00FF);
  return list;
}

TEST_F(SkItemPaintTest, MenuSplitItemsHaveADividerBeforeTheirSubmenuPart) {
  auto* split = Add<TSkBarSubmenuItem>(L"&Recent");
  split->SetDropdownCombo(true);
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  PaintSurface s(200, 22, kWhite);
  // Classic: a button-shadow line 14 pixels from the right edge, one pixel short at both ends.
  Manager().SetThemesOverride(false);
  PaintViewer(*menu, split, s);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_EQ(Count(s, {186, 0, 187, 22}, shadow), 20);
  EXPECT_NE(s.Pixel(186, 0), shadow);
  EXPECT_NE(s.Pixel(186, 21), shadow);
  EXPECT_EQ(Count(s, {185, 0, 186, 22}, shadow), 0);
  // A skin: the first border colour of the menu item's state, over its hot body.
  Manager().SetSkin(L"Office XP");
  menu->Select(menu->Find(split), false);
  PaintViewer(*menu, split, s);
  const TSkBarSkinOptionCategory& hot = SkCurrentSkin().Options(skncMenuItem, sknsHotTrack);
  EXPECT_EQ(s.Pixel(186, 10), Rgb(hot.Borders.Color1));
  EXPECT_EQ(s.Pixel(185, 10), Rgb(hot.Body.Color1));
}

TEST_F(SkItemPaintTest, UnderOfficeIconsAHotImageRisesAboveItsShadow) {
  const ui::Owned<ui::TImageList> list = HalfImage(0);
  auto* item = AddImageItem(*list);
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  Manager().SetSkin(L"Office XP");
  ASSERT_TRUE(SkCurrentSkin().OfficeIcons());
  PaintSurface s(32, 32, kWhite);
  const auto black = [&] { return skbar_test::Bounds(s.Where([](COLORREF c) { return c == 0; })); };
  PaintViewer(*bar, item, s);
  const ui::TRect plain = black();
  ASSERT_EQ(plain.Width(), 8);
  bar->Select(bar->Find(item), false);
  PaintViewer(*bar, item, s);
  const ui::TRect raised = black();
  EXPECT_EQ(raised, (ui::TRect{plain.left - 1, plain.top - 1, plain.right - 1, plain.bottom - 1}));
  // The shadow shows past the image's lower right: the hot body darkened.
  const COLORREF body = Rgb(SkCurrentSkin().Options(skncToolbarItem, sknsHotTrack).Body.Color1);
  const COLORREF shade = s.Pixel(plain.right, plain.top + 4);
  EXPECT_NEAR(GetRValue(shade), GetRValue(body) * 170 / 256, 1);
  EXPECT_NEAR(GetBValue(shade), GetBValue(body) * 170 / 256, 1);
  EXPECT_EQ(s.Pixel(plain.right + 1, plain.top + 4), body);
}

TEST_F(SkItemPaintTest, TheDropDownArrowGoesBelowAnImageAboveTheCaption) {
  Manager().SetThemesOverride(false);
  constexpr COLORREF kBlue = RGB(0, 0, 255);
  const ui::Owned<ui::TImageList> list = HalfImage(kBlue);
  auto* item = AddImageItem(*list);
  item->SetOptions(tb::tboDropdownArrow | tb::tboImageAboveCaption);
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  const COLORREF ink = Rgb(SkCurrentSkin().GetTextColor(skncToolbarItem, sknsNormal, sknNone));
  PaintSurface s(40, 40, kWhite);
  PaintViewer(*bar, item, s);
  // The image in the middle (12..28 both ways), the arrow centred right under it.
  const ui::TRect image = skbar_test::Bounds(s.Where([](COLORREF c) { return c == kBlue; }));
  ASSERT_EQ(image, (ui::TRect{12, 12, 20, 28}));
  const ui::TRect arrow = skbar_test::Bounds(s.Where([&](COLORREF c) { return c == ink; }));
  EXPECT_EQ(arrow.left + arrow.right, 2 * 20 + 1);
  EXPECT_GE(arrow.top, 28);
  EXPECT_LE(arrow.bottom, 36);
  // With a caption, the arrow follows it on the caption's row below the image.
  item->SetCaption(L"Go");
  PaintViewer(*bar, item, s);
  const ui::TRect below = skbar_test::Bounds(s.Where([&](COLORREF c) { return c == ink; }));
  std::size_t arrowInk = 0;
  for (const auto& [x, y] : s.Where([&](COLORREF c) { return c == ink; }))
    arrowInk += x >= below.right - 5;
  EXPECT_GE(below.top, 20);
  EXPECT_EQ(arrowInk, 9u);  // the 5-3-1 triangle, clear of the caption
}

// In a vertical toolbar a button's caption runs down the button, as it was measured.
TEST_F(SkItemPaintTest, AVerticalToolbarsCaptionIsRotated) {
  Manager().SetThemesOverride(false);
  auto* item = Add<TSkBarItem>(L"Wide caption");
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->SetOrientation(tb::TTBViewOrientation::tbvoVertical);
  bool rotatedSeen = false;
  ui::TRect cell;
  item->OnDrawCaption = [&](TSkBarCustomItem*, TSkBarDrawCaptionArgs& args) {
    rotatedSeen = args.IsTextRotated;
    cell = *args.CaptionRect;
  };
  const COLORREF ink = Rgb(SkCurrentSkin().GetTextColor(skncToolbarItem, sknsNormal, sknNone));
  PaintSurface s(26, 100, kWhite);
  PaintViewer(*bar, item, s);
  const ui::TRect text = skbar_test::Bounds(s.Where([&](COLORREF c) { return c == ink; }));
  EXPECT_TRUE(rotatedSeen);
  EXPECT_GT(text.Height(), 2 * text.Width());
  EXPECT_GE(text.left, 4);
  EXPECT_LE(text.right, 22);
  // The text's cell is centred across the bar and along it.
  EXPECT_LE(std::abs(cell.left + cell.right - 26), 1);
  EXPECT_LE(std::abs(cell.top + cell.bottom - 100), 1);
  EXPECT_GT(cell.Height(), cell.Width());
}

// A skinned toolbar gives its buttons their text colour (a panel's caption bar has its own).
struct ColouredToolbar : tb::ITBToolbarViewHost, ISkBarToolbarHost {
  tb::TTBCustomItem* ChevronItem() override { return nullptr; }
  int MinRowSize() override { return 0; }
  tb::TTBShrinkMode ShrinkMode() const override { return tb::TTBShrinkMode::tbsmNone; }
  void ViewAutoSize(int, int) override {}
  TSkBarToolbarDisplayMode DisplayMode() const override { return tbdmSelectiveCaption; }
  int DockedNonClientHeight() const override { return 0; }
  TColor ItemTextColor(TSkBarSkinStatesType state) const override {
    return state == sknsNormal ? color : clNone;
  }
  bool CanMeasureItems() const override { return false; }
  void ViewUpdateEnded() override {}
  TColor color = 0x0000A000;
};

TEST_F(SkItemPaintTest, AToolbarButtonTakesItsToolbarsTextColour) {
  Manager().SetThemesOverride(false);
  auto* label = Add<TSkBarCustomLabelItem>(L"Panel");
  auto* button = Add<TSkBarItem>(L"Button");
  button->SetEnabled(false);
  ColouredToolbar host;
  auto bar = ui::New<TSkBarToolbarView>(host, host, root.get(), &window, false);
  PaintSurface s(60, 22, kWhite);
  PaintViewer(*bar, label, s);
  EXPECT_GT(Count(s, {0, 0, 60, 22}, Rgb(host.color)), 10);
  // Where the toolbar gives none, the skin's colour for the state.
  PaintViewer(*bar, button, s);
  EXPECT_EQ(Count(s, {0, 0, 60, 22}, Rgb(host.color)), 0);
  EXPECT_GT(Count(s, {0, 0, 60, 22}, GetSysColor(COLOR_GRAYTEXT)), 10);
}

// A menu item whose caption is only a tab and a shortcut text shows that text at the right.
TEST_F(SkItemPaintTest, AShortcutShowsWithoutACaption) {
  Manager().SetThemesOverride(false);
  auto* item = Add<TSkBarItem>(L"\tCtrl+Q");
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  std::vector<std::wstring> drawn;
  item->OnDrawCaption = [&](TSkBarCustomItem*, TSkBarDrawCaptionArgs& args) {
    if (args.PaintStage == pstPrePaint) drawn.push_back(*args.Caption);
  };
  PaintSurface s(160, 22, kWhite);
  PaintViewer(*menu, item, s);
  EXPECT_EQ(drawn, std::vector<std::wstring>{L"Ctrl+Q"});
  const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
  EXPECT_GT(Count(s, {100, 0, 160, 22}, ink), 10);
  EXPECT_EQ(Count(s, {0, 0, 80, 22}, ink), 0);
}

// A button without caption places its image by the same layout: by alignment, and one pixel
// down and right while it is sunken (checked under classic drawing).
TEST_F(SkItemPaintTest, AnImageOnlyButtonsImageFollowsAlignmentAndSinksWhenChecked) {
  Manager().SetThemesOverride(false);
  constexpr COLORREF kBlue = RGB(0, 0, 255);
  const ui::Owned<ui::TImageList> list = HalfImage(kBlue);
  auto* item = AddImageItem(*list);
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  PaintSurface s(40, 30, kWhite);
  const auto image = [&] {
    PaintViewer(*bar, item, s);
    return skbar_test::Bounds(s.Where([](COLORREF c) { return c == kBlue; }));
  };
  EXPECT_EQ(image(), (ui::TRect{12, 7, 20, 23}));  // centred (the image's left half is blue)
  item->SetChecked(true);
  EXPECT_EQ(image(), (ui::TRect{13, 8, 21, 24}));
  item->SetChecked(false);
  item->SetAlignment(taLeftJustify);
  EXPECT_EQ(image(), (ui::TRect{4, 7, 12, 23}));  // at the left, inside the 4-pixel border
}

TEST_F(SkItemPaintTest, AMenuCaptionSitsOnePixelHigherWhenTheBottomMarginIsLeftOver) {
  Manager().SetThemesOverride(false);
  auto* item = Add<TSkBarItem>(L"&Open");
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  ui::TRect seen;
  item->OnDrawCaption = [&](TSkBarCustomItem*, TSkBarDrawCaptionArgs& args) {
    seen = *args.CaptionRect;
  };
  PaintSurface probe(10, 10, kWhite);
  const int text = probe.canvas.TextHeight(L"0");
  TSkBarMenuItemMarginsInfo m;
  SkCurrentSkin().GetMenuItemMargins(13, 0, m);
  for (const int spare : {m.Margins.bottom, m.Margins.bottom + 1}) {
    const int height = m.Margins.top + text + spare + m.Margins.bottom;
    PaintSurface s(120, height, kWhite);
    PaintViewer(*menu, item, s);
    const int shorter = spare == m.Margins.bottom ? 1 : 0;
    EXPECT_EQ(seen.bottom, height - m.Margins.bottom - shorter) << spare;
    EXPECT_EQ(seen.top, m.Margins.top) << spare;
  }
}

TEST_F(SkItemPaintTest, BarsCaptionsAndHintsPerSkinType) {
  PaintSurface s(120, 24, kWhite);
  const TRect all{0, 0, 120, 24};
  const auto nonWhite = [&] { return s.Where([](COLORREF c) { return c != kWhite; }).size(); };
  // Classic.
  SkPaintTitleBar(s.canvas, all, true, sknNone);
  EXPECT_EQ(s.Pixel(1, 12), GetSysColor(COLOR_ACTIVECAPTION));
  s.Clear(kWhite);
  SkPaintTitleBar(s.canvas, all, false, sknNone);
  EXPECT_EQ(s.Pixel(1, 12), GetSysColor(COLOR_INACTIVECAPTION));
  s.Clear(kWhite);
  SkPaintDockBackground(s.canvas, all, false, sknNone);
  EXPECT_EQ(s.Pixel(60, 12), GetSysColor(COLOR_BTNFACE));
  s.Clear(kWhite);
  SkPaintHintBackground(s.canvas, all, sknNone);
  EXPECT_EQ(s.Pixel(0, 0), GetSysColor(COLOR_INFOTEXT));
  EXPECT_EQ(s.Pixel(60, 12), GetSysColor(COLOR_INFOBK));
  s.Clear(kWhite);
  SkPaintStatusBar(s.canvas, all, {104, 8, 120, 24}, sknNone);
  EXPECT_EQ(s.Pixel(50, 12), GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(s.Where([](COLORREF c) { return c == GetSysColor(COLOR_BTNSHADOW); }).size(), 6u);
  // The theme: the small-caption part drawn (Wine's part is mostly transparent).
  s.Clear(kWhite);
  SkPaintTitleBar(s.canvas, all, true, sknWindows);
  EXPECT_GT(nonWhite(), 0u);
  // A skin: the skin's own dock colour.
  Manager().SetSkin(L"Office XP");
  const TSkBarSkinOptionEntry& dock = SkCurrentSkin().Options(skncDock).Body;
  s.Clear(kWhite);
  SkPaintDockBackground(s.canvas, all, false, sknSkin);
  ASSERT_EQ(dock.SkinType, 0);
  EXPECT_EQ(s.Pixel(60, 12), Rgb(dock.Color1));
  EXPECT_EQ(nonWhite(), 120u * 24);
}

TEST_F(SkItemPaintTest, BitmapHintsAreTheTextPlusMargins) {
  Manager().SetThemesOverride(false);
  auto* item = Add<TSkBarItem>(L"&Open...");
  auto view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  auto* viewer = dynamic_cast<TSkBarItemViewer*>(view->Find(item));
  ui::THintInfo info;
  ASSERT_TRUE(SkPrepareBitmapHint(*viewer, info));
  EXPECT_EQ(info.HintStr, L"Open");
  TSkHintBitmap& bitmap = SkHintBitmap();
  const SIZE first = bitmap.Size();
  EXPECT_GT(first.cx, 8);
  EXPECT_GT(first.cy, 4);
  int ink = 0;
  for (int y = 0; y < first.cy; ++y) {
    for (int x = 0; x < first.cx; ++x)
      ink += GetPixel(bitmap.Dc(), x, y) == GetSysColor(COLOR_INFOTEXT);
  }
  EXPECT_GT(ink, 2 * (first.cx + first.cy));  // the frame and the text
  EXPECT_EQ(GetPixel(bitmap.Dc(), 1, 1), GetSysColor(COLOR_INFOBK));
  ui::Owned<TBitmapHint> hint = ui::New<TBitmapHint>();
  EXPECT_EQ(hint->CalcHintRect(300, info.HintStr, info.HintData),
            (ui::TRect{0, 0, first.cx - 2, first.cy - 2}));
  // A draw handler that changes the text gets the bitmap measured again.
  item->OnDrawHint = [](TSkBarCustomItem*, TSkBarDrawHintArgs& args) {
    *args.HintText += L" and more text";
  };
  ASSERT_TRUE(SkPrepareBitmapHint(*viewer, info));
  EXPECT_EQ(info.HintStr, L"Open and more text");
  EXPECT_GT(bitmap.Size().cx, first.cx + 20);
  EXPECT_EQ(bitmap.Size().cy, first.cy);
}

// The hint bitmap measures and writes its text in the system's hint font.
TEST_F(SkItemPaintTest, BitmapHintsTakeTheHintFont) {
  StatusFontScope big(L"Liberation Mono", -24);
  auto* item = Add<TSkBarItem>(L"Open");
  auto view = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  ui::THintInfo info;
  ASSERT_TRUE(SkPrepareBitmapHint(*dynamic_cast<TSkBarItemViewer*>(view->Find(item)), info));
  const HDC dc = CreateCompatibleDC(nullptr);
  const HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                 L"Liberation Mono");
  const HGDIOBJ old = SelectObject(dc, font);
  RECT text{};
  DrawTextW(dc, L"Open", 4, &text, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  EXPECT_EQ(SkHintBitmap().Size().cx, text.right + 8);
  EXPECT_EQ(SkHintBitmap().Size().cy, text.bottom + 4);
}

// Popup menus, each loop under a script of timed steps and a time limit.
void Key(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof input[0]);
}

// Counts the popup-closed messages it receives.
class Receiver : public ui::TCustomControl {
 public:
  using ui::TCustomControl::TCustomControl;
  void WndProc(ui::TMessage& message) override {
    if (message.Msg == WM_SKPOPUPCLOSED) {
      closed.push_back(message.WParam);
      if (onClosed) onClosed();
    }
    ui::TCustomControl::WndProc(message);
  }
  std::vector<WPARAM> closed;
  std::function<void()> onClosed;
  static Receiver* Make(ui::TWinControl& parent, ui::TRect bounds) {
    auto* receiver = ui::Create<Receiver>(parent);
    receiver->SetParent(&parent);
    receiver->SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());
    return receiver;
  }
  // Freed memory is scrambled, so that a use after free fails at once.
  static void* operator new(std::size_t size) { return ::operator new(size); }
  static void operator delete(void* p, std::size_t size) {
    std::memset(p, 0xDD, size);
    ::operator delete(p);
  }
};

class SkPopupMenuTest : public UiGuiTest {
 protected:
  SkPopupMenuTest() {
    SkBarSkinManager()->SetThemesOverride(false);
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 400, 300);
    control = MakeReceiver(*form, {20, 30, 220, 130});
    child = MakeReceiver(*control, {5, 5, 50, 50});
    menu = ui::Create<TSkBarPopupMenu>(*form);
    for (const wchar_t* caption : {L"&Open", L"&Save"}) Add(menu->Items(), caption);
    empty = ui::Create<TSkBarSubmenuItem>(*form);
    empty->SetCaption(L"&Empty");
    empty->SetHideEmptyPopup(true);
    menu->Items().Add(empty);
    full = ui::Create<TSkBarSubmenuItem>(*form);
    full->SetCaption(L"&Full");
    full->SetHideEmptyPopup(true);
    Add(*full, L"&Inner");
    menu->Items().Add(full);
    for (TSkBarCustomItem* sub :
         {static_cast<TSkBarCustomItem*>(empty), static_cast<TSkBarCustomItem*>(full)}) {
      sub->OnInitPopup = [this](ui::TComponent* sender, tb::TTBView*) {
        subPopups.push_back(static_cast<tb::TTBCustomItem*>(sender)->Caption());
      };
    }
    menu->SetOnInitPopup([this](ui::TComponent* sender, tb::TTBView* view) {
      EXPECT_EQ(sender, menu);
      ++inits;
      popupWindow = dynamic_cast<tb::TTBViewWindow*>(view->Window());
      if (popupWindow) GetWindowRect(popupWindow->Handle(), &popupRect);
      if (onInit) onInit();
    });
    menu->SetOnClosePopup([this](ui::TComponent*) { ++closes; });
    form->Show();
    SetForegroundWindow(form->Handle());
    control->SetFocus();
    Pump();
  }
  ~SkPopupMenuTest() override { SkBarSkinManager()->SetThemesOverride(std::nullopt); }

  static Receiver* MakeReceiver(ui::TWinControl& parent, ui::TRect bounds) {
    return Receiver::Make(parent, bounds);
  }
  tb::TTBCustomItem* Add(tb::TTBCustomItem& parent, const wchar_t* caption) {
    auto* item = ui::Create<TSkBarItem>(*form);
    item->SetCaption(caption);
    parent.Add(item);
    return item;
  }
  // Runs one loop for `popupControl` under keys sent at 100 ms steps; null when cancelled.
  tb::TTBCustomItem* Run(ui::TControl* popupControl, std::vector<WORD> keys) {
    std::vector<std::pair<DWORD, std::function<void()>>> steps;
    DWORD at = 150;
    for (WORD key : keys) steps.push_back({at += 100, [key] { Key(key); }});
    tb::TTBCustomItem* result = nullptr;
    EXPECT_TRUE(tb::testing::RunLoop(
        std::move(steps), [&] { result = menu->PopupEx(300, 200, true, popupControl); }));
    Pump();
    return result;
  }

  ui::TForm* form = nullptr;
  Receiver* control = nullptr;
  Receiver* child = nullptr;
  TSkBarPopupMenu* menu = nullptr;
  TSkBarSubmenuItem* empty = nullptr;
  TSkBarSubmenuItem* full = nullptr;
  std::vector<std::wstring> subPopups;
  std::function<void()> onInit;
  RECT popupRect{};
  tb::TTBViewWindow* popupWindow = nullptr;
  int inits = 0, closes = 0;
};

// A print of a skinned popup (the menu animation takes one) has the skinned frame it shows on
// screen, not the framework's.
TEST_F(SkPopupMenuTest, APrintOfThePopupHasItsSkinnedFrame) {
  SkBarSkinManager()->SetSkin(L"Office XP");
  int differences = -1;
  onInit = [&] {
    auto* popup = dynamic_cast<TSkBarPopupWindow*>(
        tb::TTBPopupWindow::FromHandle(popupWindow ? popupWindow->Handle() : nullptr));
    ASSERT_NE(popup, nullptr);
    const int w = popupRect.right - popupRect.left, h = popupRect.bottom - popupRect.top;
    skbar_test::PaintSurface printed(w, h, RGB(1, 2, 3)), direct(w, h, RGB(1, 2, 3));
    SendMessageW(popup->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Dc()), PRF_NONCLIENT);
    popup->PaintPopupBackground(direct.canvas, {0, 0, w, h});
    differences = printed.RingDifferences(direct, 2);
  };
  Run(control, {VK_ESCAPE});
  SkBarSkinManager()->SetToDefaultSkin();
  EXPECT_EQ(differences, 0);
}

TEST_F(SkPopupMenuTest, KeysChooseAnItemAndTheControlHearsOfTheClose) {
  tb::TTBCustomItem* chosen = Run(control, {VK_DOWN, VK_DOWN, VK_RETURN});
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->Caption(), L"&Save");
  RECT controlRect;
  GetWindowRect(control->Handle(), &controlRect);
  EXPECT_EQ(popupRect.left, controlRect.left);  // at the control's bottom-left corner
  EXPECT_EQ(popupRect.top, controlRect.bottom);
  EXPECT_EQ(control->closed, std::vector<WPARAM>{reinterpret_cast<WPARAM>(menu)});
  EXPECT_EQ(child->closed, std::vector<WPARAM>{reinterpret_cast<WPARAM>(menu)});
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(closes, 1);

  // Escape cancels; an empty submenu with HideEmptyPopup shows nothing (Escape leaves it), a
  // full one opens.
  EXPECT_EQ(Run(nullptr, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_DOWN, VK_RIGHT,
                          VK_ESCAPE, VK_ESCAPE}),
            nullptr);
  EXPECT_EQ(subPopups, std::vector<std::wstring>{L"&Full"});
  EXPECT_EQ(inits, 2);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(control->closed.size(), 1u);
}

TEST_F(SkPopupMenuTest, ItemsShowAndFollowTheirControl) {
  auto* item = ui::Create<TSkBarItem>(*form);
  item->SetControl(control);
  EXPECT_TRUE(item->Checked());
  item->Click();
  EXPECT_FALSE(control->Visible());
  item->InitiateAction();
  EXPECT_FALSE(item->Checked());
  auto* label = ui::Create<TSkBarCustomLabelItem>(*form);
  label->SetCaption(L"&Name");
  label->SetControl(child);
  control->SetVisible(true);
  EXPECT_FALSE(label->HandleAccelerator(L'x'));
  EXPECT_TRUE(label->HandleAccelerator(L'n'));
  EXPECT_EQ(GetFocus(), child->Handle());
  ui::Free(child);
  child = nullptr;
  EXPECT_EQ(label->Control(), nullptr);
}

TEST_F(SkPopupMenuTest, AControlFreedDuringTheLoopGetsNothing) {
  // Owned by another control, so that only the menu's own free notification tells it.
  Receiver* other = MakeReceiver(*control, {60, 10, 120, 60});
  onInit = [&] {
    ui::Free(other);
    other = nullptr;
  };
  EXPECT_EQ(Run(other, {VK_ESCAPE}), nullptr);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(control->closed.empty());
  EXPECT_TRUE(errors.empty());
}

// The form popup menu: a small form shown below a control; the show flags it passes (Wine does
// not animate), closing by ClosePopup, by a real click elsewhere and by Escape.
class SkFormPopupTest : public UiGuiTest {
 protected:
  SkFormPopupTest() {
    previous = tb::SetSystemSettings(&settings);
    SkSetPopupShowObserver([this](const TSkPopupShowCall& call) { shows.push_back(call); });
    form = ui::Application->CreateForm<ui::TForm>();
    form->SetBounds(40, 40, 400, 300);
    control = Receiver::Make(*form, {20, 30, 220, 60});
    hosted = ui::Application->CreateForm<ui::TForm>();
    hosted->SetBounds(500, 500, 120, 90);
    form->Show();
    SetForegroundWindow(form->Handle());
    control->SetFocus();
    Pump();
  }
  ~SkFormPopupTest() override {
    SkSetPopupShowObserver(nullptr);
    tb::SetSystemSettings(previous);
  }
  TSkBarFormPopupMenu* MakeMenu(bool fade) {
    settings.menuAnimation = true;
    settings.menuFade = fade;
    auto* menu = ui::Create<TSkBarFormPopupMenu>(*form);
    menu->OnClosePopup = [this](ui::TComponent*, bool selected) { closed.push_back(selected); };
    return menu;
  }
  static void Wait(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
      Pump();
      Sleep(5);
    }
  }
  static void Click(POINT at) {
    INPUT input[3] = {};
    for (INPUT& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input[0].mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof input[0]);
    Wait(100);
  }

  tb::TFixedSystemSettings settings;
  tb::ISystemSettings* previous = nullptr;
  ui::TForm* form = nullptr;
  ui::TForm* hosted = nullptr;
  Receiver* control = nullptr;
  std::vector<TSkPopupShowCall> shows;
  std::vector<bool> closed;
};

TEST_F(SkFormPopupTest, ShownBelowAControlAndClosedBySelection) {
  TSkBarFormPopupMenu* menu = MakeMenu(true);
  EXPECT_FALSE(menu->PopupEx(10, 10, false));  // no form: nothing shows
  EXPECT_TRUE(shows.empty());
  menu->SetHostedForm(hosted);
  menu->SetBorderStyle(pbsSizeableBottom);
  ASSERT_TRUE(menu->PopupEx(control, false));
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_TRUE(shows[0].animated);
  EXPECT_EQ(shows[0].time, 150u);
  EXPECT_EQ(shows[0].flags, static_cast<DWORD>(AW_BLEND));
  const HWND wrapper = menu->Wrapper().Handle();
  EXPECT_TRUE(IsWindowVisible(wrapper));
  EXPECT_EQ(GetWindowLongW(wrapper, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  RECT w, c, client;
  GetWindowRect(wrapper, &w);
  GetWindowRect(control->Handle(), &c);
  GetClientRect(hosted->Handle(), &client);
  EXPECT_EQ(w.left, c.left);
  EXPECT_EQ(w.top, c.bottom);
  EXPECT_EQ(w.bottom - w.top, client.bottom + 4 + kPopupSizeGripHeight);
  EXPECT_EQ(GetParent(hosted->Handle()), wrapper);
  // Only the grip row resizes.
  const LPARAM bottom = MAKELPARAM(w.left + 3, w.bottom - 3),
               middle = MAKELPARAM(w.left + 3, w.top + 20);
  EXPECT_EQ(SendMessageW(wrapper, WM_NCHITTEST, 0, bottom), HTBOTTOM);
  EXPECT_EQ(SendMessageW(wrapper, WM_NCHITTEST, 0, middle), HTCLIENT);
  // Listed controls hear of the close once; one freed by an earlier one's handler hears nothing.
  Receiver* first = Receiver::Make(*form, {20, 200, 60, 220});
  Receiver* second = Receiver::Make(*form, {70, 200, 110, 220});
  for (Receiver* listener : {static_cast<Receiver*>(nullptr), first, first, second})
    menu->AddCloseNotification(listener);
  first->onClosed = [&] {
    ui::Free(second);
    second = nullptr;
  };

  menu->ClosePopup(true);
  Pump();
  EXPECT_EQ(first->closed, std::vector<WPARAM>{reinterpret_cast<WPARAM>(&menu->Wrapper())});
  EXPECT_EQ(closed, std::vector<bool>{true});
  EXPECT_FALSE(IsWindowVisible(wrapper));
  EXPECT_EQ(GetParent(hosted->Handle()), nullptr);
  ASSERT_EQ(control->closed.size(), 1u);
  EXPECT_EQ(control->closed[0], reinterpret_cast<WPARAM>(&menu->Wrapper()));
}

TEST_F(SkFormPopupTest, ClicksElsewhereAndEscapeCloseIt) {
  TSkBarFormPopupMenu* menu = MakeMenu(false);
  menu->SetHostedForm(hosted);
  ASSERT_TRUE(menu->PopupEx(control, false));
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_FALSE(shows[0].animated);
  EXPECT_EQ(shows[0].flags, static_cast<DWORD>(SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                                               SWP_NOACTIVATE | SWP_SHOWWINDOW));
  RECT c;
  GetWindowRect(control->Handle(), &c);
  Click({c.left + 5, c.top + 5});  // the popup control: stays open
  EXPECT_TRUE(closed.empty());
  Click({c.left + 5, c.bottom + 120});  // on the form, outside the popup
  EXPECT_EQ(closed, std::vector<bool>{false});

  ASSERT_TRUE(menu->PopupEx(300, 300, true));
  Key(VK_ESCAPE);
  Wait(100);
  EXPECT_EQ(closed, (std::vector<bool>{false, false}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(SkFormPopupTest, FreeingTheMenuWhileShownFreesOnlyAMadeForm) {
  TSkBarFormPopupMenu* menu = MakeMenu(false);
  ui::TForm* made = nullptr;
  menu->OnGetPopupFormClass = [&](ui::TComponent*, TSkBarFormFactory& formClass) {
    formClass = [&] {
      auto f = ui::New<ui::TForm>();
      f->SetBounds(0, 0, 80, 60);
      made = f.get();
      return f;
    };
  };
  ASSERT_TRUE(menu->PopupEx(50, 50, false));
  ASSERT_NE(made, nullptr);
  const HWND madeWindow = made->Handle();
  ui::Free(menu);
  EXPECT_FALSE(IsWindow(madeWindow));
  EXPECT_EQ(closed, std::vector<bool>{false});

  menu = MakeMenu(false);
  menu->SetHostedForm(hosted);
  ASSERT_TRUE(menu->PopupEx(50, 50, false));
  ui::Free(menu);
  EXPECT_TRUE(IsWindow(hosted->Handle()));
  EXPECT_EQ(GetParent(hosted->Handle()), nullptr);
}

TEST(SkMruItemWin32, IniFileReadsBackThroughTheProfileFunctions) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path path = std::filesystem::path(temp) / L"sk_mru_\u00e9.ini";
  std::filesystem::remove(path);
  const std::wstring name = L"C:\\Dischi\\\u00e9t\u00e9 \u65e5\u672c.dsk";
  {
    ui::TIniFile ini(path);
    ui::Owned<TSkBarMRUListItem> list = ui::New<TSkBarMRUListItem>();
    list->MRUAdd(L"C:\\b.dsk");
    list->MRUAdd(name);
    list->SaveToIni(ini, L"Recent");
  }
  wchar_t value[MAX_PATH] = {};
  GetPrivateProfileStringW(L"Recent", L"1", L"", value, MAX_PATH, path.c_str());
  EXPECT_EQ(std::wstring(value), name);
  GetPrivateProfileStringW(L"Recent", L"2", L"", value, MAX_PATH, path.c_str());
  EXPECT_EQ(std::wstring(value), L"C:\\b.dsk");
  WritePrivateProfileStringW(L"Recent", L"3", L"C:\\\u00fc.dsk", path.c_str());
  ui::TIniFile ini(path);
  ui::Owned<TSkBarMRUListItem> loaded = ui::New<TSkBarMRUListItem>();
  loaded->LoadFromIni(ini, L"Recent");
  EXPECT_EQ(loaded->GetMRUFilenames(),
            (std::vector<std::wstring>{name, L"C:\\b.dsk", L"C:\\\u00fc.dsk"}));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace skbar
