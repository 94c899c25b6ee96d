// How the settings components meet the class library's forms: the form as placement host, its
// show, close-query and destroy steps routed to the placement component, default sections, and
// top-level owners found by name.
#include "ui/text.h"
#include "ui/win32/forms.h"
#include "ux/app_utils.h"
#include "ux/form_placement.h"
#include "ux/props_storage.h"
#include "ux/win32/form_window_attachment.h"

namespace ux {

namespace {

// A control on `form` that is visible and enabled, as is every parent up to the form, and the form
// is enabled.
bool CanFocusOnForm(ui::TCustomForm& form, ui::TWinControl& control) {
  if (control.ParentForm() != &form || !form.Enabled()) return false;
  for (const ui::TControl* c = &control; c != &form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

class TFormHost : public win32::TWindowPlacementHost {
 public:
  explicit TFormHost(ui::TCustomForm& form) : form_(form) {}

  HWND Window() const override { return form_.HandleAllocated() ? form_.Handle() : nullptr; }
  bool IsMainForm() const override {
    return !ui::Application || !ui::Application->MainForm() ||
           ui::Application->MainForm() == &form_;
  }
  TFormStyle FormStyle() const override { return static_cast<TFormStyle>(form_.FormStyle()); }
  TFormBorderStyle BorderStyle() const override {
    return static_cast<TFormBorderStyle>(form_.BorderStyle());
  }
  TPosition Position() const override {
    switch (form_.Position()) {
      case ui::TPosition::poDefault:
        return TPosition::poDefault;
      case ui::TPosition::poScreenCenter:
        return TPosition::poScreenCenter;
      case ui::TPosition::poDesktopCenter:
        return TPosition::poDesktopCenter;
      case ui::TPosition::poDesigned:
        break;
    }
    return TPosition::poDesigned;
  }
  // The form is placed on the screen before its show listeners run, so switching now moves
  // nothing.
  void KeepPositionDesigned() override { form_.SetPosition(ui::TPosition::poDesigned); }
  TWindowState WindowState() const override {
    return static_cast<TWindowState>(form_.WindowState());
  }
  void SetWindowState(TWindowState state) override {
    form_.SetWindowState(static_cast<ui::TWindowState>(state));
  }
  // A hidden form only notes its state; it applies it when it appears.
  void RecordWindowState(TWindowState state) override { SetWindowState(state); }
  // There is no application window: the main form minimizes itself.
  void PostMinimize() override {
    if (const HWND window = Window()) PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  }
  bool MaximizeIcon() const override { return (form_.BorderIcons() & ui::biMaximize) != 0; }
  void SetMaximizeIcon(bool shown) override {
    const ui::TBorderIcons icons = form_.BorderIcons();
    form_.SetBorderIcons(shown ? icons | ui::biMaximize
                               : static_cast<ui::TBorderIcons>(icons & ~ui::biMaximize));
  }
  std::wstring ActiveControlName() const override {
    return form_.ActiveControl() ? form_.ActiveControl()->Name() : std::wstring();
  }
  // The form restores before it is on the screen, when no control of it can have the focus yet:
  // a control is taken when it will be able to, and the form focuses it once shown.
  void SetActiveControlByName(std::wstring_view name) override {
    auto* control = dynamic_cast<ui::TWinControl*>(form_.FindComponent(name));
    if (control && CanFocusOnForm(form_, *control)) form_.SetActiveControl(control);
  }
  void HandleException() override {
    if (ui::Application) ui::Application->HandleException();
  }

 private:
  ui::TCustomForm& form_;
};

// Restore before the form's own OnShow, save after its own OnCloseQuery and before its own
// OnDestroy. The listeners leave the form with the binding, or when the form goes first.
class TFormBinding : public win32::TFormWindowAttachment {
 public:
  TFormBinding(TFormPlacement& placement, ui::TCustomForm& form)
      : TFormWindowAttachment(placement, form, std::make_unique<TFormHost>(form)), form_(&form) {
    ids_[0] = form.AddBeforeShowListener([&placement](ui::TCustomForm&) { placement.FormShow(); });
    ids_[1] = form.AddAfterCloseQueryListener(
        [&placement](ui::TCustomForm&, bool canClose) { placement.FormCloseQuery(canClose); });
    ids_[2] = form.AddBeforeDestroyListener([this, &placement](ui::TCustomForm&) {
      placement.FormDestroy();
      RemoveListeners();
    });
  }
  ~TFormBinding() override { RemoveListeners(); }

 private:
  void RemoveListeners() {
    if (ui::TCustomForm* form = std::exchange(form_, nullptr))
      for (ui::TListenerId id : ids_) form->RemoveListener(id);
  }

  ui::TCustomForm* form_;
  ui::TListenerId ids_[3] = {};
};

}  // namespace

bool IsForm(const ui::TComponent* owner) {
  return dynamic_cast<const ui::TCustomForm*>(owner) != nullptr;
}

std::unique_ptr<FormAttachment> AttachToOwnerForm(TFormPlacement& placement) {
  auto* form = dynamic_cast<ui::TCustomForm*>(placement.Owner());
  if (form == nullptr) return nullptr;
  return std::make_unique<TFormBinding>(placement, *form);
}

std::wstring GetDefaultSection(const ui::TComponent* component) {
  if (component == nullptr) return {};
  if (IsForm(component)) return std::wstring(component->ClassName());
  if (auto* control = dynamic_cast<ui::TControl*>(const_cast<ui::TComponent*>(component))) {
    if (const ui::TCustomForm* form = control->ParentForm())
      return std::wstring(form->ClassName()) + control->Name();
    return (control->Parent() ? control->Parent()->Name() : std::wstring()) + control->Name();
  }
  if (IsForm(component->Owner()))
    return std::wstring(component->Owner()->ClassName()) + L"." + component->Name();
  return {};
}

// The application's forms; the program has no data modules.
ui::TComponent* FindGlobalOwner(std::wstring_view name) {
  if (!ui::Screen) return nullptr;
  for (int i = 0; i < ui::Screen->FormCount(); ++i)
    if (ui::SameText(ui::Screen->Forms(i)->Name(), name)) return ui::Screen->Forms(i);
  return nullptr;
}

std::wstring ApplicationTitle() {
  return ui::Application ? ui::Application->Title() : std::wstring();
}

}  // namespace ux
