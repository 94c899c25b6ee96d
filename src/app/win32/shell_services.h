// The shell's platform services in the program: message boxes, the clipboard, the shell, the
// hourglass, the drives, the user's date format, the file viewer windows and the window's
// settings storage.
#pragma once

#include <windows.h>

#include "app/shell_ports.h"
#include "ux/form_placement.h"

namespace app {

class TShellUi : public IShellUi {
 public:
  // Message boxes belong to `owner` (null: the active window).
  void SetOwner(HWND owner) { owner_ = owner; }
  MsgAnswer MessageDlg(const std::wstring& text, const std::wstring& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  void SetClipboardText(const std::wstring& text) override;
  void ShellOpen(const std::wstring& file, const std::wstring& parameters) override;
  void Explore(const std::filesystem::path& folder) override;
  bool ShiftDown() override;
  void SetBusy(bool busy) override;
  // From the string table of the program's own file.
  std::wstring ProgramText(int id) override;

 private:
  HWND owner_ = nullptr;
  int previousCursor_ = 0;
};

class TDrives : public IDrives {
 public:
  std::uint32_t LogicalDrives() override;
  unsigned DriveType(const std::wstring& root) override;
  std::filesystem::path CurrentFolder(const std::wstring& root) override;
};

// The user's short date and long time patterns, AM/PM texts and month and day names.
files::TDateTimeFormat LocaleDateTimeFormat();

// Each view opens a new viewer window, whose placement is kept under `settingsKey`.
class TFileViewers : public IFileViewer {
 public:
  explicit TFileViewers(std::wstring settingsKey) : settingsKey_(std::move(settingsKey)) {}
  void ViewFile(std::span<const std::uint8_t> data, const std::wstring& fileName,
                std::int32_t displaySize, TViewerMode mode) override;
  void ViewPicture(std::span<const std::uint8_t> data, const std::wstring& fileName) override;

 private:
  std::wstring settingsKey_;
};

// The window's own values go through its form storage, in the form's section.
class FormStorageSettings : public ISettings {
 public:
  explicit FormStorageSettings(ux::TFormPlacement& storage) : storage_(storage) {}
  std::wstring ReadString(const std::wstring& ident, const std::wstring& def) override {
    return storage_.ReadString(ident, def);
  }
  void WriteString(const std::wstring& ident, const std::wstring& value) override {
    storage_.WriteString(ident, value);
  }
  int ReadInteger(const std::wstring& ident, int def) override {
    return storage_.ReadInteger(ident, def);
  }
  void WriteInteger(const std::wstring& ident, int value) override {
    storage_.WriteInteger(ident, value);
  }
  void SaveAll() override { storage_.SaveFormPlacement(); }

 private:
  ux::TFormPlacement& storage_;
};

}  // namespace app
