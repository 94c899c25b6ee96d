// The decisions of dockable windows, their floating form and their drag and sizing loops that
// need no window.
//   Docked frame: the drag-handle width per style, the docked non-client size and client
//   rectangle, the docked close button.
//   Floating form: its caption and close-button rectangles and its hit test (caption, close
//   button, the eight sizing corners or the four edges).
//   Floating rules: when a floating window shows, when its caption looks inactive, what a
//   double click does, and MoveOnScreenRect (into the work area, top-left winning).
//   Drag loop: DockTargetRect (does a candidate dock take the window at the pointer, and where),
//   ChooseDockTarget (the first candidate that does), ChooseDockRow (which row, or a new row
//   before or after), SplitReached, FloatingRectAt.
//   Sizing loop: SizingRect (the dragged edges follow the pointer; a size outside the limits
//   moves the dragged edge back, never the opposite one).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tb/common.h"
#include "tb/dock_layout.h"

namespace tb {

enum class TTBDragHandleStyle : std::uint8_t { dhDouble, dhNone, dhSingle };
enum class TTBDockMode : std::uint8_t { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum class TTBFloatingMode : std::uint8_t { fmOnTopOfParentForm, fmOnTopOfAllForms };
// The hit code of a sizing edge or corner minus 10.
enum class TTBSizeHandle : std::uint8_t {
  twshLeft,
  twshRight,
  twshTop,
  twshTopLeft,
  twshTopRight,
  twshBottom,
  twshBottomLeft,
  twshBottomRight
};

constexpr int kHitDockedFrame = 2000;
constexpr int kHitCloseButton = 2001;
constexpr int kHitFloatingCaption = 2002;
constexpr int kHitNowhere = 0;
constexpr int kHitLeft = 10;  // up to kHitLeft + 7: the bottom-right corner

// MulDiv as the platform rounds it (half away from zero); -1 for a zero divisor.
int MulDivRound(int a, int b, int c);

// --- Docked frame -------------------------------------------------------------------------
int DragHandleWidth(TTBDragHandleStyle style, bool closeButtonWhenDocked);
// 4 x 4 plus the handle on the leading axis when the dock allows dragging.
TPoint DockedFrameSize(bool leftRight, bool allowDrag, int handleWidth);
// The client rectangle inside a docked window's rectangle.
TRect DockedClientRect(const TRect& window, bool leftRight, bool allowDrag, int handleWidth);
// The docked close button (window coordinates).
TRect DockedCloseButtonRect(bool leftRight, int clientWidth, int handleWidth);

// --- Floating form -------------------------------------------------------------------------
struct TFloatingFrame {
  int width = 0, height = 0;  // the form's window
  TPoint border;              // the floating border size
  int smallCaptionHeight = 0;
  bool showCaption = true;
  bool closeButton = true;
  bool resizable = true;
  bool eightCorner = true;
};
// In window coordinates when adjustForBorder, else in client coordinates.
TRect FloatingCaptionRect(const TFloatingFrame& f, bool adjustForBorder, bool minusCloseButton);
TRect FloatingCloseButtonRect(const TFloatingFrame& f, bool adjustForBorder);
// The hit code at `p` (relative to the window's top-left) of a point outside the client area.
int FloatingHitTest(const TFloatingFrame& f, TPoint p);

// --- Floating rules --------------------------------------------------------------------------
struct TFloatingShowState {
  bool visible = true;
  int hidden = 0;
  // Only a floating window depends on its form and on the application's activation: a docked
  // window or one placed on its form shows with its parent.
  bool floating = true;
  bool onTopOfParentForm = true;
  bool parentFormShowing = true;  // exists, has a window, visible, not minimised
  bool hideWhenInactive = true;
  bool applicationActive = true;
};
bool FloatingShouldShow(const TFloatingShowState& s);
bool FloatingCaptionInactive(bool anyWindowActive, bool onTopOfParentForm, bool ownedByApplication,
                             bool activeFormIsOwnerAncestor);

enum class TDoubleClickAction : std::uint8_t { None, DockToLast, DockToDefault, Float };
TDoubleClickAction DoubleClickAction(bool floating, bool docked, bool hasLastDock,
                                     bool hasDefaultDock, TTBDockMode mode);

// The rectangle moved into the work area (right and bottom first, then left and top); with
// onlyIfFullyOffscreen unchanged while it still overlaps the work area.
TRect MoveOnScreenRect(const TRect& rect, const TRect& workArea, bool onlyIfFullyOffscreen);

// --- Drag loop -----------------------------------------------------------------------------
struct TDockRowSize {
  int row = 0;  // the dock's own row number
  int thickness = 0;
  bool fullSize = false;
};
struct TDockedSize {
  TTBDockPosition position = TTBDockPosition::dpTop;
  TRect boundsRect;                // the dock on the screen
  TPoint size;                     // the window's outer size when docked there
  std::vector<TDockRowSize> rows;  // rows of thickness 0 left out
};
struct TDragGrab {
  TPoint grab;       // press position relative to the window's outer rectangle
  TPoint startSize;  // the starting outer width - 1 and height - 1
};
// Where the window would lie on the dock (screen), or none when the dock does not take it.
std::optional<TRect> DockTargetRect(const TDockedSize& dock, const TDragGrab& g, TPoint pointer);
// The first candidate that takes the window; -1 for none.
int ChooseDockTarget(const std::vector<TDockedSize>& docks, const TDragGrab& g, TPoint pointer,
                     TRect& rect);

struct TRowChoice {
  int row = 0;
  bool newRowBefore = false;
  bool operator==(const TRowChoice&) const = default;
};
// `centre`: the window rectangle's centre across the rows, in the dock's client coordinates.
TRowChoice ChooseDockRow(const std::vector<TDockRowSize>& rows, int centre, bool windowFullSize);
// Split mode starts once the pointer moved 10 pixels or more along the row.
bool SplitReached(int startAlong, int nowAlong);
// The floating rectangle following the pointer, kept inside the work area.
TRect FloatingRectAt(TPoint pointer, TPoint grab, TPoint size, const TRect& workArea);

// --- Sizing loop ---------------------------------------------------------------------------
// Outer limits; a maximum of 0 is none.
struct TSizeLimits {
  TPoint minSize;
  TPoint maxSize;
};
TRect SizingRect(const TRect& start, TTBSizeHandle handle, TPoint delta, const TSizeLimits& limits);

}  // namespace tb
