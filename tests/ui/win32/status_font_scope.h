// Gives the system's status font (the hint font) another face and height for a scope, for this
// Wine server only, and puts the old one back.
#pragma once

#include <windows.h>

#include <string>

class StatusFontScope {
 public:
  StatusFontScope(const std::wstring& face, int height) {
    saved_.cbSize = sizeof saved_;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
    NONCLIENTMETRICSW changed = saved_;
    lstrcpynW(changed.lfStatusFont.lfFaceName, face.c_str(), LF_FACESIZE);
    changed.lfStatusFont.lfHeight = height;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof changed, &changed, 0);
  }
  StatusFontScope(const StatusFontScope&) = delete;
  StatusFontScope& operator=(const StatusFontScope&) = delete;
  ~StatusFontScope() { SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0); }

 private:
  NONCLIENTMETRICSW saved_{};
};
