// Logical line operations on 32-bit values: Dst[i] := Src[i] op Mask, or in place.
// XorLine, OrLine and AndLine are call cells (plain, MMX or extended-MMX form, written with
// SSE2; all give the same results); the in-place forms exist once. Count <= 0 does nothing.
#pragma once

#include <cstdint>

#include "gfx/system.h"
#include "gfx/types.h"

namespace gfx {

using TLogicLineProc = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                                TColor32 Mask);

#define GFX_LOGIC_LINE_DECLARATIONS                                                    \
  void XorLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask); \
  void OrLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask);  \
  void AndLine(const TColor32* Src, TColor32* Dst, std::int32_t Count, TColor32 Mask);
namespace plain {
GFX_LOGIC_LINE_DECLARATIONS
}
namespace mmx {
GFX_LOGIC_LINE_DECLARATIONS
}
#if defined(__SSE2__)
namespace sse2 {
GFX_LOGIC_LINE_DECLARATIONS
}
// The extended-MMX forms: the same with cache hints.
namespace sse2_ex {
GFX_LOGIC_LINE_DECLARATIONS
}
#endif
#undef GFX_LOGIC_LINE_DECLARATIONS

void XorLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask);
void OrLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask);
void AndLineInplace(TColor32* Dst, std::int32_t Count, TColor32 Mask);

inline TLogicLineProc XorLine = plain::XorLine;
inline TLogicLineProc OrLine = plain::OrLine;
inline TLogicLineProc AndLine = plain::AndLine;
void BindFilterCells(const TCpuFeatures& features);

}  // namespace gfx
