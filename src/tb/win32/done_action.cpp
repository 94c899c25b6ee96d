#include "tb/win32/done_action.h"

#include <windows.h>

#include "tb/win32/common.h"
#include "ui/win32/forms.h"

namespace tb {

namespace {

class WindowsPlatform final : public TTBDoneActionPlatform {
 public:
  void PlayMenuCommandSound() override {
    if (SoundIsAssigned(L"MenuCommand")) PlayMenuSound(L"MenuCommand");
  }
  void OpenSystemMenu(std::uintptr_t wnd, std::uint32_t key) override {
    SendMessageW(reinterpret_cast<HWND>(wnd), WM_SYSCOMMAND, SC_KEYMENU, key);
  }
  bool ActiveFormShowsHelpButton() override {
    const ui::TCustomForm* form = ui::Screen ? ui::Screen->ActiveForm() : nullptr;
    return form && (form->BorderIcons() & ui::biHelp);
  }
  void HelpCommand(std::uint32_t command, std::uint32_t data) override {
    if (ui::Application) ui::Application->HelpCommand(command, data);
  }
  void HelpContext(std::uint32_t contextId) override {
    if (ui::Application) ui::Application->HelpContext(static_cast<int>(contextId));
  }
};

}  // namespace

TTBDoneActionPlatform& WindowsDoneActionPlatform() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace tb
