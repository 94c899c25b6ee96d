#include "ui/win32/system_fonts.h"

namespace ui {

void AssignLogFont(TFont& font, const LOGFONTW& from) {
  font.SetName(from.lfFaceName);
  font.SetHeight(from.lfHeight);
  TFontStyles style = 0;
  if (from.lfWeight >= FW_BOLD) style |= fsBold;
  if (from.lfItalic) style |= fsItalic;
  if (from.lfUnderline) style |= fsUnderline;
  if (from.lfStrikeOut) style |= fsStrikeOut;
  font.SetStyle(style);
}

bool ReadNonClientMetrics(NONCLIENTMETRICSW& metrics) {
  // 504 bytes from Vista on; XP knows only the first 500.
  for (const UINT size : {504u, 500u}) {
    metrics = {};
    metrics.cbSize = size;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0)) return true;
  }
  return false;
}

void AssignHintFont(TFont& font) {
  NONCLIENTMETRICSW metrics;
  if (ReadNonClientMetrics(metrics)) AssignLogFont(font, metrics.lfStatusFont);
  font.SetColor(clInfoText);
}

}  // namespace ui
