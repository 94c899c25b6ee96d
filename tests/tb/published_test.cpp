// The published property tables of the portable item kinds and the recent-file list: the names
// each class publishes, values written and read back as text, and the items' stored answers
// against a linked action.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tb/item.h"
#include "tb/mru.h"
#include "ui/properties.h"

namespace tb {
namespace {

using Names = std::vector<std::wstring>;

Names PublishedNames(const ui::TPersistent& object) {
  Names names;
  for (const ui::PropInfo* prop : ui::PublishedProps(object)) names.emplace_back(prop->name);
  return names;
}

struct TextCase {
  const wchar_t* name;
  const wchar_t* text;
  const wchar_t* readBack;
};

TEST(TbPublished, ItemKindsAndTheRecentListPublishTheirTables) {
  struct Case {
    std::function<ui::Owned<ui::TComponent>()> make;
    Names names;
    std::vector<TextCase> values;
  };
  const Case cases[] = {
      {[] { return ui::Owned<ui::TComponent>(ui::New<TTBGroupItem>()); },
       {L"InheritOptions", L"LinkSubitems", L"MaskOptions", L"Name", L"Options", L"Tag"},
       {{L"InheritOptions", L"False", L"False"},
        {L"MaskOptions", L"[tboDefault,tboShowHint]", L"[tboDefault,tboShowHint]"},
        // Toolbar size means nothing without toolbar style: the setter drops it.
        {L"Options", L"[tboToolbarSize,tboSameWidth]", L"[tboSameWidth]"}}},
      {[] { return ui::Owned<ui::TComponent>(ui::New<TTBSeparatorItem>()); },
       {L"Blank", L"Hint", L"Name", L"Tag", L"Visible"},
       {{L"Blank", L"True", L"True"},
        {L"Hint", L"Gap|Long", L"Gap|Long"},
        {L"Visible", L"False", L"False"}}},
      {[] { return ui::Owned<ui::TComponent>(ui::New<TTBControlItem>()); },
       {L"Control", L"Name", L"Tag"},
       {}},
      {[] { return ui::Owned<ui::TComponent>(ui::New<TTBMRUListItem>()); },
       {L"MRUList", L"Name", L"Tag"},
       {}},
      {[] { return ui::Owned<ui::TComponent>(ui::New<TTBMRUList>()); },
       {L"AddFullPath", L"HidePathExtension", L"Items", L"MaxItems", L"Name", L"Prefix", L"Tag"},
       {{L"AddFullPath", L"False", L"False"},
        {L"HidePathExtension", L"False", L"False"},
        {L"MaxItems", L"9", L"9"},
        {L"Prefix", L"Recent", L"Recent"}}},
  };
  for (const Case& c : cases) {
    ui::Owned<ui::TComponent> object = c.make();
    SCOPED_TRACE(std::string(object->ClassName().begin(), object->ClassName().end()));
    EXPECT_EQ(PublishedNames(*object), c.names);
    for (const TextCase& v : c.values) {
      const ui::PropInfo* prop = ui::FindProp(*object, v.name);
      ASSERT_NE(prop, nullptr);
      EXPECT_NE(ui::GetPropText(*object, *prop), v.readBack);  // not the default already
      EXPECT_TRUE(ui::SetPropText(*object, *prop, v.text));
      EXPECT_EQ(ui::GetPropText(*object, *prop), v.readBack);
    }
  }

  // References: the hosted control, and the recent list whose entries the item shows.
  ui::Owned<TTBControlItem> control = ui::New<TTBControlItem>();
  ui::Owned<ui::TComponent> memo = ui::New<ui::TComponent>();
  const ui::PropInfo* controlProp = ui::FindProp(*control, L"Control");
  controlProp->setObj(*control, memo.get());
  EXPECT_EQ(control->Control(), memo.get());
  control->SetDontFreeControl(true);

  ui::Owned<TTBMRUListItem> item = ui::New<TTBMRUListItem>();
  ui::Owned<TTBMRUList> list = ui::New<TTBMRUList>();
  ui::FindProp(*item, L"MRUList")->setObj(*item, list.get());
  EXPECT_EQ(item->LinkSubitems(), list->Container());
  list.reset();
  EXPECT_EQ(ui::FindProp(*item, L"MRUList")->getObj(*item), nullptr);
}

TEST(TbPublished, APropertyThatFollowsTheLinkedActionIsNotStored) {
  using Stored = bool (TTBCustomItem::*)() const;
  struct Case {
    Stored stored;
    std::function<void(TTBCustomItem&)> diverge;
  };
  const Case cases[] = {
      {&TTBCustomItem::IsAutoCheckStored, [](TTBCustomItem& i) { i.SetAutoCheck(true); }},
      {&TTBCustomItem::IsCaptionStored, [](TTBCustomItem& i) { i.SetCaption(L"Own"); }},
      {&TTBCustomItem::IsCheckedStored, [](TTBCustomItem& i) { i.SetChecked(true); }},
      {&TTBCustomItem::IsEnabledStored, [](TTBCustomItem& i) { i.SetEnabled(false); }},
      {&TTBCustomItem::IsHelpContextStored, [](TTBCustomItem& i) { i.SetHelpContext(7); }},
      {&TTBCustomItem::IsHintStored, [](TTBCustomItem& i) { i.SetHint(L"Own"); }},
      {&TTBCustomItem::IsImageIndexStored, [](TTBCustomItem& i) { i.SetImageIndex(3); }},
      {&TTBCustomItem::IsShortCutStored, [](TTBCustomItem& i) { i.SetShortCut(0x4041); }},
      {&TTBCustomItem::IsVisibleStored, [](TTBCustomItem& i) { i.SetVisible(false); }},
      {&TTBCustomItem::IsOnClickStored,
       [](TTBCustomItem& i) { i.SetOnClick([](ui::TComponent*) {}); }},
  };
  ui::Owned<ui::TAction> action = ui::New<ui::TAction>();
  action->SetCaption(L"&Go");
  action->SetHint(L"Go|Goes");
  action->OnExecute = [](ui::TComponent*) {};
  for (const Case& c : cases) {
    ui::Owned<TTBSeparatorItem> item = ui::New<TTBSeparatorItem>();
    EXPECT_TRUE((item.get()->*c.stored)());  // no action
    item->SetAction(action.get());
    EXPECT_FALSE((item.get()->*c.stored)());  // the action's value
    c.diverge(*item);
    EXPECT_TRUE((item.get()->*c.stored)());  // a value of its own
  }

  // The separator's published Hint and Visible ask the same questions.
  ui::Owned<TTBSeparatorItem> separator = ui::New<TTBSeparatorItem>();
  separator->SetAction(action.get());
  const ui::PropInfo* hint = ui::FindProp(*separator, L"Hint");
  const ui::PropInfo* visible = ui::FindProp(*separator, L"Visible");
  EXPECT_FALSE(ui::IsStoredProp(*separator, *hint));
  EXPECT_FALSE(ui::IsStoredProp(*separator, *visible));
  ui::SetPropText(*separator, *hint, L"Own");
  EXPECT_TRUE(ui::IsStoredProp(*separator, *hint));
  EXPECT_FALSE(ui::IsStoredProp(*separator, *visible));
}

}  // namespace
}  // namespace tb
