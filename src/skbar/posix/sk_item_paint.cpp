// Without a window system skinned viewers paint nothing and items open no popup window.
#include "skbar/sk_item.h"

namespace skbar {

void TSkBarItemViewer::Paint(ui::TCanvas& /*canvas*/, const tb::TRect& /*clientAreaRect*/,
                             bool /*isSelected*/, bool /*isPushed*/, bool /*useDisabledShadow*/) {}

void TSkBarSeparatorItemViewer::Paint(ui::TCanvas& /*canvas*/, const tb::TRect& /*clientAreaRect*/,
                                      bool /*isSelected*/, bool /*isPushed*/,
                                      bool /*useDisabledShadow*/) {}

tb::TTBPopupWindowBase* TSkBarCustomItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::TTBCustomItem::CreatePopup(request);
}

tb::TTBPopupWindowBase* TSkBarRootItem::CreatePopup(const tb::TTBPopupRequest& request) {
  return tb::TTBRootItem::CreatePopup(request);
}

}  // namespace skbar
