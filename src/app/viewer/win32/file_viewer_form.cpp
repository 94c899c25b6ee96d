#include "app/viewer/win32/file_viewer_form.h"

namespace app {
namespace {

constexpr wchar_t kTextFont[] = L"Tahoma";
constexpr wchar_t kHexDumpFont[] = L"Courier New";

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  const HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &query, &FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

// The hex dump's columns line up only in a monospaced face: "Courier New", or, on a system
// without it, no face named, so that the system picks its fixed-pitch modern face (a missing
// named face would be replaced by a proportional one).
void SetViewerFont(ui::TFont& font, bool hexDump) {
  font.SetName(!hexDump ? kTextFont : FaceInstalled(kHexDumpFont) ? kHexDumpFont : L"");
  font.SetPitch(hexDump ? ui::TFontPitch::fpFixed : ui::TFontPitch::fpDefault);
}

}  // namespace

TFileViewerForm::TFileViewerForm(ui::TComponent* owner, const std::wstring& settingsKey)
    : ui::TForm(owner), settingsKey_(settingsKey) {}

void TFileViewerForm::AfterConstruction() {
  ui::TForm::AfterConstruction();
  SetCaption(L"File Viewer");
  Font().SetName(kTextFont);
  Font().SetHeight(-11);
  SetKeyPreview(true);
  SetClientSize(773, 566);

  statusBar_ = ui::Create<ui::TStatusBar>(*this);
  statusBar_->SetName(L"StatusBar");
  statusBar_->SetParent(this);
  statusBar_->AddPanel()->SetWidth(50);

  memo_ = ui::Create<ui::TMemo>(*this);
  memo_->SetName(L"Memo");
  memo_->SetParent(this);
  memo_->SetAlign(ui::TAlign::alClient);
  memo_->SetParentFont(false);
  SetViewerFont(memo_->Font(), false);
  memo_->Font().SetHeight(-12);
  memo_->SetReadOnly(true);
  memo_->SetBorderVisible(false);
  memo_->SetScrollBars(ui::TScrollStyle::ssBoth);
  memo_->Lines().SetText(L"Memo");
  // The text has the keyboard from the start, as a form's first control has on the platform:
  // the keys that scroll it work without a click (the window still sees them first).
  SetActiveControl(memo_);

  formStorage_ = ui::Create<ux::TFormStorage>(*this);
  formStorage_->SetName(L"FormStorage");
  formStorage_->SetIniFileName(settingsKey_);
  formStorage_->SetOptions({ux::TPlacementOption::fpPosition});

  OnKeyDown = [this](ui::TComponent* sender, WORD& key, ui::TShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  // Each view opens a window of its own, so a closed one goes away with its copy of the file.
  OnClose = [](ui::TComponent*, ui::TCloseAction& action) { action = ui::TCloseAction::caFree; };
}

TFileViewerForm* TFileViewerForm::ViewStream(rtl::TStream& stream, const std::wstring& fileName,
                                             std::int32_t displaySize, TViewerMode mode,
                                             const std::wstring& settingsKey) {
  auto* form = ui::Create<TFileViewerForm>(*ui::Application, settingsKey);
  form->FinishLoading();
  form->FFileName = fileName;
  form->FDisplaySize = displaySize;
  form->ShowContents(stream, mode);
  form->Show();
  return form;
}

void TFileViewerForm::ShowContents(rtl::TStream& stream, TViewerMode mode) {
  stream.SetPosition(0);
  std::vector<std::uint8_t> copy(static_cast<std::size_t>(stream.Size()));
  copy.resize(stream.ReadFully(copy));
  FDataStream.Clear();
  FDataStream.Write(copy);

  statusBar_->Panels(0)->SetText(SizeStatusText(FDisplaySize));
  const TViewerContent content = BuildViewerContent(FDataStream.Bytes(), FFileName, mode);
  SetCaption(content.caption);
  SetViewerFont(memo_->Font(), content.shownAs == TViewerMode::vmHex);
  // With a break after every line, a last empty line stays a line of its own.
  memo_->Lines().SetText(content.text + L"\r\n");
}

void TFileViewerForm::FormKeyDown(ui::TComponent*, WORD& key, ui::TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  Close();
}

}  // namespace app
