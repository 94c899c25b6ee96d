// Registering and describing the drag formats.
#include "app/dragdrop/win32/drag_formats.h"

namespace app::dragdrop {

const TDragFormats& DragFormats() {
  static const TDragFormats formats{
      static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"FileGroupDescriptorW")),
      static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"FileContents"))};
  return formats;
}

void RegisterShellFormats() {
  DragFormats();
  for (const wchar_t* name : {L"Shell IDList Array", L"FileNameW", L"FileNameMapW",
                              L"UniformResourceLocatorW", L"UniformResourceLocator"})
    RegisterClipboardFormatW(name);
}

FORMATETC MakeFormatEtc(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

std::array<FORMATETC, 2> OfferedFormats() {
  const TDragFormats& formats = DragFormats();
  FORMATETC contents = MakeFormatEtc(formats.FileContents);
  contents.tymed = TYMED_ISTREAM;
  return {MakeFormatEtc(formats.FileGroupDescriptor), contents};
}

}  // namespace app::dragdrop
