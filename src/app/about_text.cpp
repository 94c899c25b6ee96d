#include "app/about_text.h"

#include "ux/rich_text.h"

namespace app {

std::string BuildAboutRtf(std::wstring_view fileVersion, std::wstring_view legalCopyright) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset204 "
      "Calibri;}{\\f1\\fnil\\fcharset0 Calibri;}}\\viewkind4\\uc1\\pard\\sa200\\sl276\\slmult1"
      "\\b\\f0\\fs22 Quollbox\\par \\b0\\i Version ";
  rtf += ux::RtfEscape(fileVersion);
  rtf += "\\par ";
  rtf += "\\i0 ";
  rtf += ux::RtfEscape(legalCopyright);
  rtf += "\\par ";
  rtf +=
      "This program is provided as is, without warranty of any kind, and is still "
      "experimental.\\par ";
  rtf +=
      "\\fs18 The track-image code is adapted from a freely available floppy-emulation "
      "library.\\line ";
  rtf += "Some of the user interface borrows from freely available component libraries.\\par ";
  rtf +=
      "\\fs22 Thanks to everyone who shared their knowledge of MSX disks and tested this "
      "program.\\par Ok\\line\\par";
  rtf += "}";
  return rtf;
}

}  // namespace app
