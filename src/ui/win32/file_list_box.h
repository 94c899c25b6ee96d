// The platform's file and folder list boxes.
//   TFileListBox: the files of Directory that match Mask (patterns separated by ";"), sorted by
//   name; FileName is the selected file's full path (empty without a selection); a double click
//   fires OnDblClick.
//   TDirectoryListBox: Directory's path, one line per folder from the root down, then its
//   subfolders indented below it; a double click on a line goes to that folder. FileList, when
//   set, follows Directory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win32/controls.h"

namespace ui {

// A list box window that lists lines and answers a double click.
class TCustomListBox : public TWinControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  // The lines shown.
  const std::vector<std::wstring>& Lines() const { return lines_; }
  int ItemIndex();
  void SetItemIndex(int index);

 protected:
  void SetLines(std::vector<std::wstring> lines);
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool CommandReflected(WORD code, LRESULT& result) override;
  virtual void DoubleClicked() {}

 private:
  void PushLines();
  std::vector<std::wstring> lines_;
};

class TFileListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
  std::wstring_view ClassName() const override { return L"TFileListBox"; }

  const std::wstring& Directory() const { return directory_; }
  void SetDirectory(const std::wstring& directory);
  const std::wstring& Mask() const { return mask_; }
  void SetMask(const std::wstring& mask);
  std::wstring FileName();
  // Lists the folder again.
  void Update();

 private:
  std::wstring directory_;
  std::wstring mask_ = L"*.*";
};

class TDirectoryListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
  std::wstring_view ClassName() const override { return L"TDirectoryListBox"; }
  void Notification(TComponent* component, TOperation operation) override;

  const std::wstring& Directory() const { return directory_; }
  void SetDirectory(const std::wstring& directory);
  TFileListBox* FileList() const { return fileList_; }
  void SetFileList(TFileListBox* list);
  // Goes to the selected line's folder, as a double click does.
  void OpenSelected();

 protected:
  void DoubleClicked() override;

 private:
  std::wstring directory_;
  std::vector<std::wstring> paths_;  // the folder of each line
  TFileListBox* fileList_ = nullptr;
};

}  // namespace ui
