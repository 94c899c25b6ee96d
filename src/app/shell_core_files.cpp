// The file list and the file commands: listing, sorting, changing directory, adding, extracting,
// deleting, making directories, renaming in place and viewing.
#include <algorithm>

#include "app/files/extract_plan.h"
#include "app/files/file_commands.h"
#include "app/files/process_work_list.h"
#include "app/files/rename.h"
#include "app/msx_picture.h"
#include "app/shell_core.h"
#include "rtl/code_page.h"
#include "ui/text.h"

namespace app {

namespace {

std::wstring EntryFileName(const disk::TDirEntry& entry) {
  return rtl::CodePage().ToUnicode(entry.GetFileName());
}

}  // namespace

void ShellCore::RefreshFileList() {
  FillFileList();
}

std::vector<files::TFileRow> ShellCore::FillFileList() {
  if (!FDiskImage) {
    ports_.view.SetRows({}, -1);
    return {};
  }
  if (CustomDisk()) {
    ShowCustomDisk();
    return {};
  }
  files::TFileListing listing = files::ListCurrentDirectory(*FDiskImage, ports_.dates);
  std::vector<files::TFileRow>& rows = listing.Rows;
  // The retained index is a position in the list as shown.
  if (FSortMode.Sorting()) files::SortRows(rows, FSortMode.Mode());
  const int focus = files::ClampRetainIndex(FRetainIndex, static_cast<std::int32_t>(rows.size()));
  ports_.view.SetRows(rows, focus);
  ports_.view.SetPanelText(kPanelTotals, files::TotalsText(listing));
  UpdateUsagePanels();
  return rows;
}

void ShellCore::UpdateCaption() {
  if (FDiskImage)
    ports_.view.SetCaption(CaptionText(FDiskImage->FileName().wstring(), FDiskImage->IsModified()));
}

void ShellCore::UpdateSizePanel() {
  ports_.view.SetPanelText(kPanelSize, SizePanelText(FDiskImage.get()));
}

void ShellCore::UpdateUsagePanels() {
  const std::int32_t used = FDiskImage->DiskUsage();
  const std::int32_t free = FDiskImage->DiskFree();
  ports_.view.SetPanelText(kPanelUsed, UsedPanelText(used, used + free));
  ports_.view.SetPanelText(kPanelFree, FreePanelText(free));
}

void ShellCore::ColumnClick(int column) {
  FSortMode.ColumnClick(column);
  if (FSortMode.Sorting()) ports_.view.SortRows(FSortMode.Mode());
}

disk::PDirEntry ShellCore::SelectedEntry() {
  const std::vector<disk::PDirEntry> selected = ports_.view.SelectedEntries();
  return selected.empty() ? nullptr : selected.front();
}

void ShellCore::OpenSelectedRow() {
  const disk::PDirEntry entry = SelectedEntry();
  if (entry && entry->IsDirectory()) ChangeDir();
}

bool ShellCore::KeyPress(wchar_t key, KeyFocus focus) {
  switch (KeyCommand(key, focus)) {
    case ListKeyCommand::None:
      return false;
    case ListKeyCommand::Consumed:
      break;
    case ListKeyCommand::ParentDir:
      ChangeDirTo("..");
      break;
    case ListKeyCommand::OpenRow:
      OpenSelectedRow();
      break;
    case ListKeyCommand::RootDir:
      ChangeDirTo("\\");
      break;
    case ListKeyCommand::BrowserParent:
      ports_.view.ShowFolder(BrowserParentFolder(ports_.view.BrowserFolder().wstring()));
      break;
    case ListKeyCommand::OpenImage:
      if (const std::filesystem::path file = ports_.view.SelectedImageFile(); !file.empty())
        OpenDiskImage(file);
      break;
    case ListKeyCommand::OpenFolder:
      ports_.view.OpenSelectedFolder();
      break;
  }
  return true;
}

void ShellCore::SelectAll() {
  ports_.view.SelectAll();
}

void ShellCore::ChangeDir() {
  const disk::PDirEntry entry = SelectedEntry();
  if (!FDiskImage || !entry || !entry->IsDirectory()) return;
  // The whole 8.3 name: the name field alone misses a directory that has an extension.
  const std::string name = entry->GetFileName();
  // A damaged entry whose name holds the path separator is not entered: its name would be read
  // as a path into other directories.
  if (name.find('\\') != std::string::npos) return;
  FDiskImage->ChangeDir(name);
  FRetainIndex = -1;
  RefreshFileList();
}

void ShellCore::ChangeDirTo(const std::string& name) {
  if (!FDiskImage) return;
  FDiskImage->ChangeDir(name);
  RefreshFileList();
}

void ShellCore::AddFiles() {
  if (!CanChange()) return;
  const std::vector<std::filesystem::path> chosen = ports_.dialogs.AddFiles();
  if (!chosen.empty()) RunWorkList(files::FilesToWorkList(chosen));
}

void ShellCore::RunWorkList(const files::TWorkList& list) {
  if (!CanChange()) return;
  ports_.ui.SetBusy(true);
  files::ProcessWorkList(*FDiskImage, list, ports_.fs);
  ports_.ui.SetBusy(false);
  UpdateCaption();
  RefreshFileList();
}

void ShellCore::ExtractFiles() {
  if (!FDiskImage) return;
  const std::vector<disk::PDirEntry> selected = ports_.view.SelectedEntries();
  const std::vector<const disk::TDirEntry*> entries(selected.begin(), selected.end());
  if (files::PlanExtraction(entries, {}).empty()) return;
  std::filesystem::path start;
  if (ports_.ui.ShiftDown()) start = ImageFolder();
  const std::optional<std::filesystem::path> folder = ports_.dialogs.SelectFolder(start);
  if (!folder) return;
  const std::vector<files::TExtractItem> plan = files::PlanExtraction(entries, *folder);
  const files::TExtractOutcome outcome = files::ExtractPlanned(*FDiskImage, plan);
  // Files that could not be written are named, rather than passed over in silence.
  if (!outcome.Failed.empty()) {
    std::vector<std::pair<std::wstring, std::wstring>> failed;
    for (const files::TExtractFailure& failure : outcome.Failed)
      failed.emplace_back(failure.Target.filename().wstring(), ui::WideFromUtf8(failure.Reason));
    ReportFailure(ExtractFailureText(*folder, plan.size(), failed), kExtractCaption);
  }
  // A folder that received nothing is not shown as if the extraction had worked.
  if (outcome.Written > 0) ports_.ui.Explore(*folder);
}

void ShellCore::DeleteFiles() {
  if (!CanChange()) return;
  FRetainIndex = ports_.view.ItemIndex();
  files::DeleteEntries(*FDiskImage, ports_.view.SelectedEntries());
  // Deleting, making a directory and renaming modify the image: the caption shows the modified
  // mark at once rather than after the next command that refreshes it.
  UpdateCaption();
  RefreshFileList();
}

void ShellCore::MakeDir() {
  if (!CanChange()) return;
  const files::TMakeDirResult made = files::MakeNewDirectory(*FDiskImage);
  if (made.Result != disk::DiskResult::Ok && made.Result != disk::DiskResult::NameExists) return;
  FRetainIndex = -1;
  UpdateCaption();
  const std::vector<files::TFileRow> rows = FillFileList();
  const std::wstring caption = rtl::CodePage().ToUnicode(made.Name);
  const auto found = std::find_if(rows.begin(), rows.end(),
                                  [&caption](const auto& row) { return row.Name == caption; });
  if (found == rows.end()) return;
  FRetainIndex = static_cast<int>(found - rows.begin());
  ports_.view.EditRow(FRetainIndex);
}

void ShellCore::StartRename() {
  if (!CanChange()) return;
  const int index = ports_.view.ItemIndex();
  if (index >= 0) ports_.view.EditRow(index);
}

bool ShellCore::CanRename(const disk::TDirEntry& entry) const {
  const std::string name = entry.GetFileName();
  return CanChange() && name != "." && name != "..";
}

std::wstring ShellCore::Rename(disk::TDirEntry& entry, const std::wstring& typed) {
  if (!CanChange()) return typed;
  const files::TRenameDecision decision = files::DecideRename(*FDiskImage, entry, typed);
  if (const auto* target = std::get_if<files::TRenameTarget>(&decision)) {
    files::ApplyRename(*FDiskImage, entry, *target);
    UpdateCaption();
    ports_.view.RefreshLater();
    return target->RowName;
  }
  return files::MakeRow(entry, 0, ports_.dates).Name;
}

void ShellCore::ViewFile(TViewerMode mode) {
  const disk::PDirEntry entry = SelectedEntry();
  if (!FDiskImage || !entry || !files::IsFileEntry(*entry)) return;
  rtl::TMemoryStream stream;
  FDiskImage->ExtractToStream(stream, entry);
  // Screen pictures go to the picture viewer whatever the chosen mode.
  const std::wstring name = EntryFileName(*entry);
  if (MsxPictureKind(name) != TMsxPictureKind::None)
    ports_.viewer.ViewPicture(stream.Bytes(), name);
  else
    ports_.viewer.ViewFile(stream.Bytes(), name, static_cast<std::int32_t>(entry->Size), mode);
}

}  // namespace app
