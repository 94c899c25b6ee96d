// Module-wide defaults of the settings components: the company part of the default registry
// key, whether the application title names the program, and the default INI file name.
#pragma once

#include <functional>
#include <string>

namespace ui {
class TComponent;
}

namespace ux {

struct TAppDefaults {
  std::wstring DefaultCompany;  // "Software\<company>\<program>" when set
  bool UseApplicationTitle = false;
  std::function<std::wstring()> DefaultIniNameProc;
};
TAppDefaults& AppDefaults();

// "Software\" + optional company + "\" + the program name.
std::wstring GetDefaultIniRegKey();
// The hook's result when set, else the executable's name with the extension ".INI".
std::wstring GetDefaultIniName();
// A form's class name; a control's parent form class name followed by its name (or its parent's
// name and its name); for a component owned by a form "<form class>.<name>"; else empty.
std::wstring GetDefaultSection(const ui::TComponent* component);

// Platform facts, defined once per build.
std::wstring ApplicationTitle();
// The executable's file name without folder.
std::wstring ApplicationExeName();

}  // namespace ux
