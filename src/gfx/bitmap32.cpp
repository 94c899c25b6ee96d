#include "gfx/bitmap32.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "gfx/containers.h"
#include "gfx/drawing.h"
#include "gfx/fixed_math.h"
#include "gfx/lowlevel.h"

namespace gfx {

// ---- Colours ----

TColor32 WinColorToColor32(TWinColor WinColor, TSysColorFunc SysColor) {
  std::uint32_t rgb = static_cast<std::uint32_t>(WinColor);
  if (WinColor < 0) rgb = SysColor(WinColor & 0xFF);
  return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

TColor32 SetAlpha(TColor32 Color, std::int32_t NewAlpha) {
  const std::int32_t alpha = std::clamp(NewAlpha, 0, 255);
  return (Color & 0x00FFFFFF) | static_cast<TColor32>(alpha) << 24;
}

void SetGamma(double Gamma) {
  for (int i = 0; i < 256; ++i)
    GammaTable[i] = static_cast<std::uint8_t>(std::nearbyint(255.0 * std::pow(i / 255.0, Gamma)));
}

void InitializeBitmapUnit() {
  SetGamma(0.7);
  CreatePlatformStockObjects();
}

void FinalizeBitmapUnit() {
  FreePlatformStockObjects();
}

// ---- Rectangles ----

namespace {

// Saturated to the 32-bit range, so that no float edge overflows its conversion.
std::int32_t RoundToInt(double v) {
  return SaturatedRound(v);
}

// Raises right to left and bottom to top where they crossed.
TRect Uncrossed(TRect r) {
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

}  // namespace

TRect MakeRect(const TFloatRect& FR, TRectRounding Rounding) {
  switch (Rounding) {
    case rrClosest:
      return TRect{RoundToInt(FR.left), RoundToInt(FR.top), RoundToInt(FR.right),
                   RoundToInt(FR.bottom)};
    case rrOutside:
      return TRect{RoundToInt(std::floor(FR.left)), RoundToInt(std::floor(FR.top)),
                   RoundToInt(std::ceil(FR.right)), RoundToInt(std::ceil(FR.bottom))};
    case rrInside:
      break;
  }
  return Uncrossed(TRect{RoundToInt(std::ceil(FR.left)), RoundToInt(std::ceil(FR.top)),
                         RoundToInt(std::floor(FR.right)), RoundToInt(std::floor(FR.bottom))});
}

TRect MakeRect(const TFixedRect& FXR, TRectRounding Rounding) {
  switch (Rounding) {
    case rrClosest:
      return TRect{FixedRound(FXR.left), FixedRound(FXR.top), FixedRound(FXR.right),
                   FixedRound(FXR.bottom)};
    case rrOutside:
      return TRect{FixedFloor(FXR.left), FixedFloor(FXR.top), FixedCeil(FXR.right),
                   FixedCeil(FXR.bottom)};
    case rrInside:
      break;
  }
  return Uncrossed(TRect{FixedCeil(FXR.left), FixedCeil(FXR.top), FixedFloor(FXR.right),
                         FixedFloor(FXR.bottom)});
}

TFixedRect FixedRect(const TRect& R) {
  return TFixedRect{Fixed(R.left), Fixed(R.top), Fixed(R.right), Fixed(R.bottom)};
}

TFloatRect FloatRect(const TRect& R) {
  return TFloatRect{static_cast<float>(R.left), static_cast<float>(R.top),
                    static_cast<float>(R.right), static_cast<float>(R.bottom)};
}

TFloatRect FloatRect(const TFixedRect& FXR) {
  constexpr float scale = 1.0f / 65536;
  return TFloatRect{FXR.left * scale, FXR.top * scale, FXR.right * scale, FXR.bottom * scale};
}

bool IntersectRect(TRect& Dst, const TRect& R1, const TRect& R2) {
  const TRect r{std::max(R1.left, R2.left), std::max(R1.top, R2.top), std::min(R1.right, R2.right),
                std::min(R1.bottom, R2.bottom)};
  const bool meet = r.right >= r.left && r.bottom >= r.top;
  Dst = meet ? r : TRect{};
  return meet;
}

void InflateRect(TRect& R, std::int32_t Dx, std::int32_t Dy) {
  R.left -= Dx;
  R.top -= Dy;
  R.right += Dx;
  R.bottom += Dy;
}

void OffsetRect(TRect& R, std::int32_t Dx, std::int32_t Dy) {
  R.left += Dx;
  R.top += Dy;
  R.right += Dx;
  R.bottom += Dy;
}

TFixed Fixed(float X) {
  return SaturatedFixed(X);
}

// ---- Persistent bases ----

void TNotifiablePersistent::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TNotifiablePersistent::BeginUpdate() {
  ++FUpdateCount;
}

void TNotifiablePersistent::EndUpdate() {
  if (FUpdateCount <= 0) throw EAssertionFailed("Unpaired TThreadPersistent.EndUpdate");
  --FUpdateCount;
}

void TThreadPersistent::Lock() {
  ++FLockCount;
  FLock.lock();
}

void TThreadPersistent::Unlock() {
  FLock.unlock();
  --FLockCount;
}

void TCustomMap::Resized() {
  if (OnResize) OnResize(this);
}

bool TCustomMap::SetSize(std::int32_t NewWidth, std::int32_t NewHeight) {
  NewWidth = std::max(NewWidth, 0);
  NewHeight = std::max(NewHeight, 0);
  if (NewWidth == FWidth && NewHeight == FHeight) return false;
  ChangeSize(FWidth, FHeight, NewWidth, NewHeight);
  Changed();
  Resized();
  return true;
}

void TCustomMap::ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                            std::int32_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}

void TCustomMap::SetSizeFrom(const ui::TPersistent* Source) {
  if (!Source) {
    SetSize(0, 0);
    return;
  }
  if (const auto* map = dynamic_cast<const TCustomMap*>(Source)) {
    SetSize(map->Width(), map->Height());
    return;
  }
  std::int32_t width = 0, height = 0;
  if (PlatformObjectSize(*Source, width, height)) {
    SetSize(width, height);
    return;
  }
  const std::wstring_view name = Source->ClassName();
  throw rtl::Exception("Can't set size from '" + std::string(name.begin(), name.end()) + "'");
}

// ---- Samplers ----

TColor32 TCustomSampler::GetSampleInt(std::int32_t X, std::int32_t Y) {
  return GetSampleFixed(Fixed(X), Fixed(Y));
}

TColor32 TCustomSampler::GetSampleFixed(TFixed X, TFixed Y) {
  return GetSampleFloat(X * (1.0f / 65536), Y * (1.0f / 65536));
}

TColor32 TCustomSampler::GetSampleFloat(float X, float Y) {
  return GetSampleFixed(Fixed(X), Fixed(Y));
}

TRect TCustomSampler::GetSampleBounds() {
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  return TRect{lo, lo, hi, hi};
}

namespace {

std::unique_ptr<TClassList<const TResamplerClass*>>& Registry() {
  static std::unique_ptr<TClassList<const TResamplerClass*>> registry;
  return registry;
}

}  // namespace

void RegisterResampler(const TResamplerClass& Class) {
  auto& registry = Registry();
  if (!registry) registry = std::make_unique<TClassList<const TResamplerClass*>>();
  registry->Add(&Class);
}

const TResamplerClass* FindResamplerClass(std::wstring_view Name) {
  return Registry() ? Registry()->Find(Name) : nullptr;
}

bool ResamplerRegistryExists() {
  return Registry() != nullptr;
}

void FreeResamplerRegistry() {
  Registry().reset();
}

// ---- TBitmap32 ----

TBitmap32::TBitmap32() : TBitmap32(NewPlatformBitmapStorage()) {}

TBitmap32::TBitmap32(std::unique_ptr<TBitmapStorage> Storage) : FStorage(std::move(Storage)) {
  const TResamplerClass* nearest = FindResamplerClass(L"TNearestResampler");
  if (!nearest) throw rtl::Exception("The resampler class 'TNearestResampler' is not registered");
  FResampler = nearest->Create(this);
  FStorage->OnCanvasChanged = [this] { Changed(); };
}

// Frees storage, canvas and resampler without firing events: handlers may belong to objects
// that are already going away.
TBitmap32::~TBitmap32() {
  BeginUpdate();
  Lock();
  FStorage->FontChanged();
  FStorage->DeleteCanvas();
  FStorage->Release();
  FBits = nullptr;
  FWidth = FHeight = 0;
  FResampler.reset();
  Unlock();
}

void TBitmap32::ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                           std::int32_t NewHeight) {
  FStorage->FontChanged();
  FStorage->DeleteCanvas();
  FStorage->Release();
  FBits = nullptr;
  Width = 0;
  Height = 0;
  // A failed allocation leaves an empty bitmap whose clip rectangle admits no pixel.
  ResetClipRect();
  if (NewWidth >= 1 && NewHeight >= 1) FBits = FStorage->Allocate(NewWidth, NewHeight);
  Width = NewWidth;
  Height = NewHeight;
  ResetClipRect();
  HandleChanged();
}

void TBitmap32::HandleChanged() {
  FStorage->HandleChanged();
  if (OnHandleChanged) OnHandleChanged(this);
}

bool TBitmap32::Empty() const {
  return FBits == nullptr || FWidth == 0 || FHeight == 0;
}

void TBitmap32::Changed() {
  Changed(BoundsRect(), AREAINFO_RECT);
}

void TBitmap32::Changed(const TRect& Area, std::uint32_t Info) {
  if ((FUpdateCount == 0 || FMeasuringMode) && OnAreaChanged) OnAreaChanged(this, Area, Info);
  if (!FMeasuringMode) TNotifiablePersistent::Changed();
}

TColor32 TBitmap32::GetPixelS(std::int32_t X, std::int32_t Y) const {
  return PtInRect(FClipRect, TPoint{X, Y}) ? GetPixel(X, Y) : FOuterColor;
}

void TBitmap32::SetPixelS(std::int32_t X, std::int32_t Y, TColor32 Value) {
  if (PtInRect(FClipRect, TPoint{X, Y})) SetPixel(X, Y, Value);
}

void TBitmap32::SetClipRect(const TRect& Value) {
  IntersectRect(FClipRect, Value, BoundsRect());
  FFixedClipRect = FixedRect(FClipRect);
  const auto times256 = [](std::int32_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) * 256u);
  };
  F256ClipRect = TRect{times256(FClipRect.left), times256(FClipRect.top), times256(FClipRect.right),
                       times256(FClipRect.bottom)};
  FClipping = !(FClipRect == BoundsRect());
}

void TBitmap32::Clear(TColor32 FillColor) {
  if (Empty()) return;
  if (!FMeasuringMode) {
    if (FClipping) {
      // Through FillRect, so that the clip area's change is reported before the whole bitmap's.
      FillRect(*this, FClipRect.left, FClipRect.top, FClipRect.right, FClipRect.bottom, FillColor);
    } else {
      FillLongword(FBits, FWidth * FHeight, FillColor);
    }
  }
  Changed();
}

void TBitmap32::SetDrawMode(TDrawMode Value) {
  if (FDrawMode == Value) return;
  FDrawMode = Value;
  Changed();
}

void TBitmap32::SetCombineMode(TCombineMode Value) {
  if (FCombineMode == Value) return;
  FCombineMode = Value;
  Changed();
}

void TBitmap32::SetWrapMode(TWrapMode Value) {
  if (FWrapMode == Value) return;
  FWrapMode = Value;
  Changed();
}

void TBitmap32::SetMasterAlpha(std::uint32_t Value) {
  if (FMasterAlpha == Value) return;
  FMasterAlpha = Value;
  Changed();
}

void TBitmap32::SetResampler(std::unique_ptr<TCustomResampler> Value) {
  if (!Value || Value.get() == FResampler.get()) return;
  FResampler = std::move(Value);
  Changed();
}

std::wstring TBitmap32::ResamplerClassName() const {
  return std::wstring(FResampler->ClassName());
}

void TBitmap32::SetResamplerClassName(std::wstring_view Value) {
  if (Value.empty() || Value == FResampler->ClassName() || !ResamplerRegistryExists()) return;
  if (const TResamplerClass* found = FindResamplerClass(Value)) SetResampler(found->Create(this));
}

void TBitmap32::BeginMeasuring(TAreaChangedEvent Callback) {
  FMeasuringMode = true;
  FOldOnAreaChanged = std::move(OnAreaChanged);
  OnAreaChanged = std::move(Callback);
}

void TBitmap32::EndMeasuring() {
  FMeasuringMode = false;
  OnAreaChanged = std::move(FOldOnAreaChanged);
  FOldOnAreaChanged = nullptr;
}

void TBitmap32::Assign(const TBitmap32* Source) {
  BeginUpdate();
  try {
    if (!Source) {
      SetSize(0, 0);
    } else {
      Source->CopyMapTo(*this);
      Source->CopyPropertiesTo(*this);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  Changed();
}

void TBitmap32::CopyMapTo(TBitmap32& Dst) const {
  Dst.SetSize(FWidth, FHeight);
  if (!Empty()) MoveLongword(FBits, Dst.FBits, FWidth * FHeight);
}

void TBitmap32::CopyPropertiesTo(TBitmap32& Dst) const {
  Dst.SetDrawMode(FDrawMode);
  Dst.SetCombineMode(FCombineMode);
  Dst.SetWrapMode(FWrapMode);
  Dst.SetMasterAlpha(FMasterAlpha);
  Dst.FOuterColor = FOuterColor;
  Dst.SetResamplerClassName(ResamplerClassName());
  if (Dst.FResampler && FResampler) Dst.FResampler->Assign(*FResampler);
  Dst.FStorage->AssignFont(*FStorage);
}

namespace {

void PutInt32(std::uint8_t* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::uint32_t GetUInt32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::size_t kRowChunk = 4096;

}  // namespace

void TBitmap32::WriteData(rtl::TStream& Stream) const {
  std::array<std::uint8_t, 8> header;
  PutInt32(header.data(), FWidth);
  PutInt32(header.data() + 4, FHeight);
  Stream.WriteBuffer(header);
  if (Empty()) return;
  const std::size_t total = static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight);
  std::vector<std::uint8_t> bytes(std::min(total, kRowChunk) * 4);
  for (std::size_t done = 0; done < total;) {
    const std::size_t n = std::min(total - done, kRowChunk);
    for (std::size_t i = 0; i < n; ++i)
      PutInt32(&bytes[i * 4], static_cast<std::int32_t>(FBits[done + i]));
    Stream.WriteBuffer(std::span<const std::uint8_t>(bytes.data(), n * 4));
    done += n;
  }
}

void TBitmap32::ReadData(rtl::TStream& Stream) {
  std::array<std::uint8_t, 8> header;
  Stream.ReadBuffer(header);
  const auto width = std::max(static_cast<std::int32_t>(GetUInt32(header.data())), 0);
  const auto height = std::max(static_cast<std::int32_t>(GetUInt32(header.data() + 4)), 0);
  const std::int64_t pixels =
      width == 0 || height == 0 ? 0 : static_cast<std::int64_t>(width) * height;
  if ((Stream.Size() - Stream.Position()) / 4 < pixels)
    throw rtl::EStreamError("Stream read error");
  SetSize(width, height);
  const std::size_t total = Empty() ? 0 : static_cast<std::size_t>(pixels);
  std::vector<std::uint8_t> bytes(std::min(total, kRowChunk) * 4);
  for (std::size_t done = 0; done < total;) {
    const std::size_t n = std::min(total - done, kRowChunk);
    Stream.ReadBuffer(std::span<std::uint8_t>(bytes.data(), n * 4));
    for (std::size_t i = 0; i < n; ++i) FBits[done + i] = GetUInt32(&bytes[i * 4]);
    done += n;
  }
  Changed();
}

bool TBitmap32::Equal(const TBitmap32& B) const {
  if (Empty() || B.Empty()) return Empty() && B.Empty();
  if (ClassName() != B.ClassName() || FWidth != B.FWidth || FHeight != B.FHeight) return false;
  return std::equal(FBits, FBits + static_cast<std::ptrdiff_t>(FWidth) * FHeight, B.FBits);
}

bool TBitmap32::DataStored(const ui::TPersistent* Ancestor) const {
  if (!Ancestor) return !Empty();
  const auto* bitmap = dynamic_cast<const TBitmap32*>(Ancestor);
  return !bitmap || !Equal(*bitmap);
}

}  // namespace gfx
