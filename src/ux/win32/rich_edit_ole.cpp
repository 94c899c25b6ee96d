// The rich-edit control's OLE objects: its callback, an in-place frame over its form, the
// object dialogs and the information objects they ask, the verb menu and closing objects.
#include "ux/win32/rich_edit_ole.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "ui/win32/forms.h"
#include "ui/win32/menus.h"
#include "ux/win32/com_guard.h"
#include "ux/win32/rich_edit.h"

namespace ux {

namespace {

// A function of the OLE dialogs' library, which is loaded when a dialog is first shown (only
// these dialogs use it; loading it at the program's start cost start-up time). Null when the
// library or the function is missing.
template <class F>
F OleDialogFunction(const char* name) {
  static const HMODULE library = LoadLibraryW(L"oledlg.dll");
  return library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                 : nullptr;
}

TObjectPropertiesEntry objectPropertiesEntry = nullptr;

// One counted reference to a COM object, released at the end of its scope.
template <class T>
class TComRef {
 public:
  TComRef() = default;
  explicit TComRef(T* object) : object_(object) {}
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  ~TComRef() {
    if (object_) object_->Release();
  }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T** Out() { return &object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

// A string for the OLE dialogs, which free it with the task allocator.
LPWSTR TaskString(const std::wstring& text) {
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  if (copy) std::wmemcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

std::wstring UserType(REFCLSID clsid, DWORD form) {
  LPOLESTR name = nullptr;
  if (FAILED(OleRegGetUserType(clsid, form, &name)) || !name) return {};
  std::wstring result = name;
  CoTaskMemFree(name);
  return result;
}

// Releases the interfaces a REOBJECT carries.
void ReleaseObject(REOBJECT& object) {
  if (object.poleobj) object.poleobj->Release();
  if (object.pstg) object.pstg->Release();
  if (object.polesite) object.polesite->Release();
  object.poleobj = nullptr;
  object.pstg = nullptr;
  object.polesite = nullptr;
}

void AddRefObject(REOBJECT& object) {
  if (object.poleobj) object.poleobj->AddRef();
  if (object.pstg) object.pstg->AddRef();
  if (object.polesite) object.polesite->AddRef();
}

DWORD ObjectKey(const REOBJECT& object) {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(object.poleobj));
}

// The form window as the frame of an object active in place: no tool space, no menu merging,
// no accelerators of its own beyond the table handed out with the context.
class TOleInPlaceFrame : public IOleInPlaceFrame {
 public:
  explicit TOleInPlaceFrame(HWND form) : form_(form) {}
  virtual ~TOleInPlaceFrame() = default;
  TOleInPlaceFrame(const TOleInPlaceFrame&) = delete;
  TOleInPlaceFrame& operator=(const TOleInPlaceFrame&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IOleWindow && iid != IID_IOleInPlaceUIWindow &&
        iid != IID_IOleInPlaceFrame)
      return E_NOINTERFACE;
    *object = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = form_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
  STDMETHODIMP GetBorder(LPRECT border) override {
    if (!border) return E_POINTER;
    return GetClientRect(form_, border) ? S_OK : E_FAIL;
  }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override {
    return widths ? OLE_E_INVALIDRECT : S_OK;
  }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS widths) override {
    if (widths) widths->width[0] = widths->width[2] = widths->width[4] = 0;
    return S_OK;
  }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  HWND form_;
  LONG refs_ = 1;
};

}  // namespace

// TRichEditOleCallback

TRichEditOleCallback::TRichEditOleCallback(TUxCustomRichEdit& richEdit) : richEdit_(&richEdit) {}

TRichEditOleCallback::~TRichEditOleCallback() {
  if (frameForm_) frameForm_->Release();
  FreeAccelTable();
}

void TRichEditOleCallback::Detach() {
  richEdit_ = nullptr;
  if (frameForm_) frameForm_->Release();
  frameForm_ = nullptr;
  FreeAccelTable();
}

STDMETHODIMP TRichEditOleCallback::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IRichEditOleCallback) return E_NOINTERFACE;
  *object = static_cast<IRichEditOleCallback*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TRichEditOleCallback::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

STDMETHODIMP_(ULONG) TRichEditOleCallback::Release() {
  const LONG left = InterlockedDecrement(&refCount_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP TRichEditOleCallback::GetNewStorage(LPSTORAGE* storage) {
  if (!storage) return E_POINTER;
  *storage = nullptr;
  TComRef<ILockBytes> bytes;
  HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Out());
  if (FAILED(result)) return result;
  return StgCreateDocfileOnILockBytes(
      bytes.get(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, storage);
}

void TRichEditOleCallback::BuildAccelTable() {
  FreeAccelTable();
  ui::TCustomForm* form = richEdit_ ? richEdit_->ParentForm() : nullptr;
  if (!form || !form->Menu()) return;
  std::vector<ACCEL> accels;
  const std::function<void(ui::TMenuItem&)> walk = [&](ui::TMenuItem& item) {
    if (const ui::TShortCut shortcut = item.ShortCut(); shortcut != ui::scNone && item.Command()) {
      BYTE flags = FVIRTKEY;
      if (shortcut & ui::scShift) flags |= FSHIFT;
      if (shortcut & ui::scCtrl) flags |= FCONTROL;
      if (shortcut & ui::scAlt) flags |= FALT;
      accels.push_back(
          {flags, static_cast<WORD>(shortcut & 0xFF), static_cast<WORD>(item.Command())});
    }
    for (int i = 0; i < item.Count(); ++i) walk(*item.Items(i));
  };
  walk(form->Menu()->Items());
  if (accels.empty()) return;
  accelTable_ = CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));
  accelCount_ = accelTable_ ? static_cast<int>(accels.size()) : 0;
}

void TRichEditOleCallback::FreeAccelTable() {
  if (accelTable_) DestroyAcceleratorTable(accelTable_);
  accelTable_ = nullptr;
  accelCount_ = 0;
}

STDMETHODIMP TRichEditOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame,
                                                     LPOLEINPLACEUIWINDOW* document,
                                                     LPOLEINPLACEFRAMEINFO frameInfo) {
  return win32::GuardCom([&]() -> HRESULT {
    if (!richEdit_ || !richEdit_->AllowInPlace()) return E_NOTIMPL;
    ui::TCustomForm* form = richEdit_->ParentForm();
    if (!form || !form->HandleAllocated()) return E_NOTIMPL;
    if (!frame || !frameInfo) return E_POINTER;
    docForm_ = form->Handle();
    if (!frameForm_) frameForm_ = new TOleInPlaceFrame(docForm_);
    BuildAccelTable();
    frameForm_->AddRef();
    *frame = frameForm_;
    if (document) *document = nullptr;  // the frame is the document window too
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = docForm_;
    frameInfo->haccel = accelTable_;
    frameInfo->cAccelEntries = static_cast<UINT>(accelCount_);
    return S_OK;
  });
}

namespace {

struct ToolWindowSearch {
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK NoteToolWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<ToolWindowSearch*>(data);
  if (GetWindow(window, GW_OWNER) == search.owner && IsWindowVisible(window) &&
      (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
    search.found.push_back(window);
  return TRUE;
}

// The visible tool windows (top-level, WS_EX_TOOLWINDOW) that `owner` owns.
std::vector<HWND> VisibleToolWindows(HWND owner) {
  ToolWindowSearch search{owner, {}};
  EnumThreadWindows(GetCurrentThreadId(), NoteToolWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

// While an object is active in place its own menus and tools take over: the form gives up its
// menu bar, its tool windows and its scroll bars, and gets back what it had afterwards.
STDMETHODIMP TRichEditOleCallback::ShowContainerUI(BOOL show) {
  return win32::GuardCom([&]() -> HRESULT {
    if (!richEdit_) return E_FAIL;
    ui::TCustomForm* form = richEdit_->ParentForm();
    if (!form || !form->HandleAllocated() || containerHidden_ == !show) return S_OK;
    containerHidden_ = !show;
    const HWND window = form->Handle();
    if (!show) {
      autoScroll_ =
          static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & (WS_HSCROLL | WS_VSCROLL);
      if (autoScroll_) ShowScrollBar(window, SB_BOTH, FALSE);
      ::SetMenu(window, nullptr);
      hiddenTools_ = VisibleToolWindows(window);
      for (const HWND tool : hiddenTools_) ShowWindow(tool, SW_HIDE);
    } else {
      if (autoScroll_ & WS_HSCROLL) ShowScrollBar(window, SB_HORZ, TRUE);
      if (autoScroll_ & WS_VSCROLL) ShowScrollBar(window, SB_VERT, TRUE);
      autoScroll_ = 0;
      if (form->Menu()) ::SetMenu(window, form->Menu()->Handle());
      for (const HWND tool : std::exchange(hiddenTools_, {}))
        if (IsWindow(tool)) ShowWindow(tool, SW_SHOWNA);
    }
    DrawMenuBar(window);
    return S_OK;
  });
}

STDMETHODIMP TRichEditOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) {
  return S_OK;
}

STDMETHODIMP TRichEditOleCallback::DeleteObject(LPOLEOBJECT object) {
  if (object) object->Close(OLECLOSE_NOSAVE);
  return S_OK;
}

STDMETHODIMP TRichEditOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL,
                                                   HGLOBAL) {
  return S_OK;
}

STDMETHODIMP TRichEditOleCallback::ContextSensitiveHelp(BOOL) {
  return S_OK;
}

STDMETHODIMP TRichEditOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) {
  return E_NOTIMPL;
}

STDMETHODIMP TRichEditOleCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD) {
  return E_NOTIMPL;
}

STDMETHODIMP TRichEditOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) {
  return E_NOTIMPL;
}

// TOleUIObjInfo

TOleUIObjInfo::TOleUIObjInfo(TUxCustomRichEdit& richEdit, const REOBJECT& object)
    : richEdit_(richEdit), object_(object) {
  AddRefObject(object_);
}

TOleUIObjInfo::~TOleUIObjInfo() {
  ReleaseObject(object_);
}

STDMETHODIMP TOleUIObjInfo::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown) return E_NOINTERFACE;
  *object = static_cast<IOleUIObjInfoW*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TOleUIObjInfo::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

STDMETHODIMP_(ULONG) TOleUIObjInfo::Release() {
  const LONG left = InterlockedDecrement(&refCount_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP TOleUIObjInfo::GetObjectInfo(DWORD, DWORD* size, LPWSTR* label, LPWSTR* type,
                                          LPWSTR* shortType, LPWSTR* location) {
  return win32::GuardCom([&]() -> HRESULT {
    const std::wstring full = UserType(object_.clsid, USERCLASSTYPE_FULL);
    const std::wstring brief = UserType(object_.clsid, USERCLASSTYPE_SHORT);
    const std::wstring application = UserType(object_.clsid, USERCLASSTYPE_APPNAME);
    if (size) {
      STATSTG stat{};
      *size = object_.pstg && SUCCEEDED(object_.pstg->Stat(&stat, STATFLAG_NONAME))
                  ? static_cast<DWORD>(stat.cbSize.QuadPart)
                  : static_cast<DWORD>(-1);
    }
    if (label) *label = TaskString(full);
    if (type) {
      wchar_t text[512];
      swprintf(text, 512, L"%ls - %ls", full.c_str(), application.c_str());
      *type = TaskString(text);
    }
    if (shortType) *shortType = TaskString(brief);
    if (location) *location = TaskString(richEdit_.Title());
    return S_OK;
  });
}

STDMETHODIMP TOleUIObjInfo::GetConvertInfo(DWORD, CLSID* classId, WORD* format,
                                           CLSID* convertDefault, LPCLSID* exclude,
                                           UINT* excludeCount) {
  if (classId) *classId = object_.clsid;
  if (format) *format = 0;
  if (convertDefault) *convertDefault = CLSID_NULL;
  if (exclude) *exclude = nullptr;
  if (excludeCount) *excludeCount = 0;
  return S_OK;
}

STDMETHODIMP TOleUIObjInfo::ConvertObject(DWORD, REFCLSID) {
  return E_NOTIMPL;
}

STDMETHODIMP TOleUIObjInfo::GetViewInfo(DWORD, HGLOBAL* metaPict, DWORD* aspect, int* scale) {
  if (metaPict) *metaPict = OleGetIconOfClass(object_.clsid, nullptr, TRUE);
  if (aspect) *aspect = object_.dvaspect;
  if (scale) *scale = 100;
  return S_OK;
}

STDMETHODIMP TOleUIObjInfo::SetViewInfo(DWORD, HGLOBAL, DWORD aspect, int, BOOL) {
  IRichEditOle* ole = richEdit_.RichEditOle();
  if (!ole) return E_FAIL;
  object_.dvaspect = aspect;
  return ole->SetDvaspect(static_cast<LONG>(REO_IOB_SELECTION), aspect);
}

// TOleUILinkInfo

TOleUILinkInfo::TOleUILinkInfo(TUxCustomRichEdit& richEdit, const REOBJECT& object)
    : richEdit_(richEdit), object_(object) {
  AddRefObject(object_);
  if (object_.poleobj)
    object_.poleobj->QueryInterface(IID_IOleLink, reinterpret_cast<void**>(&link_));
}

TOleUILinkInfo::~TOleUILinkInfo() {
  if (link_) link_->Release();
  ReleaseObject(object_);
}

STDMETHODIMP TOleUILinkInfo::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown) return E_NOINTERFACE;
  *object = static_cast<IOleUILinkInfoW*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) TOleUILinkInfo::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

STDMETHODIMP_(ULONG) TOleUILinkInfo::Release() {
  const LONG left = InterlockedDecrement(&refCount_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

IOleLink* TOleUILinkInfo::Link(DWORD link) {
  return link != 0 && link == ObjectKey(object_) ? link_ : nullptr;
}

STDMETHODIMP_(DWORD) TOleUILinkInfo::GetNextLink(DWORD link) {
  return link == 0 && link_ ? ObjectKey(object_) : 0;
}

STDMETHODIMP TOleUILinkInfo::SetLinkUpdateOptions(DWORD link, DWORD options) {
  IOleLink* target = Link(link);
  return target ? target->SetUpdateOptions(options) : E_INVALIDARG;
}

STDMETHODIMP TOleUILinkInfo::GetLinkUpdateOptions(DWORD link, DWORD* options) {
  IOleLink* target = Link(link);
  return target ? target->GetUpdateOptions(options) : E_INVALIDARG;
}

STDMETHODIMP TOleUILinkInfo::SetLinkSource(DWORD link, LPWSTR displayName, ULONG, ULONG* eaten,
                                           BOOL) {
  IOleLink* target = Link(link);
  if (!target || !displayName) return E_INVALIDARG;
  const HRESULT result = target->SetSourceDisplayName(displayName);
  if (eaten) *eaten = SUCCEEDED(result) ? static_cast<ULONG>(wcslen(displayName)) : 0;
  return result;
}

STDMETHODIMP TOleUILinkInfo::GetLinkSource(DWORD link, LPWSTR* displayName, ULONG* fileNameLength,
                                           LPWSTR* fullLinkType, LPWSTR* shortLinkType,
                                           BOOL* sourceAvailable, BOOL* selected) {
  return win32::GuardCom([&]() -> HRESULT {
    IOleLink* target = Link(link);
    if (!target) return E_INVALIDARG;
    LPOLESTR name = nullptr;
    const HRESULT result = target->GetSourceDisplayName(&name);
    if (FAILED(result)) return result;
    if (fileNameLength) *fileNameLength = name ? static_cast<ULONG>(wcslen(name)) : 0;
    if (displayName)
      *displayName = name;
    else
      CoTaskMemFree(name);
    CLSID clsid = object_.clsid;
    if (object_.poleobj) object_.poleobj->GetUserClassID(&clsid);
    if (fullLinkType) *fullLinkType = TaskString(UserType(clsid, USERCLASSTYPE_FULL));
    if (shortLinkType) *shortLinkType = TaskString(UserType(clsid, USERCLASSTYPE_SHORT));
    if (sourceAvailable) *sourceAvailable = TRUE;
    if (selected) *selected = TRUE;
    return S_OK;
  });
}

STDMETHODIMP TOleUILinkInfo::OpenLinkSource(DWORD link) {
  if (!Link(link) || !object_.poleobj) return E_INVALIDARG;
  return object_.poleobj->DoVerb(OLEIVERB_SHOW, nullptr, object_.polesite, 0, richEdit_.Handle(),
                                 nullptr);
}

STDMETHODIMP TOleUILinkInfo::UpdateLink(DWORD link, BOOL, BOOL) {
  IOleLink* target = Link(link);
  return target ? target->Update(nullptr) : E_INVALIDARG;
}

// A cancelled link keeps its last picture but no longer follows a source.
STDMETHODIMP TOleUILinkInfo::CancelLink(DWORD link) {
  IOleLink* target = Link(link);
  return target ? target->SetSourceMoniker(nullptr, CLSID_NULL) : E_INVALIDARG;
}

STDMETHODIMP TOleUILinkInfo::GetLastUpdate(DWORD link, FILETIME* lastUpdate) {
  IOleLink* target = Link(link);
  if (!target || !lastUpdate) return E_INVALIDARG;
  TComRef<IMoniker> moniker;
  HRESULT result = target->GetSourceMoniker(moniker.Out());
  if (FAILED(result) || !moniker) return FAILED(result) ? result : E_FAIL;
  TComRef<IBindCtx> context;
  result = CreateBindCtx(0, context.Out());
  if (FAILED(result)) return result;
  return moniker->GetTimeOfLastChange(context.get(), nullptr, lastUpdate);
}

// The control's OLE operations

namespace {

// Puts a created object into the control at the selection.
bool InsertCreated(IRichEditOle& ole, IOleObject* object, IStorage* storage, IOleClientSite* site,
                   DWORD aspect, bool blank) {
  OleSetContainedObject(object, TRUE);
  REOBJECT entry{};
  entry.cbStruct = sizeof entry;
  entry.cp = REO_CP_SELECTION;
  object->GetUserClassID(&entry.clsid);
  entry.poleobj = object;
  entry.pstg = storage;
  entry.polesite = site;
  entry.dvaspect = aspect;
  entry.dwFlags = REO_RESIZABLE | (blank ? REO_BLANK : 0);
  return SUCCEEDED(ole.InsertObject(&entry));
}

// Frees a metafile picture in global memory, as the OLE dialogs hand them out.
void FreeMetaPict(HGLOBAL metaPict) {
  if (!metaPict) return;
  if (auto* picture = static_cast<METAFILEPICT*>(GlobalLock(metaPict))) {
    if (picture->hMF) DeleteMetaFile(picture->hMF);
    GlobalUnlock(metaPict);
  }
  GlobalFree(metaPict);
}

// Shows an object as an icon: its cache holds the icon picture.
void CacheIcon(IOleObject* object, HGLOBAL metaPict) {
  if (!metaPict) return;
  TComRef<IOleCache> cache;
  if (FAILED(object->QueryInterface(IID_IOleCache, reinterpret_cast<void**>(cache.Out())))) return;
  FORMATETC format{CF_METAFILEPICT, nullptr, DVASPECT_ICON, -1, TYMED_MFPICT};
  STGMEDIUM medium{};
  medium.tymed = TYMED_MFPICT;
  medium.hMetaFilePict = metaPict;
  DWORD connection = 0;
  cache->Cache(&format, ADVF_PRIMEFIRST, &connection);
  cache->SetData(&format, &medium, FALSE);
}

}  // namespace

TObjectPropertiesEntry SetObjectPropertiesEntry(TObjectPropertiesEntry entry) {
  return std::exchange(objectPropertiesEntry, entry);
}

bool TUxCustomRichEdit::InsertObjectDialog() {
  if (!HandleAllocated() || !richEditOle_) return false;
  TComRef<IStorage> storage;
  TComRef<IOleClientSite> site;
  if (FAILED(callback_->GetNewStorage(storage.Out())) ||
      FAILED(richEditOle_->GetClientSite(site.Out())))
    return false;
  wchar_t file[MAX_PATH] = {};
  TComRef<IOleObject> object;
  OLEUIINSERTOBJECTW dialog{};
  dialog.cbStruct = sizeof dialog;
  dialog.dwFlags =
      IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT | IOF_CREATELINKOBJECT;
  dialog.hWndOwner = Handle();
  dialog.lpszFile = file;
  dialog.cchFile = MAX_PATH;
  dialog.iid = IID_IOleObject;
  dialog.oleRender = OLERENDER_DRAW;
  dialog.lpIOleClientSite = site.get();
  dialog.lpIStorage = storage.get();
  dialog.ppvObj = reinterpret_cast<void**>(object.Out());
  const auto insertObject = OleDialogFunction<decltype(&OleUIInsertObjectW)>("OleUIInsertObjectW");
  const UINT result = insertObject ? insertObject(&dialog) : OLEUI_CANCEL;
  bool inserted = false;
  if (result == OLEUI_OK && object) {
    const bool icon = dialog.dwFlags & IOF_CHECKDISPLAYASICON;
    if (icon) CacheIcon(object.get(), dialog.hMetaPict);
    inserted = InsertCreated(*richEditOle_, object.get(), storage.get(), site.get(),
                             icon ? DVASPECT_ICON : DVASPECT_CONTENT,
                             dialog.dwFlags & IOF_SELECTCREATENEW);
    if (inserted && (dialog.dwFlags & IOF_SELECTCREATENEW))
      object->DoVerb(OLEIVERB_SHOW, nullptr, site.get(), 0, Handle(), nullptr);
  }
  if (dialog.hMetaPict) FreeMetaPict(dialog.hMetaPict);
  return inserted;
}

bool TUxCustomRichEdit::PasteSpecialDialog() {
  if (!HandleAllocated()) return false;
  const TRichEditClipboardFormats& formats = RichEditClipboardFormats();
  const auto entry = [](UINT format, DWORD tymed, const wchar_t* name, const wchar_t* result,
                        DWORD flags) {
    OLEUIPASTEENTRYW e{};
    e.fmtetc = {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, tymed};
    e.lpstrFormatName = name;
    e.lpstrResultText = result;
    e.dwFlags = flags;
    return e;
  };
  enum { kRichText = 2, kText = 3 };  // the entries pasted as text
  OLEUIPASTEENTRYW entries[] = {
      entry(formats.embeddedObject, TYMED_ISTORAGE, L"%s", L"%s",
            OLEUIPASTE_PASTE | OLEUIPASTE_ENABLEICON),
      entry(formats.linkSource, TYMED_ISTREAM, L"%s", L"%s",
            OLEUIPASTE_LINKTYPE1 | OLEUIPASTE_ENABLEICON),
      entry(formats.richText, TYMED_HGLOBAL, L"Rich Text Format", L"Rich Text Format",
            OLEUIPASTE_PASTEONLY),
      entry(CF_UNICODETEXT, TYMED_HGLOBAL, L"Unformatted text", L"text without any formatting",
            OLEUIPASTE_PASTEONLY),
      entry(CF_BITMAP, TYMED_GDI, L"Windows Bitmap", L"bitmap image", OLEUIPASTE_PASTEONLY),
  };
  UINT linkTypes[] = {formats.linkSource};
  TComRef<IDataObject> data;
  if (FAILED(OleGetClipboard(data.Out())) || !data) return false;
  OLEUIPASTESPECIALW dialog{};
  dialog.cbStruct = sizeof dialog;
  dialog.dwFlags = PSF_SELECTPASTE;
  dialog.hWndOwner = Handle();
  dialog.lpSrcDataObj = data.get();
  dialog.arrPasteEntries = entries;
  dialog.cPasteEntries = static_cast<int>(std::size(entries));
  dialog.arrLinkTypes = linkTypes;
  dialog.cLinkTypes = 1;
  const auto pasteSpecial = OleDialogFunction<decltype(&OleUIPasteSpecialW)>("OleUIPasteSpecialW");
  const UINT result = pasteSpecial ? pasteSpecial(&dialog) : OLEUI_CANCEL;
  bool pasted = false;
  if (result == OLEUI_OK && dialog.nSelectedIndex >= 0 &&
      dialog.nSelectedIndex < static_cast<int>(std::size(entries))) {
    const int index = dialog.nSelectedIndex;
    const bool icon = dialog.dwFlags & PSF_CHECKDISPLAYASICON;
    if (!dialog.fLink && (index == kRichText || index == kText)) {
      Send(EM_PASTESPECIAL, entries[index].fmtetc.cfFormat, 0);
      pasted = true;
    } else if (richEditOle_) {
      TComRef<IStorage> storage;
      TComRef<IOleClientSite> site;
      TComRef<IOleObject> object;
      if (SUCCEEDED(callback_->GetNewStorage(storage.Out())) &&
          SUCCEEDED(richEditOle_->GetClientSite(site.Out()))) {
        const HRESULT created =
            dialog.fLink
                ? OleCreateLinkFromData(data.get(), IID_IOleObject, OLERENDER_DRAW, nullptr,
                                        site.get(), storage.get(),
                                        reinterpret_cast<void**>(object.Out()))
                : OleCreateFromData(data.get(), IID_IOleObject, OLERENDER_DRAW, nullptr, site.get(),
                                    storage.get(), reinterpret_cast<void**>(object.Out()));
        if (SUCCEEDED(created) && object) {
          if (icon) {
            CLSID clsid = CLSID_NULL;
            object->GetUserClassID(&clsid);
            if (dialog.hMetaPict) {
              CacheIcon(object.get(), dialog.hMetaPict);
            } else {
              const HGLOBAL classIcon = OleGetIconOfClass(clsid, nullptr, TRUE);
              CacheIcon(object.get(), classIcon);
              FreeMetaPict(classIcon);
            }
          }
          pasted = InsertCreated(*richEditOle_, object.get(), storage.get(), site.get(),
                                 icon ? DVASPECT_ICON : DVASPECT_CONTENT, false);
        }
      }
    }
  }
  if (dialog.hMetaPict) FreeMetaPict(dialog.hMetaPict);
  return pasted;
}

bool TUxCustomRichEdit::ObjectPropertiesDialog() {
  if (!HandleAllocated() || !richEditOle_ || SelectionType() != stObject) return false;
  REOBJECT object{};
  object.cbStruct = sizeof object;
  if (FAILED(richEditOle_->GetObject(static_cast<LONG>(REO_IOB_SELECTION), &object,
                                     REO_GETOBJ_ALL_INTERFACES)) ||
      !object.poleobj) {
    ReleaseObject(object);
    return false;
  }
  const bool linked = (object.dwFlags & REO_LINK) != 0;
  TComRef<TOleUIObjInfo> info(new TOleUIObjInfo(*this, object));
  TComRef<TOleUILinkInfo> links(linked ? new TOleUILinkInfo(*this, object) : nullptr);
  // The key the information objects know the object by; they hold it while the dialog runs.
  const DWORD key = ObjectKey(object);
  ReleaseObject(object);

  PROPSHEETHEADERW sheet{};
  sheet.dwSize = sizeof sheet;
  sheet.hwndParent = Handle();
  OLEUIGNRLPROPSW general{};
  general.cbStruct = sizeof general;
  OLEUIVIEWPROPSW view{};
  view.cbStruct = sizeof view;
  view.nScaleMin = 10;
  view.nScaleMax = 500;
  OLEUILINKPROPSW linkProps{};
  linkProps.cbStruct = sizeof linkProps;
  OLEUIOBJECTPROPSW dialog{};
  dialog.cbStruct = sizeof dialog;
  dialog.dwFlags = linked ? OPF_OBJECTISLINK : 0;
  dialog.lpPS = &sheet;
  dialog.dwObject = key;
  dialog.lpObjInfo = info.get();
  dialog.dwLink = key;
  dialog.lpLinkInfo = links.get();
  dialog.lpGP = &general;
  dialog.lpVP = &view;
  dialog.lpLP = &linkProps;
  const auto objectProperties =
      objectPropertiesEntry
          ? objectPropertiesEntry
          : OleDialogFunction<decltype(&OleUIObjectPropertiesW)>("OleUIObjectPropertiesW");
  return objectProperties && objectProperties(&dialog) == OLEUI_OK;
}

void TUxCustomRichEdit::CloseObjects() {
  if (!richEditOle_) return;
  for (LONG i = richEditOle_->GetObjectCount() - 1; i >= 0; --i) {
    REOBJECT object{};
    object.cbStruct = sizeof object;
    if (FAILED(richEditOle_->GetObject(i, &object, REO_GETOBJ_POLEOBJ))) continue;
    if (object.dwFlags & REO_INPLACEACTIVE) richEditOle_->InPlaceDeactivate();
    if (object.poleobj) object.poleobj->Close(OLECLOSE_NOSAVE);
    ReleaseObject(object);
  }
}

void TUxCustomRichEdit::ReleaseOle() {
  if (!richEditOle_) return;
  richEditOle_->Release();
  richEditOle_ = nullptr;
}

// The verbs of a selected object follow the control's own menu entries.
bool TUxCustomRichEdit::ContextMenu(ui::TMessage& message) {
  if (!autoVerbMenu_ || !allowObjects_ || !richEditOle_ || SelectionType() != stObject)
    return false;
  REOBJECT object{};
  object.cbStruct = sizeof object;
  if (FAILED(richEditOle_->GetObject(static_cast<LONG>(REO_IOB_SELECTION), &object,
                                     REO_GETOBJ_POLEOBJ | REO_GETOBJ_POLESITE)) ||
      !object.poleobj) {
    ReleaseObject(object);
    return false;
  }
  std::vector<std::pair<LONG, std::wstring>> verbs;
  TComRef<IEnumOLEVERB> enumerator;
  if (SUCCEEDED(object.poleobj->EnumVerbs(enumerator.Out())) && enumerator) {
    OLEVERB verb{};
    while (enumerator->Next(1, &verb, nullptr) == S_OK) {
      if (verb.lVerb >= 0 && (verb.grfAttribs & OLEVERBATTRIB_ONCONTAINERMENU) && verb.lpszVerbName)
        verbs.emplace_back(verb.lVerb, verb.lpszVerbName);
      CoTaskMemFree(verb.lpszVerbName);
    }
  }
  if (verbs.empty()) {
    ReleaseObject(object);
    return false;
  }
  ui::TPopupMenu* menu = PopupMenu();
  if (!menu) {
    if (!popupVerbMenu_) popupVerbMenu_ = ui::Create<ui::TPopupMenu>(*this);
    menu = popupVerbMenu_;
  }
  std::vector<ui::TMenuItem*> added;
  const auto add = [&](const std::wstring& caption) {
    auto* item = ui::Create<ui::TMenuItem>(*this);
    item->SetCaption(caption);
    menu->Items().Add(item);
    added.push_back(item);
    return item;
  };
  if (menu->Items().Count() > 0) add(L"-");
  IOleObject* target = object.poleobj;
  IOleClientSite* site = object.polesite;
  for (const auto& [number, name] : verbs) {
    add(name)->OnClick = [this, target, site, number = number](ui::TComponent*) {
      RECT bounds;
      GetClientRect(Handle(), &bounds);
      target->DoVerb(number, nullptr, site, 0, Handle(), &bounds);
    };
  }
  POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (message.LParam == -1) {
    at = {Width() / 2, Height() / 2};
    ClientToScreen(Handle(), &at);
  }
  menu->Popup(at.x, at.y);
  for (ui::TMenuItem* item : added) {
    menu->Items().Remove(item);
    ui::Free(item);
  }
  ReleaseObject(object);
  return true;
}

}  // namespace ux
