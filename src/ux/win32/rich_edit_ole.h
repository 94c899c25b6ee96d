// The rich-edit control's OLE side: its IRichEditOleCallback, and the information objects the
// object-properties dialog asks (IOleUIObjInfoW) and, for a linked object, the links part of it
// (IOleUILinkInfoW). All are reference counted; the callback outlives the control while the
// control's window still holds it, and answers nothing once the control is gone (Detach).
#pragma once

#include <windows.h>

#include <oledlg.h>
#include <richole.h>

#include <vector>

namespace ux {

class TUxCustomRichEdit;

// The object-properties dialog's entry point, the OLE dialogs' library's by default. Returns the
// one it replaces; null puts the library's back. Tests see what the dialog is handed through it.
using TObjectPropertiesEntry = UINT(WINAPI*)(LPOLEUIOBJECTPROPSW);
TObjectPropertiesEntry SetObjectPropertiesEntry(TObjectPropertiesEntry entry);

class TRichEditOleCallback : public IRichEditOleCallback {
 public:
  explicit TRichEditOleCallback(TUxCustomRichEdit& richEdit);
  virtual ~TRichEditOleCallback();
  TRichEditOleCallback(const TRichEditOleCallback&) = delete;
  TRichEditOleCallback& operator=(const TRichEditOleCallback&) = delete;

  // The control is going: later calls answer E_FAIL.
  void Detach();
  // The accelerator table built from the form's main menu for in-place activation.
  HACCEL AccelTable() const { return accelTable_; }
  int AccelCount() const { return accelCount_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IRichEditOleCallback, in slot order
  STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override;
  STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* document,
                                 LPOLEINPLACEFRAMEINFO frameInfo) override;
  STDMETHODIMP ShowContainerUI(BOOL show) override;
  STDMETHODIMP QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG position) override;
  STDMETHODIMP DeleteObject(LPOLEOBJECT object) override;
  STDMETHODIMP QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD operation, BOOL really,
                               HGLOBAL metaPict) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  STDMETHODIMP GetClipboardData(CHARRANGE* range, DWORD operation, LPDATAOBJECT* data) override;
  STDMETHODIMP GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
  STDMETHODIMP GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                              HMENU* menu) override;

 private:
  void BuildAccelTable();
  void FreeAccelTable();

  HWND docForm_ = nullptr;  // the window of the form that holds the control
  IOleInPlaceFrame* frameForm_ = nullptr;
  HACCEL accelTable_ = nullptr;
  int accelCount_ = 0;
  // Kept while an object is active in place: the form's scroll bars (WS_HSCROLL, WS_VSCROLL) and
  // the tool windows that were hidden.
  DWORD autoScroll_ = 0;
  std::vector<HWND> hiddenTools_;
  bool containerHidden_ = false;
  LONG refCount_ = 1;
  TUxCustomRichEdit* richEdit_;
};

// Describes one object of the control to the object-properties dialog.
class TOleUIObjInfo : public IOleUIObjInfoW {
 public:
  TOleUIObjInfo(TUxCustomRichEdit& richEdit, const REOBJECT& object);
  virtual ~TOleUIObjInfo();
  TOleUIObjInfo(const TOleUIObjInfo&) = delete;
  TOleUIObjInfo& operator=(const TOleUIObjInfo&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetObjectInfo(DWORD object, DWORD* size, LPWSTR* label, LPWSTR* type,
                             LPWSTR* shortType, LPWSTR* location) override;
  STDMETHODIMP GetConvertInfo(DWORD object, CLSID* classId, WORD* format, CLSID* convertDefault,
                              LPCLSID* exclude, UINT* excludeCount) override;
  STDMETHODIMP ConvertObject(DWORD object, REFCLSID newClass) override;
  STDMETHODIMP GetViewInfo(DWORD object, HGLOBAL* metaPict, DWORD* aspect, int* scale) override;
  STDMETHODIMP SetViewInfo(DWORD object, HGLOBAL metaPict, DWORD aspect, int scale,
                           BOOL relativeToOriginal) override;

 private:
  LONG refCount_ = 1;
  TUxCustomRichEdit& richEdit_;
  REOBJECT object_;
};

// The links part of the object-properties dialog for one linked object of the control.
class TOleUILinkInfo : public IOleUILinkInfoW {
 public:
  TOleUILinkInfo(TUxCustomRichEdit& richEdit, const REOBJECT& object);
  virtual ~TOleUILinkInfo();
  TOleUILinkInfo(const TOleUILinkInfo&) = delete;
  TOleUILinkInfo& operator=(const TOleUILinkInfo&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP_(DWORD) GetNextLink(DWORD link) override;
  STDMETHODIMP SetLinkUpdateOptions(DWORD link, DWORD options) override;
  STDMETHODIMP GetLinkUpdateOptions(DWORD link, DWORD* options) override;
  STDMETHODIMP SetLinkSource(DWORD link, LPWSTR displayName, ULONG fileNameLength, ULONG* eaten,
                             BOOL validate) override;
  STDMETHODIMP GetLinkSource(DWORD link, LPWSTR* displayName, ULONG* fileNameLength,
                             LPWSTR* fullLinkType, LPWSTR* shortLinkType, BOOL* sourceAvailable,
                             BOOL* selected) override;
  STDMETHODIMP OpenLinkSource(DWORD link) override;
  STDMETHODIMP UpdateLink(DWORD link, BOOL errorMessage, BOOL reserved) override;
  STDMETHODIMP CancelLink(DWORD link) override;
  STDMETHODIMP GetLastUpdate(DWORD link, FILETIME* lastUpdate) override;

 private:
  IOleLink* Link(DWORD link);

  LONG refCount_ = 1;
  TUxCustomRichEdit& richEdit_;
  REOBJECT object_;
  IOleLink* link_ = nullptr;
};

}  // namespace ux
