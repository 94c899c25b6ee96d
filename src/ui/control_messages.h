// The class library's own control notifications (CM_*) and control style flags, as numbers that
// portable code can name too.
//   CM_* messages are performed on a control (its WndProc) by the library itself:
//   CM_VISIBLECHANGED (wParam: new Visible), CM_SHOWINGCHANGED (Showing changed),
//   CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_COLORCHANGED, CM_FONTCHANGED, CM_SHOWHINTCHANGED,
//   CM_SYSCOLORCHANGE and CM_WININICHANGE (a form's WM_SYSCOLORCHANGE / WM_SETTINGCHANGE passed
//   to every control of it, same parameters), CM_MOUSEENTER / CM_MOUSELEAVE (the control under
//   the mouse changed), CM_HINTSHOW (lParam: THintInfo*; a non-zero result suppresses the
//   hint), CM_CONTROLCHANGE (wParam: the child control, lParam: 1 inserting / 0 removing; sent
//   before a removal and after an insertion), CM_CONTROLLISTCHANGE (same, the child list),
//   CM_DIALOGKEY / CM_DIALOGCHAR (wParam: key or character, lParam: key data; a control passes
//   them on to its windowed children, the first non-zero result answers),
//   CM_APPKEYDOWN / CM_APPSYSCOMMAND (sent to the application's main-window hooks; a key-down
//   as wParam key / lParam key data; a system command with lParam pointing at the form's
//   TMessage), CM_CHILDVISIBLECHANGED (performed on the parent after a child's Visible
//   changed; wParam: the child, lParam: its new Visible).
//   TControlStyle: csCaptureMouse (a left press captures the mouse until release),
//   csClickEvents (a left release raises OnClick), csDoubleClicks (a double click reaches
//   the control as one; without it as a second press), csAcceptsControls, csOpaque,
//   csSetCaption, csMenuEvents (receives the system key-menu command), csActionClient.
#pragma once

#include <cstdint>

namespace ui {

constexpr unsigned CM_BASE = 0xB000;
constexpr unsigned CM_VISIBLECHANGED = CM_BASE + 0x01;
constexpr unsigned CM_SHOWINGCHANGED = CM_BASE + 0x02;
constexpr unsigned CM_ENABLEDCHANGED = CM_BASE + 0x03;
constexpr unsigned CM_TEXTCHANGED = CM_BASE + 0x04;
constexpr unsigned CM_COLORCHANGED = CM_BASE + 0x05;
constexpr unsigned CM_FONTCHANGED = CM_BASE + 0x06;
constexpr unsigned CM_SHOWHINTCHANGED = CM_BASE + 0x07;
constexpr unsigned CM_SYSCOLORCHANGE = CM_BASE + 0x08;
constexpr unsigned CM_WININICHANGE = CM_BASE + 0x09;
constexpr unsigned CM_MOUSEENTER = CM_BASE + 0x0A;
constexpr unsigned CM_MOUSELEAVE = CM_BASE + 0x0B;
constexpr unsigned CM_HINTSHOW = CM_BASE + 0x0C;
constexpr unsigned CM_CONTROLCHANGE = CM_BASE + 0x0D;
constexpr unsigned CM_CONTROLLISTCHANGE = CM_BASE + 0x0E;
constexpr unsigned CM_DIALOGKEY = CM_BASE + 0x0F;
constexpr unsigned CM_DIALOGCHAR = CM_BASE + 0x10;
constexpr unsigned CM_APPKEYDOWN = CM_BASE + 0x11;
constexpr unsigned CM_APPSYSCOMMAND = CM_BASE + 0x12;
constexpr unsigned CM_CHILDVISIBLECHANGED = CM_BASE + 0x13;

using TControlStyle = std::uint32_t;
constexpr TControlStyle csAcceptsControls = 1u << 0;
constexpr TControlStyle csCaptureMouse = 1u << 1;
constexpr TControlStyle csClickEvents = 1u << 2;
constexpr TControlStyle csOpaque = 1u << 3;
constexpr TControlStyle csSetCaption = 1u << 4;
constexpr TControlStyle csDoubleClicks = 1u << 5;
constexpr TControlStyle csMenuEvents = 1u << 6;
constexpr TControlStyle csActionClient = 1u << 7;

// What a control starts with.
constexpr TControlStyle kDefaultControlStyle =
    csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

}  // namespace ui
