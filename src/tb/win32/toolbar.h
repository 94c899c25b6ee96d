// Toolbars and menu bars on Windows.
//   TTBCustomToolbar: a dockable window (tb/win32/dockable_window.h) that shows an item tree
//   (Items) through its TTBToolbarView: buttons, submenus, separators and hosted controls
//   (every child control gets a TTBControlItem at the end of the items; a control that leaves
//   frees its wrapper but not itself). Its content is laid out for where it is
//   (tb/toolbar_view.h): on a dock with ShrinkMode tbsmWrap the items wrap at the dock's length
//   and the dock grows; with tbsmChevron the items that do not fit go behind the chevron, and
//   the toolbar answers its whole length to the dock; floating, the items wrap at
//   FloatingWidth, and a resize steps through the widths where they fill a line exactly. On a
//   form, a width fixed by its alignment is the room.
//   A left press on an item enters the toolbar's menu loop (tb/modal_loop.h); elsewhere it
//   drags the toolbar. Mouse moves hot-track the items until the mouse leaves.
//   With MenuBar set it is the form's menu bar: FullSize, ShrinkMode tbsmWrap, no close button,
//   ProcessShortCuts; Alt and F10 (the system key-menu command) enter it with its first item
//   selected, Alt+letter opens the item with that accelerator (or selects the first of several),
//   and the form's shortcuts reach its items; on an MDI form, Alt+letter typed in the MDI
//   client window and Alt+"-" typed in an MDI child are sent on to the main form for the menu
//   bar (MDISystemMenuItem and MDIButtonsItem: the extra items an MDI menu bar shows at its
//   ends). The accessibility role of its view is the menu
//   bar's. KeyboardOpen(key, requirePrimaryAccel) is that keyboard entry; a plain toolbar takes
//   accelerators through CM_DIALOGCHAR.
//   Main-window hook: toolbars with ProcessShortCuts or MenuBar register with the application's
//   main window; a key the form did not take is offered to the registered toolbars of the
//   active form and then of the main form, and the system key-menu command is sent to the
//   showing controls of the active form that take menu events (docks and menu bars) until one
//   answers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "tb/hook.h"
#include "tb/toolbar_view.h"
#include "tb/win32/dockable_window.h"
#include "tb/win32/view_window.h"
#include "ui/win32/forms.h"

namespace tb {

class TTBCustomToolbar : public TTBCustomDockableWindow,
                         public ITBItemContainer,
                         private ITBToolbarViewHost,
                         private ITBToolbarLoopEntry {
 public:
  explicit TTBCustomToolbar(ui::TComponent* owner);
  ~TTBCustomToolbar() override;
  std::wstring_view ClassName() const override { return L"TTBCustomToolbar"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void AfterConstruction() override;
  void BeforeDestruction() noexcept override;
  void Loaded() override;

  TTBCustomItem& Items() { return *item_; }
  TTBCustomItem* GetItems() override { return item_.get(); }
  TTBCustomItem* RootItem() const { return item_.get(); }
  TTBToolbarView& View() { return *view_; }
  TTBChevronItem& Chevron() { return *chevronItem_; }

  bool MenuBar() const { return menuBar_; }
  void SetMenuBar(bool menuBar);
  TTBShrinkMode ShrinkMode() const override { return shrinkMode_; }
  void SetShrinkMode(TTBShrinkMode mode);
  bool ProcessShortCuts() const { return processShortCuts_; }
  void SetProcessShortCuts(bool process);
  bool SystemFont() const { return systemFont_; }
  void SetSystemFont(bool systemFont);
  bool UpdateActions() const { return updateActions_; }
  void SetUpdateActions(bool update) { updateActions_ = update; }
  bool ChevronMoveItems() const { return chevronMoveItems_; }
  void SetChevronMoveItems(bool move);
  TTBChevronPriorityForNewItems ChevronPriorityForNewItems() const { return chevronPriority_; }
  void SetChevronPriorityForNewItems(TTBChevronPriorityForNewItems priority);
  const std::wstring& ChevronHint() const { return chevronItem_->Hint(); }
  void SetChevronHint(const std::wstring& hint) { chevronItem_->SetChevronHint(hint); }
  // Stored only when it differs from the framework's own hint.
  bool IsChevronHintStored() const;
  int FloatingWidth() const { return floatingWidth_; }
  void SetFloatingWidth(int width);
  ui::TCustomImageList* Images() const { return item_->SubMenuImages(); }
  void SetImages(ui::TCustomImageList* images) { item_->SetSubMenuImages(images); }
  TTBCustomItem* LinkSubitems() const { return item_->LinkSubitems(); }
  void SetLinkSubitems(TTBCustomItem* target) { item_->SetLinkSubitems(target); }
  TTBItemOptions Options() const { return item_->Options(); }
  void SetOptions(TTBItemOptions options) { item_->SetOptions(options); }
  // Streaming: the root item's sub-items, then the windowed child controls; the order of an
  // item child goes to the root item.
  void GetChildren(const TGetChildProc& proc) const;
  void SetChildOrder(ui::TComponent* child, int order) { item_->SetChildOrder(child, order); }
  // An MDI form's menu bar shows the active child's system-menu item before its items and the
  // buttons item's sub-items after them (before the chevron); setting either (null: none)
  // builds the viewers anew. Neither is owned: one that is freed is dropped.
  TTBCustomItem* MDIButtonsItem() override { return mdiButtonsItem_; }
  void SetMDIButtonsItem(TTBCustomItem* item) { SetMDIItem(mdiButtonsItem_, item); }
  TTBCustomItem* MDISystemMenuItem() override { return mdiSystemMenuItem_; }
  void SetMDISystemMenuItem(TTBCustomItem* item) { SetMDIItem(mdiSystemMenuItem_, item); }

  // Lays the items out for where the toolbar is and takes their size (on a form: the width
  // its alignment gives stays).
  void ArrangeItems();
  // The view's update count (the dockable window's own arrangement count stays the base's).
  void BeginUpdate() { view_->BeginUpdate(); }
  void EndUpdate() { view_->EndUpdate(); }
  bool KeyboardOpen(wchar_t key, bool requirePrimaryAccel);
  // OnShortCut first; unless it handled the key, the items' shortcuts.
  bool IsShortCut(ui::TShortCut shortcut);
  void CreateWrappersForAllControls();
  // Action updates of the shown items (with UpdateActions).
  void InitiateAction() override;
  // Tab skips the controls of control items hidden by the chevron (and what they hold).
  void GetTabOrderList(std::vector<ui::TWinControl*>& list) override;

  ui::TShortCutEvent OnShortCut;

  void WndProc(ui::TMessage& message) override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

  // The dockable window's content.
  void CalcLayoutSize(bool canMoveControls, TTBDockType dockType, bool floating, TTBDock* dock,
                      TPoint& newSize) override;
  void GetCurrentClientSize(TPoint& size) override;
  void GetShrinkLimit(int& minLength) override;
  TTBShrinkMode QueryShrinkMode() override { return shrinkMode_; }
  // FloatingWidth under "FloatRightX" (0 when absent).
  void ReadPositionData(const TTBPositionReader& reader) override;
  void WritePositionData(const TTBPositionWriter& writer) override;
  void PointOnChildControl(POINT p, bool& result) override;

 protected:
  // Class-level choices that derived toolbars override.
  virtual ui::Owned<TTBCustomItem> CreateRootItem();
  virtual ui::Owned<TTBChevronItem> CreateChevronItem();
  virtual ui::Owned<TTBToolbarView> CreateView(TTBCustomItem* root, ITBViewWindow* window,
                                               bool usePriorityList);
  // The view's input for a dock type (and dock).
  virtual TTBToolbarViewInput ViewInput(TTBDockType dockType, TTBDock* dock);
  // The toolbar as its view's host, for views made by derived toolbars.
  ITBToolbarViewHost& ViewHost() { return *this; }

  void HandleCreated() override;
  void Paint() override;
  void BoundsChanged() override;
  void AlignControls(const ui::TRect& client) override;
  void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
  void MouseMove(ui::TShiftState shift, int x, int y) override;
  void DoContextPopup(POINT mousePos, bool& handled) override;
  // A floating resize steps through the sizes where the items fill the width.
  void ResizeBegin(TTBSizeHandle handle) override;
  void ResizeTrack(RECT& rect, const RECT& original) override;
  void ResizeTrackAccept() override { sizeAccepted_ = true; }
  void ResizeEnd() override;

 private:
  // ITBToolbarViewHost
  TTBCustomItem* ChevronItem() override { return chevronItem_.get(); }
  int MinRowSize() override;
  void ViewAutoSize(int width, int height) override;
  void LayoutStarting() override { ++inLayout_; }
  void LayoutFinished() override { --inLayout_; }
  // ITBToolbarLoopEntry
  void EnterLoop(TTBEnterToolbarLoopOptions options) override;
  void Beep() override { MessageBeep(0); }

  // On its form: the width is fixed by the alignment (top, bottom, client) or by anchors on
  // both the left and the right.
  bool AppliesFixedWidth() const;
  // The window and its parents up to its top-level window are shown and enabled.
  bool UsableForKeys();
  // Over the client area: the cursor the viewer under the mouse chooses; false when none.
  bool SetViewerCursor();
  // Applies the settings, lays out and answers the content size.
  TPoint CommitLayout(const TTBToolbarViewSettings& settings);
  // The content size with other settings; the view is laid out again as it was afterwards.
  TPoint SizeWith(const TTBToolbarViewSettings& settings, int* lines = nullptr);
  // Arranges after the current message (at once without a window).
  void RequestArrange();
  // Docked or floating: the dockable window's Arrange; on a form: ArrangeItems.
  void Rearrange();
  void UpdateMainWindowHook();
  // Registered while the toolbar is a menu bar: sends Alt+letter typed in an MDI form's client
  // window or children to the main form, where the menu bar takes it.
  void SetMenuBarHookRegistered(bool registered);
  static void MenuBarHook(THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                          std::intptr_t lParam);
  void SetMDIItem(TTBCustomItem*& field, TTBCustomItem* item);
  // The MDI buttons item's sub-items come and go with the MDI child's state: the view follows.
  void MDIButtonsNotification(TTBCustomItem* sender, bool relayed, TTBItemChangedAction action,
                              int index, TTBCustomItem* item);
  void MouseLeft();
  void ControlChanged(ui::TControl* control, bool inserting);
  TTBControlItem* WrapperOf(const ui::TControl* control) const;
  static bool MainWindowHook(void* data, ui::TMessage& message);

  std::unique_ptr<TTBViewWindow> binding_;
  ui::Owned<TTBCustomItem> item_;
  ui::Owned<TTBChevronItem> chevronItem_;
  ui::Owned<TTBToolbarView> view_;
  TTBCustomItem* mdiButtonsItem_ = nullptr;
  TTBCustomItem* mdiSystemMenuItem_ = nullptr;
  // While a floating resize runs: the sizes, the dragged handle, the width before it.
  std::unique_ptr<TToolbarSizeData> sizeData_;
  TTBSizeHandle sizeHandle_ = TTBSizeHandle::twshRight;
  int sizeStartFloatingWidth_ = 0;
  bool sizeAccepted_ = false;
  TTBShrinkMode shrinkMode_ = TTBShrinkMode::tbsmChevron;
  TTBChevronPriorityForNewItems chevronPriority_ = TTBChevronPriorityForNewItems::tbcpHighest;
  int baseWidth_ = 0, baseHeight_ = 0;
  int floatingWidth_ = 0;
  int inLayout_ = 0;
  int calcDepth_ = 0;  // inside CalcLayoutSize: the view's size is only recorded
  int arrangedWidth_ = -1;
  int disableAlignArrange_ = 0;
  bool menuBar_ = false;
  bool processShortCuts_ = false;
  bool systemFont_ = true;
  bool updateActions_ = true;
  bool chevronMoveItems_ = true;
  bool ignoreMouseLeave_ = false;
  bool trackingLeave_ = false;
  bool hooked_ = false;
  bool menuBarHooked_ = false;
  bool arrangePosted_ = false;
  bool destroying_ = false;
};

}  // namespace tb
