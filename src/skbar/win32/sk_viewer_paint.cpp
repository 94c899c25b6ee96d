// Painting of skinned item viewers: background, caption, shortcut, image or check mark and
// submenu arrow, each drawing bracketed by the item's pre- and post-paint events.
#include <windows.h>

#include "skbar/sk_item.h"
#include "skbar/sk_toolbar_view.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_item_globals.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"
#include "skbar/win32/sk_text_draw.h"
#include "skbar/win32/sk_theme.h"
#include "tb/win32/view_window.h"
#include "ui/win32/controls.h"
#include "ui/win32/image_list.h"

namespace skbar {

namespace {

TRect FromTb(const tb::TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

int LineHeight(ui::TCanvas& canvas) {
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(canvas.SelectedHandle(), &metrics)) return 13;
  return metrics.tmHeight + metrics.tmExternalLeading;
}

// Whether the window the view paints into is one of a control that paints on glass.
bool GlassPainting(const tb::TTBView& view) {
  const auto* window = dynamic_cast<const tb::TTBViewWindow*>(view.Window());
  return window && SkIsGlassPainting(ui::TWinControl::FromHandle(window->Handle()));
}

}  // namespace

void TSkBarItemViewer::Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect,
                             bool /*isSelected*/, bool /*isPushed*/, bool /*useDisabledShadow*/) {
  tb::TTBCustomItem& item = Item();
  TSkBarCustomItem* skinned = SkItem();
  const TSkBarMenuItemInfo info = SkFillItemPaintInfo(*this, LineHeight(canvas));
  TRect r = FromTb(clientAreaRect);
  bool paintDefault = true;
  const auto fireItem = [&](TSkBarPaintStage stage, const TRect& at) {
    TSkBarDrawItemArgs args{&canvas, at, &info, stage, &paintDefault};
    FireDrawItem(args);
  };
  const bool submenu = (item.GetItemStyle() & tb::tbisSubmenu) != 0;
  const TColor textColor = GetTextColor(info.State);
  const bool imageAbove =
      info.ImageShown && (item.EffectiveOptions() & tb::tboImageAboveCaption) != 0;
  int arrowSize = 0, arrowMargin = 0, splitArrowSize = 0;
  SkCurrentSkin().GetDropDownArrowSize(arrowSize, arrowMargin, splitArrowSize);
  // The drop-down arrow, centred in its rectangle (one pixel further when pushed).
  const auto drawArrow = [&](const TRect& at) {
    const int shift = info.Pushed ? 1 : 0;
    const int x = at.left + at.Width() / 2 + shift;
    const int y = at.top + at.Height() / 2 - 1 + shift;
    SkDrawArrow(canvas, x, y, 2, true, false, info.Enabled ? textColor : ui::clGrayText);
  };
  // Under an image above the caption the arrow is placed with the caption, below the image.
  bool arrowBelowImage = false;
  // In a vertical toolbar the caption runs down the item.
  const bool rotated = info.ToolbarStyle && IsRotated();
  TRect arrow;
  if (!info.ToolbarStyle) {
    fireItem(pstPrePaint, r);
    if (paintDefault) SkPaintMenuItemBackground(canvas, r, info);
    fireItem(pstPostPaint, r);
    if (paintDefault && submenu) {
      const int y = r.top + r.Height() / 2;
      SkDrawArrow(canvas, r.right - r.Height() / 2 - 2, y, 3, false, false, textColor);
    }
  } else {
    TSkBarMenuItemInfo record = info;
    if (info.HasArrow) {
      if (info.IsSplit) {
        arrow = info.IsVertical ? TRect{r.left, r.bottom - splitArrowSize, r.right, r.bottom}
                                : TRect{r.right - splitArrowSize, r.top, r.right, r.bottom};
        record.ComboRect = arrow;
      } else if (imageAbove) {
        arrowBelowImage = true;
      } else {
        arrow = {r.right - arrowSize, r.top, r.right, r.bottom};
      }
    }
    fireItem(pstPrePaint, r);
    if (paintDefault) SkPaintMenuItemBackground(canvas, r, record);
    fireItem(pstPostPaint, r);
    if (info.HasArrow && !arrowBelowImage) {
      drawArrow(arrow);
      if (info.IsVertical)
        r.bottom = arrow.top;
      else
        r.right = arrow.left;
    }
  }
  const TSkBarMenuItemMarginsInfo& m = info.MenuMargins;
  TRect imageRect;
  if (!info.ToolbarStyle) {
    if (!(item.GetItemStyle() & tb::tbisClicksTransparent)) {
      r = {r.left + m.Margins.left, r.top + m.Margins.top, r.right - m.Margins.right,
           r.bottom - m.Margins.bottom};
    }
    imageRect = {r.left, r.top, r.left + m.GutterSize, r.bottom};
  } else {
    r = {r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
    imageRect = r;
  }

  // Caption and, in menus, the shortcut in the same row (shown also without a caption);
  // toolbar-style the layout places the image too, with or without a caption.
  std::wstring caption = GetCaptionText();
  const bool captionShown = CaptionShown() && !caption.empty();
  std::wstring shortcut = !info.ToolbarStyle && skinned ? skinned->GetShortCutText() : L"";
  if (captionShown || !shortcut.empty() || info.ToolbarStyle) {
    if (captionShown || !shortcut.empty()) ApplyItemFont(canvas.Font(), info);
    const bool hideAccels = !(View().State() & tb::vsShowAccels);
    UINT format = DT_SINGLELINE | DT_VCENTER | (hideAccels ? DT_HIDEPREFIX : 0);
    TRect captionRect;
    if (!info.ToolbarStyle) {
      captionRect = {imageRect.right + m.ImageTextSpace + m.LeftCaptionMargin, r.top,
                     r.right - m.RightCaptionMargin - clientAreaRect.Height(), r.bottom};
      // Centred in the row less the bottom margin when exactly that much is left over.
      if (r.Height() - canvas.TextHeight(L"0") == m.Margins.bottom) --captionRect.bottom;
    } else {
      // Glyph and caption laid out by alignment, wrapping and image position.
      TSkCaptionLayoutInput in;
      in.rect = r;
      in.rotated = rotated;
      if (captionShown) in.caption = caption;
      in.pushedCaption = info.IsSunkenCaption;
      in.glyphTop = (item.EffectiveOptions() & tb::tboImageAboveCaption) != 0;
      if (info.ImageShown) in.glyphSize = info.ImageSize;
      in.flags = (hideAccels ? DT_HIDEPREFIX : 0) |
                 (skinned ? SkWrappingFlags(skinned->Wrapping()) : DT_SINGLELINE);
      const TAlignment alignment = skinned ? skinned->Alignment() : taCenter;
      in.captionAlignment = alignment == taLeftJustify ? 0 : alignment == taRightJustify ? 1 : 2;
      const TSkCaptionLayout layout = SkCalcCaptionLayout(canvas, in);
      captionRect = layout.captionRect;
      format = layout.flags;
      if (info.ImageShown) imageRect = layout.glyphRect;
      // The arrow follows the caption, the pair centred below the image.
      if (arrowBelowImage && captionRect.Width() > 0) {
        const int shift = arrowSize / 2;
        captionRect = {captionRect.left - shift, captionRect.top, captionRect.right - shift,
                       captionRect.bottom};
        arrow = {captionRect.right, captionRect.top, captionRect.right + arrowSize,
                 captionRect.bottom};
      }
    }
    // On glass the composited text routine draws the caption (it cannot rotate it).
    const bool glass = !rotated && GlassPainting(View());
    const auto drawText = [&](std::wstring& text, TRect& at, unsigned& flags) {
      bool captionDefault = true;
      TSkBarDrawCaptionArgs args{
          &canvas,     FromTb(clientAreaRect), info.State, &text, &at, &flags, rotated,
          pstPrePaint, &captionDefault};
      FireDrawCaption(args);
      if (captionDefault && glass) {
        SkDrawGlassText(canvas, text, at, flags, 0);
      } else if (captionDefault) {
        const TSkGlowDirection glow = skinned ? skinned->CaptionGlow() : gldNone;
        const TColor glowColor = skinned ? skinned->CaptionGlowColor() : clNone;
        SkDrawTextGlow(canvas, text, at,
                       rotated ? TSkTextRotationAngle::tra270 : TSkTextRotationAngle::tra0,
                       glowColor, glow, flags);
      }
      args.PaintStage = pstPostPaint;
      FireDrawCaption(args);
    };
    unsigned flags = format;
    if (captionShown) drawText(caption, captionRect, flags);
    if (!shortcut.empty()) {
      unsigned right = DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX;
      TRect shortcutRect{imageRect.right, r.top,
                         r.right - m.RightCaptionMargin - clientAreaRect.Height(), r.bottom};
      drawText(shortcut, shortcutRect, right);
    }
  }

  // Image, or the check or radio mark of a checked menu item without one.
  if (!info.ToolbarStyle && info.Checked && !info.ImageShown) {
    const TSkBarSkinOptions& skin = SkCurrentSkin();
    if (item.RadioItem())
      SkPaintMenuRadioMark(skin, canvas, imageRect, true, true, info.State);
    else
      SkPaintMenuCheckMark(skin, canvas, imageRect, true, false, true, info.State);
  } else if (info.ImageShown) {
    const int left = imageRect.left + (imageRect.Width() - info.ImageSize.cx) / 2;
    const int top = imageRect.top + (imageRect.Height() - info.ImageSize.cy) / 2;
    const TRect at{left, top, left + info.ImageSize.cx, top + info.ImageSize.cy};
    PaintItemImage(canvas, at, info, item.ImageIndex());
    // Without a caption the arrow sits right below the image, centred on it.
    if (arrowBelowImage && arrow.Width() == 0) {
      const int x = at.left + (at.Width() - arrowSize) / 2;
      arrow = {x, at.bottom, x + arrowSize, at.bottom + arrowMargin + 3};
    }
  }
  if (arrowBelowImage) drawArrow(arrow);

  const TSize right = info.RightImageSize;
  if (right.cx > 0 && right.cy > 0) {
    const int top = r.top + (r.Height() - right.cy) / 2;
    PaintRightImage(canvas, {r.right - right.cx, top, r.right, top + right.cy}, info);
  }
}

void TSkBarItemViewer::ApplyItemFont(ui::TFont& font, const TSkBarMenuItemInfo& info) {
  TSkBarCustomItem* skinned = SkItem();
  if (skinned) skinned->FontSettings().Apply(font);
  if (Item().EffectiveOptions() & tb::tboDefault) font.SetStyle(font.Style() | ui::fsBold);
  if (!skinned || font.Color() == clNone) font.SetColor(GetTextColor(info.State));
  if (skinned) skinned->AdjustFontHook(font, info.State);
}

void TSkBarItemViewer::PaintItemImage(ui::TCanvas& canvas, const TRect& rect,
                                      const TSkBarMenuItemInfo& info, int imageIndex) {
  ui::TCustomImageList* images = GetImageList();
  int index = imageIndex;
  TRect at = rect;
  bool imageDefault = true;
  TSkBarDrawImageArgs args{&canvas, info.State, pstPrePaint, &images, &index, &at, &imageDefault};
  FireDrawImage(args);
  auto* list = dynamic_cast<ui::TImageList*>(images);
  if (imageDefault && list == &SkCaptionGlyphs()) {
    const bool menuText = info.Enabled && !info.ToolbarStyle && info.SkinType != sknSkin;
    SkDrawGlyphPattern(canvas, at, index, menuText ? ui::clMenuText : GetTextColor(info.State));
  } else if (imageDefault && list && index >= 0 && index < list->Count()) {
    SkPaintMenuItemImage(canvas, at, info, *list, index);
  }
  args.PaintStage = pstPostPaint;
  FireDrawImage(args);
}

void TSkBarSeparatorItemViewer::Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect,
                                      bool /*isSelected*/, bool /*isPushed*/,
                                      bool /*useDisabledShadow*/) {
  const auto* separator = dynamic_cast<const tb::TTBSeparatorItem*>(&Item());
  if (separator && separator->Blank()) return;
  TRect r = FromTb(clientAreaRect);
  const TSkBarSkinType skinType = SkBarSkinManager() ? SkBarSkinManager()->GetSkinType() : sknNone;
  const bool toolbarStyle = IsToolbarStyle();
  if (!toolbarStyle) {
    const bool toolbox =
        View().ParentItem() && (View().ParentItem()->Options() & tb::tboToolbarStyle);
    if (skinType == sknNone) {
      if (!toolbox) r = {r.left + 12, r.top, r.right - 12, r.bottom};
    } else if (!toolbox) {
      TSkBarMenuItemMarginsInfo m;
      SkCurrentSkin().GetMenuItemMargins(LineHeight(canvas), SkGetMaxImageSize(View()).cy, m);
      const bool emptyGutter =
          skinType == sknSkin && SkCurrentSkin().Options(skncGutter).Body.IsEmpty();
      if (!emptyGutter) r.left += m.Margins.left + m.GutterSize + m.ImageTextSpace;
    }
  }
  const bool vertical =
      toolbarStyle && View().Orientation() != tb::TTBViewOrientation::tbvoVertical;
  SkPaintMenuSeparator(canvas, r, vertical, !toolbarStyle, skinType);
}

}  // namespace skbar
