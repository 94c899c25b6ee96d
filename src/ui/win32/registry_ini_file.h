// The settings file in the registry: every section is a subkey of a root key path, every
// value is REG_SZ text. A value of any other type reads as missing. A sub-section is simply
// a sibling subkey whose name contains "." (for example "TMainForm.MRUList_Items").
// The root key path is created at construction (unless read-only); reading a section opens
// its subkey read-only and never creates it; writing creates it. The subkey last read stays open
// for the next reads (each opening asks the registry again), until the section is erased.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "ui/settings_store.h"

namespace ui {

// An open registry key, closed on destruction.
class TRegKey {
 public:
  TRegKey() = default;
  explicit TRegKey(HKEY key) : key_(key) {}
  TRegKey(TRegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  TRegKey& operator=(TRegKey&& other) noexcept;
  ~TRegKey();

  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

  static TRegKey Open(HKEY parent, const std::wstring& path, REGSAM access);
  // Raises rtl::Exception with the system's message on failure.
  static TRegKey Create(HKEY parent, const std::wstring& path, REGSAM access);

 private:
  HKEY key_ = nullptr;
};

class TRegistryIniFile : public TCustomIniFile {
 public:
  // `path` below `root`, e.g. HKEY_CURRENT_USER and L"Software\\Kelpfin\\Quollbox".
  TRegistryIniFile(HKEY root, const std::wstring& path, bool readOnly = false);

  std::optional<std::wstring> Read(const std::wstring& section,
                                   const std::wstring& ident) const override;
  void WriteString(const std::wstring& section, const std::wstring& ident,
                   const std::wstring& value) override;
  void DeleteKey(const std::wstring& section, const std::wstring& ident) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  void EraseSection(const std::wstring& section) override;
  bool SectionExists(const std::wstring& section) const override;

  HKEY RootKey() const { return key_.Get(); }

 private:
  TRegKey OpenSection(const std::wstring& section, REGSAM access) const;
  // The section's subkey opened for reading, kept for the next reads; null when it is missing.
  HKEY ReadKey(const std::wstring& section) const;

  TRegKey key_;
  bool readOnly_;
  mutable TRegKey readKey_;
  mutable std::wstring readSection_;
};

}  // namespace ui
