#include "ui/win32/dialogs.h"

#include <shlobj.h>

#include <utility>
#include <vector>

#include "ui/properties.h"

namespace ui {

namespace {

TDialogHook& Hook() {
  static TDialogHook hook;
  return hook;
}

HWND DialogOwner() {
  const HWND active = GetActiveWindow();
  if (active) return active;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  return main && main->HandleAllocated() ? main->Handle() : nullptr;
}

// A COM reference, released when it goes.
template <class T>
class TComRef {
 public:
  TComRef() = default;
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  ~TComRef() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// The text of a shell item as a file-system path, freed with CoTaskMemFree.
std::wstring ItemPath(IShellItem* item) {
  PWSTR path = nullptr;
  if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return {};
  std::wstring result = path;
  CoTaskMemFree(path);
  return result;
}

}  // namespace

TDialogHook SetDialogHook(TDialogHook hook) {
  return std::exchange(Hook(), std::move(hook));
}

TModalResult MessageDlg(const std::wstring& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  constexpr UINT kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  constexpr UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL};
  return ShowMessageBox({DialogOwner(), text, Application ? Application->Title() : L"",
                         kIcons[static_cast<int>(type)] | kButtons[static_cast<int>(buttons)]});
}

// TOpenDialog

void TOpenDialog::GetPublishedProps(std::vector<const PropInfo*>& out) const {
  TComponent::GetPublishedProps(out);
  static constexpr PropInfo kProps[] = {
      IntProp<TOpenDialog, &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex>(L"FilterIndex"),
  };
  for (const PropInfo& prop : kProps) out.push_back(&prop);
}

bool TOpenDialog::Execute() {
  return Run(false);
}

bool TOpenDialog::Run(bool save) {
  if (Hook()) return Hook()(*this);
  std::wstring filter;
  for (const TFileTypeItem& type : ParseFilter(Filter)) {
    filter += type.displayName + L'\0' + type.fileMask + L'\0';
  }
  filter += L'\0';
  std::vector<wchar_t> buffer(65536, L'\0');
  FileName.copy(buffer.data(), std::min(FileName.size(), buffer.size() - 1));
  const std::wstring extension = DefaultExt;
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = DialogOwner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(filterIndex_);
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = Options | OFN_EXPLORER;
  const BOOL ok = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!ok) return false;
  filterIndex_ = static_cast<int>(dialog.nFilterIndex);
  files_.Assign(SplitSelectedFiles(std::wstring_view(buffer.data(), buffer.size())));
  FileName = files_.Count() > 0 ? files_.Get(0) : std::wstring();
  return true;
}

// TCustomFileDialog

// Tells the owner when the user picks another file type; every call is guarded.
class TFileDialogEvents : public IFileDialogEvents {
 public:
  explicit TFileDialogEvents(TCustomFileDialog& owner) : owner_(owner) {}
  virtual ~TFileDialogEvents() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IFileDialogEvents) {
      *object = static_cast<IFileDialogEvents*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the stack

  HRESULT STDMETHODCALLTYPE OnTypeChange(IFileDialog* dialog) override {
    try {
      UINT index = 0;
      if (SUCCEEDED(dialog->GetFileTypeIndex(&index)))
        owner_.fileTypeIndex_ = static_cast<int>(index);
      if (owner_.OnTypeChange) owner_.OnTypeChange(&owner_);
    } catch (...) {
      if (Application) Application->HandleException(std::current_exception());
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnFileOk(IFileDialog* dialog) override {
    PWSTR name = nullptr;
    if (SUCCEEDED(dialog->GetFileName(&name)) && name) {
      try {
        owner_.EnteredName = name;
      } catch (...) {
        if (Application) Application->HandleException(std::current_exception());
      }
      CoTaskMemFree(name);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnFolderChanging(IFileDialog*, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFolderChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionChange(IFileDialog*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShareViolation(IFileDialog*, IShellItem*,
                                             FDE_SHAREVIOLATION_RESPONSE*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnOverwrite(IFileDialog*, IShellItem*,
                                        FDE_OVERWRITE_RESPONSE*) override {
    return S_OK;
  }

 private:
  TCustomFileDialog& owner_;
  ULONG references_ = 1;
};

void TCustomFileDialog::GetPublishedProps(std::vector<const PropInfo*>& out) const {
  TComponent::GetPublishedProps(out);
  static constexpr PropInfo kProps[] = {
      IntProp<TCustomFileDialog, &TCustomFileDialog::FileTypeIndex,
              &TCustomFileDialog::SetFileTypeIndex>(L"FileTypeIndex"),
  };
  for (const PropInfo& prop : kProps) out.push_back(&prop);
}

void TCustomFileDialog::SetDefaultExtension(const std::wstring& extension) {
  DefaultExtension = extension;
  if (open_) open_->SetDefaultExtension(extension.c_str());
}

bool TCustomFileDialog::Run(const CLSID& kind) {
  EnteredName.clear();
  if (Hook()) return Hook()(*this);
  TComRef<IFileDialog> dialog;
  if (FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                              reinterpret_cast<void**>(dialog.Out())))) {
    return false;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | Options);
  if (!Title.empty()) dialog->SetTitle(Title.c_str());
  std::vector<COMDLG_FILTERSPEC> specs;
  for (const TFileTypeItem& type : FileTypes) {
    specs.push_back({type.displayName.c_str(), type.fileMask.c_str()});
  }
  if (!specs.empty()) {
    dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    dialog->SetFileTypeIndex(static_cast<UINT>(fileTypeIndex_));
  }
  if (!DefaultExtension.empty()) dialog->SetDefaultExtension(DefaultExtension.c_str());
  if (!FileName.empty()) dialog->SetFileName(FileName.c_str());
  if (!DefaultFolder.empty()) {
    TComRef<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(DefaultFolder.c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(folder.Out())))) {
      dialog->SetFolder(folder.Get());
    }
  }
  TFileDialogEvents events(*this);
  DWORD cookie = 0;
  const bool advised = SUCCEEDED(dialog->Advise(&events, &cookie));
  struct OpenScope {
    TCustomFileDialog& owner;
    IFileDialog* dialog;
    bool advised;
    DWORD cookie;
    ~OpenScope() {
      owner.open_ = nullptr;
      if (advised) dialog->Unadvise(cookie);
    }
  } scope{*this, dialog.Get(), advised, cookie};
  open_ = dialog.Get();
  if (FAILED(dialog->Show(DialogOwner()))) return false;
  UINT index = 0;
  if (SUCCEEDED(dialog->GetFileTypeIndex(&index)) && index > 0)
    fileTypeIndex_ = static_cast<int>(index);
  std::vector<std::wstring> files;
  TComRef<IFileOpenDialog> open;
  TComRef<IShellItemArray> results;
  if (SUCCEEDED(
          dialog->QueryInterface(IID_IFileOpenDialog, reinterpret_cast<void**>(open.Out()))) &&
      SUCCEEDED(open->GetResults(results.Out()))) {
    DWORD count = 0;
    results->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
      TComRef<IShellItem> item;
      if (SUCCEEDED(results->GetItemAt(i, item.Out()))) files.push_back(ItemPath(item.Get()));
    }
  } else {
    TComRef<IShellItem> item;
    if (SUCCEEDED(dialog->GetResult(item.Out()))) files.push_back(ItemPath(item.Get()));
  }
  files_.Assign(files);
  FileName = files.empty() ? std::wstring() : files.front();
  return true;
}

bool TFileOpenDialog::Execute() {
  return Run(CLSID_FileOpenDialog);
}
bool TFileSaveDialog::Execute() {
  return Run(CLSID_FileSaveDialog);
}

namespace {

// Selects the start folder (the path in `start`) once the picker's window exists.
int CALLBACK SelectStartFolder(HWND window, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

}  // namespace

bool SelectDirectory(const std::wstring& caption, std::wstring& directory) {
  BROWSEINFOW browse{};
  browse.hwndOwner = DialogOwner();
  browse.lpszTitle = caption.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  if (!directory.empty()) {
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(directory.c_str());
  }
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&browse);
  if (!list) return false;
  wchar_t path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
  CoTaskMemFree(list);
  if (ok) directory = path;
  return ok;
}

}  // namespace ui
