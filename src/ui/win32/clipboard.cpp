#include "ui/win32/clipboard.h"

#include <windows.h>

#include <cstring>

#include "rtl/exceptions.h"
#include "ui/win32/forms.h"

namespace ui {

namespace {

class TClipboardScope {
 public:
  TClipboardScope() {
    const HWND owner = Application ? Application->Handle() : nullptr;
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(10);
    }
    if (!open_) throw rtl::Exception("Cannot open clipboard");
  }
  TClipboardScope(const TClipboardScope&) = delete;
  TClipboardScope& operator=(const TClipboardScope&) = delete;
  ~TClipboardScope() { CloseClipboard(); }

 private:
  bool open_ = false;
};

class TGlobalLock {
 public:
  explicit TGlobalLock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock() {
    if (data_) GlobalUnlock(memory_);
  }
  void* Data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace

std::wstring ClipboardText() {
  TClipboardScope clipboard;
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  const TGlobalLock lock(data);
  if (!lock.Data()) return {};
  const auto* text = static_cast<const wchar_t*>(lock.Data());
  const std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < limit && text[length]) ++length;
  return std::wstring(text, length);
}

void SetClipboardText(const std::wstring& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) throw rtl::Exception("Out of memory");
  {
    const TGlobalLock lock(memory);
    std::memcpy(lock.Data(), text.c_str(), bytes);
  }
  try {
    TClipboardScope clipboard;
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory))
      throw rtl::Exception("Cannot set clipboard data");
  } catch (...) {
    GlobalFree(memory);
    throw;
  }
}

HBITMAP ClipboardBitmap() {
  TClipboardScope clipboard;
  const HANDLE bitmap = GetClipboardData(CF_BITMAP);
  if (!bitmap) return nullptr;
  return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void SetClipboardBitmap(HBITMAP bitmap) {
  try {
    TClipboardScope clipboard;
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, bitmap)) throw rtl::Exception("Cannot set clipboard data");
  } catch (...) {
    DeleteObject(bitmap);
    throw;
  }
}

}  // namespace ui
