// The main window's file list: its rows, sorting, selection and in-place name editor, and the
// keys the window previews for it.
#include "app/win32/main_form.h"

namespace app {

const files::TFileRow& TMainForm::RowOf(const ui::TListItem& item) {
  return *static_cast<const files::TFileRow*>(item.Data());
}

void TMainForm::WireFileList() {
  fileList_->OnEditing = [this](ui::TComponent* sender, ui::TListItem* item, bool& allowEdit) {
    FileListEditing(sender, item, allowEdit);
  };
  fileList_->OnEdited = [this](ui::TComponent* sender, ui::TListItem* item, std::wstring& text) {
    FileListEdited(sender, item, text);
  };
  fileList_->OnColumnClick = [this](ui::TComponent* sender, ui::TListColumn* column) {
    FileListColumnClick(sender, column);
  };
  fileList_->OnDblClick = Handler(&TMainForm::FileListDblClick);
  fileList_->OnDragOut = [this](ui::TComponent*) { DragOut(); };
  fileList_->OnDragOver = [this](skbar::TSkBarCustomDragObject& source, int x, int y,
                                 bool& accept) { FileListDragOver(source, x, y, accept); };
  fileList_->OnDragDrop = [this](skbar::TSkBarCustomDragObject& source, int x, int y) {
    FileListDragDrop(source, x, y);
  };
  // The name editor is a window of its own: its keys never reach this preview.
  OnKeyPress = [this](ui::TComponent* sender, wchar_t& key) { FormKeyPress(sender, key); };
}

void TMainForm::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case kRefreshMessage:
      core_->RefreshFileList();
      return;
    case kOpenImageMessage:
      OpenPendingImage();
      return;
    case WM_TIMER:
      if (message.WParam != kDragTimer) break;
      // Once: a timer that went on would start a drag at every tick.
      KillTimer(Handle(), kDragTimer);
      FileListStartDrag();
      return;
    case WM_SETFOCUS: {
      // The window itself never keeps the focus, so the keyboard always reaches a control: the
      // one that had it last, the file list at first.
      ui::TForm::WndProc(message);
      ui::TWinControl* control = ActiveControl() ? ActiveControl() : fileList_;
      if (control->CanFocus()) control->SetFocus();
      return;
    }
    case WM_DESTROY:
      // Before the list's window goes.
      RevokeDropTarget();
      break;
    default:
      break;
  }
  ui::TForm::WndProc(message);
}

void TMainForm::SetRows(std::vector<files::TFileRow> rows, int focusIndex) {
  ui::TListItems& items = fileList_->Items();
  items.BeginUpdate();
  items.Clear();
  rows_ = std::move(rows);
  for (files::TFileRow& row : rows_) {
    ui::TListItem* item = items.Add();
    item->SetCaption(row.Name);
    item->SubItems().Assign({row.Ext, row.Size, row.DateTime, row.Attrs});
    item->SetData(&row);
  }
  items.EndUpdate();
  fileList_->CancelPendingEdit();
  if (focusIndex >= 0 && focusIndex < items.Count()) {
    ui::TListItem* item = items.Item(focusIndex);
    fileList_->SetItemIndex(focusIndex);
    item->SetFocused(true);
    item->MakeVisible();
  }
}

void TMainForm::SortRows(std::int32_t mode) {
  fileList_->CustomSort([mode](const ui::TListItem& a, const ui::TListItem& b) {
    return FileListCompare(a, b, mode);
  });
}

std::vector<disk::PDirEntry> TMainForm::SelectedEntries() {
  std::vector<disk::PDirEntry> entries;
  const ui::TListItems& items = fileList_->Items();
  for (const ui::TListItem* item = items.FirstSelected(); item; item = items.NextSelected(item))
    entries.push_back(RowOf(*item).Entry);
  return entries;
}

int TMainForm::ItemIndex() {
  return fileList_->ItemIndex();
}

void TMainForm::SelectAll() {
  fileList_->SelectAll();
}

void TMainForm::EditRow(int index) {
  ui::TListItems& items = fileList_->Items();
  if (index < 0 || index >= items.Count()) return;
  fileList_->ClearSelection();
  ui::TListItem* item = items.Item(index);
  item->SetSelected(true);
  item->SetFocused(true);
  item->MakeVisible();
  fileList_->EditRow(*item);
}

void TMainForm::RefreshLater() {
  PostMessageW(Handle(), kRefreshMessage, 0, 0);
}

}  // namespace app
