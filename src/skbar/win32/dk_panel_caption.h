// The caption bar of a dockable panel.
//   TSkBarDockablePanelButtonOptions: the caption items in their panel form: 15-pixel buttons,
//   title bar size 19, minimise and maximise off by default; the minimise and maximise buttons
//   toggle the panel's size (SizeToggle), the close button closes it; a button shows its
//   restore glyph while the panel is in its state.
//   TSkBarDockablePanelToolbar: the toolbar that carries them, docked in the panel's caption
//   dock. Its items use the title bar's text colour; a left press on the caption label (or on
//   no item) moves the panel, a double click there floats or docks it.
#pragma once

#include "skbar/win32/sk_button_options.h"
#include "skbar/win32/sk_toolbar.h"

namespace skbar {

class TSkBarCustomDockablePanel;

// The hit code that moves a panel (WM_NCLBUTTONDOWN sent to the panel by its caption bar).
constexpr int htPanelMove = 2000;

class TSkBarDockablePanelButtonOptions : public TSkBarButtonOptions {
 public:
  TSkBarDockablePanelButtonOptions(ui::TControl* owner, TSkBarToolbar* toolbar);
  std::wstring_view ClassName() const override { return L"TSkBarDockablePanelButtonOptions"; }
  void ButtonClicked(TSkBarItem& button) override;
  bool ButtonToggled(const TSkBarItem& button) const override;
  int ButtonWidth() const override { return 15; }

  // Minimising and restoring resize against the panels after it instead of those before.
  bool TaskPaneStyleResize = false;

 private:
  TSkBarCustomDockablePanel* Panel() const;
};

class TSkBarDockablePanelToolbar : public TSkBarToolbar {
 public:
  using TSkBarToolbar::TSkBarToolbar;
  std::wstring_view ClassName() const override { return L"TSkBarDockablePanelToolbar"; }
  // The first dockable panel among its parents.
  TSkBarCustomDockablePanel* GetParentDockablePanel() const;
  TColor ItemTextColor(TSkBarSkinStatesType state) const override;
  int RightAlignMargin() const override { return 4; }

 protected:
  // Its frame shows the caption bar too, under every skin type.
  bool PaintsDockedFrame() const override { return true; }
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
};

}  // namespace skbar
