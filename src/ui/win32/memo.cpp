#include "ui/win32/memo.h"

#include <vector>

namespace ui {

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
  StoreColor(clWindow);
  SetTabStop(true);
  lines_.OnChange = [this](TStringList&) { PushText(); };
}

void TMemo::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, readOnly, 0);
}

std::wstring TMemo::WindowText() const {
  std::wstring text = lines_.Text();
  if (text.size() >= 2) text.resize(text.size() - 2);
  return text;
}

void TMemo::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.windowClass = L"EDIT";
  params.systemClass = true;
  params.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_TABSTOP;
  if (!wordWrap_) params.style |= ES_AUTOHSCROLL;
  if (readOnly_) params.style |= ES_READONLY;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) {
    params.style |= WS_VSCROLL;
  }
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) {
    params.style |= WS_HSCROLL;
  }
  if (border_) params.exStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::HandleCreated() {
  SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
  PushText();
}

void TMemo::PushText() {
  if (pulling_ || !HandleAllocated()) return;
  SetWindowTextW(Handle(), WindowText().c_str());
}

bool TMemo::CommandReflected(WORD code, LRESULT&) {
  if (code != EN_CHANGE || readOnly_) return false;
  const int length = GetWindowTextLengthW(Handle());
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  GetWindowTextW(Handle(), buffer.data(), length + 1);
  pulling_ = true;
  lines_.SetText(std::wstring_view(buffer.data(), static_cast<std::size_t>(length)));
  pulling_ = false;
  return true;
}

}  // namespace ui
