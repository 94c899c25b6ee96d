// GDI wrappers: colours, fonts, brushes and pens that own their handles, and a canvas that
// selects them into a device context on demand and restores the context's originals.
//   TColor: RGB (0x00BBGGRR) or clSystemColor | COLOR_xxx; ColorToRGB resolves system colours.
//   TFont: Name, Height (negative: character height in pixels), Size (points), Style, Color,
//   Pitch (fpFixed asks for a fixed-pitch modern-family face; with no Name the system picks
//   its monospaced face).
//   TCanvas: Handle/SetHandle, Font/Brush/Pen, FillRect, FrameRect, Rectangle, MoveTo/LineTo,
//   TextOut, TextRect, TextWidth/TextHeight; OnChange after each drawing call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "ui/align_layout.h"
#include "ui/colors.h"

namespace ui {

COLORREF ColorToRGB(TColor color);

// Deletes a GDI object when it goes.
struct GdiObjectDeleter {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
template <class Handle>
using TGdiHandle = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// The base of fonts, brushes and pens: an owned handle made on demand, dropped on change.
class TGraphicsObject {
 public:
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;
  virtual ~TGraphicsObject() = default;

  std::function<void()> OnChange;
  // Runs before a changed object lets go of its handle (a canvas deselects it first, because
  // a handle still selected into a device context cannot be deleted).
  std::function<void()> OnReleasing;

 protected:
  void Changed();
  TGdiHandle<HGDIOBJ> handle_;
};

class TFont : public TGraphicsObject {
 public:
  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  // Points at the screen's pixels per inch.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  void Assign(const TFont& other);

  HFONT Handle();

 private:
  std::wstring name_ = L"Tahoma";
  int height_ = -11;
  TFontStyles style_ = 0;
  TFontPitch pitch_ = TFontPitch::fpDefault;
  TColor color_ = clWindowText;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  HBRUSH Handle();

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
};

enum class TPenStyle { psSolid, psDash, psDot, psClear };

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  HPEN Handle();

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
};

class TCanvas {
 public:
  TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas() { SetHandle(nullptr); }

  HDC Handle() const { return dc_; }
  // Attaches a device context (not owned); the previous one gets its own objects back.
  void SetHandle(HDC dc);

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(const TRect& rect);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const std::wstring& text);
  void TextRect(const TRect& rect, int x, int y, const std::wstring& text);
  SIZE TextExtent(const std::wstring& text);
  int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
  int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
  // The context with the canvas's font, brush and pen selected (and its text colour and
  // background mode set), for drawing calls the canvas does not wrap.
  HDC SelectedHandle();

  // Fired after each drawing call of the canvas; callers that draw through SelectedHandle
  // call Changed themselves.
  std::function<void()> OnChange;
  void Changed();

 private:
  void Select();
  // Puts the context's own objects back, so the canvas's may be deleted or replaced.
  void Deselect();

  HDC dc_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  TFont font_;
  TBrush brush_;
  TPen pen_;
};

RECT ToRECT(const TRect& rect);
TRect FromRECT(const RECT& rect);

}  // namespace ui
