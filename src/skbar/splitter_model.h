// A splitter bar's decisions without a window: which sibling it resizes, how far a drag may go,
// the grip's place, and the drag, collapse and restore bookkeeping.
//   ISplitControl: the resized control seen along the splitter's axis (width for a splitter
//   aligned left or right, height for one aligned top or bottom).
//   TSplitterModel: the published settings (MinSize, GripSize, AutoCalcMaxSize, ResizeStyle),
//   FRestorePos and a drag from button down to button up or Escape. The window draws the
//   line at LineOffset() while a line style drags and repaints the grip when GripHot changes.
// A drag that ends collapsed from an open size remembers that size, so the grip's restore gives
// it back even when MinSize keeps the drag above 0; a control that is already collapsed keeps
// the size remembered before it collapsed.
#pragma once

#include <functional>
#include <vector>

#include "ui/align_layout.h"

namespace skbar {

using ui::TAlign;
using ui::TRect;

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

// Widths are resized for splitters aligned left or right (and any other alignment but top or
// bottom).
inline bool SplitterIsVertical(TAlign align) {
  return align != TAlign::alTop && align != TAlign::alBottom;
}

// A sibling the splitter may resize. `excluded`: splitters, status bars, plain containers and
// framework docks other than multi-docks; `emptyMultiDock`: a multi-dock holding no panel.
struct TSplitCandidate {
  TRect bounds;
  TAlign align = TAlign::alNone;
  bool visible = true;
  bool excluded = false;
  bool emptyMultiDock = false;
};

// The sibling a splitter with `bounds` and `align` resizes: among visible, not excluded siblings
// of the same alignment, the one whose edge touches the splitter, else the first containing the
// point one pixel outside the splitter on its aligned side; -1 when none (or an empty
// multi-dock).
int FindSplitControl(const TRect& splitter, TAlign align,
                     const std::vector<TSplitCandidate>& siblings);

// The largest size a drag may give: the parent's client length less MinSize, the splitter's own
// length and the lengths of every visible sibling aligned across the same axis (the control
// included), plus the control's own length.
int SplitMaxSize(int clientLength, int minSize, int splitterLength, int alignedLengthsSum,
                 int controlLength);

// The grip: GripSize long, centred along the splitter, as thick as it; empty without a grip.
TRect SplitterGripRect(const TRect& client, bool vertical, int gripSize);
// The part of the grip that is drawn: shrunk by 1 across and 10 along.
TRect SplitterGripDrawRect(const TRect& grip, bool vertical);

class ISplitControl {
 public:
  virtual ~ISplitControl() = default;
  virtual int SplitSize() const = 0;      // width or height along the splitter's axis
  virtual int MinConstraint() const = 0;  // its minimum width or height constraint (0 = none)
  virtual void SetSplitSize(int size) = 0;
};

class TSplitterModel {
 public:
  explicit TSplitterModel(TAlign align = TAlign::alLeft) : FAlign(align) {}

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align) { FAlign = align; }
  bool IsVertical() const { return SplitterIsVertical(FAlign); }

  int GripSize() const { return FGripSize; }
  void SetGripSize(int value) { FGripSize = value < 0 ? 0 : value; }
  int MinSize() const { return FMinSize; }
  void SetMinSize(int value) {
    if (value >= 0) FMinSize = value;
  }
  bool AutoCalcMaxSize = true;
  TResizeStyle ResizeStyle = TResizeStyle::rsUpdate;
  int RestorePos() const { return FRestorePos; }

  // OnMoving(newSize, accept): may change the size or refuse it (accept starts true).
  std::function<void(int& newSize, bool& accept)> OnMoving;
  std::function<void()> OnMoved;

  bool IsCollapsed(const ISplitControl& control) const;
  void ChangeSplitControlSize(ISplitControl& control, int newSize);
  void Minimize(ISplitControl& control) { ChangeSplitControlSize(control, 0); }
  void Restore(ISplitControl& control);
  void Toggle(ISplitControl& control);

  // A drag: `pos` is the cursor along the axis in any fixed coordinates, `maxSize` from
  // SplitMaxSize (used with AutoCalcMaxSize).
  void MouseDown(ISplitControl& control, int pos, bool inGrip, int maxSize);
  void MouseMove(int pos);
  void MouseUp(bool inGrip);
  void Cancel();  // Escape: ends the drag, keeping what rsUpdate already resized
  bool Dragging() const { return FControl != nullptr; }
  bool GripPressed() const { return FGripPressed; }
  // The line's offset from the splitter while a line style drags (valid while LineVisible()).
  int LineOffset() const { return FSplit; }
  bool LineVisible() const { return FLineVisible; }

  // Hot tracking of the grip without a drag; answers whether the grip must be repainted.
  bool SetGripHot(bool hot);
  bool GripHot() const { return FGripHot; }

 private:
  bool FireMoving(int& newSize);
  void ComputeSplit(int pos);
  void ResizeControl(ISplitControl& control, int size);
  void EndDrag();
  bool LineStyle() const {
    return ResizeStyle == TResizeStyle::rsLine || ResizeStyle == TResizeStyle::rsPattern;
  }

  TAlign FAlign;
  int FGripSize = 50;
  int FMinSize = 0;
  int FRestorePos = 60;
  ISplitControl* FControl = nullptr;
  int FDownPos = 0;
  int FStartSize = 0;  // the control's size when the button went down
  int FSplit = 0;
  int FNewSize = 0;
  int FOldSize = -1;
  int FMaxSize = 0;
  bool FMoved = false;
  bool FLineVisible = false;
  bool FGripPressed = false;
  bool FGripHot = false;
};

}  // namespace skbar
