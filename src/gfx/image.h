// The image controls' decisions: a buffered paint box, the list of paint stages, the bitmap's
// size and place in the control, the mapping between bitmap and control coordinates, and the
// scrolling view with two range bars.
//   TCustomPaintBox32: a back buffer that follows the viewport (grows to it plus
//   BufferOversize, shrinks to it when it is BufferOversize smaller), the invalid-rectangle list
//   and the repaint optimiser (used only in rmOptimizer). Painting first lets the optimiser turn
//   the changes it recorded into invalid rectangles, rebuilds an invalid buffer (only those
//   rectangles when there are any), then copies the viewport (or each invalid rectangle) to the
//   screen. In rmDirect an area change repaints at once (a bitmap's change in an image control
//   does so in rmOptimizer too).
//   TCustomImage32: the bitmap (its changes repaint the control: all of it in rmFull, the
//   changed area otherwise), layers (registered with the optimiser, which in rmOptimizer gets
//   their areas), scale mode and scale, alignment and custom offsets (their changes repaint the
//   whole buffer), a cached bitmap rectangle, and the paint stages that paint the buffer. Both
//   mappings use the exact ratio of the shown size to the bitmap size, at every scale and size;
//   BitmapToControl rounds toward zero, ControlToBitmap toward minus infinity, so points left of
//   or above the picture map to negative bitmap coordinates; both saturate to 32 bits, as do the
//   changed areas they map.
//   TCustomImgView32: places the bitmap through its offsets, which follow the scroll bars: a
//   centred view shows the picture in the middle when it fits and lets the bars move it when it
//   does not, and keeps its relative centre when the control is resized.
//   The window around a control is a TPaintBoxHost; the Windows controls supply it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/containers.h"
#include "gfx/layers.h"
#include "gfx/range_bars.h"
#include "gfx/repaint_optimizer.h"

namespace gfx {

enum TRepaintMode : std::uint8_t { rmFull, rmDirect, rmOptimizer };
enum TBitmapAlign : std::uint8_t { baTopLeft, baCenter, baTile, baCustom };
enum TScaleMode : std::uint8_t {
  smNormal,
  smStretch,
  smScale,
  smResize,
  smOptimal,
  smOptimalScaled
};
enum TSizeGripStyle : std::uint8_t { sgAuto, sgNone, sgAlways };
enum TScrollBarVisibility : std::uint8_t { svAlways, svHidden, svAuto };

inline constexpr std::uint32_t PST_CUSTOM = 1;
inline constexpr std::uint32_t PST_CLEAR_BUFFER = 2;
inline constexpr std::uint32_t PST_CLEAR_BACKGND = 3;
inline constexpr std::uint32_t PST_DRAW_BITMAP = 4;
inline constexpr std::uint32_t PST_DRAW_LAYERS = 5;
inline constexpr std::uint32_t PST_CONTROL_FRAME = 6;
inline constexpr std::uint32_t PST_BITMAP_FRAME = 7;

struct TPaintStage {
  std::uint8_t DsgnTime = 0;
  std::uint8_t RunTime = 1;
  std::uint32_t Stage = 0;
  std::uint32_t Parameter = 0;
};
static_assert(sizeof(TPaintStage) == 12);

class TPaintStages {
 public:
  TPaintStage* Add();
  // Index clamped to 0..Count; the stages behind move up.
  TPaintStage* Insert(std::int32_t Index);
  // EListError "Invalid stage index" outside 0..Count-1.
  void Delete(std::int32_t Index);
  void Clear() { FItems.clear(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  TPaintStage& Items(std::int32_t Index) { return FItems.at(static_cast<std::size_t>(Index)); }

 private:
  std::vector<TPaintStage> FItems;
};

// The window around an image control.
class TPaintBoxHost {
 public:
  virtual ~TPaintBoxHost() = default;
  // The control's client area, (0, 0, width, height).
  virtual TRect HostClientRect() = 0;
  // Asks the platform for a repaint (the control paints later).
  virtual void HostInvalidate() = 0;
  // Repaints the control now: its Paint runs before this returns.
  virtual void HostRepaint() = 0;
  // Copies a rectangle of the buffer to the screen at the same place.
  virtual void HostCopyToScreen(TBitmap32& Buffer, const TRect& R) = 0;
  // The control's colour as a 32-bit colour.
  virtual TColor32 HostColor() = 0;
  virtual bool HostDesigning() { return false; }
  virtual void HostSetFocus() {}
  virtual TLayerCursorHost* HostCursorHost() { return nullptr; }
  // The view's scroll bars: the system's bar thickness, and where the bars and the size grip
  // go (empty rectangles hide them).
  virtual std::int32_t HostScrollBarSize() { return 16; }
  virtual void HostPlaceScrollBars(const TRect& /*H*/, const TRect& /*V*/, const TRect& /*Grip*/) {}
  // The frame stages' focus rectangle around R on Dest, inside Dest's clip rectangle; by default
  // every other border pixel inverted (the platform draws its own).
  virtual void HostFocusRect(TBitmap32& Dest, const TRect& R);
};

// The paint box's options: the arrow keys reach the control; a press gives it the focus.
using TPaintBoxOptions = std::uint8_t;
inline constexpr TPaintBoxOptions pboWantArrowKeys = 1, pboAutoFocus = 2;

class TCustomPaintBox32 {
 public:
  explicit TCustomPaintBox32(TPaintBoxHost& Host);
  virtual ~TCustomPaintBox32();
  TCustomPaintBox32(const TCustomPaintBox32&) = delete;
  TCustomPaintBox32& operator=(const TCustomPaintBox32&) = delete;

  TBitmap32& Buffer() { return FBuffer; }
  std::int32_t BufferOversize() const { return FBufferOversize; }
  void SetBufferOversize(std::int32_t Value);
  TRectList& InvalidRects() { return FInvalidRects; }
  TCustomRepaintOptimizer& RepaintOptimizer() { return *FRepaintOptimizer; }
  TRepaintMode RepaintMode() const { return FRepaintMode; }
  virtual void SetRepaintMode(TRepaintMode Value);
  bool BufferValid() const { return FBufferValid; }
  bool ForceFullRepaint() const { return FForceFullRepaint; }

  virtual TRect GetViewportRect();
  // Grows or shrinks the buffer to the viewport; true when its size changed.
  bool ResizeBuffer();
  // The control changed size.
  virtual void Resize();
  virtual void Invalidate();
  void ForceFullInvalidate();
  // The platform's paint request: rebuilds an invalid buffer, then copies it to the screen.
  void Paint();
  void Flush();
  void Flush(const TRect& R);

  std::function<void(TCustomPaintBox32* Sender)> OnGDIOverlay;

  TPaintBoxOptions Options() const { return FOptions; }
  void SetOptions(TPaintBoxOptions Value) { FOptions = Value; }
  // A press on the control: the focus when pboAutoFocus is set.
  void AutoFocus();

 protected:
  virtual void DoPaintBuffer();
  // A change of the buffer's area in rmDirect goes into the invalid list and repaints.
  void DirectAreaUpdateHandler(const TRect& Area, std::uint32_t Info);

  TPaintBoxHost& FHost;
  TBitmap32 FBuffer;
  std::int32_t FBufferOversize = 40;
  TRectList FInvalidRects;
  bool FForceFullRepaint = true;
  std::unique_ptr<TCustomRepaintOptimizer> FRepaintOptimizer;
  TRepaintMode FRepaintMode = rmFull;
  bool FBufferValid = false;
  TPaintBoxOptions FOptions = 0;
};

class TCustomImage32;
using TPaintStageHandler = void (TCustomImage32::*)(TBitmap32& Dest, std::int32_t StageNum);
using TImgMouseEvent =
    std::function<void(TCustomImage32* Sender, TMouseButton Button, TShiftState Shift,
                       std::int32_t X, std::int32_t Y, TCustomLayer* Layer)>;
using TImgMouseMoveEvent = std::function<void(TCustomImage32* Sender, TShiftState Shift,
                                              std::int32_t X, std::int32_t Y, TCustomLayer* Layer)>;

class TCustomImage32 : public TCustomPaintBox32 {
 public:
  explicit TCustomImage32(TPaintBoxHost& Host);
  ~TCustomImage32() override;

  TBitmap32& Bitmap() { return FBitmap; }
  TLayerCollection& Layers() { return *FLayers; }
  TPaintStages& PaintStages() { return FPaintStages; }

  TBitmapAlign BitmapAlign() const { return FBitmapAlign; }
  void SetBitmapAlign(TBitmapAlign Value);
  TScaleMode ScaleMode() const { return FScaleMode; }
  void SetScaleMode(TScaleMode Value);
  float Scale() const { return FScaleX; }
  virtual void SetScale(float Value);
  float ScaleX() const { return FScaleX; }
  void SetScaleX(float Value);
  float ScaleY() const { return FScaleY; }
  void SetScaleY(float Value);
  float OffsetHorz() const { return FOffsetHorz; }
  void SetOffsetHorz(float Value);
  float OffsetVert() const { return FOffsetVert; }
  void SetOffsetVert(float Value);

  void BeginUpdate() { ++FUpdateCount; }
  // EAssertionFailed "Unpaired EndUpdate call" below zero.
  void EndUpdate();
  std::int32_t UpdateCount() const { return FUpdateCount; }
  virtual void Changed();

  // Algorithms: the displayed size (0 x 0 for none) and its rectangle in the control.
  TPoint GetBitmapSize();
  virtual TRect GetBitmapRect();
  TPoint BitmapToControl(const TPoint& P);
  TPoint ControlToBitmap(const TPoint& P);
  const TRect& CachedBitmapRect();
  void InvalidateCache() { FCacheValid = false; }
  // The bitmap takes the viewport's size inside one update, optionally cleared, then repaints.
  void SetupBitmap(bool DoClear = false, TColor32 ClearColor = 0xFF000000);
  // Paints the picture into Dest's DestRect with every run-time stage.
  void PaintTo(TBitmap32& Dest, const TRect& DestRect);
  void Invalidate() override;
  void Resize() override;
  void SetRepaintMode(TRepaintMode Value) override;

  // The stages' painters.
  void ExecCustom(TBitmap32& Dest, std::int32_t StageNum);
  void ExecClearBuffer(TBitmap32& Dest, std::int32_t StageNum);
  void ExecClearBackgnd(TBitmap32& Dest, std::int32_t StageNum);
  void ExecDrawBitmap(TBitmap32& Dest, std::int32_t StageNum);
  void ExecDrawLayers(TBitmap32& Dest, std::int32_t StageNum);
  void ExecControlFrame(TBitmap32& Dest, std::int32_t StageNum);
  void ExecBitmapFrame(TBitmap32& Dest, std::int32_t StageNum);

  // Mouse input in control coordinates: to the layers, then the control's events.
  TCustomLayer* MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  TCustomLayer* MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  TCustomLayer* MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  // The mouse left the control: the screen cursor goes back to the default when layers take
  // mouse events and none listens.
  void MouseLeave();
  // Whether the control holds the mouse (no layer listens after a press).
  bool MouseCaptured() const { return FMouseCaptured; }

  std::function<void(TCustomImage32*Sender)> OnChange, OnBitmapResize, OnInitStages, OnScaleChange,
      OnScroll;
  std::function<void(TCustomImage32* Sender, TBitmap32& Buffer, std::int32_t StageNum)>
      OnPaintStage;
  TImgMouseEvent OnMouseDown, OnMouseUp;
  TImgMouseMoveEvent OnMouseMove;

 protected:
  void DoPaintBuffer() override;
  // The layers changed: with the optimiser in use it has their areas, so the buffer is
  // repainted where they were and are; otherwise all of it.
  void LayersChanged();
  virtual void BitmapResized();
  virtual void BitmapChanged(const TRect& Area);
  void UpdateCache();
  // Both scales, each at least 0.001; a change notifies.
  void SetScales(float X, float Y);
  void InitDefaultStages();
  // The handlers of the stages that run now (design-time flags at design time).
  std::vector<std::pair<TPaintStageHandler, std::int32_t>> StageHandlers();

  TBitmap32 FBitmap;
  std::unique_ptr<TLayerCollection> FLayers;
  TPaintStages FPaintStages;
  TBitmapAlign FBitmapAlign = baTopLeft;
  TScaleMode FScaleMode = smNormal;
  float FScaleX = 1.0f, FScaleY = 1.0f;
  float FOffsetHorz = 0, FOffsetVert = 0;
  std::int32_t FUpdateCount = 0;
  TRect FCachedBitmapRect;
  bool FCacheValid = false;
  bool FMouseCaptured = false;
};

// The size grip in R: the scroll-bar theme's size box (part 10, right-aligned state 1) while
// visual styles are in use, else the classic frame control (DFC_SCROLL, DFCS_SCROLLSIZEGRIP).
void DrawSizeGrip(TBarCanvas& Canvas, const TRect& R);

class TCustomImgView32;

// The view's scroll bars: their look (both bars), the step of their buttons and wheel, their
// thickness and when they show; a change re-lays the view.
class TIVScrollProperties : public TArrowBarAccess {
 public:
  explicit TIVScrollProperties(TCustomImgView32& View) : FView(View) {}
  std::uint32_t Increment() const;
  void SetIncrement(std::uint32_t Value);
  // 0: the system's scroll-bar height.
  std::int32_t Size() const { return FSize; }
  void SetSize(std::int32_t Value);
  TScrollBarVisibility Visibility() const { return FVisibility; }
  void SetVisibility(TScrollBarVisibility Value);

 private:
  TCustomImgView32& FView;
  std::int32_t FSize = 0;
  TScrollBarVisibility FVisibility = svAuto;
};

class TCustomImgView32 : public TCustomImage32 {
 public:
  // The bars are the view's children; the view sets their parameters and reads their moves.
  TCustomImgView32(TPaintBoxHost& Host, TCustomRangeBar& HScroll, TCustomRangeBar& VScroll);
  // The bars may outlive the view: they stop reporting to it.
  ~TCustomImgView32() override;

  TCustomRangeBar& HScroll() { return FHScroll; }
  TCustomRangeBar& VScroll() { return FVScroll; }
  bool Centered() const { return FCentered; }
  void SetCentered(bool Value);
  std::int32_t OverSize() const { return FOverSize; }
  void SetOverSize(std::int32_t Value);
  TSizeGripStyle SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(TSizeGripStyle Value);
  TIVScrollProperties& ScrollBars() { return FScrollBars; }
  // Whether the parent form can be sized from the grip (sgAuto shows it only then).
  void SetGripAllowed(bool Value);

  TRect GetViewportRect() override;
  bool ScrollBarsVisible() const { return FBarsVisible; }
  TRect SizeGripRect() const { return FGripRect; }
  // The square between the bars (empty while they are hidden).
  TRect CornerRect() const { return FCornerRect; }
  // Fills the square between the bars with Color (0x00BBGGRR), then draws the size grip on it
  // when shown: the themed grip leaves its background to what lies below it.
  void PaintCorner(TBarCanvas& Canvas, std::uint32_t Color);
  std::int32_t ScrollBarSize();
  void Scroll(std::int32_t Dx, std::int32_t Dy);
  void ScrollToCenter(std::int32_t X, std::int32_t Y);
  void SetScale(float Value) override;
  void Resize() override;
  // Places the bars, sets their ranges and windows, then the offsets.
  void UpdateScrollBars();
  void UpdateImage();

 protected:
  void BitmapResized() override;
  void ScrollHandler();
  void CenterOrOrigin();
  std::int32_t OverSizeScaled() const;

  TCustomRangeBar& FHScroll;
  TCustomRangeBar& FVScroll;
  bool FCentered = true;
  std::int32_t FOverSize = 0;
  TSizeGripStyle FSizeGrip = sgAuto;
  TIVScrollProperties FScrollBars{*this};
  bool FGripAllowed = true;
  bool FBarsVisible = false;
  TRect FGripRect;
  TRect FCornerRect;
  bool FScrollLock = false;
};

}  // namespace gfx
