#include "ui/win32/graphics.h"

#include <cmath>

namespace ui {

namespace {

int ScreenPixelsPerInch() {
  const HDC dc = GetDC(nullptr);
  const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if ((color & clSystemColor) == clSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

RECT ToRECT(const TRect& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}
TRect FromRECT(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void TGraphicsObject::Changed() {
  if (handle_ && OnReleasing) OnReleasing();
  handle_.reset();
  if (OnChange) OnChange();
}

// TFont

void TFont::SetName(const std::wstring& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const {
  return static_cast<int>(std::lround(-height_ * 72.0 / ScreenPixelsPerInch()));
}

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(points * ScreenPixelsPerInch() / 72.0)));
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (OnChange) OnChange();
}

void TFont::Assign(const TFont& other) {
  name_ = other.name_;
  height_ = other.height_;
  style_ = other.style_;
  pitch_ = other.pitch_;
  color_ = other.color_;
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW font{};
    font.lfHeight = height_;
    font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
    font.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    if (pitch_ == TFontPitch::fpFixed) font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    if (pitch_ == TFontPitch::fpVariable) font.lfPitchAndFamily = VARIABLE_PITCH;
    lstrcpynW(font.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_.reset(CreateFontIndirectW(&font));
  }
  return static_cast<HFONT>(handle_.get());
}

// TBrush

void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    handle_.reset(style_ == TBrushStyle::bsClear ? nullptr : CreateSolidBrush(ColorToRGB(color_)));
  }
  return handle_ ? static_cast<HBRUSH>(handle_.get())
                 : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

// TPen

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

HPEN TPen::Handle() {
  if (!handle_) {
    constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_NULL};
    handle_.reset(CreatePen(kStyles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
  }
  return static_cast<HPEN>(handle_.get());
}

// TCanvas

TCanvas::TCanvas() {
  const auto deselect = [this] { Deselect(); };
  font_.OnReleasing = deselect;
  brush_.OnReleasing = deselect;
  pen_.OnReleasing = deselect;
}

void TCanvas::SetHandle(HDC dc) {
  Deselect();
  dc_ = dc;
}

void TCanvas::Deselect() {
  if (dc_) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldPen_) SelectObject(dc_, oldPen_);
  }
  oldFont_ = oldBrush_ = oldPen_ = nullptr;
}

void TCanvas::Select() {
  if (!dc_) return;
  const HGDIOBJ font = SelectObject(dc_, font_.Handle());
  const HGDIOBJ brush = SelectObject(dc_, brush_.Handle());
  const HGDIOBJ pen = SelectObject(dc_, pen_.Handle());
  if (!oldFont_) oldFont_ = font;
  if (!oldBrush_) oldBrush_ = brush;
  if (!oldPen_) oldPen_ = pen;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
  SetBkColor(dc_, ColorToRGB(brush_.Color()));
  SetBkMode(dc_, brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::FillRect(const TRect& rect) {
  Select();
  const RECT r = ToRECT(rect);
  if (dc_ && brush_.Style() != TBrushStyle::bsClear) ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& rect) {
  Select();
  const RECT r = ToRECT(rect);
  if (dc_) ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}

void TCanvas::Rectangle(const TRect& rect) {
  Select();
  if (dc_) ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  Select();
  if (dc_) MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Select();
  if (dc_) ::LineTo(dc_, x, y);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  Select();
  if (dc_) ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  Changed();
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::wstring& text) {
  Select();
  const RECT r = ToRECT(rect);
  UINT options = ETO_CLIPPED;
  if (brush_.Style() != TBrushStyle::bsClear) options |= ETO_OPAQUE;
  if (dc_) {
    ExtTextOutW(dc_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
  }
  Changed();
}

void TCanvas::Changed() {
  if (OnChange) OnChange();
}

HDC TCanvas::SelectedHandle() {
  Select();
  return dc_;
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
  Select();
  SIZE size{};
  if (dc_) GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace ui
