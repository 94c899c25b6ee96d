// The main window's texts and small decisions, as pure functions: the caption, the status panels,
// the kind of an image file, new image names, the command line's image, the names the save and
// export commands use, and the keys the file list answers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/shell_ports.h"

namespace disk {
class TMSXDisk;
}

namespace app {

inline const std::wstring kSaveCaption = L"Save Disk Image";
inline const std::wstring kExportCaption = L"Export To Removable";
inline const std::wstring kQuestionCaption = L"Quollbox ";
inline const std::wstring kNotImplemented = L"Not Implemented";
// The open command's caption and its message for a file of no known kind are texts of the
// program's string table (IShellUi::ProgramText), by these numbers.
inline constexpr int kOpenCaptionText = 65221;
inline constexpr int kUnrecognizedFormatText = 65222;
inline const std::wstring kSaveQuestion =
    L"The currently opened disk image was modified!\r\nSave changes?";

// The warning after opening a track image some of whose sectors could not be read.
std::wstring DamagedImageText(int unreadableSectors);

// Why an image with another media byte is refused.
std::wstring MediaByteRefusalText(std::uint8_t mediaByte);

// The report of an extraction some of whose files were not written: "Cannot extract F of T
// file(s) to "<folder>".", then one line per failed file, "<name>: <reason>" (the first ten).
inline const std::wstring kExtractCaption = L"Extract File(s)";
std::wstring ExtractFailureText(const std::filesystem::path& folder, std::size_t total,
                                const std::vector<std::pair<std::wstring, std::wstring>>& failed);

// "Quollbox - <name>", plus " *" when modified.
std::wstring CaptionText(const std::wstring& fileName, bool modified);
// "360k" / "720k"; "none" without an image.
std::wstring SizePanelText(const disk::TMSXDisk* image);
std::wstring UsedPanelText(std::int32_t used, std::int32_t total);
std::wstring FreePanelText(std::int32_t free);

enum class ImageKind { Hfe, Dsk, DskWrongSize, Xsa, Unknown };
// By the upper-cased extension; a raw image only at 368,640 or 737,280 bytes (`size` -1: unknown).
ImageKind ClassifyImageFile(const std::filesystem::path& path, std::int64_t size);
// The kind the save commands write: Hfe, Dsk or Unknown.
ImageKind SaveKind(const std::filesystem::path& path);

// "NewImage%d.dsk" with the first number from 1 for which `exists` is false.
std::wstring NextNewImageName(const std::function<bool(const std::wstring&)>& exists);

// The last non-empty argument that does not begin with "/" or "-".
std::optional<std::wstring> CommandLineImage(const std::vector<std::wstring>& arguments);

// The file a confirmed save dialog names. `entered` is the name as entered (in the chosen folder),
// `typeExtension` the chosen file type's extension without its dot: a typed ".dsk" or ".hfe"
// (any case) chooses the kind itself; any other name gets the type's extension added.
std::filesystem::path SaveFileName(const std::filesystem::path& entered,
                                   const std::wstring& typeExtension);
// The name the user entered, in the folder of the dialog's `result`: a dialog may add its type's
// extension even to a name that has one ("b.dsk" becomes "b.dsk.hfe"). `result` itself when it
// does not begin with the entered name.
std::filesystem::path EnteredSaveName(const std::filesystem::path& result,
                                      const std::wstring& entered);

// Whether two names name the same file as the platform compares them (letter case aside).
bool SameFileName(const std::filesystem::path& a, const std::filesystem::path& b);
// The question before an existing file is replaced: "<name>" already exists, replace it?
std::wstring ReplaceQuestionText(const std::filesystem::path& fileName);

// The name part of `fileName` with its extension replaced by "." + `extension`.
std::wstring SaveAsPresetName(const std::filesystem::path& fileName, const std::wstring& extension);
// `driveRoot` with a trailing backslash, then the image's name part with the extension ".HFE".
std::wstring ExportTarget(const std::wstring& driveRoot, const std::filesystem::path& fileName);
// Explorer's parameters to show the file selected, the path quoted (it may contain commas).
std::wstring SelectInExplorerParameters(const std::filesystem::path& fileName);
// "A:\" for drive bit 0.
std::wstring DriveRoot(int driveBit);
// The name of a drive type: "Removable", "Fixed", ...; "Unknown" for any other value.
std::wstring DriveTypeName(unsigned type);
// The question for a recent file that is gone.
std::wstring MissingRecentText(const std::wstring& fileName);
inline const std::wstring kRecentCaption = L"Open MRU";

// A side panel as the Options menu sees it.
struct TPanelState {
  bool visible = false;
  int width = 0;
  bool operator==(const TPanelState&) const = default;
};
// The menu item's check: shown and at least 1 px wide.
inline bool PanelShown(TPanelState s) {
  return s.visible && s.width >= 1;
}
// Shown and wider than 0 px: hidden; otherwise shown, and then at least 160 px wide.
TPanelState ToggledPanel(TPanelState s);

// The side docks' widths as restored from the settings, fitted to the window so that the file
// list keeps kMinListWidth px: negative widths become 0; when the two do not fit, a dock that
// fits in half the room keeps its width and the other gets the rest, else each gets half.
inline constexpr int kMinListWidth = 100;
struct TSideDockWidths {
  int left = 0;
  int right = 0;
  bool operator==(const TSideDockWidths&) const = default;
};
TSideDockWidths FittedDockWidths(int clientWidth, TSideDockWidths stored);

// The control that has the keyboard focus when a character is typed.
enum class KeyFocus { FileList, ImageList, FolderBrowser, Other };

// What a typed character does in the main window (its key preview sees every one first).
enum class ListKeyCommand {
  None,           // the key goes on to the control
  Consumed,       // swallowed, nothing done
  ParentDir,      // Backspace in the file list
  OpenRow,        // Enter in the file list: as a double click
  RootDir,        // "\" or Ctrl+\, whichever control has the focus
  BrowserParent,  // Backspace in the image list or the folder browser
  OpenImage,      // Enter in the image list: its selected file is opened
  OpenFolder,     // Enter in the folder browser: its selected folder is shown
};
ListKeyCommand KeyCommand(wchar_t key, KeyFocus focus);
// The folder browser's parent of `folder`: a trailing separator removed, then the folder part
// (with its separator); a drive's root stays.
std::wstring BrowserParentFolder(std::wstring folder);

}  // namespace app
