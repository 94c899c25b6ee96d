// Feeds arbitrary bytes as a settings file and restores a form's placement from its "TMainForm"
// section, for a sizeable form and a dialog, state and position both: whatever the values, a
// rectangle is applied only when it has a width and a height, is taken at the screen's density,
// keeps a dialog's size, and leaves the caption bar within reach on the work area.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_placement_host.h"
#include "fuzz_util.h"
#include "ini_input.h"
#include "ui/text.h"
#include "ux/placement_values.h"

namespace {

constexpr int kReach = 32;  // caption bar within reach: as ReachableRect has it

void CheckApplied(const ux::FakePlacementHost& form, const ux::TRect& work, bool sameDensity) {
  Require(form.applied.size() <= 1);
  if (form.applied.empty()) return;
  Require(sameDensity);
  const ux::TRect& r = form.applied.front().normalPosition;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  Require(width > 0 && height > 0);
  const ux::TRect bounds = form.BoundsRect();
  if (form.borderStyle == ux::TFormBorderStyle::bsDialog)
    Require(width == bounds.right - bounds.left && height == bounds.bottom - bounds.top);
  const int across = std::min(r.right, work.right) - std::max(r.left, work.left);
  Require(across >= std::min({kReach, width, work.right - work.left}));
  Require(r.top >= work.top - kReach / 2);
  Require(r.top + std::min(kReach, height) <= work.bottom);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ui::TIniFile ini = IniFromBytes(data, size);
  const ux::ValueReader read = [&ini](std::wstring_view ident, std::wstring_view def) {
    return ini.ReadString(L"TMainForm", std::wstring(ident), std::wstring(def));
  };
  for (const auto border : {ux::TFormBorderStyle::bsSizeable, ux::TFormBorderStyle::bsDialog}) {
    ux::FakePlacementHost form;
    form.borderStyle = border;
    const ux::ScreenInfo screen = form.Screen();
    const auto density = ui::TryStrToInt(read(L"PixelsPerInch", L""));
    ux::ReadFormPlacement(form, read, true, true);
    CheckApplied(form, form.WorkAreaNear({}), !density || *density == screen.pixelsPerInch);
  }
  return 0;
}
