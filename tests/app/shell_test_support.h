// A ShellCore over the in-memory fakes, and images made with the disk model.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/shell_core.h"
#include "disk/msx_disk.h"
#include "hfe/hfe_disk.h"
#include "shell_fakes.h"

namespace app::test {

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
