// The drop source of a drag out: the drag goes on while a button is held, Escape cancels it,
// and the platform draws its usual cursors.
#pragma once

#include <windows.h>

#include <oleidl.h>

#include "app/dragdrop/win32/com_object.h"

namespace app::dragdrop {

class TDropSource final : public TComObject<IDropSource> {
 public:
  // With the left or right button down: cancel on Escape, else go on. With none down: drop.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;
};

}  // namespace app::dragdrop
