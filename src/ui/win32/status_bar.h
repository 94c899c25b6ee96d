// The status bar (comctl32) with panels, aligned to the bottom of its parent by default.
//   Panels: AddPanel() -> TStatusPanel with Text, Width, Alignment. The last panel reaches
//   to the right end. SimplePanel/SimpleText show one text instead of the panels.
//   PanelEdges(): the right edges the control gets (portable decision, no window needed).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/win32/controls.h"
#include "ui/win32/list_view.h"

namespace ui {

class TStatusBar;

class TStatusPanel {
 public:
  explicit TStatusPanel(TStatusBar& bar) : bar_(bar) {}
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& text);
  int Width() const { return width_; }
  void SetWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

 private:
  TStatusBar& bar_;
  std::wstring text_;
  int width_ = 50;
  TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);
  std::wstring_view ClassName() const override { return L"TStatusBar"; }

  int PanelCount() const { return static_cast<int>(panels_.size()); }
  TStatusPanel* Panels(int index) const {
    return panels_.at(static_cast<std::size_t>(index)).get();
  }
  TStatusPanel* AddPanel();
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool simple);
  const std::wstring& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::wstring& text);

  std::vector<int> PanelEdges() const;
  // The text as the control gets it: a tab before it centres, two right-align.
  static std::wstring PanelText(const TStatusPanel& panel);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  friend class TStatusPanel;
  void UpdatePanels();
  void UpdatePanelText(int index);

  std::vector<std::unique_ptr<TStatusPanel>> panels_;
  bool simplePanel_ = false;
  std::wstring simpleText_;
};

}  // namespace ui
