// Accessibility services bound at run time: "oleacc.dll" (LresultFromObject,
// AccessibleObjectFromWindow), the automation library's strings and variants ("oleaut32.dll"),
// and user32's NotifyWinEvent. Each is looked up once; when one is missing the framework hands
// out no accessibility objects or announces no events.
//   AltKeyName: the Alt key's name from the keyboard layout ("Alt" when it has none).
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

namespace tb {

bool BindAccessibilityLibrary();
void CallNotifyWinEvent(DWORD event, HWND wnd, LONG objectId, LONG childId);
// AccessibleObjectFromWindow(wnd, OBJID_WINDOW, IID_IDispatch); null on failure.
HRESULT WindowAccObject(HWND wnd, IDispatch** disp);
// LresultFromObject(IID_IAccessible, wParam, object); 0 without the library.
LRESULT AccLresultFromObject(WPARAM wParam, IUnknown* object);
// SysAllocStringLen of the text; null without the library.
BSTR AccString(const std::wstring& text);
// VariantInit.
void AccVariantInit(VARIANT* variant);
std::wstring AltKeyName();
// For tests: behave as if "oleacc.dll" were missing.
void SetAccessibilityLibraryMissing(bool missing);

}  // namespace tb
