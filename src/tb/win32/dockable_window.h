// TTBCustomDockableWindow: the base of every window that sits on a TTBDock or floats in its own
// small tool-window form (TTBFloatingWindowParent). It owns the docking state, changes it when
// re-parented (SetParent), paints its docked frame (border, drag handle, close button), runs
// the drag loop (BeginMoving) and the sizing loop of its floating form (BeginSizing), and keeps
// a floating form shown, hidden, owned and stacked as its own form is activated, minimised or
// destroyed (a per-thread hook procedure and list of floating windows).
//   Descendants give the content: CalcLayoutSize and GetCurrentClientSize (toolbars).
//   Destruction: BeforeDestruction un-parents through SetParent, leaves the floating list,
//   unregisters the hook procedure and frees the floating form before the base goes.
//   No dock (SetCurrentDock(nullptr)) puts the window on its form, where it shows as any child.
//   The drag and sizing loops capture the mouse and read the thread's messages until release,
//   Escape, another press, WM_QUIT (posted again), a failed read or lost capture; the outline
//   of outline mode goes through TDragOutline (SetDragOutline: tests record the rectangles) and
//   is erased, the cursor clip removed, the desktop unlocked and the capture released on every
//   way out.
//   TTBFloatingWindowParent: the floating form; its own frame, small caption and close button,
//   hit test (FloatingHitTest), sizing and moving starts, Escape back to its form, WM_CLOSE to
//   its form, and a click on it that never takes activation from its form.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "tb/dock_drag.h"
#include "tb/hook.h"
#include "tb/position_data.h"
#include "tb/win32/dock.h"
#include "ui/win32/forms.h"

namespace tb {

class TTBFloatingWindowParent;

using TTBDockableWindowStyles = std::uint8_t;
constexpr TTBDockableWindowStyles tbdsResizeEightCorner = 1, tbdsResizeClipCursor = 2;
enum class TTBBorderStyle : std::uint8_t { bsNone, bsSingle };

using TTBDockChangingEvent =
    std::function<void(ui::TComponent* sender, bool floating, TTBDock* dockingTo)>;
using TTBCloseQueryEvent = std::function<void(ui::TComponent* sender, bool& canClose)>;

// Draws the outline of an outline-mode drag or size. The default inverts a halftone frame on
// the locked desktop.
class TDragOutline {
 public:
  virtual ~TDragOutline() = default;
  virtual void Begin() = 0;
  // Moves the frame: an empty old rectangle draws it, an empty new one erases it.
  virtual void Draw(const RECT& newRect, const RECT& oldRect, SIZE newSize, SIZE oldSize) = 0;
  virtual void End() = 0;
};
// Null: the desktop outline again. Answers the previous one.
TDragOutline* SetDragOutline(TDragOutline* outline);

class TTBCustomDockableWindow : public ui::TCustomControl, public IDockClient {
  friend class TTBDock;
  friend class TTBFloatingWindowParent;

 public:
  explicit TTBCustomDockableWindow(ui::TComponent* owner);
  ~TTBCustomDockableWindow() override;
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TTBCustomDockableWindow"; }
  // Published: CurrentDock (by the dock's name), DockPos, DockRow.
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;

  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  void SetParent(ui::TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(ui::TMessage& message) override;
  // The dock's palette while docked, else none; a change redraws the frame too.
  HPALETTE GetPalette() override;
  bool PaletteChanged(bool foreground) override;

  // Own virtual operations.
  virtual void GetDockedFrameSize(TPoint& size);
  virtual void PointOnChildControl(POINT p, bool& result);
  virtual void CalcLayoutSize(bool canMoveControls, TTBDockType dockType, bool floating,
                              TTBDock* dock, TPoint& newSize) = 0;
  virtual void DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip);
  virtual void GetCurrentClientSize(TPoint& size) = 0;
  virtual void GetDockedCloseButtonRect(bool leftRight, RECT& rect);
  virtual void GetShrinkLimit(int& /*minLength*/) {}
  virtual void GetMinMaxSize(TPoint& /*minSize*/, TPoint& /*maxSize*/) {}
  virtual TTBShrinkMode QueryShrinkMode() { return TTBShrinkMode::tbsmNone; }
  virtual void SizeChanging(int /*newWidth*/, int /*newHeight*/) {}
  virtual void GetFloatingBorderSize(TPoint& size);
  // The floating form's class.
  virtual TTBFloatingWindowParent* CreateFloatingParent();
  // Position data (descendants persist more through these).
  virtual void ReadPositionData(const TTBPositionReader& /*reader*/) {}
  virtual void DoneReadingPositionData(const TTBPositionReader& /*reader*/) {}
  virtual void WritePositionData(const TTBPositionWriter& /*writer*/) {}

  // A window inside its floating form has no parent component (the form is not stored).
  bool HasParent() const override;
  ui::TComponent* GetParentComponent() const override;

  // The stored data came from a run-time save ("SavedAtRunTime", written as True).
  bool SavedAtRunTime() const { return savedAtRunTime_; }
  void SetSavedAtRunTime(bool value) { savedAtRunTime_ = value; }
  bool SavedAtRunTimeToStore() const { return true; }

  // State.
  TTBDock* CurrentDock() const { return currentDock_; }
  void SetCurrentDock(TTBDock* dock);
  bool Docked() const { return docked_; }
  bool Floating() const { return floating_; }
  void SetFloating(bool floating);
  TTBFloatingWindowParent* FloatParent() const { return floatParent_; }
  int DockPos() const { return dock_.DockPos; }
  void SetDockPos(int pos);
  int DockRow() const { return dock_.DockRow; }
  void SetDockRow(int row);
  int EffectiveDockRow() const { return dock_.EffectiveDockRow; }
  int EffectiveDockPos() const { return dock_.EffectiveDockPos; }
  TTBDock* DefaultDock() const { return defaultDock_; }
  void SetDefaultDock(TTBDock* dock);
  TTBDock* LastDock() const { return lastDock_; }
  void SetLastDock(TTBDock* dock);
  bool UseLastDock() const { return useLastDock_; }
  void SetUseLastDock(bool value);
  POINT FloatingPosition() const { return floatingPosition_; }
  void SetFloatingPosition(POINT position);
  TTBFloatingMode FloatingMode() const { return floatingMode_; }
  void SetFloatingMode(TTBFloatingMode mode);
  TTBDockType DockType() const;

  // Options.
  bool AutoResize() const { return autoResize_; }
  void SetAutoResize(bool value);
  bool FullSize() const { return dock_.FullSize; }
  void SetFullSize(bool value);
  bool Stretch() const { return dock_.Stretch; }
  void SetStretch(bool value);
  bool ActivateParent() const { return activateParent_; }
  void SetActivateParent(bool value) { activateParent_ = value; }
  bool HideWhenInactive() const { return hideWhenInactive_; }
  void SetHideWhenInactive(bool value);
  bool CloseButton() const { return closeButton_; }
  void SetCloseButton(bool value);
  bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
  void SetCloseButtonWhenDocked(bool value);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  bool Resizable() const { return resizable_; }
  void SetResizable(bool value);
  TTBBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TTBBorderStyle style);
  TTBDockMode DockMode() const { return dockMode_; }
  void SetDockMode(TTBDockMode mode) { dockMode_ = mode; }
  TTBDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
  void SetDragHandleStyle(TTBDragHandleStyle style);
  TTBDockableTo DockableTo() const { return dockableTo_; }
  void SetDockableTo(TTBDockableTo value) { dockableTo_ = value; }
  bool SmoothDrag() const { return smoothDrag_; }
  void SetSmoothDrag(bool value) { smoothDrag_ = value; }
  TTBDockableWindowStyles DockableWindowStyles() const { return styles_; }
  void SetDockableWindowStyles(TTBDockableWindowStyles value) { styles_ = value; }
  bool InactiveCaption() const { return inactiveCaption_; }
  // The docked close button's state: pressed, and under the mouse.
  bool DockedCloseButtonDown() const { return closeButtonDown_; }
  bool DockedCloseButtonHot() const { return closeButtonHover_; }
  int CurrentSize() const { return dock_.CurrentSize; }

  void BeginUpdate() { ++disableArrange_; }
  void EndUpdate();
  void Arrange();
  void AddDockForm(ui::TCustomForm* form);
  void RemoveDockForm(ui::TCustomForm* form);
  void MoveOnScreen(bool onlyIfFullyOffscreen);
  void Close();
  void DoubleClick();
  bool IsMovable() const;

  // The loops (5.108).
  void BeginMoving(int initX, int initY);
  void BeginSizing(TTBSizeHandle handle);

  // Re-evaluates whether the floating form shows, its owner, z-order and caption.
  void UpdateFloatingVisibility();

  ui::TNotifyEvent OnClose;
  ui::TNotifyEvent OnDockChanged;
  ui::TNotifyEvent OnMove;
  ui::TNotifyEvent OnRecreated;
  ui::TNotifyEvent OnRecreating;
  ui::TNotifyEvent OnVisibleChanged;
  TTBCloseQueryEvent OnCloseQuery;
  TTBDockChangingEvent OnDockChanging;
  TTBDockChangingEvent OnDockChangingHidden;

  // IDockClient.
  TDockClientState& DockState() override { return dock_; }
  bool VisibleOnDock() const override;
  bool BeingDestroyed() const override { return Destroying() || destroyingSelf_; }
  TPoint DockClientSize() override;
  TPoint DockFrameSize() override;
  TTBShrinkMode DockShrinkMode() override { return QueryShrinkMode(); }
  int DockShrinkLimit() override;
  TPoint DockLayoutSize(TTBDockType dockType) override;
  TPoint ClientSize() override;
  TPoint OuterSize() override { return {Width(), Height()}; }
  void PlaceBounds(const TRect& bounds) override;
  void ArrangeContents() override;
  // Draws on `dc` the part of the current dock's background under `rect`, whose top-left corner
  // is at `screen` (screen coordinates).
  void DrawDockBackground(HDC dc, RECT rect, POINT screen);

 protected:
  void CreateParams(TCreateParams& params) override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  // Sizing-loop hooks: the loop starts, a new rectangle (screen, the floating form's) may be
  // adjusted, the result is about to be applied, the loop ended.
  virtual void ResizeBegin(TTBSizeHandle /*handle*/) {}
  virtual void ResizeTrack(RECT& /*rect*/, const RECT& /*original*/) {}
  virtual void ResizeTrackAccept() {}
  virtual void ResizeEnd() {}
  // The floating non-client size: top-left and bottom-right.
  void FloatingNCSizes(TPoint& topLeft, TPoint& bottomRight);
  // Runs in Loaded after the stored bounds were placed, before the arrangement.
  virtual void PostLoaded() {}
  // A child control a press may drag the window from, as if it were not there (none here).
  virtual bool ChildControlExcluded(ui::TControl& /*control*/) { return false; }
  // Before re-parenting (not while the window is destroyed): fires OnDockChangingHidden.
  virtual void DockChangingHidden(bool floating, TTBDock* dockingTo);
  int HandleWidth() const;

 private:
  class MoveLoop;
  class SizeLoop;
  void SetHookRegistered(bool registered);
  static void HookProc(THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                       std::intptr_t lParam);
  static void DrawNCProc(HWND wnd, HDC dc, void* self);
  static void DrawCloseButtonProc(HWND wnd, bool pushed, void* self);
  bool ShouldShowFloating();
  void UpdateCaptionState();
  void SetFloatingOwner();
  int DockedHitTest(POINT screen);
  // Docked on a dock whose background shows on its windows.
  bool ShowsDockBackground() const;
  // Repaints at once after a move on a background dock (the background moved under it).
  void RepaintOnBackground();
  // A context menu asked for from the keyboard or outside the client area; false when it is
  // left to the inherited handling.
  bool ContextMenuOutsideClient(ui::TMessage& message);
  void FreeFloatParent();

  TDockClientState dock_;
  bool autoResize_ = true;
  bool docked_ = false;
  TTBDock* currentDock_ = nullptr;
  TTBDock* defaultDock_ = nullptr;
  TTBDock* lastDock_ = nullptr;
  bool floating_ = false;
  bool activateParent_ = true;
  bool hideWhenInactive_ = true;
  bool closeButton_ = true;
  bool closeButtonWhenDocked_ = false;
  bool resizable_ = true;
  bool showCaption_ = true;
  bool useLastDock_ = true;
  TTBBorderStyle borderStyle_ = TTBBorderStyle::bsSingle;
  TTBDockMode dockMode_ = TTBDockMode::dmCanFloat;
  TTBDragHandleStyle dragHandleStyle_ = TTBDragHandleStyle::dhSingle;
  TTBDockableTo dockableTo_ = kDockableToAll;
  TTBFloatingMode floatingMode_ = TTBFloatingMode::fmOnTopOfParentForm;
  bool smoothDrag_ = true;
  TTBDockableWindowStyles styles_ = tbdsResizeEightCorner | tbdsResizeClipCursor;
  int disableArrange_ = 0;
  int disableOnMove_ = 0;
  int hidden_ = 0;
  bool arrangeNeeded_ = false;
  bool moved_ = false;
  bool inactiveCaption_ = false;
  bool updatingVisibility_ = false;
  bool shownFloating_ = false;
  POINT floatingPosition_{0, 0};
  std::unique_ptr<std::vector<ui::TCustomForm*>> dockForms_;
  bool savedAtRunTime_ = false;
  bool smoothDragging_ = false;
  bool closeButtonDown_ = false;
  bool closeButtonHover_ = false;
  bool hookRegistered_ = false;
  bool destroyingSelf_ = false;                     // set first in BeforeDestruction
  TTBFloatingWindowParent* floatParent_ = nullptr;  // owned (freed by FreeFloatParent)
};

class TTBFloatingWindowParent : public ui::TCustomForm {
  friend class TTBCustomDockableWindow;

 public:
  explicit TTBFloatingWindowParent(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBFloatingWindowParent"; }
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  void WndProc(ui::TMessage& message) override;

  TTBCustomDockableWindow* DockableWindow() const { return dockableWindow_; }
  ui::TCustomForm* ParentForm() const { return parentForm_; }
  bool ShouldShow() const { return shouldShow_; }

  static constexpr int rwFrame = 1, rwCaption = 2, rwCloseButton = 4;
  virtual void PaintFrame(bool drawToDC, HDC dc, int redrawWhat, HRGN clip);
  RECT CaptionRect(bool adjustForBorder, bool minusCloseButton);
  RECT CloseButtonRect(bool adjustForBorder);
  void RepaintFrame(int redrawWhat);
  // The close button is held down (while its press is tracked).
  bool CloseButtonPushed() const { return closeButtonDown_; }

 protected:
  void AlignControls(const ui::TRect&) override {}
  void CreateParams(TCreateParams& params) override;
  // The text the caption shows: the form's own caption.
  virtual std::wstring_view CaptionText() const { return Caption(); }

 private:
  TFloatingFrame Frame();
  void SetParentForm(ui::TCustomForm* form);
  void SetShouldShow(bool show);
  static void DrawCloseProc(HWND wnd, bool pushed, void* self);

  bool closeButtonDown_ = false;
  TTBCustomDockableWindow* dockableWindow_ = nullptr;
  ui::TCustomForm* parentForm_ = nullptr;
  bool shouldShow_ = false;
};

}  // namespace tb
