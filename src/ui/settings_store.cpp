#include "ui/settings_store.h"

#include <algorithm>
#include <utility>

#include "ui/text.h"

namespace ui {

// TCustomIniFile

std::wstring TCustomIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                        const std::wstring& defaultValue) const {
  return Read(section, ident).value_or(defaultValue);
}

int TCustomIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident,
                                int defaultValue) const {
  const auto text = Read(section, ident);
  if (!text) return defaultValue;
  return TryStrToInt(*text).value_or(defaultValue);
}

void TCustomIniFile::WriteInteger(const std::wstring& section, const std::wstring& ident,
                                  int value) {
  WriteString(section, ident, std::to_wstring(value));
}

bool TCustomIniFile::ReadBool(const std::wstring& section, const std::wstring& ident,
                              bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::wstring& section, const std::wstring& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

bool TCustomIniFile::SectionExists(const std::wstring& section) const {
  return !ReadSection(section).empty();
}

bool TCustomIniFile::ValueExists(const std::wstring& section, const std::wstring& ident) const {
  return Read(section, ident).has_value();
}

// TMemIniFile

const TMemIniFile::Section* TMemIniFile::FindSection(std::wstring_view name) const {
  const auto found = std::find_if(sections_.begin(), sections_.end(),
                                  [name](const Section& s) { return SameText(s.name, name); });
  return found == sections_.end() ? nullptr : &*found;
}

TMemIniFile::Section* TMemIniFile::FindSection(std::wstring_view name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

std::optional<std::wstring> TMemIniFile::Read(const std::wstring& section,
                                              const std::wstring& ident) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  for (const auto& [name, value] : found->values) {
    if (SameText(name, ident)) return value;
  }
  return std::nullopt;
}

void TMemIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                              const std::wstring& value) {
  log_.push_back({Op::Write, section, ident, value});
  Section* target = FindSection(section);
  if (!target) target = &sections_.emplace_back(Section{section, {}});
  for (auto& [name, stored] : target->values) {
    if (SameText(name, ident)) {
      stored = value;
      return;
    }
  }
  target->values.emplace_back(ident, value);
}

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  log_.push_back({Op::DeleteKey, section, ident, {}});
  if (Section* target = FindSection(section)) {
    std::erase_if(target->values, [&](const auto& entry) { return SameText(entry.first, ident); });
  }
}

std::vector<std::wstring> TMemIniFile::ReadSection(const std::wstring& section) const {
  std::vector<std::wstring> names;
  if (const Section* found = FindSection(section)) {
    for (const auto& entry : found->values) names.push_back(entry.first);
  }
  return names;
}

std::vector<std::wstring> TMemIniFile::ReadSections() const {
  std::vector<std::wstring> names;
  for (const Section& section : sections_) names.push_back(section.name);
  return names;
}

void TMemIniFile::EraseSection(const std::wstring& section) {
  log_.push_back({Op::EraseSection, section, {}, {}});
  std::erase_if(sections_, [&](const Section& s) { return SameText(s.name, section); });
}

bool TMemIniFile::SectionExists(const std::wstring& section) const {
  return FindSection(section) != nullptr;
}

}  // namespace ui
