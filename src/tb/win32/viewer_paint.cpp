// Painting of item viewers in menu style and toolbar style, and of separators. The canvas
// arrives with the view's font, the background brush (clear, or the highlight of a selected
// menu item) and the text colour already chosen; coordinates are the viewer's own.
#include <windows.h>

#include <cmath>

#include "tb/common.h"
#include "tb/item.h"
#include "tb/system_settings.h"
#include "tb/view.h"
#include "tb/viewer.h"
#include "tb/win32/common.h"
#include "ui/win32/graphics.h"
#include "ui/win32/image_list.h"

namespace tb {

namespace {

constexpr int kToolbarArrowPart = 8;

RECT ToRect(const TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

TRect FromRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

int RoundedMulDiv(int a, int b, int c) {
  return c == 0 ? -1 : static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

// Selects a GDI object into a DC for the length of a scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selection() { SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Fills with the checked dither: button face and button highlight pixels alternating.
void FillDither(HDC dc, const RECT& rect) {
  const ui::TGdiHandle<HBRUSH> brush(MakeHalftoneBrush());
  if (!brush) return;
  const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
  const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  FillRect(dc, &rect, brush.get());
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

// Draws the menu's submenu arrow glyph through a monochrome mask in `color`.
void DrawMenuArrow(HDC dc, const RECT& rect, COLORREF color) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  struct MemoryDc {
    HDC dc;
    ~MemoryDc() {
      if (dc) DeleteDC(dc);
    }
  } mask{CreateCompatibleDC(dc)};
  const ui::TGdiHandle<HBITMAP> bitmap(CreateBitmap(width, height, 1, 1, nullptr));
  if (!mask.dc || !bitmap) return;
  const Selection maskBitmap(mask.dc, bitmap.get());
  RECT glyph = {0, 0, width, height};
  DrawFrameControl(mask.dc, &glyph, DFC_MENU, DFCS_MENUARROW);
  const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(color));
  const Selection brushSelection(dc, brush.get());
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  // Where the mask is black the brush colour goes in; white leaves the destination.
  BitBlt(dc, rect.left, rect.top, width, height, mask.dc, 0, 0, 0x00B8074A);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

// The 3-pixel-tall, 5-pixel-wide drop-down arrow, pointing down (or left when rotated).
void DrawDropArrow(HDC dc, int x, int y, bool rotated, COLORREF color) {
  const ui::TGdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, color));
  const Selection selection(dc, pen.get());
  for (int i = 0; i < 3; ++i) {
    if (rotated) {
      MoveToEx(dc, x + i, y + 2 - i, nullptr);
      LineTo(dc, x + i, y + 3 + i);
    } else {
      MoveToEx(dc, x + i, y + i, nullptr);
      LineTo(dc, x + 5 - i, y + i);
    }
  }
}

void DrawCheckMark(HDC dc, int cx, int cy, COLORREF color) {
  const ui::TGdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, color));
  const Selection selection(dc, pen.get());
  // Points relative to the column centre moved 2 left and 1 down.
  const int x = cx - 2, y = cy + 1;
  const POINT outline[] = {{x - 2, y - 2}, {x, y},         {x + 4, y - 4}, {x + 4, y - 3},
                           {x, y + 1},     {x - 2, y - 1}, {x - 2, y - 2}};
  const POINT line[] = {{x - 3, y - 2}, {x - 3, y - 1}, {x, y + 2}, {x + 5, y - 3}, {x + 5, y - 5}};
  Polyline(dc, outline, 7);
  Polyline(dc, line, 5);
}

void DrawRadioDot(HDC dc, int cx, int cy, COLORREF color) {
  const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(color));
  const ui::TGdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, color));
  const Selection brushSelection(dc, brush.get());
  const Selection penSelection(dc, pen.get());
  Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
}

void DrawImage(TTBItemViewer& viewer, ui::TCanvas& canvas, const RECT& part, bool enabled) {
  auto* list = dynamic_cast<ui::TImageList*>(viewer.GetImageList());
  if (!list || !viewer.ImageShown()) return;
  const int x = part.left + (part.right - part.left - list->Width()) / 2;
  const int y = part.top + (part.bottom - part.top - list->Height()) / 2;
  list->Draw(canvas, x, y, viewer.Item().ImageIndex(), enabled);
}

}  // namespace

void TTBItemViewer::DrawItemCaption(ui::TCanvas& canvas, const TRect& rect,
                                    const std::wstring& caption, bool useDisabledShadow,
                                    std::uint32_t format) {
  const HDC dc = canvas.Handle();
  if (!dc) return;
  const TTBView& view = View();
  if (!SystemSettings().KeyboardCues() && (view.Style() & vsUseHiddenAccels) &&
      !(view.State() & vsShowAccels)) {
    format |= 0x100000;  // DT_HIDEPREFIX
  }
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const bool rotated = IsRotated();
  const RECT r = ToRect(rect);
  const auto draw = [&](RECT at) {
    if (rotated)
      DrawVerticalText(dc, caption, at, format);
    else
      DrawCaptionText(dc, caption, at, format);
  };
  if (useDisabledShadow) {
    const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT shifted = r;
    OffsetRect(&shifted, 1, 1);
    draw(shifted);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    draw(r);
    SetTextColor(dc, old);
  } else {
    draw(r);
  }
  SetBkMode(dc, oldMode);
}

void TTBItemViewer::Paint(ui::TCanvas& canvas, const TRect& clientAreaRect, bool isSelected,
                          bool isPushed, bool useDisabledShadow) {
  const HDC dc = canvas.Handle();
  if (!dc) return;
  TTBCustomItem& item = Item();
  const TTBItemStyle style = item.GetItemStyle();
  const TTBItemOptions options = item.EffectiveOptions();
  const bool enabled = item.Enabled() || View().Customizing();
  const bool combo = (style & tbisCombo) != 0;
  const bool arrow = (style & tbisSubmenu) && (combo || (options & tboDropdownArrow));
  const RECT r = ToRect(clientAreaRect);
  const int textHeight = canvas.TextHeight(L"Ag");  // also selects the canvas's font and colour
  const COLORREF textColor = ui::ColorToRGB(canvas.Font().Color());
  const std::wstring caption = GetCaptionText();
  int imageWidth = 0, imageHeight = 0;
  const bool images = GetImageSize(imageWidth, imageHeight);

  if (!IsToolbarStyle()) {
    const int height = r.bottom - r.top;
    const int column = images ? RoundedMulDiv(imageWidth + 3, height, imageHeight + 3) : height;
    const int checkWidth = MenuCheckWidth();
    if (isSelected && canvas.Brush().Style() != ui::TBrushStyle::bsClear) {
      RECT fill = r;
      if (images || item.Checked()) fill.left = r.left + column + 1;
      if (combo) fill.right -= checkWidth;
      FillRect(dc, &fill, canvas.Brush().Handle());
    }
    RECT text = {r.left + column + 3, r.top, r.right - height, r.bottom};
    if (height == textHeight + 4) --text.bottom;
    DrawItemCaption(canvas, FromRect(text), caption, useDisabledShadow, DT_SINGLELINE | DT_VCENTER);
    const std::wstring shortCut = item.GetShortCutText();
    if (!shortCut.empty()) {
      const int width = MeasureTextWidth(dc, shortCut, false);
      RECT field = {r.right - height - width, r.top, r.right - height, r.bottom};
      DrawItemCaption(canvas, FromRect(field), shortCut, useDisabledShadow,
                      DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
    if (style & tbisSubmenu) {
      const RECT glyph = {r.right - height, r.top, r.right, r.bottom};
      if (useDisabledShadow) {
        RECT shifted = glyph;
        OffsetRect(&shifted, 1, 1);
        DrawMenuArrow(dc, shifted, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawMenuArrow(dc, glyph, GetSysColor(COLOR_BTNSHADOW));
      } else {
        DrawMenuArrow(dc, glyph, textColor);
      }
      if (combo) {
        RECT part = {r.right - checkWidth, r.top, r.right, r.bottom};
        if (isSelected && enabled) {
          DrawEdge(dc, &part, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
        } else {
          part.left -= 1;
          DrawEdge(dc, &part, isSelected ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
        }
      }
    }
    RECT columnRect = {r.left, r.top, r.left + column, r.bottom};
    if (item.Checked() || (isSelected && enabled && images && ImageShown())) {
      DrawEdge(dc, &columnRect, item.Checked() ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT | BF_MIDDLE);
      if (item.Checked() && !isSelected) {
        RECT inner = columnRect;
        InflateRect(&inner, -1, -1);
        FillDither(dc, inner);
      }
    }
    if (images && ImageShown()) {
      DrawImage(*this, canvas, columnRect, enabled);
    } else if (item.Checked()) {
      const int cx = (columnRect.left + columnRect.right) / 2;
      const int cy = (columnRect.top + columnRect.bottom) / 2;
      if (item.RadioItem())
        DrawRadioDot(dc, cx, cy, GetSysColor(COLOR_BTNTEXT));
      else
        DrawCheckMark(dc, cx, cy, GetSysColor(COLOR_BTNTEXT));
    }
    return;
  }

  // Toolbar style. A split button whose popup is open shows its arrow part pushed and its
  // button part only hot, as the classic look does; pressed with the mouse it is the other way.
  const bool hot = isSelected && enabled;
  const int arrowPart = combo ? kComboArrowWidth : (arrow ? kToolbarArrowPart : 0);
  const bool arrowPushed = combo && isPushed && View().OpenViewer() == this;
  const bool buttonPushed = isPushed && !arrowPushed;
  RECT button = r;
  if (combo) button.right -= arrowPart;
  if (hot || isPushed || item.Checked()) {
    const UINT edge = (buttonPushed || item.Checked()) ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    DrawEdge(dc, &button, edge, BF_RECT);
    if (combo) {
      RECT part = {button.right, r.top, r.right, r.bottom};
      DrawEdge(dc, &part, arrowPushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (item.Checked() && !hot) {
      RECT inner = button;
      InflateRect(&inner, -1, -1);
      FillDither(dc, inner);
    }
  }
  RECT content = button;
  if (!combo && arrow) content.right -= arrowPart;
  if (buttonPushed || item.Checked()) OffsetRect(&content, 1, 1);
  if (arrowPart) {
    const int partLeft = combo ? button.right + (arrowPushed ? 1 : 0) : content.right;
    const bool rotated = IsRotated();
    const int x = partLeft + (arrowPart - (rotated ? 3 : 5)) / 2;
    const int y = (r.top + r.bottom - (rotated ? 5 : 3)) / 2 + (arrowPushed ? 1 : 0);
    DrawDropArrow(dc, x, y, rotated, enabled ? textColor : GetSysColor(COLOR_GRAYTEXT));
  }
  RECT imagePart = content, textPart = content;
  if (images && ImageShown()) {
    if (options & tboImageAboveCaption) {
      imagePart.bottom = imagePart.top + imageHeight + 6;
      textPart.top = imagePart.bottom;
    } else if (CaptionShown() && !IsRotated()) {
      imagePart.right = imagePart.left + imageWidth + 6;
      textPart.left = imagePart.right - 3;
    }
    DrawImage(*this, canvas, imagePart, enabled);
  }
  if (CaptionShown()) {
    DrawItemCaption(canvas, FromRect(textPart), caption, useDisabledShadow,
                    DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
}

void TTBSeparatorItemViewer::Paint(ui::TCanvas& canvas, const TRect& clientAreaRect,
                                   bool /*isSelected*/, bool /*isPushed*/,
                                   bool /*useDisabledShadow*/) {
  const HDC dc = canvas.Handle();
  const auto* separator = dynamic_cast<TTBSeparatorItem*>(&Item());
  if (!dc || (separator && separator->Blank())) return;
  RECT r = ToRect(clientAreaRect);
  const bool menu = !IsToolbarStyle();
  const TTBViewOrientation orientation = View().Orientation();
  bool horizontal = menu || orientation == TTBViewOrientation::tbvoVertical;
  if (LineSep()) horizontal = !horizontal;
  const int inset = menu        ? 12
                    : LineSep() ? (orientation == TTBViewOrientation::tbvoFloating ? 1 : 4)
                                : 0;
  if (horizontal) {
    r.left += inset;
    r.right -= inset;
    r.top += (r.bottom - r.top) / 2 - 1;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
  } else {
    r.top += inset;
    r.bottom -= inset;
    r.left += (r.right - r.left) / 2 - 1;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
  }
}

}  // namespace tb
