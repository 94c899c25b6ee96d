// An INI text file with the settings-file interface, read and written the way the Windows
// profile functions do: section and value names are trimmed and compare case-insensitively,
// a value is trimmed and loses one pair of matching surrounding quotes (' or ") on reading,
// ";" starts a comment line, and the first of duplicate sections or values counts.
// A value written with blanks at either end, or enclosed in matching quotes itself, is wrapped
// in double quotes, so that every value reads back as written (here and through the profile
// functions). Text that no INI line can hold (a line break, a NUL, "=" in a value name, "]" in
// a section name) is refused with rtl::Exception.
// The file is read once at construction and rewritten after every change; comments and the
// order of lines survive. Text: UTF-16 LE or UTF-8 after a byte-order mark, otherwise the
// system code page; the encoding found is kept, and a new file is UTF-16 LE.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ui/settings_store.h"
#include "ui/strings.h"

namespace ui {

class TIniFile : public TCustomIniFile {
 public:
  // A missing file reads as empty; raises rtl::EStreamError when it exists but cannot be read.
  explicit TIniFile(const std::filesystem::path& path);
  // INI text held in memory only: changes are kept in Lines() and written nowhere.
  explicit TIniFile(std::vector<std::wstring> lines);

  const std::vector<std::wstring>& Lines() const { return lines_; }

  std::optional<std::wstring> Read(const std::wstring& section,
                                   const std::wstring& ident) const override;
  void WriteString(const std::wstring& section, const std::wstring& ident,
                   const std::wstring& value) override;
  void DeleteKey(const std::wstring& section, const std::wstring& ident) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  void EraseSection(const std::wstring& section) override;
  bool SectionExists(const std::wstring& section) const override;

  // Every section and value as Read sees them, found in one pass over the lines: the first of
  // duplicate sections and of duplicate values counts, and values lose their quotes.
  std::vector<TMemIniFile::Section> Sections() const;

 private:
  struct Span {
    std::size_t header;  // index of the "[section]" line
    std::size_t end;     // one past the section's last line
  };
  std::optional<Span> FindSection(std::wstring_view name) const;
  // The line holding `ident` inside the section, if any.
  std::optional<std::size_t> FindValue(const Span& span, std::wstring_view ident) const;
  void Save() const;

  // Lookups look at section headers only, and a run of lookups in one section at that section
  // first: the header lines in order, and the section found last (its trimmed name and header
  // line), made on the first lookup and kept in step as lines are inserted and erased.
  struct Hint {
    std::wstring name;
    std::size_t header = 0;
  };
  const std::vector<std::size_t>& Headers() const;
  // Keeps the header lines in step with a value line inserted (+1) or erased (-1) at `line`.
  void MoveHeaders(std::size_t line, int by);

  std::filesystem::path path_;
  std::vector<std::wstring> lines_;
  mutable std::optional<std::vector<std::size_t>> headers_;
  mutable std::optional<Hint> hint_;
  TextEncoding encoding_ = TextEncoding::Utf16;
  bool inMemory_ = false;
};

}  // namespace ui
