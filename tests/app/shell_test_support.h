// The shell's ports in memory (a view that keeps what it was shown, scripted message boxes and
// dialogs, the host file system, settings in a map, drives, a viewer that records), a ShellCore
// over them, and images made with the disk model.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../app_files/files_test_support.h"
#include "app/files/file_sort.h"
#include "app/shell_core.h"
#include "app/shell_ports.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "rtl/exceptions.h"
#include "rtl/stream.h"

namespace app::test {

// Selection is kept by entry, so it stays with its rows when they are sorted.
struct FakeView : IShellView {
  void SetCaption(const std::wstring& text) override { caption = text; }
  void SetPanelText(int panel, const std::wstring& text) override {
    panels.at(static_cast<std::size_t>(panel)) = text;
  }
  void SetRows(std::vector<files::TFileRow> newRows, int focusIndex) override {
    rows = std::move(newRows);
    focus = focusIndex;
    selected.clear();
    if (focusIndex >= 0) selected.insert(rows.at(static_cast<std::size_t>(focusIndex)).Entry);
    ++fills;
  }
  void SortRows(std::int32_t mode) override { files::SortRows(rows, mode); }
  std::vector<disk::PDirEntry> SelectedEntries() override {
    std::vector<disk::PDirEntry> entries;
    for (const auto& row : rows)
      if (selected.contains(row.Entry)) entries.push_back(row.Entry);
    return entries;
  }
  int ItemIndex() override {
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (selected.contains(rows[i].Entry)) return static_cast<int>(i);
    return -1;
  }
  void SelectAll() override {
    for (const auto& row : rows) selected.insert(row.Entry);
  }
  void EditRow(int index) override {
    selected = {rows.at(static_cast<std::size_t>(index)).Entry};
    editing = index;
  }
  void RefreshLater() override { ++refreshRequests; }
  void CheckBootOption(int option) override { checkedBoot = option; }
  void OpenImageLater(const std::filesystem::path& fileName) override {
    laterOpens.push_back(fileName);
  }
  void ShowFolder(const std::filesystem::path& folder) override { shownFolders.push_back(folder); }
  std::filesystem::path BrowserFolder() override { return browserFolder; }
  std::filesystem::path SelectedImageFile() override { return selectedImageFile; }
  void OpenSelectedFolder() override { ++selectedFolderOpens; }
  void ImageFileWritten(const std::filesystem::path& fileName) override {
    writtenImages.push_back(fileName);
  }

  // Selects exactly the rows with these captions.
  void Select(const std::vector<std::wstring>& names) {
    selected.clear();
    for (const auto& row : rows)
      if (std::find(names.begin(), names.end(), row.Name) != names.end())
        selected.insert(row.Entry);
  }
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (const auto& row : rows) names.push_back(row.Name);
    return names;
  }

  std::wstring caption;
  std::vector<std::wstring> panels = std::vector<std::wstring>(5);
  std::vector<files::TFileRow> rows;
  std::set<disk::PDirEntry> selected;
  int focus = -1;
  int editing = -1;
  int fills = 0;
  int refreshRequests = 0;
  std::vector<std::filesystem::path> shownFolders;
  std::filesystem::path browserFolder;
  std::filesystem::path selectedImageFile;
  int selectedFolderOpens = 0;
  std::vector<std::filesystem::path> writtenImages;
  int checkedBoot = -2;
  std::vector<std::filesystem::path> laterOpens;
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
  void Explore(const std::filesystem::path& folder) override { explored.push_back(folder); }
  bool ShiftDown() override { return shift; }
  std::wstring ProgramText(int id) override {
    const auto found = texts.find(id);
    return found == texts.end() ? L"" : found->second;
  }

  std::deque<MsgAnswer> answers;
  std::vector<std::filesystem::path> explored;
  bool shift = false;
  std::vector<Box> boxes;
  std::wstring clipboard;
  std::vector<std::pair<std::wstring, std::wstring>> shellCalls;
  std::vector<bool> busyChanges;
  // The program's string table.
  std::map<int, std::wstring> texts = {{kOpenCaptionText, L"Open Disk Image"},
                                       {kUnrecognizedFormatText, L"Unrecognized file format"}};
};

struct FakeDialogs : IFileDialogs {
  struct SaveCall {
    std::filesystem::path fileName;
    std::filesystem::path folder;
  };
  std::optional<std::filesystem::path> OpenImage() override { return Next(openAnswers); }
  // The answer as entered, with `defaultExtension` as the chosen type's; the dialog checked
  // `checkedName` when set, else the answer itself.
  std::optional<TSaveChoice> SaveImage(const std::filesystem::path& fileName,
                                       const std::filesystem::path& folder) override {
    saveCalls.push_back({fileName, folder});
    const auto answer = Next(saveAnswers);
    if (!answer) return std::nullopt;
    return TSaveChoice{*answer, defaultExtension, checkedName.empty() ? *answer : checkedName};
  }
  std::wstring SaveDefaultExtension() override { return defaultExtension; }
  std::vector<std::filesystem::path> AddFiles() override { return Next(addAnswers); }
  std::optional<std::filesystem::path> SelectFolder(const std::filesystem::path& start) override {
    folderStarts.push_back(start);
    return Next(folderAnswers);
  }

  // The next scripted answer; none left answers as a cancel.
  template <class T>
  static T Next(std::deque<T>& answers) {
    if (answers.empty()) return {};
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<std::optional<std::filesystem::path>> openAnswers;
  std::deque<std::optional<std::filesystem::path>> saveAnswers;
  std::deque<std::vector<std::filesystem::path>> addAnswers;
  std::deque<std::optional<std::filesystem::path>> folderAnswers;
  std::vector<SaveCall> saveCalls;
  std::vector<std::filesystem::path> folderStarts;
  std::wstring defaultExtension = L"dsk";
  std::filesystem::path checkedName;
};

using FakeFs = files_test::TFakeHostFs;

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
  std::filesystem::path CurrentFolder(const std::wstring& root) override {
    const auto found = folders.find(root);
    return found == folders.end() ? root : found->second;
  }
  std::uint32_t mask = 0;
  std::map<std::wstring, unsigned> types;
  std::map<std::wstring, std::filesystem::path> folders;
};

struct FakeViewer : IFileViewer {
  struct View {
    std::vector<std::uint8_t> data;
    std::wstring fileName;
    std::int32_t displaySize;
    TViewerMode mode;
  };
  void ViewFile(std::span<const std::uint8_t> data, const std::wstring& fileName,
                std::int32_t displaySize, TViewerMode mode) override {
    views.push_back({{data.begin(), data.end()}, fileName, displaySize, mode});
  }
  void ViewPicture(std::span<const std::uint8_t> data, const std::wstring& fileName) override {
    pictures.push_back({{data.begin(), data.end()}, fileName, 0, TViewerMode::vmAuto});
  }
  std::vector<View> views;
  std::vector<View> pictures;
};

// The bytes of a new image, optionally with one file "HELLO.TXT" holding `content`.
inline std::vector<std::uint8_t> RawImage(bool doubleSided, const std::string& content = {}) {
  auto image = std::make_unique<disk::TMSXDisk>();
  image->PrepareNewImage(doubleSided);
  image->AttachBootCode(disk::GetBootCode(1));
  if (!content.empty()) {
    rtl::TMemoryStream stream(std::vector<std::uint8_t>(content.begin(), content.end()));
    image->Add(L"HELLO.TXT", stream);
  }
  rtl::TMemoryStream out;
  image->SaveToStream(out);
  return out.TakeBytes();
}

inline std::vector<std::uint8_t> HfeImage(bool doubleSided, const std::string& content = {}) {
  auto image = std::make_unique<disk::TMSXDisk>();
  const std::vector<std::uint8_t> raw = RawImage(doubleSided, content);
  EXPECT_TRUE(image->LoadFromBuffer(raw, "x.dsk"));
  return hfe::BuildHFE(*image);
}

class ShellCoreTest : public ::testing::Test {
 protected:
  ShellCoreTest() {
    recentFiles->SetMaxItems(20);
    recentFolders->SetMaxItems(12);
    MakeCore();
  }

  // A new core, as at program start.
  void MakeCore() {
    core.reset();
    core = std::make_unique<ShellCore>(ShellPorts{.view = view,
                                                  .ui = ui,
                                                  .dialogs = dialogs,
                                                  .fs = fs,
                                                  .settings = settings,
                                                  .drives = drives,
                                                  .viewer = viewer,
                                                  .dates = dates,
                                                  .recentFiles = *recentFiles,
                                                  .recentFolders = *recentFolders});
  }

  // Started without arguments: the unmodified "NewImage1.dsk".
  void StartFresh() {
    MakeCore();
    core->RestoreSettings();
    core->Start({});
  }
  // A modified image: the start-up one with its boot code replaced.
  void StartModified() {
    StartFresh();
    core->ReplaceBootSector(0);
    ASSERT_TRUE(core->Image()->IsModified());
  }
  std::wstring TopRecentFile() const {
    return recentFiles->Items()->Count() ? recentFiles->Items()->Get(0) : L"";
  }

  FakeView view;
  FakeUi ui;
  FakeDialogs dialogs;
  FakeFs fs;
  FakeSettings settings;
  FakeDrives drives;
  FakeViewer viewer;
  files::TDateTimeFormat dates{.ShortDate = L"yyyy-MM-dd"};  // ISO dates
  ui::Owned<tb::TTBMRUList> recentFiles = ui::New<tb::TTBMRUList>();
  ui::Owned<tb::TTBMRUList> recentFolders = ui::New<tb::TTBMRUList>();
  std::unique_ptr<ShellCore> core;
};

}  // namespace app::test
