// The shell's services a program asks for: the drives and their kinds, and a file or folder
// opened with a verb ("open", "explore"). A program under test answers them in the system's
// place through hooks, as it answers message boxes through the application's presenter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

// The kind of the drive with this root ("C:\\"): DRIVE_FIXED, DRIVE_REMOVABLE, ...,
// DRIVE_NO_ROOT_DIR where there is none.
using TDriveTypeHook = std::function<UINT(const std::wstring& root)>;
// Installs a hook (null: the system's drives); returns the previous one.
TDriveTypeHook SetDriveTypeHook(TDriveTypeHook hook);
// Bit n set: drive 'A' + n exists.
DWORD LogicalDrives();
UINT DriveType(const std::wstring& root);

struct TShellRequest {
  HWND owner = nullptr;
  std::wstring verb;  // empty: the file's default verb
  std::wstring file;
  std::wstring parameters;
};
using TShellHook = std::function<void(const TShellRequest&)>;
// Installs a hook (null: the system's shell); returns the previous one.
TShellHook SetShellHook(TShellHook hook);
void ShellExecuteRequest(const TShellRequest& request);

}  // namespace ui
