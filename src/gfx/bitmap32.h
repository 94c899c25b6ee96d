// The bitmap core: colour and rectangle functions, the change-notifying persistent bases, the
// sized map and the 32-bit ARGB bitmap TBitmap32 with its storage, pixel access, copying,
// change notification and streaming; and the sampler bases that its resampler derives from.
//   TNotifiablePersistent: BeginUpdate/EndUpdate count nesting; Changed fires OnChange at count
//   0 only. EndUpdate never calls Changed: changes made inside an update stay silent unless the
//   caller calls Changed afterwards (Assign does).
//   TThreadPersistent: a recursive lock per object, with an atomic count of Lock calls.
//   TCustomMap: SetSize (negatives become 0; the same size does nothing and returns false).
//   TBitmap32: a top-down block of Width x Height pixels with a row stride of exactly Width,
//   held by a storage backend (a device-independent section with its memory device context on
//   Windows, an aligned heap block elsewhere). SetSize does not clear the pixels. The S forms of
//   the pixel accessors honour the clip rectangle; the plain ones do not check anything.
//   Changed reports the whole bitmap to OnAreaChanged (also inside an update while measuring)
//   and then, outside measuring mode, fires OnChange at update count 0.
//   The resampler is owned and never null: the constructor makes a "TNearestResampler" from
//   the resampler registry (the resampler unit registers its classes at start-up).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/types.h"
#include "rtl/exceptions.h"
#include "rtl/stream.h"
#include "ui/persistent.h"

namespace gfx {

// ---- Colours ----

constexpr TColor32 Color32(std::int32_t R, std::int32_t G, std::int32_t B, std::int32_t A = 0xFF) {
  return (static_cast<TColor32>(A) & 0xFF) << 24 | (static_cast<TColor32>(R) & 0xFF) << 16 |
         (static_cast<TColor32>(G) & 0xFF) << 8 | (static_cast<TColor32>(B) & 0xFF);
}
inline constexpr TColor32 clBlack32 = 0xFF000000;
inline constexpr TColor32 clWhite32 = 0xFFFFFFFF;
inline constexpr TColor32 clRed32 = 0xFFFF0000;

// A platform colour: 0x00BBGGRR, or negative for a system colour (index in the low byte).
using TWinColor = std::int32_t;
// The platform's system colour of an index, as 0x00BBGGRR.
using TSysColorFunc = std::uint32_t (*)(std::int32_t Index);
std::uint32_t PlatformSysColor(std::int32_t Index);
// Always opaque.
TColor32 WinColorToColor32(TWinColor WinColor, TSysColorFunc SysColor = PlatformSysColor);
// NewAlpha clamped to 0..255.
TColor32 SetAlpha(TColor32 Color, std::int32_t NewAlpha);

inline std::uint8_t GammaTable[256];
// GammaTable[i] := round(255 x (i / 255) ^ Gamma), ties to even.
void SetGamma(double Gamma = 0.7);

// ---- Rectangles ----

enum TRectRounding { rrClosest, rrOutside, rrInside };

constexpr TRect MakeRect(std::int32_t L, std::int32_t T, std::int32_t R, std::int32_t B) {
  return TRect{L, T, R, B};
}
TRect MakeRect(const TFloatRect& FR, TRectRounding Rounding = rrClosest);
TRect MakeRect(const TFixedRect& FXR, TRectRounding Rounding = rrClosest);
TFixedRect FixedRect(const TRect& R);
TFloatRect FloatRect(const TRect& R);
TFloatRect FloatRect(const TFixedRect& FXR);
// True when the intersection has right >= left and bottom >= top (so also for rectangles that
// only touch: test IsRectEmpty for an area); on false Dst is all zero.
bool IntersectRect(TRect& Dst, const TRect& R1, const TRect& R2);
inline bool EqualRect(const TRect& R1, const TRect& R2) {
  return R1 == R2;
}
void InflateRect(TRect& R, std::int32_t Dx, std::int32_t Dy);
void OffsetRect(TRect& R, std::int32_t Dx, std::int32_t Dy);
inline bool IsRectEmpty(const TRect& R) {
  return R.right <= R.left || R.bottom <= R.top;
}
inline bool PtInRect(const TRect& R, const TPoint& P) {
  return P.X >= R.left && P.X < R.right && P.Y >= R.top && P.Y < R.bottom;
}
// round(X x 65536), ties to even, saturated to the 32-bit range (NaN gives the lowest value).
TFixed Fixed(float X);
constexpr TFixed Fixed(std::int32_t X) {
  return static_cast<TFixed>(static_cast<std::uint32_t>(X) << 16);
}

// ---- Persistent bases ----

// An unpaired EndUpdate: a programming error.
class EAssertionFailed : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

using TNotifyEvent = std::function<void(ui::TPersistent* Sender)>;

class TNotifiablePersistent : public ui::TPersistent {
 public:
  std::wstring_view ClassName() const override { return L"TNotifiablePersistent"; }

  virtual void Changed();
  virtual void BeginUpdate();
  // Raises EAssertionFailed "Unpaired TThreadPersistent.EndUpdate" below zero.
  virtual void EndUpdate();
  std::int32_t UpdateCount() const { return FUpdateCount; }

  TNotifyEvent OnChange;

 protected:
  std::int32_t FUpdateCount = 0;
};

class TThreadPersistent : public TNotifiablePersistent {
 public:
  std::wstring_view ClassName() const override { return L"TThreadPersistent"; }

  void Lock();
  void Unlock();
  std::int32_t LockCount() const { return FLockCount.load(); }

 protected:
  std::recursive_mutex FLock;
  std::atomic<std::int32_t> FLockCount{0};
};

class TCustomMap : public TThreadPersistent {
 public:
  std::wstring_view ClassName() const override { return L"TCustomMap"; }

  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }
  void SetWidth(std::int32_t NewWidth) { SetSize(NewWidth, FHeight); }
  void SetHeight(std::int32_t NewHeight) { SetSize(FWidth, NewHeight); }

  virtual void Delete() { SetSize(0, 0); }
  virtual bool Empty() const { return FWidth == 0 || FHeight == 0; }
  virtual void Resized();
  virtual bool SetSize(std::int32_t NewWidth, std::int32_t NewHeight);
  // From another map, a platform control or nothing (0 x 0); anything else raises
  // "Can't set size from '<class name>'".
  void SetSizeFrom(const ui::TPersistent* Source);

  TNotifyEvent OnResize;

 protected:
  virtual void ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                          std::int32_t NewHeight);

  std::int32_t FHeight = 0;
  std::int32_t FWidth = 0;
};

// The size of a platform object (a control) for SetSizeFrom; false for anything else.
bool PlatformObjectSize(const ui::TPersistent& Source, std::int32_t& Width, std::int32_t& Height);

// ---- TBitmap32 ----

enum TDrawMode : std::uint8_t { dmOpaque, dmBlend, dmCustom, dmTransparent };

class TBitmap32;
// Source colour, destination colour (changed in place), master alpha.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, std::uint32_t M)>;
using TAreaChangedEvent =
    std::function<void(TBitmap32* Sender, const TRect& Area, std::uint32_t Info)>;

// The info word of an area change that covers a whole rectangle; bit 30 marks a line whose
// width is in the low 24 bits.
inline constexpr std::uint32_t AREAINFO_RECT = 0x80000000;
inline constexpr std::uint32_t AREAINFO_LINE = 0x40000000;

// Where a bitmap's pixels live, and the platform's drawing objects around them.
class TBitmapStorage {
 public:
  virtual ~TBitmapStorage() = default;
  // Width x Height pixels (both at least 1), top-down, stride Width; on failure raises
  // rtl::Exception with "Can't allocate the DIB handle", "Can't create compatible DC" or
  // "Can't select an object into DC" and holds nothing.
  virtual TColor32* Allocate(std::int32_t Width, std::int32_t Height) = 0;
  virtual void Release() = 0;
  // The platform side (device context, canvas, font); nothing by default.
  virtual void FontChanged() {}
  virtual void DeleteCanvas() {}
  virtual void HandleChanged() {}
  virtual void AssignFont(const TBitmapStorage& /*Source*/) {}

  // Set by the bitmap to its Changed: fired when its canvas has drawn.
  std::function<void()> OnCanvasChanged;
};

// The platform's storage: a device-independent section on Windows, a 64-byte-aligned heap
// block elsewhere.
std::unique_ptr<TBitmapStorage> NewPlatformBitmapStorage();

// Start-up of the bitmap unit (after the resamplers): SetGamma(0.7) and the platform's stock
// font and bitmap; shutdown frees the stock bitmap.
void InitializeBitmapUnit();
void FinalizeBitmapUnit();
// The platform's part of them (nothing on the host).
void CreatePlatformStockObjects();
void FreePlatformStockObjects();

// ---- Samplers (the resamplers themselves live in the resampler unit) ----

class TCustomSampler : public TNotifiablePersistent {
 public:
  std::wstring_view ClassName() const override { return L"TCustomSampler"; }
  // Each default forwards to another form; a subclass overrides at least one.
  virtual TColor32 GetSampleInt(std::int32_t X, std::int32_t Y);
  virtual TColor32 GetSampleFixed(TFixed X, TFixed Y);
  virtual TColor32 GetSampleFloat(float X, float Y);
  virtual void PrepareSampling() {}
  virtual void FinalizeSampling() {}
  virtual bool HasBounds() { return false; }
  virtual TRect GetSampleBounds();
};

class TCustomResampler : public TCustomSampler {
 public:
  std::wstring_view ClassName() const override { return L"TCustomResampler"; }
  virtual float GetWidth() = 0;
  virtual void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                        const TRect& SrcRect, TDrawMode CombineOp,
                        const TPixelCombineEvent& CombineCallBack) = 0;
  // Copies the published properties of a resampler of the same kind.
  virtual void Assign(const TCustomResampler& /*Source*/) {}
};

// A resampler class of the registry: its name and how to make one for a bitmap.
struct TResamplerClass {
  std::wstring_view Name;
  std::unique_ptr<TCustomResampler> (*Create)(TBitmap32* Bitmap);
};
// Appends to the registry (created on first registration); the registry holds the address.
void RegisterResampler(const TResamplerClass& Class);
// The first class of exactly that name, or null (also when there is no registry).
const TResamplerClass* FindResamplerClass(std::wstring_view Name);
bool ResamplerRegistryExists();
// Shutdown: frees the registry.
void FreeResamplerRegistry();

class TBitmap32 : public TCustomMap {
 public:
  TBitmap32();
  explicit TBitmap32(std::unique_ptr<TBitmapStorage> Storage);
  ~TBitmap32() override;

  std::wstring_view ClassName() const override { return L"TBitmap32"; }

  // Copies a bitmap (null empties this one) inside one update, then Changed.
  void Assign(const TBitmap32* Source);
  void CopyMapTo(TBitmap32& Dst) const;
  void CopyPropertiesTo(TBitmap32& Dst) const;

  void Changed() override;
  virtual void Changed(const TRect& Area, std::uint32_t Info);
  void PropertyChanged() { TNotifiablePersistent::Changed(); }

  bool Empty() const override;
  TBitmapStorage& Storage() const { return *FStorage; }

  // Pixels: unchecked, and S forms that honour the clip rectangle. None reports a change.
  TColor32* Bits() const { return FBits; }
  TColor32* PixelPtr(std::int32_t X, std::int32_t Y) const {
    return FBits + X + static_cast<std::ptrdiff_t>(Y) * FWidth;
  }
  TColor32* ScanLine(std::int32_t Y) const { return PixelPtr(0, Y); }
  TColor32 GetPixel(std::int32_t X, std::int32_t Y) const { return *PixelPtr(X, Y); }
  void SetPixel(std::int32_t X, std::int32_t Y, TColor32 Value) { *PixelPtr(X, Y) = Value; }
  TColor32 GetPixelS(std::int32_t X, std::int32_t Y) const;
  void SetPixelS(std::int32_t X, std::int32_t Y, TColor32 Value);

  TRect BoundsRect() const { return TRect{0, 0, FWidth, FHeight}; }
  const TRect& ClipRect() const { return FClipRect; }
  void SetClipRect(const TRect& Value);
  void ResetClipRect() { SetClipRect(BoundsRect()); }
  const TFixedRect& FixedClipRect() const { return FFixedClipRect; }
  const TRect& ClipRect256() const { return F256ClipRect; }
  bool Clipping() const { return FClipping; }

  // Fills the clip rectangle through FillRect when clipping (or all pixels) outside measuring
  // mode, then Changed.
  void Clear() { Clear(clBlack32); }
  void Clear(TColor32 FillColor);

  TDrawMode DrawMode() const { return FDrawMode; }
  void SetDrawMode(TDrawMode Value);
  TCombineMode CombineMode() const { return FCombineMode; }
  void SetCombineMode(TCombineMode Value);
  TWrapMode WrapMode() const { return FWrapMode; }
  void SetWrapMode(TWrapMode Value);
  std::uint32_t MasterAlpha() const { return FMasterAlpha; }
  void SetMasterAlpha(std::uint32_t Value);
  TColor32 OuterColor() const { return FOuterColor; }
  void SetOuterColor(TColor32 Value) { FOuterColor = Value; }
  TColor32 PenColor() const { return FPenColor; }
  void SetPenColor(TColor32 Value) { FPenColor = Value; }

  TCustomResampler* Resampler() const { return FResampler.get(); }
  // A non-null resampler other than the current one replaces (and frees) it, then Changed.
  void SetResampler(std::unique_ptr<TCustomResampler> Value);
  std::wstring ResamplerClassName() const;
  // Looks the name up in the registry; an unknown name changes nothing.
  void SetResamplerClassName(std::wstring_view Value);

  bool MeasuringMode() const { return FMeasuringMode; }
  void BeginMeasuring(TAreaChangedEvent Callback);
  void EndMeasuring();

  // Width and height (little-endian 32-bit), then the pixels in memory order (B, G, R, A).
  void WriteData(rtl::TStream& Stream) const;
  // The reverse; a stream too short for the stored size raises before anything is resized.
  void ReadData(rtl::TStream& Stream);
  // Both empty, or the same class, size and pixels.
  bool Equal(const TBitmap32& B) const;
  // Whether "Data" is written for a form file against its ancestor.
  bool DataStored(const ui::TPersistent* Ancestor) const;

  TNotifyEvent OnHandleChanged;
  TPixelCombineEvent OnPixelCombine;
  TAreaChangedEvent OnAreaChanged;

  // Stored and returned unchanged.
  std::int32_t Version = 0, ColorMode = 0, DitheringMode = 0;
  void* CustomData = nullptr;
  void* UserData = nullptr;

 protected:
  void ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                  std::int32_t NewHeight) override;
  virtual void HandleChanged();

  TColor32* FBits = nullptr;
  TRect FClipRect;
  TFixedRect FFixedClipRect;
  TRect F256ClipRect;
  bool FClipping = false;
  TDrawMode FDrawMode = dmOpaque;
  TCombineMode FCombineMode = cmBlend;
  TWrapMode FWrapMode = wmClamp;
  std::uint32_t FMasterAlpha = 255;
  TColor32 FOuterColor = 0;
  TColor32 FPenColor = 0xFFFFFFFF;
  // Stipple and pen position of the drawing routines.
  float FStippleCounter = 0;
  std::vector<TColor32> FStipplePattern;
  float FStippleStep = 1.0f;
  std::int32_t RasterX = 0, RasterY = 0;
  TFixed RasterXF = 0, RasterYF = 0;
  TAreaChangedEvent FOldOnAreaChanged;
  bool FMeasuringMode = false;

 private:
  std::unique_ptr<TBitmapStorage> FStorage;
  std::unique_ptr<TCustomResampler> FResampler;
};

}  // namespace gfx
