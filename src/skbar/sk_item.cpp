#include "skbar/sk_item.h"

#include <algorithm>

#include "skbar/sk_toolbar_view.h"
#include "skbar/skin_manager.h"
#include "tb/common.h"
#include "ui/actions.h"

namespace skbar {

namespace {

TSkBarSkinType ManagerSkinType() {
  const TSkBarSkinManager* manager = SkBarSkinManager();
  return manager ? manager->GetSkinType() : sknNone;
}

bool IsSkinnedToolbox(const tb::TTBCustomItem* item) {
  return item && (item->Options() & tb::tboToolbarStyle) &&
         (dynamic_cast<const TSkBarCustomItem*>(item) || dynamic_cast<const TSkBarRootItem*>(item));
}

TSize ImageListSize(const tb::TTBItemViewer& viewer) {
  int w = 0, h = 0;
  if (!viewer.GetImageSize(w, h) || w <= 0 || h <= 0) return {};
  return {w, h};
}

}  // namespace

std::uint32_t SkWrappingFlags(TSkTextWrapping wrapping) {
  switch (wrapping) {
    case twEndEllipsis:
      return kDtEndEllipsis | kDtSingleLine;
    case twPathEllipsis:
      return kDtPathEllipsis | kDtSingleLine;
    case twWrap:
      return kDtWordBreak;
    default:
      return 0;
  }
}

// Font settings.

void TSkBarFontSettings::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  Changed();
}

void TSkBarFontSettings::SetName(const std::wstring& name) {
  if (name_ == name) return;
  name_ = name;
  Changed();
}

void TSkBarFontSettings::SetSize(int percent) {
  if (size_ == percent) return;
  size_ = percent;
  Changed();
}

void TSkBarFontSettings::SetStyle(TFontStyles style) {
  if (style_ == style) return;
  style_ = style;
  Changed();
}

void TSkBarFontSettings::Assign(const TSkBarFontSettings& source) {
  color_ = source.color_;
  name_ = source.name_;
  size_ = source.size_;
  style_ = source.style_;
  Changed();
}

int TSkBarFontSettings::ScaledSize(int fontSize) const {
  if (size_ == 100) return fontSize;
  const long long scaled = static_cast<long long>(fontSize) * size_ + 50;
  return static_cast<int>(scaled / 100);
}

// Items.

TSkBarCustomItem::TSkBarCustomItem(ui::TComponent* owner) : tb::TTBCustomItem(owner) {
  fontSettings_.OnChange = [this] { Change(true); };
}

std::unique_ptr<tb::TTBItemViewer> TSkBarCustomItem::CreateViewer(tb::TTBView& view,
                                                                  int groupLevel) {
  return std::make_unique<TSkBarItemViewer>(view, *this, groupLevel);
}

void TSkBarCustomItem::Notification(ui::TComponent* component, ui::TOperation operation) {
  tb::TTBCustomItem::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == control_) control_ = nullptr;
}

void TSkBarCustomItem::SetControl(ui::TComponent* control) {
  if (control_ == control) return;
  if (control_) control_->RemoveFreeNotification(this);
  control_ = control;
  if (control_) control_->FreeNotification(this);
  SyncCheckedFromControl();
}

void TSkBarCustomItem::Click() {
  if (control_) ToggleControlVisibility();
  tb::TTBCustomItem::Click();
}

void TSkBarCustomItem::InitiateAction() {
  tb::TTBCustomItem::InitiateAction();
  SyncCheckedFromControl();
}

void TSkBarCustomItem::ToggleControlVisibility() {
  bool visible = false;
  if (SkControlVisible(control_, visible)) SkSetControlVisible(control_, !visible);
}

void TSkBarCustomItem::SyncCheckedFromControl() {
  if (!control_ || Loading() || Destroying()) return;
  bool visible = false;
  if (SkControlVisible(control_, visible)) SetChecked(visible);
}

void TSkBarCustomItem::SetAlignment(TAlignment value) {
  Set(alignment_, value, false);
}
void TSkBarCustomItem::SetCaptionGlow(TSkGlowDirection value) {
  Set(captionGlow_, value, false);
}
void TSkBarCustomItem::SetCaptionGlowColor(TColor value) {
  Set(captionGlowColor_, value, false);
}
void TSkBarCustomItem::SetWrapping(TSkTextWrapping value) {
  Set(wrapping_, value, false);
}
void TSkBarCustomItem::SetCustomWidth(int value) {
  Set(customWidth_, value, true);
}
void TSkBarCustomItem::SetCustomHeight(int value) {
  Set(customHeight_, value, true);
}
void TSkBarCustomItem::SetMargins(int value) {
  Set(margins_, value, true);
}
void TSkBarCustomItem::SetMinHeight(int value) {
  Set(minHeight_, value, true);
}
void TSkBarCustomItem::SetMinWidth(int value) {
  Set(minWidth_, value, true);
}
void TSkBarCustomItem::SetStretch(bool value) {
  Set(stretch_, value, true);
}

void TSkBarCustomItem::SetToolBoxPopup(bool value) {
  SetOptions(value ? Options() | tb::tboToolbarStyle
                   : static_cast<tb::TTBItemOptions>(Options() & ~tb::tboToolbarStyle));
}

void TSkBarCustomItem::FireDrawHint(TSkBarDrawHintArgs& args) {
  if (OnDrawHint) OnDrawHint(this, args);
}
void TSkBarCustomItem::FireDrawItem(TSkBarDrawItemArgs& args) {
  if (OnDrawItem) OnDrawItem(this, args);
}
void TSkBarCustomItem::FireDrawCaption(TSkBarDrawCaptionArgs& args) {
  if (OnDrawCaption) OnDrawCaption(this, args);
}
void TSkBarCustomItem::FireDrawImage(TSkBarDrawImageArgs& args) {
  if (OnDrawImage) OnDrawImage(this, args);
}

void TSkBarCustomItem::PopupVisibilityChanged(tb::TTBView* popupView, bool visible) {
  if (visible) {
    if (OnInitPopup) OnInitPopup(this, popupView);
  } else if (OnClosePopup) {
    OnClosePopup(this);
  }
}

std::wstring TSkBarCustomItem::GetShortCutText() const {
  const std::wstring& caption = Caption();
  const auto tab = caption.find(L'\t');
  if (tab != std::wstring::npos && tab + 1 < caption.size()) return caption.substr(tab + 1);
  const ui::TShortCut key = ShortCut();
  if (key == ui::scNone) return {};
  if (key == (ui::scCtrl | 0x5B)) return L"Ctrl+[";
  if (key == (ui::scCtrl | 0x5D)) return L"Ctrl+]";
  return ui::ShortCutToText(key);
}

TSkBarSubmenuItem::TSkBarSubmenuItem(ui::TComponent* owner) : TSkBarItem(owner) {
  SetStyleBits(tb::tbisSubmenu | tb::tbisSubitemsEditable, 0);
}

void TSkBarSubmenuItem::SetDropdownCombo(bool value) {
  if (DropdownCombo() == value) return;
  SetStyleBits(value ? tb::tbisCombo : 0, value ? 0 : tb::tbisCombo);
  Change(true);
}

TSkBarCustomLabelItem::TSkBarCustomLabelItem(ui::TComponent* owner) : TSkBarCustomItem(owner) {
  SetStyleBits(tb::tbisClicksTransparent,
               tb::tbisSelectable | tb::tbisRedrawOnSelChange | tb::tbisRedrawOnMouseOverChange);
  SetAlignment(taLeftJustify);
  SetStretch(false);
  SetDisplayMode(tb::TTBItemDisplayMode::nbdmImageAndText);
}

std::unique_ptr<tb::TTBItemViewer> TSkBarCustomLabelItem::CreateViewer(tb::TTBView& view,
                                                                       int groupLevel) {
  return std::make_unique<TSkBarLabelItemViewer>(view, *this, groupLevel);
}

void TSkBarCustomLabelItem::FireDrawItem(TSkBarDrawItemArgs& args) {
  bool paintDefault = true;
  bool* const given = args.PaintDefault;
  args.PaintDefault = &paintDefault;
  TSkBarCustomItem::FireDrawItem(args);
  args.PaintDefault = given;
  if (given) *given = false;
}

std::unique_ptr<tb::TTBItemViewer> TSkBarSeparatorItem::CreateViewer(tb::TTBView& view,
                                                                     int groupLevel) {
  return std::make_unique<TSkBarSeparatorItemViewer>(view, *this, groupLevel);
}

void TSkBarRootItem::SetToolBoxPopup(bool value) {
  SetOptions(value ? Options() | tb::tboToolbarStyle
                   : static_cast<tb::TTBItemOptions>(Options() & ~tb::tboToolbarStyle));
}

void TSkBarRootItem::PopupVisibilityChanged(tb::TTBView* popupView, bool visible) {
  ui::TComponent* sender = EventSender ? EventSender : this;
  if (visible) {
    if (OnInitPopup) OnInitPopup(sender, popupView);
  } else if (OnClosePopup) {
    OnClosePopup(sender);
  }
}

// Viewers.

std::wstring TSkBarItemViewer::GetCaptionText() const {
  return SkStripShortcut(Item().Caption());
}

void TSkBarItemViewer::FireDrawItem(TSkBarDrawItemArgs& args) {
  if (TSkBarCustomItem* item = SkItem()) item->FireDrawItem(args);
}
void TSkBarItemViewer::FireDrawCaption(TSkBarDrawCaptionArgs& args) {
  if (TSkBarCustomItem* item = SkItem()) item->FireDrawCaption(args);
}
void TSkBarItemViewer::FireDrawImage(TSkBarDrawImageArgs& args) {
  if (TSkBarCustomItem* item = SkItem()) item->FireDrawImage(args);
}
void TSkBarItemViewer::FireDrawHint(TSkBarDrawHintArgs& args) {
  if (TSkBarCustomItem* item = SkItem()) item->FireDrawHint(args);
}

TSize TSkBarItemViewer::GetItemImageSize() const {
  return ImageListSize(*this);
}

TColor TSkBarItemViewer::GetTextColor(TSkBarSkinStatesType state) const {
  if (const TSkBarCustomItem* item = SkItem(); item && item->FontSettings().Color() != clNone)
    return item->FontSettings().Color();
  const bool toolbarStyle = IsToolbarStyle();
  if (const auto* bar = dynamic_cast<const TSkBarToolbarView*>(&View()); bar && toolbarStyle) {
    if (const TColor color = bar->Skinned().ItemTextColor(state); color != clNone) return color;
  }
  // A menu bar that is no skinned toolbar takes the menu-bar item's colour, not the toolbar
  // item's: its hot items are filled with the highlight, and the caption must stay readable.
  const bool menuBar = (View().Style() & tb::vsMenuBar) != 0;
  const TSkBarSkinComponentsType component =
      toolbarStyle ? (menuBar ? skncMenuBarItem : skncToolbarItem) : skncMenuItem;
  const TColor color = SkCurrentSkin().GetTextColor(component, state, ManagerSkinType());
  return color == clNone ? ui::clMenuText : color;
}

bool TSkBarItemViewer::ImageVisible() const {
  const tb::TTBCustomItem& item = Item();
  if (item.ImageIndex() < 0) return false;
  if (const auto* toolbarView = dynamic_cast<const TSkBarToolbarView*>(&View());
      toolbarView && toolbarView->Skinned().DisplayMode() == tbdmTextOnly) {
    return false;
  }
  switch (item.DisplayMode()) {
    case tb::TTBItemDisplayMode::nbdmDefault:
    case tb::TTBItemDisplayMode::nbdmImageAndText:
      return true;
    case tb::TTBItemDisplayMode::nbdmTextOnlyInMenus:
      return IsToolbarStyle();
    default:
      return false;
  }
}

std::wstring TSkBarItemViewer::GetHintText(bool showShortCuts) const {
  const tb::TTBCustomItem& item = Item();
  std::wstring hint = item.Hint().substr(0, item.Hint().find(L'|'));
  const tb::TTBItemStyle style = item.GetItemStyle();
  // A submenu item that shows its caption needs no automatic hint (a split button does).
  const bool captionSaysAll =
      (style & tb::tbisSubmenu) && !(style & tb::tbisCombo) && CaptionShown();
  if (hint.empty() && !(item.EffectiveOptions() & tb::tboNoAutoHint) && !captionSaysAll) {
    hint = SkStripAccelChars(SkStripTrailingPunctuation(GetCaptionText()));
  }
  if (ui::TAction* action = item.Action(); action && !action->DoHint(hint)) hint.clear();
  if (!hint.empty() && showShortCuts && item.ShortCut() != ui::scNone) {
    const auto* skinned = SkItem();
    hint += L" (" + (skinned ? skinned->GetShortCutText() : item.GetShortCutText()) + L")";
  }
  return hint;
}

TSkBarMenuItemInfo SkFillItemPaintInfo(const tb::TTBItemViewer& viewer, int textHeight) {
  const tb::TTBView& view = viewer.View();
  const tb::TTBCustomItem& item = viewer.Item();
  const tb::TTBItemStyle style = item.GetItemStyle();
  TSkBarMenuItemInfo info;
  info.SkinType = ManagerSkinType();
  info.Enabled = item.Enabled() || view.Customizing();
  info.HotTrack = view.Selected() == &viewer;
  info.IsOpen = view.OpenViewer() == &viewer;
  const bool mouseDown = view.MouseOverSelected() && view.Capture();
  info.Pushed = info.HotTrack && (info.IsOpen || (viewer.IsToolbarStyle() && mouseDown));
  info.Checked = item.Checked();
  info.IsSplit = (style & tb::tbisCombo) != 0;
  info.HasArrow = (item.EffectiveOptions() & tb::tboDropdownArrow) ||
                  ((style & tb::tbisSubmenu) && info.IsSplit);
  const auto* skinViewer = dynamic_cast<const TSkBarItemViewer*>(&viewer);
  const bool imageVisible = skinViewer ? skinViewer->ImageVisible() : viewer.ImageShown();
  info.ImageSize = skinViewer ? skinViewer->GetItemImageSize() : ImageListSize(viewer);
  info.ImageShown = imageVisible && info.ImageSize.cx > 0 && info.ImageSize.cy > 0;
  info.ToolbarStyle = viewer.IsToolbarStyle();
  info.ImageOrCheckShown = info.ImageShown || (!info.ToolbarStyle && info.Checked);
  if (skinViewer) {
    const TSize right = skinViewer->GetTrailingImageSize();
    if (right.cx > 0 && right.cy > 0) info.RightImageSize = right;
  }
  info.IsOnMenuBar = (view.Style() & tb::vsMenuBar) != 0;
  info.IsOnToolbox = IsSkinnedToolbox(view.ParentItem());
  info.IsVertical = view.Orientation() == tb::TTBViewOrientation::tbvoVertical;
  if (!info.ToolbarStyle) {
    SkCurrentSkin().GetMenuItemMargins(textHeight, SkGetMaxImageSize(view).cy, info.MenuMargins);
  }
  if (info.ToolbarStyle && info.HasArrow) info.ComboPart = info.IsSplit ? cpSplitLeft : cpCombo;
  if (style & tb::tbisClicksTransparent) {
    info.State = TSkBarSkinOptions::GetState(info.Enabled, false, false, false);
  } else {
    info.State =
        TSkBarSkinOptions::GetState(info.Enabled, info.Pushed, info.HotTrack, info.Checked);
  }
  if (info.IsSplit && info.Pushed && info.IsOpen && !mouseDown) {
    info.State = TSkBarSkinOptions::GetState(info.Enabled, false, info.HotTrack, info.Checked);
    info.ComboState = sknsPushed;
  } else {
    switch (info.State) {
      case sknsPushed:
      case sknsCheckedAndHotTrack:
        info.ComboState = sknsHotTrack;
        break;
      case sknsChecked:
        info.ComboState = sknsNormal;
        break;
      default:
        info.ComboState = info.State;
    }
  }
  info.IsSunkenCaption =
      info.ToolbarStyle && (info.Pushed || info.Checked) &&
      (info.SkinType == sknNone || (info.SkinType == sknWindows && !info.IsOnMenuBar));
  return info;
}

TSize SkGetMaxImageSize(const tb::TTBView& view) {
  TSize size;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    const tb::TTBItemViewer* viewer = view.Viewers(i);
    if (!viewer->Item().Visible()) continue;
    const auto* skinViewer = dynamic_cast<const TSkBarItemViewer*>(viewer);
    if (skinViewer ? !skinViewer->ImageVisible() : !viewer->ImageShown()) continue;
    const TSize s = skinViewer ? skinViewer->GetItemImageSize() : ImageListSize(*viewer);
    size.cx = std::max(size.cx, s.cx);
    size.cy = std::max(size.cy, s.cy);
  }
  return size;
}

void TSkBarItemViewer::CalcSize(tb::ITBTextMeasure& measure, int& width, int& height) {
  const tb::TTBCustomItem& item = Item();
  const TSkBarCustomItem* skinned = SkItem();
  const bool bold = (item.EffectiveOptions() & tb::tboDefault) != 0;
  const int leading = measure.ExternalLeading(bold);
  const TSkBarMenuItemInfo info = SkFillItemPaintInfo(*this, measure.TextHeight(bold) + leading);
  // Captions are measured with the font and wrapping they are painted with.
  tb::TTBTextFont font;
  font.bold = bold;
  std::uint32_t flags = kDtNoPrefix;
  if (skinned) {
    const TSkBarFontSettings& settings = skinned->FontSettings();
    font.name = settings.Name();
    font.sizePercent = settings.Size();
    font.style = settings.Style();
    flags |= SkWrappingFlags(skinned->Wrapping());
  }
  const auto extent = [&](const std::wstring& text) {
    return measure.TextExtent(text, font, flags);
  };
  const TSkBarSkinOptions& skin = SkCurrentSkin();
  int arrow = 0, arrowMargin = 0, splitArrow = 0;
  skin.GetDropDownArrowSize(arrow, arrowMargin, splitArrow);
  const TSize image = info.ImageShown ? info.ImageSize : TSize{};
  const bool imageAbove = (item.EffectiveOptions() & tb::tboImageAboveCaption) != 0;
  const bool rotated = IsRotated();
  const std::wstring caption = SkStripAccelChars(GetCaptionText());
  int w = 0, h = 0;
  if (!info.ToolbarStyle) {
    const tb::TTBTextExtent text = extent(caption);
    w = text.width;
    h = text.height + leading;
    h = std::max(h, image.cy == 0 ? 16 : image.cy);
    const TSkBarMenuItemMarginsInfo& m = info.MenuMargins;
    w += m.Margins.left + m.Margins.right + m.GutterSize + m.ImageTextSpace + m.LeftCaptionMargin +
         m.RightCaptionMargin;
    h += m.Margins.top + m.Margins.bottom;
    const std::wstring shortcut =
        skinned ? skinned->GetShortCutText() : std::wstring(item.GetShortCutText());
    if (!shortcut.empty()) {
      w += measure.TextExtent(shortcut, font, kDtNoPrefix | kDtSingleLine).width + h - 6;
    }
    w += h;
  } else {
    w = h = 6;
    if (CaptionShown()) {
      const tb::TTBTextExtent text = extent(caption);
      if (!rotated) {
        w += text.width + 4;
        h += text.height;
      } else {
        w += text.height;
        h += text.width + 4;
      }
    }
    if (image.cx > 0 && image.cy > 0) {
      if (imageAbove) {
        h += image.cy;
        w = std::max(w, image.cx + 7);
      } else if (rotated) {
        h += image.cy + 1;
        w = std::max(w, image.cx + 6);
      } else {
        w += image.cx + 1;
        h = std::max(h, image.cy + 6);
      }
    }
    if (info.RightImageSize.cx > 0) {
      if (info.IsVertical)
        h += info.RightImageSize.cy + 4;
      else
        w += info.RightImageSize.cx + 4;
    }
    if ((item.GetItemStyle() & tb::tbisSubmenu) && info.IsSplit) {
      w += splitArrow;
    } else if (item.EffectiveOptions() & tb::tboDropdownArrow) {
      int& along = info.IsVertical ? h : w;
      along += arrow;
      if (imageAbove) along = std::max(along, (info.IsVertical ? image.cy : image.cx) + arrow + 9);
    }
    if ((item.GetItemStyle() & tb::tbisSubmenu) && info.IsOnMenuBar) w += 6;
  }
  const auto* toolbarView = dynamic_cast<const TSkBarToolbarView*>(&View());
  // A stretching item is as thick as the toolbar's largest item.
  if (skinned && skinned->Stretch() && info.ToolbarStyle && toolbarView &&
      toolbarView->ViewerCount() > 2 && !toolbarView->MeasuringItems()) {
    int& across = info.IsVertical ? w : h;
    across = std::max(across, toolbarView->MaxItemSize());
  }
  if (!skinned) {
    width = w;
    height = h;
    return;
  }
  w = std::max(w, skinned->MinWidth());
  h = std::max(h, skinned->MinHeight());
  int length = rotated ? h : w + skinned->Margins();
  int thickness = rotated ? w + skinned->Margins() : h;
  if (skinned->CustomWidth() >= 0) length = skinned->CustomWidth();
  if (skinned->CustomHeight() >= 0) thickness = skinned->CustomHeight();
  if (skinned->Anchored() && info.ToolbarStyle) length += anchorAmount_;
  length = std::max(length, skinned->MinWidth());
  thickness = std::max(thickness, skinned->MinHeight());
  // A fixed item size of the toolbar caps the thickness (less the docked frame).
  if (toolbarView && toolbarView->FixedItemSize() >= 0) {
    const int cap = toolbarView->FixedItemSize() - toolbarView->Skinned().DockedNonClientHeight();
    if (cap >= 0) thickness = std::min(thickness, cap);
  }
  width = rotated ? thickness : length;
  height = rotated ? length : thickness;
}

void TSkBarLabelItemViewer::CalcSize(tb::ITBTextMeasure& measure, int& width, int& height) {
  TSkBarItemViewer::CalcSize(measure, width, height);
  const TSkBarCustomItem* skinned = SkItem();
  if (!IsToolbarStyle() && !Item().Caption().empty() && skinned && skinned->CustomHeight() < 0) {
    height = measure.TextHeight((Item().EffectiveOptions() & tb::tboDefault) != 0);
  }
}

void TSkBarSeparatorItemViewer::CalcSize(tb::ITBTextMeasure& /*measure*/, int& width, int& height) {
  if (IsToolbarStyle()) {
    width = height = 6;
  } else {
    width = 0;
    height = SkCurrentSkin().OfficeMenu() ? 4 : 10;
  }
}

tb::TRect SkGetGroupItemRect(const tb::TTBItemViewer& viewer) {
  const tb::TTBCustomItem* group = viewer.Item().Parent();
  if (!group || !(group->GetItemStyle() & tb::tbisEmbeddedGroup)) return viewer.BoundsRect();
  const tb::TTBView& view = viewer.View();
  tb::TRect r = viewer.BoundsRect();
  for (int i = 0; i < view.ViewerCount(); ++i) {
    const tb::TTBItemViewer* other = view.Viewers(i);
    if (!other->Show() || other->Item().Parent() != group) continue;
    const tb::TRect b = other->BoundsRect();
    r = {std::min(r.left, b.left), std::min(r.top, b.top), std::max(r.right, b.right),
         std::max(r.bottom, b.bottom)};
  }
  return r;
}

TSkRightAlignedItems SkGetRightAlignedItems(const tb::TTBView& view) {
  TSkRightAlignedItems result;
  const bool vertical = view.Orientation() == tb::TTBViewOrientation::tbvoVertical;
  bool spacerSeen = false;
  for (int i = 0; i < view.ViewerCount(); ++i) {
    tb::TTBItemViewer* viewer = view.Viewers(i);
    if (!viewer->Show()) continue;
    const tb::TRect b = viewer->BoundsRect();
    const int length = vertical ? b.Height() : b.Width();
    result.total += length;
    if (spacerSeen) {
      result.rightAligned += length;
      result.viewers.push_back(viewer);
    } else if (dynamic_cast<const TSkBarRightAlignSpacerItem*>(&viewer->Item())) {
      spacerSeen = true;
    }
  }
  return result;
}

tb::TTBControlItem* SkFindControlItem(const tb::TTBCustomItem& root,
                                      const ui::TComponent* control) {
  for (int i = 0; i < root.Count(); ++i) {
    tb::TTBCustomItem* item = root.Items(i);
    if (auto* hosting = dynamic_cast<tb::TTBControlItem*>(item)) {
      if (hosting->Control() == control) return hosting;
    }
    if (item->GetItemStyle() & tb::tbisEmbeddedGroup) {
      if (tb::TTBControlItem* found = SkFindControlItem(*item, control)) return found;
    }
  }
  return nullptr;
}

namespace {

bool InGroup(const tb::TTBItemViewer& viewer) {
  const tb::TTBCustomItem* parent = viewer.Item().Parent();
  return parent && (parent->GetItemStyle() & tb::tbisEmbeddedGroup);
}

}  // namespace

tb::TTBItemViewer* SkGetDropPosItemViewer(const tb::TTBView& view, tb::TPoint p) {
  tb::TTBItemViewer* viewer = view.ViewerFromPoint(p);
  if (!viewer || !InGroup(*viewer)) return viewer;
  for (int i = view.IndexOf(viewer) - 1; i >= 0; --i) {
    tb::TTBItemViewer* before = view.Viewers(i);
    if (before->Show() && !InGroup(*before)) return before;
  }
  return nullptr;
}

TSkDragPosIndicator SkGetDragPosIndicator(const tb::TTBView& view, const tb::TTBItemViewer& target,
                                          tb::TPoint p) {
  const bool vertical = view.Orientation() == tb::TTBViewOrientation::tbvoVertical;
  const tb::TRect b = target.BoundsRect();
  const bool after = vertical ? p.y > (b.top + b.bottom) / 2 : p.x > (b.left + b.right) / 2;
  TSkDragPosIndicator result;
  result.index = view.IndexOf(&target) + (after ? 1 : 0);
  if (vertical) {
    const int y = after ? b.bottom : b.top;
    result.bar = {b.left, y - 2, b.right, y + 2};
  } else {
    const int x = after ? b.right : b.left;
    result.bar = {x - 2, b.top, x + 2, b.bottom};
  }
  return result;
}

int SkGetToolbarDragHandleSize(bool docked, bool dockAllowsDrag, TSkDragHandleStyle style,
                               bool closeButtonWhenDocked) {
  if (!docked || !dockAllowsDrag) return 0;
  if (closeButtonWhenDocked) return 14;
  switch (style) {
    case dhDouble:
      return 9;
    case dhSingle:
      return 6;
    default:
      return 0;
  }
}

}  // namespace skbar
