// The scrolling image view's window: a TCustomImgView32 over a child window with two range-bar
// children. Painting copies the view's back buffer to the window and fills the square between
// the bars with the control's colour; the size grip on it is drawn by the platform (themed while
// visual styles are in use) and sizes the form when pressed; in sgAuto it shows when the view and
// its parents up to the form fill their parents' client areas. The wheel scrolls vertically (with
// Shift, horizontally). The frame stages draw the platform's focus rectangle; pboWantArrowKeys asks
// the dialog manager for the arrow keys, pboAutoFocus takes the focus on a press; leaving the view
// resets the screen cursor.
#pragma once

#include <windows.h>

#include <memory>

#include "gfx/image.h"
#include "gfx/win32/range_bar.h"
#include "ui/win32/controls.h"

namespace gfx {

class TImgView32 : public ui::TCustomControl, public TPaintBoxHost, public TLayerCursorHost {
 public:
  explicit TImgView32(ui::TComponent* Owner);
  ~TImgView32() override;

  std::wstring_view ClassName() const override { return L"TImgView32"; }
  TCustomImgView32& View() { return *FView; }
  TBitmap32& Bitmap() { return FView->Bitmap(); }
  TRangeBar& HScroll() { return *FHScroll; }
  TRangeBar& VScroll() { return *FVScroll; }
  void WndProc(ui::TMessage& Message) override;

  TRect HostClientRect() override;
  void HostInvalidate() override;
  void HostRepaint() override;
  void HostCopyToScreen(TBitmap32& Buffer, const TRect& R) override;
  TColor32 HostColor() override;
  void HostSetFocus() override;
  std::int32_t HostScrollBarSize() override;
  void HostPlaceScrollBars(const TRect& H, const TRect& V, const TRect& Grip) override;
  void HostFocusRect(TBitmap32& Dest, const TRect& R) override;
  TLayerCursorHost* HostCursorHost() override { return this; }
  TCursor ControlCursor() const override { return crDefault; }
  void SetScreenCursor(TCursor Cursor) override;
  // sgAuto's condition: this control and each parent up to a form aligned to fill the client
  // area.
  bool FillsItsForm();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TRangeBar* FHScroll = nullptr;
  TRangeBar* FVScroll = nullptr;
  std::unique_ptr<TCustomImgView32> FView;
};

}  // namespace gfx
