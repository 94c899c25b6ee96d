// The range bar's window: a TCustomRangeBar over a child window that paints every pixel of its
// client area (with GDI, or the scroll-bar theme while visual styles are in use), a one-pixel
// sunken non-client border in the single border style, mouse capture while a button is held,
// the repeat timer and the wheel.
#pragma once

#include <windows.h>

#include "gfx/range_bars.h"
#include "ui/win32/controls.h"

namespace gfx {

// The bars' drawing calls on a device context.
class TGdiBarCanvas : public TBarCanvas {
 public:
  explicit TGdiBarCanvas(HDC DC) : FDC(DC) {}
  bool ThemesEnabled() override;
  void DrawThemeBackground(int Part, int State, const TRect& R) override;
  void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) override;
  void DrawEdge(const TRect& R, unsigned Edge, unsigned Flags) override;
  void FillSolid(const TRect& R, std::uint32_t Color) override;
  void FillPattern(const TRect& R, std::uint32_t C1, std::uint32_t C2) override;
  void FrameRect(const TRect& R, std::uint32_t Color) override;
  void Polyline(std::span<const TPoint> Points, std::uint32_t Color) override;
  void Polygon(std::span<const TPoint> Points, std::uint32_t Color) override;
  std::uint32_t SysColor(std::int32_t Index) override;

 private:
  HDC FDC;
};

class TRangeBar : public ui::TCustomControl, public TArrowBarHost {
 public:
  explicit TRangeBar(ui::TComponent* Owner);
  ~TRangeBar() override;

  std::wstring_view ClassName() const override { return L"TRangeBar"; }
  TCustomRangeBar& Bar() { return FBar; }
  // Swaps width and height when the orientation changes.
  void SetKind(TScrollBarKind Value);
  void WndProc(ui::TMessage& Message) override;

  TRect BarClientRect() override;
  bool BarEnabled() override { return Enabled(); }
  void BarInvalidate() override { Invalidate(); }
  void BarSetTimer(std::uint32_t Interval) override;
  bool BarCursorInside() override;
  void BarRecreateHandle() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

 private:
  TCustomRangeBar FBar{*this};
};

}  // namespace gfx
