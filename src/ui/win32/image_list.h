// An image list (comctl32) of equally sized pictures, owned and destroyed with the component.
//   Width/Height (set before the first image), Add(bitmap, mask), AddMasked(bitmap, colour),
//   AddIcon, Count, Clear, Draw(canvas, x, y, index, enabled).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/component.h"
#include "ui/win32/graphics.h"

namespace ui {

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner) : TComponent(owner) {}
  ~TImageList() override;

  std::wstring_view ClassName() const override { return L"TImageList"; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list.
  void SetSize(int width, int height);

  HIMAGELIST Handle();
  int Count();
  int Add(HBITMAP image, HBITMAP mask);
  int AddMasked(HBITMAP image, TColor maskColor);
  int AddIcon(HICON icon);
  void Clear();
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

 private:
  void Release();

  int width_ = 16;
  int height_ = 16;
  HIMAGELIST handle_ = nullptr;
};

}  // namespace ui
