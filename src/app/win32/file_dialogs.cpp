#include "app/win32/file_dialogs.h"

#include <windows.h>

#include "app/shell_texts.h"

namespace app {

namespace {

const std::wstring kRawImages = L"DSK Disk Image";
const std::wstring kTrackImages = L"HFE Disk Image";

// The version as the system reports it (the manifest lists no later systems, so this is the
// compatibility view, which is enough to tell Vista and later apart).
DWORD MajorVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
  return info.dwMajorVersion;
}

}  // namespace

bool IsVistaOrLater() {
  return MajorVersion() >= 6;
}

void ImageDialogs::Setup() {
  ImageDialogComponents& c = components_;
  c.newOpen->Title = L"Open Disk Image";
  c.newOpen->FileTypes = {{kRawImages, L"*.dsk"}, {kTrackImages, L"*.hfe"}, {L"Any File", L"*.*"}};
  c.newOpen->Options = FOS_FILEMUSTEXIST;
  c.oldOpen->Title = L"Open Disk Image";
  c.oldOpen->Filter = kRawImages + L"|*.dsk|" + kTrackImages + L"|*.hfe";
  c.oldOpen->Options = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
  c.newSave->Title = L"Save Disk Image";
  c.newSave->FileTypes = {{kRawImages, L"*.dsk"}, {kTrackImages, L"*.hfe"}};
  c.newSave->DefaultExtension = L"dsk";
  c.newSave->Options = FOS_STRICTFILETYPES;
  c.newSave->OnTypeChange = [this](ui::TComponent* sender) { NewFileSaveDialogTypeChange(sender); };
  c.oldSave->Title = L"Save Disk Image";
  c.oldSave->Filter = c.oldOpen->Filter;
  c.oldSave->DefaultExt = L"dsk";
  // The replace question: without it an existing file would be overwritten unasked.
  c.oldSave->Options = OFN_ENABLESIZING | OFN_OVERWRITEPROMPT;
  c.newAddFiles->Title = L"Add Files...";
  c.newAddFiles->FileTypes = {{L"Any File", L"*.*"}};
  c.newAddFiles->Options = FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST;
  c.oldAddFiles->Title = L"Add Files...";
  c.oldAddFiles->Filter = L"Any File|*.*";
  c.oldAddFiles->Options =
      OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
  c.newSelectFolder->Title = L"Select Folder";
  c.newSelectFolder->Options = FOS_PICKFOLDERS | FOS_PATHMUSTEXIST;
}

void ImageDialogs::NewFileSaveDialogTypeChange(ui::TComponent*) {
  SyncSaveExtension();
}

void ImageDialogs::SyncSaveExtension() {
  ui::TFileSaveDialog& dialog = *components_.newSave;
  const int index = dialog.FileTypeIndex();
  if (index >= 1 && index <= static_cast<int>(dialog.FileTypes.size()))
    dialog.SetDefaultExtension(
        ui::MaskExtension(dialog.FileTypes[static_cast<std::size_t>(index - 1)].fileMask));
}

std::optional<std::filesystem::path> ImageDialogs::OpenImage() {
  if (vista_) {
    if (!components_.newOpen->Execute()) return std::nullopt;
    return std::filesystem::path(components_.newOpen->FileName);
  }
  if (!components_.oldOpen->Execute()) return std::nullopt;
  return std::filesystem::path(components_.oldOpen->FileName);
}

std::optional<TSaveChoice> ImageDialogs::SaveImage(const std::filesystem::path& fileName,
                                                   const std::filesystem::path& folder) {
  if (vista_) {
    ui::TFileSaveDialog& dialog = *components_.newSave;
    dialog.FileName = fileName.wstring();
    dialog.DefaultFolder = folder.wstring();
    if (!dialog.Execute()) return std::nullopt;
    return TSaveChoice{EnteredSaveName(dialog.FileName, dialog.EnteredName),
                       dialog.DefaultExtension, dialog.FileName};
  }
  ui::TSaveDialog& dialog = *components_.oldSave;
  dialog.FileName = fileName.wstring();
  dialog.InitialDir = folder.wstring();
  if (!dialog.Execute()) return std::nullopt;
  return TSaveChoice{dialog.FileName, dialog.DefaultExt, dialog.FileName};
}

std::vector<std::filesystem::path> ImageDialogs::AddFiles() {
  ui::TStringList* files = nullptr;
  if (vista_) {
    if (!components_.newAddFiles->Execute()) return {};
    files = &components_.newAddFiles->Files();
  } else {
    if (!components_.oldAddFiles->Execute()) return {};
    files = &components_.oldAddFiles->Files();
  }
  std::vector<std::filesystem::path> paths;
  for (int i = 0; i < files->Count(); ++i) paths.emplace_back(files->Get(i));
  return paths;
}

std::optional<std::filesystem::path> ImageDialogs::SelectFolder(
    const std::filesystem::path& start) {
  if (vista_) {
    ui::TFileOpenDialog& dialog = *components_.newSelectFolder;
    if (!start.empty()) dialog.DefaultFolder = start.wstring();
    if (!dialog.Execute()) return std::nullopt;
    return std::filesystem::path(dialog.FileName);
  }
  // The classic picker starts in the current folder unless told otherwise.
  std::wstring folder = (start.empty() ? std::filesystem::current_path() : start).wstring();
  if (!ui::SelectDirectory(L"Select Folder", folder)) return std::nullopt;
  return std::filesystem::path(folder);
}

std::wstring ImageDialogs::SaveDefaultExtension() {
  return vista_ ? components_.newSave->DefaultExtension : components_.oldSave->DefaultExt;
}

}  // namespace app
