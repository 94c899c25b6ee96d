#include "ui/win32/file_list_box.h"

#include <algorithm>

namespace ui {

namespace {

// `folder` with one trailing backslash.
std::wstring WithSlash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

// The names in `folder` matching `pattern`: folders or files.
std::vector<std::wstring> Find(const std::wstring& folder, const std::wstring& pattern,
                               bool folders) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((WithSlash(folder) + pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring name = data.cFileName;
    if (isFolder == folders && name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_LESS_THAN;
}

}  // namespace

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner) {
  StoreColor(clWindow);
  SetTabStop(true);
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.windowClass = L"LISTBOX";
  params.systemClass = true;
  params.style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::HandleCreated() {
  PushLines();
}

bool TCustomListBox::CommandReflected(WORD code, LRESULT&) {
  if (code != LBN_DBLCLK) return false;
  DoubleClicked();
  if (OnDblClick) OnDblClick(this);
  return true;
}

void TCustomListBox::SetLines(std::vector<std::wstring> lines) {
  lines_ = std::move(lines);
  PushLines();
}

void TCustomListBox::PushLines() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
  for (const std::wstring& line : lines_)
    SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return -1;
  const auto index = static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
  return index == LB_ERR ? -1 : index;
}

void TCustomListBox::SetItemIndex(int index) {
  if (HandleAllocated()) SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TFileListBox::SetDirectory(const std::wstring& directory) {
  directory_ = directory;
  Update();
}

void TFileListBox::SetMask(const std::wstring& mask) {
  mask_ = mask;
  Update();
}

void TFileListBox::Update() {
  std::vector<std::wstring> names;
  if (!directory_.empty()) {
    std::size_t start = 0;
    while (start <= mask_.size()) {
      const std::size_t end = std::min(mask_.find(L';', start), mask_.size());
      const std::wstring pattern = mask_.substr(start, end - start);
      if (!pattern.empty())
        for (std::wstring& name : Find(directory_, pattern, false))
          if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
      start = end + 1;
    }
  }
  std::sort(names.begin(), names.end(), LessNoCase);
  SetLines(std::move(names));
}

std::wstring TFileListBox::FileName() {
  const int index = ItemIndex();
  if (index < 0 || index >= static_cast<int>(Lines().size())) return {};
  return WithSlash(directory_) + Lines()[static_cast<std::size_t>(index)];
}

void TDirectoryListBox::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == fileList_) fileList_ = nullptr;
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
  if (fileList_) fileList_->RemoveFreeNotification(this);
  fileList_ = list;
  if (!list) return;
  list->FreeNotification(this);
  if (!directory_.empty()) list->SetDirectory(directory_);
}

void TDirectoryListBox::SetDirectory(const std::wstring& directory) {
  // The path from its root ("C:\") down, one folder a line, then the subfolders.
  std::wstring path = directory;
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  std::vector<std::wstring> lines;
  paths_.clear();
  std::size_t start = 0;
  int depth = 0;
  while (start < path.size()) {
    std::size_t end = path.find_first_of(L"\\/", start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring part = path.substr(start, end - start) + (depth == 0 ? L"\\" : L"");
    lines.push_back(std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + part);
    paths_.push_back(depth == 0 ? part : path.substr(0, end));
    ++depth;
    start = end + 1;
  }
  std::vector<std::wstring> subfolders = Find(path, L"*", true);
  std::sort(subfolders.begin(), subfolders.end(), LessNoCase);
  for (const std::wstring& name : subfolders) {
    lines.push_back(std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + name);
    paths_.push_back(WithSlash(path) + name);
  }
  directory_ = paths_.empty() ? path : paths_[static_cast<std::size_t>(std::max(depth - 1, 0))];
  SetLines(std::move(lines));
  SetItemIndex(depth - 1);
  if (fileList_) fileList_->SetDirectory(directory_);
}

void TDirectoryListBox::DoubleClicked() {
  OpenSelected();
}

void TDirectoryListBox::OpenSelected() {
  const int index = ItemIndex();
  if (index >= 0 && index < static_cast<int>(paths_.size()))
    SetDirectory(paths_[static_cast<std::size_t>(index)]);
}

}  // namespace ui
