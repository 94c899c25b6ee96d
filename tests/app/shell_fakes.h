// In-memory stand-ins for the shell's ports: a view that keeps what it was shown, scripted
// message boxes and dialogs, a file system in a map, settings in a map, drives and an ISO date
// format. Shared by the native core tests and the Windows window tests (dialogs, drives).
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/shell_ports.h"
#include "rtl/exceptions.h"

namespace app::test {

struct FakeView : IShellView {
  void SetCaption(const std::wstring& text) override { caption = text; }
  void SetPanelText(int panel, const std::wstring& text) override {
    panels.at(static_cast<std::size_t>(panel)) = text;
  }
  void SetRows(std::vector<FileRow> newRows, int focusIndex) override {
    rows = std::move(newRows);
    focus = focusIndex;
  }
  void CheckBootOption(int option) override { checkedBoot = option; }

  std::wstring caption;
  std::vector<std::wstring> panels = std::vector<std::wstring>(5);
  std::vector<FileRow> rows;
  int focus = -1;
  int checkedBoot = -2;
};

struct Box {
  std::wstring text;
  std::wstring caption;
  MsgButtons buttons;
  MsgIcon icon;
};

struct FakeUi : IShellUi {
  MsgAnswer MessageDlg(const std::wstring& text, const std::wstring& caption, MsgButtons buttons,
                       MsgIcon icon) override {
    boxes.push_back({text, caption, buttons, icon});
    if (answers.empty()) return MsgAnswer::Ok;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetClipboardText(const std::wstring& text) override { clipboard = text; }
  void ShellOpen(const std::wstring& file, const std::wstring& parameters) override {
    shellCalls.emplace_back(file, parameters);
  }
  void SetBusy(bool busy) override { busyChanges.push_back(busy); }

  std::deque<MsgAnswer> answers;
  std::vector<Box> boxes;
  std::wstring clipboard;
  std::vector<std::pair<std::wstring, std::wstring>> shellCalls;
  std::vector<bool> busyChanges;
};

struct FakeDialogs : IFileDialogs {
  struct SaveCall {
    std::filesystem::path fileName;
    std::filesystem::path folder;
  };
  std::optional<std::filesystem::path> OpenImage() override {
    ++openCalls;
    return Next(openAnswers);
  }
  std::optional<std::filesystem::path> SaveImage(const std::filesystem::path& fileName,
                                                 const std::filesystem::path& folder) override {
    saveCalls.push_back({fileName, folder});
    return Next(saveAnswers);
  }
  std::wstring SaveDefaultExtension() override { return defaultExtension; }

  static std::optional<std::filesystem::path> Next(
      std::deque<std::optional<std::filesystem::path>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<std::optional<std::filesystem::path>> openAnswers;
  std::deque<std::optional<std::filesystem::path>> saveAnswers;
  std::vector<SaveCall> saveCalls;
  int openCalls = 0;
  std::wstring defaultExtension = L"dsk";
};

// Paths are keys as given (callers pass absolute paths); folders exist when a file is inside.
struct FakeFs : IHostFs {
  bool FileExists(const std::filesystem::path& path) override { return files.contains(Key(path)); }
  bool DirectoryExists(const std::filesystem::path& path) override {
    const std::string prefix = Key(path) + "/";
    for (const auto& [name, bytes] : files)
      if (name.starts_with(prefix)) return true;
    return false;
  }
  std::int64_t FileSize(const std::filesystem::path& path) override {
    const auto found = files.find(Key(path));
    return found == files.end() ? -1 : static_cast<std::int64_t>(found->second.size());
  }
  std::filesystem::path CurrentDirectory() override { return cwd; }
  void ChangeDirectory(const std::filesystem::path& path) override { cwd = path; }
  std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) override {
    const auto found = files.find(Key(path));
    if (found == files.end()) throw rtl::EStreamError("Cannot open file " + Key(path));
    return found->second;
  }
  void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) override {
    if (failWrites.contains(Key(path))) throw rtl::EStreamError("Disk full");
    files[Key(path)].assign(bytes.begin(), bytes.end());
    writes.push_back(Key(path));
  }

  static std::string Key(const std::filesystem::path& path) {
    return path.lexically_normal().generic_string();
  }

  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> failWrites;
  std::vector<std::string> writes;
  std::filesystem::path cwd = "/work";
};

struct FakeSettings : ISettings {
  std::wstring ReadString(const std::wstring& ident, const std::wstring& def) override {
    const auto found = values.find(ident);
    return found == values.end() ? def : found->second;
  }
  void WriteString(const std::wstring& ident, const std::wstring& value) override {
    values[ident] = value;
    writes.push_back(ident);
  }
  int ReadInteger(const std::wstring& ident, int def) override {
    const auto found = values.find(ident);
    return found == values.end() ? def : std::stoi(found->second);
  }
  void WriteInteger(const std::wstring& ident, int value) override {
    WriteString(ident, std::to_wstring(value));
  }
  void SaveAll() override { ++saveAllCount; }

  std::map<std::wstring, std::wstring> values;
  std::vector<std::wstring> writes;
  int saveAllCount = 0;
};

struct FakeDrives : IDrives {
  std::uint32_t LogicalDrives() override { return mask; }
  unsigned DriveType(const std::wstring& root) override {
    const auto found = types.find(root);
    return found == types.end() ? kDriveNoRootDir : found->second;
  }
  std::uint32_t mask = 0;
  std::map<std::wstring, unsigned> types;
};

struct IsoDates : IDateTimeFormat {
  std::wstring Date(const rtl::TDateTime& v) const override {
    return Two(v.Year / 100) + Two(v.Year % 100) + L"-" + Two(v.Month) + L"-" + Two(v.Day);
  }
  std::wstring Time(const rtl::TDateTime& v) const override {
    return Two(v.Hour) + L":" + Two(v.Minute) + L":" + Two(v.Second);
  }
  static std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }
};

}  // namespace app::test
