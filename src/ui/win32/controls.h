// Controls over Win32 windows.
//   TControl: Parent, bounds (Left/Top/Width/Height, SetBounds), Align, Visible and Showing
//   (visible with every parent showing), Enabled, Caption, Font (ParentFont: copied from the
//   parent when set), Anchors (a non-aligned control keeps its distances to the anchored edges
//   of its parent as the parent's size changes: AnchorRect from where code last placed it),
//   Color, PopupMenu (shown on WM_CONTEXTMENU after DoContextPopup /
//   OnContextPopup left it unhandled), Hint/ShowHint (ParentShowHint: the parent's), ControlStyle
//   (ui/control_messages.h), mouse events (virtual MouseDown/MouseMove/MouseUp raise OnMouseDown/
//   Move/Up, a double click comes as a press with ssDouble after OnDblClick), OnClick, OnResize.
//   Every control has a WndProc; Perform() hands it a message directly (no window needed). The
//   library performs the CM_* notifications of ui/control_messages.h on changes.
//   TWinControl: the window. Handle() creates it on demand (children follow), every message
//   goes by number to the virtual WndProc(TMessage&), which decides; the window procedure
//   only marshals and catches every exception for Application->HandleException. Notifications
//   and commands of child controls are reflected to the child (NotifyReflected,
//   CommandReflected). The window is destroyed in BeforeDestruction (its last messages still
//   reach the whole object); a control deleted without it loses its window procedure first.
//   Key events: OnKeyDown/OnKeyPress/OnKeyUp; a form with KeyPreview sees them first.
//   TCustomControl: an own window with a canvas and a virtual Paint(); PaintHandler(message)
//   paints into the DC of a WM_PAINT message given one (WM_PRINTCLIENT passes a foreign DC).
//   TPanel: a plain container that fills itself with its colour (no bevels).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/align_layout.h"
#include "ui/component.h"
#include "ui/control_messages.h"
#include "ui/shortcut.h"
#include "ui/win32/graphics.h"

namespace ui {

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TContextPopupEvent = std::function<void(TComponent* sender, POINT mousePos, bool& handled)>;
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, wchar_t& key)>;

// The state of the modifier keys and mouse buttons now.
TShiftState KeyboardShiftState();
// Shift and Ctrl from the keyboard now, Alt from the key data of a key message (bit 29).
TShiftState KeyDataToShiftState(LPARAM keyData);

using TAnchors = std::uint8_t;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;
static_assert(akLeft == AnchorSides::left && akTop == AnchorSides::top &&
              akRight == AnchorSides::right && akBottom == AnchorSides::bottom);

class TWinControl;
class TPopupMenu;
class TCustomForm;

class TControl : public TComponent {
  friend class TWinControl;

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() noexcept override;

  std::wstring_view ClassName() const override { return L"TControl"; }
  void GetPublishedProps(std::vector<const PropInfo*>& out) const override;
  void Notification(TComponent* component, TOperation operation) override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return bounds_; }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  const std::wstring& Caption() const { return caption_; }
  virtual void SetCaption(const std::wstring& caption);
  TFont& Font() { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor color);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(const std::wstring& hint) { hint_ = hint; }
  // Own ShowHint, or the parent's while ParentShowHint.
  bool ShowHint() const;
  void SetShowHint(bool showHint);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool parentShowHint);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  // Visible, and so is every parent (a form: its window is shown).
  virtual bool Showing() const;
  // Whether the control paints on composited glass: state kept for its painters (the library
  // sets it for no control).
  bool GlassPainting() const { return glassPainting_; }
  void SetGlassPainting(bool value) { glassPainting_ = value; }

  // Sends a message straight to WndProc; no window is needed.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Decides what a message does. The base answers the CM_* notifications with 0.
  virtual void WndProc(TMessage& message);

  // The form this control sits on (itself for a form), or null.
  TCustomForm* ParentForm();
  // For storage: whether the control is stored under a parent, and that parent.
  virtual bool HasParent() const { return true; }
  virtual TComponent* GetParentComponent() const;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TContextPopupEvent OnContextPopup;

  // A visible action client (csActionClient) on a showing form updates its actions here; the
  // application calls it at idle.
  virtual void InitiateAction() {}

  // Palettes (ui/win32/palette.cpp): the palette this control draws with (none by default),
  // and its realisation when the form gets the palette messages: realised in the foreground
  // or background; true when that changed the system palette (the control is then redrawn).
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual bool PaletteChanged(bool /*foreground*/) { return false; }

 protected:
  // The stored bounds changed (from code or from the window).
  virtual void BoundsChanged() {}
  virtual void FontChanged() {}
  void StoreBounds(const TRect& bounds) { bounds_ = bounds; }
  // Constructors set the starting visibility with this (no notification, no virtual call).
  void StoreVisible(bool visible) { visible_ = visible; }
  void StoreColor(TColor color) { color_ = color; }
  // Takes the current bounds and the parent's size as the anchors' origin.
  void UpdateAnchorRules();
  // Moves a non-aligned control by its anchors for the parent's new size.
  void FollowAnchors(int parentWidth, int parentHeight);
  // Mouse input in client coordinates; the defaults raise the events.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // A context menu is asked for at `mousePos` (screen; -1, -1 from the keyboard): OnContextPopup.
  virtual void DoContextPopup(POINT mousePos, bool& handled);

  TWinControl* parent_ = nullptr;

 private:
  TRect bounds_{0, 0, 100, 100};
  TAlign align_ = TAlign::alNone;
  TAnchors anchors_ = akLeft | akTop;
  // Where code last placed the control and its parent's size then (the anchors' origin).
  TRect anchorOrigin_;
  int anchorParentWidth_ = 0;
  int anchorParentHeight_ = 0;
  bool anchorMoving_ = false;  // the parent's layout moves it: the origin stays
  bool visible_ = true;
  bool enabled_ = true;
  bool parentFont_ = true;
  std::wstring caption_;
  TFont font_;
  TColor color_ = clBtnFace;
  TPopupMenu* popupMenu_ = nullptr;
  std::wstring hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TControlStyle controlStyle_ = kDefaultControlStyle;
  bool glassPainting_ = false;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() noexcept override;

  std::wstring_view ClassName() const override { return L"TWinControl"; }
  bool Showing() const override { return showing_; }

  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
  bool Focused() const;
  virtual void SetFocus();
  bool CanFocus() const;

  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;
  void SetCaption(const std::wstring& caption) override;
  void SetColor(TColor color) override;
  // Whether the control paints through an off-screen buffer: state kept for painters that ask
  // (the library paints every window directly).
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
  // The client area's size (from the window when there is one).
  int ClientWidth();
  int ClientHeight();
  TRect ClientRect();
  // Lays out the aligned children in the client area (AlignControls).
  void Realign();
  // Validates the client areas inside this one that show nothing (their own visible child
  // windows cover them wholly), so that such a window gets no paint message, or one for its
  // frame alone when it has a frame.
  void ValidateHiddenWindows();

  // Tab navigation (ui/win32/tab_order.cpp): a control with TabStop takes the focus from Tab;
  // TabOrder is its place among its parent's windowed children (the order they were inserted
  // in, unless set).
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // The windowed controls inside this one in the order Tab visits them, each followed by its
  // own list.
  virtual void GetTabOrderList(std::vector<TWinControl*>& list);
  // The control after (or before) `current` in the tab order, wrapping, that can take the
  // focus; with checkTabStop a tab stop, with checkParent a direct child. Null when none.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent);
  // Focuses FindNextControl(current, goForward, checkTabStop, false) when there is one.
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Paints the client area into the DC of a WM_PAINT message (WParam), as WM_PRINTCLIENT asks.
  // A plain window has nothing of its own to paint (its client area is its background);
  // descendants that paint override it.
  virtual void PaintHandler(TMessage& /*message*/) {}
  // Realises its own palette, then its children's.
  bool PaletteChanged(bool foreground) override;

  // Decides what a message does; the default dispatches by number.
  void WndProc(TMessage& message) override;
  // What Windows would do with the message.
  void DefaultHandler(TMessage& message);

  // The control object of a window of ours, or null.
  static TWinControl* FromHandle(HWND window);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

 protected:
  // Whether the window has a frame around its client area (nothing to paint there otherwise).
  bool HasNonClientArea() const;
  // Whether the visible child windows cover the whole client area.
  bool CoveredByChildWindows();
  struct TCreateParams {
    std::wstring windowClass;  // the class to create
    bool systemClass = false;  // a class of Windows' (subclassed) rather than our own
    // A window whose size changes is painted again whole: what it draws depends on its size
    // (centred or right-aligned parts), and the platform would keep the old pixels otherwise.
    UINT classStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    TRect bounds;
    HWND parent = nullptr;
  };
  virtual void CreateParams(TCreateParams& params);
  // The window exists now (columns, items and texts go into it here).
  virtual void HandleCreated() {}
  // A WM_NOTIFY or WM_COMMAND that this control's window sent to its parent.
  virtual bool NotifyReflected(NMHDR& header, LRESULT& result);
  virtual bool CommandReflected(WORD code, LRESULT& result);
  // Key handling with key preview: false when the key was consumed.
  bool DoKeyDown(WORD& key, TShiftState shift);
  bool DoKeyPress(wchar_t& key);
  void FontChanged() override;
  void UpdateStyle(DWORD add, DWORD remove, bool extended = false);
  // Places the aligned children inside `client`; overrides may arrange differently.
  virtual void AlignControls(const TRect& client);
  // Destroys the window and makes it again with fresh CreateParams (children follow).
  void RecreateWnd();
  // Recomputes Showing from Visible and the parent, performing CM_SHOWINGCHANGED on each
  // control whose Showing changed (children follow).
  void UpdateShowing();
  // Performs `message` on each child control in order until one answers non-zero.
  void BroadcastUntilAnswered(TMessage& message);
  // Performs `message` on every child control.
  void Broadcast(TMessage& message);

 private:
  friend class TControl;
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // The procedure of a system-class window while a control subclasses it.
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT Dispatch(TWinControl* control, HWND window, UINT msg, WPARAM wParam,
                          LPARAM lParam);
  void CreateHandle();
  void DetachAndDestroyWindow() noexcept;
  void RegisterOwnClass(const TCreateParams& params);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void WindowBoundsChanged();
  bool MouseMessage(TMessage& message);

  HWND handle_ = nullptr;
  bool subclassed_ = false;
  WNDPROC originalProcedure_ = nullptr;  // the system class's own, while subclassed_
  bool aligning_ = false;
  // A control asked for alignment while this one was aligning.
  bool realignPending_ = false;
  bool showing_ = false;
  bool doubleBuffered_ = false;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;  // the windowed children in tab order
  bool tabStop_ = false;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
  std::wstring_view ClassName() const override { return L"TCustomControl"; }

  TCanvas& Canvas() { return canvas_; }
  void Invalidate();
  void WndProc(TMessage& message) override;
  // Paints into the DC of a WM_PAINT message (WParam); without one, begins and ends a paint.
  void PaintHandler(TMessage& message) override;

  TNotifyEvent OnPaint;

 protected:
  virtual void Paint();

 private:
  TCanvas canvas_;
};

class TPanel : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::wstring_view ClassName() const override { return L"TPanel"; }
};

}  // namespace ui
