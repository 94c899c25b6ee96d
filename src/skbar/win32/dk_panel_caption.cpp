#include "skbar/win32/dk_panel_caption.h"

#include <algorithm>

#include "skbar/skin_colors.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/dk_panels.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_skin_paint.h"

namespace skbar {

TSkBarDockablePanelButtonOptions::TSkBarDockablePanelButtonOptions(ui::TControl* owner,
                                                                   TSkBarToolbar* toolbar)
    : TSkBarButtonOptions(owner, toolbar) {
  StoreTitleBarMaxSize(19);
  StoreMinimizeMaximize(false, false);
}

TSkBarCustomDockablePanel* TSkBarDockablePanelButtonOptions::Panel() const {
  return dynamic_cast<TSkBarCustomDockablePanel*>(Owner());
}

void TSkBarDockablePanelButtonOptions::ButtonClicked(TSkBarItem& button) {
  TSkBarCustomDockablePanel* panel = Panel();
  if (!panel) return;
  if (&button == MinimizeButton())
    panel->SizeToggle(false);
  else if (&button == MaximizeButton())
    panel->SizeToggle(true);
  else if (&button == CloseButton())
    panel->Close();
}

bool TSkBarDockablePanelButtonOptions::ButtonToggled(const TSkBarItem& button) const {
  const TSkBarCustomDockablePanel* panel = Panel();
  if (!panel) return false;
  if (&button == MinimizeButton()) return panel->WindowState() == TPanelWindowState::wsMinimized;
  if (&button == MaximizeButton()) return panel->WindowState() == TPanelWindowState::wsMaximized;
  return false;
}

TSkBarCustomDockablePanel* TSkBarDockablePanelToolbar::GetParentDockablePanel() const {
  for (ui::TWinControl* p = Parent(); p; p = p->Parent())
    if (auto* panel = dynamic_cast<TSkBarCustomDockablePanel*>(p)) return panel;
  return nullptr;
}

TColor TSkBarDockablePanelToolbar::ItemTextColor(TSkBarSkinStatesType state) const {
  const TSkBarCustomDockablePanel* panel = GetParentDockablePanel();
  return SkCurrentSkin().GetTextColor(skncDockablePanelTitleBar, state,
                                      SkEffectiveSkinType(panel ? panel->SkinType : sknSkin));
}

void TSkBarDockablePanelToolbar::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x,
                                           int y) {
  TSkBarCustomDockablePanel* panel = GetParentDockablePanel();
  if (button != ui::TMouseButton::mbLeft || !panel || !panel->Movable()) {
    TSkBarToolbar::MouseDown(button, shift, x, y);
    return;
  }
  tb::TTBCustomItem* item = ItemAt(x, y);
  if (item && !(item->GetItemStyle() & tb::tbisClicksTransparent)) {
    TSkBarToolbar::MouseDown(button, shift, x, y);
    return;
  }
  if (shift & ui::ssDouble) {
    panel->ToggleDocking();
    return;
  }
  POINT at{x, y};
  ClientToScreen(Handle(), &at);
  SendMessageW(panel->Handle(), WM_NCLBUTTONDOWN, htPanelMove, MAKELPARAM(at.x, at.y));
}

// The panel's caption bar.

void TSkBarCustomDockablePanel::AfterConstruction() {
  TSkBarCustomToolWindow::AfterConstruction();
  captionPanel_ = ui::Create<ui::TPanel>(*this);
  captionPanel_->SetAlign(ui::TAlign::alTop);
  captionPanel_->SetHeight(19);
  captionPanel_->SetParent(this);
  captionDock_ = ui::Create<TSkBarDock>(*this);
  captionDock_->OnRequestDock = [this](ui::TComponent*, tb::TTBCustomDockableWindow* bar,
                                       bool& accept) { accept = bar == captionToolbar_; };
  captionDock_->OnDrawBackground = [this](ui::TComponent*, ui::TCanvas& canvas, const TRect& r,
                                          TSkBarPaintStage stage, bool& paintDefault) {
    DrawCaptionPanelBackground(canvas, r, stage, paintDefault);
  };
  captionDock_->OnResize = [this](ui::TComponent*) { ResyncCaptionSize(); };
  captionDock_->SetParent(captionPanel_);
  captionToolbar_ = ui::Create<TSkBarDockablePanelToolbar>(*this);
  captionToolbar_->SetCustomizable(false);
  captionToolbar_->ControlItemMode = true;
  captionToolbar_->SetBorderStyle(tb::TTBBorderStyle::bsNone);
  captionToolbar_->SetDockMode(tb::TTBDockMode::dmCannotFloatOrChangeDocks);
  captionToolbar_->SetDragHandleStyle(tb::TTBDragHandleStyle::dhNone);
  captionToolbar_->Items().SetOptions(captionToolbar_->Items().Options() | tb::tboNoAutoHint);
  captionToolbar_->SetStretch(true);
  captionToolbar_->SetShrinkMode(tb::TTBShrinkMode::tbsmNone);
  captionToolbar_->SetShowCaption(false);
  captionToolbar_->OnDrawBackground = [this](ui::TComponent*, ui::TCanvas& canvas, const TRect& r,
                                             TSkBarPaintStage stage, bool& paintDefault) {
    DrawCaptionToolbarBackground(canvas, r, stage, paintDefault);
  };
  captionToolbar_->SetParent(captionDock_);
  options_ = std::make_unique<TSkBarDockablePanelButtonOptions>(this, captionToolbar_);
  options_->Create();
  options_->SetCaptionText(Caption());
  tb::TTBCustomDockableWindow::SetShowCaption(false);
}

void TSkBarCustomDockablePanel::BeforeDestruction() noexcept {
  if (captionDock_) {
    captionDock_->OnRequestDock = nullptr;
    captionDock_->OnDrawBackground = nullptr;
    captionDock_->OnResize = nullptr;
  }
  if (captionToolbar_) captionToolbar_->OnDrawBackground = nullptr;
  TSkBarCustomToolWindow::BeforeDestruction();
}

void TSkBarCustomDockablePanel::Loaded() {
  TSkBarCustomToolWindow::Loaded();
  for (int i = 0; i < Items().Count(); ++i) {
    auto* item = dynamic_cast<tb::TTBControlItem*>(Items().Items(i));
    auto* control = item ? dynamic_cast<ui::TControl*>(item->Control()) : nullptr;
    if (control && control->Parent() != captionToolbar_) control->SetParent(captionToolbar_);
  }
}

void TSkBarCustomDockablePanel::Notification(ui::TComponent* component, ui::TOperation operation) {
  TSkBarCustomToolWindow::Notification(component, operation);
  if (operation == ui::TOperation::opRemove) std::erase(dockForms_, component);
}

void TSkBarCustomDockablePanel::AddDockForm(ui::TCustomForm* form) {
  if (!form || std::ranges::find(dockForms_, form) != dockForms_.end()) return;
  dockForms_.push_back(form);
  form->FreeNotification(this);
}

void TSkBarCustomDockablePanel::RemoveDockForm(ui::TCustomForm* form) {
  if (std::erase(dockForms_, form) > 0) form->RemoveFreeNotification(this);
}

void TSkBarCustomDockablePanel::SetName(const std::wstring& name) {
  TSkBarCustomToolWindow::SetName(name);
  if (captionToolbar_) captionToolbar_->SetName(name.empty() ? name : name + L"Toolbar");
}

void TSkBarCustomDockablePanel::SetCaption(const std::wstring& caption) {
  TSkBarCustomToolWindow::SetCaption(caption);
  if (options_) options_->SetCaptionText(caption);
}

bool TSkBarCustomDockablePanel::Movable() const {
  const TSkBarCustomMultiDock* dock = MultiDock();
  return dock ? dock->AllowDrag() : Floating();
}

bool TSkBarCustomDockablePanel::CaptionShown() const {
  return Floating() ? showCaption_ : showCaptionWhenDocked_;
}

int TSkBarCustomDockablePanel::CaptionHeight() const {
  if (!CaptionShown() || !captionPanel_) return Floating() ? 0 : 1;
  return IsVerticalTitleBar() ? captionPanel_->Width() : captionPanel_->Height();
}

void TSkBarCustomDockablePanel::SetShowCaption(bool value) {
  showCaption_ = value;
  if (Floating()) ReorientCaption();
}

void TSkBarCustomDockablePanel::SetShowCaptionWhenDocked(bool value) {
  showCaptionWhenDocked_ = value;
  if (!Floating()) ReorientCaption();
}

void TSkBarCustomDockablePanel::ResyncCaptionSize() {
  if (!captionPanel_) return;
  const bool vertical = IsVerticalTitleBar();
  const int size = vertical ? captionDock_->Width() : captionDock_->Height();
  if (size > 0 && (vertical ? captionPanel_->Width() : captionPanel_->Height()) != size) {
    if (vertical)
      captionPanel_->SetWidth(size);
    else
      captionPanel_->SetHeight(size);
  }
}

void TSkBarCustomDockablePanel::ReorientCaption() {
  if (!captionPanel_) return;
  const bool vertical = IsVerticalTitleBar();
  captionPanel_->SetVisible(CaptionShown());
  const tb::TTBDockPosition position =
      vertical ? tb::TTBDockPosition::dpLeft : tb::TTBDockPosition::dpTop;
  if (captionDock_->Position() != position) {
    // The caption toolbar leaves the dock while it turns, and docks again.
    captionToolbar_->SetParent(nullptr);
    captionDock_->SetPosition(position);
    captionPanel_->SetAlign(vertical ? ui::TAlign::alLeft : ui::TAlign::alTop);
    if (vertical)
      captionPanel_->SetWidth(captionPanel_->Height());
    else
      captionPanel_->SetHeight(captionPanel_->Width());
    captionToolbar_->SetParent(captionDock_);
  }
  ResyncCaptionSize();
}

TRect TSkBarCustomDockablePanel::CaptionRect() const {
  if (!captionPanel_ || !captionPanel_->Visible()) return {};
  return {captionPanel_->Left(), captionPanel_->Top(),
          captionPanel_->Left() + captionPanel_->Width(),
          captionPanel_->Top() + captionPanel_->Height()};
}

TRect TSkBarCustomDockablePanel::CaptionButtonRect(TCaptionButton button) const {
  const TSkBarItem* item = button == TCaptionButton::cbClose      ? options_->CloseButton()
                           : button == TCaptionButton::cbMaximize ? options_->MaximizeButton()
                                                                  : options_->MinimizeButton();
  if (!captionToolbar_->HandleAllocated()) return {};
  const tb::TTBItemViewer* viewer = captionToolbar_->View().Find(item);
  if (!viewer->Show()) return {};
  const tb::TRect r = viewer->BoundsRect();
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  MapWindowPoints(captionToolbar_->Handle(), const_cast<TSkBarCustomDockablePanel*>(this)->Handle(),
                  corners, 2);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void TSkBarCustomDockablePanel::FireDrawCaptionPanel(ui::TCanvas& canvas, const TRect& rect,
                                                     TSkBarPaintStage stage, bool& paintDefault) {
  if (OnDrawCaptionPanel) OnDrawCaptionPanel(this, canvas, rect, stage, paintDefault);
}

void TSkBarCustomDockablePanel::FireWindowStateChanged(TPanelWindowState state) {
  if (OnWindowStateChanged) OnWindowStateChanged(this, state);
}

void TSkBarCustomDockablePanel::DrawCaptionPanelBackground(ui::TCanvas& canvas, const TRect& rect,
                                                           TSkBarPaintStage stage,
                                                           bool& paintDefault) {
  if (stage != TSkBarPaintStage::pstPrePaint) return;
  paintDefault = false;
  PaintCaptionBar(canvas, rect);
}

void TSkBarCustomDockablePanel::DrawCaptionToolbarBackground(ui::TCanvas& canvas, const TRect& rect,
                                                             TSkBarPaintStage stage,
                                                             bool& paintDefault) {
  if (stage != TSkBarPaintStage::pstPrePaint) return;
  paintDefault = false;
  if (!captionToolbar_->HandleAllocated() || !captionDock_->HandleAllocated()) return;
  // The bar as the dock paints it, moved to where the toolbar sits on the dock. The rectangle
  // is the whole window when the frame is painted, else the client area.
  POINT origin{0, 0};
  const bool window =
      rect.Width() == captionToolbar_->Width() && rect.Height() == captionToolbar_->Height();
  if (window) {
    RECT w;
    GetWindowRect(captionToolbar_->Handle(), &w);
    origin = {w.left, w.top};
    ScreenToClient(captionDock_->Handle(), &origin);
  } else {
    MapWindowPoints(captionToolbar_->Handle(), captionDock_->Handle(), &origin, 1);
  }
  const int left = rect.left - origin.x, top = rect.top - origin.y;
  PaintCaptionBar(
      canvas, {left, top, left + captionDock_->ClientWidth(), top + captionDock_->ClientHeight()});
}

void TSkBarCustomDockablePanel::PaintCaptionBar(ui::TCanvas& canvas, const TRect& bar) {
  bool paintDefault = true;
  FireDrawCaptionPanel(canvas, bar, TSkBarPaintStage::pstPrePaint, paintDefault);
  if (paintDefault) {
    // Docked, the bar reaches one pixel further across (its far frame line falls outside) and
    // stops two pixels short of its end, which keeps the panel's face.
    TRect r = bar;
    if (Docked()) {
      SkFillRect(canvas, bar, ui::clBtnFace);
      if (IsVerticalTitleBar())
        r = {bar.left, bar.top, bar.right + 1, bar.bottom - 2};
      else
        r = {bar.left, bar.top, bar.right - 2, bar.bottom + 1};
    }
    if (captionDock_->BackgroundColor != clNone) {
      SkFillRect(canvas, r, captionDock_->BackgroundColor);
    } else if (SkEffectiveSkinType(SkinType) == sknSkin) {
      SkPaintBackground(SkCurrentSkin(), canvas, r, skncDockablePanelTitleBar, sknsNormal, true,
                        true, IsVerticalTitleBar());
    } else {
      SkFillRect(canvas, r, SkMixColors(ui::clBtnFace, ui::clBtnShadow, 80));
      if (Docked()) {
        SkDrawRectangle(canvas, r, 0, 0, ui::clBtnFace, ui::clBtnFace);
        SkDrawRectangle(canvas, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, 0, 0,
                        ui::clWhite, ui::clWhite);
      }
    }
  }
  FireDrawCaptionPanel(canvas, bar, TSkBarPaintStage::pstPostPaint, paintDefault);
}

void TSkBarCustomDockablePanel::Paint() {
  ui::TCanvas& canvas = Canvas();
  SkFillRect(canvas, {0, 0, ClientWidth(), ClientHeight()},
             Color() == clNone ? ui::clBtnFace : Color());
}

}  // namespace skbar
