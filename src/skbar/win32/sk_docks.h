// The framework's containers under the skin model:
//   TSkBarDock: a dock that always paints its own background: OnDrawBackground around the
//   default (the framework's background object when one is in use, else BackgroundColor, the
//   published "Color" (clNone by default), else the dock background of the effective skin type:
//   the skin's, the theme's rebar background or the button face); the same picture
//   continues behind its windows.
//   TSkBarCustomToolWindow: a dockable window of ordinary controls with a wanted client size
//   and client limits (minimum width 32); its background is the skin's or the theme's toolbar
//   background (its colour classic), its docked frame a skinned toolbar's; floating, its frame
//   is the skin's border size under a skin, and its form a TSkBarFloatingWindowParent.
//   TSkBarFloatingWindowParent: the floating form; under a skin or the themes it draws the
//   frame, the caption bar and the close button (hot while the mouse is over it) through the
//   skin routines of that skin type (classic, the framework's); closing it
//   closes a hosted window that asks for that (dockable panels). The caption it shows is the
//   hosted window's: its own text is cleared whenever it is shown or hidden.
// Each registers for the skin-change message and repaints on it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>

#include "skbar/win32/splitter.h"
#include "tb/win32/dockable_window.h"

namespace skbar {

class TSkBarDock : public tb::TTBDock {
 public:
  explicit TSkBarDock(ui::TComponent* owner);
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarDock"; }
  void WndProc(ui::TMessage& message) override;
  void DrawBackground(HDC dc, const RECT& drawRect) override;
  bool UsesBackground() override { return true; }

  // Asks OnCanResize first: it may change the new size or refuse it (the size stays). A change
  // of its length re-anchors its toolbars' items and repaints its toolbars and tool windows.
  void SetBounds(int left, int top, int width, int height) override;
  // The size before the last resize.
  int PreviousWidth() const { return previousWidth_; }
  int PreviousHeight() const { return previousHeight_; }
  // Set while the dock handles its own size message, and while it arranges its windows (its
  // windows resized then leave their repainting to the dock).
  bool Sizing() const { return sizing_ > 0; }
  bool Resizing() const { return resizing_ > 0; }

  TColor BackgroundColor = clNone;
  TSkBarDrawBackgroundEvent OnDrawBackground;
  std::function<void(ui::TComponent* sender, int& newWidth, int& newHeight, bool& resize)>
      OnCanResize;

 protected:
  virtual void FireDrawBackground(ui::TCanvas& canvas, const TRect& rect, TSkBarPaintStage stage,
                                  bool& paintDefault);
  void AlignControls(const ui::TRect& client) override;

 private:
  void LengthChanged();
  int previousWidth_ = 0, previousHeight_ = 0;
  int sizing_ = 0, resizing_ = 0;
};

class TSkBarFloatingWindowParent : public tb::TTBFloatingWindowParent {
 public:
  explicit TSkBarFloatingWindowParent(ui::TComponent* owner);
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarFloatingWindowParent"; }
  void WndProc(ui::TMessage& message) override;
  void PaintFrame(bool drawToDC, HDC dc, int redrawWhat, HRGN clip) override;
  // Set by hosted windows that close with their form.
  bool CloseHostedWindow = false;
  // The mouse is over the close button (the frame's hit code for it).
  bool CloseButtonHot() const { return closeHot_; }
  // After a skin change: a thick frame only for a resizable hosted window under themes with
  // desktop composition; the desktop window manager draws the frame except under a skin.
  void UpdateSkinStyle();

 protected:
  // The hosted window's caption: the form clears its own whenever its visibility changes.
  std::wstring_view CaptionText() const override;

 private:
  void SetCloseHot(bool hot);
  bool closeHot_ = false;
};

// The floating form keeps WS_THICKFRAME only for a resizable window drawn by the platform's
// themes while desktop composition is on.
inline bool SkFloatingFrameThick(bool resizable, TSkBarSkinType skinType, bool composition) {
  return resizable && skinType == sknWindows && composition;
}

// Whether a docked window's frame is painted through the skin routines (else by the framework):
// under a skin or the themes.
bool SkPaintsDockedFrame();
// A docked window's frame under a skin or the themes: on the window DC (or `dc`), the client area
// excluded, `background` over the whole window, the docked close button (a skinned button with the
// close glyph, pushed and hot as the framework tracks it) when the window has one, then the grip
// (SkPaintToolbarGrip) on a drag handle `handleSize` wide when the dock allows dragging and the
// window shows a handle. Nothing when not docked.
void SkDrawDockedFrame(tb::TTBCustomDockableWindow& window, HDC dc, int handleSize,
                       const std::function<void(ui::TCanvas&, const TRect&)>& background);

class TSkBarCustomToolWindow : public tb::TTBCustomDockableWindow {
 public:
  explicit TSkBarCustomToolWindow(ui::TComponent* owner);
  void BeforeDestruction() noexcept override;
  std::wstring_view ClassName() const override { return L"TSkBarToolWindow"; }
  void WndProc(ui::TMessage& message) override;

  void CalcLayoutSize(bool canMoveControls, tb::TTBDockType dockType, bool floating,
                      tb::TTBDock* dock, tb::TPoint& newSize) override;
  void GetCurrentClientSize(tb::TPoint& size) override;
  void GetMinMaxSize(tb::TPoint& minSize, tb::TPoint& maxSize) override;
  void GetFloatingBorderSize(tb::TPoint& size) override;
  tb::TTBFloatingWindowParent* CreateFloatingParent() override;
  // Docked under a skin or the themes, the frame is the toolbar background with the grip, as a
  // skinned toolbar's; classic, the framework's.
  void DrawDockedNCArea(bool drawToDC, HDC dc, HRGN clip) override;
  // Redraws the window (and its children when asked).
  void InvalidateBackground(bool invalidateChildren);
  // Then "ClientWidth" and "ClientHeight" under its name when it is resizable, each held to
  // 0..kMaxStoredClientSize.
  void ReadPositionData(const tb::TTBPositionReader& reader) override;
  void WritePositionData(const tb::TTBPositionWriter& writer) override;

  // A size the framework asks for (a user's resize, say) becomes the wanted client size, the
  // frame taken off when the window has a parent, so that the next arrangement keeps it.
  void SizeChanging(int newWidth, int newHeight) override;
  // Sets the bounds to the client size plus the frame.
  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }

  // The largest client size taken from stored position data: the window coordinate range, as
  // for a floating window's largest size.
  static constexpr int kMaxStoredClientSize = 32767;
  static int BoundStoredClientSize(int size) { return std::clamp(size, 0, kMaxStoredClientSize); }

  int MinClientWidth = 32, MinClientHeight = 0, MaxClientWidth = 0, MaxClientHeight = 0;
  tb::TPoint WantedClientSize{32, 32};

 protected:
  void Paint() override;
};

}  // namespace skbar
