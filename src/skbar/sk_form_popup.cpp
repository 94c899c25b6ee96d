#include "skbar/sk_form_popup.h"

namespace skbar {

int SkPopupAnimationKind(bool menuAnimation, bool menuFade) {
  if (!menuAnimation) return 0;
  return menuFade ? 2 : 1;
}

TPoint SkFormPopupPosition(const TRect& control, TSize size, const TRect& workArea, bool side) {
  TPoint p = side ? TPoint{control.right, control.top} : TPoint{control.left, control.bottom};
  if (p.x + size.cx > workArea.right) p.x = side ? control.left - size.cx : control.right - size.cx;
  if (p.y + size.cy > workArea.bottom)
    p.y = side ? control.bottom - size.cy : control.top - size.cy;
  return p;
}

TRect SkPopupGripRect(TSkBarPopupBorderStyleType style, int width) {
  switch (style) {
    case pbsSizeableBottom: {
      const int left = (width - 20) / 2;
      return {left, 0, left + 20, kPopupSizeGripHeight};
    }
    case pbsSizeableRightBottom:
      return {width - 14, 0, width, kPopupSizeGripHeight};
    default:
      return {};
  }
}

int SkWrapperResizeHitTest(TSkBarPopupBorderStyleType style, const TRect& gripRow,
                           const TRect& gripStrip, TPoint p) {
  const auto inside = [&](const TRect& r) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  };
  if (style == pbsSizeableBottom && inside(gripRow)) return 15;
  if (style == pbsSizeableRightBottom && inside(gripStrip)) return 17;
  return 0;
}

TSkFormPopupClose SkFormPopupCloseOn(const TSkFormPopupMessage& m) {
  const bool nonClientPress = m.msg >= 0xA1 && m.msg <= 0xA9;
  const bool press = m.msg == 0x201 || m.msg == 0x204 || m.msg == 0x207;
  if (nonClientPress && !m.onWrapper) return fpcRollUp;
  if (press && !m.onWrapper && !m.onPopupControl) return fpcRollUp;
  if (m.msg == 0x100 && m.wParam == 0x1B && (m.onWrapper || m.onPopupControl)) return fpcRollUp;
  return fpcNone;
}

}  // namespace skbar
