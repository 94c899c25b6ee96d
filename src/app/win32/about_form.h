// The about box: a modal dialog centred on the main window whose read-only rich text shows the
// program's title, file version and copyright; the caret waits at the end. Escape closes it.
#pragma once

#include "ui/win32/forms.h"
#include "ux/win32/rich_edit.h"

namespace app {

class TAboutForm : public ui::TForm {
 public:
  explicit TAboutForm(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TAboutForm"; }
  // Builds the controls (no virtual call of the form's own runs in its constructor).
  void AfterConstruction() override;

  // Opens the box and returns once it is closed.
  static void Execute();

  ux::TUxRichEdit& Memo() { return *memo_; }

 private:
  // Escape closes the window.
  void FormKeyDown(ui::TComponent* sender, WORD& key, ui::TShiftState shift);
  void FormShow();
  void CentreOnMainForm();

  ux::TUxRichEdit* memo_ = nullptr;
};

}  // namespace app
