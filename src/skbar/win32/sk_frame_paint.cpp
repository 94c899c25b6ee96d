#include "skbar/win32/sk_frame_paint.h"

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

// The window theme's parts and states (vsstyle.h).
constexpr int kSmallCaption = 2, kSmallFrameLeft = 10, kSmallFrameRight = 11,
              kSmallFrameBottom = 12;

void PaintClassicFrame(ui::TCanvas& canvas, const TRect& r, const TRect& interior, bool drawBody) {
  const HDC dc = canvas.Handle();
  if (drawBody) SkFillRect(canvas, interior, ui::clBtnFace);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, interior.left, interior.top, interior.right, interior.bottom);
  SkFillRect(canvas, r, ui::clBtnFace);
  RECT edge = ui::ToRECT(r);
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  RestoreDC(dc, saved);
}

bool PaintThemeFrame(ui::TCanvas& canvas, const TRect& r, const TRect& interior, bool active) {
  const TSkTheme theme(L"WINDOW");
  if (!theme) return false;
  const HDC dc = canvas.Handle();
  const int state = active ? 1 : 2;
  const auto part = [&](int id, const TRect& at) {
    const RECT rect = ui::ToRECT(at);
    return SUCCEEDED(DrawThemeBackground(theme.Handle(), dc, id, state, &rect, nullptr));
  };
  if (!part(kSmallFrameLeft, {r.left, interior.top, interior.left, r.bottom}) ||
      !part(kSmallFrameRight, {interior.right, interior.top, r.right, r.bottom}) ||
      !part(kSmallFrameBottom, {interior.left, interior.bottom, interior.right, r.bottom}))
    return false;
  // The top border: the top rows of a small caption drawn off-screen at a caption's height.
  const int width = r.Width(), top = interior.top - r.top;
  const int height = std::max(GetSystemMetrics(SM_CYSMCAPTION), top);
  if (width <= 0 || top <= 0) return true;
  const HDC memory = CreateCompatibleDC(dc);
  const HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT caption{0, 0, width, height};
  const bool drawn = SUCCEEDED(DrawThemeBackground(theme.Handle(), memory, kSmallCaption, state,
                                                   &caption, nullptr)) &&
                     BitBlt(dc, r.left, r.top, width, top, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return drawn;
}

}  // namespace

void SkPaintWindowFrame(ui::TCanvas& canvas, const TRect& r, bool active, bool drawBody,
                        int borderSize, TSkBarSkinType skinType) {
  if (skinType == sknSkin) {
    SkPaintWindowFrame(SkCurrentSkin(), canvas, r, active, drawBody, borderSize);
    return;
  }
  const TRect interior{r.left + borderSize, r.top + borderSize, r.right - borderSize,
                       r.bottom - borderSize};
  if (skinType == sknWindows) {
    if (drawBody) SkFillRect(canvas, interior, ui::clBtnFace);
    if (PaintThemeFrame(canvas, r, interior, active)) return;
  }
  PaintClassicFrame(canvas, r, interior, drawBody);
}

}  // namespace skbar
