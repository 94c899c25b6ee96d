// The main window: the file list, the status bar's five panels, the actions, the menus, the
// image dialogs and the settings storage, wired to the shell's decisions (ShellCore). The window
// code only marshals: every handler calls one core method. The file list is a drop target from
// the window's creation until its window goes, and a drag source of the selected rows.
//
// Start-up order: the settings storage restores placement, listed properties and the window's
// own values before OnShow, which then opens the command line's image or makes the first one.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/dragdrop/win32/drop_target.h"
#include "app/shell_core.h"
#include "app/win32/file_dialogs.h"
#include "app/win32/file_list_view.h"
#include "app/win32/menu_kinds.h"
#include "app/win32/shell_services.h"
#include "app/win32/win32_host_fs.h"
#include "skbar/win32/dk_panels.h"
#include "tb/mru.h"
#include "ui/actions.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/file_list_box.h"
#include "ui/win32/forms.h"
#include "ui/win32/list_view.h"
#include "ui/win32/status_bar.h"
#include "ux/form_storage.h"

namespace app {

inline const std::wstring kSettingsKey = L"Software\\Kelpfin\\Quollbox";

// The menu items that handlers reach by role.
struct MainMenuItems {
  menus::TItem* newSingle = nullptr;
  menus::TItem* newDouble = nullptr;
  menus::TItem* bootEmpty = nullptr;
  menus::TItem* bootDos1 = nullptr;
  menus::TItem* bootDos2 = nullptr;
  menus::TItem* recentFiles = nullptr;
  menus::TItem* removableDrives = nullptr;
  menus::TItem* recentFolders = nullptr;
  menus::TItem* replaceBoot[3] = {};
  menus::TItem* viewAs[5] = {};       // "&Auto" .. "&Z80 Disasm" in the Disk menu
  menus::TItem* popupViewAs[5] = {};  // the same in the list's popup menu
  menus::TItem* exit = nullptr;
  menus::TItem* showBrowser = nullptr;
  menus::TItem* showImageList = nullptr;
  // The items of the commands that change the image, in the Disk menu and the list's popup.
  std::vector<menus::TItem*> changing;
};

class TMainForm : public ui::TForm, private IShellView, private dragdrop::IDropHandler {
 public:
  // `arguments`: the command line's arguments after the program name.
  TMainForm(ui::TComponent* owner, std::vector<std::wstring> arguments);
  ~TMainForm() override;

  std::wstring_view ClassName() const override { return L"TMainForm"; }
  // Builds the controls, menus and the shell core (no virtual call of the form's own runs in
  // its constructor).
  void AfterConstruction() override;

  void WndProc(ui::TMessage& message) override;

  // The list's handlers of the class library's own drag events; the shell's drags in and out go
  // through the drop target and the press that moves on the list. A start runs the modal drag of
  // the selected rows with copy and move allowed (the list itself never starts one); such a drag
  // over the list is refused, and a drop there does nothing.
  void FileListStartDrag();
  void FileListDragOver(skbar::TSkBarCustomDragObject& source, int x, int y, bool& accept);
  void FileListDragDrop(skbar::TSkBarCustomDragObject& source, int x, int y);
  // A tick of this timer runs FileListStartDrag (the program starts no such timer).
  static constexpr UINT_PTR kDragTimer = 333;

 private:
  // The message that refills the file list once the current message is handled.
  static constexpr UINT kRefreshMessage = WM_APP + 1;
  // The message that opens the image a drop left to open.
  static constexpr UINT kOpenImageMessage = WM_APP + 2;

  // IShellView
  void SetCaption(const std::wstring& caption) override { ui::TForm::SetCaption(caption); }
  void SetPanelText(int panel, const std::wstring& text) override;
  void SetRows(std::vector<files::TFileRow> rows, int focusIndex) override;
  void SortRows(std::int32_t mode) override;
  std::vector<disk::PDirEntry> SelectedEntries() override;
  int ItemIndex() override;
  void SelectAll() override;
  void EditRow(int index) override;
  void RefreshLater() override;
  void CheckBootOption(int option) override;
  void OpenImageLater(const std::filesystem::path& fileName) override;
  void ShowFolder(const std::filesystem::path& folder) override;
  void ImageFileWritten(const std::filesystem::path& fileName) override;
  std::filesystem::path BrowserFolder() override;
  std::filesystem::path SelectedImageFile() override;
  void OpenSelectedFolder() override;

  // dragdrop::IDropHandler
  bool CanAcceptDrop() override;
  void OnDropFiles(std::vector<std::filesystem::path> paths) override;
  void OnDropVirtual(std::span<const files::TVirtualItem> items,
                     const files::TContentsSource& contents, std::size_t rejected) override;
  // Registers the file list as a drop target, or revokes it while its window still exists.
  void RegisterDropTarget();
  void RevokeDropTarget();
  // Drags the selected rows out through the platform's modal drag loop, with the `allowed`
  // effects.
  void DragOut(DWORD allowed = DROPEFFECT_COPY);
  void OpenPendingImage();

  // The window's event handlers: each is one call into the shell core.
  void FormCreate(ui::TComponent* sender);
  void FormShow(ui::TComponent* sender);
  void FormCloseQuery(ui::TComponent* sender, bool& canClose);
  void FormDestroy(ui::TComponent* sender);
  void FormKeyPress(ui::TComponent* sender, wchar_t& key);
  void FormStorageRestorePlacement(ux::TFormPlacement& sender);
  void FormStorageSavePlacement(ux::TFormPlacement& sender);
  // Image commands.
  void miFileOpenClick(ui::TComponent* sender);
  void miFileNewClick(ui::TComponent* sender);
  void miFileExitClick(ui::TComponent* sender);
  void acSaveDiskImageExecute(ui::TComponent* sender);
  void acSaveDiskImageAsExecute(ui::TComponent* sender);
  void acExportToRemovableExecute(ui::TComponent* sender);
  void ChangeBootRecOptionClick(ui::TComponent* sender);
  void ReplaceBootSector(ui::TComponent* sender);
  // The "&Custom..." boot sector item's handler: it does nothing (the item stays disabled).
  void ReplaceBootSectorCustom(ui::TComponent* sender);
  void acFileCopyFullNameExecute(ui::TComponent* sender);
  void acFileOpenFolderExecute(ui::TComponent* sender);
  void acHelpAboutExecute(ui::TComponent* sender);
  // The file list and the file commands.
  void FileListColumnClick(ui::TComponent* sender, ui::TListColumn* column);
  static int FileListCompare(const ui::TListItem& item1, const ui::TListItem& item2,
                             std::int32_t sortMode);
  void FileListDblClick(ui::TComponent* sender);
  void FileListEditing(ui::TComponent* sender, ui::TListItem* item, bool& allowEdit);
  void FileListEdited(ui::TComponent* sender, ui::TListItem* item, std::wstring& text);
  void acSelectAllExecute(ui::TComponent* sender);
  void acAddFilesExecute(ui::TComponent* sender);
  void acDeleteFilesExecute(ui::TComponent* sender);
  void miExtractFileClick(ui::TComponent* sender);
  void acRenameFileExecute(ui::TComponent* sender);
  void acChangeDirExecute(ui::TComponent* sender);
  void acMakeDirExecute(ui::TComponent* sender);
  // The view items and acViewFile: the sender's Tag is the view mode.
  void ClickViewFileContents(ui::TComponent* sender);
  void acViewFileExecute(ui::TComponent* sender);
  // Menus and panels.
  void FileListBoxDblClick(ui::TComponent* sender);
  void MRUListClick(tb::TTBMRUList& sender, const std::wstring& fileName);
  void MRUListFoldersClick(tb::TTBMRUList& sender, const std::wstring& folder);
  void miGotoImageDirClick(ui::TComponent* sender);
  void miOptionsPopup(tb::TTBCustomItem* sender, bool fromLink);
  void miShowBrowserClick(ui::TComponent* sender);
  void miShowImageListClick(ui::TComponent* sender);
  void miRemovableDrivePopup(tb::TTBCustomItem* sender, bool fromLink);
  void SetRemovableDriveItem(ui::TComponent* sender);
  void miChangeDrivePopup(tb::TTBCustomItem* sender, bool fromLink);
  void SetBrowserDriveItem(ui::TComponent* sender);

  // The row a list item shows.
  static const files::TFileRow& RowOf(const ui::TListItem& item);
  void BuildControls();
  void WireFileList();
  // The handler `method` as an event of this window.
  ui::TNotifyEvent Handler(void (TMainForm::*method)(ui::TComponent*));
  void BuildDialogs();
  void BuildActions();
  ui::TAction* FindAction(std::wstring_view name) const;
  void BuildMenus();
  void BuildStorage();
  void BuildPanels();
  // The Options menu's checks follow the panels.
  void CheckPanelItems();
  void TogglePanel(skbar::TSkBarCustomDockablePanel& panel);
  void FitSideDocks();
  ui::TAction* AddAction(const wchar_t* name, const wchar_t* caption, const wchar_t* shortcut,
                         ui::TNotifyEvent execute);

  std::vector<std::wstring> arguments_;
  TFileListView* fileList_ = nullptr;
  ui::TStatusBar* statusBar_ = nullptr;
  ui::TActionList* actionList_ = nullptr;
  menus::TDock* topDock_ = nullptr;
  menus::TMenuBar* mainMenu_ = nullptr;
  menus::TPopupMenu* listPopupMenu_ = nullptr;
  menus::TPopupMenu* folderListMenu_ = nullptr;
  skbar::TSkBarCustomMultiDock* rightDock_ = nullptr;
  skbar::TSkBarCustomMultiDock* leftDock_ = nullptr;
  skbar::TSkBarCustomDockablePanel* fileListPanel_ = nullptr;
  skbar::TSkBarCustomDockablePanel* folderBrowserPanel_ = nullptr;
  ui::TFileListBox* fileListBox_ = nullptr;
  ui::TDirectoryListBox* folderListBox_ = nullptr;
  tb::TTBMRUList* mruList_ = nullptr;
  tb::TTBMRUList* mruListFolders_ = nullptr;
  ux::TFormStorage* formStorage_ = nullptr;
  ImageDialogs imageDialogs_;
  MainMenuItems items_;
  // The rows shown; each list item's data points to its row here.
  std::vector<files::TFileRow> rows_;
  std::unique_ptr<dragdrop::TDropTargetRegistration> dropTarget_;
  // Dropped images waiting for kOpenImageMessage.
  std::deque<std::filesystem::path> pendingOpens_;

  TWin32HostFs hostFs_;
  TShellUi shellUi_;
  TDrives drives_;
  std::unique_ptr<TFileViewers> viewers_;
  files::TDateTimeFormat dates_;
  std::unique_ptr<FormStorageSettings> settings_;
  std::unique_ptr<ShellCore> core_;
};

}  // namespace app
