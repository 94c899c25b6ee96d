// The main window's file dialogs (open and save images, add files, choose a folder): the
// new-style (Vista) dialogs when the system has them, the classic ones otherwise. The dialog
// components belong to the main window, whose settings keep their file type choices.
#pragma once

#include "app/shell_ports.h"
#include "ui/win32/dialogs.h"

namespace app {

// Windows Vista or later (major version 6 or more).
bool IsVistaOrLater();

struct ImageDialogComponents {
  ui::TFileOpenDialog* newOpen = nullptr;
  ui::TOpenDialog* oldOpen = nullptr;
  ui::TFileSaveDialog* newSave = nullptr;
  ui::TSaveDialog* oldSave = nullptr;
  ui::TFileOpenDialog* newAddFiles = nullptr;
  ui::TOpenDialog* oldAddFiles = nullptr;
  ui::TFileOpenDialog* newSelectFolder = nullptr;
};

class ImageDialogs : public IFileDialogs {
 public:
  ImageDialogs() : vista_(IsVistaOrLater()) {}
  ImageDialogComponents& Components() { return components_; }
  // Gives every dialog its title, file types and options, and makes the new-style save dialog's
  // default extension follow its chosen file type.
  void Setup();
  // The save dialog's default extension after its file type index was restored.
  void SyncSaveExtension();
  // The user picked another file type in the new-style save dialog: its default extension
  // becomes that type's.
  void NewFileSaveDialogTypeChange(ui::TComponent* sender);

  std::optional<std::filesystem::path> OpenImage() override;
  std::optional<TSaveChoice> SaveImage(const std::filesystem::path& fileName,
                                       const std::filesystem::path& folder) override;
  std::wstring SaveDefaultExtension() override;
  std::vector<std::filesystem::path> AddFiles() override;
  std::optional<std::filesystem::path> SelectFolder(const std::filesystem::path& start) override;

 private:
  ImageDialogComponents components_;
  bool vista_;
};

}  // namespace app
