#include "tb/win32/done_action.h"

#include <windows.h>

#include "tb/win32/common.h"

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
};

}  // namespace

TTBDoneActionPlatform& WindowsDoneActionPlatform() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace tb
