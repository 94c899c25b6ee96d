#include "tb/modal_loop.h"

#include <vector>

namespace tb {

namespace {

bool IsButtonPress(std::uint32_t message) {
  return message == msg::LButtonDown || message == msg::LButtonDblClk ||
         message == msg::RButtonDown || message == msg::RButtonDblClk;
}

class TModalLoop {
 public:
  TModalLoop(TTBView& root, ITBModalPlatform& platform, const TTBModalLoopOptions& options)
      : root_(root), platform_(platform), options_(options) {}

  void Run() {
    root_.DoneActionData().doneAction = TTBDoneAction::tbdaNone;
    root_.ValidatePositions();
    root_.SetCaptureWnd(platform_.HandlerWindow());
    if (options_.mouseDown) {
      if (TTBItemViewer* viewer = root_.Selected()) {
        TTBLoopMessage current;
        current.pos = LastMousePosition();
        const TPoint p = viewer->ScreenToClient(current.pos);
        viewer->MouseDown(0, p.x, p.y, mouseDownOnMenu_);
      }
    } else if (options_.executeSelected) {
      root_.ExecuteSelected(true);
    }
    if (root_.IsModalEnding()) return;
    activeWindow_ = platform_.ActiveWindow();
    while (Continuing()) {
      platform_.StepAnimation();
      TTBLoopMessage message;
      if (!platform_.PeekNext(message)) {
        platform_.WaitForInput(platform_.AnimationRunning());
        continue;
      }
      if (IsButtonPress(message.message) && PressEndsLoop(message)) break;
      platform_.Remove(message);
      if (!Handle(message)) break;
      if (!Continuing()) break;
      if (LastMousePosition() == kNoPoint) {
        LastMousePosition() = message.pos;
        MouseMoved(message.pos);
      }
      TTBView* deepest = Deepest();
      TTBItemViewer* selected = deepest->Selected();
      platform_.SetApplicationHint(selected ? GetLongHint(selected->Item().Hint()) : L"");
    }
    root_.CancelCapture();
  }

 private:
  bool Continuing() {
    return platform_.HasCapture() && platform_.ActiveWindow() == activeWindow_ &&
           !root_.IsModalEnding();
  }

  bool ButtonsHeld() {
    return platform_.ButtonHeld(false) || (options_.trackRightButton && platform_.ButtonHeld(true));
  }

  // The views of the open chain, root first.
  std::vector<TTBView*> Chain() {
    std::vector<TTBView*> chain;
    for (TTBView* view = &root_; view; view = view->OpenViewerView()) chain.push_back(view);
    return chain;
  }
  bool InChain(const TTBView* wanted) {
    for (TTBView* view = &root_; view; view = view->OpenViewerView()) {
      if (view == wanted) return true;
    }
    return false;
  }
  TTBView* Deepest() {
    TTBView* view = &root_;
    while (view->OpenViewerView()) view = view->OpenViewerView();
    return view;
  }
  TTBView* CaptureView() {
    for (TTBView* view = &root_; view; view = view->OpenViewerView()) {
      if (view->Capture()) return view;
    }
    return nullptr;
  }

  // Every view from the deepest up selects at the last mouse position (only the capture view
  // while one holds the capture). A view may close the views below it; those are done.
  void UpdateAllSelections(bool allowNewSelection) {
    TTBView* capture = CaptureView();
    const std::vector<TTBView*> chain = Chain();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if ((capture && *it != capture) || !InChain(*it)) continue;
      (*it)->UpdateSelection(LastMousePosition(), allowNewSelection);
    }
  }

  struct UnderMouse {
    TTBView* view = nullptr;
    TTBItemViewer* viewer = nullptr;
  };
  UnderMouse ViewerUnderMouse() {
    if (TTBView* capture = CaptureView()) return {capture, capture->Selected()};
    for (TTBView* view = &root_; view; view = view->OpenViewerView()) {
      if (view->Selected() && view->MouseOverSelected()) return {view, view->Selected()};
      if (view->State() & vsMouseInWindow) return {view, nullptr};
    }
    return {};
  }

  // A waiting press: true when it ends the loop (the press stays queued for its target).
  bool PressEndsLoop(const TTBLoopMessage& message) {
    const std::uintptr_t target = platform_.WindowFromPoint(message.pos);
    if (TTBView* view = platform_.PopupViewOf(target); view && InChain(view)) return false;
    if (root_.IsPopup() || target != platform_.WindowOf(root_)) return true;
    if (!platform_.InClientArea(target, message.pos)) return true;
    if (message.message == msg::LButtonDown || message.message == msg::LButtonDblClk) {
      LastMousePosition() = message.pos;
      UpdateAllSelections(true);
      TTBItemViewer* selected = root_.Selected();
      if (!selected || !root_.MouseOverSelected() ||
          (selected->Item().GetItemStyle() & tbisClicksTransparent)) {
        return true;
      }
    }
    return false;
  }

  void MouseMoved(TPoint pos) {
    UpdateAllSelections(true);
    const UnderMouse under = ViewerUnderMouse();
    if (!under.viewer) {
      platform_.CancelHint();
      return;
    }
    if (((under.view->Style() & vsAlwaysShowHints) ||
         (under.viewer->Item().EffectiveOptions() & tboShowHint)) &&
        !under.view->Capture()) {
      platform_.HintMouseMove(*under.view, pos);
    } else {
      platform_.CancelHint();
    }
    const TPoint p = under.viewer->ScreenToClient(pos);
    int cursor = kTBArrowCursor;
    under.viewer->GetCursor(p, cursor);
    platform_.SetCursor(cursor);
    under.viewer->MouseMove(p.x, p.y);
  }

  // Handles a removed message; false when the loop returns.
  bool Handle(const TTBLoopMessage& message) {
    const std::uint32_t m = message.message;
    if (m == msg::Timer) {
      TTBView* view = platform_.PopupViewOf(message.wnd);
      const std::uintptr_t id = message.wParam;
      if (view && id >= static_cast<std::uintptr_t>(kViewTimerBase) &&
          id <= static_cast<std::uintptr_t>(kViewTimerBase + 3)) {
        view->TimerFired(static_cast<TTBViewTimer>(id - kViewTimerBase));
      } else {
        platform_.Dispatch(message);
      }
      return true;
    }
    if (m == msg::Help || m == msg::ContextMenu || m == msg::SysTimer) return true;
    if (m == msg::KeyDown || m == msg::SysKeyDown) return KeyDown(message);
    if (m == msg::Char || m == msg::SysChar) {
      CharTyped(message);
      return true;
    }
    if (m >= msg::KeyDown && m <= msg::KeyLast) return true;
    if (m >= msg::MouseMove && m <= msg::MouseLast) return Mouse(message);
    platform_.Dispatch(message);
    return true;
  }

  bool KeyDown(const TTBLoopMessage& message) {
    auto key = static_cast<std::uint16_t>(message.wParam & 0xFFFF);
    if (key != vk::F1 && ButtonsHeld()) return true;
    if (key == msg::ProcessKey) key = platform_.ImeVirtualKey();
    const ui::TShiftState shift = platform_.KeyShiftState(message.lParam);
    TTBView* deepest = Deepest();
    if (TTBItemViewer* selected = deepest->Selected()) selected->KeyDown(key, shift);
    if (key != 0 && InChain(deepest)) deepest->KeyDown(key, shift);
    if (root_.IsModalEnding()) return false;
    if (key != 0) platform_.Translate(message);
    return true;
  }

  void CharTyped(const TTBLoopMessage& message) {
    if (ButtonsHeld()) return;
    const auto ch = static_cast<wchar_t>(message.wParam & 0xFFFF);
    TTBView* deepest = Deepest();
    bool only = false;
    TTBItemViewer* found = deepest->NextSelectableWithAccel(deepest->Selected(), ch, false, only);
    if (found) {
      deepest->Select(found, false);
      deepest->ScrollSelectedIntoView();
      if (only) deepest->ExecuteSelected(true);
      return;
    }
    const std::uintptr_t active = platform_.ActiveWindow();
    if ((ch == L' ' || ch == L'-') && !root_.IsPopup() && deepest == &root_ && active) {
      root_.EndModalWithSystemMenu(active, ch);
    } else {
      platform_.Beep();
    }
  }

  bool Mouse(const TTBLoopMessage& message) {
    const std::uint32_t m = message.message;
    const bool right = m == msg::RButtonDown || m == msg::RButtonUp;
    if (right && !options_.trackRightButton) return true;
    if (m == msg::MouseMove) {
      if (!(message.pos == LastMousePosition())) {
        LastMousePosition() = message.pos;
        MouseMoved(message.pos);
      }
    } else if (m == msg::LButtonDown || m == msg::LButtonDblClk || m == msg::RButtonDown) {
      platform_.CancelHint();
      mouseDownOnMenu_ = false;
      root_.Exclude(vsIgnoreFirstMouseUp);
      // The selections follow the press's own position, not the last move's: a press that
      // comes without a move before it (a click at a new place) must not press the item the
      // pointer left.
      LastMousePosition() = message.pos;
      UpdateAllSelections(true);
      if (TTBItemViewer* viewer = ViewerUnderMouse().viewer) {
        const TPoint p = viewer->ScreenToClient(message.pos);
        viewer->MouseDown(m == msg::LButtonDblClk ? ui::ssDouble : 0, p.x, p.y, mouseDownOnMenu_);
      }
    } else if (m == msg::LButtonUp || m == msg::RButtonUp) {
      // Likewise the release: it runs the item under its own position.
      LastMousePosition() = message.pos;
      UpdateAllSelections(true);
      const UnderMouse under = ViewerUnderMouse();
      if (under.viewer) {
        const TPoint p = under.viewer->ScreenToClient(message.pos);
        under.viewer->MouseUp(p.x, p.y, mouseDownOnMenu_);
      } else if (!under.view || (under.view == &root_ && !root_.IsPopup())) {
        if (!(root_.State() & vsIgnoreFirstMouseUp)) return false;
        root_.Exclude(vsIgnoreFirstMouseUp);
      }
    } else if (m == msg::MouseWheel) {
      if (TTBItemViewer* viewer = ViewerUnderMouse().viewer) {
        const TPoint p = viewer->ScreenToClient(message.pos);
        viewer->MouseWheel(static_cast<std::int16_t>((message.wParam >> 16) & 0xFFFF), p.x, p.y);
      }
    }
    return true;
  }

  TTBView& root_;
  ITBModalPlatform& platform_;
  TTBModalLoopOptions options_;
  std::uintptr_t activeWindow_ = 0;
  bool mouseDownOnMenu_ = false;
};

}  // namespace

void RunModalLoop(TTBView& root, ITBModalPlatform& platform, const TTBModalLoopOptions& options) {
  TModalLoop(root, platform, options).Run();
}

std::wstring GetLongHint(const std::wstring& hint) {
  const std::size_t bar = hint.find(L'|');
  return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}

void EnterToolbarLoop(TTBView& view, TTBEnterToolbarLoopOptions options, ITBToolbarLoopHost& host) {
  if (view.State() & vsModal) return;
  TTBModalLoopOptions loop;
  loop.mouseDown = (options & tbetMouseDown) != 0;
  loop.executeSelected = (options & tbetExecuteSelected) != 0;
  loop.fromMSAA = (options & tbetFromMSAA) != 0;
  struct HideAccels {
    TTBView& view;
    ~HideAccels() {
      try {
        view.SetAccelsVisibility(false);
      } catch (...) {  // the loop's own error, if any, is the one that travels on
      }
    }
  };
  {
    HideAccels hideAccels{view};
    const auto starting = [&view] {
      view.SetState(static_cast<TTBViewState>((view.State() & vsShowAccels) | vsModal));
      view.DoneActionData() = {};
      if (view.Selected()) view.NotifyFocusEvent();
    };
    host.RunLoop(view, loop, starting, [&view] {
      view.Exclude(vsModal);
      view.StopAllTimers();
      view.CloseChildPopups();
      view.UpdateSelection(kNoPoint, true);
    });
  }
  const TTBDoneActionData data = view.DoneActionData();
  host.Finish(data);
}

}  // namespace tb
