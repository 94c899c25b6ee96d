// TIntegerMap: a map of Width x Height signed 32-bit values, row after row, on the bitmap
// unit's sized map. Written over its base class (TCustomMap) so that it stands apart from the
// bitmap unit; TIntegerMap names it over TCustomMap where that exists.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/lowlevel.h"

namespace gfx {

// Base: a sized map with a virtual ChangeSize(Width&, Height&, NewWidth, NewHeight) that
// stores the size, SetSize, Width, Height and Changed.
template <class Base>
class TIntegerMapOf : public Base {
 public:
  std::wstring_view ClassName() const override { return L"TIntegerMap"; }

  // No value array.
  bool Empty() const override { return FBits.empty(); }
  // Every value set to FillValue through the 32-bit fill, then Changed.
  void Clear(std::int32_t FillValue) {
    if (!FBits.empty())
      FillLongword(reinterpret_cast<TColor32*>(FBits.data()),
                   static_cast<std::int32_t>(FBits.size()), static_cast<TColor32>(FillValue));
    this->Changed();
  }
  // The address of value X + Y x Width; unchecked.
  std::int32_t* ValPtr(std::int32_t X, std::int32_t Y) {
    return FBits.data() + (X + static_cast<std::ptrdiff_t>(Y) * this->Width());
  }
  std::int32_t Value(std::int32_t X, std::int32_t Y) { return *ValPtr(X, Y); }
  std::int32_t* Bits() { return FBits.data(); }

 protected:
  void ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                  std::int32_t NewHeight) override {
    FBits.resize(static_cast<std::size_t>(NewWidth) * static_cast<std::size_t>(NewHeight));
    Base::ChangeSize(Width, Height, NewWidth, NewHeight);
  }

 private:
  std::vector<std::int32_t> FBits;
};

}  // namespace gfx

#if __has_include("gfx/bitmap32.h")
#include "gfx/bitmap32.h"
namespace gfx {
using TIntegerMap = TIntegerMapOf<TCustomMap>;
}
#endif
