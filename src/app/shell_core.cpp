#include "app/shell_core.h"

#include "hfe/hfe_disk.h"
#include "hfe/hfe_format.h"
#include "rtl/exceptions.h"
#include "ui/text.h"

namespace app {

namespace {

const std::wstring kBootCodeValue = L"BootCode";
const std::wstring kRemovableDriveValue = L"RemovableDrive";

bool IsDriveRoot(const std::wstring& text) {
  return text.size() == 3 &&
         ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z')) &&
         text[1] == L':' && text[2] == L'\\';
}

// The boot sector or a sector of the FAT that the model reads could not be read: the geometry or
// the allocation read from them may be anything.
bool SystemAreaUnreadable(const disk::TMSXDisk& image, const hfe::THfeReadReport& unread) {
  constexpr std::int32_t kSector = 512;  // the sectors of a track image
  const std::int32_t fatStart = image.FFatOffset / kSector;
  const std::int32_t fatEnd = (image.FFatOffset + image.FFatSize + kSector - 1) / kSector;
  return unread.AnyUnreadable(0, 1) || unread.AnyUnreadable(fatStart, fatEnd - fatStart);
}

}  // namespace

ShellCore::ShellCore(const ShellPorts& ports) : ports_(ports) {
  const auto expand = [this](const std::wstring& name) {
    return ports_.fs.ExpandFileName(name).wstring();
  };
  ports_.recentFiles.ExpandFileName = expand;
  ports_.recentFolders.ExpandFileName = expand;
}

bool ShellCore::CustomDisk() const {
  const disk::TBootRecord& boot = *FDiskImage->BootRecord();
  return boot.SectorsPerCluster == 0 || boot.TotalSectorCount == 0;
}

void ShellCore::RestoreSettings() {
  FRemovableDrive = ports_.settings.ReadString(kRemovableDriveValue, L"");
  // Only a drive root ("E:\\") is an export target; any other stored text means none, so a
  // stored folder is never written into.
  if (!IsDriveRoot(FRemovableDrive)) FRemovableDrive.clear();
  FBootCodeOption = ports_.settings.ReadInteger(kBootCodeValue, 1);
  ports_.view.CheckBootOption(FBootCodeOption);
}

void ShellCore::SaveSettings() {
  ports_.settings.WriteInteger(kBootCodeValue, FBootCodeOption);
  ports_.settings.WriteString(kRemovableDriveValue, FRemovableDrive);
}

void ShellCore::Start(const std::vector<std::wstring>& arguments) {
  if (const auto candidate = CommandLineImage(arguments);
      candidate && ports_.fs.FileExists(Resolve(*candidate)))
    OpenDiskImage(*candidate);
  if (FDiskImage) return;
  NewImage(0);
  FDiskImage->ResetModifiedState();
  UpdateCaption();
}

bool ShellCore::QuerySaveModified() {
  if (!FDiskImage || !FDiskImage->IsModified()) return true;
  switch (ports_.ui.MessageDlg(kSaveQuestion, kQuestionCaption, MsgButtons::YesNoCancel,
                               MsgIcon::Question)) {
    case MsgAnswer::Yes:
      // Goes ahead only once the changes are saved: a cancelled or failed save would otherwise
      // let the open, new or close discard them.
      return Save() && !FDiskImage->IsModified();
    case MsgAnswer::No:
      return true;
    default:
      return false;
  }
}

bool ShellCore::OpenDiskImage(const std::filesystem::path& fileName) {
  const std::filesystem::path path = Resolve(fileName);
  const ImageKind kind = ClassifyImageFile(path, GetImageFileSize(path));
  switch (kind) {
    case ImageKind::Xsa:
      ports_.ui.MessageDlg(kNotImplemented, OpenCaption(), MsgButtons::Ok, MsgIcon::Error);
      return false;
    case ImageKind::Unknown:
      ports_.ui.MessageDlg(ports_.ui.ProgramText(kUnrecognizedFormatText), OpenCaption(),
                           MsgButtons::Ok, MsgIcon::Warning);
      return false;
    case ImageKind::DskWrongSize:
      return false;
    case ImageKind::Hfe:
    case ImageKind::Dsk:
      break;
  }
  if (!QuerySaveModified()) return false;
  hfe::THfeReadReport unread;
  std::unique_ptr<disk::TMSXDisk> loaded = LoadImage(path, kind == ImageKind::Hfe, unread);
  if (!loaded) return false;
  ReplaceImage(std::move(loaded));
  const int unreadableSectors = unread.Unreadable();
  damagedSource_ = unreadableSectors > 0;
  unreadableSystemArea_ = SystemAreaUnreadable(*FDiskImage, unread);
  ports_.fs.ChangeDirectory(path.parent_path());
  FRetainIndex = -1;
  ports_.recentFiles.Add(path.wstring());
  ports_.recentFolders.Add(path.parent_path().wstring());
  UpdateCaption();
  UpdateSizePanel();
  ports_.settings.SaveAll();
  RefreshFileList();
  // The damaged image stays open, so that the user can rescue its files.
  if (unreadableSectors > 0)
    ports_.ui.MessageDlg(DamagedImageText(unreadableSectors), OpenCaption(), MsgButtons::Ok,
                         MsgIcon::Warning);
  return true;
}

std::unique_ptr<disk::TMSXDisk> ShellCore::LoadImage(const std::filesystem::path& fileName,
                                                     bool hfe, hfe::THfeReadReport& unread) {
  auto image = std::make_unique<disk::TMSXDisk>();
  std::wstring reason;
  bool loaded = false;
  try {
    // No track image is longer than its format can address; a longer file is read no further.
    const std::vector<std::uint8_t> bytes = ports_.fs.ReadFile(
        fileName, hfe ? hfe::kMaxHfeFileBytes : static_cast<std::uint64_t>(disk::kImageCapacity));
    if (hfe) {
      loaded = hfe::LoadHFEFromBytes(bytes, fileName, *image, &unread);
    } else {
      rtl::TMemoryStream stream(bytes);
      loaded = image->LoadFromStream(stream, fileName);
      // The file was read: say why the model refused it.
      constexpr auto kMedia = static_cast<std::size_t>(disk::kMediaByteOffset);
      if (!loaded && bytes.size() > kMedia) reason = L"\r\n" + MediaByteRefusalText(bytes[kMedia]);
    }
  } catch (const rtl::Exception& error) {
    reason = L"\r\n" + ui::WideFromUtf8(error.what());
  }
  // A file the loader refuses leaves the current image open and says so, instead of replacing
  // it with an empty image as if the open had succeeded.
  if (!loaded) {
    ReportFailure(L"Cannot read the disk image \"" + fileName.wstring() + L"\"." + reason,
                  OpenCaption());
    return nullptr;
  }
  image->SetFileName(fileName);
  return image;
}

void ShellCore::OpenWithDialog() {
  if (const auto chosen = ports_.dialogs.OpenImage()) OpenDiskImage(*chosen);
}

void ShellCore::NewImage(int tag) {
  // The save question comes first here too: dropping a modified image unasked loses its changes.
  if (!QuerySaveModified()) return;
  auto image = std::make_unique<disk::TMSXDisk>();
  image->PrepareNewImage(tag == 2);
  image->AttachBootCode(disk::GetBootCode(FBootCodeOption));
  const std::filesystem::path folder = ports_.fs.CurrentDirectory();
  newImageFolder_ = folder;
  image->SetFileName(NextNewImageName(
      [&](const std::wstring& name) { return ports_.fs.FileExists(folder / name); }));
  ReplaceImage(std::move(image));
  damagedSource_ = false;
  unreadableSystemArea_ = false;
  FRetainIndex = -1;
  UpdateCaption();
  UpdateSizePanel();
  RefreshFileList();
}

void ShellCore::ReplaceImage(std::unique_ptr<disk::TMSXDisk> image) {
  ports_.view.SetRows({}, -1);
  FDiskImage = std::move(image);
}

void ShellCore::OpenRecentFile(const std::wstring& fileName) {
  if (ports_.fs.FileExists(Resolve(fileName))) {
    OpenDiskImage(fileName);
    return;
  }
  if (ports_.ui.MessageDlg(MissingRecentText(fileName), kRecentCaption, MsgButtons::YesNo,
                           MsgIcon::Question) == MsgAnswer::Yes)
    ports_.recentFiles.Remove(fileName);
}

void ShellCore::OpenRecentFolder(const std::wstring& folder) {
  ports_.view.ShowFolder(folder);
}

void ShellCore::GoToImageFolder() {
  if (FDiskImage && FDiskImage->FileName().has_parent_path())
    ports_.view.ShowFolder(FDiskImage->FileName().parent_path());
}

void ShellCore::ShowCustomDisk() {
  ports_.view.SetRows({}, -1);
  ports_.view.SetPanelText(kPanelTotals, L"Custom Disk");
  ports_.view.SetPanelText(kPanelUsed, L"");
  ports_.view.SetPanelText(kPanelFree, L"");
}

std::wstring ShellCore::OpenCaption() {
  return ports_.ui.ProgramText(kOpenCaptionText);
}

void ShellCore::ReportFailure(const std::wstring& text, const std::wstring& caption) {
  ports_.ui.MessageDlg(text, caption, MsgButtons::Ok, MsgIcon::Error);
}

std::int64_t ShellCore::GetImageFileSize(const std::filesystem::path& fileName) const {
  const std::optional<std::uint64_t> size = ports_.fs.FileSize(fileName);
  return size ? static_cast<std::int64_t>(*size) : -1;
}

std::filesystem::path ShellCore::Resolve(const std::filesystem::path& fileName) const {
  return ports_.fs.ExpandFileName(fileName);
}

std::filesystem::path ShellCore::ImagePath(const std::filesystem::path& fileName) const {
  if (fileName.is_absolute() || newImageFolder_.empty()) return Resolve(fileName);
  return Resolve(newImageFolder_ / fileName);
}

}  // namespace app
