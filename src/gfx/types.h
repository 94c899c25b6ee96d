// Shared value types of the bitmap units: the 32-bit ARGB pixel, 16.16 fixed point, the point
// and rectangle records in integer, fixed and float form, and the combine and wrap modes.
#pragma once

#include <cstdint>

#include "ui/align_layout.h"

namespace gfx {

// Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7; alpha 255 is opaque.
using TColor32 = std::uint32_t;
using PColor32 = TColor32*;
using PColor32Array = TColor32*;

// Signed 16.16 fixed point: the value times 65536.
using TFixed = std::int32_t;
inline constexpr TFixed FixedOne = 0x10000;
inline constexpr TFixed FixedHalf = 0x8000;

// Four signed 32-bit edges, right and bottom exclusive (the class library's rectangle).
using TRect = ui::TRect;

struct TPoint {
  std::int32_t X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TFixedPoint {
  TFixed X = 0, Y = 0;
  bool operator==(const TFixedPoint&) const = default;
};

struct TFloatPoint {
  float X = 0, Y = 0;
  bool operator==(const TFloatPoint&) const = default;
};

struct TFixedRect {
  TFixed left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TFixedRect&) const = default;
};

struct TFloatRect {
  float left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TFloatRect&) const = default;
};

// How a blended pixel treats the destination's alpha: weighted over it, or composited with a
// computed result alpha.
enum TCombineMode : std::uint8_t { cmBlend, cmMerge };
inline constexpr int CombineModeCount = 2;

// How a coordinate outside a range is brought back into it.
enum TWrapMode : std::uint8_t { wmClamp, wmRepeat, wmMirror };
inline constexpr int WrapModeCount = 3;

}  // namespace gfx
