#include "app/win32/shell_services.h"

#include "app/viewer/win32/file_viewer_form.h"
#include "app/viewer/win32/image_view_form.h"
#include "rtl/stream.h"
#include "ui/win32/clipboard.h"
#include "ui/win32/forms.h"
#include "ui/win32/shell.h"

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

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
  wchar_t text[128] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 128) <= 1) return fallback;
  return text;
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
  ui::ShellExecuteRequest({owner_, L"", file, parameters});
}

void TShellUi::Explore(const std::filesystem::path& folder) {
  ui::ShellExecuteRequest({owner_, L"explore", folder.wstring(), L""});
}

bool TShellUi::ShiftDown() {
  return GetKeyState(VK_SHIFT) < 0;
}

std::wstring TShellUi::ProgramText(int id) {
  // With no buffer size the call hands out the text in place; it is not zero-terminated there.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                 reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
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
  return ui::LogicalDrives();
}

unsigned TDrives::DriveType(const std::wstring& root) {
  return ui::DriveType(root);
}

std::filesystem::path TDrives::CurrentFolder(const std::wstring& root) {
  // A drive letter with its colon alone names that drive's current folder.
  const std::wstring drive = root.substr(0, 2);
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetFullPathNameW(drive.c_str(), MAX_PATH, folder, nullptr);
  if (length == 0 || length >= MAX_PATH) return root;
  return folder;
}

files::TDateTimeFormat LocaleDateTimeFormat() {
  files::TDateTimeFormat format;
  format.ShortDate = LocaleText(LOCALE_SSHORTDATE, format.ShortDate.c_str());
  format.LongTime = LocaleText(LOCALE_STIMEFORMAT, format.LongTime.c_str());
  format.Am = LocaleText(LOCALE_S1159, format.Am.c_str());
  format.Pm = LocaleText(LOCALE_S2359, format.Pm.c_str());
  for (int month = 0; month < 12; ++month) {
    std::wstring& name = format.MonthNames[static_cast<std::size_t>(month)];
    name = LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month), name.c_str());
  }
  // The locale counts days from Monday, the format from Sunday.
  for (int day = 0; day < 7; ++day) {
    std::wstring& name = format.DayNames[static_cast<std::size_t>((day + 1) % 7)];
    name = LocaleText(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day), name.c_str());
  }
  return format;
}

void TFileViewers::ViewFile(std::span<const std::uint8_t> data, const std::wstring& fileName,
                            std::int32_t displaySize, TViewerMode mode) {
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(data.begin(), data.end()));
  TFileViewerForm::ViewStream(stream, fileName, displaySize, mode, settingsKey_);
}

void TFileViewers::ViewPicture(std::span<const std::uint8_t> data, const std::wstring& fileName) {
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(data.begin(), data.end()));
  TfrmImageView::ViewFile(fileName, stream);
}

}  // namespace app
