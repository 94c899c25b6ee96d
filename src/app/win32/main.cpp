// Quollbox start-up: the graphics units, the settings and rich-text subsystem, the toolbar
// framework, the version strings, the shell's clipboard formats, the application with the skinned
// items' cursors, the bitmap hint window and its title, the main window with the command line's
// arguments, and the message loop until the main window closes.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/main_form.h"
#include "app/win32/startup.h"
#include "ui/win32/forms.h"

namespace {

// The arguments after the program's name.
std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  for (int i = 1; i < count; ++i) result.emplace_back(arguments[i]);
  LocalFree(arguments);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  app::StartUnits();
  {
    ui::TApplication application;
    app::PrepareApplication(application);
    application.CreateForm<app::TMainForm>(CommandLineArguments());
    application.Run();
  }
  app::FinishUnits();
  return 0;
}
