// The main window's file list: its rows, sorting, selection and in-place name editor, and the
// keys the window previews for it.
#include "app/win32/main_form.h"

namespace app {

const files::TFileRow& TMainForm::RowOf(const ui::TListItem& item) {
  return *static_cast<const files::TFileRow*>(item.Data());
}

void TMainForm::WireFileList() {
  fileList_->OnEditing = [this](ui::TComponent*, ui::TListItem* item, bool& allowEdit) {
    allowEdit = fileList_->EditAllowed() && core_->CanRename(*RowOf(*item).Entry);
  };
  fileList_->OnEdited = [this](ui::TComponent*, ui::TListItem* item, std::wstring& text) {
    text = core_->Rename(*RowOf(*item).Entry, text);
  };
  fileList_->OnColumnClick = [this](ui::TComponent*, ui::TListColumn* column) {
    core_->ColumnClick(column->Index());
  };
  fileList_->OnDblClick = [this](ui::TComponent*) { core_->OpenSelectedRow(); };
  fileList_->OnDragOut = [this](ui::TComponent*) { DragOut(); };
  fileList_->OnDragOver = [this](skbar::TSkBarCustomDragObject& source, int x, int y,
                                 bool& accept) { FileListDragOver(source, x, y, accept); };
  fileList_->OnDragDrop = [this](skbar::TSkBarCustomDragObject& source, int x, int y) {
    FileListDragDrop(source, x, y);
  };
  // The name editor is a window of its own: its keys never reach this preview.
  OnKeyPress = [this](ui::TComponent*, wchar_t& key) {
    const KeyFocus focus = fileList_->Focused()        ? KeyFocus::FileList
                           : fileListBox_->Focused()   ? KeyFocus::ImageList
                           : folderListBox_->Focused() ? KeyFocus::FolderBrowser
                                                       : KeyFocus::Other;
    if (core_->KeyPress(key, focus)) key = 0;
  };
}

std::function<void()> TMainForm::ListCommand(std::function<void()> command) {
  return [this, command = std::move(command)] {
    if (!fileList_->IsEditing()) command();
  };
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
    return files::CompareRows(RowOf(a), RowOf(b), mode);
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
