#include "skbar/win32/startup.h"

#include "skbar/skin_manager.h"
#include "skbar/win32/sk_theme.h"

namespace skbar {

namespace {

int startCount = 0;
HBITMAP sharedBitmap = nullptr;
FARPROC printWindow = nullptr;

}  // namespace

void Initialize() {
  if (startCount++ > 0) return;
  SkInitializeSkinManager();
  sharedBitmap = CreateBitmap(8, 8, 1, 1, nullptr);
  if (const HMODULE user32 = GetModuleHandleW(L"user32.dll"))
    printWindow = GetProcAddress(user32, "PrintWindow");
  SkGradientFillProc();
}

void Finalize() {
  if (startCount == 0 || --startCount > 0) return;
  if (sharedBitmap) DeleteObject(sharedBitmap);
  sharedBitmap = nullptr;
  printWindow = nullptr;
  SkFinalizeSkinManager();
}

HBITMAP SkSharedBitmap() {
  return sharedBitmap;
}

FARPROC SkPrintWindowProc() {
  return printWindow;
}

}  // namespace skbar
