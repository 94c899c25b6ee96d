#include "ui/win32/status_bar.h"

#include <commctrl.h>

namespace ui {

void TStatusPanel::SetText(const std::wstring& text) {
  if (text == text_) return;
  text_ = text;
  for (int i = 0; i < bar_.PanelCount(); ++i) {
    if (bar_.Panels(i) == this) bar_.UpdatePanelText(i);
  }
}

void TStatusPanel::SetWidth(int width) {
  width_ = width;
  bar_.UpdatePanels();
}

void TStatusPanel::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  bar_.UpdatePanels();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
  StoreBounds({0, 0, 100, 19});
  SetAlign(TAlign::alBottom);
}

TStatusPanel* TStatusBar::AddPanel() {
  panels_.push_back(std::make_unique<TStatusPanel>(*this));
  UpdatePanels();
  return panels_.back().get();
}

void TStatusBar::SetSimplePanel(bool simple) {
  simplePanel_ = simple;
  if (HandleAllocated()) SendMessageW(Handle(), SB_SIMPLE, simple, 0);
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::wstring& text) {
  simpleText_ = text;
  if (HandleAllocated()) {
    SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

std::vector<int> TStatusBar::PanelEdges() const {
  std::vector<int> edges;
  int edge = 0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    edge += panels_[i]->Width();
    edges.push_back(i + 1 == panels_.size() ? -1 : edge);
  }
  return edges;
}

std::wstring TStatusBar::PanelText(const TStatusPanel& panel) {
  switch (panel.Alignment()) {
    case TAlignment::taCenter:
      return L"\t" + panel.Text();
    case TAlignment::taRightJustify:
      return L"\t\t" + panel.Text();
    default:
      return panel.Text();
  }
}

void TStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.windowClass = STATUSCLASSNAMEW;
  params.systemClass = true;
  params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY | SBARS_SIZEGRIP;
}

void TStatusBar::HandleCreated() {
  SendMessageW(Handle(), SB_SIMPLE, simplePanel_, 0);
  SetSimpleText(simpleText_);
  UpdatePanels();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  std::vector<int> edges = PanelEdges();
  if (edges.empty()) edges.push_back(-1);
  SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < PanelCount(); ++i) UpdatePanelText(i);
}

void TStatusBar::UpdatePanelText(int index) {
  if (!HandleAllocated()) return;
  const std::wstring text = PanelText(*Panels(index));
  SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace ui
