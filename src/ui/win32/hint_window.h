// The hint window and the record a control may change before its hint shows.
//   THintInfo: what CM_HINTSHOW hands the hint control (lParam): the control, where the hint
//   goes (screen), its longest width and colour, the rectangle (control's client coordinates)
//   that the mouse may roam without the hint going, the cursor (client), the text and data.
//   THintWindow: a borderless top-most window that shows a text. CalcHintRect(maxWidth, text,
//   data) gives the size it needs at 0, 0; ActivateHint(rect, text) shows it at a screen
//   rectangle without taking activation; ActivateHintData also keeps the data (derived hint
//   windows draw it); ReleaseHint hides it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/colors.h"
#include "ui/win32/controls.h"

namespace ui {

struct THintInfo {
  TControl* HintControl = nullptr;
  POINT HintPos{0, 0};
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;
  POINT CursorPos{0, 0};
  int HideTimeout = 0;
  std::wstring HintStr;
  void* HintData = nullptr;
};

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);
  std::wstring_view ClassName() const override { return L"THintWindow"; }
  void AfterConstruction() override;

  virtual TRect CalcHintRect(int maxWidth, const std::wstring& text, void* data);
  virtual void ActivateHint(const TRect& rect, const std::wstring& text);
  virtual void ActivateHintData(const TRect& rect, const std::wstring& text, void* data);
  void ReleaseHint();
  bool Active() const { return active_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;

 private:
  bool active_ = false;
};

}  // namespace ui
