// Moving pixels between bitmaps: block transfer at the same size, stretch transfer through a
// resampler, the registered resamplers (nearest, linear, draft, kernel) and kernels, and the
// samplers that read a bitmap at integer, 16.16 fixed-point or float positions.
//   Nearest stretching maps destination column i of DstRect to source column
//   SrcRect.Left + (i x SrcW) div DstW (exact integer arithmetic), rows alike; a destination of
//   width 1 takes the middle column. Runs of destination rows that map to one source row are
//   written once and copied.
//   Kernel resampling weighs source pixels with 8-bit weights that sum to 256 per destination
//   pixel (contribution tables).
//   Transfers report the change to the destination: BlockTransfer the unclipped rectangle it was
//   asked to fill (also when clipping leaves nothing), StretchTransfer the destination
//   rectangle; neither reports when a bitmap is empty or a blend has master alpha 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/bitmap32.h"
#include "gfx/ordinal_maps.h"
#include "gfx/system.h"
#include "gfx/transforms.h"
#include "rtl/exceptions.h"

namespace gfx {

class EBitmapException : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};
class ESrcInvalidException : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};
class ENestedException : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// How nearest stretching and kernel tables place destination positions on source positions.
// True (the default): pixel areas onto pixel areas, at the ratio destination span over source
// span. False: the first and last pixels onto the first and last, at the ratio
// (destination span - 1) over (source span - 1), nearest positions rounded ties to even.
inline bool FullEdgeMapping = true;

// ---- Bound routines of this unit ----

// Mixes the 2 x 2 block at Top[0], Top[1], Bottom[0], Bottom[1]: WX weighs the left column
// (0..256), WY the top row.
using TInterpolatorFunc = TColor32 (*)(std::uint32_t WX, std::uint32_t WY, const TColor32* Top,
                                       const TColor32* Bottom);
// The average of a W x H block (Stride pixels per row), per channel rounded down.
using TBlockAverageFunc = TColor32 (*)(std::uint32_t W, std::uint32_t H, const TColor32* Src,
                                       std::int32_t Stride);

namespace plain {
// top := CombinePixel(left, right, WX), bottom likewise, then CombinePixel(top, bottom, WY),
// with the plain combine and weights above 255 taken as 255.
TColor32 Interpolator(std::uint32_t WX, std::uint32_t WY, const TColor32* Top,
                      const TColor32* Bottom);
TColor32 BlockAverage(std::uint32_t W, std::uint32_t H, const TColor32* Src, std::int32_t Stride);
}  // namespace plain
namespace mmx {
// Per channel: top = ((left - right) x WX + 256 x right) shr 8, bottom likewise,
// ((top - bottom) x WY + 256 x bottom) shr 8.
TColor32 Interpolator(std::uint32_t WX, std::uint32_t WY, const TColor32* Top,
                      const TColor32* Bottom);
// Two channels per 64-bit lane; the same result as the plain form.
TColor32 BlockAverage(std::uint32_t W, std::uint32_t H, const TColor32* Src, std::int32_t Stride);
}  // namespace mmx

// The resampler unit's cells; plain until start-up binds them.
inline TInterpolatorFunc ResamplerInterpolator = plain::Interpolator;
inline TBlockAverageFunc BlockAverage = plain::BlockAverage;
void BindResamplerCells(const TCpuFeatures& features);

// ---- Kernels ----

class TCustomKernel : public ui::TPersistent {
 public:
  std::wstring_view ClassName() const override { return L"TCustomKernel"; }
  // Whether Filter must be kept to its width by the caller.
  virtual bool NeedsRangeCheck() const { return false; }
  virtual float Filter(float Value) = 0;
  virtual float GetWidth() = 0;
  // Copies the published properties of a kernel of the same class.
  virtual void Assign(const TCustomKernel& /*Source*/) {}

  TNotifiablePersistent* Observer = nullptr;

 protected:
  void Changed() {
    if (Observer) Observer->Changed();
  }
  // Stores Value and calls Changed when it differs.
  void SetProperty(float& Field, float Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
};

class TBoxKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TBoxKernel"; }
  float Filter(float Value) override;
  float GetWidth() override { return 1.0f; }
};

class TLinearKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TLinearKernel"; }
  float Filter(float Value) override;
  float GetWidth() override { return 1.0f; }
};

class TCosineKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TCosineKernel"; }
  float Filter(float Value) override;
  float GetWidth() override { return 1.0f; }
};

class TSplineKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TSplineKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return 2.0f; }
};

class TMitchellKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TMitchellKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return 2.0f; }
};

class TCubicKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TCubicKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return 2.0f; }
  void Assign(const TCustomKernel& Source) override;
  float Coeff() const { return FCoeff; }
  void SetCoeff(float Value) { SetProperty(FCoeff, Value); }

 private:
  float FCoeff = -0.5f;
};

// The weight of one sample in Hermite interpolation through four neighbours (the curve's
// tangents from Bias and Tension); with both 0 it is the Catmull-Rom spline.
class THermiteKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"THermiteKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return 2.0f; }
  void Assign(const TCustomKernel& Source) override;
  float Bias() const { return FBias; }
  void SetBias(float Value) { SetProperty(FBias, Value); }
  float Tension() const { return FTension; }
  void SetTension(float Value) { SetProperty(FTension, Value); }

 private:
  float FBias = 0, FTension = 0;
};

// Window(a) x sinc(a) for a = abs(x) below Width, else 0.
class TWindowedSincKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TWindowedSincKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return FWidth; }
  virtual float Window(float Value) = 0;
  void Assign(const TCustomKernel& Source) override;
  // At most 4.
  void SetWidth(float Value);

 protected:
  float FWidth = 3.0f;
};

class TLanczosKernel : public TWindowedSincKernel {
 public:
  std::wstring_view ClassName() const override { return L"TLanczosKernel"; }
  float Window(float Value) override;
};

class TGaussianKernel : public TWindowedSincKernel {
 public:
  std::wstring_view ClassName() const override { return L"TGaussianKernel"; }
  float Window(float Value) override;
  void Assign(const TCustomKernel& Source) override;
  float Sigma() const { return FSigma; }
  // A new value of 0 is ignored: it would make every weight undefined.
  void SetSigma(float Value);

 private:
  float FSigma = 1.33f;
};

class TBlackmanKernel : public TWindowedSincKernel {
 public:
  std::wstring_view ClassName() const override { return L"TBlackmanKernel"; }
  float Window(float Value) override;
};

class THannKernel : public TWindowedSincKernel {
 public:
  std::wstring_view ClassName() const override { return L"THannKernel"; }
  float Window(float Value) override;
};

class THammingKernel : public TWindowedSincKernel {
 public:
  std::wstring_view ClassName() const override { return L"THammingKernel"; }
  float Window(float Value) override;
};

// sin(pi x) x Coeff / sinh(pi x Coeff), 1 at 0.
class TSinshKernel : public TCustomKernel {
 public:
  std::wstring_view ClassName() const override { return L"TSinshKernel"; }
  bool NeedsRangeCheck() const override { return true; }
  float Filter(float Value) override;
  float GetWidth() override { return FWidth; }
  void Assign(const TCustomKernel& Source) override;
  void SetWidth(float Value) { SetProperty(FWidth, Value); }
  float Coeff() const { return FCoeff; }
  // A new value of 0 is ignored (division by zero).
  void SetCoeff(float Value);

 private:
  float FWidth = 3.0f;
  float FCoeff = 0.5f;
};

struct TKernelClass {
  std::wstring_view Name;
  std::unique_ptr<TCustomKernel> (*Create)();
};
void RegisterKernel(const TKernelClass& Class);
// The first class of exactly that name; null when none (or no registry).
const TKernelClass* FindKernelClass(std::wstring_view Name);
void FreeKernelRegistry();
// Start-up: the four resamplers, then the thirteen kernels, in their fixed order. Shutdown:
// the kernel registry, then the resampler registry.
void RegisterResamplersAndKernels();
void FreeResamplerAndKernelRegistries();

// ---- Bitmap resamplers ----

enum TPixelAccessMode : std::uint8_t { pamUnsafe, pamSafe, pamWrap, pamTransparentEdge };
enum TKernelMode : std::uint8_t { kmDynamic, kmTableNearest, kmTableLinear };

class TTransformer;
// Makes the sampler that maps positions through a transformation onto a nested sampler.
using TTransformerClass = std::unique_ptr<TTransformer> (*)(TCustomSampler* Sampler,
                                                            TTransformation* Transformation);

class TBitmap32Resampler : public TCustomResampler {
 public:
  // Reads Bitmap (not owned); the bitmap is not told (see InstallResampler).
  explicit TBitmap32Resampler(TBitmap32* Bitmap = nullptr) : FBitmap(Bitmap) {}
  std::wstring_view ClassName() const override { return L"TBitmap32Resampler"; }

  TBitmap32* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap32* Value) { FBitmap = Value; }
  // Also tells the bitmap, when there is one.
  void Changed() override;
  void PrepareSampling() override;
  bool HasBounds() override { return true; }
  // The clip rectangle, one pixel larger on every side in pamTransparentEdge.
  TRect GetSampleBounds() override;
  // Copies the published properties (PixelAccessMode) of another bitmap resampler.
  void Assign(const TCustomResampler& Source) override;

  TPixelAccessMode PixelAccessMode() const { return FPixelAccessMode; }
  void SetPixelAccessMode(TPixelAccessMode Value);
  virtual TTransformerClass TransformerClass() const;

 protected:
  // The pixel at (X, Y) by the access mode (unchecked, clipped, wrapped, or clamped to the clip
  // rectangle with alpha 0 when it had to be clamped).
  TColor32 ReadPixel(std::int32_t X, std::int32_t Y) const;

  TBitmap32* FBitmap;
  TRect FClipRect;
  TPixelAccessMode FPixelAccessMode = pamSafe;
};

// Makes a resampler of class R for Bitmap and makes it the bitmap's resampler (freeing the
// previous one); returns it.
template <class R>
R* InstallResampler(TBitmap32& Bitmap) {
  auto resampler = std::make_unique<R>(&Bitmap);
  R* raw = resampler.get();
  Bitmap.SetResampler(std::move(resampler));
  return raw;
}

class TNearestResampler : public TBitmap32Resampler {
 public:
  using TBitmap32Resampler::TBitmap32Resampler;
  std::wstring_view ClassName() const override { return L"TNearestResampler"; }
  float GetWidth() override { return 1.0f; }
  // Valid between PrepareSampling and FinalizeSampling.
  TColor32 GetSampleInt(std::int32_t X, std::int32_t Y) override;
  // FixedRound of both coordinates.
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  // Rounded to nearest, ties to even.
  TColor32 GetSampleFloat(float X, float Y) override;
  void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;
  TTransformerClass TransformerClass() const override;
  static const TResamplerClass Class;
};

class TLinearResampler : public TBitmap32Resampler {
 public:
  explicit TLinearResampler(TBitmap32* Bitmap = nullptr);
  std::wstring_view ClassName() const override { return L"TLinearResampler"; }
  float GetWidth() override { return 1.0f; }
  void PrepareSampling() override;
  // Bilinear at the 16.16 position, through the reader of the access mode.
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  // A true magnification of a source larger than one pixel: StretchLinear; otherwise kernel
  // resampling with the linear kernel.
  void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;
  static const TResamplerClass Class;

 protected:
  std::unique_ptr<TLinearKernel> FLinearKernel;
};

class TDraftResampler : public TLinearResampler {
 public:
  using TLinearResampler::TLinearResampler;
  std::wstring_view ClassName() const override { return L"TDraftResampler"; }
  // CoarseStretch.
  void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;
  static const TResamplerClass Class;
};

class TKernelResampler : public TBitmap32Resampler {
 public:
  explicit TKernelResampler(TBitmap32* Bitmap = nullptr);
  ~TKernelResampler() override;
  std::wstring_view ClassName() const override { return L"TKernelResampler"; }
  float GetWidth() override { return FKernel->GetWidth(); }
  void PrepareSampling() override;
  void FinalizeSampling() override;
  // The kernel-weighted (2W + 1) x (2W + 1) neighbourhood of the position.
  TColor32 GetSampleFloat(float X, float Y) override;
  void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32& Src,
                const TRect& SrcRect, TDrawMode CombineOp,
                const TPixelCombineEvent& CombineCallBack) override;
  void Assign(const TCustomResampler& Source) override;

  TCustomKernel& Kernel() const { return *FKernel; }
  // A non-null kernel other than the current one replaces it.
  void SetKernel(std::unique_ptr<TCustomKernel> Value);
  std::wstring KernelClassName() const { return std::wstring(FKernel->ClassName()); }
  // Unknown and empty names are ignored.
  void SetKernelClassName(std::wstring_view Value);
  TKernelMode KernelMode() const { return FKernelMode; }
  void SetKernelMode(TKernelMode Value);
  std::int32_t TableSize() const { return FTableSize; }
  // At least 2.
  void SetTableSize(std::int32_t Value);
  // Between PrepareSampling and FinalizeSampling in the table modes; null otherwise.
  TIntegerMap* WeightTable() const { return FWeightTable.get(); }
  static const TResamplerClass Class;

 private:
  // The 2W + 1 weights (sum 256) of the pixels at offsets -W..W from floor(position), at the
  // fraction t of the position.
  void Weights(float t, std::int32_t* Out) const;

  std::unique_ptr<TCustomKernel> FKernel;
  TKernelMode FKernelMode = kmDynamic;
  std::unique_ptr<TIntegerMap> FWeightTable;
  std::int32_t FTableSize = 32;
  std::int32_t FWidthInt = 0;
  TColor32 FOuterColor = 0;
};

// ---- Nested samplers ----

class TNestedSampler : public TCustomSampler {
 public:
  explicit TNestedSampler(TCustomSampler* Sampler = nullptr) : FSampler(Sampler) {}
  std::wstring_view ClassName() const override { return L"TNestedSampler"; }
  TCustomSampler* Sampler() const { return FSampler; }
  void SetSampler(TCustomSampler* Value) { FSampler = Value; }
  // Forwarded; raise ENestedException "Nested sampler is nil" without a sampler. The samples
  // too: the base's forms would only call each other.
  TColor32 GetSampleInt(std::int32_t X, std::int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  void PrepareSampling() override;
  void FinalizeSampling() override;
  bool HasBounds() override;
  TRect GetSampleBounds() override;
  // Copies the published property Sampler as objects are copied: when both have a nested
  // sampler, Dst's takes this one's published properties (a resampler's through Assign, a
  // nested sampler's through AssignTo); otherwise nothing changes.
  virtual void AssignTo(TNestedSampler& Dst) const;

 protected:
  TCustomSampler& Nested() const;
  TCustomSampler* FSampler;
};

class TTransformer : public TNestedSampler {
 public:
  TTransformer(TCustomSampler* Sampler, TTransformation* Transformation)
      : TNestedSampler(Sampler), FTransformation(Transformation) {}
  std::wstring_view ClassName() const override { return L"TTransformer"; }
  TTransformation* Transformation() const { return FTransformation; }
  void SetTransformation(TTransformation* Value) { FTransformation = Value; }
  // The nested sampler at the reverse-transformed position.
  TColor32 GetSampleInt(std::int32_t X, std::int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
  // The nested sampler's, then the transformation's preparation when it is not prepared.
  void PrepareSampling() override;
  bool HasBounds() override;
  TRect GetSampleBounds() override;

 protected:
  TTransformation& Transform() const;
  TTransformation* FTransformation;
};

// Samples the nested sampler only at integer positions.
class TNearestTransformer : public TTransformer {
 public:
  using TTransformer::TTransformer;
  std::wstring_view ClassName() const override { return L"TNearestTransformer"; }
  TColor32 GetSampleInt(std::int32_t X, std::int32_t Y) override;
  TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
  TColor32 GetSampleFloat(float X, float Y) override;
};

// ---- Transfers ----

// DstRect already clipped to both bitmaps; rows of its width start at Src pixel (SrcX, SrcY).
void BlendBlock(TBitmap32& Dst, const TRect& DstRect, const TBitmap32& Src, std::int32_t SrcX,
                std::int32_t SrcY, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);
void BlockTransfer(TBitmap32* Dst, std::int32_t DstX, std::int32_t DstY, const TRect& DstClip,
                   TBitmap32* Src, const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack = {});
// A null Resampler stretches with StretchNearest.
void StretchTransfer(TBitmap32* Dst, const TRect& DstRect, const TRect& DstClip, TBitmap32* Src,
                     const TRect& SrcRect, TCustomResampler* Resampler, TDrawMode CombineOp,
                     const TPixelCombineEvent& CombineCallBack = {});

// The resamplers' workers. Each clips to DstClip, the destination's bounds and DstRect;
// SrcRect must lie inside the source ("Invalid SrcRect" otherwise).
void StretchNearest(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                    const TBitmap32& Src, const TRect& SrcRect, TDrawMode CombineOp,
                    const TPixelCombineEvent& CombineCallBack);
void StretchLinear(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src,
                   const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack);
void CoarseStretch(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src,
                   const TRect& SrcRect, TDrawMode CombineOp,
                   const TPixelCombineEvent& CombineCallBack);
void ResampleWithKernel(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                        const TBitmap32& Src, const TRect& SrcRect, TCustomKernel& Kernel,
                        TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

// One destination position's source positions and 8-bit weights.
struct TPointRec {
  std::int32_t Pos = 0;
  std::int32_t Weight = 0;
  bool operator==(const TPointRec&) const = default;
};
using TMappingTable = std::vector<std::vector<TPointRec>>;
// For destination positions ClipLo..ClipHi - 1 of the span DstLo..DstHi taken from the source
// span SrcLo..SrcHi: the pairs, positions within SrcLo..SrcHi - 1, weights summing to 256.
TMappingTable BuildContributionTable(std::int32_t DstLo, std::int32_t DstHi, std::int32_t ClipLo,
                                     std::int32_t ClipHi, std::int32_t SrcLo, std::int32_t SrcHi,
                                     TCustomKernel& Kernel);

}  // namespace gfx
