#include "tb/viewer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tb/common.h"
#include "tb/item.h"
#include "tb/view.h"

namespace tb {

namespace {

TTBAccSelectHandler gAccSelectHandler = nullptr;

// a * b / c rounded to the nearest integer, as the platform's MulDiv does.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  return static_cast<int>(std::llround(static_cast<double>(a) * b / c));
}

}  // namespace

void SetAccSelectHandler(TTBAccSelectHandler handler) {
  gAccSelectHandler = handler;
}

TTBItemViewer::TTBItemViewer(TTBView& view, TTBCustomItem& item, int groupLevel)
    : view_(view), item_(item), groupLevel_(groupLevel) {
  AddLiveDeferredUser();
}

TTBItemViewer::~TTBItemViewer() {
  ReleaseAccObject(accObject_);
  WithdrawDeferredClicks(this);
  ReleaseLiveDeferredUser();
}

TRect TTBItemViewer::BoundsRect() const {
  return OffsetRect(contentRect_, 0, -view_.ScrollOffset());
}

bool TTBItemViewer::IsToolbarStyle() const {
  return view_.IsToolbar() || (item_.EffectiveOptions() & tboToolbarStyle);
}

bool TTBItemViewer::IsToolbarSize() const {
  return view_.IsToolbar() || (item_.EffectiveOptions() & tboToolbarSize);
}

bool TTBItemViewer::CaptionShown() const {
  if (!GetCaptionText().empty()) {
    const TTBItemDisplayMode mode = item_.DisplayMode();
    if (!IsToolbarSize() || item_.ImageIndex() < 0 || mode == TTBItemDisplayMode::nbdmTextOnly ||
        mode == TTBItemDisplayMode::nbdmImageAndText) {
      return true;
    }
  }
  return (item_.EffectiveOptions() & tboImageAboveCaption) != 0;
}

bool TTBItemViewer::ImageShown() const {
  if (item_.ImageIndex() < 0) return false;
  switch (item_.DisplayMode()) {
    case TTBItemDisplayMode::nbdmDefault:
    case TTBItemDisplayMode::nbdmImageAndText:
      return true;
    case TTBItemDisplayMode::nbdmTextOnlyInMenus:
      return IsToolbarStyle();
    default:
      return false;
  }
}

ui::TCustomImageList* TTBItemViewer::GetImageList() const {
  if (item_.Images()) return item_.Images();
  for (const TTBView* view = &view_; view; view = view->ParentView()) {
    if (view->CurParentItem() && view->CurParentItem()->SubMenuImages()) {
      return view->CurParentItem()->SubMenuImages();
    }
    if (view->ParentItem() && view->ParentItem()->SubMenuImages()) {
      return view->ParentItem()->SubMenuImages();
    }
  }
  return nullptr;
}

bool TTBItemViewer::GetImageSize(int& width, int& height) const {
  const ui::TCustomImageList* list = GetImageList();
  if (!list) return false;
  width = list->Width();
  height = list->Height();
  return true;
}

bool TTBItemViewer::IsRotated() const {
  return view_.Orientation() == TTBViewOrientation::tbvoVertical &&
         !(item_.EffectiveOptions() & (tboNoRotation | tboImageAboveCaption));
}

bool TTBItemViewer::UsesSameWidth() const {
  const TTBItemOptions options = item_.EffectiveOptions();
  return (options & tboImageAboveCaption) && (options & tboSameWidth) && IsToolbarSize();
}

std::wstring TTBItemViewer::GetCaptionText() const {
  const std::wstring& caption = item_.Caption();
  return caption.substr(0, caption.find(L'\t'));
}

void TTBItemViewer::CalcSize(ITBTextMeasure& measure, int& width, int& height) {
  const bool toolbarStyle = IsToolbarStyle();
  const TTBItemOptions options = item_.EffectiveOptions();
  const bool bold = (options & tboDefault) != 0;
  width = height = toolbarStyle ? 6 : 0;
  const bool rotated = IsRotated();
  if (!toolbarStyle || CaptionShown()) {
    const std::wstring text = RemoveAccelMarks(GetCaptionText());
    if (!rotated) {
      height += measure.TextHeight(bold);
      width += measure.TextWidth(text, bold);
      if (toolbarStyle) width += 6;
    } else {
      width += measure.TextHeight(bold);
      height += measure.TextWidth(text, bold);
      if (toolbarStyle) height += 6;
    }
  }
  int imageWidth = 0, imageHeight = 0;
  const bool images = GetImageSize(imageWidth, imageHeight);
  if (toolbarStyle) {
    if (images && ImageShown()) {
      if (!rotated && !(options & tboImageAboveCaption)) {
        width += imageWidth + 1;
        height = std::max(height, imageHeight + 6);
      } else {
        height += imageHeight;
        width = std::max(width, imageWidth + 7);
      }
    }
    if (item_.GetItemStyle() & tbisSubmenu) {
      if (item_.GetItemStyle() & tbisCombo) {
        width += kComboArrowWidth;
      } else if (options & tboDropdownArrow) {
        if (view_.Orientation() == TTBViewOrientation::tbvoVertical)
          height += 8;
        else
          width += 8;
      }
    }
    return;
  }
  height += measure.ExternalLeading(bold) + 4;
  int column = height;
  if (images) {
    height = std::max(height, imageHeight + 3);
    column = MulDiv(imageWidth + 3, height, imageHeight + 3);
  }
  width += column + 6;
  const std::wstring shortCut = item_.GetShortCutText();
  if (!shortCut.empty()) width += measure.TextWidth(shortCut, bold) + height - 6;
  width += height;  // the submenu-arrow column
}

bool TTBItemViewer::DoExecute() {
  view_.EndModalWithClick(this);
  return true;
}

void TTBItemViewer::Entering(TTBItemViewer* /*oldSelected*/) {
  if (item_.OnSelect) {
    const TTBSelectEvent handler = item_.OnSelect;
    handler(&item_, this, true);
  }
}

void TTBItemViewer::Leaving() {
  if (item_.OnSelect) {
    const TTBSelectEvent handler = item_.OnSelect;
    handler(&item_, this, false);
  }
}

int TTBItemViewer::GetAccRole() {
  if (dynamic_cast<TTBControlItem*>(&item_)) return kRoleClient;
  if (item_.GetItemStyle() & tbisSeparator) return kRoleSeparator;
  if (view_.IsPopup() || (view_.Style() & vsMenuBar)) return kRoleMenuItem;
  if (!(item_.GetItemStyle() & tbisSubmenu)) return kRolePushButton;
  return kRoleButtonMenu;
}

int TTBItemViewer::MenuCheckWidth() const {
  return view_.Window() ? view_.Window()->MenuCheckWidth() : 13;
}

bool TTBItemViewer::IsPtInButtonPart(int x, int /*y*/) {
  const TTBItemStyle style = item_.GetItemStyle();
  if (!(style & tbisCombo)) return !(style & tbisSubmenu);
  const int arrow = IsToolbarStyle() ? kComboArrowWidth : MenuCheckWidth();
  return x < contentRect_.Width() - arrow;
}

void TTBItemViewer::LosingCapture() {
  view_.Invalidate(this);
}

bool TTBItemViewer::IsTopLevelNonPopup() const {
  return !view_.IsPopup() && !view_.ParentView();
}

void TTBItemViewer::MouseDown(ui::TShiftState shift, int x, int y, bool& mouseDownOnMenu) {
  if (!item_.Enabled()) {
    if (IsTopLevelNonPopup()) view_.EndModal();
    return;
  }
  if (!IsPtInButtonPart(x, y)) {
    const bool wasOpen = view_.OpenViewer() == this;
    if (!view_.OpenChildPopup(false)) return;
    if (wasOpen && IsTopLevelNonPopup()) mouseDownOnMenu = true;
    if ((shift & ui::ssDouble) && !(item_.GetItemStyle() & tbisCombo)) {
      // A double click runs the open popup's default item.
      if (TTBView* popup = view_.OpenViewerView()) {
        for (int i = 0; i < popup->ViewerCount(); ++i) {
          TTBItemViewer* viewer = popup->Viewers(i);
          const TTBCustomItem& item = viewer->Item();
          if ((viewer->Show() || viewer->Clipped()) && (item.EffectiveOptions() & tboDefault) &&
              (item.GetItemStyle() & tbisSelectable) && item.Enabled() && item.Visible()) {
            viewer->Execute(true);
            break;
          }
        }
      }
    }
  } else if (IsToolbarStyle()) {
    view_.CancelChildPopups();
    view_.SetCapture();
    view_.Invalidate(this);
  }
}

void TTBItemViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu) {
  const bool hadCapture = view_.Capture();
  if (hadCapture) view_.CancelCapture();
  const TTBItemStyle style = item_.GetItemStyle();
  if (view_.MouseOverSelected() && view_.Selected() == this && item_.Enabled() &&
      !(style & tbisClicksTransparent)) {
    if ((style & tbisSubmenu) && !IsPtInButtonPart(x, y)) {
      if (mouseWasDownOnMenu && IsTopLevelNonPopup()) view_.EndModal();
    } else if (!(IsToolbarStyle() && !hadCapture)) {
      Execute(true);
    }
  } else if (IsTopLevelNonPopup()) {
    view_.EndModal();
  }
}

std::wstring TTBItemViewer::GetHintText(bool showShortCuts) const {
  const std::wstring& hint = item_.Hint();
  std::wstring text = hint.substr(0, hint.find(L'|'));
  const TTBItemStyle style = item_.GetItemStyle();
  const bool pureSubmenu = (style & tbisSubmenu) && !(style & tbisCombo);
  if (text.empty() && !(item_.EffectiveOptions() & tboNoAutoHint) &&
      !(pureSubmenu && CaptionShown())) {
    text = TrimCaptionEnding(RemoveAccelMarks(GetCaptionText()));
  }
  if (ui::TAction* action = item_.Action(); action && !action->DoHint(text)) text.clear();
  if (!text.empty() && showShortCuts) {
    const std::wstring shortCut = item_.GetShortCutText();
    if (!shortCut.empty()) text += L" (" + shortCut + L")";
  }
  return text;
}

int TTBItemViewer::Index() const {
  return view_.IndexOf(this);
}

void TTBItemViewer::Execute(bool givePriority) {
  if (DoExecute() && givePriority) view_.GivePriority(this);
}

TPoint TTBItemViewer::ScreenToClient(TPoint p) const {
  const TPoint client = view_.Window() ? view_.Window()->ScreenToClient(p) : p;
  const TRect r = BoundsRect();
  return {client.x - r.left, client.y - r.top};
}

void TTBItemViewer::PostExecute(std::uintptr_t flag) {
  QueueDeferredClick(this, flag);
}

void TTBItemViewer::DeferredClick(std::uintptr_t flag) {
  if (gAccSelectHandler) gAccSelectHandler(*this, flag != 0);
}

void TTBSeparatorItemViewer::CalcSize(ITBTextMeasure& /*measure*/, int& width, int& height) {
  if (IsToolbarStyle()) {
    width = height = 6;
  } else {
    width = 0;
    height = 10;
  }
}

}  // namespace tb
