#include "tb/win32/toolbar_font.h"

#include <memory>

#include "tb/win32/common.h"
#include "ui/win32/system_fonts.h"

namespace tb {

namespace {

std::unique_ptr<ui::TFont>& Font() {
  static std::unique_ptr<ui::TFont> font;
  return font;
}

}  // namespace

void InitToolbarFont() {
  if (!Font()) RefreshToolbarFont();
}

void RefreshToolbarFont() {
  NONCLIENTMETRICSW metrics;
  if (!ReadNonClientMetrics(metrics)) return;
  if (!Font()) Font() = std::make_unique<ui::TFont>();
  ui::AssignLogFont(*Font(), metrics.lfMenuFont);
}

void DoneToolbarFont() {
  Font().reset();
}

ui::TFont* ToolbarFont() {
  InitToolbarFont();
  return Font().get();
}

}  // namespace tb
