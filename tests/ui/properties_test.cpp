#include "ui/properties.h"

#include <gtest/gtest.h>

namespace {

enum class TAlignment { taLeft, taRight, taCenter };
constexpr std::wstring_view kAlignmentNames[] = {L"taLeft", L"taRight", L"taCenter"};
constexpr ui::EnumNames kAlignments{kAlignmentNames};

class TDock : public ui::TComponent {
 public:
  using TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TDock"; }
};

class TPanel : public ui::TComponent {
 public:
  using TComponent::TComponent;
  std::wstring_view ClassName() const override { return L"TPanel"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    TComponent::GetPublishedProps(out);
    static constexpr ui::PropInfo kProps[] = {
        ui::IntProp<TPanel, &TPanel::Width, &TPanel::SetWidth>(L"Width"),
        ui::Int64Prop<TPanel, &TPanel::Big, &TPanel::SetBig>(L"Big"),
        ui::WCharProp<TPanel, &TPanel::Mark, &TPanel::SetMark>(L"Mark"),
        ui::EnumProp<TPanel, &TPanel::Alignment, &TPanel::SetAlignment>(L"Alignment", kAlignments),
        ui::SetProp<TPanel, &TPanel::Sides, &TPanel::SetSides>(L"Sides", kAlignments),
        ui::StringProp<TPanel, &TPanel::Caption, &TPanel::SetCaption>(L"Caption"),
        ui::RefProp<TPanel, TDock, &TPanel::CurrentDock, &TPanel::SetCurrentDock>(L"CurrentDock"),
        ui::FloatProp<TPanel, &TPanel::Ratio, &TPanel::SetRatio>(L"Ratio"),
        ui::FloatProp<TPanel, &TPanel::Scale, &TPanel::SetScale>(L"Scale"),
        ui::FloatProp<TPanel, &TPanel::Price, &TPanel::SetPrice>(L"Price", ui::TFloatType::ftCurr),
        ui::FloatProp<TPanel, &TPanel::Price, &TPanel::SetPrice>(L"Count", ui::TFloatType::ftComp),
        ui::VariantProp<TPanel, &TPanel::Extra, &TPanel::SetExtra>(L"Extra"),
        ui::StringsProp<TPanel, &TPanel::Items>(L"Items"),
        // Redefined: the later entry is the one that counts.
        ui::IntProp<TPanel, &TPanel::Width, &TPanel::SetDoubleWidth>(L"TAG"),
    };
    for (const auto& prop : kProps) out.push_back(&prop);
  }

  int Width() const { return width_; }
  void SetWidth(int width) { width_ = width; }
  void SetDoubleWidth(int width) { width_ = 2 * width; }
  std::int64_t Big() const { return big_; }
  void SetBig(std::int64_t big) { big_ = big; }
  wchar_t Mark() const { return mark_; }
  void SetMark(wchar_t mark) { mark_ = mark; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }
  std::uint32_t Sides() const { return sides_; }
  void SetSides(std::uint32_t sides) { sides_ = sides; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption) { caption_ = caption; }
  TDock* CurrentDock() const { return dock_; }
  void SetCurrentDock(TDock* dock) { dock_ = dock; }
  ui::TStringList* Items() const { return &items_; }
  double Ratio() const { return ratio_; }
  void SetRatio(double ratio) { ratio_ = ratio; }
  float Scale() const { return scale_; }
  void SetScale(float scale) { scale_ = scale; }
  long double Price() const { return price_; }
  void SetPrice(long double price) { price_ = price; }
  const ui::TVariant& Extra() const { return extra_; }
  void SetExtra(const ui::TVariant& extra) { extra_ = extra; }

 private:
  double ratio_ = 0.5;
  float scale_ = 1;
  long double price_ = 0;
  ui::TVariant extra_;
  int width_ = 0;
  std::int64_t big_ = 0;
  wchar_t mark_ = L'-';
  TAlignment alignment_ = TAlignment::taLeft;
  std::uint32_t sides_ = 0;
  std::wstring caption_;
  TDock* dock_ = nullptr;
  mutable ui::TStringList items_;
};

class UiProperties : public ::testing::Test {
 protected:
  UiProperties() {
    dock_ = ui::Create<TDock>(*form_);
    dock_->SetName(L"RightMultiDock");
    panel_ = ui::Create<TPanel>(*form_);
    panel_->SetName(L"FileListPanel");
  }
  std::wstring Text(std::wstring_view name) {
    return ui::GetPropText(*panel_, *ui::FindProp(*panel_, name));
  }
  bool Set(std::wstring_view name, std::wstring_view text) {
    return ui::SetPropText(*panel_, *ui::FindProp(*panel_, name), text, form_.get());
  }

  ui::Owned<ui::TComponent> form_ = ui::New<ui::TComponent>();
  TDock* dock_;
  TPanel* panel_;
};

TEST_F(UiProperties, LookupIsCaseInsensitiveAndTheLastDefinitionWins) {
  const auto all = ui::PublishedProps(*panel_);
  std::vector<std::wstring_view> names;
  for (const auto* prop : all) names.push_back(prop->name);
  EXPECT_EQ(names,
            (std::vector<std::wstring_view>{
                L"Alignment", L"Big", L"Caption", L"Count", L"CurrentDock", L"Extra", L"Items",
                L"Mark", L"Name", L"Price", L"Ratio", L"Scale", L"Sides", L"TAG", L"Width"}));
  EXPECT_EQ(ui::FindProp(*panel_, L"width")->kind, ui::TypeKind::Integer);
  EXPECT_EQ(ui::FindProp(*panel_, L"DockPos"), nullptr);
  ASSERT_TRUE(Set(L"tag", L"21"));
  EXPECT_EQ(panel_->Width(), 42);
  EXPECT_EQ(panel_->Tag(), 0);
}

TEST_F(UiProperties, ValuesRoundTripAsText) {
  struct Case {
    std::wstring_view prop, text, expected;
  };
  const Case cases[] = {
      {L"Width", L" 12 ", L"12"},
      {L"Width", L"-7", L"-7"},
      {L"Big", L"9000000000", L"9000000000"},
      {L"Mark", L"x", L"x"},
      {L"Mark", L"#65", L"A"},
      {L"Alignment", L"TACENTER", L"taCenter"},
      {L"Sides", L"[ taCenter , taLeft ]", L"[taLeft,taCenter]"},
      {L"Sides", L"[]", L"[]"},
      {L"Sides", L"[taRight,nonsense]", L"[taRight]"},
      {L"Caption", L" keeps blanks ", L" keeps blanks "},
      {L"Items", L"a\r\n b \r\n", L"a\r\n b \r\n"},
      {L"CurrentDock", L" rightmultidock ", L"RightMultiDock"},
      {L"CurrentDock", L"(NULL)", L"(null)"},
      {L"Ratio", L" -1.25e3 ", L"-1250"},
      {L"Ratio", L"0.1", L"0.1"},
      {L"Ratio", L"123456789012345678", L"1.23456789012346E17"},
      {L"Ratio", L"1e-5", L"0.00001"},
      {L"Ratio", L".5E-6", L"5E-7"},
      {L"Ratio", L"-inf", L"-INF"},
      {L"Scale", L"0.1", L"0.1"},
      {L"Scale", L"3.14159265", L"3.141593"},
      {L"Price", L"922337203685477.5807", L"922337203685477.5807"},
      {L"Count", L"2.5", L"2"},
      {L"Extra", L" text ", L" text "},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Set(c.prop, c.text)) << std::wstring(c.prop) << L"=" << std::wstring(c.text);
    EXPECT_EQ(Text(c.prop), c.expected) << std::wstring(c.prop);
  }
}

TEST_F(UiProperties, UnparsableTextLeavesTheValueUnchanged) {
  panel_->SetWidth(5);
  panel_->SetAlignment(TAlignment::taRight);
  panel_->SetCurrentDock(dock_);
  struct Case {
    std::wstring_view prop, text;
  };
  const Case cases[] = {
      {L"Width", L"abc"},
      {L"Width", L""},
      {L"Alignment", L"taMiddle"},
      {L"Mark", L"xy"},
      {L"CurrentDock", L""},
      {L"CurrentDock", L"NoSuchDock"},
      {L"CurrentDock", L"FileListPanel"},  // exists, but is not a dock
      {L"Ratio", L"1,5"},
      {L"Ratio", L"1e99999"},
      {L"Ratio", L"e5"},
      {L"Ratio", L"1.5x"},
      {L"Scale", L"1e39"},
      {L"Price", L"1e16"},
      {L"Count", L"nan"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(Set(c.prop, c.text)) << std::wstring(c.prop) << L"=" << std::wstring(c.text);
  }
  EXPECT_EQ(panel_->Width(), 5);
  EXPECT_EQ(panel_->Ratio(), 0.5);
  EXPECT_EQ(panel_->Scale(), 1.0f);
  EXPECT_EQ(panel_->Alignment(), TAlignment::taRight);
  EXPECT_EQ(panel_->CurrentDock(), dock_);
}

TEST_F(UiProperties, ReferencePropertiesKnowTheirClass) {
  const ui::PropInfo& dock = *ui::FindProp(*panel_, L"CurrentDock");
  EXPECT_TRUE(dock.componentTyped);
  EXPECT_TRUE(dock.accepts(dock_));
  EXPECT_FALSE(dock.accepts(panel_));
  const ui::PropInfo& items = *ui::FindProp(*panel_, L"Items");
  EXPECT_FALSE(items.componentTyped);
  EXPECT_EQ(items.setObj, nullptr);
  EXPECT_EQ(items.getObj(*panel_)->AsStrings(), panel_->Items());
}

}  // namespace
