// The window half of a placement host: placement, visibility, bounds, frame sizes and the screen,
// all from the window handle. The form half (border style, positioning, state, main form, active
// control, error handling) comes from the derived class.
#pragma once

#include <windows.h>

#include "ux/placement_host.h"

namespace ux::win32 {

class TWindowPlacementHost : public PlacementHost {
 public:
  // The window, or null while it does not exist.
  virtual HWND Window() const = 0;

  bool HandleAllocated() const override { return Window() != nullptr; }
  std::optional<TWindowPlacement> GetPlacement() const override;
  void SetPlacement(const TWindowPlacement& placement) override;
  bool Visible() const override;
  bool Iconic() const override;
  TRect BoundsRect() const override;
  void Update() override;
  TPoint FrameSize(TFormBorderStyle style) const override;
  ScreenInfo Screen() const override;
  TRect WorkAreaNear(const TRect& rect) const override;
};

}  // namespace ux::win32
