// The main window's file list: a list view that also tells when a press on it becomes a drag of
// the selected rows out of the window, and that keeps a click's delayed name editor from opening
// on another row: a click on a selected row opens the editor a moment later on the row at the
// clicked position, which after a refill (a delete, say) is another entry.
#pragma once

#include <functional>

#include "app/files/drag_start.h"
#include "skbar/win32/sk_drag.h"
#include "ui/win32/list_view.h"

namespace app {

class TFileListView final : public ui::TListView, public skbar::TSkBarDragClient {
 public:
  using ui::TListView::TListView;

  std::wstring_view ClassName() const override { return L"TFileListView"; }
  void WndProc(ui::TMessage& message) override;

  // A button was pressed on the list and moved far enough with rows selected. The handler runs
  // the modal drag loop; the move that started it is not passed on to the list view.
  ui::TNotifyEvent OnDragOut;

  // The class library's own drags (a skinned item being moved) over the list, in list client
  // coordinates: the handlers decide; without one a drag is refused and a drop does nothing.
  std::function<void(skbar::TSkBarCustomDragObject& source, int x, int y, bool& accept)> OnDragOver;
  std::function<void(skbar::TSkBarCustomDragObject& source, int x, int y)> OnDragDrop;
  void DragOver(skbar::TSkBarCustomDragObject& source, int x, int y, bool& accept) override;
  void DragDrop(skbar::TSkBarCustomDragObject& source, int x, int y) override;

  // The rows were replaced: an editor a click left pending does not open.
  void CancelPendingEdit() { pendingEditCancelled_ = true; }
  // Opens the row's name editor now, whatever was pending.
  void EditRow(ui::TListItem& item);
  // Whether a name editor that is about to open may: one the program opens, or one a click left
  // pending that no refill cancelled.
  bool EditAllowed() const { return editingRow_ || !pendingEditCancelled_; }

 private:
  // A button went down or up on the list.
  void FileListMouseDown(int x, int y);
  void FileListMouseUp();
  // The pointer moved; true when a drag out started (and ran) from this move.
  bool FileListMouseMove(int x, int y, bool buttonHeld);

  files::TDragStartTracker dragStart_;
  bool pendingEditCancelled_ = false;
  bool editingRow_ = false;
};

}  // namespace app
