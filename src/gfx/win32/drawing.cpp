#include "gfx/win32/drawing.h"

#include <algorithm>
#include <mutex>
#include <string>

#include "gfx/drawing.h"
#include "gfx/lowlevel.h"
#include "gfx/resamplers.h"
#include "gfx/win32/bitmap32.h"
#include "rtl/system_services.h"

namespace gfx {

namespace {

int Length(std::wstring_view Text) {
  return static_cast<int>(std::min<std::size_t>(Text.size(), 0x7FFFFFFF));
}

// A font that the caller owns.
struct TFontHandle {
  explicit TFontHandle(const LOGFONTW& Font) : Handle(CreateFontIndirectW(&Font)) {}
  ~TFontHandle() {
    if (Handle) DeleteObject(Handle);
  }
  TFontHandle(const TFontHandle&) = delete;
  TFontHandle& operator=(const TFontHandle&) = delete;
  HFONT Handle;
};

LOGFONTW LogFontOf(TBitmap32& B) {
  LOGFONTW font{};
  GetObjectW(DIB(B).Font().Handle(), sizeof(font), &font);
  return font;
}

// Measures on the stock bitmap with the bitmap's font: for bitmaps without a context.
SIZE ExtentOnStockBitmap(TBitmap32& B, std::wstring_view Text) {
  static std::mutex stockLock;
  const std::lock_guard<std::mutex> lock(stockLock);
  SIZE size{0, 0};
  const HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return size;
  const HGDIOBJ oldBitmap = StockBitmap() ? SelectObject(dc, StockBitmap()) : nullptr;
  const TFontHandle font(LogFontOf(B));
  const HGDIOBJ oldFont = SelectObject(dc, font.Handle);
  GetTextExtentPoint32W(dc, Text.data(), Length(Text), &size);
  SelectObject(dc, oldFont);
  if (oldBitmap) SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return size;
}

// The area reported for text at (X, Y): its extent and one pixel more, within 32 bits.
TRect TextArea(std::int32_t X, std::int32_t Y, SIZE Size) {
  const auto end = [](std::int32_t v, LONG extent) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{v} + extent + 1, INT32_MAX));
  };
  return TRect{X, Y, end(X, Size.cx), end(Y, Size.cy)};
}

}  // namespace

SIZE TextExtent(TBitmap32& B, std::wstring_view Text) {
  TDIBStorage& dib = DIB(B);
  dib.UpdateFont();
  if (!dib.Handle()) return ExtentOnStockBitmap(B, Text);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dib.Handle(), Text.data(), Length(Text), &size);
  return size;
}

std::int32_t TextWidth(TBitmap32& B, std::wstring_view Text) {
  return TextExtent(B, Text).cx;
}

std::int32_t TextHeight(TBitmap32& B, std::wstring_view Text) {
  return TextExtent(B, Text).cy;
}

void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, std::wstring_view Text) {
  TDIBStorage& dib = DIB(B);
  dib.UpdateFont();
  if (!B.MeasuringMode() && dib.Handle()) {
    const RECT clip = ui::ToRECT(B.ClipRect());
    ExtTextOutW(dib.Handle(), X, Y, B.Clipping() ? ETO_CLIPPED : 0, B.Clipping() ? &clip : nullptr,
                Text.data(), static_cast<UINT>(Length(Text)), nullptr);
    GdiFlush();
  }
  B.Changed(TextArea(X, Y, TextExtent(B, Text)), AREAINFO_RECT);
}

void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, const TRect& ClipRect,
             std::wstring_view Text) {
  TDIBStorage& dib = DIB(B);
  dib.UpdateFont();
  if (!B.MeasuringMode() && dib.Handle()) {
    const RECT clip = ui::ToRECT(ClipRect);
    ExtTextOutW(dib.Handle(), X, Y, ETO_CLIPPED, &clip, Text.data(),
                static_cast<UINT>(Length(Text)), nullptr);
    GdiFlush();
  }
  B.Changed(TextArea(X, Y, TextExtent(B, Text)), AREAINFO_RECT);
}

void Textout(TBitmap32& B, const TRect& DstRect, UINT Flags, std::wstring_view Text) {
  TDIBStorage& dib = DIB(B);
  dib.UpdateFont();
  RECT r = ui::ToRECT(DstRect);
  if (!B.MeasuringMode() && dib.Handle()) {
    std::wstring text(Text);  // DrawTextW may change the text with DT_MODIFYSTRING
    text.resize(text.size() + 4);
    DrawTextW(dib.Handle(), text.data(), Length(Text), &r, Flags);
    GdiFlush();
  }
  B.Changed(TRect{r.left, r.top, r.right, r.bottom}, AREAINFO_RECT);
}

void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, std::string_view Text) {
  Textout(B, X, Y, rtl::SystemCodePage().ToUnicode(Text));
}

void Textout(TBitmap32& B, std::int32_t X, std::int32_t Y, const TRect& ClipRect,
             std::string_view Text) {
  Textout(B, X, Y, ClipRect, rtl::SystemCodePage().ToUnicode(Text));
}

void Textout(TBitmap32& B, const TRect& DstRect, UINT Flags, std::string_view Text) {
  Textout(B, DstRect, Flags, rtl::SystemCodePage().ToUnicode(Text));
}

SIZE TextExtent(TBitmap32& B, std::string_view Text) {
  return TextExtent(B, rtl::SystemCodePage().ToUnicode(Text));
}

std::int32_t TextWidth(TBitmap32& B, std::string_view Text) {
  return TextExtent(B, Text).cx;
}

std::int32_t TextHeight(TBitmap32& B, std::string_view Text) {
  return TextExtent(B, Text).cy;
}

void RenderText(TBitmap32& B, std::int32_t X, std::int32_t Y, std::string_view Text,
                std::int32_t AALevel, TColor32 Color) {
  RenderText(B, X, Y, rtl::SystemCodePage().ToUnicode(Text), AALevel, Color);
}

void RenderText(TBitmap32& B, std::int32_t X, std::int32_t Y, std::wstring_view Text,
                std::int32_t AALevel, TColor32 Color) {
  if (Text.empty() || B.Empty()) return;
  AALevel = Constrain(AALevel, -1, 4);
  const std::wstring text = std::wstring(Text) + L" ";
  const std::int32_t scale = AALevel > 0 ? 1 << AALevel : 1;
  // The bitmap's font made again for the rendering: its quality, weight, pitch and face.
  const ui::TFont& source = DIB(B).Font();
  LOGFONTW font = LogFontOf(B);
  font.lfQuality = AALevel < 0 ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
  font.lfWeight = source.Style() & ui::fsBold ? FW_BOLD : FW_NORMAL;
  if (source.Name() == L"Default") {
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    std::copy(std::begin(gui.lfFaceName), std::end(gui.lfFaceName), font.lfFaceName);
  }
  const BYTE pitch = source.Pitch() == ui::TFontPitch::fpFixed      ? FIXED_PITCH
                     : source.Pitch() == ui::TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                    : DEFAULT_PITCH;
  font.lfPitchAndFamily = static_cast<BYTE>((font.lfPitchAndFamily & 0xF0) | pitch);
  font.lfHeight *= scale;
  const TFontHandle handle(font);

  // White on black, 2^AALevel times larger (each side a multiple of it).
  TBitmap32 large;
  large.SetSize(1, 1);
  SelectObject(DIB(large).Handle(), handle.Handle);
  SIZE size{0, 0};
  GetTextExtentPoint32W(DIB(large).Handle(), text.data(), Length(text), &size);
  const std::int32_t w = (size.cx + scale - 1) / scale, h = (size.cy + scale - 1) / scale;
  if (w <= 0 || h <= 0) return;
  large.SetSize(w * scale, h * scale);
  const HDC dc = DIB(large).Handle();
  const HGDIOBJ old = SelectObject(dc, handle.Handle);
  large.Clear(0);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  ExtTextOutW(dc, 0, 0, 0, nullptr, text.data(), static_cast<UINT>(Length(text)), nullptr);
  GdiFlush();
  SelectObject(dc, old);

  // Each block's average coverage becomes the alpha of Color.
  TBitmap32 glyphs;
  glyphs.SetSize(w, h);
  const TColor32 rgb = Color & 0x00FFFFFF;
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      std::uint32_t sum = 0;
      for (std::int32_t j = 0; j < scale; ++j)
        for (std::int32_t i = 0; i < scale; ++i)
          sum += large.GetPixel(x * scale + i, y * scale + j) & 0xFF;
      glyphs.SetPixel(x, y, rgb | (sum / static_cast<std::uint32_t>(scale * scale)) << 24);
    }
  glyphs.SetDrawMode(dmBlend);
  glyphs.SetMasterAlpha(Color >> 24);
  glyphs.SetCombineMode(B.CombineMode());
  DrawTo(glyphs, B, X, Y);
}

void DrawTo(const TBitmap32& Src, HDC Dst, std::int32_t DstX, std::int32_t DstY) {
  if (Src.Empty()) return;
  const TDIBStorage& dib = DIB(Src);
  StretchDIBits(Dst, DstX, DstY, Src.Width(), Src.Height(), 0, 0, Src.Width(), Src.Height(),
                Src.Bits(), &dib.BitmapInfo(), DIB_RGB_COLORS, SRCCOPY);
}

void DrawTo(const TBitmap32& Src, HDC Dst, const TRect& DstRect, const TRect& SrcRect) {
  if (Src.Empty()) return;
  StretchBlt(Dst, DstRect.left, DstRect.top, DstRect.Width(), DstRect.Height(), DIB(Src).Handle(),
             SrcRect.left, SrcRect.top, SrcRect.Width(), SrcRect.Height(), SRCCOPY);
}

void Draw(TBitmap32& Self, const TRect& DstRect, const TRect& SrcRect, HDC Src) {
  if (Self.Empty()) return;
  if (!Self.MeasuringMode()) {
    StretchBlt(DIB(Self).Handle(), DstRect.left, DstRect.top, DstRect.Width(), DstRect.Height(),
               Src, SrcRect.left, SrcRect.top, SrcRect.Width(), SrcRect.Height(), SRCCOPY);
    GdiFlush();
  }
  Self.Changed(DstRect, AREAINFO_RECT);
}

void TileTo(TBitmap32& Src, HDC Dst, const TRect& DstRect, const TRect& SrcRect) {
  constexpr std::int32_t kTile = 1024;
  if (Src.Empty() || IsRectEmpty(DstRect)) return;
  // Only the tiles that meet what the context can show are made; a large destination rectangle
  // would otherwise be walked tile by tile where nothing of it appears. The tiles keep their
  // places, so each pixel is the same.
  TRect shown = DstRect;
  RECT box;
  const int kind = GetClipBox(Dst, &box);
  if (kind == NULLREGION) return;
  if (kind != ERROR) IntersectRect(shown, DstRect, TRect{box.left, box.top, box.right, box.bottom});
  if (IsRectEmpty(shown)) return;
  const auto first = [](std::int64_t start, std::int64_t from) {
    return start + (from - start) / kTile * kTile;
  };
  TBitmap32 tile;
  for (std::int64_t top = first(DstRect.top, shown.top); top < shown.bottom; top += kTile)
    for (std::int64_t left = first(DstRect.left, shown.left); left < shown.right; left += kTile) {
      const auto w = static_cast<std::int32_t>(std::min<std::int64_t>(kTile, DstRect.right - left));
      const auto h = static_cast<std::int32_t>(std::min<std::int64_t>(kTile, DstRect.bottom - top));
      tile.SetSize(w, h);
      // The whole destination rectangle placed relative to this tile.
      const auto shift = [](std::int64_t v, std::int64_t by) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v - by, INT32_MIN, INT32_MAX));
      };
      const TRect placed{shift(DstRect.left, left), shift(DstRect.top, top),
                         shift(DstRect.right, left), shift(DstRect.bottom, top)};
      StretchTransfer(&tile, placed, tile.BoundsRect(), &Src, SrcRect, Src.Resampler(), dmOpaque);
      DrawTo(tile, Dst, static_cast<std::int32_t>(left), static_cast<std::int32_t>(top));
    }
}

}  // namespace gfx
