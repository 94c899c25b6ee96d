#include "ui/properties.h"

#include <gtest/gtest.h>

#include "stand_in_components.h"

namespace {

using ui::test::TColorName;

class UiProperties : public ::testing::Test {
 protected:
  ui::TComponent& Owner(std::wstring_view prop) {
    return prop == L"Hint" ? static_cast<ui::TComponent&>(*f.grid) : *f.styled;
  }
  std::wstring Text(std::wstring_view name) {
    return ui::GetPropText(Owner(name), *ui::FindProp(Owner(name), name));
  }
  bool Set(std::wstring_view name, std::wstring_view text) {
    return ui::SetPropText(Owner(name), *ui::FindProp(Owner(name), name), text);
  }

  ui::test::MainFormFixture f;
};

TEST_F(UiProperties, LookupIsCaseInsensitiveAndTheLastDefinitionWins) {
  std::vector<std::wstring_view> names;
  for (const auto* prop : ui::PublishedProps(*f.styled)) names.push_back(prop->name);
  EXPECT_EQ(names, (std::vector<std::wstring_view>{L"Big", L"Caption", L"Color", L"Colors",
                                                   L"Count", L"Mark", L"Name", L"Price", L"Ratio",
                                                   L"Scale", L"TAG"}));
  EXPECT_EQ(ui::FindProp(*f.styled, L"ratio")->kind, ui::TypeKind::Float);
  EXPECT_EQ(ui::FindProp(*f.styled, L"DockPos"), nullptr);
  ASSERT_TRUE(Set(L"tag", L"21"));
  EXPECT_EQ(f.styled->level, 42);
  EXPECT_EQ(f.styled->Tag(), 0);
}

TEST_F(UiProperties, ValuesRoundTripAsText) {
  struct Case {
    std::wstring_view prop, text, expected;
  };
  const Case cases[] = {
      {L"TAG", L" 12 ", L"24"},
      {L"Big", L"-9000000000", L"-9000000000"},
      {L"Mark", L"x", L"x"},
      {L"Mark", L"#65", L"A"},
      {L"Color", L"CLBLUE", L"clBlue"},
      {L"Colors", L"[ clBlue , clRed ]", L"[clRed,clBlue]"},
      {L"Colors", L"[]", L"[]"},
      {L"Colors", L"[clGreen,nonsense]", L"[clGreen]"},
      {L"Caption", L" keeps blanks ", L" keeps blanks "},
      {L"Ratio", L" -1.25e3 ", L"-1250"},
      {L"Ratio", L"123456789012345678", L"1.23456789012346E17"},
      {L"Ratio", L"1e-5", L"0.00001"},
      {L"Ratio", L".5E-6", L"5E-7"},
      {L"Ratio", L"-inf", L"-INF"},
      {L"Scale", L"3.14159265", L"3.141593"},
      {L"Price", L"922337203685477.5807", L"922337203685477.5807"},
      {L"Count", L"2.5", L"2"},
      {L"Hint", L" text ", L" text "},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Set(c.prop, c.text)) << std::wstring(c.prop) << L"=" << std::wstring(c.text);
    EXPECT_EQ(Text(c.prop), c.expected) << std::wstring(c.prop);
  }
  EXPECT_EQ(f.grid->hint, ui::TVariant(L" text "));
}

TEST_F(UiProperties, UnparsableTextLeavesTheValueUnchanged) {
  f.styled->color = TColorName::clBlue;
  const std::pair<std::wstring_view, std::wstring_view> cases[] = {
      {L"TAG", L"abc"},    {L"TAG", L""},          {L"Color", L"clMauve"}, {L"Mark", L"xy"},
      {L"Ratio", L"1,5"},  {L"Ratio", L"1e99999"}, {L"Ratio", L"e5"},      {L"Ratio", L"1.5x"},
      {L"Scale", L"1e39"}, {L"Price", L"1e16"},    {L"Count", L"nan"},
  };
  for (const auto& [prop, text] : cases)
    EXPECT_FALSE(Set(prop, text)) << std::wstring(prop) << L"=" << std::wstring(text);
  EXPECT_EQ(f.styled->level, 0);
  EXPECT_EQ(f.styled->ratio, 0.5);
  EXPECT_EQ(f.styled->scale, 1.0f);
  EXPECT_EQ(f.styled->price, 0);
  EXPECT_EQ(f.styled->color, TColorName::clBlue);
}

}  // namespace
