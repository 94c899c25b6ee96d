// A multi-line text control. Lines is a string list: changes show at once (in one go inside
// BeginUpdate/EndUpdate); typing in an editable memo updates Lines.
//   ReadOnly, WordWrap, ScrollBars (both by default), BorderVisible.
#pragma once

#include <windows.h>

#include "ui/strings.h"
#include "ui/win32/controls.h"

namespace ui {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);
  std::wstring_view ClassName() const override { return L"TMemo"; }

  TStringList& Lines() { return lines_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap) { wordWrap_ = wordWrap; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle scrollBars) { scrollBars_ = scrollBars; }
  bool BorderVisible() const { return border_; }
  void SetBorderVisible(bool border) { border_ = border; }

  // The window's text: the lines joined by CR LF, without a final line break.
  std::wstring WindowText() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  bool CommandReflected(WORD code, LRESULT& result) override;

 private:
  void PushText();

  TStringList lines_;
  bool readOnly_ = false;
  bool wordWrap_ = false;
  bool border_ = true;
  bool pulling_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
};

}  // namespace ui
