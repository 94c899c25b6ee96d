// When a press on the file list becomes a drag out: the pointer has moved 6 pixels or more on
// either axis since the press, a button is still held and rows are selected.
#pragma once

#include <cstdlib>

namespace app::files {

class TDragStartTracker {
 public:
  static constexpr int kDragDistance = 6;

  // A button went down at (x, y).
  void Press(int x, int y) {
    FIsMouseDown = true;
    FMousePos = {x, y};
  }
  void Release() { FIsMouseDown = false; }
  bool Pressed() const { return FIsMouseDown; }

  // The pointer moved to (x, y). True when the drag starts now; the press is used up then. A move
  // with no button held (its release went elsewhere) or with no row selected ends the press.
  bool Move(int x, int y, bool buttonHeld, bool hasSelection) {
    if (!FIsMouseDown) return false;
    if (!buttonHeld || !hasSelection) {
      FIsMouseDown = false;
      return false;
    }
    if (std::abs(FMousePos.X - x) < kDragDistance && std::abs(FMousePos.Y - y) < kDragDistance)
      return false;
    FIsMouseDown = false;
    return true;
  }

 private:
  struct TPoint {
    int X = 0;
    int Y = 0;
  };
  bool FIsMouseDown = false;
  TPoint FMousePos;  // where the button went down
};

}  // namespace app::files
