#include "tb/common.h"

#include <cwctype>

#include "ui/text.h"

namespace tb {

std::wstring RemoveAccelMarks(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&') {
      if (++i == text.size()) break;
    }
    result += text[i];
  }
  return result;
}

std::wstring DoubleAmpersands(std::wstring_view text) {
  std::wstring result;
  result.reserve(text.size());
  for (const wchar_t c : text) {
    result += c;
    if (c == L'&') result += L'&';
  }
  return result;
}

std::wstring TrimCaptionEnding(std::wstring_view text) {
  if (text.size() > 1 && text.back() == L':') return std::wstring(text.substr(0, text.size() - 1));
  if (text.size() > 3 && text.ends_with(L"...")) {
    return std::wstring(text.substr(0, text.size() - 3));
  }
  return std::wstring(text);
}

wchar_t LastAccelChar(std::wstring_view text) {
  wchar_t accel = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (i + 1 == text.size()) return 0;  // a single "&" at the end marks nothing
    if (text[i + 1] != L'&') accel = text[i + 1];
    ++i;  // the marked character, or the second of a doubled ampersand
  }
  return accel;
}

namespace {
wchar_t CLibraryLower(wchar_t c) {
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}
TCharLower gCharLower = &CLibraryLower;
}  // namespace

void SetCharLower(TCharLower lower) {
  gCharLower = lower ? lower : &CLibraryLower;
}

wchar_t LowerCaseChar(wchar_t c) {
  return gCharLower(c);
}

std::wstring LowerCaseText(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) c = gCharLower(c);
  return lower;
}

TAccelText SplitAccelText(std::wstring_view caption) {
  TAccelText result;
  result.text.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (++i == caption.size()) {
        result.accel = -1;  // a single "&" at the end marks nothing
        break;
      }
      if (caption[i] != L'&') result.accel = static_cast<int>(result.text.size());
    }
    result.text += caption[i];
  }
  return result;
}

TPoint SingleLineOrigin(const TRect& rect, int width, int height, std::uint32_t format) {
  TPoint origin{rect.left, rect.top};
  if (format & kDtRight)
    origin.x = rect.right - width;
  else if (format & kDtCenter)
    origin.x = rect.left + (rect.Width() - width) / 2;
  if (format & kDtBottom)
    origin.y = rect.bottom - height;
  else if (format & kDtVCenter)
    origin.y = rect.top + (rect.Height() - height) / 2;
  return origin;
}

int ParseMenuShowDelay(const std::optional<TRegistryText>& value) {
  if (!value) return 400;
  if (!value->isString || value->text.size() > 32) return 0;
  return ui::TryStrToInt(value->text).value_or(0);
}

int ChooseMenuShowDelay(std::optional<int> systemValue, int registryValue) {
  return std::max(systemValue.value_or(registryValue), 0);
}

TRect ChooseMonitorRect(const TMonitorFunctions& f, const TRect* rect, const TPoint* point,
                        bool workArea) {
  if (f.monitorCount > 1) {
    std::optional<TRect> found;
    if (rect && f.nearestToRect) found = f.nearestToRect(*rect, workArea);
    if (point && f.nearestToPoint) found = f.nearestToPoint(*point, workArea);
    if (found) return *found;
  }
  if (workArea && f.workArea) {
    if (const std::optional<TRect> area = f.workArea()) return *area;
  }
  return f.screen;
}

std::uintptr_t ChooseNextTopLevelWindow(const std::vector<TWindowDescriptor>& windows,
                                        std::uintptr_t exclude, std::uintptr_t application) {
  std::uintptr_t firstTopmost = 0;
  for (const TWindowDescriptor& w : windows) {
    if (w.handle == exclude || w.handle == application || !w.visible || !w.enabled) continue;
    if (!w.topmost) return w.handle;
    if (!firstTopmost) firstTopmost = w.handle;
  }
  return firstTopmost;
}

std::uint32_t MenuSoundFlags(bool ntPlatform, int majorVersion) {
  constexpr std::uint32_t kAliasAsyncNoDefault = 0x10003;
  constexpr std::uint32_t kNoStop = 0x10;
  constexpr std::uint32_t kSystem = 0x200000;
  std::uint32_t flags = kAliasAsyncNoDefault;
  if (!ntPlatform) flags |= kNoStop;
  if (majorVersion >= 6) flags |= kSystem;
  return flags;
}

TVerticalTextLayout VerticalTextLayout(const TRect& rect, const TVerticalTextMetrics& m,
                                       bool hasAccel, bool hidePrefix) {
  TVerticalTextLayout layout;
  layout.origin = {rect.left + (rect.Width() - m.fontHeight) / 2,
                   rect.top + (rect.Height() - m.textWidth) / 2};
  if (hasAccel && !hidePrefix) {
    layout.underline = true;
    layout.lineX = layout.origin.x + m.descent - 2;
    layout.lineTop = layout.origin.y + m.widthBeforeAccel;
    layout.lineBottom = layout.lineTop + m.accelWidth;
  }
  return layout;
}

}  // namespace tb
