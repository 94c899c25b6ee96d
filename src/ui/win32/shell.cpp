#include "ui/win32/shell.h"

#include <shellapi.h>

#include <utility>

namespace ui {

namespace {

TDriveTypeHook& DriveHook() {
  static TDriveTypeHook hook;
  return hook;
}

TShellHook& ShellHook() {
  static TShellHook hook;
  return hook;
}

}  // namespace

TDriveTypeHook SetDriveTypeHook(TDriveTypeHook hook) {
  return std::exchange(DriveHook(), std::move(hook));
}

DWORD LogicalDrives() {
  if (!DriveHook()) return GetLogicalDrives();
  DWORD mask = 0;
  for (int drive = 0; drive < 26; ++drive) {
    const std::wstring root{static_cast<wchar_t>(L'A' + drive), L':', L'\\'};
    if (DriveHook()(root) != DRIVE_NO_ROOT_DIR) mask |= 1u << drive;
  }
  return mask;
}

UINT DriveType(const std::wstring& root) {
  return DriveHook() ? DriveHook()(root) : GetDriveTypeW(root.c_str());
}

TShellHook SetShellHook(TShellHook hook) {
  return std::exchange(ShellHook(), std::move(hook));
}

void ShellExecuteRequest(const TShellRequest& request) {
  if (ShellHook()) return ShellHook()(request);
  ShellExecuteW(request.owner, request.verb.empty() ? nullptr : request.verb.c_str(),
                request.file.c_str(), request.parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace ui
