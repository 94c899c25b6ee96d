// The scrolling image view's window: a TCustomImgView32 over a child window with two range-bar
// children. Painting copies the view's back buffer to the window; the size grip between the
// bars is drawn by the platform and sizes the form when pressed. The wheel scrolls vertically
// (with Shift, horizontally).
#pragma once

#include <windows.h>

#include <memory>

#include "gfx/image.h"
#include "gfx/win32/range_bar.h"
#include "ui/win32/controls.h"

namespace gfx {

class TImgView32 : public ui::TCustomControl, public TPaintBoxHost {
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
  void HostCopyToScreen(TBitmap32& Buffer, const TRect& R) override;
  TColor32 HostColor() override;
  void HostSetFocus() override;
  std::int32_t HostScrollBarSize() override;
  void HostPlaceScrollBars(const TRect& H, const TRect& V, const TRect& Grip) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TRangeBar* FHScroll = nullptr;
  TRangeBar* FVScroll = nullptr;
  std::unique_ptr<TCustomImgView32> FView;
};

}  // namespace gfx
