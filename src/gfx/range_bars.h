// Self-drawn scroll bars: TArrowBar (two arrow buttons, a track, repeat on hold, hot tracking)
// and TCustomRangeBar (a handle that shows a window of a range at a floating-point position).
//   The bars decide here: sizes, zones, stepping, dragging, the repeat timer's phases and what
//   each part paints. The window around them (size, enabled state, timer, cursor, repaint) is
//   a TArrowBarHost, and painting goes to a TBarCanvas; the Windows control supplies both.
//   Colours are platform colour values (0x00BBGGRR, or 0xFF000000 plus a system colour index),
//   resolved to plain values before any arithmetic.
//   Dragging the handle converts mouse movement with the handle's own track length (both buttons
//   left out), so the handle follows the mouse. A wheel rolled up (positive delta) moves toward
//   the start.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "gfx/bitmap32.h"
#include "gfx/types.h"

namespace gfx {

enum TRBZone : std::uint8_t { zNone, zBtnPrev, zTrackPrev, zHandle, zTrackNext, zBtnNext };
enum TRBArrowDirection : std::uint8_t { adLeft, adUp, adRight, adDown };
// Sides of a rectangle by direction: bit n for direction n (left, top, right, bottom).
using TRBDirections = std::uint8_t;
inline constexpr TRBDirections AllSides = 0x0F;
constexpr TRBDirections Side(TRBArrowDirection D) {
  return static_cast<TRBDirections>(1u << D);
}
constexpr TRBArrowDirection Opposite(TRBArrowDirection D) {
  return static_cast<TRBArrowDirection>((D + 2) & 3);
}

enum TRBStyle : std::uint8_t { rbsDefault, rbsMac };
enum TRBBackgnd : std::uint8_t { bgPattern, bgSolid };
enum TRBBorderStyle : std::uint8_t { bsNone, bsSingle };
enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };

// Platform colour values of the system colours the bars use.
inline constexpr TWinColor clScrollBar = static_cast<TWinColor>(0xFF000000);
inline constexpr TWinColor clWindowFrame = static_cast<TWinColor>(0xFF000006);
inline constexpr TWinColor clBtnFace = static_cast<TWinColor>(0xFF00000F);
inline constexpr TWinColor clBtnShadow = static_cast<TWinColor>(0xFF000010);
inline constexpr TWinColor clBtnHighlight = static_cast<TWinColor>(0xFF000014);

// Where the bars paint: the platform's drawing calls, with colours already resolved to
// 0x00BBGGRR values.
class TBarCanvas {
 public:
  virtual ~TBarCanvas() = default;
  // Whether visual styles are in use; the themed calls go to the scroll-bar theme.
  virtual bool ThemesEnabled() = 0;
  virtual void DrawThemeBackground(int Part, int State, const TRect& R) = 0;
  virtual void DrawFrameControl(const TRect& R, unsigned Type, unsigned State) = 0;
  virtual void DrawEdge(const TRect& R, unsigned Edge, unsigned Flags) = 0;
  virtual void FillSolid(const TRect& R, std::uint32_t Color) = 0;
  // The 8 x 8 pattern brush: C2 where column and row have the same parity, C1 elsewhere.
  virtual void FillPattern(const TRect& R, std::uint32_t C1, std::uint32_t C2) = 0;
  virtual void FrameRect(const TRect& R, std::uint32_t Color) = 0;
  // The platform's polyline (the last point left out) and filled polygon, pen width 1.
  virtual void Polyline(std::span<const TPoint> Points, std::uint32_t Color) = 0;
  virtual void Polygon(std::span<const TPoint> Points, std::uint32_t Color) = 0;
  // The system colour of an index, 0x00BBGGRR.
  virtual std::uint32_t SysColor(std::int32_t Index) = 0;
};

// The colour and drawing routines of the bars.
std::uint32_t ResolveColor(TWinColor Color, TBarCanvas& Canvas);
std::uint32_t LightenColor(std::uint32_t Color, std::int32_t Amount);
std::uint32_t BlendColors(std::uint32_t C1, std::uint32_t C2, std::int32_t W);
void FillDithered(TBarCanvas& Canvas, const TRect& R, std::uint32_t C1, std::uint32_t C2);
void DrawSides(TBarCanvas& Canvas, TRect& R, TRBDirections Sides, std::uint32_t Color);
void DrawBevel(TBarCanvas& Canvas, TRect& R, std::uint32_t TopColor, std::uint32_t BottomColor,
               bool Shrink);
void DrawArrowGlyph(TBarCanvas& Canvas, const TRect& R, TRBArrowDirection Direction,
                    std::uint32_t Color);
void DrawFlatHandle(TBarCanvas& Canvas, TRect R, std::uint32_t Color, bool Pushed, bool ShowGrip,
                    bool Horz, std::uint32_t BorderColor);

// The window around a bar.
class TArrowBarHost {
 public:
  virtual ~TArrowBarHost() = default;
  // The client area, (0, 0, width, height).
  virtual TRect BarClientRect() = 0;
  virtual bool BarEnabled() = 0;
  virtual void BarInvalidate() = 0;
  // Starts (or restarts) the repeat timer at Interval ms; 0 stops it.
  virtual void BarSetTimer(std::uint32_t Interval) = 0;
  virtual bool BarCursorInside() = 0;
  // The window is made again (its border changed); nothing without a window.
  virtual void BarRecreateHandle() = 0;
};

using TBarNotifyEvent = std::function<void(class TArrowBar* Sender)>;

class TArrowBar {
 public:
  explicit TArrowBar(TArrowBarHost& Host) : FHost(Host) {}
  virtual ~TArrowBar() = default;
  TArrowBar(const TArrowBar&) = delete;
  TArrowBar& operator=(const TArrowBar&) = delete;

  TScrollBarKind Kind() const { return FKind; }
  // The host swaps width and height itself when it changes the orientation.
  void SetKind(TScrollBarKind Value);
  bool Horz() const { return FKind == sbHorizontal; }
  bool ShowArrows() const { return FShowArrows; }
  void SetShowArrows(bool Value);
  bool ShowHandleGrip() const { return FShowHandleGrip; }
  void SetShowHandleGrip(bool Value);
  TRBBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TRBBorderStyle Value);
  std::int32_t ButtonSize() const { return FButtonSize; }
  void SetButtonSize(std::int32_t Value);
  TRBStyle Style() const { return FStyle; }
  void SetStyle(TRBStyle Value);
  TRBBackgnd Backgnd() const { return FBackgnd; }
  void SetBackgnd(TRBBackgnd Value);
  TWinColor Color() const { return FColor; }
  void SetColor(TWinColor Value);
  TWinColor HandleColor() const { return FHandleColor; }
  void SetHandleColor(TWinColor Value);
  TWinColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TWinColor Value);
  TWinColor HighLightColor() const { return FHighLightColor; }
  void SetHighLightColor(TWinColor Value);
  TWinColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TWinColor Value);
  TWinColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TWinColor Value);

  TRBZone DragZone() const { return FDragZone; }
  TRBZone HotZone() const { return FHotZone; }
  std::int32_t TimerMode() const { return FTimerMode; }

  // Algorithms: the button size, the zone under a point and each zone's painted rectangle.
  std::int32_t GetButtonSize();
  TRBZone GetZone(std::int32_t X, std::int32_t Y);
  TRect GetZoneRect(TRBZone Zone);

  void Paint(TBarCanvas& Canvas);
  virtual void PaintButton(TBarCanvas& Canvas, TRect R, TRBArrowDirection Direction, bool Pushed,
                           bool Enabled, bool Hot);
  virtual void PaintTrack(TBarCanvas& Canvas, TRect R, TRBArrowDirection Direction, bool Pushed,
                          bool Enabled, bool Hot);
  virtual void PaintHandle(TBarCanvas& Canvas, TRect R, bool Horz, bool Pushed, bool Hot);
  virtual bool PaintsEnabled() { return FHost.BarEnabled(); }
  virtual TRect GetHandleBounds() { return TRect{}; }

  // Mouse input in client coordinates (left button only for presses and releases).
  virtual void MouseDown(std::int32_t X, std::int32_t Y);
  virtual void MouseMove(std::int32_t X, std::int32_t Y);
  virtual void MouseUp(std::int32_t X, std::int32_t Y);
  virtual void MouseExited();
  virtual void TimerTick();
  // The enabled state changed: repaint.
  void EnabledChanged() { FHost.BarInvalidate(); }

  TBarNotifyEvent OnChange;
  TBarNotifyEvent OnUserChange;

 protected:
  virtual void FireChange();
  // A step of the pressed zone; false when nothing moved (the range bar's).
  virtual bool DoStep() { return false; }
  // The along-the-bar length and coordinate of the client area.
  std::int32_t Length();
  std::int32_t Along(std::int32_t X, std::int32_t Y) const { return Horz() ? X : Y; }
  void SetTimerMode(std::int32_t Mode);
  void Repaint() { FHost.BarInvalidate(); }
  template <typename T>
  void Store(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
  }

  TArrowBarHost& FHost;
  TRBBackgnd FBackgnd = bgPattern;
  TRBBorderStyle FBorderStyle = bsSingle;
  std::int32_t FButtonSize = 0;
  TWinColor FColor = clScrollBar;
  TWinColor FHandleColor = clBtnShadow;
  TWinColor FButtonColor = clBtnFace;
  TWinColor FHighLightColor = clBtnHighlight;
  TWinColor FShadowColor = clBtnShadow;
  TWinColor FBorderColor = clWindowFrame;
  TScrollBarKind FKind = sbHorizontal;
  bool FShowArrows = true;
  bool FShowHandleGrip = true;
  TRBStyle FStyle = rbsDefault;
  bool GenChange = false;
  TRBZone FDragZone = zNone;
  TRBZone FHotZone = zNone;
  std::int32_t FTimerMode = 0;
  std::int32_t StoredX = 0, StoredY = 0;
  float PosBeforeDrag = 0;
};

class TCustomRangeBar : public TArrowBar {
 public:
  using TArrowBar::TArrowBar;

  std::int32_t Range() const { return FRange; }
  void SetRange(std::int32_t Value) { SetParams(Value, FWindow); }
  std::int32_t Window() const { return FWindow; }
  void SetWindow(std::int32_t Value) { SetParams(FRange, Value); }
  std::int32_t EffectiveWindow() const { return FEffectiveWindow; }
  float Position() const { return FPosition; }
  void SetPosition(float Value);
  std::uint16_t Increment() const { return FIncrement; }
  // 1 to 32768.
  void SetIncrement(std::uint32_t Value);
  bool Centered() const { return FCentered; }
  void SetCentered(bool Value) { FCentered = Value; }

  void SetParams(std::int32_t NewRange, std::int32_t NewWindow);
  // The client area changed size.
  void Resize();
  // The wheel turned by Delta (WheelStep a notch); rolled up moves toward the start.
  void MouseWheel(std::int32_t Delta, std::int32_t WheelStep = 120);

  bool PaintsEnabled() override;
  TRect GetHandleBounds() override;
  void MouseDown(std::int32_t X, std::int32_t Y) override;
  void MouseMove(std::int32_t X, std::int32_t Y) override;

 protected:
  bool DoStep() override;
  // The along-the-bar length of the track (the bar less both buttons).
  std::int32_t TrackLength();
  // Recomputes the effective window; a centred bar keeps its relative centre.
  void AdjustPosition(std::int32_t OldRange, std::int32_t OldWindow);
  void ClampPosition();

  bool FCentered = false;
  std::int32_t FEffectiveWindow = 0;
  std::uint16_t FIncrement = 8;
  float FPosition = 0;
  std::int32_t FRange = 0;
  std::int32_t FWindow = 0;
};

// Forwards the bars' look to a master bar and, when set, a slave bar: each setter writes both,
// each getter reads the master (the creation default without one).
class TArrowBarAccess {
 public:
  TArrowBar* Master() const { return FMaster; }
  void SetMaster(TArrowBar* Value) { FMaster = Value; }
  TArrowBar* Slave() const { return FSlave; }
  void SetSlave(TArrowBar* Value) { FSlave = Value; }

  TRBBackgnd Backgnd() const { return Get(&TArrowBar::Backgnd, bgPattern); }
  void SetBackgnd(TRBBackgnd Value) { Set(&TArrowBar::SetBackgnd, Value); }
  std::int32_t ButtonSize() const { return Get(&TArrowBar::ButtonSize, 0); }
  void SetButtonSize(std::int32_t Value) { Set(&TArrowBar::SetButtonSize, Value); }
  TWinColor Color() const { return Get(&TArrowBar::Color, clScrollBar); }
  void SetColor(TWinColor Value) { Set(&TArrowBar::SetColor, Value); }
  TWinColor HandleColor() const { return Get(&TArrowBar::HandleColor, clBtnShadow); }
  void SetHandleColor(TWinColor Value) { Set(&TArrowBar::SetHandleColor, Value); }
  TWinColor HighLightColor() const { return Get(&TArrowBar::HighLightColor, clBtnHighlight); }
  void SetHighLightColor(TWinColor Value) { Set(&TArrowBar::SetHighLightColor, Value); }
  TWinColor ShadowColor() const { return Get(&TArrowBar::ShadowColor, clBtnShadow); }
  void SetShadowColor(TWinColor Value) { Set(&TArrowBar::SetShadowColor, Value); }
  TWinColor ButtonColor() const { return Get(&TArrowBar::ButtonColor, clBtnFace); }
  void SetButtonColor(TWinColor Value) { Set(&TArrowBar::SetButtonColor, Value); }
  TWinColor BorderColor() const { return Get(&TArrowBar::BorderColor, clWindowFrame); }
  void SetBorderColor(TWinColor Value) { Set(&TArrowBar::SetBorderColor, Value); }
  bool ShowArrows() const { return Get(&TArrowBar::ShowArrows, true); }
  void SetShowArrows(bool Value) { Set(&TArrowBar::SetShowArrows, Value); }
  bool ShowHandleGrip() const { return Get(&TArrowBar::ShowHandleGrip, true); }
  void SetShowHandleGrip(bool Value) { Set(&TArrowBar::SetShowHandleGrip, Value); }
  TRBStyle Style() const { return Get(&TArrowBar::Style, rbsDefault); }
  void SetStyle(TRBStyle Value) { Set(&TArrowBar::SetStyle, Value); }

 private:
  template <typename T>
  T Get(T (TArrowBar::*Getter)() const, T Default) const {
    return FMaster ? (FMaster->*Getter)() : Default;
  }
  template <typename T>
  void Set(void (TArrowBar::*Setter)(T), T Value) {
    if (FMaster) (FMaster->*Setter)(Value);
    if (FSlave) (FSlave->*Setter)(Value);
  }

  TArrowBar* FMaster = nullptr;
  TArrowBar* FSlave = nullptr;
};

}  // namespace gfx
