// The platform services of the system unit: the performance counter, the processor count and
// the theme nexus, the hidden window that follows the system's theme changes.
#include <windows.h>

#include <memory>

#include "gfx/system.h"
#include "gfx/themes.h"

namespace gfx {

namespace {

class TQueryPerformanceCounter final : public TPerfCounter {
 public:
  std::int64_t Frequency() const override {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) ? f.QuadPart : 0;
  }
  std::int64_t Counter() const override {
    LARGE_INTEGER c;
    return QueryPerformanceCounter(&c) ? c.QuadPart : 0;
  }
};

class TWinThemeHost final : public TThemeHost {
 public:
  std::uintptr_t LoadModule(const wchar_t* name) override {
    return reinterpret_cast<std::uintptr_t>(LoadLibraryW(name));
  }
  void* BindEntry(std::uintptr_t module, const char* name) override {
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
  }
  void UnloadModule(std::uintptr_t module) override {
    FreeLibrary(reinterpret_cast<HMODULE>(module));
  }
  // The program is an executable.
  bool ModuleIsLibrary() const override { return false; }
  int IsAppThemed(void* entry) override { return reinterpret_cast<BOOL(WINAPI*)()>(entry)(); }
  int IsThemeActive(void* entry) override { return reinterpret_cast<BOOL(WINAPI*)()>(entry)(); }
  std::uintptr_t OpenThemeData(void* entry, std::uintptr_t window,
                               const wchar_t* classList) override {
    using Open = HANDLE(WINAPI*)(HWND, LPCWSTR);
    return reinterpret_cast<std::uintptr_t>(
        reinterpret_cast<Open>(entry)(reinterpret_cast<HWND>(window), classList));
  }
  void CloseThemeData(void* entry, std::uintptr_t theme) override {
    reinterpret_cast<HRESULT(WINAPI*)(HANDLE)>(entry)(reinterpret_cast<HANDLE>(theme));
  }
};

constexpr UINT WmThemeChanged = 794;
constexpr wchar_t NexusClassName[] = L"QuollboxGfxThemeNexus";

// The hidden window and the state it keeps current. A top-level window (not message-only),
// since the theme-change message goes to top-level windows.
class TThemeNexus {
 public:
  TThemeNexus() : FStyles(FHost) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = NexusClassName;
    RegisterClassW(&wc);
    FWindowHandle = CreateWindowExW(WS_EX_TOOLWINDOW, NexusClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    if (FWindowHandle)
      SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FStyles.OpenVisualStyles(reinterpret_cast<std::uintptr_t>(FWindowHandle));
  }
  ~TThemeNexus() {
    FStyles.CloseVisualStyles();
    if (FWindowHandle) DestroyWindow(FWindowHandle);
  }
  TThemeNexus(const TThemeNexus&) = delete;
  TThemeNexus& operator=(const TThemeNexus&) = delete;

  TVisualStyles& Styles() { return FStyles; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WmThemeChanged) {
      auto* self = reinterpret_cast<TThemeNexus*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      if (self) self->FStyles.ThemeChanged(reinterpret_cast<std::uintptr_t>(window));
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  TWinThemeHost FHost;
  TVisualStyles FStyles;
  HWND FWindowHandle = nullptr;
};

// Made on first use: nothing at start-up draws with visual styles, and the hidden window and
// the theme handles cost start-up time.
bool themeNexusWanted = false;
std::unique_ptr<TThemeNexus> themeNexus;

}  // namespace

const TPerfCounter& PlatformPerfCounter() {
  static const TQueryPerformanceCounter counter;
  return counter;
}

std::int32_t GetProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return static_cast<std::int32_t>(info.dwNumberOfProcessors);
}

TVisualStyles* VisualStyles() {
  if (themeNexusWanted && !themeNexus) themeNexus = std::make_unique<TThemeNexus>();
  return themeNexus ? &themeNexus->Styles() : nullptr;
}

void CreateThemeNexus() {
  themeNexusWanted = true;
}
void FreeThemeNexus() {
  themeNexusWanted = false;
  themeNexus.reset();
}

}  // namespace gfx
