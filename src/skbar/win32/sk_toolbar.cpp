#include "skbar/win32/sk_toolbar.h"

#include <algorithm>

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_bitmap_hint.h"
#include "skbar/win32/sk_item_paint.h"
#include "skbar/win32/sk_paint.h"
#include "skbar/win32/skin_controls.h"
#include "tb/dock_drag.h"
#include "tb/win32/dock.h"

namespace skbar {

namespace {

// The one toolbar showing a drop mark: a drag over another toolbar, or its end, clears it.
TSkBarToolbar* markShown = nullptr;

// Posted when the dock's length changed: the spacer takes up the new room.
constexpr UINT kRightAlignMessage = WM_APP + 0x1A7;

TSkBarSkinType SkinType() {
  return SkBarSkinManager() ? SkBarSkinManager()->GetSkinType() : sknNone;
}

// The owning skinned toolbar of a view's viewers (null in popups and plain toolbars).
const TSkBarToolbar* OwningToolbar(const tb::TTBView& view) {
  const auto* toolbarView = dynamic_cast<const TSkBarToolbarView*>(&view);
  return toolbarView ? dynamic_cast<const TSkBarToolbar*>(&toolbarView->Skinned()) : nullptr;
}

// A chevron popup listing the hidden buttons as menu items: the view leaves toolbar style
// at its layout when its toolbar asks for that and the popup kept the button face.
class TSkBarChevronPopupView : public TSkBarPopupWindowView {
 public:
  using TSkBarPopupWindowView::TSkBarPopupWindowView;
  std::wstring_view ClassName() const override { return L"TSkBarChevronPopupView"; }
  void DoUpdatePositions(int& width, int& height) override {
    const tb::TTBView* parent = ChevronParentView();
    const TSkBarToolbar* toolbar = parent ? OwningToolbar(*parent) : nullptr;
    if (toolbar && toolbar->ChevronVertical() && IsToolbar() &&
        BackgroundColor() == ui::clBtnFace) {
      SetIsToolbar(false);
      SetBackgroundColor(ui::clMenu);
    }
    TSkBarPopupWindowView::DoUpdatePositions(width, height);
  }
};

ui::Owned<tb::TTBPopupWindow> MakeChevronPopupWindow(tb::TTBView* parentView,
                                                     tb::TTBCustomItem& item, bool customizing) {
  return ui::New<TSkBarChevronPopupWindow>(parentView, &item, customizing);
}

// The chevron's 8 x 8 glyph rows in `color`.
void DrawChevronGlyph(HDC dc, const tb::TTBChevronGlyph& glyph, int dx, int dy, TColor color) {
  const COLORREF c = ui::ColorToRGBValue(color);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (glyph.rows[y] & (0x80 >> x))
        SetPixelV(dc, glyph.rect.left + dx + x, glyph.rect.top + dy + y, c);
    }
  }
}

}  // namespace

// The chevron.

std::unique_ptr<tb::TTBItemViewer> TSkBarChevronItem::CreateViewer(tb::TTBView& view,
                                                                   int groupLevel) {
  return std::make_unique<TSkBarChevronItemViewer>(view, *this, groupLevel);
}

tb::TTBPopupWindowBase* TSkBarChevronItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::CreatePopupWindow(*this, request, &MakeChevronPopupWindow);
}

ui::Owned<tb::TTBView> TSkBarChevronPopupWindow::CreateView(tb::TTBView* parentView,
                                                            tb::TTBCustomItem* item,
                                                            bool customizing) {
  return ui::New<TSkBarChevronPopupView>(parentView, item, &Binding(), false, customizing, false);
}

TColor TSkBarChevronItemViewer::TextColor(TSkBarSkinStatesType state) const {
  TColor color = clNone;
  if (const TSkBarToolbar* toolbar = OwningToolbar(View())) color = toolbar->ItemTextColor(state);
  if (color == clNone) color = SkCurrentSkin().GetTextColor(skncToolbarItem, state, SkinType());
  return color == clNone ? ui::clBtnText : color;
}

void TSkBarChevronItemViewer::Paint(ui::TCanvas& canvas, const tb::TRect& clientAreaRect,
                                    bool isSelected, bool isPushed, bool /*useDisabledShadow*/) {
  const HDC dc = canvas.Handle();
  if (!dc) return;
  const bool enabled = Item().Enabled();
  const TSkBarSkinStatesType state =
      TSkBarSkinOptions::GetState(enabled, enabled && isPushed, enabled && isSelected, false);
  const TRect r{clientAreaRect.left, clientAreaRect.top, clientAreaRect.right,
                clientAreaRect.bottom};
  SkPaintToolbarButtonFrame(canvas, r, state, cpNone, SkinType());
  const bool vertical = View().Orientation() == tb::TTBViewOrientation::tbvoVertical;
  const tb::TTBChevronGlyph glyph = tb::ChevronGlyph(vertical, clientAreaRect, isPushed);
  DrawChevronGlyph(dc, glyph, 0, vertical ? 4 : 0, TextColor(state));
}

// The toolbar.

TSkBarToolbar::TSkBarToolbar(ui::TComponent* owner) : TTBCustomToolbar(owner) {
  SkAddSkinNotification(*this);
}

void TSkBarToolbar::AfterConstruction() {
  TTBCustomToolbar::AfterConstruction();
  Items().RegisterNotification(tb::ChangedProc<&TSkBarToolbar::ItemsChanged>(this));
}

void TSkBarToolbar::BeforeDestruction() noexcept {
  Items().UnregisterNotification(tb::ChangedProc<&TSkBarToolbar::ItemsChanged>(this));
  SkRemoveSkinNotification(*this);
  if (markShown == this) markShown = nullptr;
  TTBCustomToolbar::BeforeDestruction();
}

ui::Owned<tb::TTBCustomItem> TSkBarToolbar::CreateRootItem() {
  return ui::New<TSkBarRootItem>();
}

ui::Owned<tb::TTBChevronItem> TSkBarToolbar::CreateChevronItem() {
  return ui::New<TSkBarChevronItem>();
}

ui::Owned<tb::TTBToolbarView> TSkBarToolbar::CreateView(tb::TTBCustomItem* root,
                                                        tb::ITBViewWindow* window,
                                                        bool usePriorityList) {
  return ui::New<TSkBarToolbarView>(ViewHost(), static_cast<ISkBarToolbarHost&>(*this), root,
                                    window, usePriorityList);
}

void TSkBarToolbar::SetMenuBar(bool menuBar) {
  TTBCustomToolbar::SetMenuBar(menuBar);
  customizable_ = !menuBar;
}

void TSkBarToolbar::SetDisplayMode(TSkBarToolbarDisplayMode mode) {
  displayMode_ = mode;
  Items().SetOptions(SkDisplayModeOptions(Items().Options(), mode));
  View().InvalidatePositions();
  ArrangeItems();
}

bool TSkBarToolbar::IsVertical() const {
  return CurrentDock() && tb::IsLeftRight(CurrentDock()->Position());
}

void TSkBarToolbar::GetFloatingBorderSize(tb::TPoint& size) {
  if (SkinType() == sknSkin) {
    const int b = SkCurrentSkin().FloatingWindowBorderSize();
    size = {b, b};
    return;
  }
  TTBCustomToolbar::GetFloatingBorderSize(size);
}

tb::TTBFloatingWindowParent* TSkBarToolbar::CreateFloatingParent() {
  return ui::New<TSkBarFloatingWindowParent>().release();
}

void TSkBarToolbar::ReadPositionData(const tb::TTBPositionReader& reader) {
  TTBCustomToolbar::ReadPositionData(reader);
  if (!reader.ReadInteger) return;
  const int mode = reader.ReadInteger(Name(), L"DisplayMode", static_cast<int>(displayMode_));
  // A stored value out of range keeps the current mode.
  if (mode >= 0 && mode <= static_cast<int>(tbdmTextOnly))
    SetDisplayMode(static_cast<TSkBarToolbarDisplayMode>(mode));
}

void TSkBarToolbar::WritePositionData(const tb::TTBPositionWriter& writer) {
  TTBCustomToolbar::WritePositionData(writer);
  if (writer.WriteInteger)
    writer.WriteInteger(Name(), L"DisplayMode", static_cast<int>(displayMode_));
}

TColor TSkBarToolbar::ItemTextColor(TSkBarSkinStatesType state) const {
  return SkCurrentSkin().GetTextColor(MenuBar() ? skncMenuBarItem : skncToolbarItem, state,
                                      SkinType());
}

void TSkBarToolbar::FireDrawBackground(ui::TCanvas& canvas, const TRect& r, TSkBarPaintStage stage,
                                       bool& paintDefault) {
  if (OnDrawBackground) OnDrawBackground(this, canvas, r, stage, paintDefault);
}

void TSkBarToolbar::PaintToolbarBackground(ui::TCanvas& canvas, const TRect& r) {
  bool paintDefault = true;
  FireDrawBackground(canvas, r, TSkBarPaintStage::pstPrePaint, paintDefault);
  if (paintDefault) {
    if (BackgroundColor != clNone)
      SkFillRect(canvas, r, BackgroundColor);
    else
      SkPaintToolbarBackground(canvas, r, MenuBar(), IsVertical(), SkinType());
  }
  FireDrawBackground(canvas, r, TSkBarPaintStage::pstPostPaint, paintDefault);
}

bool TSkBarToolbar::PaintsDockedFrame() const {
  return SkPaintsDockedFrame();
}

void TSkBarToolbar::DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip) {
  if (!PaintsDockedFrame()) {
    TTBCustomToolbar::DrawDockedNCArea(drawToDC, dc, clip);
    return;
  }
  SkDrawDockedFrame(
      *this, drawToDC ? dc : nullptr, HandleWidth(),
      [this](ui::TCanvas& canvas, const TRect& r) { PaintToolbarBackground(canvas, r); });
}

void TSkBarToolbar::EraseBackground(HDC dc) {
  // The dock's picture first: a skin's toolbar background blends its rounded corners with what
  // lies under them, which must be the dock and not the toolbar's own last paint.
  if (CurrentDock() && Docked() && HandleAllocated()) {
    POINT origin{0, 0};
    ClientToScreen(Handle(), &origin);
    DrawDockBackground(dc, {0, 0, ClientWidth(), ClientHeight()}, origin);
  }
  ui::TCanvas canvas;
  canvas.SetHandle(dc);
  PaintToolbarBackground(canvas, {0, 0, ClientWidth(), ClientHeight()});
  canvas.SetHandle(nullptr);
  if (!dropMark_.IsEmpty()) {
    const RECT mark{dropMark_.left, dropMark_.top, dropMark_.right, dropMark_.bottom};
    FillRect(dc, &mark, GetSysColorBrush(COLOR_BTNTEXT));
  }
}

// The visible viewers are left out of the erase and invalidated without it: their own paint
// draws the background under them, so they do not flicker. They are painted again rather than
// left as they were: the framework may have erased them meanwhile (the dock redraws its windows
// when their sizes change), and their pixels would then stay lost.
void TSkBarToolbar::RepaintBackground() {
  if (!HandleAllocated()) return;
  const HWND wnd = Handle();
  // The toolbar does not clip its children: the controls of its control items are painted
  // over the new background again.
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  tb::TTBView& view = View();
  for (int i = 0; i < view.ViewerCount(); ++i) {
    tb::TTBItemViewer* viewer = view.Viewers(i);
    if (!viewer->Show()) continue;
    const tb::TRect b = viewer->BoundsRect();
    const RECT r{b.left, b.top, b.right, b.bottom};
    ValidateRect(wnd, &r);
    view.Invalidate(viewer);
  }
}

void TSkBarToolbar::SetDropMark(const tb::TRect& mark) {
  if (!mark.IsEmpty() && markShown && markShown != this) markShown->SetDropMark({});
  if (mark == dropMark_) return;
  if (HandleAllocated()) {
    // Both the old and the new bar are drawn again, with the items over them.
    for (const tb::TRect& r : {dropMark_, mark}) {
      const RECT area{r.left, r.top, r.right, r.bottom};
      if (!r.IsEmpty()) InvalidateRect(Handle(), &area, TRUE);
    }
  }
  dropMark_ = mark;
  if (!mark.IsEmpty())
    markShown = this;
  else if (markShown == this)
    markShown = nullptr;
}

void TSkBarToolbar::EndDrag(ui::TControl* /*target*/, int /*x*/, int /*y*/) {
  if (markShown) markShown->SetDropMark({});
}

bool TSkBarToolbar::StartItemDragIfCustomizing(int x, int y) {
  dragItem_ = nullptr;
  if (!IsCustomizing()) return false;
  if (!Customizable()) return true;
  tb::TTBItemViewer* viewer = View().ViewerFromPoint({x, y});
  if (!viewer || dynamic_cast<tb::TTBChevronItem*>(&viewer->Item())) return true;
  dragItem_ = &viewer->Item();
  if (std::unique_ptr<TSkBarItemDragObject> object = StartItemDrag(*dragItem_))
    SkDragObject(*object);
  dragItem_ = nullptr;
  return true;
}

std::unique_ptr<TSkBarItemDragObject> TSkBarToolbar::StartItemDrag(tb::TTBCustomItem& item) {
  return std::make_unique<TSkBarItemDragObject>(this, &item);
}

void TSkBarToolbar::DragOver(TSkBarCustomDragObject& source, int x, int y, bool& accept) {
  accept = false;
  if (!IsCustomizing() || !Customizable() || !dynamic_cast<TSkBarItemDragObject*>(&source)) {
    SetDropMark({});
    return;
  }
  accept = true;
  const tb::TTBItemViewer* target = SkGetDropPosItemViewer(View(), {x, y});
  SetDropMark(target ? SkGetDragPosIndicator(View(), *target, {x, y}).bar : tb::TRect{});
}

void TSkBarToolbar::DragDrop(TSkBarCustomDragObject& source, int x, int y) {
  auto* object = dynamic_cast<TSkBarItemDragObject*>(&source);
  tb::TTBCustomItem* item = object ? object->Item() : nullptr;
  if (!item) return;
  const tb::TPoint p{std::max(x, 0), std::max(y, 0)};
  const tb::TTBItemViewer* target = SkGetDropPosItemViewer(View(), p);
  const int index = target ? SkGetDragPosIndicator(View(), *target, p).index : -1;
  const bool here = item->Parent() == &Items();
  const TSkItemDropPlace place =
      SkItemDropPlace(index, here ? Items().IndexOf(item) : -1, Items().Count());
  if (place.move && !item->ContainsItem(&Items())) {
    BeginItemMove();
    if (tb::TTBCustomItem* parent = item->Parent()) parent->Remove(item);
    Items().Insert(place.index, item);
    if (auto* controlItem = dynamic_cast<tb::TTBControlItem*>(item); controlItem && !here)
      if (auto* control = dynamic_cast<ui::TControl*>(controlItem->Control()))
        control->SetParent(this);
    item->SetVisible(true);
    EndItemMove();
    // The move itself was not reported while it went on.
    if (HandleAllocated()) PostMessageW(Handle(), kRightAlignMessage, 0, 0);
  }
  SetDropMark({});
}

int TSkBarToolbar::RightAlignMargin() const {
  const tb::TTBDock* dock = CurrentDock();
  return SkGetToolbarDragHandleSize(dock != nullptr, dock && dock->AllowDrag(),
                                    static_cast<TSkDragHandleStyle>(DragHandleStyle()),
                                    CloseButtonWhenDocked());
}

int TSkBarToolbar::DockLength() const {
  tb::TTBDock* dock = CurrentDock();
  if (!dock) return 0;
  return IsVertical() ? dock->ClientHeight() : dock->ClientWidth();
}

int TSkBarToolbar::DockedNonClientHeight() const {
  if (!Docked() || !CurrentDock()) return 0;
  tb::TPoint frame;
  const_cast<TSkBarToolbar*>(this)->GetDockedFrameSize(frame);
  return IsVertical() ? frame.x : frame.y;
}

bool TSkBarToolbar::CanMeasureItems() const {
  auto& self = const_cast<TSkBarToolbar&>(*this);
  return HandleAllocated() && self.ClientWidth() > 0 && self.ClientHeight() > 0;
}

void TSkBarToolbar::SizeRightAlignSpacer() {
  if ((states_ & tstRightAligning) || !Docked() || !CurrentDock() || Items().Count() == 0 ||
      !Stretch() || ShrinkMode() != tb::TTBShrinkMode::tbsmNone || DockLength() <= 0 ||
      IsUpdating() || Loading() || Destroying()) {
    return;
  }
  TSkBarToolbarView& view = SkView();
  TSkBarRightAlignSpacerItem* spacer = nullptr;
  int spacerLength = 0;
  for (int i = 0; i < view.ViewerCount() && !spacer; ++i) {
    tb::TTBItemViewer* viewer = view.Viewers(i);
    spacer = viewer->Show() ? dynamic_cast<TSkBarRightAlignSpacerItem*>(&viewer->Item()) : nullptr;
    if (spacer)
      spacerLength = IsVertical() ? viewer->BoundsRect().Height() : viewer->BoundsRect().Width();
  }
  if (!spacer) return;
  const StateScope rightAligning(states_, tstRightAligning);
  const int total = SkGetRightAlignedItems(view).total;
  // The docked frame (drag handle and borders) is room the items never get.
  tb::TPoint frame;
  GetDockedFrameSize(frame);
  const int margin = std::max(RightAlignMargin(), IsVertical() ? frame.y : frame.x);
  const int width = SkRightAlignSpacerWidth(DockLength(), margin, total, spacerLength);
  if (width != spacer->CustomWidth()) {
    view.tb::TTBView::BeginUpdate();
    spacer->SetCustomWidth(width);
    view.tb::TTBView::EndUpdate();
    ArrangeItems();
  }
}

void TSkBarToolbar::ClickTransparentItem(tb::TTBCustomItem& item) {
  if (item.Enabled() && (item.GetItemStyle() & tb::tbisClicksTransparent) && item.OnClick())
    item.Click();
}

void TSkBarToolbar::UpdateAnchoredItems() {
  tb::TTBDock* dock = CurrentDock();
  if ((states_ & tstAnchoring) || !Docked() || !dock || !Stretch() ||
      ShrinkMode() != tb::TTBShrinkMode::tbsmNone || DockLength() <= 0 || IsUpdating() ||
      Loading() || Destroying()) {
    return;
  }
  const StateScope anchoring(states_, tstAnchoring);
  const int dockWidth = dock->ClientWidth(), dockHeight = dock->ClientHeight();
  const bool vertical = IsVertical();
  // The dock's growth along its length since the entry was made.
  const auto growth = [&](const TSkBarItemCache& entry) {
    return vertical ? dockHeight - entry.ParentHeight : dockWidth - entry.ParentWidth;
  };
  bool changed = false;
  TSkBarToolbarView& view = SkView();
  view.tb::TTBView::BeginUpdate();
  for (int i = 0; i < view.ViewerCount(); ++i) {
    tb::TTBItemViewer* viewer = view.Viewers(i);
    tb::TTBCustomItem& item = viewer->Item();
    if (auto* controlItem = dynamic_cast<tb::TTBControlItem*>(&item)) {
      auto* control = dynamic_cast<ui::TControl*>(controlItem->Control());
      if (!control ||
          (control->Align() != ui::TAlign::alClient && !(control->Anchors() & ui::akRight)))
        continue;
      const TSkBarItemCache* entry = itemCache_.Anchor(&item, dock, control->Width(),
                                                       control->Height(), dockWidth, dockHeight);
      if (!entry) continue;
      // A control never gets a negative size, however far the dock shrank.
      if (vertical)
        control->SetHeight(std::max(0, entry->Height + growth(*entry)));
      else
        control->SetWidth(std::max(0, entry->Width + growth(*entry)));
      changed = true;
    } else if (auto* skinned = dynamic_cast<TSkBarItemViewer*>(viewer);
               skinned && skinned->SkItem() && skinned->SkItem()->Anchored()) {
      const TSkBarItemCache* entry = itemCache_.Anchor(&item, dock, 0, 0, dockWidth, dockHeight);
      // The item never gets shorter than its own size.
      const int amount = entry ? std::max(0, growth(*entry)) : 0;
      if (amount != skinned->AnchorAmount()) {
        skinned->SetAnchorAmount(amount);
        changed = true;
      }
    }
  }
  view.tb::TTBView::EndUpdate();
  if (changed) {
    // The anchor amounts are measured only by a new layout.
    view.InvalidatePositions();
    ArrangeItems();
  }
  for (int i = 0; i < view.ViewerCount(); ++i) {
    const tb::TTBItemViewer* viewer = view.Viewers(i);
    if (viewer->Show() && (viewer->Item().GetItemStyle() & tb::tbisSelectable)) {
      anchoredFirstItemPos_ = {viewer->BoundsRect().left, viewer->BoundsRect().top};
      break;
    }
  }
}

tb::TTBCustomItem* TSkBarToolbar::ItemAt(int x, int y) {
  for (int i = 0; i < View().ViewerCount(); ++i) {
    tb::TTBItemViewer* viewer = View().Viewers(i);
    if (viewer->Show() && viewer->BoundsRect().Contains({x, y})) return &viewer->Item();
  }
  return nullptr;
}

void TSkBarToolbar::MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
  if (StartItemDragIfCustomizing(x, y)) return;
  tb::TTBCustomItem* item = ItemAt(x, y);
  if (item && !ItemClickAllowed(*item)) return;
  tb::TTBDock* dockBefore = CurrentDock();
  RECT before{}, after{};
  GetWindowRect(Handle(), &before);
  TTBCustomToolbar::MouseDown(button, shift, x, y);
  if (button != ui::TMouseButton::mbLeft || !item || !HandleAllocated()) return;
  GetWindowRect(Handle(), &after);
  // The item is clicked only while the view still shows it (the press may have removed it).
  if (CurrentDock() == dockBefore && EqualRect(&before, &after) && View().ViewerOf(item))
    ClickTransparentItem(*item);
}

void TSkBarToolbar::MouseMove(ui::TShiftState shift, int x, int y) {
  TTBCustomToolbar::MouseMove(shift, x, y);
  if (auto* viewer = dynamic_cast<TSkBarItemViewer*>(View().Selected()))
    viewer->SelectedMouseMove(shift, x, y);
}

void TSkBarToolbar::ItemsChanged(tb::TTBCustomItem* ancestor, bool relayed,
                                 tb::TTBItemChangedAction action, int index,
                                 tb::TTBCustomItem* item) {
  if (Loading() || Destroying() || (states_ & tstRightAligning) || IsItemMoving()) return;
  if (OnItemNotification) OnItemNotification(this, ancestor, relayed, action, index, item);
  using enum tb::TTBItemChangedAction;
  // After the change: a deleted item still counts while it is being deleted.
  if (action == tbicDeleting) itemCache_.Remove(item);
  // Insertions and deletions anchor the items again after right-aligning; a change only
  // right-aligns.
  if ((action == tbicInserted || action == tbicDeleting || action == tbicInvalidateAndResize) &&
      HandleAllocated()) {
    PostMessageW(Handle(), kRightAlignMessage, action != tbicInvalidateAndResize, 0);
  }
}

void TSkBarToolbar::GetCurrentClientSize(tb::TPoint& size) {
  TTBCustomToolbar::GetCurrentClientSize(size);
  if (!(states_ & tstRightAligning) && HandleAllocated() && DockLength() != lastDockLength_) {
    lastDockLength_ = DockLength();
    PostMessageW(Handle(), kRightAlignMessage, 1, 0);
  }
}

void TSkBarToolbar::WndProc(ui::TMessage& message) {
  switch (message.Msg) {
    case WM_SKINCHANGE:
      if (HandleAllocated() && !Floating())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_SIZE: {
      const StateScope resizing(states_, tstResizing);
      TTBCustomToolbar::WndProc(message);
      // The dock that resizes its windows repaints them itself.
      const auto* dock = dynamic_cast<const TSkBarDock*>(CurrentDock());
      if (!(dock && dock->Resizing())) RepaintBackground();
      return;
    }
    case ui::CM_CONTROLLISTCHANGE:
      TTBCustomToolbar::WndProc(message);
      if (message.LParam && ControlItemMode && !Loading() && !Destroying())
        CreateWrappersForAllControls();
      return;
    case kRightAlignMessage:
      SizeRightAlignSpacer();
      if (message.WParam) UpdateAnchoredItems();
      return;
    case ui::CM_HINTSHOW: {
      // A skinned viewer's hint is a bitmap hint of its own hint text.
      auto& info = *reinterpret_cast<ui::THintInfo*>(message.LParam);
      const bool shown = tb::HandleHintShowMessage(View(), info);
      auto* viewer = shown ? static_cast<tb::TTBItemViewer*>(info.HintData) : nullptr;
      auto* skinned = dynamic_cast<TSkBarItemViewer*>(viewer);
      message.Result = (skinned ? SkPrepareBitmapHint(*skinned, info) : shown) ? 0 : 1;
      return;
    }
    case ui::CM_DIALOGCHAR:
      // A label's accelerator focuses its control.
      for (int i = 0; i < Items().Count(); ++i) {
        auto* item = dynamic_cast<TSkBarCustomItem*>(Items().Items(i));
        if (item && item->HandleAccelerator(static_cast<wchar_t>(message.WParam))) {
          message.Result = 1;
          return;
        }
      }
      break;
    default:
      break;
  }
  TTBCustomToolbar::WndProc(message);
}

}  // namespace skbar
