// A stand-in for the registered resamplers: the bitmap unit needs a "TNearestResampler" in the
// registry, and tests need a second kind to switch to. Each records the property it copies.
#pragma once

#include <memory>
#include <string_view>

#include "gfx/bitmap32.h"

namespace gfx::testing {

template <const wchar_t* Name>
class TStubResampler : public TCustomResampler {
 public:
  std::wstring_view ClassName() const override { return Name; }
  float GetWidth() override { return 1.0f; }
  void Resample(TBitmap32&, const TRect&, const TRect&, TBitmap32&, const TRect&, TDrawMode,
                const TPixelCombineEvent&) override {}
  void Assign(const TCustomResampler& Source) override {
    if (const auto* same = dynamic_cast<const TStubResampler*>(&Source)) Property = same->Property;
  }
  int Property = 0;

  static std::unique_ptr<TCustomResampler> Create(TBitmap32*) {
    return std::make_unique<TStubResampler>();
  }
  static inline const TResamplerClass Class{Name, &Create};
};

inline constexpr wchar_t kNearest[] = L"TNearestResampler";
inline constexpr wchar_t kKernel[] = L"TKernelResampler";
using TNearestStub = TStubResampler<kNearest>;
using TKernelStub = TStubResampler<kKernel>;

// Registers both once per process.
inline void RegisterStubResamplers() {
  static const bool registered = [] {
    RegisterResampler(TNearestStub::Class);
    RegisterResampler(TKernelStub::Class);
    return true;
  }();
  (void)registered;
}

// As a first member or base, registers before any bitmap of the fixture is made.
struct TStubResamplersRegistered {
  TStubResamplersRegistered() { RegisterStubResamplers(); }
};

}  // namespace gfx::testing
