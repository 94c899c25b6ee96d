#include "app/win32/main_form.h"

#include "ui/shortcut.h"

namespace app {

TMainForm::TMainForm(ui::TComponent* owner, std::vector<std::wstring> arguments)
    : ui::TForm(owner),
      arguments_(std::move(arguments)),
      viewers_(std::make_unique<TFileViewers>(kSettingsKey)),
      dates_(LocaleDateTimeFormat()) {}

void TMainForm::AfterConstruction() {
  ui::TForm::AfterConstruction();
  SetName(L"MainForm");
  SetCaption(L"Quollbox");
  Font().SetName(L"Tahoma");
  Font().SetHeight(-11);
  SetKeyPreview(true);
  SetClientSize(888, 621);
  BuildControls();
  BuildPanels();
  SetActiveControl(fileList_);
  BuildDialogs();
  mruList_ = ui::Create<tb::TTBMRUList>(*this);
  mruList_->SetName(L"MRUList");
  mruList_->SetMaxItems(20);
  mruListFolders_ = ui::Create<tb::TTBMRUList>(*this);
  mruListFolders_->SetName(L"MRUListFolders");
  mruListFolders_->SetPrefix(L"MRUDir");
  mruListFolders_->SetMaxItems(12);
  mruListFolders_->SetHidePathExtension(false);
  BuildStorage();

  ShellPorts ports{.view = *this,
                   .ui = shellUi_,
                   .dialogs = imageDialogs_,
                   .fs = hostFs_,
                   .settings = *settings_,
                   .drives = drives_,
                   .viewer = *viewers_,
                   .dates = dates_,
                   .recentFiles = *mruList_,
                   .recentFolders = *mruListFolders_};
  core_ = std::make_unique<ShellCore>(ports);
  mruList_->OnClick = [this](tb::TTBMRUList& sender, const std::wstring& fileName) {
    MRUListClick(sender, fileName);
  };
  mruListFolders_->OnClick = [this](tb::TTBMRUList& sender, const std::wstring& folder) {
    MRUListFoldersClick(sender, folder);
  };
  BuildActions();
  BuildMenus();
  WireFileList();

  OnCreate = Handler(&TMainForm::FormCreate);
  OnDestroy = Handler(&TMainForm::FormDestroy);
  OnShow = Handler(&TMainForm::FormShow);
  OnCloseQuery = [this](ui::TComponent* sender, bool& canClose) {
    FormCloseQuery(sender, canClose);
  };
}

ui::TNotifyEvent TMainForm::Handler(void (TMainForm::*method)(ui::TComponent*)) {
  return [this, method](ui::TComponent* sender) { (this->*method)(sender); };
}

TMainForm::~TMainForm() {
  RevokeDropTarget();
}

void TMainForm::BuildControls() {
  fileList_ = ui::Create<TFileListView>(*this);
  fileList_->SetName(L"FileList");
  fileList_->SetParent(this);
  fileList_->SetAlign(ui::TAlign::alClient);
  fileList_->SetBorderVisible(false);
  fileList_->SetMultiSelect(true);
  fileList_->SetRowSelect(true);
  const struct {
    const wchar_t* caption;
    int width;
    ui::TAlignment alignment;
  } kColumns[] = {{L"Name", 100, ui::TAlignment::taLeftJustify},
                  {L"Ext", 50, ui::TAlignment::taLeftJustify},
                  {L"Size", 70, ui::TAlignment::taRightJustify},
                  {L"DateTime", 120, ui::TAlignment::taLeftJustify},
                  {L"Attrs", 70, ui::TAlignment::taLeftJustify}};
  for (const auto& column : kColumns) {
    ui::TListColumn* added = fileList_->AddColumn();
    added->SetCaption(column.caption);
    added->SetWidth(column.width);
    added->SetAlignment(column.alignment);
  }

  statusBar_ = ui::Create<ui::TStatusBar>(*this);
  statusBar_->SetName(L"StatusBar");
  statusBar_->SetParent(this);
  const int kWidths[] = {50, 160, 180, 120, 50};
  for (int panel = 0; panel < 5; ++panel) {
    ui::TStatusPanel* added = statusBar_->AddPanel();
    added->SetWidth(kWidths[panel]);
    if (panel < 4) added->SetAlignment(ui::TAlignment::taCenter);
  }
}

void TMainForm::BuildDialogs() {
  ImageDialogComponents& c = imageDialogs_.Components();
  c.newOpen = ui::Create<ui::TFileOpenDialog>(*this);
  c.newOpen->SetName(L"NewFileOpenDialog");
  c.oldOpen = ui::Create<ui::TOpenDialog>(*this);
  c.oldOpen->SetName(L"OldFileOpenDialog");
  c.newSave = ui::Create<ui::TFileSaveDialog>(*this);
  c.newSave->SetName(L"NewFileSaveDialog");
  c.oldSave = ui::Create<ui::TSaveDialog>(*this);
  c.oldSave->SetName(L"OldFileSaveDialog");
  c.newAddFiles = ui::Create<ui::TFileOpenDialog>(*this);
  c.newAddFiles->SetName(L"NewAddFilesDialog");
  c.oldAddFiles = ui::Create<ui::TOpenDialog>(*this);
  c.oldAddFiles->SetName(L"OldAddFilesDialog");
  c.newSelectFolder = ui::Create<ui::TFileOpenDialog>(*this);
  c.newSelectFolder->SetName(L"NewSelectFolderDialog");
  imageDialogs_.Setup();
}

void TMainForm::BuildStorage() {
  formStorage_ = ui::Create<ux::TFormStorage>(*this);
  formStorage_->SetName(L"FormStorage");
  formStorage_->SetIniFileName(kSettingsKey);
  formStorage_->SetOptions({ux::TPlacementOption::fpPosition});
  formStorage_->StoredProps().Assign(
      {L"MRUList.Items", L"NewFileOpenDialog.FileTypeIndex", L"NewFileSaveDialog.FileTypeIndex",
       L"FileListPanel.CurrentDock", L"FileListPanel.DockPos", L"FolderBrowserPanel.CurrentDock",
       L"FolderBrowserPanel.DockPos", L"RightMultiDock.Width", L"LeftMultiDock.Width",
       L"MRUListFolders.Items"});
  formStorage_->OnRestorePlacement = [this](ux::TFormPlacement& sender) {
    FormStorageRestorePlacement(sender);
  };
  formStorage_->OnSavePlacement = [this](ux::TFormPlacement& sender) {
    FormStorageSavePlacement(sender);
  };
  settings_ = std::make_unique<FormStorageSettings>(*formStorage_);
}

ui::TAction* TMainForm::AddAction(const wchar_t* name, const wchar_t* caption,
                                  const wchar_t* shortcut, ui::TNotifyEvent execute) {
  auto* action = ui::Create<ui::TAction>(*this);
  action->SetName(name);
  action->SetCaption(caption);
  if (*shortcut) action->SetShortCut(ui::TextToShortCut(shortcut));
  action->SetActionList(actionList_);
  action->OnExecute = std::move(execute);
  return action;
}

void TMainForm::BuildActions() {
  actionList_ = ui::Create<ui::TActionList>(*this);
  actionList_->SetName(L"ActionList");
  using Method = void (TMainForm::*)(ui::TComponent*);
  const struct {
    const wchar_t* name;
    const wchar_t* caption;
    const wchar_t* shortcut;
    Method execute;
  } kActions[] = {
      {L"acSelectAll", L"Select All", L"Ctrl+A", &TMainForm::acSelectAllExecute},
      {L"acAddFiles", L"&Add File(s)...", L"", &TMainForm::acAddFilesExecute},
      {L"acDeleteFiles", L"&Delete File(s)", L"F8", &TMainForm::acDeleteFilesExecute},
      {L"acNewDiskImage", L"&New Disk Image", L"", &TMainForm::miFileNewClick},
      {L"acSaveDiskImage", L"&Save Disk Image", L"Ctrl+S", &TMainForm::acSaveDiskImageExecute},
      {L"acSaveDiskImageAs", L"Save Disk Image &As...", L"", &TMainForm::acSaveDiskImageAsExecute},
      {L"acOpenDiskImage", L"&Open Disk Image...", L"Ctrl+O", &TMainForm::miFileOpenClick},
      {L"acExtractFiles", L"E&xtract File(s)...", L"", &TMainForm::miExtractFileClick},
      {L"acRenameFile", L"&Rename", L"F2", &TMainForm::acRenameFileExecute},
      {L"acChangeDir", L"&Change Directory", L"", &TMainForm::acChangeDirExecute},
      {L"acFileOpenFolder", L"Open Disk Image &Folder", L"", &TMainForm::acFileOpenFolderExecute},
      {L"acFileCopyFullName", L"&Copy Disk Image File Name", L"",
       &TMainForm::acFileCopyFullNameExecute},
      {L"acHelpAbout", L"&About", L"", &TMainForm::acHelpAboutExecute},
      {L"acMakeDir", L"Make &Dir", L"F7", &TMainForm::acMakeDirExecute},
      {L"acExportToRemovable", L"E&xport To Removable", L"Ctrl+E",
       &TMainForm::acExportToRemovableExecute},
      {L"acViewFile", L"&View File", L"Alt+V", &TMainForm::acViewFileExecute},
  };
  for (const auto& action : kActions)
    AddAction(action.name, action.caption, action.shortcut, Handler(action.execute));
}

ui::TAction* TMainForm::FindAction(std::wstring_view name) const {
  return dynamic_cast<ui::TAction*>(FindComponent(name));
}

void TMainForm::SetPanelText(int panel, const std::wstring& text) {
  statusBar_->Panels(panel)->SetText(text);
}

void TMainForm::CheckBootOption(int option) {
  menus::TItem* const boots[] = {items_.bootEmpty, items_.bootDos1, items_.bootDos2};
  for (int tag = 0; tag < 3; ++tag) boots[tag]->SetChecked(tag == option);
}

}  // namespace app
