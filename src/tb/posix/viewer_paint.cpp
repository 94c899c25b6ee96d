// Without a window system there is nothing to paint on.
#include "tb/viewer.h"

namespace tb {

void TTBItemViewer::DrawItemCaption(ui::TCanvas& /*canvas*/, const TRect& /*rect*/,
                                    const std::wstring& /*caption*/, bool /*useDisabledShadow*/,
                                    std::uint32_t /*format*/) {}

void TTBItemViewer::Paint(ui::TCanvas& /*canvas*/, const TRect& /*clientAreaRect*/,
                          bool /*isSelected*/, bool /*isPushed*/, bool /*useDisabledShadow*/) {}

void TTBSeparatorItemViewer::Paint(ui::TCanvas& /*canvas*/, const TRect& /*clientAreaRect*/,
                                   bool /*isSelected*/, bool /*isPushed*/,
                                   bool /*useDisabledShadow*/) {}

}  // namespace tb
