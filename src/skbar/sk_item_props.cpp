// The published properties of the skinned items and their font settings. Events are not in
// the tables: the property storage has no method kind.
#include "skbar/sk_item.h"

#include <span>

#include "tb/published.h"
#include "ui/boolean_prop.h"

namespace skbar {

namespace {

constexpr std::wstring_view kAlignmentNames[] = {L"taLeftJustify", L"taRightJustify", L"taCenter"};
constexpr ui::EnumNames kAlignment{kAlignmentNames};
constexpr std::wstring_view kGlowNames[] = {L"gldNone", L"gldAll", L"gldTopLeft",
                                            L"gldBottomRight"};
constexpr ui::EnumNames kGlow{kGlowNames};
constexpr std::wstring_view kWrappingNames[] = {L"twNone", L"twEndEllipsis", L"twPathEllipsis",
                                                L"twWrap"};
constexpr ui::EnumNames kWrapping{kWrappingNames};
constexpr std::wstring_view kDisplayModeNames[] = {L"nbdmDefault", L"nbdmTextOnly",
                                                   L"nbdmTextOnlyInMenus", L"nbdmImageAndText"};
constexpr ui::EnumNames kDisplayMode{kDisplayModeNames};
constexpr std::wstring_view kFontStyleNames[] = {L"fsBold", L"fsItalic", L"fsUnderline",
                                                 L"fsStrikeOut"};
constexpr ui::EnumNames kFontStyles{kFontStyleNames};

using I = TSkBarCustomItem;

// The caption look and sizes that the item and the right-align spacer both publish.
constexpr ui::PropInfo kLookAndSize[] = {
    ui::EnumProp<I, &I::Alignment, &I::SetAlignment>(L"Alignment", kAlignment),
    ui::EnumProp<I, &I::CaptionGlow, &I::SetCaptionGlow>(L"CaptionGlow", kGlow),
    ui::IntProp<I, &I::CaptionGlowColor, &I::SetCaptionGlowColor>(L"CaptionGlowColor"),
    ui::IntProp<I, &I::CustomWidth, &I::SetCustomWidth>(L"CustomWidth"),
    ui::IntProp<I, &I::CustomHeight, &I::SetCustomHeight>(L"CustomHeight"),
    ui::ObjectProp<I, TSkBarFontSettings, &I::FontSettingsObject>(L"FontSettings"),
    tb::StoredWhen<I, &I::IsImageIndexStored>(
        ui::IntProp<I, &I::ImageIndex, &I::SetImageIndex>(L"ImageIndex")),
    ui::RefProp<I, ui::TCustomImageList, &I::Images, &I::SetImages>(L"Images"),
    ui::SetProp<I, &I::MaskOptions, &I::SetMaskOptions>(L"MaskOptions", tb::TBItemOptionNames),
    ui::SetProp<I, &I::Options, &I::SetOptions>(L"Options", tb::TBItemOptionNames),
};

void Publish(std::span<const ui::PropInfo> props, std::vector<const ui::PropInfo*>& out) {
  for (const ui::PropInfo& prop : props) out.push_back(&prop);
}

}  // namespace

void TSkBarFontSettings::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TPersistent::GetPublishedProps(out);
  using F = TSkBarFontSettings;
  static constexpr ui::PropInfo kProps[] = {
      ui::IntProp<F, &F::Color, &F::SetColor>(L"Color"),
      ui::StringProp<F, &F::Name, &F::SetName>(L"Name"),
      ui::IntProp<F, &F::Size, &F::SetSize>(L"Size"),
      ui::SetProp<F, &F::Style, &F::SetStyle>(L"Style", kFontStyles),
  };
  Publish(kProps, out);
}

void TSkBarCustomItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  tb::TTBCustomItem::GetPublishedProps(out);
  static constexpr ui::PropInfo kProps[] = {
      tb::StoredWhen<I, &I::IsCaptionStored>(
          ui::StringProp<I, &I::Caption, &I::SetCaption>(L"Caption")),
      tb::StoredWhen<I, &I::IsHintStored>(ui::StringProp<I, &I::Hint, &I::SetHint>(L"Hint")),
      ui::EnumProp<I, &I::Wrapping, &I::SetWrapping>(L"Wrapping", kWrapping),
  };
  Publish(kProps, out);
}

void TSkBarItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TSkBarCustomItem::GetPublishedProps(out);
  Publish(kLookAndSize, out);
  static constexpr ui::PropInfo kProps[] = {
      ui::RefProp<I, ui::TAction, &I::Action, &I::SetAction>(L"Action"),
      ui::BoolProp<I, &I::Anchored, &I::SetAnchored>(L"Anchored"),
      tb::StoredWhen<I, &I::IsAutoCheckStored>(
          ui::BoolProp<I, &I::AutoCheck, &I::SetAutoCheck>(L"AutoCheck")),
      tb::StoredWhen<I, &I::IsCheckedStored>(
          ui::BoolProp<I, &I::Checked, &I::SetChecked>(L"Checked")),
      ui::RefProp<I, ui::TComponent, &I::Control, &I::SetControl>(L"Control"),
      ui::EnumProp<I, &I::DisplayMode, &I::SetDisplayMode>(L"DisplayMode", kDisplayMode),
      tb::StoredWhen<I, &I::IsEnabledStored>(
          ui::BoolProp<I, &I::Enabled, &I::SetEnabled>(L"Enabled")),
      ui::IntProp<I, &I::GroupIndex, &I::SetGroupIndex>(L"GroupIndex"),
      tb::StoredWhen<I, &I::IsHelpContextStored>(
          ui::IntProp<I, &I::HelpContext, &I::SetHelpContext>(L"HelpContext")),
      ui::BoolProp<I, &I::InheritOptions, &I::SetInheritOptions>(L"InheritOptions"),
      ui::IntProp<I, &I::Margins, &I::SetMargins>(L"Margins"),
      ui::IntProp<I, &I::MinHeight, &I::SetMinHeight>(L"MinHeight"),
      ui::IntProp<I, &I::MinWidth, &I::SetMinWidth>(L"MinWidth"),
      ui::BoolProp<I, &I::RadioItem, &I::SetRadioItem>(L"RadioItem"),
      tb::StoredWhen<I, &I::IsShortCutStored>(
          ui::IntProp<I, &I::ShortCut, &I::SetShortCut>(L"ShortCut")),
      ui::BoolProp<I, &I::Stretch, &I::SetStretch>(L"Stretch"),
      tb::StoredWhen<I, &I::IsVisibleStored>(
          ui::BoolProp<I, &I::Visible, &I::SetVisible>(L"Visible")),
  };
  Publish(kProps, out);
}

void TSkBarSubmenuItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TSkBarItem::GetPublishedProps(out);
  using S = TSkBarSubmenuItem;
  static constexpr ui::PropInfo kProps[] = {
      ui::BoolProp<S, &S::DropdownCombo, &S::SetDropdownCombo>(L"DropdownCombo"),
      ui::BoolProp<S, &S::HideEmptyPopup, &S::SetHideEmptyPopup>(L"HideEmptyPopup"),
      ui::RefProp<S, tb::TTBCustomItem, &S::LinkSubitems, &S::SetLinkSubitems>(L"LinkSubitems"),
      ui::RefProp<S, ui::TCustomImageList, &S::SubMenuImages, &S::SetSubMenuImages>(
          L"SubMenuImages"),
      ui::BoolProp<S, &S::ToolbarStylePopup, &S::SetToolbarStylePopup>(L"ToolbarStylePopup"),
      ui::BoolProp<S, &S::ToolBoxPopup, &S::SetToolBoxPopup>(L"ToolBoxPopup"),
  };
  Publish(kProps, out);
}

void TSkBarRightAlignSpacerItem::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  TSkBarCustomLabelItem::GetPublishedProps(out);
  Publish(kLookAndSize, out);
}

}  // namespace skbar
