// A dock's arrangement of its windows in rows, over an abstract interface between the dock and
// its windows (IDockClient), so that the arrangement runs without windows.
//   TDockClientState: the docking fields of a window that the dock reads and writes (requested
//   and effective row and position, shrunk length, full-size, stretch, own-row request, last
//   row thickness, drag-loop flags).
//   ArrangeDockWindows: sorts the windows by requested row and position, gives full-size and
//   own-row windows rows of their own, drops empty rows, wraps windows that do not fit onto new
//   rows, works out gaps, overlaps and shrinking per row, places each visible window through
//   PlaceBounds and answers the dock's new thickness (rows plus bound lines).
//   A stretched window never gets less than its own length, even in an overfull row, and with
//   LimitToOneRow no window opens a second row (full-size ones included).
//   The row queries (HighestRow, CurrentRowSize, MinRowSize, RowOfCoordinate) and
//   AdoptEffectivePositions read and write the same state.
#pragma once

#include <cstdint>
#include <vector>

#include "tb/common.h"

namespace tb {

enum class TTBDockPosition : std::uint8_t { dpTop, dpBottom, dpLeft, dpRight };
using TTBDockableTo = std::uint8_t;  // one bit per TTBDockPosition
constexpr TTBDockableTo DockableBit(TTBDockPosition p) {
  return static_cast<TTBDockableTo>(1u << static_cast<unsigned>(p));
}
constexpr TTBDockableTo kDockableToAll = 0x0F;
enum class TTBShrinkMode : std::uint8_t { tbsmNone, tbsmWrap, tbsmChevron };
enum class TTBDockType : std::uint8_t { dtNotDocked, dtFloating, dtTopBottom, dtLeftRight };

inline bool IsLeftRight(TTBDockPosition p) {
  return p == TTBDockPosition::dpLeft || p == TTBDockPosition::dpRight;
}
inline TTBDockType DockTypeOf(TTBDockPosition p) {
  return IsLeftRight(p) ? TTBDockType::dtLeftRight : TTBDockType::dtTopBottom;
}

struct TDockClientState {
  int DockRow = 0;
  int DockPos = -1;
  int EffectiveDockRow = -1;
  int EffectiveDockPos = -1;
  int CurrentSize = 0;  // length given by the dock when shrunk; 0 = full
  bool FullSize = false;
  bool Stretch = false;
  bool InsertRowBefore = false;
  int LastRowSize = 0;
  int UpdatingBounds = 0;
  bool ArrangeNeeded = false;
  bool DragMode = false;
  bool DragSplitting = false;
  bool DragCanSplit = false;
};

class IDockClient {
 public:
  virtual TDockClientState& DockState() = 0;
  // Parented by the dock and visible.
  virtual bool VisibleOnDock() const = 0;
  virtual bool BeingDestroyed() const = 0;
  // The content's present client size.
  virtual TPoint DockClientSize() = 0;
  // The docked non-client size (both axes).
  virtual TPoint DockFrameSize() = 0;
  virtual TTBShrinkMode DockShrinkMode() = 0;
  // The shortest outer length it can be shrunk to; 0 when it cannot say.
  virtual int DockShrinkLimit() = 0;
  // Lays the content out for the dock type (without moving controls) and answers its client
  // size; uses DockState().CurrentSize.
  virtual TPoint DockLayoutSize(TTBDockType dockType) = 0;
  // The window's client and outer sizes now.
  virtual TPoint ClientSize() = 0;
  virtual TPoint OuterSize() = 0;
  // Places the window in the dock's client coordinates.
  virtual void PlaceBounds(const TRect& bounds) = 0;
  // Lays out the content again after a shrink (ArrangeNeeded).
  virtual void ArrangeContents() = 0;

 protected:
  ~IDockClient() = default;
};

struct TDockLayoutParams {
  TTBDockPosition position = TTBDockPosition::dpTop;
  int clientLength = 0;        // the dock's client length (without bound lines)
  int nonClientThickness = 0;  // bound lines across the rows
  bool limitToOneRow = false;
  bool fixAlign = false;
  bool commitNewPositions = false;
};

// Arranges `dockList` (windows being destroyed leave both lists; with commitNewPositions the
// list takes the new order) and sorts `visibleList`; answers the dock's new thickness.
int ArrangeDockWindows(const TDockLayoutParams& params, std::vector<IDockClient*>& dockList,
                       std::vector<IDockClient*>& visibleList);

// The largest effective (or requested) row of the list; -1 when empty.
int HighestRow(const std::vector<IDockClient*>& dockList, bool effective);
// The thickest outer size across the visible windows of an effective row, and the full-size
// flag of the last of them; 0 for a negative row.
int CurrentRowSize(const std::vector<IDockClient*>& dockList, bool leftRight, int row,
                   bool& fullSize);
// The largest last row size of the visible windows in an effective row other than `exclude`.
int MinRowSize(const std::vector<IDockClient*>& dockList, int row, const IDockClient* exclude);
// The first row whose running thickness total passes `xy`, else the highest effective row + 1.
int RowOfCoordinate(const std::vector<IDockClient*>& dockList, bool leftRight, int xy);
void AdoptEffectivePositions(const std::vector<IDockClient*>& dockList);

}  // namespace tb
