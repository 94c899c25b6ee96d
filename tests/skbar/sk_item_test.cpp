#include "skbar/sk_item.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "item_tree.h"
#include "skbar/sk_mru_item.h"
#include "skbar/skin_fixture.h"
#include "ui/actions.h"
#include "ui/ini_file.h"

namespace skbar {
namespace {

std::vector<std::wstring> Captions(const tb::TTBCustomItem& list) {
  std::vector<std::wstring> captions;
  for (int i = 0; i < list.Count(); ++i) captions.push_back(list.Items(i)->Caption());
  return captions;
}

using Strings = std::vector<std::wstring>;

TEST(SkMruItem, AddMoveTrimAndCaptions) {
  ui::Owned<TSkBarMRUListItem> list = ui::New<TSkBarMRUListItem>();
  EXPECT_EQ(list->Caption(), L"(MRU List)");
  EXPECT_TRUE(list->GetItemStyle() & tb::tbisEmbeddedGroup);
  list->MRUAdd(L"C:\\a.dsk");
  list->MRUAdd(L"C:\\b.dsk");
  list->MRUAdd(L"c:\\A.DSK");
  EXPECT_EQ(list->GetMRUFilenames(), (Strings{L"C:\\a.dsk", L"C:\\b.dsk"}));
  EXPECT_EQ(Captions(*list), (Strings{L"&1 a.dsk", L"&2 b.dsk"}));
  EXPECT_EQ(list->Items(0)->Hint(), L"C:\\a.dsk");
  list->MRUAdd(L"C:\\R&D.dsk");
  list->MRUAdd(L"C:\\d.dsk");
  list->MRUAdd(L"C:\\e.dsk");  // the fifth: C:\b.dsk goes
  EXPECT_EQ(list->GetMRUFilenames(),
            (Strings{L"C:\\e.dsk", L"C:\\d.dsk", L"C:\\R&D.dsk", L"C:\\a.dsk"}));
  EXPECT_EQ(list->Items(2)->Caption(), L"&3 R&&D.dsk");
  list->SetHidePathExtension(false);
  EXPECT_EQ(list->Items(0)->Caption(), L"&1 C:\\e.dsk");
  list->SetMaxItems(2);
  EXPECT_EQ(list->GetMRUFilenames(), (Strings{L"C:\\e.dsk", L"C:\\d.dsk"}));
  list->MRURemove(L"C:\\E.DSK");
  list->MRURemove(L"C:\\none.dsk");
  EXPECT_EQ(Captions(*list), (Strings{L"&1 C:\\d.dsk"}));
  list->SetMaxItems(12);
  for (int i = 0; i < 11; ++i) list->MRUAdd(L"f" + std::to_wstring(i));
  EXPECT_EQ(list->Items(10)->Caption(), L"&11 f0");
}

TEST(SkMruItem, ClickMovesToTopAndReportsTheStoredName) {
  ui::Owned<TSkBarMRUListItem> list = ui::New<TSkBarMRUListItem>();
  std::vector<std::wstring> clicked;
  list->OnClick = [&](ui::TComponent* sender, const std::wstring& name) {
    EXPECT_EQ(sender, list.get());
    list->MRURemove(name);    // a missing file's entry removes itself from the handler
    clicked.push_back(name);  // the name outlives the entry
  };
  list->MRUAdd(L"C:\\a.dsk");
  list->MRUAdd(L"C:\\b.dsk");
  EXPECT_FALSE(list->MRUClick(L"C:\\x.dsk"));
  EXPECT_TRUE(list->MRUClick(L"c:\\A.dsk"));
  EXPECT_EQ(clicked, (Strings{L"C:\\a.dsk"}));
  EXPECT_EQ(Captions(*list), (Strings{L"&1 b.dsk"}));
}

TEST(SkMruItem, IniRoundTripInUtf16) {
  const auto path = std::filesystem::temp_directory_path() / "sk_mru_item_test.ini";
  std::filesystem::remove(path);
  const std::wstring name = L"C:\\Dischi\\\u00e9t\u00e9 \u65e5\u672c.dsk";
  {
    ui::TIniFile ini(path);
    ini.WriteString(L"MRU", L"3", L"stale");
    ini.WriteString(L"MRU", L"4", L"stale");
    ui::Owned<TSkBarMRUListItem> list = ui::New<TSkBarMRUListItem>();
    list->MRUAdd(L"C:\\b.dsk");
    list->MRUAdd(name);
    list->SaveToIni(ini, L"MRU");
  }
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
  ui::TIniFile ini(path);
  EXPECT_EQ(ini.ReadSection(L"MRU"), (Strings{L"1", L"2"}));
  ini.WriteString(L"MRU", L"3", L"C:\\c.dsk");
  ini.WriteString(L"MRU", L"4", L"C:\\d.dsk");
  ui::Owned<TSkBarMRUListItem> loaded = ui::New<TSkBarMRUListItem>();
  loaded->LoadFromIni(ini, L"MRU");
  EXPECT_EQ(loaded->GetMRUFilenames(), (Strings{name, L"C:\\b.dsk", L"C:\\c.dsk", L"C:\\d.dsk"}));
  loaded->SetMaxItems(2);
  loaded->LoadFromIni(ini, L"MRU");  // reads keys 2 and 1 only
  EXPECT_EQ(loaded->GetMRUFilenames(), (Strings{name, L"C:\\b.dsk"}));
  std::filesystem::remove(path);
}

TEST(SkItem, ShortCutHintAndFontSettings) {
  ui::Owned<TSkBarItem> item = ui::New<TSkBarItem>();
  const struct {
    const wchar_t* caption;
    ui::TShortCut shortcut;
    const wchar_t* hint;
    const wchar_t* shortcutText;
    const wchar_t* hintText;
  } kCases[] = {
      {L"&Open\tCtrl+Q", ui::scCtrl | 'O', L"", L"Ctrl+Q", L"Open (Ctrl+Q)"},
      {L"&Save...\t", ui::scCtrl | 'S', L"Save it|Long", L"Ctrl+S", L"Save it (Ctrl+S)"},
      {L"Left", ui::scCtrl | 0x5B, L"", L"Ctrl+[", L"Left (Ctrl+[)"},
      {L"Right:", ui::scCtrl | 0x5D, L"", L"Ctrl+]", L"Right (Ctrl+])"},
      {L"Plain", ui::scNone, L"", L"", L"Plain"},
  };
  tb::testing::FakeWindow window(true);
  ui::Owned<TSkBarRootItem> root = ui::New<TSkBarRootItem>();
  root->Add(item.get());
  ui::Owned<tb::TTBView> view =
      ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  auto* viewer = dynamic_cast<TSkBarItemViewer*>(view->Find(item.get()));
  ASSERT_NE(viewer, nullptr);
  for (const auto& c : kCases) {
    item->SetCaption(c.caption);
    item->SetShortCut(c.shortcut);
    item->SetHint(c.hint);
    EXPECT_EQ(item->GetShortCutText(), c.shortcutText) << c.caption;
    EXPECT_EQ(viewer->GetHintText(true), c.hintText) << c.caption;
  }
  EXPECT_EQ(viewer->GetHintText(false), L"Plain");
  root->Remove(item.get());

  TSkBarFontSettings font;
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  font.SetSize(150);
  font.SetSize(150);
  font.SetColor(clNone);
  EXPECT_EQ(font.ScaledSize(10), 15);
  EXPECT_EQ(changes, 1);
}

class SkItemLayout : public SkinTest, public skbar_test::ItemTree {
 protected:
  TSize Size(tb::TTBView& view, tb::TTBCustomItem* item) {
    int w = 0, h = 0;
    view.Find(item)->CalcSize(window, w, h);
    return {w, h};
  }
};

TEST_F(SkItemLayout, MenuAndToolbarSizes) {
  auto* empty = Add<TSkBarItem>(L"");
  auto* fixed = Add<TSkBarItem>(L"Wide");
  auto* label = Add<TSkBarCustomLabelItem>(L"Label");
  auto* separator = Add<TSkBarSeparatorItem>(L"");
  auto* sub = Add<TSkBarSubmenuItem>(L"&File");
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  // Classic margins: 2 above and below, gutter max(13, 16) + 4 = 20, caption margins 2 + 2 + 1.
  EXPECT_EQ(Size(*menu, empty), (TSize{0 + 20 + 5 + 20, 20}));
  fixed->SetCustomWidth(0);
  EXPECT_EQ(Size(*menu, fixed).cx, 0);
  fixed->SetCustomWidth(-1);
  fixed->SetShortCut(ui::scCtrl | 'W');
  // "Wide" 24 + 25 margins, shortcut "Ctrl+W" 36 + 20 - 6, then the arrow column 20.
  EXPECT_EQ(Size(*menu, fixed), (TSize{24 + 25 + 50 + 20, 20}));
  EXPECT_EQ(Size(*menu, label).cy, 13);
  EXPECT_EQ(Size(*menu, separator), (TSize{0, 10}));
  Manager().SetSkin(L"Office XP");
  EXPECT_EQ(Size(*menu, separator).cy, Manager().CurrentSkin().OfficeMenu() ? 4 : 10);
  Manager().SetToDefaultSkin();

  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->SetStyle(tb::vsMenuBar);
  // Toolbar style: 6 + text 24 + 4 across, 6 + 13 high; a submenu on a menu bar adds 6.
  EXPECT_EQ(Size(*bar, sub), (TSize{6 + 24 + 4 + 6, 19}));
  sub->SetMinHeight(30);
  sub->SetMargins(5);
  EXPECT_EQ(Size(*bar, sub), (TSize{45, 30}));
  EXPECT_EQ(Size(*bar, separator), (TSize{6, 6}));
}

class SelectableLabel : public TSkBarCustomLabelItem {
 public:
  explicit SelectableLabel(ui::TComponent* owner) : TSkBarCustomLabelItem(owner) {
    SetItemStyle(GetItemStyle() | tb::tbisSelectable);
  }
};

// Executing a label, even one made selectable, leaves the menu open; a plain item ends it with
// a click on itself.
TEST_F(SkItemLayout, ALabelNeverEndsTheMenu) {
  auto* label = Add<SelectableLabel>(L"Label");
  auto* item = Add<TSkBarItem>(L"Item");
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  menu->ValidatePositions();
  for (const auto& [clicked, ends] :
       {std::pair<tb::TTBCustomItem*, bool>{label, false}, {item, true}}) {
    SCOPED_TRACE(clicked->Caption());
    menu->DoneActionData() = {};
    menu->Select(menu->Find(clicked), false);
    menu->ExecuteSelected(true);
    EXPECT_EQ(menu->IsModalEnding(), ends);
    EXPECT_EQ(menu->DoneActionData().clickItem, ends ? clicked : nullptr);
  }
}

TEST_F(SkItemLayout, HintsOfSubmenusAndTheActionsHintHook) {
  auto* sub = Add<TSkBarSubmenuItem>(L"&File");
  auto* split = Add<TSkBarSubmenuItem>(L"&Recent...");
  split->SetDropdownCombo(true);
  auto* open = Add<TSkBarItem>(L"&Open...");
  open->SetShortCut(ui::scCtrl | 'O');
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  menu->ValidatePositions();
  const auto hint = [](tb::TTBView& view, tb::TTBCustomItem* item, bool shortCuts) {
    return dynamic_cast<TSkBarItemViewer&>(*view.Find(item)).GetHintText(shortCuts);
  };
  // A submenu item whose caption shows has no automatic hint; a split button has one.
  EXPECT_EQ(hint(*menu, sub, true), L"");
  EXPECT_EQ(hint(*menu, split, true), L"Recent");
  sub->SetHint(L"Files|Long");
  EXPECT_EQ(hint(*menu, sub, true), L"Files");
  EXPECT_EQ(hint(*menu, open, true), L"Open (Ctrl+O)");
  EXPECT_EQ(hint(*menu, open, false), L"Open");
  // On a toolbar the submenu shows its image only: the caption becomes its hint.
  sub->SetHint(L"");
  sub->SetImageIndex(0);
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  bar->ValidatePositions();
  EXPECT_EQ(hint(*bar, sub, true), L"File");

  // The action's hook sees the hint before the shortcut is added; it may change or veto it.
  ui::Owned<ui::TAction> action = ui::New<ui::TAction>();
  action->SetCaption(L"&Open...");
  action->SetShortCut(ui::scCtrl | 'O');
  open->SetAction(action.get());
  std::wstring seen;
  action->OnHint = [&](std::wstring& text, bool& canShow) {
    seen = text;
    text += L"!";
    canShow = seen != L"Veto";
  };
  EXPECT_EQ(hint(*menu, open, true), L"Open! (Ctrl+O)");
  EXPECT_EQ(seen, L"Open");
  open->SetHint(L"Veto|long");
  EXPECT_EQ(hint(*menu, open, true), L"");
  open->SetAction(nullptr);
}

// A viewer with a 10 x 8 image after its caption.
class RightImageViewer : public TSkBarItemViewer {
 public:
  using TSkBarItemViewer::TSkBarItemViewer;
  TSize GetTrailingImageSize() const override { return size; }
  TSize size{10, 8};
};
using RightImageItem = skbar_test::ItemWithViewer<RightImageViewer>;

TEST_F(SkItemLayout, RightImageWidensAToolbarItem) {
  auto* plain = Add<TSkBarItem>(L"Wide");
  auto* right = Add<RightImageItem>(L"Wide");
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  EXPECT_EQ(Size(*bar, right).cx, Size(*bar, plain).cx + 10 + 4);
  EXPECT_EQ(Size(*bar, right).cy, Size(*bar, plain).cy);
  EXPECT_EQ(SkFillItemPaintInfo(*bar->Find(right), 13).RightImageSize, (TSize{10, 8}));
  bar->SetOrientation(tb::TTBViewOrientation::tbvoVertical);
  EXPECT_EQ(Size(*bar, right).cy, Size(*bar, plain).cy + 8 + 4);
  // A size that is not positive both ways is none.
  static_cast<RightImageViewer*>(bar->Find(right))->size = {10, 0};
  EXPECT_EQ(Size(*bar, right), Size(*bar, plain));
  EXPECT_EQ(SkFillItemPaintInfo(*bar->Find(right), 13).RightImageSize, (TSize{0, 0}));
}

TEST_F(SkItemLayout, CaptionsMeasureWithTheItemsFontAndWrapping) {
  auto* item = Add<TSkBarItem>(L"&Wide");
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  auto menu = ui::New<tb::TTBView>(nullptr, root.get(), &window, false, false, false);
  // Toolbar style: 6 + text + 4 across, 6 + text high; the text 6 x 13 a character at 100 %.
  EXPECT_EQ(Size(*bar, item), (TSize{6 + 24 + 4, 6 + 13}));
  item->FontSettings().SetSize(150);
  EXPECT_EQ(Size(*bar, item), (TSize{6 + 36 + 4, 6 + 20}));
  // In a menu the row is the text's height plus the classic margins (2 and 2), at least 16.
  EXPECT_EQ(Size(*menu, item).cy, 20 + 4);
  item->FontSettings().SetSize(100);
  // Wrapping text keeps its line break; an ellipsis keeps it on one line.
  item->SetCaption(L"Two\nrows");
  EXPECT_EQ(Size(*bar, item), (TSize{6 + 24 + 4, 6 + 26}));
  item->SetWrapping(twEndEllipsis);
  EXPECT_EQ(Size(*bar, item), (TSize{6 + 48 + 4, 6 + 13}));
  EXPECT_EQ(SkWrappingFlags(twNone), 0u);
  EXPECT_EQ(SkWrappingFlags(twPathEllipsis), kDtPathEllipsis | kDtSingleLine);
  EXPECT_EQ(SkWrappingFlags(twWrap), kDtWordBreak);
}

TEST_F(SkItemLayout, PaintRecordStatesFollowTheAction) {
  auto* item = Add<TSkBarItem>(L"Go");
  ui::Owned<ui::TAction> action = ui::New<ui::TAction>();
  action->SetCaption(L"&Go");
  item->SetAction(action.get());
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  tb::TTBItemViewer* viewer = bar->Find(item);
  const auto record = [&] { return SkFillItemPaintInfo(*viewer, 13); };
  EXPECT_EQ(record().State, sknsNormal);
  action->SetChecked(true);
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(record().State, sknsChecked);
  EXPECT_EQ(record().ComboState, sknsNormal);
  EXPECT_TRUE(record().IsSunkenCaption);
  bar->Select(viewer, true);
  EXPECT_EQ(record().State, sknsCheckedAndHotTrack);
  EXPECT_EQ(record().ComboState, sknsHotTrack);
  action->SetEnabled(false);
  EXPECT_EQ(record().State, sknsDisabled);
  action->SetVisible(false);
  EXPECT_FALSE(item->Visible());
  action->SetVisible(true);
  action->SetEnabled(true);
  action->SetChecked(false);
  platform.themes = true;  // visual styles: no sunken caption on a menu bar
  bar->SetStyle(tb::vsMenuBar);
  action->SetChecked(true);
  EXPECT_EQ(record().SkinType, sknWindows);
  EXPECT_FALSE(record().IsSunkenCaption);
  // On a menu bar of no skinned toolbar the caption has the menu-bar item's colour: under
  // visual styles a hot one is highlight text (a toolbar item's would be menu text).
  const auto& skinned = dynamic_cast<const TSkBarItemViewer&>(*viewer);
  EXPECT_EQ(skinned.GetTextColor(sknsHotTrack), ui::clHighlightText);
  bar->SetStyle(0);
  EXPECT_EQ(skinned.GetTextColor(sknsHotTrack), ui::clMenuText);
}

}  // namespace
}  // namespace skbar

namespace skbar {
namespace {

TEST_F(SkItemLayout, RightAlignedItemsGroupsDragPositionsAndHandles) {
  window.width = 400;
  Add<TSkBarItem>(L"One");                                   // 6 + 18 + 4 = 28 wide
  Add<TSkBarRightAlignSpacerItem>(L"")->SetCustomWidth(10);  // 10
  auto* group = Add<tb::TTBGroupItem>(L"");
  auto* a = ui::Create<TSkBarItem>(*root);
  a->SetCaption(L"Ab");  // 22
  group->Add(a);
  auto* hosting = ui::Create<tb::TTBControlItem>(*root);
  ui::Owned<ui::TComponent> control = ui::New<ui::TComponent>();
  hosting->SetControl(control.get());
  hosting->SetDontFreeControl(true);
  group->Add(hosting);
  auto bar = ui::New<tb::TTBView>(nullptr, root.get(), &window, true, false, false);
  int w = 0, h = 0;
  bar->UpdatePositions(w, h);
  const TSkRightAlignedItems aligned = SkGetRightAlignedItems(*bar);
  EXPECT_EQ(aligned.rightAligned, 22 + bar->Find(hosting)->BoundsRect().Width());
  EXPECT_EQ(aligned.total, 28 + 10 + aligned.rightAligned);
  EXPECT_EQ(aligned.viewers.front(), bar->Find(a));
  EXPECT_EQ(SkFindControlItem(*root, control.get()), hosting);
  EXPECT_EQ(SkFindControlItem(*root, root.get()), nullptr);
  const tb::TRect ab = bar->Find(a)->BoundsRect();
  const tb::TRect groupRect = SkGetGroupItemRect(*bar->Find(a));
  EXPECT_EQ(groupRect.left, ab.left);
  EXPECT_EQ(groupRect.right, bar->Find(hosting)->BoundsRect().right);

  // Dropping into the group lands on the last viewer before it that is in no group.
  const tb::TRect onA = bar->Find(a)->BoundsRect();
  const tb::TTBItemViewer* spacer = bar->Viewers(1);
  EXPECT_EQ(SkGetDropPosItemViewer(*bar, {onA.left + 1, onA.top + 1}), spacer);
  EXPECT_EQ(SkGetDropPosItemViewer(*bar, {2, 2}), bar->Viewers(0));
  EXPECT_EQ(SkGetDropPosItemViewer(*bar, {399, 2}), nullptr);

  const tb::TTBItemViewer& first = *bar->Viewers(0);
  const auto before = SkGetDragPosIndicator(*bar, first, {first.BoundsRect().left + 2, 5});
  const auto after = SkGetDragPosIndicator(*bar, first, {first.BoundsRect().right - 2, 5});
  EXPECT_EQ(before.index, 0);
  EXPECT_EQ(after.index, 1);
  EXPECT_EQ(after.bar, (tb::TRect{first.BoundsRect().right - 2, first.BoundsRect().top,
                                  first.BoundsRect().right + 2, first.BoundsRect().bottom}));

  const struct {
    bool docked, drag;
    TSkDragHandleStyle style;
    bool close;
    int size;
  } kHandles[] = {{false, true, dhDouble, false, 0}, {true, false, dhDouble, true, 0},
                  {true, true, dhDouble, false, 9},  {true, true, dhNone, false, 0},
                  {true, true, dhSingle, false, 6},  {true, true, dhNone, true, 14}};
  for (const auto& c : kHandles) {
    EXPECT_EQ(SkGetToolbarDragHandleSize(c.docked, c.drag, c.style, c.close), c.size);
  }
}

}  // namespace
}  // namespace skbar
