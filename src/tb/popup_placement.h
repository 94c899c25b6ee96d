// Where a popup window goes on its monitor, and which way it slides open.
//   PlacePopup takes the reference rectangle R (the parent viewer on the screen, or an empty
//   rectangle at the popup point), the monitor's work area M, the popup's size and how it was
//   opened, and answers its top-left corner, whether it opens on the opposite side (its own
//   submenus then keep opening to the left) and the slide direction.
//   Rules: a point popup starts at the point (moved left by its width for right alignment, by
//   half of it for centre alignment); a submenu at R's top right, 3 pixels in; a drop-down
//   below R (right-aligned with the system's drop alignment), from a vertical toolbar to its
//   left; a chevron popup below R's right end or left of a vertical toolbar. A popup that
//   passes M's bottom goes above R when that place starts inside M, then is kept inside M.
//   Drop-downs and point popups are pushed inside M horizontally (a left-aligned point popup
//   flips to the left of the point) and avoid covering the parent's items: above R when that
//   place lies inside M and covers fewer of them or the current place overlaps R, else beside
//   R. A submenu opens to the left when it passes M's right edge or its parent opened to the
//   left; when the left side does not fit either it returns to the right side without the
//   opposite flag, and it is kept inside M.
#pragma once

#include "tb/anim.h"
#include "tb/geometry.h"
#include "tb/item.h"

namespace tb {

enum class TTBPopupPlacementMode {
  ppPoint,             // no parent view: at the popup point
  ppSubmenu,           // beside a menu item
  ppDropDown,          // below an item of a horizontal toolbar
  ppDropDownVertical,  // beside an item of a vertical toolbar
  ppChevron,           // a horizontal toolbar's chevron
  ppChevronVertical,   // a vertical toolbar's chevron
};

struct TTBPopupPlacementInput {
  TTBPopupPlacementMode mode = TTBPopupPlacementMode::ppPoint;
  TRect reference;  // R (screen)
  TRect monitor;    // M (screen work area)
  int width = 0, height = 0;
  TTBPopupAlignment alignment = TTBPopupAlignment::tbpaLeft;
  bool menuDropRight = false;   // SM_MENUDROPALIGNMENT
  bool parentOpposite = false;  // the parent view holds vsOppositePopup
  // How many of the parent view's shown items a screen rectangle covers (null: none).
  int (*coverCount)(const TRect& rect, void* data) = nullptr;
  void* coverData = nullptr;
};

struct TTBPopupPlacement {
  int x = 0, y = 0;
  bool opposite = false;
  TTBAnimationDirection direction = 0;
};

TTBPopupPlacement PlacePopup(const TTBPopupPlacementInput& input);

}  // namespace tb
