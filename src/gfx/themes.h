// The visual-styles library ("uxtheme.dll") and the theme handles the range bars draw with.
//   TVisualStyles holds the library handle, its eleven entry points bound by name, whether
//   themes are enabled and the "SCROLLBAR" and "GLOBALS" theme handles; the platform's loader
//   and the calls through the entry points come through TThemeHost (tests pass a fake one).
//   The theme nexus, a hidden window made at start-up, opens the styles and reopens them when
//   the system theme changes; VisualStyles() is the process's state while it exists.
#pragma once

#include <array>
#include <cstdint>

namespace gfx {

enum TThemeEntry : int {
  teOpenThemeData,
  teCloseThemeData,
  teDrawThemeBackground,
  teDrawThemeEdge,
  teGetThemeColor,
  teGetThemeMetric,
  teGetThemeMargins,
  teSetWindowTheme,
  teIsThemeActive,
  teIsAppThemed,
  teEnableTheming,
  ThemeEntryCount
};

inline constexpr const char* ThemeEntryNames[ThemeEntryCount] = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge",
    "GetThemeColor", "GetThemeMetric", "GetThemeMargins",     "SetWindowTheme",
    "IsThemeActive", "IsAppThemed",    "EnableTheming"};

// The platform services the visual-styles state needs. Handles are opaque integers.
class TThemeHost {
 public:
  virtual ~TThemeHost() = default;
  virtual std::uintptr_t LoadModule(const wchar_t* name) = 0;
  virtual void* BindEntry(std::uintptr_t module, const char* name) = 0;
  virtual void UnloadModule(std::uintptr_t module) = 0;
  // The runtime marks this module as a library (then the library is never freed).
  virtual bool ModuleIsLibrary() const = 0;
  virtual int IsAppThemed(void* entry) = 0;
  virtual int IsThemeActive(void* entry) = 0;
  virtual std::uintptr_t OpenThemeData(void* entry, std::uintptr_t window,
                                       const wchar_t* classList) = 0;
  virtual void CloseThemeData(void* entry, std::uintptr_t theme) = 0;
};

class TVisualStyles {
 public:
  explicit TVisualStyles(TThemeHost& host) : FHost(host) {}
  TVisualStyles(const TVisualStyles&) = delete;
  TVisualStyles& operator=(const TVisualStyles&) = delete;

  // Loads the library and binds the entry points unless loaded; frees it again when a required
  // one (open, close, active, app-themed, enable) is missing. True when a handle is held.
  bool InitThemeLibrary();
  void FreeThemeLibrary();
  bool ThemesInUse();
  void OpenVisualStyles(std::uintptr_t window);
  void CloseVisualStyles();
  // The hidden window's response to a theme change (message 794): close, then open again.
  void ThemeChanged(std::uintptr_t window);

  std::uintptr_t Library() const { return FLibrary; }
  void* Entry(TThemeEntry entry) const { return FEntries[entry]; }
  bool ThemesEnabled() const { return FThemesEnabled; }
  std::uintptr_t ScrollBarTheme() const { return FScrollBarTheme; }
  std::uintptr_t GlobalsTheme() const { return FGlobalsTheme; }

 private:
  TThemeHost& FHost;
  std::uintptr_t FLibrary = 0;
  std::array<void*, ThemeEntryCount> FEntries{};
  bool FThemesEnabled = false;
  std::uintptr_t FScrollBarTheme = 0;
  std::uintptr_t FGlobalsTheme = 0;
};

// The process's visual-styles state; null before start-up, after shutdown and on the host.
TVisualStyles* VisualStyles();

// Start-up and shutdown of the theme nexus (nothing on the host).
void CreateThemeNexus();
void FreeThemeNexus();

}  // namespace gfx
