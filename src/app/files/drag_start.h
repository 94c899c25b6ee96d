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
    pressed_ = true;
    x_ = x;
    y_ = y;
  }
  void Release() { pressed_ = false; }
  bool Pressed() const { return pressed_; }

  // The pointer moved to (x, y). True when the drag starts now; the press is used up then. A move
  // with no button held (its release went elsewhere) or with no row selected ends the press.
  bool Move(int x, int y, bool buttonHeld, bool hasSelection) {
    if (!pressed_) return false;
    if (!buttonHeld || !hasSelection) {
      pressed_ = false;
      return false;
    }
    if (std::abs(x - x_) < kDragDistance && std::abs(y - y_) < kDragDistance) return false;
    pressed_ = false;
    return true;
  }

 private:
  bool pressed_ = false;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace app::files
