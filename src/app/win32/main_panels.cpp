// The main window's side docks, their splitters and the two dockable panels, and the Options
// menu's commands that show and hide the panels.
#include "app/win32/main_form.h"

#include <algorithm>

namespace app {

void TMainForm::BuildPanels() {
  const auto dock = [this](const wchar_t* name, skbar::TSkBarDockPosition position) {
    auto* made = ui::Create<skbar::TSkBarCustomMultiDock>(*this);
    made->SetName(name);
    made->SetPosition(position);
    made->SetFixAlign(true);
    made->SetParent(this);
    return made;
  };
  const auto splitter = [this](const wchar_t* name, ui::TAlign align) {
    auto* made = ui::Create<skbar::TSkBarCustomSplitter>(*this);
    made->SetName(name);
    made->SetAlign(align);
    made->SetParent(this);
    made->Hide();  // the docks show their splitters while they hold a panel
    return made;
  };
  rightDock_ = dock(L"RightMultiDock", skbar::TSkBarDockPosition::dpxRight);
  splitter(L"RightSplitter", ui::TAlign::alRight);
  leftDock_ = dock(L"LeftMultiDock", skbar::TSkBarDockPosition::dpxLeft);
  splitter(L"LeftSplitter", ui::TAlign::alLeft);
  const auto panel = [this](const wchar_t* name, const wchar_t* caption) {
    auto* made = ui::Create<skbar::TSkBarCustomDockablePanel>(*this);
    made->SetName(name);
    made->SetCaption(caption);
    made->SetParent(rightDock_);
    return made;
  };
  fileListPanel_ = panel(L"FileListPanel", L"Disk Image List");
  fileListPanel_->SetDefaultDock(rightDock_);
  folderBrowserPanel_ = panel(L"FolderBrowserPanel", L"Disk Image Browser");
  // The browser docks at the sides only, and minimising it gives its room to the panels after it.
  folderBrowserPanel_->SetDockableTo(tb::DockableBit(tb::TTBDockPosition::dpLeft) |
                                     tb::DockableBit(tb::TTBDockPosition::dpRight));
  folderBrowserPanel_->Options().TaskPaneStyleResize = true;
  // The image list above, 277 px long; the browser takes the rest (the dock gives lengths by
  // the positions).
  fileListPanel_->SetDockPos(0);
  folderBrowserPanel_->SetDockPos(277);
  rightDock_->SetWidth(180);
  leftDock_->SetWidth(9);

  // Each panel's list fills it below its caption bar.
  const auto fill = [](skbar::TSkBarCustomDockablePanel* owner, ui::TWinControl* content) {
    content->SetAlign(ui::TAlign::alClient);
    content->SetParent(owner);
  };
  fileListBox_ = ui::Create<ui::TFileListBox>(*this);
  fileListBox_->SetName(L"FileListBox");
  fileListBox_->SetMask(L"*.DSK;*.HFE");
  fileListBox_->OnDblClick = Handler(&TMainForm::FileListBoxDblClick);
  fill(fileListPanel_, fileListBox_);
  folderListBox_ = ui::Create<ui::TDirectoryListBox>(*this);
  folderListBox_->SetName(L"FolderListBox");
  folderListBox_->SetFileList(fileListBox_);
  folderListBox_->SetDirectory(hostFs_.CurrentDirectory().wstring());
  fill(folderBrowserPanel_, folderListBox_);
}

void TMainForm::ShowFolder(const std::filesystem::path& folder) {
  folderListBox_->SetDirectory(folder.wstring());
}

void TMainForm::ImageFileWritten(const std::filesystem::path& fileName) {
  std::error_code error;
  if (!std::filesystem::equivalent(fileName.parent_path(), fileListBox_->Directory(), error))
    return;
  // The folder is read again; the selected image stays selected.
  const std::vector<std::wstring>& lines = fileListBox_->Lines();
  const int index = fileListBox_->ItemIndex();
  const std::wstring selected = index >= 0 && index < static_cast<int>(lines.size())
                                    ? lines[static_cast<std::size_t>(index)]
                                    : std::wstring();
  fileListBox_->Update();
  const auto found = std::find(lines.begin(), lines.end(), selected);
  if (!selected.empty() && found != lines.end())
    fileListBox_->SetItemIndex(static_cast<int>(found - lines.begin()));
}

std::filesystem::path TMainForm::BrowserFolder() {
  return folderListBox_->Directory();
}

std::filesystem::path TMainForm::SelectedImageFile() {
  return fileListBox_->FileName();
}

void TMainForm::OpenSelectedFolder() {
  folderListBox_->OpenSelected();
}

namespace {

// A panel whose dock a splitter collapsed shows nothing of itself: 0 px wide to the user.
TPanelState StateOf(skbar::TSkBarCustomDockablePanel& panel) {
  return {panel.Visible(), panel.ClientWidth() > 0 ? panel.Width() : 0};
}

}  // namespace

void TMainForm::CheckPanelItems() {
  items_.showBrowser->SetChecked(PanelShown(StateOf(*folderBrowserPanel_)));
  items_.showImageList->SetChecked(PanelShown(StateOf(*fileListPanel_)));
}

void TMainForm::TogglePanel(skbar::TSkBarCustomDockablePanel& panel) {
  const TPanelState state = ToggledPanel(StateOf(panel));
  panel.SetVisible(state.visible);
  if (!state.visible || state.width == panel.Width()) return;
  panel.SetWidth(state.width);
  if (skbar::TSkBarCustomMultiDock* dock = panel.MultiDock()) dock->SetWidth(state.width);
}

// Stored widths may not fit the window (or be hostile): the file list keeps some room.
void TMainForm::FitSideDocks() {
  // The splitters beside the docks keep their widths too: what they take is no room for docks.
  int room = ClientWidth();
  for (int i = 0; i < ControlCount(); ++i) {
    const ui::TControl* control = Controls(i);
    const bool side =
        control->Align() == ui::TAlign::alLeft || control->Align() == ui::TAlign::alRight;
    if (side && control->Visible() && control != leftDock_ && control != rightDock_)
      room -= control->Width();
  }
  const TSideDockWidths fitted = FittedDockWidths(room, {leftDock_->Width(), rightDock_->Width()});
  if (fitted.left != leftDock_->Width()) leftDock_->SetWidth(fitted.left);
  if (fitted.right != rightDock_->Width()) rightDock_->SetWidth(fitted.right);
}

}  // namespace app
