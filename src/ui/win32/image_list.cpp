#include "ui/win32/image_list.h"

namespace ui {

TImageList::~TImageList() {
  Release();
}

void TImageList::Release() {
  if (handle_) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

void TImageList::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  Release();
  StoreSize(width, height);
  Change();
}

HIMAGELIST TImageList::Handle() {
  if (!handle_) handle_ = ImageList_Create(Width(), Height(), ILC_COLOR32 | ILC_MASK, 4, 4);
  return handle_;
}

int TImageList::Count() {
  return ImageList_GetImageCount(Handle());
}

int TImageList::Add(HBITMAP image, HBITMAP mask) {
  const int index = ImageList_Add(Handle(), image, mask);
  Change();
  return index;
}

int TImageList::AddMasked(HBITMAP image, TColor maskColor) {
  const int index = ImageList_AddMasked(Handle(), image, ColorToRGB(maskColor));
  Change();
  return index;
}

int TImageList::AddIcon(HICON icon) {
  const int index = ImageList_AddIcon(Handle(), icon);
  Change();
  return index;
}

void TImageList::Clear() {
  ImageList_RemoveAll(Handle());
  Change();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  if (!canvas.Handle() || index < 0 || index >= Count()) return;
  IMAGELISTDRAWPARAMS params{};
  params.cbSize = sizeof params;
  params.himl = Handle();
  params.i = index;
  params.hdcDst = canvas.Handle();
  params.x = x;
  params.y = y;
  params.rgbBk = CLR_NONE;
  params.rgbFg = CLR_DEFAULT;
  params.fStyle = ILD_TRANSPARENT;
  params.fState = enabled ? ILS_NORMAL : ILS_SATURATE;
  ImageList_DrawIndirect(&params);
}

}  // namespace ui
