// The rules of the form popup menu (a popup window that hosts a form), apart from its windows:
// the animation kind from the system's menu settings, the place below (or beside) a control
// within the work area, the size grip's strip and the wrapper's resize hit test, and which
// messages close the popup.
#pragma once

#include <cstdint>

#include "skbar/sk_text.h"

namespace skbar {

enum class TSkBarPopupBorderStyleType : std::uint8_t {
  pbsFrame,
  pbsSizeable,
  pbsSizeableBottom,
  pbsSizeableRightBottom
};
using enum TSkBarPopupBorderStyleType;

// 0: no menu animation; 2: menus fade; 1: otherwise.
int SkPopupAnimationKind(bool menuAnimation, bool menuFade);

// The top-left corner of a popup of `size` below `control` (beside it with `side`), moved to
// the control's other side where it would leave `workArea` at the right or bottom.
TPoint SkFormPopupPosition(const TRect& control, TSize size, const TRect& workArea, bool side);

constexpr int kPopupSizeGripHeight = 10;
// The grip strip inside a size grip of `width` (empty for the styles without one).
TRect SkPopupGripRect(TSkBarPopupBorderStyleType style, int width);

// The wrapper's hit-test answer for screen point `p`: HTBOTTOM (15) anywhere in the grip row
// for pbsSizeableBottom, HTBOTTOMRIGHT (17) on the grip strip for pbsSizeableRightBottom,
// else 0 (not a resize place). `gripRow` and `gripStrip` are in screen coordinates.
int SkWrapperResizeHitTest(TSkBarPopupBorderStyleType style, const TRect& gripRow,
                           const TRect& gripStrip, TPoint p);

// A message seen while a form popup is shown.
struct TSkFormPopupMessage {
  unsigned msg = 0;
  std::uintptr_t wParam = 0;
  bool onWrapper = false;       // the target is the wrapper or inside it
  bool onPopupControl = false;  // the target is the popup control (a windowed non-form control)
};
enum class TSkFormPopupClose : std::uint8_t { fpcNone, fpcRollUp };
using enum TSkFormPopupClose;
// Presses of a mouse button elsewhere (non-client presses on any other window, client presses
// outside the wrapper and the popup control) and Escape in the wrapper or the popup control
// roll the popup up; the message is then eaten.
TSkFormPopupClose SkFormPopupCloseOn(const TSkFormPopupMessage& message);

}  // namespace skbar
