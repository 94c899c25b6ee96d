// TTBDock: a control aligned to one edge of its form that holds dockable windows in rows. It
// keeps the windows docked on it (and the floating ones that remember it as their last dock)
// in DockList, the visible ones sorted in DockVisibleList, arranges them through
// ArrangeDockWindows (tb/dock_layout.h) and takes the thickness of its rows, keeping its outer
// edge. Bound lines take one pixel each from the client area and are drawn over the dock's
// colour. Dialog keys, dialog characters and the system key-menu command go on to the floating
// windows of its list. TTBBasicBackground is the abstract background a dock may share with its
// windows.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "tb/dock_layout.h"
#include "ui/win32/controls.h"

namespace tb {

class TTBCustomDockableWindow;

using TTBBackgroundChangeProc = void (*)(void* data);

class TTBBasicBackground : public ui::TComponent {
 public:
  using ui::TComponent::TComponent;
  virtual void PaintBackground(HDC dc, const RECT& drawRect) = 0;
  virtual HPALETTE GetPalette() = 0;
  virtual void AddChangeHandler(TTBBackgroundChangeProc proc, void* data) = 0;
  virtual void SysColorChanged() = 0;
  virtual void RemoveChangeHandler(TTBBackgroundChangeProc proc, void* data) = 0;
  virtual bool HasBackground() = 0;
};

using TTBDockBoundLines = std::uint8_t;
constexpr TTBDockBoundLines blTop = 1, blBottom = 2, blLeft = 4, blRight = 8;

using TTBInsertRemoveEvent =
    std::function<void(ui::TComponent* sender, bool inserting, TTBCustomDockableWindow* bar)>;
using TTBRequestDockEvent =
    std::function<void(ui::TComponent* sender, TTBCustomDockableWindow* bar, bool& accept)>;

class TTBDock : public ui::TCustomControl {
 public:
  explicit TTBDock(ui::TComponent* owner);
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TTBDock"; }

  void Loaded() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;
  void SetParent(ui::TWinControl* parent) override;
  void WndProc(ui::TMessage& message) override;

  virtual void DrawBackground(HDC dc, const RECT& drawRect);
  virtual bool UsesBackground();
  // The background's palette when the dock uses one.
  HPALETTE GetPalette() override;

  TTBDockPosition Position() const { return position_; }
  void SetPosition(TTBDockPosition position);
  bool AllowDrag() const { return allowDrag_; }
  void SetAllowDrag(bool allowDrag);
  TTBDockBoundLines BoundLines() const { return boundLines_; }
  void SetBoundLines(TTBDockBoundLines lines);
  TTBBasicBackground* Background() const { return background_; }
  void SetBackground(TTBBasicBackground* background);
  bool BackgroundOnToolbars() const { return bkgOnToolbars_; }
  void SetBackgroundOnToolbars(bool value);
  bool FixAlign() const { return fixAlign_; }
  void SetFixAlign(bool value);
  bool LimitToOneRow() const { return limitToOneRow_; }
  void SetLimitToOneRow(bool value) { limitToOneRow_ = value; }
  bool CommitNewPositions() const { return commitNewPositions_; }
  void SetCommitNewPositions(bool value) { commitNewPositions_ = value; }
  int NonClientWidth() const { return nonClientWidth_; }
  int NonClientHeight() const { return nonClientHeight_; }

  int ToolbarCount() const { return static_cast<int>(dockVisibleList_.size()); }
  TTBCustomDockableWindow* Toolbars(int index) const;
  const std::vector<TTBCustomDockableWindow*>& DockList() const { return dockList_; }
  const std::vector<TTBCustomDockableWindow*>& DockVisibleList() const { return dockVisibleList_; }

  void BeginUpdate() { ++disableArrangeToolbars_; }
  void EndUpdate();
  void ArrangeToolbars();
  void UpdateDockList(bool insert, TTBCustomDockableWindow* bar);
  void WindowVisibilityChanged(TTBCustomDockableWindow* bar, bool forceRemove);
  bool WindowVisibleOnDock(TTBCustomDockableWindow* bar) const;
  bool HasVisibleWindows() const;
  int GetHighestRow(bool highestEffective) const;
  int GetCurrentRowSize(int row, bool& fullSize) const;
  int GetMinRowSize(int row, TTBCustomDockableWindow* exclude) const;
  int GetRowOfCoordinate(int xy) const;
  void AdoptEffectivePositions();
  void ResizeKeepingEdge(int newWidth, int newHeight);
  void RepaintBackgrounds();
  // Asks OnRequestDock whether `bar` may dock here.
  bool RequestDock(TTBCustomDockableWindow* bar);

  TTBInsertRemoveEvent OnInsertRemoveBar;
  TTBRequestDockEvent OnRequestDock;

 protected:
  void AlignControls(const ui::TRect& client) override;
  void CreateParams(TCreateParams& params) override;

 private:
  static void BackgroundChanged(void* data);
  void PaintNonClient(HDC dc, HRGN clip);
  static void NCPaintProc(HWND wnd, HDC dc, void* self);
  std::vector<IDockClient*> Clients(const std::vector<TTBCustomDockableWindow*>& list) const;
  // Performs `message` on the floating windows of DockList until one answers.
  void PassToFloatingWindows(ui::TMessage& message, bool menuEventsOnly);

  TTBDockPosition position_ = TTBDockPosition::dpTop;
  bool allowDrag_ = true;
  TTBDockBoundLines boundLines_ = 0;
  TTBBasicBackground* background_ = nullptr;
  bool bkgOnToolbars_ = true;
  bool fixAlign_ = false;
  bool commitNewPositions_ = false;
  bool limitToOneRow_ = false;
  int disableArrangeToolbars_ = 0;
  bool arrangeToolbarsNeeded_ = false;
  int nonClientWidth_ = 0;
  int nonClientHeight_ = 0;
  std::vector<TTBCustomDockableWindow*> dockList_;
  std::vector<TTBCustomDockableWindow*> dockVisibleList_;
};

}  // namespace tb
