#include "skbar/win32/skin_controls.h"

namespace skbar {

void SkAddSkinNotification(ui::TWinControl& control) {
  if (TSkBarSkinManager* manager = SkBarSkinManager()) {
    manager->AddSkinNotification(&control, [&control](TSkBarMessage& message) {
      message.Result = control.Perform(message.Msg, message.WParam, message.LParam);
    });
  }
}

void SkRemoveSkinNotification(ui::TWinControl& control) {
  SkRemoveSkinNotification(static_cast<const void*>(&control));
}

void SkGetMenuItemMargins(const TSkBarSkinOptions& skin, ui::TCanvas& canvas, int imgSize,
                          TSkBarMenuItemMarginsInfo& info) {
  const int height = canvas.TextHeight(L"0");  // selects the font
  TEXTMETRICW metrics{};
  const int leading = GetTextMetricsW(canvas.Handle(), &metrics) ? metrics.tmExternalLeading : 0;
  skin.GetMenuItemMargins(height + leading, imgSize, info);
}

void TSkBarSkinManager::ChangeControlSkinType(ui::TWinControl* control, TSkBarSkinType skinType,
                                              bool recursive) {
  if (!control) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    ui::TControl* child = control->Controls(i);
    SkApplySkinType(*child, skinType);
    if (auto* windowed = dynamic_cast<ui::TWinControl*>(child); windowed && recursive)
      ChangeControlSkinType(windowed, skinType, true);
  }
}

}  // namespace skbar
