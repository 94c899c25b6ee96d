// Message boxes and file and folder dialogs.
//   MessageDlg(text, type, buttons) -> mrYes/mrNo/mrCancel/mrOk, under the application title.
//   TOpenDialog/TSaveDialog: the classic dialogs (GetOpenFileNameW/GetSaveFileNameW): Title,
//   Filter ("Text|*.txt|Any|*.*"), FilterIndex (1-based), DefaultExt, FileName, Files
//   (multi-select), InitialDir, Options (OFN_ flags).
//   TFileOpenDialog/TFileSaveDialog: the Vista dialogs (IFileDialog): Title, FileTypes,
//   FileTypeIndex (1-based, published for the settings), DefaultExtension, FileName, Files,
//   DefaultFolder, Options (FOS_ flags), OnTypeChange (may set DefaultExtension).
//   SelectDirectory(caption, directory): the classic folder picker, started at `directory` when
//   it is not empty.
//   SetDialogHook(hook): a program under test answers its file dialogs in the user's place, as
//   it answers message boxes through the application's presenter.
#pragma once

#include <windows.h>

#include <commdlg.h>
#include <shobjidl.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/file_dialog_text.h"
#include "ui/strings.h"
#include "ui/win32/forms.h"

namespace ui {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel };
TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons);

// While a hook is set, a file dialog's Execute hands it the dialog instead of showing it; the
// hook fills in the results (FileName, Files, EnteredName) and returns whether it was confirmed.
using TDialogHook = std::function<bool(TComponent& dialog)>;
// Installs a hook (null: the real dialogs); returns the previous one.
TDialogHook SetDialogHook(TDialogHook hook);

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
  std::wstring_view ClassName() const override { return L"TOpenDialog"; }
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override;

  std::wstring Title;
  std::wstring Filter;
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int index) { filterIndex_ = index; }
  std::wstring DefaultExt;
  std::wstring FileName;
  std::wstring InitialDir;
  DWORD Options = OFN_HIDEREADONLY | OFN_ENABLESIZING;
  TStringList& Files() { return files_; }

  virtual bool Execute();

 protected:
  bool Run(bool save);

 private:
  int filterIndex_ = 1;
  TStringList files_;
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  std::wstring_view ClassName() const override { return L"TSaveDialog"; }
  bool Execute() override { return Run(true); }
};

class TCustomFileDialog : public TComponent {
 public:
  explicit TCustomFileDialog(TComponent* owner) : TComponent(owner) {}
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override;

  std::wstring Title;
  std::vector<TFileTypeItem> FileTypes;
  int FileTypeIndex() const { return fileTypeIndex_; }
  void SetFileTypeIndex(int index) { fileTypeIndex_ = index; }
  std::wstring DefaultExtension;
  std::wstring FileName;
  // The file name box's text when the dialog was confirmed: the name as typed, before the
  // dialog added its type's extension (which it may do even to a name that has one).
  std::wstring EnteredName;
  std::wstring DefaultFolder;
  DWORD Options = 0;  // FOS_ flags added to the dialog's own
  TStringList& Files() { return files_; }

  // Sets DefaultExtension, also while the dialog is open.
  void SetDefaultExtension(const std::wstring& extension);
  virtual bool Execute() = 0;

  TNotifyEvent OnTypeChange;

 protected:
  bool Run(const CLSID& kind);

 private:
  friend class TFileDialogEvents;
  int fileTypeIndex_ = 1;
  TStringList files_;
  IFileDialog* open_ = nullptr;  // while Execute runs
};

class TFileOpenDialog : public TCustomFileDialog {
 public:
  explicit TFileOpenDialog(TComponent* owner) : TCustomFileDialog(owner) {}
  std::wstring_view ClassName() const override { return L"TFileOpenDialog"; }
  bool Execute() override;
};

class TFileSaveDialog : public TCustomFileDialog {
 public:
  explicit TFileSaveDialog(TComponent* owner) : TCustomFileDialog(owner) {}
  std::wstring_view ClassName() const override { return L"TFileSaveDialog"; }
  bool Execute() override;
};

bool SelectDirectory(const std::wstring& caption, std::wstring& directory);

}  // namespace ui
