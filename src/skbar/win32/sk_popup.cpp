#include "skbar/win32/sk_popup.h"

#include "skbar/sk_geometry.h"
#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/sk_toolbar.h"
#include "tb/win32/common.h"
#include "ui/boolean_prop.h"
#include "ui/win32/controls.h"

namespace skbar {

namespace {

constexpr int kFrame = 3;

TSkBarSkinType ManagerSkinType() {
  const TSkBarSkinManager* manager = SkBarSkinManager();
  return manager ? manager->GetSkinType() : sknNone;
}

// The screen rectangle of a control.
RECT ScreenRect(ui::TControl& control) {
  const ui::TRect b = control.BoundsRect();
  RECT r{b.left, b.top, b.right, b.bottom};
  if (ui::TWinControl* parent = control.Parent()) {
    if (parent->HandleAllocated()) {
      MapWindowPoints(parent->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
  }
  return r;
}

}  // namespace

void TSkBarPopupWindowView::DoUpdatePositions(int& width, int& height) {
  const auto* item = dynamic_cast<const TSkBarCustomItem*>(ParentItem());
  if (item && item->HideEmptyPopup() && ViewerCount() == 0) {
    width = height = -2 * kFrame;
    return;
  }
  tb::TTBPopupView::DoUpdatePositions(width, height);
}

TSkBarPopupWindow::~TSkBarPopupWindow() {
  TSkBarPopupWindow::BeforeDestruction();
}

void TSkBarPopupWindow::BeforeDestruction() noexcept {
  try {
    if (reportedVisible_) PopupVisibilityChanged(false);
  } catch (...) {  // a handler's failure must not stop the window from going
  }
  tb::TTBPopupWindow::BeforeDestruction();
}

ui::Owned<tb::TTBView> TSkBarPopupWindow::CreateView(tb::TTBView* parentView,
                                                     tb::TTBCustomItem* item, bool customizing) {
  ui::Owned<tb::TTBView> view =
      ui::New<TSkBarPopupWindowView>(parentView, item, &Binding(), false, customizing, false);
  const auto* skinned = dynamic_cast<const TSkBarCustomItem*>(item);
  if (skinned && skinned->ToolbarStylePopup()) view->SetIsToolbar(true);
  return view;
}

bool TSkBarPopupWindow::SuppressedAsEmpty() {
  const auto* item = dynamic_cast<const TSkBarSubmenuItem*>(View().ParentItem());
  return item && item->HideEmptyPopup() && View().ViewerCount() == 0;
}

void TSkBarPopupWindow::PopupVisibilityChanged(bool visible) {
  reportedVisible_ = visible;
  tb::TTBCustomItem* item = View().ParentItem();
  if (auto* skinned = dynamic_cast<TSkBarCustomItem*>(item)) {
    skinned->PopupVisibilityChanged(&View(), visible);
  } else if (auto* root = dynamic_cast<TSkBarRootItem*>(item)) {
    root->PopupVisibilityChanged(&View(), visible);
  }
  if (visible && HandleAllocated()) {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

void TSkBarPopupWindow::PaintPopupBackground(ui::TCanvas& canvas, const TRect& r) {
  const TSkBarSkinType skinType = ManagerSkinType();
  TRect gutter;
  const auto* parent = View().ParentItem();
  const bool toolbox = parent && (parent->Options() & tb::tboToolbarStyle);
  if (!toolbox && !View().IsToolbar()) {
    TSkBarMenuItemMarginsInfo m;
    SkCurrentSkin().GetMenuItemMargins(
        Binding().TextHeight(false) + Binding().ExternalLeading(false),
        SkGetMaxImageSize(View()).cy, m);
    const int left = r.left + kFrame + m.Margins.left;
    gutter = {left, r.top + kFrame, left + m.GutterSize, r.bottom - kFrame};
  }
  SkPaintPopupBackground(canvas, r, gutter, skinType);
  // Under a skin whose popups join the toolbar item they open from, the frame stays open along
  // that item: the body is painted over the rings there.
  if (skinType != sknSkin || !SkCurrentSkin().OfficePopup()) return;
  const TRect edge = SkPopupOpenEdge(r, OpenerRect(r));
  const HDC dc = canvas.Handle();
  if (edge.Width() <= 0 || !dc) return;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, edge.left, edge.top, edge.right, edge.bottom);
  SkPaintSkinBackground(canvas, r, SkCurrentSkin().Options(skncPopup).Body, false);
  RestoreDC(dc, saved);
}

TRect TSkBarPopupWindow::OpenerRect(const TRect& r) {
  const tb::TTBView* parent = View().ParentView();
  const tb::TTBItemViewer* opener = parent ? parent->OpenViewer() : nullptr;
  const bool toolbarItem = opener && opener->IsToolbarStyle() &&
                           (dynamic_cast<const TSkBarItemViewer*>(opener) ||
                            dynamic_cast<const TSkBarChevronItemViewer*>(opener));
  if (!toolbarItem || !parent->Window() || !HandleAllocated()) return {};
  const tb::TRect b = opener->BoundsRect();
  const tb::TPoint topLeft = parent->Window()->ClientToScreen({b.left, b.top});
  RECT window;
  GetWindowRect(Handle(), &window);
  // `r` starts at the window's top-left corner.
  const int dx = r.left - window.left, dy = r.top - window.top;
  return {topLeft.x + dx, topLeft.y + dy, topLeft.x + b.Width() + dx, topLeft.y + b.Height() + dy};
}

void TSkBarPopupWindow::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT:
      SkPaintNonClient(Handle(), kFrame, [this](ui::TCanvas& canvas, const TRect& r) {
        PaintPopupBackground(canvas, r);
      });
      message.Result = 0;
      return;
    case WM_PRINT:
      // A print (the menu animation's) shows the skinned frame the window shows on screen.
      tb::HandleWMPrint(
          Handle(), message,
          [](HWND wnd, HDC dc, void* self) {
            auto& popup = *static_cast<TSkBarPopupWindow*>(self);
            SkPaintFrameInto(wnd, dc, kFrame, [&popup](ui::TCanvas& canvas, const TRect& r) {
              popup.PaintPopupBackground(canvas, r);
            });
          },
          this);
      return;
    case WM_ERASEBKGND: {
      RECT window;
      GetWindowRect(Handle(), &window);
      ui::TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
      PaintPopupBackground(canvas, {-kFrame, -kFrame, window.right - window.left - kFrame,
                                    window.bottom - window.top - kFrame});
      canvas.SetHandle(nullptr);
      message.Result = 1;
      return;
    }
    case ui::CM_HINTSHOW: {
      // A skinned viewer's hint is a bitmap hint of its own hint text.
      auto& info = *reinterpret_cast<ui::THintInfo*>(message.LParam);
      const bool shown = tb::HandleHintShowMessage(View(), info);
      auto* viewer = shown ? static_cast<tb::TTBItemViewer*>(info.HintData) : nullptr;
      if (auto* skinned = dynamic_cast<TSkBarItemViewer*>(viewer)) {
        message.Result = SkPrepareBitmapHint(*skinned, info) ? 0 : 1;
        return;
      }
      message.Result = shown ? 0 : 1;
      return;
    }
    case ui::CM_SHOWINGCHANGED:
      if (Showing() && SuppressedAsEmpty()) return;
      tb::TTBPopupWindow::WndProc(message);
      if (Showing() != reportedVisible_) PopupVisibilityChanged(Showing());
      return;
    default:
      break;
  }
  tb::TTBPopupWindow::WndProc(message);
}

ui::Owned<tb::TTBPopupWindow> MakeSkBarPopupWindow(tb::TTBView* parentView, tb::TTBCustomItem& item,
                                                   bool customizing) {
  return ui::New<TSkBarPopupWindow>(parentView, &item, customizing);
}

tb::TTBPopupWindowBase* TSkBarCustomItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::CreatePopupWindow(*this, request, &MakeSkBarPopupWindow);
}

tb::TTBPopupWindowBase* TSkBarRootItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::CreatePopupWindow(*this, request, &MakeSkBarPopupWindow);
}

// Popup menus.

void TSkBarPopupMenu::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  tb::TTBPopupMenu::GetPublishedProps(out);
  using M = TSkBarPopupMenu;
  static constexpr ui::PropInfo kToolBoxPopup =
      ui::BoolProp<M, &M::ToolBoxPopup, &M::SetToolBoxPopup>(L"ToolBoxPopup");
  out.push_back(&kToolBoxPopup);
}

void TSkBarPopupMenu::AfterConstruction() {
  tb::TTBPopupMenu::AfterConstruction();
  Root().EventSender = this;
}

ui::Owned<tb::TTBCustomItem> TSkBarPopupMenu::CreateRootItem() {
  return ui::New<TSkBarRootItem>();
}

void TSkBarPopupMenu::Notification(ui::TComponent* component, ui::TOperation operation) {
  tb::TTBPopupMenu::Notification(component, operation);
  if (operation == ui::TOperation::opRemove && component == popupControl_) popupControl_ = nullptr;
}

void TSkBarPopupMenu::Popup(int x, int y) {
  PopupEx(x, y, false, nullptr);
}

tb::TTBCustomItem* TSkBarPopupMenu::PopupEx(int x, int y, bool returnClickedItemOnly,
                                            ui::TControl* popupControl) {
  returnClickedItemOnly_ = returnClickedItemOnly;
  ShowAtRect(x, y, popupControl);
  returnClickedItemOnly_ = false;
  return clickedItem_;
}

void TSkBarPopupMenu::ShowAtRect(int x, int y, ui::TControl* popupControl) {
  clickedItem_ = nullptr;
  SetPopupPoint({x, y});
  RECT exclude{x, y, x, y};
  if (popupControl && popupControl->Parent()) exclude = ScreenRect(*popupControl);
  Root().SetToolBoxPopup(toolBoxPopup_);
  // The control may be freed by a command run from the menu: follow it.
  popupControl_ = popupControl;
  if (popupControl_) popupControl_->FreeNotification(this);
  clickedItem_ = tb::Popup(
      Items(), exclude.left, exclude.bottom, TrackButton() == ui::TTrackButton::tbRightButton,
      Alignment() == ui::TPopupAlignment::paRight    ? tb::TTBPopupAlignment::tbpaRight
      : Alignment() == ui::TPopupAlignment::paCenter ? tb::TTBPopupAlignment::tbpaCenter
                                                     : tb::TTBPopupAlignment::tbpaLeft,
      returnClickedItemOnly_);
  ui::TControl* control = popupControl_;
  if (control) control->RemoveFreeNotification(this);
  popupControl_ = nullptr;
  SkNotifyPopupClosed(control, reinterpret_cast<WPARAM>(this), 0);
}

void SkInsetNonClient(ui::TMessage& message, int frame) {
  RECT* r = message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(message.LParam);
  InflateRect(r, -frame, -frame);
  message.Result = 0;
}

void SkPaintNonClient(HWND wnd, int frame,
                      const std::function<void(ui::TCanvas&, const TRect&)>& paint) {
  const HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  SkPaintFrameInto(wnd, dc, frame, paint);
  ReleaseDC(wnd, dc);
}

void SkPaintFrameInto(HWND wnd, HDC dc, int frame,
                      const std::function<void(ui::TCanvas&, const TRect&)>& paint) {
  RECT window;
  GetWindowRect(wnd, &window);
  const int w = window.right - window.left, h = window.bottom - window.top;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, frame, frame, w - frame, h - frame);
  ui::TCanvas canvas;
  canvas.SetHandle(dc);
  paint(canvas, {0, 0, w, h});
  canvas.SetHandle(nullptr);
  RestoreDC(dc, saved);
}

void SkNotifyPopupClosed(ui::TControl* control, WPARAM wParam, LPARAM lParam) {
  auto* windowed = dynamic_cast<ui::TWinControl*>(control);
  if (!windowed || windowed->Destroying() || !windowed->HandleAllocated()) return;
  PostMessageW(windowed->Handle(), WM_SKPOPUPCLOSED, wParam, lParam);
  // A child freed by an earlier child's handler leaves the list: walk it by index.
  for (int i = 0; i < windowed->ControlCount(); ++i) {
    windowed->Controls(i)->Perform(WM_SKPOPUPCLOSED, wParam, lParam);
  }
}

}  // namespace skbar
