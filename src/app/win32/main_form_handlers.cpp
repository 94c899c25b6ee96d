// The main window's event handlers, bound to its actions, menu items, controls and settings
// storage. Each one hands the event to the shell core.
#include "app/win32/about_form.h"
#include "app/win32/main_form.h"

namespace app {

namespace {

// Replaces the sub-items of `menu` with one new item per entry; the items belong to the menu.
template <class Entries, class Fill>
void Rebuild(menus::TItem& menu, const Entries& entries, Fill fill) {
  menu.Clear();
  for (const auto& entry : entries) {
    ui::Owned<menus::TCommandItem> item = ui::New<menus::TCommandItem>();
    fill(*item, entry);
    menu.Add(item.get());
    item.release();  // freed with the menu's next Clear or with the menu
  }
}

}  // namespace

void TMainForm::FormCreate(ui::TComponent*) {
  for (int panel = 0; panel < 3; ++panel) statusBar_->Panels(panel)->SetText(L"");
  RegisterDropTarget();
}

void TMainForm::FormShow(ui::TComponent*) {
  shellUi_.SetOwner(Handle());
  core_->Start(arguments_);
}

void TMainForm::FormCloseQuery(ui::TComponent*, bool& canClose) {
  canClose = core_->QuerySaveModified();
}

void TMainForm::FormDestroy(ui::TComponent*) {
  RevokeDropTarget();
}

void TMainForm::FormKeyPress(ui::TComponent*, wchar_t& key) {
  const KeyFocus focus = fileList_->Focused()        ? KeyFocus::FileList
                         : fileListBox_->Focused()   ? KeyFocus::ImageList
                         : folderListBox_->Focused() ? KeyFocus::FolderBrowser
                                                     : KeyFocus::Other;
  if (core_->KeyPress(key, focus)) key = 0;
}

void TMainForm::FormStorageRestorePlacement(ux::TFormPlacement&) {
  imageDialogs_.SyncSaveExtension();
  FitSideDocks();
  core_->RestoreSettings();
}

void TMainForm::FormStorageSavePlacement(ux::TFormPlacement&) {
  core_->SaveSettings();
}

void TMainForm::miFileOpenClick(ui::TComponent*) {
  core_->OpenWithDialog();
}

void TMainForm::miFileNewClick(ui::TComponent* sender) {
  core_->NewImage(sender ? sender->Tag() : 0);
}

void TMainForm::miFileExitClick(ui::TComponent*) {
  Close();
}

void TMainForm::acSaveDiskImageExecute(ui::TComponent*) {
  core_->Save();
}

void TMainForm::acSaveDiskImageAsExecute(ui::TComponent*) {
  core_->SaveAs();
}

void TMainForm::acExportToRemovableExecute(ui::TComponent*) {
  core_->ExportToRemovable();
}

void TMainForm::ChangeBootRecOptionClick(ui::TComponent* sender) {
  core_->ChangeBootOption(sender->Tag());
}

void TMainForm::ReplaceBootSector(ui::TComponent* sender) {
  core_->ReplaceBootSector(sender->Tag());
}

void TMainForm::ReplaceBootSectorCustom(ui::TComponent*) {}

void TMainForm::acFileCopyFullNameExecute(ui::TComponent*) {
  core_->CopyFullName();
}

void TMainForm::acFileOpenFolderExecute(ui::TComponent*) {
  core_->OpenFolder();
}

void TMainForm::acHelpAboutExecute(ui::TComponent*) {
  TAboutForm::Execute();
}

void TMainForm::FileListColumnClick(ui::TComponent*, ui::TListColumn* column) {
  core_->ColumnClick(column->Index());
}

int TMainForm::FileListCompare(const ui::TListItem& item1, const ui::TListItem& item2,
                               std::int32_t sortMode) {
  return files::CompareRows(RowOf(item1), RowOf(item2), sortMode);
}

void TMainForm::FileListDblClick(ui::TComponent*) {
  core_->OpenSelectedRow();
}

void TMainForm::FileListEditing(ui::TComponent*, ui::TListItem* item, bool& allowEdit) {
  allowEdit = fileList_->EditAllowed() && core_->CanRename(*RowOf(*item).Entry);
}

void TMainForm::FileListEdited(ui::TComponent*, ui::TListItem* item, std::wstring& text) {
  text = core_->Rename(*RowOf(*item).Entry, text);
}

// The commands on the list's rows run only while no name is being edited, so that their keys
// stay with the editor.
void TMainForm::acSelectAllExecute(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->SelectAll();
}

void TMainForm::acAddFilesExecute(ui::TComponent*) {
  core_->AddFiles();
}

void TMainForm::acDeleteFilesExecute(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->DeleteFiles();
}

void TMainForm::miExtractFileClick(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->ExtractFiles();
}

void TMainForm::acRenameFileExecute(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->StartRename();
}

void TMainForm::acChangeDirExecute(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->ChangeDir();
}

void TMainForm::acMakeDirExecute(ui::TComponent*) {
  if (!fileList_->IsEditing()) core_->MakeDir();
}

void TMainForm::ClickViewFileContents(ui::TComponent* sender) {
  if (!fileList_->IsEditing()) core_->ViewFile(static_cast<TViewerMode>(sender->Tag()));
}

void TMainForm::acViewFileExecute(ui::TComponent* sender) {
  ClickViewFileContents(sender);
}

void TMainForm::FileListBoxDblClick(ui::TComponent*) {
  const std::wstring fileName = fileListBox_->FileName();
  if (!fileName.empty()) core_->OpenDiskImage(fileName);
}

void TMainForm::MRUListClick(tb::TTBMRUList&, const std::wstring& fileName) {
  core_->OpenRecentFile(fileName);
}

void TMainForm::MRUListFoldersClick(tb::TTBMRUList&, const std::wstring& folder) {
  core_->OpenRecentFolder(folder);
}

void TMainForm::miGotoImageDirClick(ui::TComponent*) {
  core_->GoToImageFolder();
}

void TMainForm::miOptionsPopup(tb::TTBCustomItem*, bool) {
  CheckPanelItems();
}

void TMainForm::miShowBrowserClick(ui::TComponent*) {
  TogglePanel(*folderBrowserPanel_);
}

void TMainForm::miShowImageListClick(ui::TComponent*) {
  TogglePanel(*fileListPanel_);
}

void TMainForm::miRemovableDrivePopup(tb::TTBCustomItem* sender, bool) {
  Rebuild(*sender, core_->RemovableDrives(), [this](menus::TItem& item, const auto& drive) {
    item.SetCaption(drive.root);
    item.SetTag(drive.driveBit);
    item.SetChecked(drive.checked);
    item.SetOnClick(Handler(&TMainForm::SetRemovableDriveItem));
  });
}

void TMainForm::SetRemovableDriveItem(ui::TComponent* sender) {
  core_->SetRemovableDrive(sender->Tag());
}

void TMainForm::miChangeDrivePopup(tb::TTBCustomItem* sender, bool) {
  Rebuild(*sender, core_->Drives(), [this](menus::TItem& item, const DriveItem& drive) {
    item.SetCaption(drive.caption);
    item.SetTag(drive.driveBit);
    item.SetOnClick(Handler(&TMainForm::SetBrowserDriveItem));
  });
}

void TMainForm::SetBrowserDriveItem(ui::TComponent* sender) {
  core_->SetBrowserDrive(sender->Tag());
}

}  // namespace app
