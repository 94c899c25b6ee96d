// The main window's decisions: the one disk image it holds, start-up, the image commands, the
// file list and its commands, and the window's own settings. One method per handler; the platform
// is reached only through the ports of shell_ports.h, so all of it runs in tests without a window.
//
// Beyond the plain handlers, the commands keep the user's data safe: the save question counts as
// answered only when the save happened; New asks it too; an open keeps the current image until
// the new one has loaded; failed saves and exports are reported and keep the modified flag; the
// caption follows the modified flag after every command, file commands included; an image read
// from a damaged track image is not saved over that file unless a name is chosen for it; an
// image whose geometry the model cannot list (a custom disk), or a track image whose boot sector
// or FAT could not be read, takes no command that changes it, but can be saved as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/files/file_sort.h"
#include "app/files/virtual_drop.h"
#include "app/files/work_list.h"
#include "app/shell_ports.h"
#include "app/shell_texts.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "tb/mru.h"

namespace app {

struct ShellPorts {
  IShellView& view;
  IShellUi& ui;
  IFileDialogs& dialogs;
  files::IHostFs& fs;
  ISettings& settings;
  IDrives& drives;
  IFileViewer& viewer;
  // The user's date and time patterns for the list's date column.
  const files::TDateTimeFormat& dates;
  tb::TTBMRUList& recentFiles;
  tb::TTBMRUList& recentFolders;
};

// A drive of the folder browser's drive menu.
struct DriveItem {
  std::wstring caption;  // "C: (Fixed) "
  int driveBit = 0;
  bool operator==(const DriveItem&) const = default;
};

// A removable drive for the drives menu.
struct RemovableDriveItem {
  std::wstring root;  // "E:\"
  int driveBit = 0;
  bool checked = false;
  bool operator==(const RemovableDriveItem&) const = default;
};

class ShellCore {
 public:
  explicit ShellCore(const ShellPorts& ports);
  ShellCore(const ShellCore&) = delete;
  ShellCore& operator=(const ShellCore&) = delete;

  disk::TMSXDisk* Image() const { return FDiskImage.get(); }
  int BootCodeOption() const { return FBootCodeOption; }
  const std::wstring& RemovableDrive() const { return FRemovableDrive; }

  // --- Start and stop ---
  // The window's settings were restored: the removable drive and the boot-code choice.
  void RestoreSettings();
  // The window's settings are being saved.
  void SaveSettings();
  // First show: opens the command line's image, or makes the start-up image.
  void Start(const std::vector<std::wstring>& arguments);
  // The save question; also the close question. True: go ahead.
  bool QuerySaveModified();

  // --- Image commands ---
  // True when the image was opened.
  bool OpenDiskImage(const std::filesystem::path& fileName);
  void OpenWithDialog();
  // Tag 2: a 720 KB image; any other tag a 360 KB one.
  void NewImage(int tag);
  // True when the image is saved afterwards.
  bool Save();
  bool SaveAs();
  void ExportToRemovable();
  void ChangeBootOption(int tag);
  void ReplaceBootSector(int tag);
  void CopyFullName();
  void OpenFolder();
  // A recent-file entry was chosen.
  void OpenRecentFile(const std::wstring& fileName);
  // A recent-folder entry was chosen: shown in the folder browser as it is (the browser shows a
  // folder that is gone as an empty one).
  void OpenRecentFolder(const std::wstring& folder);
  // "Go to Current Directory": the image file's folder in the folder browser, when it has one.
  void GoToImageFolder();
  std::vector<RemovableDriveItem> RemovableDrives();
  void SetRemovableDrive(int driveBit);
  // Every drive whose type is known, in drive-letter order.
  std::vector<DriveItem> Drives();
  // The folder browser switches to the drive's current folder.
  void SetBrowserDrive(int driveBit);

  // --- File list ---
  // Lists the current directory again: rows (sorted when a column sorts them), the retained
  // row selected, the totals and usage panels.
  void RefreshFileList();
  void UpdateCaption();
  // A header click: sorts by that column, or stops sorting on a second click.
  void ColumnClick(int column);
  // Double click or Enter: into the selected row when it is a directory.
  void OpenSelectedRow();
  // A typed character; true when it was consumed.
  bool KeyPress(wchar_t key, KeyFocus focus);

  // --- File commands ---
  void SelectAll();
  // Into the selected directory row.
  void ChangeDir();
  // `name` as the disk model reads paths ("..", "\"); the retained row stays as it was.
  void ChangeDirTo(const std::string& name);
  // The add-files dialog's files, added to the current directory (no pre-check: the disk
  // refuses what does not fit and the run stops once nothing more can be added).
  void AddFiles();
  // Adds the files and makes and enters the folders of a work list, then shows the outcome.
  void RunWorkList(const files::TWorkList& list);
  // The selected files into a chosen folder (starting in the image's folder with Shift), each
  // under a safe host name; then the folder is explored.
  void ExtractFiles();
  void DeleteFiles();
  // Makes the first free "NEWDIRn" and opens its name editor.
  void MakeDir();
  // Opens the selected row's name editor.
  void StartRename();
  // Whether the row of `entry` may be renamed ("." and ".." may not).
  bool CanRename(const disk::TDirEntry& entry) const;
  // The name typed for `entry`: written when it is a valid 8.3 name that no other entry holds.
  // Returns the text the row shows now (the new name, or the old one when refused).
  std::wstring Rename(disk::TDirEntry& entry, const std::wstring& typed);
  // The selected file in a viewer window.
  void ViewFile(TViewerMode mode);

  // Whether the image takes commands that change it: there is one, its geometry is the model's
  // (no custom disk) and its boot sector and FAT were read (a track image may lack them; its
  // allocation would then be unknown and a write could overwrite what is left of its files). The
  // menus show those commands disabled otherwise.
  bool CanChange() const { return FDiskImage && !CustomDisk() && !unreadableSystemArea_; }

  // --- Drops on the file list ---
  // Whether a drag entering the list may drop: there is an image (a dropped image file opens
  // even over a custom disk).
  bool CanAcceptDrop() const { return FDiskImage != nullptr; }
  // Host files and folders: the first image file among them is opened once the drop is over and
  // nothing is added; otherwise folders are expanded and the files that fit the free bytes are
  // added, then the caption and the list are refreshed.
  void DropFiles(std::span<const std::filesystem::path> paths);
  // Virtual files from another program, added below the current directory; then the caption
  // and the list are refreshed.
  void DropVirtual(std::span<const files::TVirtualItem> items,
                   const files::TContentsSource& contents);

 private:
  // The image file's folder; for an image never saved, the folder its name was numbered in.
  std::filesystem::path ImageFolder() const;
  // The save dialog with `preset`, started in the image's folder; the file it names, once the
  // user agreed to replace an existing file the dialog did not ask about (No opens the dialog
  // again with the name as typed, in the folder chosen).
  std::optional<std::filesystem::path> AskSaveName(const std::filesystem::path& preset);
  // Writes the image as `fileName`'s kind; reports a failure. True when written.
  bool SaveDiskImage(const std::filesystem::path& fileName);
  // The image as the bytes of a file of `kind` (Dsk or Hfe); empty when it cannot be built.
  std::vector<std::uint8_t> ImageBytes(ImageKind kind) const;
  // The loaded image, or null after reporting why not; `unread` tells the sectors of a track
  // image that could not be read.
  std::unique_ptr<disk::TMSXDisk> LoadImage(const std::filesystem::path& fileName, bool hfe,
                                            hfe::THfeReadReport& unread);
  // Puts `image` in place of the current one; no list row may point into the old one.
  void ReplaceImage(std::unique_ptr<disk::TMSXDisk> image);
  // Lists and shows the current directory; returns the rows as shown.
  std::vector<files::TFileRow> FillFileList();
  // The first selected entry, or null.
  disk::PDirEntry SelectedEntry();
  void UpdateSizePanel();
  void UpdateUsagePanels();
  void ShowCustomDisk();
  // The image's boot record gives zero sectors per cluster or zero sectors: its directory is not
  // listed and nothing changes it until another image replaces it.
  bool CustomDisk() const;
  void ReportFailure(const std::wstring& text, const std::wstring& caption);
  // The caption of the open command's message boxes.
  std::wstring OpenCaption();
  std::filesystem::path Resolve(const std::filesystem::path& fileName) const;
  // The host file's size in bytes; -1 when it cannot be read.
  std::int64_t GetImageFileSize(const std::filesystem::path& fileName) const;
  // The file an image name stands for: a new image's bare name stays in the folder it was
  // numbered in, wherever the current directory has moved since (a platform dialog may move it).
  std::filesystem::path ImagePath(const std::filesystem::path& fileName) const;

  ShellPorts ports_;
  std::unique_ptr<disk::TMSXDisk> FDiskImage;
  // Where a new image's name was numbered: the folder its dialogs start in until it is saved.
  std::filesystem::path newImageFolder_;
  // The image came from a track image with unreadable sectors: Save asks for a name rather than
  // write the readable part over the damaged file, until the image is written somewhere.
  bool damagedSource_ = false;
  // The boot sector or the FAT of the track image could not be read: nothing changes the image.
  bool unreadableSystemArea_ = false;
  int FRetainIndex = -1;
  // The column the list is sorted by; -1: directory order.
  files::TSortState FSortMode;
  int FBootCodeOption = 1;
  std::wstring FRemovableDrive;
};

}  // namespace app
