#include "tb/win32/popup.h"

#include "tb/popup_placement.h"
#include "tb/system_settings.h"
#include "tb/win32/acc.h"
#include "tb/win32/acc_platform.h"
#include "tb/win32/anim.h"
#include "tb/win32/common.h"
#include "tb/win32/modal_handler.h"
#include "tb/win32/toolbar_font.h"
#include "ui/properties.h"
#include "ui/win32/forms.h"

namespace tb {

namespace {

constexpr int kFrame = 3;

RECT ToRECT(const TRect& r) {
  return {r.left, r.top, r.right, r.bottom};
}

TTBPopupAlignment ToAlignment(ui::TPopupAlignment alignment) {
  switch (alignment) {
    case ui::TPopupAlignment::paRight:
      return TTBPopupAlignment::tbpaRight;
    case ui::TPopupAlignment::paCenter:
      return TTBPopupAlignment::tbpaCenter;
    default:
      return TTBPopupAlignment::tbpaLeft;
  }
}

HWND WindowHandleOf(const TTBView& view) {
  const auto* window = dynamic_cast<const TTBViewWindow*>(view.Window());
  return window ? window->Handle() : nullptr;
}

// Once per process: the first "MenuPopup" sound is played after the popup has painted.
bool popupSoundPlayed = false;

}  // namespace

// The popup's view binding: the window follows the laid-out size plus the frame.
class TTBPopupWindow::PopupBinding final : public TTBViewWindow {
 public:
  explicit PopupBinding(TTBPopupWindow& popup) : TTBViewWindow(true), popup_(popup) {}
  void AutoSize(int width, int height) override {
    popup_.SetBounds(popup_.Left(), popup_.Top(), width + 2 * kFrame, height + 2 * kFrame);
  }

 private:
  TTBPopupWindow& popup_;
};

TTBPopupWindow::TTBPopupWindow(ui::TComponent* owner, TTBView* parentView, TTBCustomItem* item,
                               bool customizing)
    : ui::TCustomControl(owner),
      parentView_(parentView),
      item_(item),
      customizing_(customizing),
      bindingOwner_(std::make_unique<PopupBinding>(*this)),
      binding_(*bindingOwner_) {
  StoreVisible(false);
  StoreBounds({0, 0, 320, 240});
  StoreColor(ui::clSystemColor | COLOR_MENU);
  SetShowHint(true);
  SetControlStyle(ControlStyle() & ~ui::csCaptureMouse);
  binding_.SetControl(this);
}

TTBPopupWindow::~TTBPopupWindow() {
  TTBPopupWindow::BeforeDestruction();
}

void TTBPopupWindow::AfterConstruction() {
  ui::TCustomControl::AfterConstruction();
  if (parentView_) {
    if (auto* parent = dynamic_cast<TTBViewWindow*>(parentView_->Window())) {
      binding_.Font().Assign(parent->Font());
    }
  } else if (ui::TFont* font = ToolbarFont()) {
    binding_.Font().Assign(*font);
  }
  view_ = CreateView(parentView_, item_, customizing_);
  binding_.SetView(view_.get());
  view_->Include(vsModal);
  if (parentView_) {
    view_->SetStyle(
        static_cast<TTBViewStyle>(view_->Style() | (parentView_->Style() & vsUseHiddenAccels)));
    view_->Include(parentView_->State() & vsShowAccels);
  } else {
    view_->SetStyle(static_cast<TTBViewStyle>(view_->Style() | vsUseHiddenAccels));
  }
}

ui::Owned<TTBView> TTBPopupWindow::CreateView(TTBView* parentView, TTBCustomItem* item,
                                              bool customizing) {
  return ui::New<TTBPopupView>(parentView, item, &binding_, false, customizing, false);
}

void TTBPopupWindow::BeforeDestruction() noexcept {
  if (destroyed_) return;
  destroyed_ = true;
  try {
    if (view_) view_->CloseChildPopups();
    if (HandleAllocated()) {
      const HWND wnd = Handle();
      TBEndAnimation(wnd);
      if (view_) view_->StopAllTimers();
      CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, wnd, OBJID_CLIENT, CHILDID_SELF);
    }
  } catch (...) {  // the window goes regardless
  }
  ui::TCustomControl::BeforeDestruction();
  binding_.SetHandle(nullptr);
  view_.reset();
}

TTBPopupWindow* TTBPopupWindow::FromHandle(HWND wnd) {
  return dynamic_cast<TTBPopupWindow*>(ui::TWinControl::FromHandle(wnd));
}

void TTBPopupWindow::CreateParams(TCreateParams& params) {
  ui::TCustomControl::CreateParams(params);
  params.style &= ~static_cast<DWORD>(WS_CHILD | 0x30000);
  params.style |= WS_POPUP;
  params.exStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  params.classStyle |= CS_SAVEBITS;
  if (IsWindowsXPOrLater()) params.classStyle |= CS_DROPSHADOW;
  params.parent = ui::Application ? ui::Application->Handle() : nullptr;
}

void TTBPopupWindow::HandleCreated() {
  ui::TCustomControl::HandleCreated();
  const HWND wnd = Handle();
  binding_.SetHandle(wnd);
  if (!parentView_ && !accelsVisibilitySet_) {
    accelsVisibilitySet_ = true;
    SendMessageW(wnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    const LRESULT state = SendMessageW(wnd, WM_QUERYUISTATE, 0, 0);
    if (view_) view_->SetAccelsVisibility(!(state & UISF_HIDEACCEL));
  }
}

void TTBPopupWindow::ShowingChanged() {
  const HWND wnd = Handle();
  if (Showing()) {
    ISystemSettings& settings = SystemSettings();
    if (!IsWindowVisible(wnd) && !view_->Selected() &&
        !(parentView_ && (parentView_->State() & vsNoAnimation)) && settings.MenuAnimation()) {
      const bool fade = settings.MenuFade();
      if (fade || animationDirection_ != 0) {
        StartPopupAnimation(wnd, fade, animationDirection_);
        return;
      }
    }
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } else {
    TBEndAnimation(wnd);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
}

void TTBPopupWindow::PaintFrame(HWND wnd, HDC dc, void* self) {
  auto* popup = static_cast<TTBPopupWindow*>(self);
  RECT r;
  GetWindowRect(wnd, &r);
  OffsetRect(&r, -r.left, -r.top);
  const ui::TGdiHandle<HBRUSH> face(CreateSolidBrush(ui::ColorToRGB(popup->Color())));
  if (SystemSettings().FlatMenus()) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    for (int i = 0; i < 2; ++i) {
      InflateRect(&r, -1, -1);
      FrameRect(dc, &r, face.get());
    }
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TTBPopupWindow::PaintScrollArrows(HDC dc) {
  if (!view_->ShowUpArrow() && !view_->ShowDownArrow()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  const int cx = client.right / 2;
  const ui::TGdiHandle<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_MENUTEXT)));
  const ui::TGdiHandle<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_MENUTEXT)));
  const HGDIOBJ oldBrush = SelectObject(dc, brush.get());
  const HGDIOBJ oldPen = SelectObject(dc, pen.get());
  const auto triangle = [&](int baseY, int tipY) {
    const POINT points[3] = {{cx - 3, baseY}, {cx + 3, baseY}, {cx, tipY}};
    Polygon(dc, points, 3);
  };
  const int band = kScrollArrowHeight;
  if (view_->ShowUpArrow()) triangle(band / 2 + 1, band / 2 - 2);
  if (view_->ShowDownArrow()) {
    const int top = client.bottom - band;
    triangle(top + band / 2 - 2, top + band / 2 + 1);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void TTBPopupWindow::Paint() {
  const HDC dc = Canvas().Handle();
  RECT clip;
  if (GetClipBox(dc, &clip) == ERROR) GetClientRect(Handle(), &clip);
  binding_.DrawSubitems(dc, clip);
  PaintScrollArrows(dc);
}

void TTBPopupWindow::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_NCCALCSIZE: {
      RECT* r = message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0]
                               : reinterpret_cast<RECT*>(message.LParam);
      InflateRect(r, -kFrame, -kFrame);
      message.Result = 0;
      return;
    }
    case WM_NCPAINT: {
      const HWND wnd = Handle();
      const HDC dc = GetWindowDC(wnd);
      if (dc) {
        SelectNCUpdateRgn(wnd, dc, reinterpret_cast<HRGN>(message.WParam));
        PaintFrame(wnd, dc, this);
        ReleaseDC(wnd, dc);
      }
      message.Result = 0;
      return;
    }
    case WM_PRINT:
      HandleWMPrint(Handle(), message, &PaintFrame, this);
      return;
    case WM_PRINTCLIENT:
      HandleWMPrintClient(*this, message);
      return;
    case WM_ERASEBKGND:
    case WM_PAINT:
      TBEndAnimation(Handle());
      break;
    case WM_CLOSE:
      message.Result = 0;
      return;
    case WM_MOUSEACTIVATE:
      message.Result = MA_NOACTIVATE;
      return;
    case WM_TIMER:
      if (binding_.HandleTimer(message.WParam)) return;
      break;
    case WM_GETOBJECT:
      if (view_ && HandleViewGetObject(*view_, message.WParam, message.LParam, message.Result)) {
        return;
      }
      break;
    case ui::CM_HINTSHOW:
      message.Result =
          HandleHintShowMessage(*view_, *reinterpret_cast<ui::THintInfo*>(message.LParam)) ? 0 : 1;
      return;
    case ui::CM_SHOWINGCHANGED:
      if (HandleAllocated()) ShowingChanged();
      return;
    default:
      break;
  }
  ui::TCustomControl::WndProc(message);
}

bool HandleHintShowMessage(TTBView& view, ui::THintInfo& info) {
  TRect cursorRect;
  const bool shortCuts = ui::Application && ui::Application->HintShortCuts();
  TTBItemViewer* viewer =
      view.HintAt({info.CursorPos.x, info.CursorPos.y}, shortCuts, info.HintStr, cursorRect);
  if (!viewer) return false;
  info.CursorRect = {cursorRect.left, cursorRect.top, cursorRect.right, cursorRect.bottom};
  info.HintData = viewer;
  return !info.HintStr.empty();
}

ui::Owned<TTBPopupWindow> MakeTBPopupWindow(TTBView* parentView, TTBCustomItem& item,
                                            bool customizing) {
  return ui::New<TTBPopupWindow>(parentView, &item, customizing);
}

TTBPopupWindowBase* CreatePopupWindow(TTBCustomItem& item, const TTBPopupRequest& request,
                                      TTBPopupWindowMaker maker) {
  if (TTBCustomItem* link = item.LinkSubitems()) link->DoPopup(&item, true);
  item.DoPopup(&item, false);

  TTBView* parentView = request.parentView;
  TTBView* chevronParent = item.GetChevronParentView();
  TTBCustomItem& shown =
      chevronParent && chevronParent->ParentItem() ? *chevronParent->ParentItem() : item;
  ui::Owned<TTBPopupWindow> popup = maker(parentView, shown, request.customizing);
  TTBView& view = popup->View();
  const bool opposite = parentView && (parentView->State() & vsOppositePopup);
  if (chevronParent) {
    view.BecomeChevronPopup(*chevronParent);
    if (chevronParent->BackgroundColor() != ui::clDefault)
      popup->SetColor(chevronParent->BackgroundColor());
  }

  TRect r, m;
  if (!parentView) {
    r = {request.popupPoint.x, request.popupPoint.y, request.popupPoint.x, request.popupPoint.y};
    const RECT work =
        GetRectOfMonitorContainingPoint({request.popupPoint.x, request.popupPoint.y}, true);
    m = {work.left, work.top, work.right, work.bottom};
  } else {
    const TRect b = request.parentViewer ? request.parentViewer->BoundsRect() : TRect{};
    const TPoint topLeft = parentView->Window()->ClientToScreen({b.left, b.top});
    r = {topLeft.x, topLeft.y, topLeft.x + b.Width(), topLeft.y + b.Height()};
    m = parentView->MonitorRect();
    if (m.IsEmpty()) {
      const RECT work = GetRectOfMonitorContainingRect(ToRECT(r), true);
      m = {work.left, work.top, work.right, work.bottom};
    }
  }
  view.SetMonitorRect(m);
  if (chevronParent)
    view.SetWrapOffset(m.Width() - 2 * kFrame);
  else
    view.SetMaxHeight(m.Height() - 2 * kFrame);
  if (request.selectFirstItem) view.Select(view.FirstSelectable(), false);
  view.InvalidatePositions();
  view.ValidatePositions();

  TTBPopupPlacementInput in;
  const bool verticalParent =
      parentView && parentView->Orientation() == TTBViewOrientation::tbvoVertical;
  if (!parentView)
    in.mode = TTBPopupPlacementMode::ppPoint;
  else if (chevronParent)
    in.mode = verticalParent ? TTBPopupPlacementMode::ppChevronVertical
                             : TTBPopupPlacementMode::ppChevron;
  else if (request.positionAsSubmenu)
    in.mode = TTBPopupPlacementMode::ppSubmenu;
  else
    in.mode = verticalParent ? TTBPopupPlacementMode::ppDropDownVertical
                             : TTBPopupPlacementMode::ppDropDown;
  in.reference = r;
  in.monitor = m;
  in.width = popup->Width();
  in.height = popup->Height();
  in.alignment = request.alignment;
  in.menuDropRight = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0;
  in.parentOpposite = opposite;
  in.coverData = parentView;
  in.coverCount = [](const TRect& rect, void* data) {
    auto* parent = static_cast<TTBView*>(data);
    const TPoint a = parent->Window()->ScreenToClient({rect.left, rect.top});
    const TRect client{a.x, a.y, a.x + rect.Width(), a.y + rect.Height()};
    int count = 0;
    for (int i = 0; i < parent->ViewerCount(); ++i) {
      TTBItemViewer* viewer = parent->Viewers(i);
      if (viewer->Show() && RectsIntersect(viewer->BoundsRect(), client)) ++count;
    }
    return count;
  };
  const TTBPopupPlacement place = PlacePopup(in);
  if (place.opposite) view.Include(vsOppositePopup);
  popup->SetAnimationDirection(place.direction);
  popup->SetBounds(place.x, place.y, in.width, in.height);

  TTBPopupWindow* result = popup.get();
  if (parentView) {
    parentView->RecordOpenPopup(std::unique_ptr<TTBPopupWindowBase>(popup.release()),
                                request.parentViewer);
    if (const HWND parentWnd = WindowHandleOf(*parentView)) UpdateWindow(parentWnd);
  }

  view.Include(vsDrawInOrder);
  const bool sound = SoundIsAssigned(L"MenuPopup");
  if (sound && popupSoundPlayed) PlayMenuSound(L"MenuPopup");
  result->SetVisible(true);
  const HWND wnd = result->Handle();
  if (sound && !popupSoundPlayed) {
    UpdateWindow(wnd);
    PlayMenuSound(L"MenuPopup");
    popupSoundPlayed = true;
  }
  CallNotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, wnd, OBJID_CLIENT, CHILDID_SELF);
  if (view.Selected()) view.NotifyFocusEvent();
  if (!parentView) popup.release();  // the caller owns a root popup
  return result;
}

void InstallPopupWindows() {
  InitCommon();
  SetPopupFactory([](TTBCustomItem& item, const TTBPopupRequest& request) {
    return CreatePopupWindow(item, request);
  });
  SetPopupMenuLoop(&Popup);
}

TTBCustomItem* Popup(TTBCustomItem& item, int x, int y, bool trackRightButton,
                     TTBPopupAlignment alignment, bool returnClickedItemOnly) {
  TTBDoneActionData data;
  {
    TTBModalHandler handler(nullptr);
    TTBPopupRequest request;
    request.popupPoint = {x, y};
    request.alignment = alignment;
    std::unique_ptr<TTBPopupWindowBase> popup(item.CreatePopup(request));
    if (!popup) return nullptr;
    TTBView& view = popup->View();
    view.Include(vsIgnoreFirstMouseUp);
    handler.SetRootPopupView(&view);
    handler.Loop(view, false, false, false, trackRightButton);
    handler.SetRootPopupView(nullptr);
    data = view.DoneActionData();
    view.Exclude(vsModal);
  }
  return FinishModalLoop(data, returnClickedItemOnly);
}

TTBPopupMenu::TTBPopupMenu(ui::TComponent* owner) : ui::TPopupMenu(owner) {}

void TTBPopupMenu::AfterConstruction() {
  ui::TPopupMenu::AfterConstruction();
  item_ = CreateRootItem();
  item_->SetParentComponentRef(this);
  item_->SetOnClick([this](ui::TComponent* sender) {
    if (OnPopup) OnPopup(sender == item_.get() ? this : sender);
  });
}

void TTBPopupMenu::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TPopupMenu::GetPublishedProps(out);
  static constexpr ui::PropInfo kItems =
      ui::ObjectProp<TTBPopupMenu, TTBCustomItem, &TTBPopupMenu::RootItem>(L"Items");
  out.push_back(&kItems);
}

ui::Owned<TTBCustomItem> TTBPopupMenu::CreateRootItem() {
  return ui::New<TTBRootItem>();
}

void TTBPopupMenu::Popup(int x, int y) {
  PopupEx(x, y, false);
}

TTBCustomItem* TTBPopupMenu::PopupEx(int x, int y, bool returnClickedItemOnly) {
  SetPopupPoint({x, y});
  return item_->Popup(x, y, TrackButton() == ui::TTrackButton::tbRightButton,
                      ToAlignment(Alignment()), returnClickedItemOnly);
}

bool TTBPopupMenu::IsShortCut(ui::TShortCut shortcut) {
  return item_->IsShortCut(shortcut);
}

}  // namespace tb
