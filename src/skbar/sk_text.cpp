#include "skbar/sk_text.h"

#include <algorithm>
#include <utility>

#include "tb/common.h"

namespace skbar {

std::wstring SkStripAccelChars(std::wstring_view text) {
  return tb::RemoveAccelMarks(text);
}

std::wstring SkStripShortcut(std::wstring_view text) {
  return std::wstring(text.substr(0, text.find(L'\t')));
}

std::wstring SkStripTrailingPunctuation(std::wstring_view text) {
  if (text.size() > 1 && text.back() == L':')
    text.remove_suffix(1);
  else if (text.size() > 3 && text.ends_with(L"..."))
    text.remove_suffix(3);
  return std::wstring(text);
}

bool SkSameText(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return tb::LowerCaseChar(x) == tb::LowerCaseChar(y);
  });
}

TSkRotatedTextPlan SkPlanRotatedText(std::wstring_view text, const TRect& rect,
                                     TSkTextRotationAngle rotation, std::uint32_t flags,
                                     const TSkFontMetrics& metrics, const TSkTextWidthFn& width) {
  TSkRotatedTextPlan plan;
  if (text.empty()) return plan;
  std::wstring& s = plan.text;
  s = text;
  if (!(flags & kDtNoPrefix)) {
    // Each "&" goes; the character after it is kept as it is and, unless it is another "&",
    // becomes the accelerator.
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s[i] != L'&') continue;
      s.erase(i, 1);
      if (i < s.size() && s[i] != L'&') plan.accel = static_cast<int>(i);
    }
  }
  const int height = rect.Height();
  if ((flags & kDtEndEllipsis) && s.size() > 1 && width(s) > height) {
    if (height >= 3) {
      s.pop_back();
      while (s.size() >= 2 && width(s + L"...") > height) s.pop_back();
    } else {
      s.resize(1);
    }
    if (plan.accel >= static_cast<int>(s.size())) plan.accel = -1;
    s += L"...";
  }
  const int textWidth = width(s);
  plan.extent = {metrics.height, textWidth};
  const int x = rect.left + (rect.Width() - metrics.height) / 2;
  const int y = (flags & kDtCenter) ? rect.top + (height - textWidth) / 2 : rect.top;
  plan.origin = {x, y};
  if (plan.accel >= 0 && !(flags & kDtHidePrefix)) {
    const int before = width(std::wstring_view(s).substr(0, plan.accel));
    const int accel = width(std::wstring_view(s).substr(plan.accel, 1));
    plan.underline = true;
    switch (rotation) {
      case TSkTextRotationAngle::tra90:
        // The string runs upwards from its first character at the bottom; the glyph tops face
        // left, so the line below the baseline lies right of it. The downward text's rule
        // (descent - 2, measured from the top) would put the line over the glyph tops and
        // under another character here.
        plan.underlineX = x + metrics.ascent + 1;
        plan.underlineFrom = y + textWidth - before - accel;
        plan.underlineTo = y + textWidth - before;
        break;
      case TSkTextRotationAngle::tra270:
        plan.underlineX = x + metrics.descent - 2;
        plan.underlineFrom = y + before;
        plan.underlineTo = y + before + accel;
        break;
      case TSkTextRotationAngle::tra0:
        // Unrotated: a row under the baseline (x and y exchange their roles).
        plan.underlineX = y + metrics.ascent + 1;
        plan.underlineFrom = x + before;
        plan.underlineTo = x + before + accel;
        break;
    }
  }
  return plan;
}

namespace {

TRect Swapped(const TRect& r) {
  return {r.top, r.left, r.bottom, r.right};
}

TRect Offset(const TRect& r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

TSkCaptionLayout SkCalcCaptionLayout(const TSkCaptionLayoutInput& in,
                                     const TSkTextMeasureFn& measure) {
  TSkCaptionLayout out;
  const TRect r = in.rotated ? Swapped(in.rect) : in.rect;
  const int w = r.Width(), h = r.Height();
  const bool hasText = !in.caption.empty();
  const bool hasGlyph = in.glyphSize.cx > 0 && in.glyphSize.cy > 0;
  const bool hasRightGlyph = in.rightGlyphSize.cx > 0 && in.rightGlyphSize.cy > 0;
  const int gap = hasText && hasGlyph ? 4 : 0;
  const int gapV = hasText && hasGlyph ? 1 : 0;
  const int rightGap = hasText && hasRightGlyph ? 4 : 0;
  const int gw = hasGlyph ? in.glyphSize.cx : 0, gh = hasGlyph ? in.glyphSize.cy : 0;

  out.flags = in.flags & ~(kDtCenter | kDtVCenter);
  if (in.captionAlignment == 1) out.flags |= kDtRight;
  const bool ellipsis = out.flags & (kDtEndEllipsis | kDtPathEllipsis);
  int measureWidth = 1;
  if (ellipsis || (out.flags & kDtWordBreak)) {
    measureWidth = in.glyphTop && hasGlyph
                       ? w + 2
                       : w - gw - gap - (hasRightGlyph ? in.rightGlyphSize.cx : 0) - rightGap + 2;
  }

  TSize text;
  if (hasText) {
    bool measured = false;
    if (in.plainExtent && ellipsis && !in.rotated) {
      const TSize plain = in.plainExtent(SkStripAccelChars(in.caption));
      if (plain.cx <= measureWidth) text = plain, measured = true;
    }
    if (!measured) text = measure(in.caption, measureWidth, out.flags | kDtCalcRect);
    if (in.rotated && ellipsis && text.cx + 8 <= measureWidth - 2) text.cx += 8;
  }
  out.textHeight = text.cy;

  const int align = hasGlyph && in.glyphTop ? 2 : in.captionAlignment;
  TRect caption;
  const bool placed = text.cy > 0;
  if (placed) {
    const int x = align == 0 ? r.left : align == 1 ? r.right - text.cx : r.left + (w - text.cx) / 2;
    const int y = r.top + (h - text.cy) / 2;
    caption = {x, y, x + text.cx, y + text.cy};
  }
  const auto moveCaption = [&](int dx, int dy) {
    if (placed) caption = Offset(caption, dx, dy);
  };

  TRect glyph;
  if (hasGlyph) {
    int gx;
    if (align == 0) {
      gx = r.left;
      moveCaption(gw + gap, 0);
    } else if (align == 1) {
      gx = r.right - gw;
      moveCaption(-(gw + gap), 0);
    } else if (in.glyphTop) {
      gx = r.left + (w - gw) / 2;
      moveCaption(0, (gh + gapV) / 2);
    } else {
      moveCaption((gw + gap) / 2, 0);
      gx = placed ? caption.left - gap - gw : r.left + (w - gw) / 2;
    }
    const int gy = in.glyphTop ? r.top + (h - (gh + gapV + text.cy)) / 2 : r.top + (h - gh) / 2;
    glyph = {gx, gy, gx + gw, gy + gh};
  }

  if (in.pushedCaption) {
    moveCaption(1, 1);
    if (hasGlyph) glyph = Offset(glyph, 1, 1);
  }

  TRect rightGlyph;
  if (hasRightGlyph && align == 0) {
    const int top = r.top + (h - in.rightGlyphSize.cy) / 2;
    rightGlyph = {r.right - in.rightGlyphSize.cx, top, r.right, top + in.rightGlyphSize.cy};
    if (placed) {
      // A glyph wider than the room left cuts the caption to nothing, not to a negative width.
      caption.right = std::max(caption.left, std::min(caption.right, rightGlyph.left - rightGap));
    }
  }

  out.captionRect = in.rotated ? Swapped(caption) : caption;
  out.glyphRect = in.rotated ? Swapped(glyph) : glyph;
  out.rightGlyphRect = in.rotated ? Swapped(rightGlyph) : rightGlyph;
  return out;
}

}  // namespace skbar
