#include "ux/placement_values.h"

#include <algorithm>
#include <array>

#include "ui/text.h"
#include "ux/str_utils.h"

namespace ux {

namespace {

constexpr std::wstring_view kFlags = L"Flags";
constexpr std::wstring_view kShowCmd = L"ShowCmd";
constexpr std::wstring_view kPixelsPerInch = L"PixelsPerInch";
constexpr std::wstring_view kMinMaxPos = L"MinMaxPos";
constexpr std::wstring_view kNormPos = L"NormPos";

std::wstring FourNumbers(int a, int b, int c, int d) {
  return std::to_wstring(a) + L',' + std::to_wstring(b) + L',' + std::to_wstring(c) + L',' +
         std::to_wstring(d);
}

// The suffixed value, or the plain one when the suffixed one is missing or empty.
std::wstring ReadPositionText(const ValueReader& read, std::wstring_view name,
                              const std::wstring& suffix) {
  std::wstring text = read(std::wstring(name) + suffix, L"");
  return text.empty() ? read(name, L"") : text;
}

// Words 1 to 4 of a stored list; a missing or non-numeric word takes its default.
std::array<int, 4> FourWords(std::wstring_view text, const std::array<int, 4>& defaults) {
  std::array<int, 4> values{};
  for (int i = 0; i < 4; ++i)
    values[i] = ui::TryStrToInt(ExtractWord(i + 1, text, kListDelims)).value_or(defaults[i]);
  return values;
}

// Window coordinates travel in 16 bits in the window messages; a stored rectangle beyond them is
// damaged, and its width or height would overflow.
bool InWindowRange(const TRect& r) {
  constexpr int kLow = -32768;
  constexpr int kHigh = 32767;
  for (const int v : {r.left, r.top, r.right, r.bottom})
    if (v < kLow || v > kHigh) return false;
  return true;
}

bool Sizeable(TFormBorderStyle style) {
  return style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin;
}

void ReadPosition(PlacementHost& form, const ValueReader& read, TWindowPlacement& placement) {
  const ScreenInfo screen = form.Screen();
  const std::wstring suffix = ScreenSuffix(screen);
  const TRect bounds = form.BoundsRect();
  placement.flags =
      static_cast<unsigned>(ReadIntegerValue(read, kFlags, static_cast<int>(placement.flags)));

  bool found = false;
  if (const std::wstring text = ReadPositionText(read, kMinMaxPos, suffix); !text.empty()) {
    found = true;
    const auto v = FourWords(text, {0, 0, 0, 0});
    placement.minPosition = {v[0], v[1]};
    placement.maxPosition = {v[2], v[3]};
  }
  if (const std::wstring text = ReadPositionText(read, kNormPos, suffix); !text.empty()) {
    found = true;
    const auto v = FourWords(text, {bounds.left, bounds.top, bounds.right, bounds.bottom});
    placement.normalPosition = {v[0], v[1], v[2], v[3]};
  }
  if (ReadIntegerValue(read, kPixelsPerInch, screen.pixelsPerInch) != screen.pixelsPerInch)
    found = false;
  if (!found) return;

  TRect& normal = placement.normalPosition;
  if (!InWindowRange(normal)) return;
  if (!Sizeable(form.BorderStyle()))
    normal = {normal.left, normal.top, normal.left + (bounds.right - bounds.left),
              normal.top + (bounds.bottom - bounds.top)};
  // A rectangle without height is as damaged as one without width: neither is applied.
  if (normal.right <= normal.left || normal.bottom <= normal.top) return;
  // A window stored on a screen that is gone (or a damaged value) would open out of reach: it is
  // moved onto the nearest work area with its size kept.
  normal = ReachableRect(normal, form.WorkAreaNear(normal));
  const TPosition position = form.Position();
  if (position == TPosition::poScreenCenter || position == TPosition::poDesktopCenter)
    form.KeepPositionDesigned();
  form.SetPlacement(placement);
}

TWindowState StateFromShowCmd(int showCmd, TWindowState otherwise) {
  switch (showCmd) {
    case 1:
    case 5:
    case 9:
      return TWindowState::wsNormal;
    case 2:
    case 6:
    case 7:
      return TWindowState::wsMinimized;
    case 3:
      return TWindowState::wsMaximized;
    default:
      return otherwise;
  }
}

// Returns false when the form was minimized through the application and nothing else is to do.
bool ReadState(PlacementHost& form, const ValueReader& read) {
  const TFormStyle style = form.FormStyle();
  const bool mdi = style == TFormStyle::fsMDIChild || style == TFormStyle::fsMDIForm;
  TWindowState start = TWindowState::wsNormal;
  if (form.IsMainForm() &&
      (style == TFormStyle::fsMDIForm ||
       (style == TFormStyle::fsNormal && form.Position() == TPosition::poDefault)))
    start = TWindowState::wsMaximized;
  const TWindowState state = StateFromShowCmd(ReadIntegerValue(read, kShowCmd, 0), start);
  if (state == TWindowState::wsMinimized && form.IsMainForm()) {
    form.RecordWindowState(TWindowState::wsNormal);
    form.PostMinimize();
    return false;
  }
  if (mdi)
    form.RecordWindowState(state);
  else
    form.SetWindowState(state);
  return true;
}

}  // namespace

std::wstring ScreenSuffix(const ScreenInfo& screen) {
  return L'(' + std::to_wstring(screen.width) + L'x' + std::to_wstring(screen.height) + L')';
}

TRect ReachableRect(const TRect& window, const TRect& work) {
  constexpr int kReach = 32;
  const int across = std::min(window.right, work.right) - std::max(window.left, work.left);
  if (across >= kReach && window.top + kReach / 2 >= work.top && window.top + kReach <= work.bottom)
    return window;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int left = std::max(work.left, std::min(window.left, work.right - width));
  const int top = std::max(work.top, std::min(window.top, work.bottom - height));
  return {left, top, left + width, top + height};
}

int ReadIntegerValue(const ValueReader& read, std::wstring_view ident, int def) {
  return ui::TryStrToInt(read(ident, L"")).value_or(def);
}

void WriteFormPlacement(const PlacementHost& form, const ValueWriter& write) {
  std::optional<TWindowPlacement> placement = form.GetPlacement();
  if (!placement) return;
  if (form.IsMainForm() && form.Iconic()) placement->showCmd = kSwShowMinimized;
  if (form.FormStyle() == TFormStyle::fsMDIChild && form.WindowState() == TWindowState::wsMinimized)
    placement->flags |= kWpfSetMinPosition;

  const ScreenInfo screen = form.Screen();
  const std::wstring suffix = ScreenSuffix(screen);
  write(kFlags, std::to_wstring(placement->flags));
  write(kShowCmd, std::to_wstring(placement->showCmd));
  write(kPixelsPerInch, std::to_wstring(screen.pixelsPerInch));
  const std::wstring minMax = FourNumbers(placement->minPosition.x, placement->minPosition.y,
                                          placement->maxPosition.x, placement->maxPosition.y);
  write(std::wstring(kMinMaxPos) + suffix, minMax);
  write(kMinMaxPos, minMax);
  const TRect& normal = placement->normalPosition;
  const std::wstring norm = FourNumbers(normal.left, normal.top, normal.right, normal.bottom);
  write(std::wstring(kNormPos) + suffix, norm);
  write(kNormPos, norm);
}

void ReadFormPlacement(PlacementHost& form, const ValueReader& read, bool loadState,
                       bool loadPosition) {
  if (!loadState && !loadPosition) return;
  std::optional<TWindowPlacement> placement = form.GetPlacement();
  if (!placement) return;
  if (!form.Visible()) placement->showCmd = kSwHide;
  if (loadPosition) ReadPosition(form, read, *placement);
  if (loadState && !ReadState(form, read)) return;
  form.Update();
}

}  // namespace ux
