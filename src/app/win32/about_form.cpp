#include "app/win32/about_form.h"

#include <string>

#include "app/about_text.h"
#include "app/win32/version_info.h"
#include "rtl/stream.h"

namespace app {

TAboutForm::TAboutForm(ui::TComponent* owner) : ui::TForm(owner) {}

void TAboutForm::AfterConstruction() {
  ui::TForm::AfterConstruction();
  SetName(L"AboutForm");
  SetCaption(L"About");
  SetBorderStyle(ui::TFormBorderStyle::bsDialog);
  Font().SetName(L"Tahoma");
  Font().SetHeight(-11);
  SetKeyPreview(true);
  SetClientSize(449, 316);

  memo_ = ui::Create<ux::TUxRichEdit>(*this);
  memo_->SetName(L"Memo");
  memo_->SetAllowObjects(false);
  memo_->SetAllowInPlace(false);
  memo_->SetDrawEndPage(false);
  memo_->SetReadOnly(true);
  memo_->SetBorderVisible(false);
  memo_->SetScrollBars(ui::TScrollStyle::ssVertical);
  memo_->SetTitle(L"About");
  memo_->SetParentFont(false);
  memo_->Font().SetName(L"Tahoma");
  memo_->Font().SetHeight(-11);
  memo_->SetFontCharset(RUSSIAN_CHARSET);
  memo_->SetParent(this);
  memo_->SetAlign(ui::TAlign::alClient);
  SetActiveControl(memo_);

  AddBeforeShowListener([this](ui::TCustomForm&) { CentreOnMainForm(); });
  OnShow = [this](ui::TComponent*) { FormShow(); };
  OnKeyDown = [this](ui::TComponent* sender, WORD& key, ui::TShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
}

void TAboutForm::Execute() {
  ui::Owned<TAboutForm> form = ui::New<TAboutForm>();
  form->FinishLoading();
  form->ShowModal();
}

void TAboutForm::CentreOnMainForm() {
  ui::TCustomForm* main = ui::Application ? ui::Application->MainForm() : nullptr;
  if (!main || main == this || !main->HandleAllocated()) return;
  const ui::TRect around = main->BoundsRect();
  SetBounds(around.left + (around.Width() - Width()) / 2,
            around.top + (around.Height() - Height()) / 2, Width(), Height());
}

void TAboutForm::FormShow() {
  const std::string rtf = BuildAboutRtf(FileVersion, LegalCopyright);
  rtl::TMemoryStream stream(std::vector<std::uint8_t>(rtf.begin(), rtf.end()));
  memo_->Lines().LoadFromStream(stream);
  memo_->SetSelStart(memo_->TextLength());
  memo_->SetSelLength(0);
}

void TAboutForm::FormKeyDown(ui::TComponent*, WORD& key, ui::TShiftState) {
  if (key != VK_ESCAPE) return;
  key = 0;
  Close();
}

}  // namespace app
