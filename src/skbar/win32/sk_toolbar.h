// Skinned toolbars and their chevron.
//   TSkBarToolbar: the framework's toolbar with skinned items: its background (and each item's)
//   is the skin's toolbar or menu-bar background, OnDrawBackground around it; its view is a
//   TSkBarToolbarView (stretching items, fixed item size); DisplayMode sets the items' image
//   options; a menu bar is never customisable. On a dock with Stretch and ShrinkMode tbsmNone a
//   right-align spacer item fills the room left on the dock, so the items after it end at the
//   dock's end. It registers for the skin-change message and repaints on it.
//   TSkBarChevronItem: the chevron of a skinned toolbar: its viewer paints the skin's button
//   background and the double arrow in the toolbar's item colour; its popup lists the hidden
//   items, as menu items when the toolbar's ChevronVertical is set and the popup kept the
//   toolbar's button-face colour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "skbar/sk_item_cache.h"
#include "skbar/sk_toolbar_view.h"
#include "skbar/win32/sk_docks.h"
#include "skbar/win32/sk_drag.h"
#include "skbar/win32/sk_popup.h"
#include "tb/win32/toolbar.h"

namespace skbar {

class TSkBarChevronItem : public tb::TTBChevronItem {
 public:
  using tb::TTBChevronItem::TTBChevronItem;
  std::wstring_view ClassName() const override { return L"TSkBarChevronItem"; }
  std::unique_ptr<tb::TTBItemViewer> CreateViewer(tb::TTBView& view, int groupLevel) override;
  tb::TTBPopupWindowBase* CreatePopup(const tb::TTBPopupRequest& request) override;
};

class TSkBarChevronItemViewer : public tb::TTBChevronItemViewer {
 public:
  using tb::TTBChevronItemViewer::TTBChevronItemViewer;
  void Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect, bool isSelected, bool isPushed,
             bool useDisabledShadow) override;
  // The owning skinned toolbar's item colour, else the skin's toolbar-item colour.
  TColor TextColor(TSkBarSkinStatesType state) const;
};

class TSkBarChevronPopupWindow : public TSkBarPopupWindow {
 public:
  using TSkBarPopupWindow::TSkBarPopupWindow;
  std::wstring_view ClassName() const override { return L"TSkBarChevronPopupWindow"; }

 protected:
  ui::Owned<tb::TTBView> CreateView(tb::TTBView* parentView, tb::TTBCustomItem* item,
                                    bool customizing) override;
};

// A change in a skinned toolbar's items: the toolbar, the changed parent item, whether the change
// was relayed from a linked item, what happened, where, and the item concerned.
using TSkBarItemNotificationEvent =
    std::function<void(ui::TComponent* sender, tb::TTBCustomItem* ancestor, bool relayed,
                       tb::TTBItemChangedAction action, int index, tb::TTBCustomItem* item)>;

// What a skinned toolbar is busy with: its size message, right-aligning, anchoring.
enum TSkBarToolbarState : std::uint8_t { tstResizing = 1, tstRightAligning = 2, tstAnchoring = 4 };
using TSkBarToolbarStates = std::uint8_t;

class TSkBarToolbar : public tb::TTBCustomToolbar,
                      public ISkBarToolbarHost,
                      public TSkBarDragClient {
 public:
  explicit TSkBarToolbar(ui::TComponent* owner);
  void AfterConstruction() override;
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarToolbar"; }
  void WndProc(ui::TMessage& message) override;

  TSkBarToolbarView& SkView() { return static_cast<TSkBarToolbarView&>(View()); }
  bool ChevronVertical() const { return chevronVertical_; }
  void SetChevronVertical(bool value) { chevronVertical_ = value; }
  bool Customizable() const { return customizable_; }
  // Stored, but a menu bar stays not customisable.
  void SetCustomizable(bool value) { customizable_ = value && !MenuBar(); }
  // The framework's menu bar; customisable exactly when not a menu bar.
  void SetMenuBar(bool menuBar);
  TSkBarToolbarDisplayMode DisplayMode() const override { return displayMode_; }
  // Carries the mode into Options and lays the items out again.
  void SetDisplayMode(TSkBarToolbarDisplayMode mode);
  // The fixed item size of the view (-1: none).
  void SetFixedItemSize(int size) { SkView().SetFixedItemSize(size); }

  void BeginUpdate() { SkView().BeginUpdate(); }
  void EndUpdate() { SkView().EndUpdate(); }
  bool IsUpdating() { return SkView().IsUpdating(); }
  void BeginItemMove() { itemMove_.Begin(); }
  void EndItemMove() { itemMove_.End(); }
  bool IsItemMoving() const { return itemMove_.Active(); }
  void BeginCustomize() { customize_.Begin(); }
  void EndCustomize() { customize_.End(); }
  bool IsCustomizing() const { return customize_.Active(); }
  bool IsVertical() const;

  // The framework's size; a change of the dock's length right-aligns after the message.
  void GetCurrentClientSize(tb::TPoint& size) override;
  // Docked under a skin or the themes: the toolbar background around the client area, the
  // docked close button and the drag handle's grip.
  void DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip) override;
  void GetFloatingBorderSize(tb::TPoint& size) override;
  tb::TTBFloatingWindowParent* CreateFloatingParent() override;
  // The framework's position data, then "DisplayMode".
  void ReadPositionData(const tb::TTBPositionReader& reader) override;
  void WritePositionData(const tb::TTBPositionWriter& writer) override;

  // A control put on the toolbar gets a control item even while the items update (the framework
  // makes none then); only a dockable panel's caption toolbar sets it.
  bool ControlItemMode = false;
  // The published "Color": clNone paints the skin's toolbar background.
  TColor BackgroundColor = clNone;
  TSkBarDrawBackgroundEvent OnDrawBackground;
  TSkBarItemNotificationEvent OnItemNotification;

  // New operations.
  // Docked with Stretch and ShrinkMode tbsmNone: a control item whose control is client-aligned
  // or anchored right grows (or shrinks) with the dock since its first pass there, and so do
  // Anchored skinned items, by their viewers' anchor amount.
  virtual void UpdateAnchoredItems();
  virtual void SizeRightAlignSpacer();
  TColor ItemTextColor(TSkBarSkinStatesType state) const override;
  virtual void PaintToolbarBackground(ui::TCanvas& canvas, const TRect& r);
  // Repaints the background and the frame, and the visible viewers over it without erasing
  // them first.
  void RepaintBackground();
  virtual void FireDrawBackground(ui::TCanvas& canvas, const TRect& r, TSkBarPaintStage stage,
                                  bool& paintDefault);
  // The drag handle's length along the toolbar.
  virtual int RightAlignMargin() const;
  // A change in the items: OnItemNotification; an insertion, a deletion or a resizing change
  // right-aligns once the change is done.
  // Whether a press may reach the item under the mouse (always).
  virtual bool ItemClickAllowed(tb::TTBCustomItem& /*item*/) { return true; }
  // An enabled click-transparent item (a label) with a click handler runs its click.
  virtual void ClickTransparentItem(tb::TTBCustomItem& item);
  // A press while customising: true (the press is taken) unless not customising; on a
  // customisable toolbar the item under the point (not the chevron) is dragged at once.
  virtual bool StartItemDragIfCustomizing(int x, int y);
  // The drag object of an item drag starting here.
  virtual std::unique_ptr<TSkBarItemDragObject> StartItemDrag(tb::TTBCustomItem& item);
  tb::TTBCustomItem* DragItem() const { return dragItem_; }
  TSkBarToolbarStates States() const { return states_; }
  // Where the first shown selectable item stood after the last anchoring pass ({-1, -1}
  // before the first pass).
  tb::TPoint AnchoredFirstItemPos() const { return anchoredFirstItemPos_; }
  // The insertion bar shown while an item is dragged over the toolbar (empty: none).
  const tb::TRect& DropMark() const { return dropMark_; }

  // TSkBarDragClient: while customising, a customisable toolbar takes dragged items, showing
  // where they go; a drop moves the item there (from this toolbar or another).
  void DragOver(TSkBarCustomDragObject& source, int x, int y, bool& accept) override;
  void DragDrop(TSkBarCustomDragObject& source, int x, int y) override;
  // As the source: whichever toolbar still shows a drop mark clears it (also on a cancel).
  void EndDrag(ui::TControl* target, int x, int y) override;

  virtual void ItemsChanged(tb::TTBCustomItem* ancestor, bool relayed,
                            tb::TTBItemChangedAction action, int index, tb::TTBCustomItem* item);

 protected:
  ui::Owned<tb::TTBCustomItem> CreateRootItem() override;
  ui::Owned<tb::TTBChevronItem> CreateChevronItem() override;
  ui::Owned<tb::TTBToolbarView> CreateView(tb::TTBCustomItem* root, tb::ITBViewWindow* window,
                                           bool usePriorityList) override;
  // Whether DrawDockedNCArea paints the docked frame as the toolbar's background (with the
  // skin's grip), rather than leaving it to the framework.
  virtual bool PaintsDockedFrame() const;
  // The shown item at a client point, or null.
  tb::TTBCustomItem* ItemAt(int x, int y);
  // The framework's press when the item under the mouse allows it; a press that left the
  // toolbar where it was clicks a click-transparent item.
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  // The framework's move, then the selected skinned viewer hears of it.
  void MouseMove(ui::TShiftState shift, int x, int y) override;

 private:
  // ISkBarToolbarHost
  int DockedNonClientHeight() const override;
  bool CanMeasureItems() const override;
  void ViewUpdateEnded() override {
    SizeRightAlignSpacer();
    UpdateAnchoredItems();
  }

  // The client area's background (the window's client coordinates) into `dc`.
  void EraseBackground(HDC dc);
  void SetDropMark(const tb::TRect& mark);
  int DockLength() const;

  TSkNonNegativeCounter itemMove_, customize_;
  tb::TTBCustomItem* dragItem_ = nullptr;
  tb::TRect dropMark_{};
  TSkBarToolbarDisplayMode displayMode_ = tbdmSelectiveCaption;
  int lastDockLength_ = -1;
  tb::TPoint anchoredFirstItemPos_{-1, -1};
  bool chevronVertical_ = true;
  bool customizable_ = true;
  TSkBarToolbarStates states_ = 0;
  // Adds a state for the length of a scope.
  struct StateScope {
    StateScope(TSkBarToolbarStates& states, TSkBarToolbarState state)
        : states_(states), state_(state) {
      states_ |= state_;
    }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;
    ~StateScope() { states_ &= static_cast<TSkBarToolbarStates>(~state_); }
    TSkBarToolbarStates& states_;
    TSkBarToolbarState state_;
  };
  TSkBarItemCacheCollection itemCache_;
};

}  // namespace skbar
