#include "gfx/range_bars.h"

#include <algorithm>
#include <cmath>

namespace gfx {

// ---- Colours and drawing ----

std::uint32_t ResolveColor(TWinColor Color, TBarCanvas& Canvas) {
  return Color < 0 ? Canvas.SysColor(Color & 0xFF) : static_cast<std::uint32_t>(Color);
}

std::uint32_t LightenColor(std::uint32_t Color, std::int32_t Amount) {
  std::uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::int32_t c = static_cast<std::int32_t>(Color >> shift & 0xFF) + Amount;
    result |= static_cast<std::uint32_t>(std::clamp(c, 0, 255)) << shift;
  }
  return result;
}

std::uint32_t BlendColors(std::uint32_t C1, std::uint32_t C2, std::int32_t W) {
  const std::uint32_t w = static_cast<std::uint32_t>(W), v = 255 - w;
  const std::uint32_t redBlue = ((C1 & 0x00FF00FF) * w + (C2 & 0x00FF00FF) * v) & 0xFF00FF00;
  const std::uint32_t green = ((C1 & 0x0000FF00) * w + (C2 & 0x0000FF00) * v) & 0x00FF0000;
  return (redBlue + green) >> 8;
}

void FillDithered(TBarCanvas& Canvas, const TRect& R, std::uint32_t C1, std::uint32_t C2) {
  if (IsRectEmpty(R)) return;
  if (C1 == C2)
    Canvas.FillSolid(R, C1);
  else
    Canvas.FillPattern(R, C1, C2);
}

namespace {
void Line(TBarCanvas& Canvas, TPoint A, TPoint B, std::uint32_t Color) {
  const TPoint points[] = {A, B};
  Canvas.Polyline(points, Color);
}
}  // namespace

void DrawSides(TBarCanvas& Canvas, TRect& R, TRBDirections Sides, std::uint32_t Color) {
  if (Sides == 0) return;
  if (Sides & Side(adUp)) {
    Line(Canvas, {R.left, R.top}, {R.right, R.top}, Color);
    ++R.top;
  }
  if (Sides & Side(adDown)) {
    --R.bottom;
    Line(Canvas, {R.left, R.bottom}, {R.right, R.bottom}, Color);
  }
  if (Sides & Side(adLeft)) {
    Line(Canvas, {R.left, R.top}, {R.left, R.bottom}, Color);
    ++R.left;
  }
  if (Sides & Side(adRight)) {
    --R.right;
    Line(Canvas, {R.right, R.top}, {R.right, R.bottom}, Color);
  }
}

void DrawBevel(TBarCanvas& Canvas, TRect& R, std::uint32_t TopColor, std::uint32_t BottomColor,
               bool Shrink) {
  const std::int32_t r = R.right - 1, b = R.bottom - 1;
  const TPoint top[] = {{R.left, b}, {R.left, R.top}, {r, R.top}};
  Canvas.Polyline(top, TopColor);
  const TPoint bottom[] = {{r, R.top}, {r, b}, {R.left, b}};
  Canvas.Polyline(bottom, BottomColor);
  if (Shrink) InflateRect(R, -1, -1);
}

void DrawArrowGlyph(TBarCanvas& Canvas, const TRect& R, TRBArrowDirection Direction,
                    std::uint32_t Color) {
  const std::int32_t cx = (R.left + R.right - 1) / 2, cy = (R.top + R.bottom - 1) / 2;
  std::int32_t s = std::min(cx - R.left, cy - R.top);
  s = 3 * s / 4 - 1;
  if (s == 0) s = 1;
  const std::int32_t d = Direction == adLeft || Direction == adUp ? (s + 1) / 3 : s / 3;
  TPoint p[3];
  switch (Direction) {
    case adLeft:
      p[0] = {cx + d, cy + s}, p[1] = {cx + d - s, cy}, p[2] = {cx + d, cy - s};
      break;
    case adUp:
      p[0] = {cx + s, cy + d}, p[1] = {cx, cy + d - s}, p[2] = {cx - s, cy + d};
      break;
    case adRight:
      p[0] = {cx - d, cy + s}, p[1] = {cx - d + s, cy}, p[2] = {cx - d, cy - s};
      break;
    case adDown:
      p[0] = {cx + s, cy - d}, p[1] = {cx, cy - d + s}, p[2] = {cx - s, cy - d};
      break;
  }
  Canvas.Polygon(p, Color);
}

void DrawFlatHandle(TBarCanvas& Canvas, TRect R, std::uint32_t Color, bool Pushed, bool ShowGrip,
                    bool Horz, std::uint32_t BorderColor) {
  const std::uint32_t hi = LightenColor(Color, 24), lo = LightenColor(Color, -24);
  Canvas.FrameRect(R, BorderColor);
  InflateRect(R, -1, -1);
  if (Pushed)
    DrawBevel(Canvas, R, lo, Color, true);
  else
    DrawBevel(Canvas, R, hi, BlendColors(BorderColor, Color, 96), true);
  Canvas.FillSolid(R, Color);
  if (!ShowGrip) return;
  if (Pushed) OffsetRect(R, 1, 1);
  const std::int32_t m = Horz ? (R.left + R.right) / 2 : (R.top + R.bottom) / 2;
  const std::int32_t L = Horz ? R.right - R.left : R.bottom - R.top;
  std::int32_t starts[4];
  int count = 0;
  if (L > 10) starts[count++] = m - 5;
  starts[count++] = m - 2;
  starts[count++] = m + 1;
  if (L > 10) starts[count++] = m + 4;
  for (int i = 0; i < count; ++i) {
    TRect bar = Horz ? TRect{starts[i], R.top + 1, starts[i] + 2, R.bottom - 1}
                     : TRect{R.left + 1, starts[i], R.right - 1, starts[i] + 2};
    DrawBevel(Canvas, bar, hi, lo, false);
  }
}

// ---- TArrowBar ----

void TArrowBar::SetKind(TScrollBarKind Value) {
  Store(FKind, Value);
}
void TArrowBar::SetShowArrows(bool Value) {
  Store(FShowArrows, Value);
}
void TArrowBar::SetShowHandleGrip(bool Value) {
  Store(FShowHandleGrip, Value);
}
void TArrowBar::SetButtonSize(std::int32_t Value) {
  Store(FButtonSize, Value);
}
void TArrowBar::SetBackgnd(TRBBackgnd Value) {
  Store(FBackgnd, Value);
}
void TArrowBar::SetColor(TWinColor Value) {
  Store(FColor, Value);
}
void TArrowBar::SetHandleColor(TWinColor Value) {
  Store(FHandleColor, Value);
}
void TArrowBar::SetButtonColor(TWinColor Value) {
  Store(FButtonColor, Value);
}
void TArrowBar::SetHighLightColor(TWinColor Value) {
  Store(FHighLightColor, Value);
}
void TArrowBar::SetShadowColor(TWinColor Value) {
  Store(FShadowColor, Value);
}
void TArrowBar::SetBorderColor(TWinColor Value) {
  Store(FBorderColor, Value);
}

void TArrowBar::SetBorderStyle(TRBBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  FHost.BarRecreateHandle();
}

void TArrowBar::SetStyle(TRBStyle Value) {
  FStyle = Value;
  FHost.BarRecreateHandle();
}

std::int32_t TArrowBar::Length() {
  const TRect client = FHost.BarClientRect();
  return Horz() ? client.Width() : client.Height();
}

std::int32_t TArrowBar::GetButtonSize() {
  if (!FShowArrows) return 0;
  const TRect client = FHost.BarClientRect();
  const std::int32_t length = Horz() ? client.Width() : client.Height();
  // In 64 bits: a ButtonSize near either end of the 32-bit range would overflow the doubling
  // and the flat style's one pixel less.
  std::int64_t size = FButtonSize;
  if (size == 0) size = std::min(Horz() ? client.Height() : client.Width(), 32);
  if (length <= 2 * size) size = length / 2;
  if (FStyle == rbsMac) --size;
  return size < 2 ? 0 : static_cast<std::int32_t>(size);
}

TRBZone TArrowBar::GetZone(std::int32_t X, std::int32_t Y) {
  const TRect client = FHost.BarClientRect();
  if (!PtInRect(client, {X, Y})) return zNone;
  const std::int32_t b = GetButtonSize(), length = Length(), at = Along(X, Y);
  if (at < b) return zBtnPrev;
  if (at >= length - b) return zBtnNext;
  const TRect handle = GetHandleBounds();
  if (PtInRect(handle, {X, Y})) return zHandle;
  const std::int32_t start = Horz() ? handle.left : handle.top;
  const std::int32_t end = Horz() ? handle.right : handle.bottom;
  if (at > 0 && at < start) return zTrackPrev;
  if (at >= end && at < length - 1) return zTrackNext;
  return zNone;
}

TRect TArrowBar::GetZoneRect(TRBZone Zone) {
  const TRect client = FHost.BarClientRect();
  const std::int32_t b = GetButtonSize();
  // Cuts the client rectangle to [From, To) along the bar.
  const auto along = [&](std::int32_t From, std::int32_t To) {
    return Horz() ? TRect{From, client.top, To, client.bottom}
                  : TRect{client.left, From, client.right, To};
  };
  const std::int32_t start = Horz() ? client.left : client.top;
  const std::int32_t end = Horz() ? client.right : client.bottom;
  const std::int32_t trackStart = start + b, trackEnd = end - b;
  TRect handle = PaintsEnabled() ? GetHandleBounds() : TRect{};
  if (IsRectEmpty(handle)) {
    // No size, at the track's centre.
    const std::int32_t middle = (trackStart + trackEnd) / 2;
    const std::int32_t across =
        Horz() ? (client.top + client.bottom) / 2 : (client.left + client.right) / 2;
    handle = Horz() ? TRect{middle, across, middle, across} : TRect{across, middle, across, middle};
  }
  const std::int32_t handleStart = Horz() ? handle.left : handle.top;
  const std::int32_t handleEnd = Horz() ? handle.right : handle.bottom;
  switch (Zone) {
    case zBtnPrev:
      return along(start, trackStart);
    case zBtnNext:
      return along(trackEnd, end);
    case zTrackPrev:
      return along(trackStart, handleStart);
    case zHandle:
      return handle;
    case zTrackNext:
      return along(handleEnd, trackEnd);
    default:
      return TRect{};
  }
}

void TArrowBar::Paint(TBarCanvas& Canvas) {
  const bool enabled = PaintsEnabled();
  const TRBArrowDirection prev = Horz() ? adLeft : adUp, next = Horz() ? adRight : adDown;
  const auto part = [&](TRBZone Zone, auto&& Draw) {
    Draw(GetZoneRect(Zone), FDragZone == Zone, FHotZone == Zone);
  };
  if (FShowArrows) {
    part(zBtnPrev, [&](TRect R, bool Pushed, bool Hot) {
      PaintButton(Canvas, R, prev, Pushed, enabled, Hot);
    });
    part(zBtnNext, [&](TRect R, bool Pushed, bool Hot) {
      PaintButton(Canvas, R, next, Pushed, enabled, Hot);
    });
  }
  part(zTrackPrev,
       [&](TRect R, bool Pushed, bool Hot) { PaintTrack(Canvas, R, prev, Pushed, enabled, Hot); });
  part(zTrackNext,
       [&](TRect R, bool Pushed, bool Hot) { PaintTrack(Canvas, R, next, Pushed, enabled, Hot); });
  if (enabled) {
    const TRect handle = GetHandleBounds();
    if (!IsRectEmpty(handle))
      PaintHandle(Canvas, handle, Horz(), FDragZone == zHandle, FHotZone == zHandle);
  }
}

void TArrowBar::PaintButton(TBarCanvas& Canvas, TRect R, TRBArrowDirection Direction, bool Pushed,
                            bool Enabled, bool Hot) {
  if (FStyle == rbsDefault) {
    if (Canvas.ThemesEnabled()) {
      static constexpr int kStates[4] = {9, 1, 13, 5};
      const int state = kStates[Direction] + (!Enabled ? 3 : Pushed ? 2 : Hot ? 1 : 0);
      Canvas.DrawThemeBackground(1, state, R);
    } else {
      static constexpr unsigned kFlags[4] = {2, 0, 3, 1};
      unsigned flags = kFlags[Direction];
      if (!Enabled) flags |= 0x100;
      if (Pushed) flags |= 0x4200;
      Canvas.DrawFrameControl(R, 3, flags);
    }
    return;
  }
  const TRBDirections sides = AllSides & ~Side(Opposite(Direction));
  const std::uint32_t border = ResolveColor(FBorderColor, Canvas);
  const std::uint32_t button = ResolveColor(FButtonColor, Canvas);
  const std::uint32_t highlight = ResolveColor(FHighLightColor, Canvas);
  const std::uint32_t shadow = ResolveColor(FShadowColor, Canvas);
  if (PaintsEnabled()) {
    DrawSides(Canvas, R, sides, border);
    if (Pushed) {
      Canvas.FillSolid(R, button);
      OffsetRect(R, 1, 1);
      InflateRect(R, -1, -1);
    } else {
      DrawBevel(Canvas, R, highlight, shadow, true);
      Canvas.FillSolid(R, button);
    }
    DrawArrowGlyph(Canvas, R, Direction, border);
  } else {
    DrawSides(Canvas, R, sides, shadow);
    Canvas.FillSolid(R, button);
    InflateRect(R, -1, -1);
    OffsetRect(R, 1, 1);
    DrawArrowGlyph(Canvas, R, Direction, highlight);
    OffsetRect(R, -1, -1);
    DrawArrowGlyph(Canvas, R, Direction, shadow);
  }
}

void TArrowBar::PaintTrack(TBarCanvas& Canvas, TRect R, TRBArrowDirection Direction, bool Pushed,
                           bool /*Enabled*/, bool /*Hot*/) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  if (FStyle == rbsDefault) {
    if (Canvas.ThemesEnabled()) {
      static constexpr int kParts[4] = {4, 6, 5, 7};
      Canvas.DrawThemeBackground(kParts[Direction], Pushed ? 3 : 1, R);
    } else if (Pushed) {
      Canvas.FillSolid(R, ResolveColor(clWindowFrame, Canvas));
    } else {
      FillDithered(Canvas, R, ResolveColor(clBtnHighlight, Canvas), ResolveColor(FColor, Canvas));
    }
    return;
  }
  const TRBDirections sides = AllSides & ~Side(Opposite(Direction));
  const std::uint32_t border = ResolveColor(FBorderColor, Canvas);
  const std::uint32_t highlight = ResolveColor(FHighLightColor, Canvas);
  const std::uint32_t color = ResolveColor(FColor, Canvas);
  const bool enabled = PaintsEnabled();
  DrawSides(Canvas, R, sides, enabled ? border : ResolveColor(FShadowColor, Canvas));
  if (Pushed) {
    Canvas.FillSolid(R, border);
    return;
  }
  if (IsRectEmpty(R)) return;
  if (!enabled) {
    Canvas.FillSolid(R, ResolveColor(FButtonColor, Canvas));
    return;
  }
  const std::uint32_t shade = BlendColors(border, BlendColors(highlight, color, 127), 32);
  if (Direction == adLeft || Direction == adUp) {
    const TPoint points[] = {{R.left, R.bottom - 1}, {R.left, R.top}, {R.right, R.top}};
    Canvas.Polyline(points, shade);
    ++R.top, ++R.left;
  } else if (Direction == adRight) {
    Line(Canvas, {R.left, R.top}, {R.right, R.top}, shade);
    ++R.top;
  } else {
    Line(Canvas, {R.left, R.top}, {R.left, R.bottom}, shade);
    ++R.left;
  }
  if (FBackgnd == bgPattern)
    FillDithered(Canvas, R, highlight, color);
  else
    Canvas.FillSolid(R, color);
}

void TArrowBar::PaintHandle(TBarCanvas& Canvas, TRect R, bool Horz, bool Pushed, bool Hot) {
  if (IsRectEmpty(R)) return;
  if (FStyle == rbsDefault) {
    if (Canvas.ThemesEnabled()) {
      const int state = !FHost.BarEnabled() ? 4 : Pushed ? 3 : Hot ? 2 : 1;
      Canvas.DrawThemeBackground(Horz ? 2 : 3, state, R);
      if (FShowHandleGrip) Canvas.DrawThemeBackground(Horz ? 8 : 9, 0, R);
    } else {
      Canvas.DrawEdge(R, 5, 0x80F);
    }
    return;
  }
  DrawFlatHandle(Canvas, R, ResolveColor(FHandleColor, Canvas), Pushed, FShowHandleGrip, Horz,
                 ResolveColor(FBorderColor, Canvas));
}

void TArrowBar::SetTimerMode(std::int32_t Mode) {
  FTimerMode = Mode;
  static constexpr std::uint32_t kIntervals[4] = {0, 600, 100, 150};
  FHost.BarSetTimer(Mode >= 1 && Mode <= 3 ? kIntervals[Mode] : 0);
}

void TArrowBar::MouseDown(std::int32_t X, std::int32_t Y) {
  FDragZone = GetZone(X, Y);
  StoredX = X, StoredY = Y;
  Repaint();
  if (FDragZone == zNone || FDragZone == zHandle) return;
  GenChange = true;
  const bool moved = DoStep();
  GenChange = false;
  SetTimerMode(moved ? 1 : 3);
}

void TArrowBar::MouseMove(std::int32_t X, std::int32_t Y) {
  if (FDragZone != zNone || !PaintsEnabled()) return;
  const TRBZone zone = GetZone(X, Y);
  if (zone == FHotZone) return;
  FHotZone = zone;
  Repaint();
  if (zone != zNone && FTimerMode != 3) SetTimerMode(3);
}

void TArrowBar::MouseUp(std::int32_t /*X*/, std::int32_t /*Y*/) {
  FDragZone = zNone;
  Repaint();
  SetTimerMode(3);
}

void TArrowBar::MouseExited() {
  SetTimerMode(0);
  FHotZone = zNone;
  Repaint();
}

void TArrowBar::TimerTick() {
  if (FTimerMode == 3) {
    if (!FHost.BarCursorInside()) MouseExited();
    return;
  }
  if (FTimerMode == 1) SetTimerMode(2);
  if (FDragZone == zNone || FDragZone == zHandle) return;
  GenChange = true;
  const bool moved = DoStep();
  GenChange = false;
  if (!moved) SetTimerMode(3);
}

void TArrowBar::FireChange() {
  if (OnChange) OnChange(this);
  if (GenChange && OnUserChange) OnUserChange(this);
}

// ---- TCustomRangeBar ----

namespace {
std::int32_t RoundToInt(double Value) {
  return static_cast<std::int32_t>(std::lrint(Value));
}
}  // namespace

void TCustomRangeBar::SetIncrement(std::uint32_t Value) {
  FIncrement = static_cast<std::uint16_t>(std::clamp<std::uint32_t>(Value, 1, 32768));
}

void TCustomRangeBar::ClampPosition() {
  FPosition = std::max(0.0f, std::min(FPosition, static_cast<float>(FRange - FEffectiveWindow)));
}

void TCustomRangeBar::SetPosition(float Value) {
  if (Value == FPosition) return;
  const float old = FPosition;
  FPosition = Value;
  ClampPosition();
  if (FPosition == old) return;
  Repaint();
  FireChange();
}

void TCustomRangeBar::AdjustPosition(std::int32_t OldRange, std::int32_t OldWindow) {
  FEffectiveWindow = FWindow > 0 ? FWindow : Length();
  if (FCentered && FRange > FEffectiveWindow) {
    const double centre =
        OldWindow >= OldRange || OldRange == 0 ? 0.5 : (OldWindow / 2.0 + FPosition) / OldRange;
    FPosition = static_cast<float>(FRange * centre - FEffectiveWindow / 2.0);
  }
  ClampPosition();
}

void TCustomRangeBar::SetParams(std::int32_t NewRange, std::int32_t NewWindow) {
  NewRange = std::max(NewRange, 0);
  NewWindow = std::max(NewWindow, 0);
  if (NewRange == FRange && NewWindow == FWindow) return;
  const std::int32_t oldRange = FRange, oldWindow = FEffectiveWindow;
  FRange = NewRange;
  FWindow = NewWindow;
  AdjustPosition(oldRange, oldWindow);
  Repaint();
}

void TCustomRangeBar::Resize() {
  AdjustPosition(FRange, FEffectiveWindow);
}

void TCustomRangeBar::MouseWheel(std::int32_t Delta, std::int32_t WheelStep) {
  if (WheelStep == 0) return;
  SetPosition(FPosition - static_cast<float>(FIncrement) * Delta / WheelStep);
}

bool TCustomRangeBar::PaintsEnabled() {
  return FHost.BarEnabled() && FRange > FEffectiveWindow;
}

std::int32_t TCustomRangeBar::TrackLength() {
  return Length() - 2 * GetButtonSize();
}

TRect TCustomRangeBar::GetHandleBounds() {
  const std::int32_t track = TrackLength();
  if (track < 18) return TRect{};
  std::int32_t offset = 0, size = track;
  if (FEffectiveWindow < FRange) {
    size = RoundToInt(static_cast<double>(track) * FEffectiveWindow / FRange);
    if (size < 17) {
      size = 17;
      offset =
          RoundToInt((track - 17) * static_cast<double>(FPosition) / (FRange - FEffectiveWindow));
    } else {
      // Length and offset may both round up (halves of an odd track): the handle still ends
      // within the track.
      offset = std::min(RoundToInt(track * static_cast<double>(FPosition) / FRange), track - size);
    }
  }
  const TRect client = FHost.BarClientRect();
  const std::int32_t start = (Horz() ? client.left : client.top) + GetButtonSize() + offset;
  return Horz() ? TRect{start, client.top, start + size, client.bottom}
                : TRect{client.left, start, client.right, start + size};
}

void TCustomRangeBar::MouseDown(std::int32_t X, std::int32_t Y) {
  TArrowBar::MouseDown(X, Y);
  if (FDragZone == zHandle) PosBeforeDrag = FPosition;
}

void TCustomRangeBar::MouseMove(std::int32_t X, std::int32_t Y) {
  if (FDragZone != zHandle) {
    TArrowBar::MouseMove(X, Y);
    return;
  }
  // The handle's own track (the client length less both buttons): a track 2 px shorter for the
  // border would move the handle faster than the mouse, so it would slip away from the pointer.
  const std::int32_t track = TrackLength();
  if (track <= 0 || FRange <= 0) return;
  const double moved = static_cast<double>(Along(X, Y)) - Along(StoredX, StoredY);
  const bool minimum = RoundToInt(static_cast<double>(track) * FEffectiveWindow / FRange) < 17;
  const double delta = minimum && track > 17 ? moved * (FRange - FEffectiveWindow) / (track - 17)
                                             : moved * FRange / track;
  GenChange = true;
  SetPosition(static_cast<float>(PosBeforeDrag + delta));
  GenChange = false;
}

bool TCustomRangeBar::DoStep() {
  const float old = FPosition;
  switch (FDragZone) {
    case zBtnPrev:
      SetPosition(FPosition - FIncrement);
      break;
    case zTrackPrev:
      SetPosition(FPosition - FEffectiveWindow);
      break;
    case zTrackNext:
      SetPosition(FPosition + FEffectiveWindow);
      break;
    case zBtnNext:
      SetPosition(FPosition + FIncrement);
      break;
    default:
      break;
  }
  return FPosition != old;
}

}  // namespace gfx
