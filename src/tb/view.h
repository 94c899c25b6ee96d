// Views: the displayed list of one parent item's sub-items inside one window (toolbar, menu bar
// or popup). A view keeps one viewer per item (embedded groups inline), lays them out (rows,
// wrapping, chevron, popup scrolling), tracks the selection by mouse and keyboard, opens and
// closes child popups on the window's timers and records how a modal menu loop ended on the
// root view of its chain.
//   The window is reached through ITBViewWindow (the Windows side, or a test's fake); child
//   popups are made by the item (TTBCustomItem::CreatePopup) and owned by the view that opened
//   them. Views of toolbars and popups derive from TTBView.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tb/item.h"
#include "tb/viewer.h"
#include "ui/colors.h"

namespace tb {

// The window a view paints into, as the view needs it.
class ITBViewWindow {
 public:
  virtual bool HasHandle() const = 0;
  // Timers exist only on popup windows.
  virtual bool IsPopupWindow() const = 0;
  virtual void SetTimer(int id, unsigned milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  virtual void InvalidateRect(const TRect& rect) = 0;
  virtual void InvalidateAll() = 0;
  // Redraws the whole window now (double-buffered).
  virtual void Repaint() = 0;
  virtual TPoint ScreenToClient(TPoint p) const = 0;
  virtual TPoint ClientToScreen(TPoint p) const = 0;
  // Whether the screen point lies over this window.
  virtual bool ContainsScreenPoint(TPoint p) const = 0;
  virtual ITBTextMeasure& Measure() = 0;
  // Announces the accessibility focus on child `childId` (1-based).
  virtual void NotifyFocusEvent(int /*childId*/) {}
  // Resizes the window to the laid-out size (popups).
  virtual void AutoSize(int /*width*/, int /*height*/) {}
  // Hides the window (the menu loop is being cancelled).
  virtual void HideWindow() {}
  // The menu-check mark's width (SM_CXMENUCHECK).
  virtual int MenuCheckWidth() const { return 13; }
  // Whether a hosted control is to be shown: it is visible (the program did not hide it) and
  // sits on this window. Its size (false when unknown), and placing it on the window or moving
  // it out of sight (`show` false) without touching what the program chose.
  virtual bool ControlShown(ui::TComponent* /*control*/) { return true; }
  virtual bool GetControlSize(ui::TComponent* /*control*/, int& /*width*/, int& /*height*/) {
    return false;
  }
  virtual void PlaceControl(ui::TComponent* /*control*/, const TRect& /*rect*/, bool /*show*/) {}

 protected:
  ~ITBViewWindow() = default;
};

enum class TTBViewOrientation : std::uint8_t { tbvoHorizontal, tbvoVertical, tbvoFloating };

using TTBViewState = std::uint16_t;
inline constexpr TTBViewState vsModal = 1 << 0;
inline constexpr TTBViewState vsMouseInWindow = 1 << 1;
inline constexpr TTBViewState vsDrawInOrder = 1 << 2;
inline constexpr TTBViewState vsOppositePopup = 1 << 3;
inline constexpr TTBViewState vsIgnoreFirstMouseUp = 1 << 4;
inline constexpr TTBViewState vsShowAccels = 1 << 5;
inline constexpr TTBViewState vsDropDownMenus = 1 << 6;
inline constexpr TTBViewState vsNoAnimation = 1 << 7;

using TTBViewStyle = std::uint8_t;
inline constexpr TTBViewStyle vsMenuBar = 1 << 0;
inline constexpr TTBViewStyle vsUseHiddenAccels = 1 << 1;
inline constexpr TTBViewStyle vsAlwaysShowHints = 1 << 2;

// Timer ids; the window timer's identifier is kViewTimerBase + id.
enum class TTBViewTimer : int { tiOpen = 0, tiClose = 1, tiScrollUp = 2, tiScrollDown = 3 };
inline constexpr int kViewTimerBase = 9000;
inline constexpr unsigned kScrollInterval = 100;
inline constexpr int kScrollArrowHeight = 19;
inline constexpr int kLineSeparatorThickness = 6;

struct TTBMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Virtual-key codes the keyboard navigation reads.
namespace vk {
inline constexpr std::uint16_t Tab = 0x09, Return = 0x0D, Menu = 0x12, Escape = 0x1B, End = 0x23,
                               Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
                               F1 = 0x70, F10 = 0x79;
}

// The last mouse position shared by the menu loop and the views (kNoPoint: unknown).
TPoint& LastMousePosition();

// A view builds its viewers at construction. A derived view with internal viewers (a chevron)
// calls RecreateAllViewers at the end of its own constructor, since virtual operations do not
// reach it from the base constructor.
class TTBView : public ui::TComponent {
 public:
  TTBView(ui::TComponent* owner, TTBView* parentView, TTBCustomItem* parentItem,
          ITBViewWindow* window, bool isToolbar, bool customizing, bool usePriorityList);
  ~TTBView() override;
  std::wstring_view ClassName() const override { return L"TTBView"; }
  void BeforeDestruction() noexcept override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

  // Viewers.
  int ViewerCount() const { return static_cast<int>(viewers_.size()); }
  TTBItemViewer* Viewers(int index) const;
  int IndexOf(const TTBItemViewer* viewer) const;
  // The first viewer of `item`: Find raises when there is none, ViewerOf answers null.
  TTBItemViewer* Find(const TTBCustomItem* item) const;
  TTBItemViewer* ViewerOf(const TTBCustomItem* item) const;
  void RecreateAllViewers();
  // Drops the viewers of `item`, one of the view's own items at its end (a sub-item of the MDI
  // buttons item that is being freed).
  void DeleteEndViewersOf(TTBCustomItem* item);

  // Layout.
  void BeginUpdate();
  void EndUpdate();
  bool IsUpdating() const { return updating_ > 0; }
  void ValidatePositions();
  void InvalidatePositions();
  void UpdatePositions(int& width, int& height);
  bool Validated() const { return validated_; }
  int BaseWidth() const { return baseWidth_; }
  int BaseHeight() const { return baseHeight_; }
  // The lines the last layout began by wrapping; 0 again once the positions are invalid.
  int LastWrappedLines() const { return lastWrappedLines_; }

  // Selection, keyboard and mouse.
  TTBItemViewer* Selected() const { return selected_; }
  bool SelectedViaMouse() const { return selectedViaMouse_; }
  bool MouseOverSelected() const { return mouseOverSelected_; }
  void Select(TTBItemViewer* viewer, bool viaMouse);
  void UpdateSelection(TPoint screenPoint, bool allowNewSelection);
  TTBItemViewer* NextSelectable(TTBItemViewer* from, bool goForward) const;
  TTBItemViewer* FirstSelectable() const;
  TTBItemViewer* NextSelectableWithAccel(TTBItemViewer* from, wchar_t key, bool requirePrimaryAccel,
                                         bool& isOnlyItemWithAccel) const;
  TTBItemViewer* ViewerFromPoint(TPoint clientPoint) const;
  void ScrollSelectedIntoView();
  void ExecuteSelected(bool givePriority);
  virtual void KeyDown(std::uint16_t& key, ui::TShiftState shift);

  // Child popups and timers.
  bool OpenChildPopup(bool selectFirstItem);
  void CloseChildPopups();
  void CancelChildPopups();
  // Records `popup` as this view's open child popup, opened from `viewer` (popup placement
  // calls it once the window is placed).
  void RecordOpenPopup(std::unique_ptr<TTBPopupWindowBase> popup, TTBItemViewer* viewer);
  TTBItemViewer* OpenViewer() const { return openViewer_; }
  TTBView* OpenViewerView() const { return openViewerView_; }
  // A window timer of this view went off (id without the base).
  void TimerFired(TTBViewTimer timer);
  void StartTimer(TTBViewTimer timer, unsigned milliseconds);
  void StopTimer(TTBViewTimer timer);
  void StopAllTimers();
  bool TimerRunning(TTBViewTimer timer) const;

  // The modal loop's end.
  void EndModal();
  void EndModalWithClick(TTBItemViewer* viewer);
  void EndModalWithHelp(std::uint32_t contextId);
  void EndModalWithSystemMenu(std::uintptr_t wnd, std::uint32_t key);
  bool IsModalEnding() const;
  void CancelMode();
  TTBView* Root();
  TTBDoneActionData& DoneActionData() { return doneActionData_; }
  std::uintptr_t GetCaptureWnd() { return Root()->captureWnd_; }
  void SetCaptureWnd(std::uintptr_t wnd) { captureWnd_ = wnd; }
  void SetCapture() { capture_ = true; }
  void CancelCapture();
  bool Capture() const { return capture_; }

  // Priority (chevron order).
  void GivePriority(TTBItemViewer* viewer);
  TTBItemViewer* HighestPriorityViewer() const;

  void Invalidate(TTBItemViewer* viewer);
  // The viewers to paint over `clip`, in drawing order (the selected one last unless
  // vsDrawInOrder); clears vsDrawInOrder.
  std::vector<TTBItemViewer*> ViewersToDraw(const TRect& clip);
  void SetAccelsVisibility(bool show);
  bool ContainsView(const TTBView* view) const;
  // The accessibility object made for this view (one counted reference), or null.
  TTBAccObjectLink* AccObjectInstance() const { return accObject_; }
  void SetAccObjectInstance(TTBAccObjectLink* object) { accObject_ = object; }
  // The hosted controls of control items hidden by the chevron.
  std::vector<ui::TComponent*> GetOffEdgeControlList() const;
  // The hint for the viewer under `clientPoint` (CM_HINTSHOW): its text, its rectangle as the
  // hint's cursor rectangle; null when no viewer is there.
  TTBItemViewer* HintAt(TPoint clientPoint, bool showShortCuts, std::wstring& text,
                        TRect& cursorRect) const;
  void NotifyFocusEvent();

  // Virtual operations.
  virtual void AutoSize(int width, int height);
  virtual void DoUpdatePositions(int& width, int& height);
  virtual TTBCustomItem* GetChevronItem() { return nullptr; }
  virtual TTBCustomItem* GetMDIButtonsItem() { return nullptr; }
  virtual TTBCustomItem* GetMDISystemMenuItem() { return nullptr; }
  virtual TTBMargins GetMargins(TTBViewOrientation orientation) const;

  // State.
  TTBView* ParentView() const { return parentView_; }
  TTBCustomItem* ParentItem() const { return parentItem_; }
  TTBCustomItem* CurParentItem() const { return curParentItem_; }
  ITBViewWindow* Window() const { return window_; }
  bool IsPopup() const { return isPopup_; }
  bool IsToolbar() const { return isToolbar_; }
  void SetIsToolbar(bool isToolbar) { isToolbar_ = isToolbar; }
  bool Customizing() const { return customizing_; }
  TTBViewState State() const { return state_; }
  void SetState(TTBViewState state) { state_ = state; }
  void Include(TTBViewState flags) { state_ |= flags; }
  void Exclude(TTBViewState flags) { state_ &= static_cast<TTBViewState>(~flags); }
  TTBViewStyle Style() const { return style_; }
  void SetStyle(TTBViewStyle style) { style_ = style; }
  TTBViewOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTBViewOrientation orientation);
  int WrapOffset() const { return wrapOffset_; }
  void SetWrapOffset(int offset);
  int ChevronOffset() const { return chevronOffset_; }
  int ChevronSize() const { return chevronSize_; }
  void SetChevronOffset(int offset);
  void SetChevronSize(int size);
  int MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(int height);
  // The colour items are drawn on; clDefault: the window's own.
  ui::TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(ui::TColor color) { backgroundColor_ = color; }
  int ScrollOffset() const { return scrollOffset_; }
  bool ShowUpArrow() const { return showUpArrow_; }
  bool ShowDownArrow() const { return showDownArrow_; }
  const TRect& MonitorRect() const { return monitorRect_; }
  void SetMonitorRect(const TRect& rect) { monitorRect_ = rect; }
  bool UsePriorityList() const { return usePriorityList_; }
  void SetUsePriorityList(bool use);
  TTBView* ChevronParentView() const { return chevronParentView_; }
  // Makes this popup's view the list of `toolbarView`'s hidden items: a toolbar view that
  // takes the toolbar's hint style and colour.
  void BecomeChevronPopup(TTBView& toolbarView);
  bool NewViewersGetHighestPriority() const { return newViewersGetHighestPriority_; }
  void SetNewViewersGetHighestPriority(bool value) { newViewersGetHighestPriority_ = value; }

  // The view nearest up the parent chain that is a toolbar view, a chevron popup's included
  // (or null).
  TTBView* ToolbarInChain();

 private:
  friend class TTBItemViewer;
  void SetCurParentItem(TTBCustomItem* item);
  void ParentItemNotification(TTBCustomItem* sender, bool relayed, TTBItemChangedAction action,
                              int index, TTBCustomItem* item);
  void CurParentItemNotification(TTBCustomItem* sender, bool relayed, TTBItemChangedAction action,
                                 int index, TTBCustomItem* item);
  int InsertItemViewers(int index, TTBCustomItem* item, int groupLevel, bool addToPriorityList,
                        bool topOfPriorityList);
  void DeleteViewersOf(TTBCustomItem* item);
  // A run of viewers that shows one list of sub-items: its range, the group level of the
  // list's own viewers and where it lies (-1 among the internal viewers at the front, 1 among
  // those at the end, 0 among the items).
  struct SubitemRun {
    std::size_t start, end;
    int level, region;
  };
  // The places where `list`'s sub-items are shown: null for the top level, or the viewer of an
  // embedded group that shows them inline.
  std::vector<const TTBItemViewer*> PlacesShowing(const TTBCustomItem* list) const;
  SubitemRun RunAt(const TTBItemViewer* group) const;
  // The viewer of `item` at the run's own level, or the run's end.
  std::size_t FindInRun(const SubitemRun& run, const TTBCustomItem* item) const;
  // Past the viewer at `index` and those of its embedded group.
  std::size_t SubtreeEnd(std::size_t index) const;
  void CountInternal(int region, int delta);
  void InsertIntoPlaces(TTBCustomItem* item, int index);
  void DeleteFromPlaces(TTBCustomItem* item);
  void FreeViewer(std::size_t index);
  void RecreateViewersOf(TTBCustomItem* item);
  void TryValidatePositions();
  void SetMouseOverSelected(bool over);
  bool OverButtonPart(TTBItemViewer& viewer, TPoint screenPoint) const;
  void ReLayoutOpenChain();
  void ScrollBy(bool down);
  // Scrolls a popup taller than MaxHeight; only the rows entering or leaving the window change.
  void ScrollTo(int offset);
  void ValidatePositionsConst() const;
  bool AboveOrBelowArrow(TPoint clientPoint, bool& up) const;

  std::vector<std::unique_ptr<TTBItemViewer>> viewers_;
  std::vector<TTBItemViewer*> priorityList_;
  // Viewers laid out in a popup (shown or clipped), top to bottom.
  std::vector<int> scrollRows_;
  TTBView* parentView_ = nullptr;
  TTBCustomItem* parentItem_ = nullptr;
  TTBCustomItem* curParentItem_ = nullptr;
  ITBViewWindow* window_ = nullptr;
  TTBView* chevronParentView_ = nullptr;
  TTBItemViewer* selected_ = nullptr;
  TTBItemViewer* openViewer_ = nullptr;
  TTBView* openViewerView_ = nullptr;
  std::unique_ptr<TTBPopupWindowBase> openViewerWindow_;
  TTBDoneActionData doneActionData_;
  TTBAccObjectLink* accObject_ = nullptr;
  std::uintptr_t captureWnd_ = 0;
  TRect monitorRect_;
  TTBViewOrientation orientation_ = TTBViewOrientation::tbvoHorizontal;
  TTBViewState state_ = 0;
  TTBViewStyle style_ = 0;
  std::uint8_t activeTimers_ = 0;
  int baseWidth_ = 0, baseHeight_ = 0;
  int lastWrappedLines_ = 0;
  int chevronOffset_ = 0, chevronSize_ = 0, wrapOffset_ = 0;
  int maxHeight_ = 0, scrollOffset_ = 0;
  ui::TColor backgroundColor_ = ui::clDefault;
  int internalViewersAtFront_ = 0, internalViewersAtEnd_ = 0;
  int updating_ = 0;
  bool capture_ = false;
  bool customizing_ = false;
  bool isPopup_ = false;
  bool isToolbar_ = false;
  bool mouseOverSelected_ = false;
  bool newViewersGetHighestPriority_ = true;
  bool selectedViaMouse_ = false;
  bool showDownArrow_ = false, showUpArrow_ = false;
  bool usePriorityList_ = false;
  bool validated_ = false;
  bool destroying_ = false;
};

// The layout of a view's viewers as a pure computation (the view fills the input from its
// viewers and commits the result).
struct LayoutEntry {
  int width = 0, height = 0;  // measured size
  bool visible = false;       // the item is shown at all (before separator rules)
  bool separator = false;
  bool noLineBreak = false;
  bool toolbarSize = false;  // in a popup: beside the previous toolbar-sized one, not below
  bool sameWidth = false;
  // Results.
  TRect rect;
  bool show = false, offEdge = false, lineSep = false, clipped = false;
};
struct LayoutInput {
  TTBViewOrientation orientation = TTBViewOrientation::tbvoHorizontal;
  bool isPopup = false;
  TTBMargins margins;
  int wrapOffset = 0;
  // Chevron: room before it and its length; priority order of entry indices (highest first,
  // empty: display order). chevronIndex is the chevron's entry, or -1.
  int chevronOffset = 0, chevronSize = 0, chevronIndex = -1;
  std::vector<int> priority;
  int maxHeight = 0;
  int scrollOffset = 0;
};
struct LayoutResult {
  int width = 0, height = 0;
  int wrappedLines = 0;  // lines begun by wrapping (0: everything on one line)
  int scrollOffset = 0;
  bool showUpArrow = false, showDownArrow = false;
};
// Applies the show rules for separators (leading, doubled and trailing ones are hidden).
void HideExtraSeparators(std::vector<LayoutEntry>& entries);
// Lays the entries out; in a scrolled popup the rectangles are content positions (before the
// scroll offset) and the entries outside the window are hidden and clipped.
LayoutResult LayoutEntries(const LayoutInput& input, std::vector<LayoutEntry>& entries);

}  // namespace tb
