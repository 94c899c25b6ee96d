// Skinned items and their viewers: the framework's items with layout and drawing properties of
// their own, measured and painted through the skin model.
//   TSkBarFontSettings: a font adjustment (colour, name, size in percent, style) on top of the
//   view's font; setters notify only on a real change.
//   TSkBarCustomItem: alignment, glow, custom and minimum sizes, margins, stretch, wrapping and
//   four paired draw events (pre-paint, post-paint; a handler may clear the paint-default flag).
//   Kinds: TSkBarItem, TSkBarSubmenuItem, TSkBarCustomLabelItem, TSkBarRightAlignSpacerItem,
//   TSkBarSeparatorItem, TSkBarRootItem. Their popups are skinned popup windows (Windows).
//   TSkBarMenuItemInfo: the paint record, derived from the viewer, its view and the item
//   (SkFillItemPaintInfo). TSkBarItemViewer measures portably (CalcSize); it paints on Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skbar/sk_paint_stage.h"
#include "skbar/sk_text.h"
#include "skbar/skin_options.h"
#include "tb/item.h"
#include "tb/view.h"
#include "tb/viewer.h"
#include "ui/shortcut.h"

namespace ui {
class TCanvas;
class TFont;
}  // namespace ui

namespace skbar {

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

enum class TSkTextWrapping : std::uint8_t { twNone, twEndEllipsis, twPathEllipsis, twWrap };
using enum TSkTextWrapping;

using enum TSkBarComboPart;
using enum TSkGlowDirection;

using TFontStyles = std::uint8_t;  // ui::fsBold ... as the class library's font has them

// The text-drawing flags of a caption's wrapping: none, an end or path ellipsis on one line, or
// word breaks.
std::uint32_t SkWrappingFlags(TSkTextWrapping wrapping);

// Published: Color, Name, Size, Style.
class TSkBarFontSettings : public ui::TPersistent {
 public:
  std::wstring_view ClassName() const override { return L"TSkBarFontSettings"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& name);
  int Size() const { return size_; }
  void SetSize(int percent);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  void Assign(const TSkBarFontSettings& source);
  // The view font's size scaled by Size: (size * percent + 50) div 100.
  int ScaledSize(int fontSize) const;
  // Sets the font's character set, colour (even clNone), scaled size, name and style (Windows).
  void Apply(ui::TFont& font) const;
  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  TColor color_ = clNone;
  std::wstring name_;
  int size_ = 100;
  TFontStyles style_ = 0;
};

class TSkBarCustomItem;

// The paint record of one viewer.
struct TSkBarMenuItemInfo {
  bool Enabled = false;
  bool HotTrack = false;
  bool Pushed = false;
  bool Checked = false;
  bool HasArrow = false;
  bool ImageShown = false;
  bool ImageOrCheckShown = false;
  TSize ImageSize;
  TSize RightImageSize;
  bool IsDesigning = false;
  bool IsOnMenuBar = false;
  bool IsOnToolbox = false;
  bool IsOpen = false;
  bool IsSplit = false;
  bool IsSunkenCaption = false;
  bool IsVertical = false;
  TSkBarMenuItemMarginsInfo MenuMargins;
  TSkBarComboPart ComboPart = cpNone;
  TRect ComboRect;
  TSkBarSkinStatesType ComboState = sknsNormal;
  bool ToolbarStyle = false;
  TSkBarSkinStatesType State = sknsNormal;
  TSkBarSkinType SkinType = sknNone;
};

struct TSkBarDrawItemArgs {
  void* Canvas = nullptr;  // ui::TCanvas* on Windows
  TRect ItemRect;
  const TSkBarMenuItemInfo* ItemInfo = nullptr;
  TSkBarPaintStage PaintStage = pstPrePaint;
  bool* PaintDefault = nullptr;
};
struct TSkBarDrawCaptionArgs {
  void* Canvas = nullptr;
  TRect ClientAreaRect;
  TSkBarSkinStatesType State = sknsNormal;
  std::wstring* Caption = nullptr;
  TRect* CaptionRect = nullptr;
  unsigned* CaptionFormat = nullptr;
  bool IsTextRotated = false;
  TSkBarPaintStage PaintStage = pstPrePaint;
  bool* PaintDefault = nullptr;
};
struct TSkBarDrawImageArgs {
  void* Canvas = nullptr;
  TSkBarSkinStatesType State = sknsNormal;
  TSkBarPaintStage PaintStage = pstPrePaint;
  ui::TCustomImageList** ImageList = nullptr;
  int* ImageIndex = nullptr;
  TRect* ImageRect = nullptr;
  bool* PaintDefault = nullptr;
};
struct TSkBarDrawHintArgs {
  void* Canvas = nullptr;  // the hint bitmap's canvas
  TRect ClientAreaRect;
  std::wstring* HintText = nullptr;
  bool* PaintDefault = nullptr;
};

using TSkBarDrawItemEvent = std::function<void(TSkBarCustomItem* sender, TSkBarDrawItemArgs&)>;
using TSkBarDrawCaptionEvent =
    std::function<void(TSkBarCustomItem* sender, TSkBarDrawCaptionArgs&)>;
using TSkBarDrawImageEvent = std::function<void(TSkBarCustomItem* sender, TSkBarDrawImageArgs&)>;
using TSkBarDrawHintEvent = std::function<void(TSkBarCustomItem* sender, TSkBarDrawHintArgs&)>;
using TSkBarPopupInitEvent = std::function<void(ui::TComponent* sender, tb::TTBView* popupView)>;

// Published: Caption, Hint and Wrapping; the item kinds publish more.
class TSkBarCustomItem : public tb::TTBCustomItem {
 public:
  explicit TSkBarCustomItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarCustomItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override;
  // Opens a skinned popup window (Windows; nothing elsewhere).
  tb::TTBPopupWindowBase* CreatePopup(const tb::TTBPopupRequest& request) override;

  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  // With a Control, a click first toggles the control's visibility.
  void Click() override;
  // Then the check mark follows the control's visibility.
  void InitiateAction() override;

  // New virtual operations.
  virtual bool HandleAccelerator(wchar_t /*key*/) { return false; }
  // The last say on the font a viewer draws the caption with (after the font settings).
  virtual void AdjustFontHook(ui::TFont& /*font*/, TSkBarSkinStatesType /*state*/) {}
  virtual void FireDrawHint(TSkBarDrawHintArgs& args);
  virtual void FireDrawItem(TSkBarDrawItemArgs& args);
  virtual void FireDrawCaption(TSkBarDrawCaptionArgs& args);
  virtual void FireDrawImage(TSkBarDrawImageArgs& args);
  // Fires OnInitPopup (shown, with the popup's view) or OnClosePopup (hidden).
  virtual void PopupVisibilityChanged(tb::TTBView* popupView, bool visible);
  virtual void ToggleControlVisibility();
  virtual void SyncCheckedFromControl();

  // A control (of the class library) whose visibility the item shows and switches.
  ui::TComponent* Control() const { return control_; }
  void SetControl(ui::TComponent* control);

  // The text after a tab that is not the caption's last character, else the shortcut's text
  // ("Ctrl+[" and "Ctrl+]" for the bracket codes).
  std::wstring GetShortCutText() const;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool Anchored() const { return anchored_; }
  void SetAnchored(bool value) { anchored_ = value; }
  TSkGlowDirection CaptionGlow() const { return captionGlow_; }
  void SetCaptionGlow(TSkGlowDirection value);
  TColor CaptionGlowColor() const { return captionGlowColor_; }
  void SetCaptionGlowColor(TColor value);
  int CustomWidth() const { return customWidth_; }
  void SetCustomWidth(int value);
  int CustomHeight() const { return customHeight_; }
  void SetCustomHeight(int value);
  TSkBarFontSettings& FontSettings() { return fontSettings_; }
  const TSkBarFontSettings& FontSettings() const { return fontSettings_; }
  TSkBarFontSettings* FontSettingsObject() const {
    return const_cast<TSkBarFontSettings*>(&fontSettings_);
  }
  int Margins() const { return margins_; }
  void SetMargins(int value);
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int value);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  TSkTextWrapping Wrapping() const { return wrapping_; }
  void SetWrapping(TSkTextWrapping value);
  // Kept on every skinned item; published by the submenu item only.
  bool ToolbarStylePopup() const { return toolbarStylePopup_; }
  void SetToolbarStylePopup(bool value) { toolbarStylePopup_ = value; }
  bool HideEmptyPopup() const { return hideEmptyPopup_; }
  void SetHideEmptyPopup(bool value) { hideEmptyPopup_ = value; }
  bool ToolBoxPopup() const { return (Options() & tb::tboToolbarStyle) != 0; }
  void SetToolBoxPopup(bool value);

  TSkBarDrawCaptionEvent OnDrawCaption;
  TSkBarDrawHintEvent OnDrawHint;
  TSkBarDrawImageEvent OnDrawImage;
  TSkBarDrawItemEvent OnDrawItem;
  TSkBarPopupInitEvent OnInitPopup;
  ui::TNotifyEvent OnClosePopup;

 protected:
  void SetStyleBits(tb::TTBItemStyle add, tb::TTBItemStyle remove) {
    SetItemStyle(static_cast<tb::TTBItemStyle>((GetItemStyle() | add) & ~remove));
  }

 private:
  template <class T>
  void Set(T& field, T value, bool resize) {
    if (field == value) return;
    field = value;
    Change(resize);
  }

  TAlignment alignment_ = taCenter;
  bool anchored_ = false;
  TSkGlowDirection captionGlow_ = TSkGlowDirection::gldNone;
  TColor captionGlowColor_ = ui::clYellow;
  int customWidth_ = -1;
  int customHeight_ = -1;
  TSkBarFontSettings fontSettings_;
  int margins_ = 0;
  int minHeight_ = 0;
  int minWidth_ = 0;
  bool stretch_ = true;
  TSkTextWrapping wrapping_ = twWrap;
  bool toolbarStylePopup_ = false;
  bool hideEmptyPopup_ = false;
  ui::TComponent* control_ = nullptr;
};

// The action link of the skinned items: the framework's item link, which already copies the
// action's caption and hint as the skinned items want.
using TSkBarCustomItemActionLink = tb::TTBCustomItemActionLink;

// Publishes the skinned properties and the framework's item properties.
class TSkBarItem : public TSkBarCustomItem {
 public:
  using TSkBarCustomItem::TSkBarCustomItem;
  std::wstring_view ClassName() const override { return L"TSkBarItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
};

// Also publishes DropdownCombo, HideEmptyPopup, LinkSubitems, SubMenuImages, ToolbarStylePopup
// and ToolBoxPopup.
class TSkBarSubmenuItem : public TSkBarItem {
 public:
  explicit TSkBarSubmenuItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarSubmenuItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  bool DropdownCombo() const { return (GetItemStyle() & tb::tbisCombo) != 0; }
  void SetDropdownCombo(bool value);
};

class TSkBarCustomLabelItem : public TSkBarCustomItem {
 public:
  explicit TSkBarCustomLabelItem(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarCustomLabelItem"; }
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override;
  // The label always paints its default first and reports no default afterwards.
  void FireDrawItem(TSkBarDrawItemArgs& args) override;
  // The caption's accelerator focuses the label's windowed Control (Windows).
  bool HandleAccelerator(wchar_t key) override;
  void ToggleControlVisibility() override {}
  void SyncCheckedFromControl() override {}
};

// Publishes its image, options, caption look and sizes.
class TSkBarRightAlignSpacerItem : public TSkBarCustomLabelItem {
 public:
  using TSkBarCustomLabelItem::TSkBarCustomLabelItem;
  std::wstring_view ClassName() const override { return L"TSkBarRightAlignSpacerItem"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
};

class TSkBarSeparatorItem : public tb::TTBSeparatorItem {
 public:
  using tb::TTBSeparatorItem::TTBSeparatorItem;
  std::wstring_view ClassName() const override { return L"TSkBarSeparatorItem"; }
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override;
};

// The root of skinned toolbars and popup menus.
class TSkBarRootItem : public tb::TTBRootItem {
 public:
  using tb::TTBRootItem::TTBRootItem;
  std::wstring_view ClassName() const override { return L"TSkBarRootItem"; }
  tb::TTBPopupWindowBase* CreatePopup(const tb::TTBPopupRequest& request) override;
  bool ToolBoxPopup() const { return (Options() & tb::tboToolbarStyle) != 0; }
  void SetToolBoxPopup(bool value);
  // The popup-shown hook: OnInitPopup when shown, OnClosePopup when hidden.
  void PopupVisibilityChanged(tb::TTBView* popupView, bool visible);
  TSkBarPopupInitEvent OnInitPopup;
  ui::TNotifyEvent OnClosePopup;
  // The component the events name as sender (the popup menu); the item itself when unset.
  ui::TComponent* EventSender = nullptr;
};

class TSkBarItemViewer : public tb::TTBItemViewer {
 public:
  using tb::TTBItemViewer::TTBItemViewer;
  void CalcSize(tb::ITBTextMeasure& measure, int& width, int& height) override;
  void Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect, bool isSelected, bool isPushed,
             bool useDisabledShadow) override;
  std::wstring GetCaptionText() const override;

  // The skinned item, or null for a plain one.
  TSkBarCustomItem* SkItem() const { return dynamic_cast<TSkBarCustomItem*>(&Item()); }
  // The hint: the part before "|", else the automatic hint (none for a submenu item that shows
  // its caption), passed through the action's hint hook (which may change or veto it);
  // " (shortcut)" with `showShortCuts`.
  std::wstring GetHintText(bool showShortCuts) const override;
  int AnchorAmount() const { return anchorAmount_; }
  void SetAnchorAmount(int amount) { anchorAmount_ = amount; }

  // The operations Paint draws through; a derived viewer may replace them.
  // The caption font (Windows): the item's font settings, bold for a default item, the state's
  // text colour when the settings give none, then the item's font hook.
  virtual void ApplyItemFont(ui::TFont& font, const TSkBarMenuItemInfo& info);
  // The draw events, forwarded to the skinned item (nothing for a plain one).
  virtual void FireDrawItem(TSkBarDrawItemArgs& args);
  virtual void FireDrawCaption(TSkBarDrawCaptionArgs& args);
  virtual void FireDrawImage(TSkBarDrawImageArgs& args);
  virtual void FireDrawHint(TSkBarDrawHintArgs& args);
  // Whether the image shows, by the item's display mode and the toolbar's.
  virtual bool ImageVisible() const;
  // The size of the item's effective image list; 0 x 0 without one or for an empty size.
  virtual TSize GetItemImageSize() const;
  // An image after the caption (none by default): toolbar-style it widens the item (lengthens
  // it in a vertical view) by its size + 4; it is drawn vertically centred at the right end.
  virtual TSize GetTrailingImageSize() const { return {}; }
  // The text colour in `state`: the font settings' colour; else, toolbar-style, the skinned
  // toolbar's colour for the state; else the skin's for the item's component (clMenuText when
  // the skin gives none).
  virtual TColor GetTextColor(TSkBarSkinStatesType state) const;
  // Draws image `imageIndex` of the item's list at `rect` (Windows) between the image events:
  // a caption glyph in the text colour (clMenuText for an enabled menu item not under a skin),
  // any other list's image when the index is in range.
  virtual void PaintItemImage(ui::TCanvas& canvas, const TRect& rect,
                              const TSkBarMenuItemInfo& info, int imageIndex);
  virtual void PaintRightImage(ui::TCanvas& /*canvas*/, const TRect& /*rect*/,
                               const TSkBarMenuItemInfo& /*info*/) {}
  // A mouse move over the owning skinned toolbar while this viewer is its selected one (the
  // toolbar's client coordinates): nothing here, for viewers that react to the mouse.
  virtual void SelectedMouseMove(ui::TShiftState /*shift*/, int /*x*/, int /*y*/) {}

 private:
  int anchorAmount_ = 0;
};

class TSkBarLabelItemViewer : public TSkBarItemViewer {
 public:
  using TSkBarItemViewer::TSkBarItemViewer;
  void CalcSize(tb::ITBTextMeasure& measure, int& width, int& height) override;
  // A label never ends the menu, even when made selectable: executing it does nothing.
  bool DoExecute() override { return false; }
};

class TSkBarSeparatorItemViewer : public tb::TTBSeparatorItemViewer {
 public:
  using tb::TTBSeparatorItemViewer::TTBSeparatorItemViewer;
  void CalcSize(tb::ITBTextMeasure& measure, int& width, int& height) override;
  void Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect, bool isSelected, bool isPushed,
             bool useDisabledShadow) override;
};

// A control's visibility as the items see it (the class library's controls on Windows; no
// control elsewhere): false when `control` is no control.
bool SkControlVisible(const ui::TComponent* control, bool& visible);
void SkSetControlVisible(ui::TComponent* control, bool visible);

// The paint record of `viewer` as its view shows it now (`textHeight`: the font's line height
// for the menu margins).
TSkBarMenuItemInfo SkFillItemPaintInfo(const tb::TTBItemViewer& viewer, int textHeight);
// The largest image size among the visible viewers of `view` (0 x 0 without images).
TSize SkGetMaxImageSize(const tb::TTBView& view);

// The union of the shown viewers whose items belong to the same embedded group as `viewer`'s
// item (the viewer's own rectangle when its item is in no group).
tb::TRect SkGetGroupItemRect(const tb::TTBItemViewer& viewer);

// The length (along the view) of all shown viewers, and of those after the first shown
// right-align spacer, which are collected in `viewers`.
struct TSkRightAlignedItems {
  int total = 0;
  int rightAligned = 0;
  std::vector<tb::TTBItemViewer*> viewers;
};
TSkRightAlignedItems SkGetRightAlignedItems(const tb::TTBView& view);

// The control item of `root`'s tree (embedded groups searched too) that hosts `control`.
tb::TTBControlItem* SkFindControlItem(const tb::TTBCustomItem& root, const ui::TComponent* control);

// The viewer under `p` where a dragged item would be dropped: over an item of an embedded group,
// the nearest shown viewer before it whose item is in no group (null when there is none).
tb::TTBItemViewer* SkGetDropPosItemViewer(const tb::TTBView& view, tb::TPoint p);

// Where an item dragged over `target` at `p` goes: the target's index (one more past its
// middle) and a 4-pixel insertion bar across the view's direction at that edge.
struct TSkDragPosIndicator {
  int index = -1;
  tb::TRect bar;
};
TSkDragPosIndicator SkGetDragPosIndicator(const tb::TTBView& view, const tb::TTBItemViewer& target,
                                          tb::TPoint p);

enum class TSkDragHandleStyle : std::uint8_t { dhDouble, dhNone, dhSingle };
using enum TSkDragHandleStyle;
// The drag handle of a docked toolbar: 0 outside a dock or where the dock allows no dragging;
// else 9, 0 or 6 by style, and 14 whatever the style with a close button when docked.
int SkGetToolbarDragHandleSize(bool docked, bool dockAllowsDrag, TSkDragHandleStyle style,
                               bool closeButtonWhenDocked);

}  // namespace skbar
