#include "gfx/image.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "gfx/drawing.h"
#include "gfx/fixed_math.h"

namespace gfx {

namespace {

// To nearest (ties to even), saturated to 32 bits: sizes and offsets of any scale stay
// representable.
std::int32_t RoundToInt(double Value) {
  return SaturatedRound(Value);
}

std::int32_t Clamp32(std::int64_t Value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      Value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A focus rectangle: every other pixel of R's border inverted, inside Dest's clip rectangle.
void DottedFrame(TBitmap32& Dest, const TRect& R) {
  if (IsRectEmpty(R)) return;
  const auto invert = [&](std::int32_t x, std::int32_t y) {
    if (((x + y) & 1) != 0 || !PtInRect(Dest.ClipRect(), {x, y})) return;
    *Dest.PixelPtr(x, y) ^= 0x00FFFFFF;
  };
  for (std::int32_t x = R.left; x < R.right; ++x) invert(x, R.top), invert(x, R.bottom - 1);
  for (std::int32_t y = R.top + 1; y < R.bottom - 1; ++y) invert(R.left, y), invert(R.right - 1, y);
}

// R moved by (Dx, Dy) and grown by Grow on every side, saturated to 32 bits.
TRect MovedAndGrown(const TRect& R, std::int64_t Dx, std::int64_t Dy, std::int64_t Grow) {
  return TRect{Clamp32(R.left + Dx - Grow), Clamp32(R.top + Dy - Grow),
               Clamp32(R.right + Dx + Grow), Clamp32(R.bottom + Dy + Grow)};
}

// The rectangle a change covers. A line reports its two end points as the area's corners, in
// the order it was drawn, with its width in the info word's low 24 bits: its rectangle is the
// corners ordered and grown by that width.
TRect ChangedArea(const TRect& Area, std::uint32_t Info) {
  if ((Info & AREAINFO_LINE) == 0) return Area;
  const std::int64_t width = Info & 0x00FFFFFF;
  return TRect{Clamp32(std::min(Area.left, Area.right) - width),
               Clamp32(std::min(Area.top, Area.bottom) - width),
               Clamp32(std::max(Area.left, Area.right) + width),
               Clamp32(std::max(Area.top, Area.bottom) + width)};
}

enum class TRounding { TowardZero, Down, Up };

// V x Num / Den + Origin, rounded as asked and saturated to 32 bits, for Num >= 0, Den > 0 and
// |V| <= 2^32 where the smaller of Num and Den is a bitmap size (below 2^31). Num / Den splits
// into a whole part and a rest below both, so no product leaves 64 bits unnoticed.
std::int32_t MapScaled(std::int64_t V, std::int64_t Num, std::int64_t Den, std::int64_t Origin,
                       TRounding Rounding) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t result;
  if (__builtin_mul_overflow(V, Num / Den, &result)) return V < 0 ? kMin : kMax;
  const std::int64_t product = V * (Num % Den);
  std::int64_t part = product / Den;
  if (product % Den != 0) {
    if (Rounding == TRounding::Up && product > 0) ++part;
    if (Rounding == TRounding::Down && product < 0) --part;
  }
  if (__builtin_add_overflow(result, part + Origin, &result)) return V < 0 ? kMin : kMax;
  return Clamp32(result);
}

// Bitmap position V of a bitmap Size pixels long, shown Shown pixels long from Origin, in
// control pixels; the exact ratio, so that every scale and size keeps its mapping (16.16 factors
// hold neither a ratio of 32768 or more nor one of 1/65536 or less, and drift by whole pixels
// across pictures wider than 65536 pixels).
std::int32_t ToControl(std::int64_t V, std::int64_t Size, std::int64_t Shown, std::int64_t Origin,
                       TRounding Rounding) {
  if (Size <= 0 || Shown <= 0) return Clamp32(V + Origin);
  return MapScaled(V, Shown, Size, Origin, Rounding);
}

// Bitmap area R in control pixels, for the bitmap shown in Shown. A changed span of bitmap
// pixels reaches from its start rounded down to its end rounded up, also where a bitmap pixel is
// shown smaller than a control pixel.
TRect AreaToControl(const TRect& R, const TBitmap32& Bitmap, const TRect& Shown) {
  const std::int64_t shownW = std::int64_t{Shown.right} - Shown.left;
  const std::int64_t shownH = std::int64_t{Shown.bottom} - Shown.top;
  const std::int32_t w = Bitmap.Width(), h = Bitmap.Height();
  return TRect{ToControl(R.left, w, shownW, Shown.left, TRounding::Down),
               ToControl(R.top, h, shownH, Shown.top, TRounding::Down),
               ToControl(R.right, w, shownW, Shown.left, TRounding::Up),
               ToControl(R.bottom, h, shownH, Shown.top, TRounding::Up)};
}

// Control position V against a picture shown Shown pixels long from Origin, of a bitmap Size
// pixels long, in bitmap pixels rounded down.
std::int32_t ToBitmap(std::int64_t V, std::int64_t Size, std::int64_t Shown, std::int64_t Origin) {
  if (Size <= 0 || Shown <= 0) return Clamp32(V - Origin);
  return MapScaled(V - Origin, Size, Shown, 0, TRounding::Down);
}

}  // namespace

void TPaintBoxHost::HostFocusRect(TBitmap32& Dest, const TRect& R) {
  DottedFrame(Dest, R);
}

void DrawSizeGrip(TBarCanvas& Canvas, const TRect& R) {
  constexpr int kSizeBox = 10, kRightAlign = 1;
  constexpr unsigned kScroll = 3, kSizeGrip = 8;
  if (Canvas.ThemesEnabled()) {
    Canvas.DrawThemeBackground(kSizeBox, kRightAlign, R);
  } else {
    Canvas.DrawFrameControl(R, kScroll, kSizeGrip);
  }
}

// ---- TPaintStages ----

TPaintStage* TPaintStages::Add() {
  FItems.emplace_back();
  return &FItems.back();
}

TPaintStage* TPaintStages::Insert(std::int32_t Index) {
  Index = std::clamp(Index, 0, Count());
  return &*FItems.emplace(FItems.begin() + Index);
}

void TPaintStages::Delete(std::int32_t Index) {
  if (Index < 0 || Index >= Count()) throw EListError("Invalid stage index");
  FItems.erase(FItems.begin() + Index);
}

// ---- TCustomPaintBox32 ----

TCustomPaintBox32::TCustomPaintBox32(TPaintBoxHost& Host)
    : FHost(Host),
      FRepaintOptimizer(std::make_unique<TMicroTilesRepaintOptimizer>(FBuffer, FInvalidRects)) {}

TCustomPaintBox32::~TCustomPaintBox32() = default;

void TCustomPaintBox32::SetBufferOversize(std::int32_t Value) {
  FBufferOversize = std::max(Value, 0);
}

void TCustomPaintBox32::SetRepaintMode(TRepaintMode Value) {
  FRepaintMode = Value;
  FBuffer.OnAreaChanged = nullptr;
  FRepaintOptimizer->SetEnabled(Value == rmOptimizer);
  if (Value == rmDirect)
    FBuffer.OnAreaChanged = [this](TBitmap32*, const TRect& Area, std::uint32_t Info) {
      DirectAreaUpdateHandler(Area, Info);
    };
  else if (Value == rmOptimizer)
    FBuffer.OnAreaChanged = [this](TBitmap32*, const TRect& Area, std::uint32_t Info) {
      FRepaintOptimizer->AreaUpdateHandler(Area, Info);
    };
  // Areas kept for the old mode do not tell the new one what to repaint.
  ForceFullInvalidate();
}

void TCustomPaintBox32::DirectAreaUpdateHandler(const TRect& Area, std::uint32_t Info) {
  FInvalidRects.Add(ChangedArea(Area, Info));
  FBufferValid = false;
  FHost.HostRepaint();
}

TRect TCustomPaintBox32::GetViewportRect() {
  return FHost.HostClientRect();
}

bool TCustomPaintBox32::ResizeBuffer() {
  const TRect viewport = GetViewportRect();
  const auto follow = [this](std::int32_t view, std::int32_t buffer) {
    if (view > buffer) return view + FBufferOversize;
    if (view < buffer - FBufferOversize) return std::max(view, 1);
    return buffer;
  };
  const std::int32_t width = follow(viewport.Width(), FBuffer.Width());
  const std::int32_t height = follow(viewport.Height(), FBuffer.Height());
  if (width == FBuffer.Width() && height == FBuffer.Height()) return false;
  FBuffer.SetSize(width, height);
  FRepaintOptimizer->BufferResizedHandler(width, height);
  return true;
}

void TCustomPaintBox32::Resize() {
  ResizeBuffer();
  ForceFullInvalidate();
}

void TCustomPaintBox32::Invalidate() {
  FBufferValid = false;
  FHost.HostInvalidate();
}

void TCustomPaintBox32::ForceFullInvalidate() {
  if (FRepaintMode == rmOptimizer) FRepaintOptimizer->Reset();
  FForceFullRepaint = true;
  Invalidate();
}

void TCustomPaintBox32::Paint() {
  ResizeBuffer();
  if (FRepaintOptimizer->Enabled() && FRepaintOptimizer->UpdatesAvailable())
    FRepaintOptimizer->PerformOptimization();
  if (!FBufferValid) {
    if (FForceFullRepaint) FInvalidRects.Clear();
    DoPaintBuffer();
  }
  FBuffer.Lock();
  if (FInvalidRects.Count() == 0) {
    FHost.HostCopyToScreen(FBuffer, GetViewportRect());
  } else {
    for (std::int32_t i = 0; i < FInvalidRects.Count(); ++i)
      FHost.HostCopyToScreen(FBuffer, FInvalidRects.List()[i]);
  }
  FBuffer.Unlock();
  if (OnGDIOverlay) OnGDIOverlay(this);
  FInvalidRects.Clear();
  FForceFullRepaint = false;
}

void TCustomPaintBox32::AutoFocus() {
  if (FOptions & pboAutoFocus) FHost.HostSetFocus();
}

void TCustomPaintBox32::Flush() {
  Flush(FBuffer.BoundsRect());
}

void TCustomPaintBox32::Flush(const TRect& R) {
  FBuffer.Lock();
  FHost.HostCopyToScreen(FBuffer, R);
  FBuffer.Unlock();
}

void TCustomPaintBox32::DoPaintBuffer() {
  FBufferValid = true;
}

// ---- TCustomImage32 ----

TCustomImage32::TCustomImage32(TPaintBoxHost& Host)
    : TCustomPaintBox32(Host), FLayers(std::make_unique<TLayerCollection>(Host.HostCursorHost())) {
  FRepaintOptimizer->RegisterLayerCollection(FLayers.get());
  FBitmap.OnResize = [this](ui::TPersistent*) { BitmapResized(); };
  FBitmap.OnChange = [this](ui::TPersistent*) {
    if (FRepaintMode == rmFull) BitmapChanged(FBitmap.BoundsRect());
  };
  FBitmap.OnAreaChanged = [this](TBitmap32*, const TRect& Area, std::uint32_t Info) {
    if (FRepaintMode != rmFull) BitmapChanged(ChangedArea(Area, Info));
  };
  FLayers->OnChange = [this](ui::TPersistent*) { LayersChanged(); };
  InitDefaultStages();
}

TCustomImage32::~TCustomImage32() {
  FBitmap.OnResize = nullptr;
  FBitmap.OnChange = nullptr;
  FBitmap.OnAreaChanged = nullptr;
  FLayers->OnChange = nullptr;
  FRepaintOptimizer->UnregisterLayerCollection(FLayers.get());
}

void TCustomImage32::InitDefaultStages() {
  const struct {
    std::uint8_t design, run;
    std::uint32_t stage, parameter;
  } defaults[] = {{1, 1, PST_CLEAR_BACKGND, 0},
                  {1, 0, PST_CONTROL_FRAME, 0},
                  {1, 1, PST_DRAW_BITMAP, 0},
                  {1, 0, PST_BITMAP_FRAME, 0},
                  {1, 1, PST_DRAW_LAYERS, LOB_VISIBLE}};
  for (const auto& d : defaults) *FPaintStages.Add() = {d.design, d.run, d.stage, d.parameter};
  if (OnInitStages) OnInitStages(this);
}

void TCustomImage32::EndUpdate() {
  if (FUpdateCount <= 0) throw EAssertionFailed("Unpaired EndUpdate call");
  --FUpdateCount;
}

void TCustomImage32::Changed() {
  if (FUpdateCount != 0) return;
  // The picture may have moved: no area recorded so far tells what to repaint.
  ForceFullInvalidate();
  if (OnChange) OnChange(this);
}

void TCustomImage32::LayersChanged() {
  if (!FRepaintOptimizer->Enabled()) {
    Changed();
    return;
  }
  if (FUpdateCount != 0) return;
  TCustomPaintBox32::Invalidate();
  if (OnChange) OnChange(this);
}

void TCustomImage32::Invalidate() {
  InvalidateCache();
  TCustomPaintBox32::Invalidate();
}

void TCustomImage32::Resize() {
  InvalidateCache();
  TCustomPaintBox32::Resize();
}

void TCustomImage32::SetRepaintMode(TRepaintMode Value) {
  // An image control never hands its buffer's changes to the optimiser: its bitmap does.
  TCustomPaintBox32::SetRepaintMode(Value);
  FBuffer.OnAreaChanged = nullptr;
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign Value) {
  FBitmapAlign = Value;
  InvalidateCache();
  Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode Value) {
  FScaleMode = Value;
  InvalidateCache();
  Changed();
}

void TCustomImage32::SetScale(float Value) {
  SetScales(Value, Value);
}

void TCustomImage32::SetScaleX(float Value) {
  SetScales(Value, FScaleY);
}

void TCustomImage32::SetScaleY(float Value) {
  SetScales(FScaleX, Value);
}

void TCustomImage32::SetScales(float X, float Y) {
  // Not above 0.001 (NaN included) becomes 0.001.
  if (!(X > 0.001f)) X = 0.001f;
  if (!(Y > 0.001f)) Y = 0.001f;
  if (X == FScaleX && Y == FScaleY) return;
  FScaleX = X;
  FScaleY = Y;
  InvalidateCache();
  if (OnScaleChange) OnScaleChange(this);
  Changed();
}

void TCustomImage32::SetOffsetHorz(float Value) {
  if (Value == FOffsetHorz) return;
  FOffsetHorz = Value;
  InvalidateCache();
  Changed();
}

void TCustomImage32::SetOffsetVert(float Value) {
  if (Value == FOffsetVert) return;
  FOffsetVert = Value;
  InvalidateCache();
  Changed();
}

TPoint TCustomImage32::GetBitmapSize() {
  const TRect viewport = GetViewportRect();
  const std::int32_t W = viewport.Width(), H = viewport.Height();
  const std::int32_t w = FBitmap.Width(), h = FBitmap.Height();
  if (FBitmap.Empty() || W <= 0 || H <= 0) return TPoint{};
  TScaleMode mode = FScaleMode;
  if (mode == smOptimal) mode = W >= w && H >= h ? smNormal : smResize;
  if (mode == smOptimalScaled)
    mode = W >= RoundToInt(w * static_cast<double>(FScaleX)) &&
                   H >= RoundToInt(h * static_cast<double>(FScaleY))
               ? smScale
               : smResize;
  TPoint size;
  switch (mode) {
    case smNormal:
      size = {w, h};
      break;
    case smStretch:
      size = {W, H};
      break;
    case smResize: {
      const double rx = static_cast<double>(W) / w, ry = static_cast<double>(H) / h;
      size = rx >= ry ? TPoint{RoundToInt(w * ry), H} : TPoint{W, RoundToInt(h * rx)};
      break;
    }
    default:
      size = {RoundToInt(w * static_cast<double>(FScaleX)),
              RoundToInt(h * static_cast<double>(FScaleY))};
      break;
  }
  return TPoint{std::max(size.X, 0), std::max(size.Y, 0)};
}

TRect TCustomImage32::GetBitmapRect() {
  if (FBitmap.Empty()) return TRect{};
  const TPoint size = GetBitmapSize();
  std::int64_t dx = 0, dy = 0;
  if (FBitmapAlign == baCenter) {
    const TRect client = FHost.HostClientRect();
    dx = (std::int64_t{client.Width()} - size.X) / 2;
    dy = (std::int64_t{client.Height()} - size.Y) / 2;
  } else if (FBitmapAlign == baCustom) {
    dx = RoundToInt(FOffsetHorz);
    dy = RoundToInt(FOffsetVert);
  }
  return TRect{Clamp32(dx), Clamp32(dy), Clamp32(dx + size.X), Clamp32(dy + size.Y)};
}

void TCustomImage32::UpdateCache() {
  if (FCacheValid) return;
  FCachedBitmapRect = GetBitmapRect();
  FCacheValid = true;
}

const TRect& TCustomImage32::CachedBitmapRect() {
  UpdateCache();
  return FCachedBitmapRect;
}

TPoint TCustomImage32::BitmapToControl(const TPoint& P) {
  UpdateCache();
  const TRect& shown = FCachedBitmapRect;
  return TPoint{ToControl(P.X, FBitmap.Width(), std::int64_t{shown.right} - shown.left, shown.left,
                          TRounding::TowardZero),
                ToControl(P.Y, FBitmap.Height(), std::int64_t{shown.bottom} - shown.top, shown.top,
                          TRounding::TowardZero)};
}

TPoint TCustomImage32::ControlToBitmap(const TPoint& P) {
  UpdateCache();
  const TRect& shown = FCachedBitmapRect;
  return TPoint{ToBitmap(P.X, FBitmap.Width(), std::int64_t{shown.right} - shown.left, shown.left),
                ToBitmap(P.Y, FBitmap.Height(), std::int64_t{shown.bottom} - shown.top, shown.top)};
}

void TCustomImage32::SetupBitmap(bool DoClear, TColor32 ClearColor) {
  const TRect viewport = GetViewportRect();
  FBitmap.BeginUpdate();
  FBitmap.SetSize(std::max(viewport.Width(), 1), std::max(viewport.Height(), 1));
  if (DoClear) FBitmap.Clear(ClearColor);
  FBitmap.EndUpdate();
  InvalidateCache();
  Changed();
}

void TCustomImage32::BitmapResized() {
  InvalidateCache();
  if (OnBitmapResize) OnBitmapResize(this);
  ForceFullInvalidate();
}

void TCustomImage32::BitmapChanged(const TRect& Area) {
  if (FRepaintMode == rmFull) {
    Changed();
    return;
  }
  // The area grown by the resampler's reach, in control coordinates.
  const std::int32_t grow = RoundToInt(FBitmap.Resampler()->GetWidth()) + 1;
  const TRect area = MovedAndGrown(Area, 0, 0, grow);
  UpdateCache();
  const TRect mapped = AreaToControl(area, FBitmap, FCachedBitmapRect);
  std::vector<TRect> rects;
  if (FBitmapAlign == baTile && !IsRectEmpty(FCachedBitmapRect)) {
    const std::int32_t tw = FCachedBitmapRect.Width(), th = FCachedBitmapRect.Height();
    for (std::int32_t y = 0; y < FBuffer.Height(); y += th)
      for (std::int32_t x = 0; x < FBuffer.Width(); x += tw)
        rects.push_back(MovedAndGrown(mapped, x, y, 0));
  } else {
    rects.push_back(mapped);
  }
  const bool optimizer = FRepaintMode == rmOptimizer && FRepaintOptimizer->Enabled();
  for (const TRect& r : rects) {
    if (optimizer)
      FRepaintOptimizer->AreaUpdateHandler(r, AREAINFO_RECT);
    else
      FInvalidRects.Add(r);
  }
  FBufferValid = false;
  if (FUpdateCount != 0) return;
  FHost.HostRepaint();
  if (OnChange) OnChange(this);
}

std::vector<std::pair<TPaintStageHandler, std::int32_t>> TCustomImage32::StageHandlers() {
  static constexpr TPaintStageHandler kHandlers[] = {nullptr,
                                                     &TCustomImage32::ExecCustom,
                                                     &TCustomImage32::ExecClearBuffer,
                                                     &TCustomImage32::ExecClearBackgnd,
                                                     &TCustomImage32::ExecDrawBitmap,
                                                     &TCustomImage32::ExecDrawLayers,
                                                     &TCustomImage32::ExecControlFrame,
                                                     &TCustomImage32::ExecBitmapFrame};
  const bool designing = FHost.HostDesigning();
  std::vector<std::pair<TPaintStageHandler, std::int32_t>> handlers;
  for (std::int32_t i = 0; i < FPaintStages.Count(); ++i) {
    const TPaintStage& stage = FPaintStages.Items(i);
    if (!(designing ? stage.DsgnTime : stage.RunTime)) continue;
    if (stage.Stage >= 1 && stage.Stage <= 7) handlers.emplace_back(kHandlers[stage.Stage], i);
  }
  return handlers;
}

void TCustomImage32::DoPaintBuffer() {
  const auto handlers = StageHandlers();
  const bool optimizer = FRepaintOptimizer->Enabled();
  if (optimizer) FRepaintOptimizer->BeginPaintBuffer();
  UpdateCache();
  if (FInvalidRects.Count() > 0) {
    for (std::int32_t i = 0; i < FInvalidRects.Count(); ++i) {
      FBuffer.SetClipRect(FInvalidRects.List()[i]);
      for (const auto& [handler, stage] : handlers) (this->*handler)(FBuffer, stage);
    }
  } else {
    FBuffer.ResetClipRect();
    for (const auto& [handler, stage] : handlers) (this->*handler)(FBuffer, stage);
  }
  FBuffer.ResetClipRect();
  if (optimizer) FRepaintOptimizer->EndPaintBuffer();
  FBufferValid = true;
}

void TCustomImage32::PaintTo(TBitmap32& Dest, const TRect& DestRect) {
  const TRepaintMode oldMode = FRepaintMode;
  FRepaintMode = rmFull;
  FCachedBitmapRect = FBitmap.Empty() || IsRectEmpty(DestRect) ? TRect{} : DestRect;
  FCacheValid = true;
  // Areas the control still has to repaint are its buffer's, not Dest's: the stages see none.
  const std::vector<TRect> pending(FInvalidRects.List(),
                                   FInvalidRects.List() + FInvalidRects.Count());
  FInvalidRects.Clear();
  for (const auto& [handler, stage] : StageHandlers()) (this->*handler)(Dest, stage);
  for (const TRect& r : pending) FInvalidRects.Add(r);
  FCacheValid = false;
  FRepaintMode = oldMode;
}

void TCustomImage32::ExecCustom(TBitmap32& Dest, std::int32_t StageNum) {
  if (OnPaintStage) OnPaintStage(this, Dest, StageNum);
}

void TCustomImage32::ExecClearBuffer(TBitmap32& Dest, std::int32_t /*StageNum*/) {
  FillRectS(Dest, Dest.BoundsRect(), FHost.HostColor());
}

void TCustomImage32::ExecClearBackgnd(TBitmap32& Dest, std::int32_t /*StageNum*/) {
  const TColor32 color = FHost.HostColor();
  if (FInvalidRects.Count() > 0) {
    for (std::int32_t i = 0; i < FInvalidRects.Count(); ++i)
      FillRectS(Dest, FInvalidRects.List()[i], color);
    return;
  }
  if (FBitmap.Empty() || FBitmap.DrawMode() != dmOpaque) {
    FillRectS(Dest, Dest.BoundsRect(), color);
    return;
  }
  const TRect r = FCachedBitmapRect;
  const std::int32_t W = Dest.Width(), H = Dest.Height();
  // Tiles cover the buffer unless the picture is shown with no size: then nothing is drawn
  // over it and it is cleared as a whole by the bands below. The covering is judged on the
  // bitmap painted, which for PaintTo may be larger than the control.
  if ((FBitmapAlign == baTile && !IsRectEmpty(r)) ||
      (r.left <= 0 && r.top <= 0 && r.right >= W && r.bottom >= H))
    return;
  FillRectS(Dest, {0, 0, W, r.top}, color);
  FillRectS(Dest, {0, r.bottom, W, H}, color);
  FillRectS(Dest, {0, r.top, r.left, r.bottom}, color);
  FillRectS(Dest, {r.right, r.top, W, r.bottom}, color);
}

void TCustomImage32::ExecDrawBitmap(TBitmap32& Dest, std::int32_t /*StageNum*/) {
  const TRect r = FCachedBitmapRect;
  if (FBitmap.Empty() || IsRectEmpty(r)) return;
  FBitmap.Lock();
  if (FBitmapAlign == baTile) {
    for (std::int32_t y = 0; y < Dest.Height(); y += r.Height())
      for (std::int32_t x = 0; x < Dest.Width(); x += r.Width())
        DrawTo(FBitmap, Dest, {x, y, x + r.Width(), y + r.Height()});
  } else {
    DrawTo(FBitmap, Dest, r);
  }
  FBitmap.Unlock();
}

void TCustomImage32::ExecDrawLayers(TBitmap32& Dest, std::int32_t StageNum) {
  const std::uint32_t mask = FPaintStages.Items(StageNum).Parameter;
  for (std::int32_t i = 0; i < FLayers->Count(); ++i) {
    TCustomLayer* layer = FLayers->Items(i);
    if ((layer->LayerOptions() & mask) != 0) layer->PaintLayer(Dest);
  }
}

void TCustomImage32::ExecControlFrame(TBitmap32& Dest, std::int32_t /*StageNum*/) {
  FHost.HostFocusRect(Dest, FHost.HostClientRect());
}

void TCustomImage32::ExecBitmapFrame(TBitmap32& Dest, std::int32_t /*StageNum*/) {
  FHost.HostFocusRect(Dest, FCachedBitmapRect);
}

void TCustomImage32::MouseLeave() {
  if (!FLayers->MouseEvents() || FLayers->MouseListener()) return;
  if (TLayerCursorHost* cursors = FHost.HostCursorHost()) cursors->SetScreenCursor(crDefault);
}

TCustomLayer* TCustomImage32::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X,
                                        std::int32_t Y) {
  FHost.HostSetFocus();
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseDown(Button, Shift, X, Y) : nullptr;
  FMouseCaptured = FLayers->MouseListener() == nullptr;
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y, layer);
  return layer;
}

TCustomLayer* TCustomImage32::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseMove(Shift, X, Y) : nullptr;
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y, layer);
  return layer;
}

TCustomLayer* TCustomImage32::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X,
                                      std::int32_t Y) {
  TCustomLayer* layer = FLayers->MouseEvents() ? FLayers->MouseUp(Button, Shift, X, Y) : nullptr;
  if (FLayers->MouseListener() == nullptr) FMouseCaptured = false;
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y, layer);
  return layer;
}

// ---- TCustomImgView32 ----

TCustomImgView32::TCustomImgView32(TPaintBoxHost& Host, TCustomRangeBar& HScroll,
                                   TCustomRangeBar& VScroll)
    : TCustomImage32(Host), FHScroll(HScroll), FVScroll(VScroll) {
  FScaleMode = smScale;
  FBitmapAlign = baCustom;
  FScrollBars.SetMaster(&FHScroll);
  FScrollBars.SetSlave(&FVScroll);
  for (TCustomRangeBar* bar : {&FHScroll, &FVScroll}) {
    bar->SetCentered(FCentered);
    bar->OnChange = [this](TArrowBar*) { ScrollHandler(); };
  }
}

TCustomImgView32::~TCustomImgView32() {
  FHScroll.OnChange = nullptr;
  FVScroll.OnChange = nullptr;
}

std::int32_t TCustomImgView32::ScrollBarSize() {
  return FScrollBars.Size() > 0 ? FScrollBars.Size() : FHost.HostScrollBarSize();
}

std::int32_t TCustomImgView32::OverSizeScaled() const {
  return RoundToInt(FOverSize * static_cast<double>(FScaleX));
}

TRect TCustomImgView32::GetViewportRect() {
  TRect r = FHost.HostClientRect();
  if (FBarsVisible) {
    const std::int32_t size = ScrollBarSize();
    r.right = std::max(r.left, r.right - size);
    r.bottom = std::max(r.top, r.bottom - size);
  }
  return r;
}

void TCustomImgView32::UpdateScrollBars() {
  FScrollLock = true;
  FBarsVisible = false;
  const TPoint size = GetBitmapSize();
  const std::int64_t extra = RoundToInt(2.0 * FOverSize * FScaleX);
  const std::int32_t hRange = Clamp32(size.X + extra), vRange = Clamp32(size.Y + extra);
  const TRect client = FHost.HostClientRect();
  switch (FScrollBars.Visibility()) {
    case svAlways:
      FBarsVisible = true;
      break;
    case svHidden:
      FBarsVisible = false;
      break;
    case svAuto:
      FBarsVisible = hRange > client.Width() || vRange > client.Height();
      break;
  }
  TRect h, v;
  FGripRect = TRect{};
  FCornerRect = TRect{};
  if (FBarsVisible) {
    const std::int32_t t = ScrollBarSize();
    const TRect view = GetViewportRect();
    h = {client.left, view.bottom, view.right, client.bottom};
    v = {view.right, client.top, client.right, view.bottom};
    FCornerRect = {view.right, view.bottom, client.right, client.bottom};
    if (FSizeGrip == sgAlways || (FSizeGrip == sgAuto && FGripAllowed))
      FGripRect = {view.right, view.bottom, view.right + t, view.bottom + t};
  }
  FHost.HostPlaceScrollBars(h, v, FGripRect);
  const TRect view = GetViewportRect();
  FHScroll.SetParams(hRange, view.Width());
  FVScroll.SetParams(vRange, view.Height());
  FScrollLock = false;
}

void TCustomImgView32::PaintCorner(TBarCanvas& Canvas, std::uint32_t Color) {
  if (IsRectEmpty(FCornerRect)) return;
  Canvas.FillSolid(FCornerRect, Color);
  if (!IsRectEmpty(FGripRect)) DrawSizeGrip(Canvas, FGripRect);
}

void TCustomImgView32::UpdateImage() {
  const TRect view = GetViewportRect();
  const TPoint size = GetBitmapSize();
  const std::int64_t over = OverSizeScaled();
  const auto offset = [&](std::int32_t viewSize, std::int32_t shown, float position) {
    if (FCentered && viewSize > 2 * over + shown)
      return static_cast<float>((viewSize - shown) / 2.0);
    return -position + static_cast<float>(over);
  };
  FOffsetHorz = offset(view.Width(), size.X, FHScroll.Position());
  FOffsetVert = offset(view.Height(), size.Y, FVScroll.Position());
  InvalidateCache();
  Changed();
}

void TCustomImgView32::ScrollHandler() {
  if (FScrollLock) return;
  UpdateImage();
  if (OnScroll) OnScroll(this);
}

void TCustomImgView32::Scroll(std::int32_t Dx, std::int32_t Dy) {
  FScrollLock = true;
  FHScroll.SetPosition(FHScroll.Position() + static_cast<float>(Dx));
  FVScroll.SetPosition(FVScroll.Position() + static_cast<float>(Dy));
  FScrollLock = false;
  UpdateImage();
}

void TCustomImgView32::ScrollToCenter(std::int32_t X, std::int32_t Y) {
  const TRect view = GetViewportRect();
  const double over = OverSizeScaled();
  FScrollLock = true;
  FHScroll.SetPosition(
      static_cast<float>(X * static_cast<double>(FScaleX) - view.Width() / 2.0 + over));
  FVScroll.SetPosition(
      static_cast<float>(Y * static_cast<double>(FScaleX) - view.Height() / 2.0 + over));
  FScrollLock = false;
  UpdateImage();
}

void TCustomImgView32::CenterOrOrigin() {
  if (FCentered)
    ScrollToCenter(FBitmap.Width() / 2, FBitmap.Height() / 2);
  else
    ScrollToCenter(0, 0);
}

void TCustomImgView32::BitmapResized() {
  UpdateScrollBars();
  CenterOrOrigin();
  TCustomImage32::BitmapResized();
}

void TCustomImgView32::SetScale(float Value) {
  TCustomImage32::SetScale(Value);
  UpdateScrollBars();
  UpdateImage();
}

void TCustomImgView32::Resize() {
  UpdateScrollBars();
  TCustomImage32::Resize();
  UpdateImage();
}

void TCustomImgView32::SetCentered(bool Value) {
  FCentered = Value;
  FHScroll.SetCentered(Value);
  FVScroll.SetCentered(Value);
  UpdateScrollBars();
  CenterOrOrigin();
}

void TCustomImgView32::SetOverSize(std::int32_t Value) {
  if (Value == FOverSize) return;
  FOverSize = Value;
  UpdateScrollBars();
  UpdateImage();
}

void TCustomImgView32::SetSizeGrip(TSizeGripStyle Value) {
  if (Value == FSizeGrip) return;
  FSizeGrip = Value;
  UpdateScrollBars();
  UpdateImage();
}

void TCustomImgView32::SetGripAllowed(bool Value) {
  if (Value == FGripAllowed) return;
  FGripAllowed = Value;
  UpdateScrollBars();
}

// ---- TIVScrollProperties ----

std::uint32_t TIVScrollProperties::Increment() const {
  return FView.HScroll().Increment();
}

void TIVScrollProperties::SetIncrement(std::uint32_t Value) {
  FView.HScroll().SetIncrement(Value);
  FView.VScroll().SetIncrement(Value);
}

void TIVScrollProperties::SetSize(std::int32_t Value) {
  if (Value == FSize) return;
  FSize = Value;
  FView.UpdateScrollBars();
  FView.UpdateImage();
}

void TIVScrollProperties::SetVisibility(TScrollBarVisibility Value) {
  if (Value == FVisibility) return;
  FVisibility = Value;
  FView.UpdateScrollBars();
  FView.UpdateImage();
}

}  // namespace gfx
