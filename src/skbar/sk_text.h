// Caption text of the skinned controls: cleaning, the plan of rotated text and the layout of a
// caption with its glyphs in a button-like rectangle. Text is measured through a callback, so
// the same rules serve the platform's fonts and tests.
//   SkStripAccelChars (every "&" goes, "&&" becomes "&"), SkStripShortcut (cut at the first
//   tab), SkStripTrailingPunctuation (a final ":" or "..."), SkSameText (letter case folded as
//   the platform folds it).
//   SkPlanRotatedText (prefix, end ellipsis, position and underline of rotated text),
//   SkCalcCaptionLayout (caption, glyph and right-glyph rectangles).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/align_layout.h"

namespace skbar {

using ui::TRect;

struct TPoint {
  int x = 0, y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0, cy = 0;
  bool operator==(const TSize&) const = default;
};

enum class TSkTextRotationAngle { tra0, tra90, tra270 };
enum class TSkGlowDirection { gldNone, gldAll, gldTopLeft, gldBottomRight };
enum class TSkBarComboPart { cpNone, cpCombo, cpSplitLeft, cpSplitRight };

// The platform's text-drawing flags that these routines interpret.
constexpr std::uint32_t kDtCenter = 0x1;
constexpr std::uint32_t kDtRight = 0x2;
constexpr std::uint32_t kDtVCenter = 0x4;
constexpr std::uint32_t kDtWordBreak = 0x10;
constexpr std::uint32_t kDtSingleLine = 0x20;
constexpr std::uint32_t kDtNoClip = 0x100;
constexpr std::uint32_t kDtCalcRect = 0x400;
constexpr std::uint32_t kDtNoPrefix = 0x800;
constexpr std::uint32_t kDtPathEllipsis = 0x4000;
constexpr std::uint32_t kDtEndEllipsis = 0x8000;
constexpr std::uint32_t kDtHidePrefix = 0x100000;

// The framework's rule for accelerator marks, under the name the skinned controls use.
std::wstring SkStripAccelChars(std::wstring_view text);
std::wstring SkStripShortcut(std::wstring_view text);
std::wstring SkStripTrailingPunctuation(std::wstring_view text);
bool SkSameText(std::wstring_view a, std::wstring_view b);

// The advance of a single-line text along its baseline, in pixels.
using TSkTextWidthFn = std::function<int(std::wstring_view text)>;

// Rotated text as drawn into a rectangle: the string after prefix handling and ellipsis, its
// origin for the rotated font's alignment (right for tra90, bottom for tra270) and the underline
// of the accelerator character, if any, as a vertical pixel run [from, to) in column `x`.
struct TSkRotatedTextPlan {
  std::wstring text;
  int accel = -1;  // index of the accelerator character in `text`, or -1
  TSize extent;    // the rectangle the text takes: across (font height) x along (text width)
  TPoint origin;
  bool underline = false;
  int underlineX = 0, underlineFrom = 0, underlineTo = 0;
};

struct TSkFontMetrics {
  int height = 0, ascent = 0, descent = 0;
};

// `rect` the target, `flags` the text flags; the metrics are those of the rotated font.
TSkRotatedTextPlan SkPlanRotatedText(std::wstring_view text, const TRect& rect,
                                     TSkTextRotationAngle rotation, std::uint32_t flags,
                                     const TSkFontMetrics& metrics, const TSkTextWidthFn& width);

// Measures a caption as the platform's text drawing would with DT_CALCRECT inside a rectangle
// `width` pixels wide (1 when the text is not broken or ellipsised): width and height.
using TSkTextMeasureFn =
    std::function<TSize(const std::wstring& text, int width, std::uint32_t flags)>;

struct TSkCaptionLayoutInput {
  TRect rect;
  std::wstring caption;
  bool rotated = false;
  bool pushedCaption = false;
  bool glyphTop = false;
  TSize glyphSize;
  TSize rightGlyphSize;
  std::uint32_t flags = 0;
  int captionAlignment = 0;  // 0 left, 1 right, 2 centred
  // For a bold font with an ellipsis and no rotation: the plain extent of the caption without
  // its "&" characters, used when it fits (unset: measure only).
  std::function<TSize(const std::wstring& text)> plainExtent = nullptr;
};

struct TSkCaptionLayout {
  TRect rightGlyphRect, glyphRect, captionRect;
  std::uint32_t flags = 0;  // the flags the caption is drawn with
  int textHeight = 0;
};

TSkCaptionLayout SkCalcCaptionLayout(const TSkCaptionLayoutInput& in,
                                     const TSkTextMeasureFn& measure);

}  // namespace skbar
