// The toolbar framework's portable helpers: caption text rules, the decisions behind the
// system-setting, monitor, window-order, sound and vertical-text helpers of win32/common.h
// (there they meet the platform), and small list helpers.
//   Captions: RemoveAccelMarks ("&&" -> "&", other "&" dropped), DoubleAmpersands,
//   TrimCaptionEnding (one trailing ":" from a text longer than 1, else a trailing "..." from
//   a text longer than 3), LastAccelChar (the character after the last single "&"; 0 for none
//   or a text ending in a single "&").
//   Menu show delay: ParseMenuShowDelay (the registry value as read), ChooseMenuShowDelay.
//   Monitors: ChooseMonitorRect over injected monitor functions.
//   NextTopLevelWindow's choice over window descriptors; the PlaySound flags per platform.
//   VerticalTextLayout: where DrawVerticalText puts the text and the accelerator underline;
//   SingleLineOrigin: where a one-line text of a given size goes in a rectangle for the
//   DrawText alignment flags.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

struct TPoint {
  int x = 0, y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(TPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const TRect&) const = default;
};

std::wstring RemoveAccelMarks(std::wstring_view text);
std::wstring DoubleAmpersands(std::wstring_view text);
std::wstring TrimCaptionEnding(std::wstring_view text);
wchar_t LastAccelChar(std::wstring_view text);

// A character's lower case as the platform folds it (the C library's towlower folds only ASCII
// in the C locale); tb::Initialize installs the platform's, which knows more than ASCII.
using TCharLower = wchar_t (*)(wchar_t);
void SetCharLower(TCharLower lower);
wchar_t LowerCaseChar(wchar_t c);
std::wstring LowerCaseText(std::wstring_view text);
// A caption as it is shown: without its "&" marks (as RemoveAccelMarks) and the index of its
// accelerator character in that text (the one LastAccelChar answers), -1 for none.
struct TAccelText {
  std::wstring text;
  int accel = -1;
};
TAccelText SplitAccelText(std::wstring_view caption);

// The registry's "MenuShowDelay" as read: none when the key or value is missing, else its type
// (true: a string) and text.
struct TRegistryText {
  bool isString = false;
  std::wstring text;
};
// Missing: 400; a string of at most 32 characters that is an integer: that integer; anything
// else: 0.
int ParseMenuShowDelay(const std::optional<TRegistryText>& value);
// The system's value when the query worked, else the registry's; negative becomes 0.
int ChooseMenuShowDelay(std::optional<int> systemValue, int registryValue);

// The monitor services a rectangle query needs; a null function is a missing entry point.
struct TMonitorFunctions {
  int monitorCount = 1;
  // The nearest monitor's rectangle (work area or whole), none when the query failed.
  std::optional<TRect> (*nearestToRect)(const TRect& rect, bool workArea) = nullptr;
  std::optional<TRect> (*nearestToPoint)(TPoint point, bool workArea) = nullptr;
  // The primary screen: the work area when asked and known, else the whole screen.
  std::optional<TRect> (*workArea)() = nullptr;
  TRect screen;
};
TRect ChooseMonitorRect(const TMonitorFunctions& f, const TRect* rect, const TPoint* point,
                        bool workArea);

struct TWindowDescriptor {
  std::uintptr_t handle = 0;
  bool visible = false;
  bool enabled = false;
  bool topmost = false;
};
// The first window (in enumeration order) that is not topmost, else the first topmost one,
// skipping `exclude`, `application` and invisible or disabled windows; 0 when none.
std::uintptr_t ChooseNextTopLevelWindow(const std::vector<TWindowDescriptor>& windows,
                                        std::uintptr_t exclude, std::uintptr_t application);

// PlaySound flags for the menu sounds: alias, asynchronous, no default sound, and no stop on
// the old platforms; the system-sound flag from version 6.
std::uint32_t MenuSoundFlags(bool ntPlatform, int majorVersion);

// DrawVerticalText's geometry: the text's origin (drawn with TA_BOTTOM) and the underline of
// the accelerator (a vertical segment; none when the text has no accelerator or it is hidden).
struct TVerticalTextMetrics {
  int fontHeight = 0;        // the rotated font's text height
  int descent = 0;           // the font's descent
  int textWidth = 0;         // the accelerator-free text's width
  int widthBeforeAccel = 0;  // width of the text before the accelerator character
  int accelWidth = 0;        // width of the accelerator character
};
struct TVerticalTextLayout {
  TPoint origin;
  bool underline = false;
  int lineX = 0, lineTop = 0, lineBottom = 0;
};
TVerticalTextLayout VerticalTextLayout(const TRect& rect, const TVerticalTextMetrics& m,
                                       bool hasAccel, bool hidePrefix);

// The DrawText flags of a one-line caption (the platform's values).
inline constexpr std::uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtBottom = 0x8,
                               kDtSingleLine = 0x20, kDtNoClip = 0x100, kDtNoPrefix = 0x800,
                               kDtHidePrefix = 0x100000;
// The top-left corner of a one-line text of `width` x `height` placed in `rect` as DrawText
// places it: left, centred or right; top, centred or at the bottom.
TPoint SingleLineOrigin(const TRect& rect, int width, int height, std::uint32_t format);

// The larger and the smaller of two integers.
constexpr int Max(int a, int b) {
  return a > b ? a : b;
}
constexpr int Min(int a, int b) {
  return a < b ? a : b;
}

// Lists that come into being on the first add and go with their last item.
template <class T>
bool AddToList(std::unique_ptr<std::vector<T>>& list, const T& item, bool front = false) {
  if (!list) list = std::make_unique<std::vector<T>>();
  if (std::find(list->begin(), list->end(), item) != list->end()) return false;
  list->insert(front ? list->begin() : list->end(), item);
  return true;
}
template <class T>
bool AddToListFront(std::unique_ptr<std::vector<T>>& list, const T& item) {
  return AddToList(list, item, true);
}
template <class T>
void RemoveFromList(std::unique_ptr<std::vector<T>>& list, const T& item) {
  if (!list) return;
  std::erase(*list, item);
  if (list->empty()) list.reset();
}

// An event handler as its two words: the procedure and the data it is called with.
template <class Proc>
struct TMethod {
  Proc code = nullptr;
  void* data = nullptr;
};
// Two handlers are the same when both words are.
template <class Proc>
bool MethodsEqual(const TMethod<Proc>& a, const TMethod<Proc>& b) {
  return a.code == b.code && a.data == b.data;
}

}  // namespace tb
