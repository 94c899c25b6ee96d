// The main window's menu bar and the file list's popup menu, in the order the program shows
// them. Plain Win32 menus; the drive and recent-file submenus are filled each time they open.
#include "app/win32/main_form.h"

namespace app {

namespace {

class MenuBuilder {
 public:
  explicit MenuBuilder(ui::TComponent& owner) : owner_(owner) {}

  ui::TMenuItem* Item(ui::TMenuItem& parent, const wchar_t* caption, int tag = 0,
                      ui::TNotifyEvent click = {}) {
    auto* item = ui::Create<ui::TMenuItem>(owner_);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->OnClick = std::move(click);
    parent.Add(item);
    return item;
  }
  ui::TMenuItem* Separator(ui::TMenuItem& parent) { return Item(parent, L"-"); }
  ui::TMenuItem* Disabled(ui::TMenuItem& parent, const wchar_t* caption) {
    ui::TMenuItem* item = Item(parent, caption);
    item->SetEnabled(false);
    return item;
  }
  ui::TMenuItem* ActionItem(ui::TMenuItem& parent, ui::TAction* action) {
    auto* item = ui::Create<ui::TMenuItem>(owner_);
    item->SetAction(action);
    parent.Add(item);
    return item;
  }
  ui::TMenuItem* Hidden(ui::TMenuItem& parent, ui::TAction* action) {
    ui::TMenuItem* item = ActionItem(parent, action);
    item->SetVisible(false);
    return item;
  }
  // "&Auto" .. "&Z80 Disasm" with the view modes as tags.
  void ViewAsItems(ui::TMenuItem& parent, ui::TMenuItem* (&items)[5],
                   const ui::TNotifyEvent& click) {
    items[0] = Item(parent, L"&Auto", 0, click);
    items[0]->SetShortCut(ui::TextToShortCut(L"Alt+V"));
    Separator(parent);
    items[1] = Item(parent, L"&Text", 1, click);
    items[2] = Item(parent, L"&Hex Dump", 2, click);
    items[3] = Item(parent, L"&Basic Program", 3, click);
    items[4] = Item(parent, L"&Z80 Disasm", 4, click);
  }

 private:
  ui::TComponent& owner_;
};

}  // namespace

void TMainForm::BuildMenus() {
  MenuBuilder m(*this);
  ShellCore& core = *core_;
  mainMenu_ = ui::Create<ui::TMainMenu>(*this);
  mainMenu_->SetName(L"MainMenu");
  ui::TMenuItem& bar = mainMenu_->Items();

  ui::TMenuItem& file = *m.Item(bar, L"&File");
  ui::TMenuItem& fileNew = *m.Item(file, L"&New");
  const auto newImage = [&core](ui::TComponent* sender) { core.NewImage(sender->Tag()); };
  items_.newSingle = m.Item(fileNew, L"&Single Side (360k)", 1, newImage);
  items_.newDouble = m.Item(fileNew, L"&Double Side (720k)", 2, newImage);
  m.Disabled(fileNew, L"Custom...");
  m.Separator(fileNew);
  const auto bootOption = [&core](ui::TComponent* sender) { core.ChangeBootOption(sender->Tag()); };
  items_.bootEmpty = m.Item(fileNew, L"&Empty Boot", 0, bootOption);
  items_.bootDos1 = m.Item(fileNew, L"Boot MSXDOS&1", 1, bootOption);
  items_.bootDos2 = m.Item(fileNew, L"Boot MSXDOS&2", 2, bootOption);
  for (ui::TMenuItem* boot : {items_.bootEmpty, items_.bootDos1, items_.bootDos2}) {
    boot->SetRadioItem(true);
    boot->SetGroupIndex(1);
  }
  items_.bootDos1->SetChecked(true);
  m.Hidden(file, FindAction(L"acNewDiskImage"));
  m.ActionItem(file, FindAction(L"acOpenDiskImage"));
  m.ActionItem(file, FindAction(L"acSaveDiskImage"));
  m.ActionItem(file, FindAction(L"acSaveDiskImageAs"));
  m.Separator(file);
  m.ActionItem(file, FindAction(L"acExportToRemovable"));
  m.Separator(file);
  m.ActionItem(file, FindAction(L"acFileCopyFullName"));
  m.ActionItem(file, FindAction(L"acFileOpenFolder"));
  m.Separator(file);
  items_.recentFiles = m.Item(file, L"&Recent Files");
  items_.recentFiles->OnPopup = [this](ui::TComponent*) { FillRecentFiles(*items_.recentFiles); };
  items_.recentFolders = m.Item(file, L"Recent Fol&ders");
  items_.recentFolders->OnPopup = [this](ui::TComponent*) {
    FillRecentFolders(*items_.recentFolders);
  };
  m.Separator(file);
  items_.exit = m.Item(file, L"E&xit", 0, [this](ui::TComponent*) { Close(); });

  ui::TMenuItem& diskMenu = *m.Item(bar, L"&Disk");
  m.ActionItem(diskMenu, FindAction(L"acSelectAll"));
  m.Separator(diskMenu);
  m.ActionItem(diskMenu, FindAction(L"acAddFiles"));
  m.ActionItem(diskMenu, FindAction(L"acExtractFiles"));
  m.ActionItem(diskMenu, FindAction(L"acDeleteFiles"));
  m.ActionItem(diskMenu, FindAction(L"acRenameFile"));
  m.ActionItem(diskMenu, FindAction(L"acMakeDir"))->SetCaption(L"&Make Dir");
  ui::TMenuItem& replaceBoot = *m.Item(diskMenu, L"Replace &Boot Sector");
  const auto replace = [&core](ui::TComponent* sender) { core.ReplaceBootSector(sender->Tag()); };
  items_.replaceBoot[0] = m.Item(replaceBoot, L"&Empty", 0, replace);
  items_.replaceBoot[1] = m.Item(replaceBoot, L"MSX DOS &1", 1, replace);
  items_.replaceBoot[2] = m.Item(replaceBoot, L"MSX DOS &2", 2, replace);
  m.Disabled(replaceBoot, L"&Custom...");
  m.Separator(diskMenu);
  m.Hidden(diskMenu, FindAction(L"acViewFile"));
  const ui::TNotifyEvent viewAs = [this](ui::TComponent* sender) {
    const auto mode = static_cast<TViewerMode>(sender->Tag());
    ListCommand([this, mode] { core_->ViewFile(mode); })();
  };
  m.ViewAsItems(*m.Item(diskMenu, L"View File A&s..."), items_.viewAs, viewAs);

  ui::TMenuItem& options = *m.Item(bar, L"&Options");
  // The side panels come with the docking framework.
  m.Disabled(options, L"Show &Browser");
  m.Disabled(options, L"Show Image &List");
  m.Separator(options);
  items_.removableDrives = m.Item(options, L"Removable &Drives");
  items_.removableDrives->OnPopup = [this](ui::TComponent*) {
    FillRemovableDrives(*items_.removableDrives);
  };

  ui::TMenuItem& help = *m.Item(bar, L"&Help");
  m.ActionItem(help, FindAction(L"acHelpAbout"));
  SetMenu(mainMenu_);

  listPopupMenu_ = ui::Create<ui::TPopupMenu>(*this);
  listPopupMenu_->SetName(L"ListPopupMenu");
  ui::TMenuItem& popup = listPopupMenu_->Items();
  m.ActionItem(popup, FindAction(L"acSelectAll"));
  m.Separator(popup);
  for (const wchar_t* name :
       {L"acAddFiles", L"acExtractFiles", L"acDeleteFiles", L"acRenameFile", L"acMakeDir"})
    m.ActionItem(popup, FindAction(name));
  m.Separator(popup);
  m.Hidden(popup, FindAction(L"acViewFile"));
  m.ViewAsItems(*m.Item(popup, L"&View File As..."), items_.popupViewAs, viewAs);
  // The disassembler's notice is reached from the Disk menu only.
  items_.popupViewAs[4]->SetEnabled(false);
  fileList_->SetPopupMenu(listPopupMenu_);
}

void TMainForm::FillRemovableDrives(ui::TMenuItem& menu) {
  menu.Clear();
  MenuBuilder m(*this);
  for (const RemovableDriveItem& drive : core_->RemovableDrives()) {
    ui::TMenuItem* item =
        m.Item(menu, drive.root.c_str(), drive.driveBit,
               [this](ui::TComponent* sender) { core_->SetRemovableDrive(sender->Tag()); });
    item->SetChecked(drive.checked);
  }
}

void TMainForm::FillRecentFiles(ui::TMenuItem& menu) {
  menu.Clear();
  MenuBuilder m(*this);
  tb::TTBCustomItem& entries = *mruList_->Container();
  for (int i = 0; i < entries.Count(); ++i)
    m.Item(menu, entries.Items(i)->Caption().c_str(), i, [this](ui::TComponent* sender) {
      mruList_->Container()->Items(sender->Tag())->Click();
    });
}

// The folders show for now; choosing one goes to the folder browser, which comes with the
// docking framework.
void TMainForm::FillRecentFolders(ui::TMenuItem& menu) {
  menu.Clear();
  MenuBuilder m(*this);
  tb::TTBCustomItem& entries = *mruListFolders_->Container();
  for (int i = 0; i < entries.Count(); ++i) m.Disabled(menu, entries.Items(i)->Caption().c_str());
}

}  // namespace app
