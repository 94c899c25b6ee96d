// Dragging skinned items.
//   The application cursors 100 (the system's hand), 101 ("CZMOVE": an item being moved) and
//   102 ("CZCANCEL"), put into the screen's cursor table by SkLoadItemCursors.
//   TSkBarCustomDragObject: what a drag carries, its source control and the two cursors it
//   shows (101 while the target accepts, the no-entry cursor otherwise); when the drag ends the
//   source hears of the end and an accepting target gets the drop. TSkBarItemDragObject also
//   carries the dragged item.
//   TSkBarDragClient: what a control does as a drag source or target.
//   SkDragObject: runs a drag with the mouse captured until the button goes up (a drop where a
//   target accepts), Escape, another press or lost capture (no drop).
#pragma once

#include <windows.h>

#include "tb/item.h"
#include "ui/win32/forms.h"

namespace skbar {

constexpr ui::TCursor crSkBarHand = 100, crSkBarMove = 101, crSkBarCancel = 102;

void SkLoadItemCursors();

class TSkBarCustomDragObject;

class TSkBarDragClient {
 public:
  virtual ~TSkBarDragClient() = default;
  // As a target: whether a drop at (x, y) (client coordinates) would be taken.
  virtual void DragOver(TSkBarCustomDragObject& /*source*/, int /*x*/, int /*y*/, bool& accept) {
    accept = false;
  }
  virtual void DragDrop(TSkBarCustomDragObject& /*source*/, int /*x*/, int /*y*/) {}
  // As the source: the drag ended over `target` (null: none, or cancelled).
  virtual void EndDrag(ui::TControl* /*target*/, int /*x*/, int /*y*/) {}
};

class TSkBarCustomDragObject {
 public:
  explicit TSkBarCustomDragObject(ui::TControl* source);
  virtual ~TSkBarCustomDragObject() = default;
  ui::TControl* Source() const { return source_; }
  ui::TCursor GetDragCursor(bool accepted) const { return accepted ? dragCursor_ : noCursor_; }
  // The source's end of drag, then (when accepted) the target's drop.
  virtual void Finished(ui::TControl* target, int x, int y, bool accepted);

 private:
  ui::TControl* source_;
  ui::TCursor dragCursor_ = crSkBarMove;
  ui::TCursor noCursor_ = ui::crNo;
};

class TSkBarItemDragObject : public TSkBarCustomDragObject {
 public:
  TSkBarItemDragObject(ui::TControl* source, tb::TTBCustomItem* item)
      : TSkBarCustomDragObject(source), item_(item) {}
  tb::TTBCustomItem* Item() const { return item_; }

 private:
  tb::TTBCustomItem* item_;
};

// The next message of a loop that holds the mouse captured by `wnd`: false when the capture is
// lost or the queue ends (a WM_QUIT is posted again).
bool SkNextCapturedMessage(HWND wnd, MSG& msg);

// Needs the source's window. Answers whether the object was dropped.
bool SkDragObject(TSkBarCustomDragObject& object);

}  // namespace skbar
