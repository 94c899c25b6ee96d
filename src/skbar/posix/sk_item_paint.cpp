// Without a window system skinned viewers paint nothing, items open no popup window and no
// item has a control.
#include "skbar/sk_item.h"

namespace skbar {

void TSkBarItemViewer::Paint(ui::TCanvas& /*canvas*/, const tb::TRect& /*clientAreaRect*/,
                             bool /*isSelected*/, bool /*isPushed*/, bool /*useDisabledShadow*/) {}

void TSkBarItemViewer::ApplyItemFont(ui::TFont& /*font*/, const TSkBarMenuItemInfo& /*info*/) {}

void TSkBarItemViewer::PaintItemImage(ui::TCanvas& /*canvas*/, const TRect& /*rect*/,
                                      const TSkBarMenuItemInfo& /*info*/, int /*imageIndex*/) {}

void TSkBarSeparatorItemViewer::Paint(ui::TCanvas& /*canvas*/, const tb::TRect& /*clientAreaRect*/,
                                      bool /*isSelected*/, bool /*isPushed*/,
                                      bool /*useDisabledShadow*/) {}

tb::TTBPopupWindowBase* TSkBarCustomItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::TTBCustomItem::CreatePopup(request);
}

tb::TTBPopupWindowBase* TSkBarRootItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::TTBRootItem::CreatePopup(request);
}

bool SkControlVisible(const ui::TComponent* /*control*/, bool& /*visible*/) {
  return false;
}

void SkSetControlVisible(ui::TComponent* /*control*/, bool /*visible*/) {}

bool TSkBarCustomLabelItem::HandleAccelerator(wchar_t /*key*/) {
  return false;
}

}  // namespace skbar
