// A view's window on Windows: binds an HWND to a view. Window timers (9000 + id) go to the
// view through HandleTimer; invalidation, coordinates and the accessibility focus event reach
// the window; text is measured with the window's font (bold for default items, or as an item
// changes it); DrawSubitems draws the view's viewers double-buffered, each with the colours of
// its state.
//   The font is the toolbar font for root popups and toolbars, the parent's for child popups;
//   popup windows derive from this class to size themselves (AutoSize) and to hide.
#pragma once

#include <windows.h>

#include "tb/view.h"
#include "ui/win32/graphics.h"

namespace ui {
class TWinControl;
}

namespace tb {

class TTBViewWindow : public ITBViewWindow, public ITBTextMeasure {
 public:
  explicit TTBViewWindow(bool popupWindow) : popupWindow_(popupWindow) {}
  TTBViewWindow(const TTBViewWindow&) = delete;
  TTBViewWindow& operator=(const TTBViewWindow&) = delete;
  virtual ~TTBViewWindow() = default;

  HWND Handle() const { return wnd_; }
  void SetHandle(HWND wnd) { wnd_ = wnd; }
  TTBView* View() const { return view_; }
  void SetView(TTBView* view) { view_ = view; }
  // The control whose window this is: hosted controls are shown only while they sit on it.
  void SetControl(ui::TWinControl* control) { control_ = control; }
  // The font views measure and draw with; changing it re-measures on the next layout.
  ui::TFont& Font() { return font_; }

  // Draws the viewers that meet `clip` (client coordinates) onto `dc`.
  void DrawSubitems(HDC dc, const RECT& clip);
  // A WM_TIMER of this window: true when it was one of the view's timers.
  bool HandleTimer(UINT_PTR id);

  // ITBViewWindow
  bool HasHandle() const override { return wnd_ != nullptr && IsWindow(wnd_); }
  bool IsPopupWindow() const override { return popupWindow_; }
  void SetTimer(int id, unsigned milliseconds) override;
  void KillTimer(int id) override;
  void InvalidateRect(const TRect& rect) override;
  void InvalidateAll() override;
  void Repaint() override;
  TPoint ScreenToClient(TPoint p) const override;
  TPoint ClientToScreen(TPoint p) const override;
  bool ContainsScreenPoint(TPoint p) const override;
  ITBTextMeasure& Measure() override { return *this; }
  void NotifyFocusEvent(int childId) override;
  void HideWindow() override;
  int MenuCheckWidth() const override { return GetSystemMetrics(SM_CXMENUCHECK); }
  bool ControlShown(ui::TComponent* control) override;
  bool GetControlSize(ui::TComponent* control, int& width, int& height) override;
  void PlaceControl(ui::TComponent* control, const TRect& rect, bool show) override;

  // ITBTextMeasure
  int TextHeight(bool bold) override;
  int ExternalLeading(bool bold) override;
  int TextWidth(std::wstring_view text, bool bold) override;
  TTBTextExtent TextExtent(std::wstring_view text, const TTBTextFont& font,
                           std::uint32_t flags) override;

 protected:
  // The colour behind the viewers (menu colour in popups, button face in toolbars).
  virtual COLORREF BackgroundColor() const;

 private:
  // Selects the font (or its bold form) into `dc`; returns what was selected before.
  HGDIOBJ SelectFont(HDC dc, bool bold);
  TEXTMETRICW Metrics(bool bold);
  void PaintViewer(TTBItemViewer& viewer, HDC dc);

  HWND wnd_ = nullptr;
  TTBView* view_ = nullptr;
  ui::TWinControl* control_ = nullptr;
  bool popupWindow_;
  ui::TFont font_;
  ui::TFont boldFont_;
};

}  // namespace tb
