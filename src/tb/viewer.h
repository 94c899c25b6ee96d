// Item viewers: one item's presence in one view. The view's layout sets the viewer's rectangle
// and flags; the viewer measures its item (through the view's text measure), answers what it
// shows (caption, image, rotation, toolbar style), its hint and accessibility role, and turns
// mouse presses into opening a submenu or executing the item.
//   Paint takes the class library's canvas; the portable core itself paints nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tb/acc_link.h"
#include "tb/deferred_click.h"
#include "tb/geometry.h"
#include "ui/shortcut.h"

namespace ui {
class TCanvas;
class TCustomImageList;
}  // namespace ui

namespace tb {

class TTBCustomItem;
class TTBItemViewer;
class TTBView;

// The view's font as an item changes it for its caption: another face (empty keeps the
// view's), the size scaled by a percentage, other style bits (the class library's font styles;
// 0 keeps the view's), and bold added for a default item.
struct TTBTextFont {
  std::wstring name;
  int sizePercent = 100;
  std::uint8_t style = 0;
  bool bold = false;
};

// The extent of a text drawn with the platform's text-drawing `flags`, as their DT_CALCRECT in
// a rectangle too wide to break a line.
struct TTBTextExtent {
  int width = 0, height = 0;
  bool operator==(const TTBTextExtent&) const = default;
};

// Text metrics of the view's font (and its bold form, for default items).
class ITBTextMeasure {
 public:
  virtual int TextHeight(bool bold) = 0;
  virtual int ExternalLeading(bool bold) = 0;
  virtual int TextWidth(std::wstring_view text, bool bold) = 0;
  // The same with the view's font changed as `font` says.
  virtual TTBTextExtent TextExtent(std::wstring_view text, const TTBTextFont& font,
                                   std::uint32_t flags) = 0;

 protected:
  ~ITBTextMeasure() = default;
};

// Accessibility roles.
inline constexpr int kRoleClient = 10;
inline constexpr int kRoleSeparator = 21;
inline constexpr int kRoleMenuItem = 12;
inline constexpr int kRolePushButton = 43;
inline constexpr int kRoleButtonMenu = 57;

// The class library's arrow cursor (its cursor numbers: crArrow).
inline constexpr int kTBArrowCursor = -2;

// Width of a combo item's arrow part in toolbar style (menus use the menu-check width).
inline constexpr int kComboArrowWidth = 11;

// Carries out a deferred accessibility selection of a viewer (the accessibility objects set
// it; without one the delivery does nothing).
using TTBAccSelectHandler = void (*)(TTBItemViewer& viewer, bool execute);
void SetAccSelectHandler(TTBAccSelectHandler handler);

class TTBItemViewer : private TTBDeferredTarget {
 public:
  TTBItemViewer(TTBView& view, TTBCustomItem& item, int groupLevel);
  virtual ~TTBItemViewer();
  TTBItemViewer(const TTBItemViewer&) = delete;
  TTBItemViewer& operator=(const TTBItemViewer&) = delete;

  TTBView& View() const { return view_; }
  TTBCustomItem& Item() const { return item_; }
  int GroupLevel() const { return groupLevel_; }
  // The rectangle in the view's window (a scrolled popup moves it by its scroll offset).
  TRect BoundsRect() const;
  bool Show() const { return show_; }
  bool OffEdge() const { return offEdge_; }
  bool Clipped() const { return clipped_; }
  bool LineSep() const { return lineSep_; }
  bool NeedsRepaint() const { return needsRepaint_; }
  void SetNeedsRepaint(bool needs) { needsRepaint_ = needs; }

  // Virtual operations.
  virtual void CalcSize(ITBTextMeasure& measure, int& width, int& height);
  virtual bool DoExecute();
  // Draws a caption with the platform's text-drawing `format` (rotated in a vertical view),
  // with the two-pass disabled shadow when asked; the accelerator is hidden while the view
  // hides accelerators and keyboard cues are off.
  virtual void DrawItemCaption(ui::TCanvas& canvas, const TRect& rect, const std::wstring& caption,
                               bool useDisabledShadow, std::uint32_t format);
  virtual void Entering(TTBItemViewer* oldSelected);
  virtual int GetAccRole();
  virtual bool GetAccValue(std::wstring& /*value*/) { return false; }
  virtual std::wstring GetCaptionText() const;
  // May choose the cursor (a class library cursor number) at `pt`, in viewer coordinates.
  virtual void GetCursor(TPoint /*pt*/, int& /*cursor*/) {}
  virtual bool IsPtInButtonPart(int x, int y);
  virtual void KeyDown(std::uint16_t& /*key*/, ui::TShiftState /*shift*/) {}
  virtual void Leaving();
  virtual void LosingCapture();
  virtual void MouseDown(ui::TShiftState shift, int x, int y, bool& mouseDownOnMenu);
  virtual void MouseMove(int /*x*/, int /*y*/) {}
  virtual void MouseUp(int x, int y, bool mouseWasDownOnMenu);
  virtual void MouseWheel(int /*delta*/, int /*x*/, int /*y*/) {}
  virtual void Paint(ui::TCanvas& canvas, const TRect& clientAreaRect, bool isSelected,
                     bool isPushed, bool useDisabledShadow);
  virtual bool UsesSameWidth() const;
  virtual bool CaptionShown() const;
  virtual bool IsToolbarSize() const;
  // The item's image list, else the nearest SubMenuImages up the chain of views.
  ui::TCustomImageList* GetImageList() const;
  // That list's image size; false without a list.
  virtual bool GetImageSize(int& width, int& height) const;

  bool IsToolbarStyle() const;
  bool ImageShown() const;
  bool IsRotated() const;
  // The short hint, or the caption's text as an automatic hint, passed through the action's
  // hint hook (which may veto it); with the shortcut when `showShortCuts` ("%s (%s)").
  virtual std::wstring GetHintText(bool showShortCuts) const;
  int Index() const;
  void Execute(bool givePriority);
  TPoint ScreenToClient(TPoint p) const;
  bool IsAccessible() const { return show_ || offEdge_ || clipped_; }
  // Queues this viewer's execution (an accessibility "select") after the current message.
  void PostExecute(std::uintptr_t flag);
  // The accessibility object made for this viewer (one counted reference), or null.
  TTBAccObjectLink* AccObjectInstance() const { return accObject_; }
  void SetAccObjectInstance(TTBAccObjectLink* object) { accObject_ = object; }

 protected:
  // The menu-check mark's width (SM_CXMENUCHECK) used for combo items in menus.
  int MenuCheckWidth() const;

 private:
  friend class TTBView;
  void DeferredClick(std::uintptr_t flag) override;
  bool IsTopLevelNonPopup() const;

  TTBView& view_;
  TTBCustomItem& item_;
  int groupLevel_ = 0;
  TRect contentRect_;  // before scrolling
  int accNumber_ = 0;  // 1-based number among the view's accessible viewers
  TTBAccObjectLink* accObject_ = nullptr;
  bool show_ = false;
  bool offEdge_ = false;
  bool clipped_ = false;
  bool lineSep_ = false;
  bool needsRepaint_ = false;
};

class TTBSeparatorItemViewer : public TTBItemViewer {
 public:
  using TTBItemViewer::TTBItemViewer;
  void CalcSize(ITBTextMeasure& measure, int& width, int& height) override;
  void Paint(ui::TCanvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
             bool useDisabledShadow) override;
  int GetAccRole() override { return kRoleSeparator; }
};

}  // namespace tb
