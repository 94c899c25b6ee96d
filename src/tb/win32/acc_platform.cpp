#include "tb/win32/acc_platform.h"

#include <oleacc.h>

#include <atomic>

namespace tb {

namespace {

using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using TAccessibleObjectFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using TNotifyWinEvent = void(WINAPI*)(DWORD, HWND, LONG, LONG);

template <class F>
F Bind(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

using TSysAllocStringLen = BSTR(WINAPI*)(const OLECHAR*, UINT);
using TVariantInit = void(WINAPI*)(VARIANTARG*);

struct TAccLibrary {
  TLresultFromObject lresultFromObject = nullptr;
  TAccessibleObjectFromWindow accessibleObjectFromWindow = nullptr;
  // From the automation library, which the accessibility library uses itself.
  TSysAllocStringLen sysAllocStringLen = nullptr;
  TVariantInit variantInit = nullptr;
};

const TAccLibrary& Library() {
  static const TAccLibrary library = [] {
    TAccLibrary l;
    const UINT oldMode = SetErrorMode(0x8000);
    const HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    SetErrorMode(oldMode);
    l.lresultFromObject = Bind<TLresultFromObject>(oleacc, "LresultFromObject");
    l.accessibleObjectFromWindow =
        Bind<TAccessibleObjectFromWindow>(oleacc, "AccessibleObjectFromWindow");
    const HMODULE automation = oleacc ? LoadLibraryW(L"oleaut32.dll") : nullptr;
    l.sysAllocStringLen = Bind<TSysAllocStringLen>(automation, "SysAllocStringLen");
    l.variantInit = Bind<TVariantInit>(automation, "VariantInit");
    return l;
  }();
  return library;
}

std::atomic<bool> libraryMissing{false};

}  // namespace

bool BindAccessibilityLibrary() {
  const TAccLibrary& l = Library();
  return !libraryMissing.load() && l.lresultFromObject && l.accessibleObjectFromWindow &&
         l.sysAllocStringLen && l.variantInit;
}

BSTR AccString(const std::wstring& text) {
  const TSysAllocStringLen allocate = Library().sysAllocStringLen;
  return allocate ? allocate(text.data(), static_cast<UINT>(text.size())) : nullptr;
}

void AccVariantInit(VARIANT* variant) {
  if (const TVariantInit init = Library().variantInit) {
    init(variant);
  } else {
    variant->vt = VT_EMPTY;
  }
}

void SetAccessibilityLibraryMissing(bool missing) {
  libraryMissing.store(missing);
}

void CallNotifyWinEvent(DWORD event, HWND wnd, LONG objectId, LONG childId) {
  static const TNotifyWinEvent notify =
      Bind<TNotifyWinEvent>(GetModuleHandleW(L"user32.dll"), "NotifyWinEvent");
  if (notify) notify(event, wnd, objectId, childId);
}

HRESULT WindowAccObject(HWND wnd, IDispatch** disp) {
  *disp = nullptr;
  if (!BindAccessibilityLibrary()) return E_FAIL;
  const HRESULT result = Library().accessibleObjectFromWindow(
      wnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch, reinterpret_cast<void**>(disp));
  if (FAILED(result)) *disp = nullptr;
  return result;
}

LRESULT AccLresultFromObject(WPARAM wParam, IUnknown* object) {
  if (!BindAccessibilityLibrary()) return 0;
  return Library().lresultFromObject(IID_IAccessible, wParam, object);
}

std::wstring AltKeyName() {
  const UINT scan = MapVirtualKeyW(VK_MENU, 0);
  wchar_t name[256] = {};
  const int length = GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 256);
  return length > 0 ? std::wstring(name, static_cast<std::size_t>(length)) : L"Alt";
}

}  // namespace tb
