// The rich-edit control's printing, print preview and the printed page's end mark.
#include "ux/win32/rich_edit.h"

#include <algorithm>

#include "rtl/exceptions.h"

namespace ux {

namespace {

// The default printer's DC (an information context when `informationOnly`), or null.
HDC DefaultPrinter(bool informationOnly) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.Flags = PD_RETURNDEFAULT | (informationOnly ? PD_RETURNIC : PD_RETURNDC);
  const bool ok = PrintDlgW(&dialog) != 0;
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
  return ok ? dialog.hDC : nullptr;
}

struct DcDeleter {
  HDC dc;
  ~DcDeleter() {
    if (dc) DeleteDC(dc);
  }
};

// Pages rendered by the control's EM_FORMATRANGE on a printer (or on one metafile per page
// made for it), the page and print rectangle in twips from the printer's pixels per inch.
class TRichEditPages : public TPageFormatter {
 public:
  TRichEditPages(HWND control, HDC printer, const ui::TRect& pageRect, TRichEditPreview* preview)
      : control_(control), printer_(printer), preview_(preview) {
    const int ppiX = std::max(GetDeviceCaps(printer, LOGPIXELSX), 1);
    const int ppiY = std::max(GetDeviceCaps(printer, LOGPIXELSY), 1);
    range_.hdcTarget = printer;
    range_.rcPage = {0, 0, MulDiv(GetDeviceCaps(printer, HORZRES), 1440, ppiX),
                     MulDiv(GetDeviceCaps(printer, VERTRES), 1440, ppiY)};
    range_.rc = {MulDiv(pageRect.left, 1440, ppiX), MulDiv(pageRect.top, 1440, ppiY),
                 MulDiv(pageRect.right, 1440, ppiX), MulDiv(pageRect.bottom, 1440, ppiY)};
    // A metafile's frame is in 0.01 mm.
    frame_ = {0, 0, MulDiv(GetDeviceCaps(printer, HORZSIZE), 100, 1),
              MulDiv(GetDeviceCaps(printer, VERTSIZE), 100, 1)};
  }
  ~TRichEditPages() override {
    if (metafile_) DeleteEnhMetaFile(CloseEnhMetaFile(metafile_));
    // The control drops what it cached about the printer.
    SendMessageW(control_, EM_FORMATRANGE, FALSE, 0);
  }

  bool StartPage() override {
    if (!preview_) return ::StartPage(printer_) > 0;
    metafile_ = CreateEnhMetaFileW(printer_, nullptr, &frame_, nullptr);
    return metafile_ != nullptr;
  }
  bool EndPage() override {
    if (!preview_) return ::EndPage(printer_) > 0;
    const HENHMETAFILE page = CloseEnhMetaFile(metafile_);
    metafile_ = nullptr;
    if (!page) return false;
    preview_->pages.push_back(page);
    return true;
  }
  int FormatPage(int start, int) override {
    range_.hdc = preview_ ? metafile_ : printer_;
    range_.chrg = {start, -1};
    return static_cast<int>(
        SendMessageW(control_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range_)));
  }

 private:
  HWND control_;
  HDC printer_;
  TRichEditPreview* preview_;
  FORMATRANGE range_{};
  RECT frame_{};
  HDC metafile_ = nullptr;
};

}  // namespace

void TUxCustomRichEdit::Print(const std::wstring& caption) {
  const DcDeleter printer{DefaultPrinter(false)};
  if (!printer.dc) throw rtl::Exception("There is no default printer currently selected");
  PrintTo(printer.dc, caption, nullptr);
}

int TUxCustomRichEdit::PrintTo(HDC printer, const std::wstring& caption, const wchar_t* output) {
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = caption.c_str();
  document.lpszOutput = output;
  if (StartDocW(printer, &document) <= 0) throw rtl::Exception("Printing failed");
  int pages = 0;
  try {
    TRichEditPages formatter(Handle(), printer, pageRect_, nullptr);
    pages = PrintPageLoop(formatter, TextLength());
  } catch (...) {
    AbortDoc(printer);
    throw;
  }
  endPageX_ = -1;  // the printer may have changed
  // The job is only out once it ends: a spooler or output file that fails then loses it.
  if (EndDoc(printer) <= 0) throw rtl::Exception("Printing failed");
  return pages;
}

TRichEditPreview TUxCustomRichEdit::CreatePrnPrew(const std::wstring&) {
  TRichEditPreview preview;
  const DcDeleter printer{DefaultPrinter(true)};
  if (!printer.dc) throw rtl::Exception("There is no default printer currently selected");
  CreatePrnPrewOn(printer.dc, preview);
  return preview;
}

int TUxCustomRichEdit::CreatePrnPrewOn(HDC printer, TRichEditPreview& preview) {
  TRichEditPages formatter(Handle(), printer, pageRect_, &preview);
  return PrintPageLoop(formatter, TextLength());
}

// Painting: the old library leaves a strip at the right edge stale; the end of the printed
// page shows as a dotted line where the print rectangle's width ends on screen.
void TUxCustomRichEdit::Paint(ui::TMessage& message) {
  const HWND window = Handle();
  if (RichEditVersion() < 2) {
    RECT update;
    if (GetUpdateRect(window, &update, FALSE)) {
      update.left = std::max(update.left, update.right - 3);
      InvalidateRect(window, &update, FALSE);
    }
  }
  DefaultHandler(message);
  if (!drawEndPage_) return;
  if (endPageX_ < 0) {
    const DcDeleter printer{DefaultPrinter(true)};
    if (!printer.dc) return;
    const int ppi = std::max(GetDeviceCaps(printer.dc, LOGPIXELSX), 1);
    endPageX_ = MulDiv(pageRect_.Width(), screenLogPixels_, ppi);
  }
  const int x = endPageX_ - GetScrollPos(window, SB_HORZ);
  RECT client;
  GetClientRect(window, &client);
  if (x < client.left || x >= client.right) return;
  const HDC dc = GetDC(window);
  for (int y = client.top; y < client.bottom; y += 2) SetPixel(dc, x, y, RGB(128, 128, 128));
  ReleaseDC(window, dc);
}

}  // namespace ux
