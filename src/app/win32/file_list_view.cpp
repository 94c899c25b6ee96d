#include "app/win32/file_list_view.h"

#include <windowsx.h>

namespace app {

void TFileListView::WndProc(ui::TMessage& message) {
  const int x = GET_X_LPARAM(message.LParam);
  const int y = GET_Y_LPARAM(message.LParam);
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      pendingEditCancelled_ = false;  // this click may leave an editor pending
      FileListMouseDown(x, y);
      break;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      FileListMouseDown(x, y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      FileListMouseUp();
      break;
    case WM_MOUSEMOVE:
      // The list view's own drag detection may swallow a release: the buttons of the move
      // itself tell whether the press still holds.
      if (FileListMouseMove(x, y, (message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0))
        return;
      break;
    default:
      break;
  }
  ui::TListView::WndProc(message);
}

void TFileListView::FileListMouseDown(int x, int y) {
  dragStart_.Press(x, y);
}

void TFileListView::FileListMouseUp() {
  dragStart_.Release();
}

bool TFileListView::FileListMouseMove(int x, int y, bool buttonHeld) {
  if (!dragStart_.Move(x, y, buttonHeld, SelCount() > 0) || !OnDragOut) return false;
  OnDragOut(this);
  return true;
}

void TFileListView::DragOver(skbar::TSkBarCustomDragObject& source, int x, int y, bool& accept) {
  accept = false;
  if (OnDragOver) OnDragOver(source, x, y, accept);
}

void TFileListView::DragDrop(skbar::TSkBarCustomDragObject& source, int x, int y) {
  if (OnDragDrop) OnDragDrop(source, x, y);
}

void TFileListView::EditRow(ui::TListItem& item) {
  editingRow_ = true;
  item.EditCaption();
  editingRow_ = false;
}

}  // namespace app
