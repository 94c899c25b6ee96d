// What form placement needs of a form and of the screen. The Windows build implements it over a
// real form; tests use a fake, so the save and restore rules run without a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ux {

struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const TRect&) const = default;
};

// The window-placement record: flags, show command, minimized and maximized positions and the
// restored (normal) rectangle.
struct TWindowPlacement {
  unsigned flags = 0;
  int showCmd = 0;
  TPoint minPosition;
  TPoint maxPosition;
  TRect normalPosition;
  bool operator==(const TWindowPlacement&) const = default;
};

inline constexpr unsigned kWpfSetMinPosition = 1;
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowMinimized = 2;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

struct ScreenInfo {
  int width = 0;  // primary screen, pixels
  int height = 0;
  int pixelsPerInch = 96;
};

class PlacementHost {
 public:
  virtual ~PlacementHost() = default;

  virtual bool HandleAllocated() const = 0;
  // The window's placement, or nothing when the window cannot report it (no window any more).
  virtual std::optional<TWindowPlacement> GetPlacement() const = 0;
  virtual void SetPlacement(const TWindowPlacement& placement) = 0;
  virtual bool Visible() const = 0;
  // The application's main form, or there is none yet.
  virtual bool IsMainForm() const = 0;
  virtual bool Iconic() const = 0;
  virtual TFormStyle FormStyle() const = 0;
  virtual TFormBorderStyle BorderStyle() const = 0;
  virtual TPosition Position() const = 0;
  // Switches to designed positioning without moving the form.
  virtual void KeepPositionDesigned() = 0;
  virtual TRect BoundsRect() const = 0;  // left, top, right, bottom of the window
  virtual TWindowState WindowState() const = 0;
  virtual void SetWindowState(TWindowState state) = 0;
  // Notes the state without applying it (MDI forms, and a main form about to be minimized).
  virtual void RecordWindowState(TWindowState state) = 0;
  // Minimizes the main form through a posted system command.
  virtual void PostMinimize() = 0;
  // Repaints what is pending at once.
  virtual void Update() = 0;
  virtual bool MaximizeIcon() const = 0;
  virtual void SetMaximizeIcon(bool shown) = 0;
  // Name of the form's active control, empty when none.
  virtual std::wstring ActiveControlName() const = 0;
  // Focuses the form's component of that name when it is a windowed control that can take focus.
  virtual void SetActiveControlByName(std::wstring_view name) = 0;
  // The frame's width and height for the border style (the maximized position's offset).
  virtual TPoint FrameSize(TFormBorderStyle style) const = 0;
  virtual ScreenInfo Screen() const = 0;
  // The work area of the monitor nearest to `rect`, in the coordinates of a placement.
  virtual TRect WorkAreaNear(const TRect& rect) const = 0;
  // Routes the exception being handled to the application's handler; called inside a catch.
  virtual void HandleException() = 0;
};

}  // namespace ux
