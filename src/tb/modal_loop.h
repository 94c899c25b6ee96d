// The modal menu loop: while a menu is open the framework pulls every message itself, routes
// keys and mouse input to the views of the open chain and stops as soon as the chain's root
// view records how the loop ended (its done action). The platform (the Windows message queue,
// capture, the window under the cursor, hints; a test's fake) is reached through
// ITBModalPlatform; the decisions are here.
//   RunModalLoop(root, platform, options): runs the loop. It continues while the platform's
//   window holds the capture, the active window is the one at the start and the root is not
//   ending. A left or right press is looked at before it is removed: one outside the chain
//   ends the loop and stays queued for its target. Keys go to the deepest view's selected
//   viewer, then to the deepest view; characters select (and, when unique, execute) by
//   accelerator; mouse input goes to the viewer under the mouse. After each message the hint
//   follows the deepest selected item.
//   EnterToolbarLoop runs a loop on a toolbar's view and carries out how it ended.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tb/view.h"

namespace tb {

// Message numbers the loop reads.
namespace msg {
inline constexpr std::uint32_t KeyDown = 0x100, KeyUp = 0x101, Char = 0x102, SysKeyDown = 0x104,
                               SysChar = 0x106, KeyLast = 0x109, Help = 0x4D, ContextMenu = 0x7B,
                               Timer = 0x113, SysTimer = 0x118, MouseMove = 0x200,
                               LButtonDown = 0x201, LButtonUp = 0x202, LButtonDblClk = 0x203,
                               RButtonDown = 0x204, RButtonUp = 0x205, RButtonDblClk = 0x206,
                               MouseWheel = 0x20A, MouseLast = 0x20E;
inline constexpr std::uint16_t ProcessKey = 0xE5;
}  // namespace msg

struct TTBLoopMessage {
  std::uint32_t message = 0;
  std::uintptr_t wnd = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  TPoint pos;  // the message's screen position
};

class ITBModalPlatform {
 public:
  // The window that holds the loop's capture (the modal handler's).
  virtual std::uintptr_t HandlerWindow() = 0;
  // The loop's window still holds the mouse capture.
  virtual bool HasCapture() = 0;
  virtual std::uintptr_t ActiveWindow() = 0;
  // Looks at the next message without removing it; false when none waits.
  virtual bool PeekNext(TTBLoopMessage& message) = 0;
  // Removes the message that PeekNext answered.
  virtual void Remove(const TTBLoopMessage& message) = 0;
  // Waits for input: at most 1 ms when `briefly`, else until a message arrives.
  virtual void WaitForInput(bool briefly) = 0;
  virtual void Dispatch(const TTBLoopMessage& message) = 0;
  // Translates a key message so that character messages follow.
  virtual void Translate(const TTBLoopMessage& message) = 0;
  // The view of a popup window of the framework (null for other windows).
  virtual TTBView* PopupViewOf(std::uintptr_t wnd) = 0;
  virtual std::uintptr_t WindowFromPoint(TPoint screen) = 0;
  // The view's own window, for the root of a toolbar loop.
  virtual std::uintptr_t WindowOf(TTBView& view) = 0;
  virtual bool InClientArea(std::uintptr_t wnd, TPoint screen) = 0;
  // The left (or right) mouse button is held down now.
  virtual bool ButtonHeld(bool right) = 0;
  virtual std::uint16_t ImeVirtualKey() = 0;
  virtual ui::TShiftState KeyShiftState(std::intptr_t keyData) = 0;
  virtual void Beep() = 0;
  // Sets the mouse cursor (a class library cursor number).
  virtual void SetCursor(int cursor) = 0;
  virtual void StepAnimation() = 0;
  virtual bool AnimationRunning() = 0;
  // The application's hint: cancelled, driven by a mouse move over `view`'s window at `screen`,
  // or set to a text.
  virtual void CancelHint() = 0;
  virtual void HintMouseMove(TTBView& view, TPoint screen) = 0;
  virtual void SetApplicationHint(const std::wstring& hint) = 0;

 protected:
  ~ITBModalPlatform() = default;
};

struct TTBModalLoopOptions {
  bool mouseDown = false;        // the loop starts with the press that opened it
  bool executeSelected = false;  // the loop starts by executing the root's selection
  bool fromMSAA = false;
  bool trackRightButton = false;
};

void RunModalLoop(TTBView& root, ITBModalPlatform& platform, const TTBModalLoopOptions& options);

// The long part of a hint ("short|long"; the whole text without a bar).
std::wstring GetLongHint(const std::wstring& hint);

using TTBEnterToolbarLoopOptions = std::uint8_t;
inline constexpr TTBEnterToolbarLoopOptions tbetMouseDown = 1, tbetExecuteSelected = 2,
                                            tbetFromMSAA = 4;

// The platform part of a toolbar loop: a handler on the toolbar's own window for the loop's
// length, and carrying out how it ended.
class ITBToolbarLoopHost {
 public:
  // Makes a handler that holds the capture on the view's window, runs `starting`, then
  // RunModalLoop; `ending` runs when the loop has returned (or failed), before the handler is
  // freed.
  virtual void RunLoop(TTBView& view, const TTBModalLoopOptions& options,
                       const std::function<void()>& starting,
                       const std::function<void()>& ending) = 0;
  virtual void Finish(const TTBDoneActionData& data) = 0;

 protected:
  ~ITBToolbarLoopHost() = default;
};
// Runs a modal loop on a toolbar view (nothing when it is modal already): once the handler is
// made (the menu start announced), only vsShowAccels of its state is kept and vsModal added,
// and the focus event is announced when an item is selected; afterwards, while the handler still
// holds the capture, the view is no longer modal, its timers stop, child popups close and the
// selection follows no point; once the handler is freed, accelerators are hidden again as allowed
// and the done action is carried out.
void EnterToolbarLoop(TTBView& view, TTBEnterToolbarLoopOptions options, ITBToolbarLoopHost& host);

}  // namespace tb
