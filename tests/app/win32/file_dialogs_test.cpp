// The main window's file dialogs as Setup gives them out: title, file types, options and default
// extension of each, and the save dialog's default extension following its chosen type.
#include "app/win32/file_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace app {
namespace {

// The file types as the classic dialogs' filter writes them: "name|mask|name|mask".
std::wstring TypesText(const std::vector<ui::TFileTypeItem>& types) {
  std::wstring text;
  for (const ui::TFileTypeItem& type : types)
    text += (text.empty() ? L"" : L"|") + type.displayName + L"|" + type.fileMask;
  return text;
}

struct TDialogSetting {
  std::wstring title;
  std::wstring types;
  DWORD options;
  std::wstring defaultExtension;
  bool operator==(const TDialogSetting&) const = default;
};

void PrintTo(const TDialogSetting& s, std::ostream* out) {
  *out << std::string(s.title.begin(), s.title.end()) << " / "
       << std::string(s.types.begin(), s.types.end()) << " / 0x" << std::hex << s.options << " / "
       << std::string(s.defaultExtension.begin(), s.defaultExtension.end());
}

TDialogSetting Of(const ui::TCustomFileDialog& dialog) {
  return {dialog.Title, TypesText(dialog.FileTypes), dialog.Options, dialog.DefaultExtension};
}

TDialogSetting Of(const ui::TOpenDialog& dialog) {
  return {dialog.Title, dialog.Filter, dialog.Options, dialog.DefaultExt};
}

TEST(ImageDialogs, EveryDialogGetsItsTitleTypesOptionsAndDefaultExtension) {
  const ui::Owned<ui::TComponent> owner = ui::New<ui::TComponent>();
  ImageDialogs dialogs;
  ImageDialogComponents& c = dialogs.Components();
  c.newOpen = ui::Create<ui::TFileOpenDialog>(*owner);
  c.oldOpen = ui::Create<ui::TOpenDialog>(*owner);
  c.newSave = ui::Create<ui::TFileSaveDialog>(*owner);
  c.oldSave = ui::Create<ui::TSaveDialog>(*owner);
  c.newAddFiles = ui::Create<ui::TFileOpenDialog>(*owner);
  c.oldAddFiles = ui::Create<ui::TOpenDialog>(*owner);
  c.newSelectFolder = ui::Create<ui::TFileOpenDialog>(*owner);
  dialogs.Setup();

  const std::wstring images = L"DSK Disk Image|*.dsk|HFE Disk Image|*.hfe";
  const struct {
    const char* name;
    TDialogSetting actual;
    TDialogSetting expected;
  } kDialogs[] = {
      {"NewFileOpenDialog",
       Of(*c.newOpen),
       {L"Open Disk Image", images + L"|Any File|*.*", FOS_FILEMUSTEXIST, L""}},
      {"OldFileOpenDialog",
       Of(*c.oldOpen),
       {L"Open Disk Image", images, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ENABLESIZING, L""}},
      {"NewFileSaveDialog",
       Of(*c.newSave),
       {L"Save Disk Image", images, FOS_STRICTFILETYPES, L"dsk"}},
      // The classic save dialog asks before it replaces a file.
      {"OldFileSaveDialog",
       Of(*c.oldSave),
       {L"Save Disk Image", images, OFN_ENABLESIZING | OFN_OVERWRITEPROMPT, L"dsk"}},
      {"NewAddFilesDialog",
       Of(*c.newAddFiles),
       {L"Add Files...", L"Any File|*.*", FOS_ALLOWMULTISELECT | FOS_FILEMUSTEXIST, L""}},
      {"OldAddFilesDialog",
       Of(*c.oldAddFiles),
       {L"Add Files...", L"Any File|*.*",
        OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_ENABLESIZING, L""}},
      {"NewSelectFolderDialog",
       Of(*c.newSelectFolder),
       {L"Select Folder", L"", FOS_PICKFOLDERS | FOS_PATHMUSTEXIST, L""}},
  };
  for (const auto& dialog : kDialogs) EXPECT_EQ(dialog.actual, dialog.expected) << dialog.name;

  // The new-style save dialog's default extension follows the chosen type, also as restored; an
  // index outside the types keeps it.
  const struct {
    int index;
    const wchar_t* extension;
  } kTypes[] = {{2, L"hfe"}, {1, L"dsk"}, {3, L"dsk"}, {0, L"dsk"}};
  for (const auto& type : kTypes) {
    c.newSave->SetFileTypeIndex(type.index);
    c.newSave->OnTypeChange(c.newSave);
    EXPECT_EQ(c.newSave->DefaultExtension, type.extension) << type.index;
  }
  c.newSave->SetFileTypeIndex(2);
  dialogs.SyncSaveExtension();
  EXPECT_EQ(c.newSave->DefaultExtension, L"hfe");
}

}  // namespace
}  // namespace app
