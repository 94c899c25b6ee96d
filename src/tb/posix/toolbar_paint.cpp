// Without a window system there is nothing to paint on.
#include "tb/toolbar_view.h"

namespace tb {

void TTBChevronItemViewer::Paint(ui::TCanvas& /*canvas*/, const TRect& /*clientAreaRect*/,
                                 bool /*isSelected*/, bool /*isPushed*/,
                                 bool /*useDisabledShadow*/) {}

}  // namespace tb
