// The shell's platform services in the program: message boxes, the clipboard, the shell, the
// hourglass, the drives, the user's date format and the window's settings storage.
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
  void SetBusy(bool busy) override;

 private:
  HWND owner_ = nullptr;
  int previousCursor_ = 0;
};

class TDrives : public IDrives {
 public:
  std::uint32_t LogicalDrives() override;
  unsigned DriveType(const std::wstring& root) override;
};

class TLocaleDateTimeFormat : public IDateTimeFormat {
 public:
  std::wstring Date(const rtl::TDateTime& value) const override;
  std::wstring Time(const rtl::TDateTime& value) const override;
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
