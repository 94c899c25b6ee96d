// TTBCustomDockableWindow: the repaint after a move on a background dock, the context menu
// asked for outside the client area or from the keyboard, the dock's palette, and the parent
// reported for storage.
#include <windowsx.h>

#include "tb/win32/common.h"
#include "tb/win32/dockable_window.h"
#include "ui/win32/menus.h"

namespace tb {

void TTBCustomDockableWindow::RepaintOnBackground() {
  if (HandleAllocated()) DoubleBufferedRepaint(Handle());
}

bool TTBCustomDockableWindow::ContextMenuOutsideClient(ui::TMessage& message) {
  const bool keyboard = message.LParam == -1;
  POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (!keyboard) {
    POINT client = at;
    ScreenToClient(Handle(), &client);
    RECT r;
    GetClientRect(Handle(), &r);
    if (PtInRect(&r, client)) return false;
  }
  bool handled = false;
  DoContextPopup(at, handled);
  if (!handled && PopupMenu() && PopupMenu()->AutoPopup()) {
    if (keyboard) {
      at = {0, 0};
      ClientToScreen(Handle(), &at);
    }
    PopupMenu()->SetPopupComponent(this);
    PopupMenu()->Popup(at.x, at.y);
    handled = true;
  }
  if (handled)
    message.Result = 1;
  else
    DefaultHandler(message);
  return true;
}

bool TTBCustomDockableWindow::HasParent() const {
  return !dynamic_cast<TTBFloatingWindowParent*>(Parent()) && ui::TCustomControl::HasParent();
}

ui::TComponent* TTBCustomDockableWindow::GetParentComponent() const {
  return dynamic_cast<TTBFloatingWindowParent*>(Parent())
             ? nullptr
             : ui::TCustomControl::GetParentComponent();
}

HPALETTE TTBCustomDockableWindow::GetPalette() {
  return docked_ && currentDock_ ? currentDock_->GetPalette() : nullptr;
}

bool TTBCustomDockableWindow::PaletteChanged(bool foreground) {
  const bool changed = ui::TCustomControl::PaletteChanged(foreground);
  if (changed && HandleAllocated()) RedrawWithFrame(*this);
  return changed;
}

}  // namespace tb
