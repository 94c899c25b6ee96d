// The drop source.
#include "app/dragdrop/win32/drop_source.h"

namespace app::dragdrop {

HRESULT TDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if ((keyState & (MK_LBUTTON | MK_RBUTTON)) == 0) return DRAGDROP_S_DROP;
  return escapePressed ? DRAGDROP_S_CANCEL : S_OK;
}

HRESULT TDropSource::GiveFeedback(DWORD) {
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

}  // namespace app::dragdrop
