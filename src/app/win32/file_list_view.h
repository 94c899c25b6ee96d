// The main window's file list: a list view that also tells when a press on it becomes a drag of
// the selected rows out of the window.
#pragma once

#include "app/files/drag_start.h"
#include "ui/win32/list_view.h"

namespace app {

class TFileListView final : public ui::TListView {
 public:
  using ui::TListView::TListView;

  std::wstring_view ClassName() const override { return L"TFileListView"; }
  void WndProc(ui::TMessage& message) override;

  // A button was pressed on the list and moved far enough with rows selected. The handler runs
  // the modal drag loop; the move that started it is not passed on to the list view.
  ui::TNotifyEvent OnDragOut;

 private:
  files::TDragStartTracker dragStart_;
};

}  // namespace app
