// The toolbar framework's Win32 helpers: WM_PRINT handling, frame regions and the halftone
// outline, small modal pumps and the caption-button tracking loop, system settings, monitors,
// optional entry points bound at run time, menu sounds, text and rotated text, small captions,
// gradient fills and form and window helpers. Decisions that need no window live in
// tb/common.h.
//   InitCommon (unit start, once): binds GradientFill (msimg32, Windows 4.10 and later), the
//   four monitor functions (all or none) and LockSetForegroundWindow; TrackMouseEvent is bound
//   by the first dockable window (BindTrackMouseEvent), or on first use.
//   TrackCaptionButton swallows key messages and the right, middle and extra mouse buttons
//   while it tracks; it returns true only for a left release inside the rectangle.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "tb/common.h"
#include "ui/win32/controls.h"
#include "ui/win32/forms.h"
#include "ui/win32/system_fonts.h"

namespace tb {

void InitCommon();

// Painting.
using TNCPaintProc = void (*)(HWND wnd, HDC dc, void* appData);
void HandleWMPrint(HWND wnd, ui::TMessage& message, TNCPaintProc ncPaint, void* appData);
void HandleWMPrintClient(ui::TWinControl& control, ui::TMessage& message);
void SelectNCUpdateRgn(HWND wnd, HDC dc, HRGN rgn);
// Whether a double-buffered repaint leaves a wholly invalid window to the paint that comes anyway.
enum class TWhollyInvalid { LeaveToPaint, PaintNow };
// Paints the client area now through a memory bitmap (no flicker); a window that is wholly
// invalid is left to the paint that comes anyway unless `whollyInvalid` says otherwise.
void DoubleBufferedRepaint(HWND wnd, TWhollyInvalid whollyInvalid = TWhollyInvalid::LeaveToPaint);
// For a paint message: a visible child window with a frame whose client area is wholly invalid is
// painted through memory with its frame, in one window device context, and validated; false
// (and nothing validated) for any other window, which is then painted as usual.
bool PaintWhollyInvalidWithFrame(HWND wnd);
void RecomputeFrame(ui::TWinControl& control);
void RedrawWithFrame(ui::TWinControl& control);

// Regions and drag rectangles (the caller owns the region or brush made).
HRGN MakeFrameRegion(const RECT& rect, SIZE size);
void InvertFrame(HDC dc, const RECT& newRect, const RECT& oldRect, SIZE newSize, SIZE oldSize,
                 HBRUSH brush);
HBRUSH MakeHalftoneBrush();
void InvertHalftoneFrame(HDC dc, const RECT& newRect, const RECT& oldRect, SIZE newSize,
                         SIZE oldSize);

// Modal pumps.
void PumpPaintMessages();
void DiscardMessages(UINT first, UINT last);
// True for a press, release or double click of the right, middle or an extra mouse button,
// which the modal mouse loops swallow.
bool IsOtherButtonMessage(UINT message);
using TCaptionButtonDrawProc = void (*)(HWND wnd, bool pushed, void* data);
bool TrackCaptionButton(HWND wnd, const RECT& buttonRect, TCaptionButtonDrawProc draw, void* data);

// System settings (the framework reads them through tb::SystemSettings()).
int QueryMenuShowDelay();
int ReadRegistryMenuShowDelay();
bool AreFlatMenusEnabled();
bool AreKeyboardCuesEnabled();
bool QuerySystemFlag(UINT param, bool defaultValue);
using ui::ReadNonClientMetrics;
bool IsWindowsXPOrLater();
bool IsAnyWindowActive();

// Monitors and the screen.
bool HasSeveralMonitors();
bool ReadMonitorRect(HMONITOR monitor, bool workArea, RECT& rect);
RECT GetRectOfMonitorContainingRect(const RECT& rect, bool workArea);
RECT GetRectOfMonitorContainingPoint(POINT point, bool workArea);
RECT PrimaryScreenRect(bool workArea);
// Looks up TrackMouseEvent (user32, else comctl32's _TrackMouseEvent) once; true when found.
bool BindTrackMouseEvent();
bool CallTrackMouseEvent(HWND wnd, DWORD flags);
void SetForegroundLock(bool lock);
POINT LastMessagePos();

// Sounds.
bool SoundIsAssigned(std::wstring_view alias);
void PlayMenuSound(std::wstring_view alias);

// Text.
wchar_t LowerChar(wchar_t ch);
int MeasureTextWidth(HDC dc, std::wstring_view text, bool prefix);
int DrawTextString(HDC dc, std::wstring_view text, RECT& rect, UINT format);
// A caption as DrawText draws it; a one-line caption is drawn with each character where the
// measurement puts it and its accelerator underlined under that character (unless hidden).
// Other forms (several lines, ellipses, measuring) are the platform's.
int DrawCaptionText(HDC dc, std::wstring_view text, RECT& rect, UINT format);
SIZE MeasureTextExtent(HDC dc, std::wstring_view text);
void OutputText(HDC dc, int x, int y, std::wstring_view text);
bool FaceExists(HDC dc, std::wstring_view face);
HFONT MakeVerticalFont(HDC dc);
void DrawVerticalText(HDC dc, std::wstring_view text, const RECT& rect, UINT format);

// Captions and gradients.
void PaintSmallCaption(HWND wnd, HDC dc, const RECT& rect, bool active, std::wstring_view caption);
bool HasGradientFill();
void FillGradientRect(HDC dc, const RECT& rect, COLORREF start, COLORREF end, bool horizontal);

// Forms and windows.
// The outermost form among the control's parents; for a floating-window parent, the form it
// belongs to instead (none once that form is gone), through the resolver its unit installs.
ui::TCustomForm* GetToolWindowParentForm(ui::TControl& control);
// The form that stands for an outermost form: a floating-window parent's own form (or none),
// any other form itself.
using TFloatingParentResolver = ui::TCustomForm* (*)(ui::TCustomForm& outermost);
void SetFloatingParentResolver(TFloatingParentResolver resolver);
// As GetToolWindowParentForm; raises the invalid-operation error when there is none.
ui::TCustomForm& RequireToolWindowParentForm(ui::TControl& control);
// For an MDI child, the MDI form that lists it as a child; otherwise (or when none does) the
// form itself.
ui::TCustomForm* MDIParentOf(ui::TCustomForm& form);
void SetWindowOwner(HWND wnd, HWND owner);
HWND NextTopLevelWindow(HWND exclude);
bool IsAncestorOfWindow(HWND parent, HWND wnd);
int SmallCaptionHeight();

}  // namespace tb
