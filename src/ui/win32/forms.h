// Forms, the application and the screen.
//   TCustomForm/TForm: a top-level window. BorderStyle, Position, FormStyle, WindowState,
//   BorderIcons, KeyPreview, ActiveControl, Menu, ClientWidth/ClientHeight, ModalResult.
//   Lifecycle, in this order: FinishLoading() -> Loaded -> OnCreate; Show -> beforeShow
//   listeners (window created, still hidden) -> OnShow -> the window appears; Close ->
//   OnCloseQuery -> afterCloseQuery listeners(canClose) -> OnClose(action) -> hide / free;
//   destruction -> beforeDestroy listeners -> OnDestroy (the window still exists).
//   ShowModal runs its own message loop until ModalResult is set.
//   IsShortCut(shortcut): OnShortCut, then the main menu, then the form's action lists.
//   A form passes WM_SYSCOMMAND/SC_KEYMENU to the application's main-window hooks as
//   CM_APPSYSCOMMAND first (a non-zero answer ends it there).
//   TApplication (one; `Application`): Title, MainForm, CreateForm<T>(), Run, HandleMessage,
//   ProcessMessages, Idle (OnIdle and action updates), Terminate, HandleException (message box
//   as the class library's default handler, or OnException when set), MessageBox, HelpCommand
//   and HelpContext (OnHelp sees each request; no help file is named).
//   Key routing of a key-down in the message loop, stopping at the first that takes it: the
//   form's IsShortCut (actions and menu), the application key-down notification (CM_APPKEYDOWN
//   to the main-window hooks: toolbars plug in there with HookMainWindow), the popup menus of
//   the focused control and its parents (IsShortCut), then, for dialog keys the focused window
//   does not want (Tab, arrows, Enter, Escape, Alt), CM_DIALOGKEY to the form; the release of
//   Alt after a key a shortcut took is not dispatched (it would enter menu mode). Characters the
//   focused window does not want, and every Alt+character, go to the form as CM_DIALOGCHAR.
//   The form takes Tab (with Ctrl or not) to focus the next tab stop, Shift+Tab the previous.
//   Main-window hooks (HookMainWindow/UnhookMainWindow, a comparable (function, data) pair)
//   see every message of the application window first, and the CM_APP* notifications.
//   Hints: Hint (the long hint of what is under the mouse; OnHint), ShowHint, HintPause,
//   HintHidePause, HintMouseMessage(control, WM_MOUSEMOVE) (the loop calls it for mouse moves
//   over its controls; modal loops call it themselves), ActivateHint, CancelHint; the hint
//   control is asked with CM_HINTSHOW first; SetHintWindowFactory installs another window
//   class. CM_MOUSEENTER/CM_MOUSELEAVE go to the controls the mouse enters and leaves.
//   TScreen (`Screen`): forms, ActiveForm, Cursor and the cursor table (custom slots; resource
//   cursors loaded at their first lookup),
//   monitors, Width/Height, PixelsPerInch.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/win32/controls.h"
#include "ui/win32/hint_window.h"

namespace ui {

class TMainMenu;
class TActionList;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using TBorderIcons = std::uint8_t;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT,
                       mrRetry = IDRETRY, mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TShortCutEvent = std::function<void(TShortCut shortcut, bool& handled)>;
using TListenerId = std::uint32_t;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  std::wstring_view ClassName() const override { return L"TCustomForm"; }
  void Loaded() override;
  void BeforeDestruction() noexcept override;
  void Notification(TComponent* component, TOperation operation) override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style) { formStyle_ = style; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool keyPreview) { keyPreview_ = keyPreview; }
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool Modal() const { return modal_; }
  // The main-window hooks are routing a key-menu command of this form (its controls then
  // leave a key-menu command sent to them to the hooks instead of handing it back).
  bool RoutingKeyMenu() const { return routingKeyMenu_; }

  void SetVisible(bool visible) override;
  void Close();
  bool CloseQuery();
  TModalResult ShowModal();
  // Frees the form once the messages now queued for it are handled.
  void Release();
  bool IsShortCut(TShortCut shortcut);

  TListenerId AddBeforeShowListener(std::function<void(TCustomForm&)> listener);
  TListenerId AddAfterCloseQueryListener(std::function<void(TCustomForm&, bool canClose)> listener);
  TListenerId AddBeforeDestroyListener(std::function<void(TCustomForm&)> listener);
  void RemoveListener(TListenerId id);

  void WndProc(TMessage& message) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;
  TNotifyEvent OnDestroy;
  TShortCutEvent OnShortCut;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  struct Listener {
    TListenerId id;
    std::function<void(TCustomForm&)> show;
    std::function<void(TCustomForm&, bool)> closeQuery;
    std::function<void(TCustomForm&)> destroy;
  };
  TListenerId AddListener(Listener listener);
  void DoShow();
  void PlaceOnScreen();

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TPosition position_ = TPosition::poDesigned;
  TFormStyle formStyle_ = TFormStyle::fsNormal;
  TWindowState windowState_ = TWindowState::wsNormal;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  bool keyPreview_ = false;
  bool modal_ = false;
  bool routingKeyMenu_ = false;  // the main-window hooks have the key-menu command
  bool placed_ = false;
  bool destroyed_ = false;
  bool appearing_ = false;
  // The form was activated while it appeared, which drew its frame.
  bool frameDrawnAppearing_ = false;
  TWinControl* activeControl_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TModalResult modalResult_ = mrNone;
  std::vector<Listener> listeners_;
  TListenerId nextListenerId_ = 1;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  std::wstring_view ClassName() const override { return L"TForm"; }
};

// A message box as the application shows it; tests replace the presenter.
struct TMessageBoxRequest {
  HWND owner = nullptr;
  std::wstring text;
  std::wstring caption;
  UINT flags = MB_OK;
};
using TMessageBoxPresenter = std::function<int(const TMessageBoxRequest&)>;
// Installs a presenter (null: the real MessageBoxW); returns the previous one.
TMessageBoxPresenter SetMessageBoxPresenter(TMessageBoxPresenter presenter);
int ShowMessageBox(const TMessageBoxRequest& request);

// A main-window hook: true when it handled the message (then nothing else sees it).
using TWindowHook = bool (*)(void* data, TMessage& message);

class TApplication : public TComponent {
 public:
  // Initialises OLE and the common controls; there is one application at a time.
  TApplication();
  ~TApplication() override;

  std::wstring_view ClassName() const override { return L"TApplication"; }
  void Notification(TComponent* component, TOperation operation) override;

  const std::wstring& Title() const { return title_; }
  void SetTitle(const std::wstring& title) { title_ = title; }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form) { mainForm_ = form; }
  // A hidden window of the application's (owner of popup menus and the clipboard).
  HWND Handle() const { return window_; }

  // Creates a form owned by the application, ends its building; the first becomes MainForm.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = Create<T>(*this, std::forward<Args>(args)...);
    if (!mainForm_) mainForm_ = form;
    form->FinishLoading();
    return form;
  }

  // Shows the main form and runs the message loop until Terminate.
  void Run();
  // Handles one message, or runs idle processing and waits when there is none.
  void HandleMessage();
  // Handles every queued message, then returns (no idle processing).
  void ProcessMessages();
  // Idle processing: OnIdle, then every visible form's action lists update and its visible
  // action clients initiate their actions.
  void Idle();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Reports the current (or given) exception: OnException when set, else a message box.
  void HandleException(std::exception_ptr error = std::current_exception()) noexcept;
  static std::wstring ExceptionMessage(std::exception_ptr error);
  int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

  // Help requests, as WinHelp takes them (a command and its data). The program names no help
  // file, so nothing is shown beyond what OnHelp does; true when OnHelp handled the request.
  bool HelpCommand(UINT command, ULONG_PTR data);
  bool HelpContext(int context) {
    return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(context));
  }
  std::function<bool(UINT command, ULONG_PTR data)> OnHelp;

  // Main-window hooks; a pair is registered once, however often it is hooked.
  void HookMainWindow(TWindowHook hook, void* data);
  void UnhookMainWindow(TWindowHook hook, void* data);
  // Hands a message to the hooks in order; true when one handled it. Exceptions go to
  // HandleException (and count as handled).
  bool CallMainWindowHooks(TMessage& message) noexcept;
  // The key routing of a key-down message (see above); true when something took the key.
  bool IsKeyMsg(MSG& message);

  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool showHint);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  // Whether hints of commands with a shortcut show it, as "Open (Ctrl+O)" (on by default).
  bool HintShortCuts() const { return hintShortCuts_; }
  void SetHintShortCuts(bool value) { hintShortCuts_ = value; }
  // A mouse move (client coordinates of `control`'s window) over `control`: the hint follows.
  void HintMouseMessage(TControl* control, const TMessage& message);
  // Shows the hint of the current hint control at a screen point (after CM_HINTSHOW).
  void ActivateHint(POINT cursorPos);
  void CancelHint();
  TControl* HintControl() const { return hintControl_; }
  THintWindow* HintWindow() const { return hintWindow_.get(); }
  void SetHintWindowFactory(std::function<Owned<THintWindow>()> factory);

  std::function<void(std::exception_ptr error)> OnException;
  std::function<void(TComponent* sender, bool& done)> OnIdle;
  TNotifyEvent OnHint;

  // Modeless dialog windows: after the key routing, the message loop hands the messages of
  // their windows to the platform's dialog manager (Tab, arrow keys, Enter, Escape, mnemonics).
  void AddModelessDialog(HWND dialog);
  void RemoveModelessDialog(HWND dialog);
  // True when a registered dialog took the message.
  bool IsDialogMsg(MSG& message);

 private:
  friend LRESULT CALLBACK ApplicationWindowProcedure(HWND, UINT, WPARAM, LPARAM);
  void WndProc(TMessage& message);
  bool ProcessMessage();
  bool PreProcess(MSG& message);
  bool IsCharMsg(MSG& message);
  void SetMouseControl(TControl* control);
  void SetHintControl(TControl* control);
  void LinkTo(TControl* control);
  void Unlink(TControl* control);

  struct MainWindowHook {
    TWindowHook hook;
    void* data;
  };
  std::vector<MainWindowHook> mainWindowHooks_;
  std::wstring hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  bool hintShortCuts_ = true;
  TControl* hintControl_ = nullptr;
  TControl* mouseControl_ = nullptr;
  TRect hintCursorRect_;
  Owned<THintWindow> hintWindow_;
  std::function<Owned<THintWindow>()> hintWindowFactory_;

  std::wstring title_;
  TCustomForm* mainForm_ = nullptr;
  HWND window_ = nullptr;
  bool terminated_ = false;
  bool oleInitialized_ = false;
  // A shortcut took a key while Alt was held: the release of Alt that follows is not passed on.
  bool altKeyTaken_ = false;
  std::vector<HWND> modelessDialogs_;
};

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;

struct TMonitor {
  HMONITOR handle = nullptr;
  TRect bounds;
  TRect workArea;
  bool primary = false;
};

// A cursor of a module's resources, by name or number; empty without a name.
struct TCursorResource {
  HINSTANCE instance = nullptr;
  std::wstring name;  // used when id is 0
  WORD id = 0;

  TCursorResource() = default;
  TCursorResource(HINSTANCE module, const wchar_t* resource);
  bool Empty() const { return id == 0 && name.empty(); }
  HCURSOR Load() const;
};

class TScreen {
 public:
  TScreen();
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;
  ~TScreen();

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<std::size_t>(index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  HCURSOR Cursors(TCursor cursor) const;
  // Puts a cursor into a slot; an owned one is destroyed when replaced or at the end.
  void SetCursors(TCursor cursor, HCURSOR handle, bool owned = false);
  // Puts a cursor of a module's resources (the system's with no module) into a slot, loaded when
  // the slot is first asked for; one the resources lack leaves the slot empty.
  void SetResourceCursor(TCursor cursor, HINSTANCE instance, const wchar_t* name);

  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  int PixelsPerInch() const;
  std::vector<TMonitor> Monitors() const;
  TRect WorkAreaRect() const;

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form) { forms_.push_back(form); }
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form) { activeForm_ = form; }

  struct CursorSlot {
    HCURSOR handle = nullptr;
    bool owned = false;
    TCursorResource resource;  // loaded at the first lookup while there is no handle
  };
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
  mutable std::map<TCursor, CursorSlot> cursors_;
};

// Sets the screen cursor for a scope (the hourglass during a long save).
class TCursorScope {
 public:
  explicit TCursorScope(TCursor cursor);
  TCursorScope(const TCursorScope&) = delete;
  TCursorScope& operator=(const TCursorScope&) = delete;
  ~TCursorScope();

 private:
  TCursor previous_;
};

extern TApplication* Application;
extern TScreen* Screen;

// Puts a cursor into the screen's table for the rest of the process, whether or not the screen
// exists yet: a screen made later starts with it (modules install their cursors at start-up,
// which may come before the application makes the screen).
void InstallCursor(TCursor cursor, HCURSOR handle);
// The same for a cursor of a module's resources, loaded when it is first asked for: loading a
// cursor asks the window system about the display, which start-up need not wait for.
void InstallResourceCursor(TCursor cursor, HINSTANCE instance, const wchar_t* name);

}  // namespace ui
