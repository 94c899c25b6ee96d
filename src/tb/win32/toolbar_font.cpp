#include "tb/win32/toolbar_font.h"

#include <memory>

#include "tb/win32/common.h"

namespace tb {

namespace {

std::unique_ptr<ui::TFont>& Font() {
  static std::unique_ptr<ui::TFont> font;
  return font;
}

void Assign(ui::TFont& font, const LOGFONTW& from) {
  font.SetName(from.lfFaceName);
  font.SetHeight(from.lfHeight);
  ui::TFontStyles style = 0;
  if (from.lfWeight >= FW_BOLD) style |= ui::fsBold;
  if (from.lfItalic) style |= ui::fsItalic;
  if (from.lfUnderline) style |= ui::fsUnderline;
  if (from.lfStrikeOut) style |= ui::fsStrikeOut;
  font.SetStyle(style);
}

}  // namespace

void InitToolbarFont() {
  if (!Font()) RefreshToolbarFont();
}

void RefreshToolbarFont() {
  NONCLIENTMETRICSW metrics;
  if (!ReadNonClientMetrics(metrics)) return;
  if (!Font()) Font() = std::make_unique<ui::TFont>();
  Assign(*Font(), metrics.lfMenuFont);
}

ui::TFont* ToolbarFont() {
  InitToolbarFont();
  return Font().get();
}

}  // namespace tb
