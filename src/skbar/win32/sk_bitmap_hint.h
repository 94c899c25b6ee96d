// Bitmap hints of skinned viewers: the hint is painted once into a shared bitmap (the hint
// background of the skin, the text centred in clInfoText, the item's OnDrawHint around it) and
// the hint window (TBitmapHint) only shows that bitmap, sized to it less 2 pixels each way:
// its border is the bitmap's outer ring, its client area the bitmap's inside.
//   SkPrepareBitmapHint fills a hint query for a viewer: its rectangle, its hint text (with the
//   shortcut when the application's HintShortCuts asks for it) and the shared bitmap as the
//   hint's data. SkInstallBitmapHints makes TBitmapHint the application's hint window.
#pragma once

#include <windows.h>

#include "skbar/sk_item.h"
#include "ui/win32/forms.h"
#include "ui/win32/hint_window.h"

namespace skbar {

class TSkHintBitmap {
 public:
  TSkHintBitmap() = default;
  TSkHintBitmap(const TSkHintBitmap&) = delete;
  TSkHintBitmap& operator=(const TSkHintBitmap&) = delete;
  ~TSkHintBitmap();
  // Measures `text`, sizes the bitmap to it plus 8 x 4 and paints the hint (the viewer's draw
  // event may change the text, which is then measured again).
  void Render(TSkBarItemViewer* viewer, std::wstring text);
  HDC Dc() const { return dc_; }
  SIZE Size() const { return size_; }
  const std::wstring& Text() const { return text_; }

 private:
  void Resize(SIZE size);
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  SIZE size_{0, 0};
  std::wstring text_;
};

TSkHintBitmap& SkHintBitmap();
bool SkPrepareBitmapHint(TSkBarItemViewer& viewer, ui::THintInfo& info);

class TBitmapHint : public ui::THintWindow {
 public:
  using ui::THintWindow::THintWindow;
  std::wstring_view ClassName() const override { return L"TBitmapHint"; }
  TRect CalcHintRect(int maxWidth, const std::wstring& text, void* data) override;
  void ActivateHint(const TRect& rect, const std::wstring& text) override;
  void ActivateHintData(const TRect& rect, const std::wstring& text, void* data) override;
  bool Activating() const { return activating_; }

 protected:
  void WndProc(ui::TMessage& message) override;
  void Paint() override;

 private:
  TSkHintBitmap* bitmap_ = nullptr;
  bool activating_ = false;
};

void SkInstallBitmapHints(ui::TApplication& application);

}  // namespace skbar
