// The commands that write the image (save, save as, export) and the small image commands.
#include "app/shell_core.h"
#include "hfe/hfe_disk.h"
#include "rtl/exceptions.h"
#include "ui/text.h"

namespace app {

bool ShellCore::Save() {
  if (!FDiskImage) return true;
  std::filesystem::path target = FDiskImage->FileName();
  // A track image opened with unreadable sectors is saved under a chosen name: written back over
  // its source, it would lose for good what a better read might still recover.
  const bool chosen =
      damagedSource_ || (FDiskImage->IsModified() && !ports_.fs.FileExists(ImagePath(target)));
  if (chosen) {
    const auto name = AskSaveName(target);
    if (!name) return false;
    target = *name;
  }
  if (!SaveDiskImage(target)) return false;
  if (chosen) ports_.fs.ChangeDirectory(Resolve(target).parent_path());
  return true;
}

bool ShellCore::SaveAs() {
  if (!FDiskImage) return false;
  const auto name =
      AskSaveName(SaveAsPresetName(FDiskImage->FileName(), ports_.dialogs.SaveDefaultExtension()));
  if (!name || !SaveDiskImage(*name)) return false;
  ports_.fs.ChangeDirectory(Resolve(*name).parent_path());
  return true;
}

std::filesystem::path ShellCore::ImageFolder() const {
  const std::filesystem::path& current = FDiskImage->FileName();
  return current.has_parent_path() ? current.parent_path() : newImageFolder_;
}

std::optional<std::filesystem::path> ShellCore::AskSaveName(const std::filesystem::path& preset) {
  std::filesystem::path fileName = preset;
  std::filesystem::path folder = ImageFolder();
  for (;;) {
    const auto choice = ports_.dialogs.SaveImage(fileName, folder);
    if (!choice) return std::nullopt;
    const std::filesystem::path name = SaveFileName(choice->fileName, choice->typeExtension);
    // The dialog asked about replacing the name it named; a typed extension may choose another.
    if (SameFileName(name, choice->checked) || !ports_.fs.FileExists(Resolve(name)) ||
        ports_.ui.MessageDlg(ReplaceQuestionText(name), kSaveCaption, MsgButtons::YesNo,
                             MsgIcon::Warning) == MsgAnswer::Yes)
      return name;
    // No: back to the dialog with the name as typed, as after No to the dialog's own question.
    fileName = choice->fileName.filename();
    folder = choice->fileName.parent_path();
  }
}

bool ShellCore::SaveDiskImage(const std::filesystem::path& fileName) {
  const ImageKind kind = SaveKind(fileName);
  // A name of no image kind saves nothing; the user is told, rather than left believing the
  // image was saved.
  if (kind == ImageKind::Unknown) {
    ports_.ui.MessageDlg(L"\"" + fileName.wstring() +
                             L"\" was not saved: disk images are saved as .DSK or .HFE files.",
                         kSaveCaption, MsgButtons::Ok, MsgIcon::Warning);
    return false;
  }
  const std::vector<std::uint8_t> bytes = ImageBytes(kind);
  const std::filesystem::path target = ImagePath(fileName);
  try {
    if (bytes.empty()) throw rtl::Exception("The image has no whole disk side to write.");
    ports_.fs.WriteFile(target, bytes);
  } catch (const rtl::Exception& error) {
    ReportFailure(L"Cannot save the disk image as \"" + fileName.wstring() + L"\".\r\n" +
                      ui::WideFromUtf8(error.what()),
                  kSaveCaption);
    return false;
  }
  FDiskImage->SetFileName(fileName);
  FDiskImage->ResetModifiedState();
  damagedSource_ = false;
  ports_.recentFiles.Add(target.wstring());
  UpdateCaption();
  ports_.view.ImageFileWritten(target);
  return true;
}

std::vector<std::uint8_t> ShellCore::ImageBytes(ImageKind kind) const {
  if (kind == ImageKind::Hfe) return hfe::BuildHFE(*FDiskImage);
  rtl::TMemoryStream stream;
  FDiskImage->SaveToStream(stream);
  return stream.TakeBytes();
}

void ShellCore::ExportToRemovable() {
  if (!FDiskImage) return;
  // An export that writes nothing says so: silence would pass for a written drive.
  if (FRemovableDrive.empty()) {
    ports_.ui.MessageDlg(L"No removable drive is chosen: choose one in Options, Removable Drives.",
                         kExportCaption, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  // Any drive with a root will do: a flash drive may report itself as fixed.
  if (ports_.drives.DriveType(FRemovableDrive) <= kDriveNoRootDir) {
    ports_.ui.MessageDlg(L"The removable drive " + FRemovableDrive + L" is not available.",
                         kExportCaption, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  const std::wstring target = ExportTarget(FRemovableDrive, FDiskImage->FileName());
  ports_.ui.SetBusy(true);
  std::wstring failure;
  try {
    const std::vector<std::uint8_t> bytes = hfe::BuildHFE(*FDiskImage);
    if (bytes.empty()) throw rtl::Exception("The image has no whole disk side to write.");
    ports_.fs.WriteFile(target, bytes);
  } catch (const rtl::Exception& error) {
    failure = ui::WideFromUtf8(error.what());
  }
  ports_.ui.SetBusy(false);
  if (failure.empty())
    ports_.view.ImageFileWritten(target);
  else
    ReportFailure(L"Cannot export the disk image to \"" + target + L"\".\r\n" + failure,
                  kExportCaption);
}

void ShellCore::ChangeBootOption(int tag) {
  FBootCodeOption = tag;
  ports_.view.CheckBootOption(tag);
}

void ShellCore::ReplaceBootSector(int tag) {
  if (!CanChange()) return;
  FDiskImage->EraseBootSector();
  if (tag >= 0 && tag <= 2) FDiskImage->AttachBootCode(disk::GetBootCode(tag));
  // The new boot sector made the image modified: the caption shows it at once.
  UpdateCaption();
}

void ShellCore::CopyFullName() {
  if (FDiskImage) ports_.ui.SetClipboardText(FDiskImage->FileName().wstring());
}

void ShellCore::OpenFolder() {
  if (FDiskImage && FDiskImage->FileName().has_parent_path())
    ports_.ui.ShellOpen(L"explorer.exe", SelectInExplorerParameters(FDiskImage->FileName()));
}

std::vector<RemovableDriveItem> ShellCore::RemovableDrives() {
  std::vector<RemovableDriveItem> items;
  const std::uint32_t mask = ports_.drives.LogicalDrives();
  for (int bit = 0; bit < 32; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    const std::wstring root = DriveRoot(bit);
    if (ports_.drives.DriveType(root) != kDriveRemovable) continue;
    items.push_back({root, bit, root == FRemovableDrive});
  }
  return items;
}

void ShellCore::SetRemovableDrive(int driveBit) {
  FRemovableDrive = DriveRoot(driveBit);
}

std::vector<DriveItem> ShellCore::Drives() {
  std::vector<DriveItem> items;
  const std::uint32_t mask = ports_.drives.LogicalDrives();
  for (int bit = 0; bit < 32; ++bit) {
    if ((mask & (1u << bit)) == 0) continue;
    const unsigned type = ports_.drives.DriveType(DriveRoot(bit));
    if (type == kDriveUnknown) continue;
    items.push_back({DriveRoot(bit).substr(0, 2) + L" (" + DriveTypeName(type) + L") ", bit});
  }
  return items;
}

void ShellCore::SetBrowserDrive(int driveBit) {
  ports_.view.ShowFolder(ports_.drives.CurrentFolder(DriveRoot(driveBit)));
}

}  // namespace app
