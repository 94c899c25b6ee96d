// Settings files: sections of named text values.
//   TCustomIniFile (abstract): Read(section, ident) -> optional text, WriteString, DeleteKey,
//   ReadSection(section) -> value names, ReadSections(), EraseSection, UpdateFile (flush);
//   on top: ReadString(section, ident, default), ReadInteger/WriteInteger (decimal text; a
//   missing or non-numeric value gives the default), ReadBool/WriteBool ("0"/"1"),
//   SectionExists, ValueExists. Section and value names compare case-insensitively.
//   TMemIniFile: in memory; sections and values keep their first-write order, and every
//   write and erase is logged in order (Log()) so tests can check sequences.
//   Implementations elsewhere: TIniFile (ui/ini_file.h, text file), TRegistryIniFile
//   (ui/win32/registry_ini_file.h, Windows registry).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::wstring fileName = {}) : fileName_(std::move(fileName)) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;
  virtual ~TCustomIniFile() = default;

  virtual std::optional<std::wstring> Read(const std::wstring& section,
                                           const std::wstring& ident) const = 0;
  virtual void WriteString(const std::wstring& section, const std::wstring& ident,
                           const std::wstring& value) = 0;
  virtual void DeleteKey(const std::wstring& section, const std::wstring& ident) = 0;
  virtual std::vector<std::wstring> ReadSection(const std::wstring& section) const = 0;
  virtual std::vector<std::wstring> ReadSections() const = 0;
  virtual void EraseSection(const std::wstring& section) = 0;
  virtual void UpdateFile() {}

  std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                          const std::wstring& defaultValue) const;
  int ReadInteger(const std::wstring& section, const std::wstring& ident, int defaultValue) const;
  void WriteInteger(const std::wstring& section, const std::wstring& ident, int value);
  bool ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const;
  void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);
  virtual bool SectionExists(const std::wstring& section) const;
  bool ValueExists(const std::wstring& section, const std::wstring& ident) const;

  const std::wstring& FileName() const { return fileName_; }

 private:
  std::wstring fileName_;
};

class TMemIniFile : public TCustomIniFile {
 public:
  enum class Op { Write, DeleteKey, EraseSection };
  struct LogEntry {
    Op op;
    std::wstring section;
    std::wstring ident;
    std::wstring value;
    bool operator==(const LogEntry&) const = default;
  };
  struct Section {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> values;
  };

  using TCustomIniFile::TCustomIniFile;

  std::optional<std::wstring> Read(const std::wstring& section,
                                   const std::wstring& ident) const override;
  void WriteString(const std::wstring& section, const std::wstring& ident,
                   const std::wstring& value) override;
  void DeleteKey(const std::wstring& section, const std::wstring& ident) override;
  std::vector<std::wstring> ReadSection(const std::wstring& section) const override;
  std::vector<std::wstring> ReadSections() const override;
  void EraseSection(const std::wstring& section) override;
  bool SectionExists(const std::wstring& section) const override;

  const std::vector<Section>& Sections() const { return sections_; }
  const std::vector<LogEntry>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // Replaces the content without logging (test set-up, or a parsed file).
  void SetSections(std::vector<Section> sections) { sections_ = std::move(sections); }

 private:
  const Section* FindSection(std::wstring_view name) const;
  Section* FindSection(std::wstring_view name);

  std::vector<Section> sections_;
  std::vector<LogEntry> log_;
};

}  // namespace ui
