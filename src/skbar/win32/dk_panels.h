// Multi-docks and dockable panels.
//   TSkBarCustomMultiDock (published as TSkBarMultiDock): a framework dock that holds dockable
//   panels in one row, shares its length between them through TPanelStack (fitting them when
//   its bounds change) and shows the splitter next to it while it holds a panel.
//   TSkBarCustomDockablePanel (published as TSkBarDockablePanel): a tool window with a
//   caption bar (text and close button) painted under the effective skin type. A press on the
//   caption moves it (its own loop: it trades places, floats and docks again), a double click
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
#include <vector>

#include "skbar/panel_stack.h"
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
  void UpdateDockablePanelsDockPos();
  // The panels' lengths as a stack, and the stack's lengths and positions applied back.
  TPanelStack Stack(const std::vector<TSkBarCustomDockablePanel*>& panels) const;
  void Apply(const TPanelStack& stack, const std::vector<TSkBarCustomDockablePanel*>& panels);
  // Gives the panels the dock's thickness and shares its length between them.
  void FitPanels();
  int Length() { return IsVertical() ? ClientHeight() : ClientWidth(); }
  int Thickness() { return IsVertical() ? ClientWidth() : ClientHeight(); }
  bool Redistributing() const { return redistributing_; }

  tb::TTBInsertRemoveEvent OnInsertRemoveBar;
  tb::TTBRequestDockEvent OnRequestDock;

 private:
  void InsertRemove(bool inserting, tb::TTBCustomDockableWindow* bar);
  TSkBarDockPosition position_ = TSkBarDockPosition::dpxLeft;
  bool redistributing_ = false;
};

struct TSkBarDockablePanelButtonOptions {
  bool Close = true;
  bool Minimize = false;
  bool Maximize = false;
  bool TaskPaneStyleResize = false;
  int TitleBarMaxSize = 19;
};

// Posted to a panel's windowed children (other than plain containers) when its background is
// invalidated; WParam and LParam are the child's width and height.
constexpr UINT WM_SKBARINVALIDATEBACKGROUND = 0xBD05;

class TSkBarCustomDockablePanel : public TSkBarCustomToolWindow {
 public:
  explicit TSkBarCustomDockablePanel(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarDockablePanel"; }
  void SetParent(ui::TWinControl* parent) override;
  // Sizes outside the constraints (ConstrainedResize) are brought within them.
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(ui::TMessage& message) override;
  // Redraws itself; plain containers among its shown children are redrawn too, the other
  // windowed children are posted WM_SKBARINVALIDATEBACKGROUND.
  void InvalidateBackground(bool invalidateChildren = true);
  // Window size limits (0: none): its client limits plus its frame; docked in a multi-dock its
  // thickness is the dock's (except while the dock shares out its length) and, with
  // FixedDockedSize, its length is the one the dock gave it (except while an edge is dragged).
  void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
  // The tool window's values, then "FloatingClientWidth", "FloatingClientHeight",
  // "RestoreSize" and "State" (0 normal, 1 minimised, 2 maximised) under its name.
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
  bool ShowCaption = true;
  bool ShowCaptionWhenDocked = true;
  // In a dock that stacks left to right the caption bar runs down the left side.
  bool ShowVerticalCaption() const { return showVerticalCaption_; }
  void SetShowVerticalCaption(bool value);
  bool IsVerticalTitleBar() const;
  TSkBarDockablePanelButtonOptions Options;
  TSkBarSkinType SkinType = sknSkin;

  TSkBarCustomMultiDock* MultiDock() const;
  TPanelWindowState WindowState() const { return state_; }
  int RestoreSize() const { return restoreSize_; }
  // The length along the dock that the stack gives it (docked).
  int DockedLength() const { return length_; }
  int CaptionHeight() const;
  // The caption bar and its buttons, in client coordinates (empty for a button switched off).
  enum class TCaptionButton { cbClose, cbMaximize, cbMinimize };
  TRect CaptionRect();
  TRect CaptionButtonRect(TCaptionButton button);
  TRect CloseButtonRect();
  // Floats a docked panel, docks a floating one (last dock, else default dock).
  void ToggleDocking();
  bool Minimize();
  bool Maximize();
  bool Restore();
  bool SizeToggle(bool maximize);
  // Answers the edge code (86..89) under a screen point, or 0.
  int EdgeHitTest(POINT screen);

  std::function<void(ui::TComponent* sender, TPanelWindowState state)> OnWindowStateChanged;

 protected:
  void Paint() override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

 private:
  friend class TSkBarCustomMultiDock;
  bool ChangeState(bool (TPanelStack::*operation)(int), TPanelWindowState fired);
  void SizingLoop(int hitCode, POINT start);
  // Moves the panel with the mouse captured: inside its multi-dock it trades places with the
  // panel whose caption is under the cursor, outside it floats (when it may), floating it
  // follows the cursor and docks into a multi-dock whose zone holds it (not while Ctrl is down).
  void CaptureLoop(bool& flag, const std::function<void(POINT)>& moved);
  void MoveLoop();
  void MoveStep(POINT at);
  TSkBarCustomMultiDock* DockUnder(POINT at);

  TPanelWindowState state_ = TPanelWindowState::wsNormal;
  int restoreSize_ = 0;
  int length_ = 150;
  int crossSize_ = 150;
  tb::TPoint floatingClient_{0, 0};
  bool sizing_ = false;
  bool moving_ = false;
  bool showVerticalCaption_ = false;
  TPanelWindowState readState_ = TPanelWindowState::wsNormal;
};

}  // namespace skbar
