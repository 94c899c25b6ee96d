#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skbar/sk_item.h"
#include "ui/properties.h"

namespace skbar {
namespace {

std::vector<std::wstring> Names(const ui::TPersistent& object) {
  std::vector<std::wstring> names;
  for (const ui::PropInfo* prop : ui::PublishedProps(object)) names.emplace_back(prop->name);
  return names;
}

bool Has(const std::vector<std::wstring>& names, std::wstring_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(SkItemProps, EachKindPublishesItsProperties) {
  const ui::Owned<TSkBarItem> item = ui::New<TSkBarItem>();
  const ui::Owned<TSkBarSubmenuItem> submenu = ui::New<TSkBarSubmenuItem>();
  const ui::Owned<TSkBarRightAlignSpacerItem> spacer = ui::New<TSkBarRightAlignSpacerItem>();
  const std::vector<std::wstring> itemNames = Names(*item), submenuNames = Names(*submenu),
                                  spacerNames = Names(*spacer);
  for (const wchar_t* name : {L"Action",  L"Alignment",    L"Anchored",         L"AutoCheck",
                              L"Caption", L"CaptionGlow",  L"CaptionGlowColor", L"Checked",
                              L"Control", L"CustomHeight", L"CustomWidth",      L"DisplayMode",
                              L"Enabled", L"FontSettings", L"GroupIndex",       L"HelpContext",
                              L"Hint",    L"ImageIndex",   L"Images",           L"InheritOptions",
                              L"Margins", L"MaskOptions",  L"MinHeight",        L"MinWidth",
                              L"Options", L"RadioItem",    L"ShortCut",         L"Stretch",
                              L"Visible", L"Wrapping"}) {
    EXPECT_TRUE(Has(itemNames, name)) << name;
  }
  for (const wchar_t* name : {L"DropdownCombo", L"HideEmptyPopup", L"LinkSubitems",
                              L"SubMenuImages", L"ToolbarStylePopup", L"ToolBoxPopup"}) {
    EXPECT_TRUE(Has(submenuNames, name)) << name;
    EXPECT_FALSE(Has(itemNames, name)) << name;
  }
  for (const wchar_t* name : {L"Alignment", L"CaptionGlow", L"CaptionGlowColor", L"CustomHeight",
                              L"CustomWidth", L"FontSettings", L"ImageIndex", L"Images",
                              L"MaskOptions", L"Options", L"Caption", L"Hint", L"Wrapping"}) {
    EXPECT_TRUE(Has(spacerNames, name)) << name;
  }
  for (const wchar_t* name : {L"Action", L"Checked", L"Margins", L"Stretch", L"Control"})
    EXPECT_FALSE(Has(spacerNames, name)) << name;
}

// Each property reads and writes the item's own state, with the item's setter rules.
TEST(SkItemProps, TextReachesTheItemsState) {
  const ui::Owned<TSkBarSubmenuItem> item = ui::New<TSkBarSubmenuItem>();
  const auto set = [&](ui::TPersistent& object, const wchar_t* name, const wchar_t* text) {
    const ui::PropInfo* prop = ui::FindProp(object, name);
    return prop && ui::SetPropText(object, *prop, text);
  };
  const auto get = [&](const ui::TPersistent& object, const wchar_t* name) {
    const ui::PropInfo* prop = ui::FindProp(object, name);
    return prop ? ui::GetPropText(object, *prop) : L"?";
  };
  EXPECT_EQ(get(*item, L"Alignment"), L"taCenter");
  EXPECT_EQ(get(*item, L"Wrapping"), L"twWrap");
  EXPECT_EQ(get(*item, L"CaptionGlowColor"), std::to_wstring(ui::clYellow));
  ASSERT_TRUE(set(*item, L"Alignment", L"taRightJustify"));
  ASSERT_TRUE(set(*item, L"Wrapping", L"twPathEllipsis"));
  ASSERT_TRUE(set(*item, L"DisplayMode", L"nbdmTextOnlyInMenus"));
  ASSERT_TRUE(set(*item, L"Options", L"[tboNoAutoHint,tboShowHint]"));
  ASSERT_TRUE(set(*item, L"ToolBoxPopup", L"True"));
  ASSERT_TRUE(set(*item, L"DropdownCombo", L"True"));
  EXPECT_EQ(item->Alignment(), taRightJustify);
  EXPECT_EQ(item->Wrapping(), twPathEllipsis);
  EXPECT_EQ(item->DisplayMode(), tb::TTBItemDisplayMode::nbdmTextOnlyInMenus);
  EXPECT_EQ(item->Options(), tb::tboNoAutoHint | tb::tboShowHint | tb::tboToolbarStyle);
  EXPECT_TRUE(item->GetItemStyle() & tb::tbisCombo);
  EXPECT_EQ(get(*item, L"ToolBoxPopup"), L"True");

  // The font settings are an object of the item with properties of their own.
  const ui::PropInfo* font = ui::FindProp(*item, L"FontSettings");
  ASSERT_TRUE(font && font->getObj);
  ui::TPersistent* settings = font->getObj(*item);
  ASSERT_EQ(settings, &item->FontSettings());
  ASSERT_TRUE(set(*settings, L"Size", L"150"));
  ASSERT_TRUE(set(*settings, L"Style", L"[fsBold,fsStrikeOut]"));
  EXPECT_EQ(item->FontSettings().Size(), 150);
  EXPECT_EQ(item->FontSettings().Style(), 1 | 8);
}

}  // namespace
}  // namespace skbar
