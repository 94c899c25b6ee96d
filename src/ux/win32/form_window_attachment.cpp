#include "ux/win32/form_window_attachment.h"

#include "ux/form_placement.h"

namespace ux::win32 {

namespace {

TMinMaxRecord FromWindows(const MINMAXINFO& info) {
  const auto point = [](POINT p) { return TPoint{p.x, p.y}; };
  return {point(info.ptReserved), point(info.ptMaxSize), point(info.ptMaxPosition),
          point(info.ptMinTrackSize), point(info.ptMaxTrackSize)};
}

void ToWindows(const TMinMaxRecord& record, MINMAXINFO& info) {
  const auto point = [](TPoint p) { return POINT{p.x, p.y}; };
  info.ptMaxSize = point(record.maxSize);
  info.ptMaxPosition = point(record.maxPosition);
  info.ptMinTrackSize = point(record.minTrackSize);
  info.ptMaxTrackSize = point(record.maxTrackSize);
}

}  // namespace

TFormWindowAttachment::TFormWindowAttachment(TFormPlacement& placement, ui::TComponent& form,
                                             std::unique_ptr<TWindowPlacementHost> host)
    : placement_(placement), form_(form), host_(std::move(host)) {}

void TFormWindowAttachment::SetWindowHookActive(bool active) {
  if (!active && hook_ == nullptr) return;
  if (hook_ == nullptr) {
    hook_ = ui::Create<TUxWindowHook>(placement_);
    hook_->AfterMessage = [this](TUxWindowHook&, TMessage& message, bool&) {
      AfterMessage(message);
    };
  }
  hook_->SetWinControl(active ? &form_ : nullptr);
}

void TFormWindowAttachment::AfterMessage(TMessage& message) {
  auto* info =
      message.msg == WM_GETMINMAXINFO ? reinterpret_cast<MINMAXINFO*>(message.lParam) : nullptr;
  TMinMaxRecord record{};
  if (info) record = FromWindows(*info);
  // The form's own window procedure, which ran before this, has let its main menu dispatch the
  // popup already.
  const auto disableSizing = [&message] {
    const auto menu = reinterpret_cast<HMENU>(message.wParam);
    EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
  };
  placement_.WndMessage(message, info ? &record : nullptr, disableSizing);
  if (info) ToWindows(record, *info);
}

}  // namespace ux::win32
