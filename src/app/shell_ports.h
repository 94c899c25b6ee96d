// What the main window's decisions need from the platform: the window's view, message boxes and
// shell services, the file dialogs, the stored settings, the drives and the file viewer (the host
// files are files::IHostFs). The program implements them over Win32; tests implement them in
// memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/file_view_text.h"
#include "app/files/file_rows.h"
#include "app/files/host_fs.h"

namespace app {

inline constexpr int kPanelSize = 0;
inline constexpr int kPanelTotals = 1;
inline constexpr int kPanelUsed = 2;
inline constexpr int kPanelFree = 3;

class IShellView {
 public:
  virtual void SetCaption(const std::wstring& caption) = 0;
  virtual void SetPanelText(int panel, const std::wstring& text) = 0;
  // Replaces every row; `focusIndex` (or -1) becomes the selected, focused and visible row.
  virtual void SetRows(std::vector<files::TFileRow> rows, int focusIndex) = 0;
  // Sorts the shown rows by files::CompareRows in `mode`; the selection stays with its rows.
  virtual void SortRows(std::int32_t mode) = 0;
  // The entries of the selected rows, in the order shown.
  virtual std::vector<disk::PDirEntry> SelectedEntries() = 0;
  // The index of the first selected row, or -1.
  virtual int ItemIndex() = 0;
  virtual void SelectAll() = 0;
  // Selects, focuses and shows only that row and opens its in-place name editor.
  virtual void EditRow(int index) = 0;
  // Asks for RefreshFileList once the current message is handled (the name editor's end
  // notification must not see its rows replaced).
  virtual void RefreshLater() = 0;
  // Checks the boot-code radio item of `option` (0-2); any other value checks none.
  virtual void CheckBootOption(int option) = 0;
  // Asks for OpenDiskImage(fileName) once the current message is handled: a dropped image is
  // opened after the drop, so no message box holds up the program that dropped it.
  virtual void OpenImageLater(const std::filesystem::path& fileName) = 0;
  // Shows `folder` in the folder browser.
  virtual void ShowFolder(const std::filesystem::path& folder) = 0;
  // The folder the folder browser shows.
  virtual std::filesystem::path BrowserFolder() = 0;
  // The image list's selected file; empty when none is selected.
  virtual std::filesystem::path SelectedImageFile() = 0;
  // The folder browser shows its selected line's folder, as a double click does.
  virtual void OpenSelectedFolder() = 0;
  // A disk image file was written (saved or exported): the image list, when it lists that file's
  // folder, reads the folder again so that it shows the file.
  virtual void ImageFileWritten(const std::filesystem::path& fileName) = 0;

 protected:
  ~IShellView() = default;
};

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgIcon { Error, Warning, Question, Information };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class IShellUi {
 public:
  virtual MsgAnswer MessageDlg(const std::wstring& text, const std::wstring& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;
  virtual void SetClipboardText(const std::wstring& text) = 0;
  virtual void ShellOpen(const std::wstring& file, const std::wstring& parameters) = 0;
  // Opens the folder in the shell with the verb "explore".
  virtual void Explore(const std::filesystem::path& folder) = 0;
  // Whether a Shift key is held down now.
  virtual bool ShiftDown() = 0;
  // The hourglass cursor on or off.
  virtual void SetBusy(bool busy) = 0;
  // The text of the program's string table with this number; empty when it has none.
  virtual std::wstring ProgramText(int id) = 0;

 protected:
  ~IShellUi() = default;
};

// What the save dialog was confirmed with.
struct TSaveChoice {
  // The name as entered, in the chosen folder, without an extension the dialog added.
  std::filesystem::path fileName;
  // The chosen file type's extension without its dot ("dsk" or "hfe").
  std::wstring typeExtension;
  // The name the dialog itself named as its result: the one whose replacement it asked about.
  std::filesystem::path checked;
};

class IFileDialogs {
 public:
  // The image chosen in the open dialog, or nothing when cancelled.
  virtual std::optional<std::filesystem::path> OpenImage() = 0;
  // The save dialog with `fileName` preset and, when not empty, `folder` as its start folder.
  virtual std::optional<TSaveChoice> SaveImage(const std::filesystem::path& fileName,
                                               const std::filesystem::path& folder) = 0;
  // The save dialog's default extension without its dot ("dsk" or "hfe").
  virtual std::wstring SaveDefaultExtension() = 0;
  // The files chosen in the add-files dialog; empty when cancelled.
  virtual std::vector<std::filesystem::path> AddFiles() = 0;
  // The folder chosen in the folder dialog, started in `start` when not empty.
  virtual std::optional<std::filesystem::path> SelectFolder(const std::filesystem::path& start) = 0;

 protected:
  ~IFileDialogs() = default;
};

// The main window's own values, kept with its placement.
class ISettings {
 public:
  virtual std::wstring ReadString(const std::wstring& ident, const std::wstring& def) = 0;
  virtual void WriteString(const std::wstring& ident, const std::wstring& value) = 0;
  virtual int ReadInteger(const std::wstring& ident, int def) = 0;
  virtual void WriteInteger(const std::wstring& ident, int value) = 0;
  // Writes the whole window state now (placement, listed properties and own values).
  virtual void SaveAll() = 0;

 protected:
  ~ISettings() = default;
};

inline constexpr unsigned kDriveUnknown = 0;
inline constexpr unsigned kDriveNoRootDir = 1;
inline constexpr unsigned kDriveRemovable = 2;

class IDrives {
 public:
  // Bit n set: drive letter "A" + n exists.
  virtual std::uint32_t LogicalDrives() = 0;
  // The platform's drive type of a root such as "E:\".
  virtual unsigned DriveType(const std::wstring& root) = 0;
  // The current folder on the drive of a root such as "E:\" (its root when it has none).
  virtual std::filesystem::path CurrentFolder(const std::wstring& root) = 0;

 protected:
  ~IDrives() = default;
};

// A new viewer window for one file's bytes.
class IFileViewer {
 public:
  // `displaySize` is the directory entry's size, shown even when the data is shorter.
  virtual void ViewFile(std::span<const std::uint8_t> data, const std::wstring& fileName,
                        std::int32_t displaySize, TViewerMode mode) = 0;
  // A SCREEN 5 or SCREEN 8 picture in the picture viewer.
  virtual void ViewPicture(std::span<const std::uint8_t> data, const std::wstring& fileName) = 0;

 protected:
  ~IFileViewer() = default;
};

}  // namespace app
