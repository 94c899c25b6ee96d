// Popup windows and popup menus on Windows.
//   TTBPopupWindow: a borderless, topmost tool window (3-pixel frame, drop shadow) hosting the
//   view of one item's sub-items. A root popup takes the toolbar font and hides accelerators
//   as the system says; a child popup takes its parent's font and accelerator state. Showing
//   animates when the system's menu animation is on and nothing is selected yet; erasing,
//   painting and destruction end a running animation. Its view class comes from CreateView,
//   so derived popups can bring their own.
//   CreatePopupWindow(item, request, maker): what an item's CreatePopup does: runs OnPopup
//   (of the link target, then of the item), makes the window with `maker`, lays the view out,
//   places it on the monitor (tb/popup_placement.h), records it as the parent view's open
//   popup (or hands it to the caller when there is no parent view) and shows it.
//   InstallPopupWindows() makes TTBPopupWindow the framework's popup window and Popup its
//   popup-menu loop (TTBCustomItem::Popup) (tb::Initialize).
//   Popup(item, x, y, ...): a whole popup-menu loop at a screen point; the chosen item's click
//   is posted after the loop (or only returned with returnClickedItemOnly).
//   TTBPopupMenu: a popup menu whose items are a TTBRootItem tree (Items()); OnPopup fires
//   on every opening; IsShortCut searches the tree.
#pragma once

#include <windows.h>

#include "tb/anim.h"
#include "tb/item.h"
#include "tb/win32/view_window.h"
#include "ui/win32/hint_window.h"
#include "ui/win32/menus.h"

namespace tb {

class TTBPopupWindow;

// The view of a popup window: its window follows the laid-out size plus the frame.
class TTBPopupView : public TTBView {
 public:
  using TTBView::TTBView;
  std::wstring_view ClassName() const override { return L"TTBPopupView"; }
};

class TTBPopupWindow : public ui::TCustomControl, public TTBPopupWindowBase {
 public:
  TTBPopupWindow(ui::TComponent* owner, TTBView* parentView, TTBCustomItem* item, bool customizing);
  ~TTBPopupWindow() override;
  std::wstring_view ClassName() const override { return L"TTBPopupWindow"; }
  void AfterConstruction() override;
  void BeforeDestruction() noexcept override;

  TTBView& View() override { return *view_; }
  TTBViewWindow& Binding() { return binding_; }
  TTBAnimationDirection AnimationDirection() const { return animationDirection_; }
  void SetAnimationDirection(TTBAnimationDirection direction) { animationDirection_ = direction; }
  // The popup window of a window handle, or null.
  static TTBPopupWindow* FromHandle(HWND wnd);

  void WndProc(ui::TMessage& message) override;

 protected:
  virtual ui::Owned<TTBView> CreateView(TTBView* parentView, TTBCustomItem* item, bool customizing);
  virtual void PaintScrollArrows(HDC dc);
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void Paint() override;

 private:
  class PopupBinding;
  void ShowingChanged();
  static void PaintFrame(HWND wnd, HDC dc, void* self);

  TTBView* parentView_;
  TTBCustomItem* item_;
  bool customizing_;
  bool accelsVisibilitySet_ = false;
  bool destroyed_ = false;
  TTBAnimationDirection animationDirection_ = 0;
  std::unique_ptr<TTBViewWindow> bindingOwner_;
  TTBViewWindow& binding_;
  ui::Owned<TTBView> view_;
};

// Makes the window of a popup (TTBPopupWindow or a derived class).
using TTBPopupWindowMaker = ui::Owned<TTBPopupWindow> (*)(TTBView* parentView, TTBCustomItem& item,
                                                          bool customizing);
ui::Owned<TTBPopupWindow> MakeTBPopupWindow(TTBView* parentView, TTBCustomItem& item,
                                            bool customizing);
TTBPopupWindowBase* CreatePopupWindow(TTBCustomItem& item, const TTBPopupRequest& request,
                                      TTBPopupWindowMaker maker = &MakeTBPopupWindow);
void InstallPopupWindows();

// The hint of the viewer under the cursor (CM_HINTSHOW of a view's window), with the shortcut
// when the application's HintShortCuts asks for it; false when there is none (no hint).
bool HandleHintShowMessage(TTBView& view, ui::THintInfo& info);

TTBCustomItem* Popup(TTBCustomItem& item, int x, int y, bool trackRightButton,
                     TTBPopupAlignment alignment = TTBPopupAlignment::tbpaLeft,
                     bool returnClickedItemOnly = false);

class TTBPopupMenu : public ui::TPopupMenu, public ITBItemContainer {
 public:
  explicit TTBPopupMenu(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TTBPopupMenu"; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void AfterConstruction() override;

  TTBCustomItem& Items() { return *item_; }
  TTBCustomItem* GetItems() override { return item_.get(); }
  TTBCustomItem* RootItem() const { return item_.get(); }
  ui::TCustomImageList* Images() const { return item_->SubMenuImages(); }
  void SetImages(ui::TCustomImageList* images) { item_->SetSubMenuImages(images); }
  TTBCustomItem* LinkSubitems() const { return item_->LinkSubitems(); }
  void SetLinkSubitems(TTBCustomItem* target) { item_->SetLinkSubitems(target); }
  TTBItemOptions Options() const { return item_->Options(); }
  void SetOptions(TTBItemOptions options) { item_->SetOptions(options); }
  // Streaming goes to the root item's sub-items.
  void GetChildren(const TGetChildProc& proc) const { item_->GetChildren(proc); }
  void SetChildOrder(ui::TComponent* child, int order) { item_->SetChildOrder(child, order); }

  void Popup(int x, int y) override;
  TTBCustomItem* PopupEx(int x, int y, bool returnClickedItemOnly);
  bool IsShortCut(ui::TShortCut shortcut) override;

 protected:
  virtual ui::Owned<TTBCustomItem> CreateRootItem();

 private:
  ui::Owned<TTBCustomItem> item_;
};

}  // namespace tb
