// The form popup menu: a popup that shows a whole form in a borderless, top-most wrapper window.
//   TSkBarFormPopupMenu: Popup / PopupEx at a point or below a control show HostedForm (or a
//   form made from OnGetPopupFormClass, freed again on close); ClosePopup(selected) posts the
//   close message; a press elsewhere, Escape, or the popup control losing the focus rolls the
//   popup up. On closing, the popup control (unless it was freed meanwhile), its children and
//   every control of the close-notification list hear WM_SKPOPUPCLOSED (WParam the wrapper,
//   LParam Selected).
//   TSkBarCustomWrapperPopupForm: the wrapper, a 2-pixel frame around the form and the size
//   grip; only the grip resizes it. It is a popup window of its own rather than a form of the
//   class library, whose forms take the activation when they show; the hosted form's window is
//   made a child of it for the time it is shown, and gets its style, owner and bounds back.
//   Showing fades for 150 ms when the system's menus fade (animation kind 2), else it is a
//   plain show without activation; SkSetPopupShowObserver lets a test see how.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "skbar/sk_form_popup.h"
#include "skbar/skin_options.h"
#include "skbar/win32/splitter.h"  // TSkBarDrawBackgroundEvent
#include "tb/hook.h"
#include "ui/win32/forms.h"
#include "ui/win32/menus.h"

namespace skbar {

constexpr UINT WM_SKFORMPOPUPCLOSE = 1912;

// How the wrapper was shown: AnimateWindow's time and flags, or SetWindowPos's flags.
struct TSkPopupShowCall {
  bool animated = false;
  DWORD time = 0;
  DWORD flags = 0;
};
void SkSetPopupShowObserver(std::function<void(const TSkPopupShowCall&)> observer);

class TSkBarFormPopupMenu;
class TSkBarCustomWrapperPopupForm;

class TSkBarPopupSizeGrip : public ui::TCustomControl {
 public:
  explicit TSkBarPopupSizeGrip(ui::TComponent* owner);
  std::wstring_view ClassName() const override { return L"TSkBarPopupSizeGrip"; }
  TRect GetGripRect() const;       // client coordinates
  TRect GetGripSizerRect() const;  // the whole grip row, client coordinates
  bool IsScreenPointInGrip(POINT p) const;
  TSkBarPopupBorderStyleType BorderStyle() const { return style_; }
  void SetBorderStyle(TSkBarPopupBorderStyleType style) { style_ = style; }
  TSkBarSkinType SkinType = sknSkin;
  // Around the status bar's background it paints (pre- and post-paint; the pre-paint call may
  // clear the paint-default flag); the grip's dots follow.
  TSkBarDrawBackgroundEvent OnDrawBackground;
  void WndProc(ui::TMessage& message) override;

 protected:
  void Paint() override;

 private:
  TSkBarPopupBorderStyleType style_ = pbsFrame;
};

class TSkBarCustomWrapperPopupForm : public ui::TCustomControl {
 public:
  explicit TSkBarCustomWrapperPopupForm(ui::TComponent* owner);
  ~TSkBarCustomWrapperPopupForm() override;
  std::wstring_view ClassName() const override { return L"TSkBarWrapperPopupForm"; }
  void AfterConstruction() override;
  void BeforeDestruction() noexcept override;
  void WndProc(ui::TMessage& message) override;

  virtual void PaintWrapperFrame(ui::TCanvas& canvas, const TRect& r);
  virtual void FireRollDown();
  virtual void FireRollUp(bool selected);
  virtual void RollDown(int x, int y, bool focus, int width, int height);
  virtual void RollDownBelow(ui::TControl* control, int width, int height, bool focus);
  virtual void RollUp(bool selected);

  bool RolledDown() const { return rolledDown_; }
  int AnimationKind() const { return animationKind_; }
  ui::TControl* PopupControl() const { return popupControl_; }
  void SetPopupControl(ui::TControl* control);
  TSkBarPopupSizeGrip& SizeGrip() { return *grip_; }
  TSkBarPopupBorderStyleType BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TSkBarPopupBorderStyleType style);
  bool ShowShadows = true;
  TSkBarSkinType SkinType = sknSkin;
  ui::TNotifyEvent OnRollDown;
  std::function<void(ui::TComponent* sender, bool selected)> OnRollUp;
  // The window hosted inside, laid out over the client area above the grip.
  HWND Content() const { return content_; }
  void SetContent(HWND content) { content_ = content; }
  // The form popup shown now, if any (one at a time).
  static TSkBarCustomWrapperPopupForm* Current();

 protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

 private:
  static void MessageHook(tb::THookProcCode code, std::uintptr_t wnd, std::uintptr_t wParam,
                          std::intptr_t lParam);
  void LayOut();
  void Show(bool focus);
  bool Inside(HWND wnd) const;
  bool OnPopupControl(HWND wnd) const;
  void HandleHookedMessage(MSG& message);

  ui::TControl* popupControl_ = nullptr;
  TSkBarPopupSizeGrip* grip_ = nullptr;
  TSkBarPopupBorderStyleType borderStyle_ = pbsFrame;
  HWND content_ = nullptr;
  HWND focusAtRollDown_ = nullptr;
  int animationKind_ = 0;
  bool rolledDown_ = false;
  bool hooked_ = false;
};

using TSkBarFormFactory = std::function<ui::Owned<ui::TForm>()>;

class TSkBarFormPopupMenu : public ui::TPopupMenu {
 public:
  explicit TSkBarFormPopupMenu(ui::TComponent* owner) : ui::TPopupMenu(owner) {}
  std::wstring_view ClassName() const override { return L"TSkBarFormPopupMenu"; }
  // AutoSize, BorderStyle, PopupFocus, ShowShadows, SkinType, and Items as a read-only False:
  // the menu has no items of its own.
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override;
  void AfterConstruction() override;
  void BeforeDestruction() noexcept override;
  void Notification(ui::TComponent* component, ui::TOperation operation) override;

  void Popup(int x, int y) override;
  bool PopupEx(int x, int y, bool focus);
  bool PopupEx(ui::TControl* control, bool focus);
  void ClosePopup(bool selected);
  void AddCloseNotification(ui::TWinControl* control);
  void RemoveCloseNotification(ui::TWinControl* control);

  virtual void FireGetPopupFormClass(TSkBarFormFactory& formClass);
  virtual bool ShowPopupForm(int x, int y, ui::TControl* popupControl, bool focus);
  virtual void PopupFormClosed(bool selected);

  ui::TForm* HostedForm() const { return hostedForm_; }
  void SetHostedForm(ui::TForm* form);
  // The form's client size at closing is used again by the next popup.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value) { autoSize_ = value; }
  // Popup gives the form the focus.
  bool PopupFocus() const { return popupFocus_; }
  void SetPopupFocus(bool value) { popupFocus_ = value; }
  TSkBarPopupBorderStyleType BorderStyle() const;
  void SetBorderStyle(TSkBarPopupBorderStyleType style);
  bool ShowShadows() const;
  void SetShowShadows(bool show);
  TSkBarSkinType SkinType() const;
  void SetSkinType(TSkBarSkinType type);
  TSkBarCustomWrapperPopupForm& Wrapper() { return *wrapper_; }

  std::function<void(ui::TComponent* sender, bool selected)> OnClosePopup;
  std::function<void(ui::TComponent* sender, bool selected)> OnBeforeClosePopup;
  std::function<void(ui::TComponent* sender, int& width, int& height)> OnBeforePopup;
  std::function<void(ui::TComponent* sender, TSkBarFormFactory& formClass)> OnGetPopupFormClass;

 private:
  friend class TSkBarCustomWrapperPopupForm;
  void Unhost();

  TSkBarCustomWrapperPopupForm* wrapper_ = nullptr;
  ui::TForm* hostedForm_ = nullptr;
  ui::Owned<ui::TForm> madeForm_;
  std::vector<ui::TWinControl*> closeNotifications_;
  LONG formStyle_ = 0;
  HWND formOwner_ = nullptr;
  RECT formBounds_{};
  int rememberedWidth_ = 0, rememberedHeight_ = 0;
  bool autoSize_ = false;
  bool popupFocus_ = false;
};

}  // namespace skbar
