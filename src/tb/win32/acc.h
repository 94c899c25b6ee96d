// Accessibility objects (IAccessible) of views and item viewers. The answers are tb/acc.h; this
// is their COM side.
//   GetViewAccObject / GetViewerAccObject: the object of a view or viewer, made on first
//   request while "oleacc.dll" is there (null otherwise); the view or viewer keeps one counted
//   reference, and when it goes away the object answers E_FAIL (or S_FALSE where that is the
//   answer) to every later question. The result is borrowed: AddRef to keep it.
//   HandleViewGetObject: WM_GETOBJECT of a view's window (OBJID_CLIENT: the view's object).
//   Every method catches what it calls: no exception leaves a COM method.
//   Every live object is in a process-wide list; DisconnectAccessibleObjects (at the end)
//   disconnects them from their remote clients, holding each while it does.
//   InitAccessibility: CoInitialize (balanced by DoneAccessibility) and the deferred
//   accessibility "select" of viewers.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include "tb/view.h"

namespace tb {

IAccessible* GetViewAccObject(TTBView& view);
IAccessible* GetViewerAccObject(TTBItemViewer& viewer);
bool HandleViewGetObject(TTBView& view, WPARAM wParam, LPARAM lParam, LRESULT& result);
// The view's window can take part: visible and enabled with its parents, and modal or active.
bool ViewWindowUsable(const TTBView& view);
void InitAccessibility();
void DoneAccessibility();
void DisconnectAccessibleObjects();
int LiveAccObjectCount();

}  // namespace tb
