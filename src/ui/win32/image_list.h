// An image list (comctl32) of equally sized pictures, owned and destroyed with the component.
//   Width/Height (set before the first image), Add(bitmap, mask), AddMasked(bitmap, colour),
//   AddIcon, Count, Clear, Draw(canvas, x, y, index, enabled). Every change tells the change
//   links (ui/custom_image_list.h).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/custom_image_list.h"
#include "ui/win32/graphics.h"

namespace ui {

class TImageList : public TCustomImageList {
 public:
  explicit TImageList(TComponent* owner) : TCustomImageList(owner) {}
  ~TImageList() override;

  std::wstring_view ClassName() const override { return L"TImageList"; }

  // Changing the size empties the list.
  void SetSize(int width, int height);

  HIMAGELIST Handle();
  int Count() override;
  int Add(HBITMAP image, HBITMAP mask);
  int AddMasked(HBITMAP image, TColor maskColor);
  int AddIcon(HICON icon);
  void Clear();
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

 private:
  void Release();

  HIMAGELIST handle_ = nullptr;
};

}  // namespace ui
