#include "ui/win32/registry_ini_file.h"

#include <vector>

#include "rtl/exceptions.h"
#include "rtl/win32/text.h"

namespace ui {

// TRegKey

TRegKey& TRegKey::operator=(TRegKey&& other) noexcept {
  if (this != &other) {
    if (key_) RegCloseKey(key_);
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

TRegKey::~TRegKey() {
  if (key_) RegCloseKey(key_);
}

TRegKey TRegKey::Open(HKEY parent, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  if (!parent || RegOpenKeyExW(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
  return TRegKey(key);
}

TRegKey TRegKey::Create(HKEY parent, const std::wstring& path, REGSAM access) {
  HKEY key = nullptr;
  const LONG error = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     access, nullptr, &key, nullptr);
  if (error != ERROR_SUCCESS) {
    throw rtl::Exception("Failed to create key " + rtl::win32::Utf8FromWide(path) + ": " +
                         rtl::win32::SystemErrorMessage(static_cast<DWORD>(error)));
  }
  return TRegKey(key);
}

// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(HKEY root, const std::wstring& path, bool readOnly)
    : TCustomIniFile(path), readOnly_(readOnly) {
  key_ = readOnly ? TRegKey::Open(root, path, KEY_READ)
                  : TRegKey::Create(root, path, KEY_READ | KEY_WRITE);
}

TRegKey TRegistryIniFile::OpenSection(const std::wstring& section, REGSAM access) const {
  if (!key_) return {};
  return TRegKey::Open(key_.Get(), section, access);
}

HKEY TRegistryIniFile::ReadKey(const std::wstring& section) const {
  if (!readKey_ || section != readSection_) {
    readKey_ = OpenSection(section, KEY_READ);
    readSection_ = section;
  }
  return readKey_.Get();
}

std::optional<std::wstring> TRegistryIniFile::Read(const std::wstring& section,
                                                   const std::wstring& ident) const {
  // Most values fit the first buffer: one query each; a longer one is asked again at its size.
  std::vector<wchar_t> buffer(256, L'\0');
  DWORD type = 0;
  DWORD bytes = 0;
  const auto query = [&](HKEY key) {
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    return RegQueryValueExW(key, ident.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(buffer.data()), &bytes);
  };
  HKEY key = ReadKey(section);
  if (!key) return std::nullopt;
  LONG result = query(key);
  if (result == ERROR_KEY_DELETED) {  // erased through another file since: open it again
    readKey_ = {};
    key = ReadKey(section);
    if (!key) return std::nullopt;
    result = query(key);
  }
  if (result == ERROR_MORE_DATA) {
    buffer.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    result = query(key);
  }
  if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
  // The stored text may or may not end in a NUL; stop at the first one.
  std::wstring value(buffer.data(), bytes / sizeof(wchar_t));
  return value.substr(0, value.find(L'\0'));
}

void TRegistryIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                                   const std::wstring& value) {
  if (readOnly_ || !key_) throw rtl::Exception("The settings file is read-only");
  const TRegKey key = section.empty() ? TRegKey::Open(key_.Get(), L"", KEY_WRITE)
                                      : TRegKey::Create(key_.Get(), section, KEY_WRITE);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const LONG error = RegSetValueExW(key.Get(), ident.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  if (error != ERROR_SUCCESS) {
    throw rtl::Exception("Failed to set data for '" + rtl::win32::Utf8FromWide(ident) +
                         "': " + rtl::win32::SystemErrorMessage(static_cast<DWORD>(error)));
  }
}

void TRegistryIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  const TRegKey key = OpenSection(section, KEY_WRITE);
  if (key) RegDeleteValueW(key.Get(), ident.c_str());
}

std::vector<std::wstring> TRegistryIniFile::ReadSection(const std::wstring& section) const {
  std::vector<std::wstring> names;
  const TRegKey key = OpenSection(section, KEY_READ);
  if (!key) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD length = static_cast<DWORD>(std::size(name));
    DWORD type = 0;
    if (RegEnumValueW(key.Get(), index, name, &length, nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    if (type == REG_SZ) names.emplace_back(name, length);
  }
  return names;
}

std::vector<std::wstring> TRegistryIniFile::ReadSections() const {
  std::vector<std::wstring> names;
  if (!key_) return names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = static_cast<DWORD>(std::size(name));
    if (RegEnumKeyExW(key_.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  return names;
}

void TRegistryIniFile::EraseSection(const std::wstring& section) {
  if (readOnly_ || !key_ || section.empty()) return;
  if (section == readSection_) readKey_ = {};
  RegDeleteTreeW(key_.Get(), section.c_str());
  RegDeleteKeyW(key_.Get(), section.c_str());
}

bool TRegistryIniFile::SectionExists(const std::wstring& section) const {
  return static_cast<bool>(OpenSection(section, KEY_READ));
}

}  // namespace ui
