// The chevron's frame and double arrow.
#include <windows.h>

#include "tb/toolbar_view.h"
#include "ui/win32/graphics.h"

namespace tb {

namespace {

// Draws the glyph's set bits in `color`, the other pixels stay. With text colour white and
// background black a monochrome source's 0 bits come out white, and the raster operation
// 0xE20746 (D ^ (S & (P ^ D))) takes the brush where the source is white: the mask holds the
// glyph's rows inverted, so that the brush fills the arrow rather than the space around it.
void DrawGlyph(HDC dc, const TTBChevronGlyph& glyph, int dx, int dy, int colorIndex) {
  WORD bits[8];
  for (int i = 0; i < 8; ++i) {
    bits[i] = static_cast<BYTE>(~glyph.rows[i]);  // one row per word, first byte leftmost
  }
  HBITMAP mask = CreateBitmap(8, 8, 1, 1, bits);
  if (!mask) return;
  HDC maskDC = CreateCompatibleDC(dc);
  const HGDIOBJ oldBitmap = SelectObject(maskDC, mask);
  const HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(colorIndex));
  const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
  const COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
  const TRect& r = glyph.rect;
  BitBlt(dc, r.left + dx, r.top + dy, r.Width(), r.Height(), maskDC, 0, 0, 0xE20746);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldBrush);
  SelectObject(maskDC, oldBitmap);
  DeleteDC(maskDC);
  DeleteObject(mask);
}

}  // namespace

void TTBChevronItemViewer::Paint(ui::TCanvas& canvas, const TRect& clientAreaRect, bool isSelected,
                                 bool isPushed, bool /*useDisabledShadow*/) {
  const HDC dc = canvas.Handle();
  if (!dc) return;
  const bool enabled = Item().Enabled();
  RECT r{clientAreaRect.left, clientAreaRect.top, clientAreaRect.right, clientAreaRect.bottom};
  if (enabled && isPushed)
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  else if (enabled && isSelected)
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  const bool vertical = View().Orientation() == TTBViewOrientation::tbvoVertical;
  const TTBChevronGlyph glyph = ChevronGlyph(vertical, clientAreaRect, isPushed);
  if (enabled) {
    DrawGlyph(dc, glyph, 0, 0, COLOR_BTNTEXT);
  } else {
    DrawGlyph(dc, glyph, 0, 1, COLOR_BTNHIGHLIGHT);
    DrawGlyph(dc, glyph, 0, 0, COLOR_BTNSHADOW);
  }
}

}  // namespace tb
