// Skinned popup windows and popup menus.
//   TSkBarPopupWindow: the framework's popup window with the skin's frame, background and
//   gutter; it reports being shown and hidden to its item (OnInitPopup / OnClosePopup), also
//   when it is destroyed while shown. A submenu with HideEmptyPopup and no items shows nothing.
//   Under a skin with OfficePopup its frame stays open along the toolbar item it opened from.
//   TSkBarPopupMenu: a popup menu of skinned items. Shown for a control, it opens at the
//   control's bottom-left corner and afterwards posts the control WM_SKPOPUPCLOSED (WParam: the
//   menu) and sends it to the control's children, unless the control was freed meanwhile.
#pragma once

#include <functional>

#include "skbar/sk_item.h"
#include "tb/win32/popup.h"

namespace skbar {

constexpr UINT WM_SKPOPUPCLOSED = 0xB457;

class TSkBarPopupWindowView : public tb::TTBPopupView {
 public:
  using tb::TTBPopupView::TTBPopupView;
  std::wstring_view ClassName() const override { return L"TSkBarPopupWindowView"; }
  void DoUpdatePositions(int& width, int& height) override;
};

class TSkBarPopupWindow : public tb::TTBPopupWindow {
 public:
  using tb::TTBPopupWindow::TTBPopupWindow;
  ~TSkBarPopupWindow() override;
  std::wstring_view ClassName() const override { return L"TSkBarPopupWindow"; }
  void BeforeDestruction() noexcept override;
  void WndProc(ui::TMessage& message) override;
  // Frame, background and gutter over the whole window (`r` in the canvas's coordinates).
  virtual void PaintPopupBackground(ui::TCanvas& canvas, const TRect& r);

 protected:
  ui::Owned<tb::TTBView> CreateView(tb::TTBView* parentView, tb::TTBCustomItem* item,
                                    bool customizing) override;

 private:
  void PopupVisibilityChanged(bool visible);
  bool SuppressedAsEmpty();
  // The skinned toolbar item (or chevron) of the parent view that opened this popup, in the
  // coordinates of `r` (the window's rectangle); empty for any other opener.
  TRect OpenerRect(const TRect& r);
  bool reportedVisible_ = false;
};

ui::Owned<tb::TTBPopupWindow> MakeSkBarPopupWindow(tb::TTBView* parentView, tb::TTBCustomItem& item,
                                                   bool customizing);

class TSkBarPopupMenu : public tb::TTBPopupMenu {
 public:
  explicit TSkBarPopupMenu(ui::TComponent* owner) : tb::TTBPopupMenu(owner) {}
  std::wstring_view ClassName() const override { return L"TSkBarPopupMenu"; }
  // Also ToolBoxPopup (its two popup events are the root item's).
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void AfterConstruction() override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

  void Popup(int x, int y) override;
  // Answers the clicked item (null when cancelled); with `returnClickedItemOnly` the item's
  // click does not run.
  tb::TTBCustomItem* PopupEx(int x, int y, bool returnClickedItemOnly, ui::TControl* popupControl);
  bool ToolBoxPopup() const { return toolBoxPopup_; }
  void SetToolBoxPopup(bool value) { toolBoxPopup_ = value; }
  TSkBarRootItem& Root() { return static_cast<TSkBarRootItem&>(Items()); }
  void SetOnInitPopup(TSkBarPopupInitEvent handler) { Root().OnInitPopup = std::move(handler); }
  void SetOnClosePopup(ui::TNotifyEvent handler) { Root().OnClosePopup = std::move(handler); }

 protected:
  ui::Owned<tb::TTBCustomItem> CreateRootItem() override;
  virtual void ShowAtRect(int x, int y, ui::TControl* popupControl);

 private:
  tb::TTBCustomItem* clickedItem_ = nullptr;
  ui::TControl* popupControl_ = nullptr;
  bool returnClickedItemOnly_ = false;
  bool toolBoxPopup_ = false;
};

// The non-client messages of a borderless popup with a frame `frame` pixels wide: the client
// area inset on every side, and the frame painted by `paint` over the whole window rectangle.
void SkInsetNonClient(ui::TMessage& message, int frame);
void SkPaintNonClient(HWND wnd, int frame,
                      const std::function<void(ui::TCanvas&, const TRect&)>& paint);
// The same frame painted into `dc`, whose origin is the window's top-left corner (a print of the
// window, as the menu animation takes).
void SkPaintFrameInto(HWND wnd, HDC dc, int frame,
                      const std::function<void(ui::TCanvas&, const TRect&)>& paint);

// Posts the popup-closed message to a windowed control and sends it to its children.
void SkNotifyPopupClosed(ui::TControl* control, WPARAM wParam, LPARAM lParam);

}  // namespace skbar
