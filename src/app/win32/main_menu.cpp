// The main window's menu bar on its top dock, the file list's and the folder browser's popup
// menus, in the order the program shows them. Items bound to an action show its caption and
// shortcut; every shortcut is bound once (the form's action list runs it). The recent lists show
// their entries in place; the drive menus are built each time they open.
#include "app/win32/main_form.h"

namespace app {

namespace {

class MenuBuilder {
 public:
  explicit MenuBuilder(ui::TComponent& owner) : owner_(owner) {}

  menus::TItem* Item(menus::TItem& parent, const wchar_t* caption, int tag = 0,
                     ui::TNotifyEvent click = {}) {
    return Add(parent, ui::Create<menus::TCommandItem>(owner_), caption, tag, std::move(click));
  }
  menus::TItem* Submenu(menus::TItem& parent, const wchar_t* caption) {
    return Add(parent, ui::Create<menus::TSubmenuItem>(owner_), caption, 0, {});
  }
  void Separator(menus::TItem& parent) { parent.Add(ui::Create<menus::TSeparatorItem>(owner_)); }
  menus::TItem* Disabled(menus::TItem& parent, const wchar_t* caption) {
    menus::TItem* item = Item(parent, caption);
    item->SetEnabled(false);
    return item;
  }
  menus::TItem* ActionItem(menus::TItem& parent, ui::TAction* action) {
    auto* item = ui::Create<menus::TCommandItem>(owner_);
    item->SetAction(action);
    parent.Add(item);
    return item;
  }
  menus::TItem* Hidden(menus::TItem& parent, ui::TAction* action) {
    menus::TItem* item = ActionItem(parent, action);
    item->SetVisible(false);
    return item;
  }
  void RecentList(menus::TItem& parent, tb::TTBMRUList* list) {
    auto* item = ui::Create<menus::TRecentListItem>(owner_);
    item->SetMRUList(list);
    parent.Add(item);
  }
  // "&Auto" .. "&Z80 Disasm" with the view modes as tags. Alt+V belongs to acViewFile, which
  // runs the same view: "&Auto" only shows it.
  void ViewAsItems(menus::TItem& parent, menus::TItem* (&items)[5], const ui::TNotifyEvent& click) {
    items[0] = Item(parent, L"&Auto\tAlt+V", 0, click);
    Separator(parent);
    items[1] = Item(parent, L"&Text", 1, click);
    items[2] = Item(parent, L"&Hex Dump", 2, click);
    items[3] = Item(parent, L"&Basic Program", 3, click);
    items[4] = Item(parent, L"&Z80 Disasm", 4, click);
  }

 private:
  static menus::TItem* Add(menus::TItem& parent, menus::TItem* item, const wchar_t* caption,
                           int tag, ui::TNotifyEvent click) {
    item->SetCaption(caption);
    item->SetTag(tag);
    if (click) item->SetOnClick(std::move(click));
    parent.Add(item);
    return item;
  }

  ui::TComponent& owner_;
};

}  // namespace

void TMainForm::BuildMenus() {
  MenuBuilder m(*this);
  topDock_ = ui::Create<menus::TDock>(*this);
  topDock_->SetName(L"TopDock");
  topDock_->SetParent(this);
  mainMenu_ = ui::Create<menus::TMenuBar>(*this);
  mainMenu_->SetName(L"MainMenu");
  mainMenu_->SetCaption(L"Main Menu");
  mainMenu_->SetMenuBar(true);
  mainMenu_->SetFullSize(true);
  mainMenu_->SetShrinkMode(tb::TTBShrinkMode::tbsmWrap);
  mainMenu_->SetCloseButton(false);
  mainMenu_->SetProcessShortCuts(true);
  mainMenu_->SetParent(topDock_);
  menus::TItem& bar = mainMenu_->Items();

  menus::TItem& file = *m.Submenu(bar, L"&File");
  menus::TItem& fileNew = *m.Submenu(file, L"&New");
  const ui::TNotifyEvent newImage = Handler(&TMainForm::miFileNewClick);
  items_.newSingle = m.Item(fileNew, L"&Single Side (360k)", 1, newImage);
  items_.newDouble = m.Item(fileNew, L"&Double Side (720k)", 2, newImage);
  m.Disabled(fileNew, L"Custom...");
  m.Separator(fileNew);
  const ui::TNotifyEvent bootOption = Handler(&TMainForm::ChangeBootRecOptionClick);
  items_.bootEmpty = m.Item(fileNew, L"&Empty Boot", 0, bootOption);
  items_.bootDos1 = m.Item(fileNew, L"Boot MSXDOS&1", 1, bootOption);
  items_.bootDos2 = m.Item(fileNew, L"Boot MSXDOS&2", 2, bootOption);
  for (menus::TItem* boot : {items_.bootEmpty, items_.bootDos1, items_.bootDos2}) {
    boot->SetRadioItem(true);
    boot->SetGroupIndex(1);
  }
  items_.bootDos1->SetChecked(true);
  m.Hidden(file, FindAction(L"acNewDiskImage"));
  // The open command with Ctrl+O, captioned without the action's "...".
  m.ActionItem(file, FindAction(L"acOpenDiskImage"))->SetCaption(L"&Open Disk Image");
  m.ActionItem(file, FindAction(L"acSaveDiskImage"));
  m.ActionItem(file, FindAction(L"acSaveDiskImageAs"));
  m.Separator(file);
  m.ActionItem(file, FindAction(L"acExportToRemovable"));
  m.Separator(file);
  m.ActionItem(file, FindAction(L"acFileCopyFullName"));
  m.ActionItem(file, FindAction(L"acFileOpenFolder"));
  m.Separator(file);
  items_.recentFiles = m.Submenu(file, L"&Recent Files");
  m.RecentList(*items_.recentFiles, mruList_);
  // A second, skinned recent list that nothing fills: its embedded group shows nothing.
  auto* spareRecent = ui::Create<menus::TSkinnedRecentListItem>(*this);
  spareRecent->SetMaxItems(12);
  items_.recentFiles->Add(spareRecent);
  items_.recentFolders = m.Submenu(file, L"Recent Fol&ders");
  m.RecentList(*items_.recentFolders, mruListFolders_);
  m.Separator(file);
  items_.exit = m.Item(file, L"E&xit", 0, Handler(&TMainForm::miFileExitClick));

  menus::TItem& diskMenu = *m.Submenu(bar, L"&Disk");
  m.ActionItem(diskMenu, FindAction(L"acSelectAll"));
  m.Separator(diskMenu);
  // The file commands; the Disk menu's make-directory item has a caption of its own.
  const auto fileCommands = [&](menus::TItem& menu) {
    for (const wchar_t* name :
         {L"acAddFiles", L"acExtractFiles", L"acDeleteFiles", L"acRenameFile", L"acMakeDir"}) {
      menus::TItem* item = m.ActionItem(menu, FindAction(name));
      if (name != std::wstring_view(L"acExtractFiles")) items_.changing.push_back(item);
    }
    // The commands that change the image show disabled while it takes none (a custom disk, a
    // track image without its boot sector or FAT). Set on the items, not the actions: a change
    // of an action gives its items all of its properties, the Disk menu's caption included.
    menu.OnPopup = [this](tb::TTBCustomItem*, bool) {
      for (menus::TItem* changing : items_.changing) changing->SetEnabled(core_->CanChange());
    };
  };
  fileCommands(diskMenu);
  diskMenu.Items(diskMenu.Count() - 1)->SetCaption(L"&Make Dir");
  menus::TItem& replaceBoot = *m.Submenu(diskMenu, L"Replace &Boot Sector");
  items_.changing.push_back(&replaceBoot);
  const ui::TNotifyEvent replace = Handler(&TMainForm::ReplaceBootSector);
  items_.replaceBoot[0] = m.Item(replaceBoot, L"&Empty", 0, replace);
  items_.replaceBoot[1] = m.Item(replaceBoot, L"MSX DOS &1", 1, replace);
  items_.replaceBoot[2] = m.Item(replaceBoot, L"MSX DOS &2", 2, replace);
  m.Disabled(replaceBoot, L"&Custom...")->SetOnClick(Handler(&TMainForm::ReplaceBootSectorCustom));
  m.Separator(diskMenu);
  m.Hidden(diskMenu, FindAction(L"acViewFile"))->SetEnabled(false);
  const ui::TNotifyEvent viewAs = Handler(&TMainForm::ClickViewFileContents);
  m.ViewAsItems(*m.Submenu(diskMenu, L"View File A&s..."), items_.viewAs, viewAs);

  menus::TItem& options = *m.Submenu(bar, L"&Options");
  options.OnPopup = [this](tb::TTBCustomItem* sender, bool fromLink) {
    miOptionsPopup(sender, fromLink);
  };
  items_.showBrowser =
      m.Item(options, L"Show &Browser", 0, Handler(&TMainForm::miShowBrowserClick));
  items_.showImageList =
      m.Item(options, L"Show Image &List", 0, Handler(&TMainForm::miShowImageListClick));
  m.Separator(options);
  items_.removableDrives = m.Submenu(options, L"Removable &Drives");
  items_.removableDrives->OnPopup = [this](tb::TTBCustomItem* sender, bool fromLink) {
    miRemovableDrivePopup(sender, fromLink);
  };

  menus::TItem& help = *m.Submenu(bar, L"&Help");
  m.ActionItem(help, FindAction(L"acHelpAbout"));

  listPopupMenu_ = ui::Create<menus::TPopupMenu>(*this);
  listPopupMenu_->SetName(L"ListPopupMenu");
  menus::TItem& popup = listPopupMenu_->Items();
  m.ActionItem(popup, FindAction(L"acSelectAll"));
  m.Separator(popup);
  fileCommands(popup);
  m.Separator(popup);
  m.Hidden(popup, FindAction(L"acViewFile"));
  m.ViewAsItems(*m.Submenu(popup, L"&View File As..."), items_.popupViewAs, viewAs);
  // The disassembler's notice is reached from the Disk menu only.
  items_.popupViewAs[4]->SetEnabled(false);
  fileList_->SetPopupMenu(listPopupMenu_);

  // The folder browser's menu.
  folderListMenu_ = ui::Create<menus::TPopupMenu>(*this);
  folderListMenu_->SetName(L"FolderListMenu");
  menus::TItem& changeDrive = *m.Submenu(folderListMenu_->Items(), L"Change &Drive");
  changeDrive.OnPopup = [this](tb::TTBCustomItem* sender, bool fromLink) {
    miChangeDrivePopup(sender, fromLink);
  };
  m.Item(folderListMenu_->Items(), L"Go to &Current Directory", 0,
         Handler(&TMainForm::miGotoImageDirClick));
  folderListBox_->SetPopupMenu(folderListMenu_);

  // The form popup menu is part of the window and never shown.
  ui::Create<menus::TFormPopupMenu>(*this)->SetName(L"ListFormPopupMenu");
}

}  // namespace app
