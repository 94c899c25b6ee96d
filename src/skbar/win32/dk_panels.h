// Multi-docks and dockable panels.
//   TSkBarCustomMultiDock (published as TSkBarMultiDock): a framework dock that holds dockable
//   panels in one row, shares its length between them through TPanelStack (fitting them when
//   its bounds change; a panel shown or docked again at its place gets back the length it had)
//   and shows the splitter next to it while it holds a panel.
//   TSkBarCustomDockablePanel (published as TSkBarDockablePanel): a tool window whose caption
//   bar is a panel (TPanel) holding a dock with the caption toolbar (caption label, extra items
//   and the caption buttons of Options). The dock paints the bar under the effective skin type
//   (OnDrawCaptionPanel around it) and the toolbar lets it show through. A press on the caption
//   moves the panel (its own loop: it trades places, floats and docks again), a double click
//   floats a docked panel or docks a floating one (its last dock, else its default dock), the
//   close button closes it, and the edge between two docked panels resizes them (a private loop
//   with the mouse captured, ended by release, Escape, another press or lost capture).
//   Minimise, maximise and restore go through the dock's panel stack. With ShowVerticalCaption
//   the caption bar of a panel in a dock stacking left to right runs down its left side. A panel
//   given a parent that is neither a dock nor its floating form floats (or docks) instead: it is
//   never a plain child of its form.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "skbar/panel_stack.h"
#include "skbar/win32/dk_panel_caption.h"
#include "skbar/win32/sk_docks.h"
#include "skbar/win32/splitter.h"

namespace skbar {

class TSkBarCustomDockablePanel;

class TSkBarCustomMultiDock : public tb::TTBDock {
 public:
  explicit TSkBarCustomMultiDock(ui::TComponent* owner);
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarMultiDock"; }
  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  void SetBounds(int left, int top, int width, int height) override;

  bool AutoSplitterVisibility = true;
  bool LimitToOneRow() const { return true; }
  void SetLimitToOneRow(bool) { tb::TTBDock::SetLimitToOneRow(true); }
  TSkBarDockPosition Position() const { return position_; }
  void SetPosition(TSkBarDockPosition position);
  bool IsVertical() const { return DockStacksVertically(position_); }

  // The splitter beside the dock (the one that resizes it), or null.
  TSkBarCustomSplitter* Splitter();
  // The dock's panels in their order along it.
  void GetDockablePanelList(std::vector<TSkBarCustomDockablePanel*>& list) const;
  // The panel's index in `list`, -1 when it is not there; answers whether it is there.
  static bool GetDockablePanelDockIndex(const std::vector<TSkBarCustomDockablePanel*>& list,
                                        const TSkBarCustomDockablePanel* panel, int& index);
  void UpdateDockablePanelsDockPos();
  // The panels' lengths as a stack, and the stack's lengths and positions applied back (the
  // panels' order in `panels` becomes their order in the dock).
  TPanelStack Stack(const std::vector<TSkBarCustomDockablePanel*>& panels) const;
  void Apply(const TPanelStack& stack, const std::vector<TSkBarCustomDockablePanel*>& panels);
  // Gives the panels the dock's thickness and shares its length between them (by their DockPos
  // values when these were set from outside, e.g. by the stored settings).
  void FitPanels();
  // A panel shown again comes back at its place among the others; one docked comes in at its
  // DockPos (before a panel at the same position). It takes back the length it had while it
  // shared a dock; the others make room, each down to its minimum.
  void PlacePanel(TSkBarCustomDockablePanel* panel);
  int Length() { return IsVertical() ? ClientHeight() : ClientWidth(); }
  int Thickness() { return IsVertical() ? ClientWidth() : ClientHeight(); }
  // The thinnest the dock gets across: its frame, and its panels' docked frames while it holds
  // a shown panel (a splitter counts it collapsed there).
  int MinThickness();
  bool Redistributing() const { return redistributing_; }

  tb::TTBInsertRemoveEvent OnInsertRemoveBar;
  tb::TTBRequestDockEvent OnRequestDock;

 protected:
  // A dock filling the client area fits its panels whenever it lays out its windows.
  void AlignControls(const ui::TRect& client) override;

 private:
  friend class TSkBarCustomDockablePanel;
  void InsertRemove(bool inserting, tb::TTBCustomDockableWindow* bar);
  // The panel has left the dock: it no longer holds a place in it.
  void Forget(TSkBarCustomDockablePanel* panel) { std::erase(order_, panel); }
  // Every panel on the dock, hidden ones included, in their order along it: a hidden panel
  // keeps its place between the others while their positions change.
  std::vector<TSkBarCustomDockablePanel*> order_;
  TSkBarDockPosition position_ = TSkBarDockPosition::dpxLeft;
  bool redistributing_ = false;
};

// Posted to a panel's windowed children (other than plain containers) when its background is
// invalidated; WParam and LParam are the child's width and height.
constexpr UINT WM_SKBARINVALIDATEBACKGROUND = 0xBD05;

class TSkBarCustomDockablePanel : public TSkBarCustomToolWindow {
 public:
  explicit TSkBarCustomDockablePanel(ui::TComponent* owner);
  // Builds the caption bar (its items are made through virtual operations).
  void AfterConstruction() override;
  // The caption parts outlive the panel's own members: their handlers are cut first.
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarDockablePanel"; }
  // Caption items hosting a control not yet on the caption toolbar get it there.
  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  // The caption toolbar is named after the panel: name + "Toolbar".
  void SetName(const std::wstring& name) override;
  // The caption label shows the caption.
  void SetCaption(const std::wstring& caption) override;
  void SetParent(ui::TWinControl* parent) override;
  // Sizes outside the constraints (ConstrainedResize) are brought within them.
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(ui::TMessage& message) override;
  // Not minimised and resizable: a neighbour that can give or take length.
  bool IsResizable() const { return Resizable() && state_ != TPanelWindowState::wsMinimized; }
  // Redraws itself; plain containers among its shown children are redrawn too, the other
  // windowed children are posted WM_SKBARINVALIDATEBACKGROUND.
  void InvalidateBackground(bool invalidateChildren = true);
  // Window size limits (0: none): its client limits plus its frame; docked in a multi-dock its
  // thickness is the dock's (except while the dock shares out its length) and, with
  // FixedDockedSize, its length is the one the dock gave it (except while an edge is dragged).
  void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
  // The tool window's values, then "FloatingClientWidth", "FloatingClientHeight",
  // "RestoreSize" and "State" (0 normal, 1 minimised, 2 maximised) under its name; sizes are
  // held to 0..kMaxStoredClientSize.
  void ReadPositionData(const tb::TTBPositionReader& reader) override;
  void WritePositionData(const tb::TTBPositionWriter& writer) override;
  // A floating panel read as minimised becomes minimised (its caption bar only).
  void DoneReadingPositionData(const tb::TTBPositionReader& reader) override;

  void CalcLayoutSize(bool canMoveControls, tb::TTBDockType dockType, bool floating,
                      tb::TTBDock* dock, tb::TPoint& newSize) override;
  void GetCurrentClientSize(tb::TPoint& size) override;
  void GetMinMaxSize(tb::TPoint& minSize, tb::TPoint& maxSize) override;
  // Its floating form closes it.
  tb::TTBFloatingWindowParent* CreateFloatingParent() override;

  int DefaultDockedSize = 0;
  bool FixedDockedSize = false;
  // The caption bar while floating, and while docked.
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool value);
  bool ShowCaptionWhenDocked() const { return showCaptionWhenDocked_; }
  void SetShowCaptionWhenDocked(bool value);
  // In a dock that stacks left to right the caption bar runs down the left side.
  bool ShowVerticalCaption() const { return showVerticalCaption_; }
  void SetShowVerticalCaption(bool value);
  bool IsVerticalTitleBar() const;
  TSkBarDockablePanelButtonOptions& Options() { return *options_; }
  TSkBarSkinType SkinType = sknSkin;
  // The caption toolbar's images and items (extra caption items go there).
  ui::TCustomImageList* Images() const { return captionToolbar_->Images(); }
  void SetImages(ui::TCustomImageList* images) { captionToolbar_->SetImages(images); }
  tb::TTBCustomItem& Items() { return captionToolbar_->Items(); }
  ui::TPanel* CaptionPanel() const { return captionPanel_; }
  TSkBarDock* CaptionDock() const { return captionDock_; }
  TSkBarDockablePanelToolbar* CaptionToolbar() const { return captionToolbar_; }

  TSkBarCustomMultiDock* MultiDock() const;
  TPanelWindowState WindowState() const { return state_; }
  bool Minimized() const { return !Floating() && state_ == TPanelWindowState::wsMinimized; }
  bool Maximized() const { return !Floating() && state_ == TPanelWindowState::wsMaximized; }
  int RestoreSize() const { return restoreSize_; }
  // The length along the dock that the stack gives it (docked).
  int DockedLength() const { return length_; }
  // The caption bar's height (its width when vertical); a hidden bar: 1 docked, 0 floating.
  int CaptionHeight() const;
  // The caption bar and its buttons, in client coordinates (empty for a button not shown).
  enum class TCaptionButton { cbClose, cbMaximize, cbMinimize };
  TRect CaptionRect() const;
  TRect CaptionButtonRect(TCaptionButton button) const;
  // Docked in a multi-dock that allows dragging, or floating.
  bool Movable() const;
  // Floats a docked panel, docks a floating one (last dock, else default dock).
  void ToggleDocking();
  bool Minimize();
  bool Maximize();
  bool Restore();
  bool SizeToggle(bool maximize);
  // Answers the edge code (86..89) under a screen point, or 0.
  int EdgeHitTest(POINT screen);
  // Forms whose multi-docks a moved panel may dock into, besides its own form's.
  void AddDockForm(ui::TCustomForm* form);
  void RemoveDockForm(ui::TCustomForm* form);

  TSkBarDrawBackgroundEvent OnDrawCaptionPanel;
  std::function<void(ui::TComponent* sender, TPanelWindowState state)> OnWindowStateChanged;

 protected:
  // Its children are clipped: the caption bar and the content paint only their own areas.
  void CreateParams(TCreateParams& params) override;
  virtual void FireDrawCaptionPanel(ui::TCanvas& canvas, const TRect& rect, TSkBarPaintStage stage,
                                    bool& paintDefault);
  virtual void FireWindowStateChanged(TPanelWindowState state);
  // The caption dock's background: the caption bar (the dock paints nothing of its own).
  virtual void DrawCaptionPanelBackground(ui::TCanvas& canvas, const TRect& rect,
                                          TSkBarPaintStage stage, bool& paintDefault);
  // The caption toolbar's background: the caption bar as the dock paints it behind.
  virtual void DrawCaptionToolbarBackground(ui::TCanvas& canvas, const TRect& rect,
                                            TSkBarPaintStage stage, bool& paintDefault);
  void Paint() override;

 private:
  friend class TSkBarCustomMultiDock;
  bool ChangeState(bool (TPanelStack::*operation)(int), TPanelWindowState fired);
  bool ChangeLoneState(TSkBarCustomMultiDock& dock, TPanelWindowState wanted);
  void PaintCaptionBar(ui::TCanvas& canvas, const TRect& bar);
  bool CaptionShown() const;
  // The caption panel follows the caption dock's thickness; the limits follow the caption.
  void ResyncCaptionSize();
  // Caption bar down the left side or across the top, shown as the panel's place wants it.
  void ReorientCaption();
  void SizingLoop(int hitCode, POINT start);
  // Moves the panel with the mouse captured: inside its multi-dock it trades places with the
  // panel whose caption is under the cursor, outside it floats (when it may), floating it
  // follows the cursor and docks into a multi-dock whose zone holds it (not while Ctrl is down);
  // one that may change docks but not float goes straight to a multi-dock under the cursor.
  void CaptureLoop(bool& flag, const std::function<void(POINT)>& moved);
  void MoveLoop();
  void MoveStep(POINT at);
  TSkBarCustomMultiDock* DockUnder(POINT at);
  // Docks into the multi-dock under the cursor, if one takes it.
  bool DockInto(POINT at);

  ui::TPanel* captionPanel_ = nullptr;
  TSkBarDock* captionDock_ = nullptr;
  TSkBarDockablePanelToolbar* captionToolbar_ = nullptr;
  std::unique_ptr<TSkBarDockablePanelButtonOptions> options_;
  std::vector<ui::TCustomForm*> dockForms_;
  TPanelWindowState state_ = TPanelWindowState::wsNormal;
  int restoreSize_ = 0;
  int length_ = 150;
  int wantedLength_ = 150;   // what fitting to the dock starts from (see TPanelStack)
  bool keptInDock_ = false;  // keeps its length while the others give way (see TPanelStack)
  int crossSize_ = 150;
  tb::TPoint floatingClient_{0, 0};
  bool sizing_ = false;
  bool moving_ = false;
  bool docking_ = false;  // inside SetParent: it places itself in the new dock afterwards
  bool showCaption_ = true;
  bool showCaptionWhenDocked_ = true;
  bool showVerticalCaption_ = false;
  TPanelWindowState readState_ = TPanelWindowState::wsNormal;
};

}  // namespace skbar
