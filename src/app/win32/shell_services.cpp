#include "app/win32/shell_services.h"

#include <shellapi.h>

#include "ui/win32/clipboard.h"
#include "ui/win32/forms.h"

namespace app {

namespace {

UINT MessageBoxFlags(MsgButtons buttons, MsgIcon icon) {
  UINT flags = 0;
  switch (buttons) {
    case MsgButtons::Ok:
      flags = MB_OK;
      break;
    case MsgButtons::YesNo:
      flags = MB_YESNO;
      break;
    case MsgButtons::YesNoCancel:
      flags = MB_YESNOCANCEL;
      break;
  }
  switch (icon) {
    case MsgIcon::Error:
      return flags | MB_ICONERROR;
    case MsgIcon::Warning:
      return flags | MB_ICONWARNING;
    case MsgIcon::Question:
      return flags | MB_ICONQUESTION;
    case MsgIcon::Information:
      return flags | MB_ICONINFORMATION;
  }
  return flags;
}

MsgAnswer Answer(int result) {
  switch (result) {
    case IDYES:
      return MsgAnswer::Yes;
    case IDNO:
      return MsgAnswer::No;
    case IDCANCEL:
      return MsgAnswer::Cancel;
    default:
      return MsgAnswer::Ok;
  }
}

SYSTEMTIME SystemTime(const rtl::TDateTime& value) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(value.Year);
  time.wMonth = static_cast<WORD>(value.Month);
  time.wDay = static_cast<WORD>(value.Day);
  time.wHour = static_cast<WORD>(value.Hour);
  time.wMinute = static_cast<WORD>(value.Minute);
  time.wSecond = static_cast<WORD>(value.Second);
  return time;
}

}  // namespace

MsgAnswer TShellUi::MessageDlg(const std::wstring& text, const std::wstring& caption,
                               MsgButtons buttons, MsgIcon icon) {
  ui::TMessageBoxRequest request;
  request.owner = owner_;
  request.text = text;
  request.caption = caption;
  request.flags = MessageBoxFlags(buttons, icon);
  return Answer(ui::ShowMessageBox(request));
}

void TShellUi::SetClipboardText(const std::wstring& text) {
  ui::SetClipboardText(text);
}

void TShellUi::ShellOpen(const std::wstring& file, const std::wstring& parameters) {
  ShellExecuteW(owner_, nullptr, file.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void TShellUi::SetBusy(bool busy) {
  if (!ui::Screen) return;
  if (busy) {
    previousCursor_ = ui::Screen->Cursor();
    ui::Screen->SetCursor(ui::crHourGlass);
  } else {
    ui::Screen->SetCursor(previousCursor_);
  }
}

std::uint32_t TDrives::LogicalDrives() {
  return GetLogicalDrives();
}

unsigned TDrives::DriveType(const std::wstring& root) {
  return GetDriveTypeW(root.c_str());
}

std::wstring TLocaleDateTimeFormat::Date(const rtl::TDateTime& value) const {
  const SYSTEMTIME time = SystemTime(value);
  wchar_t text[128] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 128);
  return text;
}

std::wstring TLocaleDateTimeFormat::Time(const rtl::TDateTime& value) const {
  const SYSTEMTIME time = SystemTime(value);
  wchar_t text[128] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, 128);
  return text;
}

}  // namespace app
