#include "app/win32/version_info.h"

#include <windows.h>

#include <cwchar>

namespace app {

std::wstring FileVersion;
std::wstring ProductName;
std::wstring ProductVersion;
std::wstring LegalCopyright;

namespace {

// The running program's path (the longest a path can be fits).
std::wstring ProgramPath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

}  // namespace

std::wstring GetVersionValue(const std::vector<std::uint8_t>& buffer, const std::wstring& name) {
  if (buffer.empty()) return {};
  wchar_t query[256];
  swprintf(query, 256, L"\\StringFileInfo\\%.04x%.04x\\%ls", 0x0409, 0x04E4, name.c_str());
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(buffer.data(), query, &value, &length) || !value || length == 0) return {};
  // The length counts the terminating zero; a value without one ends at its length.
  const auto* text = static_cast<const wchar_t*>(value);
  return std::wstring(text, wcsnlen(text, length));
}

void ReadVersionInfo() {
  FileVersion.clear();
  ProductName.clear();
  ProductVersion.clear();
  LegalCopyright.clear();
  const std::wstring path = ProgramPath();
  if (path.empty()) return;
  // The buffer takes the resource's own size, so a resource larger than a fixed buffer is not cut.
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return;
  std::vector<std::uint8_t> buffer(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, buffer.data())) return;
  FileVersion = GetVersionValue(buffer, L"FileVersion");
  ProductName = GetVersionValue(buffer, L"ProductName");
  ProductVersion = GetVersionValue(buffer, L"ProductVersion");
  LegalCopyright = GetVersionValue(buffer, L"LegalCopyright");
}

}  // namespace app
