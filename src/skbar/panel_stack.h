// The panels of a multi-dock as plain lengths along the stacking direction, and the rules that
// share the dock's length between them: resizing against a neighbour (ChangeDockedSize modes
// 0-4), fitting to the dock, minimising, maximising and restoring, edge hit codes, swapping and
// the dock's drop zone. The windows only apply the lengths this model decides.
//   Lengths are window lengths; MinLength is the shortest a docked panel may be: its caption
//   bar plus the docked frame, which is also the length a minimised panel shows.
//   Fitting to the dock's length starts each time from the wanted lengths (Wanted): those of
//   the last change that squeezed no panel down to its minimum. So a dock made so short that
//   its panels show only their captions, and long again, gives them back the lengths they had.
//   Sound rules where the plain reading fails: modes 0-2 refuse a change that would take a
//   neighbour below its minimum (and leave every length as it was); a panel alone in a stack
//   that runs left to right is not minimised here: its caption is across, not along, the stack,
//   so the window minimises it across the dock instead.
#pragma once

#include <vector>

#include "ui/align_layout.h"

namespace skbar {

enum class TPanelWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TSkBarDockPosition { dpxLeft, dpxTop, dpxRight, dpxBottom, dpxClient };

// Panels stack top to bottom in docks on the left, right or client area.
inline bool DockStacksVertically(TSkBarDockPosition p) {
  return p == TSkBarDockPosition::dpxLeft || p == TSkBarDockPosition::dpxRight ||
         p == TSkBarDockPosition::dpxClient;
}

// The rectangle in which a dragged panel docks: the dock's window rectangle, widened by 24
// pixels towards the inside when it is thinner than 4.
ui::TRect DockDropZone(const ui::TRect& dock, TSkBarDockPosition p);

// The edge hit codes of a docked panel's frame.
enum : int { htPanelLeft = 86, htPanelRight = 87, htPanelTop = 88, htPanelBottom = 89 };

struct TStackPanel {
  int Length = 0;
  int MinLength = 0;
  bool Sizable = true;  // its minimum and maximum sizes differ in both directions
  bool FixedDockedSize = false;
  bool TaskPaneStyleResize = false;
  TPanelWindowState State = TPanelWindowState::wsNormal;
  int RestoreSize = 0;
  int DockPos = -1;
  int Wanted = -1;  // the length it has while the dock has room for it; -1: not yet set
  // Shown again at its place in a dock without room for every wanted length: it keeps its
  // length while the others give way, until the dock has room for them all.
  bool Kept = false;
};

class TPanelStack {
 public:
  explicit TPanelStack(bool vertical = true) : Vertical(vertical) {}

  std::vector<TStackPanel> Panels;  // in the dock's order
  bool Vertical;                    // stacks top to bottom
  bool SideDock = true;             // the dock is on the left or right (not the client area)
  bool DesignTime = false;

  int Count() const { return static_cast<int>(Panels.size()); }
  TStackPanel& operator[](int i) { return Panels[static_cast<std::size_t>(i)]; }
  const TStackPanel& operator[](int i) const { return Panels[static_cast<std::size_t>(i)]; }

  bool Resizable(int i) const;
  // Mode 1 looks backwards from the panel first, then forwards; mode 4 forwards from the first
  // panel; modes 0, 2 and 3 forwards first, then backwards. -1 when none.
  int FindResizableNeighbour(int i, int mode) const;
  // Resizes panel i against its neighbour; false (nothing changed) when it cannot.
  //   0-2: panel i takes newSize, the neighbour the opposite change.
  //   3: an edge drag; the neighbour must follow the panel and keeps its minimum.
  //   4: panel i was just docked with length 0; the neighbour gives up newSize.
  bool ChangeDockedSize(int i, int newSize, int mode);
  // DockPos: 0, then the sum of the preceding lengths.
  void UpdateDockPos();
  // After the dock's length changed: from the wanted lengths, the last resizable panels take
  // up the difference, each down to its minimum; when none had to go down to it, the new
  // lengths become the wanted ones. Panel `keep` (one just shown or docked again at its place,
  // else a Kept one) keeps its length while the others can take the difference; the lengths
  // become the wanted ones only once the dock has room for every wanted length, and until then
  // the panel stays Kept. A lone panel fills the dock and keeps the length it wants with others.
  void FitToDock(int dockLength, int keep = -1);
  // DockPos renumbered, and the present lengths become the wanted ones (none is Kept).
  void SettleLengths();
  // Whether a DockPos differs from the sum of the lengths before it: set from outside (stored
  // settings, the form's description).
  bool DockPosMoved() const;
  // Each panel reaches the next one's DockPos (at least its minimum), the last takes up the rest
  // of the dock; the lengths become the wanted ones (a lone panel's fill does not).
  void LengthsFromDockPos(int dockLength);
  // Docks a panel (a negative DockPos appends it and takes `formerLength` from a neighbour;
  // an empty stack gives it `defaultDockedSize` when positive). Answers its index.
  int Dock(TStackPanel panel, int formerLength, int defaultDockedSize = 0);
  // The index a panel docked at `dockPos` takes: before a panel at the same position, which is
  // where a panel that left is when the ones after it moved up.
  int PlaceOf(int dockPos) const;
  // Puts a panel at index i, keeping the others' lengths; DockPos renumbered.
  void Insert(int i, TStackPanel panel);
  void Undock(int i);
  void Swap(int i, int j);

  bool Minimize(int i);
  bool Maximize(int i);
  bool Restore(int i);
  bool SizeToggle(int i, bool maximize);

  // The edge code under a point `along` the stack (0 = the panel's start), or 0: only edges
  // shared with another panel, within 2 pixels.
  int EdgeHitTest(int i, int along) const;
  // The panel an edge drag resizes: the previous one for the leading edge, else panel i.
  int EdgeDragTarget(int i, int hitCode) const { return IsLeadingEdge(hitCode) ? i - 1 : i; }

 private:
  static bool IsLeadingEdge(int hit) { return hit == htPanelLeft || hit == htPanelTop; }
  // Minimises or restores every panel but i: only in a dock on the left or right.
  bool ChangeOthersState(int i, bool restore);
};

}  // namespace skbar
