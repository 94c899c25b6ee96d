// The modal menu loop on Windows (the decisions are tb/modal_loop.h).
//   TTBModalHandler(existingWnd): for the loop's length the handler's window (the given one, or
//   a hidden window of its own whose WM_CANCELMODE cancels the root popup's view) holds the
//   mouse capture, the focused window of this thread loses the focus, the foreground is locked
//   and the menu start is announced. Its destruction undoes all of that, whatever happened:
//   the focus goes back to the saved window when nothing has taken it meanwhile.
//   Loop(rootView, ...) runs the loop over the thread's message queue: a waiting press is
//   looked at before it is removed, a WM_QUIT is put back and ends the loop.
//   EnterToolbarLoop(view, options): a loop on a toolbar's own window, then the done action.
//   FinishModalLoop(data, returnClickedItemOnly): carries out how a loop ended (the command
//   sound, the deferred click, the system menu).
#pragma once

#include <windows.h>

#include "tb/modal_loop.h"

namespace tb {

class TTBModalHandler {
 public:
  explicit TTBModalHandler(HWND existingWnd);
  ~TTBModalHandler();
  TTBModalHandler(const TTBModalHandler&) = delete;
  TTBModalHandler& operator=(const TTBModalHandler&) = delete;

  HWND Wnd() const { return wnd_; }
  // The view that WM_CANCELMODE on the handler's own window cancels.
  void SetRootPopupView(TTBView* view) { rootPopupView_ = view; }
  void Loop(TTBView& rootView, bool mouseDown, bool executeSelected, bool fromMSAA,
            bool trackRightButton);

 private:
  static LRESULT CALLBACK WindowProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

  bool createdWnd_ = false;
  bool inited_ = false;
  HWND wnd_ = nullptr;
  TTBView* rootPopupView_ = nullptr;
  HWND saveFocusWnd_ = nullptr;
};

void EnterToolbarLoop(TTBView& view, TTBEnterToolbarLoopOptions options);
TTBCustomItem* FinishModalLoop(const TTBDoneActionData& data, bool returnClickedItemOnly);

}  // namespace tb
